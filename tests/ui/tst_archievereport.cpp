// The earnings page against a loopback report host: paging until an empty
// page or the last page, failures, sorting and the choice of year.

#include "core/clock.h"
#include "datasource/httpget.h"
#include "tests/datasource/earningsfixtures.h"
#include "tests/support/testhttpserver.h"
#include "ui/archievereport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUrlQuery>

namespace {

const char* const kReportPath = "/q/go.php/vFinanceAnalyze/kbind/preformance/index.phtml";

int pageOf(const TestHttpServer::Request& request)
{
    return QUrlQuery(request.query).queryItemValue("p").toInt();
}

// Serves `pages` full pages of two rows each and an empty table behind them.
void serveReport(TestHttpServer& server, int pages)
{
    server.serve(kReportPath, [pages](const TestHttpServer::Request& request) {
        const int page = pageOf(request);
        if (page > pages)
            return TestHttpServer::Reply::gbk(earningsPage({}));
        const QString code = QString("6%1").arg(page * 10, 5, 10, QChar('0'));
        return TestHttpServer::Reply::gbk(earningsPage({{code, QString::fromUtf8("银行甲乙")},
                                                        {code.left(5) + "1", QString::fromUtf8("电力丙丁")}}));
    });
}

QStringList columnTexts(const QTableWidget* table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts.append(table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

} // namespace

class ArchieveReportTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void emptyPageEndsTheReport();
    void stopsWhenNoPageIsLeft();
    void failedPageKeepsTheRowsShown();
    void searchWhileFetchingIsIgnored();
    void numberColumnsSortByValue();
    void yearListHoldsTheCurrentChinaYear();

private:
    void runReport(ArchieveReport& page);
};

void ArchieveReportTest::init()
{
    setRequestTimeout(3000);
}

void ArchieveReportTest::cleanup()
{
    setChinaNow(QDateTime());
    setRequestTimeout(30000);
}

void ArchieveReportTest::runReport(ArchieveReport& page)
{
    page.pageInterval = 1;
    page.searchButton->click();
    QVERIFY(!page.searchButton->isEnabled());
    QVERIFY(!page.table->isSortingEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
}

void ArchieveReportTest::emptyPageEndsTheReport()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, 3);
    ArchieveReport page(nullptr);
    page.quarterBox->setCurrentText("3");
    runReport(page);

    QCOMPARE(server.requestCount(), 4);
    const QString year = chinaNow().toString("yyyy");
    for (int i = 0; i < 4; ++i) {
        const QUrlQuery query(server.requests().at(i).query);
        QCOMPARE(query.queryItemValue("reportdate"), year);
        QCOMPARE(query.queryItemValue("quarter"), QString("3"));
        QCOMPARE(query.queryItemValue("p"), QString::number(i + 1));
    }
    QCOMPARE(page.table->rowCount(), 6);
    QVERIFY(page.table->isSortingEnabled());
    // GBK pages decode into the table
    QVERIFY(columnTexts(page.table, 1).contains(QString::fromUtf8("银行甲乙")));
    QCOMPARE(page.pendingUrls.size(), 16);

    // a new search starts over from the first page
    server.clearRequests();
    runReport(page);
    QCOMPARE(server.requestCount(), 4);
    QCOMPARE(page.table->rowCount(), 6);
}

void ArchieveReportTest::stopsWhenNoPageIsLeft()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, 25);
    ArchieveReport page(nullptr);
    runReport(page);
    QCOMPARE(server.requestCount(), 20);
    QCOMPARE(page.table->rowCount(), 40);
    QVERIFY(page.pendingUrls.isEmpty());
}

void ArchieveReportTest::failedPageKeepsTheRowsShown()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve(kReportPath, [](const TestHttpServer::Request& request) {
        if (pageOf(request) == 1)
            return TestHttpServer::Reply::gbk(earningsPage({{"600000", QString::fromUtf8("浦发银行")}}));
        return TestHttpServer::Reply::status404();
    });
    ArchieveReport page(nullptr);
    runReport(page);
    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(columnTexts(page.table, 0), QStringList({"600000"}));
}

void ArchieveReportTest::searchWhileFetchingIsIgnored()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, 2);
    ArchieveReport page(nullptr);
    page.pageInterval = 1;
    // a second search from inside the blocking fetch of the first page
    connect(&server, &TestHttpServer::requestSeen, &page, &ArchieveReport::onClick);
    page.onClick();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QCOMPARE(server.requestCount(), 3);
    QCOMPARE(page.table->rowCount(), 4);
}

void ArchieveReportTest::numberColumnsSortByValue()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve(kReportPath, [](const TestHttpServer::Request& request) {
        if (pageOf(request) > 1)
            return TestHttpServer::Reply::gbk(earningsPage({}));
        return TestHttpServer::Reply::gbk(earningsPage(
            {{"600000", "a", "10.2"}, {"000002", "b", "9.5"}, {"300750", "c", "-1.25"}, {"000001", "d", "100"}}));
    });
    ArchieveReport page(nullptr);
    runReport(page);
    const int netProfit = 7;
    QCOMPARE(page.table->horizontalHeaderItem(netProfit)->text(), QString::fromUtf8("净利润"));
    page.table->sortByColumn(netProfit, Qt::AscendingOrder);
    QCOMPARE(columnTexts(page.table, netProfit), QStringList({"-1.25", "9.5", "10.2", "100"}));
    // rows move whole
    QCOMPARE(columnTexts(page.table, 0), QStringList({"300750", "000002", "600000", "000001"}));
    page.table->sortByColumn(1, Qt::DescendingOrder);
    QCOMPARE(columnTexts(page.table, 1), QStringList({"d", "c", "b", "a"}));
}

void ArchieveReportTest::yearListHoldsTheCurrentChinaYear()
{
    // 31 December, 17:00 UTC is already New Year in China
    setChinaNow(QDateTime(QDate(2019, 12, 31), QTime(17, 0), Qt::UTC));
    ArchieveReport page(nullptr);
    QCOMPARE(page.yearBox->count(), 1);
    QCOMPARE(page.yearBox->currentText(), QString("2020"));
    QCOMPARE(page.quarterBox->count(), 4);
    QCOMPARE(page.quarterBox->itemText(0), QString("1"));
    QCOMPARE(page.table->columnCount(), 10);
}

QTEST_MAIN(ArchieveReportTest)
#include "tst_archievereport.moc"
