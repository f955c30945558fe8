#include "platform/xbengine/expr/datetext.h"

#include <gtest/gtest.h>

using namespace xbexpr;

namespace {

TEST(DateText, JulianDaysRoundTripAcrossTheWholeRange)
{
    EXPECT_EQ(JulianDay(1, 1, 1), kFirstJdn);
    EXPECT_EQ(JulianDay(9999, 12, 31), kLastJdn);
    EXPECT_EQ(JulianDay(2000, 1, 1), 2451545);
    for (std::int32_t jdn = kFirstJdn; jdn <= kLastJdn; jdn += 97) {
        int y, m, d;
        DecodeJulian(jdn, y, m, d);
        ASSERT_TRUE(IsValidDate(y, m, d)) << jdn;
        ASSERT_EQ(JulianDay(y, m, d), jdn);
    }
}

TEST(DateText, DtosTextAndTheEmptyDate)
{
    std::int32_t jdn = -1;
    EXPECT_TRUE(DtosToDate("20240229", jdn));
    EXPECT_EQ(DateToDtos(jdn), "20240229");
    EXPECT_TRUE(DtosToDate("        ", jdn));
    EXPECT_EQ(jdn, 0);
    EXPECT_EQ(DateToDtos(0), "        ");
    for (const char* bad : {"20230229", "2024133 ", "2024 101", "abcdefgh", "00000101", "2024010"})
        EXPECT_FALSE(DtosToDate(bad, jdn)) << bad;
}

TEST(DateText, EveryDateFormatWithAndWithoutCentury)
{
    const std::int32_t jdn = JulianDay(2024, 3, 5);
    const struct {
        int format;
        const char* shortText;
        const char* longText;
    } cases[] = {
            {0, "03/05/24", "03/05/2024"}, {1, "24.03.05", "2024.03.05"},  {2, "05/03/24", "05/03/2024"},
            {3, "05/03/24", "05/03/2024"}, {4, "05.03.24", "05.03.2024"},  {5, "05-03-24", "05-03-2024"},
            {6, "05-03-24", "05-03-2024"}, {99, "03/05/24", "03/05/2024"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        ExprSettings s;
        s.DateFormat = c.format;
        s.Epoch = 1980;
        EXPECT_EQ(DateToText(jdn, s), c.shortText);
        EXPECT_EQ(TextToDate(c.shortText, s), jdn);
        s.Century = true;
        EXPECT_EQ(DateToText(jdn, s), c.longText);
        EXPECT_EQ(TextToDate(c.longText, s), jdn);
        EXPECT_EQ(static_cast<int>(DateToText(0, s).size()), DateTextWidth(s));
    }
    ExprSettings american;
    american.Century = true;
    EXPECT_EQ(DateToText(0, american), "  /  /    ");
}

TEST(DateText, TwoDigitYearsLandInTheEpochWindow)
{
    const struct {
        int epoch;
        const char* text;
        int year;
    } cases[] = {
            {1980, "01/01/80", 1980},   {1980, "01/01/79", 2079}, {1980, "01/01/00", 2000},
            {1900, "01/01/99", 1999},   {1950, "01/01/49", 2049}, {2011, "01/01/10", 2110},
            {1980, "01/01/1979", 1979}, {1980, "01/01/5", 2005},
    };
    for (const auto& c : cases) {
        ExprSettings s;
        s.Epoch = c.epoch;
        EXPECT_EQ(TextToDate(c.text, s), JulianDay(c.year, 1, 1)) << c.epoch << " " << c.text;
    }
}

TEST(DateText, UnreadableDateTextIsTheEmptyDate)
{
    ExprSettings s;
    for (const char* bad :
         {"", "  /  /  ", "13/01/2024", "02/30/2024", "1/2", "1/2/3/4", "01/02/20245", "abc"})
        EXPECT_EQ(TextToDate(bad, s), 0) << bad;
    EXPECT_EQ(TextToDate("1/2/2024", s), JulianDay(2024, 1, 2));
}

}  // namespace
