#pragma once

// Stock records and daily series for the tests. A record is built by name, so
// that no test mixes up the order of a bar's prices:
//
//   ohlc(10, 10.5f, 9.9f, 10.2f).volume(3000).day(4)   // open, high, low, close
//   flatBar(10).high(10.5f)                           // open = high = low = close = 10, then high 10.5
//   StockBuilder().code("600000").totals(10000)       // a pool entry
//
// A series is built step by step (flat stretches, ramps, closes, bars) and
// gets its dates and change percents at the end. Dates count days from
// 2020-01-01 (dayText).

#include "core/stock.h"

#include <QDate>
#include <QString>
#include <QVector>

inline QString dayText(int i)
{
    return QDate(2020, 1, 1).addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
}

// One Stock record built by name: a daily bar, a pool entry, a pick.
class StockBuilder
{
public:
    StockBuilder() = default;
    explicit StockBuilder(const Stock& from)
        : s(from)
    {
    }

    StockBuilder& open(float v) { return set(&Stock::open, v); }
    StockBuilder& high(float v) { return set(&Stock::high, v); }
    StockBuilder& low(float v) { return set(&Stock::low, v); }
    StockBuilder& close(float v) { return set(&Stock::close, v); }
    StockBuilder& preClose(float v) { return set(&Stock::preClose, v); }
    StockBuilder& volume(float v) { return set(&Stock::volume, v); }
    StockBuilder& changePercent(float v) { return set(&Stock::changePercent, v); }
    StockBuilder& code(const QString& v) { return set(&Stock::code, v); }
    StockBuilder& name(const QString& v) { return set(&Stock::name, v); }
    StockBuilder& industry(const QString& v) { return set(&Stock::industry, v); }
    StockBuilder& totals(int v) { return set(&Stock::totals, v); }
    StockBuilder& date(const QString& v) { return set(&Stock::date, v); }
    StockBuilder& day(int i) { return date(dayText(i)); }

    operator Stock() const { return s; }

private:
    template <typename T>
    StockBuilder& set(T Stock::*field, const T& value)
    {
        s.*field = value;
        return *this;
    }

    Stock s;
};

// A bar from its prices in the order the name says: open, high, low, close.
inline StockBuilder ohlc(float open, float high, float low, float close)
{
    return StockBuilder().open(open).high(high).low(low).close(close);
}

// A bar that opens, closes and stays at `price`.
inline StockBuilder flatBar(float price)
{
    return ohlc(price, price, price, price);
}

// A daily series. Filler bars are dojis (open = close), which no candle
// pattern takes as rising or falling, so the bars a test adds by hand are the
// only candles a scanner can recognise. A bar without a volume trades 1000.
class SeriesBuilder
{
public:
    SeriesBuilder() = default;
    // Goes on from `bars` as they are; bars() gives them their change percents anew.
    explicit SeriesBuilder(const QVector<Stock>& bars)
        : series(bars)
        , explicitPct(bars.size(), false)
    {
    }

    // count dojis at close, with high and low `spread` away from it.
    SeriesBuilder& flat(int count, float close, float spread = 0, float volume = 1000)
    {
        for (int i = 0; i < count; ++i)
            add(ohlc(close, close + spread, close - spread, close).volume(volume));
        return *this;
    }

    // count dojis whose closes move in equal steps from the last close to `to`
    // (the last of them closes at `to`).
    SeriesBuilder& ramp(int count, float to, float spread = 0)
    {
        const float from = series.isEmpty() ? to : series.last().close;
        for (int i = 1; i <= count; ++i)
            flat(1, from + (to - from) * i / count, spread);
        return *this;
    }

    // count dojis whose closes step from `from` to `to`, both included.
    SeriesBuilder& line(int count, float from, float to, float spread = 0)
    {
        return flat(1, from, spread).ramp(count - 1, to, spread);
    }

    SeriesBuilder& closes(const QVector<float>& values, float spread = 0)
    {
        for (float v : values)
            flat(1, v, spread);
        return *this;
    }

    // Bars at close 10 with the given volumes.
    SeriesBuilder& volumes(const QVector<float>& values)
    {
        for (float v : values)
            flat(1, 10, 0, v);
        return *this;
    }
    SeriesBuilder& volumes(int count, float volume) { return flat(count, 10, 0, volume); }

    SeriesBuilder& add(const Stock& bar)
    {
        series.append(bar);
        if (series.last().volume == 0)
            series.last().volume = 1000;
        explicitPct.append(false);
        return *this;
    }

    // Overrides the change percent of the last bar added.
    SeriesBuilder& pct(float changePercent)
    {
        series.last().changePercent = changePercent;
        explicitPct.last() = true;
        return *this;
    }

    // The code every bar carries (none by default).
    SeriesBuilder& code(const QString& value)
    {
        stockCode = value;
        return *this;
    }

    int size() const { return series.size(); }

    // The series with dates one day apart (dayText) and, where not given, the
    // change percent against the previous close.
    QVector<Stock> bars() const
    {
        QVector<Stock> out = series;
        for (int i = 0; i < out.size(); ++i) {
            out[i].code = stockCode.isEmpty() ? out.at(i).code : stockCode;
            out[i].date = dayText(i);
            if (i > 0 && !explicitPct.at(i) && out.at(i - 1).close != 0)
                out[i].changePercent = (out.at(i).close - out.at(i - 1).close) * 100 / out.at(i - 1).close;
        }
        return out;
    }

private:
    QVector<Stock> series;
    QVector<bool> explicitPct;
    QString stockCode;
};

// Dojis at the given closes, as SeriesBuilder makes them.
inline QVector<Stock> closes(const QVector<float>& values)
{
    return SeriesBuilder().closes(values).bars();
}
