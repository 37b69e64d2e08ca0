#include "strategy/fibonaccistrategy.h"

#include "tests/strategy/fibonacciseries.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QVector<Stock>)
Q_DECLARE_METATYPE(HotStockFibonacciParams)

namespace {

// Two zigzag legs up to earlierPeak, a leg up to lastPeak from a low of 10,
// a pull-back and a shrinking doji at x with a long upper shadow.
QVector<Stock> pullBackSeries(float earlierPeak, float lastPeak, float x)
{
    SeriesBuilder b;
    b.flat(1, 10).ramp(8, earlierPeak).ramp(8, 10).ramp(8, earlierPeak).ramp(8, 10).ramp(8, lastPeak);
    b.ramp(5, x + 0.15f);
    b.add(ohlc(x, x + 0.5f, x, x).volume(500));
    return b.bars();
}

// The pull-back of pullBackSeries(11.9, 12.5, ...) ending in a rising hammer
// that opens on the 0.5 level (11.25) and closes at 11.5; the four closes
// before it average 11.5 when `beforeLast` is 11.25.
QVector<Stock> pullBackToRisingHammer(float beforeLast)
{
    SeriesBuilder b;
    b.flat(1, 10).ramp(8, 11.9f).ramp(8, 10).ramp(8, 11.9f).ramp(8, 10).ramp(8, 12.5f);
    b.closes({12, 11.75f, 11.25f, 11.75f, beforeLast});
    b.add(ohlc(11.25f, 12.25f, 11.25f, 11.5f).volume(500));
    return b.bars();
}

// A 10-12 zigzag back at its low of 10, the given closes and a last bar on
// high volume: the breakout set-up when that bar breaks 12.
QVector<Stock> breakoutAfter(const QVector<float>& closes, const Stock& last)
{
    return zigzag(6).closes(closes).add(StockBuilder(last).volume(3000)).bars();
}

// From a high of 12.5 down to 10, up through the given closes to a last bar on
// high volume: the rebound set-up when that bar sits on a level.
QVector<Stock> reboundAfter(const QVector<float>& closes, const Stock& last)
{
    SeriesBuilder b;
    b.flat(1, 10.5f).ramp(8, 12).ramp(8, 10.5f).ramp(8, 12).ramp(8, 10.5f);
    b.ramp(6, 12.5f).ramp(6, 10).closes(closes);
    b.add(StockBuilder(last).volume(3000));
    return b.bars();
}

// A rise to 12 after the zigzag's lows of 10, the given closes (the last of
// them 10.25) and a last bar 7 % lower, at 9.5, under the lows.
QVector<Stock> breakdownAfter(const QVector<float>& closes)
{
    return zigzag(5).closes(closes).add(ohlc(10.25f, 10.25f, 9.5f, 9.5f)).bars();
}

// An 11-12 zigzag, a high of h0, a low of l, a high of h, the given closes and
// the last bars: the reversal-buy set-up projects h0 - l down from h.
QVector<Stock> reversalBuyAfter(float h0, float l, float h, const QVector<float>& closes,
                                const QVector<Stock>& last)
{
    SeriesBuilder b;
    b.flat(1, 11).ramp(8, 12).ramp(8, 11).ramp(8, 12).ramp(8, 11);
    b.ramp(6, h0).ramp(8, l).ramp(6, h).closes(closes);
    for (const Stock& bar : last)
        b.add(bar);
    return b.bars();
}

// A shrinking doji at x with an upper shadow, after closes from 11.4 to 9.6.
QVector<Stock> reversalBuyToDoji(float h0, float l, float h, float x)
{
    return reversalBuyAfter(h0, l, h, {11.4f, 10.8f, 10.2f, 9.6f}, {ohlc(x, x + 0.5f, x, x).volume(500)});
}

// A 10-11.5 zigzag, a low of firstLow, a high of 12, a second low, a climb
// back to x and a shooting star on high volume closing at x. The four closes
// before it are x, x, x and beforeLast.
QVector<Stock> reversalSellSeries(float firstLow, float secondLow, float x, float beforeLast)
{
    SeriesBuilder b;
    b.flat(1, 10).ramp(8, 11.5f).ramp(8, 10).ramp(8, 11.5f).ramp(8, firstLow);
    b.ramp(6, 12).ramp(4, secondLow).closes({11.5f, x, x, x, beforeLast});
    b.add(ohlc(x + 0.25f, x + 1, x, x).volume(3000));
    return b.bars();
}

HotStockFibonacciParams hotParams(int minSwing, float delta = 1.2f)
{
    HotStockFibonacciParams p;
    p.minSwing = minSwing;
    p.delta = delta;
    return p;
}

// A new stock that lists at 10, rises to 14 and pulls back to a shrinking
// doji at x with an upper shadow.
QVector<Stock> newStockPullBack(float x)
{
    SeriesBuilder b;
    b.flat(1, 10).ramp(10, 14).ramp(4, x + 0.15f);
    b.add(ohlc(x, x + 0.5f, x, x).volume(500));
    return b.bars();
}

// A new stock that lists at 10, rises to 14, falls to 11 and climbs back to a
// hanging man at x on high volume.
QVector<Stock> newStockRebound(float x)
{
    SeriesBuilder b;
    b.flat(1, 10).ramp(10, 14).ramp(6, 11).ramp(5, x - 0.2f);
    b.add(ohlc(x, x, x - 0.6f, x).volume(3000));
    return b.bars();
}

// A new stock that lists at 10, rises to 14, pulls back to 12, climbs to 13.5,
// closes at beforeLast and ends on `last`, on high volume.
QVector<Stock> newStockBreakout(float beforeLast, const Stock& last)
{
    SeriesBuilder b;
    b.flat(1, 10).ramp(10, 14).ramp(6, 12).ramp(5, 13.5f).closes({beforeLast});
    b.add(StockBuilder(last).volume(3000));
    return b.bars();
}

int scanType(int type, const QVector<Stock>& bars, QStringList* out = nullptr,
             const HotStockFibonacciParams& params = HotStockFibonacciParams())
{
    std::unique_ptr<StockHotStockFibonacciScanner> s(createFibonacciScanner(type, params));
    return s->scan(QStringLiteral("600000"), bars, out);
}

int scanNewType(int type, const QVector<Stock>& bars, QStringList* out = nullptr,
                const NewStockFibonacciParams& params = NewStockFibonacciParams())
{
    std::unique_ptr<StockNewStockFibonacciScanner> s(createNewStockFibonacciScanner(type, params));
    return s->scan(QStringLiteral("600000"), bars, out);
}

} // namespace

