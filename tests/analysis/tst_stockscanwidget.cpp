#include "analysis/candlestickwidget.h"
#include "analysis/stockscanwidget.h"
#include "core/clock.h"
#include "core/fileutils.h"
#include "core/vorelapplication.h"
#include "datasource/httpget.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/support/barbuilder.h"
#include "tests/support/failedanswers.h"
#include "tests/support/filecontents.h"
#include "tests/support/messagecatcher.h"
#include "tests/support/programapplication.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/stocklistview.h"
#include "widgets/vorelstockmsgbox.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUrlQuery>
#include <QtTest>

namespace {

// A trading day (Tuesday) of the built-in calendar, at a China time of day.
QDateTime tradingDayAt(int hour, int minute)
{
    return QDateTime(QDate(2017, 3, 7), QTime(hour, minute), QTimeZone("Asia/Shanghai"));
}

// A K-line body of `count` rising daily bars whose last bar opens with a gap
// above the day before and makes a new 60-day high.
QString klineBody(const QString& requestCode, int count, double base)
{
    QStringList rows;
    QDate date(2016, 1, 4);
    double previousHigh = 0;
    for (int i = 0; i < count; ++i) {
        double open = base + 0.05 * i;
        if (i == count - 1)
            open = previousHigh + 0.5;
        const double close = open + (i == count - 1 ? 0.2 : 0.03);
        const double high = close + 0.02;
        const double low = i == count - 1 ? open : open - 0.02;
        previousHigh = high;
        rows << QStringLiteral("[\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"]")
                    .arg(date.toString("yyyy-MM-dd"))
                    .arg(open, 0, 'f', 2).arg(close, 0, 'f', 2).arg(high, 0, 'f', 2).arg(low, 0, 'f', 2)
                    .arg(10000 + i * 10);
        date = date.addDays(1);
    }
    return QStringLiteral("{\"code\":0,\"msg\":\"\",\"data\":{\"%1\":{\"qfqday\":[%2],\"qt\":{}}}}")
        .arg(requestCode, rows.join(','));
}

// Where the bars of `code` start: each stock its own prices, so that a
// history shown or stored under another code shows; the cheap stock 000010
// trades below 7.6.
double basePrice(const QString& code)
{
    return code == "000010" ? 2.0 : 10.0 + code.right(2).toInt() * 0.1;
}

// The history of 80 bars of `code` from its own base price.
QString historyOf(const QString& code)
{
    return klineBody(providerSymbol(code), 80, basePrice(code));
}

// The close of the last bar of a K-line body, as written there.
QString lastCloseOf(const QString& body)
{
    return body.section("],[", -1).section(',', 2, 2).remove('"');
}

// The service answering every stored-history request with its stock's
// history of 80 bars.
TestHttpServer::Handler wholeHistories()
{
    return klinefixtures::storedHistoryService(
        [](const QString& code) { return TestHttpServer::Reply::text(historyOf(code)); });
}

Stock poolStock(const QString& code, const QString& name)
{
    return StockBuilder().code(code).name(name).industry(QStringLiteral("行业") + code.right(2));
}

}   // namespace

class StockScanWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void beforeTheCloseNothingIsFetched();
    void poolScanAsksForEveryNonStStockAndTheIndexOnce();
    void poolScanShowsItsProgressAndSaysWhenItIsDone();
    void poolScanListsTheStocksWithTenBarsOrMore();
    void poolScanStoresNewHistoriesAndKeepsFailedOnes();
    void poolScanRowLoadsItsStockIntoTheChart();
    void poolScanMarksCheapStocksButNotFailedOnesWhenThePageGoes();
    void weekendScanStartsAtAnyHourAndClosingThePageEndsIt();
    void quittingDuringAScanEndsIt();
    void brokenDownloadsKeepStoredHistories();
    void quittingDuringADownloadKeepsTheStoredHistory();
    void emptyPoolStillScansTheIndex();
    void failedDownloadsAreCountedAtTheEnd_data();
    void failedDownloadsAreCountedAtTheEnd();
    void onlyStocksAnsweredWithoutBarsAreMarked_data();
    void onlyStocksAnsweredWithoutBarsAreMarked();
    void historiesThatCannotBeStoredAreListedAndSaid();
    void finishedScanExportsTheListWhenAsked();
    void settingsDialogStoresTheExportSwitchOnConfirm();
    void shortOrSuspendedSeriesGetNoRow();

