#include "pages/lhbseattable.h"

#include "widgets/pagestatus.h"
#include "widgets/reporttable.h"
#include "widgets/stocklistview.h"

#include <QTableWidget>

namespace {

// A light tint of `colour` over the table's own background, so that the
// palette's text stays readable on buyers and sellers alike (black on pure
// blue hardly is).
QColor tintOver(const QColor& base, const QColor& colour)
{
    const double share = 0.15;
    const auto mix = [share](int from, int to) { return int(from + (to - from) * share + 0.5); };
    return QColor(mix(base.red(), colour.red()), mix(base.green(), colour.green()), mix(base.blue(), colour.blue()));
}

} // namespace

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
    const QColor base = table->palette().color(QPalette::Base);
    const QColor buyTint = tintOver(base, Qt::red);
    const QColor sellTint = tintOver(base, Qt::blue);
    for (const LHBUnit& unit : units) {
        if (unit.seat.isEmpty())
            continue;
        const int row = table->rowCount();
        table->insertRow(row);
        const QColor colour = unit.side == 1 ? buyTint : sellTint;
        const QStringList texts { unit.seat, unit.buyAmount, unit.sellAmount, unit.netAmount };
        for (int c = 0; c < texts.size(); ++c) {
            // the amounts sort by value
            auto* item = c == 0 ? new QTableWidgetItem(texts.at(c)) : new OrderTableWidgetItem(texts.at(c));
            item->setBackground(colour);
            table->setItem(row, c, item);
        }
        widenColumnsToRow(table, row);
    }
    table->setSortingEnabled(sorting);
}

QString seatSubject(const QString& code, const QString& name, const QString& date)
{
    QStringList words { code };
    if (!name.trimmed().isEmpty())
        words << name.trimmed();
    words << date;
    return words.join(QLatin1Char(' '));
}

QString seatFailureText(const QString& subject, const QString& reason)
{
    return failureText(QStringLiteral("%1的席位下载").arg(subject), reason);
}
