#pragma once

// The five families of web sources. A source builds the request URLs for its
// arguments and turns one response body into records; it holds no network
// objects, so the caller fetches (httpGet or a download queue) and hands each
// body back to parse. The virtual operations are declared in the order the
// families share (destructor, error, urls, parse, setParameter); LHB sources
// have no error operation because a failed LHB request is never reported.

#include "core/records.h"
#include "core/stock.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class StockInterface
{
public:
    virtual ~StockInterface();
    // Logs the message of a failed request; the source is left unchanged.
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    // `extra` is the stock code or a cache path of per-stock sources; the
    // download queues pass it empty.
    virtual QVector<Stock> parse(const QString& body, const QString& extra) = 0;
    // Sets a source option by key; the base ignores every key.
    virtual void setParameter(int key, const QString& value);
};

class StringMapInterface
{
public:
    virtual ~StringMapInterface();
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<QMap<QString, QString> > parse(const QString& body, const QString& extra) = 0;
};

class LHBInterface
{
public:
    virtual ~LHBInterface();
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<LHBUnit> parse(const QString& body, const QString& extra) = 0;
};

class NoticeInterface
{
public:
    virtual ~NoticeInterface();
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<Data> parse(const QString& body, const QString& extra) = 0;
};

class StringListInterface
{
public:
    virtual ~StringListInterface();
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<QStringList> parse(const QString& body) = 0;
};

// What the history sources' parse hands on, storing the body on the way.
// Reading a stored file (`cacheDir` empty) gives `bars` as they are. A body
// to be stored as `cacheDir` + `code` must be a whole answer for that stock
// (`whole`): its provider's array of bar arrays closed (a body cut off inside
// it, which the network layer does not always report), numbers where the
// bars hold numbers, and, where the provider names the stock, the requested
// one. Any other body gives no bars. The body is written whole, and only when
// it gave bars and `code` is fit for a path, so that a failed, cut or wrong
// download leaves the stored history byte for byte as it was.
QVector<Stock> storeHistoryBody(QVector<Stock> bars, bool whole, const QString& body, const QString& cacheDir,
                                const QString& code);

// The stock a QQ finance answer is for: the key under "data" whose object
// holds position `at` of the body ({"code":0,"data":{"sh600000":{"qfqday":
// [[...). Empty when `at` lies in no such object.
QString qqDataKey(const QString& body, int at);

// The request form of a code: "sh" + code for codes starting with "6", "sz" +
// code for every other code (other markets included).
QString marketCode(const QString& code);

// Every whole match of `pattern` (case-insensitive, minimal), in order; after a
// match the search goes on behind it. Empty when there is none.
QStringList matchAll(const QString& text, const QString& pattern);

// The first whole match of `pattern` (case-insensitive, minimal), or "".
QString matchFirst(const QString& text, const QString& pattern);

// The notice page's JSON block, "defjson:" to "charset" inclusive, or "".
QString captureNoticeJson(const QString& body);

// The resumed-trading page's JSON block: the text after "defjson:" up to
// "maketr:", from behind its first double quote on; "" when there is none.
QString captureRecoveryJson(const QString& body);
