#include "app/vorelstock.h"
#include "core/clock.h"
#include "core/vorelapplication.h"
#include "pages/archievereport.h"
#include "pages/datareporttabs.h"
#include "pages/noticeexpress.h"
#include "pages/retradewidget.h"
#include "pages/stockahwidget.h"
#include "pages/stockfocuswidget.h"
#include "tests/support/barbuilder.h"
#include "tests/support/columnfit.h"
#include "tests/support/failedanswers.h"
#include "tests/support/programapplication.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/stocklistview.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <memory>

namespace {

const char* const kAHPath = "/EM_Finance2014NumericApplication/JS.aspx";
const char* const kRankingPath = "/service/stock_sort_xml.jsp";

// The served record names the company beside its H code (item 2).
QString ahRecord(const QString& aCode, const QString& hCode, const QString& aPrice,
                 const QString& aChange = "0.50%", const QString& name = QStringLiteral("示例"))
{
    QStringList cells;
    for (int i = 0; i < 17; ++i)
        cells << QString::number(i);
    cells[1] = hCode;
    cells[2] = name;
    cells[5] = aCode;
    cells[8] = aPrice;
    cells[9] = aChange;
    return cells.join(',');
}

QString ahPage(const QStringList& records)
{
    if (records.isEmpty())
        return "var quote_123={rank:[],pages:5}";
    return "var quote_123={rank:[\"" + records.join("\",\"") + "\"],pages:5}";
}

// Page 2 repeats 601988 with another price: the first one must stay cached.
TestHttpServer::Reply ahReply(const TestHttpServer::Request& request)
{
    const QString page = QUrlQuery(request.query).queryItemValue("page");
    QStringList records;
    if (page == "1")
        records = QStringList { ahRecord("601988", "03988", "3.50"), ahRecord("600000", "01111", "7.00") };
    else if (page == "2")
        records = QStringList { ahRecord("601398", "01398", "5.00"), ahRecord("601988", "03988", "9.99") };
    return TestHttpServer::Reply::gbk(ahPage(records), "application/x-javascript");
}

QString rankingRow(const QString& rank, const QString& code, int texts = 8)
{
    QString row = "<item><no>" + rank + "</no><code>" + code + "</code><name>" + QStringLiteral("名称")
                  + code + "</name>";
    for (int i = 3; i < texts; ++i)
        row += QString("<v%1>%1</v%1>").arg(i);
    return row + "</item>";
}

QString rankingXml()
{
    return "<?xml version=\"1.0\" encoding=\"gb2312\"?><data>"
           + rankingRow("1", "600000") + rankingRow("2", "000001") + rankingRow("3", "300750", 7)
           + rankingRow("4", "002415", 9) + rankingRow("5", "600000") + "</data>";
}

int countRequests(const TestHttpServer& server, const QString& path)
{
    int count = 0;
    for (const auto& request : server.requests())
        count += request.path == path;
    return count;
}

// What each row shows in `column`: a label's text, else the cell's.
QStringList columnTexts(QTableWidget* table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (auto* label = qobject_cast<QLabel*>(table->cellWidget(row, column)))
            texts << label->text();
        else if (QTableWidgetItem* item = table->item(row, column))
            texts << item->text();
        else
            texts << QString();
    }
    return texts;
}

Stock poolStock(const QString& code, const char* name)
{
    return StockBuilder().code(code).name(QString::fromUtf8(name));
}

} // namespace

class ReportPagesTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ahFirstSearchDownloadsPagesAndFillsTheCache();
    void ahLaterSearchShowsTheCacheOnce();
    void ahFailedDownloadIsFetchedAgainOnTheNextSearch();
    void ahColumnsSortByValueLabelsIncluded();
    void hotStocksAreFetchedOnceThenServedFromTheCache();
    void hotStocksStayWhenTheRootPageHasNoRanking();
    void failedDownloadsKeepWhatThePagesShowAndSayWhy_data();
    void failedDownloadsKeepWhatThePagesShowAndSayWhy();
    void resumedListKeepsTodayAndLater();
    void resumedSearchTwiceListsEveryStockOnce();
    void resumedSearchRightAfterTheListArrivedShowsItAgain();
    void resumedCodesDatesAndHeadersShowWhole_data();
    void resumedCodesDatesAndHeadersShowWhole();
    void hotStocksShowInRankOrderAndSortByHeader();
    void tabsComeInOrderAndRegisterTheirPages();
    void stockListTabShowsThePoolOnce();
    void stockListTabShowsTheShippedListWhole_data();
    void stockListTabShowsTheShippedListWhole();
    void mainWindowFillsTheStockListWhenTheReportPageIsChosen();
    void startUpStartsTheHotStockSearch();

