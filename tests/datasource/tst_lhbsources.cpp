#include "datasource/dataloader.h"
#include "datasource/lhbsources.h"
#include "tests/datasource/lhbfixtures.h"
#include "tests/support/testhttpserver.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(QVector<Stock>)

using namespace lhbfixture;

namespace {

QStringList stockFacts(const Stock& s)
{
    return { s.code, s.name, s.lhbType, s.date, QString::number(s.close), QString::number(s.volume),
             QString::number(s.amount), s.valid ? "valid" : "incomplete" };
}

QStringList unitTexts(const LHBUnit& u)
{
    return { u.seat, u.cell1, u.cell2, u.cell3, u.buyAmount, u.cell5, u.sellAmount, u.cell7, u.netAmount,
             QString::number(u.side) };
}

} // namespace

class LHBSourcesTest : public QObject
{
    Q_OBJECT
private slots:
    void listRowsCarryTheReasonAboveThem();
    void reasonCarriesOverToTheNextPage();
    void listRowsThatAreNotStocksAreSkipped_data();
    void listRowsThatAreNotStocksAreSkipped();
    void listPageWithoutTableIsEmpty();
    void unclosedRowsAfterTheLastStockAreNotRows();
    void gbkListPageThroughTheQueue();

    void seatUrlsTakeDateThenCode();
    void seatPageGivesBuyersSellersAndTotals();
    void seatRowsWithoutTheirMarkersAreSkipped_data();
    void seatRowsWithoutTheirMarkersAreSkipped();
    void seatPageWithoutContentIsEmpty();
    void unclosedSeatRowsAreNotSeats();
    void onlyTheFirstTwoSeatTablesAreRead();
    void seatsFetchedOverHttp();

    void qqScriptSeats();
    void qqScriptWithoutItemsIsEmpty_data();
    void qqScriptWithoutItemsIsEmpty();
};

void LHBSourcesTest::listRowsCarryTheReasonAboveThem()
{
    const QString page = sinaListPage(reasonRow("日涨幅偏离值达7%的证券")
                                      + stockRow({ "600123", "兰花科创", "2016-03-15" })
                                      + stockRow({ "000456", "样本科技", "2016-03-15" })
                                      + reasonRow(" 连续三个交易日内，涨幅偏离值累计达20%的证券 ")
                                      + stockRow({ "300789", "测试电子", "2016-03-14" }));
    SinaLHBStockListInterface source;
    const QVector<Stock> stocks = source.parse(page, QString());
    QCOMPARE(stocks.size(), 3);
    QCOMPARE(stockFacts(stocks.at(0)), QStringList({ "600123", "兰花科创", "日涨幅偏离值达7%的证券", "2016-03-15",
                                                      "12.34", "1234.5", "5678.9", "valid" }));
    QCOMPARE(stocks.at(1).lhbType, QStringLiteral("日涨幅偏离值达7%的证券"));
    QCOMPARE(stockFacts(stocks.at(2)).mid(0, 4), QStringList({ "300789", "测试电子",
                                                                "连续三个交易日内，涨幅偏离值累计达20%的证券", "2016-03-14" }));
    QCOMPARE(source.currentReason, QStringLiteral("连续三个交易日内，涨幅偏离值累计达20%的证券"));
}

void LHBSourcesTest::reasonCarriesOverToTheNextPage()
{
    SinaLHBStockListInterface source;
    const QString headless = sinaListPage(stockRow({ "600123", "兰花科创", "2016-03-15" }));
    QCOMPARE(source.parse(headless, QString()).first().lhbType, QString());

    source.parse(sinaListPage(reasonRow("振幅值达15%的证券")), QString());
    QCOMPARE(source.parse(headless, QString()).first().lhbType, QStringLiteral("振幅值达15%的证券"));
}

