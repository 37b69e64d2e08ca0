#include "core/exportutils.h"

#include "core/fileutils.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTableWidget>

namespace {

QString tableText(QTableWidget* table)
{
    QString text;
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QTableWidgetItem* header = table->horizontalHeaderItem(column))
            text += header->text() + ',';
    }
    text += '\n';
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            if (QTableWidgetItem* cell = table->item(row, column))
                text += cell->text().replace(',', ' ') + ',';
        }
        text += '\n';
    }
    return text;
}

} // namespace

bool exportTableToCsv(const QString& path, QTableWidget* table)
{
    return table && saveWhole(path, tableText(table).toUtf8());
}

bool exportTableToCsvCreatingFolder(const QString& path, QTableWidget* table)
{
    return QDir().mkpath(QFileInfo(path).path()) && exportTableToCsv(path, table);
}

bool exportListWidget(const QString& path, QListWidget* list)
{
    if (!list)
        return false;
    QString text;
    for (int i = 0; i < list->count(); ++i)
        text += list->item(i)->text() + ',';
    return saveWhole(path, text.toUtf8());
}