private:
    std::unique_ptr<TestHttpServer> server;
    std::unique_ptr<HostOverride> hosts;
};

void ReportPagesTest::init()
{
    server = std::make_unique<TestHttpServer>();
    hosts = std::make_unique<HostOverride>(*server);
    vorelApp()->ahPrices.clear();
    vorelApp()->hotStocks.clear();
    vorelApp()->stockPool.clear();
}

void ReportPagesTest::cleanup()
{
    hosts.reset();
    server.reset();
    setChinaNow(QDateTime());
    QFile::remove("config/data.db");   // each test makes the stock list it needs
}

void ReportPagesTest::ahFirstSearchDownloadsPagesAndFillsTheCache()
{
    vorelApp()->stockPool.insert("600000", poolStock("600000", "浦发银行"));
    server->serve(kAHPath, &ahReply);
    StockAHWidget page;
    QSignalSpy done(&page.loader, &DataLoader::sendOK);
    QSignalSpy pages(&page.loader, &DataLoader::sendStringList);
    page.onSearch();
    QVERIFY(done.wait(5000));

    QCOMPARE(pages.count(), 5);
    QCOMPARE(countRequests(*server, kAHPath), 5);
    // every page's rows are appended as they come, the repeated pair included
    QCOMPARE(page.table->rowCount(), 4);
    QCOMPARE(page.table->columnCount(), 8);
    QVERIFY(qobject_cast<QLabel*>(page.table->cellWidget(0, 4)));
    QVERIFY(!page.table->cellWidget(0, 3));

    const auto& cache = vorelApp()->ahPrices;
    QCOMPARE(cache.keys(), QStringList({ "600000", "601398", "601988" }));
    QCOMPARE(cache.value("601988").value(5), QString("3.50"));
    QCOMPARE(cache.value("600000").value(0), QStringLiteral("浦发银行"));
    QCOMPARE(cache.value("601398").value(0), QStringLiteral("示例"));   // not in the pool: the served name
}

void ReportPagesTest::ahLaterSearchShowsTheCacheOnce()
{
    server->serve(kAHPath, &ahReply);
    StockAHWidget page;
    QSignalSpy done(&page.loader, &DataLoader::sendOK);
    page.onSearch();
    QVERIFY(done.wait(5000));
    const int requests = server->requestCount();

    for (int press = 0; press < 2; ++press) {
        page.onSearch();
        QCOMPARE(page.table->rowCount(), 3);
    }
    QCOMPARE(server->requestCount(), requests);
    page.table->sortItems(1);   // H code, ascending
    QCOMPARE(columnTexts(page.table, 1), QStringList({ "01111", "01398", "03988" }));
    QCOMPARE(columnTexts(page.table, 5).value(2), QString("3.50"));
}

void ReportPagesTest::ahFailedDownloadIsFetchedAgainOnTheNextSearch()
{
    server->serve(kAHPath, TestHttpServer::Reply::status404());
    StockAHWidget page;
    QSignalSpy done(&page.loader, &DataLoader::sendOK);
    page.onSearch();
    page.onSearch();   // pressed again while the pages are on their way
    QVERIFY(done.wait(5000));
    QTest::qWait(50);
    QCOMPARE(countRequests(*server, kAHPath), 5);
    QCOMPARE(page.table->rowCount(), 0);
    QVERIFY(vorelApp()->ahPrices.isEmpty());
    QCOMPARE(page.statusLabel->text(), QStringLiteral("5页比价下载失败，最近一次：HTTP 404 Not Found"));

    server->serve(kAHPath, &ahReply);
    page.onSearch();
    QVERIFY(done.wait(5000));
    QCOMPARE(countRequests(*server, kAHPath), 10);
    QCOMPARE(vorelApp()->ahPrices.size(), 3);
    QVERIFY(page.statusLabel->isHidden());
}

