#include "analysis/candlepatterns.h"

#include "tests/analysis/candleseries.h"

#include <QtTest>

#include <cmath>

namespace {

// The pattern's series with `edits` made: "d1.open=10.5" sets the open of the
// bar before the last, "d0=10,10.5,9.5,10.25" the whole last bar (open, high,
// low, close), "level=9" moves the flat bars in front of the pattern. A flat
// bar is reached the same way ("d2.close=13" on a two-bar pattern), which
// sets the 5-day average without touching the pattern's bars.
QVector<Stock> edited(int id, const QString& edits)
{
    QVector<Stock> bars = patternSeries(id);
    const int flatBars = bars.size() - patternBars(id).last.size();
    for (const QString& edit : edits.split(' ', Qt::SkipEmptyParts)) {
        const QString target = edit.section('=', 0, 0);
        const float value = edit.section('=', 1).toFloat();
        if (target == "level") {
            for (int i = 0; i < flatBars; ++i)
                bars[i] = flatBar(value);
            continue;
        }
        Stock& bar = bars[bars.size() - 1 - target.mid(1, 1).toInt()];
        if (!editBar(bar, edit.mid(2)))
            qFatal("no such edit: %s", qPrintable(edit));
    }
    return bars;
}

}   // namespace

class TestCandlePatterns : public QObject
{
    Q_OBJECT

private slots:
    void eachPatternMatchesItsSeries_data();
    void eachPatternMatchesItsSeries();
    void everyConditionIsNeeded_data();
    void everyConditionIsNeeded();
    void everyBoundIsAsWritten_data();
    void everyBoundIsAsWritten();
    void bigFallCountsFromExactlyFivePercent();
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

// Each condition of each rule, broken alone: the pattern's own series with one
// or two prices moved so that this condition fails while every other one
// holds, so that a rule that loosened or lost the condition would match.
// (Conditions that follow from the others have no row: 阳吞阴 d0.close >
// d1.open, 清晨之星 and 黄昏之星 !isSolidBody(d1), 上升三法 d0.close > d4.close
// and d4.close below d2 and d3, 看涨母子线 falling(d1), 阳孕十字 rising(d1) and
// 双飞乌鸦 falling(d0); the zero guards of 大阳线 and 跳空高开 have their own test.)
void TestCandlePatterns::everyConditionIsNeeded_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("edits");
    const struct
    {
        int id;
        const char* condition;
        const char* edits;
    } rows[] = {
        {0, "rising(d0)", "d0.open=10.9 d1.open=11"},
        {0, "falling(d1)", "d1.close=10.9"},
        {0, "d1.open > d0.open", "d0.open=10.5 d0.close=10.8"},
        {0, "d1.high <= d0.close", "d1.high=10.61"},
        {0, "isSolidBody(d0)", "d0.open=10.4"},
        {0, "isSolidBody(d1)", "d1.open=10.3"},
        {0, "ma5 > mid0", "level=10"},
        {1, "d3.close < d2.close", "d3.close=10.5"},
        {1, "d2.close < d1.close", "d2.close=11"},
        {1, "d1.close < d0.close", "d1.close=11.5"},
        {1, "rising(d2)", "d2.open=10.3 d2.close=10.02"},
        {1, "rising(d1)", "d1.open=10.8 d1.close=10.52"},
        {1, "rising(d0)", "d0.open=11.8"},
        {1, "d3.open < d2.open", "d2.open=9.5"},
        {1, "d2.open < d1.open", "d1.open=10"},
        {1, "d1.open < d0.open", "d0.open=10.5"},
        {1, "isSolidBody(d0)", "d0.open=11.3"},
        {1, "isSolidBody(d1)", "d1.open=10.8"},
        {1, "isSolidBody(d2)", "d2.open=10.3"},
        {2, "isSolidBody(d1)", "d1.open=9.8"},
        {2, "isSolidBody(d0)", "d0.open=10.3"},
        {2, "falling(d1)", "d1.open=9.3"},
        {2, "rising(d0)", "d0.open=11"},
        {2, "d1.open <= d0.open", "d0.open=9.99"},
        {2, "d0.close > d1.high", "d1.high=10.6 d1.close=9.4"},
        {2, "ma5 > d0.open", "level=9.5"},
        {4, "isSolidBody(d2)", "d2.open=10.5"},
        {4, "falling(d2)", "d2.open=9.49"},
        {4, "d2.close >= d1.open", "d1.open=10.01 d1.close=9.81"},
        {4, "shadowBodyRatio(d1) >= 3.0", "d1.open=9.3"},
        {4, "d2.close >= d1.high", "d2.close=9.79"},
        {4, "d1.high <= d0.open", "d0.open=9.79"},
        {4, "isSolidBody(d0)", "d0.open=10.1"},
        {4, "rising(d0)", "d0.open=10.7"},
        {4, "ma5 > mid0", "d0.close=12.8"},
        {5, "isSolidBody(d1)", "d1.close=10.5"},
        {5, "d1.changePercent < -2.0", "d1.changePercent=-2"},
        {5, "falling(d1)", "d1.close=11.8"},
        {5, "rising(d0)", "d0.close=9.2"},
        {5, "d0.open <= d1.close", "d0.open=10.01"},
        {5, "isSolidBody(d0)", "d0.close=10.3"},
        {5, "d0.close < d1.open", "d0.close=11"},
        {5, "ma5 < mid0", "d0.open=8"},
        {6, "isSolidBody(d1)", "d1.open=10.8"},
        {6, "fabs(d1.low - d2.low) < 0.01", "d1.low=9.49"},
        {6, "falling(d2)", "d2.open=9.5"},
        {6, "falling(d1)", "d1.open=9.3"},
        {6, "d1.close > d2.open", "d1.close=10"},
        {6, "rising(d0)", "d0.open=9.8"},
        {6, "d0.close > d2.close", "d2.close=9.8"},
        {6, "d0.low >= d1.low", "d0.low=9.49"},
        {6, "ma5 > mid0", "level=9.5"},
        {7, "isSolidBody(d0)", "d0.open=11.48"},
        {7, "rising(d0)", "d0.open=12.15"},
        {7, "rising(d4)", "d4.open=11"},
        {7, "falling(d1)", "d1.open=11.1"},
        {7, "falling(d2)", "d2.open=11.2"},
        {7, "falling(d3)", "d3.open=11.3"},
        {7, "d4.close < d1.close", "d1.close=11"},
        {7, "d2.close > d1.close", "d1.close=11.2"},
        {7, "d3.close > d2.close", "d2.close=11.3"},
        {7, "d1.open <= d0.open", "d0.open=11.24"},
        {7, "d0.close >= d1.high", "d1.high=11.81 d2.high=11.81"},
        {7, "d1.high <= d2.high", "d1.high=11.41"},
        {7, "d4.high >= d3.high", "d3.high=11.51"},
        {8, "isSolidBody(d0)", "d0.open=11.5"},
        {8, "isSolidBody(d1)", "d1.open=10.9"},
        {8, "isSolidBody(d2)", "d2.open=10.3"},
        {8, "rising(d0)", "d0.open=12"},
        {8, "rising(d1)", "d1.open=11.4"},
        {8, "rising(d2)", "d2.open=10.8"},
        {8, "d2.high < d1.high", "d1.high=10.5"},
        {8, "d1.high < d0.high", "d0.high=11.1"},
        {8, "d2.low < d1.low", "d2.low=10.6"},
        {8, "d1.low < d0.low", "d1.low=11.2"},
        {8, "d2.volume < d1.volume", "d1.volume=100"},
        {8, "d1.volume < d0.volume", "d0.volume=200"},
        {8, "d1.close < d0.open", "d0.open=11.1"},
        {8, "d2.close < d1.open", "d1.open=10.5"},
        {9, "upperShadow(d0) >= 0.01", "d0.open=9.99 d0.close=10.07"},
        {9, "lowerShadow(d0) <= upperShadow(d0) / 5", "d0.open=10.01"},
        {9, "body(d0) / upperShadow(d0) <= 0.49", "d0.close=10.02"},
        {9, "ma5 > mid0", "level=10"},
        {10, "upperShadow(d0) >= 0.1", "d0.open=9.99 d0.high=10.09"},
        {10, "lowerShadow(d0) <= upperShadow(d0) / 5", "d0.open=10.09"},
        {10, "body(d0) / upperShadow(d0) <= 0.49", "d0.close=10.2"},
        {10, "ma5 > mid0", "level=10"},
        {11, "isSolidBody(d0)", "d0.open=9.8"},
        {11, "rising(d0)", "d0.open=10.3"},
        {11, "d1.close < d0.open", "d0.open=9"},
        {11, "d1.open > d0.close", "d0.close=11"},
        {11, "ma5 > mid0", "level=9.5"},
        {20, "isSolidBody(d1)", "d1.open=10.3"},
        {20, "isSolidBody(d0)", "d0.low=9.1"},
        {20, "rising(d1)", "d1.open=10.8"},
        {20, "d1.close < d0.open", "d1.close=10.6"},
        {20, "d1.open > d0.close", "d1.open=9.9"},
        {20, "d1.high < d0.open", "d1.high=10.6"},
        {20, "d1.low > d0.close", "d1.low=9.9"},
        {20, "ma5 < mid0", "level=10.5"},
        {21, "isSolidBody(d1)", "d1.open=10.5"},
        {21, "rising(d1)", "d1.open=12"},
        {21, "d1.close > d0.open", "d0.open=11"},
        {21, "isSolidBody(d0)", "d0.open=9.7"},
        {21, "falling(d0)", "d0.open=9.52 d0.close=9.8"},
        {21, "d1.open > d0.close", "d1.open=9.5"},
        {21, "ma5 < mid0", "d0.close=8.5"},
        {22, "isSolidBody(d1)", "d1.open=10.5"},
        {22, "rising(d1)", "d1.open=11.55"},
        {22, "d1.close < d0.open", "d1.close=11.6"},
        {22, "falling(d0)", "d0.close=11.9"},
        {22, "isSolidBody(d0)", "d0.open=11.3"},
        {22, "d0.open >= d1.high", "d1.high=11.61"},
        {22, "ma5 < mid0", "level=12"},
        {23, "!isSolidBody(d1)", "d1.open=9.7"},
        {23, "rising(d1)", "d1.close=9.89"},
        {23, "lower <= d1.high - d1.close", "d1.open=9.4 d1.low=8.5"},
        {23, "lower < body(d1)", "d1.open=10.1"},
        {23, "d1.high >= d0.high", "d1.high=10.89"},
        {23, "isSolidBody(d0)", "d0.close=10.6"},
        {23, "d0.low >= d1.close", "d0.low=10.29"},
        {23, "ma5 < mid0", "d0.open=8.3"},
        {24, "falling(d2)", "d2.open=10"},
        {24, "rising(d1)", "d1.open=9.5"},
        {24, "falling(d0)", "d0.open=9.6"},
        {24, "d2.close >= d0.close", "d2.close=9.59"},
        {24, "d1.close <= d0.close", "d1.close=9.61"},
        {25, "isSolidBody(d2)", "d2.open=10.5"},
        {25, "rising(d2)", "d2.open=11.55"},
        {25, "d2.close < d1.open", "d2.close=11.2"},
        {25, "d2.close > d0.close", "d0.close=11.55"},
        {25, "isSolidBody(d0)", "d0.open=10.8"},
        {25, "d0.open <= d1.close", "d0.open=11.26"},
        {25, "shadowBodyRatio(d1) >= 3.0", "d1.close=11.35"},
        {25, "ma5 < mid0", "d0.open=9.8"},
        {26, "isSolidBody(d0)", "d0.open=10.25"},
        {26, "isSolidBody(d1)", "d1.open=10.1"},
        {26, "isSolidBody(d2)", "d2.open=9.95"},
        {26, "isSolidBody(d3)", "d3.open=10.18"},
        {26, "falling(d0)", "d0.open=9.7"},
        {26, "rising(d1)", "d1.open=10.3"},
        {26, "rising(d2)", "d2.close=9.8"},
        {26, "rising(d3)", "d3.open=10.85"},
        {26, "falling(d4)", "d4.open=10.6"},
        {26, "d4.close > d1.close", "d1.close=10.6"},
        {26, "d4.close > d2.close", "d2.close=10.6"},
        {26, "d4.close > d3.close", "d3.close=10.6"},
        {26, "d2.low <= d1.low", "d1.low=9.89"},
        {26, "d3.low <= d2.low", "d2.low=9.89"},
        {26, "d4.low <= d3.low", "d3.low=9.89"},
        {26, "d4.close >= d0.close", "d0.open=10.9 d0.close=10.61"},
        {26, "d4.open >= d1.high", "d1.high=11.01 d1.close=10.51"},
        {26, "d3.open >= d2.high", "d2.high=10.01"},
        {26, "d4.open >= d3.high", "d3.high=10.62 d4.open=10.61"},
        {27, "isSolidBody(d1)", "d1.open=10.55"},
        {27, "isSolidBody(d2)", "d2.open=10.25"},
        {27, "isSolidBody(d3)", "d3.open=9.5"},
        {27, "isSolidBody(d0)", "d0.open=10.95"},
        {27, "rising(d3)", "d3.open=10.51"},
        {27, "falling(d0)", "d0.open=9.8"},
        {27, "falling(d1)", "d1.open=9.7"},
        {27, "falling(d2)", "d2.open=9.7"},
        {27, "d2.close < d1.close", "d1.close=10"},
        {27, "d1.close < d0.close", "d0.close=10.2"},
        {27, "(d1.open < d0.open || d2.open < d1.open)", "d0.open=11 d2.open=11"},
        {28, "isSolidBody(d1)", "d1.high=12"},
        {28, "d1.open <= d0.low", "d0.low=9.99"},
        {28, "d1.close >= d0.high", "d0.high=11.01"},
        {28, "!isSolidBody(d0)", "d0.open=10.19"},
        {28, "ma5 < mid0", "level=10.5"},
        {29, "isSolidBody(d2)", "d2.open=10.5"},
        {29, "rising(d2)", "d2.open=11.51"},
        {29, "falling(d1)", "d1.open=11.2"},
        {29, "d2.close <= d1.close", "d2.close=11.21"},
        {29, "d1.open < d0.open", "d0.open=11.5"},
        {29, "d1.close > d0.close", "d0.close=11.2"},
        {30, "lowerShadow(d0) >= 0.1", "d0.low=9.91"},
        {30, "upperShadow(d0) <= lowerShadow(d0) / 5", "d0.high=10.12"},
        {30, "body(d0) / lowerShadow(d0) <= 0.49", "d0.open=9.82"},
        {30, "ma5 < mid0", "level=10.5"},
        {31, "upperShadow(d0) >= 0.1", "d0.high=10.11"},
        {31, "lowerShadow(d0) <= upperShadow(d0) / 5", "d0.low=9.9"},
        {31, "body(d0) / upperShadow(d0) <= 0.49", "d0.close=10.19"},
        {31, "ma5 < mid0", "level=10.5"},
        {32, "rising(d1)", "d1.open=10.31 d1.close=10.31"},
        {32, "d1.close > d0.close", "d1.close=10.3"},
        {32, "d1.open < d0.open", "d1.open=10.8"},
        {32, "falling(d0)", "d0.open=10.3"},
        {32, "ma5 < mid0", "level=10.5"},
        {97, "d0.changePercent <= -5.0", "d0.changePercent=-4.99"},
        {97, "ma5 >= d0.close", "d0.close=10.01"},
        {98, "isSolidBody(d0)", "d0.open=13"},
        {98, "d0.close > d1.close * 1.5", "d0.close=15"},
        {99, "d0.low > d1.high * 1.02", "d0.low=10.2"},
    };
    for (const auto& row : rows)
        QTest::addRow("%s %s", kPatternName(row.id).toUtf8().constData(), row.condition)
            << row.id << QString(row.edits);
}

