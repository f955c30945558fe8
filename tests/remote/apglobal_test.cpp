// Stream lines and the small text conversions.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "remote/apglobal.h"

TEST(StreamTextTest, LinesEndAtACarriageReturnAndConsumeOnlyAFollowingLineFeed)
{
    TStringStream stream("one\r\ntwo\rxthree");
    EXPECT_EQ(StreamReadLn(stream), "one");
    EXPECT_EQ(stream.Position(), 5);
    EXPECT_EQ(StreamReadLn(stream), "two");
    EXPECT_EQ(stream.Position(), 9);  // on the "x"
    EXPECT_EQ(StreamReadLn(stream), "xthree");
    EXPECT_TRUE(StreamEOF(stream));
    try {
        StreamReadLn(stream);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Input past end of stream");
    }
    TStringStream empty;
    EXPECT_FALSE(StreamEOF(empty));
}

TEST(StreamTextTest, BlockReadsFindLinesLongerThanOneBlock)
{
    const String longLine(600, 'a');
    TStringStream stream(longLine + "\r\nshort\r\n");
    EXPECT_EQ(StreamReadShortLn(stream), longLine);
    EXPECT_EQ(StreamReadShortLn(stream), "short");
    stream.SetPosition(0);
    bool found = true;
    EXPECT_EQ(StreamReadLongLn(stream, found, 300), String(300, 'a'));
    EXPECT_FALSE(found);
    EXPECT_EQ(StreamReadLongLn(stream, found, 1000), String(300, 'a'));
    EXPECT_TRUE(found);
    EXPECT_EQ(StreamReadXChars(stream, 3), "sho");
    TStringStream out;
    StreamWriteLn(out, "x");
    StreamWrite(out, "");
    EXPECT_EQ(out.DataString(), "x\r\n");
}

TEST(StreamTextTest, TextHelpers)
{
    EXPECT_EQ(Pad10(42), "0000000042");
    EXPECT_EQ(TabPAD("12345678").size(), 16u);
    EXPECT_EQ(TabPAD(""), String(8, ' '));
    EXPECT_EQ(StrToMonth("sep"), 9);
    EXPECT_EQ(StrToMonth("Sept"), 0);
    EXPECT_EQ(StrToDay("sat"), 7);
    EXPECT_EQ(RPos("a", "banana"), 6);
    EXPECT_EQ(RPos("a", "banana", 5), 4);
    EXPECT_EQ(RPos("x", "banana"), 0);
    EXPECT_EQ(PosInStrArray("b", {"a", "b"}), 1);
    EXPECT_EQ(PosInStrArray("c", {"a", "b"}), -1);
    EXPECT_EQ(UpcaseFirst("hELLO"), "Hello");
    EXPECT_TRUE(IsNumeric('7'));
    EXPECT_FALSE(IsNumeric('x'));
    EXPECT_EQ(StringReplace("a=b=c", "=", ": "), "a: b=c");
    EXPECT_EQ(StringReplace("a=b=c", "=", "", rfReplaceAll), "abc");
    EXPECT_EQ(StringReplace("Hello hello", "HELLO", "x", rfReplaceAll | rfIgnoreCase), "x x");
    EXPECT_EQ(NoAngleBrackets("<a@b>"), "a@b");
    EXPECT_EQ(siif(false, "a", "b"), "b");
}

TEST(StreamTextTest, OffsetFromUTCHoldsInZonesWithAndWithoutDaylightSaving)
{
    const char* old = std::getenv("TZ");
    const String saved = old ? old : "";
    struct Zone {
        const char* TZ;
        double Hours;
    };
    for (const Zone& z : {Zone {"UTC", 0}, Zone {"Asia/Kolkata", 5.5}, Zone {"Asia/Tokyo", 9}}) {
        setenv("TZ", z.TZ, 1);
        tzset();
        EXPECT_NEAR(OffsetFromUTC() * 24, z.Hours, 1e-9) << z.TZ;
    }
    setenv("TZ", "America/New_York", 1);
    tzset();
    const double hours = OffsetFromUTC() * 24;
    EXPECT_TRUE(std::fabs(hours + 5) < 1e-9 || std::fabs(hours + 4) < 1e-9) << hours;
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
