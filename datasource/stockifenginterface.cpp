#include "datasource/stockifenginterface.h"

#include "datasource/poolaccess.h"
#include "datasource/providerhosts.h"

namespace {

// The bars of an iFeng body; `closed` tells whether its array of bar arrays
// both opens and closes ("[[" ... "]]").
QVector<Stock> readBars(const QString& body, const QString& code, const QMap<QString, Stock>& pool,
                        bool& closed)
{
    closed = false;
    QString span = body;
    span.remove('"');
    const int open = span.indexOf("[[");
    // Without the array of bar arrays the body is no history.
    if (open < 0)
        return QVector<Stock>();
    span = span.mid(open + 1);
    // Unlike the QQ body, the bars run to the last "]]".
    const int close = span.lastIndexOf("]]");
    closed = close >= 0;
    if (closed)
        span.truncate(close);

    const Stock record = pool.value(code);
    QVector<Stock> bars;
    for (const QString& piece : span.split("],[", Qt::KeepEmptyParts)) {
        const QStringList items = piece.split(',', Qt::KeepEmptyParts);
        if (items.size() != 17)
            continue;
        Stock bar;
        bar.code = code;
        bar.name = record.name;
        bar.industry = record.industry;
        bar.area = record.area;
        bar.date = items.at(0).startsWith('[') ? items.at(0).mid(1) : items.at(0);
        bar.open = items.at(1).toFloat();
        bar.high = items.at(2).toFloat();
        bar.close = items.at(3).toFloat();
        bar.low = items.at(4).toFloat();
        bar.volume = items.at(5).toFloat();
        bar.change = items.at(6).toFloat();
        bar.changePercent = items.at(7).toFloat();
        bar.turnover = record.totals >= 1 ? bar.volume * 100 / record.totals : 0;
        bars.append(bar);
    }
    return bars;
}

} // namespace

QVector<Stock> parseIFengHistory(const QString& body, const QString& code, const QMap<QString, Stock>& pool)
{
    bool closed = false;
    return readBars(body, code, pool, closed);
}

QStringList StockiFengInterface::urls(const QStringList& codes)
{
    QStringList list;
    for (const QString& code : codes)
        list.append(providerUrl(Provider::IFeng, QStringLiteral("/akdaily/?code=%1&type=last").arg(marketCode(code))));
    return list;
}

QVector<Stock> StockiFengInterface::parse(const QString& body, const QString& code)
{
    bool closed = false;
    QVector<Stock> bars = readBars(body, code, applicationStockPool(), closed);
    return storeHistoryBody(std::move(bars), closed, body, cacheDir, code);
}

bool StockiFengInterface::hasForm(const QString& body) const
{
    const int open = body.indexOf(QLatin1String("[["));
    return open >= 0 && body.lastIndexOf(QLatin1String("]]")) > open;
}

void StockiFengInterface::setParameter(int key, const QString& value)
{
    if (key == 0)
        cacheDir = value;
}
