#include "platform/xbengine/expr/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace xbexpr;

namespace {

TEST(NumberText, FixedTextRoundsHalfAwayFromZeroOnDecimalDigits)
{
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
            {2.675, 2, "2.68"},
            {-2.675, 2, "-2.68"},
            {1.005, 2, "1.01"},
            {0.5, 0, "1"},
            {-0.5, 0, "-1"},
            {-0.004, 2, "0.00"},
            {999.995, 2, "1000.00"},
            {0, 3, "0.000"},
            {1234.5, 2, "1234.50"},
            {0.0001234, 6, "0.000123"},
            {1e15, 0, "1000000000000000"},
            {99.5, 0, "100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text) << c.value;
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 2), "");
    EXPECT_EQ(FormatFixed(std::nan(""), 2), "");
}

TEST(NumberText, StrGivesUpDecimalsBeforeDigits)
{
    EXPECT_EQ(StrOf(17, 10, 0), "        17");
    EXPECT_EQ(StrOf(3.14159, 6, 2), "  3.14");
    EXPECT_EQ(StrOf(123.456, 5, 2), "123.5");
    EXPECT_EQ(StrOf(123.456, 3, 2), "123");
    EXPECT_EQ(StrOf(1234, 3, 0), "***");
    EXPECT_EQ(StrOf(-12, 3, 0), "-12");
    EXPECT_EQ(StrOf(-123, 3, 0), "***");
}

TEST(NumberText, ValReadsTheLeadingNumber)
{
    const std::pair<const char*, double> cases[] = {
            {"  12.50abc", 12.5}, {"-3", -3},        {"+4.", 4}, {".25", 0.25},       {"", 0},
            {"abc", 0},           {"-", 0},          {".", 0},   {"0000000123", 123}, {"       123", 123},
            {"1 2", 1},           {"**********", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ValOf(text), value) << text;
}

TEST(NumberText, RoundingToNegativeDecimals)
{
    EXPECT_EQ(RoundHalfAway(1250, -2), 1300);
    EXPECT_EQ(RoundHalfAway(-1250, -2), -1300);
    EXPECT_EQ(RoundHalfAway(2.675, 2), 2.68);
}

}  // namespace
