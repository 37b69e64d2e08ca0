#pragma once

// K-line bodies in the form the QQ finance service returns them.

#include "core/stock.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>

namespace klinefixtures {

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
