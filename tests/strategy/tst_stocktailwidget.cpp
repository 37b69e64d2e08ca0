// End-of-day picking: when the run starts or stops for good, and a whole run
// against loopback services (market list, histories, minutes, quote recheck),
// with the histories it stores and the minutes a click shows.

#include "analysis/stocktailscanner.h"
#include "analysis/stocktimedatawidget.h"
#include "core/clock.h"
#include "core/fileutils.h"
#include "core/vorelapplication.h"
#include "strategy/stocktailwidget.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/datasource/quotefixtures.h"
#include "tests/support/barbuilder.h"
#include "tests/support/failedanswers.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/stocklistview.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QtTest>

#include <memory>

namespace {

const QTimeZone kChina("Asia/Shanghai");

QDateTime at(const QDate& day, int h, int m, int s)
{
    return QDateTime(day, QTime(h, m, s), kChina);
}

Stock poolStock(const QString& code, const QString& name)
{
    return StockBuilder().code(code).name(name).totals(10000);
}

// A realtime item that passes the candidate test: +4 % from the open with
// short shadows.
QString realtimeItem(const QString& code, const QString& name)
{
    return QString("{symbol:\"sh%1\",code:\"%1\",name:\"%2\",trade:\"10.40\",pricechange:\"0.40\","
                   "changepercent:\"4.000\",settlement:\"10.00\",open:\"10.00\",high:\"10.45\",low:\"9.98\","
                   "turnover:\"0.5\"}")
        .arg(code, name);
}

// Ten bars at 12, a falling bar, a rising bar that engulfs it, and today's
// bar, which the page drops before scanning; each stock's prices a few
// cents apart from the others', so that a history kept under another code
// shows.
QString engulfingHistory(const QString& code)
{
    const double d = code.right(2).toInt() * 0.01;
    QStringList arrays;
    for (int i = 0; i < 10; ++i)
        arrays << klinefixtures::bar(QString("2017-04-%1").arg(10 + i), 12 + d, 12 + d, 12 + d, 12 + d, 1000);
    arrays << klinefixtures::bar("2017-04-20", 10.5 + d, 10.0 + d, 10.5 + d, 10.0 + d, 1000);
    arrays << klinefixtures::bar("2017-04-21", 10.5 + d, 11.0 + d, 11.0 + d, 10.5 + d, 1000);
    arrays << klinefixtures::bar("2017-04-24", 11.0 + d, 9.0 + d, 11.0 + d, 9.0 + d, 1000);
    return klinefixtures::storedHistory(code, arrays);
}

QString flatHistory(const QString& code)
{
    return klinefixtures::body("sh" + code, 20);
}

// The minutes of `code` (named as the service names it), whose price climbs
// every minute (both shares 100 %) or falls.
QString minutes(const QString& code, bool strong)
{
    QStringList rows;
    for (int i = 0; i < 20; ++i)
        rows << QString("\"%1 %2 100\"").arg(930 + i).arg(strong ? 10.0 + i * 0.01 : 10.0 - i * 0.01, 0, 'f', 2);
    return QString("{\"code\":0,\"msg\":\"\",\"data\":{\"%1\":{\"data\":{\"data\":[%2],\"date\":\"20170425\"}}}}")
        .arg(providerSymbol(code), rows.join(','));
}

// The minutes of each of `codes` at their own request, strong unless named
// in `weak`.
void serveMinutes(TestHttpServer& server, const QStringList& codes, const QStringList& weak = {})
{
    for (const QString& code : codes) {
        server.serveExact(klinefixtures::minutesTarget(providerSymbol(code)),
                          TestHttpServer::Reply::text(minutes(code, !weak.contains(code))));
    }
}

// The histories kept in data/, each stock's at its own request as `histories`
// names it; any other request gets 404.
void serveHistories(TestHttpServer& server, const QMap<QString, TestHttpServer::Reply>& histories)
{
    server.serve("/appstock/app/fqkline/get", klinefixtures::storedHistoryService([histories](const QString& code) {
        return histories.value(code, TestHttpServer::Reply::status404());
    }));
}

// The quote service answering each code asked for with its line in `lines`;
// a code without one gets an empty line, as for a stock not trading.
TestHttpServer::Handler recheckQuotes(const QMap<QString, QString>& lines)
{
    return quotefixtures::refusingWithoutReferer(quotefixtures::answeringEachSymbol([lines](const QString& code) {
        return lines.value(code, quotefixtures::quoteLine(providerSymbol(code), QStringList()));
    }));
}

// Today's market list record: quoted keys, bare numbers, "turnoverratio".
QString todaysRealtimeItem(const QString& code, const QString& name)
{
    return QString("{\"symbol\":\"sh%1\",\"code\":\"%1\",\"name\":\"%2\",\"trade\":\"10.400\","
                   "\"pricechange\":\"0.400\",\"changepercent\":\"4.000\",\"settlement\":\"10.000\","
                   "\"open\":\"10.000\",\"high\":\"10.450\",\"low\":\"9.980\",\"volume\":52366400,"
                   "\"ticktime\":\"14:50:00\",\"mktcap\":30817926.22,\"turnoverratio\":0.5}")
        .arg(code, name);
}

// Today's minute rows carry the cumulative amount as a fourth field; the
// price climbs every minute.
QString todaysStrongMinutes(const QString& symbol)
{
    QStringList rows;
    for (int i = 0; i < 20; ++i) {
        const double price = 10.0 + i * 0.01;
        rows << QString("\"%1 %2 %3 %4\"").arg(930 + i).arg(price, 0, 'f', 2).arg((i + 1) * 100).arg(
                    (i + 1) * 100 * price * 100, 0, 'f', 2);
    }
    return QString("{\"code\":0,\"msg\":\"\",\"data\":{\"%1\":{\"data\":{\"data\":[%2],\"date\":\"20170425\"}}}}")
        .arg(symbol, rows.join(','));
}

// A recheck quote: `candidate` keeps the end-of-day shape; `asks` false
// empties the sell side so that the auction filter drops it. The bid side,
// 500,000 hands, outweighs a tenth of the total shares of every large stock.
// A non-null `extra` is written as the 34th field of today's Shanghai lines.
QString recheckLine(const QString& code, bool candidate, bool asks, const QString& extra = QString())
{
    quotefixtures::SinaQuote quote;
    quote.name = "N";
    quote.open = candidate ? "10.00" : "10.20";
    quote.preClose = "10.00";
    quote.price = candidate ? "10.30" : "10.10";
    quote.high = "10.32";
    quote.low = "9.99";
    quote.volume = quote.amount = "100";
    quote.evenBook(10000000, "10", asks ? 10000 : 0, "10");
    quote.date = "2017-04-25";
    quote.time = "14:50:03";
    quote.extra = extra;
    return quotefixtures::quoteLine("sh" + code, quote);
}

int runToEnd(StockTailWidget& page)
{
    int steps = 0;
    while (page.step() && steps < 1000)
        ++steps;
    return steps;
}

// The whole run of a page started at 14:50 on a trading day, step by step.
void runFromTenToThree(StockTailWidget& page)
{
    page.stopTicking();
    setChinaNow(at(QDate(2017, 4, 25), 14, 50, 0));
    QVERIFY(page.step());
    runToEnd(page);
    QCOMPARE(page.state, 4);
}

// The market list: `items` on its first page, "null" on every later one of
// the forty the page asks for.
void serveMarket(TestHttpServer& server, const QStringList& items)
{
    const QString list = "/quotes_service/api/json_v2.php/Market_Center.getHQNodeData?num=80&sort=0&node=hs_a&symbol="
                         "&_s_r_a=page&page=";
    server.serveExact(list + "1", TestHttpServer::Reply::gbk("[" + items.join(',') + "]", "text/plain", false));
    for (int page = 2; page <= 40; ++page)
        server.serveExact(list + QString::number(page), TestHttpServer::Reply::text("null"));
}

} // namespace

class TestStockTailWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void waitsForTenToThreeOnTradingDays_data();
    void waitsForTenToThreeOnTradingDays();
    void wholeRunGoesOnPastTenToThreeAndSaysWhatItPicked();
    void wholeRunKeepsThePicksTheRecheckLeaves();
    void wholeRunStoresTheHistoriesThatParsed();
    void wholeRunShowsTheMinutesOfAClickedPick();
    void wholeRunIsTheOnlyRunOfTheProgram();
    void cleanupTestCase();
    void shippedPoolWithTodaysFormsPicksAndRechecks();
    void failedDownloadsAreCountedOnTheLabel_data();
    void failedDownloadsAreCountedOnTheLabel();
    void nothingPickedIsSaid();
    void unreadableAndUnstorableHistoriesAreSaid();
    void unsentMailIsNotAnnouncedAsSent();
    void minutesMustBeStrongOnBothShares_data();
    void minutesMustBeStrongOnBothShares();

private:
    struct WholeRun;
    WholeRun& wholeRun();
    std::unique_ptr<WholeRun> run;
};

// One run of the page against the loopback services, started at 14:50:30 on
// a trading day and ended after 14:51, shared by the cases that each check
// one thing it did. Seven pool stocks (one ST) on the market list with a
// stranger; 600001 to 600004 show the engulfing shape, 600005 is flat and
// 600007's history is an error page; the recheck keeps 600001's shape,
// loses 600002's and fails 600003's auction filter; 600004's minutes are weak.
struct TestStockTailWidget::WholeRun
{
    TestHttpServer server;
    HostOverride hosts{server};
    StockTailWidget page;
    bool started = false;
    QStringList stored;   // the histories in data/ when the run ended
    QMap<QString, QString> storedBodies;   // their texts, by code
};

