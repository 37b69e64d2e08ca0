#include "analysis/indicatorscanners.h"

#include "tests/analysis/scanchecks.h"
#include "tests/support/barbuilder.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

QVector<float> repeated(int count, float value)
{
    return QVector<float>(count, value);
}

// Bars whose 9-bar window spans `low` to `low + range` (10 to 20 by default),
// each closing at the given raw stochastic value (0 = at the low, 100 = at the
// high). Nine anchor bars at `anchor` fix the window before the first given
// value.
QVector<Stock> stochasticBars(const QVector<float>& rsvs, float anchor = 50, float low = 10, float range = 10)
{
    const float perPoint = 100 / range;
    SeriesBuilder b;
    for (int i = 0; i < 9; ++i)
        b.add(ohlc(low + anchor / perPoint, low + range, low, low + anchor / perPoint));
    for (float r : rsvs)
        b.add(ohlc(low + r / perPoint, low + range, low, low + r / perPoint));
    return b.bars();
}

// K and D start at 0 (anchors on the window's low 100) and the window spans
// 100 yuan, so whole raw values move K and D by exact thirds: a row can put
// them on a bound of the table, not just near it.
QVector<Stock> exactStochasticBars(const QVector<float>& rsvs)
{
    return stochasticBars(rsvs, 0, 100, 100);
}

} // namespace

class TestIndicatorScanners : public QObject
{
    Q_OBJECT

private slots:
    void movingAverageCrossOnLastBar_data();
    void movingAverageCrossOnLastBar();
    void macdCrossesAndSupport_data();
    void macdCrossesAndSupport();
    void volumeCrossesAndSurge_data();
    void volumeCrossesAndSurge();
    void volumeLevelOfLastBar_data();
    void volumeLevelOfLastBar();
    void gapBetweenLastTwoBars_data();
    void gapBetweenLastTwoBars();
    void kdjZonesAndCrosses_data();
    void kdjZonesAndCrosses();
    void newSixtyDayExtremes_data();
    void newSixtyDayExtremes();
    void fallingRun_data();
    void fallingRun();
    void reusedScannerForgetsPreviousStock();
};

void TestIndicatorScanners::movingAverageCrossOnLastBar_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("golden cross") << SeriesBuilder().flat(15, 10).closes({9, 9, 9, 9, 15}).bars() << 0
                                  << QStringList{"5,10日均线金叉"};
    QTest::newRow("death cross") << SeriesBuilder().flat(15, 10).closes({11, 11, 11, 11, 5}).bars() << 1
                                 << QStringList{"5,10日均线死叉"};
    QTest::newRow("equal on previous bar") << SeriesBuilder().flat(19, 10).closes({15}).bars() << -1 << none;
    QTest::newRow("equal on last bar") << SeriesBuilder().flat(15, 10).closes({9, 9, 9, 9, 14}).bars() << -1
                                       << none;
    QTest::newRow("death: equal on previous bar") << SeriesBuilder().flat(19, 10).closes({5}).bars() << -1 << none;
    QTest::newRow("death: equal on last bar") << SeriesBuilder().flat(15, 10).closes({11, 11, 11, 11, 6}).bars()
                                              << -1 << none;
    QTest::newRow("19 bars") << SeriesBuilder().flat(14, 10).closes({9, 9, 9, 9, 15}).bars() << -1 << none;
    QTest::newRow("empty") << QVector<Stock>() << -1 << none;
}

void TestIndicatorScanners::movingAverageCrossOnLastBar()
{
    StockMaNScanner scanner;
    verifyScan(scanner);
}

