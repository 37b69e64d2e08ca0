#include "core/calendar.h"
#include "core/textutils.h"

#include <QTest>
#include <QTextCodec>

class TextUtilsTest : public QObject
{
    Q_OBJECT
private slots:
    void splitLinesTrimsCarriageReturnsAndKeepsEmptyLines();
    void parseJsonArrayReadsObjectsInOrder();
    void parseJsonArrayOfGarbageGivesNoObject();
    void firstCaptureIsMinimalAndCaseInsensitive();
    void decodeTextTellsUtf8FromGbk();
    void decodeTextStopsAtZeroByteAndHonoursCharset();
    void onlySixDigitCodesMayBecomePaths_data();
    void onlySixDigitCodesMayBecomePaths();
    void calendarKnowsWeekendsAndHolidays();
    void tradingDayStepsSkipClosedDays();
};

void TextUtilsTest::splitLinesTrimsCarriageReturnsAndKeepsEmptyLines()
{
    QCOMPARE(splitLines("a\r\n\r\nb"), QStringList({"a", "", "b"}));
    QCOMPARE(splitLines("600000\r\n000001\r\n"), QStringList({"600000", "000001", ""}));
}

void TextUtilsTest::parseJsonArrayReadsObjectsInOrder()
{
    const auto objects = parseJsonArray(R"(var x=[{"a":"1","b":"two"},{"a":"3"}];)");
    QCOMPARE(objects.size(), 2);
    QCOMPARE(objects.at(0).value("a"), QString("1"));
    QCOMPARE(objects.at(0).value("b"), QString("two"));
    QCOMPARE(objects.at(1).value("a"), QString("3"));
    QVERIFY(!objects.at(1).contains("b"));
    // a value with a colon keeps the rest after the first one
    QCOMPARE(parseJsonArray(R"([{"t":"09:30"}])").at(0).value("t"), QString("09:30"));
}

void TextUtilsTest::parseJsonArrayOfGarbageGivesNoObject()
{
    QVERIFY(parseJsonArray(QString()).isEmpty());
    QVERIFY(parseJsonArray("}]]][{").isEmpty());
    QVERIFY(parseJsonArray("<html>error</html>").isEmpty());
    QVERIFY(parseJsonArray("null").isEmpty());
    QVERIFY(parseJsonArray("[]").isEmpty());
}

void TextUtilsTest::firstCaptureIsMinimalAndCaseInsensitive()
{
    QCOMPARE(firstCapture("<TD>1</td><td>2</td>", "<td>(.*)</td>"), QString("1"));
    QCOMPARE(firstCapture("nothing", "<td>(.*)</td>"), QString());
}

void TextUtilsTest::decodeTextTellsUtf8FromGbk()
{
    const QString text = QStringLiteral("浦发银行");
    QCOMPARE(decodeText(text.toUtf8()), text);
    const QByteArray gbk = QTextCodec::codecForName("GBK")->fromUnicode(text);
    QVERIFY(gbk != text.toUtf8());
    QCOMPARE(decodeText(gbk), text);
}

void TextUtilsTest::decodeTextStopsAtZeroByteAndHonoursCharset()
{
    QCOMPARE(decodeText(QByteArray("abc\0def", 7)), QString("abc"));
    const QString text = QStringLiteral("平安银行");
    const QByteArray gbk = QTextCodec::codecForName("GBK")->fromUnicode(text);
    QCOMPARE(decodeText(gbk, "GBK"), text);
    // an unknown declared charset falls back to guessing
    QCOMPARE(decodeText(text.toUtf8(), "x-unknown"), text);
}

void TextUtilsTest::onlySixDigitCodesMayBecomePaths_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("stock") << "600000" << true;
    QTest::newRow("index") << "399678" << true;
    QTest::newRow("prefixed") << "sh600000" << false;
    QTest::newRow("traversal") << "../../x" << false;
    QTest::newRow("short") << "60000" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("six with slash") << "12/456" << false;
}

void TextUtilsTest::onlySixDigitCodesMayBecomePaths()
{
    QFETCH(QString, code);
    QFETCH(bool, allowed);
    QCOMPARE(isStockCodeForPath(code), allowed);
}

void TextUtilsTest::calendarKnowsWeekendsAndHolidays()
{
    QVERIFY(isNonTradingDay(QDate(2017, 1, 30)));   // a Monday in the holiday list
    QVERIFY(isNonTradingDay(QDate(2026, 12, 5)));   // Saturday
    QVERIFY(isNonTradingDay(QDate(2026, 12, 6)));   // Sunday
    QVERIFY(!isNonTradingDay(QDate(2017, 1, 26)));
    QVERIFY(!isNonTradingDay(QDate(2026, 12, 8)));
}

void TextUtilsTest::tradingDayStepsSkipClosedDays()
{
    QCOMPARE(previousTradingDay(QDate(2026, 12, 7)), QDate(2026, 12, 4));   // Monday -> Friday
    // 2017-02-02 is a Thursday after the spring festival holidays
    QCOMPARE(previousTradingDay(QDate(2017, 2, 2)), QDate(2017, 1, 26));
    QCOMPARE(nextTradingDay(QDate(2017, 1, 26)), QDate(2017, 2, 2));
    QCOMPARE(nextTradingDay(QDate(2026, 12, 4)), QDate(2026, 12, 7));
    // 2016-04-04 is a Monday whose preceding Sunday is listed: Friday 04-01 is open
    QCOMPARE(previousTradingDay(QDate(2016, 4, 4)), QDate(2016, 4, 1));
    // Friday 2016-04-01 follows Thursday 03-31, a listed holiday
    QCOMPARE(previousTradingDay(QDate(2016, 4, 1)), QDate(2016, 3, 30));
}

QTEST_APPLESS_MAIN(TextUtilsTest)
#include "tst_textutils.moc"