TestStockTailWidget::WholeRun& TestStockTailWidget::wholeRun()
{
    if (run)
        return *run;
    run.reset(new WholeRun);
    for (const Stock& s :
         {poolStock("600001", "A"), poolStock("600002", "B"), poolStock("600003", "C"), poolStock("600004", "D"),
          poolStock("600005", "E"), poolStock("600006", "*ST F"), poolStock("600007", "G")})
        vorelApp()->stockPool.insert(s.code, s);
    TestHttpServer& server = run->server;
    QStringList items;
    for (const char* code : {"600001", "600002", "600003", "600004", "600005", "600007", "600009"})
        items << realtimeItem(code, "N");
    items << realtimeItem("600006", "*ST F");
    serveMarket(server, items);
    QMap<QString, TestHttpServer::Reply> histories;
    for (const char* code : {"600001", "600002", "600003", "600004"})
        histories.insert(code, TestHttpServer::Reply::text(engulfingHistory(code)));
    histories.insert("600005", TestHttpServer::Reply::text(flatHistory("600005")));
    histories.insert("600007", TestHttpServer::Reply::text("<html>busy</html>"));
    serveHistories(server, histories);
    serveMinutes(server, {"600001", "600002", "600003", "600004"}, {"600004"});
    server.serve("/list=", recheckQuotes({{"600001", recheckLine("600001", true, true)},
                                          {"600002", recheckLine("600002", false, true)},
                                          {"600003", recheckLine("600003", false, false)}}));
    StockTailWidget& page = run->page;
    page.stopTicking();
    setChinaNow(at(QDate(2017, 4, 25), 14, 50, 30));
    run->started = page.step();
    setChinaNow(at(QDate(2017, 4, 25), 14, 51, 30));
    runToEnd(page);
    run->stored = QDir("data").entryList(QDir::Files);
    for (const QString& code : run->stored) {
        QFile file("data/" + code);
        if (file.open(QIODevice::ReadOnly))
            run->storedBodies.insert(code, QString::fromUtf8(file.readAll()));
    }
    return *run;
}

void TestStockTailWidget::cleanupTestCase()
{
    run.reset();
}

void TestStockTailWidget::init()
{
    setChinaNow(QDateTime());
    vorelApp()->stockPool.clear();
    vorelApp()->config.bidMinPercent = -8.0f;
    vorelApp()->config.bidMaxPercent = 5.0f;
    vorelApp()->config.bidRatio = 0.093f;
    // A fresh start: the application makes the folder at start-up.
    QDir("data").removeRecursively();
    QDir().mkpath("data");
}

void TestStockTailWidget::waitsForTenToThreeOnTradingDays_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("stopsForGood");
    QTest::newRow("14:49:59") << at(QDate(2017, 4, 25), 14, 49, 59) << false << false;
    QTest::newRow("14:50:00") << at(QDate(2017, 4, 25), 14, 50, 0) << true << false;
    QTest::newRow("14:50:59") << at(QDate(2017, 4, 25), 14, 50, 59) << true << false;
    QTest::newRow("14:51:00") << at(QDate(2017, 4, 25), 14, 51, 0) << false << false;
    QTest::newRow("Saturday") << at(QDate(2017, 4, 29), 14, 50, 0) << false << true;
    QTest::newRow("Sunday") << at(QDate(2017, 4, 30), 14, 50, 0) << false << true;
    QTest::newRow("holiday") << at(QDate(2017, 5, 1), 14, 50, 0) << false << true;
}

