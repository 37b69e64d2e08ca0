#include "pages/retradewidget.h"

#include "core/clock.h"
#include "widgets/pagestatus.h"
#include "widgets/reporttable.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>

RetradeWidget::RetradeWidget(QWidget* parent)
    : QWidget(parent)
{
    table = new QTableWidget(this);
    setUpReportTable(table, QStringList { QStringLiteral("代码"), QStringLiteral("股票"),
                                          QStringLiteral("停牌日期"), QStringLiteral("复盘日期"),
                                          QStringLiteral("备注"), QStringLiteral("停牌原因") });
    setColumnWidths(table, { 64, 72, 72, 72, 72, 180 });
    searchButton = new QPushButton(QStringLiteral("查询"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(table, 0, 0, 2, 2);
    layout->addItem(new QSpacerItem(394, 20, QSizePolicy::Expanding, QSizePolicy::Fixed), 2, 0);
    // The status shares the spacer's cell left of the button.
    statusLabel = createStatusLabel(this);
    layout->addWidget(statusLabel, 2, 0);
    layout->addWidget(searchButton, 2, 1);

    loader.noticeInterface = &source;
    loader.interval = 1200;
    connect(searchButton, &QPushButton::clicked, this, &RetradeWidget::onSearch);
    connect(&loader, &DataLoader::sendData, this, &RetradeWidget::onUpdateStockList);
    connect(&loader, &DataLoader::sendOK, this, &RetradeWidget::downloadDone);
    connect(&loader, &DataLoader::sendFailure, this, &RetradeWidget::downloadFailed);
}

RetradeWidget::~RetradeWidget() = default;

void RetradeWidget::onSearch()
{
    // While the run is in flight (the loader waits its interval before it
    // reports the end) asking again would list every stock twice: the table
    // keeps what this run brought so far, and the rest arrives as usual.
    if (!search.begin())
        return;
    showStatus(statusLabel, QString());
    loader.setUrls(source.urls(QStringList()), QStringList());
    loader.start();
}

void RetradeWidget::onUpdateStockList(const QVector<Data>& list)
{
    // Dates are "yyyy-MM-dd", so text order is date order; an empty date
    // sorts before today and is dropped.
    const QString today = chinaNow().date().toString("yyyy-MM-dd");
    if (search.takeFirstAnswer()) {
        table->setRowCount(0);
        table->clearContents();
    }
    for (const Data& record : list) {
        if (record.code.isEmpty() || record.date < today)
            continue;
        appendRow(record);
    }
}

void RetradeWidget::downloadDone()
{
    search.end();
}

void RetradeWidget::downloadFailed(const QString&, const QString& message)
{
    showStatus(statusLabel, failureText(QStringLiteral("复盘列表下载"), message));
}

void RetradeWidget::appendRow(const Data& record)
{
    const int at = table->rowCount();
    table->insertRow(at);
    table->setItem(at, 0, centredItem(record.code));
    table->setItem(at, 1, centredItem(record.name));
    table->setItem(at, 2, new QTableWidgetItem(record.fields.value("stopDate")));
    table->setItem(at, 3, new QTableWidgetItem(record.date));
    table->setItem(at, 4, new QTableWidgetItem(record.fields.value("span")));
    table->setItem(at, 5, new QTableWidgetItem(record.fields.value("desc")));
    widenColumnsToRow(table, at);
}