private:
    void servePool();
    StockScanWidget* makePage();
    StockScanWidget* poolScan();

    // Closes the message boxes a case opens; a case that expects one takes
    // it out, any other fails the case instead of blocking it for good.
    QScopedPointer<MessageCatcher> messages;
    QScopedPointer<TestHttpServer> server;
    QScopedPointer<HostOverride> hosts;
    QStringList requestedCodes;
    QTemporaryDir* workingFolder = nullptr;
    QString startFolder;   // the program's own temporary folder, current between the cases

    // The one scan the pool-scan cases look at, in a folder of its own.
    QScopedPointer<QTemporaryDir> poolScanFolder;
    QScopedPointer<StockScanWidget> poolScanPage;
    QStringList poolScanAsked;      // the codes the scan asked for, sorted
    QStringList poolScanExpected;   // every non-ST pool stock and the index, sorted
    QList<int> poolScanProgress;
    bool poolScanStarted = false;   // scanning, its button off and its progress shown right after the click
};

void StockScanWidgetTest::init()
{
    startFolder = QDir::currentPath();
    workingFolder = new QTemporaryDir;
    QDir::setCurrent(workingFolder->path());
    QDir().mkpath("data");
    server.reset(new TestHttpServer);
    hosts.reset(new HostOverride(*server));
    setRequestTimeout(300);   // the stalled stock gives up quickly
    requestedCodes.clear();
    vorelApp()->stockPool.clear();
    messages.reset(new MessageCatcher);
}

void StockScanWidgetTest::cleanup()
{
    const QStringList unexpected = messages->seen;
    messages.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable("message box: " + unexpected.join(" / ")));
    hosts.reset();
    server.reset();
    setChinaNow(QDateTime());
    setRequestTimeout(30000);
    setRequestTimeLimit(90000);
    vorelApp()->stockPool.clear();
    QDir::setCurrent(startFolder);
    delete workingFolder;
    workingFolder = nullptr;
}

// The pool: 18 plain stocks, one trading below 7.6, one with only 5 bars, one
// answered by an error page, one that never answers, and one ST stock.
void StockScanWidgetTest::servePool()
{
    auto& pool = vorelApp()->stockPool;
    for (int i = 1; i <= 18; ++i) {
        const QString code = QStringLiteral("6000%1").arg(i, 2, 10, QLatin1Char('0'));
        pool.insert(code, poolStock(code, QStringLiteral("股票%1").arg(i)));
    }
    pool.insert("000010", poolStock("000010", QStringLiteral("低价")));
    pool.insert("000011", poolStock("000011", QStringLiteral("次新")));
    pool.insert("000012", poolStock("000012", QStringLiteral("出错")));
    pool.insert("000013", poolStock("000013", QStringLiteral("卡住")));
    pool.insert("000014", poolStock("000014", QStringLiteral("*ST退市")));

    server->serve("/appstock/app/fqkline/get", klinefixtures::storedHistoryService([this](const QString& code) {
        requestedCodes << code;
        if (code == "000012") {
            TestHttpServer::Reply reply = TestHttpServer::Reply::text("<html><body>502 Bad Gateway</body></html>", "text/html");
            reply.status = 502;
            return reply;
        }
        if (code == "000013")
            return TestHttpServer::Reply::stalled();
        if (code == "000011")
            return TestHttpServer::Reply::text(klineBody(providerSymbol(code), 5, 10));
        return TestHttpServer::Reply::text(historyOf(code));
    }));
}

StockScanWidget* StockScanWidgetTest::makePage()
{
    auto* page = new StockScanWidget;
    page->tickInterval = 1;
    page->resize(900, 520);
    return page;
}

void StockScanWidgetTest::beforeTheCloseNothingIsFetched()
{
    servePool();
    setChinaNow(tradingDayAt(14, 59));
    QScopedPointer<StockScanWidget> page(makePage());
    page->searchButton->click();   // returns when the message box is closed
    QCOMPARE(messages->seen.size(), 1);
    QVERIFY2(messages->seen.first().startsWith(QStringLiteral("提示|")), qPrintable(messages->seen.first()));
    QVERIFY(messages->seen.first().contains(QStringLiteral("请在收盘后使用该功能")));
    messages->seen.clear();
    QVERIFY(page->searchButton->isEnabled());
    QVERIFY(!page->isScanning());
    QTest::qWait(20);
    QCOMPARE(server->requestCount(), 0);
}

