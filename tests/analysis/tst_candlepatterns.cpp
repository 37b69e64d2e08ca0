#include "analysis/candlepatterns.h"

#include "tests/analysis/candleseries.h"

#include <QtTest>

#include <cmath>

class TestCandlePatterns : public QObject
{
    Q_OBJECT

private slots:
    void eachPatternMatchesItsSeries_data();
    void eachPatternMatchesItsSeries();
    void fiveBarsNeverMatch();
    void idsWithoutRuleNeverMatch();
    void nameIsWrittenOnlyOnMatch();
    void onlyTheLastBarsCount();
    void barMeasures_data();
    void barMeasures();
    void hammerShadowThresholds();
    void risingThreeMethodsBoundsMiddleHighs();
    void zeroPreviousPriceGivesNoSignal();
    void bullishSearchModes();
    void bearishSearch();
    void strongRisingBar_data();
    void strongRisingBar();
};

void TestCandlePatterns::eachPatternMatchesItsSeries_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");

    const QList<QPair<int, QString>> names = {
        {0, "旭日东升"}, {1, "红三兵"}, {2, "阳吞阴"}, {4, "清晨之星"}, {5, "穿刺看涨"},
        {6, "平头底部看涨"}, {7, "上升三法看涨"}, {8, "三阳开泰看涨"}, {9, "锤子止跌"},
        {10, "锤子止跌看涨"}, {11, "看涨母子线"}, {20, "阴吞阳"}, {21, "倾盆大雨"}, {22, "乌云盖顶"},
        {23, "涨势尽头"}, {24, "空方炮"}, {25, "黄昏之星"}, {26, "下降三法看跌"}, {27, "黑三兵"},
        {28, "阳孕十字看跌"}, {29, "双飞乌鸦"}, {30, "吊颈线"}, {31, "流星形态"}, {32, "看跌母子线"},
        {97, "大阴线"}, {98, "大阳线"}, {99, "跳空高开缺口"},
    };
    QCOMPARE(names.size(), allPatternIds().size());
    for (const auto& n : names)
        QTest::newRow(qPrintable(QString::number(n.first))) << n.first << n.second;
}

void TestCandlePatterns::eachPatternMatchesItsSeries()
{
    QFETCH(int, id);
    QFETCH(QString, name);

    QString found = "unchanged";
    QVERIFY(detectKPattern(id, patternSeries(id), &found));
    QCOMPARE(found, name);
    QCOMPARE(kPatternName(id), name);
    // A caller that does not want the name passes none.
    QVERIFY(detectKPattern(id, patternSeries(id), nullptr));
}

void TestCandlePatterns::fiveBarsNeverMatch()
{
    for (int id : allPatternIds()) {
        QString name = "unchanged";
        QVERIFY2(!detectKPattern(id, patternSeries(id, 5), &name), qPrintable(QString::number(id)));
        QCOMPARE(name, QString("unchanged"));
    }
    QVERIFY(!hasBullishKPattern(patternSeries(KPatternHongSanBing, 5), nullptr, false));
    QVERIFY(!hasBearishKPattern(patternSeries(KPatternHeiSanBing, 5)));
}

void TestCandlePatterns::idsWithoutRuleNeverMatch()
{
    QVector<int> noRule = {-1, 3, 100, 1000};
    for (int id = 12; id <= 19; ++id)
        noRule.append(id);
    for (int id = 33; id <= 96; ++id)
        noRule.append(id);
    for (int pattern : allPatternIds()) {
        const QVector<Stock> bars = patternSeries(pattern);
        for (int id : noRule)
            QVERIFY2(!detectKPattern(id, bars, nullptr), qPrintable(QString("%1 on %2").arg(id).arg(pattern)));
    }
}

void TestCandlePatterns::nameIsWrittenOnlyOnMatch()
{
    QString name = "unchanged";
    QVERIFY(!detectKPattern(KPatternHeiSanBing, patternSeries(KPatternHongSanBing), &name));
    QCOMPARE(name, QString("unchanged"));
    QVERIFY(!detectKPattern(KPatternHongSanBing, {}, nullptr));
}

