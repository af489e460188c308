// One accompaniment step of the main window with everything sounding: three rhythm rows ticked
// on every step, both chord voices changing note on every step, and the bar accent. Measured
// on the capture MIDI service (the program's own work) and on the system MIDI service (the
// built-in synthesizer, as a user hears it).
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/capture_midi_service.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

void fullAccompaniment(keyboard::Form1& f)
{
    for (auto* row : {&f.BZA, &f.BZB, &f.BZC})
        for (QCheckBox* box : *row) box->setChecked(true);
    for (int r = 0; r < 3; ++r) f.LblInst[r]->setCurrentIndex(r + 1);
    f.Option1[2]->setChecked(true);
    f.xuanyue->setCurrentIndex(25);
    f.Text4->setText(QStringLiteral("KCKEKGKEKCKEKGKEKCKEKGKEKCKEKGKE"));
    f.Text5->setText(QStringLiteral("WCWEWGWEWCWEWGWEWCWEWGWEWCWEWGWE"));
    f.Text6->setText(QStringLiteral("1645"));
    f.Text6_LostFocus();
}

void accompanimentStep(benchmark::State& state, bool capture)
{
    testing_support::ScriptedDialogs dialogs;   // boxes are counted, never shown
    platform::CaptureMidiService captured;
    if (capture) platform::setMidiService(&captured);
    QTemporaryDir folder;
    QDir().mkpath(folder.path() + QStringLiteral("/演奏记录"));
    keyboard::setProgramFolder(folder.path());
    keyboard::setEndProgramHandler([] {});
    midi::resetState();
    {
        auto f = std::make_unique<keyboard::Form1>();
        f->Show();
        if (midi::state().MidiOutHandle == 0) midi::OpenMidiDevice(-1);
        fullAccompaniment(*f);
        dialogs.messages.clear();
        int64_t steps = 0, messages = 0;
        for (auto _ : state) {
            f->AccompanimentStep();
            if (capture && ++steps % 4096 == 0) {
                messages += int64_t(captured.events.size());
                captured.clear();
            }
        }
        if (capture && steps >= 4096) state.counters["messages_per_step"] = double(messages) / double(steps - steps % 4096);
        state.counters["boxes"] = double(dialogs.messages.size());
        midi::CloseMidiDevice();
    }
    keyboard::setEndProgramHandler(nullptr);
    keyboard::setProgramFolder(QString());
    platform::setMidiService(nullptr);
}

}  // namespace

BENCHMARK_CAPTURE(accompanimentStep, capture, true)->Name("accompaniment/step/capture")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(accompanimentStep, synth, false)->Name("accompaniment/step/synth")->Unit(benchmark::kMicrosecond);
