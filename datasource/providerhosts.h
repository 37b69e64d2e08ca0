#pragma once

// Where each outside web service lives and what its requests must carry.
// Sources build their request URLs as providerUrl(provider, path-and-query),
// so the scheme, host and port of every provider sit in this one table. The
// environment variable VOREL_HOST_OVERRIDE (for example
// "http://127.0.0.1:18080") sends every provider to that one base URL, keeping
// each request's path and query: tests point the program at a loopback server
// with it.
//
// Request headers belong to the provider, not to its host, so that they hold
// under the override too. A request finds its provider from its URL: the
// provider's base followed by one of the paths that provider's requests use.
// Under the override every provider has the same base, so only the paths tell
// them apart; that is why each provider keeps its own, distinct paths here,
// and why a source that asks a new path of a provider adds it to the table.

#include <QByteArray>
#include <QString>
#include <QVector>

class QUrl;

enum class Provider {
    SinaFinance,      // market centre lists, dragon-tiger list, earnings tables
    SinaQuote,        // real-time quotes
    QQQuote,          // real-time quotes, second provider
    QQKLine,          // daily and minute K-lines, news search, company profiles
    QQStock,          // dragon-tiger seat scripts
    QQStockApp,       // stock-doctor pages
    EastmoneyData,    // notices, dragon-tiger seats, resumed trading
    EastmoneyQuote,   // A/H comparison
    IFeng,            // daily K-lines, second provider
    Netease,          // daily history CSV
    Hexun,            // hot stocks by attention
    StockList         // the all-stocks CSV
};

struct RequestHeader
{
    QByteArray name;
    QByteArray value;
};

// The provider's base URL without a trailing "/", e.g. "http://qt.gtimg.cn";
// the override when VOREL_HOST_OVERRIDE is set and not empty.
QString providerBase(Provider provider);

// providerBase(provider) followed by `pathAndQuery`, which starts with "/".
QString providerUrl(Provider provider, const QString& pathAndQuery);

// The headers that every request of `provider` carries: the quote service
// refuses a request without its finance site's Referer (HTTP 403).
QVector<RequestHeader> providerHeaders(Provider provider);

// The provider of a request URL built by providerUrl(); false for any other URL.
bool findProvider(const QUrl& url, Provider* provider);

// The headers of the provider that `url` belongs to; none for any other URL.
QVector<RequestHeader> requestHeaders(const QUrl& url);

// The cache-busting value of the requests that carry one: the C generator's
// next value reduced to 0..32767 (the generator is seeded at start-up).
int randomSuffix();