void TestCandlePatterns::onlyTheLastBarsCount()
{
    // A long history in front changes nothing: the average is that of the last
    // five closes.
    QVector<Stock> bars;
    for (int i = 0; i < 400; ++i)
        bars.append(flatBar(i % 2 ? 1 : 50));
    bars += patternSeries(KPatternXuRiDongSheng);
    QVERIFY(detectKPattern(KPatternXuRiDongSheng, bars, nullptr));

    // The same closing bars under a low average are no 旭日东升 (ma5 must be above
    // the middle of the last body).
    const PatternBars p = patternBars(KPatternXuRiDongSheng);
    QVector<Stock> low = {flatBar(8), flatBar(8), flatBar(8), flatBar(8)};
    low += p.last;
    QVERIFY(!detectKPattern(KPatternXuRiDongSheng, low, nullptr));
}

void TestCandlePatterns::barMeasures_data()
{
    QTest::addColumn<float>("open");
    QTest::addColumn<float>("high");
    QTest::addColumn<float>("low");
    QTest::addColumn<float>("close");
    QTest::addColumn<bool>("solid");
    QTest::addColumn<float>("ratio");

    QTest::newRow("full body") << 10.0f << 11.0f << 10.0f << 11.0f << true << 0.0f;
    QTest::newRow("falling body with shadows") << 11.0f << 11.2f << 9.8f << 10.0f << true << 0.4f;
    QTest::newRow("shadows equal body") << 10.0f << 11.5f << 9.5f << 11.0f << false << 1.0f;
    QTest::newRow("short bar short shadows") << 10.0f << 10.1f << 9.95f << 10.01f << false << 0.0f;
    QTest::newRow("doji") << 10.0f << 10.0f << 10.0f << 10.0f << false << 0.0f;
    QTest::newRow("doji with long shadows") << 10.0f << 10.5f << 9.5f << 10.0f << false << INFINITY;
}

void TestCandlePatterns::barMeasures()
{
    QFETCH(float, open);
    QFETCH(float, high);
    QFETCH(float, low);
    QFETCH(float, close);
    QFETCH(bool, solid);
    QFETCH(float, ratio);

    const Stock bar = candle(open, high, low, close);
    QCOMPARE(isSolidBody(bar), solid);
    if (std::isinf(ratio))
        QVERIFY(std::isinf(shadowBodyRatio(bar)));
    else
        QVERIFY2(std::fabs(shadowBodyRatio(bar) - ratio) < 1e-4f, qPrintable(QString::number(shadowBodyRatio(bar))));
}

void TestCandlePatterns::hammerShadowThresholds()
{
    // An upper shadow of 0.05 is enough for 锤子止跌, not for 锤子止跌看涨.
    const QVector<Stock> short9 = patternSeries(KPatternChuiZiZhiDie);
    QVERIFY(detectKPattern(KPatternChuiZiZhiDie, short9, nullptr));
    QVERIFY(!detectKPattern(KPatternChuiZiZhiDieKanZhang, short9, nullptr));
    // The long shadow of 锤子止跌看涨 is a 锤子止跌 as well.
    QVERIFY(detectKPattern(KPatternChuiZiZhiDie, patternSeries(KPatternChuiZiZhiDieKanZhang), nullptr));

    // The colour of the bar does not matter: the same shape falling.
    QVector<Stock> falling = short9;
    falling.last() = candle(10.01f, 10.06f, 10, 10);
    QVERIFY(detectKPattern(KPatternChuiZiZhiDie, falling, nullptr));

    // A body over half the shadow is no hammer.
    QVector<Stock> thick = short9;
    thick.last() = candle(10, 10.06f, 10, 10.03f);
    QVERIFY(!detectKPattern(KPatternChuiZiZhiDie, thick, nullptr));
}

void TestCandlePatterns::risingThreeMethodsBoundsMiddleHighs()
{
    const QVector<Stock> bars = patternSeries(KPatternShangShengSanFa);
    QVERIFY(detectKPattern(KPatternShangShengSanFa, bars, nullptr));

    // The first falling bar reaches above the rising bar's high.
    QVector<Stock> above = bars;
    above[above.size() - 4].high = 11.6f;
    QVERIFY(!detectKPattern(KPatternShangShengSanFa, above, nullptr));

    // The last falling bar reaches above the one before it.
    QVector<Stock> stepUp = bars;
    stepUp[stepUp.size() - 2].high = 11.45f;
    QVERIFY(!detectKPattern(KPatternShangShengSanFa, stepUp, nullptr));

    // A middle close at or below the first bar's close breaks the pattern.
    QVector<Stock> deep = bars;
    deep[deep.size() - 2] = candle(11.25f, 11.3f, 10.9f, 11.0f);
    QVERIFY(!detectKPattern(KPatternShangShengSanFa, deep, nullptr));
}