class TestFibonacciStrategy : public QObject
{
    Q_OBJECT

private slots:
    void maTurnsCountDirectionChanges_data()
    {
        QTest::addColumn<QVector<Stock>>("bars");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("rising");
        QTest::addColumn<QVector<int>>("turns");

        QTest::newRow("only rising") << SeriesBuilder().flat(1, 10).ramp(10, 20).bars() << 1 << true
                                     << QVector<int>{};
        QTest::newRow("flat then rising") << SeriesBuilder().flat(8, 10).ramp(6, 12).bars() << 1 << true
                                          << QVector<int>{};
        // Average of 3: 10,10,10 | falls from bar 3, flat again, rises from bar 9.
        QTest::newRow("fall, flat, rise")
            << SeriesBuilder().flat(3, 10).closes({9, 9, 9, 9, 9, 9, 12}).bars() << 3 << true
            << QVector<int>{3, 9};
        QTest::newRow("too few bars for the average") << SeriesBuilder().closes({1, 5}).bars() << 1 << true
                                                      << QVector<int>{};
    }
    void maTurnsCountDirectionChanges()
    {
        QFETCH(QVector<Stock>, bars);
        QFETCH(int, count);
        QFETCH(bool, rising);
        QFETCH(QVector<int>, turns);
        QVector<int> found{99};
        const MaTurns t = countMaTurns(bars, 3, &found);
        QCOMPARE(t.count, count);
        QCOMPARE(t.rising, rising);
        QCOMPARE(found, turns);
    }

    void zigzagTurnsOncePerLeg()
    {
        QVector<int> turns;
        QCOMPARE(countMaTurns(zigzag(6).bars(), 6, &turns).count, 6);
        QCOMPARE(turns.size(), 5);
    }

