#pragma once

// The common look of the data-report tables: read-only, whole-row single
// selection, no row numbers, alternating row colours, one line under each row
// instead of a grid. Columns start at the widths a page asks for and grow to
// what their header and texts need in the font the desktop gives, so that no
// code, date or header shows cut.

#include <QStringList>
#include <QVector>

class QTableWidget;
class QTableWidgetItem;

void setUpReportTable(QTableWidget* table, const QStringList& headers);

// The given widths, each widened where its header needs more.
void setColumnWidths(QTableWidget* table, const QVector<int>& widths);

// Widens (never narrows) every column to what its header needs.
void widenColumnsToHeaders(QTableWidget* table);

// Widens (never narrows) the columns of `row` to what its cells' texts need.
void widenColumnsToRow(QTableWidget* table, int row);

// A new cell of `text`, centred, for the short columns (codes, names).
QTableWidgetItem* centredItem(const QString& text);
