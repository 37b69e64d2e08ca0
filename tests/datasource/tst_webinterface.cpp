#include "datasource/eastmoneyahinterface.h"
#include "datasource/eastmoneynotice.h"
#include "datasource/eastmoneytradedetail.h"
#include "datasource/hexunhotstock.h"
#include "datasource/lhbsources.h"
#include "datasource/neteasehistory.h"
#include "datasource/providerhosts.h"
#include "datasource/quotesources.h"
#include "datasource/sinaachievementinterface.h"
#include "datasource/stockcompanyinfo.h"
#include "datasource/stockifenginterface.h"
#include "datasource/stocklistinterface.h"
#include "datasource/stocknewsinterface.h"
#include "datasource/stockqqhistoryinterface.h"
#include "datasource/stocktimedata.h"
#include "datasource/webinterface.h"
#include "tests/support/testhttpserver.h"

#include <QtTest>

#include <functional>

class WebInterfaceTest : public QObject
{
    Q_OBJECT
private slots:
    void marketCodeBySecuritiesMarket_data();
    void marketCodeBySecuritiesMarket();
    void matchAllFindsEveryMinimalMatch_data();
    void matchAllFindsEveryMinimalMatch();
    void matchFirstTakesTheFirstShortestMatch();
    void jsonBlockCaptures_data();
    void jsonBlockCaptures();
    void qqDataKeyNamesTheStockHoldingThePosition_data();
    void qqDataKeyNamesTheStockHoldingThePosition();
    void tradeDetailUsesTheDateTwice();
    void hostOverrideKeepsPathAndQuery();
    void everyRequestFindsItsProvider();
};

void WebInterfaceTest::marketCodeBySecuritiesMarket_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("shanghai") << "600000" << "sh600000";
    QTest::newRow("star market") << "688001" << "sh688001";
    QTest::newRow("shenzhen") << "000001" << "sz000001";
    QTest::newRow("index") << "399678" << "sz399678";
    QTest::newRow("other market") << "830799" << "sz830799";
    QTest::newRow("empty") << "" << "sz";
}

void WebInterfaceTest::marketCodeBySecuritiesMarket()
{
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(marketCode(code), expected);
}

void WebInterfaceTest::matchAllFindsEveryMinimalMatch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("adjacent cells")
        << "<tr><td>a</td><td>b</td></tr>" << "<td(.*)</td>" << QStringList { "<td>a</td>", "<td>b</td>" };
    QTest::newRow("upper-case tags")
        << "<TR><TD class=x>1</TD><Td>2</tD></TR>" << "<td(.*)</td>" << QStringList { "<TD class=x>1</TD>", "<Td>2</tD>" };
    QTest::newRow("cells across lines")
        << "<td>\nx\n</td>\n<td>y</td>" << "<td(.*)</td>" << QStringList { "<td>\nx\n</td>", "<td>y</td>" };
    QTest::newRow("none") << "<p>nothing</p>" << "<td(.*)</td>" << QStringList();
    QTest::newRow("unclosed last cell") << "<td>a</td><td>b" << "<td(.*)</td>" << QStringList { "<td>a</td>" };
    QTest::newRow("empty text") << "" << "<td(.*)</td>" << QStringList();
    QTest::newRow("match starts at the first opener") << "<td x <td>a</td>" << "<td(.*)</td>" << QStringList { "<td x <td>a</td>" };
    QTest::newRow("closer may not overlap the opener") << "aba abba" << "ab(.*)ba" << QStringList { "aba abba" };
    QTest::newRow("dot is any character") << "xhtml\">a</a>.html\">b</a>" << ".html\">(.*)</a>"
                                          << QStringList { "xhtml\">a</a>", ".html\">b</a>" };
    QTest::newRow("two gaps") << "[a]b[c]x]" << "\\[(.*)\\](.*)x" << QStringList { "[a]b[c]x" };
    QTest::newRow("unclosed after a match") << "<td>a</td>" + QString("<td").repeated(300000) << "<td(.*)</td>"
                                            << QStringList { "<td>a</td>" };
}

void WebInterfaceTest::matchAllFindsEveryMinimalMatch()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);
    QCOMPARE(matchAll(text, pattern), expected);
}

void WebInterfaceTest::matchFirstTakesTheFirstShortestMatch()
{
    QCOMPARE(matchFirst("x<TD>a</td><td>b</td>", "<td(.*)</td>"), QString("<TD>a</td>"));
    QCOMPARE(matchFirst("no cells", "<td(.*)</td>"), QString(""));
}

