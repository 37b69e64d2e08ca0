#include "analysis/shapescanners.h"
#include "analysis/stocktailscanner.h"

#include "tests/analysis/scanchecks.h"
#include "tests/support/barbuilder.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(Stock)

namespace {

struct ExpectedPoint
{
    int bar = -1;   // -1: the point stays empty
    float price = 0;
};

void verifyPoint(const ShapePoint& point, const ExpectedPoint& expected)
{
    if (expected.bar < 0) {
        QVERIFY(point.date.isEmpty());
        return;
    }
    QCOMPARE(point.date, dayText(expected.bar));
    QCOMPARE(point.price, expected.price);
}

void verifyRecord(const StockShapeScanner& scanner, const QString& name, ExpectedPoint p1, ExpectedPoint p2 = {},
                  ExpectedPoint p3 = {})
{
    const ShapeRecord& record = scanner.shapeRecord();
    QCOMPARE(record.name, name);
    verifyPoint(record.point1, p1);
    verifyPoint(record.point2, p2);
    verifyPoint(record.point3, p3);
}

// A fall from 12.4 to 11 (-11 %) after 25 rising bars.
SeriesBuilder breakdown()
{
    return SeriesBuilder().flat(1, 10).ramp(24, 12.4f).closes({11});
}

// Two tops (bar 39 at 13, bar 61 reaching 13.5) around a trough at bar 49,
// each top reached after a golden cross of MA5 over MA10, ending in a bearish
// three-bar pattern.
SeriesBuilder doubleTopSeries(float trough)
{
    return SeriesBuilder()
        .flat(20, 10, 0.1f)
        .ramp(10, 9, 0.1f)
        .ramp(10, 13, 0.1f)
        .ramp(10, trough, 0.1f)
        .ramp(11, 13.2f, 0.1f)
        .add(ohlc(13.4f, 13.5f, 12.9f, 13.0f))
        .add(ohlc(12.6f, 12.9f, 12.5f, 12.8f));
}

// A bottom at bar 34 (low 9.9), a top at bar 55 (12.5), and back down to 10.3
// by bar 68; the last bar is added by the caller.
SeriesBuilder wShapeSeries()
{
    return SeriesBuilder().flat(24, 12, 0.1f).ramp(11, 10, 0.1f).ramp(21, 12.5f, 0.1f).ramp(13, 10.3f, 0.1f);
}

// `lead` flat bars, a 6 % rise (bar k = lead), a range with two tops at 11.5 and
// `secondTop`, rising lows, and a breakout bar to 12.
QVector<Stock> triangle(int lead, float secondTop = 11.52f)
{
    return SeriesBuilder()
        .flat(lead, 10, 0.05f)
        .add(ohlc(10, 10.65f, 10, 10.6f))
        .ramp(10, 11.45f, 0.05f)
        .ramp(5, 10.8f, 0.05f)
        .ramp(5, secondTop - 0.05f, 0.05f)
        .ramp(3, 11.3f, 0.05f)
        .add(ohlc(11.4f, 12.1f, 11.35f, 12))
        .bars();
}

// Closes rising by the same percentage every day from 10.
QVector<Stock> steadyRise(int count, float dailyPercent)
{
    SeriesBuilder b;
    float close = 10;
    for (int i = 0; i < count; ++i) {
        b.closes({close});
        close *= 1 + dailyPercent / 100;
    }
    return b.bars();
}

QVector<Stock> withChange(QVector<Stock> bars, int back, float changePercent)
{
    bars[bars.size() - 1 - back].changePercent = changePercent;
    return bars;
}

// A rising day as the pool's quote of it: its bar, its change and its name.
Stock quote(StockBuilder bar, float changePercent = 5, const QString& name = QStringLiteral("岚蚁科技"))
{
    return bar.changePercent(changePercent).name(name);
}

} // namespace

