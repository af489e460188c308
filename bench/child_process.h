#pragma once
// Benchmarks that need a process of their own (a first start, the program at rest) run a copy
// of velqor_bench with --child=NAME. The child runs one registered function, prints its figures
// as "name value" lines and exits; the benchmark in the parent reads them.
#include <QString>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <string>

namespace bench_child {

using Figures = std::map<std::string, double>;

// Registers a child function under `name`; returns true so that it can initialise a static.
bool add(const char* name, std::function<Figures()> run);

// When the arguments name a child (--child=NAME), runs it and returns the process's exit code;
// otherwise returns -1.
int runIfChild(int argc, char** argv);

// Runs the child `name` in a new process with a runtime folder of its own; the figures it
// printed, empty when it failed (the reason in `error`).
Figures run(const QString& name, QString* error = nullptr);

// The shipped program-folder files (rhythm files, scores) of the source tree.
QString dataFolder();

// Peak resident set size of the process in MiB (VmHWM), and the present one (VmRSS); 0 where
// they cannot be read.
double peakMemoryMiB();
double residentMemoryMiB();

// A benchmark that runs the child `child` once per iteration: its "ms" is the iteration's time
// (use it with UseManualTime), its other figures the median of the runs.
void childBenchmark(benchmark::State& state, const char* child);

}  // namespace bench_child
