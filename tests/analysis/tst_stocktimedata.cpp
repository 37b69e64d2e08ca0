// The intraday minute source: minute rows and their running average, the
// quote sections of a full response, stored minute text and the file check.

#include "core/fileutils.h"
#include "datasource/stocktimedata.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

QString minuteBody(const QString& rows)
{
    return QStringLiteral("{\"code\":0,\"msg\":\"\",\"data\":{\"sh600000\":{\"data\":{\"data\":[%1]").arg(rows);
}

// A whole response: minutes, date, the name, quote list A (27 cells, the
// last ending where the first deal time begins), two deals, quote list B
// (19 cells) and two price levels.
QString fullBody(int listACells = 27)
{
    QStringList listA;
    for (int c = 0; c < listACells - 1; ++c)
        listA << QString::number(100 + c);
    QStringList listB;
    for (int c = 0; c < 19; ++c)
        listB << QString::number(200 + c);
    return minuteBody("\"0930 10.00 100\",\"0931 10.50 300\"")
        + ",\"date\":\"20190102\"},\"qt\":{\"market\":[\"open\"],"
          "\"sh600000\":[\"51\",\"浦发银行\",\"600000\",\""
        + listA.join("\",\"") + "\",\""
        + "09:30:01\\/10.50\\/100\\/B\\/105000\\/1|09:30:04\\/10.40\\/200\\/S\\/208000\\/2|bad\"" + listB.join("\",\"")
        + "\"],\"pl\":[\"10.5~100~2~0.5^10.4~200~3~0.4^broken\"]}}}";
}

// Today's whole response: the 242 minutes of a day (09:30 to 11:30, 13:00 to
// 15:00) with their cumulative amount, the date, then the quote as one flat
// array of `items` items in the order of the quote line: "1", the name, the
// code, then from item 3 on the numbers 303, 304, ... (3 the price, 4 the
// previous close, 5 the open, 6 the volume, 7 and 8 the outer and inner
// volume, 9 to 28 the five bid and five ask pairs), item 29 the deals, empty
// today, item 30 the time. The market line, the index quote and the deal and
// price tables follow it.
QString todaysBody(const QString& arrayKey = "sh600000", const QString& arrayCode = "600000", int items = 87)
{
    QStringList rows;
    int cumulative = 0;
    for (const QTime& start : { QTime(9, 30), QTime(13, 0) }) {
        for (int m = 0; m <= 120; ++m) {
            cumulative += 100;
            const double price = 10.0 + (rows.size() % 7) * 0.01;
            rows << QString("\"%1 %2 %3 %4\"")
                        .arg(start.addSecs(m * 60).toString("hhmm"))
                        .arg(price, 0, 'f', 2)
                        .arg(cumulative)
                        .arg(cumulative * 100 * price, 0, 'f', 2);
        }
    }
    QStringList quote { "1", QStringLiteral("浦发银行"), arrayCode };
    for (int i = 3; i < items; ++i)
        quote << QString::number(300 + i);
    if (items > 30) {
        quote[29] = QString();
        quote[30] = "20260105150003";
    }
    return minuteBody(rows.join(',')) + ",\"date\":\"20260105\"},\"qt\":{\"" + arrayKey + "\":[\""
        + quote.join("\",\"")
        + QStringLiteral("\"],\"market\":[\"2026-01-05 15:35:02|HK_close_已收盘|SH_close_已收盘|SZ_close_已收盘|"
                         "US_open_交易中|SQ_close_已休市|DS_close_已休市|ZS_close_已休市\"],"
                         "\"zhishu\":[\"1\",\"上证指数\",\"000001\",\"501\",\"502\",\"503\"]},"
                         "\"mx_price\":{\"mx\":[],\"price\":[]},\"introduce\":[]}}}");
}

// Quote list A as the cuts read it: its cells count up from `first`, cells 0,
// 1, 4 and 5 go to slots 7, 2, 1 and 0, cells 6 to 25 to the order book.
void compareListAAndBook(const StockTimeData& record, float first)
{
    QCOMPARE(record.quoteValues[7], first);
    QCOMPARE(record.quoteValues[2], first + 1);
    QCOMPARE(record.quoteValues[1], first + 4);
    QCOMPARE(record.quoteValues[0], first + 5);
    QCOMPARE(record.orderBook[0].price, first + 6);
    QCOMPARE(record.orderBook[0].volume, int(first) + 7);
    QCOMPARE(record.orderBook[9].price, first + 24);
    QCOMPARE(record.orderBook[9].volume, int(first) + 25);
}

} // namespace

