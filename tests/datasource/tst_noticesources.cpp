// The notice and suspension-list sources: cutting the JSON block the
// Eastmoney data host embeds in its pages.

#include "datasource/eastmoneynotice.h"

#include <QTest>

namespace {

QString noticeRecord(const QString& code, const QString& title, const QString& time = "2017-01-03T18:07:41+08:00")
{
    return QString("{\"NOTICEDATE\":\"%3\",\"SECURITYCODE\":\"%1\",\"SECURITYSHORTNAME\":\"%4\","
                   "\"NOTICETITLE\":\"%2\",\"EUTIME\":\"%3\",\"COLUMNNAME\":\"%5\"}")
        .arg(code, title, time, QStringLiteral("浦发银行"), QStringLiteral("重大事项"));
}

QString noticePage(const QStringList& records)
{
    return QString("<script>var n = {defjson: {pages:3,data:[%1]},\n  charset: \"gb2312\"};</script>")
        .arg(records.join(','));
}

} // namespace

class NoticeSourcesTest : public QObject
{
    Q_OBJECT
private slots:
    void noticeRecordsAreCut();
    void noticeTitleLosesItsCodePrefixOnly_data();
    void noticeTitleLosesItsCodePrefixOnly();
    void suspensionRecordsAreCut();
    void pagesOfUnclosedBlocksGiveNothing();
};

void NoticeSourcesTest::noticeRecordsAreCut()
{
    EastmoneyInterface source;
    const QVector<Data> notices = source.parse(
        noticePage({noticeRecord("600000", QStringLiteral("2016年   年度报告")),
                    // cut short by the host: a time too short to cut, no code
                    "{\"NOTICEDATE\":\"x\",\"EUTIME\":\"\"}"}),
        QString());
    // the text in front of the first record is a piece of its own
    QCOMPARE(notices.size(), 3);
    QVERIFY(notices.at(0).code.isEmpty());
    const Data& notice = notices.at(1);
    QCOMPARE(notice.code, QString("600000"));
    QCOMPARE(notice.name, QStringLiteral("浦发银行"));
    QCOMPARE(notice.date, QString("2017-01-03"));
    QCOMPARE(notice.fields.value("title"), QStringLiteral("2016年 年度报告"));
    QCOMPARE(notice.fields.value("type"), QStringLiteral("重大事项"));
    const Data& cut = notices.at(2);
    QVERIFY(cut.code.isEmpty() && cut.date.isEmpty() && cut.fields.value("title").isEmpty());

    QVERIFY(source.parse("<html>503 Service Unavailable</html>", QString()).isEmpty());
    QVERIFY(source.parse("defjson: {data:[{\"NOTICEDATE\":\"x\",\"SECURITYCODE\":\"600000\"", QString()).isEmpty());
}

void NoticeSourcesTest::noticeTitleLosesItsCodePrefixOnly_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("code and colon") << QStringLiteral("600000:关于减持的公告") << QStringLiteral("关于减持的公告");
    QTest::newRow("code and full-width colon") << QStringLiteral("600000：年报") << QStringLiteral("年报");
    QTest::newRow("other code") << QStringLiteral("600001:年报") << QStringLiteral("600001:年报");
    QTest::newRow("code later in title") << QStringLiteral("关于600000:年报") << QStringLiteral("关于600000:年报");
}

void NoticeSourcesTest::noticeTitleLosesItsCodePrefixOnly()
{
    QFETCH(QString, title);
    QFETCH(QString, shown);
    EastmoneyInterface source;
    const QVector<Data> notices = source.parse(noticePage({noticeRecord("600000", title)}), QString());
    QCOMPARE(notices.size(), 2);
    QCOMPARE(notices.at(1).fields.value("title"), shown);
}

void NoticeSourcesTest::suspensionRecordsAreCut()
{
    const QString body = QStringLiteral(
        "var t = {defjson: {pages:1,data:[\"600010,包钢股份,a,b,2017-01-03 09:30,重大   事项,c,2017-01-03,2017-01-05\","
        "\"600011,华能国际,a,b,2017-01-03\","                                     // too few items
        "\"600012,皖通高速,a,b,2017-01-03,type,c,2017-01-03,2017-01-06\","         // holds "type"
        "\"600013,招商银行,a,b,2017-01-04,Type,c,2017-01-04,2017-01-09\","
        "\"pages\":1,\"type\":\"tfp\"]},\n maketr: function() {}};");
    EastmoneyRecoveryTransactionInterface source;
    const QVector<Data> records = source.parse(body, QString());
    QCOMPARE(records.size(), 2);
    const Data& first = records.at(0);
    QCOMPARE(first.code, QString("600010"));
    QCOMPARE(first.name, QStringLiteral("包钢股份"));
    QCOMPARE(first.date, QString("2017-01-05"));
    QCOMPARE(first.fields, (QMap<QString, QString>{{"stopDate", "2017-01-03"}, {"span", "2017-01-03"},
                                                   {"desc", QStringLiteral("重大 事项")}}));
    QCOMPARE(records.at(1).code, QString("600013"));
    QVERIFY(source.parse("<html>no list today</html>", QString()).isEmpty());
}

void NoticeSourcesTest::pagesOfUnclosedBlocksGiveNothing()
{
    // a megabyte of block openers without their ends
    const QString page = QString("defjson:").repeated(130000);
    QVERIFY(EastmoneyInterface().parse(page, QString()).isEmpty());
    QVERIFY(EastmoneyRecoveryTransactionInterface().parse(page, QString()).isEmpty());
    const QVector<Data> notices = EastmoneyInterface().parse(noticePage({ noticeRecord("600000", "x") }) + page, QString());
    QCOMPARE(notices.size(), 2);   // the piece in front of the first record holds no notice
    QCOMPARE(notices.last().code, QString("600000"));
}

QTEST_GUILESS_MAIN(NoticeSourcesTest)
#include "tst_noticesources.moc"
