#pragma once

// Quote lines in the form the quote service writes them, the symbols a quote
// request asks for, and the service's gate as it has stood since 2022: a
// request that does not come from its finance site, by its Referer, gets
// HTTP 403 with the body "Kinsoku jikou desu!"; one that does gets its quotes.

#include "tests/support/testhttpserver.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quotefixtures {

// One quote, field by field in the order the service writes them.
struct SinaQuote
{
    QString name;
    QString open, preClose, price, high, low;
    QString bid = "0", ask = "0";   // the best prices again (fields 6 and 7)
    QString volume = "0";           // shares
    QString amount = "0";           // yuan
    // Fields 10 to 29: five bid (volume, price) pairs, then five ask pairs,
    // volumes in shares.
    QStringList book;
    QString date, time;
    // A 34th field where not null, as Shanghai lines carry since about 2020
    // (empty or a "D|..." text).
    QString extra;

    // The same volume and price at each of the five levels of a side.
    SinaQuote& evenBook(qint64 bidVolume, const QString& bidPrice, qint64 askVolume, const QString& askPrice)
    {
        book.clear();
        for (int i = 0; i < 5; ++i)
            book << QString::number(bidVolume) << bidPrice;
        for (int i = 0; i < 5; ++i)
            book << QString::number(askVolume) << askPrice;
        return *this;
    }

    QStringList fields() const
    {
        QStringList f { name, open, preClose, price, high, low, bid, ask, volume, amount };
        f << book << date << time << "00";
        if (!extra.isNull())
            f << extra;
        return f;
    }
};

// `fields` as the line of the stock of `symbol` ("sh600000").
inline QString quoteLine(const QString& symbol, const QStringList& fields)
{
    return QString("var hq_str_%1=\"%2\";\n").arg(symbol, fields.join(','));
}

inline QString quoteLine(const QString& symbol, const SinaQuote& quote)
{
    return quoteLine(symbol, quote.fields());
}

// The symbols a quote request (a target or a URL) asks for, in its order.
inline QStringList requestedSymbols(const QString& target)
{
    return target.mid(target.indexOf("/list=") + 6).split(',');
}

// A quote service that answers each symbol of a request with the line
// `lineFor` gives its code, the symbols' order kept. A request that names a
// code in the other market, or no code, gets 404: the real service answers
// such a symbol with an empty line or another security's quote, which a
// test would not tell from a stock that did not pass.
inline TestHttpServer::Handler answeringEachSymbol(const std::function<QString(const QString& code)>& lineFor)
{
    return [lineFor](const TestHttpServer::Request& request) {
        if (!request.path.startsWith("/list="))
            return TestHttpServer::Reply::status404();
        QString body;
        for (const QString& symbol : requestedSymbols(request.target)) {
            const QString code = symbol.mid(2);
            if (code.size() != 6 || providerSymbol(code) != symbol)
                return TestHttpServer::Reply::status404();
            body += lineFor(code);
        }
        return TestHttpServer::Reply::gbk(body, "application/javascript", false);
    };
}

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
