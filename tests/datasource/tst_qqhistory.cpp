#include "core/fileutils.h"
#include "datasource/httpget.h"
#include "datasource/klinebars.h"
#include "datasource/stockqqhistoryinterface.h"
#include "datasource/storedhistory.h"
#include "tests/core/filesizelimit.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/support/testhttpserver.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

namespace {

// The parsing rule written the plain way (split, split, convert), against
// which the fast parser must give identical bars.
QVector<Stock> referenceParse(const QString& body, const QString& code)
{
    QString text = body;
    const int open = text.indexOf("[[");
    if (open < 0)
        return {};   // without the array of bar arrays a body is no history
    text = text.mid(open + 1);
    const int close = text.indexOf("]]");
    if (close >= 0)
        text = text.left(close);
    text.remove('"');
    QVector<Stock> bars;
    float previousClose = 0;
    bool first = true;
    for (const QString& piece : text.split("],[", Qt::KeepEmptyParts)) {
        const QStringList items = piece.split(',', Qt::KeepEmptyParts);
        if (items.size() < 6)
            continue;
        Stock bar;
        bar.code = code;
        bar.date = items.at(0).startsWith('[') ? items.at(0).mid(1) : items.at(0);
        bar.open = items.at(1).toFloat();
        bar.close = items.at(2).toFloat();
        bar.high = items.at(3).toFloat();
        bar.low = items.at(4).toFloat();
        bar.volume = items.at(5).toFloat();
        if (!first) {
            bar.change = bar.close - previousClose;
            bar.changePercent = previousClose != 0 ? bar.change * 100 / previousClose : 0;
        }
        previousClose = bar.close;
        first = false;
        bars.append(bar);
    }
    return bars;
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QString sameBars(const QVector<Stock>& actual, const QVector<Stock>& expected)
{
    if (actual.size() != expected.size())
        return QString("%1 bars instead of %2").arg(actual.size()).arg(expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        const Stock& a = actual.at(i);
        const Stock& e = expected.at(i);
        if (a.code != e.code || a.date != e.date || !sameBits(a.open, e.open) || !sameBits(a.close, e.close)
            || !sameBits(a.high, e.high) || !sameBits(a.low, e.low) || !sameBits(a.volume, e.volume)
            || !sameBits(a.change, e.change) || !sameBits(a.changePercent, e.changePercent))
            return QString("bar %1 differs (%2 %3)").arg(i).arg(a.date, e.date);
    }
    return QString();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Three bars as the service answers for the stock it names `key`.
QString threeBars(const QString& key)
{
    return "{\"data\":{\"" + key + "\":{\"qfqday\":[[\"2019-01-02\",\"10.00\",\"10.50\",\"10.80\",\"9.90\","
           "\"1000\"],[\"2019-01-03\",\"10.50\",\"10.29\",\"10.60\",\"10.10\",\"2000\"],"
           "[\"2019-01-04\",\"10.29\",\"10.29\",\"10.40\",\"10.00\",\"1500\"]]}}}";
}

const QString kThreeBars = threeBars("sh600000");

// A 200 answer for 600000 in the service's form whose bars hold `bars`.
QString answerHolding(const QString& bars)
{
    return "{\"code\":0,\"msg\":\"\",\"data\":{\"sh600000\":{\"qfqday\":[" + bars + "]}}}";
}

const QString kWordBars = answerHolding("[\"2019-01-02\",\"open\",\"close\",\"high\",\"low\",\"volume\"],"
                                        "[\"2019-01-03\",\"open\",\"close\",\"high\",\"low\",\"volume\"]");
const QString kFiveItemPieces = answerHolding("[\"2019-01-02\",\"10.00\",\"10.50\",\"10.80\",\"9.90\"],"
                                              "[\"2019-01-03\",\"10.50\",\"10.29\",\"10.60\",\"10.10\"]");

// Whole bars of 600000 in the service's form, one per date, in the order given.
QString barsDated(const QStringList& dates)
{
    QStringList arrays;
    for (const QString& date : dates)
        arrays << klinefixtures::bar(date, 10, 10.5, 10.8, 9.9, 1000);
    return answerHolding(arrays.join(','));
}

const QString kDateGoingBack = barsDated({ "2019-01-02", "2019-01-04", "2019-01-03", "2019-01-07" });
const QString kRepeatedDate = barsDated({ "2019-01-02", "2019-01-03", "2019-01-03", "2019-01-04" });
const QString kShortBarAmongWholeOnes
    = answerHolding(klinefixtures::bar("2019-01-02", 10, 10.5, 10.8, 9.9, 1000) + ",[\"2019-01-03\",\"10.50\","
                    "\"10.29\",\"10.60\",\"10.10\"]," + klinefixtures::bar("2019-01-04", 10, 10.5, 10.8, 9.9, 1000));

} // namespace

class QQHistoryTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void setParameterAcceptsOnlyKnownNames_data();
    void setParameterAcceptsOnlyKnownNames();
    void urlCarriesCodePeriodAndAdjustment();

    void parseReadsBarsOldestFirst();
    void parseCutsAndSkips_data();
    void parseCutsAndSkips();
    void firstBarAndZeroCloseGiveNoChange();
    void fastParserMatchesThePlainRule_data();
    void fastParserMatchesThePlainRule();

    void storesBodyOnlyForBarsAndPathSafeCodes_data();
    void storesBodyOnlyForBarsAndPathSafeCodes();
    void emptyCacheDirStoresNothing();

    void downloadIsStoredAndReadBack();
    void storedHistoriesAreReadByCodeOnly();
    void loadQQHistoryFallsBackToDayAndHfq();
    void failedDownloadKeepsStoredHistory_data();
    void failedDownloadKeepsStoredHistory();
    void unstorableHistoryIsGivenWithTheReason_data();
    void unstorableHistoryIsGivenWithTheReason();

private:
    QTemporaryDir* dir = nullptr;
    QString previousFolder;
};

void QQHistoryTest::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    previousFolder = QDir::currentPath();
    QDir::setCurrent(dir->path());
    QDir().mkpath("data/k");
    setRequestTimeout(30000);
}

