// Call-auction picking: when the run fires, which codes it asks for, how the
// picks are scored over their stored histories and mailed, and a whole run
// against a loopback quote service.

#include "core/clock.h"
#include "core/vorelapplication.h"
#include "strategy/bidconfigwidget.h"
#include "strategy/bidscoring.h"
#include "strategy/stockbidwidget.h"
#include "tests/analysis/candleseries.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/datasource/quotefixtures.h"
#include "tests/support/barbuilder.h"
#include "tests/support/dialogrows.h"
#include "tests/support/failedanswers.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/stocklistview.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Stock)
Q_DECLARE_METATYPE(QVector<Stock>)

namespace {

Stock poolStock(const QString& code, const QString& name)
{
    return StockBuilder().code(code).name(name).industry(QStringLiteral("银行")).totals(10000);
}

// Pool stocks 600001 to 600013, asked for in two quote requests.
void addThirteenPoolStocks()
{
    for (int i = 1; i <= 13; ++i) {
        const QString code = QString("6000%1").arg(i, 2, 10, QChar('0'));
        vorelApp()->stockPool.insert(code, poolStock(code, "N" + code));
    }
}

Stock pick(const QString& code, int score, float ratio, float preClose = 10, float close = 10.5f)
{
    Stock s = StockBuilder(poolStock(code, "N" + code)).preClose(preClose).close(close);
    s.bidScore = score;
    s.buySellRatio = ratio;
    return s;
}

// A stored history of `closes`, one flat bar per close.
void writeHistory(const QString& code, const QVector<double>& closes)
{
    QStringList arrays;
    for (int i = 0; i < closes.size(); ++i) {
        const QString date = QDate(2017, 1, 2).addDays(i).toString("yyyy-MM-dd");
        arrays << klinefixtures::bar(date, closes.at(i), closes.at(i), closes.at(i), closes.at(i), 1000);
    }
    QVERIFY(klinefixtures::writeStoredHistory(code, arrays));
}

QVector<double> flat(int n, double close = 10.0)
{
    return QVector<double>(n, close);
}

// A passing auction quote of `code`; the buy side grows with the code so
// that every pick has its own ratio.
QString passingQuote(const QString& code)
{
    quotefixtures::SinaQuote quote;
    quote.name = "N" + code;
    quote.open = quote.price = quote.high = quote.low = "10.1";
    quote.preClose = "10";
    quote.volume = quote.amount = "100";
    quote.evenBook(100000 + code.right(2).toInt() * 1000, "10.1", 10000, "10.1");
    quote.date = "2017-05-02";
    quote.time = "09:25:03";
    return quotefixtures::quoteLine(providerSymbol(code), quote);
}

// One passing auction quote per requested symbol.
TestHttpServer::Reply quotesFor(const TestHttpServer::Request& request)
{
    return quotefixtures::answeringEachSymbol(&passingQuote)(request);
}

// Quotes as the service writes them today for the stocks of the pool:
// Shanghai lines with a 34th field (empty or a "D|..." text), Shenzhen lines
// with 33. Every bid side holds a fifth of the stock's total shares; only the
// codes of `strong` have a buy/sell ratio above 6.
TestHttpServer::Handler todaysQuotesFor(const QStringList& strong)
{
    return quotefixtures::answeringEachSymbol([strong](const QString& code) {
        const Stock stock = vorelApp()->stockPool.value(code);
        const qint64 bidShares = qint64(stock.totals) * 4;
        quotefixtures::SinaQuote quote;
        quote.name = stock.name;
        quote.open = quote.price = quote.high = quote.low = quote.ask = "10.100";
        quote.preClose = "10.000";
        quote.bid = "10.090";
        quote.volume = "1234500";
        quote.amount = "12468450.00";
        quote.evenBook(bidShares, "10.100", bidShares / (strong.contains(code) ? 10 : 2), "10.110");
        quote.date = "2017-05-08";
        quote.time = "09:25:03";
        const QString symbol = providerSymbol(code);
        if (symbol.startsWith("sh"))
            quote.extra = code.toInt() % 2 == 0 ? QString("") : QString("D|36500|330325.00");
        return quotefixtures::quoteLine(symbol, quote);
    });
}

void invoke(QObject* target, const char* slot)
{
    QVERIFY(QMetaObject::invokeMethod(target, slot, Qt::DirectConnection));
}

// Runs the page's auction at `now` (China time) and waits for its quote
// downloads to end; false when they do not.
bool runAuctionAt(StockBidWidget& page, const QTime& now, const QDate& weekday)
{
    page.timer.stop();
    page.secondOffset = 0;
    page.loader.interval = 10;
    QSignalSpy finished(&page.loader, &DataLoader::sendOK);
    setChinaNow(QDateTime(weekday, now, QTimeZone("Asia/Shanghai")));
    // A run that asks for nothing ends at once, inside process().
    return QMetaObject::invokeMethod(&page, "process", Qt::DirectConnection)
           && (finished.count() > 0 || finished.wait(30000));
}

} // namespace

class TestStockBidWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void runFiresOnceAtTheAuction_data();
    void runFiresOnceAtTheAuction();
    void codeListSkipsExcludedAndSpecialTreatmentStocks();
    void mailLines_data();
    void mailLines();
    void historyScore();
    void historyScoringCanEndTheMailAfterOneLine();
    void eachPickIsScoredOverItsOwnHistory();
    void wholeRunListsTwelveAndNeverClaimsAnUnsentMail();
    void runWithoutPicksSaysSo_data();
    void runWithoutPicksSaysSo();
    void partlyFailedRunListsWhatCameAndSaysWhatFailed_data();
    void partlyFailedRunListsWhatCameAndSaysWhatFailed();
    void shippedPoolWithTodaysQuotesListsItsPicks();
    void endTextCountsTheCodesDataNoneLeftOut_data();
    void endTextCountsTheCodesDataNoneLeftOut();
    void auctionTabBoundsDecideWhatTheRunKeeps();
    void historyScoreOfEachTerm_data();
    void historyScoreOfEachTerm();
};

void TestStockBidWidget::init()
{
    setChinaNow(QDateTime());
    vorelApp()->stockPool.clear();
    vorelApp()->reductionCodes.clear();
    vorelApp()->codeList.clear();
    vorelApp()->config.bidUseK = false;
    vorelApp()->config.bidMinPercent = -8.0f;
    vorelApp()->config.bidMaxPercent = 3.6f;
    vorelApp()->config.bidRatio = 0.093f;
}

void TestStockBidWidget::cleanup()
{
    setChinaNow(QDateTime());
    // A fresh start: the application makes the folder at start-up.
    QDir("data").removeRecursively();
    QDir().mkpath("data");
}

void TestStockBidWidget::runFiresOnceAtTheAuction_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("fires");
    const QTimeZone china("Asia/Shanghai");
    auto at = [&](const QDate& d, int h, int m, int s) { return QDateTime(d, QTime(h, m, s), china); };
    const QDate monday(2017, 5, 8);
    QTest::newRow("09:25:31, offset 0") << at(monday, 9, 25, 31) << 0 << true;
    QTest::newRow("09:25:30, offset 0") << at(monday, 9, 25, 30) << 0 << false;
    QTest::newRow("09:25:44, offset 14") << at(monday, 9, 25, 44) << 14 << false;
    QTest::newRow("09:25:45, offset 14") << at(monday, 9, 25, 45) << 14 << true;
    QTest::newRow("09:26:40") << at(monday, 9, 26, 40) << 0 << false;
    QTest::newRow("10:25:40") << at(monday, 10, 25, 40) << 0 << false;
    QTest::newRow("Friday") << at(QDate(2017, 5, 12), 9, 25, 40) << 0 << true;
    QTest::newRow("Saturday") << at(QDate(2017, 5, 13), 9, 25, 40) << 0 << false;
    QTest::newRow("Sunday") << at(QDate(2017, 5, 14), 9, 25, 40) << 0 << false;
    QTest::newRow("weekday holiday") << at(QDate(2017, 5, 1), 9, 25, 40) << 0 << true;
}

