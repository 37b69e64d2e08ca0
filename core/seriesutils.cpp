#include "core/seriesutils.h"

namespace {

bool isRangeInside(const QVector<Stock>& bars, int from, int to)
{
    return from >= 0 && from <= to && to < bars.size();
}

} // namespace

// The search starts from the first bar of the range rather than from a fixed
// ceiling, so that values of any size (volumes, sentinels) still give an index.
int lowestIndex(const QVector<Stock>& bars, int from, int to, float* value, bool useLow)
{
    if (!isRangeInside(bars, from, to))
        return -1;
    int index = from;
    float lowest = bars.at(from).close;
    for (int i = from; i <= to; ++i) {
        const Stock& bar = bars.at(i);
        if (bar.close < lowest) {
            lowest = bar.close;
            index = i;
        }
        if (useLow && bar.low < lowest) {
            lowest = bar.low;
            index = i;
        }
    }
    if (value)
        *value = lowest;
    return index;
}

int highestIndex(const QVector<Stock>& bars, int from, int to, float* value, bool useHigh)
{
    if (!isRangeInside(bars, from, to))
        return -1;
    int index = from;
    float highest = bars.at(from).close;
    for (int i = from; i <= to; ++i) {
        const Stock& bar = bars.at(i);
        if (bar.close > highest) {
            highest = bar.close;
            index = i;
        }
        if (useHigh && bar.high > highest) {
            highest = bar.high;
            index = i;
        }
    }
    if (value)
        *value = highest;
    return index;
}

double rangeAverage(const QVector<Stock>& bars, int from, int to, int mode)
{
    if (!isRangeInside(bars, from, to))
        return 0.0;
    double sum = 0.0;
    for (int i = from; i <= to; ++i)
        sum += mode == 1 ? bars.at(i).volume : bars.at(i).close;
    return sum / (to - from + 1);
}

void findExtremes(const QVector<Stock>& bars, int* highIndex, int* lowIndex, float* high, float* low)
{
    findExtremes(bars, bars.size(), highIndex, lowIndex, high, low);
}

void findExtremes(const QVector<Stock>& bars, int count, int* highIndex, int* lowIndex, float* high, float* low)
{
    count = qBound(0, count, bars.size());
    int hi = -1;
    int lo = -1;
    float highest = 0.0f;
    float lowest = 9999.99f;
    if (count > 0) {
        hi = lo = 0;
        highest = bars.at(0).high;
        lowest = bars.at(0).low;
    }
    for (int i = 1; i < count; ++i) {
        const Stock& bar = bars.at(i);
        if (bar.high > highest) {
            highest = bar.high;
            hi = i;
        }
        if (bar.low < lowest) {
            lowest = bar.low;
            lo = i;
        }
    }
    if (highIndex)
        *highIndex = hi;
    if (lowIndex)
        *lowIndex = lo;
    if (high)
        *high = highest;
    if (low)
        *low = lowest;
}

QVector<Stock> relativeSeries(const QVector<Stock>& bars)
{
    QVector<Stock> out;
    relativeSeries(bars, &out);
    return out;
}

void relativeSeries(QVector<Stock> bars, QVector<Stock>* out)
{
    if (bars.size() < 2) {
        *out = std::move(bars);
        return;
    }
    // A fresh buffer gets just what it needs; a kept one keeps its storage,
    // and every element is overwritten below.
    out->reserve(bars.size() - 1);
    out->resize(bars.size() - 1);
    Stock* relativeBars = out->data();
    float sum = 0;
    for (int i = 1; i < bars.size(); ++i) {
        const float p = bars.at(i - 1).close;
        // A previous close of 0 (a broken record) would make every later value
        // infinite; such a bar adds no change instead.
        auto relative = [sum, p](float x) -> float { return p == 0 ? sum : sum + (x - p) * 10.0 / p; };
        Stock& bar = relativeBars[i - 1];
        bar = std::move(bars[i]);
        bar.open = relative(bar.open);
        bar.high = relative(bar.high);
        bar.low = relative(bar.low);
        bar.close = relative(bar.close);
        sum = bar.close;
    }
}

void fitLine(const QVector<FitPoint>& points, float* k, float* b)
{
    float slope = 0;
    float intercept = 0;
    const int n = points.size();
    if (n > 0) {
        float sumX = 0;
        float sumY = 0;
        for (const FitPoint& p : points) {
            sumX += p.first;
            sumY += p.second;
        }
        const float meanX = sumX / n;
        const float meanY = sumY / n;
        float sxy = 0;
        float sxx = 0;
        for (const FitPoint& p : points) {
            const float dx = p.first - meanX;
            sxy += (p.second - meanY) * dx;
            sxx += dx * dx;
        }
        // Points that all share one x have no slope: the line is flat through
        // their mean rather than a division by zero.
        slope = sxx == 0 ? 0.0f : sxy / sxx;
        intercept = meanY - slope * meanX;
    }
    if (k)
        *k = slope;
    if (b)
        *b = intercept;
}

void fitPoints(QVector<FitPoint>& points)
{
    float k = 0;
    float b = 0;
    fitLine(points, &k, &b);
    for (FitPoint& p : points)
        p.second = k * p.first + b;
}
