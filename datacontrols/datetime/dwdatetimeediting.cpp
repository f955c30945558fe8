#include "datacontrols/datetime/dwdatetimeediting.h"
#include "datacontrols/datetime/dwdatetimeparts.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/rtl/twodigityear.h"

namespace {

char Upper(char C) { return static_cast<char>(std::toupper(static_cast<unsigned char>(C))); }

bool IsTwoDigitSection(const TdwDTSection& Section)
{
    switch (Section.Type) {
    case TdwDTSectionType::Day:
    case TdwDTSectionType::Month:
    case TdwDTSectionType::Hour:
    case TdwDTSectionType::Minute:
    case TdwDTSectionType::Second: return true;
    case TdwDTSectionType::Year: return Section.TokenLength == 2;
    default: return false;
    }
}

}  // namespace

int dwNextLeapYear(int Year)
{
    int year = (Year + 4) / 4 * 4;
    if (!IsLeapYear(year))
        year += 4;
    return year;
}

// ---- what is shown

String TdwDateTimeSectionEditor::CurrentFormat() const
{
    if (!Rules.MidnightFormat.empty() && dwTimeOfDay(Value) == 0)
        return Rules.MidnightFormat;
    return Rules.Format;
}

bool TdwDateTimeSectionEditor::IsEmpty() const
{
    return Null || (dwDayOf(Value) == 0 && Rules.Kind != TdwDTValueKind::Time);
}

TdwDTLayout TdwDateTimeSectionEditor::BaseLayout() const
{
    if (IsEmpty())
        return {};
    return dwLayoutDateTime(CurrentFormat(), Value, Rules.Kind, ShowMidnightTime);
}

TdwDTLayout TdwDateTimeSectionEditor::Layout() const
{
    TdwDTLayout layout = BaseLayout();
    const size_t index = static_cast<size_t>(Section - 1);
    if (FTyped.empty() || index >= layout.Sections.size())
        return layout;
    // The typed digits stand in place of their section until it is complete.
    TdwDTSection& current = layout.Sections[index];
    layout.Text.replace(static_cast<size_t>(current.Start), static_cast<size_t>(current.Length), FTyped);
    const int shift = static_cast<int>(FTyped.size()) - current.Length;
    current.Length = static_cast<int>(FTyped.size());
    for (size_t k = index + 1; k < layout.Sections.size(); ++k)
        layout.Sections[k].Start += shift;
    return layout;
}

bool TdwDateTimeSectionEditor::CurrentSection(TdwDTSection& Result) const
{
    const TdwDTLayout layout = BaseLayout();
    if (Section < 1 || Section > static_cast<int>(layout.Sections.size()))
        return false;
    Result = layout.Sections[static_cast<size_t>(Section - 1)];
    return true;
}

bool TdwDateTimeSectionEditor::SectionBefore(TdwDTSectionType First, TdwDTSectionType Second) const
{
    const TdwDTLayout layout = BaseLayout();
    auto find = [&](TdwDTSectionType Type) {
        return std::find_if(layout.Sections.begin(), layout.Sections.end(), [&](const TdwDTSection& Section) {
            return Section.Type == Type ||
                   (Type == TdwDTSectionType::Month && Section.Type == TdwDTSectionType::MonthName) ||
                   (Type == TdwDTSectionType::Day && Section.Type == TdwDTSectionType::DayName);
        });
    };
    const auto first = find(First);
    const auto second = find(Second);
    return first != layout.Sections.end() && second != layout.Sections.end() && first < second;
}

// ---- limits and parts

TDateTime TdwDateTimeSectionEditor::EffectiveMinDate() const
{
    return Rules.MinDate != 0 ? dwDayOf(Rules.MinDate) : EncodeDate(1899, 12, 31);
}

TDateTime TdwDateTimeSectionEditor::EffectiveMaxDate() const
{
    return Rules.MaxDate != 0 ? dwDayOf(Rules.MaxDate) : EncodeDate(9999, 12, 31);
}

bool TdwDateTimeSectionEditor::WithinLimits(TDateTime Date) const
{
    const TDateTime day = dwDayOf(Date);
    return day >= EffectiveMinDate() && day <= EffectiveMaxDate();
}

TdwDateTimeSectionEditor::TParts TdwDateTimeSectionEditor::Decode() const
{
    TParts parts {};
    DecodeDate(Value, parts.Year, parts.Month, parts.Day);
    DecodeTime(Value, parts.Hour, parts.Minute, parts.Second, parts.MSec);
    return parts;
}

