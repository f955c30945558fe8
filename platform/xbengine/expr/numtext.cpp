#include "platform/xbengine/expr/numtext.h"

#include <charconv>
#include <cmath>

namespace xbexpr {

String FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return "";
    if (decimals < 0)
        decimals = 0;
    char buf[64];
    // d.dddddddddddddde+XX: 15 significant digits.
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
    const bool negative = sci[0] == '-';
    const size_t start = negative ? 1 : 0;
    String digits;
    size_t i = start;
    for (; i < sci.size() && sci[i] != 'e'; ++i)
        if (sci[i] != '.')
            digits += sci[i];
    int exponent = 0;
    std::from_chars(sci.data() + i + 1 + (sci[i + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);

    // digits hold 0.d1d2... x 10^(exponent+1); `point` digits stand before the point.
    int point = exponent + 1;
    const int cut = point + decimals;  // digits kept
    if (cut < 0) {
        digits.clear();
    } else if (cut < static_cast<int>(digits.size())) {
        const bool up = digits[static_cast<size_t>(cut)] >= '5';
        digits.resize(static_cast<size_t>(cut));
        if (up) {
            int k = cut - 1;
            for (; k >= 0; --k) {
                if (digits[static_cast<size_t>(k)] == '9') {
                    digits[static_cast<size_t>(k)] = '0';
                } else {
                    ++digits[static_cast<size_t>(k)];
                    break;
                }
            }
            if (k < 0) {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    }
    auto digitAt = [&](int index) {
        return index >= 0 && index < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(index)]
                                                                     : '0';
    };
    String out;
    if (point <= 0) {
        out = "0";
    } else {
        for (int k = 0; k < point; ++k)
            out += digitAt(k);
    }
    if (decimals > 0) {
        out += '.';
        for (int k = 0; k < decimals; ++k)
            out += digitAt(point + k);
    }
    if (negative && out.find_first_not_of("0.") != String::npos)
        out.insert(out.begin(), '-');
    return out;
}

double RoundHalfAway(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    if (decimals < 0) {
        const double scale = std::pow(10.0, -decimals);
        return RoundHalfAway(value / scale, 0) * scale;
    }
    if (decimals > 15)
        return value;
    const String text = FormatFixed(value, decimals);
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

String StrOf(double value, int width, int decimals)
{
    if (width < 1)
        width = 1;
    if (decimals < 0)
        decimals = 0;
    for (int d = decimals; d >= 0; --d) {
        // The point and at least one decimal must fit beside the integer part.
        if (d > 0 && d + 2 > width)
            continue;
        const String text = FormatFixed(value, d);
        if (!text.empty() && static_cast<int>(text.size()) <= width)
            return String(static_cast<size_t>(width) - text.size(), ' ') + text;
    }
    return String(static_cast<size_t>(width), '*');
}

double ValOf(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && text[digitsStart] == '.'))
        return 0;
    // from_chars takes no leading '+'.
    const size_t from = text[start] == '+' ? start + 1 : start;
    double result = 0;
    std::from_chars(text.data() + from, text.data() + i, result);
    return result;
}

}  // namespace xbexpr
