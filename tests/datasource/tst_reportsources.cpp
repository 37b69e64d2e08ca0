#include "core/vorelapplication.h"
#include "datasource/eastmoneyahinterface.h"
#include "datasource/hexunhotstock.h"
#include "datasource/providerhosts.h"
#include "datasource/stocknewsinterface.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

Q_DECLARE_METATYPE(QVector<QStringList>)

namespace {

// One A/H record of the provider: 17 comma-separated items, the H code in
// item 1 with the company's name beside it, the A code in item 5.
QString ahRecord(const QString& aCode, const QString& hCode, int items = 17)
{
    QStringList cells;
    for (int i = 0; i < items; ++i)
        cells << QString("i%1").arg(i);
    cells[1] = " " + hCode + " ";
    cells[2] = QStringLiteral(" 中国银行 ");
    cells[3] = " 5.12 ";
    cells[4] = "-1.20%";
    cells[5] = aCode;
    cells[8] = "7.00";
    cells[9] = "0.5%";
    cells[13] = "1.37";
    cells[15] = "36.7%";
    return cells.join(',');
}

QString ahBody(const QStringList& records)
{
    return "var quote_123={rank:[\"" + records.join("\",\"") + "\"],pages:5}";
}

} // namespace

class ReportSourcesTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void ahUrlsAreTheFivePagesWithAFraction();
    void ahRowsTakeTheirCellsAndPoolNames();
    void ahSkipsMalformedRecords_data();
    void ahSkipsMalformedRecords();
    void newsAndDoctorUrlsCarryTheMarket();
    void doctorPageGivesItsTexts();
    void doctorPageWithoutRankOrHeadlineGivesNothing();
    void doctorPageWithUnclosedBlocksKeepsItsWholeTexts();
    void rankingUrlIsTheLastLinkOfOurHost();
    void rankingXmlRowsKeepDocumentOrder();
    void rankingXmlThatDoesNotParseGivesNoRows();
};

void ReportSourcesTest::initTestCase()
{
    Stock pufa;
    pufa.code = "600000";
    pufa.name = QStringLiteral("浦发银行");
    vorelApp()->stockPool.insert(pufa.code, pufa);
}

void ReportSourcesTest::ahUrlsAreTheFivePagesWithAFraction()
{
    HostOverride hosts("http://127.0.0.1:9");
    EastMoneyAHStringListInterface source;
    const QStringList urls = source.urls(QStringList { "ignored" });
    QCOMPARE(urls.size(), 5);
    for (int i = 0; i < urls.size(); ++i) {
        const QString& url = urls.at(i);
        QVERIFY(url.startsWith("http://127.0.0.1:9/EM_Finance2014NumericApplication/JS.aspx?type=CT&cmd=C._AHH"));
        QVERIFY(!url.contains('@'));
        QVERIFY(url.contains(QString("&page=%1&pageSize=20&").arg(i + 1)));
        QVERIFY(url.endsWith("%20[HTTP/1.1%20200%20OK%2068ms]"));
        QString fraction = url.section("&_g=", 1).section("%20", 0, 0);
        // every item but the page and the fraction as the service expects it
        QCOMPARE(QString(url).replace("&_g=" + fraction + "%20", "&_g=F%20"),
                 QString("http://127.0.0.1:9/EM_Finance2014NumericApplication/JS.aspx?type=CT&cmd=C._AHH&sty=FCABHL"
                         "&sortType=C&sortRule=-1&page=%1&pageSize=20&js=var%20quote_123%3d{rank:[(x)],pages:(pc)}"
                         "&token=5b2e9c07d4f1a8362e0c7b9d4a15f8e3&jsName=quote_123&_g=F%20[HTTP/1.1%20200%20OK%2068ms]")
                     .arg(i + 1));
        bool isNumber = false;
        const double value = fraction.toDouble(&isNumber);
        QVERIFY2(isNumber && value >= 0 && value < 1, qPrintable(fraction));
        QVERIFY(fraction.remove('.').remove(QRegExp("e-\\d+$")).size() <= 6);
    }
}

