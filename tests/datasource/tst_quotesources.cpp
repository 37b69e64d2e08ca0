// Quote sources: request batching, the auction filter of the quote parser, the
// market list pages, and a GBK quote body over loopback HTTP.

#include "core/vorelapplication.h"
#include "datasource/httpget.h"
#include "datasource/quotesources.h"
#include "tests/datasource/quotefixtures.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QtTest>

namespace {

QStringList codes(int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QString("%1").arg(600000 + i);
    return out;
}

// One quote line as the service writes it: 33 fields, the order book as
// (volume, price) pairs in shares.
QString quoteLine(const QString& code, double preClose, double close, int buyEach, int sellEach,
                  const QString& name = QStringLiteral("浦发银行"), int fields = 33)
{
    quotefixtures::SinaQuote quote;
    const QString price = QString::number(close);
    quote.name = name;
    quote.open = quote.price = quote.high = quote.low = quote.bid = quote.ask = price;
    quote.preClose = QString::number(preClose);
    quote.volume = "1234567";
    quote.amount = "98765432.5";
    quote.evenBook(buyEach, price, sellEach, price);
    quote.date = "2026-12-07";
    quote.time = "09:25:03";
    QStringList f = quote.fields();
    while (f.size() > fields)
        f.removeLast();
    while (f.size() < fields)
        f << "0";
    return quotefixtures::quoteLine(providerSymbol(code), f);
}

QMap<QString, Stock> pool()
{
    QMap<QString, Stock> p;
    for (const QString& code : { QString("600000"), QString("000001") }) {
        Stock s;
        s.code = code;
        s.name = "n" + code;
        s.industry = QStringLiteral("银行");
        s.area = QStringLiteral("上海");
        s.totals = 10000;
        s.outstanding = 8000;
        p.insert(code, s);
    }
    Stock noShares;
    noShares.code = "600002";
    p.insert("600002", noShares);
    return p;
}

BidFilter filter()
{
    BidFilter f;
    f.minPercent = -5.0f;
    f.maxPercent = 5.0f;
    f.ratio = 0.093f;
    return f;
}

// What a parsed quote holds, field by field.
QStringList quoteFields(const Stock& s)
{
    QStringList fields;
    for (const auto& price :
         {std::make_pair("open", s.open), std::make_pair("preClose", s.preClose), std::make_pair("close", s.close),
          std::make_pair("high", s.high), std::make_pair("low", s.low), std::make_pair("volume", s.volume),
          std::make_pair("amount", s.amount), std::make_pair("change", s.change),
          std::make_pair("changePercent", s.changePercent), std::make_pair("buySellRatio", s.buySellRatio),
          std::make_pair("value1", s.value1)})
        fields << QString("%1=%2").arg(price.first).arg(double(price.second), 0, 'g', 7);
    const int book[] = {s.buyVolume1,  s.buyVolume2,  s.buyVolume3,  s.buyVolume4,  s.buyVolume5,
                        s.sellVolume1, s.sellVolume2, s.sellVolume3, s.sellVolume4, s.sellVolume5};
    for (int i = 0; i < 10; ++i)
        fields << QString("%1Volume%2=%3").arg(i < 5 ? "buy" : "sell").arg(i % 5 + 1).arg(book[i]);
    fields << "code=" + s.code << "name=" + s.name << "date=" + s.date << "time=" + s.text2 << "industry=" + s.industry
           << "area=" + s.area << QString("totals=%1").arg(s.totals) << QString("outstanding=%1").arg(s.outstanding)
           << QString("valid=%1").arg(s.valid) << QString("bidScore=%1").arg(s.bidScore);
    return fields;
}

} // namespace

class TestQuoteSources : public QObject
{
    Q_OBJECT
private slots:
    void quoteRequestsCarryEightCodesRemainderLastFirst_data();
    void quoteRequestsCarryEightCodesRemainderLastFirst();
    void simpleQuoteRequestsCarry64CodesWithMarketPrefix();
    void auctionFilter_data();
    void auctionFilter();
    void bodyKeepsPassingQuotesInOrder();
    void todaysQuoteLinesReadAsTheirFirst33Fields();
    void everyQuoteFieldLandsInItsOwnPlace();
    void marketListGivesOneRecordPerItem();
    void simpleQuotesAreCompletedFromThePool();
    void gbkQuoteBodyOverHttpIsJudgedAgainstThePool();
};

