#pragma once

// The common look of the data-report tables: read-only, whole-row single
// selection, no row numbers, alternating row colours, one line under each row
// instead of a grid.

#include <QStringList>

class QTableWidget;

void setUpReportTable(QTableWidget* table, const QStringList& headers);
