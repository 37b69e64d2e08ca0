#include "datasource/neteasehistory.h"
#include "datasource/stockifenginterface.h"
#include "datasource/stocklistinterface.h"
#include "datasource/stocktushareinterface.h"
#include "tests/support/testhttpserver.h"

#include <QtTest>

namespace {

QMap<QString, Stock> samplePool()
{
    Stock pufa;
    pufa.code = "600000";
    pufa.name = QStringLiteral("浦发银行");
    pufa.industry = QStringLiteral("银行");
    pufa.area = QStringLiteral("上海");
    pufa.totals = 2000;
    pufa.date = "2014-01-01";
    Stock pingan;
    pingan.code = "000001";
    pingan.name = QStringLiteral("平安银行");
    pingan.totals = 0;
    return { { "600000", pufa }, { "000001", pingan } };
}

QString ifengPiece(const QString& date, int items)
{
    QStringList cells { "\"" + date + "\"", "\"10.0\"", "\"10.8\"", "\"10.5\"", "\"9.9\"", "\"300\"", "\"0.5\"", "\"5.00\"" };
    while (cells.size() < items)
        cells.append("\"1.0\"");
    return "[" + cells.mid(0, items).join(',') + "]";
}

QString neteaseCsv(int dataLines)
{
    QStringList lines { QStringLiteral("日期,股票代码,名称,收盘价,最高价,最低价,开盘价,前收盘,涨跌额,涨跌幅,换手率,成交量,成交金额,总市值,流通市值,成交笔数") };
    for (int i = 0; i < dataLines; ++i) {
        lines.append(QString("2017-03-%1,'600000,%2,16.2,16.5,16.0,16.1,16.0,0.2,1.25,0.1,12345,2.0e8,3.4e10,2.98e10,999")
                         .arg(i + 1, 2, 10, QChar('0'))
                         .arg(QStringLiteral("浦发银行")));
    }
    return lines.join("\r\n") + "\r\n";
}

QString stockListRow(const QString& code, const QString& name, const QString& outstanding, const QString& totals)
{
    return QStringList { code, name, QStringLiteral("银行"), QStringLiteral("上海"), "6.5", outstanding, totals,
                         "1000.5", "800", "200", "30.5", "1.2", "0.8", "12.3", "0.9", "19991110", "50", "0.3",
                         "12.5", "8.8", "40.1", "30.2", "123456" }
        .join(',');
}

} // namespace

class HistorySourcesTest : public QObject
{
    Q_OBJECT
private slots:
    void ifengTakesSeventeenItemBarsWithPoolFields();
    void ifengUrlAndStorage();
    void tuShareReadsNewestFirstFiles_data();
    void tuShareReadsNewestFirstFiles();
    void stockListKeepsListedNonStRows();
    void stockListConvertsShareCounts();
    void neteaseNeedsAFullBodyAndStoresNothing();
    void neteaseUrlsSkipUpToDateAndUnknownCodes();
};

void HistorySourcesTest::ifengTakesSeventeenItemBarsWithPoolFields()
{
    const QString body = "{\"record\":[" + ifengPiece("2019-01-02", 17) + "," + ifengPiece("2019-01-03", 16) + ","
                         + ifengPiece("2019-01-04", 18) + "," + ifengPiece("2019-01-07", 17) + "]]}";
    const QVector<Stock> bars = parseIFengHistory(body, "600000", samplePool());
    QCOMPARE(bars.size(), 2);
    QCOMPARE(bars.at(0).date, QString("2019-01-02"));
    QCOMPARE(bars.at(1).date, QString("2019-01-07"));
    const Stock& bar = bars.at(0);
    QCOMPARE(bar.name, QStringLiteral("浦发银行"));
    QCOMPARE(bar.industry, QStringLiteral("银行"));
    QCOMPARE(bar.area, QStringLiteral("上海"));
    QCOMPARE(bar.open, 10.0f);
    QCOMPARE(bar.high, 10.8f);
    QCOMPARE(bar.close, 10.5f);
    QCOMPARE(bar.low, 9.9f);
    QCOMPARE(bar.volume, 300.0f);
    QCOMPARE(bar.change, 0.5f);
    QCOMPARE(bar.changePercent, 5.0f);
    QCOMPARE(bar.turnover, 300.0f * 100 / 2000);

    // No shares known: no turnover, never a division by zero.
    const QVector<Stock> unknown = parseIFengHistory("[[" + ifengPiece("2019-01-02", 17).mid(1) + "]", "000001",
                                                     samplePool());
    QCOMPARE(unknown.size(), 1);
    QCOMPARE(unknown.first().date, QString("2019-01-02"));
    QCOMPARE(unknown.first().turnover, 0.0f);
    QVERIFY(parseIFengHistory("<html>error</html>", "600000", samplePool()).isEmpty());
    // Seventeen items outside the array of bar arrays are no bar.
    QVERIFY(parseIFengHistory(ifengPiece("2019-01-02", 17), "600000", samplePool()).isEmpty());
}