class TestShapeScanners : public QObject
{
    Q_OBJECT

private slots:
    void breakdownThroughThreeAverages_data();
    void breakdownThroughThreeAverages();
    void breakdownRecordsLastBar();
    void highSideways_data();
    void highSideways();
    void lowSideways_data();
    void lowSideways();
    void doubleTop_data();
    void doubleTop();
    void doubleTopRecordsPeaksAndTrough();
    void wShape_data();
    void wShape();
    void wShapeRecordsBottomsAndTop();
    void ascendingTriangle_data();
    void ascendingTriangle();
    void ascendingTriangleRecordsBaseAndBreakout();
    void oneBarThroughThreeAverages_data();
    void oneBarThroughThreeAverages();
    void upwardTrend_data();
    void upwardTrend();
    void failedScanKeepsPreviousRecord();
    void tailScannerFindsBullishCandle_data();
    void tailScannerFindsBullishCandle();
    void tailCandidateQuote_data();
    void tailCandidateQuote();
};

void TestShapeScanners::breakdownThroughThreeAverages_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("breakdown") << breakdown().bars() << 1 << QStringList{"断头铡刀"};
    QTest::newRow("fall of exactly 3 %") << breakdown().pct(-3.0f).bars() << -1 << none;
    QTest::newRow("still above MA5")
        << SeriesBuilder().flat(1, 10).ramp(24, 12.4f).closes({12.3f}).pct(-3.5f).bars() << -1 << none;
    QTest::newRow("previous close below averages")
        << SeriesBuilder().flat(1, 10).ramp(23, 12.4f).closes({11.5f, 11}).bars() << -1 << none;
    QTest::newRow("25 bars") << SeriesBuilder().ramp(24, 12.4f).closes({11}).bars() << -1 << none;
}

