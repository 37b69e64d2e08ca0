#include "tests/support/testhttpserver.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextCodec>
#include <QTimer>

#include <cstdlib>
#include <memory>

#include <sys/socket.h>

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

// The body as it goes on the wire: as it is, or in chunks of 64 bytes ended
// by the empty last chunk.
QByteArray wireBody(const TestHttpServer::Reply& reply)
{
    if (!reply.chunked)
        return reply.body;
    QByteArray wire;
    for (int i = 0; i < reply.body.size(); i += 64) {
        const QByteArray chunk = reply.body.mid(i, 64);
        wire += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return wire + "0\r\n\r\n";
}

QByteArray sentBody(const TestHttpServer::Reply& reply)
{
    const QByteArray wire = wireBody(reply);
    return reply.cutAfter >= 0 ? wire.left(reply.cutAfter) : wire;
}

// `target` without its "__random_suffix" item: the value a request draws
// anew each time, which no fixture can know.
QString withoutRandomItem(const QString& target)
{
    const int question = target.indexOf('?');
    if (question < 0)
        return target;
    QStringList items = target.mid(question + 1).split('&');
    for (int i = items.size() - 1; i >= 0; --i) {
        if (items.at(i).startsWith(QLatin1String("__random_suffix=")))
            items.removeAt(i);
    }
    return items.isEmpty() ? target.left(question) : target.left(question + 1) + items.join('&');
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

TestHttpServer::Reply TestHttpServer::Reply::cutShort(const QByteArray& body, int bytes, bool reset)
{
    Reply reply = Reply::bytes(body, "text/plain");
    reply.cutAfter = bytes;
    reply.reset = reset;
    return reply;
}

TestHttpServer::Reply TestHttpServer::Reply::chunkedCutShort(const QByteArray& body, int wireBytes)
{
    Reply reply = Reply::cutShort(body, wireBytes);
    reply.chunked = true;
    return reply;
}

TestHttpServer::Reply TestHttpServer::Reply::generated(qint64 bytes, bool announceLength)
{
    Reply reply;
    reply.generatedBytes = bytes;
    reply.chunked = !announceLength;
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

void TestHttpServer::serveExact(const QString& target, const Reply& reply)
{
    exactHandlers.insert(withoutRandomItem(target), [reply](const Request&) { return reply; });
}

void TestHttpServer::serveExact(const QString& target, const Handler& handler)
{
    exactHandlers.insert(withoutRandomItem(target), handler);
}

void TestHttpServer::clearFixtures()
{
    handlers.clear();
    exactHandlers.clear();
}

QList<TestHttpServer::Request> TestHttpServer::requests() const
{
    return seen;
}

int TestHttpServer::requestCount() const
{
    return seen.size();
}

QStringList TestHttpServer::unanswered() const
{
    return unansweredTargets;
}

void TestHttpServer::clearRequests()
{
    seen.clear();
    unansweredTargets.clear();
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

    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const int colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    request.method = requestLine.value(0);
    request.target = QString::fromLatin1(requestLine.value(1));
    const int question = request.target.indexOf('?');
    request.path = question < 0 ? request.target : request.target.left(question);
    request.query = question < 0 ? QString() : request.target.mid(question + 1);
    request.fixedTarget = withoutRandomItem(request.target);
    seen.append(request);
    emit requestSeen(request);

    // A copy: a handler may change the fixtures.
    const Handler handler = handlerFor(request);
    if (!handler)
        unansweredTargets.append(request.target);
    const Reply reply = handler ? handler(request) : Reply::status404();
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
    for (auto it = reply.headers.constBegin(); it != reply.headers.constEnd(); ++it)
        head += it.key() + ": " + it.value() + "\r\n";
    const qint64 length = reply.generatedBytes >= 0 ? reply.generatedBytes : reply.body.size();
    if (reply.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (reply.generatedBytes >= 0)
        generate(socket, reply);
    else if (reply.trickleMs > 0)
        trickle(socket, reply);
    else
        sendBody(socket, reply);
}

void TestHttpServer::sendBody(QTcpSocket* socket, const Reply& reply)
{
    socket->write(sentBody(reply));
    endConnection(socket, reply);
}

void TestHttpServer::trickle(QTcpSocket* socket, const Reply& reply)
{
    // The timer goes with the socket when the client hangs up.
    auto* ticks = new QTimer(socket);
    auto remaining = std::make_shared<QByteArray>(sentBody(reply));
    connect(ticks, &QTimer::timeout, socket, [this, socket, ticks, remaining, reply] {
        if (remaining->isEmpty()) {
            ticks->stop();
            endConnection(socket, reply);
            return;
        }
        socket->write(remaining->left(1));
        socket->flush();
        remaining->remove(0, 1);
    });
    ticks->start(reply.trickleMs);
}

void TestHttpServer::generate(QTcpSocket* socket, const Reply& reply)
{
    // A few pieces in the socket's buffer at a time: the next ones are made
    // as the client takes the bytes, and none once it hangs up.
    static constexpr qint64 kPiece = 64 * 1024;
    const QByteArray piece(int(kPiece), 'x');
    auto remaining = std::make_shared<qint64>(reply.generatedBytes);
    auto refill = [this, socket, piece, remaining, reply] {
        // A socket whose client went away takes no more bytes: without the
        // state check this loop would spin through the whole body at once.
        while (*remaining > 0 && socket->state() == QAbstractSocket::ConnectedState
               && socket->bytesToWrite() < 4 * kPiece) {
            const QByteArray data = piece.left(int(qMin(kPiece, *remaining)));
            *remaining -= data.size();
            generatedSent += data.size();
            socket->write(reply.chunked ? QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n" : data);
        }
        if (*remaining == 0) {
            *remaining = -1;
            if (reply.chunked)
                socket->write("0\r\n\r\n");
            endConnection(socket, reply);
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    refill();
}

void TestHttpServer::endConnection(QTcpSocket* socket, const Reply& reply)
{
    if (!reply.reset) {
        socket->disconnectFromHost();
        return;
    }
    // A reset rather than a close: no lingering, the client sees the
    // connection break after the part of the body that reached it.
    socket->flush();
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(20, this, [guarded] {
        if (!guarded)
            return;
        const linger abrupt { 1, 0 };
        ::setsockopt(int(guarded->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
        guarded->abort();
    });
}

TestHttpServer::Handler TestHttpServer::handlerFor(const Request& request) const
{
    const auto exact = exactHandlers.constFind(request.fixedTarget);
    if (exact != exactHandlers.constEnd())
        return exact.value();
    Handler best;
    int bestSize = -1;
    for (auto it = handlers.constBegin(); it != handlers.constEnd(); ++it) {
        if (request.target.startsWith(it.key()) && it.key().size() > bestSize) {
            best = it.value();
            bestSize = it.key().size();
        }
    }
    return best;
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
