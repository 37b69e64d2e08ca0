#pragma once

// Daily series that show the hot-stock set-ups, shared by the scanner and
// the page tests.

#include "tests/support/barbuilder.h"

// Swings between 10 and 12 in 8-bar legs, starting and ending at 10 after a
// fall: the 6-bar average turns once per leg.
inline SeriesBuilder zigzag(int legs)
{
    SeriesBuilder b;
    b.flat(1, 10);
    for (int i = 0; i < legs; ++i)
        b.ramp(8, i % 2 == 0 ? 12 : 10);
    return b;
}

// A zigzag whose last bar falls 6 % below the earlier lows on even volume:
// the breakdown set-up (type 3).
inline QVector<Stock> breakdownSeries(int legs)
{
    SeriesBuilder b = zigzag(legs);
    b.add(ohlc(10, 10, 9.4f, 9.4f));
    return b.bars();
}

// A zigzag whose last bar gaps up above the earlier highs on high volume:
// the breakout set-up (type 1).
inline QVector<Stock> breakoutSeries(int legs)
{
    SeriesBuilder b = zigzag(legs);
    b.add(ohlc(12.3f, 12.6f, 12.3f, 12.5f).volume(3000));
    return b.bars();
}