void ReportSourcesTest::ahRowsTakeTheirCellsAndPoolNames()
{
    EastMoneyAHStringListInterface source;
    const QVector<QStringList> rows = source.parse(ahBody({ ahRecord("600000", "01398"), ahRecord("601988", "03988") }));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0), QStringList({ QStringLiteral("浦发银行"), "01398", "5.12", "-1.20%", "600000",
                                       "7.00", "0.5%", "1.37", "36.7%" }));
    // not in the pool: the served name, and the lookup must not add the code
    QCOMPARE(rows.at(1).at(0), QStringLiteral("中国银行"));
    QCOMPARE(rows.at(1).at(4), QString("601988"));
    QVERIFY(!vorelApp()->stockPool.contains("601988"));
}

void ReportSourcesTest::ahSkipsMalformedRecords_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("rows");
    QTest::newRow("16 items") << ahBody({ ahRecord("600000", "1", 16), ahRecord("600001", "2") }) << 1;
    QTest::newRow("18 items") << ahBody({ ahRecord("600000", "1", 18) }) << 0;
    QTest::newRow("no quotes") << QString("var quote_123={rank:[],pages:0}") << 0;
    QTest::newRow("one quote") << QString("var x=\"") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("cut inside the next record") << ("var q={rank:[\"" + ahRecord("600000", "1") + "\",\"60") << 0;
    QTest::newRow("cut before the closing quote of the only record") << ("var q={rank:[\"" + ahRecord("600000", "1")) << 0;
}

void ReportSourcesTest::ahSkipsMalformedRecords()
{
    QFETCH(QString, body);
    QFETCH(int, rows);
    EastMoneyAHStringListInterface source;
    QCOMPARE(source.parse(body).size(), rows);
}

void ReportSourcesTest::newsAndDoctorUrlsCarryTheMarket()
{
    HostOverride hosts("http://127.0.0.1:9");
    StockNewsInterface news;
    const QStringList urls = news.urls({ "600000", "000001" });
    QCOMPARE(urls.size(), 2);
    const QUrl first(urls.at(0));
    QCOMPARE(first.path(), QString("/appstock/news/info/search"));
    const QUrlQuery query(first);
    QCOMPARE(query.queryItemValue("symbol"), QString("sh600000"));
    QCOMPARE(query.queryItemValue("page"), QString("1"));
    QCOMPARE(query.queryItemValue("n"), QString("6"));
    const int random = query.queryItemValue("__random_suffix").toInt();
    QVERIFY(random >= 0 && random <= 32767);
    QCOMPARE(QUrlQuery(QUrl(urls.at(1))).queryItemValue("symbol"), QString("sz000001"));

    QCOMPARE(stockDoctorUrls({ "601988", "300750" }),
             QStringList({ "http://127.0.0.1:9/doctor/sh601988.html", "http://127.0.0.1:9/doctor/sz300750.html" }));
}

void ReportSourcesTest::doctorPageGivesItsTexts()
{
    const QString page = QStringLiteral(
        "<html><div class=\"ranks4\"><i></i></div>"
        "<div class=\"text-head\"> 短期<b>强势</b> </div>"
        "<div class=\"text-content\" id=\"c\"><p>股价站上均线</p></div>"
        "<div class=\"icon01\"><ul><li title=\"技术面 良好\"></li><li title=\"资金面\"></li></ul><span> 78 </span></div>"
        "<div class=\"icon02\"><li title=\"消息面\"></li></div>"
        "<span class=\"dqzs\"> 3021.5 </span></html>");
    const QStringList texts = parseStockDoctor(page);
    QCOMPARE(texts, QStringList({ "ranks4", QStringLiteral("短期强势"), QStringLiteral("股价站上均线"),
                                  QStringLiteral("技术面 良好\n资金面\n78"), QStringLiteral("消息面"),
                                  "3021.5" }));
}

