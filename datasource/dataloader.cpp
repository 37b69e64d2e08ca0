#include "datasource/dataloader.h"

#include "datasource/httpget.h"
#include "datasource/webinterface.h"

#include <QMetaType>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <mutex>
#include <utility>

namespace {

// The record vectors travel through signals; register them by name so that
// queued connections and signal spies can copy them.
void registerRecordTypes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qRegisterMetaType<QVector<Stock> >("QVector<Stock>");
        qRegisterMetaType<QVector<Data> >("QVector<Data>");
        qRegisterMetaType<QVector<LHBUnit> >("QVector<LHBUnit>");
        qRegisterMetaType<QVector<QStringList> >();
        qRegisterMetaType<QVector<QMap<QString, QString> > >();
    });
}

// A reply still in flight when its loader goes away must not call back into
// the half-destroyed loader.
void dropReply(QNetworkReply* reply, QObject* loader)
{
    if (!reply)
        return;
    reply->disconnect(loader);
    reply->abort();
}

} // namespace

DataLoader::DataLoader(QObject* parent)
    : QObject(parent)
{
    registerRecordTypes();
    // A coarse timer may fire early; replies must stay `interval` apart.
    pause.setTimerType(Qt::PreciseTimer);
    pause.setSingleShot(true);
    connect(&pause, &QTimer::timeout, this, &DataLoader::startNextDownload);
}

void DataLoader::reportError(const QString& message, bool withTables)
{
    if (stockInterface)
        stockInterface->error(message);
    if (noticeInterface)
        noticeInterface->error(message);
    if (!withTables)
        return;
    if (stringListInterface)
        stringListInterface->error(message);
    if (stringMapInterface)
        stringMapInterface->error(message);
}

QNetworkReply* DataLoader::sendRequest(QNetworkAccessManager& manager, const QUrl& url)
{
    QNetworkReply* sent = manager.get(providerRequest(url));
    abortWhenStuckOrTooLarge(sent);
    connect(sent, &QNetworkReply::downloadProgress, this, &DataLoader::downloadProgress);
    connect(sent, &QNetworkReply::finished, this, &DataLoader::downloadFinished);
    connect(sent, &QNetworkReply::readyRead, this, &DataLoader::downloadReadyRead);
    return sent;
}

void DataLoader::finishReply(QNetworkReply*& current, bool withTables)
{
    QNetworkReply* finished = qobject_cast<QNetworkReply*>(sender());
    if (!finished)
        finished = current;
    if (!finished)
        return;
    QString failure = requestFailure(finished);
    QString body;
    if (failure.isEmpty()) {
        body = readReplyText(finished);
        if (const WebSource* reader = bodyReader(withTables))
            failure = answerFailure(*reader, body, QString());
    }
    if (failure.isEmpty()) {
        deliver(finished, body);
    } else {
        reportError(failure, withTables);
        emit sendFailure(finished->url().toString(), failure);
    }
    if (finished == current)
        current = nullptr;
    finished->deleteLater();
    pause.start(interval);
}

const WebSource* DataLoader::bodyReader(bool withTables) const
{
    if (stockInterface)
        return stockInterface;
    if (noticeInterface)
        return noticeInterface;
    if (!withTables)
        return nullptr;
    if (lhbInterface)
        return lhbInterface;
    if (stringListInterface)
        return stringListInterface;
    return stringMapInterface;
}

void DataLoader::deliverStockAndNotice(QString& body, const QString& noticeUrl)
{
    if (stockInterface)
        emit sendStock(stockInterface->parse(std::exchange(body, QString()), QString()));
    if (noticeInterface)
        emit sendData(noticeInterface->parse(std::exchange(body, QString()), QString()), noticeUrl);
}

IterateDataLoader::IterateDataLoader(QObject* parent)
    : DataLoader(parent)
{
}

IterateDataLoader::~IterateDataLoader()
{
    dropReply(reply, this);
}

void IterateDataLoader::setUrls(const QStringList& urls, const QStringList& codes)
{
    for (const QString& url : urls)
        urlQueue.append(QUrl(url));
    this->codes.append(codes);
}

void IterateDataLoader::start()
{
    // A run in flight picks the new URLs up by itself.
    if (isBusy(reply))
        return;
    startNextDownload();
}

void IterateDataLoader::startNextDownload()
{
    if (urlQueue.isEmpty()) {
        emit sendOK();
        return;
    }
    if (!codes.isEmpty())
        currentCode = codes.takeFirst();
    reply = sendRequest(manager, urlQueue.takeFirst());
}

void IterateDataLoader::downloadProgress(qint64, qint64) {}

void IterateDataLoader::downloadReadyRead() {}

void IterateDataLoader::downloadFinished()
{
    finishReply(reply, true);
}

void IterateDataLoader::deliver(QNetworkReply* finished, QString body)
{
    deliverStockAndNotice(body, finished->url().toString());
    if (lhbInterface)
        emit sendLHB(lhbInterface->parse(std::exchange(body, QString()), QString()), currentCode);
    if (stringListInterface)
        emit sendStringList(stringListInterface->parse(std::exchange(body, QString())));
    if (stringMapInterface)
        emit sendStringMap(stringMapInterface->parse(std::exchange(body, QString()), QString()));
}

LoopDataLoader::LoopDataLoader(QObject* parent)
    : DataLoader(parent)
{
}

LoopDataLoader::~LoopDataLoader()
{
    dropReply(reply, this);
}

void LoopDataLoader::setUrls(const QStringList& urls)
{
    for (const QString& url : urls)
        urlList.append(QUrl(url));
}

void LoopDataLoader::setUrls(const QStringList& urls, const QStringList&)
{
    setUrls(urls);
}

void LoopDataLoader::start()
{
    if (isBusy(reply))
        return;
    startNextDownload();
}

void LoopDataLoader::startNextDownload()
{
    if (urlList.isEmpty())
        return;
    const QUrl url = urlList.takeFirst();
    urlList.append(url);
    reply = sendRequest(manager, url);
}

void LoopDataLoader::downloadProgress(qint64, qint64) {}

void LoopDataLoader::downloadReadyRead() {}

void LoopDataLoader::downloadFinished()
{
    finishReply(reply, false);
}

void LoopDataLoader::deliver(QNetworkReply*, QString body)
{
    deliverStockAndNotice(body, QString());
}
