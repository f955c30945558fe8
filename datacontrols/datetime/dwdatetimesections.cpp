#include "datacontrols/datetime/dwdatetimesections.h"

#include <cctype>
#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"

namespace {

char Lower(char C) { return static_cast<char>(std::tolower(static_cast<unsigned char>(C))); }

int RunOf(const String& Format, size_t At)
{
    const char letter = Lower(Format[At]);
    size_t end = At;
    while (end < Format.size() && Lower(Format[end]) == letter)
        ++end;
    return static_cast<int>(end - At);
}

bool StartsWithText(const String& Format, size_t At, const char* Word)
{
    for (size_t k = 0; Word[k]; ++k)
        if (At + k >= Format.size() || Lower(Format[At + k]) != Word[k])
            return false;
    return true;
}

// The AM/PM token at At: its length, 0 when there is none.
int AmPmTokenAt(const String& Format, size_t At)
{
    if (StartsWithText(Format, At, "am/pm"))
        return 5;
    if (StartsWithText(Format, At, "ampm"))
        return 4;
    if (StartsWithText(Format, At, "a/p"))
        return 3;
    return 0;
}

bool HasAmPmToken(const String& Format)
{
    for (size_t i = 0; i < Format.size(); ++i)
        if (AmPmTokenAt(Format, i))
            return true;
    return false;
}

String TwoDigits(int Value) { return Value < 10 ? "0" + IntToStr(Value) : IntToStr(Value); }

String Number(int Value, int TokenLength) { return TokenLength >= 2 ? TwoDigits(Value) : IntToStr(Value); }

// Keeps the letters' case of the token: "AM/PM" gives "PM", "am/pm" "pm".
String CaseLike(const String& Token, const String& Word)
{
    String out = Word;
    for (size_t k = 0; k < out.size() && k < Token.size(); ++k)
        out[k] = std::isupper(static_cast<unsigned char>(Token[k])) ? static_cast<char>(std::toupper(out[k]))
                                                                    : static_cast<char>(std::tolower(out[k]));
    return out;
}

bool SectionCounts(TdwDTSectionType Type, TdwDTValueKind Kind)
{
    switch (Kind) {
    case TdwDTValueKind::Date: return dwIsDateSection(Type);
    case TdwDTValueKind::Time: return !dwIsDateSection(Type);
    case TdwDTValueKind::DateTime: return true;
    }
    return true;
}

}  // namespace

bool dwIsDateSection(TdwDTSectionType Type)
{
    return Type == TdwDTSectionType::Day || Type == TdwDTSectionType::DayName ||
           Type == TdwDTSectionType::Month || Type == TdwDTSectionType::MonthName ||
           Type == TdwDTSectionType::Year;
}

