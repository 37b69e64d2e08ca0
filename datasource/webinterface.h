#pragma once

// The five families of web sources, the words a page gives for a body they
// cannot read, and the text helpers every parser shares. A source builds the
// request URLs for its arguments and turns one response body into records;
// it holds no network objects, so the caller fetches (httpGet or a download
// queue) and hands each body back to parse. The virtual operations are
// declared in the order the families share (destructor, error, urls, parse,
// setParameter); LHB sources have no error operation because a failed LHB
// request is never reported. Every family can tell whether a body has its
// provider's form at all. Nothing here touches the network or a file (error
// only logs), and nothing keeps state: any thread may call it.

#include "core/records.h"
#include "core/stock.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// What every family shares: whether a body has its provider's form at all
// (the script variable, JSON block, array or table that parse looks for). A
// body without it, an error page served as a success or a page cut off in
// the middle, held nothing the source could read, and the page that asked
// says so; a body with the form and no records is a real empty answer. The
// base takes every body that is not blank.
class WebSource
{
public:
    virtual ~WebSource();
    virtual bool hasForm(const QString& body) const;
};

class StockInterface : public WebSource
{
public:
    ~StockInterface() override;
    // Logs the message of a failed request; the source is left unchanged.
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    // `extra` is the stock code or a cache path of per-stock sources; the
    // download queues pass it empty.
    virtual QVector<Stock> parse(const QString& body, const QString& extra) = 0;
    // Sets a source option by key; the base ignores every key. The history
    // sources' keys: HistoryParameter (stockqqhistoryinterface.h).
    virtual void setParameter(int key, const QString& value);
};

class StringMapInterface : public WebSource
{
public:
    ~StringMapInterface() override;
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<QMap<QString, QString> > parse(const QString& body, const QString& extra) = 0;
};

class LHBInterface : public WebSource
{
public:
    ~LHBInterface() override;
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<LHBUnit> parse(const QString& body, const QString& extra) = 0;
};

class NoticeInterface : public WebSource
{
public:
    ~NoticeInterface() override;
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<Data> parse(const QString& body, const QString& extra) = 0;
};

class StringListInterface : public WebSource
{
public:
    ~StringListInterface() override;
    virtual void error(const QString& message);
    virtual QStringList urls(const QStringList& args) = 0;
    virtual QVector<QStringList> parse(const QString& body) = 0;
};

// The reason a page shows for a body that came whole but lacks its source's
// form: "应答中没有可识别的数据".
QString unreadableAnswer();

// Why a fetched body gives its page nothing: `failure`, the request's own
// reason (httpGet, DataLoader::sendFailure), when there is one, else
// unreadableAnswer() when the body lacks its form; empty for a readable body.
// Sources without a WebSource (free parsers, records that know whether they
// read) hand over `hasForm` themselves.
QString answerFailure(const QString& failure, bool hasForm);
QString answerFailure(const WebSource& source, const QString& body, const QString& failure);

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