void TestStockBidWidget::runFiresOnceAtTheAuction()
{
    QFETCH(QDateTime, now);
    QFETCH(int, offset);
    QFETCH(bool, fires);
    StockBidWidget page;
    page.timer.stop();
    page.secondOffset = offset;
    setChinaNow(now);
    invoke(&page, "process");
    QCOMPARE(page.fired, fires);
    // A program left running does not fire again, not even the next day.
    if (fires) {
        QSignalSpy finished(&page.loader, &DataLoader::sendOK);
        setChinaNow(now.addDays(7));
        invoke(&page, "process");
        QCOMPARE(finished.count(), 0);
    }
}

void TestStockBidWidget::codeListSkipsExcludedAndSpecialTreatmentStocks()
{
    QMap<QString, Stock>& pool = vorelApp()->stockPool;
    for (const Stock& s : { poolStock("600000", "PF"), poolStock("600001", "*ST HX"), poolStock("600002", "ST QD"),
                            poolStock("000001", "PA"), poolStock("000002", "WK"), poolStock("300001", "st lower"),
                            poolStock("300002", "Stone") })
        pool.insert(s.code, s);

    StockBidWidget page;
    page.timer.stop();
    QStringList codes = page.buildBidCodeList();
    codes.sort();
    QCOMPARE(codes, QStringList({ "000001", "000002", "300001", "300002", "600000" }));
    QCOMPARE(page.markedLeftOut, 0);

    QDir().mkpath("data");
    QFile none("data/none");
    QVERIFY(none.open(QIODevice::WriteOnly));
    // marked codes outside the run (an ST stock, a stranger) are not counted
    none.write("000002,,600000,600001,688888");
    none.close();
    codes = page.buildBidCodeList();
    codes.sort();
    QCOMPARE(codes, QStringList({ "000001", "300001", "300002" }));
    QCOMPARE(page.markedLeftOut, 2);
}

void TestStockBidWidget::mailLines_data()
{
    QTest::addColumn<QVector<Stock> >("scored");
    QTest::addColumn<QStringList>("lines");
    const QString line = QStringLiteral("代码%1,股票N%1,推荐度:%2,开价:%3,所属板块:银行,涨幅:%4%");
    QVector<Stock> five;
    for (int i = 0; i < 5; ++i)
        five << pick(QString("60000%1").arg(i), 60, 10 - i);
    QStringList fourLines;
    for (int i = 0; i < 4; ++i)
        fourLines << line.arg(QString("60000%1").arg(i)).arg(60).arg("10.5").arg("5");
    QTest::newRow("four of five") << five << fourLines;
    QTest::newRow("ends after a low score")
        << QVector<Stock> { pick("600000", 62, 1), pick("600001", 24, 1), pick("600002", 60, 1) }
        << QStringList { line.arg("600000").arg(62).arg("10.5").arg("5"), line.arg("600001").arg(24).arg("10.5").arg("5") };
    QTest::newRow("rise of 1.239 truncated")
        << QVector<Stock> { pick("600000", 60, 1, 100, 101.239f) }
        << QStringList { line.arg("600000").arg(60).arg("101.239").arg("1.23") };
    QTest::newRow("six significant digits")
        << QVector<Stock> { pick("600000", 60, 1, 1, 124.4567f) }
        << QStringList { line.arg("600000").arg(60).arg("124.457").arg("12345.7") };
    QTest::newRow("rise truncated to two decimals")
        << QVector<Stock> { pick("600000", 60, 1, 100, 101.235f) }
        << QStringList { line.arg("600000").arg(60).arg("101.235").arg("1.23") };
    QTest::newRow("fall truncated toward zero")
        << QVector<Stock> { pick("600000", 60, 1, 100, 98.765f) }
        << QStringList { line.arg("600000").arg(60).arg("98.765").arg("-1.23") };
    QTest::newRow("no previous close") << QVector<Stock> { pick("600000", 60, 1, 0, 5) }
                                      << QStringList { line.arg("600000").arg(60).arg("5").arg("0") };
}

