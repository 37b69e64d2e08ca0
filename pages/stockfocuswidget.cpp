#include "pages/stockfocuswidget.h"

#include "core/vorelapplication.h"
#include "datasource/hexunhotstock.h"
#include "datasource/httpget.h"
#include "datasource/webinterface.h"
#include "widgets/pagestatus.h"
#include "widgets/reporttable.h"
#include "widgets/stocklistview.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const int kRowTexts = 8;
const int kRankColumn = 0;
const int kCodeColumn = 1;
const int kNameColumn = 2;
// The page asks for one thing only.
const QString kRankingSubject = QStringLiteral("ranking");

} // namespace

StockFocusWidget::StockFocusWidget(QWidget* parent)
    : QWidget(parent)
{
    auto* group = new QGroupBox(QStringLiteral("热门股票"), this);
    table = new QTableWidget(group);
    setUpReportTable(table, QStringList { QStringLiteral("排名"), QStringLiteral("代码"),
                                          QStringLiteral("名称"), QStringLiteral("关注度"),
                                          QStringLiteral("关注度变化值"), QStringLiteral("关注度变化幅度"),
                                          QStringLiteral("排名趋势"), QStringLiteral("最新价格") });
    searchButton = new QPushButton(QStringLiteral("查询"), group);

    auto* groupLayout = new QGridLayout(group);
    groupLayout->addWidget(table, 0, 0, 1, 2);
    groupLayout->setColumnStretch(0, 1);
    groupLayout->addWidget(searchButton, 1, 1);
    statusLabel = createStatusLabel(group);
    groupLayout->addWidget(statusLabel, 1, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);

    connect(searchButton, &QPushButton::clicked, this, &StockFocusWidget::onSearch);
}

StockFocusWidget::~StockFocusWidget() = default;

void StockFocusWidget::onSearch()
{
    // The blocking GET serves events while it waits: a second click then
    // gets a word instead of a second fetch inside the first.
    if (rankingRequest.isAsking(kRankingSubject)) {
        showStatus(statusLabel, QStringLiteral("热门股票正在下载，请稍候"));
        return;
    }
    QVector<QStringList> rows = vorelApp()->hotStocks.values().toVector();
    if (rows.isEmpty()) {
        const int ticket = rankingRequest.begin(kRankingSubject);
        QPointer<StockFocusWidget> alive(this);
        QString failure;
        const bool fetched = fetchRanking(rows, failure);
        // The page may have gone with its window while the request was out.
        if (!alive || !rankingRequest.finish(ticket))
            return;
        // What the page and the cache hold stays: a failure is no ranking.
        if (!fetched) {
            showStatus(statusLabel, failureText(QStringLiteral("热门股票下载"), failure));
            return;
        }
    }
    showStatus(statusLabel, QString());
    vorelApp()->setHotStocks(rows);
    setStockFocus(rows);
}

bool StockFocusWidget::fetchRanking(QVector<QStringList>& rows, QString& failure)
{
    const QString rootPage = httpGet(hotStockRootUrl(), this, &failure);
    const QString rankingUrl = hotStockRankingUrl(rootPage);
    failure = answerFailure(failure, !rankingUrl.isEmpty());
    if (!failure.isEmpty())
        return false;
    const QString xml = httpGet(rankingUrl, this, &failure);
    failure = answerFailure(failure, hasHotStockRankingForm(xml));
    if (!failure.isEmpty())
        return false;
    rows = parseHotStockXml(xml);
    return true;
}

void StockFocusWidget::setStockFocus(const QVector<QStringList>& rows)
{
    // Filled unsorted (a sorted table moves a row as soon as its sort cell is
    // set), then shown by rank: the cache hands the rows over in code order.
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(0);
    for (const QStringList& row : rows) {
        if (row.size() != kRowTexts)
            continue;
        const int at = table->rowCount();
        table->insertRow(at);
        for (int column = 0; column < kRowTexts; ++column) {
            const bool numeric = column != kCodeColumn && column != kNameColumn;
            const QString& text = row.at(column);
            table->setItem(at, column, numeric ? new OrderTableWidgetItem(text) : new QTableWidgetItem(text));
        }
        widenColumnsToRow(table, at);
    }
    table->sortByColumn(kRankColumn, Qt::AscendingOrder);
    table->setSortingEnabled(true);
}
