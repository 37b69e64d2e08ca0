#pragma once

// The sources that fill descriptive fields read the application's stock pool.
// They take a copy, and an empty one where no application object runs (a
// tool or a test without VorelApplication).

#include "core/stock.h"

#include <QMap>
#include <QString>

QMap<QString, Stock> applicationStockPool();

// A share count read as a real number, stored as an int: truncated toward
// zero and held within the int range (the numbers come off the wire).
int truncatedCount(double value);