void HistorySourcesTest::ifengUrlAndStorage()
{
    QTemporaryDir dir;
    HostOverride hosts(QString("http://127.0.0.1:9"));
    StockiFengInterface source;
    QCOMPARE(source.urls({ "600000", "000001" }),
             (QStringList { "http://127.0.0.1:9/akdaily/?code=sh600000&type=last",
                            "http://127.0.0.1:9/akdaily/?code=sz000001&type=last" }));
    source.setParameter(1, "ignored");
    source.setParameter(0, dir.path() + "/dl/");
    QDir(dir.path()).mkpath("dl");
    const QString body = "{\"record\":[" + ifengPiece("2019-01-02", 17) + "]]}";
    QCOMPARE(source.parse(body, "000001").size(), 1);
    QVERIFY(source.parse("{\"record\":[]}", "600000").isEmpty());
    QVERIFY(source.parse(body, "../x").size() == 1);
    // A body cut off inside its bars gives none and is not stored.
    const QString cut = "{\"record\":[" + ifengPiece("2019-01-02", 17) + "," + ifengPiece("2019-01-03", 17).left(30);
    QCOMPARE(parseIFengHistory(cut, "600001", samplePool()).size(), 1);
    QVERIFY(source.parse(cut, "600001").isEmpty());
    // and the page that asked says so, where a whole answer is no failure
    QCOMPARE(answerFailure(source, cut, QString()), unreadableAnswer());
    QCOMPARE(answerFailure(source, body, QString()), QString());
    QCOMPARE(QDir(dir.path() + "/dl").entryList(QDir::Files), QStringList { "000001" });

    // A whole answer whose bars hold words gives none and leaves the stored
    // history byte for byte.
    QString words = body;
    words.replace("\"10.0\"", "\"open\"").replace("\"300\"", "\"n/a\"");
    QVERIFY(parseIFengHistory(words, "000001", samplePool()).size() == 1);
    QVERIFY(source.parse(words, "000001").isEmpty());
    // So does a closed array without bars, or of pieces too short for a bar.
    QVERIFY(source.parse("{\"record\":[[]]}", "000001").isEmpty());
    QVERIFY(source.parse("{\"record\":[" + ifengPiece("2019-01-02", 16) + "]]}", "000001").isEmpty());
    QFile stored(dir.path() + "/dl/000001");
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), body.toUtf8());
}

void HistorySourcesTest::tuShareReadsNewestFirstFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("dates");
    QTest::newRow("newest first, trailing newline")
        << "2017-03-03,3,3.5,3.2,2.9,50000,120000\n2017-03-02,2,2.5,2.2,1.9,40000,90000\n"
           "2017-03-01,1,1.5,1.2,0.9,30000,60000\n"
        << QStringList { "2017-03-01", "2017-03-02", "2017-03-03" };
    QTest::newRow("windows line ends")
        << "2017-03-02,2,2.5,2.2,1.9,40000,90000\r\n2017-03-01,1,1.5,1.2,0.9,30000,60000\r\n"
        << QStringList { "2017-03-01", "2017-03-02" };
    QTest::newRow("first odd line ends reading")
        << "2017-03-03,3,3.5,3.2,2.9,50000,120000\n2017-03-02,2,2.5\n2017-03-01,1,1.5,1.2,0.9,30000,60000"
        << QStringList { "2017-03-03" };
    QTest::newRow("header line gives nothing")
        << "date,open,high,close,low,volume,amount,extra\n2017-03-01,1,1.5,1.2,0.9,30000,60000" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
}

void HistorySourcesTest::tuShareReadsNewestFirstFiles()
{
    QFETCH(QString, text);
    QFETCH(QStringList, dates);
    StockTuShareInterface source;
    source.setParameter(0, "data/");
    QVERIFY(source.urls({ "600000" }).isEmpty());
    const QVector<Stock> bars = source.parse(text, "600000");
    QStringList actual;
    for (const Stock& bar : bars)
        actual.append(bar.date);
    QCOMPARE(actual, dates);
    if (dates.size() == 3) {
        const Stock& last = bars.last();
        QCOMPARE(last.code, QString("600000"));
        QCOMPARE(last.open, 3.0f);
        QCOMPARE(last.high, 3.5f);
        QCOMPARE(last.close, 3.2f);
        QCOMPARE(last.low, 2.9f);
        QCOMPARE(last.volume, 5.0f);
        QCOMPARE(last.amount, 12.0f);
    }
}

