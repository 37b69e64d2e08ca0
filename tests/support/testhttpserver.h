#pragma once

// A real HTTP/1.1 server on 127.0.0.1 for tests of everything that downloads.
// It listens on a free port from construction on and answers GET requests from
// fixtures registered for one exact request or per prefix of "path?query" (an
// exact fixture first, else the longest matching prefix; nothing matching
// gives 404 with an empty body, and the request is kept among the unanswered
// ones). An exact fixture answers only the request the program should send,
// so a request for another stock, date, page, period or adjustment finds no
// answer and is seen among the unanswered. It can delay a reply,
// stall it (accept the request and never answer), break it off midway (closed
// or reset after part of the body, a chunked body without its last chunk),
// trickle it one byte at a time or generate a body of any size piece by piece,
// and it records every request it saw with its headers. Point the program at
// it with HostOverride (every provider then goes to baseUrl(), keeping its
// path and query).
//
//   TestHttpServer server;
//   HostOverride hosts(server);
//   server.serve("/appstock/app/fqkline/get", TestHttpServer::Reply::text(body));
//   server.serve("/notices/", TestHttpServer::Reply::gbk(html, "text/html"));
//   server.serveExact("/appstock/app/minute/query?code=sz000001&_appName=android&_net=WIFI", reply);
//   ... run the code under test ...
//   QCOMPARE(server.requests().first().query, ...);
//   QCOMPARE(server.unanswered(), QStringList());
//
// Connections are closed after each answer, so every request of the program
// opens its own connection. The server lives on the thread that runs the event
// loop of the code under test (the test's main thread), unless it must go on
// sending while that thread is busy: then it is made, used and destroyed on a
// thread of its own.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>

class QTcpServer;
class QTcpSocket;

class TestHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QString path;       // "/appstock/app/fqkline/get"
        QString query;      // "p=1&param=..." without the "?"; empty when none
        QString target;     // path, then "?" and the query when there is one
        // The target without its "__random_suffix" item: what an exact
        // fixture is compared with.
        QString fixedTarget;
        QByteArray method;  // "GET"
        QMap<QByteArray, QByteArray> headers;   // by lower-case name

        // The value of the header `name` (any case); empty when not sent.
        QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
    };

    struct Reply
    {
        int status = 200;
        QByteArray contentType = "text/plain";   // sent as the Content-Type header as it stands
        QByteArray body;
        QMap<QByteArray, QByteArray> headers;   // further header lines, by name
        int delayMs = 0;      // answer this long after the request arrived
        bool stall = false;   // accept the request and never answer (until the server goes away)
        bool chunked = false; // send the body in chunks instead of announcing its length
        // Send only this many bytes of the body, then end the connection; the
        // head still announces the whole body (its length, or chunks to come).
        int cutAfter = -1;
        bool reset = false;   // end a cut reply with a reset instead of an orderly close
        int trickleMs = 0;    // send the body one byte every this many milliseconds
        // When not negative: instead of `body`, this many filler bytes, made
        // piece by piece as the connection drains, so that a body of any size
        // costs the server next to no memory. Announced by its length unless
        // `chunked`, which sends each piece as a chunk.
        qint64 generatedBytes = -1;

        // `text` as UTF-8, without a declared charset unless `contentType` names one.
        static Reply text(const QString& text, const QByteArray& contentType = "text/plain");
        // `text` encoded as GBK, declared as "<contentType>; charset=GBK" unless
        // `declareCharset` is false (the providers that leave it out).
        static Reply gbk(const QString& text, const QByteArray& contentType = "text/html",
                         bool declareCharset = true);
        static Reply bytes(const QByteArray& body, const QByteArray& contentType = "application/octet-stream");
        static Reply status404();
        static Reply stalled();
        // `body` announced whole but broken off after `bytes` of it.
        static Reply cutShort(const QByteArray& body, int bytes, bool reset = false);
        // `body` in chunks of 64 bytes (70 on the wire with their heads), the
        // connection closed after `wireBytes` of that form, before the last
        // chunk. Qt often finishes such a reply without an error.
        static Reply chunkedCutShort(const QByteArray& body, int wireBytes);
        // A body of `bytes` filler bytes, its length announced or (chunked) not.
        static Reply generated(qint64 bytes, bool announceLength);
    };

    using Handler = std::function<Reply(const Request&)>;

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    bool isListening() const;
    quint16 port() const;
    QString baseUrl() const;   // "http://127.0.0.1:<port>"

    // Fixture for every request whose "path?query" starts with `prefix`.
    void serve(const QString& prefix, const Reply& reply);
    // Handler called per request (on the test's thread) for that prefix.
    void serve(const QString& prefix, const Handler& handler);
    // Fixture for the one request whose "path?query" is `target`, compared
    // whole but for the cache-busting "__random_suffix" item, which differs
    // with every request and is left out of `target`.
    void serveExact(const QString& target, const Reply& reply);
    void serveExact(const QString& target, const Handler& handler);
    void clearFixtures();

    QList<Request> requests() const;
    int requestCount() const;
    // The targets of the requests no fixture answered (they got 404), in
    // the order they came.
    QStringList unanswered() const;
    void clearRequests();
    // The filler bytes of generated bodies handed to the connections so far;
    // safe to read from any thread (the server may run on a thread of its own).
    qint64 generatedBytesSent() const { return generatedSent; }

signals:
    void requestSeen(const TestHttpServer::Request& request);

private:
    void acceptConnections();
    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Reply& reply);
    void sendBody(QTcpSocket* socket, const Reply& reply);
    void trickle(QTcpSocket* socket, const Reply& reply);
    void generate(QTcpSocket* socket, const Reply& reply);
    void endConnection(QTcpSocket* socket, const Reply& reply);
    Handler handlerFor(const Request& request) const;   // empty when none

    QTcpServer* server = nullptr;
    QMap<QString, Handler> handlers;   // by prefix
    QMap<QString, Handler> exactHandlers;   // by target without its random item
    QList<Request> seen;
    QStringList unansweredTargets;
    QList<QPointer<QTcpSocket> > stalledSockets;
    std::atomic<qint64> generatedSent { 0 };
};

// Replies travel as columns of data-driven tests.
Q_DECLARE_METATYPE(TestHttpServer::Reply)

// The symbol the providers know the stock of `code` by in their requests:
// Shanghai's codes start with "6", every other one is asked for in Shenzhen.
inline QString providerSymbol(const QString& code)
{
    return (code.startsWith('6') ? "sh" : "sz") + code;
}

// Sends every provider to `server` for the lifetime of this object by setting
// the environment variable VOREL_HOST_OVERRIDE; the previous value (or its
// absence) comes back on destruction.
class HostOverride
{
public:
    explicit HostOverride(const TestHttpServer& server);
    explicit HostOverride(const QString& baseUrl);
    ~HostOverride();

    HostOverride(const HostOverride&) = delete;
    HostOverride& operator=(const HostOverride&) = delete;

private:
    void set(const QString& baseUrl);

    QByteArray previous;
    bool hadPrevious = false;
};
