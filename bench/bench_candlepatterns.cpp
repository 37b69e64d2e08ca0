// Cost of the candle library and the indicators on one stock's history of 480
// bars: a market of about 5,000 stocks multiplies these by 5,000.

#include "analysis/candlepatterns.h"
#include "analysis/indicators.h"
#include "analysis/stockkscanner.h"

#include <benchmark/benchmark.h>

namespace {

QVector<Stock> history()
{
    QVector<Stock> bars;
    for (int i = 0; i < 480; ++i) {
        Stock s;
        s.code = "600000";
        s.date = "2024-01-01";
        s.open = 10 + (i % 7) * 0.1f;
        s.close = 10 + (i % 5) * 0.1f;
        s.high = 11;
        s.low = 9;
        s.volume = 1000 + i;
        bars.append(s);
    }
    return bars;
}

void candleScannerOnHistory(benchmark::State& state)
{
    const QVector<Stock> bars = history();
    StockKScanner scanner;
    QStringList out;
    for (auto _ : state)
        benchmark::DoNotOptimize(scanner.scan("600000", bars, &out));
}
BENCHMARK(candleScannerOnHistory);

void everyPatternIdOnHistory(benchmark::State& state)
{
    const QVector<Stock> bars = history();
    QString name;
    for (auto _ : state) {
        int hits = 0;
        for (int id = 0; id < 100; ++id)
            hits += detectKPattern(id, bars, &name);
        hits += hasBullishKPattern(bars, &name, false) + hasBearishKPattern(bars);
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(everyPatternIdOnHistory);

template <typename Indicator>
void feedHistory(benchmark::State& state, Indicator indicator)
{
    const QVector<Stock> bars = history();
    for (auto _ : state) {
        indicator.clear();
        for (const Stock& bar : bars)
            benchmark::DoNotOptimize(indicator.update(bar));
    }
}
BENCHMARK_CAPTURE(feedHistory, ma20, MaNIndicator(20));
BENCHMARK_CAPTURE(feedHistory, boll, BollIndicator());
BENCHMARK_CAPTURE(feedHistory, kdj, KDJIndicator());
BENCHMARK_CAPTURE(feedHistory, macd, MacdIndicator());

} // namespace

BENCHMARK_MAIN();