void QQHistoryTest::cleanup()
{
    QDir::setCurrent(previousFolder);
    delete dir;
    dir = nullptr;
    setRequestTimeout(30000);
    setRequestTimeLimit(90000);
}

void QQHistoryTest::setParameterAcceptsOnlyKnownNames_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("cacheDir");
    QTest::addColumn<QString>("adjust");
    QTest::addColumn<QString>("period");
    QTest::newRow("cache dir") << 0 << "data/" << "data/" << "hfq" << "day";
    QTest::newRow("empty cache dir turns storing off") << 0 << "" << "" << "hfq" << "day";
    QTest::newRow("qfq") << 1 << "qfq" << "old/" << "qfq" << "day";
    QTest::newRow("bfq") << 1 << "bfq" << "old/" << "bfq" << "day";
    QTest::newRow("upper-case adjustment ignored") << 1 << "QFQ" << "old/" << "hfq" << "day";
    QTest::newRow("empty adjustment ignored") << 1 << "" << "old/" << "hfq" << "day";
    QTest::newRow("week") << 2 << "week" << "old/" << "hfq" << "week";
    QTest::newRow("month") << 2 << "month" << "old/" << "hfq" << "month";
    QTest::newRow("minute ignored") << 2 << "minute" << "old/" << "hfq" << "day";
    QTest::newRow("adjustment as period ignored") << 2 << "qfq" << "old/" << "hfq" << "day";
    QTest::newRow("unknown key") << 3 << "week" << "old/" << "hfq" << "day";
    QTest::newRow("negative key") << -1 << "x" << "old/" << "hfq" << "day";
}

void QQHistoryTest::setParameterAcceptsOnlyKnownNames()
{
    QFETCH(int, key);
    QFETCH(QString, value);
    StockQQHistoryInterface source;
    source.cacheDir = "old/";
    StockInterface& base = source;
    base.setParameter(key, value);
    QTEST(source.cacheDir, "cacheDir");
    QTEST(source.adjust, "adjust");
    QTEST(source.period, "period");
}

void QQHistoryTest::urlCarriesCodePeriodAndAdjustment()
{
    HostOverride hosts(QString("http://127.0.0.1:9"));
    StockQQHistoryInterface source;
    const QStringList urls = source.urls({ "600000", "000001", "399678" });
    QCOMPARE(urls.size(), 3);
    const QUrl first(urls.at(0));
    QCOMPARE(first.path(), QString("/appstock/app/fqkline/get"));
    const QUrlQuery query(first);
    QCOMPARE(query.queryItemValue("p"), QString("1"));
    QCOMPARE(query.queryItemValue("param"), QString("sh600000,day,,,480,hfq"));
    QCOMPARE(query.queryItemValue("_appName"), QString("android"));
    bool number = false;
    const int suffix = query.queryItemValue("__random_suffix").toInt(&number);
    QVERIFY(number && suffix >= 0 && suffix <= 32767);
    QVERIFY(urls.at(0).startsWith("http://127.0.0.1:9/appstock/app/fqkline/get?p=1&param=sh600000,day,,,480,hfq"
                                  "&_appName=android&__random_suffix="));
    QCOMPARE(QUrlQuery(QUrl(urls.at(1))).queryItemValue("param"), QString("sz000001,day,,,480,hfq"));
    source.setParameter(1, "qfq");
    source.setParameter(2, "week");
    QCOMPARE(QUrlQuery(QUrl(source.urls({ "399678" }).first())).queryItemValue("param"),
             QString("sz399678,week,,,480,qfq"));
    QVERIFY(source.urls({}).isEmpty());
}