void ReportPagesTest::ahColumnsSortByValueLabelsIncluded()
{
    StockAHWidget page;
    page.setStocks({ QStringList { "A", "01111", "6.20", "1.10%", "600000", "12.80", "-1.54%", "1.81" },
                     QStringList { "B", "03988", "3.05", "-0.65%", "601988", "3.50", "0.29%", "1.26" },
                     QStringList { "C", "03968", "30.15", "-2.10%", "600036", "33.68", "-10.20%", "1.23" },
                     QStringList { "D", "00857", "5.10", "1.00%", "601857", "8.17", "0.50%", "1.76" } });
    page.table->sortByColumn(5, Qt::AscendingOrder);   // A股价格, a column of labels
    QCOMPARE(columnTexts(page.table, 5), QStringList({ "3.50", "8.17", "12.80", "33.68" }));
    // each row's cells move together, the items beside the labels too
    QCOMPARE(columnTexts(page.table, 0), QStringList({ "B", "D", "A", "C" }));
    page.table->sortByColumn(6, Qt::AscendingOrder);   // A股涨幅
    QCOMPARE(columnTexts(page.table, 6), QStringList({ "-10.20%", "-1.54%", "0.29%", "0.50%" }));
    page.table->sortByColumn(4, Qt::DescendingOrder);   // A股代码
    QCOMPARE(columnTexts(page.table, 4), QStringList({ "601988", "601857", "600036", "600000" }));
    page.table->sortByColumn(2, Qt::AscendingOrder);   // H股价格
    QCOMPARE(columnTexts(page.table, 2), QStringList({ "3.05", "5.10", "6.20", "30.15" }));
    page.table->sortByColumn(0, Qt::DescendingOrder);   // 名称, by text
    QCOMPARE(columnTexts(page.table, 0), QStringList({ "D", "C", "B", "A" }));
    QCOMPARE(columnTexts(page.table, 5), QStringList({ "8.17", "33.68", "3.50", "12.80" }));
    page.table->sortByColumn(5, Qt::AscendingOrder);
    page.resize(900, 300);
    page.show();
    QVERIFY(saveScreenshot(&page, "ah-by-a-price"));
}

void ReportPagesTest::hotStocksAreFetchedOnceThenServedFromTheCache()
{
    TestHttpServer::Reply root = TestHttpServer::Reply::gbk(
        "<a href=\"" + server->baseUrl() + "/service/stock_sort_xml.jsp?sort=1&type=\">榜</a>");
    root.delayMs = 200;
    server->serve("/", root);
    server->serve(kRankingPath, TestHttpServer::Reply::gbk(rankingXml(), "text/xml", false));
    StockFocusWidget page;
    // a click while the ranking is on its way asks nothing more, and says so
    QString saidMeanwhile;
    QTimer::singleShot(50, &page, [&page, &saidMeanwhile] {
        page.searchButton->click();
        saidMeanwhile = page.statusLabel->isHidden() ? QString() : page.statusLabel->text();
    });
    page.onSearch();
    QCOMPARE(saidMeanwhile, QStringLiteral("热门股票正在下载，请稍候"));
    QVERIFY(page.statusLabel->isHidden());

    const QList<TestHttpServer::Request> requests = server->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).target, QString("/"));
    QCOMPARE(requests.at(1).path, QString(kRankingPath));
    QCOMPARE(requests.at(1).query, QString("sort=1&type=1&start=0&count=30"));

    // shown in rank order, the rows without eight texts left out
    QCOMPARE(columnTexts(page.table, 0), QStringList({ "1", "2", "5" }));
    QCOMPARE(page.table->item(0, 2)->text(), QStringLiteral("名称600000"));
    // cached by code, the later of two rows of one code kept, short rows too
    const auto& cache = vorelApp()->hotStocks;
    QCOMPARE(cache.keys(), QStringList({ "000001", "002415", "300750", "600000" }));
    QCOMPARE(cache.value("600000").first(), QString("5"));

    page.onSearch();
    QCOMPARE(server->requestCount(), 2);
    QCOMPARE(columnTexts(page.table, 1), QStringList({ "000001", "600000" }));
}

