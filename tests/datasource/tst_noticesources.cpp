// The notice and suspension-list sources of the Eastmoney data host: request
// addresses and the cutting of the JSON block embedded in their pages.

#include "datasource/eastmoneynotice.h"
#include "tests/support/testhttpserver.h"

#include <QTest>

namespace {

// One notice record as the host writes it: the date key opens a record.
QString noticeRecord(const QString& code, const QString& name, const QString& title, const QString& time,
                     const QString& column)
{
    return QString("{\"NOTICEDATE\":\"%4\",\"SECURITYCODE\":\"%1\",\"SECURITYSHORTNAME\":\"%2\","
                   "\"NOTICETITLE\":\"%3\",\"EUTIME\":\"%4\",\"COLUMNNAME\":\"%5\"}")
        .arg(code, name, title, time, column);
}

QString noticePage(const QStringList& records)
{
    return QString("<html><script>var notices = {defjson: {pages:3,data:[%1]},\n  charset: \"gb2312\"};"
                   "</script></html>")
        .arg(records.join(','));
}

const char* const kTime = "2017-01-03T18:07:41+08:00";   // 25 characters, as served

} // namespace

class NoticeSourcesTest : public QObject
{
    Q_OBJECT
private slots:
    void noticeUrlsOnePerTypeInOrder();
    void noticeRecordsAreCut();
    void noticeTitleLosesItsCodePrefixOnly_data();
    void noticeTitleLosesItsCodePrefixOnly();
    void noticePieceWithoutKeysGivesEmptyFields();
    void noticePageWithoutBlockGivesNothing_data();
    void noticePageWithoutBlockGivesNothing();
    void recoveryUrlIsFixed();
    void recoveryRecordsAreCut();
    void recoveryDropsTypeAndShortPieces();
};

void NoticeSourcesTest::noticeUrlsOnePerTypeInOrder()
{
    HostOverride hosts(QString("http://127.0.0.1:9"));
    EastmoneyInterface source;
    QCOMPARE(source.urls({"5", "1", "7"}),
             QStringList({"http://127.0.0.1:9/notices/hsa/5.html", "http://127.0.0.1:9/notices/hsa/1.html",
                          "http://127.0.0.1:9/notices/hsa/7.html"}));
    QVERIFY(source.urls({}).isEmpty());
}

void NoticeSourcesTest::noticeRecordsAreCut()
{
    const QString page = noticePage(
        {noticeRecord("600000", QString::fromUtf8("浦发银行"), QString::fromUtf8("600000:浦发银行关于股东减持的公告"), kTime,
                      QString::fromUtf8("重大事项")),
         // a record broken over lines with runs of blanks, as the host pretty-prints at times
         noticeRecord("000002", QString::fromUtf8("万科Ａ"), QString::fromUtf8("2016年   年度报告"),
                      "2017-01-04T09:30:00+08:00", QString::fromUtf8("财务报告"))
             .replace(",\"SECURITYSHORTNAME\"", ",\n    \"SECURITYSHORTNAME\"")});
    EastmoneyInterface source;
    const QVector<Data> notices = source.parse(page, QString());
    // the text before the first record is a piece of its own, without a code
    QCOMPARE(notices.size(), 3);
    QVERIFY(notices.at(0).code.isEmpty());

    const Data& first = notices.at(1);
    QCOMPARE(first.code, QString("600000"));
    QCOMPARE(first.name, QString::fromUtf8("浦发银行"));
    QCOMPARE(first.date, QString("2017-01-03"));
    QCOMPARE(first.fields.value("title"), QString::fromUtf8("浦发银行关于股东减持的公告"));
    QCOMPARE(first.fields.value("type"), QString::fromUtf8("重大事项"));
    QVERIFY(!first.value.isValid());

    const Data& second = notices.at(2);
    QCOMPARE(second.code, QString("000002"));
    QCOMPARE(second.name, QString::fromUtf8("万科Ａ"));
    QCOMPARE(second.date, QString("2017-01-04"));
    QCOMPARE(second.fields.value("title"), QString::fromUtf8("2016年 年度报告"));
    QCOMPARE(second.fields.value("type"), QString::fromUtf8("财务报告"));
}

void NoticeSourcesTest::noticeTitleLosesItsCodePrefixOnly_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("code and colon") << QString::fromUtf8("600000:关于减持的公告") << QString::fromUtf8("关于减持的公告");
    QTest::newRow("code and full-width colon") << QString::fromUtf8("600000：年报") << QString::fromUtf8("年报");
    QTest::newRow("other code") << QString::fromUtf8("600001:年报") << QString::fromUtf8("600001:年报");
    QTest::newRow("code later in title") << QString::fromUtf8("关于600000:年报") << QString::fromUtf8("关于600000:年报");
    QTest::newRow("empty title") << QString() << QString();
}

