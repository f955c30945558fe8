#pragma once
// Token readers and small text helpers of the data-aware control library.
// Positions are 1-based.

#include "platform/rtl/types.h"

class TStrings;

// Reads the token that starts at Pos up to Delim. A one-character Delim is searched as
// it stands; a longer one is a word, found between blanks and ignoring case ("and"
// matches " AND "). Pos moves past the delimiter, or becomes -1 after the last token.
// A Pos of 0 or less reads nothing.
void dwGetToken(const String& Text, const String& Delim, int& Pos, String& Token);

// dwReadToken options.
constexpr int rtSkipBlanks = 1;   // skip blanks and tabs first
constexpr int rtQuoted = 2;       // a token opened by '"' runs to the closing '"'
constexpr int rtStripQuotes = 4;  // a quoted token loses its quotes
constexpr int rtKeepBlanks = 8;   // blanks belong to the token
// Reads a token of characters not in Delims (control characters and, without
// rtKeepBlanks, blanks also end it). A delimiter standing at Pos is a token of its own
// and Pos moves past it; after a longer token Pos stays on the character that ended it.
void dwReadToken(const String& Text, int& Pos, int Options, String& Token, const String& Delims);

// Lines becomes the parts of Text between the Delim characters ("a;;b": "a", "", "b";
// "": one empty line).
void dwSplitToStrings(const String& Text, char Delim, TStrings* Lines);
// Removes from the end of Text every character that is in CharSet.
void dwTrimTrailingChars(String& Text, const String& CharSet);
String dwReplaceChar(const String& Text, char FromChar, char ToChar);
// Equal after upper-casing (Windows-1252 letters too).
bool dwSameText(const String& A, const String& B);
int dwCountChar(const String& Text, char Ch);
int dwMaxInt(int A, int B);
// The text after / before the first Ch; empty when Ch is absent.
String dwTextAfterChar(const String& Text, char Ch);
String dwTextBeforeChar(const String& Text, char Ch);
// The file name of Path up to its first '.'; empty when the name has no '.'.
String dwExtractFileBaseName(const String& Path);
