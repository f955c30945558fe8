#include <gtest/gtest.h>

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/twodigityear.h"

namespace {

// A fixed clock (2026-03-15 14:05:09.250) and the program's date settings, restored afterwards.
class DateTest : public testing::Test {
protected:
    void SetUp() override
    {
        FNow = EncodeDate(2026, 3, 15) + EncodeTime(14, 5, 9, 250);
        SetClock([this] { return FNow; });
    }
    void TearDown() override
    {
        SetClock({});
        ShortDateFormat = FFormat;
        DateSeparator = FSeparator;
        TwoDigitYearCenturyWindow = FWindow;
    }

    TDateTime FNow = 0;

private:
    String FFormat = ShortDateFormat;
    char FSeparator = DateSeparator;
    int FWindow = TwoDigitYearCenturyWindow;
};

struct YMD {
    int y, m, d;
};

TEST(EncodeDate, DayNumbersFromDecember30_1899)
{
    const std::pair<YMD, double> cases[] = {
            {{1899, 12, 30}, 0},     {{1899, 12, 31}, 1},    {{1900, 1, 1}, 2},    {{1899, 12, 29}, -1},
            {{2008, 12, 31}, 39813}, {{2000, 2, 29}, 36585}, {{1, 1, 1}, -693593}, {{9999, 12, 31}, 2958465},
    };
    for (const auto& [date, days] : cases) {
        EXPECT_EQ(EncodeDate(date.y, date.m, date.d), days) << date.y << "-" << date.m << "-" << date.d;
        int y, m, d;
        DecodeDate(days, y, m, d);
        EXPECT_EQ(y, date.y) << days;
        EXPECT_EQ(m, date.m) << days;
        EXPECT_EQ(d, date.d) << days;
    }
}

TEST(EncodeDate, RejectsImpossibleDates)
{
    for (const YMD& date :
         {YMD {2009, 2, 29}, YMD {1900, 2, 29}, YMD {2008, 4, 31}, YMD {2008, 13, 1}, YMD {2008, 0, 1},
          YMD {2008, 1, 0}, YMD {0, 1, 1}, YMD {10000, 1, 1}, YMD {2008, 1, 32}}) {
        TDateTime value = 7;
        EXPECT_FALSE(TryEncodeDate(date.y, date.m, date.d, value))
                << date.y << "-" << date.m << "-" << date.d;
        EXPECT_EQ(value, 7);
    }
    try {
        EncodeDate(2009, 2, 29);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
}

TEST(EncodeDate, DecodeRoundTripsEveryDayOfFourCenturies)
{
    int y, m, d;
    for (int day = EncodeDate(1800, 1, 1); day <= EncodeDate(2200, 12, 31); ++day) {
        // Before 1899-12-30 the value is negative and its fraction still counts forward in the day.
        DecodeDate(day + (day < 0 ? -0.75 : 0.75), y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day);
    }
}

TEST(Calendar, LeapYearsAndMonthLengths)
{
    EXPECT_TRUE(IsLeapYear(2008));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2009));
    EXPECT_EQ(DaysInMonth(2008, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2008, 4), 30);
    EXPECT_EQ(DaysInMonth(2008, 12), 31);
    EXPECT_EQ(DaysInMonth(2008, 13), 0);
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2008, 12, 31)), 4);  // Wednesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1800, 1, 5)), 1);    // Sunday
}

TEST(EncodeTime, FractionOfTheDay)
{
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    int h, n, s, ms;
    DecodeTime(EncodeDate(2008, 1, 1) + EncodeTime(23, 59, 59, 999), h, n, s, ms);
    EXPECT_EQ((std::vector<int> {h, n, s, ms}), (std::vector<int> {23, 59, 59, 999}));
    DecodeTime(-1.25, h, n, s, ms);  // before 1899-12-30 the fraction is still the time
    EXPECT_EQ(h, 6);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
}

TEST_F(DateTest, NowDateAndTimeComeFromTheInstalledClock)
{
    EXPECT_EQ(Now(), FNow);
    EXPECT_EQ(Date(), EncodeDate(2026, 3, 15));
    EXPECT_NEAR(Time(), EncodeTime(14, 5, 9, 250), 0.5 / 86400000);
    SetClock({});
    EXPECT_NEAR(Now(), SystemClockNow(), 1.0 / 24 / 60);
}

