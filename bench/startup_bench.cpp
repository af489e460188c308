// Start-up to a ready main window: the start-up window's load, "知道了", the main window's load
// and first activation on the system MIDI service (the built-in synthesizer with the default
// SoundFont), and the program at rest afterwards.
//
// A first start runs in a process of its own (see child_process.h): in the benchmark process
// the SoundFont would already be loaded by the benchmarks before. Reported: the first start,
// a repeated start in one process, the time from a click on "知道了" to the main window shown
// (clicked at once, and after a second of reading the start-up window), the process's peak
// resident memory, and CPU time and wakeups of the program at rest.
#include "child_process.h"

#include "editor/yybj.h"
#include "forms/dialogs.h"
#include "keyboard/dzqqd.h"
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using bench_child::childBenchmark;

double millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Message boxes are counted, never shown: a benchmark must not wait for a click.
class SilentDialogs : public forms::Dialogs {
public:
    int messages = 0;
    void message(QWidget*, const QString&) override { ++messages; }
    bool question(QWidget*, const QString&) override { return true; }
    forms::Answer questionWithCancel(QWidget*, const QString&) override { return forms::Answer::No; }
    std::optional<QString> input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<forms::FileChoice> openFile(QWidget*, const forms::FileRequest&) override { return {}; }
    std::optional<forms::FileChoice> saveFile(QWidget*, const forms::FileRequest&) override { return {}; }
};

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A program folder as the build lays it out: the shipped rhythm files in the record folder.
class ProgramFolder {
public:
    ProgramFolder()
    {
        const QString records = dir_.path() + QStringLiteral("/演奏记录");
        QDir().mkpath(records);
        const QDir shipped(bench_child::dataFolder() + QStringLiteral("/演奏记录"));
        for (const QString& name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), records + QLatin1Char('/') + name);
        forms::setDialogs(&dialogs);
        keyboard::setProgramFolder(dir_.path());
        keyboard::setEndProgramHandler([] {});
    }
    ~ProgramFolder()
    {
        keyboard::setEndProgramHandler(nullptr);
        keyboard::setProgramFolder(QString());
        forms::setDialogs(nullptr);
    }
    QString path() const { return dir_.path(); }
    SilentDialogs dialogs;

private:
    QTemporaryDir dir_;
};

// The program's start as main() makes it: the SoundFont's load begun, the windows created, the
// start-up window loaded and shown, the audio output opened once the event loop runs.
struct Program {
    Program()
    {
        start->Form_Load();
        start->show();
        QTimer::singleShot(0, start.get(), [] { platform::AudioEngine::instance().ensureOutput(); });
    }
    bool loading = (platform::BuiltinSynth::instance().startLoading(), true);
    keyboard::Form1 mainWindow;
    editor::YYBJ scoreEditor;
    std::unique_ptr<keyboard::DZQQD> start = std::make_unique<keyboard::DZQQD>();
};

// A first start: from the program's start to a ready main window, "知道了" pressed at once.
bench_child::Figures firstStart()
{
    ProgramFolder folder;
    const auto t0 = Clock::now();
    Program program;
    program.start->Command1_Click();
    const double ms = millis(Clock::now() - t0);
    return {{"ms", ms}, {"ready", program.mainWindow.WindowReady ? 1.0 : 0.0},
            {"peak_MiB", bench_child::peakMemoryMiB()}, {"boxes", double(folder.dialogs.messages)}};
}

// A click on "知道了" after the start-up window has been up for `readingMs`, until the main
// window is shown and ready.
bench_child::Figures clickToShown(int readingMs)
{
    ProgramFolder folder;
    Program program;
    runEventsFor(readingMs);
    const auto t0 = Clock::now();
    QTest::mouseClick(program.start->Command1, Qt::LeftButton);
    QCoreApplication::processEvents();
    const double ms = millis(Clock::now() - t0);
    const bool shown = program.mainWindow.isVisible() && program.mainWindow.WindowReady;
    return {{"ms", ms}, {"shown", shown ? 1.0 : 0.0}, {"boxes", double(folder.dialogs.messages)}};
}

// Context switches of every thread of the process so far: each is a thread going to sleep or
// being put off the processor, so their rise over a time is the process's wakeups.
double contextSwitches()
{
    double total = 0;
    QDirIterator tasks(QStringLiteral("/proc/self/task"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (tasks.hasNext()) {
        QFile status(tasks.next() + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches:")) total += line.split(':').last().trimmed().toDouble();
    }
    return total;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The program at rest: started, "知道了" pressed after a second, nothing played; measured over
// five seconds after three seconds of settling.
bench_child::Figures atRest()
{
    ProgramFolder folder;
    Program program;
    runEventsFor(1000);
    QTest::mouseClick(program.start->Command1, Qt::LeftButton);
    runEventsFor(3000);
    constexpr double kSeconds = 5;
    const double cpu0 = cpuSeconds(), switches0 = contextSwitches();
    const auto t0 = Clock::now();
    runEventsFor(int(kSeconds * 1000));
    const double wall = millis(Clock::now() - t0) / 1000;
    const double cpu = cpuSeconds() - cpu0, switches = contextSwitches() - switches0;
    return {{"cpu_percent", 100 * cpu / wall}, {"wakeups_per_s", switches / wall},
            {"shown", program.mainWindow.isVisible() ? 1.0 : 0.0}};
}

const bool registered = bench_child::add("startup-first", firstStart) &&
                        bench_child::add("startup-click-at-once", [] { return clickToShown(0); }) &&
                        bench_child::add("startup-click-after-1s", [] { return clickToShown(1000); }) &&
                        bench_child::add("idle-at-rest", atRest);

// A repeated start in one process: the synthesizer is loaded already.
void startAgain(benchmark::State& state)
{
    ProgramFolder folder;
    auto once = [] {
        midi::resetState();
        auto program = std::make_unique<Program>();
        program->start->Command1_Click();
        benchmark::DoNotOptimize(program->mainWindow.WindowReady);
        return program;
    };
    {
        auto warm = once();
        midi::CloseMidiDevice();
    }
    for (auto _ : state) {
        QFile::remove(folder.path() + QStringLiteral("/velqor.ini"));
        auto program = once();
        state.PauseTiming();
        midi::CloseMidiDevice();
        program.reset();
        state.ResumeTiming();
    }
    state.counters["boxes"] = folder.dialogs.messages;
}

}  // namespace

BENCHMARK_CAPTURE(childBenchmark, first, "startup-first")->Name("startup/first")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(startAgain)->Name("startup/again")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(childBenchmark, at_once, "startup-click-at-once")->Name("startup/click_to_shown/at_once")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(childBenchmark, after_1s, "startup-click-after-1s")->Name("startup/click_to_shown/after_1s")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(childBenchmark, idle, "idle-at-rest")->Name("idle/program_at_rest")->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
