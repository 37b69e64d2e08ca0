#include "core/seriesutils.h"

#include "tests/support/barbuilder.h"

#include <QtTest>

#include <cmath>

namespace {

// Bars with the given closes whose lows and highs are both the given extremes.
QVector<Stock> withExtremes(const QVector<float>& closeValues, const QVector<float>& extremes)
{
    QVector<Stock> bars = closes(closeValues);
    for (int i = 0; i < extremes.size(); ++i)
        bars[i].low = bars[i].high = extremes[i];
    return bars;
}

// The fields a bar of a relative series carries over or changes.
QString described(const QVector<Stock>& bars)
{
    QStringList rows;
    for (const Stock& b : bars) {
        rows << QString("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                    .arg(b.code, b.date, b.name)
                    .arg(double(b.open))
                    .arg(double(b.high))
                    .arg(double(b.low))
                    .arg(double(b.close))
                    .arg(double(b.volume))
                    .arg(b.comments.size());
    }
    return rows.join('|');
}

} // namespace

class TestSeriesUtils : public QObject
{
    Q_OBJECT

private slots:
    void lowestIndexFindsEarliestLowest_data();
    void lowestIndexFindsEarliestLowest();
    void highestIndexFindsEarliestHighest_data();
    void highestIndexFindsEarliestHighest();
    void rangeOutsideSeriesGivesNoIndexAndKeepsValue_data();
    void rangeOutsideSeriesGivesNoIndexAndKeepsValue();
    void rangeAverageOfClosesAndVolumes();
    void rangeAverageOfBadRangeIsZero();
    void findExtremesOfSeries();
    void findExtremesOfEmptySeries();
    void relativeSeriesAccumulatesTenthsOfChange();
    void relativeSeriesOfShortSeries();
    void relativeSeriesSurvivesZeroClose();
    void relativeSeriesRefillsAKeptBuffer();
    void fitLineThroughPoints();
    void fitLineWithOneXIsFlat();
    void fitPointsMovesPointsOntoLine();
};

void TestSeriesUtils::lowestIndexFindsEarliestLowest_data()
{
    QTest::addColumn<QVector<float>>("closes");
    QTest::addColumn<QVector<float>>("lows");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("useLow");
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("value");

    const QVector<float> none;
    QTest::newRow("one bar") << QVector<float>{5} << none << 0 << 0 << false << 0 << 5.0f;
    QTest::newRow("earliest of equal closes") << QVector<float>{7, 4, 6, 4} << none << 0 << 3 << false << 1 << 4.0f;
    QTest::newRow("range inside the series") << QVector<float>{1, 4, 6, 3, 2} << none << 1 << 3 << false << 3 << 3.0f;
    const QVector<float> c = {10, 8, 9, 8.5f};
    const QVector<float> lows = {9.5f, 7.9f, 6.0f, 8.5f};
    QTest::newRow("closes only") << c << lows << 0 << 3 << false << 1 << 8.0f;
    QTest::newRow("lows count") << c << lows << 0 << 3 << true << 2 << 6.0f;
    QTest::newRow("low of a later bar below its close") << QVector<float>{8, 8.1f} << QVector<float>{8, 7.0f} << 0 << 1 << true << 1 << 7.0f;
    QTest::newRow("earliest of equal lows") << QVector<float>{9, 8.5f} << QVector<float>{7.5f, 7.5f} << 0 << 1 << true << 0 << 7.5f;
    // Nothing in a range of large values lies below a fixed ceiling; the first
    // bar of the range is the start instead.
    QTest::newRow("values above any price") << QVector<float>{20000, 15000, 18000} << none << 0 << 2 << false << 1 << 15000.0f;
}

void TestSeriesUtils::lowestIndexFindsEarliestLowest()
{
    QFETCH(QVector<float>, closes);
    QFETCH(QVector<float>, lows);
    const QVector<Stock> bars = withExtremes(closes, lows);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, useLow);
    QFETCH(int, index);
    QFETCH(float, value);

    float found = -1;
    QCOMPARE(lowestIndex(bars, from, to, &found, useLow), index);
    QCOMPARE(found, value);
}

void TestSeriesUtils::highestIndexFindsEarliestHighest_data()
{
    QTest::addColumn<QVector<float>>("closes");
    QTest::addColumn<QVector<float>>("highs");
    QTest::addColumn<bool>("useHigh");
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("value");

    const QVector<float> none;
    QTest::newRow("earliest of equal closes") << QVector<float>{3, 9, 2, 9} << none << false << 1 << 9.0f;
    const QVector<float> c = {10, 12, 11};
    const QVector<float> highs = {10.2f, 12.1f, 13.0f};
    QTest::newRow("closes only") << c << highs << false << 1 << 12.0f;
    QTest::newRow("highs count") << c << highs << true << 2 << 13.0f;
    QTest::newRow("earliest of equal highs") << QVector<float>{10, 10.5f} << QVector<float>{11.2f, 11.2f} << true << 0 << 11.2f;
    QTest::newRow("values above any price") << QVector<float>{12000, 30000, 11000} << none << false << 1 << 30000.0f;
    QTest::newRow("negative values") << QVector<float>{-20000, -10500, -15000} << none << false << 1 << -10500.0f;
}