void TestQuoteSources::quoteRequestsCarryEightCodesRemainderLastFirst_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QStringList> >("expected");
    const QStringList c17 = codes(17);
    QTest::newRow("none") << 0 << QList<QStringList>();
    QTest::newRow("17 codes") << 17 << QList<QStringList> { c17.mid(0, 8), c17.mid(8, 8), { c17.at(16) } };
    QTest::newRow("3 codes") << 3
                             << QList<QStringList> { { "600003", "600002", "600001" } };
    QTest::newRow("16 codes") << 16 << QList<QStringList> { c17.mid(0, 8), c17.mid(8, 8) };
    QTest::newRow("11 codes") << 11
                              << QList<QStringList> { c17.mid(0, 8), { "600011", "600010", "600009" } };
}

void TestQuoteSources::quoteRequestsCarryEightCodesRemainderLastFirst()
{
    QFETCH(int, count);
    QFETCH(QList<QStringList>, expected);
    SinaInterface source;
    const QStringList urls = source.urls(codes(count));
    QCOMPARE(urls.size(), expected.size());
    for (int i = 0; i < urls.size(); ++i) {
        QStringList symbols;
        for (const QString& code : expected.at(i))
            symbols << "sh" + code;
        QCOMPARE(quotefixtures::requestedSymbols(urls.at(i)), symbols);
    }
}

void TestQuoteSources::simpleQuoteRequestsCarry64CodesWithMarketPrefix()
{
    const QStringList urls = tencentQuoteUrls(codes(130));
    QCOMPARE(urls.size(), 3);
    QVERIFY(urls.at(0).endsWith("q=s_sh600001," + QStringList(codes(64).mid(1)).replaceInStrings(QRegExp("^"), "s_sh").join(',')));
    QVERIFY(urls.at(1).contains("q=s_sh600065,"));
    QVERIFY(urls.at(1).endsWith(",s_sh600128"));
    QVERIFY(urls.at(2).endsWith("q=s_sh600130,s_sh600129"));

    const QStringList two = tencentQuoteUrls({ "600000", "000001" });
    QCOMPARE(two.size(), 1);
    QVERIFY(two.first().endsWith("q=s_sz000001,s_sh600000"));
    QVERIFY(two.first().contains("/r="));

    const QStringList foreign = tencentQuoteUrls({ "900901", "200002", "300750" });
    QVERIFY(foreign.first().endsWith("q=s_sz300750"));
    QVERIFY(tencentQuoteUrls({ "900901" }).first().endsWith("q="));
    QVERIFY(tencentQuoteUrls({}).isEmpty());
    QCOMPARE(tencentRandomText(0.5f), QString("0.5____"));
    QCOMPARE(tencentRandomText(0.1234567f), QString("0.12345"));
}

void TestQuoteSources::auctionFilter_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("passes");
    // Buy 1000 hands a level against 100: ratio 10, strength 5000 / 10000.
    QTest::newRow("rise within range") << quoteLine("600000", 10, 10.2, 100000, 10000) << true;
    QTest::newRow("rise equal to the largest rise") << quoteLine("600000", 10, 10.5, 100000, 10000) << true;
    QTest::newRow("fall equal to the largest fall") << quoteLine("600000", 10, 9.5, 100000, 10000) << true;
    QTest::newRow("rise above the range") << quoteLine("600000", 10, 10.6, 100000, 10000) << false;
    QTest::newRow("fall below the range") << quoteLine("600000", 10, 9.4, 100000, 10000) << false;
    QTest::newRow("limit-up: no asks") << quoteLine("600000", 10, 10.2, 100000, 0) << false;
    QTest::newRow("no bids") << quoteLine("600000", 10, 10.2, 0, 10000) << false;
    QTest::newRow("asks below one hand count as none") << quoteLine("600000", 10, 10.2, 100000, 99) << false;
    QTest::newRow("ratio exactly 6") << quoteLine("600000", 10, 10.2, 60000, 10000) << false;
    QTest::newRow("ratio just above 6") << quoteLine("600000", 10, 10.2, 60100, 10000) << true;
    QTest::newRow("strength not above the smallest ratio") << quoteLine("600000", 10, 10.2, 18000, 1000) << false;
    QTest::newRow("stock outside the pool") << quoteLine("601398", 10, 10.2, 100000, 10000) << false;
    QTest::newRow("pool entry without shares") << quoteLine("600002", 10, 10.2, 100000, 10000) << false;
    QTest::newRow("no previous close") << quoteLine("600000", 0, 0, 100000, 10000) << false;
    QTest::newRow("32 fields") << quoteLine("600000", 10, 10.2, 100000, 10000, "x", 32) << false;
    QTest::newRow("34 fields") << quoteLine("600000", 10, 10.2, 100000, 10000, "x", 34) << true;
    QTest::newRow("suspended: empty quote") << QString("var hq_str_sh600000=\"\";") << false;
    QTest::newRow("one quote mark") << QString("var hq_str_sh600000=\"a,b") << false;
    // a body broken off inside the last field of its last line: all 33
    // fields there, the closing quote not
    const QString whole = quoteLine("600000", 10, 10.2, 100000, 10000);
    QTest::newRow("cut inside the last field") << whole.left(whole.lastIndexOf('"') - 1) << false;
    QTest::newRow("code right at the start of the line") << whole.mid(whole.indexOf('=') - 6) << true;
    QTest::newRow("short code") << QString("v=\"") + quoteLine("600000", 10, 10.2, 100000, 10000).section('"', 1, 1) + "\"" << false;
    QTest::newRow("empty") << QString() << false;
}

