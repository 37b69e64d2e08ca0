#include "strategy/fibonaccistrategy.h"

#include "analysis/candlepatterns.h"
#include "analysis/indicators.h"
#include "analysis/indicatorscanners.h"
#include "core/appconfig.h"
#include "core/seriesutils.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

// The chart of the hot-stock page shows 60 bars; its lines span them.
constexpr int kHotChartBars = 60;

QString levelText(double ratio)
{
    return QStringLiteral("斐波那契分割线:%1").arg(ratio);
}

// Percent swing from low to high. A low at or below zero (a corrupt history)
// would divide by zero or flip the sign, so it never counts as a swing.
bool swingAtLeast(float high, float low, int minSwing)
{
    return low > 0 && (high - low) / low * 100 >= minSwing;
}

// The first ratio whose level lies within `delta` percent of the reference;
// level(r) gives the price of ratio r. -1 without a hit.
template <typename Level>
double levelHit(std::initializer_list<double> ratios, Level level, float reference, float delta,
                float* hitLevel)
{
    const float tolerance = delta * 0.01f * reference;
    for (double r : ratios) {
        const float price = level(float(r));
        if (std::fabs(price - reference) <= tolerance) {
            if (hitLevel)
                *hitLevel = price;
            return r;
        }
    }
    return -1;
}

// The first retracement level of the swing from low to high within `delta`
// percent of the reference.
double retracementHit(float high, float low, float reference, float delta, float* hitLevel)
{
    return levelHit({0.809, 0.618, 0.5, 0.382, 0.236}, [=](float r) { return low + r * (high - low); },
                    reference, delta, hitLevel);
}

// The first of `ids` that matches the end of the series; -1 when none does.
int firstCandle(std::initializer_list<int> ids, const QVector<Stock>& bars, QString* name)
{
    for (int id : ids) {
        if (detectKPattern(id, bars, name))
            return id;
    }
    return -1;
}

// The shared tail of every set-up: candle pattern, volume level and the KDJ
// texts. volumeFor gives the required level for the matched candle id.
template <typename VolumeFor>
int confirm(const QString& code, const QVector<Stock>& bars, QStringList* out,
            std::initializer_list<int> candleIds, VolumeFor volumeFor, std::initializer_list<int> kdjLevels)
{
    QString candleName;
    const int candle = firstCandle(candleIds, bars, &candleName);
    if (candle == -1)
        return -1;
    appendComment(out, candleName);

    QString volumeText;
    if (volumeLevel(code, bars, &volumeText) != volumeFor(candle))
        return -1;
    appendComment(out, volumeText);

    // The KDJ state only adds its texts; it never rejects.
    StockKDJScanner kdj;
    QStringList kdjTexts;
    const int state = kdj.scan(code, bars, &kdjTexts);
    if (std::find(kdjLevels.begin(), kdjLevels.end(), state) != kdjLevels.end() && out)
        out->append(kdjTexts);
    return 0;
}

int confirm(const QString& code, const QVector<Stock>& bars, QStringList* out,
            std::initializer_list<int> candleIds, int volume, std::initializer_list<int> kdjLevels)
{
    return confirm(code, bars, out, candleIds, [volume](int) { return volume; }, kdjLevels);
}

void resetLine(ChartLine* line, const QColor& colour)
{
    line->points.clear();
    QColor c = colour;
    c.setAlpha(255);
    line->pen = QPen(c);
    line->style = 1;
}

// Windows that would start before the first bar start at it.
int clampStart(int from)
{
    return std::max(0, from);
}

// The high and low of a swing and their bars.
struct Swing
{
    int highBar = -1;
    int lowBar = -1;
    float high = 0;
    float low = 0;
};

// A rise that topped out lately: the highest bar of the last fallDays + 2
// bars, and the lowest bar before it within the last `reach` bars. False when
// either is missing.
bool riseToRecentHigh(const QVector<Stock>& bars, int fallDays, int reach, Swing* swing)
{
    const int last = bars.size() - 1;
    swing->highBar = highestIndex(bars, clampStart(last - fallDays - 1), last, &swing->high, true);
    if (swing->highBar == -1)
        return false;
    swing->lowBar = lowestIndex(bars, clampStart(bars.size() - reach), swing->highBar, &swing->low, true);
    return swing->lowBar != -1;
}