void LHBSourcesTest::listRowsThatAreNotStocksAreSkipped_data()
{
    QTest::addColumn<QString>("row");
    const QString good = stockRow({ "600123", "兰花科创", "2016-03-15" });
    QTest::newRow("no link") << QString(good).replace("_blank", "_self");
    QTest::newRow("seven cells") << QString(good).replace("<td>12.34</td>\n", "");
    QTest::newRow("no code query") << QString(good).replace("?q=600123", "?s=600123");
    QTest::newRow("code not six digits") << QString(good).replace("q=600123", "q=60/../");
    QTest::newRow("no date call") << QString(good).replace("',this", "'");
    // a megabyte of cells that never close: cut apart in one pass
    QTest::newRow("unclosed cells") << "<tr><td>_blank" + QString("<td>x").repeated(200000) + "</tr>\n";
}

void LHBSourcesTest::listRowsThatAreNotStocksAreSkipped()
{
    QFETCH(QString, row);
    SinaLHBStockListInterface source;
    const QVector<Stock> stocks =
        source.parse(sinaListPage(row + stockRow({ "000456", "样本科技", "2016-03-15" })), QString());
    QCOMPARE(stocks.size(), 1);
    QCOMPARE(stocks.first().code, QStringLiteral("000456"));
}

void LHBSourcesTest::listPageWithoutTableIsEmpty()
{
    SinaLHBStockListInterface source;
    QString page = sinaListPage(stockRow({ "600123", "兰花科创", "2016-03-15" }));
    QVERIFY(source.parse(QString(page).remove("<div class=\"pages\">"), QString()).isEmpty());
    QVERIFY(source.parse(QString(), QString()).isEmpty());
    QVERIFY(source.parse(page.left(page.size() / 2), QString()).isEmpty());
    QVERIFY(source.parse(QString("<table class=\"list_table").repeated(40000), QString()).isEmpty());
}

void LHBSourcesTest::unclosedRowsAfterTheLastStockAreNotRows()
{
    const QString page = sinaListPage(stockRow({ "600123", "兰花科创", "2016-03-15" }) + QString("<tr><td>").repeated(130000));
    const QVector<Stock> stocks = SinaLHBStockListInterface().parse(page, QString());
    QCOMPARE(stocks.size(), 1);
    QCOMPARE(stocks.first().code, QStringLiteral("600123"));
}

void LHBSourcesTest::gbkListPageThroughTheQueue()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/q/go.php/vInvestConsult/kind/lhb/index.phtml",
                 TestHttpServer::Reply::gbk(sinaListPage(reasonRow("日跌幅偏离值达7%的证券")
                                                         + stockRow({ "002001", "样本药业", "2016-03-15" })),
                                            "text/html", false));
    SinaLHBStockListInterface source;
    IterateDataLoader loader;
    loader.stockInterface = &source;
    QSignalSpy received(&loader, &DataLoader::sendStock);
    loader.setUrls(source.urls({ "2016-03-15" }), {});
    loader.start();
    QVERIFY(received.wait(5000));
    const auto stocks = received.first().first().value<QVector<Stock> >();
    QCOMPARE(stocks.size(), 1);
    QCOMPARE(stocks.first().name, QStringLiteral("样本药业"));
    QCOMPARE(stocks.first().lhbType, QStringLiteral("日跌幅偏离值达7%的证券"));
    QCOMPARE(server.requests().first().query, QStringLiteral("tradedate=2016-03-15"));
}

void LHBSourcesTest::seatUrlsTakeDateThenCode()
{
    HostOverride hosts(QStringLiteral("http://127.0.0.1:9"));
    EastmoneyLHBDataInterface eastmoney;
    QCOMPARE(eastmoney.urls({ " 600123 , 2016-03-15 ", "600123", "600123,2016-03-15,x", "000001,2016-03-14" }),
             QStringList({ "http://127.0.0.1:9/stock/lhb,2016-03-15,600123.html",
                           "http://127.0.0.1:9/stock/lhb,2016-03-14,000001.html" }));
    QQLHBDataInterface qq;
    QCOMPARE(qq.urls({ "600123,2016-03-15", "bad" }),
             QStringList({ "http://127.0.0.1:9/cgi-bin/sstock/q_lhb_xx_js?c=600123&b=2016-03-15&l=070001" }));
}

