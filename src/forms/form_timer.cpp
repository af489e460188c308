#include "forms/form_timer.h"

#include <algorithm>

namespace forms {

namespace {
using Clock = TickSchedule::Clock;
using Ms = TickSchedule::Ms;
}  // namespace

bool TickSchedule::tickAt(Time now)
{
    Time due = next();
    const bool missed = interval_ > Ms(0) && now - due >= interval_;
    if (missed) due += ((now - due) / interval_) * interval_;
    last_ = due;
    return missed;
}

TickSchedule::Ms TickSchedule::waitFrom(Time now) const
{
    const auto wait = next() - now;
    return wait <= Clock::duration(0) ? Ms(0) : std::chrono::round<Ms>(wait);
}

FormTimer::FormTimer(QObject* parent, int interval, bool enabled) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { timeout(); });
    interval_ = std::max(interval, 0);
    enabled_ = enabled;
    if (shouldRun()) startCounting();
}

void FormTimer::setEnabled(bool on)
{
    if (on == enabled_) return;
    enabled_ = on;
    if (!on) {
        ++switchOffs_;
        timer_.stop();
    } else if (shouldRun()) {
        startCounting();
    }
}

void FormTimer::setInterval(int ms)
{
    ms = std::max(ms, 0);
    if (ms == interval_) return;   // a running timer keeps its schedule
    // A schedule is under way while the timer runs, and during its own tick, which may have
    // set the interval to 0 a moment ago on its way to the next one.
    const bool underWay = timer_.isActive() || inClockTick_;
    interval_ = ms;
    if (!shouldRun()) {
        timer_.stop();
    } else if (underWay) {
        schedule_.change(Ms(interval_));
        armNextTick(Clock::now());
    } else {
        startCounting();
    }
}

void FormTimer::restart()
{
    if (shouldRun()) startCounting();
}

void FormTimer::startCounting()
{
    schedule_.start(Clock::now(), Ms(interval_));
    firstShot_ = false;
    timer_.setSingleShot(false);
    timer_.start(interval_);
}

void FormTimer::armNextTick(TickSchedule::Time now)
{
    firstShot_ = true;
    timer_.setSingleShot(true);
    timer_.start(schedule_.waitFrom(now));
}

void FormTimer::timeout()
{
    const auto now = Clock::now();
    if (schedule_.tickAt(now)) {
        // Held up for a whole interval or more: the timer repeating by itself would count from
        // this late tick, so the next one is armed from the schedule.
        armNextTick(now);
    } else if (firstShot_) {
        // The first tick of a new interval: from here the timer repeats at the interval by
        // itself (off the schedule by this tick's lateness only, until the next change).
        firstShot_ = false;
        timer_.setSingleShot(false);
        timer_.start(interval_);
    }
    if (inTick_) return;   // a tick still running swallows this one: ticks are not queued
    inClockTick_ = true;
    tick();
    inClockTick_ = false;
}

void FormTimer::tick()
{
    if (!handler_) return;
    inTick_ = true;
    handler_();
    inTick_ = false;
}

}  // namespace forms
