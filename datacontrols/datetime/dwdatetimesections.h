#pragma once
// The text of a date/time picker and its sections. One formatter makes the text and
// records where each day, month, year, hour, minute, second and AM/PM section lies in
// it, so that the sections always match the text shown.

#include <vector>

#include "platform/rtl/types.h"

// What the picker edits: decided from the field's type or UnboundDataType.
enum class TdwDTValueKind { DateTime, Date, Time };

enum class TdwDTSectionType { Day, DayName, Month, MonthName, Year, Hour, Minute, Second, AmPm };

struct TdwDTSection {
    TdwDTSectionType Type;
    // Letters of the token: 1..4 for days and months, 2 or 4 for years, 1 or 2 for
    // hours, minutes and seconds; for AM/PM 5 ("am/pm"), 3 ("a/p") or 4 ("ampm").
    int TokenLength = 0;
    // 0-based position and length in the text.
    int Start = 0;
    int Length = 0;
};

struct TdwDTLayout {
    String Text;
    // Only the sections the kind edits, left to right.
    std::vector<TdwDTSection> Sections;
    // The format shows an AM/PM token: hours run 1..12.
    bool TwelveHour = false;
};

// "c", "dddddd", "ddddd", "tt" and "t" replaced by the formats they stand for.
String dwExpandDateTimeFormat(const String& Format);
// After expansion it holds a day, month or year token.
bool dwFormatHasDateTokens(const String& Format);
// It holds "h", "n", "s", "t" or "c".
bool dwFormatHasTimeTokens(const String& Format);
// The format is "c", the short date with the time when there is one.
bool dwIsDefaultDateTimeFormat(const String& Format);

// Value as the format shows it. Under the default date-time format the time is left
// out at midnight unless ShowMidnightTime.
TdwDTLayout dwLayoutDateTime(const String& Format, TDateTime Value, TdwDTValueKind Kind,
                             bool ShowMidnightTime = false);

// The section is one of the date's or the time's.
bool dwIsDateSection(TdwDTSectionType Type);
