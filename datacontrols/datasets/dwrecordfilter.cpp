#include "datacontrols/datasets/dwrecordfilter.h"

#include "platform/vcl/forms/keypeek.h"
#include "platform/vcl/forms/keys.h"

namespace {

constexpr int EscapeCheckInterval = 100;
constexpr int CallCountWrap = 32000;

bool EscapeWaiting() { return KeyPressWaiting(VK_ESCAPE); }

TdwEscapePoll& EscapePoll()
{
    static TdwEscapePoll poll = EscapeWaiting;
    return poll;
}

}  // namespace

void dwSetEscapePoll(TdwEscapePoll Poll) { EscapePoll() = Poll ? std::move(Poll) : EscapeWaiting; }

bool dwCancelFilterOnEscape() { return EscapePoll()(); }

bool TdwRecordFilterCalls::Run(TdwOnFilterOptions& Options, const std::function<void(bool& Accept)>& Event,
                               const std::function<void()>& OnEscape)
{
    bool accept = true;
    FInCall = true;
    try {
        Event(accept);
    } catch (...) {
        FInCall = false;
        throw;
    }
    if (!accept && Options.Contains(ofoShowHourGlass) && !FHourGlass)
        FHourGlass = std::make_unique<TdwHourGlass>();
    if (Options.Contains(ofoCancelOnEscape)) {
        if (++FCallCount >= CallCountWrap)
            FCallCount = 0;
        if (FCallCount % EscapeCheckInterval == 0 && dwCancelFilterOnEscape()) {
            Options.Exclude(ofoEnabled);
            if (OnEscape)
                OnEscape();
        }
    }
    FInCall = false;
    return accept;
}
