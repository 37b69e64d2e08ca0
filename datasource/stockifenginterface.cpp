#include "datasource/stockifenginterface.h"

#include "datasource/historystore.h"
#include "datasource/poolaccess.h"
#include "datasource/providerhosts.h"
#include "datasource/stockqqhistoryinterface.h"

namespace {

// The bars of an iFeng body; `whole` tells whether its array of bar arrays
// both opens and closes ("[[" ... "]]") and every price and volume of its
// bars is a number.
QVector<Stock> readBars(const QString& body, const QString& code, const QMap<QString, Stock>& pool,
                        bool& whole)
{
    whole = false;
    QString span = body;
    span.remove('"');
    const int open = span.indexOf("[[");
    // Without the array of bar arrays the body is no history.
    if (open < 0)
        return QVector<Stock>();
    span = span.mid(open + 1);
    // Unlike the QQ body, the bars run to the last "]]".
    const int close = span.lastIndexOf("]]");
    const bool closed = close >= 0;
    if (closed)
        span.truncate(close);
    bool numeric = true;
    const auto number = [&numeric](const QString& item) {
        bool ok = false;
        const float value = item.toFloat(&ok);
        numeric = numeric && ok && qIsFinite(value);
        return value;
    };

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
        bar.open = number(items.at(1));
        bar.high = number(items.at(2));
        bar.close = number(items.at(3));
        bar.low = number(items.at(4));
        bar.volume = number(items.at(5));
        bar.change = items.at(6).toFloat();
        bar.changePercent = items.at(7).toFloat();
        bar.turnover = record.totals >= 1 ? bar.volume * 100 / record.totals : 0;
        bars.append(bar);
    }
    whole = closed && numeric;
    return bars;
}

} // namespace

QVector<Stock> parseIFengHistory(const QString& body, const QString& code, const QMap<QString, Stock>& pool)
{
    bool whole = false;
    return readBars(body, code, pool, whole);
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
    bool whole = false;
    QVector<Stock> bars = readBars(body, code, applicationStockPool(), whole);
    return storeHistoryBody(std::move(bars), whole, body, cacheDir, code);
}

bool StockiFengInterface::hasForm(const QString& body) const
{
    const int open = body.indexOf(QLatin1String("[["));
    return open >= 0 && body.lastIndexOf(QLatin1String("]]")) > open;
}

void StockiFengInterface::setParameter(int key, const QString& value)
{
    if (key == CacheDirParameter)
        cacheDir = value;
}
