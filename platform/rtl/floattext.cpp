#include "platform/rtl/floattext.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/rtl/strutils.h"

TFloatRec FloatToDecimal(double Value, int Precision, int Decimals)
{
    TFloatRec rec;
    if (!std::isfinite(Value)) {
        rec.Negative = std::isinf(Value) && Value < 0;
        rec.Digits = std::isnan(Value) ? "NAN" : "INF";
        rec.Exponent = FloatSpecialExponent;
        return rec;
    }
    if (Value == 0)
        return rec;

    // The correctly rounded 15-digit form (more when asked), then half away from zero at
    // Precision digits and at the decimals.
    char buf[64];
    const int precision = std::clamp(Precision, 1, 17);
    const auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(Value), std::chars_format::scientific,
                                   std::max(precision, 15) - 1)
                             .ptr;
    const char* e = std::find(buf, end, 'e');
    String digits;
    for (const char* p = buf; p < e; ++p)
        if (*p != '.')
            digits += *p;
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+'), end, exponent);
    rec.Exponent = exponent + 1;

    const long keep = std::min(static_cast<long>(rec.Exponent) + Decimals, static_cast<long>(precision));
    if (keep < static_cast<long>(digits.size())) {
        const bool up = keep >= 0 && digits[keep] >= '5';
        digits.resize(std::max(keep, 0L));
        if (up) {
            while (!digits.empty() && digits.back() == '9')
                digits.pop_back();
            if (digits.empty()) {
                digits.assign(1, '1');
                ++rec.Exponent;
            } else {
                ++digits.back();
            }
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty()) {
        rec.Exponent = 0;
        return rec;
    }
    rec.Digits = digits;
    rec.Negative = Value < 0;
    return rec;
}

namespace {

String SignOf(const TFloatRec& rec) { return rec.Negative ? "-" : ""; }

// The digits as fixed-point text (no grouping), at least one integer digit.
String FixedText(const TFloatRec& rec)
{
    const String& d = rec.Digits;
    if (rec.Exponent <= 0)
        return "0." + String(-rec.Exponent, '0') + d;
    const size_t intLength = rec.Exponent;
    if (d.size() <= intLength)
        return d + String(intLength - d.size(), '0');
    return d.substr(0, intLength) + "." + d.substr(intLength);
}

}  // namespace

String FloatToGeneralText(double Value, int Precision)
{
    const TFloatRec rec = FloatToDecimal(Value, Precision, 9999);
    if (rec.Exponent == FloatSpecialExponent)
        return SignOf(rec) + rec.Digits;
    if (rec.Digits.empty())
        return "0";
    if (rec.Exponent >= -3 && rec.Exponent <= Precision)
        return SignOf(rec) + FixedText(rec);
    String mantissa = rec.Digits.substr(0, 1);
    if (rec.Digits.size() > 1)
        mantissa.append(".").append(rec.Digits, 1);
    return SignOf(rec) + mantissa + "E" + std::to_string(rec.Exponent - 1);
}

String FloatToStr(double Value) { return FloatToGeneralText(Value, 15); }

bool TryStrToFloat(const String& S, double& Value)
{
    size_t first = S.find_first_not_of(' ');
    if (first == String::npos)
        return false;
    const size_t last = S.find_last_not_of(' ') + 1;
    String text;
    size_t i = first;
    if (S[i] == '+' || S[i] == '-') {
        if (S[i] == '-')
            text += '-';
        ++i;
    }
    // Mantissa digits; magnitude estimates the decimal exponent to tell overflow from underflow.
    int digitCount = 0, magnitude = 0;
    bool seenPoint = false, seenNonZero = false;
    for (; i < last && (std::isdigit(static_cast<unsigned char>(S[i])) || (S[i] == '.' && !seenPoint)); ++i) {
        if (S[i] == '.') {
            seenPoint = true;
        } else {
            ++digitCount;
            if (S[i] != '0')
                seenNonZero = true;
            if (!seenPoint && seenNonZero)
                ++magnitude;
            else if (seenPoint && !seenNonZero)
                --magnitude;
        }
        text += S[i];
    }
    if (digitCount == 0)
        return false;
    if (i < last && (S[i] == 'e' || S[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < last && (S[i] == '+' || S[i] == '-'))
            text += S[i++];
        const bool negativeExponent = text.back() == '-';
        const size_t expStart = i;
        int exponent = 0;
        while (i < last && std::isdigit(static_cast<unsigned char>(S[i]))) {
            exponent = std::min(exponent * 10 + (S[i] - '0'), 100000);
            text += S[i++];
        }
        if (i == expStart)
            return false;
        magnitude += negativeExponent ? -exponent : exponent;
    }
    if (i != last)
        return false;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ptr != text.data() + text.size())
        return false;
    if (ec == std::errc::result_out_of_range) {
        if (magnitude > 0)
            return false;
        value = 0;
    } else if (ec != std::errc()) {
        return false;
    }
    Value = value;
    return true;
}

