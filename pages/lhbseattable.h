#pragma once

// The seat table of a dragon-tiger entry, shared by the dragon-tiger page and
// the seat window: who bought and sold, buyers on a red tint, sellers on a
// blue one.

#include "core/records.h"

#include <QString>
#include <QVector>

class QTableWidget;

// Read-only, whole-row single selection, line look, sortable; the four columns
// "营业部", "买入金额(万元)", "卖出金额(万元)", "净买入(万元)".
void setupSeatTable(QTableWidget* table, int seatWidth, int amountWidth);

// Replaces the rows with one per unit that names a seat (the summary unit
// names none), in order; side 1 rows on a light red tint of the table's
// background, every other side on a light blue one. The amounts sort by value.
void showSeats(QTableWidget* table, const QVector<LHBUnit>& units);

// Whose seats a table shows: "600123 示例股份 2016-03-15", the name left out
// where it is not known.
QString seatSubject(const QString& code, const QString& name, const QString& date);

// A failed seat request of `subject` (seatSubject), naming the stock:
// "600123 示例股份 2016-03-15的席位下载失败：<reason>".
QString seatFailureText(const QString& subject, const QString& reason);
