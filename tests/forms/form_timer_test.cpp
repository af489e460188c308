// The timer's schedule: ticks on a fixed grid, so clocks do not drift when their interval is
// set again, changed, or set to 0 and back within a tick.
#include "forms/form_timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using forms::TickSchedule;
using namespace std::chrono_literals;

const TickSchedule::Time T0 = TickSchedule::Time(1000s);

using Arm = TickSchedule::Arm;

TEST(TickSchedule, LateTicksKeepTheGridAndMissedTicksAreNotMadeUp)
{
    TickSchedule s;
    s.start(T0, 58ms);
    EXPECT_EQ(s.next(), T0 + 58ms);
    // A thousand ticks, each arriving 0.9 ms late, end exactly on the nominal time; the timer
    // repeats by itself all along.
    for (int i = 1; i <= 1000; ++i) EXPECT_EQ(s.tickAt(T0 + i * 58ms + 900us), Arm::AsIs);
    EXPECT_EQ(s.last(), T0 + 58000ms);
    // A tick held up for more than two intervals counts as the last grid point before it, and
    // the timer waits once for the next grid point, then repeats from there.
    EXPECT_EQ(s.tickAt(T0 + 58000ms + 3 * 58ms + 10ms), Arm::NextOfGrid);
    EXPECT_EQ(s.last(), T0 + 58000ms + 3 * 58ms);
    EXPECT_EQ(s.next(), T0 + 58000ms + 4 * 58ms);
    EXPECT_EQ(s.tickAt(T0 + 58000ms + 4 * 58ms + 1ms), Arm::Repeat);
    EXPECT_EQ(s.tickAt(T0 + 58000ms + 5 * 58ms + 1ms), Arm::AsIs);
    // One whole interval late is a missed tick as well; a tick a little early is the one due.
    s.start(T0, 10ms);
    EXPECT_EQ(s.tickAt(T0 + 20ms), Arm::NextOfGrid);
    EXPECT_EQ(s.last(), T0 + 20ms);
    EXPECT_EQ(s.tickAt(T0 + 29900us), Arm::Repeat);
    EXPECT_EQ(s.last(), T0 + 30ms);
    s.start(T0, 1ms);
    EXPECT_EQ(s.tickAt(T0 + 5ms), Arm::NextOfGrid);
    // A schedule without an interval has nothing to miss.
    s.start(T0, 0ms);
    EXPECT_EQ(s.tickAt(T0 + 5ms), Arm::AsIs);
}

TEST(TickSchedule, NewIntervalCountsFromTheLastTickAndWaitsRound)
{
    TickSchedule s;
    s.start(T0, 58ms);
    EXPECT_EQ(s.tickAt(T0 + 59ms), Arm::AsIs);
    s.change(107ms);
    EXPECT_EQ(s.next(), T0 + 58ms + 107ms);
    EXPECT_EQ(s.interval(), 107ms);
    EXPECT_EQ(s.waitFrom(T0 + 60ms), 105ms);
    EXPECT_EQ(s.waitFrom(T0 + 60400us), 105ms);   // 104.6 ms
    EXPECT_EQ(s.waitFrom(T0 + 60600us), 104ms);   // 104.4 ms
    EXPECT_EQ(s.waitFrom(T0 + 200ms), 0ms);       // already due
    // The tick it waited for: from there the timer repeats by itself.
    EXPECT_EQ(s.tickAt(T0 + 165500us), Arm::Repeat);
    EXPECT_EQ(s.tickAt(T0 + 272500us), Arm::AsIs);
    EXPECT_EQ(s.last(), T0 + 272ms);
    // Counting from now again ends the waiting.
    s.change(50ms);
    s.start(T0 + 300ms, 50ms);
    EXPECT_EQ(s.tickAt(T0 + 350ms), Arm::AsIs);
}

// True when `later` lies a whole number of intervals after `earlier`.
bool onGrid(TickSchedule::Time earlier, TickSchedule::Time later, std::chrono::milliseconds interval)
{
    const auto d = later - earlier;
    return d > 0ms && d % interval == 0ns;
}