void TestIndicatorScanners::macdCrossesAndSupport_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("golden cross") << SeriesBuilder().flat(28, 10).closes({9.5f, 9, 12}).bars() << 0
                                  << QStringList{"MACD金叉"};
    QTest::newRow("death cross") << SeriesBuilder().flat(28, 10).closes({10.5f, 11, 8}).bars() << 1
                                 << QStringList{"MACD死叉"};
    // The gap between DIFF and DEA narrows on a pause and widens on the next rise.
    QTest::newRow("support") << SeriesBuilder().flat(20, 10).ramp(8, 11.6f).closes({11.5f, 11.5f, 12.5f}).bars()
                             << 0 << QStringList{"MACD支撑"};
    // The same rise ending in a pause (the gap keeps narrowing) or in a steady
    // climb (it kept widening): no support either way.
    QTest::newRow("gap still narrowing")
        << SeriesBuilder().flat(20, 10).ramp(8, 11.6f).closes({11.5f, 11.5f, 11.5f}).bars() << -1 << none;
    QTest::newRow("gap widening twice")
        << SeriesBuilder().flat(20, 10).ramp(8, 11.6f).closes({11.5f, 12, 12.5f}).bars() << -1 << none;
    // DIFF and DEA are both 0 on the flat bars: the last bar leaves equal
    // lines, it does not cross them.
    QTest::newRow("rise from equal lines") << SeriesBuilder().flat(30, 10).closes({12}).bars() << -1 << none;
    QTest::newRow("fall from equal lines") << SeriesBuilder().flat(30, 10).closes({8}).bars() << -1 << none;
    QTest::newRow("flat") << SeriesBuilder().flat(31, 10).bars() << -1 << none;
    QTest::newRow("golden cross in 30 bars") << SeriesBuilder().flat(27, 10).closes({9.5f, 9, 12}).bars() << -1
                                             << none;
}

void TestIndicatorScanners::macdCrossesAndSupport()
{
    StockMACDScanner scanner;
    verifyScan(scanner);
}

void TestIndicatorScanners::volumeCrossesAndSurge_data()
{
    addScanColumns();
    const QStringList none;
    const QString golden510 = "5,10日成交量金叉";
    const QString death510 = "5,10日成交量死叉";
    const QString golden1060 = "10,60日成交量金叉";
    const QString death1060 = "10,60日成交量死叉";

    QTest::newRow("5,10 golden cross") << SeriesBuilder().volumes(10, 1000).volumes(9, 900).volumes({1500}).bars()
                                       << 1 << QStringList{golden510};
    QTest::newRow("double golden cross")
        << SeriesBuilder().volumes(61, 1000).volumes(8, 900).volumes({3000}).bars() << 0
        << QStringList{golden510, golden1060};
    QTest::newRow("double death cross") << SeriesBuilder().volumes(61, 1000).volumes(8, 1100).volumes({100}).bars()
                                        << 1 << QStringList{death510, death1060};
    // A spike leaving the 10-day window pulls MA10 under MA60 while MA5 rises.
    QTest::newRow("5,10 golden with 10,60 death")
        << SeriesBuilder().volumes(50, 1000).volumes({5000}).volumes(9, 1000).volumes({1200}).bars() << 1
        << QStringList{golden510};
    QTest::newRow("10,60 golden cross")
        << SeriesBuilder().volumes(50, 1000).volumes({200}).volumes(9, 1000).volumes({1500}).bars() << 1
        << QStringList{golden1060};
    QTest::newRow("10,60 death cross at 61 bars")
        << SeriesBuilder().volumes(50, 1000).volumes({3000}).volumes(9, 1000).volumes({500}).bars() << 1
        << QStringList{death1060};
    // At 60 bars the previous 60-day average does not exist yet.
    QTest::newRow("no 10,60 cross against missing average")
        << SeriesBuilder().volumes(49, 1000).volumes({3000}).volumes(9, 1000).volumes({500}).bars() << -1 << none;
    QTest::newRow("surge") << SeriesBuilder().volumes(20, 100).volumes(21, 1000).bars() << 1
                           << QStringList{"近20日放量"};
    QTest::newRow("below three times") << SeriesBuilder().volumes(20, 400).volumes(21, 1000).bars() << -1 << none;
    // The two periods share bar n-21: 20 bars at 90 and the shared one at
    // 300 average 100, the 21 recent bars 300, 305 or 295 on average.
    QTest::newRow("exactly three times") << SeriesBuilder().volumes(20, 90).volumes(21, 300).bars() << -1 << none;
    QTest::newRow("3.05 times") << SeriesBuilder().volumes(20, 90).volumes({300}).volumes(20, 305.25f).bars() << 1
                                << QStringList{"近20日放量"};
    QTest::newRow("2.95 times") << SeriesBuilder().volumes(20, 90).volumes({300}).volumes(20, 294.75f).bars() << -1
                                << none;
    QTest::newRow("shared bar counts into the earlier period")
        << SeriesBuilder().volumes(20, 100).volumes({5000}).volumes(20, 100).bars() << -1 << none;
    QTest::newRow("shared bar counts into the recent period")
        << SeriesBuilder().volumes(20, 100).volumes({1}).volumes(20, 295).bars() << -1 << none;
    QTest::newRow("first bar of the earlier period")
        << SeriesBuilder().volumes({5000}).volumes(19, 100).volumes(21, 1000).bars() << -1 << none;
    QTest::newRow("bar before the earlier period")
        << SeriesBuilder().volumes({5000}).volumes(20, 100).volumes(21, 1000).bars() << 1 << QStringList{"近20日放量"};
    QTest::newRow("surge needs 41 bars") << SeriesBuilder().volumes(19, 100).volumes(21, 1000).bars() << -1
                                         << none;
    QTest::newRow("19 bars") << SeriesBuilder().volumes(10, 1000).volumes(8, 900).volumes({1500}).bars() << -1
                             << none;
}

