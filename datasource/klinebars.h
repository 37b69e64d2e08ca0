#pragma once

// The bars of a QQ finance K-line body, the format of the downloads and of
// the history files under data/ alike. Any thread may read any body at any
// time: the result depends on the body alone.

#include "core/stock.h"

#include <QString>
#include <QVector>

// What the reading of a body found besides its bars.
struct KLineReading
{
    int barsAt = -1;       // where the array of bar arrays opens ("[["), -1 without one
    bool closed = false;   // that array also closes ("]]")
    bool numeric = true;   // every number item of every bar is a number
    bool everyPieceABar = true;   // no piece of the array was too short to be a bar, nor empty
};

// The bars of the first array of arrays, oldest first, each with `code`;
// none from a body without that array.
QVector<Stock> readKLineBars(const QString& body, const QString& code, KLineReading* reading = nullptr);

// Whether every bar's date comes after the one before it, as in a history
// that lists each trading day once, oldest first ("yyyy-MM-dd" dates compare
// as texts). A repeated or an earlier date marks a garbled answer.
bool datesRise(const QVector<Stock>& bars);