// A fall that bottomed out lately: the lowest bar of the last fallDays + 2
// bars, and the highest bar before it within the last `reach` bars. False when
// either is missing.
bool fallToRecentLow(const QVector<Stock>& bars, int fallDays, int reach, Swing* swing)
{
    const int last = bars.size() - 1;
    swing->lowBar = lowestIndex(bars, clampStart(last - fallDays - 1), last, &swing->low, true);
    if (swing->lowBar == -1)
        return false;
    swing->highBar = highestIndex(bars, clampStart(bars.size() - reach), swing->lowBar, &swing->high, true);
    return swing->highBar != -1;
}

// The swing the two rebound set-ups start from: a fall to a recent low, its
// high within the last 2D + 2 bars, of at least M percent.
bool reboundSwing(const QVector<Stock>& bars, const HotStockFibonacciParams& params, Swing* swing)
{
    return fallToRecentLow(bars, params.maxFallDays, 2 * params.days + 2, swing) && swing->high > swing->low
           && swingAtLeast(swing->high, swing->low, params.minSwing);
}

} // namespace

MaTurns countMaTurns(const QVector<Stock>& bars, int span, QVector<int>* turns)
{
    if (turns)
        turns->clear();
    MaTurns result;
    MaNIndicator ma(span);
    IndicatorResult previous;
    for (int i = 0; i < bars.size(); ++i) {
        const IndicatorResult current = ma.update(bars.at(i));
        if (i >= 1 && current.valid && previous.valid) {
            const bool turnsDown = current.first < previous.first && result.rising;
            const bool turnsUp = current.first > previous.first && !result.rising;
            if (turnsDown || turnsUp) {
                result.rising = turnsUp;
                ++result.count;
                if (turns)
                    turns->append(i);
            }
        }
        previous = current;
    }
    return result;
}

// ---------------------------------------------------------------------------

HotStockFibonacciParams HotStockFibonacciParams::fromConfig(const AppConfig& config)
{
    HotStockFibonacciParams p;
    p.volumeTest = config.fibonacciHotStock;
    p.days = config.fibonacciHotStockDays;
    p.volRatio = config.fibonacciHotStockVolRatio;
    p.delta = config.fibonacciHotStockDelta;
    p.span = config.fibonacciHotStockSpan;
    p.maxFallDays = config.fibonacciHotStockMaxFallDays;
    p.minSwing = config.fibonacciHotStockMinSwing;
    return p;
}

StockHotStockFibonacciScanner::StockHotStockFibonacciScanner(const HotStockFibonacciParams& params)
    : params(params)
{
}

int StockHotStockFibonacciScanner::category() const
{
    return HotStockFibonacciScannerCategory;
}

int StockHotStockFibonacciScanner::scan(const QString&, const QVector<Stock>& bars, QStringList*)
{
    const int n = bars.size();
    const int last = n - 1;
    const int d = params.days;
    if (n <= 2 * d + 3)
        return -1;
    if (params.volumeTest) {
        // Two windows of D + 2 bars that share bar n - D - 2.
        const double recent = rangeAverage(bars, n - d - 2, last, 1);
        const double earlier = rangeAverage(bars, clampStart(n - 2 * d - 3), n - d - 2, 1);
        if (earlier * params.volRatio > recent)
            return -1;
    }
    const MaTurns t = countMaTurns(bars, params.span, &turns);
    turnCount = t.count;
    rising = t.rising;
    if (turnCount < 4)
        return -1;
    MaNIndicator ma(5);
    ma5.clear();
    ma5.reserve(n);
    for (const Stock& bar : bars)
        ma5.append(ma.update(bar));
    return 0;
}

float StockHotStockFibonacciScanner::lastMa5() const
{
    return ma5.isEmpty() ? 0.0f : ma5.last().first;
}

void StockHotStockFibonacciScanner::setLines(int n, const QColor& colour, float v1, float v2, float v3)
{
    // The chart keys lines by bar index of the whole series and shows the last
    // 60 bars: the lines run from the first shown bar to the last one.
    const int first = std::max(0, n - kHotChartBars);
    const int last = n - 1;
    ChartLine* lines[] = {&line1, &line2, &line3};
    const float values[] = {v1, v2, v3};
    for (int i = 0; i < 3; ++i) {
        resetLine(lines[i], colour);
        lines[i]->points.insert(first, values[i]);
        lines[i]->points.insert(last, values[i]);
    }
}

