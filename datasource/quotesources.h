#pragma once

// Current quotes as Stock records: the paged market list of all A-shares
// (end-of-day picking) and the quote service for given codes, whose parser is
// also the call-auction filter (call-auction and end-of-day picking). A pair of
// free functions serves a second quote service in its simple-quote form.

#include "datasource/webinterface.h"

#include <QMap>

// The market list, 80 quotes a page; every item of a page becomes a record.
class SinaRealtimeInterface final : public StockInterface
{
public:
    // One URL per page number (each argument read as a number).
    QStringList urls(const QStringList& pages) override;
    QVector<Stock> parse(const QString& body, const QString& extra) override;
    // A JSON array, or the "null" of a page past the end of the market.
    bool hasForm(const QString& body) const override;
};

// Quotes of given codes, 8 codes a request. parse keeps only the quotes that
// pass the call-auction filter, judged against the application's stock pool
// and [stockBid] settings.
class SinaInterface final : public StockInterface
{
public:
    QStringList urls(const QStringList& codes) override;
    QVector<Stock> parse(const QString& body, const QString& extra) override;
    // Quote variables ("var hq_str_"), the last one closed ("\";"): a body
    // cut inside a quote is not whole. Whatever the filter then keeps.
    bool hasForm(const QString& body) const override;
};

// The thresholds of the call-auction filter (the [stockBid] settings).
struct BidFilter
{
    float minPercent = -8.0f;
    float maxPercent = 3.6f;
    float ratio = 0.093f;
};

// One quote line ('var hq_str_sh600000="name,open,...";') judged against
// `pool` and `filter`. The record's `valid` is set only when the line is
// complete and passes the filter; then bidScore is 60, buySellRatio the
// order-book ratio and value1 the bid strength. Pure, any thread.
Stock parseSinaQuoteLine(const QString& line, const QMap<QString, Stock>& pool, const BidFilter& filter);

// Every quote of `body` that passes, in body order. Pure, any thread.
QVector<Stock> parseSinaQuotes(const QString& body, const QMap<QString, Stock>& pool, const BidFilter& filter);

// Cuts `codes` into batches of `size`: whole batches in order, then the
// remainder taken from the end of the list backwards (last code first).
QList<QStringList> quoteBatches(const QStringList& codes, int size);

// Simple-quote requests of the second service, 64 codes a request.
QStringList tencentQuoteUrls(const QStringList& codes);
// The request's cache-busting text for a fraction in [0, 1): six significant
// digits, padded with "____", cut to 7 characters ("0.5____", "0.12345").
QString tencentRandomText(float fraction);
// Every simple-quote line with 10 fields, completed from the application's pool.
QVector<Stock> parseTencentQuotes(const QString& body);
QVector<Stock> parseTencentQuotes(const QString& body, const QMap<QString, Stock>& pool);
