// Real-time quotes: the quote lines of given codes and the simple quotes.

#include "datasource/quotesources.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QMap<QString, Stock> pool = fuzzPool();
    // a filter wide open, so that quotes get through to the ratios
    static const BidFilter filter { -100.0f, 100.0f, 0.0f };
    const QString body = fuzzBody(data, size);
    parseSinaQuotes(body, pool, filter);
    parseTencentQuotes(body, pool);
    return 0;
}