    void baseScanNeedsLengthAndThreeTurns()
    {
        StockHotStockFibonacciScanner base;
        // D = 20: 43 bars are too few, 44 pass when the average turned three times.
        SeriesBuilder b = zigzag(5);
        b.flat(44 - b.size(), 10);
        QVector<Stock> bars = b.bars();
        QCOMPARE(bars.size(), 44);
        QCOMPARE(base.scan("600000", bars, nullptr), 0);
        QVERIFY(base.turnCount >= 4);
        QCOMPARE(base.ma5.size(), 44);
        QVERIFY(base.ma5.last().valid);
        bars.removeFirst();
        StockHotStockFibonacciScanner shorter;
        QCOMPARE(shorter.scan("600000", bars, nullptr), -1);

        // Three turns (a count of 4) are enough, two are not.
        StockHotStockFibonacciScanner fourLegs;
        QCOMPARE(fourLegs.scan("600000", zigzag(4).flat(11, 10).bars(), nullptr), 0);
        QCOMPARE(fourLegs.turnCount, 4);
        StockHotStockFibonacciScanner threeLegs;
        QCOMPARE(threeLegs.scan("600000", zigzag(3).flat(19, 12).bars(), nullptr), -1);
        QCOMPARE(threeLegs.turnCount, 3);

        StockHotStockFibonacciScanner oneWay;
        QCOMPARE(oneWay.scan("600000", SeriesBuilder().flat(1, 10).ramp(60, 30).bars(), nullptr), -1);
        QCOMPARE(oneWay.turnCount, 1);
    }

    void volumeExpansionOnlyWhenSwitchedOn()
    {
        QVector<Stock> bars = zigzag(6).bars();
        HotStockFibonacciParams params;
        StockHotStockFibonacciScanner off(params);
        QCOMPARE(off.scan("600000", bars, nullptr), 0);

        params.volumeTest = true;
        StockHotStockFibonacciScanner evenVolume(params);
        QCOMPARE(evenVolume.scan("600000", bars, nullptr), -1);

        // Recent 22 bars on four times the volume of the 22 before (the
        // windows share one bar).
        for (int i = bars.size() - 22; i < bars.size(); ++i)
            bars[i].volume = 4000;
        StockHotStockFibonacciScanner expanded(params);
        QCOMPARE(expanded.scan("600000", bars, nullptr), 0);
        params.volRatio = 3.6f;
        StockHotStockFibonacciScanner notEnough(params);
        QCOMPARE(notEnough.scan("600000", bars, nullptr), -1);

        // The shared bar at 1000, the 21 after it summing 65000: the recent
        // average is exactly three times the earlier one, which is enough.
        params.volRatio = 3.0f;
        QVector<Stock> exact = zigzag(6).bars();
        for (int i = exact.size() - 21; i < exact.size(); ++i)
            exact[i].volume = 3000;
        exact.last().volume = 5000;
        StockHotStockFibonacciScanner threeTimes(params);
        QCOMPARE(threeTimes.scan("600000", exact, nullptr), 0);
        exact.last().volume = 4999;
        StockHotStockFibonacciScanner justUnder(params);
        QCOMPARE(justUnder.scan("600000", exact, nullptr), -1);
    }

    void pullBackBuyNeedsNewHighAndLevel()
    {
        // Peaks at 11.9, then a new high of 12.5 over a low of 10; the last bar,
        // a shrinking upper-shadow doji at 11.25, sits on the 0.5 level.
        const QVector<Stock> bars = pullBackSeries(11.9f, 12.5f, 11.25f);
        QStringList out;
        std::unique_ptr<StockHotStockFibonacciScanner> s(createFibonacciScanner(0));
        QCOMPARE(s->scan("600000", bars, &out), 0);
        QCOMPARE(out.mid(0, 3), (QStringList{QStringLiteral("斐波那契分割线:0.5"), QStringLiteral("锤子止跌"),
                                             QStringLiteral("成交量缩量")}));
        QCOMPARE(s->line1.pen.color(), QColor(0, 0, 240));
        QCOMPARE(s->line1.points.value(bars.size() - 1), 12.5f);
        QCOMPARE(s->line3.points.value(bars.size() - 1), 11.25f);

        // The 0.618 level is tried before 0.5.
        out.clear();
        QCOMPARE(scanType(0, pullBackSeries(11.9f, 12.5f, 11.55f), &out), 0);
        QCOMPARE(out.first(), QStringLiteral("斐波那契分割线:0.618"));
        // Between two levels.
        QCOMPARE(scanType(0, pullBackSeries(11.9f, 12.5f, 11.4f)), -1);
        // The last high only equals the earlier ones: no new high.
        QCOMPARE(scanType(0, pullBackSeries(11.9f, 12.0f, 11.0f)), 0);
        QCOMPARE(scanType(0, pullBackSeries(12.0f, 12.0f, 11.0f)), -1);
        // The level is met by the lower end of the day's body: a rising hammer
        // that opens on the 0.5 level and closes between two levels is a hit.
        QVector<Stock> risingBar = bars;
        risingBar.last() = ohlc(11.25f, 11.9f, 11.25f, 11.4f).volume(500);
        out.clear();
        QCOMPARE(scanType(0, SeriesBuilder(risingBar).bars(), &out), 0);
        QCOMPARE(out.first(), QStringLiteral("斐波那契分割线:0.5"));
        // A doji on normal volume is not a pull-back on shrinking volume.
        QVector<Stock> busy = bars;
        busy.last().volume = 1000;
        QCOMPARE(scanType(0, busy), -1);
    }

