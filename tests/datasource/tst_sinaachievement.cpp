// The quarterly earnings report source: cutting the report table into rows of
// ten texts.

#include "datasource/sinaachievementinterface.h"
#include "tests/datasource/earningsfixtures.h"

#include <QTest>

class SinaAchievementTest : public QObject
{
    Q_OBJECT
private slots:
    void rowsCarryTheTenTexts();
    void pageWithoutTableGivesNothing();
    void onlyAWholePageWithoutTableEndsTheReport_data();
    void onlyAWholePageWithoutTableEndsTheReport();
    void unclosedRowsAfterTheLastRowAreNotRows();
};

void SinaAchievementTest::rowsCarryTheTenTexts()
{
    // The name sits in a fixed window at the cell's end, sized for four
    // characters; shorter names leave part of the link tag in the window.
    QString page = earningsPage({{"600000", QStringLiteral("浦发银行")}, {"000002", QStringLiteral("万科Ａ")},
                                 {"600003", "x"}, {"600001", "ST", "-0.35"}});
    // a row that lost a cell is no row
    page.remove(page.indexOf("<td>9.80</td>", page.indexOf("/q/600003")), 13);
    SinaAchievementInterface source;
    const auto rows = source.parse(page, QString());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0), (QMap<QString, QString>{{"code", "600000"}, {"name", QStringLiteral("浦发银行")},
                                                 {"eps", "0.52"}, {"eps_r", "-3.7"}, {"navps", "9.80"},
                                                 {"roe", "5.31"}, {"cps", "1.20"}, {"netprofit", "10.2"},
                                                 {"netprofit_percent", "12.5"}, {"date", "2017-10-30"}}));
    QCOMPARE(rows.at(1).value("name"), QStringLiteral("万科Ａ"));
    QCOMPARE(rows.at(2).value("code"), QString("600001"));
    QCOMPARE(rows.at(2).value("name"), QString("ST"));
    QCOMPARE(rows.at(2).value("netprofit"), QString("-0.35"));
}

void SinaAchievementTest::pageWithoutTableGivesNothing()
{
    SinaAchievementInterface source;
    const QString page = earningsPage({{"600000", QStringLiteral("浦发银行")}});
    for (const QString& body : {QString(), earningsPage({}), page.left(page.indexOf("<div class")), page.left(200)})
        QVERIFY(source.parse(body, QString()).isEmpty());
}

void SinaAchievementTest::onlyAWholePageWithoutTableEndsTheReport_data()
{
    // Whether the body is an answer of the host at all: a whole page without
    // rows is the end of the report, anything else a failed download.
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("hostsPage");
    const QString page = earningsPage({{"600000", QStringLiteral("浦发银行")}});
    const QString end = earningsEndPage();
    QTest::newRow("report page") << page << true;
    QTest::newRow("table without rows") << earningsPage({}) << true;
    QTest::newRow("page without table") << end << true;
    QTest::newRow("page without table, head and blanks")
        << QString("<!DOCTYPE html>\r\n<HTML><head><title>x</title></head><body>%1</body></HTML>\r\n\r\n")
               .arg(QString(end).remove("<html>").remove("</html>"))
        << true;
    QTest::newRow("page without table, cut") << end.left(end.size() - 3) << false;
    QTest::newRow("report page cut inside the table") << page.left(page.indexOf("</tbody>")) << false;
    QTest::newRow("error page") << QStringLiteral("<html><body>系统繁忙,请稍后再试</body></html>") << false;
    QTest::newRow("table head without its clearing div")
        << QString(page).remove("<div class=\"clear\"></div>") << false;
    QTest::newRow("blank") << QString("  \n") << false;
}

void SinaAchievementTest::onlyAWholePageWithoutTableEndsTheReport()
{
    QFETCH(QString, body);
    QFETCH(bool, hostsPage);
    SinaAchievementInterface source;
    QCOMPARE(source.hasForm(body), hostsPage);
}

void SinaAchievementTest::unclosedRowsAfterTheLastRowAreNotRows()
{
    QString page = earningsPage({{"600000", QStringLiteral("浦发银行")}, {"000002", QStringLiteral("万科Ａ")}});
    page.replace("</tbody>", QString("<td style=\"width").repeated(60000) + "</tbody>");
    const auto rows = SinaAchievementInterface().parse(page, QString());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(1).value("code"), QString("000002"));
    QVERIFY(SinaAchievementInterface().parse(QString("</thead>").repeated(130000), QString()).isEmpty());
}

QTEST_GUILESS_MAIN(SinaAchievementTest)
#include "tst_sinaachievement.moc"
