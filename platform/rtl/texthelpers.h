#pragma once
// Text, date and number helpers used throughout the program: cutting and padding,
// the identification-number, ZIP and telephone formats, typed numbers and dates.
// Positions count from 1; no function changes its caller's text.

#include <functional>

#include "platform/rtl/types.h"

// The first n characters; the whole text when it is no longer.
String LeftChars(const String& Text, int N);
// The last n characters; the whole text when it is no longer.
String RightChars(const String& Text, int N);
// Count characters from Start; fewer when the text ends first, "" when Start is past it.
String MidChars(const String& Text, int Start, int Count);
// From Start to the end.
String CharsFrom(const String& Text, int Start);
// Exactly N characters: padded with blanks on the right or cut.
String FixedWidthText(const String& Text, int N);
// True only for "": blanks are not empty.
bool IsEmptyText(const String& Text);
// The digits '0'..'9' of the text, in order.
String DigitsOnly(const String& Text);
// The characters of the text that occur in Allowed (case-sensitive), in order.
String KeepChars(const String& Text, const String& Allowed);
// Upper-case letters A-Z, digits and the characters of Extra.
String KeepLettersDigits(const String& Text, const String& Extra);

// Nine digits among the text give 123-45-6789; anything else comes back unchanged.
String FormatSSN(const String& Text);
// Nine digits give 12-3456789; anything else comes back unchanged.
String FormatEIN(const String& Text);
// Nine digits give 12345-6789; anything else (a 5-digit ZIP too) comes back unchanged.
String FormatZip(const String& Text);
// Exactly ten digits and nothing else give (212) 555-0123; anything else comes back unchanged.
String FormatPhone(const String& Text);

// The characters after the last blank or comma ("SMITH, JOHN" gives "JOHN").
String ExtractLastName(const String& Name);
// The first four letters and digits of the upper-cased name, without a leading "THE ".
String NameControl(const String& Name);

// Rounds halves up (2.5 gives 3, -2.5 gives -2) through single-precision steps, so it is
// exact below 16,777,216 in magnitude. Raises ERangeError "Range check error" when the
// result is no 32-bit integer.
int RoundHalfUp(double X);
// A typed number, rounded: 0 when the text holds an upper-case "E" or no digit, '.' or
// '-'; otherwise those characters converted (EConvertError when they are no number, as
// "1.2.3" or "5-").
int TextToRoundedInt(const String& Text);
// "mm?dd?yyyy" (any separators) as a date; "" gives 0. Raises EConvertError for a text of
// another shape or an impossible date.
TDateTime DateTextToDate(const String& Text);
// Re-formats the digits of a typed date for Target "MM/DD/YY", "MM/DD/YYYY" or
// "MM-DD-YYYY"; six digits get their century ("MM-DD-YYYY": 19 above 60, else 20;
// "MM/DD/YYYY": always 20). Other digit counts, other targets, "VARIOUS" and
// "INHERITED" come back unchanged. The digits are not checked as a date.
String FormatDateText(const String& Text, const String& Target);

// Today from the run-time library's clock, as "mm-dd-yyyy" and as "mm/dd/yyyy".
String TodayText();
String TodayTextSlashed();

// Asks the user a yes/no question; true for Yes.
using TAskYesNo = std::function<bool(const String& Question)>;
// True when the directory exists. When it does not: false unless Ask, in which case
// AskYesNo is asked whether to create it and, on Yes, the directory is created (its
// parent must exist) and the result tells whether that worked. "\" is read as "/".
// The current directory is left alone.
bool PromptCreateDirectory(const String& Path, bool Ask, const TAskYesNo& AskYesNo);
