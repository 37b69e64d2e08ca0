#include "analysis/shapescanners.h"

#include "analysis/candlepatterns.h"
#include "analysis/indicatorfeed.h"
#include "core/seriesutils.h"

#include <algorithm>
#include <array>
#include <cmath>

using indicatorfeed::lastWindowed;

namespace {

ShapePoint pointAt(const Stock& bar, float price)
{
    return ShapePoint{bar.date, price};
}

ShapePoint closeAt(const Stock& bar)
{
    return pointAt(bar, bar.close);
}

// Three moving averages on the day before the last ([0]) and on the last day ([1]).
using ThreeAverages = std::array<IndicatorResult, 3>;

std::array<ThreeAverages, 2> lastTwoDays(const QVector<Stock>& bars, std::array<MaNIndicator*, 3> averages)
{
    std::array<ThreeAverages, 2> days;
    for (size_t i = 0; i < averages.size(); ++i) {
        const auto results = lastWindowed(*averages[i], averages[i]->length(), bars, 2);
        days[0][i] = results[0];
        days[1][i] = results[1];
    }
    return days;
}

// Strictly above (or below) each valid value; an average that is not valid yet
// supports no comparison.
bool aboveAll(float price, const ThreeAverages& averages)
{
    return std::all_of(averages.begin(), averages.end(),
                       [price](const IndicatorResult& r) { return r.valid && price > r.first; });
}

bool belowAll(float price, const ThreeAverages& averages)
{
    return std::all_of(averages.begin(), averages.end(),
                       [price](const IndicatorResult& r) { return r.valid && price < r.first; });
}

// Highest and lowest close of the last seven bars, the sideways range both
// sideways scanners start from.
struct SevenDayRange
{
    float high = 0;
    float low = 0;
    bool found = false;
};

SevenDayRange sevenDayRange(const QVector<Stock>& bars)
{
    const int n = bars.size();
    SevenDayRange range;
    range.found = highestIndex(bars, n - 7, n - 1, &range.high, false) >= 0
                  && lowestIndex(bars, n - 7, n - 1, &range.low, false) >= 0
                  && range.low > 0;
    return range;
}

bool isNarrow(const SevenDayRange& range)
{
    return range.found && (range.high - range.low) / range.low * 100 < 2.11;
}

// The step both sideways scanners start with: 61 bars, a narrow seven-day
// range, and the lowest close of bars [from, to] to compare the range with.
bool narrowRangeWithLow(const QVector<Stock>& bars, int from, int to, SevenDayRange* range, float* low)
{
    if (bars.size() < 61)
        return false;
    *range = sevenDayRange(bars);
    return isNarrow(*range) && lowestIndex(bars, from, to, low, false) >= 0;
}

} // namespace

// ---------------------------------------------------------------------------

StockDuanTouChaDaoScanner::StockDuanTouChaDaoScanner(QObject* parent) : StockShapeScanner(parent) {}

int StockDuanTouChaDaoScanner::category() const
{
    return ShapeScannerCategory;
}

int StockDuanTouChaDaoScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    if (n < 26)
        return -1;
    const Stock& d0 = bars.at(n - 1);
    const Stock& d1 = bars.at(n - 2);
    if (!(d0.changePercent < -3.0))
        return -1;
    const auto days = lastTwoDays(bars, {&ma5, &ma10, &ma20});
    if (!belowAll(d0.close, days[1]) || !aboveAll(d1.close, days[0]))
        return -1;
    shape.point1 = closeAt(d0);
    shape.name = QStringLiteral("断头铡刀");
    appendComment(out, QStringLiteral("断头铡刀"));
    return 1;
}

// ---------------------------------------------------------------------------

StockGaoWeiHengPanScanner::StockGaoWeiHengPanScanner(QObject* parent) : StockShapeScanner(parent) {}

int StockGaoWeiHengPanScanner::category() const
{
    return ShapeScannerCategory;
}

int StockGaoWeiHengPanScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    SevenDayRange range;
    float low60 = 0;
    if (!narrowRangeWithLow(bars, n - 60, n - 1, &range, &low60) || !((range.high - low60) / range.low * 100 >= 20))
        return -1;
    appendComment(out, QStringLiteral("高位横盘看跌"));
    return 1;
}

// ---------------------------------------------------------------------------

StockDiWeiHengPanScanner::StockDiWeiHengPanScanner(QObject* parent) : StockShapeScanner(parent) {}

int StockDiWeiHengPanScanner::category() const
{
    return ShapeScannerCategory;
}

int StockDiWeiHengPanScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    SevenDayRange range;
    float low60 = 0;
    if (!narrowRangeWithLow(bars, n - 60, n - 20, &range, &low60) || !(range.low <= low60 * 1.036))
        return -1;
    appendComment(out, QStringLiteral("低位横盘看涨"));
    return 0;
}

// ---------------------------------------------------------------------------

StockMShapeScanner::StockMShapeScanner(QObject* parent) : StockShapeScanner(parent) {}

int StockMShapeScanner::category() const
{
    return ShapeScannerCategory;
}

int StockMShapeScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    if (n < 61 || !hasBearishKPattern(bars))
        return -1;
    float top = 0;
    const int top61 = highestIndex(bars, n - 61, n - 1, &top, true);
    if (top61 < 0 || top61 != highestIndex(bars, n - 31, n - 1, &top, true))
        return -1;

    // The last two golden crosses of MA5 over MA10; missing ones stay at bar 0.
    ma5.clear();
    ma10.clear();
    int latestCross = 0;
    int earlierCross = 0;
    IndicatorResult prev5, prev10;
    for (int i = 0; i < n; ++i) {
        const IndicatorResult r5 = ma5.update(bars.at(i));
        const IndicatorResult r10 = ma10.update(bars.at(i));
        if (i >= 2 && prev5.valid && prev10.valid && r5.valid && r10.valid && prev5.first < prev10.first
            && r5.first > r10.first) {
            earlierCross = latestCross;
            latestCross = i;
        }
        prev5 = r5;
        prev10 = r10;
    }
    const IndicatorResult last20 = lastWindowed(ma20, 20, bars, 1).back();
    if (!prev5.valid || !prev10.valid || !last20.valid || prev5.first < prev10.first || prev5.first < last20.first)
        return -1;

    float peak1 = 0;
    float peak2 = 0;
    const int peak1Index = highestIndex(bars, earlierCross, latestCross, &peak1, true);
    const int peak2Index = highestIndex(bars, latestCross, n - 1, &peak2, true);
    if (peak1Index < 0 || peak2Index < 0)
        return -1;
    float trough = 0;
    const int troughIndex = lowestIndex(bars, peak1Index, peak2Index, &trough, false);
    if (troughIndex < 0)
        return -1;
    const float lowerPeak = std::min(peak1, peak2);
    const float higherPeak = std::max(peak1, peak2);
    if (!(trough * 1.09 <= peak1 && trough * 1.09 <= peak2 && higherPeak - lowerPeak <= lowerPeak * 1.11))
        return -1;

    shape.point1 = closeAt(bars.at(peak2Index));
    shape.point2 = closeAt(bars.at(peak1Index));
    shape.point3 = closeAt(bars.at(troughIndex));
    shape.name = QStringLiteral("双顶形态");
    appendComment(out, QStringLiteral("M形态"));
    return 1;
}

// ---------------------------------------------------------------------------

StockWShapeScanner::StockWShapeScanner(QObject* parent) : StockShapeScanner(parent) {}

int StockWShapeScanner::category() const
{
    return ShapeScannerCategory;
}

int StockWShapeScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    QString pattern;
    if (n < 61 || !hasBullishKPattern(bars, &pattern, true))
        return -1;
    float bottom1 = 0;
    float top = 0;
    const int bottomIndex = lowestIndex(bars, n - 46, n - 4, &bottom1, true);
    const int topIndex = highestIndex(bars, n - 22, n - 2, &top, true);
    if (bottomIndex < 0 || topIndex <= bottomIndex || !(bottom1 > 0))
        return -1;
    if (!((top - bottom1) / bottom1 >= 0.2))
        return -1;
    const Stock& last = bars.at(n - 1);
    const float bottom2 = std::min(last.open, last.close);
    const float lowerBottom = std::min(bottom1, bottom2);
    if (!(lowerBottom > 0) || !(std::fabs(bottom2 - bottom1) / lowerBottom <= 0.02))
        return -1;

    shape.point1 = closeAt(bars.at(bottomIndex));
    shape.point2 = closeAt(bars.at(topIndex));
    shape.point3 = pointAt(last, bottom2);
    shape.name = QStringLiteral("W形态");
    appendComment(out, QStringLiteral("W形态"));
    return 0;
}

// ---------------------------------------------------------------------------

