#pragma once
// Text forms of field values: numbers as the N fields store them, dates as
// Julian day numbers, "yyyymmdd" and the date text of the current format.
// Nothing here depends on the C locale.

#include "platform/rtl/types.h"

struct Settings;

namespace fieldcodec {

// Julian day number of a calendar date (1 Jan 2000 = 2451545).
Integer JulianDay(int year, int month, int day);
void CalendarDate(Integer jdn, int& year, int& month, int& day);
bool ValidDate(int year, int month, int day);

// "yyyymmdd" of a day, "" for 0.
String Dtos(Integer jdn);
// A stored "yyyymmdd": true with the day (0 for blanks), false when malformed.
bool ParseDtos(const String& text, Integer& jdn);
// The date in the current format and century; an empty date gives blanks.
String DateText(Integer jdn, const Settings& settings);
// Date text in the current format, or "yyyymmdd"; blanks give 0.
bool ParseDateText(const String& text, const Settings& settings, Integer& jdn);

// VAL(): leading blanks, a sign, digits and one ".", stopping at anything else.
double Val(const String& text);
// The value right-aligned in width with the given decimals, rounded half
// away from zero; false when it does not fit.
bool FormatNumber(double value, int width, int decimals, String& out);
// The shortest text that reads back as value.
String NumberText(double value);

}  // namespace fieldcodec
