#include "datasource/httpget.h"

#include "core/textutils.h"
#include "datasource/providerhosts.h"
#include "datasource/webinterface.h"

#include <QAtomicInt>
#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QThreadStorage>
#include <QTimer>
#include <QUrl>

namespace {

constexpr qint64 kDefaultSizeLimit = 64 * 1024 * 1024;

QAtomicInt timeoutMs = 30000;
QAtomicInt timeLimitMs = 90000;
QAtomicInteger<qint64> sizeLimitBytes = kDefaultSizeLimit;

// A manager shared by a thread's requests would send the cookies one answer
// set along with every later request.
class NoCookieJar final : public QNetworkCookieJar
{
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};

// Making a manager costs more than a loopback request; the storage deletes
// each thread's manager when the thread ends (the main thread's when the
// application goes).
QNetworkAccessManager& threadManager()
{
    static QThreadStorage<QNetworkAccessManager*> managers;
    if (!managers.hasLocalData()) {
        auto* manager = new QNetworkAccessManager;
        manager->setCookieJar(new NoCookieJar(manager));
        managers.setLocalData(manager);
    }
    return *managers.localData();
}

// An HTTP error status comes with the provider's page: the transfer itself
// went well. Every other error means the body did not come whole.
bool isTransportError(QNetworkReply::NetworkError error, bool statusArrived)
{
    if (error == QNetworkReply::NoError)
        return false;
    const bool contentError =
        error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError;
    const bool serverError =
        error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError;
    return !(statusArrived && (contentError || serverError));
}

// Set on a reply that abortWhenStuckOrTooLarge() gave up, with the reason: Qt
// reports such a reply only as cancelled.
const char* const kGivenUpReason = "vorelGivenUpReason";

// A finished GET: the body of a whole success answer, or why there is none.
struct Fetched
{
    QString text;
    QString failure;
};

Fetched fetch(const QString& url, const QObject* owner)
{
    QNetworkReply* reply = threadManager().get(providerRequest(QUrl(url)));
    abortWhenStuckOrTooLarge(reply);
    if (owner)
        QObject::connect(owner, &QObject::destroyed, reply, &QNetworkReply::abort);
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Quitting the program ends every event loop, this one included: what
    // came so far is no answer.
    if (!reply->isFinished())
        reply->abort();
    Fetched fetched;
    fetched.failure = requestFailure(reply);
    if (fetched.failure.isEmpty())
        fetched.text = readReplyText(reply);
    delete reply;
    return fetched;
}

void giveUp(QNetworkReply* reply, const QString& reason)
{
    if (reply->isFinished())
        return;
    reply->setProperty(kGivenUpReason, reason);
    reply->abort();
}

bool isPastSizeLimit(qint64 bytes)
{
    return bytes > downloadSizeLimit();
}

void giveUpTooLarge(QNetworkReply* reply)
{
    const QString limit =
        QLocale::c().formattedDataSize(downloadSizeLimit(), 0, QLocale::DataSizeTraditionalFormat);
    giveUp(reply, QStringLiteral("应答大于%1，已放弃").arg(limit));
}

// The announced length is known before the first byte of the body; a body
// without one (chunked, or ended by the close) is measured by what the reply
// holds, which grows with every piece that arrives until it is read.
// (Progress signals come at most a few times a second, too late for this.)
// Qt's network thread reads on its own and, while this thread is behind,
// folds its pieces into one until it catches up: a fast endless body would
// pile up there unmeasured until the time limit. So the reply's read buffer
// is bounded; Qt may stop up to a piece short of that bound (and wait for us
// to read), so the bound lies well past the limit, which is always passed first.
void abortWhenTooLarge(QNetworkReply* reply)
{
    const qint64 limit = downloadSizeLimit();
    reply->setReadBufferSize(limit + qMax(limit, qint64(1024 * 1024)));
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        bool announced = false;
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&announced);
        if (announced && isPastSizeLimit(length))
            giveUpTooLarge(reply);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (isPastSizeLimit(reply->bytesAvailable()))
            giveUpTooLarge(reply);
    });
}