// The pool of servePool() scanned at 15:00 on a trading day, once: the first
// case that asks runs it, with stored histories of 000012, 000013 and 600001
// in its folder; the cases check, each, one thing it did. Null when the scan
// did not end within 30 seconds.
StockScanWidget* StockScanWidgetTest::poolScan()
{
    if (poolScanPage)
        return poolScanPage->isScanning() ? nullptr : poolScanPage.data();
    const QString caseFolder = QDir::currentPath();
    poolScanFolder.reset(new QTemporaryDir);
    QDir::setCurrent(poolScanFolder->path());
    QDir().mkpath("data");
    servePool();
    poolScanExpected = vorelApp()->stockPool.keys();
    poolScanExpected.removeAll("000014");
    poolScanExpected << "399678";
    std::sort(poolScanExpected.begin(), poolScanExpected.end());
    for (const QString code : {"000012", "000013", "600001"})
        writeFile("data/" + code, "old history of " + code);
    setChinaNow(tradingDayAt(15, 0));

    poolScanPage.reset(makePage());
    StockScanWidget* page = poolScanPage.data();
    page->show();
    QSignalSpy progress(page->progressBar, &QProgressBar::valueChanged);
    page->searchButton->click();
    poolScanStarted = page->isScanning() && !page->searchButton->isEnabled() && page->stack->currentIndex() == 1;
    QTest::qWaitFor([page] { return !page->isScanning(); }, 30000);
    for (const QList<QVariant>& value : progress)
        poolScanProgress << value.at(0).toInt();
    poolScanAsked = requestedCodes;
    std::sort(poolScanAsked.begin(), poolScanAsked.end());
    QDir::setCurrent(caseFolder);
    return page->isScanning() ? nullptr : page;
}

void StockScanWidgetTest::poolScanAsksForEveryNonStStockAndTheIndexOnce()
{
    QVERIFY2(poolScan(), "the scan did not end within 30 s");
    QVERIFY(poolScanStarted);
    QCOMPARE(poolScanAsked, poolScanExpected);
}

void StockScanWidgetTest::poolScanShowsItsProgressAndSaysWhenItIsDone()
{
    StockScanWidget* page = poolScan();
    QVERIFY2(page, "the scan did not end within 30 s");
    QVERIFY(poolScanProgress.size() >= 2);
    QVERIFY(std::is_sorted(poolScanProgress.begin(), poolScanProgress.end()));
    QCOMPARE(poolScanProgress.last(), 100);
    QCOMPARE(page->stack->currentIndex(), 0);
    // how many were scanned and listed, and the two that failed (in either order)
    const QString hint = page->hintLabel->text();
    QVERIFY2(hint.startsWith(QStringLiteral("扫描已完成,共扫描23只股票,列出20只；2只股票下载失败，最近一次：")),
             qPrintable(hint));
    QVERIFY(page->searchButton->isEnabled());
    QVERIFY(page->listView->isSortingEnabled());
}

// One row per stock with 10 bars or more: 18 plain, the cheap one, the index.
void StockScanWidgetTest::poolScanListsTheStocksWithTenBarsOrMore()
{
    StockScanWidget* page = poolScan();
    QVERIFY2(page, "the scan did not end within 30 s");
    StockListView* table = page->listView;
    QCOMPARE(table->rowCount(), 20);
    QStringList listed;
    for (int r = 0; r < table->rowCount(); ++r)
        listed << table->item(r, 0)->text();
    for (const QString missing : {"000011", "000012", "000013"})
        QVERIFY2(!listed.contains(missing), qPrintable(missing));
    QVERIFY(listed.contains("399678"));
    const int row = listed.indexOf("600007");
    QCOMPARE(table->item(row, 1)->text(), QStringLiteral("股票7"));
    QCOMPARE(table->item(row, 3)->text(), QString::number(table->stocks.value("600007").comments.size()));
    QVERIFY(table->item(row, 6)->text().startsWith(QStringLiteral("60日新高,前60日最高:")));
    QVERIFY(table->item(row, 7)->text().startsWith(QStringLiteral("看涨缺口幅度:")));
    QCOMPARE(table->stocks.value("600007").industry, QStringLiteral("行业07"));
    QVERIFY(table->stocks.value("600007").valid);
    // every row shows its own stock's bars
    for (const QString& code : listed) {
        QCOMPARE(table->stocks.value(code).code, code);
        QCOMPARE(QString::number(table->stocks.value(code).close, 'f', 2), lastCloseOf(historyOf(code)));
    }
}

