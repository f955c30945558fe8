#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"

TEST(Exceptions, MessageIsKeptAndCaughtAsStdException)
{
    try {
        throw EConvertError("'x' is not a valid floating point value");
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid floating point value");
        EXPECT_NE(dynamic_cast<const Exception*>(&e), nullptr);
    }
}
