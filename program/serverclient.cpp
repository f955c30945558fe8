#include "program/serverclient.h"

#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/timer.h"
#include "remote/drconn.h"
#include "remote/polltimer.h"

namespace {
class TWindowPollTimer : public TPollTimer {
public:
    TWindowPollTimer(unsigned Interval, std::function<void()> OnTimer) : FTimer(nullptr)
    {
        FTimer.SetEnabled(false);
        FTimer.SetInterval(Interval);
        FTimer.OnTimer = [OnTimer = std::move(OnTimer)](TObject*) { OnTimer(); };
    }
    bool Enabled() const override { return FTimer.Enabled(); }
    void SetEnabled(bool Value) override { FTimer.SetEnabled(Value); }

private:
    TTimer FTimer;
};
}  // namespace

void InstallServerClientServices()
{
    SetPollTimerMaker([](unsigned Interval, std::function<void()> OnTimer) {
        return std::make_unique<TWindowPollTimer>(Interval, std::move(OnTimer));
    });
    SetConnectionErrorBox([](const String& Text) { ShowMessage(Text); });
}
