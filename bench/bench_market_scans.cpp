// Whole-market scans from the stored histories, side by side with the cost of
// reading them. One run writes a folder of random-walk histories in the stored
// format (5,000 files of 480 bars, and a copy of its first 500) and then times,
// from the start of a scan to its last result:
//   - reading the bytes of every file, and reading and parsing every file,
//     the floor every scan stands on;
//   - the trend-line page, the two Fibonacci pages and the add-on scan dialog,
//     each through its own scan on the file-scan worker.
// The targets: the floor within 5 times the plain read and every scan within
// 1.5 times the floor of the same run, the same cost per file at 500 and at
// 5,000 files, and a peak under 100 MB. The rows report files per second,
// minor page faults per file, the process's peak resident memory during the
// run, its processor time per pass ("cpu ms", all threads, user and kernel)
// and its context switches per file: a scan's worker reports every file to
// the page's thread, which on a single processor costs two switches a file
// that the floor, reporting nowhere, does not pay.

#include "bench/benchmain.h"
#include "bench/randommarket.h"
#include "analysis/stockthreadtarget.h"
#include "core/fileutils.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "strategy/addonhost.h"
#include "strategy/stockaddonscanner.h"
#include "strategy/stockhotstockfibonacciwidget.h"
#include "strategy/stocknewstockfibonacciwidget.h"
#include "strategy/stocktrendwidget.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/support/messagecatcher.h"
#include "tests/support/programapplication.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace {

using namespace randommarket;

constexpr int smallMarket = 500;

QString workRoot;

QString marketDir(int files)
{
    return workRoot + QStringLiteral("/market%1").arg(files);
}

// "data/" of a market of `files` histories, the first `files` series of the
// random market, each in the stored format.
bool writeMarket(int files)
{
    const QString data = marketDir(files) + QStringLiteral("/data/");
    if (!QDir().mkpath(data))
        return false;
    const QVector<QString> dates = seriesDates();
    for (int i = 0; i < files; ++i) {
        QStringList arrays;
        for (const Stock& bar : randomSeries(i, dates))
            arrays << klinefixtures::bar(bar.date, bar.open, bar.close, bar.high, bar.low, bar.volume);
        QFile file(data + seriesCode(i));
        const QByteArray body = klinefixtures::storedHistory(seriesCode(i), arrays).toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
            return false;
    }
    return true;
}

long minorFaults()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

long contextSwitches()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

// Processor time of the whole process, every thread, user and kernel, in
// milliseconds: what a row consumed, however busy the machine was with other
// work meanwhile (which the real time of a row is not).
double processorMilliseconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Peak resident memory (VmHWM) of the process in kB.
long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Page faults and the peak of one benchmark row. The peak is reset at the
// start, so each row shows its own.
class RunMeter
{
public:
    RunMeter()
    {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        faults = minorFaults();
        switches = contextSwitches();
        processor = processorMilliseconds();
    }

    void report(benchmark::State& state, int files) const
    {
        const double handled = double(state.iterations()) * files;
        state.SetItemsProcessed(int64_t(handled));
        state.counters["faults/file"] = benchmark::Counter(double(minorFaults() - faults) / handled);
        state.counters["peak MB"] = benchmark::Counter(double(peakKilobytes()) / 1024.0);
        state.counters["switches/file"] = benchmark::Counter(double(contextSwitches() - switches) / handled);
        state.counters["cpu ms"] = benchmark::Counter((processorMilliseconds() - processor) / double(state.iterations()));
        state.SetLabel("items = history files of 480 bars");
    }

private:
    long faults = 0;
    long switches = 0;
    double processor = 0;
};

// Works in the market of `files` histories: the pages read "data/" of the
// working folder.
bool enterMarket(benchmark::State& state, int files)
{
    if (QDir::setCurrent(marketDir(files)))
        return true;
    state.SkipWithError("no market folder");
    return false;
}

// Runs the event loop until `ended` turns true. A scan ends with a queued
// call, the worker's finished signal, which wakes the loop: no timer polls
// it, since on one processor every wake of the page's thread would be
// counted against the scan.
void waitUntil(const std::function<bool()>& ended)
{
    while (!ended())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The floor's per-file step: what every scan does before its own work.
bool readAndParse(const QString& path, const QString&, int)
{
    return !readHistoryFile(path).isEmpty();
}

// The bytes alone: opening and reading the file, without decoding a
// character, which is what the floor may be measured against.
bool readBytes(const QString& path, const QString&, int)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && !file.readAll().isEmpty();
}

