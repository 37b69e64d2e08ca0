#include "datasource/stockqqhistoryinterface.h"

#include "datasource/httpget.h"
#include "datasource/klinebars.h"
#include "datasource/providerhosts.h"
#include "datasource/storedhistory.h"

namespace {

const QStringList kAdjustments { "bfq", "qfq", "hfq" };
const QStringList kPeriods { "day", "week", "month" };

} // namespace

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
    if (key == CacheDirParameter)
        cacheDir = value;
    else if (key == AdjustParameter && kAdjustments.contains(value))
        adjust = value;
    else if (key == PeriodParameter && kPeriods.contains(value))
        period = value;
}

QVector<Stock> fetchQQHistory(const StockQQHistoryInterface& source, const QString& code, const QObject* owner,
                              QString* failure)
{
    // A copy: the request runs a local event loop, in which the page that
    // owns `source` may go.
    StockQQHistoryInterface reader = source;
    const QStringList urls = reader.urls(QStringList { code });
    if (urls.isEmpty())
        return QVector<Stock>();
    return reader.parse(httpGet(urls.first(), owner, failure), code);
}

QVector<Stock> loadQQHistory(const QString& code, const QString& period, const QString& adjust,
                             const QString& cacheDir, QString* failure)
{
    StockQQHistoryInterface source;
    source.setParameter(CacheDirParameter, cacheDir);
    source.setParameter(AdjustParameter, adjust);
    source.setParameter(PeriodParameter, period);
    return fetchQQHistory(source, code, nullptr, failure);
}