void ReportPagesTest::hotStocksStayWhenTheRootPageHasNoRanking()
{
    server->serve("/", TestHttpServer::Reply::gbk("<html>维护中</html>"));
    StockFocusWidget page;
    const QStringList shown { "1", "600000", "a", "b", "c", "d", "e", "f" };
    page.setStockFocus({ shown });
    page.onSearch();
    QCOMPARE(server->requestCount(), 1);
    QCOMPARE(page.table->rowCount(), 1);
    QCOMPARE(page.table->item(0, 1)->text(), QString("600000"));
    QVERIFY(vorelApp()->hotStocks.isEmpty());
    QCOMPARE(page.statusLabel->text(), QStringLiteral("热门股票下载失败：") + unreadableAnswer());
}

void ReportPagesTest::failedDownloadsKeepWhatThePagesShowAndSayWhy_data()
{
    addFailedAnswerRows();
}

void ReportPagesTest::failedDownloadsKeepWhatThePagesShowAndSayWhy()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    setChinaNow(QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 8 * 3600));
    const QString resumed = QStringLiteral(
        "defjson: {data:[\"600010,包钢股份,a,b,2026-12-01,事项,c,2026-12-01,2026-12-09\","
        "\"000001,平安银行,a,b,2026-12-02,事项,c,2026-12-02,2026-12-10\",\"type\":1]}, maketr:");

    // resumed trading: the list shown stays
    server->serve("/tfpxx/", TestHttpServer::Reply::gbk(resumed));
    RetradeWidget retrade;
    retrade.loader.interval = 0;
    QSignalSpy resumedDone(&retrade.loader, &DataLoader::sendOK);
    retrade.onSearch();
    QVERIFY(resumedDone.wait(5000));
    QCOMPARE(retrade.table->rowCount(), 2);
    server->serve("/tfpxx/", failedAnswer(failure, resumed));
    retrade.onSearch();
    QVERIFY(resumedDone.wait(5000));
    QCOMPARE(columnTexts(retrade.table, 0), QStringList({ "600010", "000001" }));
    QCOMPARE(retrade.statusLabel->text(), QStringLiteral("复盘列表下载失败：") + reason);
    QVERIFY(!retrade.statusLabel->isHidden());

    // A/H: every page counted, nothing cached
    server->serve(kAHPath, failedAnswer(failure, ahPage({ ahRecord("601988", "03988", "3.50"),
                                                          ahRecord("600000", "01111", "7.00") })));
    StockAHWidget ah;
    QSignalSpy ahDone(&ah.loader, &DataLoader::sendOK);
    ah.onSearch();
    QVERIFY(ahDone.wait(5000));
    QVERIFY(vorelApp()->ahPrices.isEmpty());
    QCOMPARE(ah.statusLabel->text(), QStringLiteral("5页比价下载失败，最近一次：") + reason);
    // the rows of the pages that came stay beside the message
    server->serve(kAHPath, [failure](const TestHttpServer::Request& request) {
        const QString page = ahPage({ ahRecord("601988", "03988", "3.50"), ahRecord("600000", "01111", "7.00") });
        if (QUrlQuery(request.query).queryItemValue("page") == "1")
            return TestHttpServer::Reply::gbk(page, "application/x-javascript");
        return failedAnswer(failure, page);
    });
    ah.onSearch();
    QVERIFY(ahDone.wait(5000));
    QCOMPARE(columnTexts(ah.table, 4), QStringList({ "601988", "600000" }));
    QCOMPARE(ah.statusLabel->text(), QStringLiteral("4页比价下载失败，最近一次：") + reason);

    // hot stocks: the ranking shown and the cache stay
    server->serve("/", TestHttpServer::Reply::gbk(
                           "<a href=\"" + server->baseUrl() + "/service/stock_sort_xml.jsp?sort=1&type=\">榜</a>"));
    server->serve(kRankingPath, failedAnswer(failure, rankingXml()));
    StockFocusWidget focus;
    focus.setStockFocus({ { "1", "600000", "a", "b", "c", "d", "e", "f" } });
    focus.onSearch();
    QCOMPARE(countRequests(*server, kRankingPath), 1);
    QCOMPARE(columnTexts(focus.table, 1), QStringList({ "600000" }));
    QVERIFY(vorelApp()->hotStocks.isEmpty());
    QCOMPARE(focus.statusLabel->text(), QStringLiteral("热门股票下载失败：") + reason);

    for (QWidget* page : QList<QWidget*>{ &retrade, &ah, &focus }) {
        page->resize(800, 400);
        page->show();
    }
    QVERIFY(saveScreenshot(&retrade, "resumed-failed-" + failureTag()));
    QVERIFY(saveScreenshot(&ah, "ah-failed-" + failureTag()));
    QVERIFY(saveScreenshot(&focus, "hotstocks-failed-" + failureTag()));
}

