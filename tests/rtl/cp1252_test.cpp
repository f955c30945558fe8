#include <gtest/gtest.h>

#include "platform/rtl/cp1252.h"

namespace {

TEST(Cp1252, ConvertsTheHighBytesBothWays)
{
    const std::pair<const char*, const char*> cases[] = {
            {"plain", "plain"},
            {"\x80", "\xE2\x82\xAC"},          // €
            {"\x8A\x9A", "\xC5\xA0\xC5\xA1"},  // Š š
            {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
            {"\x9F", "\xC5\xB8"},        // Ÿ
            {"caf\xE9", "caf\xC3\xA9"},  // é
            {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
            {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
    };
    for (const auto& [cp1252, utf8] : cases) {
        EXPECT_EQ(Cp1252ToUtf8(cp1252), utf8);
        EXPECT_EQ(Utf8ToCp1252(utf8), cp1252);
    }
}

TEST(Cp1252, EveryByteRoundTrips)
{
    String all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC \xD0\x96 \xF0\x9F\x98\x80 \xE4\xB8\xAD"), "\x80 ? ? ?");  // € Ж 😀 中
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");  // U+0080 has no byte: 0x80 is €
    EXPECT_EQ(Utf8ToCp1252("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");     // cut short
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");  // overlong
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"
                           "x"),
              "?x");  // surrogate
}

}  // namespace