double StrToFloat(const String& S) { return ConvertText(S, TryStrToFloat, "floating point value"); }

double StrToFloatDef(const String& S, double Default) { return ConvertTextDef(S, TryStrToFloat, Default); }

namespace {

bool IsQuote(char c) { return c == '"' || c == '\''; }

// Index past the quoted text that starts at i (an unclosed quote runs to the end).
size_t SkipQuoted(const String& s, size_t i)
{
    const size_t close = s.find(s[i], i + 1);
    return close == String::npos ? s.size() : close + 1;
}

// The text between the quote at i and its closing quote.
String QuotedContent(const String& s, size_t i)
{
    const size_t close = s.find(s[i], i + 1);
    return s.substr(i + 1, close == String::npos ? String::npos : close - i - 1);
}

bool IsExponentAt(const String& s, size_t i)
{
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

// Up to three sections split at ';' outside quotes.
std::vector<String> SplitSections(const String& mask)
{
    std::vector<String> sections(1);
    for (size_t i = 0; i < mask.size();) {
        if (IsQuote(mask[i])) {
            const size_t next = SkipQuoted(mask, i);
            sections.back() += mask.substr(i, next - i);
            i = next;
        } else if (mask[i] == ';' && sections.size() < 3) {
            sections.emplace_back();
            ++i;
        } else {
            sections.back() += mask[i++];
        }
    }
    sections.resize(3);
    return sections;
}

// What a section asks for, found by one scan of it.
struct MaskLayout {
    int IntPlaceholders = 0;
    int IntFirstZero = -1;  // index of the first '0' among the integer placeholders
    int FracPlaceholders = 0;
    int FracLastZero = -1;  // index of the last '0' among the fraction placeholders
    bool Grouping = false;
    bool Scientific = false;
    int ExponentDigits = 0;
};

// Number of '0' exponent digits after "E+" / "E-" at i.
int ExponentZeros(const String& s, size_t i)
{
    int n = 0;
    for (i += 2; i < s.size() && s[i] == '0'; ++i)
        ++n;
    return n;
}

MaskLayout ScanSection(const String& s)
{
    MaskLayout layout;
    bool afterPoint = false;
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (IsQuote(c)) {
            i = SkipQuoted(s, i);
            continue;
        }
        if (c == '0' || c == '#') {
            if (afterPoint) {
                if (c == '0')
                    layout.FracLastZero = layout.FracPlaceholders;
                ++layout.FracPlaceholders;
            } else {
                if (c == '0' && layout.IntFirstZero < 0)
                    layout.IntFirstZero = layout.IntPlaceholders;
                ++layout.IntPlaceholders;
            }
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            layout.Grouping = true;
        } else if (!layout.Scientific && IsExponentAt(s, i)) {
            layout.Scientific = true;
            layout.ExponentDigits = ExponentZeros(s, i);
            i += 2 + layout.ExponentDigits;
            continue;
        }
        ++i;
    }
    return layout;
}

// Renders a non-negative value through one section; Rounded tells whether it became zero.
class SectionWriter {
public:
    SectionWriter(const String& section, double value) : FSection(section), FLayout(ScanSection(section))
    {
        if (FLayout.Scientific) {
            const int total = std::clamp(FLayout.IntPlaceholders + FLayout.FracPlaceholders, 1, 15);
            FRec = FloatToDecimal(value, total, 9999);
            FDigitsBeforePoint = FLayout.IntPlaceholders;
            FFracStart = FLayout.IntPlaceholders;
            if (!FRec.Digits.empty())
                FExponent = FRec.Exponent - FLayout.IntPlaceholders;
        } else {
            FRec = FloatToDecimal(value, 15, FLayout.FracPlaceholders);
            FDigitsBeforePoint = std::max(FRec.Exponent, 0);
            FFracStart = FRec.Exponent;
        }
        if (!FRec.Digits.empty())
            for (int i = 0; i < FDigitsBeforePoint; ++i)
                FIntDigits += DigitAt(i);
        const int minimum = FLayout.IntFirstZero < 0 ? 0 : FLayout.IntPlaceholders - FLayout.IntFirstZero;
        if (static_cast<int>(FIntDigits.size()) < minimum)
            FIntDigits.insert(0, minimum - FIntDigits.size(), '0');
        FFracShown = FLayout.FracLastZero + 1;
        for (int k = 0; k < FLayout.FracPlaceholders; ++k)
            if (DigitAt(FFracStart + k) != '0')
                FFracShown = std::max(FFracShown, k + 1);
    }