// New for every fetched stock, untouched for the failed ones.
void StockScanWidgetTest::poolScanStoresNewHistoriesAndKeepsFailedOnes()
{
    QVERIFY2(poolScan(), "the scan did not end within 30 s");
    const QString data = poolScanFolder->filePath("data/");
    for (const QString& code : poolScanExpected) {
        if (code == "000011")
            QCOMPARE(fileText(data + code), klineBody("sz000011", 5, 10));
        else if (code != "000012" && code != "000013")
            QCOMPARE(fileText(data + code), historyOf(code));
    }
    QCOMPARE(fileText(data + "000012"), QStringLiteral("old history of 000012"));
    QCOMPARE(fileText(data + "000013"), QStringLiteral("old history of 000013"));
}

// "K线" loads the row's stock into the visible chart, from the service.
void StockScanWidgetTest::poolScanRowLoadsItsStockIntoTheChart()
{
    StockScanWidget* page = poolScan();
    QVERIFY2(page, "the scan did not end within 30 s");
    // the chart asks for its own unadjusted days
    server->serveExact(klinefixtures::historyTarget("sh600007", "day", "bfq"),
                       TestHttpServer::Reply::text(historyOf("600007")));
    CandlestickWidget chart;
    chart.show();
    vorelApp()->candlestickWidget = &chart;
    StockListView* table = page->listView;
    int row = 0;
    while (row < table->rowCount() && table->item(row, 0)->text() != "600007")
        ++row;
    table->onClick(row, 2);
    table->showKChart();
    vorelApp()->candlestickWidget = nullptr;
    QCOMPARE(chart.code, QStringLiteral("600007"));
    QCOMPARE(chart.adjust, QStringLiteral("bfq"));
    QVERIFY(!chart.bars.isEmpty());
    QCOMPARE(QString::number(chart.bars.last().close, 'f', 2), lastCloseOf(historyOf("600007")));
    QVERIFY(QFile::exists("data/k/600007"));
}

// The cheap stock is marked in "data/none" when the page goes; the stocks
// whose downloads failed (an error status, no answer) are not: a failure says
// nothing about the stock.
void StockScanWidgetTest::poolScanMarksCheapStocksButNotFailedOnesWhenThePageGoes()
{
    QVERIFY2(poolScan(), "the scan did not end within 30 s");
    QVERIFY(saveScreenshot(poolScanPage.data(), "smart_comments"));
    const QString caseFolder = QDir::currentPath();
    QDir::setCurrent(poolScanFolder->path());
    poolScanPage.reset();
    QStringList marked = fileText("data/none").split(',');
    QDir::setCurrent(caseFolder);
    std::sort(marked.begin(), marked.end());
    QCOMPARE(marked, (QStringList{"000010"}));
}

void StockScanWidgetTest::weekendScanStartsAtAnyHourAndClosingThePageEndsIt()
{
    servePool();
    setChinaNow(QDateTime(QDate(2017, 3, 11), QTime(10, 0), QTimeZone("Asia/Shanghai")));   // Saturday
    QPointer<StockScanWidget> page(makePage());
    page->searchButton->click();
    QVERIFY(page->isScanning());
    // the page goes away while a download is under way
    connect(server.data(), &TestHttpServer::requestSeen, page.data(), [&page] { delete page.data(); });
    QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), 5000);
    const int seen = server->requestCount();
    QTest::qWait(50);
    QCOMPARE(server->requestCount(), seen);
}

void StockScanWidgetTest::quittingDuringAScanEndsIt()
{
    servePool();
    setChinaNow(tradingDayAt(20, 0));
    QScopedPointer<StockScanWidget> page(makePage());
    connect(server.data(), &TestHttpServer::requestSeen, page.data(), [] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
    });
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 5000);
    QCOMPARE(server->requestCount(), 1);
    QVERIFY(page->searchButton->isEnabled());
}

