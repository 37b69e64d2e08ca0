// Intraday minutes: the minute response and the stored minute text.

#include "datasource/stocktimedata.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString body = fuzzBody(data, size);
    parseTimeData(body);
    parseTimeDataText(body);
    return 0;
}
