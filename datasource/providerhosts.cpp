#include "datasource/providerhosts.h"

#include <cstdlib>

namespace {

const char* defaultBase(Provider provider)
{
    switch (provider) {
    case Provider::SinaFinance: return "http://vip.stock.finance.sina.com.cn";
    case Provider::SinaQuote: return "http://hq.sinajs.cn";
    case Provider::QQQuote: return "http://qt.gtimg.cn";
    case Provider::QQKLine: return "http://web.ifzq.gtimg.cn";
    case Provider::QQStock: return "http://stock.gtimg.cn";
    case Provider::QQStockApp: return "http://stockapp.finance.qq.com";
    case Provider::EastmoneyData: return "http://data.eastmoney.com";
    case Provider::EastmoneyQuote: return "http://nufm.dfcfw.com";
    case Provider::IFeng: return "http://api.finance.ifeng.com";
    case Provider::Netease: return "http://quotes.money.163.com";
    case Provider::Hexun: return "http://focus.stock.hexun.com";
    case Provider::StockList: return "http://file.tushare.org";
    }
    return "";
}

} // namespace

QString providerBase(Provider provider)
{
    QString override = QString::fromUtf8(qgetenv("VOREL_HOST_OVERRIDE")).trimmed();
    if (!override.isEmpty()) {
        while (override.endsWith('/'))
            override.chop(1);
        return override;
    }
    return QString::fromLatin1(defaultBase(provider));
}

QString providerUrl(Provider provider, const QString& pathAndQuery)
{
    return providerBase(provider) + pathAndQuery;
}

int randomSuffix()
{
    return std::rand() % 32768;
}
