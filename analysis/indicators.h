#pragma once

// The five built-in indicators and the predicates built on them. Each indicator
// keeps only what its rule needs (a short window of recent numbers or a few
// running values), so feeding a whole series costs O(bars x window).
//
// Results per indicator (a dash is always 0):
//   MaNIndicator     first = average close
//   VolMaNIndicator  first = average volume
//   BollIndicator    first = mean, second = +std, third = -std
//                    (upper band = first + second - third, lower = first - second + third)
//   KDJIndicator     first = K, second = D, third = J
//   MacdIndicator    first = MACD bar, second = DIFF, third = DEA

#include "addon/stockindicator.h"
#include "core/stock.h"

#include <QVector>

#include <vector>

// A fixed-length window of the latest numbers, oldest first. Holding numbers
// rather than whole bars keeps an update free of string and map copies.
class IndicatorWindow
{
public:
    explicit IndicatorWindow(int length);

    int length() const { return capacity; }
    int size() const { return count; }
    bool isFull() const { return count == capacity; }
    void clear();
    // Appends v, dropping the oldest value once the window is full.
    void push(float v);
    // Calls f with every value oldest first, leaving out the oldest `skip` ones
    // (0 or 1). The ring is kept twice over, so that the window is always one
    // run of the buffer: one loop of the same length bar after bar, whose end
    // the processor sees coming, where the two halves of a ring would end
    // somewhere else every bar.
    template <typename F>
    void forEach(int skip, F f) const
    {
        const float* const oldest = values.data() + start;
        for (int i = skip; i < count; ++i)
            f(oldest[i]);
    }
    // The values forEach visits, added one after the other to 0 in that
    // order: the order fixes the float result.
    float sum(int skip) const
    {
        const float* p = values.data() + start + skip;
        const float* const end = values.data() + start + count;
        float total = 0;
        // Four values a step, still added one by one in order: the loop
        // counts and branches once for four additions, half the instructions
        // in all, and the averages of a scan overlap further in the processor.
        for (; end - p >= 4; p += 4)
            total = total + p[0] + p[1] + p[2] + p[3];
        for (; p != end; ++p)
            total += *p;
        return total;
    }

private:
    std::vector<float> values;   // the ring, then the same ring again
    int capacity = 1;
    int start = 0;
    int count = 0;
};

// N-bar average of the close, valid from the n-th bar on.
class MaNIndicator final : public StockIndicator
{
public:
    // n below 1 is taken as 1 (an add-on may pass anything).
    explicit MaNIndicator(int n);

    void clear() override;
    IndicatorResult update(const Stock& bar) override;
    IndicatorResult peek(const Stock& bar) override;

    int length() const { return n; }

private:
    int n = 1;
    IndicatorWindow window;
};

// N-bar average of the volume, valid from the n-th bar on.
class VolMaNIndicator final : public StockIndicator
{
public:
    explicit VolMaNIndicator(int n);

    void clear() override;
    IndicatorResult update(const Stock& bar) override;
    IndicatorResult peek(const Stock& bar) override;

    int length() const { return n; }

private:
    int n = 1;
    IndicatorWindow window;
};

// 20-bar mean and population standard deviation of the close.
class BollIndicator final : public StockIndicator
{
public:
    BollIndicator();

    void clear() override;
    IndicatorResult update(const Stock& bar) override;
    IndicatorResult peek(const Stock& bar) override;

private:
    IndicatorWindow closes;
};

// 9-bar stochastic K, D and J, each held within [0, 100].
class KDJIndicator final : public StockIndicator
{
public:
    KDJIndicator();

    void clear() override;
    IndicatorResult update(const Stock& bar) override;
    IndicatorResult peek(const Stock& bar) override;

private:
    IndicatorWindow highs;
    IndicatorWindow lows;
    float k = 0;
    float d = 0;
    float j = 0;
};

// 12/26-bar EMA difference with a 0.2-weighted signal line; valid from the second bar.
class MacdIndicator final : public StockIndicator
{
public:
    MacdIndicator() = default;

    void clear() override;
    IndicatorResult update(const Stock& bar) override;
    // Ignores the bar: answers the values of the last update.
    IndicatorResult peek(const Stock& bar) override;

private:
    float ema12 = 0;
    float ema26 = 0;
    float diff = 0;
    float dea = 0;
    float bar = 0;
    int count = -1;   // bars seen minus one
};

// The MACD bar turned from below 0 on the previous bar to above 0 on the last.
bool isMacdGoldenCross(const QVector<Stock>& bars);

// The last close is the first above the Boll upper band: the last close is above
// its band and the previous close below its own. Only n = 1 is supported.
bool isFirstBreakBollUpper(const QVector<Stock>& bars, int n);

// The upper band (first + 2 x second) stays below level on each of the last n results.
bool isBollUpperBelow(const QVector<IndicatorResult>& boll, float level, int n);
