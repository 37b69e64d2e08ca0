#pragma once

// Checks that a table shows its codes, dates and headers whole in the font the
// desktop gives (and at 9 pt, the size the column widths were first chosen
// for).

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTableWidget>
#include <QTest>

// Sets the application font to `pointSize` (0 keeps the desktop's default)
// for the widgets built while it lives.
class FontOverride
{
public:
    explicit FontOverride(int pointSize)
        : desktopFont(QApplication::font())
    {
        if (pointSize <= 0)
            return;
        QFont font = desktopFont;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
    }
    ~FontOverride() { QApplication::setFont(desktopFont); }

private:
    QFont desktopFont;
};

// The rows of a `_data` function that runs a check at the desktop's default
// font and at 9 pt: one int column "pointSize", 0 for the default.
inline void addFontSizeRows()
{
    QTest::addColumn<int>("pointSize");
    QTest::newRow("default font") << 0;
    QTest::newRow("9 pt") << 9;
    // 9 pt on a 120-dpi screen takes the room 11.25 pt takes at 96 dpi
    QTest::newRow("12 pt") << 12;
}

// "header <text>" or "row r <text>" for every header of `table`, and every
// cell of `columns`, whose text is wider than its column leaves room for.
inline QStringList cutTexts(const QTableWidget* table, const QList<int>& columns)
{
    QStringList cut;
    QStyle* style = table->style();
    const int cellMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    const QFontMetrics cellFont(table->font());
    for (int column : columns) {
        for (int row = 0; row < table->rowCount(); ++row) {
            const QTableWidgetItem* item = table->item(row, column);
            if (item && cellFont.horizontalAdvance(item->text()) + 2 * cellMargin > table->columnWidth(column))
                cut << QString("row %1 %2").arg(row).arg(item->text());
        }
    }
    const QHeaderView* header = table->horizontalHeader();
    const QFontMetrics headerFont(header->font());
    const int headerMargin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int arrow = style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + headerMargin;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem* item = table->horizontalHeaderItem(column);
        if (item && headerFont.horizontalAdvance(item->text()) + 2 * headerMargin + arrow > table->columnWidth(column))
            cut << "header " + item->text();
    }
    return cut;
}