void TestStockBidWidget::mailLines()
{
    QFETCH(QVector<Stock>, scored);
    QFETCH(QStringList, lines);
    QCOMPARE(bidMailLines(scored), lines);
}

void TestStockBidWidget::historyScore()
{
    const QString path = "data/600000";
    QCOMPARE(bidHistoryScore(path, {}, {}), 0);   // no file
    writeHistory("600000", flat(9));
    QCOMPARE(bidHistoryScore(path, {}, {}), 0);   // too few bars
    writeHistory("600000", flat(30));
    QCOMPARE(bidHistoryScore(path, {}, {}), 0);
    QCOMPARE(bidHistoryScore(path, { "600000" }, {}), 2);
    QCOMPARE(bidHistoryScore(path, {}, { "000001", "600000" }), -32);

    // A last close far above the upper band; zero closes are skipped, not fed.
    QVector<double> breakout = flat(29);
    breakout << 0.0 << 20.0;
    writeHistory("600000", breakout);
    QCOMPARE(bidHistoryScore(path, {}, {}), 6);

    QFile garbage(path);
    QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    garbage.write("<html>502</html>");
    garbage.close();
    QCOMPARE(bidHistoryScore(path, {}, {}), 0);
}

void TestStockBidWidget::historyScoringCanEndTheMailAfterOneLine()
{
    vorelApp()->config.bidUseK = true;
    vorelApp()->reductionCodes = QStringList { "600001", "600002", "600003" };
    for (const char* code : { "600001", "600002", "600003" })
        writeHistory(code, flat(30));
    StockBidWidget page;
    page.timer.stop();
    page.composeBidMail({ pick("600001", 60, 9), pick("600002", 60, 8), pick("600003", 60, 7) });
    QCOMPARE(page.mailBody, QStringLiteral("今日关注:\n代码600001,股票N600001,推荐度:28,开价:10.5,所属板块:银行,涨幅:5%"));
    // The list shows the whole scored list, not only what was mailed.
    QCOMPARE(page.list->rowCount(), 3);
}

// Three picks of equal auction score, each with a stored history of its
// own: a breakout lifts 600002 alone, and only 600001 is among the reduction
// codes, so the order and the scores tell whose history each got.
void TestStockBidWidget::eachPickIsScoredOverItsOwnHistory()
{
    vorelApp()->config.bidUseK = true;
    vorelApp()->reductionCodes = QStringList { "600001" };
    QVector<double> breakout = flat(29);
    breakout << 20.0;
    writeHistory("600001", flat(30));
    writeHistory("600002", breakout);
    writeHistory("600003", flat(30, 11.0));
    StockBidWidget page;
    page.timer.stop();
    page.composeBidMail({ pick("600001", 60, 9), pick("600002", 60, 8), pick("600003", 60, 7) });
    const QString line = QStringLiteral("代码%1,股票N%1,推荐度:%2,开价:10.5,所属板块:银行,涨幅:5%");
    const QStringList lines { line.arg("600002").arg(66), line.arg("600003").arg(60), line.arg("600001").arg(28) };
    QCOMPARE(page.mailBody, QStringLiteral("今日关注:\n") + lines.join('\n'));
}

void TestStockBidWidget::wholeRunListsTwelveAndNeverClaimsAnUnsentMail()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/list=", &quotesFor);
    addThirteenPoolStocks();
    vorelApp()->stockPool.insert("600099", poolStock("600099", "*ST X"));

    StockBidWidget page;
    QVERIFY(runAuctionAt(page, QTime(9, 25, 50), QDate(2017, 5, 8)));
    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(page.picks.size(), 13);
    // Equal ratios never count as greater: the sort needs a strict ordering.
    QVERIFY(!StockBidWidget::bidRatioGreater(page.picks.first(), page.picks.first()));

    // 13 picks, 12 selected; mailed: the four with the largest buy/sell ratio.
    QCOMPARE(page.list->rowCount(), 12);
    const QStringList mail = page.mailBody.split('\n');
    QCOMPARE(mail.size(), 5);
    QVERIFY(mail.at(1).startsWith(QStringLiteral("代码600013,")));
    QVERIFY(mail.at(4).startsWith(QStringLiteral("代码600010,")));
    QVERIFY(!page.list->stocks.contains("600001"));
    // No transport: the result is kept and the label does not say it was sent.
    QCOMPARE(page.mailResult, -1);
    QCOMPARE(page.label->text(), QStringLiteral("已选出13股,邮件未发送"));

    invoke(&page, "process");
    QTest::qWait(50);
    QCOMPARE(server.requestCount(), 2);
}

