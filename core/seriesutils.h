#pragma once

// Free functions over a daily bar series (oldest first): extremes of a range, a
// range average, the extremes of the whole series, a cumulative relative series
// and a least-squares line. The scanners and the strategies share them; nothing
// here keeps state.
//
// An index of -1 means "not found" and is never a valid bar: callers test it
// before indexing.

#include "core/stock.h"

#include <QPair>
#include <QVector>

// One point of a line fit: x is a bar index, y a price.
using FitPoint = QPair<int, float>;

// Index of the lowest close in [from, to] (inclusive); with useLow the lows count
// as well. The earliest bar wins on equal values. -1 (value untouched) when the
// range is empty or leaves the series.
int lowestIndex(const QVector<Stock>& bars, int from, int to, float* value, bool useLow);

// Mirror image of lowestIndex: highest close, and highs with useHigh.
int highestIndex(const QVector<Stock>& bars, int from, int to, float* value, bool useHigh);

// Mean of the closes (mode 0) or volumes (mode 1) of [from, to] inclusive, in
// double precision. 0 when the range is empty or leaves the series.
double rangeAverage(const QVector<Stock>& bars, int from, int to, int mode);

// Highest high and lowest low of the whole series with their indices (earliest
// wins). An empty series gives the indices -1, *high 0 and *low 9999.99.
void findExtremes(const QVector<Stock>& bars, int* highIndex, int* lowIndex, float* high, float* low);
// The same over the first `count` bars only (none when count is not positive),
// without copying them.
void findExtremes(const QVector<Stock>& bars, int count, int* highIndex, int* lowIndex, float* high, float* low);

// Every bar after the first, with open, high, low and close turned into a running
// sum of tenths of the per-bar change against the previous close. One bar comes
// back unchanged, an empty series empty.
QVector<Stock> relativeSeries(const QVector<Stock>& bars);
// The same series written into *out (not `bars` itself), whose storage is
// reused: a scan over many files keeps one series instead of building one per
// file. Bars handed over as a temporary give up their texts instead of having
// them copied.
void relativeSeries(QVector<Stock> bars, QVector<Stock>* out);

// Least-squares line y = k·x + b through the points.
void fitLine(const QVector<FitPoint>& points, float* k, float* b);

// Moves every point onto the fitted line of fitLine.
void fitPoints(QVector<FitPoint>& points);