void ReportPagesTest::resumedListKeepsTodayAndLater()
{
    setChinaNow(QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 8 * 3600));
    server->serve("/tfpxx/", TestHttpServer::Reply::gbk(QStringLiteral(
        "var tfp = {defjson: {pages:1,data:["
        "\"600010,包钢股份,a,b,2026-12-01 09:30,重大事项,c,2026-12-01,2026-12-08\","
        "\"000002,万科Ａ,a,b,2026-12-02,停牌一天,c,2026-12-02,2026-12-07\","
        "\",无代码,a,b,2026-12-02,x,c,2026-12-02,2026-12-30\","
        "\"300001,特锐德,a,b,2026-12-03,待定,c,2026-12-03,\","
        "\"600519,贵州茅台,a,b,2026-12-04 15:00,资产重组,c,2026-12-04,2027-01-04\","
        "\"pages\":1,\"type\":\"tfp\"]},\n maketr: function() {}};")));
    RetradeWidget page;
    QCOMPARE(page.loader.interval, 1200);
    page.loader.interval = 0;
    QSignalSpy done(&page.loader, &DataLoader::sendOK);
    page.onSearch();
    QVERIFY(done.wait(5000));

    QCOMPARE(columnTexts(page.table, 0), QStringList({ "600010", "600519" }));
    QCOMPARE(page.table->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
    const QStringList expected { "600519", QStringLiteral("贵州茅台"), "2026-12-04", "2027-01-04",
                                 "2026-12-04", QStringLiteral("资产重组") };
    for (int column = 0; column < 6; ++column)
        QCOMPARE(page.table->item(1, column)->text(), expected.at(column));
}

void ReportPagesTest::resumedSearchTwiceListsEveryStockOnce()
{
    setChinaNow(QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 8 * 3600));
    TestHttpServer::Reply reply = TestHttpServer::Reply::gbk(QStringLiteral(
        "defjson: {data:[\"600010,包钢股份,a,b,2026-12-01,事项,c,2026-12-01,2026-12-09\","
        "\"type\":1]}, maketr:"));
    reply.delayMs = 100;
    server->serve("/tfpxx/", reply);
    RetradeWidget page;
    page.loader.interval = 0;
    QSignalSpy done(&page.loader, &DataLoader::sendOK);

    page.onSearch();
    page.onSearch();   // while the list is on its way
    QVERIFY(done.wait(5000));
    QTest::qWait(150);
    QCOMPARE(server->requestCount(), 1);
    QCOMPARE(page.table->rowCount(), 1);

    page.onSearch();   // after it arrived: kept until the new list replaces it
    QCOMPARE(page.table->rowCount(), 1);
    QVERIFY(done.wait(5000));
    QCOMPARE(page.table->rowCount(), 1);
}

void ReportPagesTest::resumedSearchRightAfterTheListArrivedShowsItAgain()
{
    setChinaNow(QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 8 * 3600));
    server->serve("/tfpxx/", TestHttpServer::Reply::gbk(QStringLiteral(
        "defjson: {data:[\"600010,包钢股份,a,b,2026-12-01,事项,c,2026-12-01,2026-12-09\","
        "\"000001,平安银行,a,b,2026-12-02,事项,c,2026-12-02,2026-12-10\",\"type\":1]}, maketr:")));
    RetradeWidget page;
    page.loader.interval = 300;   // the loader reports the end only after its pause
    QSignalSpy done(&page.loader, &DataLoader::sendOK);
    page.onSearch();
    QTRY_COMPARE_WITH_TIMEOUT(page.table->rowCount(), 2, 5000);
    QCOMPARE(done.count(), 0);

    page.onSearch();   // the list is here, the run not yet over
    QCOMPARE(columnTexts(page.table, 0), QStringList({ "600010", "000001" }));
    QVERIFY(done.wait(5000));
    QCOMPARE(page.table->rowCount(), 2);
    QCOMPARE(server->requestCount(), 1);
}

