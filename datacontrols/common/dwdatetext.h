#pragma once
// Whether typed text is a date, time, date-time, integer or float, its value, and
// which date or time element lies under the caret. Dates follow the run-time
// library's regional settings (ShortDateFormat, DateSeparator, TimeSeparator, the AM
// and PM texts, ShortMonthNames). Positions are 1-based.

#include "platform/rtl/types.h"

// The pivot of two-digit years unless a caller gives another.
constexpr int dwDefaultEpoch = 1950;

// Date orders, from the first of D, M or Y in ShortDateFormat.
enum TdwDateOrder { doMDY = 0, doDMY = 1, doYMD = 2 };
TdwDateOrder dwDateOrder();

// Elements under the caret.
enum TdwDateTimeElement {
    deDay = 0,
    deMonth = 1,
    deYear = 2,
    deHour = 3,
    deMinute = 4,
    deSecond = 5,
    deAMPM = 6
};

// Reads a date at Pos: two or three numbers (or three-letter month names) between
// date separators, blanks allowed before each element and skipped after the date.
// Without a year the current one applies; 0..99 fall in the 100 years from Epoch.
// On success Pos is past what was read.
bool dwScanDate(const String& Text, int& Pos, TDateTime& Date, int Epoch = dwDefaultEpoch);
// Reads hours, minutes, optional seconds and an optional AM/PM designator at Pos.
bool dwScanTime(const String& Text, int& Pos, TDateTime& Time);

// The whole text must be read.
bool dwIsValidDate(const String& Text);
bool dwIsValidTime(const String& Text);
bool dwIsValidDateTime(const String& Text);
// Empty, or digits with an optional leading '-' that fit a 32-bit integer.
bool dwIsValidInteger(const String& Text);
// Empty, or a number StrToFloat reads.
bool dwIsValidFloat(const String& Text);

// A date read from the start of Text; the rest may be anything.
bool dwParseDate(const String& Text, TDateTime& Date);
bool dwParseDateWithEpoch(const String& Text, TDateTime& Date, int Epoch);
// The value, or 0 when the text does not qualify. dwTextToDate reads from the start;
// the other two need the whole text.
TDateTime dwTextToDate(const String& Text);
TDateTime dwTextToTime(const String& Text);
TDateTime dwTextToDateTime(const String& Text);

// The element under the caret; CaretPos is the position of the character after it.
TdwDateTimeElement dwDateTimeElementAt(int CaretPos, const String& Text, bool TimeOnly);
TdwDateTimeElement dwTimeElementAt(int CaretPos, const String& Text);

// 1..12 for a short month name (ignoring case), 0 otherwise.
int dwMonthFromName(const String& Name);
// The year of the local clock.
int dwGetCurrentYear();