void TestStockTailWidget::waitsForTenToThreeOnTradingDays()
{
    QFETCH(QDateTime, now);
    QFETCH(bool, starts);
    QFETCH(bool, stopsForGood);
    TestHttpServer server;
    HostOverride hosts(server);
    StockTailWidget page;
    page.stopTicking();
    setChinaNow(now);
    QCOMPARE(page.step(), !stopsForGood);
    QCOMPARE(page.state, starts ? 1 : 0);
    if (starts) {
        QCOMPARE(page.queue.size(), 39);   // the first of the 40 pages was fetched in this step
        QCOMPARE(server.requestCount(), 1);
    }
    if (stopsForGood) {
        setChinaNow(at(QDate(2017, 5, 2), 14, 50, 0));
        QVERIFY(!page.step());
        QCOMPARE(page.state, 0);
    }
}

// The run goes on to its end after 14:50; 600007's history was an error page.
void TestStockTailWidget::wholeRunGoesOnPastTenToThreeAndSaysWhatItPicked()
{
    WholeRun& run = wholeRun();
    QVERIFY(run.started);
    QCOMPARE(run.page.state, 4);
    QCOMPARE(run.page.label->text(),
             QStringLiteral("分析股票完毕,选出2只股票；1次下载失败，最近一次：") + unreadableAnswer());
    QCOMPARE(run.page.startTime, QString("2017-04-25 14:50:30"));
}

// 600002's recheck quote lost the shape; 600003's quote failed the auction
// filter, which is no reason to drop it; 600004's minutes are weak.
void TestStockTailWidget::wholeRunKeepsThePicksTheRecheckLeaves()
{
    const StockTailWidget& page = wholeRun().page;
    QCOMPARE(page.results.keys(), QStringList({ "600001", "600003" }));
    QCOMPARE(page.list->rowCount(), 2);
    QCOMPARE(page.minutes.keys(), QStringList({ "600001", "600002", "600003", "600004" }));
    for (const QString& code : page.minutes.keys())
        QCOMPARE(page.minutes.value(code).code, code);
    // every request was the one the run should send
    QCOMPARE(wholeRun().server.unanswered(), QStringList());
}

// Histories that parsed are kept for the file scans; garbage is not.
void TestStockTailWidget::wholeRunStoresTheHistoriesThatParsed()
{
    const QStringList stored = wholeRun().stored;
    QCOMPARE(stored, QStringList({ "600001", "600002", "600003", "600004", "600005" }));
    for (const char* code : { "600001", "600002", "600003", "600004" })
        QCOMPARE(run->storedBodies.value(code), engulfingHistory(code));
    QCOMPARE(run->storedBodies.value("600005"), flatHistory("600005"));
}

void TestStockTailWidget::wholeRunShowsTheMinutesOfAClickedPick()
{
    StockTailWidget& page = wholeRun().page;
    int row = 0;
    while (row < page.list->rowCount() && page.list->item(row, 0)->text() != "600003")
        ++row;
    page.onClick(row, 1);
    QCOMPARE(page.chart->record.rows.size(), 20);
    QCOMPARE(page.chart->record.code, QString("600003"));
    page.onClick(99, 0);   // no such row
}

// Finished for this program run: no later step asks for anything.
void TestStockTailWidget::wholeRunIsTheOnlyRunOfTheProgram()
{
    WholeRun& run = wholeRun();
    const int requests = run.server.requestCount();
    QVERIFY(!run.page.step());
    QCOMPARE(run.server.requestCount(), requests);
}

void TestStockTailWidget::failedDownloadsAreCountedOnTheLabel_data()
{
    addFailedAnswerRows();
}

