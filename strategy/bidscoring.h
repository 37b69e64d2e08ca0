#pragma once

// The call-auction picks judged without a page: a pick's score over its stored
// daily history, the mail lines of the best picks, and the bullish-candle test
// of the auction page's start-up scan of the stored files. They keep no state
// and touch nothing but the files they are given, so the GUI thread, Qt's
// global thread pool and the file-scan worker may all call them.

#include "core/stock.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The score the stored history at `path` (named by its code) adds to a pick's
// auction score: +6 above the upper Bollinger band, +2 for a code of
// `codeList`, -32 for one of `reductionCodes`, -36 for each top shape and +2
// for a low flat base. 0 for a file that does not read or holds under 10 bars.
int bidHistoryScore(const QString& path, const QStringList& codeList, const QStringList& reductionCodes);

// The mail lines of the scored picks, best first: at most 4, ending early
// after the first stock scoring below the auction's own 60.
QStringList bidMailLines(const QVector<Stock>& scored);

// The change percent of a mailed pick, truncated toward zero to two decimals;
// 0 without a previous close.
double truncatedChangePercent(const Stock& stock);

// Whether the stored history at `path` ends in a bullish candle pattern; false
// for a file that does not read.
bool storedHistoryEndsBullish(const QString& path);
