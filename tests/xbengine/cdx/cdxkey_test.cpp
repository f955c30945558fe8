#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/xbengine/cdx/cdxkey.h"

namespace {

String Hex(const String& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    String text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

TEST(CdxKey, EncodingsMatchTheStoredBytes)
{
    struct Case {
        String key;
        const char* hex;
    };
    const Case cases[] = {
            {CdxDateKey(2449749), "C142B0AA80000000"}, {CdxIntegerKey(1), "80000001"},
            {CdxIntegerKey(-1), "7FFFFFFF"},           {CdxNumericKey(0), "8000000000000000"},
            {CdxNumericKey(-0.0), "8000000000000000"}, {CdxNumericKey(1), "BFF0000000000000"},
            {CdxNumericKey(-1), "400FFFFFFFFFFFFF"},   {CdxLogicalKey(true), "54"},
            {CdxCharacterKey("AB", 4), "41422020"},    {CdxCharacterKey("ABCDEF", 4), "41424344"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(c.key), c.hex);
}

TEST(CdxKey, ByteOrderIsValueOrder)
{
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> numbers {-inf, -1e300, -1234.5, -1, -0.5,  -1e-300, -0.0,
                                 0,    1e-300, 0.25,    1,  99.99, 1e15,    inf};
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        EXPECT_LE(CdxNumericKey(numbers[i - 1]), CdxNumericKey(numbers[i]))
                << numbers[i - 1] << " " << numbers[i];
        EXPECT_EQ(CdxNumericValue(CdxNumericKey(numbers[i])), numbers[i]);
    }
    std::vector<std::int32_t> integers {INT32_MIN, -70000, -1, 0, 1, 255, 256, 70000, INT32_MAX};
    for (std::size_t i = 1; i < integers.size(); ++i) {
        EXPECT_LT(CdxIntegerKey(integers[i - 1]), CdxIntegerKey(integers[i]));
        EXPECT_EQ(CdxIntegerValue(CdxIntegerKey(integers[i])), integers[i]);
    }
    EXPECT_LT(CdxDateKey(0), CdxDateKey(2451545));
    EXPECT_EQ(CdxDateValue(CdxDateKey(2451545)), 2451545);
    EXPECT_LT(CdxLogicalKey(false), CdxLogicalKey(true));
}

}  // namespace
