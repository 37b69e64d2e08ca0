#include "analysis/indicators.h"

#include "tests/support/barbuilder.h"

#include <QtTest>

#include <cmath>

namespace {

// Closes alternating 9.9 / 10.1: a band of mean 10 and deviation 0.1.
QVector<Stock> quietSeries(int count)
{
    QVector<Stock> bars;
    for (int i = 0; i < count; ++i)
        bars.append(flatBar(i % 2 == 0 ? 9.9f : 10.1f));
    return bars;
}

#define QCOMPARE_NEAR(actual, expected, tolerance)                                              \
    do {                                                                                       \
        const double a_ = (actual), e_ = (expected);                                            \
        if (!(std::fabs(a_ - e_) <= (tolerance)))                                              \
            QFAIL(qPrintable(QString("%1 is %2, expected %3").arg(#actual).arg(a_, 0, 'g', 9).arg(e_, 0, 'g', 9))); \
    } while (false)

void compareResult(const IndicatorResult& r, bool valid, double first, double second, double third,
                   double tolerance = 1e-4)
{
    QCOMPARE(r.valid, valid);
    QCOMPARE_NEAR(r.first, first, tolerance);
    QCOMPARE_NEAR(r.second, second, tolerance);
    QCOMPARE_NEAR(r.third, third, tolerance);
    QCOMPARE(r.fourth, 0.0f);
}

} // namespace

class TestIndicators : public QObject
{
    Q_OBJECT

private slots:
    void movingAverageOverWindow();
    void movingAverageBelowOneBarIsOneBar_data();
    void movingAverageBelowOneBarIsOneBar();
    void volumeAverageOverWindow();
    void peekLeavesStateUnchanged();
    void clearForgetsBars();
    void bollMeanAndPopulationDeviation();
    void bollOfEqualClosesHasNoWidth();
    void kdjFollowsRuleAndClampsJ();
    void kdjFlatWindowGivesZeroAndRecovers();
    void kdjSignalLineUsesUnclampedK();
    void kdjPeekKeepsRunningValues();
    void macdFromSecondBar();
    void macdPeekAnswersLastUpdate();
    void macdGoldenCross();
    void firstBreakOfBollUpper();
    void bollUpperBelowLevel();
};

void TestIndicators::movingAverageOverWindow()
{
    MaNIndicator ma(5);
    for (int i = 1; i <= 4; ++i)
        compareResult(ma.update(flatBar(i)), false, 0, 0, 0);
    compareResult(ma.update(flatBar(5)), true, 3, 0, 0);
    compareResult(ma.update(flatBar(6)), true, 4, 0, 0);
    compareResult(ma.update(flatBar(16)), true, 6.8, 0, 0);

    // Oldest first, one addition after the other: 1e8 swallows each 4 on its
    // own (floats step by 8 there), where adding some 4s together first would
    // leave 16 or more over.
    MaNIndicator big(9);
    for (float close : {1e8f, 4.0f, 4.0f, 4.0f, 4.0f, 4.0f, 4.0f, 4.0f})
        big.update(flatBar(close));
    QCOMPARE(big.update(flatBar(-1e8f)).first, 0.0f);
}

void TestIndicators::movingAverageBelowOneBarIsOneBar_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -7;
}

void TestIndicators::movingAverageBelowOneBarIsOneBar()
{
    QFETCH(int, n);
    MaNIndicator ma(n);
    compareResult(ma.update(flatBar(7.5f)), true, 7.5, 0, 0);
    compareResult(ma.update(flatBar(8)), true, 8, 0, 0);
    VolMaNIndicator vol(n);
    compareResult(vol.update(flatBar(1).volume(300)), true, 300, 0, 0);
}

void TestIndicators::volumeAverageOverWindow()
{
    VolMaNIndicator vol(3);
    compareResult(vol.update(flatBar(10).volume(100)), false, 0, 0, 0);
    compareResult(vol.update(flatBar(10).volume(200)), false, 0, 0, 0);
    compareResult(vol.update(flatBar(10).volume(600)), true, 300, 0, 0);
    compareResult(vol.update(flatBar(10).volume(1000)), true, 600, 0, 0);
}

void TestIndicators::peekLeavesStateUnchanged()
{
    MaNIndicator ma(3);
    ma.update(flatBar(1));
    compareResult(ma.peek(flatBar(2)), false, 0, 0, 0);
    ma.update(flatBar(2));
    compareResult(ma.peek(flatBar(6)), true, 3, 0, 0);
    compareResult(ma.peek(flatBar(9)), true, 4, 0, 0);
    compareResult(ma.update(flatBar(3)), true, 2, 0, 0);
    // The window is full now: a peek drops the oldest bar only in its answer.
    compareResult(ma.peek(flatBar(10)), true, 5, 0, 0);
    compareResult(ma.update(flatBar(4)), true, 3, 0, 0);
}

void TestIndicators::clearForgetsBars()
{
    MaNIndicator ma(2);
    ma.update(flatBar(100));
    ma.update(flatBar(200));
    ma.clear();
    compareResult(ma.update(flatBar(1)), false, 0, 0, 0);
    compareResult(ma.update(flatBar(3)), true, 2, 0, 0);

    KDJIndicator kdj;
    QVector<IndicatorResult> first;
    for (int i = 0; i < 12; ++i)
        first.append(kdj.update(flatBar(10 + i % 3).high(11 + i).low(9)));
    kdj.clear();
    for (int i = 0; i < 12; ++i) {
        const IndicatorResult r = kdj.update(flatBar(10 + i % 3).high(11 + i).low(9));
        QCOMPARE(r.valid, first[i].valid);
        QCOMPARE(r.first, first[i].first);
        QCOMPARE(r.third, first[i].third);
    }
}

void TestIndicators::bollMeanAndPopulationDeviation()
{
    BollIndicator boll;
    for (int i = 1; i <= 19; ++i)
        compareResult(boll.update(flatBar(i)), false, 0, 0, 0);
    // Closes 1..20: mean 10.5, population variance 33.25.
    const double deviation = std::sqrt(33.25);
    const IndicatorResult r = boll.update(flatBar(20));
    compareResult(r, true, 10.5, deviation, -deviation);
    QCOMPARE_NEAR(r.first + r.second - r.third, 10.5 + 2 * deviation, 1e-4);
    compareResult(boll.update(flatBar(21)), true, 11.5, deviation, -deviation);
}

void TestIndicators::bollOfEqualClosesHasNoWidth()
{
    BollIndicator boll;
    IndicatorResult r;
    for (int i = 0; i < 20; ++i)
        r = boll.update(flatBar(10));
    compareResult(r, true, 10, 0, 0, 1e-6);
    QCOMPARE(r.first + r.second - r.third, r.first);
}

void TestIndicators::kdjFollowsRuleAndClampsJ()
{
    KDJIndicator kdj;
    for (int i = 0; i < 9; ++i)
        kdj.update(flatBar(10));
    // Each step's bar is chosen for its RSV: close at the window's highest high
    // (100) or at its lowest low (0).
    struct Step { Stock bar; double k, d, j; };
    const Step steps[] = {
        {flatBar(11).high(11).low(9), 33.333333, 11.111111, 77.777778},
        {flatBar(12).high(12).low(10), 55.555556, 25.925926, 100},   // J 114.8 is held at 100
        {flatBar(8).high(12).low(8), 37.037037, 29.629630, 51.851852},
        {flatBar(7), 24.691358, 27.983539, 18.106996},
        {flatBar(6), 16.460905, 24.142661, 1.097394},
        {flatBar(5), 10.973937, 19.753086, 0},   // J -6.58 is held at 0
    };
    for (const Step& s : steps)
        compareResult(kdj.update(s.bar), true, s.k, s.d, s.j);
}

void TestIndicators::kdjFlatWindowGivesZeroAndRecovers()
{
    KDJIndicator kdj;
    for (int i = 0; i < 8; ++i)
        compareResult(kdj.update(flatBar(10)), false, 0, 0, 0);
    // Highest equals lowest: RSV is 0/0 and everything is held at 0.
    compareResult(kdj.update(flatBar(10)), true, 0, 0, 0);
    compareResult(kdj.update(flatBar(10)), true, 0, 0, 0);
    // The running values stay numbers: the first real RSV of 100 gives the
    // values of a start from K = D = 0.
    compareResult(kdj.update(flatBar(11).high(11).low(9)), true, 33.333333, 11.111111, 77.777778);
}

void TestIndicators::kdjSignalLineUsesUnclampedK()
{
    KDJIndicator kdj;
    for (int i = 0; i < 8; ++i)
        kdj.update(flatBar(9.5f).high(10).low(9));
    // A close above every high (a broken bar) gives RSV 400: K is held at 100,
    // D is formed from the unheld 133.3.
    compareResult(kdj.update(flatBar(13).high(10).low(9)), true, 100, 44.444444, 100);
}

void TestIndicators::kdjPeekKeepsRunningValues()
{
    KDJIndicator kdj;
    for (int i = 0; i < 9; ++i)
        kdj.update(flatBar(10));
    compareResult(kdj.peek(flatBar(11).high(11).low(9)), true, 33.333333, 11.111111, 77.777778);
    compareResult(kdj.peek(flatBar(11).high(11).low(9)), true, 33.333333, 11.111111, 77.777778);
    compareResult(kdj.update(flatBar(11).high(11).low(9)), true, 33.333333, 11.111111, 77.777778);
}

void TestIndicators::macdFromSecondBar()
{
    MacdIndicator macd;
    compareResult(macd.update(flatBar(10)), false, 0, 0, 0);
    // Second bar: DEA is a fifth of DIFF; later bars blend in 0.8 of the last DEA.
    compareResult(macd.update(flatBar(11)), true, 0.127635328, 0.0797720798, 0.0159544160, 1e-5);
    compareResult(macd.update(flatBar(12)), true, 0.328288244, 0.221134569, 0.0569904465, 1e-5);
    compareResult(macd.update(flatBar(11.5f)), true, 0.371987387, 0.289482564, 0.103488870, 1e-5);
}

void TestIndicators::macdPeekAnswersLastUpdate()
{
    MacdIndicator macd;
    compareResult(macd.peek(flatBar(10)), false, 0, 0, 0);
    macd.update(flatBar(10));
    compareResult(macd.peek(flatBar(50)), true, 0, 0, 0);
    macd.update(flatBar(11));
    compareResult(macd.peek(flatBar(50)), true, 0.127635328, 0.0797720798, 0.0159544160, 1e-5);

    macd.clear();
    compareResult(macd.peek(flatBar(10)), false, 0, 0, 0);
    compareResult(macd.update(flatBar(10)), false, 0, 0, 0);
    compareResult(macd.update(flatBar(11)), true, 0.127635328, 0.0797720798, 0.0159544160, 1e-5);
}

void TestIndicators::macdGoldenCross()
{
    QVector<Stock> falling;
    for (int i = 0; i < 30; ++i)
        falling.append(flatBar(20 - 0.1f * i));
    QVERIFY(!isMacdGoldenCross(falling));

    QVector<Stock> turning = falling;
    turning.append(flatBar(25));
    QVERIFY(isMacdGoldenCross(turning));

    // From a flat line the previous MACD bar is exactly 0: no cross.
    QVector<Stock> flat = closes(QVector<float>(30, 10));
    flat.append(flatBar(11));
    QVERIFY(!isMacdGoldenCross(flat));

    QVERIFY(!isMacdGoldenCross(closes({10})));
    QVERIFY(!isMacdGoldenCross({}));
    // Two bars: the previous result is not valid yet.
    QVERIFY(!isMacdGoldenCross(closes({10, 12})));
}

void TestIndicators::firstBreakOfBollUpper()
{
    QVector<Stock> bars = quietSeries(20);
    bars.append(flatBar(12));
    QVERIFY(isFirstBreakBollUpper(bars, 1));
    QVERIFY(!isFirstBreakBollUpper(bars, 2));

    // Bar 20 against an unformed band is no break, whatever its close.
    QVector<Stock> short20 = quietSeries(19);
    short20.append(flatBar(12));
    QVERIFY(!isFirstBreakBollUpper(short20, 1));

    // The second close above the band is not the first.
    bars.append(flatBar(12.5f));
    QVERIFY(!isFirstBreakBollUpper(bars, 1));

    QVector<Stock> inside = quietSeries(21);
    QVERIFY(!isFirstBreakBollUpper(inside, 1));

    // Today's close is judged against today's band, which it widens itself:
    // above yesterday's upper band (10.2) but inside its own (10.23) is no break.
    QVector<Stock> withinOwnBand = quietSeries(20);
    withinOwnBand.append(flatBar(10.21f));
    QVERIFY(!isFirstBreakBollUpper(withinOwnBand, 1));

    // Yesterday's close against yesterday's band: a break yesterday (10.6 over
    // 10.36) leaves today none to make first, though today's 13 widens the
    // band above 10.6.
    QVector<Stock> breakYesterday = quietSeries(20);
    breakYesterday.append(flatBar(10.6f));
    QVERIFY(isFirstBreakBollUpper(breakYesterday, 1));
    breakYesterday.append(flatBar(13));
    QVERIFY(!isFirstBreakBollUpper(breakYesterday, 1));
}

void TestIndicators::bollUpperBelowLevel()
{
    const IndicatorResult band{true, 10, 0.5f, -0.5f, 0};   // upper 11
    const IndicatorResult wide{true, 10, 1.0f, -1.0f, 0};   // upper 12
    const QVector<IndicatorResult> results = {wide, band, band};
    QVERIFY(isBollUpperBelow(results, 11.5f, 2));
    QVERIFY(!isBollUpperBelow(results, 11.5f, 3));
    QVERIFY(!isBollUpperBelow(results, 11.0f, 1));   // strictly below
    QVERIFY(!isBollUpperBelow(results, 11.5f, 4));
    QVERIFY(!isBollUpperBelow(results, 11.5f, 0));
    // An unformed band (all 0) is below every positive level but says nothing.
    QVERIFY(!isBollUpperBelow({IndicatorResult(), band}, 11.5f, 2));
}

QTEST_APPLESS_MAIN(TestIndicators)
#include "tst_indicators.moc"
