// The earnings page against a loopback report host: paging until an empty
// page, a failure or the last page, numeric sorting, the year list and
// columns wide enough for their texts.

#include "core/clock.h"
#include "pages/archievereport.h"
#include "tests/datasource/earningsfixtures.h"
#include "tests/support/columnfit.h"
#include "tests/support/failedanswers.h"
#include "tests/support/screenshot.h"
#include "tests/support/testhttpserver.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUrlQuery>

namespace {

int pageOf(const TestHttpServer::Request& request)
{
    return QUrlQuery(request.query).queryItemValue("p").toInt();
}

// `pages` pages of two rows (the first page's rows as given), then `end`,
// the host's page without the table by default; page `failing` answers 404.
void serveReport(TestHttpServer& server, int pages, int failing = 0, const QList<EarningsRow>& first = {},
                 const QString& end = earningsEndPage())
{
    server.serve("/q/go.php/vFinanceAnalyze/kbind/preformance/index.phtml", [=](const TestHttpServer::Request& request) {
        const int page = pageOf(request);
        if (page == failing)
            return TestHttpServer::Reply::status404();
        if (page > pages)
            return TestHttpServer::Reply::gbk(end);
        if (page == 1 && !first.isEmpty())
            return TestHttpServer::Reply::gbk(earningsPage(first));
        const QString code = QString("6%1").arg(page * 10, 5, 10, QChar('0'));
        return TestHttpServer::Reply::gbk(earningsPage({{code, QStringLiteral("银行甲乙")}, {code.left(5) + "1", "b"}}));
    });
}

QStringList columnTexts(const QTableWidget* table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts.append(table->item(row, column)->text());
    return texts;
}

void runReport(ArchieveReport& page)
{
    page.pageInterval = 1;
    page.searchButton->click();
    QVERIFY(!page.searchButton->isEnabled() && !page.table->isSortingEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QVERIFY(page.table->isSortingEnabled());
}

} // namespace

class ArchieveReportTest : public QObject
{
    Q_OBJECT
private slots:
    void pagingEnds_data();
    void pagingEnds();
    void failedFirstPageKeepsTheLastReportAndSaysWhy_data();
    void failedFirstPageKeepsTheLastReportAndSaysWhy();
    void numberColumnsSortByValue();
    void yearListOffersTheCurrentAndPreviousChinaYear();
    void codesDatesAndHeadersShowWhole_data();
    void codesDatesAndHeadersShowWhole();
};

void ArchieveReportTest::pagingEnds_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("failing");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("status");
    QTest::newRow("page without table after three") << 3 << 0 << 4 << 6 << earningsEndPage() << QString();
    QTest::newRow("empty table after three") << 3 << 0 << 4 << 6 << earningsPage({}) << QString();
    QTest::newRow("no page left after twenty") << 25 << 0 << 20 << 40 << earningsEndPage() << QString();
    QTest::newRow("failed second page") << 5 << 2 << 2 << 2 << earningsEndPage()
                                        << QStringLiteral("业绩报表第2页下载失败：HTTP 404 Not Found");
}

void ArchieveReportTest::pagingEnds()
{
    QFETCH(int, pages);
    QFETCH(int, failing);
    QFETCH(int, requests);
    QFETCH(int, rows);
    QFETCH(QString, end);
    QFETCH(QString, status);
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, pages, failing, {}, end);
    ArchieveReport page(nullptr);
    page.quarterBox->setCurrentText("3");
    // a search from inside the blocking fetch must not start a second run
    connect(&server, &TestHttpServer::requestSeen, &page, &ArchieveReport::onClick);
    runReport(page);

    QCOMPARE(server.requestCount(), requests);
    // the report of the year and quarter chosen, page by page, each in the
    // host's whole form
    for (int i = 0; i < requests; ++i) {
        QCOMPARE(server.requests().at(i).target,
                 QString("/q/go.php/vFinanceAnalyze/kbind/preformance/index.phtml?s_i=&s_a=&s_c=&reportdate=%1"
                         "&quarter=3&p=%2&page=30")
                     .arg(chinaNow().toString("yyyy"))
                     .arg(i + 1));
    }
    // rows already shown stay; GBK pages decode into the table
    QCOMPARE(page.table->rowCount(), rows);
    QCOMPARE(page.table->item(0, 1)->text(), QStringLiteral("银行甲乙"));
    // the end of a report is no failure
    QCOMPARE(page.statusLabel->text(), status);
    QCOMPARE(page.statusLabel->isHidden(), status.isEmpty());
}

void ArchieveReportTest::failedFirstPageKeepsTheLastReportAndSaysWhy_data()
{
    addFailedAnswerRows();
}