// "text/html; charset=GBK" -> "GBK"; empty when the reply declares none.
QByteArray declaredCharset(QNetworkReply* reply)
{
    const QByteArray type = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    for (const QByteArray& parameter : type.split(';')) {
        const QByteArray trimmed = parameter.trimmed();
        if (trimmed.toLower().startsWith("charset=")) {
            QByteArray charset = trimmed.mid(8).trimmed();
            if (charset.startsWith('"') && charset.endsWith('"') && charset.size() >= 2)
                charset = charset.mid(1, charset.size() - 2);
            return charset;
        }
    }
    return QByteArray();
}

} // namespace

int requestTimeout()
{
    return timeoutMs.loadAcquire();
}

void setRequestTimeout(int milliseconds)
{
    timeoutMs.storeRelease(milliseconds > 0 ? milliseconds : 30000);
}

int requestTimeLimit()
{
    return timeLimitMs.loadAcquire();
}

void setRequestTimeLimit(int milliseconds)
{
    timeLimitMs.storeRelease(milliseconds > 0 ? milliseconds : 90000);
}

qint64 downloadSizeLimit()
{
    return sizeLimitBytes.loadAcquire();
}

void setDownloadSizeLimit(qint64 bytes)
{
    sizeLimitBytes.storeRelease(bytes > 0 ? bytes : kDefaultSizeLimit);
}

QNetworkRequest providerRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    for (const RequestHeader& header : requestHeaders(url))
        request.setRawHeader(header.name, header.value);
    return request;
}

bool isWholeReply(QNetworkReply* reply)
{
    if (!reply->isFinished())
        return false;
    const bool statusArrived = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (isTransportError(reply->error(), statusArrived))
        return false;
    // A compressed body is unpacked on arrival: its announced length is not
    // the length that can be read.
    if (reply->hasRawHeader("Content-Encoding"))
        return true;
    bool announced = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&announced);
    return !announced || reply->bytesAvailable() == length;
}

QString requestFailure(QNetworkReply* reply)
{
    const QString givenUp = reply->property(kGivenUpReason).toString();
    if (!givenUp.isEmpty())
        return givenUp;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isTransportError(reply->error(), status.isValid()))
        return reply->errorString();
    const int code = status.toInt();
    if (status.isValid() && (code < 200 || code > 299)) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return QStringLiteral("HTTP %1 %2").arg(code).arg(reason).trimmed();
    }
    if (!isWholeReply(reply))
        return QStringLiteral("应答未完整到达");
    return QString();
}

QString readReplyText(QNetworkReply* reply)
{
    return decodeText(reply->readAll(), declaredCharset(reply));
}

void abortWhenStuckOrTooLarge(QNetworkReply* reply)
{
    abortWhenTooLarge(reply);
    auto* silence = new QTimer(reply);
    silence->setSingleShot(true);
    silence->setInterval(requestTimeout());
    QObject::connect(silence, &QTimer::timeout, reply,
                     [reply] { giveUp(reply, QStringLiteral("长时间无应答，已放弃")); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, silence, qOverload<>(&QTimer::start));
    QObject::connect(reply, &QNetworkReply::finished, silence, &QTimer::stop);
    silence->start();
    // A server that sends a byte now and then never falls silent.
    auto* limit = new QTimer(reply);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, reply,
                     [reply] { giveUp(reply, QStringLiteral("超过下载时限，已放弃")); });
    QObject::connect(reply, &QNetworkReply::finished, limit, &QTimer::stop);
    limit->start(requestTimeLimit());
}

QString httpGet(const QString& url, const QObject* owner, QString* failure)
{
    Fetched fetched = fetch(url, owner);
    if (failure)
        *failure = fetched.failure;
    return fetched.text;
}

QString fetchForSource(const WebSource& source, const QString& url, const QObject* owner, QString* failure)
{
    QString reason;
    const QString body = httpGet(url, owner, &reason);
    reason = answerFailure(source, body, reason);
    if (failure)
        *failure = reason;
    return reason.isEmpty() ? body : QString();
}