void TestQuoteSources::auctionFilter()
{
    QFETCH(QString, line);
    QFETCH(bool, passes);
    const Stock quote = parseSinaQuoteLine(line, pool(), filter());
    QCOMPARE(quote.valid, passes);
    QCOMPARE(quote.bidScore, passes ? 60 : 0);
}

void TestQuoteSources::bodyKeepsPassingQuotesInOrder()
{
    const QString body = quoteLine("000001", 10, 10.2, 100000, 10000) + quoteLine("600000", 10, 10.2, 100000, 0)
                         + ";;" + quoteLine("600000", 10, 9.9, 100000, 10000);
    const QVector<Stock> quotes = parseSinaQuotes(body, pool(), filter());
    QCOMPARE(quotes.size(), 2);
    QCOMPARE(quotes.at(0).code, QString("000001"));
    QCOMPARE(quotes.at(0).buySellRatio, 10.0f);
    QCOMPARE(quotes.at(0).value1, 0.5f);
    QCOMPARE(quotes.at(0).industry, QStringLiteral("银行"));
    QCOMPARE(quotes.at(0).text2, QString("09:25:03"));
    QCOMPARE(quotes.at(1).code, QString("600000"));
    QVERIFY(quotes.at(1).changePercent < 0);
}

// Shanghai lines have carried a 34th field since about 2020, empty or a
// "D|..." text; Shenzhen lines still have 33. What follows field 32 never
// shifts what is read.
void TestQuoteSources::todaysQuoteLinesReadAsTheirFirst33Fields()
{
    const QString shanghai = quoteLine("600000", 10, 10.2, 100000, 10000);
    const QString shenzhen = quoteLine("000001", 10, 10.2, 100000, 10000, QStringLiteral("平安银行"));
    QString emptyExtra = shanghai;
    emptyExtra.replace("\";", ",\";");
    QString dealExtra = shanghai;
    dealExtra.replace("\";", ",D|36500|330325.00\";");
    const QVector<Stock> quotes = parseSinaQuotes(emptyExtra + dealExtra + shenzhen, pool(), filter());
    QCOMPARE(quotes.size(), 3);
    for (const Stock& quote : quotes) {
        QVERIFY(quote.valid);
        QCOMPARE(quote.volume, 12345.0f);
        QCOMPARE(quote.amount, float(98765432.5 / 10000.0));
        QCOMPARE(quote.buyVolume5, 1000);
        QCOMPARE(quote.sellVolume5, 100);
        QCOMPARE(quote.date, QString("2026-12-07"));
        QCOMPARE(quote.text2, QString("09:25:03"));
        QCOMPARE(quote.totals, 10000);
    }
    QCOMPARE(quotes.at(0).code, QString("600000"));
    QCOMPARE(quotes.at(1).name, QStringLiteral("浦发银行"));
    QCOMPARE(quotes.at(2).code, QString("000001"));
    QCOMPARE(quotes.at(2).name, QStringLiteral("平安银行"));
}

