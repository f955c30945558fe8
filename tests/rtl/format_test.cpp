#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

namespace {

TEST(Format, IntegersTextAndPercent)
{
    EXPECT_EQ(Format("%d items", {42}), "42 items");
    EXPECT_EQ(Format("[%5d][%-5d][%.3d][%5.3d]", {7, 7, -7, 7}), "[    7][7    ][-007][  007]");
    EXPECT_EQ(Format("D:%d%.2d%.2d", {2008, 1, 5}), "D:20080105");
    EXPECT_EQ(Format("%x %x %.4x %u", {255, -1, 10, -1}), "FF FFFFFFFF 000A 4294967295");
    EXPECT_EQ(Format("%d", {Int64(-9223372036854775807LL - 1)}), "-9223372036854775808");
    EXPECT_EQ(Format("Field '%s' not found", {"NAME"}), "Field 'NAME' not found");
    EXPECT_EQ(Format("[%6s][%-6s][%.2s]", {String("ab"), "ab", "abcdef"}), "[    ab][ab    ][ab]");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%s\r\n", {"line"}), "line\r\n");
}

TEST(Format, FloatingPoint)
{
    EXPECT_EQ(Format("%*.*f", {10, 2, 3.14159}), "      3.14");
    EXPECT_EQ(Format("%*.*f", {8, 2, 1234.567}), " 1234.57");
    EXPECT_EQ(Format("%*.*f", {4, 0, 12.5}), "  13");
    EXPECT_EQ(Format("%f", {2.0}), "2.00");
    EXPECT_EQ(Format("%.2f", {-0.001}), "0.00");
    EXPECT_EQ(Format("%.2f", {-1234.5}), "-1234.50");
    EXPECT_EQ(Format("%.2f", {2.675}), "2.68");
    EXPECT_EQ(Format("%e", {1.5}), "1.50000000000000E+000");
    EXPECT_EQ(Format("%.3e", {-0.000123}), "-1.23E-004");
    EXPECT_EQ(Format("%g", {0.1 + 0.2}), "0.3");
    EXPECT_EQ(Format("%.3g", {1234.0}), "1.23E3");
    EXPECT_EQ(Format("%.2g", {0.125}), "0.13");
}

TEST(Format, WrongOrMissingArgumentsRaise)
{
    const auto message = [](auto call) {
        try {
            call();
        } catch (const EConvertError& e) {
            return e.Message();
        }
        return String("no exception");
    };
    EXPECT_EQ(message([] { Format("%d %d", {1}); }), "No argument for format '%d'");
    EXPECT_EQ(message([] { Format("%d", {"x"}); }), "Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(message([] { Format("%s", {1}); }), "Format '%s' invalid or incompatible with argument");
    EXPECT_EQ(message([] { Format("%.2f", {1}); }), "Format '%.2f' invalid or incompatible with argument");
    EXPECT_EQ(message([] {
                  Format("%*.*f", {2.0, 2, 1.0});
              }),
              "Format '%*.*f' invalid or incompatible with argument");
    EXPECT_EQ(message([] { Format("%q", {1}); }), "Format '%q' invalid or incompatible with argument");
    EXPECT_EQ(message([] { Format("50%", {}); }), "Format '%' invalid or incompatible with argument");
}

}  // namespace