void QQHistoryTest::parseReadsBarsOldestFirst()
{
    StockQQHistoryInterface source;
    const QVector<Stock> bars = source.parse(kThreeBars, "600000");
    QCOMPARE(bars.size(), 3);
    QCOMPARE(bars.at(0).date, QString("2019-01-02"));
    QCOMPARE(bars.at(0).code, QString("600000"));
    QCOMPARE(bars.at(0).open, 10.0f);
    QCOMPARE(bars.at(0).close, 10.5f);
    QCOMPARE(bars.at(0).high, 10.8f);
    QCOMPARE(bars.at(0).low, 9.9f);
    QCOMPARE(bars.at(0).volume, 1000.0f);
    QCOMPARE(bars.at(1).date, QString("2019-01-03"));
    QCOMPARE(bars.at(1).change, 10.29f - 10.5f);
    QCOMPARE(bars.at(1).changePercent, (10.29f - 10.5f) * 100 / 10.5f);
    QCOMPARE(bars.at(2).change, 0.0f);
    QCOMPARE(bars.at(2).preClose, 0.0f);
}

void QQHistoryTest::parseCutsAndSkips_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<float>("lastVolume");
    QTest::newRow("five items skipped")
        << "[[\"2019-01-02\",\"1\",\"2\",\"3\",\"4\"],[\"2019-01-03\",\"1\",\"2\",\"3\",\"4\",\"5\"]]"
        << QStringList { "2019-01-03" } << 5.0f;
    QTest::newRow("seven items use the first six")
        << "[[\"2019-01-02\",\"1\",\"2\",\"3\",\"4\",\"5\",{\"nd\":\"2018\",\"fh\":\"1\"}]]"
        << QStringList { "2019-01-02" } << 5.0f;
    QTest::newRow("bars after the first ]] ignored")
        << "{\"day\":[[\"2019-01-02\",\"1\",\"2\",\"3\",\"4\",\"5\"]],\"week\":[[\"2019-01-07\",\"1\",\"2\",\"3\",\"4\",\"9\"]]}"
        << QStringList { "2019-01-02" } << 5.0f;
    QTest::newRow("no bar array: six comma-separated items are no bar")
        << "2019-01-02,1,2,3,4,6" << QStringList() << 0.0f;
    QTest::newRow("maintenance page of six comma-separated words")
        << QStringLiteral("<html>系统维护中,请稍后,再试,谢谢,客服,热线</html>") << QStringList() << 0.0f;
    QTest::newRow("unknown code: empty day array and a quote block")
        << "{\"code\":0,\"msg\":\"\",\"data\":{\"sh999999\":{\"day\":[],\"qt\":{\"sh999999\":[\"1\",\"\",\"999999\","
           "\"0.00\",\"0.00\",\"0.00\"],\"market\":[\"2019-01-02 15:00:01|HK_close\"]},\"prec\":\"0.00\"}}}"
        << QStringList() << 0.0f;
    QTest::newRow("not a number gives 0")
        << "[[\"2019-01-02\",\"1\",\"2\",\"3\",\"4\",\"n/a\"]]" << QStringList { "2019-01-02" } << 0.0f;
    QTest::newRow("error page") << "<html><body>502 Bad Gateway</body></html>" << QStringList() << 0.0f;
    QTest::newRow("empty body") << "" << QStringList() << 0.0f;
    QTest::newRow("truncated body keeps whole bars")
        << "{\"qfqday\":[[\"2019-01-02\",\"1\",\"2\",\"3\",\"4\",\"5\"],[\"2019-01-03\",\"1\",\"2\""
        << QStringList { "2019-01-02" } << 5.0f;
    QTest::newRow("empty array") << "{\"qfqday\":[[]]}" << QStringList() << 0.0f;
    QTest::newRow("a megabyte of separators") << "[[" + QString("],[").repeated(350000) + "]]" << QStringList() << 0.0f;
}

