// The A/H comparison, the hot-stock root page and ranking, the news search
// and the stock-doctor page.

#include "datasource/eastmoneyahinterface.h"
#include "datasource/hexunhotstock.h"
#include "datasource/stocknewsinterface.h"
#include "tests/fuzz/fuzzinput.h"

#include <QtGlobal>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // the root page links the ranking on our own host, which the seeds name
    qputenv("VOREL_HOST_OVERRIDE", "http://127.0.0.1:9");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString body = fuzzBody(data, size);
    EastMoneyAHStringListInterface().parse(body);
    hotStockRankingUrl(body);
    parseHotStockXml(body);
    StockNewsInterface().parse(body, QString());
    parseStockDoctor(body);
    return 0;
}
