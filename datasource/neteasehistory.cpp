#include "datasource/neteasehistory.h"

#include "core/clock.h"
#include "datasource/poolaccess.h"
#include "datasource/providerhosts.h"

namespace {

// The service returns about three years of days for one request.
const int kHistoryDays = 1080;

QDate recordDate(const QString& text)
{
    const QDate dashed = QDate::fromString(text, "yyyy-MM-dd");
    return dashed.isValid() ? dashed : QDate::fromString(text, "yyyyMMdd");
}

} // namespace

QStringList neteaseHistoryUrls(const QStringList& codes)
{
    return neteaseHistoryUrls(codes, applicationStockPool(), chinaNow().date());
}

QStringList neteaseHistoryUrls(const QStringList& codes, const QMap<QString, Stock>& pool, const QDate& today)
{
    const QDate start = today.addDays(-kHistoryDays);
    QStringList urls;
    for (const QString& code : codes) {
        if (!pool.contains(code) || recordDate(pool.value(code).date) == start)
            continue;
        const QString requestCode = (code.startsWith('6') ? "0" : "1") + code;
        urls.append(providerUrl(Provider::Netease, QStringLiteral("/service/chddata.html?code=%1&start=%2")
                                                       .arg(requestCode, start.toString("yyyyMMdd"))));
    }
    return urls;
}

QVector<Stock> parseNeteaseHistory(const QString& body, const QString& code)
{
    return parseNeteaseHistory(body, code, applicationStockPool());
}

QVector<Stock> parseNeteaseHistory(const QString& body, const QString& code, const QMap<QString, Stock>& pool)
{
    QVector<Stock> bars;
    // Short bodies are the service's error pages, not histories.
    const QStringList lines = body.split('\n', Qt::KeepEmptyParts);
    if (lines.size() < 27)
        return bars;
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList items = lines.at(i).split(',', Qt::KeepEmptyParts);
        if (items.size() != 16)
            continue;
        Stock bar;
        bar.date = items.at(0);
        bar.code = items.at(1).mid(1);   // the service puts a quote before the code
        bar.name = items.at(2);
        const Stock record = pool.value(code);
        bar.industry = record.industry;
        bar.area = record.area;
        bar.close = items.at(3).toFloat();
        bar.high = items.at(4).toFloat();
        bar.low = items.at(5).toFloat();
        bar.open = items.at(6).toFloat();
        bar.change = items.at(8).toFloat();
        bar.changePercent = items.at(9).toFloat();
        bar.turnover = items.at(10).toFloat();
        bar.amount = items.at(11).toFloat();
        bar.volume = items.at(12).toFloat();
        bar.outstanding = truncatedCount(items.at(13).toDouble());
        bar.totals = truncatedCount(items.at(14).toDouble());
        bars.append(bar);
    }
    return bars;
}
