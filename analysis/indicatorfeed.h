#pragma once

// Feeding a scanner's indicators once per scan. A windowed indicator's value on
// a bar depends only on the bars its window reaches, so a scanner that reads
// the last few values feeds just those bars; the values (and their validity)
// equal those of a feed from the first bar. Recursive indicators (MACD, KDJ)
// depend on every bar and are fed from 0.

#include "addon/stockindicator.h"
#include "core/stock.h"

#include <QVector>

#include <algorithm>
#include <vector>

namespace indicatorfeed {

// First bar to feed so that the last `keep` results see their whole window.
inline int windowStart(int barCount, int window, int keep)
{
    return std::max(0, barCount - keep - window + 1);
}

// Clears the indicator, feeds bars [from, size - 1] and returns the results of
// the last `keep` bars, oldest first (fewer when the series is shorter).
inline std::vector<IndicatorResult> lastResults(StockIndicator& indicator, const QVector<Stock>& bars,
                                                int from, int keep)
{
    indicator.clear();
    const int n = bars.size();
    const int firstKept = std::max(from, n - keep);
    std::vector<IndicatorResult> results;
    results.reserve(static_cast<size_t>(std::max(0, n - firstKept)));
    for (int i = std::max(0, from); i < n; ++i) {
        const IndicatorResult r = indicator.update(bars.at(i));
        if (i >= firstKept)
            results.push_back(r);
    }
    return results;
}

// The last `keep` results of a windowed indicator of the given window length.
inline std::vector<IndicatorResult> lastWindowed(StockIndicator& indicator, int window,
                                                 const QVector<Stock>& bars, int keep)
{
    return lastResults(indicator, bars, windowStart(bars.size(), window, keep), keep);
}

} // namespace indicatorfeed