void QQHistoryTest::parseCutsAndSkips()
{
    QFETCH(QString, body);
    QFETCH(QStringList, dates);
    QFETCH(float, lastVolume);
    const QVector<Stock> bars = readKLineBars(body, "600000");
    QStringList actual;
    for (const Stock& bar : bars)
        actual.append(bar.date);
    QCOMPARE(actual, dates);
    if (!bars.isEmpty())
        QCOMPARE(bars.last().volume, lastVolume);
}

void QQHistoryTest::firstBarAndZeroCloseGiveNoChange()
{
    const QVector<Stock> bars = readKLineBars(
        "[[\"d1\",\"1\",\"5\",\"1\",\"1\",\"1\"],[\"d2\",\"1\",\"0\",\"1\",\"1\",\"1\"],"
        "[\"d3\",\"1\",\"2\",\"1\",\"1\",\"1\"],[\"d4\",\"1\",\"3\",\"1\",\"1\",\"1\"]]",
        "000001");
    QCOMPARE(bars.size(), 4);
    QCOMPARE(bars.at(0).change, 0.0f);
    QCOMPARE(bars.at(0).changePercent, 0.0f);
    QCOMPARE(bars.at(1).change, -5.0f);
    QCOMPARE(bars.at(1).changePercent, -100.0f);
    // A previous close of 0 (a suspended or garbled day) must not give inf/NaN.
    QCOMPARE(bars.at(2).change, 2.0f);
    QCOMPARE(bars.at(2).changePercent, 0.0f);
    QCOMPARE(bars.at(3).changePercent, 50.0f);
    for (const Stock& bar : bars)
        QVERIFY(std::isfinite(bar.change) && std::isfinite(bar.changePercent));
}

void QQHistoryTest::fastParserMatchesThePlainRule_data()
{
    QTest::addColumn<QString>("body");
    QTest::newRow("full history") << klinefixtures::body("sh600000", 480);
    QTest::newRow("numbers of every shape")
        << "[[\"a\",\"0\",\"-0\",\"007.50\",\"1.\",\".5\"],[\"b\",\" 2.5\",\"2.5 \",\"1e3\",\"-1.25E-2\",\"+4\"],"
           "[\"c\",\"123456789012345678\",\"0.1234567890123456789\",\"1e40\",\"-\",\"\"],"
           "[\"d\",\"99999999999999.9\",\"3.4028235e38\",\"1e-50\",\"inf\",\"nan\"],"
           "[\"e\",\"1,5\",\"2\",\"3\",\"4\",\"5\"],[\"f\",\"0x10\",\"１\",\"1.2.3\",\"--1\",\"1-\"]]";
    QTest::newRow("empty pieces and stray brackets")
        << "x[[],[],[\"[d\",\"1\",\"2\",\"3\",\"4\",\"5\"],[[\"e\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"],["
           "\"f\",\"1\",\"2\",\"3\",\"4\",\"5\"]]";
    QTest::newRow("quotes split a separator") << "[[\"d\",\"1\",\"2\",\"3\",\"4\",\"5\"]\",[\"e\",\"1\",\"2\",\"3\",\"4\",\"5\"]]";
    QTest::newRow("quotes inside items")
        << "[[\"d\",\"1\"2\",\"-\"3\",\"\"4.\"5\",\"\"\"6\"\"\",\"7\"],[\"[e\"\",1]2,3],4,5,6,7\"]]";
    QTest::newRow("quoted separator pieces") << "[[\"d\",1,2,3,4,5]\",\"[\"e\",1,2,3,4,5]\"\",[f,1,2,3,4,5]]";
    QTest::newRow("minus and exponent forms") << "[[d,-1.5,1-,-,-.5,1e-2],[e,--1,+1,1.5e3,0.000001,123456789012345]]";
    QTest::newRow("trailing separator") << "[[\"d\",\"1\",\"2\",\"3\",\"4\",\"5\"],[";

    // The end of the bars at every position within a block of characters.
    for (int shift = 0; shift < 18; ++shift) {
        QTest::addRow("end after %d characters", shift)
            << QString(shift, ' ') + "[[d,1,2,3,4,5],[e,1,2,3,4,5]" + QString(shift % 5, 'x') + "],[f,1,2,3,4,6]],[[g,1,2,3,4,7]]";
    }

    // Random decimals as the service writes them, with 0 to 6 decimals.
    QString random = "[[";
    std::srand(42);
    for (int i = 0; i < 2000; ++i) {
        QStringList items { QString("2018-%1").arg(i) };
        for (int k = 0; k < 5; ++k) {
            const double value = (std::rand() % 2000000) / std::pow(10.0, std::rand() % 7) * (k == 4 ? 1000 : 1);
            items.append(QString::number(value, 'f', std::rand() % 7));
        }
        random += (i ? "],[" : "") + items.join(',');
    }
    QTest::newRow("random decimals") << random + "]]";

    // The service's own form, damaged here and there: whatever piece the
    // short road of the parser does not take whole, the general one must.
    std::mt19937 damage(7);
    const QStringList marks { "\"", ",", "[", "]", "],[", "]]", "[[", "1", "23", ".", "-", "e", " ", "x", "{", "" };
    const QString pristine = klinefixtures::body("sh600000", 6);
    for (int i = 0; i < 600; ++i) {
        QString body = pristine;
        for (int k = 0, changes = 1 + int(damage() % 3); k < changes; ++k) {
            const int at = int(damage() % uint(body.size()));
            const QString& mark = marks.at(int(damage() % uint(marks.size())));
            if (damage() % 2)
                body.insert(at, mark);
            else
                body.replace(at, 1 + int(damage() % 3), mark);
        }
        if (damage() % 4 == 0)
            body.truncate(int(damage() % uint(body.size())));
        QTest::addRow("damaged answer %d", i) << body;
    }
}