    void reboundSellMeetsTheLevelFromBelow()
    {
        // From 12.5 down to 10, back up to a hanging-man doji at 11.25 (the 0.5
        // level) on rising volume.
        SeriesBuilder b;
        b.flat(1, 10.5f).ramp(8, 12).ramp(8, 10.5f).ramp(8, 12).ramp(8, 10.5f);
        b.ramp(6, 12.5f).ramp(6, 10).ramp(4, 11.1f);
        b.add(ohlc(11.25f, 11.25f, 11.0f, 11.25f).volume(3000));
        QStringList out;
        QCOMPARE(scanType(2, b.bars(), &out), 0);
        QCOMPARE(out.mid(0, 3), (QStringList{QStringLiteral("斐波那契分割线:0.5"), QStringLiteral("吊颈线"),
                                             QStringLiteral("成交量放量")}));
        QVector<Stock> quiet = b.bars();
        quiet.last().volume = 1000;
        QCOMPARE(scanType(2, quiet), -1);
    }

    void reversalBuyProjectsTheEarlierSwing()
    {
        // H0 13, L 10, H 12, then down to a doji at 9 = 12 - 1.0 x (13 - 10).
        SeriesBuilder b;
        b.flat(1, 10.5f).ramp(8, 12).ramp(8, 10.5f).ramp(8, 12).ramp(8, 10.5f);
        b.ramp(6, 13).ramp(8, 10).ramp(6, 12).ramp(4, 9.6f);
        b.add(ohlc(9, 9.5f, 9, 9).volume(500));
        const QVector<Stock> bars = b.bars();
        QStringList out;
        std::unique_ptr<StockHotStockFibonacciScanner> s(createFibonacciScanner(4));
        QCOMPARE(s->scan("600000", bars, &out), 0);
        QCOMPARE(out.mid(0, 3), (QStringList{QStringLiteral("斐波那契分割线:1"), QStringLiteral("锤子止跌"),
                                             QStringLiteral("成交量缩量")}));
        QCOMPARE(s->line1.points.value(bars.size() - 1), 13.f);
        QCOMPARE(s->line2.points.value(bars.size() - 1), 10.f);
        QCOMPARE(s->line3.points.value(bars.size() - 1), 9.f);

        // An earlier bar since the high went far below the projected level.
        QVector<Stock> deeper = bars;
        deeper[deeper.size() - 2].low = 8.5f;
        QCOMPARE(scanType(4, deeper), -1);
    }

    void breakdownReportsNewLowWithLines()
    {
        const QVector<Stock> bars = breakdownSeries(6);
        QStringList out;
        std::unique_ptr<StockHotStockFibonacciScanner> s(createFibonacciScanner(3));
        QCOMPARE(s->scan("600000", bars, &out), 0);
        QCOMPARE(out.mid(0, 3), (QStringList{QStringLiteral("突破前期新低"), QStringLiteral("大阴线"),
                                             QStringLiteral("成交量平量")}));
        // H, L and the last close, across the chart's last 60 bars (here all).
        const int last = bars.size() - 1;
        QCOMPARE(s->line1.points, (QMap<int, float>{{0, 12.f}, {last, 12.f}}));
        QCOMPARE(s->line2.points, (QMap<int, float>{{0, 10.f}, {last, 10.f}}));
        QCOMPARE(s->line3.points.value(last), 9.4f);
        QCOMPARE(s->line1.pen.color(), QColor(240, 240, 240));
        QCOMPARE(s->line1.style, 1);

        // A smaller swing than asked for, or a close that stays above the low.
        HotStockFibonacciParams wide;
        wide.minSwing = 25;
        QCOMPARE(scanType(3, bars, nullptr, wide), -1);
        // The swing is measured from the low: 10 to 12 is 20 %, enough for 18 %.
        wide.minSwing = 18;
        QCOMPARE(scanType(3, bars, nullptr, wide), 0);
        QVector<Stock> held = bars;
        held.last().close = 10.0f;
        QCOMPARE(scanType(3, held), -1);
    }

