// Scanning a whole market: the smart-comment scanners and the shape scanners
// over 5,000 synthetic daily series of 480 bars each. The target is the whole
// market in under one second on one core, that is more than 5,000 stocks per
// second in the items-per-second column.

#include "analysis/indicatorscanners.h"
#include "analysis/shapescanners.h"
#include "analysis/stockcommentfactory.h"
#include "analysis/stocktailscanner.h"
#include "bench/randommarket.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using namespace randommarket;

const QVector<QVector<Stock>>& market()
{
    static const QVector<QVector<Stock>> stocks = [] {
        const QVector<QString> dates = seriesDates();
        QVector<QVector<Stock>> all;
        all.reserve(marketSize);
        for (int i = 0; i < marketSize; ++i)
            all.append(randomSeries(i, dates));
        return all;
    }();
    return stocks;
}

void scanMarket(benchmark::State& state, const std::vector<StockScanner*>& scanners)
{
    const QVector<QVector<Stock>>& stocks = market();
    int64_t signalCount = 0;
    for (auto _ : state) {
        for (const QVector<Stock>& bars : stocks) {
            for (StockScanner* scanner : scanners) {
                QStringList texts;
                signalCount += scanner->scan(bars.first().code, bars, &texts) != -1;
                benchmark::DoNotOptimize(texts);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * stocks.size());
    state.counters["signals per market"] =
        benchmark::Counter(static_cast<double>(signalCount) / std::max<int64_t>(1, state.iterations()));
}

void BM_CommentFactoryScanners(benchmark::State& state)
{
    StockCommentFactory factory;
    scanMarket(state, {&factory});
}

void BM_ShapeScanners(benchmark::State& state)
{
    std::vector<std::unique_ptr<StockScanner>> owned;
    owned.emplace_back(new StockDuanTouChaDaoScanner);
    owned.emplace_back(new StockGaoWeiHengPanScanner);
    owned.emplace_back(new StockDiWeiHengPanScanner);
    owned.emplace_back(new StockMShapeScanner);
    owned.emplace_back(new StockWShapeScanner);
    owned.emplace_back(new StockShangShengSanJiaoXingScanner);
    owned.emplace_back(new StockYiYangChuanSanXianScanner);
    owned.emplace_back(new StockUpwardTrendScanner);
    std::vector<StockScanner*> scanners;
    for (const auto& s : owned)
        scanners.push_back(s.get());
    scanMarket(state, scanners);
}

void BM_TailScanner(benchmark::State& state)
{
    StockTailScanner tail;
    scanMarket(state, {&tail});
}

} // namespace

BENCHMARK(BM_CommentFactoryScanners)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapeScanners)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TailScanner)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
