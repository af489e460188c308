// Start-up to a ready main window: the start-up window's load, "知道了" at once, the main
// window's load and first activation on the system MIDI service (the built-in synthesizer with
// the default SoundFont). Reports the process's peak resident memory.
#include "forms/dialogs.h"
#include "keyboard/dzqqd.h"
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "midi/midi_out.h"
#include "midi/state.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// Message boxes are counted, never shown: a benchmark must not wait for a click.
class SilentDialogs : public forms::Dialogs {
public:
    int messages = 0;
    void message(QWidget*, const QString&) override { ++messages; }
    bool question(QWidget*, const QString&) override { return true; }
    std::optional<QString> input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<forms::FileChoice> openFile(QWidget*, const forms::FileRequest&) override { return {}; }
    std::optional<forms::FileChoice> saveFile(QWidget*, const forms::FileRequest&) override { return {}; }
};

// Peak resident set size of the process in MiB (VmHWM), 0 where it cannot be read.
double peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void startToReadyWindow(benchmark::State& state)
{
    SilentDialogs dialogs;
    forms::setDialogs(&dialogs);
    QTemporaryDir folder;
    QDir().mkpath(folder.path() + QStringLiteral("/演奏记录"));
    keyboard::setProgramFolder(folder.path());
    keyboard::setEndProgramHandler([] {});
    for (auto _ : state) {
        midi::resetState();
        QFile::remove(folder.path() + QStringLiteral("/velqor.ini"));
        auto mainWindow = std::make_unique<keyboard::Form1>();
        auto start = std::make_unique<keyboard::DZQQD>();
        start->Form_Load();
        start->Command1_Click();
        benchmark::DoNotOptimize(mainWindow->WindowReady);
        state.PauseTiming();
        midi::CloseMidiDevice();
        mainWindow.reset();
        start.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
    state.counters["boxes"] = dialogs.messages;
    keyboard::setEndProgramHandler(nullptr);
    keyboard::setProgramFolder(QString());
    forms::setDialogs(nullptr);
}

}  // namespace

// The first start pays for loading the SoundFont; later ones find the synthesizer loaded.
BENCHMARK(startToReadyWindow)->Name("startup/first")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(startToReadyWindow)->Name("startup/again")->Unit(benchmark::kMillisecond);