void TestShapeScanners::breakdownThroughThreeAverages()
{
    StockDuanTouChaDaoScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::breakdownRecordsLastBar()
{
    StockDuanTouChaDaoScanner scanner;
    QCOMPARE(scanner.scan(QString(), breakdown().bars(), nullptr), 1);
    verifyRecord(scanner, "断头铡刀", {25, 11});
}

void TestShapeScanners::highSideways_data()
{
    addScanColumns();
    const QStringList none;
    const QStringList text{"高位横盘看跌"};
    QTest::newRow("narrow range 24 % up") << SeriesBuilder().flat(54, 10).closes({13, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars()
                                          << 1 << text;
    QTest::newRow("range of 2.10 %") << SeriesBuilder().flat(54, 80).closes({100, 101, 102.1f, 101, 100, 101, 102}).bars()
                                     << 1 << text;
    QTest::newRow("range of 2.11 %") << SeriesBuilder().flat(54, 80).closes({100, 101, 102.11f, 101, 100, 101, 102}).bars()
                                     << -1 << none;
    QTest::newRow("only 9 % up") << SeriesBuilder().flat(54, 12).closes({13, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars()
                                 << -1 << none;
    QTest::newRow("close of 0 in range") << SeriesBuilder().flat(54, 10).closes({0, 0, 0, 0, 0, 0, 0}).bars() << -1
                                         << none;
    QTest::newRow("60 bars") << SeriesBuilder().flat(53, 10).closes({13, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars()
                             << -1 << none;
}

void TestShapeScanners::highSideways()
{
    StockGaoWeiHengPanScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::lowSideways_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("back near the low") << SeriesBuilder().flat(41, 10).flat(13, 12).closes({10.2f, 10.25f, 10.3f, 10.2f, 10.25f, 10.3f, 10.2f}).bars()
                                       << 0 << QStringList{"低位横盘看涨"};
    QTest::newRow("4 % above the low") << SeriesBuilder().flat(41, 10).flat(13, 12).closes({10.4f, 10.45f, 10.5f, 10.4f, 10.45f, 10.5f, 10.4f}).bars()
                                       << -1 << none;
    QTest::newRow("range too wide") << SeriesBuilder().flat(41, 10).flat(13, 12).closes({10.2f, 10.25f, 10.5f, 10.2f, 10.25f, 10.3f, 10.2f}).bars()
                                    << -1 << none;
    QTest::newRow("60 bars") << SeriesBuilder().flat(40, 10).flat(13, 12).closes({10.2f, 10.25f, 10.3f, 10.2f, 10.25f, 10.3f, 10.2f}).bars()
                             << -1 << none;
}

void TestShapeScanners::lowSideways()
{
    StockDiWeiHengPanScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::doubleTop_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("double top") << doubleTopSeries(10).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars() << 1
                                << QStringList{"M形态"};
    QTest::newRow("trough too shallow") << doubleTopSeries(12.5f).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars() << -1
                                        << none;
    QTest::newRow("no bearish candle") << doubleTopSeries(10).add(ohlc(12.8f, 13, 12.8f, 13)).bars() << -1 << none;
    QTest::newRow("60 bars") << doubleTopSeries(10).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars().mid(4) << -1 << none;
}

void TestShapeScanners::doubleTop()
{
    StockMShapeScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::doubleTopRecordsPeaksAndTrough()
{
    StockMShapeScanner scanner;
    QCOMPARE(scanner.scan(QString(), doubleTopSeries(10).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars(), nullptr), 1);
    verifyRecord(scanner, "双顶形态", {61, 13.0f}, {39, 13.0f}, {49, 10.0f});
}

void TestShapeScanners::wShape_data()
{
    addScanColumns();
    const QStringList none;
    // The last bar is an inverted hammer whose body starts at 10.0, 1 % above the bottom.
    QTest::newRow("w shape") << wShapeSeries().add(ohlc(10, 10.5f, 10, 10.1f)).bars() << 0 << QStringList{"W形态"};
    QTest::newRow("second bottom 3.5 % higher")
        << wShapeSeries().add(ohlc(10.25f, 10.75f, 10.25f, 10.35f)).bars() << -1 << none;
    QTest::newRow("no bullish candle") << wShapeSeries().flat(1, 10.05f).bars() << -1 << none;
    QTest::newRow("60 bars") << wShapeSeries().add(ohlc(10, 10.5f, 10, 10.1f)).bars().mid(10) << -1 << none;
}

void TestShapeScanners::wShape()
{
    StockWShapeScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::wShapeRecordsBottomsAndTop()
{
    StockWShapeScanner scanner;
    QCOMPARE(scanner.scan(QString(), wShapeSeries().add(ohlc(10, 10.5f, 10, 10.1f)).bars(), nullptr), 0);
    verifyRecord(scanner, "W形态", {34, 10.0f}, {55, 12.5f}, {69, 10.0f});
}

void TestShapeScanners::ascendingTriangle_data()
{
    addScanColumns();
    const QStringList none;
    const QStringList text{"上三角形形态"};
    QTest::newRow("triangle") << triangle(10) << 0 << text;
    QTest::newRow("33 bars") << triangle(8) << 0 << text;
    QTest::newRow("second top 1.7 % higher") << triangle(10, 11.7f) << -1 << none;
    // The flat-top test reads 33 bars back, the base 5 bars before the first rise.
    QTest::newRow("31 bars") << triangle(6) << -1 << none;
    QTest::newRow("first rise at bar 3") << triangle(3) << -1 << none;
    QVector<Stock> weak = triangle(10);
    weak.last().changePercent = 4.1f;
    QTest::newRow("breakout below 4.2 %") << weak << -1 << none;
}

void TestShapeScanners::ascendingTriangle()
{
    StockShangShengSanJiaoXingScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::ascendingTriangleRecordsBaseAndBreakout()
{
    StockShangShengSanJiaoXingScanner scanner;
    QCOMPARE(scanner.scan(QString(), triangle(10), nullptr), 0);
    verifyRecord(scanner, "上三角形形态", {5, 9.95f}, {10, 10.6f}, {34, 12.0f});
}

void TestShapeScanners::oneBarThroughThreeAverages_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("rise through averages")
        << SeriesBuilder().flat(31, 10).closes({10.05f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).bars() << 0
        << QStringList{"一阳穿三线"};
    QTest::newRow("rise of exactly 4 %")
        << SeriesBuilder().flat(31, 10).closes({10.05f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).pct(4.0f).bars() << -1
        << none;
    QTest::newRow("averages 3 % apart")
        << SeriesBuilder().flat(21, 9).flat(10, 10).closes({10.05f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).bars() << -1
        << none;
    QTest::newRow("previous close below averages")
        << SeriesBuilder().flat(31, 10).closes({9.99f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).bars() << -1 << none;
    QTest::newRow("32 bars")
        << SeriesBuilder().flat(30, 10).closes({10.05f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).bars() << -1 << none;
}

void TestShapeScanners::oneBarThroughThreeAverages()
{
    StockYiYangChuanSanXianScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::upwardTrend_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("steady rise") << steadyRise(60, 1) << 0 << none;
    QTest::newRow("large newest day") << withChange(steadyRise(60, 1), 0, 5) << 0 << none;
    QTest::newRow("day at the upper bound") << withChange(steadyRise(60, 1), 10, 3.61f) << 0 << none;
    QTest::newRow("day at the lower bound") << withChange(steadyRise(60, 1), 10, -3.2f) << 0 << none;
    QTest::newRow("day above the bound") << withChange(steadyRise(60, 1), 10, 3.62f) << -1 << none;
    QTest::newRow("day below the bound") << withChange(steadyRise(60, 1), 28, -3.21f) << -1 << none;
    QTest::newRow("flat") << SeriesBuilder().flat(60, 10).bars() << -1 << none;
    // MA20 exists from bar 20 on: 48 bars give it on each of the 29 days, 47 do not.
    QTest::newRow("48 bars") << steadyRise(48, 1) << 0 << none;
    QTest::newRow("47 bars") << steadyRise(47, 1) << -1 << none;
}

void TestShapeScanners::upwardTrend()
{
    StockUpwardTrendScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::failedScanKeepsPreviousRecord()
{
    StockDuanTouChaDaoScanner scanner;
    QCOMPARE(scanner.scan(QString(), breakdown().bars(), nullptr), 1);
    QCOMPARE(scanner.scan(QString(), breakdown().pct(-3.0f).bars(), nullptr), -1);
    verifyRecord(scanner, "断头铡刀", {25, 11});
}

void TestShapeScanners::tailScannerFindsBullishCandle_data()
{
    addScanColumns();
    const QStringList none;
    // An inverted hammer after a fall.
    QTest::newRow("hammer") << SeriesBuilder().flat(10, 10.5f).ramp(5, 10.2f).add(ohlc(10, 10.5f, 10, 10.1f)).bars()
                            << 0 << none;
    QTest::newRow("flat") << SeriesBuilder().flat(16, 10).bars() << -1 << none;
    QTest::newRow("5 bars") << SeriesBuilder().flat(2, 10.5f).ramp(2, 10.2f).add(ohlc(10, 10.5f, 10, 10.1f)).bars()
                            << -1 << none;
}

void TestShapeScanners::tailScannerFindsBullishCandle()
{
    StockTailScanner scanner;
    verifyScan(scanner);
}

void TestShapeScanners::tailCandidateQuote_data()
{
    QTest::addColumn<Stock>("quote");
    QTest::addColumn<bool>("candidate");
    QTest::newRow("clean 4 % body") << quote(ohlc(100, 104, 100, 104)) << true;
    QTest::newRow("day change 6.5 %") << quote(ohlc(100, 104, 100, 104), 6.5f) << true;
    QTest::newRow("day change 6.51 %") << quote(ohlc(100, 104, 100, 104), 6.51f) << false;
    QTest::newRow("not rising") << quote(ohlc(100, 100, 100, 100)) << false;
    QTest::newRow("falling") << quote(ohlc(104, 104, 100, 100)) << false;
    QTest::newRow("special treatment") << quote(ohlc(100, 104, 100, 104), 5, QStringLiteral("*ST岚蚁")) << false;
    QTest::newRow("body 2.25 %") << quote(ohlc(100, 102.25f, 100, 102.25f)) << true;
    QTest::newRow("body 2.125 %") << quote(ohlc(100, 102.125f, 100, 102.125f)) << false;
    QTest::newRow("body 6.125 %") << quote(ohlc(100, 106.125f, 100, 106.125f)) << true;
    QTest::newRow("body 6.25 %") << quote(ohlc(100, 106.25f, 100, 106.25f)) << false;
    QTest::newRow("shadows 0.33 of body") << quote(ohlc(100, 104, 98.68f, 104)) << true;
    QTest::newRow("shadows a third of body") << quote(ohlc(100, 104 + 4.0f / 3, 100, 104)) << false;
    QTest::newRow("no open price") << quote(ohlc(0, 5, 0, 5)) << false;
}

void TestShapeScanners::tailCandidateQuote()
{
    QFETCH(Stock, quote);
    QFETCH(bool, candidate);
    QCOMPARE(StockTailScanner::isCandidate(quote), candidate);
}

QTEST_APPLESS_MAIN(TestShapeScanners)
#include "tst_shapescanners.moc"