bool TdwDateTimeSectionEditor::Rebuild(TParts Parts)
{
    TDateTime time = 0;
    if (!TryEncodeTime(Parts.Hour, Parts.Minute, Parts.Second, Parts.MSec, time))
        return false;
    if (Rules.Kind == TdwDTValueKind::Time) {
        Value = dwComposeDateTime(dwDayOf(Value), time);
        return true;
    }
    if (Parts.Month < 1 || Parts.Month > 12 || Parts.Year < 1 || Parts.Year > 9999)
        return false;
    Parts.Day = std::clamp(Parts.Day, 1, DaysInMonth(Parts.Year, Parts.Month));
    const TDateTime result = dwComposeDateTime(EncodeDate(Parts.Year, Parts.Month, Parts.Day), time);
    if (!WithinLimits(result))
        return false;
    Value = result;
    return true;
}

TdwDTEditResult TdwDateTimeSectionEditor::Checked(const TParts& Parts)
{
    return Rebuild(Parts) ? Advance() : TdwDTEditResult::Rejected;
}

void TdwDateTimeSectionEditor::SetValue(TDateTime NewValue)
{
    Value = NewValue;
    FTyped.clear();
    const int count = SectionCount();
    Section = std::clamp(Section, 1, std::max(count, 1));
}

void TdwDateTimeSectionEditor::StartFrom(TDateTime Start)
{
    Null = false;
    Value = Start;
    Section = 1;
    FTyped.clear();
}

// ---- moving between sections

TdwDTEditResult TdwDateTimeSectionEditor::MoveLeft()
{
    FoldPending();
    Section = std::max(1, Section - 1);
    return TdwDTEditResult::Changed;
}

TdwDTEditResult TdwDateTimeSectionEditor::MoveRight()
{
    FoldPending();
    const int count = SectionCount();
    if (Section < count) {
        ++Section;
    } else if (Rules.Kind == TdwDTValueKind::DateTime && dwIsDefaultDateTimeFormat(CurrentFormat()) &&
               !ShowMidnightTime && dwTimeOfDay(Value) == 0 && !IsEmpty()) {
        // The time part shows from midnight of the day.
        ShowMidnightTime = true;
        Section = std::min(count + 1, SectionCount());
    }
    return TdwDTEditResult::Changed;
}

TdwDTEditResult TdwDateTimeSectionEditor::Advance()
{
    if (Rules.AutoAdvance && FTyped.empty() && Section < SectionCount())
        ++Section;
    return TdwDTEditResult::Changed;
}

// ---- Up, Down, Home, End

TdwDTEditResult TdwDateTimeSectionEditor::MoveDays(int Days)
{
    const TDateTime moved = dwComposeDateTime(dwDayOf(Value) + Days, dwTimeOfDay(Value));
    if (!WithinLimits(moved))
        return TdwDTEditResult::None;
    Value = moved;
    return TdwDTEditResult::Changed;
}

TDateTime TdwDateTimeSectionEditor::WeekStart(TDateTime Date) const
{
    const int weekday = DayOfWeek(Date);
    return dwDayOf(Date) - (weekday - Rules.FirstDayOfWeek + 7) % 7;
}

TdwDTEditResult TdwDateTimeSectionEditor::StepDate(TdwDTSectionType Type, int Direction)
{
    TParts parts = Decode();
    switch (Type) {
    case TdwDTSectionType::Day: return MoveDays(Direction);
    case TdwDTSectionType::DayName: {
        const int offset = static_cast<int>(dwDayOf(Value) - WeekStart(Value));
        if (Direction > 0 && offset == 6)
            return MoveDays(-6);
        if (Direction < 0 && offset == 0)
            return MoveDays(6);
        return MoveDays(Direction);
    }
    case TdwDTSectionType::Month:
    case TdwDTSectionType::MonthName:
    case TdwDTSectionType::Year: {
        const int months = Type == TdwDTSectionType::Year ? 12 * Direction : Direction;
        const int total = parts.Year * 12 + (parts.Month - 1) + months;
        parts.Year = total / 12;
        parts.Month = total % 12 + 1;
        return Rebuild(parts) ? TdwDTEditResult::Changed : TdwDTEditResult::None;
    }
    default: return TdwDTEditResult::None;
    }
}