void HistorySourcesTest::stockListKeepsListedNonStRows()
{
    HostOverride hosts(QString("http://127.0.0.1:9"));
    StockListInterface source;
    QCOMPARE(source.urls({ "anything" }), QStringList { "http://127.0.0.1:9/static/all.csv" });
    const QString body = QStringList {
        "code,name,industry,area,pe,outstanding,totals,totalAssets,liquidAssets,fixedAssets,reserved,"
        "reservedPerShare,esp,bvps,pb,timeToMarket,undp,perundp,rev,profit,gpr,npr,holders",
        stockListRow("600000", QStringLiteral("浦发银行"), "196.5", "293.5"),
        stockListRow("600001", QStringLiteral("*ST邯钢"), "10", "10"),
        stockListRow("600002", QStringLiteral("ST齐鲁"), "10", "10"),
        stockListRow("600003", QStringLiteral("东北高速"), "0", "12"),
        stockListRow("600004", QStringLiteral("白云机场"), "11", "0"),
        stockListRow("600005", QStringLiteral("st小写"), "1", "1"),
        "600006,short,row",
        "" }.join("\r\n");
    const QVector<Stock> stocks = source.parse(body, "ignored");
    QStringList codes;
    for (const Stock& stock : stocks)
        codes.append(stock.code);
    QCOMPARE(codes, (QStringList { "600000", "600005" }));
    QVERIFY(source.parse("", "").isEmpty());
    QVERIFY(source.parse(stockListRow("600000", "header only", "1", "1"), "").isEmpty());
}

void HistorySourcesTest::stockListConvertsShareCounts()
{
    StockListInterface source;
    const QVector<Stock> stocks = source.parse("header\n" + stockListRow("600000", "PF", "196.5", "293.52") + "\n"
                                                   + stockListRow("600009", "Huge", "5e6", "9e9"),
                                               "");
    QCOMPARE(stocks.size(), 2);
    const Stock& stock = stocks.first();
    QCOMPARE(stock.outstanding, 1965000);
    QCOMPARE(stock.totals, int(293.52f * 10000.0f));
    QCOMPARE(stock.timeToMarket, QString("19991110"));
    QCOMPARE(stock.npr, 30.2f);
    QCOMPARE(stock.holders, 123456);
    // Counts beyond the int range are held at its top, never wrapped negative.
    QCOMPARE(stocks.at(1).totals, std::numeric_limits<int>::max());
}

void HistorySourcesTest::neteaseNeedsAFullBodyAndStoresNothing()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QDir().mkpath("data");

    QVERIFY(parseNeteaseHistory(neteaseCsv(24), "600000", samplePool()).isEmpty());
    const QVector<Stock> bars = parseNeteaseHistory(neteaseCsv(26), "600000", samplePool());
    QCOMPARE(bars.size(), 26);
    const Stock& bar = bars.first();
    QCOMPARE(bar.date, QString("2017-03-01"));
    QCOMPARE(bar.code, QString("600000"));
    QCOMPARE(bar.name, QStringLiteral("浦发银行"));
    QCOMPARE(bar.industry, QStringLiteral("银行"));
    QCOMPARE(bar.close, 16.2f);
    QCOMPARE(bar.high, 16.5f);
    QCOMPARE(bar.low, 16.0f);
    QCOMPARE(bar.open, 16.1f);
    QCOMPARE(bar.change, 0.2f);
    QCOMPARE(bar.changePercent, 1.25f);
    QCOMPARE(bar.volume, 2.0e8f);
    QCOMPARE(bar.outstanding, std::numeric_limits<int>::max());
    QVERIFY(QDir("data").entryList(QDir::Files).isEmpty());
    QVERIFY(QDir(".").entryList(QDir::Files).isEmpty());
    QDir::setCurrent(previous);
}

void HistorySourcesTest::neteaseUrlsSkipUpToDateAndUnknownCodes()
{
    HostOverride hosts(QString("http://127.0.0.1:9"));
    const QDate today(2017, 5, 23);
    const QString start = today.addDays(-1080).toString("yyyyMMdd");
    QMap<QString, Stock> pool = samplePool();
    QCOMPARE(neteaseHistoryUrls({ "600000", "000001", "300001" }, pool, today),
             (QStringList { "http://127.0.0.1:9/service/chddata.html?code=0600000&start=" + start,
                            "http://127.0.0.1:9/service/chddata.html?code=1000001&start=" + start }));
    pool["600000"].date = today.addDays(-1080).toString("yyyy-MM-dd");
    QCOMPARE(neteaseHistoryUrls({ "600000" }, pool, today), QStringList());
}

QTEST_GUILESS_MAIN(HistorySourcesTest)
#include "tst_historysources.moc"
