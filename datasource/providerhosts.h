#pragma once

// Where each outside web service lives. Sources build their request URLs as
// providerUrl(provider, path-and-query), so the scheme, host and port of every
// provider sit in this one table. The environment variable VOREL_HOST_OVERRIDE
// (for example "http://127.0.0.1:18080") sends every provider to that one base
// URL, keeping each request's path and query: tests point the program at a
// loopback server with it.

#include <QString>

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

// The provider's base URL without a trailing "/", e.g. "http://qt.gtimg.cn";
// the override when VOREL_HOST_OVERRIDE is set and not empty.
QString providerBase(Provider provider);

// providerBase(provider) followed by `pathAndQuery`, which starts with "/".
QString providerUrl(Provider provider, const QString& pathAndQuery);

// The cache-busting value of the requests that carry one: the C generator's
// next value reduced to 0..32767 (the generator is seeded at start-up).
int randomSuffix();
