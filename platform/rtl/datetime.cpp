#include "platform/rtl/datetime.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/twodigityear.h"

String ShortDateFormat = "mm/dd/yyyy";
String LongDateFormat = "dddd, mmmm d, yyyy";
char DateSeparator = '/';
char TimeSeparator = ':';
String ShortTimeFormat = "h:nn AMPM";
String LongTimeFormat = "h:nn:ss AMPM";
String TimeAMString = "AM";
String TimePMString = "PM";
String ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
String LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                             "July",    "August",   "September", "October", "November", "December"};
String ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
String LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

namespace {

constexpr int DaysTo18991230 = 693594;  // days from 0001-01-01 (day 1) to 1899-12-30
constexpr int MSecsPerDay = 86400000;

// Day number and milliseconds of the day; the fraction of a negative value is its time too.
void SplitDateTime(TDateTime value, long& day, int& msec)
{
    day = static_cast<long>(std::trunc(value));
    msec = static_cast<int>(std::lround(std::fabs(value - std::trunc(value)) * MSecsPerDay));
    if (msec >= MSecsPerDay) {
        msec -= MSecsPerDay;
        ++day;
    }
}

}  // namespace

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInMonth(int Year, int Month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date)
{
    if (Year < 1 || Year > 9999 || Day < 1 || Day > DaysInMonth(Year, Month))
        return false;
    int dayOfYear = Day;
    for (int m = 1; m < Month; ++m)
        dayOfYear += DaysInMonth(Year, m);
    const int y = Year - 1;
    Date = y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - DaysTo18991230;
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day)
{
    TDateTime date;
    if (!TryEncodeDate(Year, Month, Day, date))
        throw EConvertError("Invalid argument to date encode");
    return date;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day)
{
    long day;
    int msec;
    SplitDateTime(Date, day, msec);
    if (day < 1 - DaysTo18991230) {
        Year = Month = Day = 0;
        return;
    }
    // Civil date from a day count, in 400-year eras starting on 0000-03-01.
    const long z = day + DaysTo18991230 + 305;  // days since 0000-03-01
    const long era = z / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    Year = static_cast<int>(yoe + era * 400 + (Month <= 2 ? 1 : 0));
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time)
{
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        return false;
    Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec)
{
    TDateTime time;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, time))
        throw EConvertError("Invalid argument to time encode");
    return time;
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec)
{
    long day;
    int msec;
    SplitDateTime(Time, day, msec);
    Hour = msec / 3600000;
    Min = msec / 60000 % 60;
    Sec = msec / 1000 % 60;
    MSec = msec % 1000;
}

int DayOfWeek(TDateTime Date)
{
    long day;
    int msec;
    SplitDateTime(Date, day, msec);
    const long n = (day + DaysTo18991230) % 7;
    return static_cast<int>(n < 0 ? n + 7 : n) + 1;
}

TDateTime Now() { return ClockNow(); }
TDateTime Date() { return std::trunc(ClockNow()); }
TDateTime Time()
{
    const TDateTime now = ClockNow();
    return now - std::trunc(now);
}