void TestIndicatorScanners::volumeCrossesAndSurge()
{
    StockVolScanner scanner;
    verifyScan(scanner);
}

void TestIndicatorScanners::volumeLevelOfLastBar_data()
{
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");
    // The last five volumes always average 100, the last one included.
    QTest::newRow("shrinking") << SeriesBuilder().volumes({100, 100, 100, 100, 115, 85}).bars() << 1
                               << "成交量缩量";
    QTest::newRow("0.86 of the average") << SeriesBuilder().volumes({100, 100, 100, 100, 114, 86}).bars() << 0
                                         << "成交量平量";
    QTest::newRow("1.16 of the average") << SeriesBuilder().volumes({100, 100, 100, 100, 84, 116}).bars() << 0
                                         << "成交量平量";
    QTest::newRow("growing") << SeriesBuilder().volumes({100, 100, 100, 100, 83, 117}).bars() << 2
                             << "成交量放量";
    QTest::newRow("1.162 of the average") << SeriesBuilder().volumes({1000, 1000, 1000, 1000, 838, 1162}).bars() << 0
                                          << "成交量平量";
    QTest::newRow("1.1615 of the average")
        << SeriesBuilder().volumes({1000, 1000, 1000, 1000, 838.5f, 1161.5f}).bars() << 0 << "成交量平量";
    QTest::newRow("1.1625 of the average")
        << SeriesBuilder().volumes({1000, 1000, 1000, 1000, 837.5f, 1162.5f}).bars() << 2 << "成交量放量";
    // The average takes the last five volumes: the fifth from the end counts,
    // the sixth does not.
    QTest::newRow("fifth volume from the end") << SeriesBuilder().volumes({100, 200, 100, 100, 100, 100}).bars() << 1
                                                << "成交量缩量";
    QTest::newRow("sixth volume from the end") << SeriesBuilder().volumes({400, 100, 100, 100, 100, 100}).bars() << 0
                                                << "成交量平量";
    QTest::newRow("5 bars") << SeriesBuilder().volumes({100, 100, 100, 100, 10}).bars() << -1 << "unchanged";
}

void TestIndicatorScanners::volumeLevelOfLastBar()
{
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, level);
    QFETCH(QString, text);
    QString out = QStringLiteral("unchanged");
    QCOMPARE(volumeLevel(QString(), bars, &out), level);
    QCOMPARE(out, text);
    QCOMPARE(volumeLevel(QString(), bars, nullptr), level);
}

