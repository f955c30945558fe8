#pragma once
// Line-oriented reading and writing of streams and small text conversions of
// the server client.

#include <initializer_list>

#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"

void StreamWrite(TStream& Stream, const String& Text);
void StreamWriteLn(TStream& Stream, const String& Text);
// True when the position has reached the end of a stream that is not empty.
bool StreamEOF(TStream& Stream);
// One line up to a carriage return (not returned); a line feed right after it
// is consumed. Reading at the end raises "Input past end of stream".
String StreamReadLn(TStream& Stream);
// The same line rule, reading the stream in blocks of up to 254 characters.
String StreamReadShortLn(TStream& Stream);
// The same for lines of any length, up to MaxLength characters a piece; Found
// tells whether a carriage return ended the piece.
String StreamReadLongLn(TStream& Stream, bool& Found, int MaxLength);
String StreamReadXChars(TStream& Stream, int Count);

// The last 1-based position at or before Start where Sub occurs in Text (Start
// -1: from the end); 0 when absent.
int RPos(const String& Sub, const String& Text, int Start = -1);
int PosInStrArray(const String& Text, std::initializer_list<const char*> Array);
int StrToMonth(const String& Text);
int StrToDay(const String& Text);
String UpcaseFirst(const String& Text);
bool IsNumeric(char Ch);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = int;
String StringReplace(const String& Text, const String& Old, const String& New, TReplaceFlags Flags = 0);

String NoAngleBrackets(const String& Text);
// At least one blank, then blanks up to the next multiple of 8 characters.
String TabPAD(const String& Text);
String Pad10(Int64 Number);
inline int iiif(bool Condition, int A, int B) { return Condition ? A : B; }
inline String siif(bool Condition, const String& A, const String& B) { return Condition ? A : B; }

// The local time's offset from UTC now, as a date-time value (negative west of
// Greenwich). Zones without daylight saving have an offset too.
double OffsetFromUTC();
