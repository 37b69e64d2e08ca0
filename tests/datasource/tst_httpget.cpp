#include "datasource/httpget.h"
#include "tests/support/testhttpserver.h"

#include <QtTest>

class HttpGetTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void decodesBodyByDeclaredOrGuessedCharset_data();
    void decodesBodyByDeclaredOrGuessedCharset();
    void stalledServerGivesEmptyTextWithinTimeout();
    void slowAnswerWithinTimeoutArrives();
    void refusedConnectionGivesEmptyText();
    void brokenReplyGivesEmptyText_data();
    void brokenReplyGivesEmptyText();
    void tricklingServerIsGivenUpAtTheTimeLimit();
    void bodyIsOnlyAWholeTwoHundredAnswer_data();
    void bodyIsOnlyAWholeTwoHundredAnswer();
    void quittingDuringARequestGivesEmptyText();
    void ownerGoneDuringARequestGivesEmptyText();
};

namespace {

const QByteArray kHistoryBody =
    "{\"code\":0,\"data\":{\"sh600000\":{\"qfqday\":[[\"2017-01-03\",\"16.1\",\"16.3\",\"16.4\",\"16.0\",\"1000\"],"
    "[\"2017-01-04\",\"16.3\",\"16.4\",\"16.5\",\"16.2\",\"1200\"]]}}}";

} // namespace

void HttpGetTest::cleanup()
{
    setRequestTimeout(30000);
    setRequestTimeLimit(90000);
}

void HttpGetTest::decodesBodyByDeclaredOrGuessedCharset_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("expected");
    const QString chinese = QString::fromUtf8("浦发银行,平安银行 龙虎榜");
    const QByteArray gbk = QTextCodec::codecForName("GBK")->fromUnicode(chinese);
    QTest::newRow("declared GBK") << gbk << QByteArray("text/html; charset=GBK") << chinese;
    QTest::newRow("declared gb2312, quoted") << gbk << QByteArray("text/html;charset=\"gb2312\"") << chinese;
    QTest::newRow("GBK without charset") << gbk << QByteArray("text/html") << chinese;
    QTest::newRow("UTF-8 without charset") << chinese.toUtf8() << QByteArray("application/json") << chinese;
    QTest::newRow("declared UTF-8") << chinese.toUtf8() << QByteArray("text/plain; charset=UTF-8") << chinese;
    QTest::newRow("unknown charset falls back")
        << gbk << QByteArray("text/html; charset=x-nonsense") << chinese;
    QTest::newRow("text ends at a zero byte")
        << QByteArray("var a=\"1\";\0garbage", 18) << QByteArray("text/plain") << QString("var a=\"1\";");
    QTest::newRow("empty") << QByteArray() << QByteArray("text/plain") << QString();
}

void HttpGetTest::decodesBodyByDeclaredOrGuessedCharset()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, expected);
    TestHttpServer server;
    server.serve("/list=", TestHttpServer::Reply::bytes(body, contentType));
    QCOMPARE(httpGet(server.baseUrl() + "/list=sh600000,sz000001"), expected);
    QCOMPARE(server.requestCount(), 1);
    QCOMPARE(server.requests().first().path, QString("/list=sh600000,sz000001"));
}

void HttpGetTest::stalledServerGivesEmptyTextWithinTimeout()
{
    TestHttpServer server;
    server.serve("/", TestHttpServer::Reply::stalled());
    setRequestTimeout(250);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(httpGet(server.baseUrl() + "/appstock/app/fqkline/get"), QString());
    QVERIFY(clock.elapsed() >= 200);
    QVERIFY2(clock.elapsed() < 5000, "the request was not given up");
}

void HttpGetTest::slowAnswerWithinTimeoutArrives()
{
    TestHttpServer server;
    TestHttpServer::Reply reply = TestHttpServer::Reply::text("late but whole");
    reply.delayMs = 100;
    server.serve("/", reply);
    setRequestTimeout(2000);
    QCOMPARE(httpGet(server.baseUrl() + "/"), QString("late but whole"));
}

void HttpGetTest::refusedConnectionGivesEmptyText()
{
    QString url;
    {
        TestHttpServer gone;
        url = gone.baseUrl() + "/";
    }
    QCOMPARE(httpGet(url), QString());
}

