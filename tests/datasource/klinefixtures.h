#pragma once

// K-line bodies in the form the QQ finance service returns them.

#include "core/stock.h"
#include "tests/support/testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QUrlQuery>
#include <QVector>

#include <functional>

namespace klinefixtures {

// The request for the K-line history of the stock the service knows as
// `symbol` ("sh600000"), its random item left out; by default the request
// of the histories kept in data/: days, forward adjusted.
inline QString historyTarget(const QString& symbol, const QString& period = "day", const QString& adjust = "qfq")
{
    return QString("/appstock/app/fqkline/get?p=1&param=%1,%2,,,480,%3&_appName=android").arg(symbol, period, adjust);
}

// The request for the intraday minutes of `symbol`, its random item left out.
inline QString minutesTarget(const QString& symbol)
{
    return QString("/appstock/app/minute/query?code=%1&_appName=android&_net=WIFI").arg(symbol);
}

// The answer a test's K-line service gives for the stock of `code`.
using HistoryAnswer = std::function<TestHttpServer::Reply(const QString& code)>;

// A K-line service that answers only the requests of the histories kept in
// data/ (days, forward adjusted, the stock named in its own market), each
// with what `answer` gives the code it names; any other request gets 404.
inline TestHttpServer::Handler storedHistoryService(const HistoryAnswer& answer)
{
    return [answer](const TestHttpServer::Request& request) {
        const QString code = QUrlQuery(request.query).queryItemValue("param").section(',', 0, 0).mid(2);
        if (request.fixedTarget != historyTarget(providerSymbol(code)))
            return TestHttpServer::Reply::status404();
        return answer(code);
    };
}

// One bar array as the service writes it: quoted date and numbers.
inline QString bar(const QString& date, double open, double close, double high, double low, double volume)
{
    return QString("[\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"]")
        .arg(date)
        .arg(open, 0, 'f', 3)
        .arg(close, 0, 'f', 3)
        .arg(high, 0, 'f', 3)
        .arg(low, 0, 'f', 3)
        .arg(volume, 0, 'f', 2);
}

// A bar array with the numbers in their shortest form, as stored histories
// written by hand carry them.
inline QString plainBar(const QString& date, double open, double close, double high, double low, double volume)
{
    return QString("[\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"]")
        .arg(date)
        .arg(open)
        .arg(close)
        .arg(high)
        .arg(low)
        .arg(volume);
}

// The bar arrays of `bars` in that form, each under the bar's date.
inline QStringList plainBars(const QVector<Stock>& bars)
{
    QStringList arrays;
    for (const Stock& b : bars)
        arrays << plainBar(b.date, b.open, b.close, b.high, b.low, b.volume);
    return arrays;
}

// The smallest response the K-line parser takes: bar arrays of "sh<code>".
inline QString storedHistory(const QString& code, const QStringList& arrays)
{
    return QString("{\"code\":0,\"data\":{\"sh%1\":{\"qfqday\":[%2]}}}").arg(code, arrays.join(','));
}

// Stores the bar arrays as the history of `code` in "data/" of the working
// folder; false when the file cannot be written.
inline bool writeStoredHistory(const QString& code, const QStringList& arrays)
{
    QDir().mkpath("data");
    QFile file("data/" + code);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray body = storedHistory(code, arrays).toUtf8();
    return file.write(body) == body.size();
}

// A whole response: `bars` daily bars from 2017-01-01 on, 28 a month, their
// dates rising as the service's do, a quote block and an index block after
// the bars (whose "]]" the parser must not read past).
inline QString body(const QString& requestCode, int bars, const QString& key = "qfqday")
{
    QStringList arrays;
    double close = 10.0;
    for (int i = 0; i < bars; ++i) {
        const double open = close;
        close = open * (1.0 + ((i * 37) % 11 - 5) / 500.0);
        const QString date = QString("%1-%2-%3")
                                 .arg(2017 + i / (28 * 12))
                                 .arg(1 + (i / 28) % 12, 2, 10, QChar('0'))
                                 .arg(1 + i % 28, 2, 10, QChar('0'));
        QString array = bar(date, open, close, qMax(open, close) * 1.01, qMin(open, close) * 0.99, 10000.0 + i * 17);
        if (i % 97 == 50)   // dividend days carry a seventh, object item
            array.insert(array.size() - 1, ",{\"nd\":\"2016\",\"fh_sh\":\"1.5\",\"djr\":\"2017-06-01\"}");
        arrays.append(array);
    }
    return QString("{\"code\":0,\"msg\":\"\",\"data\":{\"%1\":{\"%2\":[%3],"
                   "\"qt\":{\"%1\":[\"1\",\"name\",\"600000\"]},\"mx_price\":{\"mx\":[],\"price\":[]},"
                   "\"prec\":\"10.00\",\"version\":\"4\"}}}\n")
        .arg(requestCode, key, arrays.join(','));
}

} // namespace klinefixtures