void WebInterfaceTest::jsonBlockCaptures_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("recovery");
    QTest::newRow("notice page")
        << "var x; defjson: {pages:2,data:[{a:1}]}, charset: 'gb2312' defjson: second charset"
        << "defjson: {pages:2,data:[{a:1}]}, charset" << "";
    QTest::newRow("recovery page")
        << "head DEFJSON:  \"[{\"code\":\"600000\"}]\", MAKETR: x maketr: y"
        << "" << "[{\"code\":\"600000\"}]\", MAKETR:";
    QTest::newRow("recovery block without quote")
        << "defjson:abc maketr:" << "" << "abc maketr:";
    QTest::newRow("no block") << "<html>maintenance</html>" << "" << "";
    QTest::newRow("empty") << "" << "" << "";
}

void WebInterfaceTest::jsonBlockCaptures()
{
    QFETCH(QString, body);
    QFETCH(QString, notice);
    QFETCH(QString, recovery);
    QCOMPARE(captureNoticeJson(body), notice);
    QCOMPARE(captureRecoveryJson(body), recovery);
}

void WebInterfaceTest::qqDataKeyNamesTheStockHoldingThePosition_data()
{
    // The position asked about is that of the "[[" in each body.
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("key");
    QTest::newRow("history") << "{\"code\":0,\"msg\":\"\",\"data\":{\"sh600000\":{\"qfqday\":[[\"2019-01-02\"]]}}}"
                             << "sh600000";
    QTest::newRow("index") << "{\"data\":{\"sz399678\":{\"day\":[[1]]}}}" << "sz399678";
    QTest::newRow("blanks between the parts") << "{\"data\" : { \"sz000002\" :\n{\"qfqday\":[[1]]}}}" << "sz000002";
    QTest::newRow("objects and quoted braces before the bars")
        << "{\"data\":{\"sh600000\":{\"qt\":{\"a\":\"}\\\"}\"},\"qfqday\":[[1]]}}}" << "sh600000";
    QTest::newRow("bars in the object of a later key")
        << "{\"data\":{\"sh600000\":{\"qt\":{}},\"sz000002\":{\"qfqday\":[[1]]}}}" << "";
    QTest::newRow("bars before the data object") << "{\"qfqday\":[[1]],\"data\":{\"sh600000\":{}}}" << "";
    QTest::newRow("no data object") << "{\"sh600000\":{\"qfqday\":[[1]]}}" << "";
    QTest::newRow("data is no object of objects") << "{\"data\":[[1]]}" << "";
}

void WebInterfaceTest::qqDataKeyNamesTheStockHoldingThePosition()
{
    QFETCH(QString, body);
    QFETCH(QString, key);
    QCOMPARE(qqDataKey(body, body.indexOf("[[")), key);
}

void WebInterfaceTest::tradeDetailUsesTheDateTwice()
{
    HostOverride hosts(QString("http://127.0.0.1:9"));
    const QStringList urls = eastmoneyTradeDetailUrls({ "2017-03-01", "ignored" });
    QCOMPARE(urls, QStringList { "http://127.0.0.1:9/DataCenter_V3/stock2016/TradeDetail/pagesize=200,page=1,"
                                 "sortRule=-1,sortType=,startDate=2017-03-01,endDate=2017-03-01,gpfw=0,"
                                 "js=vardata_tab_1.html" });
    QVERIFY(eastmoneyTradeDetailUrls({}).isEmpty());
}

void WebInterfaceTest::hostOverrideKeepsPathAndQuery()
{
    {
        HostOverride hosts(QString("http://127.0.0.1:18080/"));
        QCOMPARE(providerUrl(Provider::QQKLine, "/a/b?c=1&d=2"), QString("http://127.0.0.1:18080/a/b?c=1&d=2"));
        QCOMPARE(providerUrl(Provider::Hexun, "/"), QString("http://127.0.0.1:18080/"));
    }
    qunsetenv("VOREL_HOST_OVERRIDE");
    // Without the override every provider has a real plain-HTTP host of its own.
    const QList<Provider> providers { Provider::SinaFinance, Provider::SinaQuote, Provider::QQQuote,
                                      Provider::QQKLine, Provider::QQStock, Provider::QQStockApp,
                                      Provider::EastmoneyData, Provider::EastmoneyQuote, Provider::IFeng,
                                      Provider::Netease, Provider::Hexun, Provider::StockList };
    for (Provider provider : providers) {
        const QUrl base(providerBase(provider));
        QCOMPARE(base.scheme(), QString("http"));
        QVERIFY(!base.host().isEmpty());
        QVERIFY(base.host() != "127.0.0.1");
        QVERIFY(base.path().isEmpty());
    }
}

