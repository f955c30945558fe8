#pragma once
// Format: the class library's printf-like formatting, locale-free.

#include <concepts>
#include <initializer_list>
#include <variant>

#include "platform/rtl/types.h"

// One argument of Format: an integer, a floating-point number or a text.
class FormatArg {
public:
    template<std::integral T> FormatArg(T value) : FValue(static_cast<Int64>(value)) { }
    FormatArg(double value) : FValue(value) { }
    FormatArg(const String& value) : FValue(value) { }
    FormatArg(const char* value) : FValue(String(value ? value : "")) { }

    const std::variant<Int64, double, String>& Value() const { return FValue; }

private:
    std::variant<Int64, double, String> FValue;
};

// Formats with "%[-][width][.precision]type", width and precision as digits or '*'
// (taken from the next argument). Types: d u x (integers; precision = minimum digits;
// u and x show a negative 32-bit value as its 32-bit pattern), e f g (numbers, rounded
// like FormatFloat; f defaults to 2 decimals, e and g to 15 digits; e writes "1.5E+003"
// style exponents), s (text; precision = maximum length), and %% for "%".
// A missing argument or one of the wrong type raises EConvertError.
String Format(const String& Fmt, std::initializer_list<FormatArg> Args);
