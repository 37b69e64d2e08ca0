// Company notices and the suspension and resumption list.

#include "datasource/eastmoneynotice.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString body = fuzzBody(data, size);
    EastmoneyInterface().parse(body, QString());
    EastmoneyRecoveryTransactionInterface().parse(body, QString());
    return 0;
}