void TestIndicatorScanners::gapBetweenLastTwoBars_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("upward gap")
        << SeriesBuilder().flat(3, 10).add(ohlc(10, 10, 9.5f, 10)).add(ohlc(10.6f, 11, 10.5f, 10.8f)).bars() << 0
        << QStringList{"看涨缺口幅度:5.00"};
    QTest::newRow("downward gap")
        << SeriesBuilder().flat(3, 10).add(ohlc(10, 10.5f, 10, 10.2f)).add(ohlc(7.9f, 8, 7.5f, 7.6f)).bars() << 1
        << QStringList{"看跌缺口幅度:25.00"};
    QTest::newRow("touching bars")
        << SeriesBuilder().flat(3, 10).add(ohlc(10, 10, 9.5f, 10)).add(ohlc(10.5f, 11, 10, 10.8f)).bars() << -1 << none;
    QTest::newRow("touching bars downwards")
        << SeriesBuilder().flat(3, 10).add(ohlc(10, 10.5f, 10, 10.2f)).add(ohlc(9.9f, 10, 9.5f, 9.6f)).bars() << -1
        << none;
    // Only the bar before the last counts, not the ones in front of it.
    QTest::newRow("upward gap after a higher bar")
        << SeriesBuilder().flat(3, 12).add(ohlc(10, 10, 9.5f, 10)).add(ohlc(10.6f, 11, 10.5f, 10.8f)).bars() << 0
        << QStringList{"看涨缺口幅度:5.00"};
    QTest::newRow("downward gap after a lower bar")
        << SeriesBuilder().flat(3, 5).add(ohlc(10, 10.5f, 10, 10.2f)).add(ohlc(7.9f, 8, 7.5f, 7.6f)).bars() << 1
        << QStringList{"看跌缺口幅度:25.00"};
    // A bar without prices (a suspension day) must not turn into an endless percentage.
    QTest::newRow("previous bar without prices")
        << SeriesBuilder().flat(3, 10).add(ohlc(0, 0, 0, 0)).add(ohlc(10, 10.5f, 9.8f, 10.2f)).bars() << -1 << none;
    QTest::newRow("last bar without prices")
        << SeriesBuilder().flat(3, 10).add(ohlc(10, 10, 10, 10)).add(ohlc(0, 0, 0, 0)).bars() << -1 << none;
    QTest::newRow("4 bars")
        << SeriesBuilder().flat(2, 10).add(ohlc(10, 10, 9.5f, 10)).add(ohlc(10.6f, 11, 10.5f, 10.8f)).bars() << -1
        << none;
}

void TestIndicatorScanners::gapBetweenLastTwoBars()
{
    BreachScanner scanner;
    verifyScan(scanner);
}