int StockHotStockFbibonacciScanner_TIAOZHENGMAIRU::scan(const QString& code, const QVector<Stock>& bars,
                                                         QStringList* out)
{
    if (StockHotStockFibonacciScanner::scan(code, bars, out) != 0 || bars.last().close > lastMa5())
        return -1;
    Swing swing;
    if (!riseToRecentHigh(bars, params.maxFallDays, 2 * params.days + 14, &swing)
        || !swingAtLeast(swing.high, swing.low, params.minSwing))
        return -1;
    // The high must be new since the low: an equal earlier high is a double top.
    float before = 0;
    highestIndex(bars, swing.lowBar, swing.highBar - 1, &before, true);
    if (!(swing.high > before))
        return -1;

    const Stock& now = bars.last();
    const float reference = std::min(now.open, now.close);
    setLines(bars.size(), QColor(0, 0, 240), swing.high, swing.low, reference);
    const double ratio = retracementHit(swing.high, swing.low, reference, params.delta, nullptr);
    if (ratio < 0)
        return -1;
    appendComment(out, levelText(ratio));
    return confirm(code, bars, out, {5, 2, 9, 4, 10, 11}, 1, {1, 3});
}

int StockHotStockFbibonacciScanner_ShengPoMAIRU::scan(const QString& code, const QVector<Stock>& bars,
                                                      QStringList* out)
{
    if (StockHotStockFibonacciScanner::scan(code, bars, out) != 0 || bars.last().close < lastMa5())
        return -1;
    Swing swing;
    if (!reboundSwing(bars, params, &swing))
        return -1;
    // The last close breaks through the swing high, the close before did not.
    const float close = bars.last().close;
    if (!(close >= swing.high && bars.at(bars.size() - 2).close <= swing.high))
        return -1;
    setLines(bars.size(), QColor(240, 240, 240), swing.high, swing.low, close);
    appendComment(out, QStringLiteral("突破前期新高"));
    return confirm(code, bars, out, {98, 99}, 2, {2});
}

int StockHotStockFbibonacciScanner_FanTanMaiChu::scan(const QString& code, const QVector<Stock>& bars,
                                                      QStringList* out)
{
    if (StockHotStockFibonacciScanner::scan(code, bars, out) != 0 || bars.last().close < lastMa5())
        return -1;
    // The rebound stays below the swing high.
    const float close = bars.last().close;
    Swing swing;
    if (!reboundSwing(bars, params, &swing) || !(close < swing.high))
        return -1;
    setLines(bars.size(), QColor(240, 240, 240), swing.high, swing.low, close);
    const double ratio = retracementHit(swing.high, swing.low, close, params.delta, nullptr);
    if (ratio < 0)
        return -1;
    appendComment(out, levelText(ratio));
    return confirm(code, bars, out, {30, 20, 22, 25, 31, 32}, 2, {2, 4});
}

int StockHotStockFbibonacciScanner_DIEPOMAICHU::scan(const QString& code, const QVector<Stock>& bars,
                                                     QStringList* out)
{
    if (StockHotStockFibonacciScanner::scan(code, bars, out) != 0 || !(bars.last().close < lastMa5()))
        return -1;
    const Stock& now = bars.last();
    Swing swing;
    if (!riseToRecentHigh(bars, params.maxFallDays, 2 * params.days + 2, &swing)
        || !swingAtLeast(swing.high, swing.low, params.minSwing) || !(now.close < swing.low))
        return -1;
    setLines(bars.size(), QColor(240, 240, 240), swing.high, swing.low, now.close);
    appendComment(out, QStringLiteral("突破前期新低"));
    return confirm(code, bars, out, {97}, 0, {1});
}

