// Automatic score playback: a score of 1000 one-tick notes played through the real score clock
// at tempo 130. Every token reads the next one and sets the clock again, so a clock that
// restarts at each token falls behind by the tick's lateness and the handler's time every
// tick. Reported: mean and 99th-percentile error of a tick against the nominal step, and the
// drift of the last tick against the nominal end.
#include "bench_window.h"

#include <QEventLoop>
#include <benchmark/benchmark.h>
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

}  // namespace

BENCHMARK(scoreClockAccuracy)->Name("playback/score_clock_accuracy/tempo130")->Iterations(1)->Unit(benchmark::kMillisecond);
