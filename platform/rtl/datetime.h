#pragma once
// Dates and times: TDateTime counts days from 1899-12-30, the fraction is the time of day.

#include "platform/rtl/types.h"

// The program-wide date text settings (the program sets "mm/dd/yyyy" and '/').
extern String ShortDateFormat;
// The long form of a date ("dddd, mmmm d, yyyy").
extern String LongDateFormat;
extern char DateSeparator;
extern char TimeSeparator;
extern String ShortTimeFormat;
extern String LongTimeFormat;
extern String TimeAMString;
extern String TimePMString;
// "Jan".."Dec", "January".."December"; "Sun".."Sat", "Sunday".."Saturday".
extern String ShortMonthNames[12];
extern String LongMonthNames[12];
extern String ShortDayNames[7];
extern String LongDayNames[7];

bool IsLeapYear(int Year);
// Days of the month (28..31); 0 for a month outside 1..12.
int DaysInMonth(int Year, int Month);
// Raises EConvertError "Invalid argument to date encode" for an impossible date.
TDateTime EncodeDate(int Year, int Month, int Day);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
// Raises EConvertError "Invalid argument to time encode" outside 0..23:59:59.999.
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime Date);

// From the installed clock (clock.h).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// FormatDateTime(ShortDateFormat, Date).
String DateToStr(TDateTime Date);
// FormatDateTime("c", DateTime): the short date, then the long time when the value has one.
String DateTimeToStr(TDateTime DateTime);
// Fields in the order of ShortDateFormat, separated by DateSeparator; a two-digit
// year goes through TwoDigitYearCenturyWindow; without a year, the current one.
// Raises EConvertError "'S' is not a valid date".
TDateTime StrToDate(const String& S);
bool TryStrToDate(const String& S, TDateTime& Date);

// Patterns: c (short date and long time) d dd ddd dddd ddddd (short date) dddddd (long
// date) m mm mmm mmmm
// yy yyyy h hh n nn s ss z zzz t (short time) tt (long time) am/pm a/p ampm,
// / (DateSeparator), : (TimeSeparator), "quoted" and 'quoted' text; other characters as
// they stand. Letters are case-blind. An m or mm after h/hh is minutes.
String FormatDateTime(const String& Pattern, TDateTime DateTime);