// A request's headers are those of the provider found from its URL: under
// the override, where all providers share one host, its path must still name
// the provider that built it, and only that one.
void WebInterfaceTest::everyRequestFindsItsProvider()
{
    struct Built
    {
        const char* what;
        Provider provider;
        std::function<QString()> url;
    };
    Stock listed;
    listed.code = "600000";
    const QVector<Built> requests {
        { "market list", Provider::SinaFinance, [] { return SinaRealtimeInterface().urls({ "1" }).value(0); } },
        { "quotes", Provider::SinaQuote, [] { return SinaInterface().urls({ "600000" }).value(0); } },
        { "simple quotes", Provider::QQQuote, [] { return tencentQuoteUrls({ "600000" }).value(0); } },
        { "minutes", Provider::QQKLine, [] { return minuteDataUrl("600000"); } },
        { "daily history", Provider::QQKLine, [] { return StockQQHistoryInterface().urls({ "600000" }).value(0); } },
        { "company profile", Provider::QQKLine, [] { return companyInfoUrl("600000"); } },
        { "news", Provider::QQKLine, [] { return StockNewsInterface().urls({ "600000" }).value(0); } },
        { "stock doctor", Provider::QQStockApp, [] { return stockDoctorUrls({ "600000" }).value(0); } },
        { "seats, second provider", Provider::QQStock,
          [] { return QQLHBDataInterface().urls({ "600000,2017-03-01" }).value(0); } },
        { "dragon-tiger list", Provider::SinaFinance,
          [] { return SinaLHBStockListInterface().urls({ "2017-03-01" }).value(0); } },
        { "seats", Provider::EastmoneyData,
          [] { return EastmoneyLHBDataInterface().urls({ "600000,2017-03-01" }).value(0); } },
        { "notices", Provider::EastmoneyData, [] { return EastmoneyInterface().urls({ "1" }).value(0); } },
        { "resumed trading", Provider::EastmoneyData,
          [] { return EastmoneyRecoveryTransactionInterface().urls({}).value(0); } },
        { "trade detail", Provider::EastmoneyData, [] { return eastmoneyTradeDetailUrls({ "2017-03-01" }).value(0); } },
        { "A/H comparison", Provider::EastmoneyQuote, [] { return EastMoneyAHStringListInterface().urls({}).value(0); } },
        { "earnings", Provider::SinaFinance, [] { return SinaAchievementInterface().urls({ "2016", "4" }).value(0); } },
        { "daily history, second provider", Provider::IFeng,
          [] { return StockiFengInterface().urls({ "600000" }).value(0); } },
        { "daily history CSV", Provider::Netease,
          [listed] {
              return neteaseHistoryUrls({ "600000" }, { { "600000", listed } }, QDate(2017, 3, 1)).value(0);
          } },
        { "hot stocks", Provider::Hexun, [] { return hotStockRootUrl(); } },
        { "hot-stock ranking", Provider::Hexun,
          [] {
              return hotStockRankingUrl(providerBase(Provider::Hexun) + "/service/stock_sort_xml.jsp?a=1&type=");
          } },
        { "all stocks", Provider::StockList, [] { return StockListInterface().urls({}).value(0); } },
    };
    // With the override, and at the real hosts (an empty override).
    for (const QString& base : { QString("http://127.0.0.1:18080"), QString() }) {
        HostOverride hosts(base);
        for (const Built& request : requests) {
            const QString url = request.url();
            QVERIFY2(!url.isEmpty(), request.what);
            Provider found = Provider::StockList;
            QVERIFY2(findProvider(QUrl(url), &found), qPrintable(url));
            QVERIFY2(found == request.provider, qPrintable(url));
            const bool quote = request.provider == Provider::SinaQuote;
            QCOMPARE(requestHeaders(QUrl(url)).isEmpty(), !quote);
        }
        Provider found;
        QVERIFY(!findProvider(QUrl(providerBase(Provider::QQKLine) + "/elsewhere"), &found));
    }
    Provider found;
    QVERIFY(!findProvider(QUrl("http://127.0.0.1:1/list=sh600000"), &found));
}

QTEST_GUILESS_MAIN(WebInterfaceTest)
#include "tst_webinterface.moc"
