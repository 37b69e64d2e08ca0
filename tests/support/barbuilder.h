#pragma once

// Single bars for the tests of indicators, scanners and strategies. Dates, when
// a test needs them, count days from 2020-01-01.

#include "core/stock.h"

#include <QDate>
#include <QString>
#include <QVector>

inline Stock candle(float open, float high, float low, float close, float changePercent = 0, float volume = 0)
{
    Stock s;
    s.open = open;
    s.high = high;
    s.low = low;
    s.close = close;
    s.changePercent = changePercent;
    s.volume = volume;
    return s;
}

// A bar that opens and closes at `close`; high and low default to the close.
inline Stock bar(float close, float high = -1, float low = -1, float volume = 0)
{
    return candle(close, high < 0 ? close : high, low < 0 ? close : low, close, 0, volume);
}

inline QVector<Stock> closes(const QVector<float>& values)
{
    QVector<Stock> bars;
    for (float v : values)
        bars.append(bar(v));
    return bars;
}

inline QString dayText(int i)
{
    return QDate(2020, 1, 1).addDays(i).toString("yyyy-MM-dd");
}
