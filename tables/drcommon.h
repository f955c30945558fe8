#pragma once
// Enumerations shared by the table layer's units.

#include <cstdint>

#include "platform/rtl/types.h"

// The layer's 16-bit truth value: -1 (all bits set) is true, 0 false.
using WordBool = std::int16_t;
constexpr WordBool WordTrue = -1;
constexpr WordBool WordFalse = 0;
inline WordBool ToWordBool(bool Value) { return Value ? WordTrue : WordFalse; }

// Engine table types 1, 2 and 3 (ordinal + 1).
enum TDaroruTableType { ttSXNTX, ttSXFOX, ttSXNSX };

// The local engine, or the database server.
enum TAccessMethod { amLocal, amServer };

enum TDriveType { dtUnknown, dtNoDrive, dtFloppy, dtFixed, dtNetwork, dtCDROM, dtRAM };

// Text followed by Ch up to Width characters; a longer text is returned whole.
String PadRight(const String& Text, int Width, char Ch);