void HttpGetTest::brokenReplyGivesEmptyText_data()
{
    QTest::addColumn<TestHttpServer::Reply>("reply");
    QTest::addColumn<QString>("expected");
    const int half = kHistoryBody.size() / 2;
    QTest::newRow("closed before the announced length")
        << TestHttpServer::Reply::cutShort(kHistoryBody, half) << QString();
    QTest::newRow("closed one byte short")
        << TestHttpServer::Reply::cutShort(kHistoryBody, kHistoryBody.size() - 1) << QString();
    QTest::newRow("reset midway") << TestHttpServer::Reply::cutShort(kHistoryBody, half, true) << QString();
    TestHttpServer::Reply chunked = TestHttpServer::Reply::bytes(kHistoryBody, "text/plain");
    chunked.chunked = true;
    QTest::newRow("whole chunked body") << chunked << QString::fromLatin1(kHistoryBody);
    QTest::newRow("whole body, closed at its end")
        << TestHttpServer::Reply::cutShort(kHistoryBody, kHistoryBody.size()) << QString::fromLatin1(kHistoryBody);
}

void HttpGetTest::brokenReplyGivesEmptyText()
{
    QFETCH(TestHttpServer::Reply, reply);
    QFETCH(QString, expected);
    TestHttpServer server;
    server.serve("/", reply);
    QCOMPARE(httpGet(server.baseUrl() + "/appstock/app/fqkline/get"), expected);
}

void HttpGetTest::tricklingServerIsGivenUpAtTheTimeLimit()
{
    // Every byte comes well within the silence limit, the whole body never
    // within the time limit.
    TestHttpServer server;
    TestHttpServer::Reply reply = TestHttpServer::Reply::bytes(kHistoryBody, "text/plain");
    reply.trickleMs = 20;
    server.serve("/", reply);
    setRequestTimeout(1000);
    setRequestTimeLimit(300);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(httpGet(server.baseUrl() + "/"), QString());
    QVERIFY(clock.elapsed() >= 250);
    QVERIFY2(clock.elapsed() < 2000, "the trickling request was not given up");
}

void HttpGetTest::bodyIsOnlyAWholeTwoHundredAnswer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("failure");
    const QString page = QString::fromLatin1(kHistoryBody);
    QTest::newRow("200") << 200 << page << QString();
    QTest::newRow("500 with the body of a history") << 500 << QString() << "HTTP 500 Internal Server Error";
    QTest::newRow("404") << 404 << QString() << "HTTP 404 Not Found";
    QTest::newRow("403, as the quote service refuses") << 403 << QString() << "HTTP 403 Forbidden";
    QTest::newRow("503") << 503 << QString() << "HTTP 503 Service Unavailable";
}

void HttpGetTest::bodyIsOnlyAWholeTwoHundredAnswer()
{
    QFETCH(int, status);
    QFETCH(QString, body);
    QFETCH(QString, failure);
    TestHttpServer server;
    TestHttpServer::Reply reply = TestHttpServer::Reply::bytes(kHistoryBody, "text/plain");
    reply.status = status;
    server.serve("/", reply);
    QString said = "not set";
    QCOMPARE(httpGet(server.baseUrl() + "/", nullptr, &said), body);
    QCOMPARE(said, failure);
}

void HttpGetTest::quittingDuringARequestGivesEmptyText()
{
    // Half the body has come when the program is asked to quit: quitting ends
    // every event loop, the request's own included.
    TestHttpServer server;
    TestHttpServer::Reply reply = TestHttpServer::Reply::bytes(kHistoryBody, "text/plain");
    reply.trickleMs = 2;
    server.serve("/", reply);
    QString text = "not run";
    QTimer::singleShot(0, [&] { text = httpGet(server.baseUrl() + "/"); });
    QTimer::singleShot(kHistoryBody.size(), QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    QCOMPARE(text, QString());
}

void HttpGetTest::ownerGoneDuringARequestGivesEmptyText()
{
    TestHttpServer server;
    TestHttpServer::Reply reply = TestHttpServer::Reply::bytes(kHistoryBody, "text/plain");
    reply.trickleMs = 50;
    server.serve("/", reply);
    auto* page = new QObject;
    QTimer::singleShot(100, page, [page] { page->deleteLater(); });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(httpGet(server.baseUrl() + "/", page), QString());
    QVERIFY2(clock.elapsed() < 2000, "the request outlived its page");
}

QTEST_GUILESS_MAIN(HttpGetTest)
#include "tst_httpget.moc"
