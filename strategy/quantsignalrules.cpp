#include "strategy/quantsignalrules.h"

#include "analysis/indicators.h"
#include "analysis/indicatorscanners.h"
#include "analysis/shapescanners.h"
#include "core/seriesutils.h"
#include "strategy/fibonaccistrategy.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

double avgClose(const QVector<Stock>& bars, int from, int to)
{
    return rangeAverage(bars, from, to, 0);
}

double avgVolume(const QVector<Stock>& bars, int from, int to)
{
    return rangeAverage(bars, from, to, 1);
}

// The candle measures of one bar.
struct Candle
{
    explicit Candle(const Stock& bar)
        : bodyLow(std::min(bar.open, bar.close)),
          bodyHigh(std::max(bar.open, bar.close)),
          range(bar.high - bar.low)
    {
    }
    float bodyLow;
    float bodyHigh;
    float range;
    float body() const { return bodyHigh - bodyLow; }
};

bool isInside(const QVector<Stock>& bars, int index)
{
    return index >= 0 && index < bars.size();
}

// The KDJ verdict on bar `index` (oversold, middle golden cross, oversold
// golden cross), from the bars up to it.
bool kdjFavours(const QVector<Stock>& bars, int index)
{
    StockKDJScanner scanner;
    QStringList ignored;
    const int r = scanner.scan(bars.at(index).code, bars.mid(0, index + 1), &ignored);
    return r == 1 || r == 3 || r == 5;
}

// The first turn of the 5-bar average at or before `index`, or -1. A turn at
// bar j depends only on the averages of j and j - 1, so the turns of the whole
// series up to `index` are those of the series cut at `index`.
int firstTurnUpTo(const QVector<Stock>& bars, int index)
{
    QVector<int> turns;
    countMaTurns(bars, 5, &turns);
    return !turns.isEmpty() && turns.first() <= index ? turns.first() : -1;
}

} // namespace

float losingStreakFallLimit(float stored)
{
    return -std::fabs(stored);
}

int hammerSignal(const QVector<Stock>& bars, int i, const AppConfig& settings)
{
    const int n = settings.quantHammerMaN;
    if (!isInside(bars, i) || i < 9 || i < n)
        return -1;
    const Stock& b = bars.at(i);
    const Candle k(b);
    // A bar without a range or a price has no shape to measure.
    if (!(k.range > 0) || !(b.low > 0))
        return -1;
    if (!(b.volume < settings.quantHammerVolume * avgVolume(bars, i - n, i - 1)))
        return -1;
    if (!(b.close <= avgClose(bars, i - n + 1, i)))
        return -1;
    if (!((k.bodyLow - b.low) / b.low * 100 >= settings.quantHammerMinSwing))
        return -1;
    if (!((k.bodyLow - b.low) / k.range * 100 >= settings.quantHammerFooter))
        return -1;
    // The head is measured from the lower end of the body: the body counts into it.
    if (!((b.high - k.bodyLow) / k.range * 100 <= settings.quantHammerHead))
        return -1;
    if (!(k.body() / k.range * 100 <= settings.quantHammerBody))
        return -1;
    if (!(b.changePercent <= settings.quantHammerMaxIncrease))
        return -1;
    const int lowDays = settings.quantHammerNDayLow;
    if (lowDays > 0) {
        const int from = i - lowDays - 1;
        if (from < 0)
            return -1;
        for (int j = from; j < i; ++j) {
            if (b.close > bars.at(j).close)
                return -1;
        }
    }
    return 0;
}

int yangTunYinSignal(const QVector<Stock>& bars, int i, const AppConfig& settings)
{
    const int n = settings.quantYangTunYinMaN;
    const int n2 = settings.quantYangTunYinMaN2;
    if (!isInside(bars, i) || i < 1 || i < n + 1 || i < n2 + 1)
        return -1;
    const Stock& b = bars.at(i);
    const Stock& p = bars.at(i - 1);
    const Candle k(b);
    if (!(k.range > 0))
        return -1;
    if (!(b.close <= avgClose(bars, i - n + 1, i)) || !(b.close <= avgClose(bars, i - n2 + 1, i)))
        return -1;
    if (!(b.open < b.close && p.high < b.close && p.open <= b.close && p.close < p.open))
        return -1;
    if (!(b.changePercent >= settings.quantYangTunYinMinIncrease))
        return -1;
    if (!(p.high > b.open))
        return -1;
    if (!((b.high - b.close) / k.range < settings.quantYangTunYinMaxHead * 0.01))
        return -1;
    if (!(settings.quantYangTunYinMinPrice <= b.close && b.close <= settings.quantYangTunYinMaxPrice))
        return -1;
    if (!(b.volume >= settings.quantYangTunYinMinTradeVol * p.volume))
        return -1;
    if (settings.quantYangTunYinUseKDJ != 0 && !kdjFavours(bars, i))
        return -1;
    return 0;
}

