#include "analysis/shapescanners.h"
#include "analysis/stocktailscanner.h"

#include "tests/analysis/candleseries.h"
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

// A bottom at bar 34 (low 9.9), a top at bar 55 (`top`, 12.5 by default), and
// back down to 10.3 by bar 68; the last bar is added by the caller.
SeriesBuilder wShapeSeries(float top = 12.5f)
{
    return SeriesBuilder().flat(24, 12, 0.1f).ramp(11, 10, 0.1f).ramp(21, top, 0.1f).ramp(13, 10.3f, 0.1f);
}

// How an ascending triangle is drawn: `lead` flat bars at `level`, the first
// strong rise (bar k = lead), a climb to the first top, a dip, a climb to the
// second top, a settling stretch and the breakout bar. Closes are given; each
// bar's high and low lie `spread` off its close.
struct TriangleDrawing
{
    int lead = 10;
    float level = 10;
    float leadSpread = 0.05f;
    Stock rise = ohlc(10, 10.65f, 10, 10.6f);
    int climb = 10;
    float firstTop = 11.45f;
    float dip = 10.8f;
    float secondTop = 11.47f;
    float settle = 11.3f;
    float spread = 0.05f;
    Stock breakout = ohlc(11.4f, 12.1f, 11.35f, 12);
};

QVector<Stock> drawTriangle(const TriangleDrawing& t)
{
    return SeriesBuilder()
        .flat(t.lead, t.level, t.leadSpread)
        .add(t.rise)
        .ramp(t.climb, t.firstTop, t.spread)
        .ramp(5, t.dip, t.spread)
        .ramp(5, t.secondTop, t.spread)
        .ramp(3, t.settle, t.spread)
        .add(t.breakout)
        .bars();
}

// `lead` flat bars, a 6 % rise (bar k = lead), a range with two tops at 11.5 and
// `secondTop`, rising lows, and a breakout bar to 12.
QVector<Stock> triangle(int lead, float secondTop = 11.52f)
{
    TriangleDrawing t;
    t.lead = lead;
    t.secondTop = secondTop - 0.05f;
    return drawTriangle(t);
}

// A triangle on a base low of 12.5, where 6 % and 18 % above it (13.25 and
// 14.75) are prices a bar can carry exactly: ten bars around 12.75, a 4.7 %
// rise (bar 10), tops at 14.40 and 14.45 (bars 20 and 30), lows from 13.4 up,
// and the breakout bar (34) closing at `breakout`.
QVector<Stock> triangleOnTwelveFifty(float breakout = 15)
{
    return drawTriangle({10, 12.75f, 0.25f, ohlc(12.75f, 13.4f, 12.75f, 13.35f), 10, 14.35f, 13.5f, 14.4f, 14.1f, 0.05f,
                         ohlc(14.3f, breakout + 0.1f, 14.3f, breakout)});
}

