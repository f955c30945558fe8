#include "platform/xbengine/expr/datetext.h"

#include "platform/rtl/twodigityear.h"

namespace xbexpr {

namespace {

enum class Order { MDY, YMD, DMY };

struct DateFormat {
    Order order;
    char separator;
};

DateFormat FormatOf(int code)
{
    switch (code) {
    case 1: return {Order::YMD, '.'};
    case 2:
    case 3: return {Order::DMY, '/'};
    case 4: return {Order::DMY, '.'};
    case 5:
    case 6: return {Order::DMY, '-'};
    default: return {Order::MDY, '/'};  // 0 and the system format
    }
}

void AppendDigits(String& out, int value, int digits)
{
    String part(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        part[static_cast<size_t>(i)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out += part;
}

}  // namespace

bool IsValidDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::int32_t JulianDay(int year, int month, int day)
{
    const int a = (14 - month) / 12;
    const std::int32_t y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

void DecodeJulian(std::int32_t jdn, int& year, int& month, int& day)
{
    const std::int32_t a = jdn + 32044;
    const std::int32_t b = (4 * a + 3) / 146097;
    const std::int32_t c = a - 146097 * b / 4;
    const std::int32_t d = (4 * c + 3) / 1461;
    const std::int32_t e = c - 1461 * d / 4;
    const std::int32_t m = (5 * e + 2) / 153;
    day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    month = static_cast<int>(m + 3 - 12 * (m / 10));
    year = static_cast<int>(100 * b + d - 4800 + m / 10);
}

String DateToDtos(std::int32_t jdn)
{
    if (jdn == 0)
        return String(8, ' ');
    int y, m, d;
    DecodeJulian(jdn, y, m, d);
    String out;
    AppendDigits(out, y, 4);
    AppendDigits(out, m, 2);
    AppendDigits(out, d, 2);
    return out;
}

bool DtosToDate(std::string_view text, std::int32_t& jdn)
{
    if (text.size() != 8)
        return false;
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        jdn = 0;
        return true;
    }
    int parts[3] = {0, 0, 0};
    const int lengths[3] = {4, 2, 2};
    size_t at = 0;
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i < lengths[p]; ++i, ++at) {
            const char c = text[at];
            if (c < '0' || c > '9')
                return false;
            parts[p] = parts[p] * 10 + (c - '0');
        }
    }
    if (!IsValidDate(parts[0], parts[1], parts[2]))
        return false;
    jdn = JulianDay(parts[0], parts[1], parts[2]);
    return true;
}

int DateTextWidth(const ExprSettings& settings) { return settings.Century ? 10 : 8; }

String DateToText(std::int32_t jdn, const ExprSettings& settings)
{
    const DateFormat format = FormatOf(settings.DateFormat);
    const int yearDigits = settings.Century ? 4 : 2;
    int y = 0, m = 0, d = 0;
    if (jdn != 0)
        DecodeJulian(jdn, y, m, d);
    int values[3];
    int widths[3];
    switch (format.order) {
    case Order::MDY:
        values[0] = m;
        values[1] = d;
        values[2] = y;
        widths[0] = 2;
        widths[1] = 2;
        widths[2] = yearDigits;
        break;
    case Order::DMY:
        values[0] = d;
        values[1] = m;
        values[2] = y;
        widths[0] = 2;
        widths[1] = 2;
        widths[2] = yearDigits;
        break;
    case Order::YMD:
        values[0] = y;
        values[1] = m;
        values[2] = d;
        widths[0] = yearDigits;
        widths[1] = 2;
        widths[2] = 2;
        break;
    }
    String out;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            out += format.separator;
        if (jdn == 0)
            out += String(static_cast<size_t>(widths[i]), ' ');
        else
            AppendDigits(out, values[i] % (widths[i] == 2 ? 100 : 10000), widths[i]);
    }
    return out;
}

std::int32_t TextToDate(std::string_view text, const ExprSettings& settings)
{
    int values[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    bool inNumber = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            if (!inNumber) {
                if (part == 3)
                    return 0;
                inNumber = true;
            }
            if (++digits[part] > 4)
                return 0;
            values[part] = values[part] * 10 + (c - '0');
        } else if (inNumber) {
            inNumber = false;
            ++part;
        }
    }
    if (inNumber)
        ++part;
    if (part != 3)
        return 0;
    int y, m, d, yearDigits;
    switch (FormatOf(settings.DateFormat).order) {
    case Order::MDY:
        m = values[0];
        d = values[1];
        y = values[2];
        yearDigits = digits[2];
        break;
    case Order::DMY:
        d = values[0];
        m = values[1];
        y = values[2];
        yearDigits = digits[2];
        break;
    default:
        y = values[0];
        m = values[1];
        d = values[2];
        yearDigits = digits[0];
        break;
    }
    if (yearDigits <= 2)
        y = EpochWindowYear(y, settings.Epoch);
    if (!IsValidDate(y, m, d))
        return 0;
    return JulianDay(y, m, d);
}

}  // namespace xbexpr