TEST_F(DateTest, FormatDateTimePatterns)
{
    const TDateTime value = EncodeDate(2008, 1, 5) + EncodeTime(15, 4, 3, 7);
    const std::pair<const char*, const char*> cases[] = {
            {"mm/dd/yyyy", "01/05/2008"},
            {"mm-dd-yyyy", "01-05-2008"},
            {"yyyymmdd", "20080105"},
            {"m/d/yy", "1/5/08"},
            {"ddd dddd", "Sat Saturday"},
            {"mmm mmmm", "Jan January"},
            {"hh:nn:ss", "15:04:03"},
            {"h:mm", "15:04"},
            {"hh:mm am/pm", "03:04 pm"},
            {"h:nn AM/PM", "3:04 PM"},
            {"h a/p", "3 p"},
            {"h:nn ampm", "3:04 PM"},
            {"s.zzz z", "3.007 7"},
            {"\"Date:\" dd 'of' mmmm", "Date: 05 of January"},
            {"ddddd", "01/05/2008"},
            {"c", "01/05/2008 3:04:03 PM"},
            {"YYYY-MM-DD", "2008-01-05"},
    };
    for (const auto& [pattern, text] : cases)
        EXPECT_EQ(FormatDateTime(pattern, value), text) << pattern;
    EXPECT_EQ(FormatDateTime("hh am/pm", EncodeTime(0, 30, 0, 0)), "12 am");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2008, 1, 5)), "01/05/2008");
}

TEST_F(DateTest, DateToStrFollowsTheProgramSettings)
{
    const TDateTime value = EncodeDate(2008, 12, 31);
    EXPECT_EQ(DateToStr(value), "12/31/2008");
    ShortDateFormat = "dd/mm/yyyy";
    DateSeparator = '.';
    EXPECT_EQ(DateToStr(value), "31.12.2008");
}

TEST_F(DateTest, StrToDateUnderTheTableWindow)
{
    ShortDateFormat = "mm/dd/yyyy";
    DateSeparator = '/';
    TwoDigitYearCenturyWindow = TableCenturyWindow(2026, 1980);
    const std::pair<const char*, YMD> cases[] = {
            {"12/31/08", {2008, 12, 31}},   {"01/02/79", {2079, 1, 2}}, {"01/02/80", {1980, 1, 2}},
            {"12/31/2008", {2008, 12, 31}}, {"1/2/0079", {79, 1, 2}},   {" 7 / 4 ", {2026, 7, 4}},
            {"2/29/2008", {2008, 2, 29}},
    };
    for (const auto& [text, date] : cases)
        EXPECT_EQ(StrToDate(text), EncodeDate(date.y, date.m, date.d)) << text;
}

TEST_F(DateTest, StrToDateReadsFieldsInTheOrderOfTheFormat)
{
    TwoDigitYearCenturyWindow = 50;
    ShortDateFormat = "dd.mm.yyyy";
    DateSeparator = '.';
    EXPECT_EQ(StrToDate("31.12.2008"), EncodeDate(2008, 12, 31));
    EXPECT_EQ(StrToDate("4.7"), EncodeDate(2026, 7, 4));
    ShortDateFormat = "yyyy-mm-dd";
    DateSeparator = '-';
    EXPECT_EQ(StrToDate("2008-12-31"), EncodeDate(2008, 12, 31));
    EXPECT_EQ(StrToDate("12-31"), EncodeDate(2026, 12, 31));
}

TEST_F(DateTest, StrToDateRejectsWhatIsNoDate)
{
    ShortDateFormat = "mm/dd/yyyy";
    DateSeparator = '/';
    for (const char* text : {"", "12", "12/", "2/30/2009", "13/01/2008", "12/31/2008 x", "12-31-2008",
                             "a/b/c", "12/31/", "00/10/2008"}) {
        TDateTime value = 5;
        EXPECT_FALSE(TryStrToDate(text, value)) << text;
        EXPECT_EQ(value, 5) << text;
    }
    try {
        StrToDate("2/30/2009");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'2/30/2009' is not a valid date");
    }
}

TEST_F(DateTest, DateTextRoundTrips)
{
    TwoDigitYearCenturyWindow = TableCenturyWindow(2026, 1980);
    for (const char* format : {"mm/dd/yyyy", "m/d/yy", "dd/mm/yyyy", "yyyy/mm/dd"}) {
        ShortDateFormat = format;
        for (TDateTime day = EncodeDate(1980, 1, 1); day < EncodeDate(2079, 12, 31); day += 97)
            EXPECT_EQ(StrToDate(DateToStr(day)), day) << format << " " << DateToStr(day);
    }
}

}  // namespace
