#pragma once
// A started main window for benchmarks, in a temporary program folder, on the capture MIDI
// service or the system's (the built-in synthesizer), with a service wrapper that notes when
// the last MIDI message was handed over.
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/capture_midi_service.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace bench_support {

using Clock = std::chrono::steady_clock;

inline double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

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

class Window {
public:
    // `rhythmFiles`: the program folder gets the shipped rhythm files, so the first activation
    // applies the first of them as the program does.
    explicit Window(bool capture, bool rhythmFiles = false)
        : timed_(capture ? static_cast<platform::MidiService&>(captured_) : platform::midiService())
    {
        const QString records = folder_.path() + QStringLiteral("/演奏记录");
        QDir().mkpath(records);
        if (rhythmFiles) {
            const QDir shipped(QStringLiteral(VELQOR_DATA_DIR "/演奏记录"));
            for (const QString& name : shipped.entryList({QStringLiteral("*.bin")}, QDir::Files))
                QFile::copy(shipped.filePath(name), records + QLatin1Char('/') + name);
        }
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
        form->Timer3->setEnabled(false);
        midi::CloseMidiDevice();
        form.reset();
        platform::setMidiService(nullptr);
        keyboard::setEndProgramHandler(nullptr);
        keyboard::setProgramFolder(QString());
    }
    TimedMidiService& service() { return timed_; }
    platform::CaptureMidiService& captured() { return captured_; }

    std::unique_ptr<keyboard::Form1> form;
    testing_support::ScriptedDialogs dialogs;   // boxes are counted, never shown

private:
    QTemporaryDir folder_;
    platform::CaptureMidiService captured_;
    TimedMidiService timed_;
};

// The p-th percentile (0..100) of `sorted`.
template <class V>
double percentile(const V& sorted, double p)
{
    if (sorted.empty()) return 0;
    const size_t i = std::min(sorted.size() - 1, size_t(p / 100.0 * double(sorted.size())));
    return sorted[i];
}

// The counters of a clock's ticks against its nominal interval: first (in capitals, which the
// report lists before the others) the ticks missed and the phase drift, then the mean error of
// an interval, the 99th percentile of its magnitude (the jitter), and the drift of the last tick
// against the nominal end. A small drift can hide a missed tick; the first two cannot.
inline void reportClockTicks(benchmark::State& state, const std::vector<Clock::time_point>& times, int nominalMs)
{
    std::vector<double> errors;
    for (size_t i = 1; i < times.size(); ++i) errors.push_back(micros(times[i] - times[i - 1]) - nominalMs * 1000.0);
    double mean = 0;
    for (double e : errors) mean += e;
    mean /= double(std::max<size_t>(1, errors.size()));
    std::vector<double> magnitudes;
    for (double e : errors) magnitudes.push_back(std::abs(e));
    std::sort(magnitudes.begin(), magnitudes.end());
    state.counters["ticks"] = double(times.size());
    state.counters["nominal_ms"] = nominalMs;
    state.counters["mean_error_us"] = mean;
    state.counters["p99_error_us"] = percentile(magnitudes, 99);
    state.counters["drift_ms"] = times.size() < 2
        ? 0
        : micros(times.back() - times.front()) / 1000.0 - double(times.size() - 1) * nominalMs;
    // On a machine so loaded that the program waits a whole step or more for the processor,
    // ticks are missed (not made up) and the end comes late by whole steps: the clock's own
    // drift is what the ticks add beyond their whole steps.
    double phase = 0;
    int missed = 0;
    for (size_t i = 1; i < times.size(); ++i) {
        const double us = micros(times[i] - times[i - 1]);
        const long steps = std::max(1L, std::lround(us / (nominalMs * 1000.0)));
        missed += int(steps - 1);
        phase += us - double(steps) * nominalMs * 1000.0;
    }
    state.counters["MISSED_TICKS"] = missed;
    state.counters["PHASE_DRIFT_ms"] = phase / 1000.0;
}

}  // namespace bench_support
