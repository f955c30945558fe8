#pragma once
// Editing a date/time value one section at a time: the keys' effects on the value,
// without any control. The picker owns one and turns keys into its calls.

#include "datacontrols/datetime/dwdatetimesections.h"

// What one edit did.
enum class TdwDTEditResult {
    None,      // nothing to do (the key does not apply here)
    Changed,   // the value, or the digits typed so far, changed
    Rejected,  // refused: the caller beeps
};

struct TdwDTEditRules {
    TdwDTValueKind Kind = TdwDTValueKind::DateTime;
    // The format the text and its sections follow; MidnightFormat, when set, instead
    // for a value without time of day.
    String Format = "c";
    String MidnightFormat;
    // 0 is no limit.
    TDateTime MinDate = 0;
    TDateTime MaxDate = 0;
    // First year of the 100 years that two-digit years fall in.
    int Epoch = 1950;
    int MinutesInterval = 1;
    bool RoundMinutes = false;
    // 1 = Sunday .. 7 = Saturday.
    int FirstDayOfWeek = 1;
    // A completed section moves on to the next.
    bool AutoAdvance = true;
};

class TdwDateTimeSectionEditor {
public:
    TdwDTEditRules Rules;
    // The value; Null shows an empty text.
    TDateTime Value = 0;
    bool Null = true;
    // The value when the control was entered: a typed year 0 keeps its year.
    TDateTime EntryValue = 0;
    // 1-based.
    int Section = 1;
    // The default date-time format shows the time also at midnight.
    bool ShowMidnightTime = false;

    // The text as shown, the digits typed so far in place of their section.
    TdwDTLayout Layout() const;
    bool IsEmpty() const;
    int SectionCount() const { return static_cast<int>(Layout().Sections.size()); }
    // The current section's type; false when the text has none.
    bool CurrentSection(TdwDTSection& Result) const;
    bool Pending() const { return !FTyped.empty(); }

    // The limits in force: 1899-12-31 and 9999-12-31 stand in for none.
    TDateTime EffectiveMinDate() const;
    TDateTime EffectiveMaxDate() const;
    bool WithinLimits(TDateTime Date) const;

    // The digits typed so far become the section's part.
    void FoldPending();
    // Starts an empty value from Start.
    void StartFrom(TDateTime Start);

    TdwDTEditResult MoveLeft();
    TdwDTEditResult MoveRight();
    // Up (+1) and Down (-1) on the current section.
    TdwDTEditResult Step(int Direction);
    TdwDTEditResult Home();
    TdwDTEditResult End();
    TdwDTEditResult TypeDigit(int Digit);
    TdwDTEditResult TypeLetter(char Letter);
    // Delete: see the rules in the implementation.
    TdwDTEditResult Clear();
    void SetValue(TDateTime NewValue);

private:
    struct TParts {
        int Year, Month, Day, Hour, Minute, Second, MSec;
    };
    TParts Decode() const;
    String CurrentFormat() const;
    TdwDTLayout BaseLayout() const;
    // Puts the parts together; false (the value kept) when the date leaves the limits.
    bool Rebuild(TParts Parts);
    TdwDTEditResult Complete(TdwDTSectionType Type, int TokenLength, int Number);
    TdwDTEditResult CompleteDay(int Day);
    TdwDTEditResult CompleteMonth(int Month);
    // Rebuilds from a checked part, refusing (not dropping) a date beyond the limits.
    TdwDTEditResult Checked(const TParts& Parts);
    TdwDTEditResult Advance();
    TdwDTEditResult StepDate(TdwDTSectionType Type, int Direction);
    TdwDTEditResult MoveDays(int Days);
    bool SectionBefore(TdwDTSectionType First, TdwDTSectionType Second) const;
    int HourInHalf(int Typed) const;
    // The first day of the week holding Date.
    TDateTime WeekStart(TDateTime Date) const;

    String FTyped;
};

// The year after Year (Year + 4 down to a multiple of 4) that is a leap year.
int dwNextLeapYear(int Year);
