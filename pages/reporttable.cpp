#include "pages/reporttable.h"

#include "widgets/linedelegate.h"

#include <QHeaderView>
#include <QTableWidget>

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
}
