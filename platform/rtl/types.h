#pragma once
// The basic types of the class library's run-time library. Text is a string of
// Windows-1252 bytes, one byte per character, exactly as the tables store it.

#include <cstdint>
#include <string>

using String = std::string;
using AnsiString = std::string;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using SmallInt = std::int16_t;
using Integer = std::int32_t;
using LongInt = std::int32_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using Int64 = std::int64_t;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;
