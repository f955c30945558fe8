#pragma once
// The record layout of the information-return file, position by position, as an
// independent table: every record of a written file is checked against it, and
// the counts and control totals against the payee records.

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/rtl/types.h"

enum class TLayoutKind {
    Literal,  // exactly Expected
    Year,     // the payment year
    Blank,
    Flag,      // "1" or blank
    Filtered,  // A-Z, 0-9 and blanks
    Text,      // printable ASCII without lower-case letters
    Digits,    // digits, then blanks
    Number,    // digits only
    Sequence,  // the record's number in the file
};

struct TLayoutField {
    int Start;
    int Width;
    TLayoutKind Kind;
    const char* Expected = "";
};

// Positions 1-748 of each record type.
inline const std::map<char, std::vector<TLayoutField>>& RecordLayouts()
{
    using K = TLayoutKind;
    static const std::map<char, std::vector<TLayoutField>> layouts = [] {
        std::map<char, std::vector<TLayoutField>> l;
        l['T'] = {{1, 1, K::Literal, "T"},   {2, 4, K::Year},        {6, 1, K::Blank},
                  {7, 9, K::Digits},         {16, 5, K::Text},       {21, 7, K::Blank},
                  {28, 1, K::Blank},         {29, 1, K::Flag},       {30, 40, K::Filtered},
                  {70, 40, K::Blank},        {110, 40, K::Filtered}, {150, 40, K::Filtered},
                  {190, 40, K::Filtered},    {230, 40, K::Filtered}, {270, 2, K::Text},
                  {272, 9, K::Digits},       {281, 15, K::Blank},    {296, 8, K::Number},
                  {304, 40, K::Filtered},    {344, 15, K::Digits},   {359, 50, K::Text},
                  {409, 91, K::Blank},       {500, 8, K::Sequence},  {508, 10, K::Blank},
                  {518, 1, K::Literal, "V"}, {519, 40, K::Text},     {559, 40, K::Text},
                  {599, 40, K::Text},        {639, 2, K::Text},      {641, 9, K::Text},
                  {650, 40, K::Text},        {690, 15, K::Text},     {705, 44, K::Blank}};
        l['A'] = {{1, 1, K::Literal, "A"}, {2, 4, K::Year},           {6, 6, K::Blank},
                  {12, 9, K::Digits},      {21, 4, K::Filtered},      {25, 1, K::Flag},
                  {26, 1, K::Blank},       {27, 1, K::Text},          {28, 14, K::Text},
                  {42, 10, K::Blank},      {52, 1, K::Flag},          {53, 40, K::Filtered},
                  {93, 40, K::Filtered},   {133, 1, K::Literal, "0"}, {134, 40, K::Filtered},
                  {174, 40, K::Filtered},  {214, 2, K::Text},         {216, 9, K::Digits},
                  {225, 15, K::Digits},    {240, 260, K::Blank},      {500, 8, K::Sequence},
                  {508, 241, K::Blank}};
        std::vector<TLayoutField> b = {{1, 1, K::Literal, "B"}, {2, 4, K::Year},  {6, 1, K::Blank},
                                       {7, 4, K::Filtered},     {11, 1, K::Text}, {12, 9, K::Digits},
                                       {21, 34, K::Blank}};
        for (int i = 0; i < 14; ++i)
            b.push_back({55 + 12 * i, 12, K::Number});
        b.insert(b.end(), {{223, 25, K::Blank},
                           {248, 40, K::Filtered},
                           {288, 80, K::Blank},
                           {368, 40, K::Filtered},
                           {408, 40, K::Blank},
                           {448, 40, K::Filtered},
                           {488, 2, K::Text},
                           {490, 9, K::Digits},
                           {499, 1, K::Blank},
                           {500, 8, K::Sequence},
                           {508, 39, K::Blank},
                           {547, 1, K::Flag},
                           {548, 175, K::Blank},
                           {723, 12, K::Number},
                           {735, 12, K::Number},
                           {747, 2, K::Blank}});
        l['B'] = b;
        std::vector<TLayoutField> c = {{1, 1, K::Literal, "C"}, {2, 8, K::Number}, {10, 6, K::Blank}};
        for (int i = 0; i < 14; ++i)
            c.push_back({16 + 18 * i, 18, K::Number});
        c.insert(c.end(), {{268, 232, K::Blank}, {500, 8, K::Sequence}, {508, 241, K::Blank}});
        l['C'] = c;
        l['F'] = {{1, 1, K::Literal, "F"},
                  {2, 8, K::Literal, "00000001"},
                  {10, 21, K::Literal, "000000000000000000000"},
                  {31, 19, K::Blank},
                  {50, 8, K::Number},
                  {58, 442, K::Blank},
                  {500, 8, K::Sequence},
                  {508, 241, K::Blank}};
        return l;
    }();
    return layouts;
}

