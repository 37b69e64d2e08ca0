#include "datasource/httpget.h"

#include "core/textutils.h"

#include <QAtomicInt>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

QAtomicInt timeoutMs = 30000;

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

QString readReplyText(QNetworkReply* reply)
{
    return decodeText(reply->readAll(), declaredCharset(reply));
}

void abortWhenSilent(QNetworkReply* reply)
{
    auto* silence = new QTimer(reply);
    silence->setSingleShot(true);
    silence->setInterval(requestTimeout());
    QObject::connect(silence, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::downloadProgress, silence, qOverload<>(&QTimer::start));
    QObject::connect(reply, &QNetworkReply::finished, silence, &QTimer::stop);
    silence->start();
}

QString httpGet(const QString& url)
{
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
    abortWhenSilent(reply);
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // A request given up for silence is a failed one, whatever trickled in.
    const QString text = reply->error() == QNetworkReply::OperationCanceledError ? QString() : readReplyText(reply);
    delete reply;
    return text;
}
