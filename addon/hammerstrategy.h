#pragma once

// The hammer-candle rules of the standard add-on, free of any state so that
// they can be checked on their own. Prices are compared in single precision
// against single-precision constants, as the bars store them: a wick that
// rounds to exactly 0.03 still counts as short.

#include "core/stock.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace hammer {

// Longest upper wick, and shortest whole candle, in price units.
constexpr float kMaxUpperWick = 0.03f;
constexpr float kMinRange = 0.04f;
// The lower shadow is at least four times the body.
constexpr float kMaxBodyToShadow = 0.25f;
// Bars needed before the first one that can be tested: the 21-day averages.
constexpr int kFirstTestedBar = 21;

// Every comparison fails on a value that is not a number, as IEEE comparisons do.
inline bool isHammerCandle(const Stock& day)
{
    const float top = std::max(day.open, day.close);
    const float bottom = std::min(day.open, day.close);
    const float upperWick = std::fabs(day.high - top);
    const float closeWick = std::fabs(day.high - day.close);
    const float range = day.high - day.low;
    const float body = top - bottom;
    const float lowerShadow = bottom - day.low;
    return upperWick <= kMaxUpperWick && closeWick <= kMaxUpperWick && range > kMinRange
        && body <= kMaxBodyToShadow * lowerShadow;
}

// The three averages of one bar: close over 10 and 21 bars, volume over 21.
struct Averages
{
    float ma10 = 0;
    float ma21 = 0;
    float volMa21 = 0;
};

// Bar i (i >= 21) is a hit when it closes strictly below its 21-day average and
// at or below its 10-day average with a hammer candle on at least twice the
// 21-day volume average of the day before. `averages` holds one entry per bar.
inline bool isHit(const QVector<Stock>& days, const QVector<Averages>& averages, int i)
{
    if (i < kFirstTestedBar || i >= days.size() || averages.size() != days.size())
        return false;
    const Stock& day = days.at(i);
    return day.close < averages.at(i).ma21 && day.close <= averages.at(i).ma10
        && isHammerCandle(day) && day.volume >= 2 * averages.at(i - 1).volMa21;
}

} // namespace hammer
