#pragma once

// Bars and daily series for the tests of indicators, scanners, strategies and
// add-ons. A bar is built by name, so that no test mixes up the order of its
// prices:
//
//   Bar::ohlc(10, 10.5f, 9.9f, 10.2f).volume(3000).day(4)   // open, high, low, close
//   Bar::flat(10).high(10.5f)                              // open = high = low = close = 10, then high 10.5
//
// A series is built step by step (flat stretches, ramps, closes, bars) and
// gets its dates and change percents at the end. Dates count days from
// 2020-01-01 (dayText).

#include "core/stock.h"

#include <QDate>
#include <QString>
#include <QVector>

#include <initializer_list>

inline QString dayText(int i)
{
    return QDate(2020, 1, 1).addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
}

class Bar
{
public:
    // The prices in the order the name says: open, high, low, close.
    static Bar ohlc(float open, float high, float low, float close)
    {
        Bar b;
        b.s.open = open;
        b.s.high = high;
        b.s.low = low;
        b.s.close = close;
        return b;
    }
    // A bar that opens, closes and stays at `price`.
    static Bar flat(float price) { return ohlc(price, price, price, price); }

    Bar& open(float v)
    {
        s.open = v;
        return *this;
    }
    Bar& high(float v)
    {
        s.high = v;
        return *this;
    }
    Bar& low(float v)
    {
        s.low = v;
        return *this;
    }
    Bar& close(float v)
    {
        s.close = v;
        return *this;
    }
    Bar& volume(float v)
    {
        s.volume = v;
        volumeGiven = true;
        return *this;
    }
    Bar& changePercent(float v)
    {
        s.changePercent = v;
        return *this;
    }
    Bar& preClose(float v)
    {
        s.preClose = v;
        return *this;
    }
    Bar& code(const QString& v)
    {
        s.code = v;
        return *this;
    }
    Bar& name(const QString& v)
    {
        s.name = v;
        return *this;
    }
    Bar& date(const QString& v)
    {
        s.date = v;
        return *this;
    }
    Bar& day(int i) { return date(dayText(i)); }

    bool hasVolume() const { return volumeGiven; }
    operator Stock() const { return s; }

private:
    Stock s;
    bool volumeGiven = false;
};

// A daily series. Filler bars are dojis (open = close), which no candle
// pattern takes as rising or falling, so the bars a test adds by hand are the
// only candles a scanner can recognise. Every bar trades 1000 unless it names
// its volume.
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
            add(Bar::ohlc(close, close + spread, close - spread, close).volume(volume));
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
        for (int i = 0; i < count; ++i)
            flat(1, from + (to - from) * i / (count - 1), spread);
        return *this;
    }

    SeriesBuilder& closes(std::initializer_list<float> values, float spread = 0)
    {
        for (float v : values)
            flat(1, v, spread);
        return *this;
    }
    SeriesBuilder& closes(const QVector<float>& values)
    {
        for (float v : values)
            flat(1, v);
        return *this;
    }

    SeriesBuilder& add(Bar bar)
    {
        if (!bar.hasVolume())
            bar.volume(1000);
        series.append(bar);
        explicitPct.append(false);
        return *this;
    }

    // Bars at close 10 with the given volumes.
    SeriesBuilder& volumes(std::initializer_list<float> values)
    {
        for (float v : values)
            flat(1, 10, 0, v);
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
            if (!stockCode.isEmpty())
                out[i].code = stockCode;
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
