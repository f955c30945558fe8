#pragma once
// Number text without the C locale: STR(), VAL() and decimal rounding.

#include <string_view>

#include "platform/rtl/types.h"

namespace xbexpr {

// The value with exactly `decimals` places (0 or more), rounded half away from
// zero on its 15-significant-digit form; "" for an infinite or NaN value.
String FormatFixed(double value, int decimals);
// ROUND(): decimals may be negative (ROUND(1250, -2) is 1300).
double RoundHalfAway(double value, int decimals);
// STR(): right-aligned in `width`, fewer decimals when they do not fit,
// asterisks when the integer part does not fit.
String StrOf(double value, int width, int decimals);
// VAL(): leading blanks, a sign, digits and a decimal part; stops at anything else.
double ValOf(std::string_view text);

}  // namespace xbexpr
