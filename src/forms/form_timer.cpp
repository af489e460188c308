#include "forms/form_timer.h"

namespace forms {

FormTimer::FormTimer(QObject* parent, int interval, bool enabled) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!inTick_) tick();   // a tick still running swallows the next: ticks are not queued
    });
    interval_ = interval;
    enabled_ = enabled;
    apply(true);
}

void FormTimer::setEnabled(bool on)
{
    if (on == enabled_) return;
    enabled_ = on;
    if (!on) ++switchOffs_;
    apply(true);
}

void FormTimer::setInterval(int ms)
{
    interval_ = ms < 0 ? 0 : ms;
    apply(true);
}

void FormTimer::restart()
{
    if (enabled_ && interval_ > 0) timer_.start(interval_);
}

void FormTimer::apply(bool restart)
{
    if (enabled_ && interval_ > 0) {
        if (restart || !timer_.isActive()) timer_.start(interval_);
    } else {
        timer_.stop();
    }
}

void FormTimer::tick()
{
    if (!handler_) return;
    inTick_ = true;
    handler_();
    inTick_ = false;
}

}  // namespace forms
