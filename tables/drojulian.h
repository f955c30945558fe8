#pragma once
// Julian day numbers, the engine's numeric form of a date: day 1721426 is
// 1 January of year 1 in the proleptic Gregorian calendar.

#include "platform/rtl/types.h"

// Days from 1 January of year 1 to 1 January of Year.
int YearToJulian(int Year);
// Month and day of the DayOfYear-th day of Year; false (0, 0) past the year's end.
bool MonthDay(int Year, int DayOfYear, int& Month, int& Day);
// Day of the year of the date; -1 for an impossible date.
int JulianDayYear(int Year, int Month, int Day);
// 0 and 1E+100 are the empty date (0); raises EDaroruError "Invalid Date value".
TDateTime JulianToDT(double Julian);
// -2.0 for year 0, -1.0 for a year before 1000 or an impossible day.
double DTtoJulian(TDateTime Date);
