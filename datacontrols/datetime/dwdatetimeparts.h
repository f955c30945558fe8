#pragma once
// The day and the time of day of a TDateTime, and the two put together again.

#include <cmath>

#include "platform/rtl/types.h"

inline TDateTime dwDayOf(TDateTime Value) { return std::trunc(Value); }

inline TDateTime dwTimeOfDay(TDateTime Value) { return std::fabs(Value - std::trunc(Value)); }

// Dates before 1899-12-30 count their time of day backwards.
inline TDateTime dwComposeDateTime(TDateTime Day, TDateTime Time)
{
    return Day < 0 ? Day - Time : Day + Time;
}