// Three candidates: 600001's history fails, 600002's minutes fail, 600003 is
// picked and its recheck fails, which keeps it.
void TestStockTailWidget::failedDownloadsAreCountedOnTheLabel()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    for (const char* code : { "600001", "600002", "600003" })
        vorelApp()->stockPool.insert(code, poolStock(code, "N"));
    TestHttpServer server;
    HostOverride hosts(server);
    serveMarket(server, { realtimeItem("600001", "N"), realtimeItem("600002", "N"), realtimeItem("600003", "N") });
    serveHistories(server, { { "600001", failedAnswer(failure, engulfingHistory("600001")) },
                             { "600002", TestHttpServer::Reply::text(engulfingHistory("600002")) },
                             { "600003", TestHttpServer::Reply::text(engulfingHistory("600003")) } });
    serveMinutes(server, { "600003" });
    server.serveExact(klinefixtures::minutesTarget("sh600002"), failedAnswer(failure, minutes("600002", true)));
    server.serveExact("/list=sh600003", failedAnswer(failure, recheckLine("600003", true, true)));

    StockTailWidget page;
    runFromTenToThree(page);
    QCOMPARE(page.results.keys(), QStringList({ "600003" }));
    QCOMPARE(page.label->text(), QStringLiteral("分析股票完毕,选出1只股票；3次下载失败，最近一次：") + reason);
    QCOMPARE(server.unanswered(), QStringList());
    page.resize(900, 600);
    page.show();
    QVERIFY(saveScreenshot(&page, "endofday-failed-" + failureTag()));
}

// Three candidates: 600001's history cannot be stored (a folder in its
// file's place) and is picked all the same; 600002's answer repeats a day,
// which holds nothing to read; 600003 is picked.
void TestStockTailWidget::unreadableAndUnstorableHistoriesAreSaid()
{
    for (const char* code : { "600001", "600002", "600003" })
        vorelApp()->stockPool.insert(code, poolStock(code, "N"));
    QVERIFY(QDir().mkpath("data/600001"));
    QVERIFY(saveWhole("data/600002", "old history of 600002"));
    TestHttpServer server;
    HostOverride hosts(server);
    serveMarket(server, { realtimeItem("600001", "N"), realtimeItem("600002", "N"), realtimeItem("600003", "N") });
    QString repeated = engulfingHistory("600002");
    repeated.replace("2017-04-21", "2017-04-20");
    serveHistories(server, { { "600001", TestHttpServer::Reply::text(engulfingHistory("600001")) },
                             { "600002", TestHttpServer::Reply::text(repeated) },
                             { "600003", TestHttpServer::Reply::text(engulfingHistory("600003")) } });
    serveMinutes(server, { "600001", "600003" });
    server.serve("/list=", recheckQuotes({ { "600001", recheckLine("600001", true, true) },
                                           { "600003", recheckLine("600003", true, true) } }));

    StockTailWidget page;
    runFromTenToThree(page);
    QCOMPARE(page.results.keys(), QStringList({ "600001", "600003" }));
    QCOMPARE(page.label->text(), QStringLiteral("分析股票完毕,选出2只股票；1次下载失败，最近一次：") + unreadableAnswer()
                                     + QStringLiteral("；1只股票的历史数据保存失败，最近一次：data/600001 是一个文件夹,不是文件"));
    QVERIFY(QFileInfo("data/600001").isDir());
    QFile old("data/600002");
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old history of 600002"));
    page.resize(900, 600);
    page.show();
    QVERIFY(saveScreenshot(&page, "endofday-unstored"));
}

void TestStockTailWidget::nothingPickedIsSaid()
{
    vorelApp()->stockPool.insert("600001", poolStock("600001", "N"));
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/quotes_service/", TestHttpServer::Reply::text("null"));
    StockTailWidget page;
    runFromTenToThree(page);
    QCOMPARE(page.label->text(), QStringLiteral("分析股票完毕,没有选出股票"));
}