// Every field of the line its own value, so that a parser that read one
// field for another (high for low, a buy level for a sell level) shows.
void TestQuoteSources::everyQuoteFieldLandsInItsOwnPlace()
{
    quotefixtures::SinaQuote line;
    line.name = QStringLiteral("浦发银行");
    line.open = "10.01";
    line.preClose = "10.00";
    line.price = "10.20";
    line.high = "10.30";
    line.low = "9.90";
    line.bid = "10.19";
    line.ask = "10.21";
    line.volume = "1234567";
    line.amount = "98765432.5";
    for (int level = 1; level <= 5; ++level)
        line.book << QString::number(100100 * level) << QString::number(10.20 - 0.01 * level);
    for (int level = 1; level <= 5; ++level)
        line.book << QString::number(10100 * level) << QString::number(10.20 + 0.01 * level);
    line.date = "2026-12-07";
    line.time = "09:25:03";
    const Stock quote = parseSinaQuoteLine(quotefixtures::quoteLine("sh600000", line), pool(), filter());
    const QStringList expected{"open=10.01",
                               "preClose=10",
                               "close=10.2",
                               "high=10.3",
                               "low=9.9",
                               "volume=12345",
                               "amount=9876.543",
                               "change=0.1999998",
                               "changePercent=1.999998",
                               "buySellRatio=9.910892",
                               "value1=1.5015",
                               "buyVolume1=1001",
                               "buyVolume2=2002",
                               "buyVolume3=3003",
                               "buyVolume4=4004",
                               "buyVolume5=5005",
                               "sellVolume1=101",
                               "sellVolume2=202",
                               "sellVolume3=303",
                               "sellVolume4=404",
                               "sellVolume5=505",
                               "code=600000",
                               QStringLiteral("name=浦发银行"),
                               "date=2026-12-07",
                               "time=09:25:03",
                               QStringLiteral("industry=银行"),
                               QStringLiteral("area=上海"),
                               "totals=10000",
                               "outstanding=8000",
                               "valid=1",
                               "bidScore=60"};
    QCOMPARE(quoteFields(quote), expected);
}

void TestQuoteSources::marketListGivesOneRecordPerItem()
{
    SinaRealtimeInterface source;
    const QStringList urls = source.urls({ "1", "40" });
    QCOMPARE(urls.size(), 2);
    QVERIFY(urls.at(1).endsWith("Market_Center.getHQNodeData?num=80&sort=0&node=hs_a&symbol=&_s_r_a=page&page=40"));

    QStringList items { "{code:\"600000\",trade:\"10.20\",settlement:\"10.00\",changepercent:\"2.000\"}" };
    for (int i = 1; i < 80; ++i)
        items << QString("{code:\"%1\",name:\"\",trade:\"\"}").arg(600000 + i);
    const QVector<Stock> quotes = source.parse("[" + items.join(',') + "]", QString());
    QCOMPARE(quotes.size(), 80);
    QCOMPARE(quotes.first().close, 10.2f);
    QCOMPARE(quotes.first().preClose, 10.0f);
    QCOMPARE(quotes.last().close, 0.0f);

    // Today's records name the turnover "turnoverratio" (quoted keys, bare
    // numbers); where both keys stand, "turnover" is the one read. The volume
    // is kept as served, in shares.
    const QVector<Stock> today = source.parse(
        "[{\"symbol\":\"sh600000\",\"code\":\"600000\",\"trade\":\"10.200\",\"ticktime\":\"15:00:00\","
        "\"volume\":52366400,\"mktcap\":30817926.22,\"turnoverratio\":0.17843},"
        "{\"code\":\"600004\",\"turnover\":\"1.5\",\"turnoverratio\":2.5}]",
        QString());
    QCOMPARE(today.size(), 2);
    QCOMPARE(today.first().close, 10.2f);
    QCOMPARE(today.first().turnover, 0.17843f);
    QCOMPARE(today.first().volume, 52366400.0f);
    QCOMPARE(today.last().volume, 0.0f);
    QCOMPARE(today.last().turnover, 1.5f);

    QVERIFY(source.parse("null", QString()).isEmpty());
    QVERIFY(source.parse(QString(), QString()).isEmpty());
    QVERIFY(source.parse("<html>busy</html>", QString()).isEmpty());
    // "null" past the last page is the market's own answer; a page broken
    // off in the middle or an error page is a failed download
    const QString page = "[" + items.join(',') + "]";
    QCOMPARE(answerFailure(source, page, QString()), QString());
    QCOMPARE(answerFailure(source, " null\n", QString()), QString());
    QCOMPARE(answerFailure(source, page.left(page.size() / 2), QString()), unreadableAnswer());
    QCOMPARE(answerFailure(source, "<html>busy</html>", QString()), unreadableAnswer());
}

