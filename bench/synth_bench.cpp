// The built-in synthesizer and the MIDI service: render cost per audio buffer, cost per short
// message, and frames from a note-on to its first sound.
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"
#include "platform/capture_midi_service.h"
#include "platform/midi_service.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using platform::AudioEngine;
using platform::BuiltinSynth;

constexpr double kBufferSeconds = double(AudioEngine::kBufferFrames) / AudioEngine::kRate;

void send(int status, int d1, int d2)
{
    const uint8_t bytes[3] = {uint8_t(status), uint8_t(d1), uint8_t(d2)};
    BuiltinSynth::instance().send(bytes, (status & 0xF0) == 0xC0 ? 2 : 3);
}

// Three melody layers (channel 2 also an octave lower), a four-note chord on the two chord
// voices and three drums, as the main window plays them.
void strikeFullAccompaniment()
{
    for (int ch = 0; ch < 3; ++ch) send(0x90 + ch, 60, 100);
    send(0x92, 48, 100);
    for (int note : {48, 52, 55}) send(0x93, note, 80);
    send(0x94, 60, 80);
    for (int drum : {36, 38, 42}) send(0x99, drum, 100);
}

// Loads the synthesizer and holds the output device, so that only the benchmark renders.
class SynthBench {
public:
    explicit SynthBench(benchmark::State& state)
    {
        ready_ = BuiltinSynth::instance().load();
        if (!ready_) state.SkipWithError(BuiltinSynth::instance().error().toStdString().c_str());
        AudioEngine::instance().setOutputPaused(true);
    }
    ~SynthBench()
    {
        BuiltinSynth::instance().allSoundOff();
        AudioEngine::instance().setOutputPaused(false);
    }
    explicit operator bool() const { return ready_; }

private:
    bool ready_;
};

void BM_SynthRenderBuffer(benchmark::State& state)
{
    SynthBench bench(state);
    if (!bench) return;
    send(0xC0, 0, 0);    // piano
    send(0xC1, 48, 0);   // strings
    send(0xC2, 73, 0);   // flute
    send(0xC3, 24, 0);   // guitar
    send(0xC4, 32, 0);   // bass
    std::vector<float> out(AudioEngine::kBufferFrames * AudioEngine::kChannels);
    int buffer = 0;
    double rendering = 0;
    for (auto _ : state) {
        // A new note and beat every 100 buffers (about half a second) keeps everything sounding.
        if (buffer++ % 100 == 0) strikeFullAccompaniment();
        const auto start = std::chrono::steady_clock::now();
        AudioEngine::instance().render(out.data(), AudioEngine::kBufferFrames);
        rendering += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(out.data());
    }
    // Render time as a percentage of the buffer's own duration (100 = all of real time).
    state.counters["percent_of_buffer"] = 100 * rendering / (kBufferSeconds * double(state.iterations()));
}
BENCHMARK(BM_SynthRenderBuffer);

void BM_SendShortMsgCapture(benchmark::State& state)
{
    midi::resetState();
    platform::CaptureMidiService capture;
    platform::setMidiService(&capture);
    uint32_t h = 0;
    capture.open(-1, h);
    midi::state().MidiOutHandle = int32_t(h);
    int n = 0;
    for (auto _ : state) {
        midi::SendShortMsg(0x90, 60, 100);
        if (++n % 4096 == 0) capture.clear();
    }
    platform::setMidiService(nullptr);
    midi::resetState();
}
BENCHMARK(BM_SendShortMsgCapture);

// A batch of short messages handed to the built-in synthesizer's queue between two audio
// buffers: the time is the batch's pushes, the items are its messages. The buffer rendered after
// each batch (the audio thread's part: it takes the queued messages) is not timed, and costs
// thousands of times more than the pushes; so the batches are counted out, not left to the
// runner's minimum time, which would ask for millions of them.
void BM_SendShortMsgSynth(benchmark::State& state)
{
    SynthBench bench(state);
    if (!bench) return;
    midi::resetState();
    platform::setMidiService(nullptr);
    uint32_t h = 0;
    platform::midiService().open(-1, h);
    midi::state().MidiOutHandle = int32_t(h);
    std::vector<float> out(AudioEngine::kBufferFrames * AudioEngine::kChannels);
    const int batch = int(state.range(0));
    const uint64_t droppedBefore = BuiltinSynth::instance().overflows();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < batch / 2; ++i) {
            midi::SendShortMsg(0x90, 60 + i, 100);
            midi::SendShortMsg(0x80, 60 + i, 0);
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        AudioEngine::instance().render(out.data(), AudioEngine::kBufferFrames);
    }
    state.SetItemsProcessed(state.iterations() * batch);
    state.counters["dropped"] = double(BuiltinSynth::instance().overflows() - droppedBefore);
    platform::midiService().close(h);
    midi::resetState();
}
BENCHMARK(BM_SendShortMsgSynth)->ArgName("batch")->Arg(8)->Iterations(10000)->UseManualTime();

