#include "pages/stockahwidget.h"

#include "core/vorelapplication.h"
#include "widgets/reporttable.h"
#include "widgets/stocklistview.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>

namespace {

const int kShownFields = 8;
const int kNameColumn = 0;
// The A-share cells are labels, as the rest of the program shows A-share data.
const int kFirstLabelColumn = 4;
const int kLastLabelColumn = 6;

} // namespace

StockAHWidget::StockAHWidget(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("AH股比价"));
    table = new QTableWidget(this);
    setUpReportTable(table, QStringList { QStringLiteral("名称"), QStringLiteral("H股代码"),
                                          QStringLiteral("H股价格"), QStringLiteral("H股涨幅"),
                                          QStringLiteral("A股代码"), QStringLiteral("A股价格"),
                                          QStringLiteral("A股涨幅"), QStringLiteral("比价(A/H)") });
    table->setSortingEnabled(true);
    searchButton = new QPushButton(QStringLiteral("查询"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(table, 0, 0, 1, 2);
    layout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    // The status shares the spacer's cell left of the button.
    statusLabel = createStatusLabel(this);
    layout->addWidget(statusLabel, 1, 0);
    layout->addWidget(searchButton, 1, 1);
    connect(searchButton, &QPushButton::clicked, this, &StockAHWidget::onSearch);

    // The pages are fixed and small: fetch them back to back.
    loader.stringListInterface = &source;
    loader.interval = 0;
    loader.setUrls(source.urls(QStringList()), QStringList());
    connect(&loader, &DataLoader::sendStringList, this, &StockAHWidget::setStocks);
    connect(&loader, &DataLoader::sendOK, this, &StockAHWidget::downloadDone);
    connect(&loader, &DataLoader::sendFailure, this, &StockAHWidget::pageFailed);
}

StockAHWidget::~StockAHWidget() = default;

void StockAHWidget::onSearch()
{
    const QList<QStringList> cached = vorelApp()->ahPrices.values();
    if (!cached.isEmpty()) {
        // Shown afresh from the cache: appending would list every pair twice.
        table->setRowCount(0);
        setStocks(cached.toVector());
        return;
    }
    if (!search.begin())
        return;
    // A download that brought nothing leaves the cache empty; its pages are
    // queued again so that this search can fetch them once more.
    if (loader.urlQueue.isEmpty())
        loader.setUrls(source.urls(QStringList()), QStringList());
    failures.reset();
    showStatus(statusLabel, QString());
    loader.start();
}

void StockAHWidget::setStocks(const QVector<QStringList>& rows)
{
    // A code already cached keeps its cached row: the cached values are
    // inserted after the new rows and so win.
    QVector<QStringList> merged = rows;
    for (const QStringList& row : vorelApp()->ahPrices)
        merged.append(row);
    vorelApp()->setAHPrices(merged);

    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    for (const QStringList& row : rows)
        appendRow(row);
    table->setSortingEnabled(sorting);
}

void StockAHWidget::downloadDone()
{
    search.end();
}

void StockAHWidget::pageFailed(const QString&, const QString& message)
{
    failures.add(message);
    showStatus(statusLabel, failures.text(QStringLiteral("页比价")));
}

void StockAHWidget::appendRow(const QStringList& row)
{
    const int at = table->rowCount();
    table->insertRow(at);
    // Every column but the name sorts by value, the labels by what they show.
    for (int column = 0; column < kShownFields; ++column) {
        const QString text = row.value(column);
        if (column >= kFirstLabelColumn && column <= kLastLabelColumn) {
            auto* label = new QLabel(text);
            label->setTextFormat(Qt::PlainText);   // downloaded text is never markup
            setSortedCellWidget(table, at, column, label, text);
        } else {
            auto* cell = column == kNameColumn ? new QTableWidgetItem(text) : new OrderTableWidgetItem(text);
            table->setItem(at, column, cell);
        }
    }
    widenColumnsToRow(table, at);
}
