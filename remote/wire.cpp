#include "remote/wire.h"

#include <charconv>
#include <cstdio>

#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

String PadLeft(const String& Text, int Width, char Fill)
{
    return static_cast<int>(Text.size()) >= Width ? Text : String(Width - Text.size(), Fill) + Text;
}

String SubStr(const String& Text, int Index, int Count) { return Copy(Text, Index, Count); }

namespace Wire {
String Fixed(const String& Text, int Width)
{
    if (static_cast<int>(Text.size()) > Width)
        throw EDaroruRequestError("'" + Text + "' is longer than its field of " + std::to_string(Width) +
                                  " characters");
    return PadRight(Text, Width, ' ');
}

String N10(Int64 Value) { return Fixed(Dec(Value), 10); }

String Hex(Int64 Value, int Digits)
{
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", Digits,
                  static_cast<unsigned long long>(Value < 0 ? static_cast<std::uint32_t>(Value) : Value));
    return text;
}

String Float(double Value) { return FloatToStr(Value); }

bool Y(const String& Reply) { return Reply == "Y"; }

bool Y1(const String& Reply)
{
    if (Reply.empty())
        throw EConvertError("Empty reply");
    return Reply[0] == 'Y';
}

Integer ParseDec(const String& Reply)
{
    Integer value = 0;
    const char* end = Reply.data() + Reply.size();
    const auto [at, error] = std::from_chars(Reply.data(), end, value);
    if (Reply.empty() || error != std::errc() || at != end)
        throw EConvertError("'" + Reply + "' is not a valid integer value");
    return value;
}

Integer ParseTrimmedDec(const String& Reply) { return ParseDec(Trim(Reply)); }

SmallInt ParseSmall(Integer Value)
{
    if (Value < -32768 || Value > 32767)
        throw EConvertError(std::to_string(Value) + " is outside the 16-bit range");
    return static_cast<SmallInt>(Value);
}

Integer ParseHex(const String& Reply)
{
    std::uint32_t value = 0;
    const char* end = Reply.data() + Reply.size();
    const auto [at, error] = std::from_chars(Reply.data(), end, value, 16);
    if (Reply.empty() || error != std::errc() || at != end)
        throw EConvertError("'$" + Reply + "' is not a valid integer value");
    return static_cast<Integer>(value);
}

double ParseFloat(const String& Reply)
{
    String text = Trim(Reply);
    for (char& c : text)
        if (c == ',')
            c = '.';
    return StrToFloat(text);
}
}  // namespace Wire