    void breakdownAtShortestHistory()
    {
        // 44 bars: the windows reaching back 2D + 14 bars start at the first bar.
        SeriesBuilder b;
        b.flat(1, 10);
        for (int i = 0; i < 5; ++i)
            b.ramp(8, i % 2 == 0 ? 12 : 10);
        b.flat(2, 10);
        b.add(ohlc(10, 10, 9.4f, 9.4f));
        QCOMPARE(b.size(), 44);
        QCOMPARE(scanType(3, b.bars()), 0);
        for (int type = 0; type < 6; ++type)
            QCOMPARE(scanType(type, b.bars().mid(1)), -1);
    }

    void breakoutNeedsCloseAboveHighAndVolume()
    {
        const QVector<Stock> bars = breakoutSeries(6);
        QStringList out;
        QCOMPARE(scanType(1, bars, &out), 0);
        QCOMPARE(out, (QStringList{QStringLiteral("突破前期新高"), QStringLiteral("跳空高开缺口"),
                                   QStringLiteral("成交量放量")}));

        QVector<Stock> quiet = bars;
        quiet.last().volume = 1000;
        QCOMPARE(scanType(1, quiet), -1);
        QVector<Stock> below = bars;
        below.last().close = 11.9f;
        QCOMPARE(scanType(1, below), -1);
    }

    void setUpsRejectWrongSideOfAverage()
    {
        // The buy-on-pull-back and reversal set-ups want a close at or under
        // the 5-bar average; a gap-up bar is above it.
        const QVector<Stock> up = breakoutSeries(6);
        for (int type : {0, 3, 4, 5})
            QCOMPARE(scanType(type, up), -1);
        // The breakout and the rebound want a close at or above it.
        const QVector<Stock> down = breakdownSeries(6);
        for (int type : {1, 2})
            QCOMPARE(scanType(type, down), -1);
    }

    // Each row breaks one condition of a set-up, or sits on its bound, and
    // keeps every other condition met.
    void setUpsOnEachBound_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVector<Stock>>("bars");
        QTest::addColumn<HotStockFibonacciParams>("params");
        QTest::addColumn<int>("result");
        const HotStockFibonacciParams defaults;

        QTest::newRow("pull-back: close on the 5-day average") << 0 << pullBackToRisingHammer(11.25f) << defaults << 0;
        QTest::newRow("pull-back: close just above the 5-day average")
            << 0 << pullBackToRisingHammer(11.0f) << defaults << -1;
        // 10 to 12.5 is a swing of 25 %.
        QTest::newRow("pull-back: swing exactly the minimum")
            << 0 << pullBackSeries(11.9f, 12.5f, 11.25f) << hotParams(25) << 0;
        QTest::newRow("pull-back: swing just under the minimum")
            << 0 << pullBackSeries(11.9f, 12.5f, 11.25f) << hotParams(26) << -1;
        // The 0.5 level of 10 to 14.75 is 12.375; 1 % of 12.5 is 0.125.
        QTest::newRow("pull-back: level exactly the tolerance away")
            << 0 << pullBackSeries(11.9f, 14.75f, 12.5f) << hotParams(12, 1.0f) << 0;
        QTest::newRow("pull-back: level just beyond the tolerance")
            << 0 << pullBackSeries(11.9f, 14.75f, 12.51f) << hotParams(12, 1.0f) << -1;