TEST(FormTimer, SettingIntervalOrEnabledAgainKeepsTheScheduleAndRestartCountsFromNow)
{
    forms::FormTimer t(nullptr, 50, true);
    const auto due = t.nextTick();
    t.setInterval(50);
    t.setEnabled(true);
    EXPECT_EQ(t.nextTick(), due);
    // A new interval counts from the start of the schedule, not from now.
    t.setInterval(80);
    EXPECT_EQ(t.nextTick(), due - 50ms + 80ms);
    EXPECT_TRUE(t.running());
    const auto before = TickSchedule::Clock::now();
    t.restart();
    EXPECT_GE(t.nextTick(), before + 80ms);
    // Off and on again counts from now as well; interval 0 stops the ticks.
    const auto restarted = t.nextTick();
    t.setEnabled(false);
    t.setEnabled(true);
    EXPECT_GT(t.nextTick(), restarted);
    t.setInterval(0);
    EXPECT_FALSE(t.running());
}

TEST(FormTimer, TicksAreNotQueuedAndAnIntervalAfterAStopCountsFromNow)
{
    forms::FormTimer t(nullptr, 4, true);
    int ticks = 0, depth = 0, deepest = 0;
    t.onTick([&] {
        ++ticks;
        ++depth;
        deepest = std::max(deepest, depth);
        if (ticks == 1) {
            // A tick that sets a new interval and lets events run for several intervals: the
            // clock's ticks meanwhile are swallowed, not run inside it.
            t.setInterval(5);
            QElapsedTimer busy;
            busy.start();
            while (busy.elapsed() < 30) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        } else {
            t.setEnabled(false);
        }
        --depth;
    });
    QElapsedTimer clock;
    clock.start();
    while (ticks < 2 && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(deepest, 1);

    // Interval 0 stops it; a new interval set outside its ticks then counts from now.
    t.setEnabled(true);
    t.setInterval(0);
    const auto before = TickSchedule::Clock::now();
    t.setInterval(50);
    EXPECT_GE(t.nextTick(), before + 50ms);
}

TEST(FormTimer, RestartWhileWaitingForANewIntervalGoesOnTicking)
{
    forms::FormTimer t(nullptr, 5, true);
    t.setInterval(6);   // the timer waits once for the next tick of the schedule
    t.restart();        // and counts from now instead: it repeats by itself again
    int ticks = 0;
    t.onTick([&] {
        if (++ticks == 3) t.setEnabled(false);
    });
    QElapsedTimer clock;
    clock.start();
    while (ticks < 3 && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(ticks, 3);
}

TEST(FormTimer, ATimerWithoutAHandlerTicksHarmlessly)
{
    // Switched on before anything set its handler: it ticks on, nothing runs.
    forms::FormTimer t(nullptr, 1, true);
    t.tick();
    const auto first = t.nextTick();
    QElapsedTimer clock;
    clock.start();
    while (t.nextTick() == first && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GT(t.nextTick(), first);
}

TEST(FormTimer, IntervalChangedWithinItsOwnTickCountsFromThatTick)
{
    forms::FormTimer t(nullptr, 6, true);
    std::vector<TickSchedule::Time> due;
    int ticks = 0;
    t.onTick([&] {
        ++ticks;
        if (ticks == 2) {
            // The score clock's way through a command: interval 0, then the step again.
            t.setInterval(0);
            t.setInterval(6);
        } else if (ticks == 4) {
            t.setInterval(0);
            t.setInterval(9);
        } else if (ticks == 6) {
            t.setEnabled(false);
        }
        due.push_back(t.nextTick());
    });
    QElapsedTimer clock;
    clock.start();
    while (ticks < 6 && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(ticks, 6);
    EXPECT_TRUE(onGrid(due[0], due[1], 6ms));
    EXPECT_TRUE(onGrid(due[1], due[2], 6ms));
    // The new interval of 9 ms counts from the fourth tick, a point of the 6 ms grid.
    EXPECT_TRUE(due[3] - due[2] == 9ms || onGrid(due[2], due[3] - 9ms, 6ms));
    EXPECT_TRUE(onGrid(due[3], due[4], 9ms));
}

}  // namespace
