#pragma once
// Text functions of the run-time library. Positions are 1-based, as in the
// class library; text is Windows-1252 bytes.

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

// Count characters from Index; an Index below 1 counts from 1, one beyond the end gives "".
String Copy(const String& S, int Index, int Count);
// Position of the first Substr in S, 0 when absent or when Substr is empty.
int Pos(const String& Substr, const String& S);
// Removes Count characters from Index; nothing happens when Index is outside 1..Length(S).
void Delete(String& S, int Index, int Count);
// Inserts Source before position Index of S; below 1 inserts at the start, beyond the end appends.
void Insert(const String& Source, String& S, int Index);

// Removes blanks and control characters (bytes <= ' ') at both ends, the left end or the right end.
String Trim(const String& S);
String TrimLeft(const String& S);
String TrimRight(const String& S);

// ASCII letters only.
String UpperCase(const String& S);
String LowerCase(const String& S);
// Windows-1252 letters too (à -> À, š -> Š, ÿ -> Ÿ); ß and µ keep their case.
char AnsiUpperChar(char C);
char AnsiLowerChar(char C);
String AnsiUpperCase(const String& S);
String AnsiLowerCase(const String& S);

// Compares ignoring ASCII case: < 0, 0 or > 0.
int CompareText(const String& S1, const String& S2);
bool SameText(const String& S1, const String& S2);

// Count copies of Ch; "" when Count <= 0.
String StringOfChar(char Ch, int Count);

String IntToStr(Int64 Value);
// Decimal or hexadecimal ("$1F", "0x1F") with optional sign; leading blanks allowed, trailing
// ones not. Raises EConvertError "'S' is not a valid integer value".
Integer StrToInt(const String& S);
Integer StrToIntDef(const String& S, Integer Default);
bool TryStrToInt(const String& S, Integer& Value);

// S in single quotes, inner quotes doubled.
String QuotedStr(const String& S);

// The value TryConvert reads from S; raises EConvertError "'S' is not a valid <Kind>".
template<typename T> T ConvertText(const String& S, bool (*TryConvert)(const String&, T&), const char* Kind)
{
    T value;
    if (!TryConvert(S, value))
        throw EConvertError(String(1, '\'').append(S).append("' is not a valid ").append(Kind));
    return value;
}

// The value TryConvert reads from S, or Default.
template<typename T> T ConvertTextDef(const String& S, bool (*TryConvert)(const String&, T&), T Default)
{
    T value;
    return TryConvert(S, value) ? value : Default;
}
