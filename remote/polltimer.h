#pragma once
// The timer a server connection polls with. remote/ knows no window system:
// the program installs a maker of real timers at start-up, a test one of timers
// it ticks by hand. Without a maker a timer only keeps its state and never fires.

#include <functional>
#include <memory>

class TPollTimer {
public:
    virtual ~TPollTimer() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool Value) = 0;
};

// Makes a timer, disabled, that calls OnTimer every Interval milliseconds while enabled.
using TPollTimerMaker =
        std::function<std::unique_ptr<TPollTimer>(unsigned Interval, std::function<void()> OnTimer)>;

// Installs Maker for the timers made from now on; null restores the default.
void SetPollTimerMaker(TPollTimerMaker Maker);
std::unique_ptr<TPollTimer> MakePollTimer(unsigned Interval, std::function<void()> OnTimer);