void TestStockBidWidget::runWithoutPicksSaysSo_data()
{
    addFailedAnswerRows();
    QTest::newRow("no quote passes") << "weak" << QString();
}

void TestStockBidWidget::runWithoutPicksSaysSo()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    TestHttpServer server;
    HostOverride hosts(server);
    if (failure == "weak") {
        server.serve("/list=", todaysQuotesFor({}));
    } else {
        server.serve("/list=", [failure](const TestHttpServer::Request& request) {
            return failedAnswer(failure, QString::fromLatin1(quotesFor(request).body));
        });
    }
    addThirteenPoolStocks();
    StockBidWidget page;
    QVERIFY(runAuctionAt(page, QTime(9, 25, 50), QDate(2017, 5, 8)));
    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(page.list->rowCount(), 0);
    const QString nothing = QStringLiteral("竞价结束,没有选出股票");
    QCOMPARE(page.label->text(), reason.isEmpty() ? nothing
                                                  : nothing + QStringLiteral("；2次行情下载失败，最近一次：") + reason);
    page.resize(900, 500);
    page.show();
    QVERIFY(saveScreenshot(&page, "auction-nopicks-" + failureTag()));
}

void TestStockBidWidget::partlyFailedRunListsWhatCameAndSaysWhatFailed_data()
{
    addFailedAnswerRows();
}

// 13 stocks in two requests, the second of which fails: the picks of the
// first are listed and the label says what failed beside them.
void TestStockBidWidget::partlyFailedRunListsWhatCameAndSaysWhatFailed()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    TestHttpServer server;
    HostOverride hosts(server);
    auto answered = std::make_shared<int>(0);
    server.serve("/list=", [failure, answered](const TestHttpServer::Request& request) {
        const TestHttpServer::Reply quotes = quotesFor(request);
        return ++*answered == 1 ? quotes : failedAnswer(failure, QString::fromLatin1(quotes.body));
    });
    addThirteenPoolStocks();
    StockBidWidget page;
    QVERIFY(runAuctionAt(page, QTime(9, 25, 50), QDate(2017, 5, 8)));
    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(page.picks.size(), 8);
    QCOMPARE(page.list->rowCount(), 8);
    QCOMPARE(page.label->text(),
             QStringLiteral("已选出8股,邮件未发送；1次行情下载失败，最近一次：") + reason);
}

// The pool the build ships and quotes in today's forms, at 09:25:40 China
// time on a weekday, from a quote service that answers 403 to a request
// without its Referer: every quote request carries it, and the stocks that
// pass the thresholds are listed.
void TestStockBidWidget::shippedPoolWithTodaysQuotesListsItsPicks()
{
    loadShippedPool();
    const QStringList strong { "600000", "600036", "601398", "000001", "000002" };
    for (const QString& code : strong)
        QVERIFY2(vorelApp()->stockPool.value(code).totals > 0, qPrintable(code));
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/list=", quotefixtures::refusingWithoutReferer(todaysQuotesFor(strong)));

    StockBidWidget page;
    QSignalSpy failures(&page.loader, &DataLoader::sendFailure);
    QVERIFY(runAuctionAt(page, QTime(9, 25, 40), QDate(2017, 5, 10)));
    int quoteRequests = 0;
    QCOMPARE(quotefixtures::quoteRequestsWithoutReferer(server.requests(), &quoteRequests), 0);
    QCOMPARE(quoteRequests, (vorelApp()->stockPool.size() + 7) / 8);
    QCOMPARE(server.requestCount(), quoteRequests);
    QCOMPARE(failures.count(), 0);

    QStringList picked;
    for (const Stock& s : page.picks)
        picked << s.code;
    picked.sort();
    QCOMPARE(picked, QStringList({ "000001", "000002", "600000", "600036", "601398" }));
    QCOMPARE(page.list->rowCount(), 5);
    QVERIFY(page.list->stocks.contains("600000"));
    const Stock pufa = page.list->stocks.value("600000");
    QCOMPARE(pufa.name, QStringLiteral("浦发银行"));
    QCOMPARE(pufa.totals, 2161800);
    QCOMPARE(pufa.text2, QString("09:25:03"));
}