void TestCandlePatterns::everyConditionIsNeeded()
{
    QFETCH(int, id);
    QFETCH(QString, edits);
    QVERIFY(detectKPattern(id, patternSeries(id), nullptr));
    QVERIFY(!detectKPattern(id, edited(id, edits), nullptr));
}

// Each comparison of each rule on its bound: a bar moved onto the bound of
// "<=" or ">=" keeps the pattern, one moved onto the bound of "<" or ">"
// loses it, and a threshold just inside (or outside) its constant keeps (or
// loses) it; every other condition of the rule still holds. Prices are
// binary fractions (10.375, 10.0625) wherever a bound is met by arithmetic,
// so that the two sides come out exactly equal: the 5-day average of the
// last five closes is set through the flat bars in front of the pattern.
void TestCandlePatterns::everyBoundIsAsWritten_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("edits");
    QTest::addColumn<bool>("matches");
    const struct
    {
        int id;
        const char* bound;
        const char* edits;
        bool matches;
    } rows[] = {
        {0, "d1.high == d0.close", "d1.high=10.6", true},
        {0, "ma5 == mid0", "level=10.625 d0=10.375,10.625,10.375,10.625", false},
        {2, "ma5 == d0.open", "level=10 d1.close=9.5 d0.high=10.5 d0.close=10.5", false},
        {4, "d2.close == d1.open == d1.high == d0.open", "d1=10,10,9.0,9.9 d0=10,10.4,10,10.4", true},
        {4, "shadowBodyRatio(d1) == 3.0", "d1=9.75,9.75,8.75,9.5", true},
        {4, "shadowBodyRatio(d1) just under 3.0", "d1=9.75,9.75,8.765625,9.5", false},
        {4, "ma5 == mid0", "level=10.625 d1=9.75,9.75,8.75,9.5 d0=10,10.5,10,10.5", false},
        {5, "d0.open == d1.close", "d0.open=10 d0.low=10", true},
        {5, "d1.changePercent just under -2.0", "d1.changePercent=-2.01", true},
        {5, "ma5 == mid0", "level=10.375 d0=10,10.75,10,10.75", false},
        {6, "d0.low == d1.low", "d0.low=9.5", true},
        {6, "ma5 == mid0", "level=9.875 d1.close=10.125 d0=9.75,10,9.75,10", false},
        {7, "d0.close == d1.high == d2.high", "d1.high=11.8 d2.high=11.8", true},
        {7, "d4.high == d3.high", "d3.high=11.5", true},
        {9, "upperShadow(d0) just over 0.01", "d0=10,10.01953125,10,10.00390625", true},
        {9, "upperShadow(d0) just under 0.01", "d0=10,10.009765625,10,10.001953125", false},
        {9, "lowerShadow(d0) == upperShadow(d0) / 5", "d0=10,10.875,9.875,10.25", true},
        {9, "body(d0) / upperShadow(d0) just under 0.49", "d0=10,10.7421875,10,10.2421875", true},
        {9, "body(d0) / upperShadow(d0) == 0.5", "d0=10,10.75,10,10.25", false},
        {9, "ma5 == mid0", "level=10.046875 d0=10,10.5,10,10.125", false},
        {10, "upperShadow(d0) just over 0.1", "d0=10,10.15625,10,10.03125", true},
        {10, "ma5 == mid0", "level=10.046875 d0=10,10.5,10,10.125", false},
        {11, "ma5 == mid0", "level=10.25 d0=9.75,10.25,9.75,10.25", false},
        {20, "ma5 == mid0", "level=10.625 d0=11.25,11.25,9.5,9.5", false},
        {21, "ma5 == mid0", "d2.close=10.25", false},
        {22, "d0.open == d1.high", "d1.high=11.25 d0.open=11.25 d0.high=11.25", true},
        {22, "ma5 == mid0", "d0=11.5,11.5,11,11 d2.close=16.25", false},
        {23, "lower == upper, d1.high == d0.high, d0.low == d1.close",
         "d1=10,10.75,9.75,10.5 d0=10.5,10.75,10.5,10.75", true},
        {23, "lower == body(d1)", "d1.close=10.25 d1.low=9.75", false},
        {23, "ma5 == mid0", "d1=10,11,9.75,10.5 d0=10.5,10.75,10.5,10.75 d2.close=13.875", false},
        {24, "d2.close == d0.close", "d0=10.5,10.5,9.5,10", true},
        {24, "d1.close == d0.close", "d1.close=9.6", true},
        {25, "d2.close == d0.close", "d0.low=11 d0.close=11", false},
        {25, "d0.open == d1.close", "d0.open=11.25 d0.high=11.25", true},
        {25, "shadowBodyRatio(d1) == 3.0", "d1=11.25,12,11,11.5", true},
        {25, "ma5 == mid0", "d0.open=11 d0.high=11 d3.close=12", false},
        {26, "d2.low == d1.low", "d1.low=9.9", true},
        {26, "d4.close == d0.close", "d0=10.9,10.9,10.6,10.6", true},
        {26, "d4.open == d1.high", "d1.high=11 d1.close=10.55", true},
        {26, "d4.open == d3.high", "d3.high=11 d3.close=10.59", true},
        {27, "only d2.open < d1.open", "d0.open=11 d0.high=11", true},
        {27, "only d1.open < d0.open", "d2.open=11 d2.high=11", true},
        {28, "d1.open == d0.low", "d0.low=10", true},
        {28, "d1.close == d0.high", "d0.high=11", true},
        {28, "ma5 == mid0", "d2.close=13", false},
        {29, "d2.close == d1.close", "d1.low=11 d1.close=11 d0.low=10.8 d0.close=10.8", true},
        {30, "lowerShadow(d0) just over 0.1", "d0=10,10.03125,9.875,10.03125", true},
        {30, "upperShadow(d0) == lowerShadow(d0) / 5", "d0=10,10.375,9.375,10.25", true},
        {30, "ma5 == mid0", "d0=10,10.0625,9.5,10.0625 d1.close=13.09375", false},
        {31, "upperShadow(d0) just over 0.1", "d0=10,10.15625,10,10.03125", true},
        {31, "ma5 == mid0", "d0=10,10.5,10,10.125 d1.close=13.1875", false},
        {32, "ma5 == mid0", "d0=10.75,10.75,10.25,10.25 d2.close=13.25", false},
        {97, "ma5 == d0.close", "level=9", true},
        {99, "d0.low == d1.high * 1.02", "level=100 d0=103,104,102,103.5", false},
        {99, "d0.low just over d1.high * 1.02", "level=100 d0=103,104,102.5,103.5", true},
    };
    for (const auto& row : rows)
        QTest::addRow("%s %s", kPatternName(row.id).toUtf8().constData(), row.bound)
            << row.id << QString(row.edits) << row.matches;
}

