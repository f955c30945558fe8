#include <gtest/gtest.h>

#include "datacontrols/common/dwdatetext.h"
#include "datacontrols/common/dwstrings.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"

namespace {

TEST(dwStrings, GetTokenWalksDelimitedText)
{
    struct Case {
        const char* Text;
        const char* Delim;
        int PosIn;
        const char* Token;
        int PosOut;
    } cases[] = {
            {"A;B", ";", 1, "A", 3},       {"A;B", ";", 3, "B", -1},       {"A;B", ";", 0, "", 0},
            {"A;B", ";", 4, "", -1},       {";A", ";", 1, "", 2},          {"x and y", "and", 1, "x", 7},
            {"x AND y", "and", 1, "x", 7}, {"band", "and", 1, "band", -1}, {"a or b or c", "OR", 6, "b", 11},
    };
    for (const Case& c : cases) {
        int pos = c.PosIn;
        String token = "stale";
        dwGetToken(c.Text, c.Delim, pos, token);
        EXPECT_EQ(token, c.Token) << c.Text << " from " << c.PosIn;
        EXPECT_EQ(pos, c.PosOut) << c.Text << " from " << c.PosIn;
    }
}

TEST(dwStrings, ReadTokenOptions)
{
    struct Case {
        const char* Text;
        int PosIn;
        int Options;
        const char* Token;
        int PosOut;
    } cases[] = {
            {"ab;c", 1, 0, "ab", 3},                               // stops on the delimiter
            {"a;b", 1, 0, "a", 2},                                 // a one-letter word stops there too
            {";b", 1, 0, ";", 2},                                  // a delimiter at Pos is its own token
            {"  ab", 1, rtSkipBlanks, "ab", 5},                    // leading blanks skipped
            {"a b;c", 1, 0, "a", 2},                               // a blank ends the token
            {"a b;c", 1, rtKeepBlanks, "a b", 4},                  // unless blanks belong to it
            {"a\tb", 1, rtKeepBlanks, "a", 2},                     // control characters always end it
            {"\"x;y\";z", 1, rtQuoted, "\"x;y\"", 6},              // quoted token keeps its quotes
            {"\"x;y\";z", 1, rtQuoted | rtStripQuotes, "x;y", 6},  // or loses them
            {"\"x;y", 1, rtQuoted | rtStripQuotes, "x;y", 5},      // an unclosed quote runs to the end
            {"abc", 0, 0, "", 0},                                  // Pos outside the text reads nothing
            {"abc", 4, 0, "", 4},
    };
    for (const Case& c : cases) {
        int pos = c.PosIn;
        String token;
        dwReadToken(c.Text, pos, c.Options, token, ";");
        EXPECT_EQ(token, c.Token) << c.Text << " options " << c.Options;
        EXPECT_EQ(pos, c.PosOut) << c.Text << " options " << c.Options;
    }
}

TEST(dwStrings, SplitKeepsEmptyParts)
{
    TStringList lines;
    lines.Add("stale");
    dwSplitToStrings("a;;b", ';', &lines);
    EXPECT_EQ(lines.Text(), "a\r\n\r\nb\r\n");
    dwSplitToStrings("", ';', &lines);
    ASSERT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines[0], "");
    dwSplitToStrings("a;", ';', &lines);
    EXPECT_EQ(lines.Text(), "a\r\n\r\n");
}

TEST(dwStrings, SmallHelpers)
{
    String text = "12.500  ";
    dwTrimTrailingChars(text, " 0");
    EXPECT_EQ(text, "12.5");
    text = "000";
    dwTrimTrailingChars(text, "0");
    EXPECT_EQ(text, "");
    EXPECT_EQ(dwReplaceChar("Ref~No~X", '~', ' '), "Ref No X");
    EXPECT_TRUE(dwSameText("\xe9t\xe9", "\xc9T\xc9"));
    EXPECT_FALSE(dwSameText("ab", "abc"));
    EXPECT_EQ(dwCountChar("a;b;;c", ';'), 3);
    EXPECT_EQ(dwTextAfterChar("k=v=w", '='), "v=w");
    EXPECT_EQ(dwTextAfterChar("kv", '='), "");
    EXPECT_EQ(dwTextBeforeChar("k=v", '='), "k");
    EXPECT_EQ(dwTextBeforeChar("kv", '='), "");
    EXPECT_EQ(dwExtractFileBaseName("/x/prog.main.exe"), "prog");
    EXPECT_EQ(dwExtractFileBaseName("/x.d/prog"), "");
}