void ReportSourcesTest::doctorPageWithoutRankOrHeadlineGivesNothing()
{
    QVERIFY(parseStockDoctor("<div class=\"text-head\">x</div>").isEmpty());
    QVERIFY(parseStockDoctor("<div class=\"ranks1\">").isEmpty());
    QVERIFY(parseStockDoctor(QString()).isEmpty());
    QVERIFY(parseStockDoctor(QString("<div class=\"ranks").repeated(60000)).isEmpty());
}

void ReportSourcesTest::doctorPageWithUnclosedBlocksKeepsItsWholeTexts()
{
    const QString page = QStringLiteral(
        "<html><div class=\"ranks2\"></div><div class=\"text-head\">弱势</div>"
        "<div class=\"text-content\"><p>跌破均线</p></div>"
        "<div class=\"icon01\"><li title=\"技术面\"></li></div>")
        + QString("<div class=\"icon02\"><span class=\"dqzs\">").repeated(25000);
    QCOMPARE(parseStockDoctor(page), QStringList({ "ranks2", QStringLiteral("弱势"), QStringLiteral("跌破均线"),
                                                   QStringLiteral("技术面"), "", "" }));
}

void ReportSourcesTest::rankingUrlIsTheLastLinkOfOurHost()
{
    HostOverride hosts("http://127.0.0.1:9");
    const QString base = providerBase(Provider::Hexun);
    const QString page =
        "<a href=\"" + base + "/service/stock_sort_xml.jsp?a=1&type=2\">old</a>"
        "<a href=\"http://127.0.0.19/service/stock_sort_xml.jsp?x=9&type=1\">foreign</a>"
        "<a href=\"" + base + "/SERVICE/stock_sort_xml.jsp?sort=attention&type=3\">new</a>"
        "<a href=\"http://elsewhere.example/service/stock_sort_xml.jsp?z&type=1\">foreign</a>";
    QCOMPARE(hotStockRankingUrl(page),
             base + "/SERVICE/stock_sort_xml.jsp?sort=attention&type=1&start=0&count=30");
    // a megabyte of links that never reach their type
    const QString unclosed = QString(base + "/service/stock_sort_xml.jsp?").repeated(20000);
    QCOMPARE(hotStockRankingUrl(page + unclosed),
             base + "/SERVICE/stock_sort_xml.jsp?sort=attention&type=1&start=0&count=30");
    QCOMPARE(hotStockRankingUrl("<html>moved</html>"), QString());
    QCOMPARE(hotStockRankingUrl(QString()), QString());
    QCOMPARE(hotStockRootUrl(), base + "/");
}

void ReportSourcesTest::rankingXmlRowsKeepDocumentOrder()
{
    const QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n"
        "<data>\n"
        " <item><a>1</a><b>600000</b><c>浦发银行</c><d>99</d><e>+3</e><f>3%</f><g>up</g><h>7.01</h></item>\n"
        " <!-- a comment between rows -->\n"
        " <item><a>2</a><b>000001</b><c>平安&amp;银行</c><d>98</d><e>-1</e><f>-1%</f><g>down</g></item>\n"
        "</data>");
    const QVector<QStringList> rows = parseHotStockXml(xml);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0), QStringList({ "1", "600000", QStringLiteral("浦发银行"), "99", "+3", "3%", "up", "7.01" }));
    QCOMPARE(rows.at(1).size(), 7);
    QCOMPARE(rows.at(1).at(2), QStringLiteral("平安&银行"));
}

void ReportSourcesTest::rankingXmlThatDoesNotParseGivesNoRows()
{
    QVERIFY(parseHotStockXml(QString()).isEmpty());
    QVERIFY(parseHotStockXml("<data><item><a>1</a></item>").isEmpty());
    QVERIFY(parseHotStockXml("<html><body>502 Bad Gateway</body>").isEmpty());
    // nesting a ranking never has; read element by element it would use up the stack
    QVERIFY(parseHotStockXml(QString("<a>").repeated(200000) + QString("</a>").repeated(200000)).isEmpty());
    QVERIFY(parseHotStockXml(QString("<a>").repeated(300000)).isEmpty());
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<ReportSourcesTest>(argc, argv);
}

#include "tst_reportsources.moc"