void TestSeriesUtils::highestIndexFindsEarliestHighest()
{
    QFETCH(QVector<float>, closes);
    QFETCH(QVector<float>, highs);
    const QVector<Stock> bars = withExtremes(closes, highs);
    QFETCH(bool, useHigh);
    QFETCH(int, index);
    QFETCH(float, value);

    float found = -1;
    QCOMPARE(highestIndex(bars, 0, bars.size() - 1, &found, useHigh), index);
    QCOMPARE(found, value);
}

void TestSeriesUtils::rangeOutsideSeriesGivesNoIndexAndKeepsValue_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    QTest::newRow("to is the size") << 0 << 3;
    QTest::newRow("from past the end") << 4 << 4;
    QTest::newRow("from after to") << 2 << 1;
    QTest::newRow("from before the first bar") << -2 << 1;
}

void TestSeriesUtils::rangeOutsideSeriesGivesNoIndexAndKeepsValue()
{
    QFETCH(int, from);
    QFETCH(int, to);
    const QVector<Stock> bars = closes({4, 5, 6});

    float value = 42;
    QCOMPARE(lowestIndex(bars, from, to, &value, true), -1);
    QCOMPARE(highestIndex(bars, from, to, &value, true), -1);
    QCOMPARE(value, 42.0f);
}

void TestSeriesUtils::rangeAverageOfClosesAndVolumes()
{
    const QVector<Stock> bars = {flatBar(1).volume(3e8f), flatBar(2).volume(5e8f), flatBar(4).volume(7e8f), flatBar(9)};
    QCOMPARE(rangeAverage(bars, 0, 2, 0), 7.0 / 3);
    QCOMPARE(rangeAverage(bars, 1, 3, 0), 5.0);
    QCOMPARE(rangeAverage(bars, 3, 3, 0), 9.0);
    // Volumes of this size sum exactly only in double precision.
    QCOMPARE(rangeAverage(bars, 0, 2, 1), 5e8);
}

void TestSeriesUtils::rangeAverageOfBadRangeIsZero()
{
    const QVector<Stock> bars = closes({1, 2, 3});
    QCOMPARE(rangeAverage(bars, 2, 1, 0), 0.0);
    QCOMPARE(rangeAverage(bars, -1, 1, 0), 0.0);
    QCOMPARE(rangeAverage(bars, 1, 3, 1), 0.0);
    QCOMPARE(rangeAverage({}, 0, 0, 0), 0.0);
}

void TestSeriesUtils::findExtremesOfSeries()
{
    const QVector<Stock> bars = {flatBar(10).high(11).low(9), flatBar(10).high(12).low(8.5f),
                                 flatBar(10).high(12).low(8.5f), flatBar(10).high(10.5f).low(9.5f)};
    int hi = -5, lo = -5;
    float high = 0, low = 0;
    findExtremes(bars, &hi, &lo, &high, &low);
    QCOMPARE(hi, 1);
    QCOMPARE(lo, 1);
    QCOMPARE(high, 12.0f);
    QCOMPARE(low, 8.5f);

    // Prices far above any A-share still have an index, never a stale one.
    findExtremes(closes({20000, 25000}), &hi, &lo, &high, &low);
    QCOMPARE(hi, 1);
    QCOMPARE(lo, 0);
    QCOMPARE(low, 20000.0f);

    // Over the first bars only: the later, higher and lower bars do not count,
    // and no bars give the values of an empty series.
    findExtremes(bars, 1, &hi, &lo, &high, &low);
    QCOMPARE(hi, 0);
    QCOMPARE(lo, 0);
    QCOMPARE(high, 11.0f);
    findExtremes(bars, 3, &hi, &lo, &high, &low);
    QCOMPARE(hi, 1);
    QCOMPARE(low, 8.5f);
    findExtremes(bars, 0, &hi, &lo, &high, &low);
    QCOMPARE(hi, -1);
    QCOMPARE(lo, -1);
    QCOMPARE(high, 0.0f);
    QCOMPARE(low, 9999.99f);
    findExtremes(bars, 9, &hi, &lo, &high, &low);
    QCOMPARE(hi, 1);
    QCOMPARE(low, 8.5f);
}

void TestSeriesUtils::findExtremesOfEmptySeries()
{
    int hi = 3, lo = 3;
    float high = 1, low = 1;
    findExtremes({}, &hi, &lo, &high, &low);
    QCOMPARE(hi, -1);
    QCOMPARE(lo, -1);
    QCOMPARE(high, 0.0f);
    QCOMPARE(low, 9999.99f);
}