        // The closes before the gap-up bar at 12.5 average 12.5 with it.
        QTest::newRow("breakout: close on the 5-day average")
            << 1 << breakoutAfter({11.5f, 12.75f, 12.75f, 12.75f, 11.75f}, ohlc(12.25f, 12.6f, 12.25f, 12.5f))
            << defaults << 0;
        QTest::newRow("breakout: close just under the 5-day average")
            << 1 << breakoutAfter({11.5f, 13, 12.75f, 12.75f, 11.75f}, ohlc(12.25f, 12.6f, 12.25f, 12.5f))
            << defaults << -1;
        QTest::newRow("breakout: close exactly on the swing high")
            << 1 << breakoutAfter({11.5f}, ohlc(12, 12.2f, 12, 12)) << defaults << 0;
        QTest::newRow("breakout: close the day before exactly on the swing high")
            << 1 << breakoutAfter({11, 12}, ohlc(12.3f, 12.6f, 12.3f, 12.5f)) << defaults << 0;
        // 42 bars at 10 before the gap: the high equals the low, which is no
        // swing even where any swing size is accepted.
        QTest::newRow("breakout: no swing at all, minimum 0")
            << 1 << breakoutAfter(QVector<float>(42, 10), ohlc(10.3f, 10.6f, 10.3f, 10.5f)) << hotParams(0) << -1;

        // A hanging man closing on the 0.5 level (11.25).
        QTest::newRow("rebound: close on the 5-day average")
            << 2 << reboundAfter({11, 11.5f, 11, 11.5f}, ohlc(11.5f, 11.5f, 10.5f, 11.25f)) << defaults << 0;
        QTest::newRow("rebound: close just under the 5-day average")
            << 2 << reboundAfter({11, 11.5f, 11.5f, 11.5f}, ohlc(11.5f, 11.5f, 10.5f, 11.25f)) << defaults << -1;
        QTest::newRow("rebound: swing just under the minimum")
            << 2 << reboundAfter({10.275f, 10.55f, 10.825f, 11.1f}, ohlc(11.25f, 11.25f, 11.0f, 11.25f))
            << hotParams(26) << -1;
        // With a tolerance of 4 % the 0.809 level (12.0225) reaches the high.
        QTest::newRow("rebound: close exactly on the swing high")
            << 2 << reboundAfter({11.5f, 12, 12.25f, 12.4f}, ohlc(12.5f, 12.5f, 12, 12.5f)) << hotParams(12, 4)
            << -1;
        QTest::newRow("rebound: close just under the swing high")
            << 2 << reboundAfter({11.5f, 12, 12.25f, 12.4f}, ohlc(12.49f, 12.49f, 12, 12.49f)) << hotParams(12, 4)
            << 0;

        QTest::newRow("breakdown: close on the 5-day average")
            << 3 << breakdownAfter({11, 10.25f, 9.25f, 9.25f, 9.25f, 10.25f}) << defaults << -1;
        QTest::newRow("breakdown: close just under the 5-day average")
            << 3 << breakdownAfter({11, 10.25f, 9.25f, 9.25f, 9.5f, 10.25f}) << defaults << 0;

        // H0 = H = 12 over L = 10: the 1.618 projection is 8.764; with H0 =
        // 11.9 it is 8.926. A doji at 8.85 is near both.
        QTest::newRow("reversal buy: earlier high equal to the last") << 4 << reversalBuyToDoji(12, 10, 12, 8.85f)
                                                                      << defaults << 0;
        QTest::newRow("reversal buy: earlier high just under the last")
            << 4 << reversalBuyToDoji(11.9f, 10, 12, 8.85f) << defaults << -1;
        // A rising hammer whose low sits on the 1.0 projection (9).
        QTest::newRow("reversal buy: close on the 5-day average")
            << 4 << reversalBuyAfter(13, 10, 12, {9.5f, 9, 9.5f, 9}, {ohlc(9, 10, 9, 9.25f).volume(500)}) << defaults
            << 0;
        QTest::newRow("reversal buy: close just above the 5-day average")
            << 4 << reversalBuyAfter(13, 10, 12, {9.5f, 9, 9.25f, 9}, {ohlc(9, 10, 9, 9.25f).volume(500)})
            << defaults << -1;
        // A bullish harami after a plunge to 8.95, its low on the 1.0 projection.
        const Stock plunge = ohlc(10.5f, 10.5f, 8.95f, 8.95f);
        QTest::newRow("reversal buy: close exactly on the low")
            << 4
            << reversalBuyAfter(13, 10, 12, {11, 10.5f, 10.25f}, {plunge, ohlc(9, 10, 9, 10).volume(3000)})
            << defaults << -1;
        QTest::newRow("reversal buy: close just under the low")
            << 4
            << reversalBuyAfter(13, 10, 12, {11, 10.5f, 10.25f}, {plunge, ohlc(9, 9.99f, 9, 9.99f).volume(3000)})
            << defaults << 0;
        // The 1.0 projection of 13 - 10.5 down from 12.5 is 10; the lowest low
        // since the high, 10.25, is 2.5 % above it.
        const QVector<Stock> aboveLevel = reversalBuyAfter(13, 10.5f, 12.5f, {12, 11.5f, 11, 10.5f},
                                                           {ohlc(10.25f, 10.75f, 10.25f, 10.25f).volume(500)});
        QTest::newRow("reversal buy: lowest low exactly the tolerance from the level")
            << 4 << aboveLevel << hotParams(12, 2.5f) << 0;
        QTest::newRow("reversal buy: lowest low just beyond the tolerance from the level")
            << 4 << aboveLevel << hotParams(12, 2.45f) << -1;

