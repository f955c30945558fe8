#include "remote/polltimer.h"

namespace {
class TIdleTimer : public TPollTimer {
public:
    bool Enabled() const override { return FEnabled; }
    void SetEnabled(bool Value) override { FEnabled = Value; }

private:
    bool FEnabled = false;
};

TPollTimerMaker& Maker()
{
    static TPollTimerMaker maker;
    return maker;
}
}  // namespace

void SetPollTimerMaker(TPollTimerMaker Value) { Maker() = std::move(Value); }

std::unique_ptr<TPollTimer> MakePollTimer(unsigned Interval, std::function<void()> OnTimer)
{
    if (Maker())
        return Maker()(Interval, std::move(OnTimer));
    return std::make_unique<TIdleTimer>();
}
