// The all-stocks list and the market centre's list of all quotes.

#include "datasource/quotesources.h"
#include "datasource/stocklistinterface.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString body = fuzzBody(data, size);
    StockListInterface().parse(body, QString());
    SinaRealtimeInterface().parse(body, QString());
    return 0;
}
