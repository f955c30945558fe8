#pragma once
// A timer that fires OnTimer every Interval milliseconds while enabled.

#include <memory>

#include "platform/classes/component.h"
#include "platform/classes/events.h"

class QTimer;

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    String ClassName() const override { return "TTimer"; }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; 0 stops the timer.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void Update();

    std::unique_ptr<QTimer> FTimer;
    bool FEnabled = true;
    unsigned FInterval = 1000;
};
