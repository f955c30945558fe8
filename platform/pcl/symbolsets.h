#pragma once
// Symbol sets: which character a byte of printed text stands for.

#include <optional>

namespace pcl {

// Symbol set values as PCL codes them: number * 32 + (letter - 64).
constexpr int SymbolSetAscii = 0 * 32 + ('U' - 64);     // 0U
constexpr int SymbolSetRoman8 = 8 * 32 + ('U' - 64);    // 8U
constexpr int SymbolSetWindows = 19 * 32 + ('U' - 64);  // 19U

// The Windows-1252 byte for a printed byte in the symbol set; nothing for a
// byte the set does not print (drawn as a blank cell).
std::optional<unsigned char> ToWindows1252(int symbolSet, unsigned char byte);

}  // namespace pcl
