// Parsing speed of stored daily histories: the strategy pages and the add-on
// scan read every file of "data/" through StockQQHistoryInterface::parse, so a
// whole pool must parse in well under a second.

#include "datasource/stockqqhistoryinterface.h"
#include "tests/datasource/klinefixtures.h"

#include <benchmark/benchmark.h>

namespace {

void parseStoredHistory(benchmark::State& state)
{
    const QString body = klinefixtures::body("sh600000", 480);
    StockQQHistoryInterface reader;   // no cache directory: reading writes nothing
    for (auto _ : state) {
        QVector<Stock> bars = reader.parse(body, "600000");
        benchmark::DoNotOptimize(bars.data());
        if (bars.size() != 480)
            state.SkipWithError("wrong bar count");
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items = history files of 480 bars");
}

} // namespace

BENCHMARK(parseStoredHistory)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