void TestStockBidWidget::endTextCountsTheCodesDataNoneLeftOut_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QString>("text");
    QTest::newRow("five of thirteen") << "600001,600002,600003,600004,600005,688888" << 1
                                      << QStringLiteral("已选出8股,邮件未发送；跳过data/none中标记的5只股票");
    QTest::newRow("the whole pool") << "600001,600002,600003,600004,600005,600006,600007,600008,600009,600010,"
                                       "600011,600012,600013" << 0
                                    << QStringLiteral("竞价结束,没有选出股票；跳过data/none中标记的13只股票");
    QTest::newRow("none") << "" << 2 << QStringLiteral("已选出13股,邮件未发送");
}

// A run that left pool codes out because data/none names them says how many:
// a data/none that names the whole pool would else end the run in silence.
void TestStockBidWidget::endTextCountsTheCodesDataNoneLeftOut()
{
    QFETCH(QString, marked);
    QFETCH(int, requests);
    QFETCH(QString, text);
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/list=", &quotesFor);
    addThirteenPoolStocks();
    if (!marked.isEmpty()) {
        QFile none("data/none");
        QVERIFY(none.open(QIODevice::WriteOnly));
        none.write(marked.toLatin1());
    }
    StockBidWidget page;
    QVERIFY(runAuctionAt(page, QTime(9, 25, 50), QDate(2017, 5, 8)));
    QCOMPARE(server.requestCount(), requests);
    QCOMPARE(page.label->text(), text);
    page.resize(900, 500);
    page.show();
    QVERIFY(saveScreenshot(&page, "auction-left-out-" + failureTag()));
}

// The settings of the auction tab, set as a user sets them, against quotes on
// and beside each bound: a fall limit and a rise limit of different sizes, so
// that one taken for the other shows, and a strength exactly at the least
// ratio, which is not above it.
void TestStockBidWidget::auctionTabBoundsDecideWhatTheRunKeeps()
{
    {
        BidConfigWidget tab;
        setControlValue(controlBeside(&tab, QStringLiteral("最大跌幅")), -2.5);
        setControlValue(controlBeside(&tab, QStringLiteral("最大涨幅")), 6.25);
        setControlValue(controlBeside(&tab, QStringLiteral("最小比率")), 0.5);
    }
    struct Quote
    {
        const char* code;
        const char* close;     // against a previous close of 10
        int firstBidShares;    // the other four bid levels hold 100000 shares each
    };
    const QVector<Quote> quotes = {
        {"600001", "10.625", 100500},   // +6.25 %, the largest rise: kept
        {"600002", "10.75", 100500},    // +7.5 %: dropped
        {"600003", "10.4", 100500},     // +4 %, more than the largest fall's size: kept
        {"600004", "9.75", 100500},     // -2.5 %, the largest fall: kept
        {"600005", "9.6", 100500},      // -4 %, within the largest rise's size: dropped
        {"600006", "10.1", 100000},     // 5000 hands bid of 10000: exactly the least ratio, dropped
        {"600007", "10.1", 100500},     // 5005 hands bid: kept
    };
    for (const Quote& quote : quotes)
        vorelApp()->stockPool.insert(quote.code, poolStock(quote.code, QString("N") + quote.code));
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/list=", [&quotes](const TestHttpServer::Request&) {
        QString body;
        for (const Quote& quote : quotes) {
            QStringList f;
            f << QString("N") + quote.code << "10" << "10" << quote.close << quote.close << quote.close << "0" << "0"
              << "100" << "100";
            for (int level = 0; level < 5; ++level)
                f << QString::number(level == 0 ? quote.firstBidShares : 100000) << quote.close;
            for (int level = 0; level < 5; ++level)
                f << "100" << quote.close;
            f << "2017-05-08" << "09:25:03" << "00";
            body += QString("var hq_str_sh%1=\"%2\";\n").arg(quote.code, f.join(','));
        }
        return TestHttpServer::Reply::gbk(body, "application/javascript", false);
    });
    StockBidWidget page;
    QVERIFY(runAuctionAt(page, QTime(9, 25, 50), QDate(2017, 5, 8)));
    QStringList kept;
    for (const Stock& pick : page.picks)
        kept << pick.code;
    kept.sort();
    QCOMPARE(kept, QStringList({"600001", "600003", "600004", "600007"}));
}