int StockHotStockFbibonacciScanner_FANZHUANMAIRU::scan(const QString& code, const QVector<Stock>& bars,
                                                       QStringList* out)
{
    if (StockHotStockFibonacciScanner::scan(code, bars, out) != 0 || bars.last().close > lastMa5())
        return -1;
    const int f = params.maxFallDays, last = bars.size() - 1;
    const Stock& now = bars.at(last);
    Swing swing;
    if (!riseToRecentHigh(bars, f, 2 * params.days + 2, &swing))
        return -1;
    float high0 = 0;
    if (highestIndex(bars, clampStart(swing.lowBar - f - 1), swing.lowBar, &high0, true) == -1)
        return -1;
    if (!(high0 >= swing.high) || !(now.close < swing.low) || !swingAtLeast(swing.high, swing.low, params.minSwing))
        return -1;
    setLines(bars.size(), QColor(240, 240, 240), high0, swing.low, now.low);
    float level = 0;
    const double ratio = levelHit({0.382, 0.618, 1.0, 1.618},
                                  [=](float r) { return swing.high - r * (high0 - swing.low); }, now.low,
                                  params.delta, &level);
    if (ratio < 0)
        return -1;
    // The projected level must also lie close to the lowest price since the high.
    float lowest = 0;
    if (lowestIndex(bars, swing.highBar, last, &lowest, true) != -1) {
        const float lo = std::min(lowest, level);
        const float hi = std::max(lowest, level);
        if (lo <= 0 || (hi - lo) * 100 / lo > params.delta)
            return -1;
    }
    appendComment(out, levelText(ratio));
    return confirm(code, bars, out, {11, 2, 9, 4}, [](int id) { return id == 9 ? 1 : 2; }, {5});
}

int StockHotStockFbibonacciScanner_FANZHUANMAICHU::scan(const QString& code, const QVector<Stock>& bars,
                                                        QStringList* out)
{
    if (StockHotStockFibonacciScanner::scan(code, bars, out) != 0 || bars.last().close > lastMa5())
        return -1;
    const Stock& now = bars.last();
    Swing swing;
    if (!fallToRecentLow(bars, params.maxFallDays, 2 * params.days + 2, &swing))
        return -1;
    float low0 = 0;
    if (lowestIndex(bars, clampStart(swing.highBar - params.maxFallDays - 1), swing.highBar, &low0, true) == -1)
        return -1;
    if (!(swing.low >= low0) || !(now.close >= swing.high) || !swingAtLeast(swing.high, swing.low, params.minSwing))
        return -1;
    setLines(bars.size(), QColor(240, 240, 240), swing.high, low0, now.close);
    const double ratio = levelHit({0.618, 1.0, 1.618, 2.618},
                                  [=](float r) { return swing.low + r * (swing.high - low0); }, now.close,
                                  params.delta, nullptr);
    if (ratio < 0)
        return -1;
    appendComment(out, levelText(ratio));
    return confirm(code, bars, out, {31, 20, 32, 25}, 2, {5});
}

StockHotStockFibonacciScanner* createFibonacciScanner(int type, const HotStockFibonacciParams& params)
{
    switch (type) {
    case 0: return new StockHotStockFbibonacciScanner_TIAOZHENGMAIRU(params);
    case 1: return new StockHotStockFbibonacciScanner_ShengPoMAIRU(params);
    case 2: return new StockHotStockFbibonacciScanner_FanTanMaiChu(params);
    case 3: return new StockHotStockFbibonacciScanner_DIEPOMAICHU(params);
    case 4: return new StockHotStockFbibonacciScanner_FANZHUANMAIRU(params);
    case 5: return new StockHotStockFbibonacciScanner_FANZHUANMAICHU(params);
    default: return nullptr;
    }
}

// ---------------------------------------------------------------------------

NewStockFibonacciParams NewStockFibonacciParams::fromConfig(const AppConfig& config)
{
    NewStockFibonacciParams p;
    p.delta = config.fibonacciNewStockDelta;
    p.span = config.fibonacciNewStockSpan;
    p.maxDays = config.fibonacciNewStockMaxDays;
    return p;
}

StockNewStockFibonacciScanner::StockNewStockFibonacciScanner(const NewStockFibonacciParams& params)
    : params(params)
{
}

int StockNewStockFibonacciScanner::category() const
{
    return NewStockFibonacciScannerCategory;
}

int StockNewStockFibonacciScanner::scan(const QString&, const QVector<Stock>&, QStringList*)
{
    return -1;
}