void LHBSourcesTest::seatPageGivesBuyersSellersAndTotals()
{
    const QString page = eastmoneySeatPage({ { "中信证券股份有限公司上海溧阳路证券营业部", "5000.00", "12.00", "4988.00" },
                                             { "机构专用", "3000.50", "0.00", "3000.50" } },
                                           { { "财通证券股份有限公司杭州上塘路证券营业部", "1.00", "2500.00", "-2499.00" } });
    EastmoneyLHBDataInterface source;
    const QVector<LHBUnit> units = source.parse(page, QString());
    QCOMPARE(units.size(), 4);
    QCOMPARE(unitTexts(units.at(0)), QStringList({ "中信证券股份有限公司上海溧阳路证券营业部", "1", "12", "45.50%", "5000.00",
                                                    "5.21%", "12.00", "0.05%", "4988.00", "1" }));
    QCOMPARE(units.at(1).seat, QStringLiteral("机构专用"));
    QCOMPARE(units.at(1).side, 1);
    QCOMPARE(units.at(2).seat, QStringLiteral("财通证券股份有限公司杭州上塘路证券营业部"));
    QCOMPARE(units.at(2).cell1, QStringLiteral("1"));
    QCOMPARE(units.at(2).netAmount, QStringLiteral("-2499.00"));
    QCOMPARE(units.at(2).side, 2);
    QCOMPARE(unitTexts(units.at(3)), QStringList({ "", "", "", "", "9000.00", "18.20%", "3000.00", "6.10%", "6000.00", "0" }));
}

void LHBSourcesTest::seatRowsWithoutTheirMarkersAreSkipped_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("no seat link") << "</a></a>" << "</a>";
    QTest::newRow("no times") << "class=\"times\"" << "class=\"count\"";
    QTest::newRow("no percent") << "class=\"percent\"" << "class=\"rate\"";
    QTest::newRow("six cells") << "<td>5.21%</td>\n" << "";
    QTest::newRow("a megabyte of unclosed links") << "</a></a>" << QString(".html\">").repeated(140000);
}

void LHBSourcesTest::seatRowsWithoutTheirMarkersAreSkipped()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    const QString broken = seatRow(1, { "甲营业部", "1", "2", "3" }).replace(from, to);
    QString page = eastmoneySeatPage({ { "乙营业部", "1", "2", "3" } }, {});
    page.replace("<tbody>\n", "<tbody>\n" + broken);
    const QVector<LHBUnit> units = EastmoneyLHBDataInterface().parse(page, QString());
    QCOMPARE(units.size(), 2);
    QCOMPARE(units.first().seat, QStringLiteral("乙营业部"));
    QCOMPARE(units.last().side, 0);
}

void LHBSourcesTest::seatPageWithoutContentIsEmpty()
{
    QString page = eastmoneySeatPage({ { "乙营业部", "1", "2", "3" } }, {});
    EastmoneyLHBDataInterface source;
    QVERIFY(source.parse(QString(page).replace("content-sepe", "content"), QString()).isEmpty());
    QVERIFY(source.parse(QString(page).remove("</html>"), QString()).isEmpty());
    QVERIFY(source.parse("<html>404 Not Found</html>", QString()).isEmpty());
    QVERIFY(source.parse(QString("class=\"content-sepe\">").repeated(50000), QString()).isEmpty());
}

void LHBSourcesTest::unclosedSeatRowsAreNotSeats()
{
    QString page = eastmoneySeatPage({ { "乙营业部", "1", "2", "3" } }, { { "丙营业部", "4", "5", "6" } });
    const QVector<LHBUnit> whole = EastmoneyLHBDataInterface().parse(page, QString());
    page.replace(page.indexOf("</tbody>"), 0, QString("<tr><td>").repeated(130000));
    const QVector<LHBUnit> units = EastmoneyLHBDataInterface().parse(page, QString());
    QCOMPARE(units.size(), whole.size());
    for (int i = 0; i < units.size(); ++i)
        QCOMPARE(unitTexts(units.at(i)), unitTexts(whole.at(i)));
}

