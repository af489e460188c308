// Live playing: a key press delivered to the key catcher until the last MIDI message of its note
// is handed to the MIDI service, on scores of several lengths, and the live clock's tick times
// at tempo 130 against the nominal step. Reported as counters (microseconds): median and worst
// of the key path and of the whole key handler, mean error, jitter and worst error of the clock.
// The presses come a millisecond apart, as a player's keys come apart, so the window's thread
// waits between them as it does in the program. For a loaded machine the key path also counts
// the presses during which the window's thread waited (for a lock: it gave up the processor)
// or was put off the processor by the scheduler, and gives the worst of the presses with neither.
#include "bench_window.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using namespace bench_support;

// A recorded score of about `length` characters: notes of the middle and high registers with
// the lengths a player's score has.
QString recordedScore(int length)
{
    static const char* const tokens[] = {"KC", "KD", "KE", "KF", "KG", "KA", "KB", "HC", "HD", "HE"};
    static const int lengths[] = {4, 2, 2, 6, 4, 8, 2, 12};
    QString score;
    for (int i = 0;; ++i) {
        QString next = QString::fromLatin1(tokens[i % 10]);
        if (i > 0) next.prepend(QString::number(lengths[i % 8]));
        if (score.size() + next.size() > length) break;
        score += next;
    }
    return score;
}

// The window thread's voluntary (it waited) and involuntary (the scheduler took the processor)
// context switches so far.
std::pair<long, long> threadSwitches()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return {u.ru_nvcsw, u.ru_nivcsw};
}

void keyToLastMessage(benchmark::State& state, bool capture)
{
    Window w(capture);
    keyboard::Form1& f = *w.form;
    auto& s = midi::state();
    const QString base = recordedScore(int(state.range(0)));
    auto restart = [&] {
        s.ScoreText = base;
        f.ShowScoreText();
        w.captured().clear();
    };
    restart();
    std::vector<double> toLast, handler;
    double worstUndisturbed = 0;
    int presses = 0, waited = 0, preempted = 0;
    for (auto _ : state) {
        // Two note keys in turn, each a new note of the take; every 100 presses the score goes
        // back to its starting length, so it stays between that and about 400 characters more.
        QKeyEvent press(QEvent::KeyPress, presses % 2 ? Qt::Key_H : Qt::Key_G, Qt::NoModifier);
        const auto switches = threadSwitches();
        const auto start = Clock::now();
        QCoreApplication::sendEvent(f.SFYXYZ, &press);
        const auto end = Clock::now();
        const auto after = threadSwitches();
        const double us = micros(w.service().lastSend - start);
        const bool didWait = after.first != switches.first, wasPreempted = after.second != switches.second;
        waited += didWait ? 1 : 0;
        preempted += wasPreempted ? 1 : 0;
        if (!didWait && !wasPreempted) worstUndisturbed = std::max(worstUndisturbed, us);
        state.SetIterationTime(us / 1e6);
        toLast.push_back(us);
        handler.push_back(micros(end - start));
        if (++presses % 100 == 0) restart();
        // A player's keys come apart: the window's thread waits for the next one, as it does
        // in the program (and the audio thread renders meanwhile).
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::sort(toLast.begin(), toLast.end());
    std::sort(handler.begin(), handler.end());
    state.counters["median_us"] = percentile(toLast, 50);
    state.counters["p99_us"] = percentile(toLast, 99);
    state.counters["worst_us"] = toLast.empty() ? 0 : toLast.back();
    state.counters["handler_median_us"] = percentile(handler, 50);
    state.counters["presses_waited"] = waited;
    state.counters["presses_preempted"] = preempted;
    state.counters["worst_undisturbed_us"] = worstUndisturbed;
    state.counters["score_chars"] = double(base.size());
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
        reportClockTicks(state, times, nominalMs);
    }
}

}  // namespace

BENCHMARK_CAPTURE(keyToLastMessage, capture, true)->Name("live/key_to_last_message/capture")->ArgName("score_chars")
    ->Arg(0)->Arg(1500)->Arg(6000)->Arg(12000)->Iterations(3000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(keyToLastMessage, synth, false)->Name("live/key_to_last_message/synth")->ArgName("score_chars")
    ->Arg(0)->Arg(1500)->Arg(6000)->Arg(12000)->Iterations(3000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(clockTickAccuracy)->Name("live/clock_tick_accuracy/tempo130")->Iterations(1)->Unit(benchmark::kMillisecond);