// Regional settings 'M/d/yyyy', '/', ':', AM/PM; today is 2008-03-15.
class dwDateText : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFormat = ShortDateFormat;
        FSeparator = DateSeparator;
        SetClock([] { return EncodeDate(2008, 3, 15) + 0.5; });
        SetFormat("M/d/yyyy", '/');
    }
    void TearDown() override
    {
        SetFormat(FFormat, FSeparator);
        SetClock(nullptr);
    }
    static void SetFormat(const String& Format, char Separator)
    {
        ShortDateFormat = Format;
        DateSeparator = Separator;
    }

private:
    String FFormat;
    char FSeparator = '/';
};

TEST_F(dwDateText, DatesMonthFirst)
{
    struct Case {
        const char* Text;
        bool Valid;
        int Year, Month, Day;  // what dwTextToDate reads; Year 0 for 0
    } cases[] = {
            {"2/29/2008", true, 2008, 2, 29},
            {"2/30/2009", false, 0, 0, 0},
            {"2/29/1900", false, 0, 0, 0},
            {"2/29/2000", true, 2000, 2, 29},
            {"7/4", true, 2008, 7, 4},
            {"1/1/49", true, 2049, 1, 1},
            {"1/1/50", true, 1950, 1, 1},
            {"1/1/0", true, 2000, 1, 1},
            {"jan/5/2008", true, 2008, 1, 5},
            {"Jan/05/08", true, 2008, 1, 5},
            {" 1 / 2 / 2008 ", true, 2008, 1, 2},
            {"13/1/2008", false, 0, 0, 0},
            {"1/32/2008", false, 0, 0, 0},
            {"00/1/2008", false, 0, 0, 0},
            {"1-2-2008", false, 0, 0, 0},
            {"1/2/2008x", false, 2008, 1, 2},
            {"1/2/10000", false, 1000, 1, 2},
            {"1/2/200", true, 200, 1, 2},
            {"", false, 0, 0, 0},
            {"/", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dwIsValidDate(c.Text), c.Valid) << c.Text;
        const TDateTime expected = c.Year ? EncodeDate(c.Year, c.Month, c.Day) : 0;
        EXPECT_EQ(dwTextToDate(c.Text), expected) << c.Text;
    }
    EXPECT_EQ(dwTextToDate("2/29/2008"), 39507);
}

TEST_F(dwDateText, DateOrderFollowsTheShortFormat)
{
    SetFormat("dd.MM.yyyy", '.');
    EXPECT_TRUE(dwIsValidDate("31.12.2008"));
    EXPECT_FALSE(dwIsValidDate("12.31.2008"));
    EXPECT_EQ(dwTextToDate("1.2"), EncodeDate(2008, 2, 1));
    SetFormat("yyyy-MM-dd", '-');
    EXPECT_EQ(dwTextToDate("08-12-31"), EncodeDate(2008, 12, 31));
    EXPECT_EQ(dwTextToDate("12-31"), EncodeDate(2008, 12, 31));
}

TEST_F(dwDateText, EpochPlacesTwoDigitYears)
{
    TDateTime date;
    ASSERT_TRUE(dwParseDateWithEpoch("1/1/79", date, 1980));
    EXPECT_EQ(date, EncodeDate(2079, 1, 1));
    ASSERT_TRUE(dwParseDateWithEpoch("1/1/80 junk", date, 1980));
    EXPECT_EQ(date, EncodeDate(1980, 1, 1));
    EXPECT_FALSE(dwParseDate("x", date));
}