void TestStockBidWidget::historyScoreOfEachTerm_data()
{
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("reduced");
    QTest::addColumn<int>("score");
    const QVector<float> highFlat = {13, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f};
    const QVector<float> lowFlat = {10.2f, 10.25f, 10.3f, 10.2f, 10.25f, 10.3f, 10.2f};
    QTest::newRow("high sideways") << SeriesBuilder().flat(54, 10).closes(highFlat).bars() << false << false << -36;
    QTest::newRow("high sideways of a reduced stock") << SeriesBuilder().flat(54, 10).closes(highFlat).bars() << false
                                                      << true << -68;
    QTest::newRow("seven days 2.11 % apart")
        << SeriesBuilder().flat(54, 80).closes({100, 101, 102.11f, 101, 100, 101, 102}).bars() << false << false << 0;
    QTest::newRow("low sideways") << SeriesBuilder().flat(41, 10).flat(13, 12).closes(lowFlat).bars() << false << false
                                  << 2;
    QTest::newRow("low sideways of a listed stock") << SeriesBuilder().flat(41, 10).flat(13, 12).closes(lowFlat).bars()
                                                    << true << false << 4;
    QTest::newRow("breakdown") << SeriesBuilder().flat(1, 10).ramp(24, 12.4f).closes({11}).bars() << false << false
                               << -36;
    QTest::newRow("double top") << doubleTopSeries(10).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars() << false << false
                                << -36;
    // Five closes of 10.5 after 25 of 10: the last close lies one deviation
    // (10.34) but not two (10.56) above the mean.
    QTest::newRow("close between one and two deviations up") << SeriesBuilder().flat(25, 10).flat(5, 10.5f).bars()
                                                             << false << false << 0;
    // Ten bars are enough for a score, nine are not; with fewer than 20 the
    // band does not exist yet.
    QTest::newRow("ten bars of a listed stock") << SeriesBuilder().flat(9, 10).closes({20}).bars() << true << false << 2;
    QTest::newRow("nine bars of a listed stock") << SeriesBuilder().flat(8, 10).closes({20}).bars() << true << false << 0;
    // A close of 0.01 is no price: the seven days around it are still sideways.
    QTest::newRow("high sideways around a close of 0.01")
        << SeriesBuilder().flat(54, 10).closes({13, 13.1f, 0.01f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars() << false
        << false << -36;
    QTest::newRow("high sideways around a close of 0.015")
        << SeriesBuilder().flat(54, 10).closes({13, 13.1f, 0.015f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars() << false
        << false << 0;
}

// Each term of the history score on its own and added to the others: the
// top shapes take 36 each, the low flat base adds 2, the lists 2 and -32.
void TestStockBidWidget::historyScoreOfEachTerm()
{
    QFETCH(QVector<Stock>, bars);
    QFETCH(bool, listed);
    QFETCH(bool, reduced);
    QFETCH(int, score);
    QVERIFY(klinefixtures::writeStoredHistory("600000", klinefixtures::plainBars(bars)));
    const QStringList codes{"600000"};
    QCOMPARE(bidHistoryScore("data/600000", listed ? codes : QStringList(), reduced ? codes : QStringList()), score);
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestStockBidWidget>(argc, argv);
}

#include "tst_stockbidwidget.moc"
