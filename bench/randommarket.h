#pragma once

// A synthetic whole market for the benchmarks: random-walk daily series of a
// fixed length, the same on every run (the generator is seeded by the index).

#include "core/stock.h"

#include <QDate>
#include <QVector>

#include <algorithm>
#include <cstdint>

namespace randommarket {

constexpr int marketSize = 5000;
constexpr int barsPerStock = 480;

// A fixed generator, so that every run scans the same market.
class Walk
{
public:
    explicit Walk(uint64_t seed) : state(seed * 2862933555777941757ULL + 3037000493ULL) {}

    // Uniform in [0, 1).
    double next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return (state >> 11) * (1.0 / 9007199254740992.0);
    }

    double between(double low, double high) { return low + (high - low) * next(); }

private:
    uint64_t state;
};

// "yyyy-MM-dd" of the trading days of every series, one per calendar day.
inline QVector<QString> seriesDates()
{
    QVector<QString> dates;
    for (int i = 0; i < barsPerStock; ++i)
        dates.append(QDate(2025, 1, 1).addDays(i).toString(QStringLiteral("yyyy-MM-dd")));
    return dates;
}

// The code of series `index`: six digits, as stored histories are named.
inline QString seriesCode(int index)
{
    return QString::number(600000 + index);
}

inline QVector<Stock> randomSeries(int index, const QVector<QString>& dates)
{
    Walk walk(static_cast<uint64_t>(index) + 1);
    QVector<Stock> bars(barsPerStock);
    float previous = static_cast<float>(walk.between(3, 60));
    for (int i = 0; i < barsPerStock; ++i) {
        Stock& bar = bars[i];
        bar.code = seriesCode(index);
        bar.date = dates.at(i);
        bar.open = previous * static_cast<float>(walk.between(0.98, 1.02));
        bar.close = std::max(0.5f, previous * static_cast<float>(walk.between(0.95, 1.05)));
        bar.high = std::max(bar.open, bar.close) * static_cast<float>(walk.between(1.0, 1.03));
        bar.low = std::min(bar.open, bar.close) * static_cast<float>(walk.between(0.97, 1.0));
        bar.volume = static_cast<float>(walk.between(1e5, 5e6));
        bar.preClose = previous;
        bar.change = bar.close - previous;
        bar.changePercent = bar.change * 100 / previous;
        previous = bar.close;
    }
    return bars;
}

} // namespace randommarket
