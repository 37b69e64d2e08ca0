#pragma once

// The sources that fill descriptive fields read the application's stock pool
// (and the quote filter its settings). They take a copy, and an empty pool or
// the default settings where no application object runs (a tool or a test
// without VorelApplication). The stock list and the pages
// that pick from the pool leave out the stocks under special treatment by
// the one rule here.

#include "core/appconfig.h"
#include "core/stock.h"

#include <QMap>
#include <QString>
#include <QStringList>

QMap<QString, Stock> applicationStockPool();
// The application's settings; the defaults where no application object runs.
AppConfig applicationConfig();

// Whether a stock's name marks it for special treatment ("ST", "*ST"): the
// stock lists and the picks leave such stocks out.
bool isSpecialTreatment(const QString& name);
// The codes of `pool` whose names are not so marked, in code order.
QStringList codesWithoutST(const QMap<QString, Stock>& pool);

// A share count read as a real number, stored as an int: truncated toward
// zero and held within the int range (the numbers come off the wire).
int truncatedCount(double value);
