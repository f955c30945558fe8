#pragma once
// The record-filter event of the library's data sets: what each call of it does
// besides deciding on the record, shared by the table and the query.

#include <functional>
#include <memory>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwutils.h"

// Whether Esc waits in the keyboard queue; the record filter asks every 100th record.
// The program looks at the input waiting for it (KeyPressWaiting); a null poll puts
// that back.
using TdwEscapePoll = std::function<bool()>;
void dwSetEscapePoll(TdwEscapePoll Poll);
bool dwCancelFilterOnEscape();

class TdwRecordFilterCalls {
public:
    // A call is in progress (the event reads records itself, which must not filter again).
    bool InCall() const { return FInCall; }
    // Calls Event for one record: the hourglass shows from the first record refused
    // (with ofoShowHourGlass) until the read ends, and with ofoCancelOnEscape every
    // 100th call asks for Esc, which takes ofoEnabled out of Options and calls OnEscape.
    bool Run(TdwOnFilterOptions& Options, const std::function<void(bool& Accept)>& Event,
             const std::function<void()>& OnEscape);
    // The read that called the event has ended.
    void ReadEnded() { FHourGlass.reset(); }

private:
    bool FInCall = false;
    int FCallCount = 0;
    std::unique_ptr<TdwHourGlass> FHourGlass;
};
