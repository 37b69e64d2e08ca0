#pragma once

// The candle-pattern test on a local seven-column daily CSV (date, open, high,
// close, low, volume, amount; newest day first) instead of a series in memory.

#include "core/stock.h"

#include <QString>
#include <QVector>

// Reads the bars of the file at path (oldest first) into *bars when given and
// answers detectKPattern for id on them. A file that cannot be read gives no
// bars and false.
bool detectKPatternInFile(int id, const QString& path, QVector<Stock>* bars, QString* name);
