// Daily K-line histories of every provider, and the stored files that the
// scans read back through the same parser.

#include "datasource/neteasehistory.h"
#include "datasource/stockifenginterface.h"
#include "datasource/stockqqhistoryinterface.h"
#include "datasource/stocktushareinterface.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QMap<QString, Stock> pool = fuzzPool();
    const QString body = fuzzBody(data, size);
    parseQQHistory(body, QStringLiteral("600000"));
    parseIFengHistory(body, QStringLiteral("600000"), pool);
    parseNeteaseHistory(body, QStringLiteral("600000"), pool);
    StockTuShareInterface().parse(body, QStringLiteral("600000"));
    return 0;
}
