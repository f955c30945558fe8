// Three-dimensional edges, push buttons and check boxes drawn on a bitmap.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/vcl/controls/frames.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/qt/qapp.h"

namespace {

// A colour none of the drawings use, so that every pixel they touch shows.
constexpr TColor Background = clFuchsia;

class FramesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        Bitmap.SetSize(20, 14);
        Canvas = Bitmap.Canvas();
        Canvas->Brush()->SetColor(Background);
        Canvas->FillRect(Rect(0, 0, 20, 14));
    }
    TColor At(int X, int Y) { return Canvas->Pixels(X, Y); }
    // The smallest rectangle holding every pixel of Color; empty when there is none.
    TRect Extent(TColor Color)
    {
        TRect r;
        bool found = false;
        for (int y = 0; y < 14; ++y) {
            for (int x = 0; x < 20; ++x) {
                if (At(x, y) != ColorToRGB(Color))
                    continue;
                r = found ? Rect(std::min<int>(r.Left, x), std::min<int>(r.Top, y),
                                 std::max<int>(r.Right, x + 1), std::max<int>(r.Bottom, y + 1))
                          : Rect(x, y, x + 1, y + 1);
                found = true;
            }
        }
        return r;
    }

    TBitmap Bitmap;
    TCanvas* Canvas = nullptr;
};

TEST_F(FramesTest, EdgesAreTwoRingsLitFromTheTopLeft)
{
    struct Case {
        unsigned Edge;
        TColor OuterTopLeft, InnerTopLeft, InnerBottomRight, OuterBottomRight;
    };
    for (const Case& c : {Case {EDGE_RAISED, cl3DLight, clBtnHighlight, clBtnShadow, cl3DDkShadow},
                          Case {EDGE_SUNKEN, clBtnShadow, cl3DDkShadow, cl3DLight, clBtnHighlight}}) {
        SetUp();
        TRect r = Rect(2, 2, 18, 12);
        DrawEdge(*Canvas, r, c.Edge, BF_RECT);
        EXPECT_EQ(r, Rect(2, 2, 18, 12)) << "without BF_ADJUST the rectangle stays";
        EXPECT_EQ(At(2, 2), ColorToRGB(c.OuterTopLeft)) << c.Edge;
        EXPECT_EQ(At(2, 11), ColorToRGB(c.OuterBottomRight)) << "the bottom line takes the corner";
        EXPECT_EQ(At(3, 3), ColorToRGB(c.InnerTopLeft)) << c.Edge;
        EXPECT_EQ(At(16, 10), ColorToRGB(c.InnerBottomRight)) << c.Edge;
        EXPECT_EQ(At(17, 11), ColorToRGB(c.OuterBottomRight)) << c.Edge;
        EXPECT_EQ(At(17, 2), ColorToRGB(c.OuterBottomRight)) << "the right line takes the corner";
        EXPECT_EQ(At(10, 7), Background) << "the middle is left alone";
        EXPECT_EQ(At(18, 7), Background) << "nothing outside";
    }
}

TEST_F(FramesTest, EdgesTakeOnlyTheChosenSidesAndCanFillAndShrink)
{
    TRect r = Rect(2, 2, 18, 12);
    DrawEdge(*Canvas, r, EDGE_RAISED, BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(r, Rect(2, 4, 18, 10));
    EXPECT_EQ(At(2, 2), ColorToRGB(cl3DLight));
    EXPECT_EQ(At(2, 11), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(At(2, 7), ColorToRGB(clBtnFace)) << "no left edge: the middle reaches the side";
    EXPECT_EQ(At(17, 7), ColorToRGB(clBtnFace));
}

TEST_F(FramesTest, PushButtonsRiseAndSinkWhenPushed)
{
    DrawFrameControl(*Canvas, Rect(0, 0, 10, 14), DFC_BUTTON, DFCS_BUTTONPUSH);
    DrawFrameControl(*Canvas, Rect(10, 0, 20, 14), DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(At(0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(At(9, 13), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(At(10, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(19, 13), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(5, 7), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(15, 7), ColorToRGB(clBtnFace));
}

TEST_F(FramesTest, CheckBoxesAreSunkenSquaresTickedWhenChecked)
{
    struct Case {
        unsigned State;
        TColor Inside, Tick;
    };
    for (const Case& c : {Case {DFCS_BUTTONCHECK, clWindow, clWindow},
                          Case {DFCS_BUTTONCHECK | DFCS_CHECKED, clWindow, clWindowText},
                          Case {DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, clBtnFace, clGrayText}}) {
        SetUp();
        // A 13-pixel box centred in a wider cell: columns 3 to 15.
        DrawFrameControl(*Canvas, Rect(0, 0, 20, 13), DFC_BUTTON, c.State);
        EXPECT_EQ(At(2, 6), Background) << "square, centred";
        EXPECT_EQ(At(3, 0), ColorToRGB(clBtnShadow));
        EXPECT_EQ(At(15, 12), ColorToRGB(clBtnHighlight));
        EXPECT_EQ(At(6, 3), ColorToRGB(c.Inside)) << c.State;
        // A pixel of the tick.
        EXPECT_EQ(At(9, 8), ColorToRGB(c.Tick)) << c.State;
    }
}

TEST_F(FramesTest, ComboButtonsPointDownAndSinkOrGreyOut)
{
    DrawFrameControl(*Canvas, Rect(0, 0, 20, 14), DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    EXPECT_EQ(At(0, 0), ColorToRGB(cl3DLight)) << "a raised button";
    const TRect arrow = Extent(clBtnText);
    ASSERT_GT(arrow.Height(), 1);
    EXPECT_EQ(arrow.Width(), 2 * arrow.Height() - 1) << "widest at the top, one pixel at the tip";
    EXPECT_EQ(arrow.Left + arrow.Right - 1, 20) << "centred across";
    EXPECT_LE(std::abs(arrow.Top + arrow.Bottom - 14), 1) << "centred down";
    const int tip = arrow.Left + arrow.Height() - 1;
    EXPECT_EQ(At(tip, arrow.Bottom - 1), ColorToRGB(clBtnText));
    EXPECT_EQ(At(tip - 1, arrow.Bottom - 1), ColorToRGB(clBtnFace));

    SetUp();
    DrawFrameControl(*Canvas, Rect(0, 0, 20, 14), DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED | DFCS_FLAT);
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow)) << "a flat frame";
    EXPECT_EQ(At(1, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(Extent(clBtnText), Rect(arrow.Left + 1, arrow.Top + 1, arrow.Right + 1, arrow.Bottom + 1))
            << "pushed in";

    SetUp();
    DrawFrameControl(*Canvas, Rect(0, 0, 20, 14), DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE);
    EXPECT_EQ(Extent(clBtnText), TRect {}) << "no live arrow";
    EXPECT_EQ(At(arrow.Left, arrow.Top), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(tip, arrow.Bottom - 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(tip + 1, arrow.Bottom), ColorToRGB(clBtnHighlight)) << "engraved";
}

TEST_F(FramesTest, FlatEdgesAreAShadowRingAndAFaceRing)
{
    TRect r = Rect(2, 2, 18, 12);
    DrawEdge(*Canvas, r, EDGE_RAISED, BF_RECT | BF_FLAT | BF_ADJUST);
    EXPECT_EQ(r, Rect(4, 4, 16, 10));
    EXPECT_EQ(At(2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(17, 11), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(3, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(16, 10), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(10, 7), Background);
}

}  // namespace