// Frames from a note-on to the first output sample above -60 dB, inside the engine (the
// device's own buffering comes on top).
void BM_NoteOnToFirstSound(benchmark::State& state)
{
    SynthBench bench(state);
    if (!bench) return;
    send(0xC0, 0, 0);
    std::vector<float> out(AudioEngine::kBufferFrames * AudioEngine::kChannels);
    double frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BuiltinSynth::instance().allSoundOff();
        for (int i = 0; i < 200; ++i) AudioEngine::instance().render(out.data(), AudioEngine::kBufferFrames);
        state.ResumeTiming();
        send(0x90, 69, 100);
        for (int rendered = 0; rendered < AudioEngine::kRate; rendered += AudioEngine::kBufferFrames) {
            AudioEngine::instance().render(out.data(), AudioEngine::kBufferFrames);
            int first = -1;
            for (int i = 0; i < AudioEngine::kBufferFrames && first < 0; ++i)
                if (std::abs(out[2 * i]) > 1e-3f) first = i;
            if (first >= 0) {
                frames += rendered + first;
                break;
            }
        }
        send(0x80, 69, 0);
    }
    state.counters["frames_to_sound"] = frames / double(state.iterations());
}
BENCHMARK(BM_NoteOnToFirstSound)->Iterations(50);

// Mixed after the synthesizer, it sees the output of each device callback and notes when the
// first sound arrives after it was armed.
class SoundProbe : public platform::AudioSource {
public:
    std::atomic<bool> armed{false};
    std::atomic<std::chrono::steady_clock::rep> heardAt{0};
    bool sounding() const override { return false; }   // it only listens
    void mixInto(float* out, int frames) override
    {
        if (!armed) return;
        for (int i = 0; i < frames * AudioEngine::kChannels; ++i) {
            if (std::abs(out[i]) > 1e-3f) {
                heardAt = std::chrono::steady_clock::now().time_since_epoch().count();
                armed = false;
                return;
            }
        }
    }
};

// Microseconds from a note-on handed to the synthesizer to the end of the device callback that
// carries its first sound: the engine's share of key-to-sound (the device's own buffering comes
// on top), with the output running, and resting after a quiet spell.
void BM_NoteOnToDeviceBuffer(benchmark::State& state, bool fromRest)
{
    if (!BuiltinSynth::instance().load()) {
        state.SkipWithError(BuiltinSynth::instance().error().toStdString().c_str());
        return;
    }
    AudioEngine& engine = AudioEngine::instance();
    if (!engine.ensureOutput()) {
        state.SkipWithError("no audio output");
        return;
    }
    SoundProbe probe;
    engine.addSource(&probe);
    send(0xC0, 0, 0);
    std::vector<double> samples;
    int n = 0, resting = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BuiltinSynth::instance().allSoundOff();
        // Let the reverb tail die away, at a varying phase against the device's buffers.
        std::this_thread::sleep_for(std::chrono::microseconds(250000 + 397 * (n++ % 17)));
        if (fromRest) {
            engine.setRestAfter(std::chrono::milliseconds(100));
            for (int i = 0; i < 1000 && !engine.resting(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            resting += engine.resting() ? 1 : 0;
            // The buffer during which it came to rest still plays; the callback waits after it.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        probe.heardAt = 0;
        probe.armed = true;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        send(0x90, 69, 100);
        while (probe.heardAt == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        const auto heard = std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(probe.heardAt.load()));
        const double us = probe.heardAt ? std::chrono::duration<double, std::micro>(heard - start).count() : 1e6;
        state.SetIterationTime(us / 1e6);
        samples.push_back(us);
        send(0x80, 69, 0);
    }
    probe.armed = false;
    engine.setRestAfter(std::chrono::milliseconds(2000));
    engine.removeSource(&probe);
    BuiltinSynth::instance().allSoundOff();
    std::sort(samples.begin(), samples.end());
    state.counters["median_us"] = samples.empty() ? 0 : samples[samples.size() / 2];
    state.counters["worst_us"] = samples.empty() ? 0 : samples.back();
    state.counters["buffer_us"] = 1e6 * kBufferSeconds;
    state.counters["from_rest"] = resting;
}
BENCHMARK_CAPTURE(BM_NoteOnToDeviceBuffer, running, false)->Name("engine/note_to_device_buffer/running")->Iterations(20)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NoteOnToDeviceBuffer, resting, true)->Name("engine/note_to_device_buffer/resting")->Iterations(20)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
