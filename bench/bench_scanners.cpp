// Scanning a whole market: the smart-comment scanners and the shape scanners
// over 5,000 synthetic daily series of 480 bars each. The target is the whole
// market in under one second on one core, that is more than 5,000 stocks per
// second in the items-per-second column.

#include "analysis/indicatorscanners.h"
#include "analysis/shapescanners.h"
#include "analysis/stockcommentfactory.h"
#include "analysis/stocktailscanner.h"

#include <benchmark/benchmark.h>

#include <QDate>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int marketSize = 5000;
constexpr int barsPerStock = 480;

// A fixed generator, so that every run scans the same market.
class Walk
{
public:
    explicit Walk(uint64_t seed) : state(seed * 2862933555777941757ULL + 3037000493ULL) {}

    // Uniform in [0, 1).
    double next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return (state >> 11) * (1.0 / 9007199254740992.0);
    }

    double between(double low, double high) { return low + (high - low) * next(); }

private:
    uint64_t state;
};

QVector<Stock> randomSeries(int index, const QVector<QString>& dates)
{
    Walk walk(static_cast<uint64_t>(index) + 1);
    QVector<Stock> bars(barsPerStock);
    float previous = static_cast<float>(walk.between(3, 60));
    for (int i = 0; i < barsPerStock; ++i) {
        Stock& bar = bars[i];
        bar.code = QString::number(600000 + index);
        bar.date = dates.at(i);
        bar.open = previous * static_cast<float>(walk.between(0.98, 1.02));
        bar.close = std::max(0.5f, previous * static_cast<float>(walk.between(0.95, 1.05)));
        bar.high = std::max(bar.open, bar.close) * static_cast<float>(walk.between(1.0, 1.03));
        bar.low = std::min(bar.open, bar.close) * static_cast<float>(walk.between(0.97, 1.0));
        bar.volume = static_cast<float>(walk.between(1e5, 5e6));
        bar.preClose = previous;
        bar.change = bar.close - previous;
        bar.changePercent = bar.change * 100 / previous;
        previous = bar.close;
    }
    return bars;
}

const QVector<QVector<Stock>>& market()
{
    static const QVector<QVector<Stock>> stocks = [] {
        QVector<QString> dates;
        for (int i = 0; i < barsPerStock; ++i)
            dates.append(QDate(2025, 1, 1).addDays(i).toString(QStringLiteral("yyyy-MM-dd")));
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
