#include "datasource/stockqqhistoryinterface.h"

#include "datasource/httpget.h"
#include "datasource/klinebars.h"
#include "datasource/providerhosts.h"

namespace {

const QStringList kAdjustments { "bfq", "qfq", "hfq" };
const QStringList kPeriods { "day", "week", "month" };

} // namespace

QVector<Stock> parseQQHistory(const QString& body, const QString& code)
{
    return readKLineBars(body, code);
}

QStringList StockQQHistoryInterface::urls(const QStringList& codes)
{
    const QString pattern = QStringLiteral("/appstock/app/fqkline/get?p=1&param=%1,%2,,,480,%3&_appName=android");
    QStringList list;
    for (const QString& code : codes) {
        list.append(providerUrl(Provider::QQKLine, pattern.arg(marketCode(code), period, adjust))
                    + "&__random_suffix=" + QString::number(randomSuffix()));
    }
    return list;
}

QVector<Stock> StockQQHistoryInterface::parse(const QString& body, const QString& code)
{
    KLineReading reading;
    QVector<Stock> bars = readKLineBars(body, code, &reading);
    // The service names the stock an answer is for as the request named it:
    // an answer for another stock, which a cache or a proxy may hand out,
    // is no history of this one.
    const bool whole = reading.closed && reading.numeric
                       && (cacheDir.isEmpty() || qqDataKey(body, reading.barsAt) == marketCode(code));
    return storeHistoryBody(std::move(bars), whole, body, cacheDir, code);
}

void StockQQHistoryInterface::setParameter(int key, const QString& value)
{
    if (key == 0)
        cacheDir = value;
    else if (key == 1 && kAdjustments.contains(value))
        adjust = value;
    else if (key == 2 && kPeriods.contains(value))
        period = value;
}

QVector<Stock> loadQQHistory(const QString& code, const QString& period, const QString& adjust,
                             const QString& cacheDir, QString* failure)
{
    StockQQHistoryInterface source;
    source.setParameter(0, cacheDir);
    source.setParameter(1, adjust);
    source.setParameter(2, period);
    const QStringList urls = source.urls(QStringList { code });
    if (urls.isEmpty())
        return QVector<Stock>();
    return source.parse(httpGet(urls.first(), nullptr, failure), code);
}
