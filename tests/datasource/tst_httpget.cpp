#include "datasource/httpget.h"
#include "datasource/quotesources.h"
#include "datasource/stocktimedata.h"
#include "tests/datasource/quotefixtures.h"
#include "tests/support/testhttpserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QtTest>

#include <memory>

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
    void requestsCarryTheHeadersOfTheirProvider_data();
    void requestsCarryTheHeadersOfTheirProvider();
    void bodyLargerThanTheLimitIsGivenUp_data();
    void bodyLargerThanTheLimitIsGivenUp();
    void endlessBodyStopsAtTheLimitWhileTheThreadIsBusy();
    void requestsOfManyThreadsKeepTheirOwnResults();
    void cookieOfOneAnswerGoesWithNoLaterRequest();
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
    setDownloadSizeLimit(0);
}

void HttpGetTest::decodesBodyByDeclaredOrGuessedCharset_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("expected");
    const QString chinese = QStringLiteral("浦发银行,平安银行 龙虎榜");
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

// The headers go with the provider, found from the URL's path, so they hold
// under the host override, where every provider shares one host.
void HttpGetTest::requestsCarryTheHeadersOfTheirProvider_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("override");
    QTest::addColumn<QByteArray>("referer");
    SinaInterface quotes;
    const QString quotePath = QUrl(quotes.urls({ "600000", "000001" }).first()).path();
    QTest::newRow("quote request") << quotePath << true << quotefixtures::kReferer;
    QTest::newRow("minute request of another provider")
        << QUrl(minuteDataUrl("600000")).path() + "?" + QUrl(minuteDataUrl("600000")).query() << true << QByteArray();
    QTest::newRow("quote path at a host of no provider") << quotePath << false << QByteArray();
}

void HttpGetTest::requestsCarryTheHeadersOfTheirProvider()
{
    QFETCH(QString, path);
    QFETCH(bool, override);
    QFETCH(QByteArray, referer);
    TestHttpServer server;
    server.serve("/", TestHttpServer::Reply::text("ok"));
    // Without the override the providers are at their real hosts, and the
    // loopback server is none of them.
    HostOverride hosts(override ? server.baseUrl() : QString());
    QCOMPARE(httpGet(server.baseUrl() + path), QString("ok"));
    QCOMPARE(server.requestCount(), 1);
    QCOMPARE(server.requests().first().target, path);
    QCOMPARE(server.requests().first().header("Referer"), referer);
}

void HttpGetTest::bodyLargerThanTheLimitIsGivenUp_data()
{
    QTest::addColumn<TestHttpServer::Reply>("reply");
    QTest::addColumn<bool>("givenUp");
    const qint64 limit = 1024 * 1024;
    const qint64 endless = qint64(1) << 40;
    QTest::newRow("announced far above the limit") << TestHttpServer::Reply::generated(endless, true) << true;
    QTest::newRow("endless, found while it arrives") << TestHttpServer::Reply::generated(endless, false) << true;
    QTest::newRow("one byte above, announced") << TestHttpServer::Reply::generated(limit + 1, true) << true;
    QTest::newRow("one byte above, found while it arrives")
        << TestHttpServer::Reply::generated(limit + 1, false) << true;
    QTest::newRow("the limit itself") << TestHttpServer::Reply::generated(limit, false) << false;
}

void HttpGetTest::bodyLargerThanTheLimitIsGivenUp()
{
    QFETCH(TestHttpServer::Reply, reply);
    QFETCH(bool, givenUp);
    TestHttpServer server;
    server.serve("/", reply);
    setDownloadSizeLimit(1024 * 1024);
    // Read whole, the endless body would run into this limit instead.
    setRequestTimeLimit(20000);
    QString failure = "not set";
    const QString body = httpGet(server.baseUrl() + "/appstock/app/fqkline/get", nullptr, &failure);
    if (givenUp) {
        QCOMPARE(failure, QStringLiteral("应答大于1 MB，已放弃"));
        QCOMPARE(body, QString());
    } else {
        QCOMPARE(failure, QString());
        QCOMPARE(body.size(), 1024 * 1024);
    }
}