class TestStockTimeData : public QObject
{
    Q_OBJECT

private slots:
    void runningAverageAndShares();
    void zeroVolumeMinuteAveragesAtItsPrice();
    void todaysFourFieldRowsReadAsTheirFirstThree();
    void volumesPastTheIntRangeKeepTheirSums();
    void emptyOrForeignBodyIsInvalid();
    void bodyWithoutDateKeepsRowsOnly();
    void fullResponseFillsQuoteSections();
    void oddQuoteListLengthLeavesOrderBookEmpty_data();
    void oddQuoteListLengthLeavesOrderBookEmpty();
    void todaysFormReadsNameQuoteAndBookFromItsArray();
    void todaysFormTakesNothingFromAnotherLine_data();
    void todaysFormTakesNothingFromAnotherLine();
    void storedTextIsReadLatestLineLast();
    void minuteFileCheck_data();
    void minuteFileCheck();
    void urlCarriesMarketCode();
};

void TestStockTimeData::runningAverageAndShares()
{
    const StockTimeData record = parseTimeData(minuteBody("\"0930 10.00 100\",\"0931 10.50 300\",\"0932 9.00 400\""));
    QCOMPARE(record.rows.size(), 3);
    QCOMPARE(record.rows.at(0).time, QString("0930"));
    QCOMPARE(record.rows.at(0).volume, 100);
    QCOMPARE(record.rows.at(1).volume, 200);
    QCOMPARE(record.rows.at(2).volume, 100);
    // The first price equals its own average: it counts as above it.
    QCOMPARE(record.rows.at(0).average, 10.0f);
    QCOMPARE(record.rows.at(1).average, (1000.0f + 2100.0f) / 300.0f);
    QCOMPARE(record.rows.at(2).average, (1000.0f + 2100.0f + 900.0f) / 400.0f);
    // 9.00 is below the average of 10.00 and the average fell.
    QCOMPARE(record.aboveAveragePercent, 2.0f / 3.0f * 100.0f);
    QCOMPARE(record.averageRisingPercent, 2.0f / 3.0f * 100.0f);
    QCOMPARE(record.code, QString("600000"));
}

void TestStockTimeData::zeroVolumeMinuteAveragesAtItsPrice()
{
    // A pre-opening minute with nothing traded yet.
    const StockTimeData record = parseTimeData(minuteBody("\"0930 10.00 0\",\"0931 10.20 100\""));
    QCOMPARE(record.rows.size(), 2);
    QVERIFY(!std::isnan(record.rows.at(0).average));
    QCOMPARE(record.rows.at(0).average, 10.0f);
    QCOMPARE(record.rows.at(1).average, 10.2f);
    QCOMPARE(record.aboveAveragePercent, 100.0f);
    QCOMPARE(record.averageRisingPercent, 100.0f);

    const StockTimeData stored = parseTimeDataText("1,0931,10.2,0,0,0,0\n1,0930,10.0,0,0,0,0");
    QCOMPARE(stored.rows.size(), 2);
    QCOMPARE(stored.rows.at(1).average, 10.2f);
}

// Today's rows add the cumulative amount as a fourth field; a row with fewer
// than three fields is still no minute.
void TestStockTimeData::todaysFourFieldRowsReadAsTheirFirstThree()
{
    const StockTimeData threeFields = parseTimeData(minuteBody("\"0930 333.06 5328\",\"0931 333.50 6000\""));
    const StockTimeData today = parseTimeData(minuteBody(
        "\"0930 333.06 5328 177454368.00\",\"0931 333.50 6000 199866368.00\",\"0932 333.80\",\"\""));
    QCOMPARE(today.rows.size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(today.rows.at(i).time, threeFields.rows.at(i).time);
        QCOMPARE(today.rows.at(i).price, threeFields.rows.at(i).price);
        QCOMPARE(today.rows.at(i).volume, threeFields.rows.at(i).volume);
        QCOMPARE(today.rows.at(i).average, threeFields.rows.at(i).average);
    }
    QCOMPARE(today.rows.at(1).volume, 672);
    QCOMPARE(today.aboveAveragePercent, 100.0f);
    QCOMPARE(today.averageRisingPercent, 100.0f);
}

// A busy stock trades past 2^31 shares in a day: the running totals must
// neither wrap nor lose the minutes after it.
void TestStockTimeData::volumesPastTheIntRangeKeepTheirSums()
{
    const StockTimeData record = parseTimeData(
        minuteBody("\"0930 10.00 2147483000\",\"0931 10.00 2147484000 1.0\",\"0932 10.00 4294967296\""));
    QCOMPARE(record.rows.size(), 3);
    QCOMPARE(record.rows.at(0).volume, 2147483000);
    QCOMPARE(record.rows.at(1).volume, 1000);
    QCOMPARE(record.rows.at(2).volume, 2147483296);
    for (const MinuteRow& row : record.rows)
        QCOMPARE(row.average, 10.0f);
    QCOMPARE(record.aboveAveragePercent, 100.0f);
    QCOMPARE(record.averageRisingPercent, 100.0f);

    // Stored minutes sum their volumes past the int range as well.
    const StockTimeData stored = parseTimeDataText("1,0932,10.0,0,2000000000,0,0\n1,0931,10.0,0,2000000000,0,0");
    QCOMPARE(stored.rows.size(), 2);
    QCOMPARE(stored.rows.at(1).average, 10.0f);
    QCOMPARE(stored.averageRisingPercent, 100.0f);
}