void TestSeriesUtils::relativeSeriesAccumulatesTenthsOfChange()
{
    QVector<Stock> bars = {flatBar(10), flatBar(11).high(11.5f).low(10.5f), flatBar(9.9f)};
    bars[1].open = 10.2f;
    bars[1].date = "2024-01-03";
    const QVector<Stock> rel = relativeSeries(bars);
    QCOMPARE(rel.size(), 2);
    QCOMPARE(rel[0].date, QString("2024-01-03"));
    QCOMPARE(rel[0].close, 1.0f);
    QCOMPARE(rel[0].open, 0.2f);
    QCOMPARE(rel[0].high, 1.5f);
    QCOMPARE(rel[0].low, 0.5f);
    // The running sum continues from the previous relative close; the change
    // is against the previous input close (11).
    QVERIFY(qAbs(rel[1].close - (1.0f - 1.0f)) < 1e-5f);
}

void TestSeriesUtils::relativeSeriesOfShortSeries()
{
    QVERIFY(relativeSeries({}).isEmpty());
    Stock one = flatBar(7.5f);
    one.code = "600000";
    const QVector<Stock> rel = relativeSeries({one});
    QCOMPARE(rel.size(), 1);
    QCOMPARE(rel[0].close, 7.5f);
    QCOMPARE(rel[0].code, QString("600000"));
    // two bars are the shortest series that moves
    const QVector<Stock> two = relativeSeries(closes({10, 11}));
    QCOMPARE(two.size(), 1);
    QCOMPARE(two[0].close, 1.0f);
}

void TestSeriesUtils::relativeSeriesSurvivesZeroClose()
{
    const QVector<Stock> rel = relativeSeries(closes({10, 0, 5, 5.5f}));
    QCOMPARE(rel.size(), 3);
    for (const Stock& s : rel)
        QVERIFY(std::isfinite(s.close) && std::isfinite(s.open));
    QCOMPARE(rel[0].close, -10.0f);
    QCOMPARE(rel[1].close, -10.0f);
    QCOMPARE(rel[2].close, -9.0f);
}

// A scan refills one buffer file after file: nothing of an earlier, longer
// or richer series may remain, and a copy still held keeps what it had.
void TestSeriesUtils::relativeSeriesRefillsAKeptBuffer()
{
    QVector<Stock> rich = closes({10, 11, 12, 11.5f, 13, 12.5f});
    for (Stock& b : rich) {
        b.name = "rich";
        b.comments.insert(1, {"kept?"});
        b.volume = 500;
    }
    QVector<Stock> plain = closes({20, 19, 21});
    plain[2].code = "600001";

    QVector<Stock> buffer;
    relativeSeries(rich, &buffer);
    QCOMPARE(described(buffer), described(relativeSeries(rich)));
    const QVector<Stock> held = buffer;
    relativeSeries(plain, &buffer);
    QCOMPARE(described(buffer), described(relativeSeries(plain)));
    QCOMPARE(described(held), described(relativeSeries(rich)));
    relativeSeries(closes({7}), &buffer);
    QCOMPARE(described(buffer), described(closes({7})));
    relativeSeries({}, &buffer);
    QVERIFY(buffer.isEmpty());
    relativeSeries(rich, &buffer);
    QCOMPARE(described(buffer), described(relativeSeries(rich)));
}

void TestSeriesUtils::fitLineThroughPoints()
{
    float k = 0, b = 0;
    fitLine({{0, 1.0f}, {1, 3.0f}, {2, 5.0f}, {3, 7.0f}}, &k, &b);
    QCOMPARE(k, 2.0f);
    QCOMPARE(b, 1.0f);

    fitLine({{0, 0.0f}, {1, 1.0f}, {2, 0.0f}, {3, 1.0f}}, &k, &b);
    QCOMPARE(k, 0.2f);
    QCOMPARE(b, 0.2f);
}

void TestSeriesUtils::fitLineWithOneXIsFlat()
{
    float k = 5, b = 5;
    fitLine({{4, 1.0f}, {4, 3.0f}}, &k, &b);
    QCOMPARE(k, 0.0f);
    QCOMPARE(b, 2.0f);
    fitLine({}, &k, &b);
    QCOMPARE(k, 0.0f);
    QCOMPARE(b, 0.0f);
}

void TestSeriesUtils::fitPointsMovesPointsOntoLine()
{
    QVector<FitPoint> points = {{0, 0.0f}, {1, 1.0f}, {2, 0.0f}, {3, 1.0f}};
    fitPoints(points);
    QCOMPARE(points[0].first, 0);
    QCOMPARE(points[0].second, 0.2f);
    QCOMPARE(points[2].second, 0.6f);
    QCOMPARE(points[3].first, 3);
    QCOMPARE(points[3].second, 0.8f);
}

QTEST_APPLESS_MAIN(TestSeriesUtils)
#include "tst_seriesutils.moc"
