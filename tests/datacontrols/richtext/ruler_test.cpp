// The ruler's arithmetic: its scale, the markers for a paragraph's indents, and the
// indents a dragged marker sets.

#include <gtest/gtest.h>

#include "datacontrols/richtext/dwruler.h"

namespace {

const TRect Band = Rect(6, 4, 594, 21);  // a ruler 600 pixels wide and 25 high
constexpr int MarkerWidth = 9;
constexpr int Ppi = 96;

TEST(dwRuler, TheScaleHasEightTicksToTheInchAndFourToTheCentimetre)
{
    const TdwRulerScale inches = dwRulerScale(Band, 96, 2.5, muInches);
    ASSERT_EQ(inches.Numbers.size(), 2u);
    EXPECT_EQ(inches.Numbers[0].X, 6 + 96);
    EXPECT_EQ(inches.Numbers[1].Value, 2);
    EXPECT_EQ(inches.Ticks.size(), 7u + 7u + 4u) << "none beyond two and a half inches";
    EXPECT_EQ(inches.Ticks[0].X, 6 + 12);
    EXPECT_EQ(inches.Ticks[3].Top, Band.Top + 7) << "the middle tick is longer";
    EXPECT_EQ(inches.Ticks[3].Bottom, Band.Bottom - 5);
    EXPECT_EQ(inches.Ticks[0].Top, Band.Top + 8);
    EXPECT_EQ(inches.Ticks[0].Bottom, Band.Bottom - 7);

    const double ppu = dwRulerPixelsPerUnit(Ppi, muCentimeters);
    EXPECT_NEAR(ppu, 37.84, 0.01);
    const TdwRulerScale cm = dwRulerScale(Band, ppu, 3, muCentimeters);
    EXPECT_EQ(cm.Numbers.size(), 3u);
    EXPECT_EQ(cm.Ticks.size(), 9u);
}

TEST(dwRuler, TheLengthFollowsTheWindowOrThePage)
{
    EXPECT_DOUBLE_EQ(dwRulerLengthForWindow(588, 96), 6);
    EXPECT_DOUBLE_EQ(dwRulerLengthForPage(8.5, 1, 1, muInches), 6.5);
    EXPECT_NEAR(dwRulerLengthForPage(8.5, 1, 1, muCentimeters), 16.49, 0.01);
}

TEST(dwRuler, MarkersStandWhereTheIndentsAreAndGiveThemBack)
{
    struct Case {
        int Start, Right, Offset;
    };
    for (const Case& c : {Case {0, 0, 0}, Case {720, 1440, 360}, Case {1440, 0, -720}, Case {0, 720, 720}}) {
        SCOPED_TRACE(c.Start);
        const TdwRulerMarkers m = dwRulerMarkersFor(c.Start, c.Right, c.Offset, Band, 600, MarkerWidth, Ppi);
        EXPECT_EQ(m.FirstLine, c.Start / 15 + Band.Left - 4);
        EXPECT_EQ(m.Left, (c.Start + c.Offset) / 15 + Band.Left - 4);
        const TdwRulerIndents back = dwRulerIndentsFor(m, Band, MarkerWidth, Ppi);
        EXPECT_EQ(back.StartIndent, c.Start);
        EXPECT_EQ(back.Offset, c.Offset);
    }
}

TEST(dwRuler, ADraggedMarkerSnapsToADivisionAndKeepsItsDistance)
{
    TdwRulerMarkers m {2, 2, 500};
    m.Left = 2 + 50;  // half an inch and two pixels
    TdwRulerMarkers c = dwConstrainRulerMarkers(m, rmLeft, Band, MarkerWidth, Ppi, muInches);
    EXPECT_EQ(c.Left, 2 + 48) << "to the nearest eighth of an inch";
    m.Left = 480;
    c = dwConstrainRulerMarkers(m, rmLeft, Band, MarkerWidth, Ppi, muInches);
    EXPECT_EQ(c.Left, c.Right - 48) << "no closer than 48 pixels to the right marker";
    m = TdwRulerMarkers {2, 300, 310};
    c = dwConstrainRulerMarkers(m, rmRight, Band, MarkerWidth, Ppi, muInches);
    EXPECT_EQ(c.Right, 302 + 48);
    m = TdwRulerMarkers {2, 2, 5000};
    c = dwConstrainRulerMarkers(m, rmRight, Band, MarkerWidth, Ppi, muInches);
    EXPECT_EQ(c.Right, Band.Right - 4) << "stops at the band's end";
    m = TdwRulerMarkers {2, 2 + 40, 500};
    c = dwConstrainRulerMarkers(m, rmLeft, Band, MarkerWidth, Ppi, muCentimeters);
    EXPECT_EQ(c.Left, 2 + 38) << "to the nearest quarter centimetre";
}

}  // namespace
