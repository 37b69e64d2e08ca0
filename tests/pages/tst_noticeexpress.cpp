// The notices page: keyword highlighting, the reduction-notice rule and whole
// downloads of the seven notice pages from a loopback host, started by the
// button and by the application's init.

#include "core/vorelapplication.h"
#include "pages/noticeexpress.h"
#include "tests/support/columnfit.h"
#include "tests/support/failedanswers.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QTest>

namespace {

QString noticePage(const QList<QStringList>& notices)   // code, name, title, date
{
    QStringList records;
    for (const QStringList& n : notices)
        records.append(QString("{\"NOTICEDATE\":\"%4\",\"SECURITYCODE\":\"%1\",\"SECURITYSHORTNAME\":\"%2\","
                               "\"NOTICETITLE\":\"%3\",\"EUTIME\":\"%4T18:07:41+08:00\",\"COLUMNNAME\":\"x\"}")
                           .arg(n.at(0), n.at(1), n.at(2), n.at(3)));
    return QString("<script>var d = {defjson: {data:[%1]},\n charset: \"gb2312\"};</script>").arg(records.join(','));
}

// Types 5, 1 and 7 have notices (one without a code); the other four pages fail.
void serveNotices(TestHttpServer& server)
{
    const auto u = [](const char* text) { return QString::fromUtf8(text); };
    server.serveExact("/notices/hsa/5.html",
                 TestHttpServer::Reply::gbk(noticePage({{"600000", u("浦发银行"), u("600000:股东减持计划"), "2017-01-04"},
                                                        {"", u("无代码"), u("减持"), "2017-01-09"}})));
    server.serveExact("/notices/hsa/1.html",
                 TestHttpServer::Reply::gbk(noticePage({{"000002", u("万科Ａ"), u("关于股东不减持的公告"), "2017-01-06"},
                                                        {"300750", u("宁德时代"), u("高管减持结果"), "2017-01-02"}})));
    server.serveExact("/notices/hsa/7.html",
                 TestHttpServer::Reply::gbk(noticePage({{"600000", u("浦发银行"), u("减持进展"), "2017-01-05"}})));
}

const QStringList kReductionCodes = {"300750", "600000", "600000"};

} // namespace

class NoticeExpressTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void keywordsShowInRed_data();
    void keywordsShowInRed();
    void reductionCodesOldestFirstWithRepeats();
    void longTitleIsCutWithItsWholeTextAsTooltip();
    void downloadFillsTableAndReductionCodes();
    void failedPagesKeepTheNoticesAndSayWhy_data();
    void failedPagesKeepTheNoticesAndSayWhy();
    void initStartsTheSearch();
};

void NoticeExpressTest::initTestCase()
{
    // init() reads the stock list; one listed stock is enough
    QDir().mkpath("config");
    writeShareList("config/data.db", {"('600000','a','','',1,1,'19991110','','19991110')"});
}

void NoticeExpressTest::keywordsShowInRed_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QString>("html");
    const QString title = QStringLiteral("关于股东减持计划的公告");
    const auto red = [](const char* text) { return QStringLiteral("<font color=red>%1</font>").arg(QString::fromUtf8(text)); };
    QTest::newRow("no keywords") << title << QString() << title;
    QTest::newRow("two keywords") << title << QStringLiteral("减持,股东")
                                  << QStringLiteral("关于") + red("股东") + red("减持") + QStringLiteral("计划的公告");
    const QString both = QStringLiteral("关于") + red("股东") + red("减持") + QStringLiteral("计划的公告");
    QTest::newRow("full-width comma") << title << QStringLiteral("减持，股东") << both;
    QTest::newRow("blanks around the keywords") << title << QStringLiteral(" 减持 , 股东 ") << both;
    QTest::newRow("enumeration comma") << title << QStringLiteral("减持、股东") << both;
    QTest::newRow("every occurrence, empty keyword skipped")
        << QStringLiteral("减持与减持") << QStringLiteral(",减持,") << red("减持") + QStringLiteral("与") + red("减持");
    QTest::newRow("case-sensitive") << QString("ST abc") << QString("st") << QString("ST abc");
    // a later keyword never matches inside the markup of an earlier one
    QTest::newRow("keyword found in markup") << QStringLiteral("减持red") << QStringLiteral("减持,font,red")
                                             << red("减持") + red("red");
    // the host's text is shown, never interpreted
    QTest::newRow("markup in title") << QStringLiteral("<b>减持</b>&") << QStringLiteral("减持")
                                     << "&lt;b&gt;" + red("减持") + "&lt;/b&gt;&amp;";
}