void ReportPagesTest::resumedCodesDatesAndHeadersShowWhole_data()
{
    addFontSizeRows();
}

void ReportPagesTest::resumedCodesDatesAndHeadersShowWhole()
{
    QFETCH(int, pointSize);
    setChinaNow(QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 8 * 3600));
    server->serve("/tfpxx/", TestHttpServer::Reply::gbk(QStringLiteral(
        "defjson: {data:[\"600010,包钢股份,a,b,2026-12-01 09:30,重大事项,c,2026-12-01,2026-12-28\","
        "\"000002,万科Ａ,a,b,2026-12-02,筹划重大资产重组,c,2026-12-02,2027-01-04\",\"type\":1]}, maketr:")));
    FontOverride font(pointSize);
    RetradeWidget page;
    page.resize(700, 400);
    page.show();
    page.loader.interval = 0;
    QSignalSpy done(&page.loader, &DataLoader::sendOK);
    page.onSearch();
    QVERIFY(done.wait(5000));
    QCOMPARE(page.table->rowCount(), 2);
    QCOMPARE(cutTexts(page.table, { 0, 2, 3, 4 }).join(" | "), QString());
    QVERIFY(saveScreenshot(&page, QString("resumed-%1pt").arg(pointSize)));
}

void ReportPagesTest::hotStocksShowInRankOrderAndSortByHeader()
{
    // the cache hands its rows over in code order
    vorelApp()->setHotStocks({ { "3", "000001", "a", "900", "1", "1", "1", "10.5" },
                               { "2", "300750", "b", "12000", "1", "1", "1", "9.8" },
                               { "1", "600000", "c", "1500", "1", "1", "1", "7.2" } });
    StockFocusWidget page;
    page.resize(800, 400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.searchButton->click();
    QCOMPARE(server->requestCount(), 0);
    QCOMPARE(columnTexts(page.table, 0), QStringList({ "1", "2", "3" }));
    QCOMPARE(columnTexts(page.table, 1), QStringList({ "600000", "300750", "000001" }));
    QCOMPARE(cutTexts(page.table, { 0, 1 }).join(" | "), QString());

    // a click on "关注度" orders by value: 900 before 1500 before 12000
    QHeaderView* header = page.table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(3) + 4, header->height() / 2));
    const QStringList attention = columnTexts(page.table, 3);
    QVERIFY(attention == QStringList({ "900", "1500", "12000" }) || attention == QStringList({ "12000", "1500", "900" }));
    QVERIFY(saveScreenshot(&page, "hotstocks"));
}

void ReportPagesTest::tabsComeInOrderAndRegisterTheirPages()
{
    QPointer<QTabWidget> tabs = createDataReportTabs();
    QVERIFY(!tabs->parent());
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    QCOMPARE(titles, QStringList({ QStringLiteral("复盘股票"), QStringLiteral("AH股比价"),
                                   QStringLiteral("业绩报表"), QStringLiteral("公司公告"),
                                   QStringLiteral("热门股票"), QStringLiteral("股票列表") }));
    QVERIFY(qobject_cast<RetradeWidget*>(tabs->widget(0)));
    QVERIFY(qobject_cast<StockAHWidget*>(tabs->widget(1)));
    QVERIFY(qobject_cast<ArchieveReport*>(tabs->widget(2)));
    QCOMPARE(vorelApp()->noticeExpress, qobject_cast<NoticeExpress*>(tabs->widget(3)));
    QCOMPARE(vorelApp()->stockFocusWidget, qobject_cast<StockFocusWidget*>(tabs->widget(4)));
    QVERIFY(qobject_cast<BasicStockListView*>(tabs->widget(5)));
    QVERIFY(vorelApp()->noticeExpress && vorelApp()->stockFocusWidget);

    // a second tab widget takes over; the first one's going leaves it registered
    QTabWidget* second = createDataReportTabs();
    delete tabs;
    QCOMPARE(vorelApp()->stockFocusWidget, qobject_cast<StockFocusWidget*>(second->widget(4)));
    // once the pages are gone the application holds no pointer to them
    delete second;
    QVERIFY(!vorelApp()->noticeExpress);
    QVERIFY(!vorelApp()->stockFocusWidget);
}

