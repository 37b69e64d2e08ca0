#pragma once

// The indicator interface that crosses the add-on boundary: an add-on receives
// indicators from the host and drives them through these three operations only.
// Both sides compile this very header, so the member order of IndicatorResult and
// the order of the virtual operations are part of the add-on interface.

#include "core/stock.h"

// One indicator value. While an indicator has not seen enough bars the result is
// invalid and all four numbers are 0. What the numbers mean depends on the
// indicator (see analysis/indicators.h).
struct IndicatorResult
{
    bool valid = false;
    float first = 0;
    float second = 0;
    float third = 0;
    float fourth = 0;
};

// An incremental calculator fed the bars of one stock, oldest first, one per call.
struct StockIndicator
{
    // Forget every bar and running value (back to the constructed state).
    virtual void clear() = 0;
    // Take the bar into the state and return the value that includes it.
    virtual IndicatorResult update(const Stock& bar) = 0;
    // What update would return for the bar, leaving the state unchanged.
    virtual IndicatorResult peek(const Stock& bar) = 0;

    // Declared after the three operations so that they keep the first three
    // slots; it lets an owner that holds indicators by this type delete them.
    virtual ~StockIndicator() = default;
};