int daoChuiZiSignal(const QVector<Stock>& bars, int i, const AppConfig& settings)
{
    const int n = settings.quantDaoChuiZiMaN;
    const int n2 = settings.quantDaoChuiZiMa2;
    if (!isInside(bars, i) || i <= n2 || i <= n)
        return -1;
    const Stock& b = bars.at(i);
    const Candle k(b);
    if (!(k.range > 0) || !(k.bodyLow > 0))
        return -1;
    if (!(b.close <= avgClose(bars, i - n, i)) || !(b.close <= avgClose(bars, i - n2, i)))
        return -1;
    if (!(b.volume <= settings.quantDaoChuiZiMinTradeVol * avgVolume(bars, i - n, i)))
        return -1;
    if (!(b.changePercent <= settings.quantDaoChuiZiMaxIncrease))
        return -1;
    const float head = b.high - k.bodyHigh;
    const float foot = b.open - b.low;
    if (!(foot <= head))
        return -1;
    if (!((b.high - k.bodyLow) / k.bodyLow * 100 >= settings.quantDaoChuiZiMinSwing))
        return -1;
    if (!(k.body() / k.range * 100 <= settings.quantDaoChuiZiBody))
        return -1;
    if (!(head / k.range * 100 >= settings.quantDaoChuiZiHead))
        return -1;
    if (!(foot / k.range * 100 <= settings.quantDaoChuiZiFooter))
        return -1;
    // Always tested: the stored switch has never turned this test off.
    if (!kdjFavours(bars, i))
        return -1;
    return 0;
}

int ciXinGuTuPoSignal(const QVector<Stock>& bars, int i, const AppConfig&)
{
    if (!isInside(bars, i) || i < 1)
        return -1;
    const Stock& b = bars.at(i);
    const Stock& p = bars.at(i - 1);
    // The bar's own tests first: they decide most days without the average.
    // The limit is fixed here; the edited maximum rise limits the next day.
    if (!(b.changePercent > 4.8f) || !(b.open < b.close) || !(b.open > 0))
        return -1;
    if (!((b.high - b.close) / b.open <= 0.024f))
        return -1;

    const int t0 = firstTurnUpTo(bars, i);
    if (t0 < 0)
        return -1;
    float high = 0;
    const int h = highestIndex(bars, 0, t0, &high, true);
    if (h < 0 || !(b.close > high) || !(p.low < high))
        return -1;
    float low = 0;
    if (lowestIndex(bars, h + 1, i, &low, true) < 0 || !(low > 0) || !((high - low) / low >= 0.15f))
        return -1;
    float high2 = 0;
    if (highestIndex(bars, h + 1, i - 1, &high2, true) < 0 || !(high >= high2))
        return -1;
    return 0;
}

int ciXinGuLianDieSignal(const QVector<Stock>& bars, int i, const AppConfig& settings)
{
    if (bars.size() <= 10 || !isInside(bars, i))
        return -1;
    const int s = i - settings.quantCiXinGuLianDieN;
    if (s < 0 || s > i)
        return -1;
    float sum = 0;
    for (int j = s; j <= i; ++j) {
        const float change = bars.at(j).changePercent;
        if (!(change < 0))
            return -1;
        sum += change;
    }
    if (!(sum < losingStreakFallLimit(settings.quantCiXinGuLianDieDecease)))
        return -1;
    const int t0 = firstTurnUpTo(bars, i);
    if (t0 < 0 || s > t0)
        return -1;
    return 0;
}

int fangLiangZhangTingSignal(const QVector<Stock>& bars, int i, const AppConfig&)
{
    // The scanner needs 33 bars and a rise above 4 % on its last one; testing
    // that here spares a copy of the series on nearly every day.
    if (!isInside(bars, i) || i < 32 || !(bars.at(i).changePercent > 4.0f))
        return -1;
    StockYiYangChuanSanXianScanner scanner;
    QStringList ignored;
    return scanner.scan(bars.at(i).code, bars.mid(0, i + 1), &ignored) != -1 ? 0 : -1;
}

int bollYiYangChuan2Signal(const QVector<Stock>& bars, int i, const AppConfig&)
{
    if (bars.size() <= 20 || !isInside(bars, i) || i <= 20)
        return -1;
    const Stock& b = bars.at(i);
    const Stock& p = bars.at(i - 1);
    // Histories that carry no previous close of their own measure the head
    // against the close before.
    const float reference = b.preClose > 0 ? b.preClose : p.close;
    if (!(b.changePercent > 4.0f) || !(b.open <= b.close) || !(reference > 0))
        return -1;
    if (!((b.high - b.close) / reference <= 0.012f))
        return -1;

    // Both averages have period 5 and so coincide; one stands for the two.
    // Each indicator is fed from the first bar its window reaches up to bar i.
    BollIndicator boll;
    IndicatorResult band;
    for (int j = std::max(0, i - 19); j <= i; ++j)
        band = boll.update(bars.at(j));
    MaNIndicator ma(5);
    IndicatorResult before;
    IndicatorResult now;
    for (int j = std::max(0, i - 5); j <= i; ++j) {
        before = now;
        now = ma.update(bars.at(j));
    }
    if (!band.valid || !before.valid || !now.valid)
        return -1;
    if (!(now.first < b.close) || !(before.first > p.close) || !(now.first > b.open))
        return -1;
    const float upper = band.first + band.second - band.third;
    return b.close > 1.015f * upper ? 0 : -1;
}
