#pragma once

// Download queues: fetch a list of URLs one after the other on the GUI thread,
// hand each body to a borrowed web source and deliver the records through
// signals. One request is in flight at a time; the next one goes out
// `interval` milliseconds after a reply was handled. Each request carries the
// headers of its provider. A request without an answer for requestTimeout(),
// still running after requestTimeLimit() or with a body larger than
// downloadSizeLimit() (httpget.h), and a reply whose body did not come whole,
// count as failed.
//
// Typical use: set exactly one parser field (the loader never owns it), adjust
// `interval`, connect the signal, then per search setUrls(source->urls(args),
// codes) and start().

#include "core/records.h"
#include "core/stock.h"

#include <QList>
#include <QMap>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVector>

class LHBInterface;
class NoticeInterface;
class QNetworkReply;
class StockInterface;
class StringListInterface;
class StringMapInterface;
class WebSource;

class DataLoader : public QObject
{
    Q_OBJECT
public:
    explicit DataLoader(QObject* parent = nullptr);

    StockInterface* stockInterface = nullptr;
    NoticeInterface* noticeInterface = nullptr;
    LHBInterface* lhbInterface = nullptr;
    StringListInterface* stringListInterface = nullptr;
    StringMapInterface* stringMapInterface = nullptr;
    int interval = 1500;

    virtual void setUrls(const QStringList& urls, const QStringList& codes) = 0;
    virtual void start() = 0;

signals:
    void sendStock(const QVector<Stock>& stocks);
    // `url` is the request that produced the batch (one-argument form: empty).
    void sendData(const QVector<Data>& datas, const QString& url = QString());
    // `code` is the code queued with the request (one-argument form: empty).
    void sendLHB(const QVector<LHBUnit>& units, const QString& code = QString());
    void sendStringList(const QVector<QStringList>& rows);
    void sendStringMap(const QVector<QMap<QString, QString> >& rows);
    // The queue is exhausted.
    void sendOK();
    // A request of the queue brought no usable body; `message` says why
    // (requestFailure(), or unreadableAnswer() for a body without its
    // parser's form), for the page that shows it. The queue goes on.
    void sendFailure(const QString& url, const QString& message);

protected:
    // Tells the parsers that have an error operation about a failed request:
    // stock and notice, and the two table parsers when `withTables`.
    void reportError(const QString& message, bool withTables);

    // The steps both queues share; each queue keeps its own list and reply.
    // Only one reply or one pause at a time.
    bool isBusy(const QNetworkReply* current) const { return current || pause.isActive(); }
    // Sends a request with its provider's headers that is aborted when stuck or
    // too large and reports to the slots below.
    QNetworkReply* sendRequest(QNetworkAccessManager& manager, const QUrl& url);
    // The end of the reply that sent the signal (else `current`): a failure, or
    // a body without its parser's form (WebSource::hasForm), goes to
    // reportError() and sendFailure(), a readable body to deliver(); the next
    // request follows `interval` later.
    void finishReply(QNetworkReply*& current, bool withTables);
    // Hands `body` to the stock and notice parsers; `noticeUrl` goes with the
    // notices. Each parser takes the body from `body`: only the first one set
    // (users set exactly one) sees it.
    void deliverStockAndNotice(QString& body, const QString& noticeUrl);

    virtual void startNextDownload() = 0;
    virtual void downloadProgress(qint64 bytesReceived, qint64 bytesTotal) = 0;
    virtual void downloadFinished() = 0;
    virtual void downloadReadyRead() = 0;
    virtual void deliver(QNetworkReply* finished, QString body) = 0;
    // The parser that receives the bodies (the first one set), which judges
    // their form; null when none is set.
    const WebSource* bodyReader(bool withTables) const;

    QTimer pause;
};

// Fetches its queue once, then emits sendOK().
class IterateDataLoader final : public DataLoader
{
    Q_OBJECT
public:
    explicit IterateDataLoader(QObject* parent = nullptr);
    ~IterateDataLoader() override;

    // Appends to what is queued; starts nothing.
    void setUrls(const QStringList& urls, const QStringList& codes) override;
    // Starts the queue; while a request is in flight it only lets the running
    // queue go on (the new URLs are already queued behind it).
    void start() override;

    QNetworkAccessManager manager;
    QList<QUrl> urlQueue;
    QStringList codes;
    QNetworkReply* reply = nullptr;
    QString currentCode;

public slots:
    void startNextDownload() override;
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal) override;
    void downloadFinished() override;
    void downloadReadyRead() override;

private:
    void deliver(QNetworkReply* finished, QString body) override;
};

// Cycles through its list for ever, serving the stock and notice parsers; it
// never emits sendOK().
class LoopDataLoader final : public DataLoader
{
    Q_OBJECT
public:
    explicit LoopDataLoader(QObject* parent = nullptr);
    ~LoopDataLoader() override;

    void setUrls(const QStringList& urls);
    // Same as setUrls(urls): the codes have no use in a loop.
    void setUrls(const QStringList& urls, const QStringList& codes) override;
    void start() override;

    QNetworkAccessManager manager;
    QList<QUrl> urlList;
    QNetworkReply* reply = nullptr;

public slots:
    void startNextDownload() override;
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal) override;
    void downloadFinished() override;
    void downloadReadyRead() override;

private:
    void deliver(QNetworkReply* finished, QString body) override;
};
