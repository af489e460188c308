#pragma once
// A window timer with classic semantics: Enabled plus Interval, Interval 0 means no ticks,
// setting Enabled = true on a running timer does not restart it, ticks are never queued.
//
// Its ticks keep to a fixed schedule so that a clock never drifts: giving a running timer the
// interval it already has changes nothing, and a new interval counts from the last scheduled
// tick, not from the moment it is set. A clock that counts from an event (the live clock at
// each key) calls restart(). Tests may call tick() to run one tick by hand.
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace forms {

// The nominal tick times of a periodic clock, a grid that starts at a moment and advances by
// the interval whatever the lateness of each real tick, and how the real timer is to be armed
// to keep to it. A timer that repeats by itself keeps its own grid; it is armed once for the
// next tick of the schedule when the interval changes or a tick was held up for a whole
// interval, and repeats by itself again from the tick that follows.
class TickSchedule {
public:
    using Clock = std::chrono::steady_clock;
    using Time = Clock::time_point;
    using Ms = std::chrono::milliseconds;

    // What the real timer does after a tick.
    enum class Arm {
        AsIs,        // it repeats by itself
        Repeat,      // it repeats at the interval from now on
        NextOfGrid,  // it waits once for the next tick of the schedule: waitFrom(now)
    };

    // Counts from `now`: the first tick is due one interval later; the timer repeats by itself.
    void start(Time now, Ms interval)
    {
        last_ = now;
        interval_ = interval;
        once_ = false;
    }
    // A new interval counts from the last tick (or from the start): the timer waits once for
    // the next tick, waitFrom(now).
    void change(Ms interval)
    {
        interval_ = interval;
        once_ = true;
    }
    // A tick came at `now`: it is the next one due, or, when whole intervals have passed since
    // that one, the last grid point before `now` (missed ticks are not made up).
    Arm tickAt(Time now);

    Time last() const { return last_; }
    Time next() const { return last_ + interval_; }
    Ms interval() const { return interval_; }
    // From `now` to the next tick, rounded to the nearest millisecond, never negative.
    Ms waitFrom(Time now) const;

private:
    Time last_{};
    Ms interval_{0};
    bool once_ = false;   // the timer waits once for a tick of the schedule
};

class FormTimer : public QObject {
    Q_OBJECT
public:
    explicit FormTimer(QObject* parent = nullptr, int interval = 0, bool enabled = false);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    int interval() const { return interval_; }
    void setInterval(int ms);
    // Counts the interval again from now; a clock that measures from an event (the live clock
    // at each key) calls it. Does nothing while the timer is off.
    void restart();
    // True while the timer really ticks (enabled with a nonzero interval).
    bool running() const { return timer_.isActive(); }
    // How often the timer has been switched off; a handler compares it to learn whether the
    // timer was stopped meanwhile, even if something switched it on again since.
    int switchOffs() const { return switchOffs_; }
    // When the next tick is due (meaningful while the timer runs).
    TickSchedule::Time nextTick() const { return schedule_.next(); }

    // The handler run on each tick.
    void onTick(std::function<void()> handler) { handler_ = std::move(handler); }
    // Runs one tick now, as the clock would (also when the timer is off). For tests.
    void tick();

private:
    bool shouldRun() const { return enabled_ && interval_ > 0; }
    // Starts the schedule from now.
    void startCounting();
    // Arms timer_ as the schedule says.
    void arm(TickSchedule::Arm how, TickSchedule::Time now);
    void timeout();

    QTimer timer_;
    TickSchedule schedule_;
    bool enabled_ = false;
    int interval_ = 0;
    int switchOffs_ = 0;
    bool inTick_ = false;
    bool inClockTick_ = false;   // a tick of the real clock is running
    std::function<void()> handler_;
};

}  // namespace forms