void NoticeExpressTest::keywordsShowInRed()
{
    QFETCH(QString, title);
    QFETCH(QString, keywords);
    QFETCH(QString, html);
    QCOMPARE(NoticeExpress::highlightTitle(title, keywords), html);
}

void NoticeExpressTest::reductionCodesOldestFirstWithRepeats()
{
    const auto notice = [](const QString& code, const char* title, const QString& date) {
        Data data;
        data.code = code;
        data.date = date;
        data.fields.insert("title", QString::fromUtf8(title));
        return data;
    };
    const QVector<Data> notices = {notice("600000", "股东减持计划", "2017-01-05"),
                                   notice(" 000002 ", "减持公告", "2017-01-03"),
                                   notice("600001", "关于股东不减持的公告", "2017-01-01"),
                                   notice("600002", "不减持承诺及高管减持计划", "2017-01-01"),
                                   notice("600003", "股东增持计划", "2017-01-01"),
                                   notice("600000", "再次减持", "2017-01-04")};
    QCOMPARE(NoticeExpress::reductionCodesOf(notices), QStringList({"000002", "600000", "600000"}));
}

void NoticeExpressTest::longTitleIsCutWithItsWholeTextAsTooltip()
{
    NoticeExpress page;
    page.keywordEdit->setText(QStringLiteral("减持，股东"));
    Data notice;
    notice.code = "600000";
    notice.date = "2017-01-04";
    const QString title = QStringLiteral("浦发银行关于持股百分之五以上股东及其一致行动人的减持股份计划实施进展暨后续安排的"
                                         "提示性公告，再次提示股东减持");
    notice.fields.insert("title", title);
    page.onUpdateOneRow(notice);
    notice.code = "600036";
    notice.fields.insert("title", QStringLiteral("招商银行年度报告"));
    page.onUpdateOneRow(notice);
    page.resize(900, 400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(saveScreenshot(&page, "notices-long-title"));

    const int row = page.table->item(0, 0)->text() == "600000" ? 0 : 1;
    auto* label = qobject_cast<QLabel*>(page.table->cellWidget(row, 2));
    QVERIFY(label);
    const QString shown = QTextDocumentFragment::fromHtml(label->text()).toPlainText();
    QVERIFY2(shown.endsWith(QStringLiteral("…")), qPrintable(shown));
    QVERIFY(title.startsWith(shown.chopped(1)));
    QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
    // the tooltip holds the whole title, the keyword past the cut marked too
    QCOMPARE(QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText(), title);
    QCOMPARE(label->toolTip().count(QStringLiteral("<font color=red>减持</font>")), 2);
    // a title that fits stays whole
    auto* shortTitle = qobject_cast<QLabel*>(page.table->cellWidget(1 - row, 2));
    QCOMPARE(shortTitle->text(), QStringLiteral("招商银行年度报告"));

    // the titles sort by their text
    page.table->sortByColumn(2, Qt::AscendingOrder);
    QCOMPARE(page.table->item(0, 0)->text(), QString("600036"));
    page.table->sortByColumn(2, Qt::DescendingOrder);
    QCOMPARE(page.table->item(0, 0)->text(), QString("600000"));
}

void NoticeExpressTest::downloadFillsTableAndReductionCodes()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveNotices(server);
    NoticeExpress page;
    page.pageInterval = 5;
    page.keywordEdit->setText(QStringLiteral("减持"));
    vorelApp()->reductionCodes = QStringList({"999999"});
    page.searchButton->click();
    // a second search while the first runs would show every notice twice
    QTRY_VERIFY_WITH_TIMEOUT(page.table->rowCount() > 0, 20000);
    page.onSearch();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);

    QStringList paths;
    for (const auto& request : server.requests())
        paths.append(request.path);
    QCOMPARE(paths, QStringList({"/notices/hsa/5.html", "/notices/hsa/1.html", "/notices/hsa/2.html",
                                 "/notices/hsa/3.html", "/notices/hsa/6.html", "/notices/hsa/4.html",
                                 "/notices/hsa/7.html"}));
    QCOMPARE(vorelApp()->reductionCodes, kReductionCodes);
    // the four pages that failed are counted
    QCOMPARE(page.statusLabel->text(), QStringLiteral("4类公告下载失败，最近一次：HTTP 404 Not Found"));

    // newest first; each title label stays in the row of its own notice
    const QStringList codes = {"000002", "600000", "600000", "300750"};
    const QStringList titles = {"关于股东不<font color=red>减持</font>的公告", "<font color=red>减持</font>进展",
                                "股东<font color=red>减持</font>计划", "高管<font color=red>减持</font>结果"};
    QCOMPARE(page.table->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(page.table->item(row, 0)->text(), codes.at(row));
        auto* label = qobject_cast<QLabel*>(page.table->cellWidget(row, 2));
        QVERIFY(label);
        QCOMPARE(label->text(), titles.at(row));
    }
    QCOMPARE(page.table->item(0, 1)->text(), QStringLiteral("万科Ａ"));
    QCOMPARE(page.table->item(0, 4)->text(), QString("2017-01-06"));
    QCOMPARE(cutTexts(page.table, {0, 3, 4}).join(" | "), QString());
    page.resize(900, 500);
    page.show();
    QVERIFY(saveScreenshot(&page, "notices"));

    // a search whose every page fails keeps the notices shown and the codes
    // the auction filters by
    server.clearFixtures();
    page.searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QCOMPARE(page.table->rowCount(), 4);
    QCOMPARE(vorelApp()->reductionCodes, kReductionCodes);
    QCOMPARE(page.statusLabel->text(), QStringLiteral("7类公告下载失败，最近一次：HTTP 404 Not Found"));

    // pages that arrive without a reduction notice do clear them
    server.serveExact("/notices/hsa/5.html", TestHttpServer::Reply::gbk(noticePage(
        {{"600000", QStringLiteral("浦发银行"), QStringLiteral("年度报告"), "2017-01-04"}})));
    page.searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QCOMPARE(page.table->rowCount(), 1);
    QVERIFY(vorelApp()->reductionCodes.isEmpty());
}

