#include "datasource/eastmoneytradedetail.h"
#include "datasource/providerhosts.h"
#include "datasource/webinterface.h"
#include "tests/support/testhttpserver.h"

#include <QtTest>

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

QTEST_GUILESS_MAIN(WebInterfaceTest)
#include "tst_webinterface.moc"