void ArchieveReportTest::failedFirstPageKeepsTheLastReportAndSaysWhy()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, 1);
    ArchieveReport page(nullptr);
    runReport(page);
    QCOMPARE(page.table->rowCount(), 2);
    QVERIFY(page.statusLabel->isHidden());

    server.serve("/q/go.php/vFinanceAnalyze/kbind/preformance/index.phtml",
                 failedAnswer(failure, earningsPage({{"600000", "a"}, {"000002", "b"}, {"300750", "c"}})));
    page.quarterBox->setCurrentText("2");
    runReport(page);
    QCOMPARE(page.table->rowCount(), 2);
    QCOMPARE(page.table->item(0, 0)->text(), QString("600010"));
    QVERIFY(!page.statusLabel->isHidden());
    QCOMPARE(page.statusLabel->text(), QString("业绩报表第1页下载失败：") + reason);
    page.resize(900, 480);
    page.show();
    QVERIFY(saveScreenshot(&page, QString("earnings-failed-%1").arg(failureTag())));

    // a later page that fails keeps the pages before it and names itself
    serveReport(server, 5, 2);
    runReport(page);
    QCOMPARE(page.table->rowCount(), 2);
    QCOMPARE(page.statusLabel->text(), QString("业绩报表第2页下载失败：HTTP 404 Not Found"));
    // a quarter without a report empties the table of the last one and says
    // so, naming the quarter asked for even when the boxes moved on meanwhile
    for (const QString& end : {earningsEndPage(), earningsPage({})}) {
        serveReport(server, 1);
        runReport(page);
        QCOMPARE(page.table->rowCount(), 2);
        serveReport(server, 0, 0, {}, end);
        page.quarterBox->setCurrentText("4");
        connect(&server, &TestHttpServer::requestSeen, page.quarterBox,
                [&page] { page.quarterBox->setCurrentText("1"); });
        runReport(page);
        server.disconnect(page.quarterBox);
        QCOMPARE(page.quarterBox->currentText(), QString("1"));
        QCOMPARE(page.table->rowCount(), 0);
        QVERIFY(!page.statusLabel->isHidden());
        QCOMPARE(page.statusLabel->text(), page.yearBox->currentText() + QStringLiteral("年第4季度尚无业绩报表"));
    }
    QVERIFY(saveScreenshot(&page, "earnings-no-report"));
}

void ArchieveReportTest::numberColumnsSortByValue()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, 1, 0, {{"600000", "a", "10.2"}, {"000002", "b", "9.5"}, {"300750", "c", "-1.25"}, {"000001", "d", "100"}});
    ArchieveReport page(nullptr);
    runReport(page);
    const int netProfit = 7;
    QCOMPARE(page.table->horizontalHeaderItem(netProfit)->text(), QStringLiteral("净利润"));
    page.table->sortByColumn(netProfit, Qt::AscendingOrder);
    QCOMPARE(columnTexts(page.table, netProfit), QStringList({"-1.25", "9.5", "10.2", "100"}));
    QCOMPARE(columnTexts(page.table, 0), QStringList({"300750", "000002", "600000", "000001"}));
    page.table->sortByColumn(1, Qt::DescendingOrder);
    QCOMPARE(columnTexts(page.table, 1), QStringList({"d", "c", "b", "a"}));
}

void ArchieveReportTest::yearListOffersTheCurrentAndPreviousChinaYear()
{
    // 31 December, 17:00 UTC is already New Year in China
    setChinaNow(QDateTime(QDate(2019, 12, 31), QTime(17, 0), Qt::UTC));
    ArchieveReport page(nullptr);
    setChinaNow(QDateTime());
    QCOMPARE(page.yearBox->count(), 2);
    QCOMPARE(page.yearBox->currentText(), QString("2020"));
    QCOMPARE(page.yearBox->itemText(1), QString("2019"));

    // the annual report of last year, published this spring, can be asked for
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, 1);
    page.yearBox->setCurrentIndex(1);
    page.quarterBox->setCurrentText("4");
    runReport(page);
    const QUrlQuery query(server.requests().first().query);
    QCOMPARE(query.queryItemValue("reportdate"), QString("2019"));
    QCOMPARE(query.queryItemValue("quarter"), QString("4"));
}

void ArchieveReportTest::codesDatesAndHeadersShowWhole_data()
{
    addFontSizeRows();
}

void ArchieveReportTest::codesDatesAndHeadersShowWhole()
{
    QFETCH(int, pointSize);
    TestHttpServer server;
    HostOverride hosts(server);
    serveReport(server, 2);
    FontOverride font(pointSize);
    ArchieveReport page(nullptr);
    page.resize(900, 480);
    page.show();
    runReport(page);
    QCOMPARE(page.table->rowCount(), 4);
    QCOMPARE(cutTexts(page.table, {0, 9}).join(" | "), QString());
    QVERIFY(saveScreenshot(&page, QString("earnings-%1pt").arg(pointSize)));
}

QTEST_MAIN(ArchieveReportTest)
#include "tst_archievereport.moc"