TEST_F(dwDateText, Times)
{
    struct Case {
        const char* Text;
        bool Valid;
        int Hour, Minute, Second;
    } cases[] = {
            {"12:00 AM", true, 0, 0, 0},  {"12:00 PM", true, 12, 0, 0}, {"12:30am", true, 0, 30, 0},
            {"9:30 pm", true, 21, 30, 0}, {"9:30:15", true, 9, 30, 15}, {"23:59", true, 23, 59, 0},
            {"13:00 PM", false, 0, 0, 0}, {"0:00 AM", false, 0, 0, 0},  {"24:00", false, 0, 0, 0},
            {"9:60", false, 0, 0, 0},     {"9:30:", false, 0, 0, 0},    {"9:30 xm", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dwIsValidTime(c.Text), c.Valid) << c.Text;
        EXPECT_DOUBLE_EQ(dwTextToTime(c.Text), (c.Hour * 3600 + c.Minute * 60 + c.Second) / 86400.0)
                << c.Text;
    }
}

TEST_F(dwDateText, DateTimes)
{
    EXPECT_TRUE(dwIsValidDateTime("1/2/2008 10:30 PM"));
    EXPECT_DOUBLE_EQ(dwTextToDateTime("1/2/2008 10:30 PM"), EncodeDate(2008, 1, 2) + 22.5 / 24);
    EXPECT_FALSE(dwIsValidDateTime("1/2/2008"));
    EXPECT_FALSE(dwIsValidDateTime("1/2/2008 10:30 PM x"));
    EXPECT_EQ(dwTextToDateTime("1/2/2008"), 0);
    // The first day of the calendar at midnight is a valid value even though it is 0.
    EXPECT_TRUE(dwIsValidDateTime("12/30/1899 12:00 AM"));
}

TEST(dwNumberText, Integers)
{
    struct Case {
        const char* Text;
        bool Valid;
    } cases[] = {
            {"", true},
            {"-", false},
            {"-5", true},
            {"5-", false},
            {"+5", false},
            {"007", true},
            {" 5", false},
            {"12a", false},
            {"2147483647", true},
            {"2147483648", false},
            {"-2147483648", true},
            {"-2147483649", false},
            {"123456789012345678901234567890", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dwIsValidInteger(c.Text), c.Valid) << c.Text;
}

TEST(dwNumberText, FloatsReadTheWholeText)
{
    EXPECT_TRUE(dwIsValidFloat(""));
    EXPECT_TRUE(dwIsValidFloat("1.5"));
    EXPECT_TRUE(dwIsValidFloat("-1.5E3"));
    EXPECT_FALSE(dwIsValidFloat("1,5"));
    EXPECT_FALSE(dwIsValidFloat("abc"));
    // Garbage far down a long text still fails.
    EXPECT_FALSE(dwIsValidFloat("1." + String(70, '0') + "x"));
    EXPECT_TRUE(dwIsValidFloat("1." + String(70, '0')));
}

TEST_F(dwDateText, ElementUnderTheCaret)
{
    const String text = "12/31/2008 10:30:15 PM";
    struct Case {
        int Caret;
        TdwDateTimeElement Element;
    } cases[] = {
            {1, deMonth}, {3, deMonth},   {4, deDay},     {7, deYear},    {10, deYear}, {11, deHour},
            {12, deHour}, {15, deMinute}, {18, deSecond}, {19, deSecond}, {20, deAMPM}, {23, deAMPM},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dwDateTimeElementAt(c.Caret, text, false), c.Element) << "caret " << c.Caret;
    // A text that is no date yet is all date part; time-only text is all time part.
    EXPECT_EQ(dwDateTimeElementAt(4, "12/3", false), deDay);
    EXPECT_EQ(dwDateTimeElementAt(1, "10:30", true), deHour);
    EXPECT_EQ(dwTimeElementAt(4, "10:30"), deMinute);

    SetFormat("d/M/yyyy", '/');
    EXPECT_EQ(dwDateTimeElementAt(1, "31/12/2008", false), deDay);
    EXPECT_EQ(dwDateTimeElementAt(4, "31/12/2008", false), deMonth);
    SetFormat("yyyy/M/d", '/');
    EXPECT_EQ(dwDateTimeElementAt(1, "2008/12/31", false), deYear);
    EXPECT_EQ(dwDateTimeElementAt(9, "2008/12/31", false), deDay);
}

TEST_F(dwDateText, MonthNamesAndCurrentYear)
{
    EXPECT_EQ(dwMonthFromName("DEC"), 12);
    EXPECT_EQ(dwMonthFromName("de"), 0);
    EXPECT_EQ(dwGetCurrentYear(), 2008);
}

}  // namespace
