// The blocking GET as the smart-comment scan uses it: one daily history of
// 480 bars in the provider's form per stock, from a loopback server that runs
// on a thread of its own so that only the client's side is timed.
//   - one blocking GET of a history;
//   - the smart-comment scan of a pool, one stock per tick, with the pause
//     between ticks set to 0: the time per stock is its cost beyond the pause
//     (download, parse, store, comment factory, list row).

#include "analysis/stockscanwidget.h"
#include "core/clock.h"
#include "core/vorelapplication.h"
#include "datasource/httpget.h"
#include "datasource/stockqqhistoryinterface.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/support/testhttpserver.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <cstdio>
#include <memory>

namespace {

constexpr int kBars = 480;
constexpr int kPoolSize = 300;

QString poolCode(int index)
{
    return QString::number(600001 + index);
}

// The server answers every history request with a body built once per code.
class HistoryServer
{
public:
    HistoryServer()
    {
        auto bodies = std::make_shared<QMap<QString, QByteArray> >();
        for (int i = 0; i < kPoolSize; ++i) {
            const QString symbol = "sh" + poolCode(i);
            bodies->insert(symbol, klinefixtures::body(symbol, kBars).toUtf8());
        }
        server = new TestHttpServer;
        server->serve("/appstock/app/fqkline/get", [bodies](const TestHttpServer::Request& request) {
            const QString symbol = request.query.section("param=", 1).section(',', 0, 0);
            return TestHttpServer::Reply::bytes(bodies->value(symbol), "application/json");
        });
        base = server->baseUrl();
        server->moveToThread(&thread);
        thread.start();
    }

    ~HistoryServer()
    {
        QMetaObject::invokeMethod(server, [this] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }

    QString base;

private:
    QThread thread;
    TestHttpServer* server = nullptr;
};

HistoryServer* historyServer = nullptr;

void BM_BlockingGetOfAHistory(benchmark::State& state)
{
    HostOverride hosts(historyServer->base);
    StockQQHistoryInterface history;
    const QString url = history.urls({ poolCode(0) }).first();
    qint64 bytes = 0;
    for (auto _ : state) {
        QString failure;
        const QString body = httpGet(url, nullptr, &failure);
        if (!failure.isEmpty() || body.isEmpty()) {
            state.SkipWithError(qPrintable("download failed: " + failure));
            return;
        }
        bytes += body.size();
    }
    state.SetBytesProcessed(bytes);
}

void BM_SmartCommentScanPerStock(benchmark::State& state)
{
    HostOverride hosts(historyServer->base);
    // A Saturday: the scan runs at any hour.
    setChinaNow(QDateTime(QDate(2017, 3, 11), QTime(16, 0), QTimeZone("Asia/Shanghai")));
    auto& pool = vorelApp()->stockPool;
    pool.clear();
    for (int i = 0; i < kPoolSize; ++i) {
        Stock stock;
        stock.code = poolCode(i);
        stock.name = QStringLiteral("N") + stock.code;
        pool.insert(stock.code, stock);
    }
    vorelApp()->config.scanListExport = false;

    StockScanWidget page;
    page.tickInterval = 0;
    double msPerStock = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        page.onSearch();
        while (page.isScanning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // The pool and the index code.
        msPerStock += clock.nsecsElapsed() / 1e6 / (kPoolSize + 1);
    }
    state.counters["ms_per_stock"] = benchmark::Counter(msPerStock, benchmark::Counter::kAvgIterations);
    setChinaNow(QDateTime());
}

} // namespace

BENCHMARK(BM_BlockingGetOfAHistory)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmartCommentScanPerStock)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // The scan stores every history under "data/" of the working folder.
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()) || !QDir().mkpath(QStringLiteral("data"))) {
        std::fprintf(stderr, "cannot prepare the working folder\n");
        return 2;
    }
    VorelApplication app(argc, argv);
    {
        HistoryServer server;
        historyServer = &server;
        benchmark::RunSpecifiedBenchmarks();
        historyServer = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