void NoticeSourcesTest::noticeTitleLosesItsCodePrefixOnly()
{
    QFETCH(QString, title);
    QFETCH(QString, shown);
    EastmoneyInterface source;
    const QVector<Data> notices =
        source.parse(noticePage({noticeRecord("600000", "x", title, kTime, "y")}), QString());
    QCOMPARE(notices.size(), 2);
    QCOMPARE(notices.at(1).fields.value("title"), shown);
}

void NoticeSourcesTest::noticePieceWithoutKeysGivesEmptyFields()
{
    // a record cut short by the host: the date key and nothing after it
    const QString page = QString("defjson: {data:[{\"NOTICEDATE\":\"2017\",\"SECURITYSHORTNAME\":\"ab\","
                                 "\"EUTIME\":\"\"},{\"NOTICEDATE\": \"x\"}]} charset");
    EastmoneyInterface source;
    const QVector<Data> notices = source.parse(page, QString());
    QCOMPARE(notices.size(), 3);
    const Data& cut = notices.at(1);
    QVERIFY(cut.code.isEmpty());
    QCOMPARE(cut.name, QString("ab"));
    // a time value too short for the cut gives no date rather than markup
    QVERIFY(cut.date.isEmpty());
    QVERIFY(cut.fields.value("title").isEmpty());
    QVERIFY(cut.fields.value("type").isEmpty());
    QVERIFY(notices.at(2).code.isEmpty());
}

void NoticeSourcesTest::noticePageWithoutBlockGivesNothing_data()
{
    QTest::addColumn<QString>("body");
    QTest::newRow("empty") << QString();
    QTest::newRow("error page") << QString("<html><body>503 Service Unavailable</body></html>");
    QTest::newRow("block never closed") << QString("defjson: {data:[{\"NOTICEDATE\":\"x\",\"SECURITYCODE\":\"600000\"");
}

void NoticeSourcesTest::noticePageWithoutBlockGivesNothing()
{
    QFETCH(QString, body);
    EastmoneyInterface source;
    QVERIFY(source.parse(body, QString()).isEmpty());
}

void NoticeSourcesTest::recoveryUrlIsFixed()
{
    HostOverride hosts(QString("http://127.0.0.1:9"));
    EastmoneyRecoveryTransactionInterface source;
    const QStringList expected = {"http://127.0.0.1:9/tfpxx/"};
    QCOMPARE(source.urls({}), expected);
    QCOMPARE(source.urls({"2017-01-03", "5"}), expected);
}

void NoticeSourcesTest::recoveryRecordsAreCut()
{
    const QString body = QString::fromUtf8(
        "var tfp = {defjson: {pages:1,data:[\"600010,包钢股份,a,b,2017-01-03 09:30,重大事项,c,2017-01-03,2017-01-05\","
        "\"000002,万科Ａ,a,b,2016-12-18,停牌   一天,c,2016-12-18,2016-12-19\","
        "\"pages\":1,\"type\":\"tfp\"]},\n maketr: function() {}};");
    EastmoneyRecoveryTransactionInterface source;
    const QVector<Data> records = source.parse(body, QString());
    QCOMPARE(records.size(), 2);

    const Data& first = records.at(0);
    QCOMPARE(first.code, QString("600010"));
    QCOMPARE(first.name, QString::fromUtf8("包钢股份"));
    QCOMPARE(first.date, QString("2017-01-05"));
    QCOMPARE(first.fields.value("stopDate"), QString("2017-01-03"));
    QCOMPARE(first.fields.value("span"), QString("2017-01-03"));
    QCOMPARE(first.fields.value("desc"), QString::fromUtf8("重大事项"));
    QCOMPARE(first.fields.size(), 3);

    const Data& second = records.at(1);
    QCOMPARE(second.code, QString("000002"));
    QCOMPARE(second.fields.value("span"), QString("2016-12-18"));
    QCOMPARE(second.fields.value("desc"), QString::fromUtf8("停牌 一天"));
    QCOMPARE(second.date, QString("2016-12-19"));
}

void NoticeSourcesTest::recoveryDropsTypeAndShortPieces()
{
    const QString body = QString::fromUtf8(
        "defjson: {data:[\"600010,包钢股份,a,b,2017-01-03,type,c,2017-01-03,2017-01-05\","
        "\"600011,华能国际,a,b,2017-01-03\","
        "\"600012,皖通高速,a,b,2017-01-03,Type,c,2017-01-03,2017-01-06\","
        "\"x\"]} maketr:");
    EastmoneyRecoveryTransactionInterface source;
    const QVector<Data> records = source.parse(body, QString());
    // "type" is case-sensitive; a record of five items is no record
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.at(0).code, QString("600012"));
    QCOMPARE(records.at(0).date, QString("2017-01-06"));
    QVERIFY(source.parse("<html>no list today</html>", QString()).isEmpty());
}

QTEST_GUILESS_MAIN(NoticeSourcesTest)
#include "tst_noticesources.moc"
