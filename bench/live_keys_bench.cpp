// Live playing: a key press delivered to the key catcher until the last MIDI message of its note
// is handed to the MIDI service, and the live clock's tick times at tempo 130 against the
// nominal step. Reported as counters (microseconds): median and worst of the key path, mean
// error, jitter and worst error of the clock.
#include "forms/dialogs.h"
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/capture_midi_service.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// Passes every call on to the service in use and notes when the last message was handed over.
class TimedMidiService : public platform::MidiService {
public:
    explicit TimedMidiService(platform::MidiService& inner) : inner_(inner) {}
    Clock::time_point lastSend;
    int deviceCount() override { return inner_.deviceCount(); }
    uint32_t deviceName(int id, QString& name) override { return inner_.deviceName(id, name); }
    uint32_t open(int id, uint32_t& handle) override { return inner_.open(id, handle); }
    uint32_t close(uint32_t handle) override { return inner_.close(handle); }
    uint32_t shortMsg(uint32_t handle, uint32_t packed) override
    {
        const uint32_t r = inner_.shortMsg(handle, packed);
        lastSend = Clock::now();
        return r;
    }
    QString errorText(uint32_t code) override { return inner_.errorText(code); }

private:
    platform::MidiService& inner_;
};

// A started main window in a temporary program folder, on the capture service or the system's.
class Window {
public:
    explicit Window(bool capture)
        : timed_(capture ? static_cast<platform::MidiService&>(captured_) : platform::midiService())
    {
        QDir().mkpath(folder_.path() + QStringLiteral("/演奏记录"));
        keyboard::setProgramFolder(folder_.path());
        keyboard::setEndProgramHandler([] {});
        midi::resetState();
        platform::setMidiService(&timed_);
        form = std::make_unique<keyboard::Form1>();
        form->Show();
        if (midi::state().MidiOutHandle == 0) midi::OpenMidiDevice(-1);
        form->SFYXYZ->setFocus();
        dialogs.messages.clear();
    }
    ~Window()
    {
        form->Timer1->setEnabled(false);
        midi::CloseMidiDevice();
        form.reset();
        platform::setMidiService(nullptr);
        keyboard::setEndProgramHandler(nullptr);
        keyboard::setProgramFolder(QString());
    }
    TimedMidiService& service() { return timed_; }
    void clearCaptured() { captured_.clear(); }

    std::unique_ptr<keyboard::Form1> form;
    testing_support::ScriptedDialogs dialogs;

private:
    QTemporaryDir folder_;
    platform::CaptureMidiService captured_;
    TimedMidiService timed_;
};

void keyToLastMessage(benchmark::State& state, bool capture)
{
    Window w(capture);
    auto& s = midi::state();
    std::vector<double> samples;
    int presses = 0;
    for (auto _ : state) {
        // Two note keys in turn, each a new note of the take; the score is emptied now and then
        // so that it stays the length of a short take.
        QKeyEvent press(QEvent::KeyPress, presses % 2 ? Qt::Key_H : Qt::Key_G, Qt::NoModifier);
        const auto start = Clock::now();
        QCoreApplication::sendEvent(w.form->SFYXYZ, &press);
        const double us = micros(w.service().lastSend - start);
        state.SetIterationTime(us / 1e6);
        samples.push_back(us);
        if (++presses % 200 == 0) {
            s.ScoreText.clear();
            w.clearCaptured();
        }
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty()) {
        state.counters["median_us"] = samples[samples.size() / 2];
        state.counters["worst_us"] = samples.back();
    }
    state.counters["boxes"] = double(w.dialogs.messages.size());
}

void clockTickAccuracy(benchmark::State& state)
{
    constexpr int kTicks = 1000;
    Window w(true);
    keyboard::Form1& f = *w.form;
    f.SD->setCurrentIndex(f.SD->findText(QStringLiteral("130")));
    const int nominalMs = midi::state().StepMs;   // 58 ms at tempo 130
    for (auto _ : state) {
        std::vector<Clock::time_point> times;
        times.reserve(kTicks + 1);
        QEventLoop loop;
        f.Timer1->onTick([&] {
            times.push_back(Clock::now());
            // Keep the take going: a note is never held into the idle stop.
            if (midi::state().HoldTicks > 90) midi::state().HoldTicks = 1;
            f.Timer1_Timer();
            if (int(times.size()) > kTicks) loop.quit();
        });
        QKeyEvent press(QEvent::KeyPress, Qt::Key_G, Qt::NoModifier);
        QCoreApplication::sendEvent(f.SFYXYZ, &press);
        loop.exec();
        f.Timer1->setEnabled(false);
        f.Timer1->onTick([&f] { f.Timer1_Timer(); });

        std::vector<double> errors;
        for (size_t i = 1; i < times.size(); ++i) errors.push_back(micros(times[i] - times[i - 1]) - nominalMs * 1000.0);
        double mean = 0, worst = 0;
        for (double e : errors) {
            mean += e;
            worst = std::max(worst, std::abs(e));
        }
        mean /= double(errors.size());
        double var = 0;
        for (double e : errors) var += (e - mean) * (e - mean);
        state.counters["nominal_ms"] = nominalMs;
        state.counters["mean_error_us"] = mean;
        state.counters["jitter_us"] = std::sqrt(var / double(errors.size()));
        state.counters["worst_error_us"] = worst;
    }
}

}  // namespace

BENCHMARK_CAPTURE(keyToLastMessage, capture, true)->Name("live/key_to_last_message/capture")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(keyToLastMessage, synth, false)->Name("live/key_to_last_message/synth")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(clockTickAccuracy)->Name("live/clock_tick_accuracy/tempo130")->Iterations(1)->Unit(benchmark::kMillisecond);
