#include "datacontrols/datasets/dwrecordfilter.h"

namespace {

constexpr int EscapeCheckInterval = 100;
constexpr int CallCountWrap = 32000;

TdwEscapePoll& EscapePoll()
{
    static TdwEscapePoll poll;
    return poll;
}

}  // namespace

void dwSetEscapePoll(TdwEscapePoll Poll) { EscapePoll() = std::move(Poll); }

bool dwCancelFilterOnEscape() { return EscapePoll() && EscapePoll()(); }

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
