// The score editor's playback: one step at its worst (chords after chords on all seven rows, all
// five percussion rows hitting, the beat accents: about 500 messages) on the capture service and
// on the built-in synthesizer, against the shortest step of 58 ms at tempo 255; a step that
// begins a measure with a header (header applied, view shown); "从开始处启动" on a full piece
// of 625 measures at 2/4, from the press to the first message; and the step clock against its
// nominal interval at 58 and 188 ms over 1000 ticks. And the audio callback while the worst
// piece plays on the built-in synthesizer at 58 ms a step: how long the synthesizer's part of a
// callback takes at most, whether it ever waits for the window's thread.
#include "bench_window.h"
#include "child_process.h"
#include "editor/editor_fields.h"
#include "editor/yybj.h"
#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <ctime>
#include <vector>

namespace {

using namespace bench_support;
using bench_child::childBenchmark;

// The main window with the editor opened by "编辑".
struct EditorWindow {
    explicit EditorWindow(bool capture) : w(capture)
    {
        editor::resetFields();
        QTest::mouseClick(w.form->BJCK, Qt::LeftButton);
        w.dialogs.messages.clear();
    }
    ~EditorWindow()
    {
        if (ed.isOpen()) {
            ed.StopStepClock();
            ed.close();
        }
    }
    Window w;
    editor::YYBJ ed;
};

// A piece of `measures` measures at 2/4: every melody row changes chord on every step, every
// percussion row hits on every step.
void fillWorstPiece(int measures)
{
    auto& p = editor::piece();
    static const char* const chords[2] = {"CC", "FF"};
    for (int c = 0; c < measures * 16; ++c) {
        for (int r = 0; r < 7; ++r) p.CellTokens[r][c] = QString::fromLatin1(chords[(c + r) % 2]);
        for (int r = 7; r < 12; ++r) p.CellTokens[r][c] = QStringLiteral("O");
    }
    p.MeasureTotal = measures - 1;
}

// Counts the messages of one tick through the timed service.
class CountingService : public TimedMidiService {
public:
    using TimedMidiService::TimedMidiService;
    int sent = 0;
    Clock::time_point firstSend{};
    uint32_t shortMsg(uint32_t handle, uint32_t packed) override
    {
        if (sent++ == 0) firstSend = Clock::now();
        return TimedMidiService::shortMsg(handle, packed);
    }
};

void worstStep(benchmark::State& state, bool capture)
{
    EditorWindow e(capture);
    editor::YYBJ& ed = e.ed;
    fillWorstPiece(1);
    CountingService counting(platform::midiService());
    platform::setMidiService(&counting);
    ed.ST2->setChecked(true);   // plays from the start: tables prepared, cell 0 sounded
    auto& s = midi::state();
    int iteration = 0;
    for (auto _ : state) {
        s.CurStep = int16_t(1 + iteration++ % 15);   // a step inside the measure
        s.StepsLeft = 100;
        counting.sent = 0;
        const auto start = Clock::now();
        ed.YYDS->tick();
        benchmark::DoNotOptimize(s.CurStep);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["messages"] = counting.sent;
    state.counters["shortest_step_ms"] = 58;
    ed.ST2->setChecked(false);
    platform::setMidiService(&e.w.service());
}

void worstStepCapture(benchmark::State& state) { worstStep(state, true); }
void worstStepSynth(benchmark::State& state) { worstStep(state, false); }

void headerStep(benchmark::State& state)
{
    EditorWindow e(true);
    editor::YYBJ& ed = e.ed;
    fillWorstPiece(40);
    auto& f = editor::fields();
    // Two sets of settings, every measure with a header of one or the other.
    for (int m = 0; m < 40; ++m) {
        ed.HScroll1->setMaximum(40);
        ed.HScroll1->setValue(m);
        ed.DQYD->setCurrentIndex(m % 2 ? 7 : 0);
        ed.DQSUDU->setEditText(m % 2 ? QStringLiteral("100") : QStringLiteral("80"));
        for (int r = 0; r < 12; ++r) ed.SYYQ[r]->setCurrentIndex(m % 2 ? 5 + r : 1 + r);
        ed.BCXJ();
    }
    ed.HScroll1->setValue(0);
    ed.ST2->setChecked(true);
    auto& s = midi::state();
    int m = 1;
    for (auto _ : state) {
        s.CurStep = int16_t(16 * m);
        s.StepsLeft = 100;
        f.AppliedMeasure = int16_t(m - 1);
        const auto start = Clock::now();
        ed.YYDS->tick();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        m = m % 38 + 1;
    }
    ed.ST2->setChecked(false);
}

void startFullPiece(benchmark::State& state)
{
    EditorWindow e(true);
    editor::YYBJ& ed = e.ed;
    fillWorstPiece(625);
    CountingService counting(platform::midiService());
    platform::setMidiService(&counting);
    for (auto _ : state) {
        counting.sent = 0;
        const auto press = Clock::now();
        QTest::mouseClick(ed.ST2, Qt::LeftButton);
        state.SetIterationTime(std::chrono::duration<double>(counting.firstSend - press).count());
        state.counters["whole_press_ms"] = micros(Clock::now() - press) / 1000.0;
        state.PauseTiming();
        QTest::mouseClick(ed.ST2, Qt::LeftButton);   // stop
        state.ResumeTiming();
    }
    platform::setMidiService(&e.w.service());
}

void clockAccuracy(benchmark::State& state)
{
    constexpr int kTicks = 1000;
    const int tempo = int(state.range(0));   // 0: as the editor opens, 188 ms
    EditorWindow e(true);
    editor::YYBJ& ed = e.ed;
    fillWorstPiece(70);   // 1120 cells: more than the ticks
    if (tempo > 0) ed.DQSUDU->setEditText(QString::number(tempo));
    const int nominalMs = midi::state().StepMs;
    for (auto _ : state) {
        std::vector<Clock::time_point> times;
        times.reserve(kTicks + 1);
        QEventLoop loop;
        ed.YYDS->onTick([&] {
            times.push_back(Clock::now());
            ed.YYDS_Timer();
            if (int(times.size()) >= kTicks) loop.quit();
        });
        ed.ST2->setChecked(true);
        loop.exec();
        ed.ST2->setChecked(false);
        ed.YYDS->onTick([&ed] { ed.YYDS_Timer(); });
        reportClockTicks(state, times, nominalMs);
    }
}

double threadCpuMicros()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// The synthesizer's part of each device callback (its messages taken, its buffer rendered):
// its time, and the audio thread's processor time in it. The difference is time the thread
// waited, for a lock or for a processor.
struct CallbackTimes {
    explicit CallbackTimes(size_t n) : starts(n), cpuStarts(n), spans(n), cpu(n) {}
    std::vector<Clock::time_point> starts;
    std::vector<double> cpuStarts, spans, cpu;
};

// Mixed just before (`start`) or just after the synthesizer.
class CallbackProbe : public platform::AudioSource {
public:
    CallbackProbe(CallbackTimes& times, bool start) : times_(times), start_(start) {}
    std::atomic<size_t> count{0};
    bool sounding() const override { return false; }   // it only looks at the clock
    void mixInto(float*, int) override
    {
        const size_t i = count.load();
        if (i >= times_.spans.size()) return;
        if (start_) {
            times_.starts[i] = Clock::now();
            times_.cpuStarts[i] = threadCpuMicros();
        } else {
            times_.spans[i] = micros(Clock::now() - times_.starts[i]);
            times_.cpu[i] = threadCpuMicros() - times_.cpuStarts[i];
        }
        count = i + 1;
    }

private:
    CallbackTimes& times_;
    bool start_;
};

// Messages the built-in synthesizer dropped for want of room; -1 where it has no queue.
template <class Synth>
double droppedMessages(const Synth& synth)
{
    if constexpr (requires { synth.overflows(); }) {
        return double(synth.overflows());
    } else {
        return -1;
    }
}

// In a process of its own, so that the probes mix around the synthesizer: the worst piece
// played by the editor's step clock at 58 ms a step for 10 s.
bench_child::Figures callbackDuringEditorSteps()
{
    using platform::AudioEngine;
    constexpr int kSeconds = 10;
    const size_t buffers = size_t(kSeconds + 2) * AudioEngine::kRate / AudioEngine::kBufferFrames;
    CallbackTimes times(buffers);
    CallbackProbe before(times, true), after(times, false);
    AudioEngine& engine = AudioEngine::instance();
    engine.addSource(&before);
    platform::BuiltinSynth& synth = platform::BuiltinSynth::instance();
    engine.addSource(&after);

    bench_child::Figures figures;
    {
        EditorWindow e(false);
        editor::YYBJ& ed = e.ed;
        fillWorstPiece(70);   // 1120 steps: more than are played
        ed.DQSUDU->setEditText(QStringLiteral("255"));
        CountingService counting(platform::midiService());
        platform::setMidiService(&counting);
        int steps = 0;
        ed.YYDS->onTick([&] {
            ++steps;
            ed.YYDS_Timer();
        });
        const double dropped = droppedMessages(synth);
        QEventLoop loop;
        QTimer::singleShot(kSeconds * 1000, &loop, &QEventLoop::quit);
        const size_t first = after.count.load();
        ed.ST2->setChecked(true);
        loop.exec();
        ed.ST2->setChecked(false);
        const size_t last = std::min(before.count.load(), after.count.load());
        ed.YYDS->onTick([&ed] { ed.YYDS_Timer(); });
        platform::setMidiService(&e.w.service());

        std::vector<double> played, cpu;
        double longestGap = 0, longestWait = 0;
        int late = 0;
        const double bufferUs = 1e6 * AudioEngine::kBufferFrames / AudioEngine::kRate;
        for (size_t i = first; i < last; ++i) {
            played.push_back(times.spans[i]);
            cpu.push_back(times.cpu[i]);
            longestWait = std::max(longestWait, times.spans[i] - times.cpu[i]);
            if (i == first) continue;
            const double gap = micros(times.starts[i] - times.starts[i - 1]);
            longestGap = std::max(longestGap, gap);
            if (gap > 2 * bufferUs) ++late;
        }
        std::sort(played.begin(), played.end());
        std::sort(cpu.begin(), cpu.end());
        figures = {{"ms", played.empty() ? 0 : played.back() / 1000},
                   {"longest_us", played.empty() ? 0 : played.back()},
                   {"longest_cpu_us", cpu.empty() ? 0 : cpu.back()},
                   {"longest_wait_us", longestWait},
                   {"p99_us", percentile(played, 99)},
                   {"median_us", percentile(played, 50)},
                   {"callbacks", double(played.size())},
                   {"late_callbacks", late},
                   {"longest_gap_ms", longestGap / 1000},
                   {"steps", steps},
                   {"messages_per_step", steps ? double(counting.sent) / steps : 0},
                   {"overflows", dropped < 0 ? -1 : droppedMessages(synth) - dropped}};
    }
    engine.removeSource(&before);
    engine.removeSource(&after);
    return figures;
}

const bool registered = bench_child::add("callback-during-editor-steps", callbackDuringEditorSteps);

}  // namespace

BENCHMARK_CAPTURE(childBenchmark, callback, "callback-during-editor-steps")
    ->Name("engine/callback_during_editor_steps/58ms_10s")->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(worstStepCapture)->Name("editor/worst_step/capture")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(worstStepSynth)->Name("editor/worst_step/synth")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(headerStep)->Name("editor/measure_with_header_step")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(startFullPiece)->Name("editor/start_full_piece_625_measures")->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(clockAccuracy)->Name("editor/step_clock_accuracy")->Arg(255)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
