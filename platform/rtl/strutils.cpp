#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cstdlib>

String Copy(const String& S, int Index, int Count)
{
    if (Index < 1)
        Index = 1;
    const int length = static_cast<int>(S.size());
    if (Index > length || Count <= 0)
        return String();
    return S.substr(Index - 1, std::min(Count, length - Index + 1));
}

int Pos(const String& Substr, const String& S)
{
    if (Substr.empty())
        return 0;
    const auto found = S.find(Substr);
    return found == String::npos ? 0 : static_cast<int>(found) + 1;
}

void Delete(String& S, int Index, int Count)
{
    const int length = static_cast<int>(S.size());
    if (Index < 1 || Index > length || Count <= 0)
        return;
    S.erase(Index - 1, std::min(Count, length - Index + 1));
}

void Insert(const String& Source, String& S, int Index)
{
    const int length = static_cast<int>(S.size());
    Index = std::clamp(Index, 1, length + 1);
    S.insert(static_cast<size_t>(Index - 1), Source);
}

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

String TrimSides(const String& S, bool left, bool right)
{
    size_t first = 0;
    size_t last = S.size();
    if (left)
        while (first < last && IsBlank(S[first]))
            ++first;
    if (right)
        while (last > first && IsBlank(S[last - 1]))
            --last;
    return S.substr(first, last - first);
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

template<typename F> String MapChars(String S, F f)
{
    std::transform(S.begin(), S.end(), S.begin(), f);
    return S;
}

}  // namespace

String Trim(const String& S) { return TrimSides(S, true, true); }
String TrimLeft(const String& S) { return TrimSides(S, true, false); }
String TrimRight(const String& S) { return TrimSides(S, false, true); }

String UpperCase(const String& S) { return MapChars(S, AsciiUpper); }
String LowerCase(const String& S) { return MapChars(S, AsciiLower); }

// Windows-1252 keeps most letter pairs 0x20 apart; the letters of 0x8A-0x9F and ÿ do not.
char AnsiUpperChar(char C)
{
    const unsigned char c = static_cast<unsigned char>(C);
    switch (c) {
    case 0x9A: return static_cast<char>(0x8A);  // š
    case 0x9C: return static_cast<char>(0x8C);  // œ
    case 0x9E: return static_cast<char>(0x8E);  // ž
    case 0xFF: return static_cast<char>(0x9F);  // ÿ
    default: break;
    }
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char>(c - 0x20);
    return C;
}

char AnsiLowerChar(char C)
{
    const unsigned char c = static_cast<unsigned char>(C);
    switch (c) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: break;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char>(c + 0x20);
    return C;
}

String AnsiUpperCase(const String& S) { return MapChars(S, AnsiUpperChar); }
String AnsiLowerCase(const String& S) { return MapChars(S, AnsiLowerChar); }

int CompareText(const String& S1, const String& S2)
{
    const size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        const int a = static_cast<unsigned char>(AsciiUpper(S1[i]));
        const int b = static_cast<unsigned char>(AsciiUpper(S2[i]));
        if (a != b)
            return a - b;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}

bool SameText(const String& S1, const String& S2) { return CompareText(S1, S2) == 0; }

String StringOfChar(char Ch, int Count)
{
    return Count > 0 ? String(static_cast<size_t>(Count), Ch) : String();
}

String IntToStr(Int64 Value) { return std::to_string(Value); }

bool TryStrToInt(const String& S, Integer& Value)
{
    size_t i = 0;
    while (i < S.size() && S[i] == ' ')
        ++i;
    bool negative = false;
    if (i < S.size() && (S[i] == '+' || S[i] == '-'))
        negative = S[i++] == '-';
    int base = 10;
    if (i < S.size() && S[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < S.size() && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == S.size())
        return false;
    // Hexadecimal covers the full 32 bits ("$FFFFFFFF" is -1); decimal must fit a signed 32-bit value.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t magnitude = 0;
    for (; i < S.size(); ++i) {
        const char c = S[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? (0 - magnitude) : magnitude);
    Value = static_cast<Integer>(bits);
    return true;
}

Integer StrToInt(const String& S) { return ConvertText(S, TryStrToInt, "integer value"); }

Integer StrToIntDef(const String& S, Integer Default) { return ConvertTextDef(S, TryStrToInt, Default); }

String QuotedStr(const String& S)
{
    String result = "'";
    for (char c : S) {
        result += c;
        if (c == '\'')
            result += c;
    }
    return result + "'";
}
