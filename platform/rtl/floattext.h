#pragma once
// Floating-point numbers as text, with "." as the decimal point whatever the locale.

#include "platform/rtl/types.h"

// A number as decimal digits: value = 0.Digits x 10^Exponent. Digits has no trailing
// zeros and is empty for zero. Infinity and NaN give Digits "INF" or "NAN" and
// Exponent FloatSpecialExponent.
struct TFloatRec {
    bool Negative = false;
    int Exponent = 0;
    String Digits;
};
constexpr int FloatSpecialExponent = 0x7FFF;

// Value rounded half away from zero to Precision significant digits (1..17), then to
// at most Decimals digits after the decimal point. A result of zero has no sign.
TFloatRec FloatToDecimal(double Value, int Precision, int Decimals);

// Shortest text of the value rounded to Precision significant digits; exponent form
// ("1E20", "1.5E-5") when the decimal exponent is >= Precision or < -4.
String FloatToGeneralText(double Value, int Precision);
// FloatToGeneralText with 15 digits: "3.5", "100", "0.0001", "1E15", "1.5E-5".
String FloatToStr(double Value);
// Blanks around the number are allowed; "1,5" is not a number.
// Raises EConvertError "'S' is not a valid floating point value".
double StrToFloat(const String& S);
bool TryStrToFloat(const String& S, double& Value);
double StrToFloatDef(const String& S, double Default);

// The class library's display masks: sections "positive;negative;zero", '0' and '#'
// digit placeholders, '.', ',' (grouping when anywhere in the mask), "E+"/"E-"
// exponents, quoted and literal text. Rounds half away from zero on the value's
// 15-significant-digit form. An empty mask gives FloatToStr.
String FormatFloat(const String& Mask, double Value);