void TestCandlePatterns::zeroPreviousPriceGivesNoSignal()
{
    QVector<Stock> yang = patternSeries(KPatternDaYangXian);
    yang[yang.size() - 2] = flatBar(0);
    QVERIFY(!detectKPattern(KPatternDaYangXian, yang, nullptr));

    QVector<Stock> gap = patternSeries(KPatternTiaoKongGaoKai);
    gap[gap.size() - 2] = flatBar(0);
    QVERIFY(!detectKPattern(KPatternTiaoKongGaoKai, gap, nullptr));
}

void TestCandlePatterns::bullishSearchModes()
{
    // A long upper shadow is both 锤子止跌 and 锤子止跌看涨: the tail order names
    // the first of its list.
    QString name;
    QVERIFY(hasBullishKPattern(patternSeries(KPatternChuiZiZhiDieKanZhang), &name, true));
    QCOMPARE(name, QString("锤子止跌"));

    QVERIFY(hasBullishKPattern(patternSeries(KPatternYangTunYin), &name, true));
    QCOMPARE(name, QString("阳吞阴"));

    // 红三兵 is outside the tail list but inside the bullish range; the plain
    // search leaves the caller's name alone.
    name = "unchanged";
    QVERIFY(!hasBullishKPattern(patternSeries(KPatternHongSanBing), &name, true));
    QCOMPARE(name, QString("unchanged"));
    QVERIFY(hasBullishKPattern(patternSeries(KPatternHongSanBing), &name, false));
    QCOMPARE(name, QString("unchanged"));
    QVERIFY(hasBullishKPattern(patternSeries(KPatternShangShengSanFa), nullptr, false));

    QVector<Stock> flat(30, flatBar(10));
    QVERIFY(!hasBullishKPattern(flat, &name, true));
    QVERIFY(!hasBullishKPattern(flat, &name, false));
    // Patterns outside 0 to 19 are no bullish signal.
    QVERIFY(!hasBullishKPattern(patternSeries(KPatternTiaoKongGaoKai), nullptr, false));
}

void TestCandlePatterns::bearishSearch()
{
    for (int id : allPatternIds()) {
        if (id >= 20 && id <= 39)
            QVERIFY2(hasBearishKPattern(patternSeries(id)), qPrintable(QString::number(id)));
    }
    QVERIFY(!hasBearishKPattern(patternSeries(KPatternHongSanBing)));
    QVERIFY(!hasBearishKPattern(QVector<Stock>(30, flatBar(10))));
    QVERIFY(!hasBearishKPattern(patternSeries(KPatternDaYinXian)));
}

void TestCandlePatterns::strongRisingBar_data()
{
    QTest::addColumn<float>("open");
    QTest::addColumn<float>("high");
    QTest::addColumn<float>("low");
    QTest::addColumn<float>("close");
    QTest::addColumn<bool>("strong");

    QTest::newRow("closes at the high") << 10.0f << 10.5f << 9.9f << 10.5f << true;
    QTest::newRow("closes 0.1 under the high") << 10.0f << 10.6f << 9.9f << 10.5f << false;
    QTest::newRow("falling") << 10.5f << 10.5f << 9.9f << 10.0f << false;
    QTest::newRow("lower shadow over six bodies") << 10.0f << 10.1f << 9.3f << 10.1f << false;
}

void TestCandlePatterns::strongRisingBar()
{
    QFETCH(float, open);
    QFETCH(float, high);
    QFETCH(float, low);
    QFETCH(float, close);
    QFETCH(bool, strong);
    QCOMPARE(isStrongRisingBar(candle(open, high, low, close)), strong);
}

QTEST_APPLESS_MAIN(TestCandlePatterns)
#include "tst_candlepatterns.moc"
