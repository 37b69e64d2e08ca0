#include "strategy/lhbanalyzer.h"

#include "analysis/indicators.h"
#include "core/fileutils.h"
#include "core/stock.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* const kDepartments = "甲营业部,一线游资\n乙营业部,敢死队\n";
const char* const kCoworks = "甲营业部,丙营业部,85.71%\n乙营业部,丁营业部,100.00%\n";

// "seat|rate|net|side" per row, rows separated by ";".
QVector<LHBUnit> seats(const QString& text)
{
    QVector<LHBUnit> rows;
    for (const QString& row : text.split(';', Qt::SkipEmptyParts)) {
        const QStringList f = row.split('|');
        LHBUnit unit;
        unit.seat = f.value(0);
        unit.cell3 = f.value(1);
        unit.netAmount = f.value(2);
        unit.side = f.value(3).toInt();
        rows.append(unit);
    }
    return rows;
}

// An iFeng daily body of the given closes (open, high and low equal the close).
QString ifengBody(const QVector<double>& closes)
{
    QStringList bars;
    QDate day(2016, 1, 4);
    for (double close : closes) {
        const QString c = QString::number(close, 'f', 2);
        QStringList fields { day.toString("yyyy-MM-dd"), c, c, c, c, "1000.00", "0.00", "0.00" };
        while (fields.size() < 17)
            fields << "0";
        bars << "[\"" + fields.join("\",\"") + "\"]";
        day = day.addDays(1);
    }
    return "{\"record\":[" + bars.join(",") + "]}";
}

// A slide that speeds up, then one close far above it: the first close above
// the upper Boll band, on the bar where the MACD bar turns positive.
QVector<double> breakoutCloses()
{
    QVector<double> closes;
    for (int i = 0; i < 40; ++i)
        closes << 30.0 - 0.001 * i * i;
    closes << closes.last() + 3.0;
    return closes;
}

QString describe(const LhbResult& r)
{
    return r.code + "|" + QString::number(r.score) + "|" + r.reasons.join(";");
}

} // namespace

class LhbAnalyzerTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void departmentTableKeepsTwoFieldLinesLastOneWins();
    void coworkTableKeepsThreeFieldLinesInOrder();
    void shippedTablesLoad();
    void evaluateRatesTheBuyers_data();
    void evaluateRatesTheBuyers();
    void chartSignalsAddReasonsButNoScore();
    void runKeepsStocksScoringTwoOrMore();

private:
    QTemporaryDir folder;
};

void LhbAnalyzerTest::initTestCase()
{
    QVERIFY(folder.isValid());
    QVERIFY(QDir::setCurrent(folder.path()));
    QVERIFY(QDir().mkpath("data/dl"));
}

void LhbAnalyzerTest::departmentTableKeepsTwoFieldLinesLastOneWins()
{
    const QMap<QString, QString> table = LhbAnalyzer::parseDepartmentTable(
        " 甲营业部,一线游资 \r\n\n乙营业部,敢死队,多余\n# 说明行\n甲营业部,跟风高手\n丙营业部,\n");
    QCOMPARE(table.keys(), QStringList({ "丙营业部", "甲营业部" }));
    QCOMPARE(table.value("甲营业部"), QStringLiteral("跟风高手"));
    QCOMPARE(table.value("丙营业部"), QString());
}

void LhbAnalyzerTest::coworkTableKeepsThreeFieldLinesInOrder()
{
    const QVector<CoworkPair> table =
        LhbAnalyzer::parseCoworkTable("乙,丁,58.33%\n甲,丙\n甲,丙,100.00%\n甲,丙,1,2\n");
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.at(0).first + table.at(0).second, QStringLiteral("乙丁"));
    QCOMPARE(table.at(0).rate, 58.33f);
    QCOMPARE(table.at(1).rate, 100.0f);
}

void LhbAnalyzerTest::shippedTablesLoad()
{
    LhbAnalyzer analyzer;
    QVERIFY(!analyzer.departmentTable.isEmpty());
    const QStringList labels { "一线游资", "跟风高手", "敢死队" };
    for (auto it = analyzer.departmentTable.cbegin(); it != analyzer.departmentTable.cend(); ++it) {
        QVERIFY2(it.key().endsWith("营业部"), qPrintable(it.key()));
        QVERIFY2(labels.contains(it.value()), qPrintable(it.value()));
    }
    for (const CoworkPair& pair : analyzer.coworkTable)
        QVERIFY(pair.rate > 0 && pair.rate <= 100);
}