void StockScanWidgetTest::brokenDownloadsKeepStoredHistories()
{
    using Reply = TestHttpServer::Reply;
    auto withStatus = [](Reply reply, int status) {
        reply.status = status;
        return reply;
    };
    const QByteArray sixWords = QStringLiteral("系统维护中,请稍后,再试,谢谢,客服,热线").toUtf8();
    QMap<QString, Reply> replies;
    auto history = [](const QString& code) { return historyOf(code).toUtf8(); };
    replies.insert("600001", Reply::cutShort(history("600001"), history("600001").size() / 3));
    replies.insert("600002", Reply::cutShort(history("600002"), history("600002").size() / 3, true));
    // Chunked answers that the connection broke off inside the bars, within
    // a chunk and after a whole one: Qt often finishes them without an error.
    replies.insert("600008", Reply::chunkedCutShort(history("600008"), history("600008").size() / 2 + 7));
    replies.insert("600009", Reply::chunkedCutShort(history("600009"), 70 * 20));
    Reply trickling = Reply::bytes(history("600004"));
    trickling.trickleMs = 5;
    replies.insert("600004", trickling);
    replies.insert("600005", withStatus(Reply::bytes(history("600005")), 500));
    replies.insert("600006", withStatus(Reply::bytes(sixWords, "text/html"), 500));
    replies.insert("600007", Reply::bytes(sixWords, "text/html"));
    // The index answered as a code the service does not know.
    replies.insert("399678", Reply::text("{\"code\":0,\"msg\":\"\",\"data\":{\"sz399678\":{\"day\":[],"
                                         "\"qt\":{\"sz399678\":[\"51\",\"\",\"399678\",\"0.00\"]}}}}"));
    for (auto it = replies.cbegin(); it != replies.cend(); ++it) {
        if (it.key() != "399678")
            vorelApp()->stockPool.insert(it.key(), poolStock(it.key(), it.key()));
        QVERIFY(saveWhole("data/" + it.key(), "old history of " + it.key().toUtf8()));
    }
    server->serve("/appstock/app/fqkline/get", klinefixtures::storedHistoryService([&replies](const QString& code) {
        return replies.value(code, Reply::status404());
    }));
    setRequestTimeLimit(300);
    setChinaNow(tradingDayAt(15, 0));

    QScopedPointer<StockScanWidget> page(makePage());
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 20000);
    QCOMPARE(page->listView->rowCount(), 0);
    for (const QString& code : replies.keys())
        QCOMPARE(fileText("data/" + code), "old history of " + code);
    QStringList files = QDir("data").entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files, replies.keys());
}

void StockScanWidgetTest::quittingDuringADownloadKeepsTheStoredHistory()
{
    // The first stock's history trickles in; the program is asked to quit
    // while a part of it has come.
    vorelApp()->stockPool.insert("600001", poolStock("600001", QStringLiteral("股票1")));
    for (const QString code : { "600001", "399678" })
        QVERIFY(saveWhole("data/" + code, "old history of " + code.toUtf8()));
    server->serve("/appstock/app/fqkline/get", klinefixtures::storedHistoryService([](const QString& code) {
        TestHttpServer::Reply reply = TestHttpServer::Reply::text(historyOf(code));
        reply.trickleMs = 1;
        return reply;
    }));
    setChinaNow(tradingDayAt(15, 0));
    QScopedPointer<StockScanWidget> page(makePage());
    QTimer quit;
    quit.setSingleShot(true);
    connect(&quit, &QTimer::timeout, QCoreApplication::instance(), &QCoreApplication::quit);
    connect(server.data(), &TestHttpServer::requestSeen, &quit, [&quit] { quit.start(400); });
    // Without a request nothing would ever quit the loop: give up after 20 s.
    bool gaveUp = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, QCoreApplication::instance(), [&gaveUp] {
        gaveUp = true;
        QCoreApplication::quit();
    });
    deadline.start(20000);
    page->searchButton->click();
    QCoreApplication::exec();
    QVERIFY2(!gaveUp, "no download began within 20 s");
    QCOMPARE(server->requestCount(), 1);
    QVERIFY(!page->isScanning());
    for (const QString code : { "600001", "399678" })
        QCOMPARE(fileText("data/" + code), "old history of " + code);
}

void StockScanWidgetTest::emptyPoolStillScansTheIndex()
{
    servePool();
    vorelApp()->stockPool.clear();
    setChinaNow(tradingDayAt(15, 0));
    QScopedPointer<StockScanWidget> page(makePage());
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 5000);
    QCOMPARE(requestedCodes, QStringList{"399678"});
    QCOMPARE(page->listView->rowCount(), 1);
    QCOMPARE(page->progressBar->value(), 100);
    // exporting is off unless the settings ask for it
    QVERIFY(!QFileInfo::exists("output"));
    QCOMPARE(page->hintLabel->text(), QStringLiteral("扫描已完成,共扫描1只股票,列出1只"));
}

