#include <gtest/gtest.h>

#include <climits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"

namespace {

TEST(Copy, ClampsPositionsLikeTheClassLibrary)
{
    struct Case {
        const char* s;
        int index, count;
        const char* expected;
    };
    for (const Case& c : {
                 Case {"ABCDEF", 2, 3, "BCD"},
                 Case {"ABCDEF", 0, 2, "AB"},
                 Case {"ABCDEF", -5, 2, "AB"},
                 Case {"ABCDEF", 5, 100, "EF"},
                 Case {"ABCDEF", 6, 1, "F"},
                 Case {"ABCDEF", 7, 1, ""},
                 Case {"ABCDEF", 2, 0, ""},
                 Case {"ABCDEF", 2, -1, ""},
                 Case {"ABCDEF", 1, INT_MAX, "ABCDEF"},
                 Case {"", 1, 1, ""},
         })
        EXPECT_EQ(Copy(c.s, c.index, c.count), c.expected) << c.s << " " << c.index << " " << c.count;
}

TEST(Pos, FindsFirstOccurrenceOneBased)
{
    EXPECT_EQ(Pos("CD", "ABCDCD"), 3);
    EXPECT_EQ(Pos("A", "ABC"), 1);
    EXPECT_EQ(Pos("X", "ABC"), 0);
    EXPECT_EQ(Pos("", "ABC"), 0);
    EXPECT_EQ(Pos("ABCD", "ABC"), 0);
    EXPECT_EQ(Pos("\xE9", "caf\xE9"), 4);
}

TEST(Delete, IgnoresPositionsOutsideTheText)
{
    struct Case {
        const char* s;
        int index, count;
        const char* expected;
    };
    for (const Case& c : {
                 Case {"ABCDEF", 2, 3, "AEF"},
                 Case {"ABCDEF", 5, 100, "ABCD"},
                 Case {"ABCDEF", 0, 2, "ABCDEF"},
                 Case {"ABCDEF", 7, 1, "ABCDEF"},
                 Case {"ABCDEF", 1, 0, "ABCDEF"},
                 Case {"ABCDEF", 1, INT_MAX, ""},
                 Case {"", 1, 1, ""},
         }) {
        String s = c.s;
        Delete(s, c.index, c.count);
        EXPECT_EQ(s, c.expected) << c.s << " " << c.index << " " << c.count;
    }
}

TEST(Insert, ClampsThePositionToTheText)
{
    struct Case {
        const char* s;
        int index;
        const char* expected;
    };
    for (const Case& c : {
                 Case {"ABC", 2, "AxyBC"},
                 Case {"ABC", 1, "xyABC"},
                 Case {"ABC", 0, "xyABC"},
                 Case {"ABC", 4, "ABCxy"},
                 Case {"ABC", 99, "ABCxy"},
                 Case {"", 1, "xy"},
         }) {
        String s = c.s;
        Insert("xy", s, c.index);
        EXPECT_EQ(s, c.expected) << c.s << " " << c.index;
    }
}

TEST(Trim, RemovesBlanksAndControlCharactersOnly)
{
    const String s = " \t\r\n A b \x01\x1F";
    EXPECT_EQ(Trim(s), "A b");
    EXPECT_EQ(TrimLeft(s), "A b \x01\x1F");
    EXPECT_EQ(TrimRight(s), " \t\r\n A b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is a character
}

TEST(CaseConversion, PlainFunctionsTouchOnlyAscii)
{
    EXPECT_EQ(UpperCase("abc xyz \xE0\xFF 123"), "ABC XYZ \xE0\xFF 123");
    EXPECT_EQ(LowerCase("ABC \xC0\x9F"), "abc \xC0\x9F");
}

TEST(CaseConversion, AnsiFunctionsFollowWindows1252)
{
    // à é þ ÿ š œ ž ß µ ÷
    EXPECT_EQ(AnsiUpperCase("a\xE0\xE9\xFE\xFF\x9A\x9C\x9E\xDF\xB5\xF7"),
              "A\xC0\xC9\xDE\x9F\x8A\x8C\x8E\xDF\xB5\xF7");
    EXPECT_EQ(AnsiLowerCase("A\xC0\xC9\xDE\x9F\x8A\x8C\x8E\xDF\xB5\xD7"),
              "a\xE0\xE9\xFE\xFF\x9A\x9C\x9E\xDF\xB5\xD7");
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        const char upper = AnsiUpperChar(ch);
        if (upper != ch) {
            EXPECT_EQ(AnsiLowerChar(upper), ch) << "byte " << c;
        }
    }
}

TEST(CompareText, IgnoresAsciiCase)
{
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_LT(CompareText("abc", "abd"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("\xE0", "a"), 0);
    EXPECT_TRUE(SameText("Client.DBF", "CLIENT.dbf"));
    EXPECT_FALSE(SameText("\xE0", "\xC0"));
}

TEST(StringOfChar, RepeatsOrGivesNothing)
{
    EXPECT_EQ(StringOfChar('*', 3), "***");
    EXPECT_EQ(StringOfChar('*', 0), "");
    EXPECT_EQ(StringOfChar('*', -2), "");
}

TEST(IntToStr, WritesDecimal)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
}

TEST(StrToInt, AcceptsWhatTheClassLibraryAccepts)
{
    const std::pair<const char*, Integer> cases[] = {
            {"0", 0},
            {"123", 123},
            {"-45", -45},
            {"+7", 7},
            {"  12", 12},
            {"$FF", 255},
            {"$ff", 255},
            {"0x1F", 31},
            {"-$10", -16},
            {"$FFFFFFFF", -1},
            {"2147483647", INT_MAX},
            {"-2147483648", INT_MIN},
            {"007", 7},
    };
    for (const auto& [text, value] : cases) {
        Integer result = 0;
        EXPECT_TRUE(TryStrToInt(text, result)) << text;
        EXPECT_EQ(result, value) << text;
        EXPECT_EQ(StrToInt(text), value) << text;
    }
}

TEST(StrToInt, RejectsTrailingTextAndOverflow)
{
    for (const char* text : {"", " ", "12 ", "1.5", "abc", "-", "$", "$G", "2147483648", "-2147483649",
                             "$100000000", "1e3", "12a"}) {
        Integer result = 99;
        EXPECT_FALSE(TryStrToInt(text, result)) << text;
        EXPECT_EQ(result, 99) << text;
        EXPECT_EQ(StrToIntDef(text, -1), -1) << text;
    }
    try {
        StrToInt("12 ");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12 ' is not a valid integer value");
    }
}

TEST(QuotedStr, DoublesInnerQuotes)
{
    EXPECT_EQ(QuotedStr("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuotedStr(""), "''");
}

}  // namespace