void TestStockTimeData::emptyOrForeignBodyIsInvalid()
{
    for (const QString& body : {QString(), QString("<html>503 Service Unavailable</html>"), QString("]]]:::[[[")}) {
        const StockTimeData record = parseTimeData(body);
        QVERIFY(!record.valid);
        QVERIFY(record.rows.isEmpty());
        // A suspended stock has no minutes: the shares are 0, not 0/0.
        QCOMPARE(record.aboveAveragePercent, 0.0f);
        QCOMPARE(record.averageRisingPercent, 0.0f);
    }
}

void TestStockTimeData::bodyWithoutDateKeepsRowsOnly()
{
    const StockTimeData record = parseTimeData(minuteBody("\"0930 10.00 100\",\"0931 10.50 300\",\"bad row\"")
                                               + "},\"qt\":{\"sh600000\":[\"51\",\"浦发银行\"]}}}");
    QVERIFY(!record.valid);
    QCOMPARE(record.rows.size(), 2);
    QCOMPARE(record.aboveAveragePercent, 100.0f);
    QCOMPARE(record.averageRisingPercent, 100.0f);
    QVERIFY(record.name.isEmpty());
    QVERIFY(record.deals.isEmpty());
    QVERIFY(record.priceLevels.isEmpty());
    QCOMPARE(record.orderBook[0].price, 0.0f);
    QCOMPARE(record.quoteValues[0], 0.0f);
}

void TestStockTimeData::fullResponseFillsQuoteSections()
{
    const StockTimeData record = parseTimeData(fullBody());
    QVERIFY(record.valid);
    QCOMPARE(record.date, QString("20190102"));
    QCOMPARE(record.code, QString("600000"));
    QCOMPARE(record.name, QStringLiteral("浦发银行"));
    QCOMPARE(record.rows.size(), 2);

    // List A cells 0..5 and the ten order-book pairs; list B overrides slots 5 and 11.
    compareListAAndBook(record, 100);
    QCOMPARE(record.quoteValues[3], 200.0f);
    QCOMPARE(record.quoteValues[4], 201.0f);
    QCOMPARE(record.quoteValues[5], 203.0f);
    QCOMPARE(record.quoteValues[11], 205.0f);
    QCOMPARE(record.quoteValues[10], 206.0f);
    QCOMPARE(record.quoteValues[14], 207.0f);
    QCOMPARE(record.quoteValues[9], 208.0f);
    QCOMPARE(record.quoteValues[15], 212.0f);
    for (int never : {6, 8, 12, 13})
        QCOMPARE(record.quoteValues[never], 0.0f);

    QCOMPARE(record.deals.size(), 2);
    QCOMPARE(record.deals.at(0).time, QString("09:30:01"));
    QCOMPARE(record.deals.at(0).price, 10.5f);
    QCOMPARE(record.deals.at(0).volume, 100);
    QCOMPARE(record.deals.at(0).side, QString("B"));
    QCOMPARE(record.deals.at(0).amount, 105000);
    QCOMPARE(record.deals.at(0).flag, 1);
    QCOMPARE(record.deals.at(1).side, QString("S"));

    QCOMPARE(record.priceLevels.size(), 2);
    QCOMPARE(record.priceLevels.at(1).price, 10.4f);
    QCOMPARE(record.priceLevels.at(1).volume, 200);
    QCOMPARE(record.priceLevels.at(1).count, 3);
    QCOMPARE(record.priceLevels.at(1).ratio, 0.4f);
}

void TestStockTimeData::oddQuoteListLengthLeavesOrderBookEmpty_data()
{
    QTest::addColumn<int>("cells");
    QTest::newRow("26 cells") << 26;
    QTest::newRow("28 cells") << 28;
}

void TestStockTimeData::oddQuoteListLengthLeavesOrderBookEmpty()
{
    QFETCH(int, cells);
    const StockTimeData record = parseTimeData(fullBody(cells));
    QVERIFY(record.valid);
    QCOMPARE(record.orderBook[0].price, 0.0f);
    QCOMPARE(record.orderBook[9].volume, 0);
    QCOMPARE(record.quoteValues[7], 0.0f);
    // The later sections are read all the same.
    QCOMPARE(record.deals.size(), 2);
    QCOMPARE(record.quoteValues[3], 200.0f);
    QCOMPARE(record.priceLevels.size(), 2);
}

