#include "platform/xbengine/fieldcodec.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/rtl/datetime.h"
#include "platform/rtl/twodigityear.h"
#include "platform/xbengine/settings.h"

namespace fieldcodec {

namespace {

enum Order { MonthDayYear, YearMonthDay, DayMonthYear };

struct DateLayout {
    Order order;
    char separator;
};

DateLayout LayoutOf(int code)
{
    switch (code) {
    case 1: return {YearMonthDay, '.'};
    case 2:
    case 3: return {DayMonthYear, '/'};
    case 4: return {DayMonthYear, '.'};
    case 5:
    case 6: return {DayMonthYear, '-'};
    default: return {MonthDayYear, '/'};
    }
}

String Digits(int value, int width)
{
    String text(width, '0');
    for (int i = width - 1; i >= 0 && value > 0; --i, value /= 10)
        text[i] = char('0' + value % 10);
    return text;
}

bool AllBlank(const String& text) { return text.find_first_not_of(' ') == String::npos; }

}  // namespace

// A TDateTime counts days from 1899-12-30, Julian day 2415019.
constexpr Integer JulianOfDayZero = 2415019;

Integer JulianDay(int year, int month, int day)
{
    return Integer(EncodeDate(year, month, day)) + JulianOfDayZero;
}

void CalendarDate(Integer jdn, int& year, int& month, int& day)
{
    DecodeDate(TDateTime(jdn - JulianOfDayZero), year, month, day);
}

bool ValidDate(int year, int month, int day)
{
    TDateTime date;
    return TryEncodeDate(year, month, day, date);
}

String Dtos(Integer jdn)
{
    if (jdn <= 0)
        return String();
    int y, m, d;
    CalendarDate(jdn, y, m, d);
    return Digits(y, 4) + Digits(m, 2) + Digits(d, 2);
}

bool ParseDtos(const String& text, Integer& jdn)
{
    if (AllBlank(text)) {
        jdn = 0;
        return true;
    }
    if (text.size() != 8)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    int y = std::atoi(text.substr(0, 4).c_str());
    int m = std::atoi(text.substr(4, 2).c_str());
    int d = std::atoi(text.substr(6, 2).c_str());
    if (!ValidDate(y, m, d))
        return false;
    jdn = JulianDay(y, m, d);
    return true;
}

String DateText(Integer jdn, const Settings& settings)
{
    DateLayout layout = LayoutOf(settings.DateFormat);
    int yearWidth = settings.Century ? 4 : 2;
    if (jdn <= 0)
        return String(6 + yearWidth, ' ');
    int y, m, d;
    CalendarDate(jdn, y, m, d);
    String year = Digits(settings.Century ? y : y % 100, yearWidth);
    String sep(1, layout.separator);
    switch (layout.order) {
    case YearMonthDay: return year + sep + Digits(m, 2) + sep + Digits(d, 2);
    case DayMonthYear: return Digits(d, 2) + sep + Digits(m, 2) + sep + year;
    default: return Digits(m, 2) + sep + Digits(d, 2) + sep + year;
    }
}

bool ParseDateText(const String& text, const Settings& settings, Integer& jdn)
{
    String trimmed = text;
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.pop_back();
    while (!trimmed.empty() && trimmed.front() == ' ')
        trimmed.erase(0, 1);
    if (trimmed.empty()) {
        jdn = 0;
        return true;
    }
    if (trimmed.find_first_not_of("0123456789") == String::npos)
        return ParseDtos(trimmed, jdn);

    DateLayout layout = LayoutOf(settings.DateFormat);
    int parts[3];
    int widths[3];
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        std::size_t end = pos;
        while (end < trimmed.size() && trimmed[end] >= '0' && trimmed[end] <= '9')
            ++end;
        widths[i] = int(end - pos);
        if (widths[i] == 0 || widths[i] > 4)
            return false;
        parts[i] = std::atoi(trimmed.substr(pos, end - pos).c_str());
        if (i < 2) {
            if (end >= trimmed.size() || trimmed[end] != layout.separator)
                return false;
            ++end;
        } else if (end != trimmed.size()) {
            return false;
        }
        pos = end;
    }
    int yi = layout.order == YearMonthDay ? 0 : 2;
    int mi = layout.order == DayMonthYear ? 1 : (layout.order == YearMonthDay ? 1 : 0);
    int di = layout.order == DayMonthYear ? 0 : (layout.order == YearMonthDay ? 2 : 1);
    int year = parts[yi];
    if (widths[yi] <= 2)
        year = EpochWindowYear(year, settings.Epoch);
    if (!ValidDate(year, parts[mi], parts[di]))
        return false;
    jdn = JulianDay(year, parts[mi], parts[di]);
    return true;
}

double Val(const String& text)
{
    std::size_t pos = text.find_first_not_of(' ');
    if (pos == String::npos)
        return 0;
    bool negative = false;
    if (text[pos] == '-' || text[pos] == '+') {
        negative = text[pos] == '-';
        ++pos;
    }
    std::size_t end = pos;
    bool dot = false;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || (text[end] == '.' && !dot))) {
        dot = dot || text[end] == '.';
        ++end;
    }
    if (end == pos)
        return 0;
    double value = 0;
    std::from_chars(text.data() + pos, text.data() + end, value, std::chars_format::fixed);
    return negative ? -value : value;
}

bool FormatNumber(double value, int width, int decimals, String& out)
{
    if (!std::isfinite(value))
        return false;
    char buffer[400];
    std::to_chars_result result;
    double scale = std::pow(10.0, decimals);
    double scaled = value * scale;
    if (std::fabs(scaled) < 9e15) {
        // Whole units of the last decimal, rounded half away from zero.
        long long units = std::llround(scaled);
        bool negative = units < 0;
        String digits = std::to_string(negative ? -units : units);
        if (decimals > 0) {
            if (int(digits.size()) <= decimals)
                digits.insert(0, decimals + 1 - digits.size(), '0');
            digits.insert(digits.size() - decimals, ".");
        }
        out.assign(negative ? 1 : 0, '-');
        out.append(digits);
    } else {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        if (result.ec != std::errc())
            return false;
        out.assign(buffer, result.ptr);
    }
    if (int(out.size()) > width)
        return false;
    out.insert(0, width - out.size(), ' ');
    return true;
}

String NumberText(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return String(buffer, result.ptr);
}

}  // namespace fieldcodec
