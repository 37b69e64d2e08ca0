// The company profile and the markup made of it.

#include "datasource/htmltext.h"
#include "datasource/stockcompanyinfo.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString body = fuzzBody(data, size);
    StockCompanyInfo info;
    if (info.parse(body))
        topHoldersHtml(info.gudong());
    safeHtmlText(body);
    return 0;
}