void TestQuoteSources::simpleQuotesAreCompletedFromThePool()
{
    const QString body = QStringLiteral(
        "v_s_sh600000=\"1~浦发~600000~10.20~0.20~2.00~123456~12345~~1234\";\n"
        "v_s_sh601398=\"1~工商银行~601398~5.00~-0.10~-1.96~20000~100~~99\";\n"
        "v_s_sh600001=\"1~short~600001~1~1~1~1~1~1\";\n"
        "v_s_sh600002=\"1~noshares~600002~4.00~0.00~0.00~500~1~~1\";\n"
        // Lines from 2021 on carry 11 or 12 items; the first 10 are read.
        "v_s_sz000001=\"51~平安银行~000001~9.10~0.05~0.55~1054388~96046~~1562.53~GP-A\";\n"
        "v_s_sz000002=\"51~万科A~000002~20.00~-0.20~-0.99~300000~60000~~2000.00~GP-A~\";\n");
    const QVector<Stock> quotes = parseTencentQuotes(body, pool());
    QCOMPARE(quotes.size(), 5);

    const Stock& known = quotes.at(0);
    QCOMPARE(known.code, QString("600000"));
    QCOMPARE(known.name, QString("n600000"));   // the pool's name wins
    QCOMPARE(known.industry, QStringLiteral("银行"));
    QCOMPARE(known.close, 10.2f);
    QCOMPARE(known.change, 0.2f);
    QCOMPARE(known.changePercent, 2.0f);
    QVERIFY(qAbs(known.volume - 12.3456f) < 1e-5f);
    QVERIFY(qAbs(known.preClose - 10.0f) < 1e-5f);
    QVERIFY(qAbs(known.turnover - 12.3456f) < 1e-4f);   // 123456 shares of 10000

    const Stock& outside = quotes.at(1);
    QCOMPARE(outside.code, QString("601398"));
    QCOMPARE(outside.name, QStringLiteral("工商银行"));
    QCOMPARE(outside.preClose, 0.0f);
    QCOMPARE(outside.turnover, 0.0f);
    QCOMPARE(outside.change, -0.1f);

    // A pool entry without total shares gives no turnover rather than infinity.
    QCOMPARE(quotes.at(2).code, QString("600002"));
    QCOMPARE(quotes.at(2).turnover, 0.0f);

    const Stock& eleven = quotes.at(3);
    QCOMPARE(eleven.code, QString("000001"));
    QCOMPARE(eleven.name, QString("n000001"));
    QCOMPARE(eleven.close, 9.1f);
    QCOMPARE(eleven.changePercent, 0.55f);
    QVERIFY(qAbs(eleven.volume - 105.4388f) < 1e-4f);
    const Stock& twelve = quotes.at(4);
    QCOMPARE(twelve.name, QStringLiteral("万科A"));
    QCOMPARE(twelve.change, -0.2f);
    QCOMPARE(twelve.volume, 30.0f);

    QVERIFY(parseTencentQuotes(QString(), pool()).isEmpty());
    QVERIFY(parseTencentQuotes("pv_none_match=\"1\";", pool()).isEmpty());
}

void TestQuoteSources::gbkQuoteBodyOverHttpIsJudgedAgainstThePool()
{
    vorelApp()->stockPool = pool();
    vorelApp()->config.bidMinPercent = -5.0f;
    vorelApp()->config.bidMaxPercent = 5.0f;
    vorelApp()->config.bidRatio = 0.093f;
    TestHttpServer server;
    HostOverride hosts(server);
    const QString body = quoteLine("600000", 10, 10.2, 100000, 10000, QStringLiteral("浦发银行"))
                         + quoteLine("000001", 10, 10.9, 100000, 10000, QStringLiteral("平安银行"));
    // The quote host declares no charset, and refuses a request without the
    // Referer of its finance site.
    server.serve("/list=", quotefixtures::refusingWithoutReferer(
                               TestHttpServer::Reply::gbk(body, "application/javascript", false)));
    SinaInterface source;
    const QStringList urls = source.urls({ "600000", "000001" });
    QCOMPARE(urls.size(), 1);
    QString failure = "not set";
    const QVector<Stock> quotes = source.parse(httpGet(urls.first(), nullptr, &failure), QString());
    QCOMPARE(failure, QString());
    QCOMPARE(server.requests().first().target, QString("/list=sz000001,sh600000"));
    QCOMPARE(server.requests().first().header("Referer"), quotefixtures::kReferer);
    QCOMPARE(quotes.size(), 1);   // 000001 rose 9 %
    QCOMPARE(quotes.first().name, QStringLiteral("浦发银行"));
    QCOMPARE(quotes.first().bidScore, 60);

    // Asked at a host the program does not know for the quote service, the
    // request goes without the Referer: the refusal reaches the caller.
    HostOverride realHosts { QString() };
    QVERIFY(source.parse(httpGet(server.baseUrl() + "/list=sh600000", nullptr, &failure), QString()).isEmpty());
    QCOMPARE(failure, QString("HTTP 403 Forbidden"));
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestQuoteSources>(argc, argv);
}

#include "tst_quotesources.moc"
