// The notices page: keyword highlighting, the reduction-notice rule, and a
// whole download of the seven notice pages from a loopback host, including
// the start from the application's init.

#include "core/vorelapplication.h"
#include "tests/support/testhttpserver.h"
#include "ui/noticeexpress.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Notice
{
    QString code;
    QString name;
    QString title;
    QString date;
};

QString noticePage(const QList<Notice>& notices)
{
    QStringList records;
    for (const Notice& n : notices)
        records.append(QString("{\"NOTICEDATE\":\"%4\",\"SECURITYCODE\":\"%1\",\"SECURITYSHORTNAME\":\"%2\","
                               "\"NOTICETITLE\":\"%3\",\"EUTIME\":\"%4T18:07:41+08:00\",\"COLUMNNAME\":\"%5\"}")
                           .arg(n.code, n.name, n.title, n.date, QString::fromUtf8("重大事项")));
    return QString("<html><script>var d = {defjson: {pages:1,data:[%1]},\n charset: \"gb2312\"};</script></html>")
        .arg(records.join(','));
}

Data notice(const QString& code, const QString& title, const QString& date)
{
    Data data;
    data.code = code;
    data.date = date;
    data.fields.insert("title", title);
    return data;
}

QString labelText(const QTableWidget* table, int row)
{
    auto* label = qobject_cast<QLabel*>(table->cellWidget(row, 2));
    return label ? label->text() : QString();
}

} // namespace

class NoticeExpressTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void keywordsShowInRed_data();
    void keywordsShowInRed();
    void reductionRule_data();
    void reductionRule();
    void reductionCodesOldestFirstWithRepeats();
    void recordWithoutCodeIsDropped();
    void downloadFillsTableAndReductionCodes();
    void newSearchDuringARunIsIgnored();
    void initStartsTheSearch();

private:
    void serveNotices(TestHttpServer& server);
};

void NoticeExpressTest::initTestCase()
{
    // init() reads the stock list; one listed stock is enough
    QDir().mkpath("config");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
        db.setDatabaseName("config/data.db");
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec("create table ShareList (code text, name text, pinyin text, industry text,"
                           " outstanding integer, totals integer, timeToMarket text, area text, listDate text)"));
        QVERIFY(query.exec("insert into ShareList values ('600000','a','','',1,1,'19991110','','19991110')"));
        db.close();
    }
    QSqlDatabase::removeDatabase("writer");
}

void NoticeExpressTest::cleanup()
{
    vorelApp()->reductionCodes.clear();
}

void NoticeExpressTest::keywordsShowInRed_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QString>("html");
    const QString title = QString::fromUtf8("关于股东减持计划的公告");
    QTest::newRow("no keywords") << title << QString() << title;
    QTest::newRow("no match") << title << QString::fromUtf8("重组") << title;
    QTest::newRow("two keywords")
        << title << QString::fromUtf8("减持,股东")
        << QString::fromUtf8("关于<font color=red>股东</font><font color=red>减持</font>计划的公告");
    QTest::newRow("every occurrence")
        << QString::fromUtf8("减持与减持") << QString::fromUtf8("减持")
        << QString::fromUtf8("<font color=red>减持</font>与<font color=red>减持</font>");
    QTest::newRow("empty keyword between others")
        << title << QString::fromUtf8("减持,,计划")
        << QString::fromUtf8("关于股东<font color=red>减持</font><font color=red>计划</font>的公告");
    QTest::newRow("overlapping keywords")
        << title << QString::fromUtf8("减持,持计")
        << QString::fromUtf8("关于股东<font color=red>减持</font><font color=red>计</font>划的公告");
    QTest::newRow("case-sensitive") << QString("ST abc") << QString("st") << QString("ST abc");
    // a later keyword never matches inside the markup of an earlier one
    QTest::newRow("keyword found in markup")
        << QString::fromUtf8("减持red") << QString::fromUtf8("减持,font,red")
        << QString::fromUtf8("<font color=red>减持</font><font color=red>red</font>");
    // the host's text is shown, never interpreted
    QTest::newRow("markup in title")
        << QString::fromUtf8("<b>减持</b> & 公告") << QString::fromUtf8("减持")
        << QString::fromUtf8("&lt;b&gt;<font color=red>减持</font>&lt;/b&gt; &amp; 公告");
}

void NoticeExpressTest::keywordsShowInRed()
{
    QFETCH(QString, title);
    QFETCH(QString, keywords);
    QFETCH(QString, html);
    QCOMPARE(NoticeExpress::highlightTitle(title, keywords), html);
}

void NoticeExpressTest::reductionRule_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("reduction");
    QTest::newRow("plan") << QString::fromUtf8("股东减持计划") << true;
    QTest::newRow("promise not to") << QString::fromUtf8("关于股东不减持的公告") << false;
    QTest::newRow("both") << QString::fromUtf8("不减持承诺及高管减持计划") << false;
    QTest::newRow("increase") << QString::fromUtf8("股东增持计划") << false;
    QTest::newRow("empty") << QString() << false;
}

void NoticeExpressTest::reductionRule()
{
    QFETCH(QString, title);
    QFETCH(bool, reduction);
    QCOMPARE(NoticeExpress::isReductionNotice(title), reduction);
}