TdwDTEditResult TdwDateTimeSectionEditor::Step(int Direction)
{
    FoldPending();
    TdwDTSection section;
    if (!CurrentSection(section))
        return TdwDTEditResult::None;
    TParts parts = Decode();
    const int interval = std::clamp(Rules.MinutesInterval, 1, 59);
    switch (section.Type) {
    case TdwDTSectionType::AmPm: parts.Hour = parts.Hour < 12 ? parts.Hour + 12 : parts.Hour - 12; break;
    case TdwDTSectionType::Hour: parts.Hour = (parts.Hour + 24 + Direction) % 24; break;
    case TdwDTSectionType::Second: parts.Second = (parts.Second + 60 + Direction) % 60; break;
    case TdwDTSectionType::Minute:
        if (Direction > 0) {
            parts.Minute = (parts.Minute + interval) % 60;
            if (Rules.RoundMinutes)
                parts.Minute -= parts.Minute % interval;
        } else if (Rules.RoundMinutes && parts.Minute % interval != 0) {
            parts.Minute -= parts.Minute % interval;
        } else {
            parts.Minute = (parts.Minute + 60 - interval) % 60;
        }
        break;
    default: return StepDate(section.Type, Direction);
    }
    return Rebuild(parts) ? TdwDTEditResult::Changed : TdwDTEditResult::None;
}

TdwDTEditResult TdwDateTimeSectionEditor::Home()
{
    FoldPending();
    TdwDTSection section;
    if (!CurrentSection(section))
        return TdwDTEditResult::None;
    TParts parts = Decode();
    TParts low {};
    DecodeDate(EffectiveMinDate(), low.Year, low.Month, low.Day);
    switch (section.Type) {
    case TdwDTSectionType::AmPm:
        if (parts.Hour >= 12)
            parts.Hour -= 12;
        break;
    case TdwDTSectionType::Hour: parts.Hour = 0; break;
    case TdwDTSectionType::Minute: parts.Minute = 0; break;
    case TdwDTSectionType::Second: parts.Second = 0; break;
    case TdwDTSectionType::Day:
        parts.Day = parts.Year == low.Year && parts.Month == low.Month ? low.Day : 1;
        break;
    case TdwDTSectionType::DayName: {
        const TDateTime start = std::max(WeekStart(Value), EffectiveMinDate());
        return MoveDays(static_cast<int>(start - dwDayOf(Value)));
    }
    case TdwDTSectionType::Month:
    case TdwDTSectionType::MonthName:
        parts.Month = parts.Year == low.Year ? low.Month + (parts.Day < low.Day ? 1 : 0) : 1;
        break;
    case TdwDTSectionType::Year:
        parts.Year = low.Year +
                     ((parts.Month < low.Month || (parts.Month == low.Month && parts.Day < low.Day)) ? 1 : 0);
        break;
    }
    return Rebuild(parts) ? TdwDTEditResult::Changed : TdwDTEditResult::None;
}

TdwDTEditResult TdwDateTimeSectionEditor::End()
{
    FoldPending();
    TdwDTSection section;
    if (!CurrentSection(section))
        return TdwDTEditResult::None;
    TParts parts = Decode();
    TParts high {};
    DecodeDate(EffectiveMaxDate(), high.Year, high.Month, high.Day);
    switch (section.Type) {
    case TdwDTSectionType::AmPm:
        if (parts.Hour < 12)
            parts.Hour += 12;
        break;
    case TdwDTSectionType::Hour: parts.Hour = 23; break;
    case TdwDTSectionType::Minute: parts.Minute = 59; break;
    case TdwDTSectionType::Second: parts.Second = 59; break;
    case TdwDTSectionType::Day:
        parts.Day = parts.Year == high.Year && parts.Month == high.Month
                            ? high.Day
                            : DaysInMonth(parts.Year, parts.Month);
        break;
    case TdwDTSectionType::DayName: {
        const TDateTime last = std::min(WeekStart(Value) + 6, EffectiveMaxDate());
        return MoveDays(static_cast<int>(last - dwDayOf(Value)));
    }
    case TdwDTSectionType::Month:
    case TdwDTSectionType::MonthName:
        parts.Month = parts.Year == high.Year ? high.Month - (parts.Day > high.Day ? 1 : 0) : 12;
        break;
    case TdwDTSectionType::Year:
        parts.Year =
                high.Year -
                ((parts.Month > high.Month || (parts.Month == high.Month && parts.Day > high.Day)) ? 1 : 0);
        break;
    }
    return Rebuild(parts) ? TdwDTEditResult::Changed : TdwDTEditResult::None;
}

