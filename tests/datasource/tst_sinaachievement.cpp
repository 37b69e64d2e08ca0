// The quarterly earnings report source: page addresses and the cutting of
// the report table into rows of ten texts.

#include "datasource/sinaachievementinterface.h"
#include "tests/datasource/earningsfixtures.h"
#include "tests/support/testhttpserver.h"

#include <QTest>

class SinaAchievementTest : public QObject
{
    Q_OBJECT
private slots:
    void urlsCoverTwentyPagesInOrder();
    void rowsCarryTheTenTexts();
    void shortNamesLoseTheTagAroundThem();
    void rowsWithOtherCellCountsAreSkipped();
    void pageWithoutTableGivesNothing_data();
    void pageWithoutTableGivesNothing();
};

void SinaAchievementTest::urlsCoverTwentyPagesInOrder()
{
    HostOverride hosts(QString("http://127.0.0.1:9"));
    SinaAchievementInterface source;
    const QStringList urls = source.urls({"2017", "3"});
    QCOMPARE(urls.size(), 20);
    const QString stem = "http://127.0.0.1:9/q/go.php/vFinanceAnalyze/kbind/preformance/index.phtml"
                         "?s_i=&s_a=&s_c=&reportdate=2017&quarter=3&p=%1&page=30";
    for (int page = 1; page <= 20; ++page)
        QCOMPARE(urls.at(page - 1), stem.arg(page));
}

void SinaAchievementTest::rowsCarryTheTenTexts()
{
    SinaAchievementInterface source;
    const auto rows = source.parse(earningsPage({{"600000", QString::fromUtf8("浦发银行"), "10.2"},
                                                 {"300750", QString::fromUtf8("宁德时代"), "-0.35"}}),
                                   QString());
    QCOMPARE(rows.size(), 2);
    const QMap<QString, QString> expected = {
        {"code", "600000"}, {"name", QString::fromUtf8("浦发银行")}, {"eps", "0.52"}, {"eps_r", "-3.7"},
        {"navps", "9.80"}, {"roe", "5.31"}, {"cps", "1.20"}, {"netprofit", "10.2"},
        {"netprofit_percent", "12.5"}, {"date", "2017-10-30"}};
    QCOMPARE(rows.at(0), expected);
    QCOMPARE(rows.at(1).value("code"), QString("300750"));
    QCOMPARE(rows.at(1).value("netprofit"), QString("-0.35"));
}

void SinaAchievementTest::shortNamesLoseTheTagAroundThem()
{
    // The name sits in a fixed window at the cell's end, sized for four
    // characters; shorter names leave part of the link tag in the window.
    SinaAchievementInterface source;
    const auto rows = source.parse(
        earningsPage({{"000002", QString::fromUtf8("万科Ａ")}, {"600001", "ST"}, {"600002", QString::fromUtf8("浦发银行")}}),
        QString());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).value("name"), QString::fromUtf8("万科Ａ"));
    QCOMPARE(rows.at(1).value("name"), QString("ST"));
    QCOMPARE(rows.at(2).value("name"), QString::fromUtf8("浦发银行"));
}

void SinaAchievementTest::rowsWithOtherCellCountsAreSkipped()
{
    QString page = earningsPage({{"600000", QString::fromUtf8("浦发银行")}, {"600003", QString::fromUtf8("东北高速")}});
    // drop one plain cell from the first row only
    page.replace(page.indexOf("<td>9.80</td>"), QString("<td>9.80</td>").size(), QString());
    SinaAchievementInterface source;
    const auto rows = source.parse(page, QString());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).value("code"), QString("600003"));
}

void SinaAchievementTest::pageWithoutTableGivesNothing_data()
{
    QTest::addColumn<QString>("body");
    QTest::newRow("empty body") << QString();
    QTest::newRow("past the last page") << earningsPage({});
    QTest::newRow("no clearing div") << earningsPage({{"600000", "x"}}).remove("<div class=\"clear\"></div>");
    QTest::newRow("cut short") << earningsPage({{"600000", QString::fromUtf8("浦发银行")}}).left(200);
}

void SinaAchievementTest::pageWithoutTableGivesNothing()
{
    QFETCH(QString, body);
    SinaAchievementInterface source;
    QVERIFY(source.parse(body, QString()).isEmpty());
}

QTEST_GUILESS_MAIN(SinaAchievementTest)
#include "tst_sinaachievement.moc"