namespace {

String TwoDigits(int n)
{
    String text(n < 10 ? "0" : "");
    return text += std::to_string(n);
}

// Count of ch (either case) in a row starting at i.
int RunLength(const String& s, size_t i, char ch)
{
    int n = 0;
    while (i + n < s.size() && std::tolower(static_cast<unsigned char>(s[i + n])) == ch)
        ++n;
    return n;
}

bool StartsWithNoCase(const String& s, size_t i, const char* word)
{
    const size_t n = std::strlen(word);
    return i + n <= s.size() && SameText(s.substr(i, n), word);
}

// True when an am/pm specifier follows position i: the hours before it count 1-12.
bool TwelveHourAhead(const String& s, size_t i)
{
    for (; i < s.size(); ++i)
        if (StartsWithNoCase(s, i, "am/pm") || StartsWithNoCase(s, i, "a/p") ||
            StartsWithNoCase(s, i, "ampm"))
            return true;
    return false;
}

// Keeps the case of the pattern: "am/pm" gives "pm", "AM/PM" "PM", "Am/Pm" "Pm".
String MatchCase(const String& pattern, const String& word)
{
    String out = word;
    for (size_t k = 0; k < out.size() && k < pattern.size(); ++k)
        out[k] = std::isupper(static_cast<unsigned char>(pattern[k]))
                         ? static_cast<char>(std::toupper(out[k]))
                         : static_cast<char>(std::tolower(out[k]));
    return out;
}

void AppendFormatted(String& out, const String& pattern, TDateTime value, int depth)
{
    int year, month, day, hour, minute, second, msec;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
    bool afterHour = false;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\'') {
            const size_t close = pattern.find(c, i + 1);
            out += pattern.substr(i + 1, close == String::npos ? String::npos : close - i - 1);
            i = close == String::npos ? pattern.size() : close + 1;
            continue;
        }
        const int run = RunLength(pattern, i, lower);
        switch (lower) {
        case 'y':
            out += run <= 2 ? TwoDigits(year % 100) : std::to_string(year);
            afterHour = false;
            i += run;
            continue;
        case 'm':
            if (afterHour && run <= 2) {
                out += run == 1 ? std::to_string(minute) : TwoDigits(minute);
            } else if (run <= 2) {
                out += run == 1 ? std::to_string(month) : TwoDigits(month);
            } else {
                out += (run == 3 ? ShortMonthNames : LongMonthNames)[month - 1];
            }
            afterHour = false;
            i += run;
            continue;
        case 'd':
            if (run <= 2)
                out += run == 1 ? std::to_string(day) : TwoDigits(day);
            else if (run <= 4)
                out += (run == 3 ? ShortDayNames : LongDayNames)[DayOfWeek(value) - 1];
            else if (depth < 2)
                AppendFormatted(out, run == 5 ? ShortDateFormat : LongDateFormat, value, depth + 1);
            afterHour = false;
            i += run;
            continue;
        case 'h': {
            int h = hour;
            if (TwelveHourAhead(pattern, i)) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += run == 1 ? std::to_string(h) : TwoDigits(h);
            afterHour = true;
            i += std::min(run, 2);
            continue;
        }
        case 'n':
        case 's': {
            const int n = lower == 'n' ? minute : second;
            out += run == 1 ? std::to_string(n) : TwoDigits(n);
            afterHour = false;
            i += std::min(run, 2);
            continue;
        }
        case 'z': {
            const String ms = std::to_string(msec);
            out += run >= 3 ? String(3 - ms.size(), '0') + ms : ms;
            i += std::min(run, 3);
            continue;
        }
        case 't':
            if (depth < 2)
                AppendFormatted(out, run == 1 ? ShortTimeFormat : LongTimeFormat, value, depth + 1);
            i += std::min(run, 2);
            continue;
        case 'c':
            if (depth < 2) {
                AppendFormatted(out, ShortDateFormat, value, depth + 1);
                if (hour || minute || second || msec) {
                    out += ' ';
                    AppendFormatted(out, LongTimeFormat, value, depth + 1);
                }
            }
            ++i;
            continue;
        case 'a':
            if (StartsWithNoCase(pattern, i, "am/pm")) {
                out += MatchCase(pattern.substr(i + (hour < 12 ? 0 : 3), 2), hour < 12 ? "am" : "pm");
                i += 5;
                continue;
            }
            if (StartsWithNoCase(pattern, i, "a/p")) {
                out += MatchCase(pattern.substr(i + (hour < 12 ? 0 : 2), 1), hour < 12 ? "a" : "p");
                i += 3;
                continue;
            }
            if (StartsWithNoCase(pattern, i, "ampm")) {
                out += hour < 12 ? TimeAMString : TimePMString;
                i += 4;
                continue;
            }
            break;
        case '/':
            out += DateSeparator;
            ++i;
            continue;
        case ':':
            out += TimeSeparator;
            ++i;
            continue;
        default: break;
        }
        out += c;
        ++i;
    }
}

// Date order of the short date format: the first of d, m and y decides; month first by default.
enum class DateOrder { MDY, DMY, YMD };

DateOrder GetDateOrder(const String& format)
{
    for (char c : format) {
        switch (std::tolower(static_cast<unsigned char>(c))) {
        case 'd': return DateOrder::DMY;
        case 'm': return DateOrder::MDY;
        case 'y': return DateOrder::YMD;
        default: break;
        }
    }
    return DateOrder::MDY;
}

void SkipBlanks(const String& s, size_t& i)
{
    while (i < s.size() && s[i] == ' ')
        ++i;
}

// Up to four digits (reading stops once the value reaches 1000); digits tells how many were read.
bool ScanNumber(const String& s, size_t& i, int& value, int& digits)
{
    SkipBlanks(s, i);
    value = 0;
    digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && value < 1000) {
        value = value * 10 + (s[i++] - '0');
        ++digits;
    }
    return digits > 0;
}

bool ScanSeparator(const String& s, size_t& i)
{
    SkipBlanks(s, i);
    if (i < s.size() && s[i] == DateSeparator) {
        ++i;
        return true;
    }
    return false;
}

}  // namespace

String FormatDateTime(const String& Pattern, TDateTime DateTime)
{
    String out;
    AppendFormatted(out, Pattern, DateTime, 0);
    return out;
}

String DateToStr(TDateTime Date) { return FormatDateTime(ShortDateFormat, Date); }

String DateTimeToStr(TDateTime DateTime) { return FormatDateTime("c", DateTime); }

bool TryStrToDate(const String& S, TDateTime& Date)
{
    size_t i = 0;
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    if (!ScanNumber(S, i, n1, l1) || !ScanSeparator(S, i) || !ScanNumber(S, i, n2, l2))
        return false;
    const bool hasYear = ScanSeparator(S, i);
    if (hasYear && !ScanNumber(S, i, n3, l3))
        return false;
    SkipBlanks(S, i);
    if (i != S.size())
        return false;

    int currentYear, currentMonth, currentDay;
    DecodeDate(ClockNow(), currentYear, currentMonth, currentDay);
    int year = currentYear, month, day, yearDigits = 4;
    switch (GetDateOrder(ShortDateFormat)) {
    case DateOrder::MDY:
        month = n1, day = n2;
        if (hasYear)
            year = n3, yearDigits = l3;
        break;
    case DateOrder::DMY:
        day = n1, month = n2;
        if (hasYear)
            year = n3, yearDigits = l3;
        break;
    case DateOrder::YMD:
        if (hasYear)
            year = n1, yearDigits = l1, month = n2, day = n3;
        else
            month = n1, day = n2;
        break;
    }
    if (yearDigits <= 2)
        year = CenturyWindowYear(year, currentYear, TwoDigitYearCenturyWindow);
    return TryEncodeDate(year, month, day, Date);
}

TDateTime StrToDate(const String& S) { return ConvertText(S, TryStrToDate, "date"); }