void TestIndicatorScanners::kdjZonesAndCrosses_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("oversold") << stochasticBars({0, 0, 0, 0, 0}) << 1 << QStringList{"KDJ超卖"};
    QTest::newRow("overbought") << stochasticBars(repeated(12, 100)) << 2 << QStringList{"KDJ超买"};
    QTest::newRow("overbought death cross") << stochasticBars(repeated(12, 100) << 90) << 6
                                            << QStringList{"KDJ超买死叉"};
    QTest::newRow("oversold golden cross") << stochasticBars(repeated(3, 100) + repeated(8, 0) << 30) << 5
                                           << QStringList{"KDJ超卖金叉"};
    QTest::newRow("middle golden cross") << stochasticBars({100, 100, 0, 0, 0, 100}) << 3
                                         << QStringList{"DJ中线金叉"};
    // K ends at 42.4: a golden cross below the middle band and above oversold.
    QTest::newRow("golden cross below middle") << stochasticBars({100, 100, 0, 0, 0, 90}) << -1 << none;
    QTest::newRow("death cross") << stochasticBars({100, 100, 100, 0, 0}) << 4 << QStringList{"KDJ死叉"};
    QTest::newRow("11 bars") << stochasticBars({0, 0}) << -1 << none;
    QTest::newRow("12 bars") << stochasticBars({0, 0, 0}) << 1 << QStringList{"KDJ超卖"};
    // Near each bound of the table (K and D of the last bar in the names).
    QTest::newRow("golden cross at K 43.05") << stochasticBars({50, 10, 0, 100}) << 3 << QStringList{"DJ中线金叉"};
    QTest::newRow("golden cross at K 42.55") << stochasticBars({30, 20, 0, 100}) << -1 << none;
    QTest::newRow("golden cross at K 56.76") << stochasticBars({60, 100, 50, 0, 100}) << 3
                                             << QStringList{"DJ中线金叉"};
    QTest::newRow("golden cross at K 57.42") << stochasticBars({70, 100, 50, 0, 100}) << -1 << none;
    QTest::newRow("golden cross at K 22.92, D 14.01") << stochasticBars({0, 20, 0, 50}) << 5
                                                      << QStringList{"KDJ超卖金叉"};
    QTest::newRow("golden cross at K 23.29, D 12.15") << stochasticBars({0, 0, 0, 60}) << -1 << none;
    QTest::newRow("K 23.09, D 13.62") << stochasticBars({10, 0, 50}) << -1 << none;
    QTest::newRow("K 17.17, D 23.1") << stochasticBars({10, 100, 30, 0, 0}) << -1 << none;
    QTest::newRow("K 22.8, D 23.84") << stochasticBars({100, 20, 0, 20}) << -1 << none;
    QTest::newRow("death cross at K 80.21, D 80.4") << stochasticBars({100, 100, 100, 100, 90, 100, 90, 60}) << 6
                                                    << QStringList{"KDJ超买死叉"};
    QTest::newRow("death cross at K 79.71, D 80.24") << stochasticBars({100, 100, 100, 100, 100, 90, 90, 60}) << 4
                                                     << QStringList{"KDJ死叉"};
    QTest::newRow("K 79.81, D 80.09") << stochasticBars({100, 100, 100, 100, 100, 90, 90, 60, 80}) << -1 << none;
    QTest::newRow("K 87.47, D 79.55") << stochasticBars({100, 100, 100, 90, 100, 100, 80}) << -1 << none;
    QTest::newRow("K 80.58, D 55.45") << stochasticBars({70, 100, 100, 100}) << -1 << none;
    // On each bound exactly (K and D of the previous and the last bar in the names).
    QTest::newRow("golden cross from 18/20 to K 43") << exactStochasticBars({63, 78, 1, 0, 93}) << 3
                                                     << QStringList{"DJ中线金叉"};
    QTest::newRow("golden cross from 36/38 to K 57") << exactStochasticBars({63, 78, 100, 39, 2, 99}) << 3
                                                     << QStringList{"DJ中线金叉"};
    QTest::newRow("golden cross to K 23, D 15.67") << exactStochasticBars({63, 24, 1, 0, 49}) << -1 << none;
    QTest::newRow("K 21, D 23") << exactStochasticBars({63, 78, 28, 0, 15}) << -1 << none;
    QTest::newRow("death cross from 91/81 to K 80, D 80.67")
        << exactStochasticBars({81, 90, 96, 97, 96, 97, 96, 93, 58}) << 4 << QStringList{"KDJ死叉"};
    QTest::newRow("K and D both 80, K falling from 92") << exactStochasticBars({36, 96, 94, 100, 96, 98, 98, 96, 56})
                                                        << 2 << QStringList{"KDJ超买"};
    // Lines that meet or part without crossing: no cross either way.
    QTest::newRow("K up from 12/12 to 12.33/12.11") << exactStochasticBars({81, 0, 0, 13}) << 1
                                                    << QStringList{"KDJ超卖"};
    QTest::newRow("K up from 10/12 onto D at 12") << exactStochasticBars({63, 24, 1, 0, 16}) << 1
                                                  << QStringList{"KDJ超卖"};
    QTest::newRow("K down from 18/12 onto D at 12") << exactStochasticBars({81, 0, 0}) << 1 << QStringList{"KDJ超卖"};
    // The window's lowest low and highest high come from any of its nine
    // bars: one low (or high) eight bars back sets where today's close
    // stands (60 % and 47.5 % of the range, not 20 % and 95 %).
    SeriesBuilder lowEarlier = SeriesBuilder().flat(9, 15, 5).add(ohlc(12, 20, 0, 12));
    SeriesBuilder highEarlier = SeriesBuilder().flat(9, 15, 5).add(ohlc(19.5f, 30, 10, 19.5f));
    for (int i = 0; i < 8; ++i) {
        lowEarlier.add(ohlc(12, 20, 10, 12));
        highEarlier.add(ohlc(19.5f, 20, 10, 19.5f));
    }
    QTest::newRow("lowest low eight bars back") << lowEarlier.bars() << -1 << none;
    QTest::newRow("highest high eight bars back") << highEarlier.bars() << -1 << none;
    // Nine bars back the low has left the window: the close falls from 60 %
    // to 20 % of the range, K under D.
    QTest::newRow("lowest low nine bars back") << lowEarlier.add(ohlc(12, 20, 10, 12)).bars() << 4
                                               << QStringList{"KDJ死叉"};
}