// Qt's network thread goes on reading while the thread that asked is busy
// (a page at work, a loaded machine): an endless body must stop coming just
// past the limit instead of piling up unseen in memory until the thread looks
// again. The server runs on a thread of its own, so that it keeps sending.
void HttpGetTest::endlessBodyStopsAtTheLimitWhileTheThreadIsBusy()
{
    struct ServerThread
    {
        QThread thread;
        QObject context;
        std::unique_ptr<TestHttpServer> server;
        ServerThread()
        {
            context.moveToThread(&thread);
            thread.start();
            QMetaObject::invokeMethod(&context, [this] { server.reset(new TestHttpServer); },
                                      Qt::BlockingQueuedConnection);
        }
        ~ServerThread()
        {
            QMetaObject::invokeMethod(&context, [this] { server.reset(); }, Qt::BlockingQueuedConnection);
            thread.quit();
            thread.wait();
        }
    } serving;
    serving.server->serve("/", TestHttpServer::Reply::generated(qint64(1) << 40, false));
    const qint64 limit = 1024 * 1024;
    setDownloadSizeLimit(limit);

    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(providerRequest(QUrl(serving.server->baseUrl() + "/"))));
    abortWhenStuckOrTooLarge(reply.get());
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    QThread::msleep(1500);   // no event of this thread is handled meanwhile
    QVERIFY(finished.wait(10000));
    QCOMPARE(requestFailure(reply.get()), QStringLiteral("应答大于1 MB，已放弃"));
    // Twice the limit, and what the sockets' buffers on both sides hold besides.
    const qint64 sent = serving.server->generatedBytesSent();
    QVERIFY2(sent < 24 * limit, qPrintable(QStringLiteral("%1 bytes were sent").arg(sent)));
}

// Each thread has a manager of its own; a request on one never answers
// another's.
void HttpGetTest::requestsOfManyThreadsKeepTheirOwnResults()
{
    TestHttpServer server;
    server.serve("/n/", [](const TestHttpServer::Request& request) {
        TestHttpServer::Reply reply = TestHttpServer::Reply::text(request.target.mid(3));
        reply.delayMs = 20;
        return reply;
    });
    const QString base = server.baseUrl();
    QVector<QStringList> results(3);
    QList<QThread*> threads;
    for (int t = 0; t < results.size(); ++t) {
        threads << QThread::create([&results, t, base] {
            for (int i = 0; i < 3; ++i)
                results[t] << httpGet(base + QString("/n/%1-%2").arg(t).arg(i));
        });
        threads.last()->start();
    }
    // The server answers on this thread.
    for (QThread* thread : threads) {
        while (!thread->wait(10))
            QCoreApplication::processEvents();
        delete thread;
    }
    for (int t = 0; t < results.size(); ++t)
        QCOMPARE(results.at(t), (QStringList { QString("%1-0").arg(t), QString("%1-1").arg(t), QString("%1-2").arg(t) }));
}

// The requests of a thread share one manager, which must not hand a cookie
// that one provider set to the next request.
void HttpGetTest::cookieOfOneAnswerGoesWithNoLaterRequest()
{
    TestHttpServer server;
    TestHttpServer::Reply withCookie = TestHttpServer::Reply::text("first");
    withCookie.headers.insert("Set-Cookie", "visitor=1; Path=/");
    server.serve("/first", withCookie);
    server.serve("/second", TestHttpServer::Reply::text("second"));
    QCOMPARE(httpGet(server.baseUrl() + "/first"), QString("first"));
    QCOMPARE(httpGet(server.baseUrl() + "/second"), QString("second"));
    QCOMPARE(server.requests().at(1).header("Cookie"), QByteArray());
}

QTEST_GUILESS_MAIN(HttpGetTest)
#include "tst_httpget.moc"
