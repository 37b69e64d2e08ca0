#include "widgets/reporttable.h"

#include "widgets/linedelegate.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

namespace {

void widenColumn(QTableWidget* table, int column, int needed)
{
    if (needed > table->columnWidth(column))
        table->setColumnWidth(column, needed);
}

// The style draws a cell's text inside a margin on either side and elides
// what does not fit; one more pixel on each side covers rounding of the text
// width. (The delegate's own size hint is no help here: for a view that wraps
// text it leaves the margins out.)
int cellWidth(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    if (!item)
        return 0;
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    const QFont font = item->data(Qt::FontRole).isValid() ? item->font() : table->font();
    return QFontMetrics(font).horizontalAdvance(item->text()) + 2 * margin + 2;
}

} // namespace

void setUpReportTable(QTableWidget* table, const QStringList& headers)
{
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setVisible(true);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    auto* delegate = new LineDelegate(table);
    delegate->setParent(table);
    table->setItemDelegate(delegate);
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    widenColumnsToHeaders(table);
}

void setColumnWidths(QTableWidget* table, const QVector<int>& widths)
{
    for (int column = 0; column < widths.size() && column < table->columnCount(); ++column)
        table->setColumnWidth(column, widths.at(column));
    widenColumnsToHeaders(table);
}

void widenColumnsToHeaders(QTableWidget* table)
{
    // Room for the sort arrow too, whether or not the table sorts yet: most
    // tables switch sorting on only once they are filled.
    QHeaderView* header = table->horizontalHeader();
    const bool arrowShown = header->isSortIndicatorShown();
    header->setSortIndicatorShown(true);
    for (int column = 0; column < table->columnCount(); ++column)
        widenColumn(table, column, header->sectionSizeHint(column));
    header->setSortIndicatorShown(arrowShown);
}

void widenColumnsToRow(QTableWidget* table, int row)
{
    for (int column = 0; column < table->columnCount(); ++column)
        widenColumn(table, column, cellWidth(table, row, column));
}

QTableWidgetItem* centredItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}