// ---- typing

int TdwDateTimeSectionEditor::HourInHalf(int Typed) const
{
    if (!BaseLayout().TwelveHour)
        return Typed;
    // A typed hour on a 12-hour clock stays in the half of the day shown.
    return Typed % 12 + (Decode().Hour >= 12 ? 12 : 0);
}

TdwDTEditResult TdwDateTimeSectionEditor::CompleteDay(int Day)
{
    TParts parts = Decode();
    if (Day == 0)
        Day = parts.Day;
    if (Day < 1 || Day > 31)
        return TdwDTEditResult::Rejected;
    if (Day > DaysInMonth(parts.Year, parts.Month)) {
        if (Day == 29 && parts.Month == 2 && SectionBefore(TdwDTSectionType::Day, TdwDTSectionType::Year)) {
            parts.Year = dwNextLeapYear(parts.Year);
        } else if (SectionBefore(TdwDTSectionType::Day, TdwDTSectionType::Month)) {
            parts.Month = 1;
            while (DaysInMonth(parts.Year, parts.Month) < Day)
                ++parts.Month;
        } else {
            return TdwDTEditResult::Rejected;
        }
    }
    parts.Day = Day;
    return Checked(parts);
}

TdwDTEditResult TdwDateTimeSectionEditor::CompleteMonth(int Month)
{
    TParts parts = Decode();
    if (Month == 0)
        Month = parts.Month;
    if (Month < 1 || Month > 12)
        return TdwDTEditResult::Rejected;
    if (parts.Day == 29 && Month == 2 && !IsLeapYear(parts.Year) &&
        SectionBefore(TdwDTSectionType::Month, TdwDTSectionType::Year))
        parts.Year = dwNextLeapYear(parts.Year);
    parts.Month = Month;
    return Checked(parts);
}

TdwDTEditResult TdwDateTimeSectionEditor::Complete(TdwDTSectionType Type, int TokenLength, int Number)
{
    TParts parts = Decode();
    switch (Type) {
    case TdwDTSectionType::Day: return CompleteDay(Number);
    case TdwDTSectionType::Month: return CompleteMonth(Number);
    case TdwDTSectionType::Hour:
        if (Number >= (BaseLayout().TwelveHour ? 13 : 24))
            return TdwDTEditResult::Rejected;
        parts.Hour = HourInHalf(Number);
        break;
    case TdwDTSectionType::Minute:
    case TdwDTSectionType::Second:
        if (Number >= 60)
            return TdwDTEditResult::Rejected;
        (Type == TdwDTSectionType::Minute ? parts.Minute : parts.Second) = Number;
        break;
    case TdwDTSectionType::Year:
        if (TokenLength == 2) {
            parts.Year = EpochWindowYear(Number, Rules.Epoch);
        } else if (Number == 0) {
            int month, day;
            DecodeDate(EntryValue, parts.Year, month, day);
        } else {
            parts.Year = Number;
        }
        break;
    default: return TdwDTEditResult::None;
    }
    return Checked(parts);
}

TdwDTEditResult TdwDateTimeSectionEditor::TypeDigit(int Digit)
{
    TdwDTSection section;
    if (!CurrentSection(section))
        return TdwDTEditResult::None;
    const char typed = static_cast<char>('0' + Digit);
    if (section.Type == TdwDTSectionType::Year && section.TokenLength == 4) {
        FTyped += typed;
        if (FTyped.size() < 4)
            return TdwDTEditResult::Changed;
        const int year = std::stoi(FTyped);
        FTyped.clear();
        return Complete(section.Type, 4, year);
    }
    if (!IsTwoDigitSection(section))
        return TdwDTEditResult::None;
    if (!FTyped.empty()) {
        const int number = (FTyped[0] - '0') * 10 + Digit;
        FTyped.clear();
        return Complete(section.Type, section.TokenLength, number);
    }
    // A first digit that no second digit could follow completes the section at once.
    bool atOnce = false;
    switch (section.Type) {
    case TdwDTSectionType::Day: atOnce = Digit >= 4; break;
    case TdwDTSectionType::Month: atOnce = Digit >= 2; break;
    case TdwDTSectionType::Hour: atOnce = Digit >= (BaseLayout().TwelveHour ? 2 : 3); break;
    case TdwDTSectionType::Minute:
    case TdwDTSectionType::Second: atOnce = Digit >= 6; break;
    default: break;
    }
    if (atOnce)
        return Complete(section.Type, section.TokenLength, Digit);
    FTyped = String(1, typed);
    return TdwDTEditResult::Changed;
}

