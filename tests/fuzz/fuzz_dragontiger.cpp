// Dragon-tiger pages: the stock list, the seat tables and the seat script.

#include "datasource/lhbsources.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString body = fuzzBody(data, size);
    SinaLHBStockListInterface().parse(body, QString());
    EastmoneyLHBDataInterface().parse(body, QString());
    QQLHBDataInterface().parse(body, QString());
    return 0;
}
