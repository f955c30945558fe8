#include "platform/rtl/cp1252.h"

#include <cstdint>

namespace {

// Code points of 0x80-0x9F; the five bytes the code page leaves undefined keep their own value.
constexpr char32_t HighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char ToCp1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (HighControls[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

// Decodes one UTF-8 sequence at pos; false (pos past the bad byte) for a malformed one.
bool DecodeUtf8(const std::string& s, size_t& pos, char32_t& cp)
{
    const unsigned char lead = static_cast<unsigned char>(s[pos++]);
    int extra;
    char32_t min;
    if (lead < 0x80) {
        cp = lead;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, min = 0x80, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, min = 0x800, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, min = 0x10000, cp = lead & 0x07;
    } else {
        return false;
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= s.size() || (static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos++]) & 0x3F);
    }
    return cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

}  // namespace

std::string Cp1252ToUtf8(const String& S)
{
    std::string out;
    out.reserve(S.size());
    for (char c : S) {
        const unsigned char b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? HighControls[b - 0x80] : b);
    }
    return out;
}

String Utf8ToCp1252(const std::string& S)
{
    String out;
    out.reserve(S.size());
    size_t pos = 0;
    while (pos < S.size()) {
        char32_t cp;
        out += DecodeUtf8(S, pos, cp) ? ToCp1252(cp) : '?';
    }
    return out;
}
