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

// The bar indices of the points a scan found.
QVector<int> indicesOf(const QVector<TrendPoint>& points)
{
    QVector<int> indices;
    for (const TrendPoint& point : points)
        indices << point.first;
    return indices;
}

// y = 10 + 0.1 x: the line the rays below run along.
float rayLine(int i)
{
    return 10 + 0.1f * i;
}

// `count` dojis: bar 0 high at 20, then odd bars on the line and even bars one
// unit above it, the last bar on the line; `moved` gives other closes to some bars.
QVector<Stock> raySeries(int count, const QMap<int, float>& moved = {})
{
    SeriesBuilder b;
    b.closes({20});
    for (int i = 1; i < count; ++i)
        b.closes({moved.value(i, rayLine(i) + (i % 2 == 0 && i != count - 1 ? 1 : 0))});
    return b.bars();
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

    // Touches on the least interval and on the tolerance, and just inside it.
    void touchesOnTheirBounds_data()
    {
        QTest::addColumn<QVector<float>>("closes");
        QTest::addColumn<float>("delta");
        QTest::addColumn<QVector<int>>("touches");
        QTest::newRow("touches exactly three days apart")
            << QVector<float>{11, 11, 11, 11, 10, 11, 11, 10, 11, 11, 10} << 0.03f << QVector<int>{10, 7, 4};
        // At 1 % the tolerance around 12.5 is 0.125: a bar at 12.625 lies on
        // it and is no touch, one at 12.6 lies inside.
        QTest::newRow("bars exactly one tolerance above")
            << QVector<float>{13, 13, 13, 12.625f, 13, 13, 12.625f, 13, 13, 12.5f} << 1.0f << QVector<int>{};
        QTest::newRow("bars just inside the tolerance")
            << QVector<float>{13, 13, 13, 12.6f, 13, 13, 12.6f, 13, 13, 12.5f} << 1.0f << QVector<int>{9, 6, 3};
    }

    void touchesOnTheirBounds()
    {
        QFETCH(QVector<float>, closes);
        QFETCH(float, delta);
        QFETCH(QVector<int>, touches);
        TrendParams params;
        params.delta = delta;
        QVector<TrendPoint> points;
        QCOMPARE(scanLine(0, ::closes(closes), &points, params), touches.isEmpty() ? -1 : 0);
        QCOMPARE(indicesOf(points), touches);
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
        const QVector<Stock> ray = raySeries(30);
        StockTrendScanner s;
        QCOMPARE(s.scanSlopedLine("600000", ray, nullptr), 0);
        QCOMPARE(s.points.size(), 7);
        QCOMPARE(s.points.first().first, 3);
        QCOMPARE(s.points.last().first, 27);

        // Flat: no slope.
        StockTrendScanner flat;
        QCOMPARE(flat.scanSlopedLine("600000", SeriesBuilder().flat(30, 10).bars(), nullptr), -1);
        // The last bar far above the ray.
        QVector<Stock> away = ray;
        away.last().open = away.last().close = 20;
        StockTrendScanner far;
        QCOMPARE(far.scanSlopedLine("600000", away, nullptr), -1);
        StockTrendScanner shortSeries;
        QCOMPARE(shortSeries.scanSlopedLine("600000", ray.mid(0, 24), nullptr), -1);
    }

    // Each condition of a ray on its bound and just past it, on the series of
    // raySeries: from bar 1 to bar 29 it touches bars 3, 7, ..., 27 (seven
    // touches 24 bars apart) with the default settings.
    void rayConditionsOnTheirBounds_data()
    {
        QTest::addColumn<QVector<Stock>>("bars");
        QTest::addColumn<int>("minPoints");
        QTest::addColumn<int>("minSpan");
        QTest::addColumn<float>("k");
        QTest::addColumn<QVector<int>>("touches");
        const TrendParams d;
        const QVector<int> everyFourth{3, 7, 11, 15, 19, 23, 27};
        QTest::newRow("25 bars, the least") << raySeries(25) << d.minPoints << d.minSpan << d.k
                                            << QVector<int>{3, 7, 11, 15, 19, 23};
        QTest::newRow("touches exactly the least number") << raySeries(30) << 7 << d.minSpan << d.k << everyFourth;
        QTest::newRow("one touch too few") << raySeries(30) << 8 << d.minSpan << d.k << QVector<int>{};
        QTest::newRow("touches exactly the least span apart") << raySeries(30) << d.minPoints << 24 << d.k << everyFourth;
        QTest::newRow("touches one bar short of the span") << raySeries(30) << d.minPoints << 25 << d.k << QVector<int>{};
        // A ray rising a cent a day, from 10.00 on bar 1 to 10.25 on bar 26,
        // against a least slope of a cent a day and of 1.1 cents.
        QVector<float> cent{20};
        for (int i = 1; i <= 26; ++i)
            cent << float(999 + i) / 100 + (i % 2 == 0 && i != 26 ? 1 : 0);
        QTest::newRow("slope exactly the least") << closes(cent) << d.minPoints << d.minSpan << 1.f
                                                 << QVector<int>{3, 7, 11, 15, 19, 23};
        QTest::newRow("slope under the least") << closes(cent) << d.minPoints << d.minSpan << 1.1f << QVector<int>{};
        // Bars 27 and 28 above the line: the end bar 29 is no touch of its own.
        QTest::newRow("end bar not counted") << raySeries(30, {{27, rayLine(27) + 1}, {28, rayLine(28) + 1}})
                                             << d.minPoints << d.minSpan << d.k
                                             << QVector<int>{3, 7, 11, 15, 19, 23};
        // Every bar from 3 on the line: touches more than three bars apart.
        QMap<int, float> onLine;
        for (int i = 3; i < 30; ++i)
            onLine.insert(i, rayLine(i));
        QTest::newRow("touches four bars apart") << raySeries(30, onLine) << d.minPoints << d.minSpan << d.k
                                                 << everyFourth;
        // Bar 2 level with bar 3: the ray from bar 1 fails, the one from bar 3 holds.
        QTest::newRow("bar before the first touch level with it")
            << raySeries(30, {{2, rayLine(3)}}) << d.minPoints << d.minSpan << d.k
            << QVector<int>{5, 9, 13, 17, 21, 25};
        // Bars 27 and 28 above the line and bar 29's body reaching below it:
        // only the ray ending on bar 26, three bars before the last, holds.
        QVector<Stock> late = raySeries(30, {{26, rayLine(26)}, {27, rayLine(27) + 1}, {28, rayLine(28) + 1}});
        late[29] = StockBuilder(late.at(29)).open(rayLine(29) - 0.5f).close(rayLine(29) + 0.5f);
        QTest::newRow("ray ending three bars before the last") << late << d.minPoints << d.minSpan << d.k
                                                               << QVector<int>{7, 11, 15, 19, 23};
    }

    void rayConditionsOnTheirBounds()
    {
        QFETCH(QVector<Stock>, bars);
        QFETCH(int, minPoints);
        QFETCH(int, minSpan);
        QFETCH(float, k);
        QFETCH(QVector<int>, touches);
        TrendParams params;
        params.minPoints = minPoints;
        params.minSpan = minSpan;
        params.k = k;
        StockTrendScanner s(params);
        QCOMPARE(s.scanSlopedLine("600000", bars, nullptr), touches.isEmpty() ? -1 : 0);
        QCOMPARE(indicesOf(s.points), touches);
    }
};

QTEST_MAIN(TestStockTrendScanner)

#include "tst_stocktrendscanner.moc"