    bool IsZero() const { return FRec.Digits.empty(); }
    // Too large for fixed placeholders: written in general form instead.
    bool IsOutOfRange() const { return !FLayout.Scientific && FRec.Exponent > 18; }

    String Text() const
    {
        String out;
        int intIndex = 0, fracIndex = 0;
        bool afterPoint = false, exponentDone = false;
        const int n = static_cast<int>(FIntDigits.size());
        for (size_t i = 0; i < FSection.size();) {
            const char c = FSection[i];
            if (IsQuote(c)) {
                out += QuotedContent(FSection, i);
                i = SkipQuoted(FSection, i);
                continue;
            }
            if ((c == '0' || c == '#') && !afterPoint) {
                // The first placeholder takes every digit the mask has no room for.
                const int j = n - FLayout.IntPlaceholders + intIndex;
                for (int d = intIndex == 0 ? 0 : j; d <= j; ++d)
                    if (d >= 0)
                        AppendIntDigit(out, d);
                ++intIndex;
            } else if ((c == '0' || c == '#') && afterPoint) {
                if (fracIndex < FFracShown)
                    out += DigitAt(FFracStart + fracIndex);
                ++fracIndex;
            } else if (c == '.' && !afterPoint) {
                afterPoint = true;
                if (FLayout.IntPlaceholders == 0)
                    for (int d = 0; d < n; ++d)
                        AppendIntDigit(out, d);
                if (FFracShown > 0)
                    out += '.';
            } else if (c == ',' || c == '.') {
                // grouping flag or a second point: not characters of the result
            } else if (FLayout.Scientific && !exponentDone && IsExponentAt(FSection, i)) {
                exponentDone = true;
                out += c;
                if (FExponent < 0)
                    out += '-';
                else if (FSection[i + 1] == '+')
                    out += '+';
                const String digits = std::to_string(std::abs(FExponent));
                out += String(std::max(0, FLayout.ExponentDigits - static_cast<int>(digits.size())), '0') +
                       digits;
                i += 2 + FLayout.ExponentDigits;
                continue;
            } else {
                out += c;
            }
            ++i;
        }
        return out;
    }

private:
    char DigitAt(int index) const
    {
        return index >= 0 && index < static_cast<int>(FRec.Digits.size()) ? FRec.Digits[index] : '0';
    }

    void AppendIntDigit(String& out, int d) const
    {
        const int n = static_cast<int>(FIntDigits.size());
        out += FIntDigits[d];
        if (FLayout.Grouping && d < n - 1 && (n - 1 - d) % 3 == 0)
            out += ',';
    }

    const String& FSection;
    MaskLayout FLayout;
    TFloatRec FRec;
    int FDigitsBeforePoint = 0;
    int FFracStart = 0;  // index in the digits of the first fraction digit
    int FExponent = 0;
    String FIntDigits;
    int FFracShown = 0;
};

}  // namespace

String FormatFloat(const String& Mask, double Value)
{
    if (Mask.empty() || !std::isfinite(Value))
        return FloatToStr(Value);
    const std::vector<String> sections = SplitSections(Mask);
    const bool negative = Value < 0;
    size_t chosen = 0;
    if (negative && !sections[1].empty())
        chosen = 1;
    else if (Value == 0 && !sections[2].empty())
        chosen = 2;

    SectionWriter writer(sections[chosen], std::fabs(Value));
    if (writer.IsOutOfRange())
        return FloatToStr(Value);
    // A value that rounds to zero has no sign and takes the zero section when there is one.
    if (writer.IsZero() && chosen != 2)
        return SectionWriter(sections[sections[2].empty() ? 0 : 2], 0.0).Text();
    String sign(negative && chosen == 0 ? "-" : "");
    return sign += writer.Text();
}
