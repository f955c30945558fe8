#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/floattext.h"

namespace {

struct MaskCase {
    const char* mask;
    double value;
    const char* expected;
};

class FormatFloatTest : public testing::TestWithParam<MaskCase> { };

TEST_P(FormatFloatTest, FormatsAsTheMaskSays)
{
    const MaskCase& c = GetParam();
    EXPECT_EQ(FormatFloat(c.mask, c.value), c.expected) << "mask \"" << c.mask << "\" value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
        Placeholders, FormatFloatTest,
        testing::Values(MaskCase {"#,.00", 1234567.891, "1,234,567.89"}, MaskCase {"$#,.00", 0.5, "$.50"},
                        MaskCase {"#.00", 0, ".00"}, MaskCase {"#,.00", -1234.5, "-1,234.50"},
                        MaskCase {"#,.00", -20, "-20.00"}, MaskCase {"########", 42, "42"},
                        MaskCase {"########", 0, ""}, MaskCase {"0.00", -0.001, "0.00"},
                        MaskCase {"0.00", 3.14159, "3.14"}, MaskCase {"#.##", 5, "5"},
                        MaskCase {"0.##", 5.5, "5.5"}, MaskCase {"##.##", 0.25, ".25"},
                        MaskCase {"00000", 42, "00042"}, MaskCase {"00000", 123456, "123456"},
                        MaskCase {"0000000000.00", 1234.5, "0000001234.50"},
                        MaskCase {"0000000000000000.00", 99.99, "0000000000000099.99"},
                        MaskCase {"##########0,", 0, "0"}, MaskCase {"##########0,", 1234567, "1,234,567"},
                        MaskCase {"###########,", 0, ""}, MaskCase {"###########,", 999, "999"},
                        MaskCase {"#,##0", 1000, "1,000"}, MaskCase {"#,##0", -999999, "-999,999"},
                        MaskCase {".00", 12.5, "12.50"}, MaskCase {"0", 0.5, "1"}, MaskCase {"0", -0.5, "-1"},
                        MaskCase {"0", 0.49, "0"}));

// Rounding is half away from zero on the 15-significant-digit form, not on the binary value.
INSTANTIATE_TEST_SUITE_P(Rounding, FormatFloatTest,
                         testing::Values(MaskCase {"#.00", 2.675, "2.68"}, MaskCase {"#.00", 1.005, "1.01"},
                                         MaskCase {"#.00", -2.675, "-2.68"}, MaskCase {"0.0", 0.05, "0.1"},
                                         MaskCase {"0.000", 1.0005, "1.001"},
                                         MaskCase {"#,.00", 999999.995, "1,000,000.00"},
                                         MaskCase {"0.00", 0.1 + 0.2, "0.30"},
                                         MaskCase {"0.00E+00", 1.125, "1.13E+00"},
                                         MaskCase {"##0.0E+0", 1234.5, "123.5E+1"}));

INSTANTIATE_TEST_SUITE_P(
        SectionsAndLiterals, FormatFloatTest,
        testing::Values(MaskCase {"0.00;(0.00)", -5, "(5.00)"}, MaskCase {"0.00;(0.00)", 5, "5.00"},
                        MaskCase {"0.00;(0.00);\"zero\"", 0, "zero"},
                        MaskCase {"0.00;(0.00);\"zero\"", -0.001, "zero"},
                        MaskCase {"0.00;(0.00)", -0.001, "0.00"}, MaskCase {"0.00;;\"nil\"", -3, "-3.00"},
                        MaskCase {"\"Total: \"#,.00", 1234.5, "Total: 1,234.50"}, MaskCase {"'#'0", 7, "#7"},
                        MaskCase {"0\";\"0", 12, "1;2"}, MaskCase {"00-00", 1234, "12-34"},
                        MaskCase {"0.0.0", 1234.5, "1234.50"}, MaskCase {"0.00 USD", 3, "3.00 USD"},
                        MaskCase {"#.00%", 12.345, "12.35%"}));

INSTANTIATE_TEST_SUITE_P(
        Exponent, FormatFloatTest,
        testing::Values(MaskCase {"0.00E+00", 1234, "1.23E+03"}, MaskCase {"0.00E+00", 0.000123, "1.23E-04"},
                        MaskCase {"0.00E-00", 1234, "1.23E03"}, MaskCase {"0.00E-00", 0.000123, "1.23E-04"},
                        MaskCase {"0.0E+0", 0, "0.0E+0"}, MaskCase {"0.###E+000", 1500, "1.5E+003"},
                        MaskCase {"0.00e+00", -98765, "-9.88e+04"}));

TEST(FormatFloat, EmptyMaskAndSpecialValuesGiveGeneralText)
{
    EXPECT_EQ(FormatFloat("", 1234.5), "1234.5");
    EXPECT_EQ(FormatFloat("#.00", 1e20), "1E20");
    EXPECT_EQ(FormatFloat("#.00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFloat("#.00", -std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(FormatFloat("#.00", std::nan("")), "NAN");
}

TEST(FloatToStr, ShortestFifteenDigitText)
{
    const std::pair<double, const char*> cases[] = {
            {0, "0"},
            {5, "5"},
            {67.75, "67.75"},
            {-3.5, "-3.5"},
            {0.1 + 0.2, "0.3"},
            {static_cast<double>(17.6f), "17.6000003814697"},
            {static_cast<double>(5.1f), "5.09999990463257"},
            {1234567.891, "1234567.891"},
            {100, "100"},
            {0.0001, "0.0001"},
            {0.00001, "1E-5"},
            {1.5e-5, "1.5E-5"},
            {999999999999999, "999999999999999"},
            {1e15, "1E15"},
            {1e20, "1E20"},
            {-1.25e100, "-1.25E100"},
            {123456789012345678.0, "1.23456789012346E17"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FloatToStr(value), text) << value;
}

TEST(StrToFloat, ReadsNumbersWithBlanksAroundThem)
{
    const std::pair<const char*, double> cases[] = {
            {"0", 0},     {"3.5", 3.5},       {" -2.25 ", -2.25}, {"+7", 7},     {".5", 0.5},    {"5.", 5},
            {"1E5", 1e5}, {"1.5e-3", 1.5e-3}, {"-1E+2", -100},    {"1e-400", 0}, {"000012", 12},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(StrToFloat(text), value) << text;
}

TEST(StrToFloat, RejectsWhatIsNoNumber)
{
    for (const char* text :
         {"", "   ", "abc", "1,5", "1.2.3", ".", "-", "1e", "1e+", "1 2", "$10", "1e400", "INF", "0x10"}) {
        double value = 42;
        EXPECT_FALSE(TryStrToFloat(text, value)) << text;
        EXPECT_EQ(value, 42) << "value changed by a failed conversion of " << text;
        EXPECT_EQ(StrToFloatDef(text, -1), -1) << text;
    }
    try {
        StrToFloat("1.2.3");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1.2.3' is not a valid floating point value");
    }
}

TEST(StrToFloat, RoundTripsFloatToStr)
{
    for (double value : {0.1, -2.5, 1234567.891, 1e-10, 6.02214076e23, 123456789012345.0, 0.000123})
        EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(value)), value) << value;
}

TEST(FloatToDecimal, RoundsToDecimalsAndDropsTheSignOfZero)
{
    TFloatRec rec = FloatToDecimal(-0.004, 15, 2);
    EXPECT_TRUE(rec.Digits.empty());
    EXPECT_FALSE(rec.Negative);
    rec = FloatToDecimal(9.995, 15, 2);
    EXPECT_EQ(rec.Digits, "1");
    EXPECT_EQ(rec.Exponent, 2);
    rec = FloatToDecimal(-123.456, 4, 9999);
    EXPECT_EQ(rec.Digits, "1235");
    EXPECT_EQ(rec.Exponent, 3);
    EXPECT_TRUE(rec.Negative);
}

}  // namespace