void LHBSourcesTest::onlyTheFirstTwoSeatTablesAreRead()
{
    QString page = eastmoneySeatPage({ { "买方营业部", "1", "0", "1" } }, { { "卖方营业部", "0", "1", "-1" } });
    page.replace("</div>\n</body>", "<table><tbody>\n" + seatRow(1, { "第三表营业部", "1", "1", "0" }) + "</tbody></table>\n</div>\n</body>");
    QStringList seats;
    for (const LHBUnit& unit : EastmoneyLHBDataInterface().parse(page, QString()))
        seats << unit.seat + "/" + QString::number(unit.side);
    QCOMPARE(seats, QStringList({ "买方营业部/1", "卖方营业部/2", "/0" }));
}

void LHBSourcesTest::seatsFetchedOverHttp()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/stock/lhb,2016-03-15,600123.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "国泰君安证券股份有限公司上海江苏路证券营业部", "800.00", "0.00", "800.00" } }, {})));
    const QVector<LHBUnit> units = fetchEastmoneySeats("600123", "2016-03-15");
    QCOMPARE(units.size(), 2);
    QCOMPARE(units.first().seat, QStringLiteral("国泰君安证券股份有限公司上海江苏路证券营业部"));
    QVERIFY(fetchEastmoneySeats("000001", "2016-03-15").isEmpty());   // 404
    QCOMPARE(server.requestCount(), 2);
}

void LHBSourcesTest::qqScriptSeats()
{
    const QString script = QStringLiteral(
        "var lhb_xx_070001=[[\"1\",\"2016-03-15\",\"B\",\"1\",\"x\",\"中信证券上海溧阳路\",\"12345678.00\",\"0.00\"],"
        "[\"2\",\"2016-03-15\",\"S\",\"1\",\"x\",\"机构专用\",\"0\",\"25000000\"],"
        "[\"3\",\"2016-03-15\",\"B\",\"2\",\"short\"],"
        "[\"4\",\"2016-03-15\",\"b\",\"3\",\"x\",\"小写方向\",\"10000\",\"1\"]];");
    const QVector<LHBUnit> units = QQLHBDataInterface().parse(script, QString());
    QCOMPARE(units.size(), 3);
    QCOMPARE(unitTexts(units.at(0)), QStringList({ "中信证券上海溧阳路", "1", "", "", "1234.57", "", "0", "", "", "1" }));
    QCOMPARE(units.at(1).side, 2);
    QCOMPARE(units.at(1).sellAmount, QStringLiteral("2500"));
    QCOMPARE(units.at(2).side, 2);   // only an upper-case "B" is the buy list
    QCOMPARE(units.at(2).sellAmount, QStringLiteral("0.0001"));
}

void LHBSourcesTest::qqScriptWithoutItemsIsEmpty_data()
{
    QTest::addColumn<QString>("script");
    // whether the script is the service's whole answer, so that no seats is
    // no failure
    QTest::addColumn<bool>("answered");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no brackets") << "var lhb_xx_070001=null;" << false;
    QTest::newRow("closing before opening") << "]] var x=[[" << false;
    QTest::newRow("empty list") << "var lhb=[[]];" << true;
    const QString seats = QStringLiteral(
        "var lhb_xx_070001=[[\"1\",\"2016-03-15\",\"B\",\"1\",\"x\",\"中信证券上海溧阳路\",\"12345678.00\",\"0.00\"],"
        "[\"2\",\"2016-03-15\",\"S\",\"1\",\"x\",\"机构专用\",\"0\",\"25000000\"]];");
    QTest::newRow("cut before its closing brackets") << seats.left(seats.indexOf("]];") + 1) << false;
}

void LHBSourcesTest::qqScriptWithoutItemsIsEmpty()
{
    QFETCH(QString, script);
    QFETCH(bool, answered);
    QQLHBDataInterface source;
    QVERIFY(source.parse(script, QString()).isEmpty());
    QCOMPARE(answerFailure(source, script, QString()).isEmpty(), answered);
}

QTEST_GUILESS_MAIN(LHBSourcesTest)
#include "tst_lhbsources.moc"