// The pool the build ships and every answer in today's forms, the quote
// service answering 403 to a request without its Referer: a Shanghai stock is
// picked and survives the recheck at 14:50, another one whose recheck quote
// lost the end-of-day shape is dropped, and every recheck request carried
// the Referer.
void TestStockTailWidget::shippedPoolWithTodaysFormsPicksAndRechecks()
{
    loadShippedPool();
    TestHttpServer server;
    HostOverride hosts(server);
    serveMarket(server, { todaysRealtimeItem("600000", QStringLiteral("浦发银行")),
                          todaysRealtimeItem("600036", QStringLiteral("招商银行")) });
    QMap<QString, TestHttpServer::Reply> histories;
    for (const char* code : { "600000", "600036" }) {
        histories.insert(code, TestHttpServer::Reply::text(engulfingHistory(code)));
        server.serveExact(klinefixtures::minutesTarget(providerSymbol(code)),
                          TestHttpServer::Reply::text(todaysStrongMinutes(providerSymbol(code))));
    }
    serveHistories(server, histories);
    server.serve("/list=", recheckQuotes({ { "600000", recheckLine("600000", true, true, "") },
                                           { "600036", recheckLine("600036", false, true, "D|36500|330325.00") } }));

    StockTailWidget page;
    runFromTenToThree(page);
    QCOMPARE(page.minutes.keys(), QStringList({ "600000", "600036" }));
    QCOMPARE(page.minutes.value("600000").rows.size(), 20);
    QCOMPARE(page.minutes.value("600036").code, QString("600036"));
    QCOMPARE(page.results.keys(), QStringList({ "600000" }));
    QCOMPARE(page.list->rowCount(), 1);
    QCOMPARE(page.list->item(0, 0)->text(), QString("600000"));
    int quoteRequests = 0;
    QCOMPARE(quotefixtures::quoteRequestsWithoutReferer(server.requests(), &quoteRequests), 0);
    QCOMPARE(quoteRequests, 1);
    QCOMPARE(server.unanswered(), QStringList());
    // 成交量 as the market list serves it, 行业 from the pool
    QCOMPARE(page.list->item(0, 8)->text(), QString("52366400"));
    const QString industry = vorelApp()->stockPool.value("600000").industry;
    QVERIFY(!industry.isEmpty());
    QCOMPARE(page.list->item(0, 9)->text(), industry);
    page.resize(1200, 600);
    page.show();
    QVERIFY(saveScreenshot(&page, "tailpicks"));
}

void TestStockTailWidget::unsentMailIsNotAnnouncedAsSent()
{
    StockTailWidget page;
    page.stopTicking();
    page.results.insert("600001", poolStock("600001", "A"));
    page.composeTailMail();
    QCOMPARE(page.label->text(), QStringLiteral("NOTE:-1,尾盘选股邮件未发送"));
}

void TestStockTailWidget::minutesMustBeStrongOnBothShares_data()
{
    QTest::addColumn<int>("above");
    QTest::addColumn<bool>("picked");
    QTest::newRow("89 of 100 minutes at the average") << 89 << false;
    QTest::newRow("90 of 100") << 90 << true;
    QTest::newRow("50 of 100") << 50 << false;
}

// 100 minutes whose volume all trades in the first one at 10.00: the
// average stays 10.00 (it rises or holds in every minute), and `above`
// minutes trade at it, the others at 9.90. Both shares must pass 89 %.
void TestStockTailWidget::minutesMustBeStrongOnBothShares()
{
    QFETCH(int, above);
    QFETCH(bool, picked);
    vorelApp()->stockPool.insert("600001", poolStock("600001", "N"));
    QStringList rows;
    for (int i = 0; i < 100; ++i)
        rows << QString("\"%1 %2 100\"").arg(900 + i).arg(i < above ? "10.00" : "9.90");
    const QString body = QString("{\"code\":0,\"msg\":\"\",\"data\":{\"sh600001\":{\"data\":{\"data\":[%1],"
                                 "\"date\":\"20170425\"}}}}").arg(rows.join(','));
    TestHttpServer server;
    HostOverride hosts(server);
    serveMarket(server, { realtimeItem("600001", "N") });
    server.serve("/appstock/app/fqkline/get?p=1&param=sh600001,", TestHttpServer::Reply::text(engulfingHistory("600001")));
    server.serve("/appstock/app/minute/query?code=sh600001", TestHttpServer::Reply::text(body));
    server.serve("/list=", TestHttpServer::Reply::gbk(recheckLine("600001", true, true), "application/javascript", false));

    StockTailWidget page;
    runFromTenToThree(page);
    QCOMPARE(page.minutes.value("600001").aboveAveragePercent, float(above));
    QCOMPARE(page.minutes.value("600001").averageRisingPercent, 100.0f);
    QCOMPARE(page.results.contains("600001"), picked);
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestStockTailWidget>(argc, argv);
}

#include "tst_stocktailwidget.moc"
