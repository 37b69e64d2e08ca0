#pragma once

// The seat table of a dragon-tiger entry, shared by the dragon-tiger page and
// the seat window: who bought and sold, buyers on red, sellers on blue.

#include "core/records.h"

#include <QVector>

class QTableWidget;

// Read-only, whole-row single selection, line look, sortable; the four columns
// "营业部", "买入金额(万元)", "卖出金额(万元)", "净买入(万元)".
void setupSeatTable(QTableWidget* table, int seatWidth, int amountWidth);

// Replaces the rows with one per unit that names a seat (the summary unit
// names none), in order; side 1 rows red, every other side blue.
void showSeats(QTableWidget* table, const QVector<LHBUnit>& units);