void QQHistoryTest::fastParserMatchesThePlainRule()
{
    QFETCH(QString, body);
    const QString difference = sameBars(readKLineBars(body, "600000"), referenceParse(body, "600000"));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void QQHistoryTest::storesBodyOnlyForBarsAndPathSafeCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("stored");
    QTest::newRow("stock") << "600000" << kThreeBars << true;
    QTest::newRow("shenzhen stock") << "000002" << threeBars("sz000002") << true;
    QTest::newRow("index, named as it is asked for") << "399678" << threeBars("sz399678") << true;
    QTest::newRow("index answered with another stock's bars") << "399678" << kThreeBars << false;
    QTest::newRow("another stock's bars") << "600000" << threeBars("sz000002") << false;
    QTest::newRow("the code on the other exchange") << "600000" << threeBars("sz600000") << false;
    QTest::newRow("bars outside the stock's object")
        << "600000" << "{\"data\":{\"sh600000\":{\"qt\":{}},\"sz000002\":{\"qfqday\":[[\"2019-01-02\",\"1\",\"2\",\"3\","
                       "\"4\",\"5\"]]}}}" << false;
    QTest::newRow("no data key") << "600000" << "{\"qfqday\":[[\"2019-01-02\",\"1\",\"2\",\"3\",\"4\",\"5\"]]}" << false;
    QTest::newRow("bars of words") << "600000" << kWordBars << false;
    QTest::newRow("one word among numbers")
        << "600000" << answerHolding("[\"2019-01-02\",\"10.00\",\"10.50\",\"10.80\",\"9.90\",\"1000\"],"
                                     "[\"2019-01-03\",\"10.50\",\"--\",\"10.60\",\"10.10\",\"2000\"]") << false;
    QTest::newRow("an empty number") << "600000" << answerHolding("[\"2019-01-02\",\"10.00\",\"\",\"10.80\",\"9.90\",\"1\"]")
                                     << false;
    QTest::newRow("closed empty bar array") << "600000" << answerHolding("[]") << false;
    QTest::newRow("pieces of five items") << "600000" << kFiveItemPieces << false;
    QTest::newRow("a date going back") << "600000" << kDateGoingBack << false;
    QTest::newRow("a repeated date") << "600000" << kRepeatedDate << false;
    QTest::newRow("a bar of five items among whole ones") << "600000" << kShortBarAmongWholeOnes << false;
    QTest::newRow("an empty piece among the bars")
        << "600000" << answerHolding(klinefixtures::bar("2019-01-02", 1, 2, 3, 1, 5) + ",[],"
                                     + klinefixtures::bar("2019-01-03", 1, 2, 3, 1, 5)) << false;
    QTest::newRow("an empty piece behind the last bar")
        << "600000" << answerHolding(klinefixtures::bar("2019-01-02", 1, 2, 3, 1, 5) + ",[]") << false;
    QTest::newRow("two years of bars with dividend days") << "600000" << klinefixtures::body("sh600000", 480) << true;
    QTest::newRow("bare numbers of every form")
        << "000001" << "{\"code\":0,\"data\":{\"sz000001\":{\"day\":[[\"2017-01-03\",9.1,9.2,9.3,9.0,1e5],"
                       "[\"2017-01-04\",\"9.\",\"-.5\",\"9.25\",\"8.9\",\"12\"]]}}}" << true;
    QTest::newRow("numbers of other forms")
        << "600000" << answerHolding("[\"2019-01-02\",\"1e1\",\".5\",\"+3\",\" 4 \",\"5.\",{\"nd\":\"x\"}]") << true;
    QTest::newRow("no bars") << "600000" << "<html>busy</html>" << false;
    QTest::newRow("empty body") << "600000" << "" << false;
    QTest::newRow("bar array cut off") << "600000" << kThreeBars.left(kThreeBars.indexOf("]]")) << false;
    QTest::newRow("cut within the closing marker")
        << "600000" << kThreeBars.left(kThreeBars.indexOf("]]") + 1) << false;
    QTest::newRow("cut behind the closed bar array")
        << "600000" << kThreeBars.left(kThreeBars.indexOf("]]") + 2) << true;
    QTest::newRow("empty code") << "" << kThreeBars << false;
    QTest::newRow("market prefix") << "sh600000" << kThreeBars << false;
    QTest::newRow("parent folder") << "../600000" << kThreeBars << false;
    QTest::newRow("absolute path") << "/tmp/x" << kThreeBars << false;
    QTest::newRow("five digits") << "60000" << kThreeBars << false;
}