String dwExpandDateTimeFormat(const String& Format)
{
    String out;
    for (size_t i = 0; i < Format.size();) {
        const char c = Format[i];
        if (c == '"' || c == '\'') {
            const size_t close = Format.find(c, i + 1);
            const size_t end = close == String::npos ? Format.size() : close + 1;
            out += Format.substr(i, end - i);
            i = end;
            continue;
        }
        const int run = RunOf(Format, i);
        const char letter = Lower(c);
        if (const int amPm = AmPmTokenAt(Format, i)) {
            // An AM/PM token holds letters of its own ("ampm" has an m, "am/pm" a p).
            out += Format.substr(i, static_cast<size_t>(amPm));
            i += static_cast<size_t>(amPm);
        } else if (letter == 'c') {
            out += ShortDateFormat + " " + LongTimeFormat;
            i += 1;
        } else if (letter == 'd' && run >= 5) {
            out += run == 5 ? ShortDateFormat : LongDateFormat;
            i += static_cast<size_t>(run);
        } else if (letter == 't') {
            out += run >= 2 ? LongTimeFormat : ShortTimeFormat;
            i += static_cast<size_t>(run >= 2 ? 2 : 1);
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

bool dwFormatHasDateTokens(const String& Format)
{
    const TdwDTLayout layout = dwLayoutDateTime(Format, 1, TdwDTValueKind::Date, true);
    return !layout.Sections.empty();
}

bool dwFormatHasTimeTokens(const String& Format)
{
    for (size_t i = 0; i < Format.size(); ++i) {
        const size_t amPm = static_cast<size_t>(AmPmTokenAt(Format, i));
        if (amPm) {
            i += amPm - 1;
            continue;
        }
        const char letter = Lower(Format[i]);
        if (letter == 'h' || letter == 'n' || letter == 's' || letter == 't' || letter == 'c')
            return true;
    }
    return false;
}

bool dwIsDefaultDateTimeFormat(const String& Format) { return SameText(Format, "c"); }

TdwDTLayout dwLayoutDateTime(const String& Format, TDateTime Value, TdwDTValueKind Kind,
                             bool ShowMidnightTime)
{
    const bool midnight = std::fabs(Value - std::trunc(Value)) < 1.0 / 86400000.0;
    const String format = dwIsDefaultDateTimeFormat(Format) && midnight && !ShowMidnightTime
                                  ? ShortDateFormat
                                  : dwExpandDateTimeFormat(Format);
    int year, month, day, hour, minute, second, msec;
    DecodeDate(Value, year, month, day);
    DecodeTime(Value, hour, minute, second, msec);

    TdwDTLayout layout;
    layout.TwelveHour = HasAmPmToken(format);
    String& text = layout.Text;
    bool afterHour = false;
    auto section = [&](TdwDTSectionType Type, int TokenLength, const String& Shown) {
        if (SectionCounts(Type, Kind))
            layout.Sections.push_back(
                    {Type, TokenLength, static_cast<int>(text.size()), static_cast<int>(Shown.size())});
        text += Shown;
        afterHour = Type == TdwDTSectionType::Hour;
    };
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        const char letter = Lower(c);
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            text += format.substr(i + 1, close == String::npos ? String::npos : close - i - 1);
            i = close == String::npos ? format.size() : close + 1;
            afterHour = false;
            continue;
        }
        if (const int amPm = AmPmTokenAt(format, i)) {
            const bool pm = hour >= 12;
            String shown;
            if (amPm == 4)
                shown = pm ? TimePMString : TimeAMString;
            else if (amPm == 5)
                shown = CaseLike(format.substr(i + (pm ? 3 : 0), 2), pm ? "pm" : "am");
            else
                shown = CaseLike(format.substr(i + (pm ? 2 : 0), 1), pm ? "p" : "a");
            section(TdwDTSectionType::AmPm, amPm, shown);
            i += static_cast<size_t>(amPm);
            continue;
        }
        const int run = RunOf(format, i);
        switch (letter) {
        case 'd':
            if (run <= 2)
                section(TdwDTSectionType::Day, run, Number(day, run));
            else
                section(TdwDTSectionType::DayName, run >= 4 ? 4 : 3,
                        (run >= 4 ? LongDayNames : ShortDayNames)[DayOfWeek(Value) - 1]);
            i += static_cast<size_t>(run);
            continue;
        case 'm':
            if (run <= 2 && afterHour)
                section(TdwDTSectionType::Minute, run, Number(minute, run));
            else if (run <= 2)
                section(TdwDTSectionType::Month, run, Number(month, run));
            else
                section(TdwDTSectionType::MonthName, run >= 4 ? 4 : 3,
                        (run >= 4 ? LongMonthNames : ShortMonthNames)[month - 1]);
            i += static_cast<size_t>(run);
            continue;
        case 'y':
            section(TdwDTSectionType::Year, run <= 2 ? 2 : 4,
                    run <= 2 ? TwoDigits(year % 100) : IntToStr(year));
            i += static_cast<size_t>(run);
            continue;
        case 'h': {
            int shown = hour;
            if (layout.TwelveHour) {
                shown %= 12;
                if (shown == 0)
                    shown = 12;
            }
            const int length = run >= 2 ? 2 : 1;
            section(TdwDTSectionType::Hour, length, Number(shown, length));
            i += static_cast<size_t>(length);
            continue;
        }
        case 'n':
        case 's': {
            const int length = run >= 2 ? 2 : 1;
            section(letter == 'n' ? TdwDTSectionType::Minute : TdwDTSectionType::Second, length,
                    Number(letter == 'n' ? minute : second, length));
            i += static_cast<size_t>(length);
            continue;
        }
        case '/': text += DateSeparator; break;
        case ':':
            // A minute token may follow an hour and the time separator.
            text += TimeSeparator;
            ++i;
            continue;
        default: text += c; break;
        }
        afterHour = false;
        ++i;
    }
    return layout;
}