void StockScanWidgetTest::failedDownloadsAreCountedAtTheEnd_data()
{
    addFailedAnswerRows();
}

void StockScanWidgetTest::failedDownloadsAreCountedAtTheEnd()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    vorelApp()->stockPool.insert("600001", poolStock("600001", QStringLiteral("股票1")));
    vorelApp()->stockPool.insert("600002", poolStock("600002", QStringLiteral("股票2")));
    server->serve("/appstock/app/fqkline/get", klinefixtures::storedHistoryService([failure](const QString& code) {
        const QString body = historyOf(code);
        return code == "600002" ? failedAnswer(failure, body) : TestHttpServer::Reply::text(body);
    }));
    setChinaNow(tradingDayAt(15, 0));
    QScopedPointer<StockScanWidget> page(makePage());
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 5000);
    QCOMPARE(page->listView->rowCount(), 2);
    QCOMPARE(page->listView->stocks.keys(), QStringList({ "399678", "600001" }));
    QCOMPARE(page->hintLabel->text(),
             QStringLiteral("扫描已完成,共扫描3只股票,列出2只；1只股票下载失败，最近一次：") + reason);
    page->show();
    QVERIFY(saveScreenshot(page.data(), "smartcomment-failed-" + failureTag()));

    // a later scan in which it came whole no longer leaves it out of the auction
    server->serve("/appstock/app/fqkline/get", wholeHistories());
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 5000);
    QCOMPARE(page->hintLabel->text(), QStringLiteral("扫描已完成,共扫描3只股票,列出3只"));
    page.reset();
    QVERIFY(!fileText("data/none").split(',').contains("600002"));
}

void StockScanWidgetTest::onlyStocksAnsweredWithoutBarsAreMarked_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("marked");
    QTest::newRow("connection refused") << "refused" << false;
    QTest::newRow("HTTP 503") << "503" << false;
    QTest::newRow("no answer") << "stalled" << false;
    QTest::newRow("cut body") << "cut" << false;
    QTest::newRow("error page") << "error page" << false;
    QTest::newRow("bars out of order") << "out of order" << false;
    QTest::newRow("answered without bars") << "no bars" << true;
}

// Two stocks and the index, every one answered alike: data/none names them
// only when the service answered that it has no bars of them.
void StockScanWidgetTest::onlyStocksAnsweredWithoutBarsAreMarked()
{
    using Reply = TestHttpServer::Reply;
    QFETCH(QString, answer);
    QFETCH(bool, marked);
    vorelApp()->stockPool.insert("600001", poolStock("600001", QStringLiteral("股票1")));
    vorelApp()->stockPool.insert("000002", poolStock("000002", QStringLiteral("股票2")));
    server->serve("/appstock/app/fqkline/get", klinefixtures::storedHistoryService([answer](const QString& code) {
        const QString requestCode = providerSymbol(code);
        const QString history = historyOf(code);
        if (answer == "503") {
            Reply reply = Reply::text("<html>Service Unavailable</html>", "text/html");
            reply.status = 503;
            return reply;
        }
        if (answer == "stalled")
            return Reply::stalled();
        if (answer == "cut")
            return Reply::text(history.left(history.size() / 2));
        if (answer == "error page")
            return Reply::text(QStringLiteral("<html><body>系统繁忙,请稍后再试</body></html>"), "text/html");
        if (answer == "out of order") {
            // the last two days swapped
            QString swapped = history;
            const int last = swapped.lastIndexOf("2016-");
            const int before = swapped.lastIndexOf("2016-", last - 1);
            const QString lastDate = swapped.mid(last, 10);
            swapped.replace(last, 10, swapped.mid(before, 10));
            swapped.replace(before, 10, lastDate);
            return Reply::text(swapped);
        }
        return Reply::text("{\"code\":0,\"msg\":\"\",\"data\":{\"" + requestCode + "\":{\"day\":[],\"qt\":{}}}}");
    }));
    // A port nothing listens on refuses every connection.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString refusing = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    QScopedPointer<HostOverride> refusal(answer == "refused" ? new HostOverride(refusing) : nullptr);
    setRequestTimeLimit(300);
    setChinaNow(tradingDayAt(15, 0));

    QScopedPointer<StockScanWidget> page(makePage());
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 10000);
    QCOMPARE(page->listView->rowCount(), 0);
    QVERIFY2(page->hintLabel->text().startsWith(QStringLiteral("扫描已完成,共扫描3只股票,列出0只；3只股票下载失败，最近一次：")),
             qPrintable(page->hintLabel->text()));
    if (answer == "out of order")
        QVERIFY(page->hintLabel->text().endsWith(unreadableAnswer()));
    page.reset();
    QStringList named = fileText("data/none").split(',');
    named.sort();
    QCOMPARE(named, marked ? QStringList({"000002", "399678", "600001"}) : QStringList("<missing>"));
}

