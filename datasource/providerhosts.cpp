#include "datasource/providerhosts.h"

#include <QStringList>
#include <QUrl>

#include <cstdlib>

namespace {

// The root page "/" stands for itself only: under the override every URL
// starts with it.
const QString kRootPath = QStringLiteral("/");

struct ProviderEntry
{
    Provider provider;
    const char* base;
    QStringList paths;   // what the provider's request URLs continue with after the base
    QVector<RequestHeader> headers;
};

const QVector<ProviderEntry>& providerTable()
{
    static const QVector<ProviderEntry> table {
        { Provider::SinaFinance, "http://vip.stock.finance.sina.com.cn", { "/quotes_service/", "/q/go.php/" }, {} },
        // Since 2022 the quote service answers 403 "Kinsoku jikou desu!" to
        // any request that does not come from its finance site.
        { Provider::SinaQuote, "http://hq.sinajs.cn", { "/list=" }, { { "Referer", "https://finance.sina.com.cn/" } } },
        { Provider::QQQuote, "http://qt.gtimg.cn", { "/r=" }, {} },
        { Provider::QQKLine, "http://web.ifzq.gtimg.cn", { "/appstock/", "/stock/corp/" }, {} },
        { Provider::QQStock, "http://stock.gtimg.cn", { "/cgi-bin/" }, {} },
        { Provider::QQStockApp, "http://stockapp.finance.qq.com", { "/doctor/" }, {} },
        { Provider::EastmoneyData, "http://data.eastmoney.com",
          { "/notices/", "/tfpxx/", "/stock/lhb,", "/DataCenter_V3/" }, {} },
        { Provider::EastmoneyQuote, "http://nufm.dfcfw.com", { "/EM_Finance2014NumericApplication/" }, {} },
        { Provider::IFeng, "http://api.finance.ifeng.com", { "/akdaily/" }, {} },
        { Provider::Netease, "http://quotes.money.163.com", { "/service/chddata.html" }, {} },
        { Provider::Hexun, "http://focus.stock.hexun.com", { kRootPath, "/service/stock_sort_xml.jsp" }, {} },
        { Provider::StockList, "http://file.tushare.org", { "/static/" }, {} },
    };
    return table;
}

const ProviderEntry* entryOf(Provider provider)
{
    for (const ProviderEntry& entry : providerTable()) {
        if (entry.provider == provider)
            return &entry;
    }
    return nullptr;
}

// The override as VOREL_HOST_OVERRIDE gives it, without a trailing "/"; empty
// when it is not set.
QString overrideBase()
{
    QString override = QString::fromUtf8(qgetenv("VOREL_HOST_OVERRIDE")).trimmed();
    while (override.endsWith('/'))
        override.chop(1);
    return override;
}

bool continuesWith(const QStringRef& rest, const QString& path)
{
    if (path == kRootPath)
        return rest == kRootPath;
    return rest.startsWith(path);
}

} // namespace

QString providerBase(Provider provider)
{
    const QString override = overrideBase();
    if (!override.isEmpty())
        return override;
    const ProviderEntry* entry = entryOf(provider);
    return entry ? QString::fromLatin1(entry->base) : QString();
}

QString providerUrl(Provider provider, const QString& pathAndQuery)
{
    return providerBase(provider) + pathAndQuery;
}

QVector<RequestHeader> providerHeaders(Provider provider)
{
    const ProviderEntry* entry = entryOf(provider);
    return entry ? entry->headers : QVector<RequestHeader>();
}

bool findProvider(const QUrl& url, Provider* provider)
{
    // Both sides in the same written form: QUrl lower-cases the scheme and
    // the host and may re-encode the query (the table's own bases are written
    // so already). Once per request: this runs for every download.
    const QString text = url.toString(QUrl::FullyEncoded);
    QString override = overrideBase();
    if (!override.isEmpty())
        override = QUrl(override).toString(QUrl::FullyEncoded);
    for (const ProviderEntry& entry : providerTable()) {
        const QString base = override.isEmpty() ? QString::fromLatin1(entry.base) : override;
        if (!text.startsWith(base))
            continue;
        const QStringRef rest = text.midRef(base.size());
        for (const QString& path : entry.paths) {
            if (continuesWith(rest, path)) {
                *provider = entry.provider;
                return true;
            }
        }
    }
    return false;
}

QVector<RequestHeader> requestHeaders(const QUrl& url)
{
    Provider provider;
    return findProvider(url, &provider) ? providerHeaders(provider) : QVector<RequestHeader>();
}

int randomSuffix()
{
    return std::rand() % 32768;
}
