#pragma once

// The quote service's gate as it has stood since 2022: a request that does not
// come from its finance site, by its Referer, gets HTTP 403 with the body
// "Kinsoku jikou desu!"; one that does gets its quotes.

#include "tests/support/testhttpserver.h"

namespace quotefixtures {

const QByteArray kReferer = "https://finance.sina.com.cn/";

inline TestHttpServer::Handler refusingWithoutReferer(const TestHttpServer::Handler& served)
{
    return [served](const TestHttpServer::Request& request) {
        if (request.header("Referer") == kReferer)
            return served(request);
        TestHttpServer::Reply refused = TestHttpServer::Reply::text("Kinsoku jikou desu!");
        refused.status = 403;
        return refused;
    };
}

inline TestHttpServer::Handler refusingWithoutReferer(const TestHttpServer::Reply& served)
{
    return refusingWithoutReferer([served](const TestHttpServer::Request&) { return served; });
}

// The quote requests among `requests`, and whether each carried the Referer.
inline int quoteRequestsWithoutReferer(const QList<TestHttpServer::Request>& requests, int* quoteRequests = nullptr)
{
    int quotes = 0;
    int without = 0;
    for (const TestHttpServer::Request& request : requests) {
        if (!request.path.startsWith("/list="))
            continue;
        ++quotes;
        if (request.header("Referer") != kReferer)
            ++without;
    }
    if (quoteRequests)
        *quoteRequests = quotes;
    return without;
}

} // namespace quotefixtures
