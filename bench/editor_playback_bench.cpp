// The score editor's playback: one step at its worst (chords after chords on all seven rows, all
// five percussion rows hitting, the beat accents: about 500 messages) on the capture service and
// on the built-in synthesizer, against the shortest step of 58 ms at tempo 255; a step that
// begins a measure with a header (header applied, view shown); "从开始处启动" on a full piece
// of 625 measures at 2/4, from the press to the first message; and the step clock against its
// nominal interval at 58 and 188 ms over 1000 ticks.
#include "bench_window.h"
#include "editor/editor_fields.h"
#include "editor/yybj.h"

#include <QEventLoop>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace bench_support;

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
    auto& s = midi::state();
    static const char* const chords[2] = {"CC", "FF"};
    for (int c = 0; c < measures * 16; ++c) {
        for (int r = 0; r < 7; ++r) s.CellTokens[r][c] = QString::fromLatin1(chords[(c + r) % 2]);
        for (int r = 7; r < 12; ++r) s.CellTokens[r][c] = QStringLiteral("O");
    }
    s.MeasureTotal = measures - 1;
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

}  // namespace

BENCHMARK(worstStepCapture)->Name("editor/worst_step/capture")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(worstStepSynth)->Name("editor/worst_step/synth")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(headerStep)->Name("editor/measure_with_header_step")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(startFullPiece)->Name("editor/start_full_piece_625_measures")->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(clockAccuracy)->Name("editor/step_clock_accuracy")->Arg(255)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