void QQHistoryTest::storesBodyOnlyForBarsAndPathSafeCodes()
{
    QFETCH(QString, code);
    QFETCH(QString, body);
    QFETCH(bool, stored);
    StockQQHistoryInterface source;
    source.setParameter(0, "data/");
    source.parse(body, code);
    const QStringList files = QDir("data").entryList(QDir::Files | QDir::Hidden);
    const QStringList above = QDir(".").entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.isEmpty() ? QStringList() : files, stored ? QStringList { code } : QStringList());
    QVERIFY(above.isEmpty());
    if (stored)
        QCOMPARE(readAll("data/" + code), body.toUtf8());
}

void QQHistoryTest::emptyCacheDirStoresNothing()
{
    StockQQHistoryInterface source;
    source.setParameter(0, "data/");
    source.setParameter(0, "");
    QCOMPARE(source.parse(kThreeBars, "600000").size(), 3);
    // A stored file is read as it is; a body to be stored must hold its
    // whole bar array.
    const QString cut = kThreeBars.left(kThreeBars.indexOf("]]"));
    QCOMPARE(source.parse(cut, "600000").size(), 3);
    source.setParameter(0, "data/");
    QVERIFY(source.parse(cut, "600000").isEmpty());
    QVERIFY(QDir("data").entryList(QDir::Files).isEmpty());
    QVERIFY(QDir(".").entryList(QDir::Files).isEmpty());
}

