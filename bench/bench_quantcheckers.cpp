// Cost of one stock in a back-test run: a checker asked about every day of a
// 480-bar history. A run tests every history in "data/" one per timer event,
// so this is what the GUI thread spends per event.

#include "core/vorelapplication.h"
#include "strategy/stockquantchecker.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

// A random walk with daily moves up to ±7 %, so that the cheap tests of the
// checkers pass now and then and their indicator work is measured too.
QVector<Stock> history()
{
    QVector<Stock> bars;
    unsigned seed = 12345;
    float close = 10;
    for (int i = 0; i < 480; ++i) {
        seed = seed * 1103515245u + 12345u;
        const float move = float(int((seed >> 16) % 1401) - 700) / 10000.0f;
        Stock s;
        s.code = "600000";
        s.date = QDate(2024, 1, 1).addDays(i).toString("yyyy-MM-dd");
        s.open = close * (1 + move / 3);
        const float previous = close;
        close *= 1 + move;
        s.close = close;
        s.high = std::max(s.open, s.close) * 1.01f;
        s.low = std::min(s.open, s.close) * 0.97f;
        s.volume = 1000 + float((seed >> 8) % 1000);
        s.changePercent = (close - previous) * 100 / previous;
        bars.append(s);
    }
    return bars;
}

void everyDayOfOneHistory(benchmark::State& state)
{
    const QVector<Stock> bars = history();
    std::unique_ptr<StockQuantChecker> checker(createQuantChecker(int(state.range(0))));
    for (auto _ : state) {
        int hits = 0;
        for (int i = 0; i < bars.size(); ++i)
            hits += checker->check("600000", bars, i) >= 0;
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(everyDayOfOneHistory)->DenseRange(1, 7)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // The checkers read their settings from the application object.
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()))
        return 2;
    VorelApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
