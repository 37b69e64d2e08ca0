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
    void errorPageBodyIsReturned();
    void stalledServerGivesEmptyTextWithinTimeout();
    void slowAnswerWithinTimeoutArrives();
    void refusedConnectionGivesEmptyText();
};

void HttpGetTest::cleanup()
{
    setRequestTimeout(30000);
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

void HttpGetTest::errorPageBodyIsReturned()
{
    TestHttpServer server;
    TestHttpServer::Reply reply = TestHttpServer::Reply::gbk("<html>页面不存在</html>");
    reply.status = 404;
    server.serve("/", reply);
    QCOMPARE(httpGet(server.baseUrl() + "/missing?x=1"), QString::fromUtf8("<html>页面不存在</html>"));
    QCOMPARE(server.requests().first().query, QString("x=1"));
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

QTEST_GUILESS_MAIN(HttpGetTest)
#include "tst_httpget.moc"
