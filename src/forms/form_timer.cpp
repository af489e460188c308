#include "forms/form_timer.h"

#include <algorithm>

namespace forms {

namespace {
using Clock = TickSchedule::Clock;
using Ms = TickSchedule::Ms;
}  // namespace

TickSchedule::Arm TickSchedule::tickAt(Time now)
{
    const Time due = next();
    if (interval_ > Ms(0) && now - due >= interval_) {
        // Held up for a whole interval or more: a timer repeating by itself would count from
        // this late tick, so it waits once for the next tick of the grid.
        last_ = due + ((now - due) / interval_) * interval_;
        once_ = true;
        return Arm::NextOfGrid;
    }
    last_ = due;
    if (!once_) return Arm::AsIs;
    // The tick it waited for: from here it repeats by itself (off the grid by this tick's
    // lateness only, until the next change).
    once_ = false;
    return Arm::Repeat;
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
        arm(TickSchedule::Arm::NextOfGrid, Clock::now());
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
    arm(TickSchedule::Arm::Repeat, Clock::now());
}

void FormTimer::arm(TickSchedule::Arm how, TickSchedule::Time now)
{
    switch (how) {
    case TickSchedule::Arm::AsIs:
        break;
    case TickSchedule::Arm::Repeat:
        timer_.setSingleShot(false);
        timer_.start(interval_);
        break;
    case TickSchedule::Arm::NextOfGrid:
        timer_.setSingleShot(true);
        timer_.start(schedule_.waitFrom(now));
        break;
    }
}

void FormTimer::timeout()
{
    const auto now = Clock::now();
    arm(schedule_.tickAt(now), now);
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
