#include "pages/lhbseattable.h"

#include "widgets/reporttable.h"

#include <QTableWidget>

void setupSeatTable(QTableWidget* table, int seatWidth, int amountWidth)
{
    setUpReportTable(table, { QStringLiteral("营业部"), QStringLiteral("买入金额(万元)"),
                              QStringLiteral("卖出金额(万元)"), QStringLiteral("净买入(万元)") });
    setColumnWidths(table, { seatWidth, amountWidth, amountWidth, amountWidth });
    table->setSortingEnabled(true);
}

void showSeats(QTableWidget* table, const QVector<LHBUnit>& units)
{
    // A sorted table moves a row as soon as its sort cell is set: fill first.
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(0);
    for (const LHBUnit& unit : units) {
        if (unit.seat.isEmpty())
            continue;
        const int row = table->rowCount();
        table->insertRow(row);
        const QColor colour = unit.side == 1 ? QColor(Qt::red) : QColor(Qt::blue);
        const QStringList texts { unit.seat, unit.buyAmount, unit.sellAmount, unit.netAmount };
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts.at(c));
            item->setBackground(colour);
            table->setItem(row, c, item);
        }
        widenColumnsToRow(table, row);
    }
    table->setSortingEnabled(sorting);
}
