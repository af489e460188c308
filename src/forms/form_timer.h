#pragma once
// A window timer with classic semantics: Enabled plus Interval, Interval 0 means no ticks,
// setting Interval restarts the count, setting Enabled = true on a running timer does not.
// Ticks are never queued. Tests may call tick() to run one tick by hand.
#include <QObject>
#include <QTimer>
#include <functional>

namespace forms {

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

    // The handler run on each tick.
    void onTick(std::function<void()> handler) { handler_ = std::move(handler); }
    // Runs one tick now, as the clock would (also when the timer is off). For tests.
    void tick();

private:
    void apply(bool restart);

    QTimer timer_;
    bool enabled_ = false;
    int interval_ = 0;
    int switchOffs_ = 0;
    bool inTick_ = false;
    std::function<void()> handler_;
};

}  // namespace forms
