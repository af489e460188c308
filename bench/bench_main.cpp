// Benchmark entry point: a QApplication (offscreen unless told otherwise) around the runner, or
// one child measurement when started with --child=NAME (see child_process.h).
#include "child_process.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    if (const int code = bench_child::runIfChild(argc, argv); code >= 0) return code;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