void QQHistoryTest::downloadIsStoredAndReadBack()
{
    TestHttpServer server;
    QVERIFY(server.isListening());
    HostOverride hosts(server);
    const QString body = klinefixtures::body("sh600000", 480);
    server.serve("/appstock/app/fqkline/get", TestHttpServer::Reply::text(body, "application/json"));

    // The smart-comment scan's way: a held source, blocking GET, parse.
    StockQQHistoryInterface source;
    source.setParameter(0, "data/");
    source.setParameter(1, "qfq");
    source.setParameter(2, "day");
    const QVector<Stock> downloaded = source.parse(httpGet(source.urls({ "600000" }).first()), "600000");
    QCOMPARE(downloaded.size(), 480);
    QCOMPARE(server.requestCount(), 1);
    QCOMPARE(QUrlQuery(server.requests().first().query).queryItemValue("param"), QString("sh600000,day,,,480,qfq"));

    // A strategy page's way: the stored file through the same parse.
    const QString stored = loadTemplate("data/600000");
    QVERIFY(!isLoadTemplateFailure(stored));
    QCOMPARE(stored, body);
    StockQQHistoryInterface reader;
    const QString difference = sameBars(reader.parse(stored, "600000"), downloaded);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void QQHistoryTest::storedHistoriesAreReadByCodeOnly()
{
    QVERIFY(saveWhole("data/600000", kThreeBars.toUtf8()));
    QVERIFY(QDir().mkpath("data/dl"));
    QVERIFY(saveWhole("data/dl/600000", "[[\"2019-01-02\",1,2,3,4,5,6,7,0,0,0,0,0,0,0,0,0]]"));

    QCOMPARE(readDataHistory("600000").size(), 3);
    QCOMPARE(readDataHistory("600000").last().code, QString("600000"));
    QCOMPARE(readDownloadedHistory("600000").size(), 1);
    // A list item or an add-on's report is text: it names a stored file only
    // when it is a code, however it leads to one.
    for (const char* text : { "../data/600000", "./600000", "600000/", "/600000", "60000", "6000000", "" }) {
        QVERIFY2(readDataHistory(text).isEmpty(), text);
        QVERIFY2(readDownloadedHistory(text).isEmpty(), text);
    }
    QVERIFY(readDataHistory("600001").isEmpty());
    QVERIFY(readDownloadedHistory("600001").isEmpty());

    // By path the code is the file's name.
    const QVector<Stock> bars = readHistoryFile(QDir("data").absoluteFilePath("600000"));
    QCOMPARE(bars.size(), 3);
    QCOMPARE(bars.first().code, QString("600000"));
    // A folder where the file should be does not read.
    QVERIFY(QDir().mkpath("data/600002"));
    QVERIFY(readHistoryFile("data/600002").isEmpty());
}

void QQHistoryTest::loadQQHistoryFallsBackToDayAndHfq()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/appstock/app/fqkline/get", TestHttpServer::Reply::text(threeBars("sz000001")));

    const QVector<Stock> bars = loadQQHistory("000001", "minute", "", "data/k/");
    QCOMPARE(bars.size(), 3);
    QCOMPARE(bars.first().code, QString("000001"));
    QCOMPARE(QUrlQuery(server.requests().last().query).queryItemValue("param"), QString("sz000001,day,,,480,hfq"));
    QCOMPARE(readAll("data/k/000001"), threeBars("sz000001").toUtf8());

    loadQQHistory("600036", "week", "bfq", "data/k/");
    QCOMPARE(QUrlQuery(server.requests().last().query).queryItemValue("param"), QString("sh600036,week,,,480,bfq"));
    QCOMPARE(server.requestCount(), 2);
}

void QQHistoryTest::failedDownloadKeepsStoredHistory_data()
{
    using Reply = TestHttpServer::Reply;
    QTest::addColumn<Reply>("reply");
    // Only the service's own answer that it has no bars of the stock is no
    // failure: it is a fact about the stock.
    QTest::addColumn<bool>("noBarsOfTheStock");
    const QByteArray history = klinefixtures::body("sh600000", 480).toUtf8();
    const QByteArray sixWords = QStringLiteral("系统维护中,请稍后,再试,谢谢,客服,热线").toUtf8();
    auto withStatus = [](Reply reply, int status) {
        reply.status = status;
        return reply;
    };
    QTest::newRow("not found") << Reply::status404() << false;
    QTest::newRow("error page") << Reply::gbk(QStringLiteral("<html>系统维护中</html>")) << false;
    QTest::newRow("empty body") << Reply::text("") << false;
    QTest::newRow("stalled server") << Reply::stalled() << false;
    QTest::newRow("closed after a third of the body") << Reply::cutShort(history, history.size() / 3) << false;
    QTest::newRow("reset after a third of the body") << Reply::cutShort(history, history.size() / 3, true) << false;
    QTest::newRow("chunked, closed inside a chunk of the bars")
        << Reply::chunkedCutShort(history, history.size() / 2 + 7) << false;
    QTest::newRow("chunked, closed after a whole chunk of the bars") << Reply::chunkedCutShort(history, 70 * 100) << false;
    Reply trickling = Reply::bytes(history);
    trickling.trickleMs = 5;
    QTest::newRow("trickling past the time limit") << trickling << false;
    QTest::newRow("status 500 with a history body") << withStatus(Reply::bytes(history), 500) << false;
    QTest::newRow("status 500 page of six words") << withStatus(Reply::bytes(sixWords), 500) << false;
    QTest::newRow("maintenance page of six words") << Reply::bytes(sixWords, "text/html") << false;
    QTest::newRow("unknown code")
        << Reply::text("{\"code\":0,\"msg\":\"\",\"data\":{\"sh600000\":{\"day\":[],\"qt\":{\"sh600000\":[\"1\",\"\","
                       "\"600000\",\"0.00\",\"0.00\",\"0.00\"]},\"prec\":\"0.00\"}}}") << true;
    QTest::newRow("another stock without bars")
        << Reply::text("{\"code\":0,\"msg\":\"\",\"data\":{\"sz600000\":{\"day\":[]}}}") << false;
    QTest::newRow("another stock's history") << Reply::text(klinefixtures::body("sz000002", 480), "application/json") << false;
    QTest::newRow("bars of words") << Reply::text(kWordBars, "application/json") << false;
    QTest::newRow("closed empty bar array") << Reply::text(answerHolding("[]"), "application/json") << false;
    QTest::newRow("pieces of five items") << Reply::text(kFiveItemPieces, "application/json") << false;
    QTest::newRow("a date going back") << Reply::text(kDateGoingBack, "application/json") << false;
    QTest::newRow("a repeated date") << Reply::text(kRepeatedDate, "application/json") << false;
    QTest::newRow("a bar of five items among whole ones") << Reply::text(kShortBarAmongWholeOnes, "application/json")
                                                          << false;
}

