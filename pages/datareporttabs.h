#pragma once

// The main window's page "数据报表": six information tables in one tab
// widget. The notices page and the hot-stock page are registered with the
// application object, which starts their searches and reads their results;
// the last tab, "股票列表", is a plain stock list the main window fills from
// the stock pool.

#include "core/stock.h"

#include <QMap>
#include <QString>

class QTabWidget;

// The tab widget (no parent; it owns its pages).
QTabWidget* createDataReportTabs();

// Makes the last tab of `tabs`, a stock list, show exactly the stocks of
// `pool` in code order. A list that already shows them is left as it is.
void fillStockListTab(QTabWidget* tabs, const QMap<QString, Stock>& pool);
