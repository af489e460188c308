// WAV effect keys: a press of "Ins" delivered to the key catcher with a 10-minute effect WAV
// under "音效". Reported as counters (milliseconds): how long the key handler holds the window's
// thread, and how long until the effect's first sound comes out of the mixer; for the first
// press of the file and for a press of the same file again.
#include "keyboard/form1.h"
#include "keyboard/program.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/audio_engine.h"
#include "platform/capture_midi_service.h"
#include "platform/wave_player.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A 16-bit stereo PCM WAV of a 440 Hz tone at 44.1 kHz, `seconds` long.
bool writeToneWav(const QString& path, int seconds)
{
    constexpr int kRate = 44100;
    const uint32_t frames = uint32_t(kRate) * uint32_t(seconds);
    const uint32_t dataBytes = frames * 4;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    auto u32 = [&f](uint32_t v) {
        const uint32_t le = qToLittleEndian(v);
        f.write(reinterpret_cast<const char*>(&le), 4);
    };
    auto u16 = [&f](uint16_t v) {
        const uint16_t le = qToLittleEndian(v);
        f.write(reinterpret_cast<const char*>(&le), 2);
    };
    f.write("RIFF", 4);
    u32(36 + dataBytes);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    f.write("data", 4);
    u32(dataBytes);
    // One second of the tone, written again and again (440 Hz fits a second whole).
    QByteArray second(kRate * 4, Qt::Uninitialized);
    auto* pcm = reinterpret_cast<int16_t*>(second.data());
    for (int i = 0; i < kRate; ++i) {
        const auto v = int16_t(8000 * std::sin(2 * M_PI * 440.0 * i / kRate));
        pcm[2 * i] = qToLittleEndian(v);
        pcm[2 * i + 1] = qToLittleEndian(v);
    }
    for (int s = 0; s < seconds; ++s)
        if (f.write(second) != second.size()) return false;
    return true;
}

// Renders the mix until something sounds; the time it took, or a negative value after 20 s.
double untilSound(Clock::time_point from)
{
    std::vector<float> buffer(platform::AudioEngine::kBufferFrames * 2);
    const auto limit = from + std::chrono::seconds(20);
    while (Clock::now() < limit) {
        platform::AudioEngine::instance().render(buffer.data(), platform::AudioEngine::kBufferFrames);
        for (float v : buffer)
            if (std::abs(v) > 1e-4f) return millis(Clock::now() - from);
    }
    return -1;
}

void effectKeyToSound(benchmark::State& state)
{
    QTemporaryDir folder;
    QDir().mkpath(folder.path() + QStringLiteral("/演奏记录"));
    QDir().mkpath(folder.path() + QStringLiteral("/音效"));
    const QString name = QStringLiteral("十分钟.wav");
    if (!writeToneWav(folder.path() + QStringLiteral("/音效/") + name, 600)) {
        state.SkipWithError("cannot write the 10-minute WAV");
        return;
    }
    keyboard::setProgramFolder(folder.path());
    keyboard::setEndProgramHandler([] {});
    midi::resetState();
    platform::CaptureMidiService captured;
    platform::setMidiService(&captured);
    testing_support::ScriptedDialogs dialogs;
    auto form = std::make_unique<keyboard::Form1>();
    form->Show();
    form->SFYXYZ->setFocus();
    midi::state().EffectWavNames[0] = name;
    // The mixer is rendered here, not by the sound device.
    platform::AudioEngine::instance().ensureOutput();
    platform::AudioEngine::instance().setOutputPaused(true);

    int press = 0;
    for (auto _ : state) {
        QKeyEvent ins(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier);
        const auto start = Clock::now();
        QCoreApplication::sendEvent(form->SFYXYZ, &ins);
        const double handler = millis(Clock::now() - start);
        const double sound = untilSound(start);
        state.SetIterationTime((sound > 0 ? sound : handler) / 1000.0);
        const char* which = press++ == 0 ? "first" : "again";
        state.counters[std::string(which) + "_handler_ms"] = handler;
        state.counters[std::string(which) + "_sound_ms"] = sound;
        platform::PlaySoundFile(QString(), 0);
    }

    platform::AudioEngine::instance().setOutputPaused(false);
    form.reset();
    platform::setMidiService(nullptr);
    keyboard::setEndProgramHandler(nullptr);
    keyboard::setProgramFolder(QString());
}

}  // namespace

BENCHMARK(effectKeyToSound)->Name("effects/key_to_sound/10min_wav")->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