void TdwDateTimeSectionEditor::FoldPending()
{
    if (FTyped.empty())
        return;
    TdwDTSection section;
    const String typed = FTyped;
    FTyped.clear();
    if (!CurrentSection(section))
        return;
    const int number = std::stoi(typed);
    TParts parts = Decode();
    switch (section.Type) {
    case TdwDTSectionType::Day:
        if (number != 0)
            parts.Day = number;
        break;
    case TdwDTSectionType::Month:
        if (number != 0)
            parts.Month = number;
        break;
    case TdwDTSectionType::Hour: parts.Hour = HourInHalf(number); break;
    case TdwDTSectionType::Minute: parts.Minute = number; break;
    case TdwDTSectionType::Second: parts.Second = number; break;
    case TdwDTSectionType::Year:
        parts.Year =
                section.TokenLength == 2 || typed.size() <= 2 ? EpochWindowYear(number, Rules.Epoch) : number;
        break;
    default: return;
    }
    // A date the digits make beyond the limits is dropped.
    Rebuild(parts);
}

TdwDTEditResult TdwDateTimeSectionEditor::TypeLetter(char Letter)
{
    FoldPending();
    TdwDTSection section;
    if (!CurrentSection(section))
        return TdwDTEditResult::None;
    const char letter = Upper(Letter);
    TParts parts = Decode();
    switch (section.Type) {
    case TdwDTSectionType::AmPm: {
        const char pm = section.TokenLength == 4 && !TimePMString.empty() ? Upper(TimePMString[0]) : 'P';
        const char am = section.TokenLength == 4 && !TimeAMString.empty() ? Upper(TimeAMString[0]) : 'A';
        if (letter == pm && parts.Hour < 12)
            parts.Hour += 12;
        else if (letter == am && parts.Hour >= 12)
            parts.Hour -= 12;
        else
            return TdwDTEditResult::None;
        return Rebuild(parts) ? TdwDTEditResult::Changed : TdwDTEditResult::None;
    }
    case TdwDTSectionType::MonthName: {
        const String* names = section.TokenLength == 3 ? ShortMonthNames : LongMonthNames;
        // The next month after the current one with that letter, then again from January.
        for (int k = 1; k <= 12; ++k) {
            const int month = (parts.Month - 1 + k) % 12 + 1;
            if (!names[month - 1].empty() && Upper(names[month - 1][0]) == letter)
                return StepDate(TdwDTSectionType::Month, month - parts.Month);
        }
        return TdwDTEditResult::None;
    }
    case TdwDTSectionType::DayName: {
        const String* names = section.TokenLength == 3 ? ShortDayNames : LongDayNames;
        const int offset = static_cast<int>(dwDayOf(Value) - WeekStart(Value));
        for (int k = 1; k <= 7; ++k) {
            const int target = (offset + k) % 7;
            const int weekday = (Rules.FirstDayOfWeek - 1 + target) % 7;
            if (!names[weekday].empty() && Upper(names[weekday][0]) == letter)
                return MoveDays(target - offset);
        }
        return TdwDTEditResult::None;
    }
    default: return TdwDTEditResult::None;
    }
}

TdwDTEditResult TdwDateTimeSectionEditor::Clear()
{
    if (!FTyped.empty())
        return TdwDTEditResult::None;
    TdwDTSection section;
    const bool onSection = CurrentSection(section);
    if (Rules.Kind == TdwDTValueKind::DateTime && dwIsDefaultDateTimeFormat(CurrentFormat()) && onSection &&
        section.Type == TdwDTSectionType::Hour && BaseLayout().Sections.size() > 3 && Section > 1 &&
        dwIsDateSection(BaseLayout().Sections[static_cast<size_t>(Section - 2)].Type)) {
        // On the first time section only the time goes; the day stays.
        Value = dwDayOf(Value);
        ShowMidnightTime = false;
        Section = SectionCount();
        return TdwDTEditResult::Changed;
    }
    if (Rules.Kind == TdwDTValueKind::Time)
        Value = dwDayOf(Value);
    else
        Value = 0;
    Null = true;
    ShowMidnightTime = false;
    Section = 1;
    return TdwDTEditResult::Changed;
}
