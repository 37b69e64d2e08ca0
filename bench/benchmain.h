#pragma once

// The start of main() for the benchmarks that make windows or the
// application object: Google Benchmark's own arguments, and the offscreen
// platform unless another one is set.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

// False when the command line holds arguments that are no benchmark's.
inline bool startBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return false;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}