// The double top of doubleTopSeries at other prices: 20 bars at `base`, a
// slide to `dip`, a first top whose high is `top` (bar 39), a trough closing
// at `trough` (bar 49), a rise to `second` (bar 60) and a bearish three-bar
// candle around it whose first bar holds the second top.
SeriesBuilder doubleTopAt(float base, float dip, float top, float trough, float second, float spread)
{
    return SeriesBuilder()
        .flat(20, base, spread)
        .ramp(10, dip, spread)
        .ramp(10, top - spread, spread)
        .ramp(10, trough, spread)
        .ramp(11, second, spread)
        .add(ohlc(second + 3 * spread, second + 4 * spread, second - spread, second))
        .add(ohlc(second - 3 * spread, second - spread, second - 4 * spread, second - 2 * spread))
        .add(ohlc(second + spread, second + 2 * spread, second - 2 * spread, second - spread));
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

// The bars with the high (or low) of the bar `back` bars before the last moved.
QVector<Stock> withHigh(QVector<Stock> bars, int back, float high)
{
    bars[bars.size() - 1 - back].high = high;
    return bars;
}

QVector<Stock> withLow(QVector<Stock> bars, int back, float low)
{
    bars[bars.size() - 1 - back].low = low;
    return bars;
}

// 60 closes rising 1 % a day but for six days of 0.5 % falls that end
// `lowBack` bars before the last, on the lowest close of the last 30 bars.
QVector<Stock> riseWithDip(int lowBack)
{
    SeriesBuilder b;
    float close = 10;
    const int lowBar = 59 - lowBack;
    for (int i = 0; i < 60; ++i) {
        if (i > 0)
            close *= i > lowBar - 6 && i <= lowBar ? 0.995f : 1.01f;
        b.closes({close});
    }
    return b.bars();
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
    QTest::newRow("fall of 3.05 %") << breakdown().pct(-3.05f).bars() << 1 << QStringList{"断头铡刀"};
    QTest::newRow("30 bars") << SeriesBuilder().flat(5, 10).ramp(24, 12.4f).closes({11}).bars() << 1
                             << QStringList{"断头铡刀"};
    // Flat bars before: the day before the fall closes on its averages.
    QTest::newRow("previous close on its averages") << SeriesBuilder().flat(25, 12).closes({11}).bars() << -1 << none;
    // Closes 10, 10, 10, 14, 11 after 13s: the last one on its 5-day average
    // (55 / 5), below its 10- and 20-day averages.
    QTest::newRow("close on its 5-day average")
        << SeriesBuilder().flat(21, 13).closes({10, 10, 10, 14, 11}).bars() << -1 << none;
    QTest::newRow("close just under its 5-day average")
        << SeriesBuilder().flat(21, 13).closes({10, 10, 10, 14, 10.9f}).bars() << 1 << QStringList{"断头铡刀"};
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
    QTest::newRow("range of 2.105 %") << SeriesBuilder().flat(54, 80).closes({100, 101, 102.105f, 101, 100, 101, 102}).bars()
                                      << 1 << text;
    // Measured against the seven days' low: (10 - 8) / 10.
    QTest::newRow("exactly 20 % up") << SeriesBuilder().flat(54, 8).flat(7, 10).bars() << 1 << text;
    QTest::newRow("19.9 % up") << SeriesBuilder().flat(54, 8.01f).flat(7, 10).bars() << -1 << none;
    QTest::newRow("low close first of the 60 days")
        << SeriesBuilder().flat(1, 12).closes({5}).flat(52, 12).closes({13, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars()
        << 1 << text;
    QTest::newRow("low close before the 60 days")
        << SeriesBuilder().closes({5}).flat(53, 12).closes({13, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars() << -1
        << none;
    QTest::newRow("far close first of the seven days")
        << SeriesBuilder().flat(54, 10).closes({16, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars() << -1 << none;
    QTest::newRow("far close before the seven days")
        << SeriesBuilder().flat(53, 10).closes({16, 13, 13.1f, 13.2f, 13.1f, 13, 13.1f, 13.2f}).bars() << 1 << text;
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
    // The low of bars [n-60, n-20] is 15.625; 15.625 x 1.036 = 16.1875.
    QTest::newRow("low 1.036 times the earlier low")
        << SeriesBuilder().flat(41, 15.625f).flat(13, 19).closes({16.1875f, 16.25f, 16.3f, 16.1875f, 16.25f, 16.3f, 16.1875f}).bars()
        << 0 << QStringList{"低位横盘看涨"};
    QTest::newRow("low 1.0365 times the earlier low")
        << SeriesBuilder().flat(41, 15.625f).flat(13, 19).closes({16.1954f, 16.25f, 16.3f, 16.1954f, 16.25f, 16.3f, 16.1954f}).bars()
        << -1 << none;
    QTest::newRow("low 1.0355 times the earlier low")
        << SeriesBuilder().flat(41, 15.625f).flat(13, 19).closes({16.1797f, 16.25f, 16.3f, 16.1797f, 16.25f, 16.3f, 16.1797f}).bars()
        << 0 << QStringList{"低位横盘看涨"};
    // The earlier low is that of bars [n-60, n-20]: a lower close inside
    // that range counts, one just outside it does not.
    const QVector<float> seven = {10.2f, 10.25f, 10.3f, 10.2f, 10.25f, 10.3f, 10.2f};
    QTest::newRow("lower close first in the range") << SeriesBuilder().flat(1, 12).closes({9}).flat(52, 12).closes(seven).bars()
                                                    << -1 << none;
    QTest::newRow("lower close before the range") << SeriesBuilder().closes({9}).flat(53, 12).closes(seven).bars() << 0
                                                  << QStringList{"低位横盘看涨"};
    QTest::newRow("lower close last in the range") << SeriesBuilder().flat(41, 12).closes({9}).flat(12, 12).closes(seven).bars()
                                                   << -1 << none;
    QTest::newRow("lower close after the range") << SeriesBuilder().flat(42, 12).closes({9}).flat(11, 12).closes(seven).bars()
                                                 << 0 << QStringList{"低位横盘看涨"};
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
    const QVector<Stock> top = doubleTopSeries(10).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars();
    QTest::newRow("double top") << top << 1 << QStringList{"M形态"};
    QTest::newRow("61 bars") << top.mid(3) << 1 << QStringList{"M形态"};
    // The highest high of the last 61 bars must lie in the last 31.
    QTest::newRow("higher high 32 bars back") << withHigh(top, 31, 14) << -1 << none;
    QTest::newRow("higher high 62 bars back") << withHigh(top, 61, 14) << 1 << QStringList{"M形态"};
    // The first peak's high is 13.1: the trough must lie 9 % below it.
    QTest::newRow("trough 9.2 % below the first peak")
        << doubleTopSeries(12).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars() << 1 << QStringList{"M形态"};
    QTest::newRow("trough 8.7 % below the first peak")
        << doubleTopSeries(12.05f).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars() << -1 << none;
    // The peaks may differ by up to 1.11 times the lower one (13.1 x 1.11 = 14.541).
    QTest::newRow("second peak 14.5 higher") << withHigh(top, 8, 27.6f) << 1 << QStringList{"M形态"};
    QTest::newRow("second peak 14.6 higher") << withHigh(top, 8, 27.7f) << -1 << none;
    QTest::newRow("trough too shallow") << doubleTopSeries(12.5f).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars() << -1
                                        << none;
    QTest::newRow("no bearish candle") << doubleTopSeries(10).add(ohlc(12.8f, 13, 12.8f, 13)).bars() << -1 << none;
    QTest::newRow("60 bars") << doubleTopSeries(10).add(ohlc(13.1f, 13.2f, 12.8f, 12.9f)).bars().mid(4) << -1 << none;
    // After the second top the closes slip to 12.2 before the bearish candle:
    // MA5 (12.18) ends under MA10 (12.48) though still over MA20 (11.69).
    QTest::newRow("MA5 under MA10, over MA20")
        << SeriesBuilder(doubleTopSeries(10).bars().mid(0, 61))
               .ramp(3, 12.2f, 0.1f)
               .add(ohlc(12.4f, 12.5f, 12.0f, 12.1f))
               .add(ohlc(11.8f, 12.1f, 11.7f, 12.0f))
               .add(ohlc(12.3f, 12.4f, 12.0f, 12.05f))
               .bars()
        << -1 << none;
    // Whole-price tops where the bounds fall on real prices: a trough of 75
    // lies exactly 9 % below a first top of 81.75, and 125 x 1.11 = 138.75
    // is exactly what a second top of 263.75 lies above a first one of 125.
    QTest::newRow("trough 75, exactly 9 % below the first top")
        << doubleTopAt(75, 70, 81.75f, 75, 82.5f, 0.5f).bars() << 1 << QStringList{"M形态"};
    QTest::newRow("trough 75.01, 8.99 % below the first top")
        << doubleTopAt(75, 70, 81.75f, 75.01f, 82.5f, 0.5f).bars() << -1 << none;
    // Both tops in the last 31 bars, the first one higher (82): the trough
    // of 75 must lie 9 % under the second as well, and 81.75 is exactly that.
    auto closeTops = [](float secondTop) {
        return SeriesBuilder()
            .flat(30, 74, 0.5f)
            .ramp(4, 72, 0.5f)
            .ramp(8, 81.5f, 0.5f)
            .ramp(8, 75, 0.5f)
            .ramp(8, 81, 0.5f)
            .add(ohlc(81.5f, secondTop, 80.75f, 81.25f))
            .add(ohlc(80, 80.75f, 79.75f, 80.5f))
            .add(ohlc(81, 81.25f, 80.25f, 80.75f))
            .bars();
    };
    QTest::newRow("second top 81.75, exactly 9 % above the trough") << closeTops(81.75f) << 1 << QStringList{"M形态"};
    QTest::newRow("second top 81.74") << closeTops(81.74f) << -1 << none;
    const QVector<Stock> top125 = doubleTopAt(115, 110, 125, 112, 124, 1).bars();
    QTest::newRow("second top exactly 1.11 x 125 higher") << withHigh(top125, 8, 263.75f) << 1
                                                           << QStringList{"M形态"};
    QTest::newRow("second top 0.01 more than that") << withHigh(top125, 8, 263.76f) << -1 << none;
    // The second rise levels off at 12.75 for 17 bars before the bearish
    // candle (closes 13, 12.25, 13): MA5, MA10 and MA20 all end at 12.75,
    // and neither the step up from equal averages (bar 78) nor the return to
    // them (bar 80) is a golden cross.
    QTest::newRow("averages equal on the last bar")
        << SeriesBuilder(doubleTopSeries(10).bars().mid(0, 50))
               .ramp(11, 12.75f, 0.1f)
               .flat(17, 12.75f, 0.1f)
               .add(ohlc(13.25f, 13.5f, 12.9f, 13))
               .add(ohlc(12, 12.4f, 11.9f, 12.25f))
               .add(ohlc(13.25f, 13.25f, 12.9f, 13))
               .bars()
        << 1 << QStringList{"M形态"};
    // One golden cross only: the first peak is searched from bar 0, which
    // holds it here (high 13.1 before a slide to 10); the series ends in the
    // double top's own bearish candle.
    SeriesBuilder firstBarPeak = SeriesBuilder().add(ohlc(13, 13.1f, 12.9f, 13)).ramp(24, 10, 0.1f).ramp(33, 13.2f, 0.1f);
    for (const Stock& bar : top.mid(top.size() - 3))
        firstBarPeak.add(bar);
    QTest::newRow("first peak on the first bar") << firstBarPeak.bars() << 1 << QStringList{"M形态"};
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
    QTest::newRow("second bottom 2.5 % higher")
        << wShapeSeries().add(ohlc(10.15f, 10.65f, 10.15f, 10.25f)).bars() << -1 << none;
    // The lower end of a falling body: its close.
    QTest::newRow("falling last bar") << wShapeSeries().add(ohlc(10.1f, 10.5f, 10, 10)).bars() << 0
                                      << QStringList{"W形态"};
    QTest::newRow("top 16 % above the bottom") << wShapeSeries(11.4f).add(ohlc(10, 10.5f, 10, 10.1f)).bars() << -1
                                               << none;
    // The first bottom is the lowest low of bars [n-46, n-4].
    const QVector<Stock> w = wShapeSeries().add(ohlc(10, 10.5f, 10, 10.1f)).bars();
    QTest::newRow("lower low last in the bottom's range") << withLow(w, 3, 9) << -1 << none;
    QTest::newRow("lower low after the bottom's range") << withLow(w, 2, 9) << 0 << QStringList{"W形态"};
    QTest::newRow("lower low first in the bottom's range") << withLow(w, 45, 9) << -1 << none;
    QTest::newRow("lower low before the bottom's range") << withLow(w, 46, 9) << 0 << QStringList{"W形态"};
    QTest::newRow("no bullish candle") << wShapeSeries().flat(1, 10.05f).bars() << -1 << none;
    QTest::newRow("60 bars") << wShapeSeries().add(ohlc(10, 10.5f, 10, 10.1f)).bars().mid(10) << -1 << none;
    QTest::newRow("61 bars") << wShapeSeries().add(ohlc(10, 10.5f, 10, 10.1f)).bars().mid(9) << 0 << QStringList{"W形态"};
    // The top must come after the first bottom. 61 bars at 11 sliding to an
    // inverted hammer, with a top of 12.6 on bar 41 before a bottom of 9.9 on
    // bar 55, or one wide bar holding both (bar 50); a bottom on the bar just
    // before the top (bar 49) is in order.
    const QVector<Stock> level = SeriesBuilder().flat(56, 11, 0.1f).ramp(4, 10.3f, 0.1f).add(ohlc(10, 10.5f, 10, 10.1f)).bars();
    QTest::newRow("top before the first bottom") << withLow(withHigh(level, 19, 12.6f), 5, 9.9f) << -1 << none;
    QTest::newRow("top and first bottom on one bar") << withLow(withHigh(level, 10, 12.6f), 10, 9.9f) << -1 << none;
    QTest::newRow("top after the first bottom") << withLow(withHigh(level, 10, 12.6f), 11, 9.9f) << 0
                                                << QStringList{"W形态"};
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
    weak.last().changePercent = 4.2f;
    QTest::newRow("breakout of 4.2 %") << weak << 0 << text;
    weak.last().changePercent = 4.25f;
    QTest::newRow("breakout of 4.25 %") << weak << 0 << text;
    QVector<Stock> firstRise = triangle(10);
    firstRise[10].changePercent = 4.2f;
    QTest::newRow("first rise of 4.2 %") << firstRise << 0 << text;
    firstRise[10].changePercent = 4.15f;
    QTest::newRow("first rise of 4.15 %") << firstRise << -1 << none;
    // The base's low is 9.95: the breakout closes at least 18 % above it.
    QVector<Stock> low = triangle(10);
    low.last().close = 11.74f;
    QTest::newRow("breakout 17.99 % above the base") << low << -1 << none;
    low.last().close = 11.75f;
    QTest::newRow("breakout 18.09 % above the base") << low << 0 << text;
    // The first top's high is 11.5.
    QTest::newRow("second top 1.04 % higher") << triangle(10, 11.62f) << -1 << none;
    QTest::newRow("second top 0.91 % higher") << triangle(10, 11.605f) << 0 << text;
    // The lows after the first rise stay 6 % above the base's 9.95.
    QTest::newRow("later low 5.5 % above the base") << withLow(triangle(10), 21, 10.5f) << -1 << none;
    QTest::newRow("later low 6.1 % above the base") << withLow(triangle(10), 21, 10.56f) << 0 << text;
    // At a base low of 12.5 the breakout may close exactly 18 % above it and a
    // later low lie exactly 6 % above it (bar 25).
    QTest::newRow("breakout exactly 18 % above the base") << triangleOnTwelveFifty(14.75f) << 0 << text;
    QTest::newRow("breakout 17.92 % above the base") << triangleOnTwelveFifty(14.74f) << -1 << none;
    QTest::newRow("later low exactly 6 % above the base") << withLow(triangleOnTwelveFifty(), 9, 13.25f) << 0 << text;
    QTest::newRow("later low 5.92 % above the base") << withLow(triangleOnTwelveFifty(), 9, 13.24f) << -1 << none;
    // Tops of 25 and 25.25 (bars 20 and 30) lie exactly 1 % apart.
    const QVector<Stock> wide = drawTriangle(
        {10, 20, 0.1f, ohlc(20, 21.05f, 20, 21), 10, 24.9f, 22.5f, 25.1f, 24.5f, 0.1f, ohlc(24.8f, 26.1f, 24.7f, 26)});
    QTest::newRow("second top exactly 1 % higher") << withHigh(withHigh(wide, 14, 25), 4, 25.25f) << 0 << text;
    QTest::newRow("second top 1.04 % higher at 25.26") << withHigh(withHigh(wide, 14, 25), 4, 25.26f) << -1 << none;
    // The breakout closes above every high since the base: not on the second
    // top's high (12, after a first top of 11.95).
    const QVector<Stock> highTops = withHigh(triangle(10), 14, 11.95f);
    QTest::newRow("breakout closing on the second top's high") << withHigh(highTops, 4, 12) << -1 << none;
    QTest::newRow("breakout closing 0.01 above the second top") << withHigh(highTops, 4, 11.99f) << 0 << text;
    // The highest high since the base must come after it: here the base bar
    // itself reaches 11.6 (after 11.55 the bar before).
    QTest::newRow("base bar holding the highest high")
        << withHigh(withHigh(triangle(10), 30, 11.55f), 29, 11.6f) << -1 << none;
    // The flat top's last new high may come on the day before the breakout.
    QTest::newRow("top 1.56 % higher on the day before the breakout") << withHigh(triangle(10), 1, 11.7f) << -1 << none;
    QTest::newRow("top 0.87 % higher on the day before the breakout") << withHigh(triangle(10), 1, 11.62f) << 0 << text;
    // A later bar that only reaches the same high is no new high: the tops
    // stay 1.7 % apart.
    QTest::newRow("later touch of the second top's high")
        << withHigh(withHigh(triangle(10), 4, 11.7f), 2, 11.7f) << -1 << none;
    // A first rise on bar 5 takes its base from bars 0 to 5.
    TriangleDrawing early;
    early.lead = 5;
    early.climb = 13;
    QTest::newRow("first rise on bar 5") << drawTriangle(early) << 0 << text;
    // Tops of 11.5 and 11.52, a slide to a base low of 9.95, a 6 % rise on
    // the next bar and a breakout to 12: the base must lie more than 3 bars
    // before the last bar.
    auto lateBase = [](const QVector<Stock>& afterRise) {
        SeriesBuilder b = SeriesBuilder()
                              .flat(13, 11, 0.05f)
                              .add(ohlc(11, 11.5f, 10.95f, 11.45f))
                              .ramp(10, 10.6f, 0.05f)
                              .add(ohlc(10.6f, 11.52f, 10.55f, 10.7f))
                              .ramp(5, 10, 0.05f)
                              .add(ohlc(10, 10.65f, 10, 10.6f));
        for (const Stock& bar : afterRise)
            b.add(bar);
        return b.add(ohlc(11.1f, 12.1f, 11.05f, 12)).bars();
    };
    QTest::newRow("base 3 bars before the breakout") << lateBase({ohlc(10.6f, 11.05f, 10.6f, 11)}) << -1 << none;
    QTest::newRow("base 4 bars before the breakout")
        << lateBase({ohlc(10.6f, 10.85f, 10.6f, 10.8f), ohlc(10.8f, 11.05f, 10.75f, 11)}) << 0 << text;
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
    QTest::newRow("previous close on its averages")
        << SeriesBuilder().flat(32, 10).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).bars() << -1 << none;
    QTest::newRow("rise of 4.05 %")
        << SeriesBuilder().flat(31, 10).closes({10.05f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).pct(4.05f).bars() << 0
        << QStringList{"一阳穿三线"};
    // 21 bars at a, 10 at 10, then 10.05: the averages of the day before
    // lie 1.497 % (a = 9.78) or 1.504 % (a = 9.779) apart.
    QTest::newRow("averages 1.497 % apart")
        << SeriesBuilder().flat(21, 9.78f).flat(10, 10).closes({10.05f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).bars()
        << 0 << QStringList{"一阳穿三线"};
    QTest::newRow("averages 1.504 % apart")
        << SeriesBuilder().flat(21, 9.779f).flat(10, 10).closes({10.05f}).add(ohlc(10.1f, 10.65f, 10.1f, 10.6f)).bars()
        << -1 << none;
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
    // The lowest close of the last 30 bars lies at least 29 x 0.66 + 1 = 20.14 bars back.
    QTest::newRow("lowest close 21 bars back") << riseWithDip(21) << 0 << none;
    QTest::newRow("lowest close 20 bars back") << riseWithDip(20) << -1 << none;
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
    QTest::newRow("body 2.1875 %") << quote(ohlc(100, 102.1875f, 100, 102.1875f)) << false;
    QTest::newRow("body 6.1875 %") << quote(ohlc(100, 106.1875f, 100, 106.1875f)) << true;
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
