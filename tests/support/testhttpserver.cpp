#include "tests/support/testhttpserver.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextCodec>
#include <QTimer>

#include <cstdlib>

namespace {

const char* const kBufferProperty = "testHttpBuffer";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

} // namespace

TestHttpServer::Reply TestHttpServer::Reply::text(const QString& text, const QByteArray& contentType)
{
    Reply reply;
    reply.contentType = contentType;
    reply.body = text.toUtf8();
    return reply;
}

TestHttpServer::Reply TestHttpServer::Reply::gbk(const QString& text, const QByteArray& contentType,
                                                 bool declareCharset)
{
    Reply reply;
    reply.contentType = declareCharset ? contentType + "; charset=GBK" : contentType;
    reply.body = QTextCodec::codecForName("GBK")->fromUnicode(text);
    return reply;
}

TestHttpServer::Reply TestHttpServer::Reply::bytes(const QByteArray& body, const QByteArray& contentType)
{
    Reply reply;
    reply.contentType = contentType;
    reply.body = body;
    return reply;
}

TestHttpServer::Reply TestHttpServer::Reply::status404()
{
    Reply reply;
    reply.status = 404;
    return reply;
}

TestHttpServer::Reply TestHttpServer::Reply::stalled()
{
    Reply reply;
    reply.stall = true;
    return reply;
}

TestHttpServer::TestHttpServer(QObject* parent)
    : QObject(parent)
    , server(new QTcpServer(this))
{
    connect(server, &QTcpServer::newConnection, this, &TestHttpServer::acceptConnections);
    server->listen(QHostAddress::LocalHost, 0);
}

TestHttpServer::~TestHttpServer()
{
    // Stalled clients see the connection drop instead of waiting on a dead port.
    for (const QPointer<QTcpSocket>& socket : qAsConst(stalledSockets)) {
        if (socket)
            socket->abort();
    }
    server->close();
}

bool TestHttpServer::isListening() const
{
    return server->isListening();
}

quint16 TestHttpServer::port() const
{
    return server->serverPort();
}

QString TestHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void TestHttpServer::serve(const QString& prefix, const Reply& reply)
{
    handlers.insert(prefix, [reply](const Request&) { return reply; });
}

void TestHttpServer::serve(const QString& prefix, const Handler& handler)
{
    handlers.insert(prefix, handler);
}

void TestHttpServer::clearFixtures()
{
    handlers.clear();
}

QList<TestHttpServer::Request> TestHttpServer::requests() const
{
    return seen;
}

int TestHttpServer::requestCount() const
{
    return seen.size();
}

void TestHttpServer::clearRequests()
{
    seen.clear();
}

void TestHttpServer::acceptConnections()
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    QByteArray buffer = socket->property(kBufferProperty).toByteArray() + socket->readAll();
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        socket->setProperty(kBufferProperty, buffer);
        return;
    }
    socket->setProperty(kBufferProperty, QByteArray());
    // One request per connection: whatever follows the header is ignored.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

    const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
    Request request;
    request.method = requestLine.value(0);
    request.target = QString::fromLatin1(requestLine.value(1));
    const int question = request.target.indexOf('?');
    request.path = question < 0 ? request.target : request.target.left(question);
    request.query = question < 0 ? QString() : request.target.mid(question + 1);
    seen.append(request);
    emit requestSeen(request);

    const Reply reply = replyFor(request);
    if (reply.stall) {
        stalledSockets.append(socket);
        return;
    }
    if (reply.delayMs > 0) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(reply.delayMs, this, [this, guarded, reply] {
            if (guarded)
                answer(guarded, reply);
        });
        return;
    }
    answer(socket, reply);
}

void TestHttpServer::answer(QTcpSocket* socket, const Reply& reply)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    head += "Content-Type: " + reply.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    socket->write(reply.body);
    socket->disconnectFromHost();
}

TestHttpServer::Reply TestHttpServer::replyFor(const Request& request) const
{
    QString best;
    bool found = false;
    for (auto it = handlers.constBegin(); it != handlers.constEnd(); ++it) {
        if (request.target.startsWith(it.key()) && (!found || it.key().size() > best.size())) {
            best = it.key();
            found = true;
        }
    }
    return found ? handlers.value(best)(request) : Reply::status404();
}

HostOverride::HostOverride(const TestHttpServer& server)
{
    set(server.baseUrl());
}

HostOverride::HostOverride(const QString& baseUrl)
{
    set(baseUrl);
}

HostOverride::~HostOverride()
{
    if (hadPrevious)
        qputenv("VOREL_HOST_OVERRIDE", previous);
    else
        qunsetenv("VOREL_HOST_OVERRIDE");
}

void HostOverride::set(const QString& baseUrl)
{
    hadPrevious = qEnvironmentVariableIsSet("VOREL_HOST_OVERRIDE");
    previous = qgetenv("VOREL_HOST_OVERRIDE");
    qputenv("VOREL_HOST_OVERRIDE", baseUrl.toUtf8());
}
