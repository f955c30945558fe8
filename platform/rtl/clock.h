#pragma once
// The clock the date functions read; tests replace it with a fixed one.

#include <functional>

#include "platform/rtl/types.h"

using TClockFunction = std::function<TDateTime()>;

// The local time now as a TDateTime, from the installed clock.
TDateTime ClockNow();
// Installs a clock; an empty function restores the system clock.
void SetClock(TClockFunction Clock);
// The system's local time as a TDateTime.
TDateTime SystemClockNow();
