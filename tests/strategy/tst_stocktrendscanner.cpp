#include "strategy/stocktrendscanner.h"

#include "tests/support/barbuilder.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QVector<Stock>)

namespace {

int scanLine(int type, const QVector<Stock>& bars, QVector<TrendPoint>* points = nullptr,
             const TrendParams& params = TrendParams())
{
    std::unique_ptr<StockTrendScanner> s(createTrendScanner(type, params));
    const int result = s->scan(QStringLiteral("600000"), bars, nullptr);
    if (points)
        *points = s->points;
    return result;
}

} // namespace

class TestStockTrendScanner : public QObject
{
    Q_OBJECT

private slots:
    void tooFewBarsGiveNoLine()
    {
        const QVector<Stock> nine = SeriesBuilder().flat(9, 10).bars();
        StockTrendScanner base;
        QCOMPARE(base.scan("600000", nine, nullptr), -1);
        QCOMPARE(base.scanSlopedLine("600000", nine, nullptr), -1);
        QCOMPARE(scanLine(0, nine), -1);
        QCOMPARE(scanLine(1, nine), -1);
        QCOMPARE(scanLine(0, SeriesBuilder().flat(10, 10).bars()), 0);
        QCOMPARE(createTrendScanner(2), nullptr);
        QCOMPARE(createTrendScanner(3), nullptr);
    }

    void bodyExtremesTakeTheFirstOnTies()
    {
        SeriesBuilder b;
        b.flat(3, 10).add(ohlc(9, 12, 8, 11)).flat(2, 10).add(ohlc(11, 12, 8, 9)).flat(3, 10);
        StockTrendScanner s;
        QCOMPARE(s.scan("600000", b.bars(), nullptr), 0);
        QCOMPARE(s.highIndex, 3);
        QCOMPARE(s.highValue, 11.f);
        QCOMPARE(s.lowIndex, 3);
        QCOMPARE(s.lowValue, 9.f);
    }

    void supportTouchesNewestFirstAndSpaced()
    {
        // Level 10 touched at bars 10, 6, 5 and 1; bars 6 and 5 are one day
        // apart, so only the newer counts.
        const QVector<Stock> bars = closes({11, 10, 11, 12, 11, 10, 10, 11, 12, 11, 10});
        QVector<TrendPoint> points;
        QCOMPARE(scanLine(0, bars, &points), 0);
        QCOMPARE(points, (QVector<TrendPoint>{{10, 10.f}, {6, 10.f}, {1, 10.f}}));

        TrendParams fourPoints;
        fourPoints.minPoints = 4;
        QCOMPARE(scanLine(0, bars, nullptr, fourPoints), -1);
    }

    void oneCloseBelowTheLevelBreaksIt()
    {
        // Same touches, but bar 3 closes below every tried level.
        const QVector<Stock> bars = closes({11, 10, 11, 8, 11, 10, 10, 11, 12, 11, 10});
        QCOMPARE(scanLine(0, bars), -1);
    }

    void lowerLevelsAreTriedInSteps()
    {
        // Last pick 10.0; the earlier bars sit at 9.4 and above: 10 and 9.8
        // break, 9.4 holds with three touches.
        const QVector<Stock> bars = closes({9.4f, 11, 11, 11, 9.4f, 11, 11, 11, 9.4f, 11, 10});
        QVector<TrendPoint> points;
        QCOMPARE(scanLine(0, bars, &points), 0);
        QCOMPARE(points.size(), 3);
        QCOMPARE(points.first().first, 8);
        QCOMPARE(points.last().first, 0);
        // A level only 4 % down is not among the tries.
        const QVector<Stock> at96 = closes({9.6f, 11, 11, 11, 9.6f, 11, 11, 11, 9.6f, 11, 10});
        QCOMPARE(scanLine(0, at96), -1);
    }

    void pressureMirrorsSupport()
    {
        const QVector<Stock> bars = closes({9, 10, 9, 8, 9, 10, 9, 8, 9, 9, 10});
        QVector<TrendPoint> points;
        QCOMPARE(scanLine(1, bars, &points), 0);
        QCOMPARE(points, (QVector<TrendPoint>{{10, 10.f}, {5, 10.f}, {1, 10.f}}));
        // A close above the level breaks a pressure line; 10.8 is above 10 x 1.08.
        QVector<Stock> broken = bars;
        broken[3].open = broken[3].close = 10.9f;
        QCOMPARE(scanLine(1, broken), -1);
    }

    void pickModesFollowTheSettingsNames_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<float>("support");
        QTest::addColumn<float>("pressure");
        // Bar: open 10, close 12, low 9, high 13.
        QTest::newRow("0 收盘价") << 0 << 12.f << 12.f;
        QTest::newRow("1 开盘价") << 1 << 10.f << 10.f;
        QTest::newRow("2 开收混合") << 2 << 10.f << 12.f;
        QTest::newRow("3 开收平均") << 3 << 11.f << 11.f;
        QTest::newRow("4 极点价") << 4 << 9.f << 13.f;
        QTest::newRow("other") << 7 << 11.f << 11.f;
    }
    void pickModesFollowTheSettingsNames()
    {
        QFETCH(int, type);
        QFETCH(float, support);
        QFETCH(float, pressure);
        TrendParams params;
        params.type = type;
        StockTrendScanner s(params);
        SeriesBuilder b;
        b.flat(9, 10).add(ohlc(10, 13, 9, 12));
        QCOMPARE(s.scan("600000", b.bars(), nullptr), 0);
        QCOMPARE(s.supportPick(9), support);
        QCOMPARE(s.pressurePick(9), pressure);
    }

    void risingRayThroughBodyBottoms()
    {
        // Odd bars lie on y = 10 + 0.1 x, even bars one unit above it; the
        // first bar is high. The ray runs from bar 1 to bar 29 and touches
        // every fourth bar from 3 on.
        SeriesBuilder b;
        b.closes({20});
        for (int i = 1; i < 30; ++i)
            b.closes({10 + 0.1f * i + (i % 2 == 0 ? 1 : 0)});
        StockTrendScanner s;
        QCOMPARE(s.scanSlopedLine("600000", b.bars(), nullptr), 0);
        QCOMPARE(s.points.size(), 7);
        QCOMPARE(s.points.first().first, 3);
        QCOMPARE(s.points.last().first, 27);

        // Flat: no slope.
        StockTrendScanner flat;
        QCOMPARE(flat.scanSlopedLine("600000", SeriesBuilder().flat(30, 10).bars(), nullptr), -1);
        // The last bar far above the ray.
        QVector<Stock> away = b.bars();
        away.last().open = away.last().close = 20;
        StockTrendScanner far;
        QCOMPARE(far.scanSlopedLine("600000", away, nullptr), -1);
        StockTrendScanner shortSeries;
        QCOMPARE(shortSeries.scanSlopedLine("600000", b.bars().mid(0, 24), nullptr), -1);
    }
};

QTEST_MAIN(TestStockTrendScanner)

#include "tst_stocktrendscanner.moc"
