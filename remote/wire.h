#pragma once
// The text encodings of the server protocol: fixed-width fields, hexadecimal
// and decimal numbers, Y/N truth values, and the strict readers of replies.
// A fixed-width field never shifts its neighbours: a text that does not fit is
// refused before anything is sent.

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"
#include "tables/drcommon.h"

// A request that cannot be encoded (a name too long for its field).
class EDaroruRequestError : public Exception {
public:
    using Exception::Exception;
};

// Fill before Text up to Width characters; a longer text is returned whole.
String PadLeft(const String& Text, int Width, char Fill);
String SubStr(const String& Text, int Index, int Count);
inline String BoolToYN(bool Value) { return Value ? "Y" : "N"; }
inline bool YNToBool(const String& Text) { return Text == "Y"; }

namespace Wire {
// Text padded with blanks to exactly Width characters; a longer one is refused.
String Fixed(const String& Text, int Width);
// A decimal number in a 10-character field, left-aligned.
String N10(Int64 Value);
// Upper-case hexadecimal, zero-filled to at least Digits; a negative value is
// the 32-bit two's complement.
String Hex(Int64 Value, int Digits);
inline String Dec(Int64 Value) { return std::to_string(Value); }
// A floating-point number with "." as its decimal point.
String Float(double Value);

// Strict readers: a reply that does not convert raises EConvertError.
bool Y(const String& Reply);
bool Y1(const String& Reply);
Integer ParseDec(const String& Reply);
Integer ParseTrimmedDec(const String& Reply);
SmallInt ParseSmall(Integer Value);
// Hexadecimal, as the 32-bit value it spells (so "FFFFFFFF" is -1).
Integer ParseHex(const String& Reply);
double ParseFloat(const String& Reply);
}  // namespace Wire
