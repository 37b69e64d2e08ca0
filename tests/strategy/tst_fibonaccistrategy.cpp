#include "strategy/fibonaccistrategy.h"

#include "tests/strategy/fibonacciseries.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QVector<Stock>)

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

    void corruptPricesNeverSignal()
    {
        // A low of zero in the recent window would make the swing infinite.
        QVector<Stock> bars = breakoutSeries(6);
        QCOMPARE(scanType(1, bars), 0);
        bars[bars.size() - 4].low = 0;
        QCOMPARE(scanType(1, bars), -1);
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
