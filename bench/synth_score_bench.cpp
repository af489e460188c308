// The built-in synthesizer under a real load: a 30-second score played by the main window at
// tempo 130 with the default layers (synth strings, tubular bells, whistle) and the automatic
// accompaniment (the first rhythm file and the chords). The score clock is stepped by hand and
// the mix rendered in between, as the audio thread would render it; reported: processor time of
// the rendering thread per 256-frame buffer (mean, 99th percentile, as a share of one core; the
// wall time as well, which a loaded machine stretches), the most voices sounding
// at once, and the synthesizer's "Exceeded finished voices" errors, also in the two seconds
// after the stop.
#include "bench_window.h"

#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <ctime>
#include <fluidsynth.h>
#include <vector>

namespace {

using namespace bench_support;
using platform::AudioEngine;

int g_exceeded = 0;

// Processor time of the calling thread, in microseconds.
double threadMicros()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

void countErrors(int level, const char* message, void*)
{
    if (std::strstr(message, "Exceeded finished voices")) ++g_exceeded;
    fluid_default_log_function(level, message, nullptr);
}

// About `seconds` of a melody at tempo 130 (58 ms a tick), in eighths and quarters, after the
// tempo and the first rhythm file.
QString scoreOf(double seconds)
{
    static const char* const phrase = "KE2KEKFKGKGKFKEKDKCKCKDKEKE3KD1KD4";   // 34 ticks
    QString score = QStringLiteral("VS19JP1");
    for (int ticks = 0; ticks * 0.058 < seconds; ticks += 34) score += QString::fromLatin1(phrase);
    return score + QStringLiteral("TZ");
}

void scoreRender(benchmark::State& state)
{
    if (!platform::BuiltinSynth::instance().load()) {
        state.SkipWithError(platform::BuiltinSynth::instance().error().toStdString().c_str());
        return;
    }
    Window w(false, true);
    keyboard::Form1& f = *w.form;
    // Only this benchmark renders: the output device is held.
    AudioEngine::instance().setOutputPaused(true);
    fluid_synth_t* synth = platform::BuiltinSynth::instance().synth();
    g_exceeded = 0;
    fluid_set_log_function(FLUID_ERR, countErrors, nullptr);

    constexpr double kSeconds = 30;
    const double buffersPerTick = 0.058 * AudioEngine::kRate / AudioEngine::kBufferFrames;
    std::vector<float> out(AudioEngine::kBufferFrames * AudioEngine::kChannels);
    std::vector<double> costs;
    double wall = 0;
    int peakVoices = 0, exceededAtStop = 0;
    for (auto _ : state) {
        costs.clear();
        wall = 0;
        f.Text3->setPlainText(scoreOf(kSeconds));
        f.Yuepu_Click(0);   // "试听"
        double due = 0;
        auto renderFor = [&](double buffers) {
            for (due += buffers; due >= 1; due -= 1) {
                const auto start = Clock::now();
                const double cpu = threadMicros();
                AudioEngine::instance().render(out.data(), AudioEngine::kBufferFrames);
                costs.push_back(threadMicros() - cpu);
                wall += micros(Clock::now() - start);
                peakVoices = std::max(peakVoices, fluid_synth_get_active_voice_count(synth));
            }
        };
        while (f.Auditioning) {
            f.Timer3->tick();
            renderFor(buffersPerTick);
        }
        const int before = g_exceeded;
        renderFor(2.0 * AudioEngine::kRate / AudioEngine::kBufferFrames);   // the release after the stop
        exceededAtStop = g_exceeded - before;
        const double total = [&] { double t = 0; for (double c : costs) t += c; return t; }();
        state.SetIterationTime(total / 1e6);
    }
    fluid_set_log_function(FLUID_ERR, fluid_default_log_function, nullptr);
    AudioEngine::instance().setOutputPaused(false);

    std::sort(costs.begin(), costs.end());
    double mean = 0;
    for (double c : costs) mean += c;
    mean /= double(std::max<size_t>(1, costs.size()));
    const double bufferUs = 1e6 * AudioEngine::kBufferFrames / AudioEngine::kRate;
    state.counters["buffers"] = double(costs.size());
    state.counters["mean_us"] = mean;
    state.counters["wall_mean_us"] = wall / double(std::max<size_t>(1, costs.size()));
    state.counters["p99_us"] = percentile(costs, 99);
    state.counters["core_percent"] = 100 * mean / bufferUs;
    state.counters["peak_voices"] = peakVoices;
    state.counters["exceeded_msgs"] = g_exceeded;
    state.counters["exceeded_at_stop"] = exceededAtStop;
    state.counters["boxes"] = double(w.dialogs.messages.size());
}

}  // namespace

BENCHMARK(scoreRender)->Name("synth/score_render/tempo130_default_layers")->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
