#include "pages/archievereport.h"

#include "core/clock.h"
#include "datasource/httpget.h"
#include "widgets/pagestatus.h"
#include "widgets/reporttable.h"
#include "widgets/stocklistview.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>

namespace {

// Keys of a report row in column order, and whether the column sorts by number.
struct ReportColumn
{
    const char* key;
    const char* header;
    bool numeric;
};

const ReportColumn kColumns[] = {
    {"code", "代码", false},
    {"name", "名称", false},
    {"eps", "每股收益", true},
    {"eps_r", "每股收益同比", true},
    {"navps", "每股净资产", true},
    {"roe", "净资产收益率", true},
    {"cps", "每股现金流量", true},
    {"netprofit", "净利润", true},
    {"netprofit_percent", "净利润同比", true},
    {"date", "日期", false},
};

const int kColumnWidth = 76;

} // namespace

ArchieveReport::ArchieveReport(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QGridLayout(this);

    table = new QTableWidget(this);
    QStringList headers;
    for (const ReportColumn& column : kColumns)
        headers.append(QString::fromUtf8(column.header));
    setUpReportTable(table, headers);
    table->setSortingEnabled(false);
    setColumnWidths(table, QVector<int>(table->columnCount(), kColumnWidth));
    layout->addWidget(table, 0, 0, 1, 6);

    yearBox = new QComboBox(this);
    // Annual reports come out from January to April of the next year: the
    // year before stays on offer, the current year first and selected.
    const int year = chinaNow().date().year();
    yearBox->addItems({QString::number(year), QString::number(year - 1)});
    quarterBox = new QComboBox(this);
    quarterBox->addItems({"1", "2", "3", "4"});
    searchButton = new QPushButton(QStringLiteral("查询"), this);
    layout->addItem(new QSpacerItem(382, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    // The status shares the spacer's cell left of the year.
    statusLabel = createStatusLabel(this);
    layout->addWidget(statusLabel, 1, 0);
    layout->addWidget(new QLabel(QStringLiteral("年份Year"), this), 1, 1);
    layout->addWidget(yearBox, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("季度"), this), 1, 3);
    layout->addWidget(quarterBox, 1, 4);
    layout->addWidget(searchButton, 1, 5);

    connect(searchButton, &QPushButton::clicked, this, &ArchieveReport::onClick);
}

ArchieveReport::~ArchieveReport() = default;

void ArchieveReport::onClick()
{
    // one run at a time: its timer is the only one, and a page being
    // fetched lets events (this call among them) through meanwhile
    if (!search.begin())
        return;
    showStatus(statusLabel, QString());
    table->setSortingEnabled(false);
    reportArgs = QStringList{yearBox->currentText(), quarterBox->currentText()};
    pendingUrls = source.urls(reportArgs);
    searchButton->setEnabled(false);
    pages.start(pageInterval);
}

void ArchieveReport::timerEvent(QTimerEvent* event)
{
    if (!pages.claim(event)) {
        QWidget::timerEvent(event);
        return;
    }
    if (pages.isEmpty()) {
        finish();
        return;
    }
    const QString url = pages.takeFirst();
    const int pageCount = pages.done();
    QString failure;
    QPointer<ArchieveReport> self(this);
    const QString body = fetchForSource(source, url, this, &failure);
    if (!self)
        return;
    if (!failure.isEmpty()) {
        showStatus(statusLabel, failureText(QStringLiteral("业绩报表第%1页下载").arg(pageCount), failure));
        finish();
        return;
    }
    // The first answer of the report replaces the last report's rows, an
    // empty one (no report this quarter) too.
    if (pageCount == 1) {
        table->clearContents();
        table->setRowCount(0);
    }
    const QVector<QMap<QString, QString> > rows = source.parse(body, QString());
    // an empty page is the end of the report
    if (rows.isEmpty()) {
        if (pageCount == 1)
            showStatus(statusLabel,
                       QStringLiteral("%1年第%2季度尚无业绩报表").arg(reportArgs.value(0), reportArgs.value(1)));
        finish();
        return;
    }
    for (const auto& row : rows)
        appendRow(row);
    pages.startNext(pageInterval);
}

void ArchieveReport::appendRow(const QMap<QString, QString>& row)
{
    const int index = table->rowCount();
    table->insertRow(index);
    int column = 0;
    for (const ReportColumn& entry : kColumns) {
        const QString text = row.value(QString::fromLatin1(entry.key));
        table->setItem(index, column++, entry.numeric ? new OrderTableWidgetItem(text) : new QTableWidgetItem(text));
    }
    widenColumnsToRow(table, index);
}

void ArchieveReport::finish()
{
    search.end();
    searchButton->setEnabled(true);
    table->setSortingEnabled(true);
}
