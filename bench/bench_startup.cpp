// How long the program takes to show its main window, with an empty "data/"
// and with one of 20,000 stored histories, in one run: from making the
// application object, as main() does, to the window on the screen (exposed,
// under the offscreen platform). The target: the full folder within 1.5 times
// the empty one (the row's "full/empty"). What start-up does with the folder
// must not hold the window.

#include "app/vorelstock.h"
#include "bench/benchmain.h"
#include "core/vorelapplication.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/support/programapplication.h"


#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QVector>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int fullFolder = 20000;

QString workRoot;
int programArgc = 1;
char programName[] = "bench_startup";
char* programArgv[] = { programName, nullptr };

QString workFolder(int files)
{
    return workRoot + QStringLiteral("/start%1").arg(files);
}

// A working folder as a user's after a while: the stock list, and `files`
// stored histories in "data/" (short ones: what start-up does with the
// folder depends on the number of files, not their length).
bool prepareFolder(int files)
{
    const QString folder = workFolder(files);
    const QString runDir = QFileInfo(QStringLiteral(VOREL_ADDON_FILE)).absolutePath() + QStringLiteral("/..");
    if (!QDir().mkpath(folder + QStringLiteral("/config")) || !QDir().mkpath(folder + QStringLiteral("/data"))
        || !QFile::copy(runDir + QStringLiteral("/config/data.db"), folder + QStringLiteral("/config/data.db")))
        return false;
    QStringList arrays;
    for (int day = 1; day <= 28; ++day)
        arrays << klinefixtures::bar(QStringLiteral("2025-02-%1").arg(day, 2, 10, QLatin1Char('0')), 10, 10.5, 10.8, 9.9, 1000);
    for (int i = 0; i < files; ++i) {
        const QString code = QString::number(300000 + i);
        QFile file(folder + QStringLiteral("/data/") + code);
        const QByteArray body = klinefixtures::storedHistory(code, arrays).toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
            return false;
    }
    return true;
}

bool exposed(const QWidget& window)
{
    return window.windowHandle() && window.windowHandle()->isExposed();
}

// One start in the working folder of `files` as main() makes it, timed to
// the exposed window, in milliseconds; the program then ends as it does on
// closing.
double startOnce(int files)
{
    if (!QDir::setCurrent(workFolder(files)))
        return -1;
    QElapsedTimer clock;
    clock.start();
    ProgramApplication app(programArgc, programArgv);
    VorelStock window;
    app.init(&window);
    window.show();
    while (!exposed(window))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return double(clock.nsecsElapsed()) / 1e6;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// Each iteration starts the program once with each folder, in turns, so
// that both see the machine alike; the time of an iteration is that of the
// start with the full folder.
void BM_MainWindowShows(benchmark::State& state)
{
    QVector<double> empty;
    QVector<double> full;
    for (auto _ : state) {
        const bool fullFirst = full.size() % 2 == 1;
        const double first = startOnce(fullFirst ? fullFolder : 0);
        const double second = startOnce(fullFirst ? 0 : fullFolder);
        if (first < 0 || second < 0) {
            state.SkipWithError("no working folder");
            return;
        }
        empty << (fullFirst ? second : first);
        full << (fullFirst ? first : second);
        state.SetIterationTime(full.last() / 1e3);
    }
    state.counters["empty ms"] = median(empty);
    state.counters["full ms"] = median(full);
    state.counters["full/empty"] = median(full) / median(empty);
    state.SetLabel(QStringLiteral("medians; full: %1 files in data/").arg(fullFolder).toStdString());
}

} // namespace

BENCHMARK(BM_MainWindowShows)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (!startBenchmarks(argc, argv))
        return 1;
    // Start-up asks for notices and hot stocks: nothing may leave the machine.
    qputenv("VOREL_HOST_OVERRIDE", "http://127.0.0.1:9");

    QTemporaryDir work;
    workRoot = work.path();
    if (!work.isValid() || !prepareFolder(0) || !prepareFolder(fullFolder)) {
        std::fprintf(stderr, "cannot prepare the working folders (is config/data.db built?)\n");
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir::setCurrent(workRoot);
    return 0;
}