void TestIndicatorScanners::kdjZonesAndCrosses()
{
    StockKDJScanner scanner;
    verifyScan(scanner);
}

void TestIndicatorScanners::newSixtyDayExtremes_data()
{
    addScanColumns();
    const QStringList none;
    QTest::newRow("new high") << SeriesBuilder().flat(60, 10, 0.5f).add(ohlc(11, 12.5f, 10.9f, 12)).bars() << 0
                              << QStringList{"60日新高,前60日最高:10.5"};
    QTest::newRow("new low") << SeriesBuilder().flat(60, 10, 0.5f).add(ohlc(9, 9.1f, 8, 8.5f)).bars() << 0
                             << QStringList{"60日新低,前60日最低:9.5"};
    // The range reaches 61 bars back, and the earlier extreme is that of the
    // 60 bars before the last.
    QTest::newRow("higher bar first in the range")
        << SeriesBuilder().flat(9, 10, 0.5f).add(ohlc(10, 13, 10, 10)).flat(59, 10, 0.5f).add(ohlc(11, 12.5f, 10.9f, 12)).bars()
        << -1 << none;
    QTest::newRow("higher bar before the range")
        << SeriesBuilder().flat(8, 10, 0.5f).add(ohlc(10, 13, 10, 10)).flat(60, 10, 0.5f).add(ohlc(11, 12.5f, 10.9f, 12)).bars()
        << 0 << QStringList{"60日新高,前60日最高:10.5"};
    QTest::newRow("earlier high first in the range")
        << SeriesBuilder().flat(9, 10, 0.5f).add(ohlc(10, 12, 10, 10)).flat(59, 10, 0.5f).add(ohlc(11, 12.5f, 10.9f, 12)).bars()
        << 0 << QStringList{"60日新高,前60日最高:12"};
    QTest::newRow("earlier high on the day before")
        << SeriesBuilder().flat(69, 10, 0.5f).add(ohlc(10, 11, 10, 10)).add(ohlc(11, 12.5f, 10.9f, 12)).bars() << 0
        << QStringList{"60日新高,前60日最高:11"};
    QTest::newRow("earlier low first in the range")
        << SeriesBuilder().flat(9, 10, 0.5f).add(ohlc(10, 10, 8.5f, 10)).flat(59, 10, 0.5f).add(ohlc(9, 9.1f, 8, 8.5f)).bars()
        << 0 << QStringList{"60日新低,前60日最低:8.5"};
    QTest::newRow("earlier low on the day before")
        << SeriesBuilder().flat(69, 10, 0.5f).add(ohlc(10, 10, 9, 10)).add(ohlc(9, 9.1f, 8, 8.5f)).bars() << 0
        << QStringList{"60日新低,前60日最低:9"};
    QTest::newRow("new low, six significant digits")
        << SeriesBuilder().flat(60, 1234.5678f).add(ohlc(1200, 1200, 1190, 1200)).bars() << 0
        << QStringList{"60日新低,前60日最低:1234.57"};
    QTest::newRow("equal to earlier high")
        << SeriesBuilder().flat(60, 10, 0.5f).add(ohlc(10, 10.5f, 9.8f, 10.2f)).bars() << -1 << none;
    QTest::newRow("flat") << SeriesBuilder().flat(61, 10, 0.5f).bars() << -1 << none;
    QTest::newRow("60 bars") << SeriesBuilder().flat(59, 10, 0.5f).add(ohlc(11, 12.5f, 10.9f, 12)).bars() << -1 << none;
    // Index levels lie far above any fixed search ceiling.
    QTest::newRow("index level") << SeriesBuilder().flat(60, 12000, 50).add(ohlc(12100, 12500, 12050, 12400)).bars()
                                 << 0 << QStringList{"60日新高,前60日最高:12050"};
    QTest::newRow("six significant digits")
        << SeriesBuilder().flat(60, 1234.5678f).add(ohlc(1300, 1300, 1290, 1300)).bars() << 0
        << QStringList{"60日新高,前60日最高:1234.57"};
}

