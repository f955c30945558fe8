#include <gtest/gtest.h>

#include "platform/rtl/twodigityear.h"

namespace {

TEST(TwoDigitYear, TableWindowFromTheEpoch)
{
    EXPECT_EQ(TableCenturyWindow(2026, 1980), 46);
    EXPECT_EQ(TableCenturyWindow(2025, 1980), 45);
    EXPECT_EQ(TableCenturyWindow(1980, 1980), 0);
    EXPECT_EQ(TableCenturyWindow(2026, 2050), 24);
    EXPECT_EQ(TableCenturyWindow(2126, 1980), 46);
}

TEST(TwoDigitYear, CenturyWindowOfTheTextConversions)
{
    struct Case {
        int year, current, window, expected;
    };
    for (const Case& c : {
                 // Epoch 1980 seen from 2026: the years 1980..2079.
                 Case {8, 2026, 46, 2008},
                 Case {79, 2026, 46, 2079},
                 Case {80, 2026, 46, 1980},
                 Case {99, 2026, 46, 1999},
                 Case {0, 2026, 46, 2000},
                 // The default window of 50 from 2026: 1976..2075.
                 Case {75, 2026, 50, 2075},
                 Case {76, 2026, 50, 1976},
                 // No window: the current century.
                 Case {79, 2026, 0, 2079},
                 Case {5, 1999, 0, 1905},
         })
        EXPECT_EQ(CenturyWindowYear(c.year, c.current, c.window), c.expected)
                << c.year << " in " << c.current << " window " << c.window;
}

TEST(TwoDigitYear, TablesStoreEarlyYearsInTheEpochCentury)
{
    EXPECT_EQ(EpochWindowYear(7, 1980), 2007);
    EXPECT_EQ(EpochWindowYear(85, 1980), 1985);
    EXPECT_EQ(EpochWindowYear(80, 1980), 1980);
    EXPECT_EQ(EpochWindowYear(79, 1980), 2079);
    EXPECT_EQ(EpochWindowYear(0, 1900), 1900);
    EXPECT_EQ(EpochWindowYear(99, 2999), 2999);
    EXPECT_EQ(EpochWindowYear(98, 2999), 3098);
}

TEST(TwoDigitYear, DataAwareControlsPivotOn1950)
{
    EXPECT_EQ(DataAwareTwoDigitYear(49), 2049);
    EXPECT_EQ(DataAwareTwoDigitYear(50), 1950);
    EXPECT_EQ(DataAwareTwoDigitYear(49, 0), 2049);
    EXPECT_EQ(DataAwareTwoDigitYear(49, 1940), 1949);
    EXPECT_EQ(DataAwareTwoDigitYear(39, 1940), 2039);
}

TEST(TwoDigitYear, DateEditsSplitAt20)
{
    EXPECT_EQ(DateEditTwoDigitYear(0), 2000);
    EXPECT_EQ(DateEditTwoDigitYear(8), 2008);
    EXPECT_EQ(DateEditTwoDigitYear(20), 2020);
    EXPECT_EQ(DateEditTwoDigitYear(21), 1921);
    EXPECT_EQ(DateEditTwoDigitYear(99), 1999);
}

}  // namespace

TEST(TwoDigitYear, ReformattedDateTexts)
{
    EXPECT_EQ(DashedDateTextTwoDigitYear(60), 2060);
    EXPECT_EQ(DashedDateTextTwoDigitYear(61), 1961);
    EXPECT_EQ(DashedDateTextTwoDigitYear(0), 2000);
    EXPECT_EQ(SlashedDateTextTwoDigitYear(61), 2061);
    EXPECT_EQ(SlashedDateTextTwoDigitYear(99), 2099);
}