void ReportPagesTest::stockListTabShowsThePoolOnce()
{
    std::unique_ptr<QTabWidget> tabs(createDataReportTabs());
    auto* list = qobject_cast<StockListView*>(tabs->widget(tabs->count() - 1));
    QMap<QString, Stock> pool;
    pool.insert("600000", poolStock("600000", "浦发银行"));
    pool.insert("000001", poolStock("000001", "平安银行"));

    fillStockListTab(tabs.get(), pool);
    fillStockListTab(tabs.get(), pool);
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(list->stocks.keys(), pool.keys());

    pool.insert("300750", poolStock("300750", "宁德时代"));
    fillStockListTab(tabs.get(), pool);
    QCOMPARE(list->rowCount(), 3);
    fillStockListTab(tabs.get(), {});
    QCOMPARE(list->rowCount(), 0);
    fillStockListTab(nullptr, pool);   // no page: nothing to fill
}

void ReportPagesTest::stockListTabShowsTheShippedListWhole_data()
{
    addFontSizeRows();
}

// The list the build ships: real share counts (in 10,000 shares) and listing
// dates, every code, count and date readable in full.
void ReportPagesTest::stockListTabShowsTheShippedListWhole()
{
    QFETCH(int, pointSize);
    FontOverride font(pointSize);
    loadShippedPool();
    std::unique_ptr<QTabWidget> tabs(createDataReportTabs());
    tabs->resize(1000, 600);
    auto* list = qobject_cast<StockListView*>(tabs->widget(tabs->count() - 1));
    fillStockListTab(tabs.get(), vorelApp()->stockPool);
    tabs->setCurrentWidget(list);
    tabs->show();
    QVERIFY(QTest::qWaitForWindowExposed(tabs.get()));
    QCOMPARE(list->rowCount(), vorelApp()->stockPool.size());

    const QList<QTableWidgetItem*> found = list->findItems("600000", Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    const int row = found.first()->row();
    QCOMPARE(list->item(row, 1)->text(), QStringLiteral("浦发银行"));
    QCOMPARE(list->item(row, 4)->text(), QString("2161800"));
    QCOMPARE(list->item(row, 5)->text(), QString("2161800"));
    QCOMPARE(cutTexts(list, {0, 4, 5, 6}), QStringList());
    QVERIFY(saveScreenshot(tabs.get(), QString("stocklist-%1pt").arg(pointSize)));
}

void ReportPagesTest::mainWindowFillsTheStockListWhenTheReportPageIsChosen()
{
    vorelApp()->stockPool.insert("600000", poolStock("600000", "浦发银行"));
    vorelApp()->stockPool.insert("000001", poolStock("000001", "平安银行"));
    VorelStock window;
    const int last = window.pageList->count() - 1;
    QCOMPARE(window.pageList->item(last)->text(), QStringLiteral("数据报表"));
    auto* tabs = qobject_cast<QTabWidget*>(window.pageStack->widget(last));
    QVERIFY(tabs);
    auto* list = qobject_cast<StockListView*>(tabs->widget(tabs->count() - 1));
    QCOMPARE(list->rowCount(), 0);

    for (int visit = 0; visit < 2; ++visit) {
        window.pageList->setCurrentRow(last);
        QCOMPARE(window.pageStack->currentIndex(), last);
        QCOMPARE(list->rowCount(), 2);
        window.pageList->setCurrentRow(0);
    }
}

void ReportPagesTest::startUpStartsTheHotStockSearch()
{
    server->serve("/", TestHttpServer::Reply::gbk(
                           "<a href=\"" + server->baseUrl() + "/service/stock_sort_xml.jsp?sort=1&type=\">榜</a>"));
    server->serve(kRankingPath, TestHttpServer::Reply::gbk(rankingXml(), "text/xml", false));
    QDir().mkpath("config");
    writeShareList("config/data.db");
    std::unique_ptr<QTabWidget> tabs(createDataReportTabs());
    vorelApp()->init(nullptr);
    QTRY_COMPARE(vorelApp()->hotStocks.size(), 4);
    QCOMPARE(countRequests(*server, kRankingPath), 1);
    auto* page = qobject_cast<StockFocusWidget*>(tabs->widget(4));
    QCOMPARE(page->table->rowCount(), 3);
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<ReportPagesTest, ProgramApplication>(argc, argv);
}

#include "tst_reportpages.moc"
