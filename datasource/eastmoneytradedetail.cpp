#include "datasource/eastmoneytradedetail.h"

#include "datasource/providerhosts.h"

QStringList eastmoneyTradeDetailUrls(const QStringList& args)
{
    if (args.isEmpty())
        return QStringList();
    const QString path = QStringLiteral("/DataCenter_V3/stock2016/TradeDetail/pagesize=200,page=1,sortRule=-1,"
                                        "sortType=,startDate=%1,endDate=%1,gpfw=0,js=vardata_tab_1.html");
    return QStringList { providerUrl(Provider::EastmoneyData, path.arg(args.first())) };
}
