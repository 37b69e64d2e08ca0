// The quarterly earnings table.

#include "datasource/sinaachievementinterface.h"
#include "tests/fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SinaAchievementInterface().parse(fuzzBody(data, size), QString());
    return 0;
}
