#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/dynlib.h"

TEST(DynLib, FindsAFunctionByNameAndReportsWhatIsMissing)
{
    void* libc = DynLibOpen("libc.so.6");
    ASSERT_NE(libc, nullptr);
    auto length = reinterpret_cast<size_t (*)(const char*)>(DynLibSymbol(libc, "strlen"));
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length("abc"), 3u);
    EXPECT_EQ(DynLibSymbol(libc, "no_such_function_here"), nullptr);
    DynLibClose(libc);

    EXPECT_EQ(DynLibOpen("/nonexistent/libnothing.so"), nullptr);
    EXPECT_EQ(DynLibSymbol(nullptr, "strlen"), nullptr);
}