void LhbAnalyzerTest::evaluateRatesTheBuyers_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("expected");   // code|score|reasons
    const QString good = "买入营业部均有不俗成功率";
    const QString strong = "买入机构买入净额超过一千万";

    QTest::newRow("institution alone") << "机构专用||1200|1"
                                       << "600123|2|" + good + ";" + strong + ";1家机构买入";
    QTest::newRow("net buy just short") << "机构专用||999.9|1" << "|0|" + good;
    QTest::newRow("net buy of exactly ten million") << "机构专用||600|1;机构专用||400|1"
                                                    << "600123|2|" + good + ";" + strong + ";2家机构买入";
    QTest::newRow("rate 59.9 is not good") << "戊营业部|59.9%|2000|1" << "|0|";
    QTest::newRow("rate 60 is good") << "戊营业部| 60% |2000|1" << "600123|1|" + good + ";" + strong;
    QTest::newRow("institution with a low rate is good") << "机构专用|10%|1500|1;机构专用|0%|0|1"
                                                         << "600123|2|" + good + ";" + strong + ";2家机构买入";
    QTest::newRow("weak branch forgiven beside its partner")
        << "甲营业部|70%|800|1;丙营业部|50%|400|1"
        << "600123|2|营业部联合买入,单指标成功率高达:85.71;" + strong + ";一线游资买入";
    QTest::newRow("weak branch without partner") << "甲营业部|70%|800|1;戊营业部|50%|400|1" << "|0|";
    QTest::newRow("two weak branches") << "甲营业部|50%|800|1;丙营业部|50%|400|1" << "|0|";
    QTest::newRow("department and pair on a good record")
        << "乙营业部|80%|900|1;丁营业部|75%|300|1;机构专用||0|1"
        << "600123|4|" + good + ";" + strong + ";1家机构买入;敢死队买入;营业部联合买入,单指标成功率高达:100";
    QTest::newRow("first department in table order") << "甲营业部|90%|600|1;乙营业部|90%|600|1"
                                                     << "600123|2|" + good + ";" + strong + ";敢死队买入";
    QTest::newRow("sell side counts for nothing") << "机构专用||2000|2;甲营业部|10%|0|2;戊营业部||600|1"
                                                  << "|0|" + good;
    QTest::newRow("no buyers") << "" << "|0|" + good;
}

void LhbAnalyzerTest::evaluateRatesTheBuyers()
{
    QFETCH(QString, rows);
    QFETCH(QString, expected);
    const LhbAnalyzer analyzer(QString::fromUtf8(kDepartments), QString::fromUtf8(kCoworks));
    QCOMPARE(describe(analyzer.evaluate("600123", seats(rows))), expected);
}

void LhbAnalyzerTest::chartSignalsAddReasonsButNoScore()
{
    const QVector<double> closes = breakoutCloses();
    QVERIFY(saveWhole("data/dl/600321", ifengBody(closes).toUtf8()));
    QVector<Stock> bars;
    for (double close : closes) {
        Stock bar;
        bar.open = bar.high = bar.low = bar.close = QString::number(close, 'f', 2).toFloat();
        bars << bar;
    }
    QVERIFY(isFirstBreakBollUpper(bars, 1));   // the series shows what it is meant to
    QVERIFY(isMacdGoldenCross(bars));

    const LhbAnalyzer analyzer { QString(), QString() };
    const QVector<LHBUnit> rows = seats("机构专用||1200|1");
    QCOMPARE(describe(analyzer.evaluate("600321", rows)),
             QStringLiteral("600321|2|买入营业部均有不俗成功率;买入机构买入净额超过一千万;1家机构买入;首次突破布林上轨;MACD金叉"));
    // No daily data, or a weak net buy: no chart reasons.
    QCOMPARE(analyzer.evaluate("600322", rows).reasons.size(), 3);
    QCOMPARE(analyzer.evaluate("600321", seats("机构专用||100|1")).reasons.size(), 1);
}

void LhbAnalyzerTest::runKeepsStocksScoringTwoOrMore()
{
    LhbAnalyzer analyzer(QString::fromUtf8(kDepartments), QString::fromUtf8(kCoworks));
    analyzer.seatRows.insert("000001", seats("机构专用||1200|1"));
    analyzer.seatRows.insert("000002", seats("戊营业部|80%|5000|1"));
    analyzer.seatRows.insert("000003", seats("机构专用||10|1"));
    analyzer.run();
    QCOMPARE(analyzer.results.keys(), QStringList({ "000001" }));
    QCOMPARE(analyzer.results.value("000001").score, 2);

    analyzer.seatRows.insert("000001", seats("机构专用||1200|1;甲营业部|90%|0|1"));
    analyzer.run();
    QCOMPARE(analyzer.results.size(), 1);
    QCOMPARE(analyzer.results.value("000001").score, 3);
    QCOMPARE(analyzer.results.value("000001").reasons.last(), QStringLiteral("一线游资买入"));
}

QTEST_GUILESS_MAIN(LhbAnalyzerTest)
#include "tst_lhbanalyzer.moc"
