#pragma once
// Julian day numbers and the engine's date text (DTOS, DTOC, CTOD).

#include "platform/rtl/types.h"
#include "platform/xbengine/expr/recordcontext.h"

namespace xbexpr {

// Julian day numbers of 0001-01-01 and 9999-12-31: the dates an expression can hold.
constexpr std::int32_t kFirstJdn = 1721426;
constexpr std::int32_t kLastJdn = 5373484;

bool IsValidDate(int year, int month, int day);
std::int32_t JulianDay(int year, int month, int day);
void DecodeJulian(std::int32_t jdn, int& year, int& month, int& day);

// "yyyymmdd", or 8 blanks for the empty date (0).
String DateToDtos(std::int32_t jdn);
// "yyyymmdd" (blanks for the empty date) to a Julian day; false for anything else.
bool DtosToDate(std::string_view text, std::int32_t& jdn);
// Date text in the current format; the empty date keeps its separators.
String DateToText(std::int32_t jdn, const ExprSettings& settings);
int DateTextWidth(const ExprSettings& settings);
// Date text in the current format to a Julian day; 0 for blank or invalid text.
// A year of one or two digits lands in [epoch, epoch + 99].
std::int32_t TextToDate(std::string_view text, const ExprSettings& settings);

}  // namespace xbexpr