void NoticeExpressTest::failedPagesKeepTheNoticesAndSayWhy_data()
{
    addFailedAnswerRows();
}

void NoticeExpressTest::failedPagesKeepTheNoticesAndSayWhy()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    TestHttpServer server;
    HostOverride hosts(server);
    serveNotices(server);
    NoticeExpress page;
    page.pageInterval = 5;
    page.searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QCOMPARE(page.table->rowCount(), 4);

    server.clearFixtures();
    server.serve("/notices/hsa/", failedAnswer(failure, noticePage({{"600000", QStringLiteral("浦发银行"),
                                                                      QStringLiteral("年度报告"), "2017-01-04"},
                                                                     {"000002", QStringLiteral("万科Ａ"),
                                                                      QStringLiteral("季度报告"), "2017-01-05"}})));
    page.searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QCOMPARE(page.table->rowCount(), 4);
    QVERIFY(!page.statusLabel->isHidden());
    QCOMPARE(page.statusLabel->text(), QStringLiteral("7类公告下载失败，最近一次：") + reason);
    page.resize(900, 500);
    page.show();
    QVERIFY(saveScreenshot(&page, QString("notices-failed-%1").arg(failureTag())));
}

void NoticeExpressTest::initStartsTheSearch()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveNotices(server);
    NoticeExpress page;
    page.pageInterval = 5;
    vorelApp()->noticeExpress = &page;
    vorelApp()->init(nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(vorelApp()->reductionCodes, kReductionCodes, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    vorelApp()->noticeExpress = nullptr;
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<NoticeExpressTest>(argc, argv);
}

#include "tst_noticeexpress.moc"
