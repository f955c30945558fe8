#pragma once
// Conversion between Windows-1252 text and UTF-8 (for the GUI and file names).

#include "platform/rtl/types.h"

// Every byte becomes its character; 0x81, 0x8D, 0x8F, 0x90 and 0x9D become U+0081 etc.
std::string Cp1252ToUtf8(const String& S);
// Characters outside the code page, and malformed UTF-8 bytes, become '?'.
String Utf8ToCp1252(const std::string& S);