// Runs `step` over every file of the folder on a file-scan worker, as the
// scans do: the same thread, the same memory arena, the same file order.
void walkMarket(benchmark::State& state, StockThreadTarget::Callback step)
{
    const int files = int(state.range(0));
    if (!enterMarket(state, files))
        return;
    StockThreadTarget worker(step);
    int handled = 0;
    QObject::connect(&worker, &StockThreadTarget::updateStock, &worker,
                     [&handled](int, const QString&, int flag) { handled += flag; }, Qt::DirectConnection);
    RunMeter meter;
    for (auto _ : state) {
        // The listing the scans make, so that the rows differ by the step alone.
        const QMap<QString, QString> paths = historyFileMap(QStringLiteral("data"));
        handled = 0;
        worker.setStocks(paths);
        worker.start();
        worker.wait();
        if (handled != files)
            state.SkipWithError("a history did not read");
    }
    meter.report(state, files);
}

void BM_PlainReadMarket(benchmark::State& state)
{
    walkMarket(state, &readBytes);
}

void BM_ReadAndParseMarket(benchmark::State& state)
{
    walkMarket(state, &readAndParse);
}

// One strategy page's scan of set-up 0 (the first radio button, checked when
// the page is made) over the whole folder.
template <class Page>
void scanThroughPage(benchmark::State& state)
{
    const int files = int(state.range(0));
    if (!enterMarket(state, files))
        return;
    Page page;
    RunMeter meter;
    int hits = 0;
    for (auto _ : state) {
        page.onScan();
        // The page hides its progress on the worker's finished signal, which
        // Qt sends just before the thread has ended.
        waitUntil([&page] { return page.progress->isHidden(); });
        page.worker->wait();
        hits = page.list->count();
    }
    meter.report(state, files);
    state.counters["hits"] = hits;
}

void BM_TrendLineMarket(benchmark::State& state)
{
    scanThroughPage<StockTrendWidget>(state);
}

void BM_HotStockFibonacciMarket(benchmark::State& state)
{
    scanThroughPage<StockHotStockFibonacciWidget>(state);
}

void BM_NewStockFibonacciMarket(benchmark::State& state)
{
    scanThroughPage<StockNewStockFibonacciWidget>(state);
}

// The delivered add-on, bound as the user binds it, over the whole folder;
// the scan ends with its summary box, which the catcher closes.
void BM_AddonScanMarket(benchmark::State& state)
{
    const int files = int(state.range(0));
    VorelAddonHostImpl* host = VorelAddonHostImpl::instance();
    if (!host || host->registry.count() == 0) {
        state.SkipWithError("the add-on did not load");
        return;
    }
    if (!enterMarket(state, files))
        return;
    host->registry.boundIndex = 0;
    MessageCatcher catcher;
    StockAddonScanner dialog;
    RunMeter meter;
    for (auto _ : state) {
        dialog.onSearch();
        waitUntil([&dialog] { return !dialog.isScanning(); });
    }
    meter.report(state, files);
    state.counters["closed trades"] = dialog.summary().tradeCount;
}

void marketSizes(benchmark::internal::Benchmark* bench)
{
    // Whole passes take about a second: a bounded time keeps `make bench` short.
    // A pass ahead of the timed ones keeps what a first pass pays once (fonts,
    // caches) out of the rows.
    bench->ArgName("files")->Arg(smallMarket)->Arg(marketSize)->UseRealTime()->MinWarmUpTime(0.1)->MinTime(1.0)->Unit(
        benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_PlainReadMarket)->Apply(marketSizes);
BENCHMARK(BM_ReadAndParseMarket)->Apply(marketSizes);
BENCHMARK(BM_TrendLineMarket)->Apply(marketSizes);
BENCHMARK(BM_AddonScanMarket)->Apply(marketSizes);
BENCHMARK(BM_HotStockFibonacciMarket)->Apply(marketSizes);
BENCHMARK(BM_NewStockFibonacciMarket)->Apply(marketSizes);

int main(int argc, char** argv)
{
    if (!startBenchmarks(argc, argv))
        return 1;

    // The program's working folder: the add-on in "addon", the markets beside it.
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()) || !QDir().mkpath(QStringLiteral("addon"))
        || !QFile::copy(QStringLiteral(VOREL_ADDON_FILE), QStringLiteral("addon/Addon.so"))) {
        std::fprintf(stderr, "cannot prepare the working folder\n");
        return 2;
    }
    workRoot = work.path();
    ProgramApplication app(argc, argv);
    if (!writeMarket(smallMarket) || !writeMarket(marketSize)) {
        std::fprintf(stderr, "cannot write the market folders\n");
        return 2;
    }
    // The histories go to the disk before any row runs: writing them back
    // would otherwise weigh on the first rows only.
    ::sync();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir::setCurrent(workRoot);
    return 0;
}