int StockNewStockFibonacciScanner::swing(const QVector<Stock>& bars, int minBars, int wantedCount,
                                         bool beforeSecondTurn, bool dropLastTwo, float* high,
                                         int* highIndex, float* low)
{
    const int n = bars.size();
    if (n < minBars || n > params.maxDays)
        return -1;
    QVector<int> turns;
    if (countMaTurns(bars, params.span, &turns).count != wantedCount)
        return -1;
    int extent = n;
    if (beforeSecondTurn)
        extent = turns.value(1, 0);
    else if (dropLastTwo)
        extent = n - 2;
    int lowIndex = -1;
    findExtremes(bars, extent, highIndex, &lowIndex, high, low);
    // A new stock starts at its lowest price.
    return lowIndex == 0 && *highIndex != -1 ? 0 : -1;
}

void StockNewStockFibonacciScanner::setLines(int n, int highIndex, float high, float low, float level3)
{
    const int last = n - 1;
    const QColor colour(240, 240, 240);
    resetLine(&line1, colour);
    resetLine(&line2, colour);
    resetLine(&line3, colour);
    line1.points.insert(highIndex, high);
    line1.points.insert(last, high);
    line2.points.insert(0, low);
    line2.points.insert(last, low);
    line3.points.insert(last - 2, level3);
    line3.points.insert(last + 1, level3);
}

bool StockNewStockFibonacciScanner::closeAtLevel(const QVector<Stock>& bars, int highIndex, float high, float low,
                                                 QStringList* out)
{
    float level = 0;
    const double ratio = retracementHit(high, low, bars.last().close, params.delta, &level);
    if (ratio < 0)
        return false;
    setLines(bars.size(), highIndex, high, low, level);
    appendComment(out, levelText(ratio));
    return true;
}

int StockNewStockFbibonacciScanner_TIAOZHENGMAIRU::scan(const QString& code, const QVector<Stock>& bars,
                                                        QStringList* out)
{
    float high = 0, low = 0;
    int h = -1;
    if (swing(bars, 5, 2, false, false, &high, &h, &low) != 0 || !closeAtLevel(bars, h, high, low, out))
        return -1;
    return confirm(code, bars, out, {5, 2, 9, 4, 10, 11}, 1, {1, 3});
}

int StockNewStockFbibonacciScanner_ShengPoMAIRU::scan(const QString& code, const QVector<Stock>& bars,
                                                      QStringList* out)
{
    float high = 0, low = 0;
    int h = -1;
    if (swing(bars, 6, 3, true, false, &high, &h, &low) != 0)
        return -1;
    const int n = bars.size(), last = n - 1;
    const float close = bars.at(last).close;
    if (!(close > high && bars.at(last - 1).close <= high))
        return -1;
    setLines(n, h, high, low, close);
    appendComment(out, QStringLiteral("突破新高"));
    return confirm(code, bars, out, {99, 98}, 2, {2});
}

int StockNewStockFbibonacciScanner_FanTanMaiChu::scan(const QString& code, const QVector<Stock>& bars,
                                                      QStringList* out)
{
    float high = 0, low = 0;
    int h = -1;
    if (swing(bars, 6, 3, false, true, &high, &h, &low) != 0 || !closeAtLevel(bars, h, high, low, out))
        return -1;
    return confirm(code, bars, out, {30, 20, 22, 25, 32, 31}, 2, {2});
}

int StockNewStockFbibonacciScanner_DIEPOMAICHU::scan(const QString&, const QVector<Stock>& bars, QStringList*)
{
    const int n = bars.size();
    return n >= 6 && n <= params.maxDays ? 0 : -1;
}

StockNewStockFibonacciScanner* createNewStockFibonacciScanner(int type, const NewStockFibonacciParams& params)
{
    switch (type) {
    case 0: return new StockNewStockFbibonacciScanner_TIAOZHENGMAIRU(params);
    case 1: return new StockNewStockFbibonacciScanner_ShengPoMAIRU(params);
    case 2: return new StockNewStockFbibonacciScanner_FanTanMaiChu(params);
    case 3: return new StockNewStockFbibonacciScanner_DIEPOMAICHU(params);
    default: return nullptr;
    }
}