void TestStockTimeData::todaysFormReadsNameQuoteAndBookFromItsArray()
{
    const StockTimeData record = parseTimeData(todaysBody());
    QVERIFY(record.valid);
    QCOMPARE(record.date, QString("20260105"));
    QCOMPARE(record.code, QString("600000"));
    QCOMPARE(record.rows.size(), 242);
    QCOMPARE(record.rows.at(121).time, QString("1300"));
    QCOMPARE(record.name, QStringLiteral("浦发银行"));

    // Item 3 on, the price, is list A's cell 0.
    compareListAAndBook(record, 303);
    QCOMPARE(record.quoteValues[5], 305.0f);   // open
    QCOMPARE(record.quoteValues[11], 306.0f);  // volume
    // What the older answer carried after its deals has no place here.
    for (int unknown : { 3, 4, 6, 8, 9, 10, 12, 13, 14, 15 })
        QCOMPARE(record.quoteValues[unknown], 0.0f);
    QVERIFY(record.deals.isEmpty());
    QVERIFY(record.priceLevels.isEmpty());
}

void TestStockTimeData::todaysFormTakesNothingFromAnotherLine_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("name");
    QTest::addColumn<float>("price");
    QTest::newRow("the array of another stock") << todaysBody("sh600036", "600036") << QString() << 0.0f;
    QTest::newRow("another code in the stock's array") << todaysBody("sh600000", "600036") << QString() << 0.0f;
    QTest::newRow("an array cut before its order book")
        << todaysBody("sh600000", "600000", 20) << QStringLiteral("浦发银行") << 0.0f;
    QTest::newRow("an array without its end") << todaysBody().left(todaysBody().indexOf("\"],\"market\""))
                                             << QString() << 0.0f;
}

void TestStockTimeData::todaysFormTakesNothingFromAnotherLine()
{
    QFETCH(QString, body);
    QFETCH(QString, name);
    QFETCH(float, price);
    const StockTimeData record = parseTimeData(body);
    QVERIFY(record.valid);
    QCOMPARE(record.rows.size(), 242);
    QCOMPARE(record.name, name);
    QCOMPARE(record.quoteValues[7], price);
    QCOMPARE(record.orderBook[0].price, 0.0f);
    QVERIFY(record.deals.isEmpty());
}

void TestStockTimeData::storedTextIsReadLatestLineLast()
{
    const StockTimeData record =
        parseTimeDataText("x,0931,10.5,0,200,0,0\nx,0930,10.0,0,100,0,0\nshort,line\n");
    QCOMPARE(record.rows.size(), 2);
    QCOMPARE(record.rows.at(0).time, QString("0930"));
    QCOMPARE(record.rows.at(1).time, QString("0931"));
    QCOMPARE(record.rows.at(1).volume, 200);
    QCOMPARE(record.rows.at(1).average, 3100.0f / 300.0f);
    QVERIFY(!record.valid);
}

void TestStockTimeData::minuteFileCheck_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("expected");

    // Shares of this text: above average 50%, rising average 50%.
    const QString text = "x,0931,9.0,0,100,0,0\nx,0930,10.0,0,100,0,0";
    QTest::newRow("both below") << text << 49 << 49 << true;
    QTest::newRow("a equals share") << text << 50 << 0 << false;
    QTest::newRow("b equals share") << text << 0 << 50 << false;
    QTest::newRow("no minute rows") << QString("nothing here") << -1 << -1 << false;
    QTest::newRow("missing file") << QString() << -1 << -1 << false;
}

void TestStockTimeData::minuteFileCheck()
{
    QFETCH(QString, content);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath("minutes");
    if (!content.isEmpty())
        QVERIFY(saveWhole(path, content.toUtf8()));
    QCOMPARE(checkMinuteFile(path, a, b), expected);
}

void TestStockTimeData::urlCarriesMarketCode()
{
    const QString shanghai = minuteDataUrl("600000");
    QVERIFY(shanghai.contains("/appstock/app/minute/query?code=sh600000&_appName=android&_net=WIFI&__random_suffix="));
    QVERIFY(minuteDataUrl("000001").contains("code=sz000001&"));
    bool isNumber = false;
    const int suffix = shanghai.section("__random_suffix=", 1).toInt(&isNumber);
    QVERIFY(isNumber);
    QVERIFY(suffix >= 0 && suffix <= 32767);
}

QTEST_GUILESS_MAIN(TestStockTimeData)
#include "tst_stocktimedata.moc"
