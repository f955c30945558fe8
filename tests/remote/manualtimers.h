#pragma once
// Poll timers that a test ticks by hand: while an object of this class lives,
// every timer made is one of them.

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "remote/polltimer.h"

class TManualTimers {
public:
    class TTimer : public TPollTimer {
    public:
        TTimer(TManualTimers& Owner, unsigned Interval, std::function<void()> OnTimer)
            : FOwner(Owner), FInterval(Interval), FOnTimer(std::move(OnTimer))
        {
            FOwner.FTimers.push_back(this);
        }
        ~TTimer() override { std::erase(FOwner.FTimers, this); }
        // Read by the test server's thread while a request runs.
        bool Enabled() const override { return FEnabled; }
        void SetEnabled(bool Value) override { FEnabled = Value; }
        void Fire()
        {
            if (FEnabled)
                FOnTimer();
        }
        unsigned Interval() const { return FInterval; }

    private:
        TManualTimers& FOwner;
        unsigned FInterval;
        std::atomic<bool> FEnabled {false};
        std::function<void()> FOnTimer;
    };

    TManualTimers()
    {
        SetPollTimerMaker([this](unsigned Interval, std::function<void()> OnTimer) {
            return std::make_unique<TTimer>(*this, Interval, std::move(OnTimer));
        });
    }
    ~TManualTimers() { SetPollTimerMaker(nullptr); }
    TManualTimers(const TManualTimers&) = delete;
    TManualTimers& operator=(const TManualTimers&) = delete;

    // The timers alive, oldest first.
    const std::vector<TTimer*>& Timers() const { return FTimers; }
    // One interval passes: every enabled timer fires.
    void Tick()
    {
        for (TTimer* timer : std::vector<TTimer*>(FTimers))
            timer->Fire();
    }

private:
    std::vector<TTimer*> FTimers;
};