void QQHistoryTest::failedDownloadKeepsStoredHistory()
{
    QFETCH(TestHttpServer::Reply, reply);
    QFETCH(bool, noBarsOfTheStock);
    QVERIFY(saveWhole("data/600000", kThreeBars.toUtf8()));

    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/", reply);
    setRequestTimeout(300);
    setRequestTimeLimit(300);

    QElapsedTimer clock;
    clock.start();
    HistoryOutcome outcome;
    QVERIFY(loadQQHistory("600000", "day", "qfq", "data/", &outcome).isEmpty());
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(readAll("data/600000"), kThreeBars.toUtf8());
    QCOMPARE(QDir("data").entryList(QDir::Files | QDir::Hidden), QStringList { "600000" });
    QCOMPARE(outcome.failure.isEmpty(), noBarsOfTheStock);
    QVERIFY(outcome.notStored.isEmpty());
    // Qt itself sends the GET again (twice at most) when a chunked answer
    // breaks off early, or when a reset throws away an answer it had not read
    // yet (a busy machine); the program never does.
    if (reply.chunked || reply.reset)
        QVERIFY(server.requestCount() >= 1 && server.requestCount() <= 3);
    else
        QCOMPARE(server.requestCount(), 1);
}

void QQHistoryTest::unstorableHistoryIsGivenWithTheReason_data()
{
    QTest::addColumn<QString>("cacheDir");
    QTest::addColumn<QString>("blocker");   // "folder": a folder in the file's place; else a file's path
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder in the file's place")
        << "data/" << "folder" << false << QStringLiteral("data/600000 是一个文件夹,不是文件");
    QTest::newRow("a plain file in the folder's place")
        << "data/k/" << "data/k" << false << QStringLiteral("data/k 是一个文件,不是文件夹");
    QTest::newRow("a plain file above the folder")
        << "data/k/day/" << "data/k" << false << QStringLiteral("data/k 是一个文件,不是文件夹");
    QTest::newRow("a full disk") << "data/" << "" << true << QStringLiteral("磁盘已满,无法在 data 中写入文件");
}

// The bars of a whole answer are given even when they cannot be stored (a
// page shows them), with the reason; what was stored stays.
void QQHistoryTest::unstorableHistoryIsGivenWithTheReason()
{
    QFETCH(QString, cacheDir);
    QFETCH(QString, blocker);
    QFETCH(bool, fullDisk);
    QFETCH(QString, reason);
    QVERIFY(saveWhole("data/600000", kThreeBars.toUtf8()));
    if (blocker == "folder") {
        QVERIFY(QFile::remove("data/600000"));
        QVERIFY(QDir().mkpath("data/600000"));
    } else if (!blocker.isEmpty()) {
        QVERIFY(QDir(blocker).removeRecursively());
        QVERIFY(saveWhole(blocker, "a file of the user's"));
    }
    TestHttpServer server;
    HostOverride hosts(server);
    const QString body = klinefixtures::body("sh600000", 480);
    server.serve("/appstock/app/fqkline/get", TestHttpServer::Reply::text(body, "application/json"));

    std::unique_ptr<FileSizeLimit> limit(fullDisk ? new FileSizeLimit(16) : nullptr);
    QVERIFY(!limit || limit->active);
    HistoryOutcome outcome;
    const QVector<Stock> bars = loadQQHistory("600000", "day", "qfq", cacheDir, &outcome);
    limit.reset();

    QCOMPARE(bars.size(), 480);
    QVERIFY(outcome.failure.isEmpty());
    QCOMPARE(outcome.notStored, reason);
    if (blocker == "folder")
        QVERIFY(QFileInfo("data/600000").isDir());
    else
        QCOMPARE(readAll("data/600000"), kThreeBars.toUtf8());
    if (!blocker.isEmpty() && blocker != "folder")
        QCOMPARE(readAll(blocker), QByteArray("a file of the user's"));
}

QTEST_GUILESS_MAIN(QQHistoryTest)
#include "tst_qqhistory.moc"