// A history that came but cannot be kept (a folder in its file's place) is
// listed all the same, and the end of the scan says why it was not kept.
void StockScanWidgetTest::historiesThatCannotBeStoredAreListedAndSaid()
{
    vorelApp()->stockPool.insert("600001", poolStock("600001", QStringLiteral("股票1")));
    vorelApp()->stockPool.insert("600002", poolStock("600002", QStringLiteral("股票2")));
    QVERIFY(QDir().mkpath("data/600002"));
    server->serve("/appstock/app/fqkline/get", wholeHistories());
    setChinaNow(tradingDayAt(15, 0));
    QScopedPointer<StockScanWidget> page(makePage());
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 5000);
    QCOMPARE(page->listView->rowCount(), 3);
    QCOMPARE(page->hintLabel->text(),
             QStringLiteral("扫描已完成,共扫描3只股票,列出3只；1只股票的历史数据保存失败，最近一次："
                            "data/600002 是一个文件夹,不是文件"));
    QVERIFY(QFileInfo("data/600002").isDir());
    QCOMPARE(fileText("data/600001"), historyOf("600001"));
    page->show();
    QVERIFY(saveScreenshot(page.data(), "smartcomment-unstored"));
}

void StockScanWidgetTest::finishedScanExportsTheListWhenAsked()
{
    servePool();
    vorelApp()->stockPool.clear();
    vorelApp()->config.scanListExport = true;
    setChinaNow(tradingDayAt(15, 0));
    QScopedPointer<StockScanWidget> page(makePage());
    page->searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isScanning(), 5000);
    vorelApp()->config.scanListExport = false;

    const QString path = "output/2017-03-07.csv";
    const QStringList lines = fileText(path).split('\n');
    QVERIFY2(lines.size() >= 2, qPrintable(lines.join('|')));
    QVERIFY(lines.at(0).startsWith(QStringLiteral("代码,名称,涨幅,")));
    QVERIFY(lines.at(1).startsWith("399678,"));
    QVERIFY(page->hintLabel->text().contains(path));
    page->show();
    QVERIFY(saveScreenshot(page.data(), "smartcomment"));
}

void StockScanWidgetTest::settingsDialogStoresTheExportSwitchOnConfirm()
{
    vorelApp()->config.scanListExport = true;
    {
        StockScannerConfig dialog;
        QVERIFY(dialog.exportBox->isChecked());
        dialog.exportBox->setChecked(false);
    }
    QVERIFY(vorelApp()->config.scanListExport);   // closed without "确定"
    StockScannerConfig dialog;
    dialog.exportBox->setChecked(false);
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("确定"))
            button->click();
    }
    QVERIFY(!vorelApp()->config.scanListExport);
}

void StockScanWidgetTest::shortOrSuspendedSeriesGetNoRow()
{
    QScopedPointer<StockScanWidget> page(makePage());
    auto series = [](int count, float close) {
        QVector<Stock> bars(count);
        for (Stock& bar : bars) {
            bar.code = "600100";
            bar.open = bar.high = bar.low = bar.close = close;
        }
        return bars;
    };
    page->addStock(series(9, 10));
    page->addStock(series(30, 0.0005f));
    QCOMPARE(page->listView->stocks.size(), 0);
    QVERIFY(page->markedCodes.isEmpty());

    // a flat stock gets no comment at all: it is known to the view but not listed
    page->addStock(series(30, 10));
    QCOMPARE(page->listView->stocks.size(), 1);
    QVERIFY(page->listView->stocks.value("600100").comments.isEmpty());
    QCOMPARE(page->listView->rowCount(), 0);

    page->addStock(series(30, 7.5f));
    QCOMPARE(page->markedCodes, QStringList{"600100"});
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<StockScanWidgetTest, ProgramApplication>(argc, argv, {"config"});
}

#include "tst_stockscanwidget.moc"