namespace {

const float strongRise = 4.2f;

// The latest bar before the last that rose at least 4.2 %, or -1.
int previousStrongRise(const QVector<Stock>& bars)
{
    for (int i = bars.size() - 2; i >= 0; --i) {
        if (bars.at(i).changePercent >= strongRise)
            return i;
    }
    return -1;
}

// The flat top: the last new high of [from, to] lies within 1 % of the high it
// replaced. A range whose first high was never exceeded has no second touch.
bool hasFlatTop(const QVector<Stock>& bars, int from, int to)
{
    if (from < 0 || to <= from)
        return false;
    float highest = bars.at(from).high;
    float replaced = 0;
    bool wasReplaced = false;
    for (int i = from + 1; i <= to; ++i) {
        if (bars.at(i).high > highest) {
            replaced = highest;
            highest = bars.at(i).high;
            wasReplaced = true;
        }
    }
    if (!wasReplaced || !(replaced > 0))
        return false;
    return (std::max(highest, replaced) - std::min(highest, replaced)) / replaced * 100 <= 1.0;
}

} // namespace

StockShangShengSanJiaoXingScanner::StockShangShengSanJiaoXingScanner(QObject* parent)
    : StockShapeScanner(parent)
{
}

int StockShangShengSanJiaoXingScanner::category() const
{
    return ShapeScannerCategory;
}

int StockShangShengSanJiaoXingScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    if (n < 26)
        return -1;
    const Stock& last = bars.at(n - 1);
    if (!(last.changePercent >= strongRise))
        return -1;
    const int k = previousStrongRise(bars);
    if (k - 5 < 0)
        return -1;

    float low = 0;
    const int base = lowestIndex(bars, k - 5, k, &low, true);
    if (base < 0 || !(low > 0))
        return -1;
    float high = 0;
    const int top = highestIndex(bars, base, n - 2, &high, true);
    if (top <= base || !(high < last.close) || !(n - 1 - base > 3))
        return -1;
    if (!((last.close - low) / low * 100 >= 18))
        return -1;
    if (!hasFlatTop(bars, n - 33, n - 2))
        return -1;
    float risingLow = 0;
    if (lowestIndex(bars, k + 1, n - 2, &risingLow, true) < 0 || !(risingLow >= low * 1.06))
        return -1;

    shape.point1 = pointAt(bars.at(base), low);
    shape.point2 = closeAt(bars.at(k));
    shape.point3 = closeAt(last);
    shape.name = QStringLiteral("上三角形形态");
    appendComment(out, QStringLiteral("上三角形形态"));
    return 0;
}

// ---------------------------------------------------------------------------

StockYiYangChuanSanXianScanner::StockYiYangChuanSanXianScanner(QObject* parent) : StockShapeScanner(parent) {}

int StockYiYangChuanSanXianScanner::category() const
{
    return ShapeScannerCategory;
}

int StockYiYangChuanSanXianScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    if (n < 33)
        return -1;
    const Stock& d0 = bars.at(n - 1);
    const Stock& d1 = bars.at(n - 2);
    if (!(d0.changePercent > 4.0))
        return -1;
    const auto days = lastTwoDays(bars, {&ma5, &ma10, &ma30});
    if (!aboveAll(d1.close, days[0]) || !aboveAll(d0.close, days[1]))
        return -1;
    const float largest = std::max({days[0][0].first, days[0][1].first, days[0][2].first});
    const float smallest = std::min({days[0][0].first, days[0][1].first, days[0][2].first});
    if (!(smallest > 0) || !((largest - smallest) / smallest * 100 <= 1.5))
        return -1;
    appendComment(out, QStringLiteral("一阳穿三线"));
    return 0;
}

// ---------------------------------------------------------------------------

StockUpwardTrendScanner::StockUpwardTrendScanner(QObject* parent) : StockShapeScanner(parent) {}

int StockUpwardTrendScanner::category() const
{
    return ShapeScannerCategory;
}

int StockUpwardTrendScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    Q_UNUSED(out)
    const int n = bars.size();
    if (n < 46)
        return -1;
    const auto m5 = lastWindowed(ma5, 5, bars, days);
    const auto m20 = lastWindowed(ma20, 20, bars, days);
    // j counts back from the newest bar; the newest bar's own change is free.
    for (int j = 0; j < days; ++j) {
        const IndicatorResult& fast = m5[days - 1 - j];
        const IndicatorResult& slow = m20[days - 1 - j];
        if (!fast.valid || !slow.valid || !(fast.first > slow.first))
            return -1;
        const float change = bars.at(n - 1 - j).changePercent;
        if (j > 0 && (change > maxChange || change < minChange))
            return -1;
    }
    float lowest = 0;
    const int lowIndex = lowestIndex(bars, n - days - 1, n - 1, &lowest, false);
    if (lowIndex < 0 || !(n - 1 - lowIndex >= days * 0.66 + 1))
        return -1;
    return 0;
}