void TestIndicatorScanners::newSixtyDayExtremes()
{
    PricePositionScanner scanner;
    verifyScan(scanner);
}

void TestIndicatorScanners::fallingRun_data()
{
    QTest::addColumn<int>("days");
    addScanColumns();
    const QStringList none;
    // A close of 10, then three days.
    auto days = [](const Stock& a, const Stock& b, const Stock& c) {
        return SeriesBuilder().closes({10}).add(a).add(b).add(c).bars();
    };
    const QVector<Stock> run = days(ohlc(10, 10, 9.5f, 9.6f), ohlc(9.7f, 9.7f, 9.3f, 9.4f), ohlc(9.3f, 9.3f, 9, 9.1f));
    QTest::newRow("three falling days") << 3 << run << 0 << QStringList{"连跌3天反弹可期"};
    QTest::newRow("two of three") << 2 << run << 0 << QStringList{"连跌2天反弹可期"};
    QTest::newRow("only the run itself") << 3 << run.mid(1) << -1 << none;
    QTest::newRow("falling bar above previous close")
        << 3 << days(ohlc(10, 10, 9.5f, 9.6f), ohlc(9.9f, 9.9f, 9.6f, 9.7f), ohlc(9.3f, 9.3f, 9, 9.1f)) << -1 << none;
    QTest::newRow("rising last bar")
        << 3 << days(ohlc(10, 10, 9.5f, 9.6f), ohlc(9.7f, 9.7f, 9.3f, 9.4f), ohlc(9, 9.3f, 9, 9.2f)) << -1 << none;
    QTest::newRow("doji in the run")
        << 3 << days(ohlc(10, 10, 9.5f, 9.6f), ohlc(9.4f, 9.7f, 9.3f, 9.4f), ohlc(9.3f, 9.3f, 9, 9.1f)) << -1 << none;
    QTest::newRow("close equal to the previous close")
        << 3 << days(ohlc(10, 10, 9.5f, 9.6f), ohlc(9.7f, 9.7f, 9.3f, 9.6f), ohlc(9.3f, 9.3f, 9, 9.1f)) << -1 << none;
    QTest::newRow("one day") << 1 << run << 0 << QStringList{"连跌1天反弹可期"};
    QTest::newRow("zero days") << 0 << run << -1 << none;
}

void TestIndicatorScanners::fallingRun()
{
    QFETCH(int, days);
    LianDieNDaysScanner scanner(days);
    verifyScan(scanner);
}

void TestIndicatorScanners::reusedScannerForgetsPreviousStock()
{
    // A long rally leaves every indicator far from the state of the next stock.
    const QVector<Stock> previous = SeriesBuilder().flat(100, 50, 1).ramp(50, 80, 1).bars();
    const QVector<QVector<Stock>> next = {
        SeriesBuilder().flat(28, 10).closes({9.5f, 9, 12}).bars(),
        SeriesBuilder().volumes(10, 1000).volumes(9, 900).volumes({1500}).bars(),
        stochasticBars({100, 100, 0, 0, 0, 100}),
        SeriesBuilder().flat(15, 10).closes({9, 9, 9, 9, 15}).bars(),
    };
    const QVector<std::function<StockScanner*()>> makers = {
        [] { return new StockMaNScanner; },
        [] { return new StockMACDScanner; },
        [] { return new StockVolScanner; },
        [] { return new StockKDJScanner; },
    };
    for (const auto& make : makers) {
        std::unique_ptr<StockScanner> reused(make());
        for (const QVector<Stock>& bars : next) {
            std::unique_ptr<StockScanner> fresh(make());
            QStringList reusedTexts;
            QStringList freshTexts;
            reused->scan(QString(), previous, nullptr);
            QCOMPARE(reused->scan(QString(), bars, &reusedTexts), fresh->scan(QString(), bars, &freshTexts));
            QCOMPARE(reusedTexts, freshTexts);
        }
    }
}

QTEST_APPLESS_MAIN(TestIndicatorScanners)
#include "tst_indicatorscanners.moc"
