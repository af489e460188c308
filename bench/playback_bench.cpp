// Automatic score playback: a score of 1000 one-tick notes played through the real score clock
// at tempo 130. Every token reads the next one and sets the clock again, so a clock that
// restarts at each token falls behind by the tick's lateness and the handler's time every
// tick. Reported: mean and 99th-percentile error of a tick against the nominal step, and the
// drift of the last tick against the nominal end. Also the window thread's processor time per
// token while scores of 1, 16 and 128 KB play: each token shows its position in the score box.
#include "bench_window.h"

#include <QEventLoop>
#include <QTest>
#include <benchmark/benchmark.h>
#include <ctime>
#include <vector>

namespace {

using namespace bench_support;

void scoreClockAccuracy(benchmark::State& state)
{
    constexpr int kTicks = 1000;
    Window w(true);
    keyboard::Form1& f = *w.form;
    f.SD->setCurrentIndex(f.SD->findText(QStringLiteral("130")));
    const int nominalMs = midi::state().StepMs;   // 58 ms at tempo 130
    static const char* const notes[] = {"KC", "KE", "KG", "HC", "KG", "KE"};
    QString score;
    for (int i = 0; i < kTicks; ++i) score += QString::fromLatin1(notes[i % 6]) + QStringLiteral("1");
    score += QStringLiteral("TZ");

    for (auto _ : state) {
        std::vector<Clock::time_point> times;
        times.reserve(kTicks + 2);
        QEventLoop loop;
        f.Timer3->onTick([&] {
            times.push_back(Clock::now());
            f.Timer3_Timer();
            if (!f.Auditioning) loop.quit();
        });
        f.Text3->setPlainText(score);
        f.Yuepu_Click(0);   // "试听"
        loop.exec();
        f.Timer3->onTick([&f] { f.Timer3_Timer(); });

        reportClockTicks(state, times, nominalMs);
    }
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// "试听" pressed on a score of `kilobytes` KB of one-tick notes at tempo 130; the window thread's
// processor time over 100 tokens after the first 10, on the built-in synthesizer.
void windowCpuPerToken(benchmark::State& state)
{
    constexpr int kWarmup = 10, kTokens = 100;
    Window w(false);
    keyboard::Form1& f = *w.form;
    f.SD->setCurrentIndex(f.SD->findText(QStringLiteral("130")));
    static const char* const notes[] = {"KC1", "KE1", "KG1", "HC1", "KG1", "KE1"};
    QString score;
    for (int i = 0; score.size() + 3 <= state.range(0) * 1024 - 2; ++i) score += QString::fromLatin1(notes[i % 6]);
    score += QStringLiteral("TZ");
    f.Text3->setPlainText(score);
    for (auto _ : state) {
        int ticks = 0;
        double from = 0, to = 0;
        QEventLoop loop;
        f.Timer3->onTick([&] {
            if (ticks == kWarmup) from = threadCpuMs();
            f.Timer3_Timer();
            if (++ticks == kWarmup + kTokens) {
                to = threadCpuMs();
                loop.quit();
            }
        });
        QTest::mouseClick(f.Yuepu[0], Qt::LeftButton);   // "试听"
        loop.exec();
        QTest::mouseClick(f.Yuepu[0], Qt::LeftButton);   // "停止"
        f.Timer3->onTick([&f] { f.Timer3_Timer(); });
        state.SetIterationTime((to - from) / 1000 / kTokens);
        state.counters["cpu_ms_per_token"] = (to - from) / kTokens;
        state.counters["score_chars"] = double(score.size());
    }
}

}  // namespace

BENCHMARK(windowCpuPerToken)->Name("playback/window_cpu_per_token")->ArgName("score_kb")->Arg(1)->Arg(16)->Arg(128)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(scoreClockAccuracy)->Name("playback/score_clock_accuracy/tempo130")->Iterations(1)->Unit(benchmark::kMillisecond);