void NoticeExpressTest::reductionCodesOldestFirstWithRepeats()
{
    const QVector<Data> notices = {notice("600000", QString::fromUtf8("减持"), "2017-01-05"),
                                   notice(" 000002 ", QString::fromUtf8("减持公告"), "2017-01-03"),
                                   notice("600001", QString::fromUtf8("年报"), "2017-01-01"),
                                   notice("600000", QString::fromUtf8("再次减持"), "2017-01-04")};
    QCOMPARE(NoticeExpress::reductionCodesOf(notices), QStringList({"000002", "600000", "600000"}));
    QVERIFY(NoticeExpress::reductionCodesOf({}).isEmpty());
}

void NoticeExpressTest::recordWithoutCodeIsDropped()
{
    NoticeExpress page;
    page.onRereshData({notice(QString(), QString::fromUtf8("减持"), "2017-01-05"),
                       notice("600000", QString::fromUtf8("年报"), "2017-01-04")});
    QCOMPARE(page.table->rowCount(), 1);
    QCOMPARE(page.notices.size(), 1);
    QCOMPARE(page.notices.at(0).code, QString("600000"));
}

void NoticeExpressTest::serveNotices(TestHttpServer& server)
{
    server.serve("/notices/hsa/5.html",
                 TestHttpServer::Reply::gbk(noticePage(
                     {{"600000", QString::fromUtf8("浦发银行"), QString::fromUtf8("600000:关于股东减持计划的公告"), "2017-01-04"},
                      {"", QString::fromUtf8("无代码"), QString::fromUtf8("减持"), "2017-01-09"}})));
    server.serve("/notices/hsa/1.html",
                 TestHttpServer::Reply::gbk(noticePage(
                     {{"000002", QString::fromUtf8("万科Ａ"), QString::fromUtf8("关于股东不减持的公告"), "2017-01-06"},
                      {"300750", QString::fromUtf8("宁德时代"), QString::fromUtf8("高管减持结果"), "2017-01-02"}})));
    // pages 2, 3, 6 and 4 fail; page 7 has one more notice
    server.serve("/notices/hsa/7.html",
                 TestHttpServer::Reply::gbk(noticePage(
                     {{"600000", QString::fromUtf8("浦发银行"), QString::fromUtf8("减持进展"), "2017-01-05"}})));
}

void NoticeExpressTest::downloadFillsTableAndReductionCodes()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveNotices(server);
    NoticeExpress page;
    page.pageInterval = 5;
    page.keywordEdit->setText(QString::fromUtf8("减持"));
    vorelApp()->reductionCodes = QStringList({"999999"});
    page.searchButton->click();
    QVERIFY(!page.searchButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);

    QStringList paths;
    for (const auto& request : server.requests())
        paths.append(request.path);
    QCOMPARE(paths, QStringList({"/notices/hsa/5.html", "/notices/hsa/1.html", "/notices/hsa/2.html",
                                 "/notices/hsa/3.html", "/notices/hsa/6.html", "/notices/hsa/4.html",
                                 "/notices/hsa/7.html"}));

    // failed pages add nothing; the list is replaced, oldest reduction first
    QCOMPARE(vorelApp()->reductionCodes, QStringList({"300750", "600000", "600000"}));

    // newest first, each title in the row of its own notice
    QCOMPARE(page.table->rowCount(), 4);
    const QStringList codes = {"000002", "600000", "600000", "300750"};
    const QStringList dates = {"2017-01-06", "2017-01-05", "2017-01-04", "2017-01-02"};
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(page.table->item(row, 0)->text(), codes.at(row));
        QCOMPARE(page.table->item(row, 4)->text(), dates.at(row));
    }
    QCOMPARE(page.table->item(0, 1)->text(), QString::fromUtf8("万科Ａ"));
    QCOMPARE(page.table->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
    QCOMPARE(page.table->item(0, 3)->text(), QString::fromUtf8("重大事项"));
    QCOMPARE(labelText(page.table, 0), QString::fromUtf8("关于股东不<font color=red>减持</font>的公告"));
    QCOMPARE(labelText(page.table, 1), QString::fromUtf8("<font color=red>减持</font>进展"));
    QCOMPARE(labelText(page.table, 2), QString::fromUtf8("关于股东<font color=red>减持</font>计划的公告"));

    // a search that brings nothing empties the list
    server.clearFixtures();
    page.searchButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QCOMPARE(page.table->rowCount(), 0);
    QVERIFY(vorelApp()->reductionCodes.isEmpty());
}

void NoticeExpressTest::newSearchDuringARunIsIgnored()
{
    TestHttpServer server;
    HostOverride hosts(server);
    serveNotices(server);
    NoticeExpress page;
    page.pageInterval = 5;
    page.onSearch();
    QTRY_VERIFY_WITH_TIMEOUT(page.table->rowCount() > 0, 20000);
    page.onSearch();
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    QCOMPARE(server.requestCount(), 7);
    QCOMPARE(page.table->rowCount(), 4);
    QCOMPARE(vorelApp()->reductionCodes.size(), 3);
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
    QVERIFY(!page.searchButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(page.searchButton->isEnabled(), 20000);
    vorelApp()->noticeExpress = nullptr;
    QCOMPARE(server.requestCount(), 7);
    QCOMPARE(vorelApp()->reductionCodes, QStringList({"300750", "600000", "600000"}));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    VorelApplication application(argc, argv);
    NoticeExpressTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_noticeexpress.moc"
