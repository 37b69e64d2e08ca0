#pragma once

// Builds short daily series for the scanner tests. Filler bars are dojis (open =
// close), which no candle pattern takes as rising or falling, so a test's
// pattern bars are the only candles a scanner can recognise.

#include "core/stock.h"
#include "tests/support/barbuilder.h"

#include <QDate>
#include <QVector>

#include <algorithm>

class SeriesBuilder
{
public:
    // count dojis at close, with high and low `spread` away from it.
    SeriesBuilder& flat(int count, float close, float spread = 0, float volume = 1000)
    {
        for (int i = 0; i < count; ++i)
            doji(close, spread, volume);
        return *this;
    }

    // count dojis whose closes move in equal steps from the last close to `to`
    // (the last of them closes at `to`).
    SeriesBuilder& ramp(int count, float to, float spread = 0)
    {
        const float from = series.isEmpty() ? to : series.last().close;
        for (int i = 1; i <= count; ++i)
            doji(from + (to - from) * i / count, spread, 1000);
        return *this;
    }

    SeriesBuilder& closes(std::initializer_list<float> values, float spread = 0)
    {
        for (float v : values)
            doji(v, spread, 1000);
        return *this;
    }

    SeriesBuilder& candle(float open, float high, float low, float close, float volume = 1000)
    {
        return add(::candle(open, high, low, close, 0, volume));
    }

    // Bars at close 10 with the given volumes.
    SeriesBuilder& volumes(std::initializer_list<float> values)
    {
        for (float v : values)
            doji(10, 0, v);
        return *this;
    }
    SeriesBuilder& volumes(int count, float volume) { return flat(count, 10, 0, volume); }

    // Overrides the change percent of the last bar added.
    SeriesBuilder& pct(float changePercent)
    {
        series.last().changePercent = changePercent;
        explicitPct.last() = true;
        return *this;
    }

    int size() const { return series.size(); }

    // The series with dates one day apart and, where not given, the change
    // percent against the previous close.
    QVector<Stock> bars() const
    {
        QVector<Stock> out = series;
        for (int i = 0; i < out.size(); ++i) {
            out[i].date = QDate(2026, 1, 1).addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
            if (i > 0 && !explicitPct.at(i) && out.at(i - 1).close != 0)
                out[i].changePercent = (out.at(i).close - out.at(i - 1).close) * 100 / out.at(i - 1).close;
        }
        return out;
    }

private:
    void doji(float close, float spread, float volume)
    {
        candle(close, close + spread, close - spread, close, volume);
    }

    SeriesBuilder& add(const Stock& s)
    {
        series.append(s);
        explicitPct.append(false);
        return *this;
    }

    QVector<Stock> series;
    QVector<bool> explicitPct;
};

inline QString dateOf(int index)
{
    return QDate(2026, 1, 1).addDays(index).toString(QStringLiteral("yyyy-MM-dd"));
}