        // Lows of 10 and 10.5 around a high of 12: the 1.0 projection is 12.5.
        QTest::newRow("reversal sell: close just under the 5-day average")
            << 5 << reversalSellSeries(10, 10.5f, 12.5f, 12.75f) << defaults << 0;
        QTest::newRow("reversal sell: close on the 5-day average")
            << 5 << reversalSellSeries(10, 10.5f, 12.5f, 12.5f) << defaults << 0;
        QTest::newRow("reversal sell: close just above the 5-day average")
            << 5 << reversalSellSeries(10, 10.5f, 12.5f, 12.25f) << defaults << -1;
        // Equal lows of 10.5: the 1.618 projection is 12.927.
        QTest::newRow("reversal sell: second low on the first")
            << 5 << reversalSellSeries(10.5f, 10.5f, 12.9f, 13.15f) << defaults << 0;
        // Lows of 10.75 and 10.5: the 1.618 projection is 12.5225.
        QTest::newRow("reversal sell: second low just under the first")
            << 5 << reversalSellSeries(10.75f, 10.5f, 12.5f, 12.75f) << defaults << -1;
        // Lows of 10 and 10.1: the 1.0 projection is 12.1.
        QTest::newRow("reversal sell: close exactly on the swing high")
            << 5 << reversalSellSeries(10, 10.1f, 12, 12.25f) << defaults << 0;
        QTest::newRow("reversal sell: close just under the swing high")
            << 5 << reversalSellSeries(10, 10.1f, 11.99f, 12.24f) << defaults << -1;
    }
    void setUpsOnEachBound()
    {
        QFETCH(int, type);
        QFETCH(QVector<Stock>, bars);
        QFETCH(HotStockFibonacciParams, params);
        QFETCH(int, result);
        QCOMPARE(scanType(type, bars, nullptr, params), result);
    }

    void corruptPricesNeverSignal()
    {
        // A low of zero in the recent window would make the swing infinite.
        QVector<Stock> bars = breakoutSeries(6);
        QCOMPARE(scanType(1, bars), 0);
        bars[bars.size() - 4].low = 0;
        QCOMPARE(scanType(1, bars), -1);
        // A last bar of zeros under a high: its low sits exactly on the 1.0
        // projection of 22 - 10 down from 12, and the distance from the
        // lowest low to that level is 0 / 0.
        const QVector<Stock> zeros =
            reversalBuyAfter(22, 10, 12, {11.4f, 10.8f, 10.2f, 9.6f}, {ohlc(0, 0.5f, 0, 0).volume(500)});
        QCOMPARE(scanType(4, zeros), -1);
        for (Stock& bar : bars)
            bar.low = 0;
        for (int type = 0; type < 6; ++type)
            QCOMPARE(scanType(type, bars), -1);
        QCOMPARE(createFibonacciScanner(6), nullptr);
        QCOMPARE(createFibonacciScanner(-1), nullptr);
    }

    // --- new stocks -------------------------------------------------------

    void newStockLengthLimits_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("result");
        QTest::newRow("5 bars") << 5 << -1;
        QTest::newRow("6 bars") << 6 << 0;
        QTest::newRow("90 bars") << 90 << 0;
        QTest::newRow("91 bars") << 91 << -1;
    }
    void newStockLengthLimits()
    {
        QFETCH(int, count);
        QFETCH(int, result);
        const QVector<Stock> bars = SeriesBuilder().flat(count, 10).bars();
        QCOMPARE(scanNewType(3, bars), result);
        if (count < 6 || count > 90) {
            for (int type = 0; type < 3; ++type)
                QCOMPARE(scanNewType(type, bars), -1);
        }
    }

    void newStockBreakoutAfterTwoTurns()
    {
        // Lists at its low, rallies, pulls back, climbs again and gaps above the old high.
        SeriesBuilder b;
        b.flat(1, 10).ramp(10, 14).ramp(6, 12).ramp(6, 13.8f);
        b.add(ohlc(14.5f, 14.9f, 14.5f, 14.8f).volume(3000));
        const QVector<Stock> bars = b.bars();
        QStringList out;
        std::unique_ptr<StockNewStockFibonacciScanner> s(createNewStockFibonacciScanner(1));
        QCOMPARE(s->scan("600000", bars, &out), 0);
        QCOMPARE(out, (QStringList{QStringLiteral("突破新高"), QStringLiteral("跳空高开缺口"),
                                   QStringLiteral("成交量放量")}));
        const int last = bars.size() - 1;
        QCOMPARE(s->line1.points, (QMap<int, float>{{10, 14.f}, {last, 14.f}}));
        QCOMPARE(s->line2.points, (QMap<int, float>{{0, 10.f}, {last, 10.f}}));
        QCOMPARE(s->line3.points, (QMap<int, float>{{last - 2, 14.8f}, {last + 1, 14.8f}}));

        // A third turn before the breakout is no longer this set-up.
        SeriesBuilder wiggly;
        wiggly.flat(1, 10).ramp(10, 14).ramp(6, 12).ramp(6, 13.8f).ramp(6, 12.5f).ramp(4, 13.8f);
        wiggly.add(ohlc(14.5f, 14.9f, 14.5f, 14.8f).volume(3000));
        QVector<int> turns;
        QVERIFY(countMaTurns(wiggly.bars(), 5, &turns).count > 3);
        QCOMPARE(scanNewType(1, wiggly.bars()), -1);

        // Not a new stock when an older low sits under the first bar.
        QVector<Stock> lowerLater = bars;
        lowerLater[3].low = 9.5f;
        QCOMPARE(scanNewType(1, lowerLater), -1);
        NewStockFibonacciParams shortList;
        shortList.maxDays = bars.size() - 1;
        QCOMPARE(scanNewType(1, bars, nullptr, shortList), -1);
        shortList.maxDays = bars.size();
        QCOMPARE(scanNewType(1, bars, nullptr, shortList), 0);
    }

    // Each row breaks one condition of a new-stock set-up, or sits on its
    // bound, and keeps every other condition met.
    void newStockOnEachBound_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVector<Stock>>("bars");
        QTest::addColumn<int>("result");

        // Levels of 10 to 14: 0.5 at 12, 0.618 at 12.472.
        QTest::newRow("pull-back: close on the 0.5 level") << 0 << newStockPullBack(12) << 0;
        QTest::newRow("pull-back: close between two levels") << 0 << newStockPullBack(12.25f) << -1;
        QTest::newRow("rebound: close on the 0.5 level") << 2 << newStockRebound(12) << 0;
        QTest::newRow("rebound: close between two levels") << 2 << newStockRebound(12.25f) << -1;

        QTest::newRow("breakout: close the day before exactly on the high")
            << 1 << newStockBreakout(14, ohlc(14.5f, 14.9f, 14.5f, 14.8f)) << 0;
        QTest::newRow("breakout: close the day before just above the high")
            << 1 << newStockBreakout(14.1f, ohlc(14.5f, 14.9f, 14.5f, 14.8f)) << -1;
        QTest::newRow("breakout: close exactly on the high") << 1 << newStockBreakout(13.5f, ohlc(14, 14.2f, 14, 14))
                                                             << -1;
        QTest::newRow("breakout: close just above the high")
            << 1 << newStockBreakout(13.5f, ohlc(14, 14.2f, 14, 14.01f)) << 0;
    }
    void newStockOnEachBound()
    {
        QFETCH(int, type);
        QFETCH(QVector<Stock>, bars);
        QFETCH(int, result);
        QCOMPARE(scanNewType(type, bars), result);
    }

    void newStockBaseAndFactory()
    {
        StockNewStockFibonacciScanner base;
        QCOMPARE(base.scan("600000", SeriesBuilder().flat(30, 10).bars(), nullptr), -1);
        QCOMPARE(base.category(), 98);
        QCOMPARE(createNewStockFibonacciScanner(4), nullptr);
        QVERIFY(createNewStockFibonacciScanner(3)->line1.points.isEmpty());
    }
};

QTEST_MAIN(TestFibonacciStrategy)

#include "tst_fibonaccistrategy.moc"