// The file's records, each without its CR LF.
inline std::vector<String> Records(const String& Bytes)
{
    std::vector<String> records;
    for (size_t at = 0; at < Bytes.size(); at += 750)
        records.push_back(Bytes.substr(at, 748));
    return records;
}

// Positions Start..Start+Width-1 of the record (1-based).
inline String Field(const String& Record, int Start, int Width) { return Record.substr(Start - 1, Width); }

inline bool AllOf(const String& Text, bool (*Allowed)(char))
{
    for (char c : Text) {
        if (!Allowed(c))
            return false;
    }
    return true;
}

inline bool FieldFits(const TLayoutField& F, const String& Value, int Sequence)
{
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    auto filtered = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' '; };
    auto text = [](char c) { return c >= 0x20 && c < 0x7F && !(c >= 'a' && c <= 'z'); };
    switch (F.Kind) {
    case TLayoutKind::Literal: return Value == F.Expected;
    case TLayoutKind::Year: return Value == "2008";
    case TLayoutKind::Blank: return Value == String(F.Width, ' ');
    case TLayoutKind::Flag: return Value == "1" || Value == " ";
    case TLayoutKind::Filtered: return AllOf(Value, +filtered);
    case TLayoutKind::Text: return AllOf(Value, +text);
    case TLayoutKind::Number: return AllOf(Value, +digit);
    case TLayoutKind::Sequence:
        return Value == String(8 - std::to_string(Sequence).size(), '0') + std::to_string(Sequence);
    case TLayoutKind::Digits: {
        const auto end = Value.find(' ');
        const String digits = Value.substr(0, end);
        return AllOf(digits, +digit) &&
               (end == String::npos || Value.substr(end) == String(Value.size() - end, ' '));
    }
    }
    return false;
}

// Checks a whole file: its frame, each record against the layout, the order of the
// records, and the counts and control totals against the payee records.
inline void ExpectWellFormed(const String& Bytes)
{
    ASSERT_EQ(Bytes.size() % 750, 0u) << "the file is not made of 750-byte records";
    for (size_t at = 748; at < Bytes.size(); at += 750)
        EXPECT_EQ(Bytes.substr(at, 2), "\r\n") << "record " << at / 750 + 1;
    const std::vector<String> records = Records(Bytes);
    ASSERT_GE(records.size(), 4u);
    String types;
    for (const String& r : records)
        types += r[0];
    EXPECT_EQ(types, "TA" + String(records.size() - 4, 'B') + "CF");

    for (size_t i = 0; i < records.size(); ++i) {
        const auto layout = RecordLayouts().find(records[i][0]);
        if (layout == RecordLayouts().end())
            continue;
        int next = 1;
        for (const TLayoutField& f : layout->second) {
            ASSERT_EQ(f.Start, next) << "the layout table has a gap";
            next = f.Start + f.Width;
            EXPECT_TRUE(FieldFits(f, Field(records[i], f.Start, f.Width), static_cast<int>(i) + 1))
                    << "record " << i + 1 << " (" << records[i][0] << ") positions " << f.Start << "-"
                    << next - 1 << ": [" << Field(records[i], f.Start, f.Width) << "]";
        }
        ASSERT_EQ(next, 749);
    }

    const String payees =
            String(8 - std::to_string(records.size() - 4).size(), '0') + std::to_string(records.size() - 4);
    const String& c = records[records.size() - 2];
    EXPECT_EQ(Field(records[0], 296, 8), payees) << "T: number of payees";
    EXPECT_EQ(Field(c, 2, 8), payees) << "C: number of payees";
    EXPECT_EQ(Field(records.back(), 50, 8), payees) << "F: number of payees";
    const String codes = Field(records[1], 28, 14);
    for (int slot = 0; slot < 14; ++slot) {
        long long sum = 0;
        for (size_t i = 2; i + 2 < records.size(); ++i)
            sum += std::stoll(Field(records[i], 55 + 12 * slot, 12));
        EXPECT_EQ(std::stoll(Field(c, 16 + 18 * slot, 18)), sum) << "C: control total "
                                                                 << "123456789ABCDE"[slot];
        if (sum != 0) {
            EXPECT_NE(codes.find("123456789ABCDE"[slot]), String::npos) << "A: amount code missing";
        }
    }
}
