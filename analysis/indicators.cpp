#include "analysis/indicators.h"

#include <cmath>

IndicatorWindow::IndicatorWindow(int length)
    : values(2 * size_t(length < 1 ? 1 : length)), capacity(length < 1 ? 1 : length)
{
}

void IndicatorWindow::clear()
{
    start = 0;
    count = 0;
}

void IndicatorWindow::push(float v)
{
    // The oldest value moves only once the window is full, so until then the
    // ring starts at 0; a wrap by comparison saves a division per bar.
    const int at = count < capacity ? count : start;
    values[at] = v;
    values[at + capacity] = v;
    if (count < capacity)
        ++count;
    else if (++start == capacity)
        start = 0;
}

namespace {

// Sum of the window as it would be after pushing next, oldest first; the window
// itself is left alone so that peek and update share the arithmetic.
float sumWithNext(const IndicatorWindow& window, float next)
{
    return window.sum(window.isFull() ? 1 : 0) + next;
}

bool fillsWindow(const IndicatorWindow& window)
{
    return window.size() + 1 >= window.length();
}

IndicatorResult averageResult(const IndicatorWindow& window, float next, int n)
{
    if (!fillsWindow(window))
        return {};
    return {true, sumWithNext(window, next) / n, 0, 0, 0};
}

// NaN compares false both ways: it fails the lower bound and becomes 0.
float clampPercent(float v)
{
    if (!(v >= 0))
        return 0;
    return v > 100 ? 100 : v;
}

} // namespace

MaNIndicator::MaNIndicator(int n) : n(n < 1 ? 1 : n), window(this->n) {}

void MaNIndicator::clear()
{
    window.clear();
}

IndicatorResult MaNIndicator::update(const Stock& bar)
{
    const IndicatorResult result = peek(bar);
    window.push(bar.close);
    return result;
}

IndicatorResult MaNIndicator::peek(const Stock& bar)
{
    return averageResult(window, bar.close, n);
}

VolMaNIndicator::VolMaNIndicator(int n) : n(n < 1 ? 1 : n), window(this->n) {}

void VolMaNIndicator::clear()
{
    window.clear();
}

IndicatorResult VolMaNIndicator::update(const Stock& bar)
{
    const IndicatorResult result = peek(bar);
    window.push(bar.volume);
    return result;
}

IndicatorResult VolMaNIndicator::peek(const Stock& bar)
{
    return averageResult(window, bar.volume, n);
}

BollIndicator::BollIndicator() : closes(20) {}

void BollIndicator::clear()
{
    closes.clear();
}

IndicatorResult BollIndicator::update(const Stock& bar)
{
    const IndicatorResult result = peek(bar);
    closes.push(bar.close);
    return result;
}

IndicatorResult BollIndicator::peek(const Stock& bar)
{
    if (!fillsWindow(closes))
        return {};
    const float mean = sumWithNext(closes, bar.close) * 0.05;
    float squares = 0;
    closes.forEach(closes.isFull() ? 1 : 0, [&squares, mean](float c) {
        const float d = c - mean;
        squares += d * d;
    });
    const float last = bar.close - mean;
    squares += last * last;
    const float variance = squares * 0.05;
    const float deviation = std::sqrt(variance);
    return {true, mean, deviation, -deviation, 0};
}

KDJIndicator::KDJIndicator() : highs(9), lows(9) {}

void KDJIndicator::clear()
{
    highs.clear();
    lows.clear();
    k = d = j = 0;
}

IndicatorResult KDJIndicator::update(const Stock& bar)
{
    const IndicatorResult result = peek(bar);
    highs.push(bar.high);
    lows.push(bar.low);
    if (result.valid) {
        k = result.first;
        d = result.second;
        j = result.third;
    }
    return result;
}

IndicatorResult KDJIndicator::peek(const Stock& bar)
{
    if (!fillsWindow(highs))
        return {};
    float lowest = 1000000.0f;
    float highest = 0.0f;
    // Both windows are pushed together, so they hold the same bars in the same order.
    const int skip = highs.isFull() ? 1 : 0;
    lows.forEach(skip, [&lowest](float v) {
        if (v < lowest)
            lowest = v;
    });
    highs.forEach(skip, [&highest](float v) {
        if (v > highest)
            highest = v;
    });
    if (bar.low < lowest)
        lowest = bar.low;
    if (bar.high > highest)
        highest = bar.high;

    // A window whose highest equals its lowest makes this 0/0; the clamps below
    // turn it into 0 instead of letting NaN into the running state.
    const float rsv = (bar.close - lowest) / (highest - lowest) * 100;
    const float kNew = (2 * k + rsv) / 3;
    const float dNew = (kNew + 2 * d) / 3;
    const float kOut = clampPercent(kNew);
    const float dOut = clampPercent(dNew);
    const float jOut = clampPercent(3 * kOut - 2 * dOut);
    return {true, kOut, dOut, jOut, 0};
}

void MacdIndicator::clear()
{
    ema12 = ema26 = diff = dea = bar = 0;
    count = -1;
}

IndicatorResult MacdIndicator::update(const Stock& b)
{
    ++count;
    const float close = b.close;
    if (count == 0) {
        ema12 = ema26 = close;
        return {};
    }
    ema12 = ema12 + (close - ema12) * 2 / 13;
    ema26 = ema26 + (close - ema26) * 2 / 27;
    diff = ema12 - ema26;
    if (count == 1)
        dea = 0.2 * diff;
    else
        dea = 0.2 * diff + 0.8 * dea;
    bar = 2 * (diff - dea);
    return {true, bar, diff, dea, 0};
}

IndicatorResult MacdIndicator::peek(const Stock&)
{
    if (count < 0)
        return {};
    return {true, bar, diff, dea, 0};
}

namespace {

template <typename Indicator>
QVector<IndicatorResult> feedAll(Indicator& indicator, const QVector<Stock>& bars)
{
    QVector<IndicatorResult> results;
    results.reserve(bars.size());
    for (const Stock& b : bars)
        results.append(indicator.update(b));
    return results;
}

float bollUpper(const IndicatorResult& r)
{
    return r.first + r.second - r.third;
}

} // namespace

bool isMacdGoldenCross(const QVector<Stock>& bars)
{
    if (bars.size() < 2)
        return false;
    MacdIndicator macd;
    const QVector<IndicatorResult> results = feedAll(macd, bars);
    const IndicatorResult& last = results.at(results.size() - 1);
    const IndicatorResult& previous = results.at(results.size() - 2);
    return last.valid && previous.valid && last.first > 0 && previous.first < 0;
}

bool isFirstBreakBollUpper(const QVector<Stock>& bars, int n)
{
    if (n != 1 || bars.size() <= n + 1)
        return false;
    BollIndicator boll;
    const QVector<IndicatorResult> results = feedAll(boll, bars);
    const int last = results.size() - 1;
    const IndicatorResult& now = results.at(last);
    const IndicatorResult& before = results.at(last - 1);
    // A band that is not formed yet is no band to break through.
    if (!now.valid || !before.valid)
        return false;
    return bars.at(last).close > bollUpper(now) && bars.at(last - 1).close < bollUpper(before);
}

bool isBollUpperBelow(const QVector<IndicatorResult>& boll, float level, int n)
{
    if (n < 1 || boll.size() < n)
        return false;
    for (int i = boll.size() - n; i < boll.size(); ++i) {
        const IndicatorResult& r = boll.at(i);
        if (!r.valid || !(r.first + 2 * r.second < level))
            return false;
    }
    return true;
}