void TestCandlePatterns::everyBoundIsAsWritten()
{
    QFETCH(int, id);
    QFETCH(QString, edits);
    QFETCH(bool, matches);
    QCOMPARE(detectKPattern(id, edited(id, edits), nullptr), matches);
}

// 大阴线 takes a fall of 5.00 % itself, not one of 4.99 %.
void TestCandlePatterns::bigFallCountsFromExactlyFivePercent()
{
    QVERIFY(detectKPattern(KPatternDaYinXian, edited(KPatternDaYinXian, "d0.changePercent=-5"), nullptr));
    QVERIFY(!detectKPattern(KPatternDaYinXian, edited(KPatternDaYinXian, "d0.changePercent=-4.99"), nullptr));
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
    // The short-bar exception needs both a body under 0.02 and shadows under 0.2.
    QTest::newRow("body 0.0234 short shadows") << 10.0f << 10.0703125f << 9.953125f << 10.0234375f << false << 4.0f;
    QTest::newRow("body 0.0156 shadows 0.25") << 10.0f << 10.140625f << 9.875f << 10.015625f << false << 16.0f;
}

void TestCandlePatterns::barMeasures()
{
    QFETCH(float, open);
    QFETCH(float, high);
    QFETCH(float, low);
    QFETCH(float, close);
    QFETCH(bool, solid);
    QFETCH(float, ratio);

    const Stock bar = ohlc(open, high, low, close);
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
    falling.last() = ohlc(10.01f, 10.06f, 10, 10);
    QVERIFY(detectKPattern(KPatternChuiZiZhiDie, falling, nullptr));

    // A body over half the shadow is no hammer.
    QVector<Stock> thick = short9;
    thick.last() = ohlc(10, 10.06f, 10, 10.03f);
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
    deep[deep.size() - 2] = ohlc(11.25f, 11.3f, 10.9f, 11.0f);
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

    // Each rule of the bullish range is found by the plain search, none of
    // the bearish range is.
    for (int id : allPatternIds()) {
        const bool bullish = id <= 19;
        QVERIFY2(hasBullishKPattern(patternSeries(id), nullptr, false) == bullish, qPrintable(QString::number(id)));
    }

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
    QTest::newRow("lower shadow six bodies") << 10.0f << 10.125f << 9.25f << 10.125f << true;
    QTest::newRow("closes 0.047 under the high") << 10.0f << 10.546875f << 9.9f << 10.5f << true;
    QTest::newRow("closes 0.055 under the high") << 10.0f << 10.5546875f << 9.9f << 10.5f << false;
}

void TestCandlePatterns::strongRisingBar()
{
    QFETCH(float, open);
    QFETCH(float, high);
    QFETCH(float, low);
    QFETCH(float, close);
    QFETCH(bool, strong);
    QCOMPARE(isStrongRisingBar(ohlc(open, high, low, close)), strong);
}

QTEST_APPLESS_MAIN(TestCandlePatterns)
#include "tst_candlepatterns.moc"
