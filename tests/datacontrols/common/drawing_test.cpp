#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "datacontrols/common/dwdrawing.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/support/formtesting.h"

namespace {

// A key code no key has: never held.
constexpr Word NoKey = 0;

// A white bitmap to draw edit text on, with black text on a red brush.
class dwDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        bitmap.SetSize(200, 60);
        canvas = bitmap.Canvas();
        canvas->Brush()->SetColor(clWhite);
        canvas->FillRect(Rect(0, 0, 200, 60));
        canvas->Brush()->SetColor(clRed);
        canvas->Font()->SetColor(clBlack);
    }
    // Text pixels: black, or nearly so where the font's edges are smoothed.
    static bool IsText(TColor C)
    {
        return (C & 0xFF) < 0x80 && ((C >> 8) & 0xFF) < 0x80 && ((C >> 16) & 0xFF) < 0x80;
    }
    // The leftmost / rightmost / lowest column or row holding text pixels in R; -1 when none.
    int Extent(const TRect& R, int Which)
    {
        int result = -1;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (IsText(canvas->Pixels(x, y))) {
                    const int v = Which == 0 ? x : Which == 1 ? x : y;
                    if (result < 0 || (Which == 0 ? v < result : v > result))
                        result = v;
                }
        return result;
    }
    TBitmap bitmap;
    TCanvas* canvas = nullptr;
};

TEST_F(dwDrawing, EditTextBackgroundAndAlignment)
{
    const TRect box = Rect(0, 0, 200, 20);
    dwDrawEditText(canvas, box, 4, 0, taLeftJustify, "Client", 2);
    EXPECT_EQ(canvas->Pixels(1, 1), clRed);
    const int left = Extent(box, 0);
    EXPECT_GE(left, 4);
    EXPECT_LT(left, 20);

    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(box);
    canvas->Brush()->SetColor(clRed);
    dwDrawEditText(canvas, box, 4, detNoBackground, taRightJustify, "Client", 2);
    EXPECT_EQ(canvas->Pixels(1, 1), clWhite);
    const int right = Extent(box, 1);
    EXPECT_LE(right, 196);
    EXPECT_GT(right, 180);
    EXPECT_GT(Extent(box, 0), 100);
}

TEST_F(dwDrawing, WordBreakOnlyWhereSeveralLinesFit)
{
    const String text = "Reference number of the client";
    const TRect tall = Rect(0, 0, 70, 60);
    dwDrawEditText(canvas, tall, 2, detWordBreak, taLeftJustify, text, 0);
    const int wrappedBottom = Extent(tall, 2);

    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(tall);
    dwDrawEditText(canvas, tall, 2, detWordBreak | detEndEllipsis, taLeftJustify, text, 0);
    const int ellipsisBottom = Extent(tall, 2);
    EXPECT_GT(wrappedBottom, ellipsisBottom + 8);

    EXPECT_TRUE(dwIsSingleLineHeight(canvas, Rect(0, 0, 70, 16)));
    EXPECT_FALSE(dwIsSingleLineHeight(canvas, Rect(0, 0, 70, 60)));
}

TEST_F(dwDrawing, SelectedFrameKeepsBrushAndPen)
{
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Pen()->SetColor(clRed);
    dwDrawSelectedFrame(canvas, Rect(10, 10, 50, 40));
    EXPECT_EQ(canvas->Pixels(30, 10), ColorToRGB(clHighlight));
    EXPECT_EQ(canvas->Pixels(30, 25), clWhite);  // hollow inside
    EXPECT_EQ(canvas->Brush()->Style(), bsSolid);
    EXPECT_EQ(canvas->Pen()->Color(), clRed);
}

// The smallest rectangle holding every pixel of Color in R, and how many there are.
struct TColorExtent {
    TRect Box = Rect(0, 0, 0, 0);
    int Count = 0;
};

TColorExtent ExtentOf(TCanvas* Canvas, const TRect& R, TColor Color)
{
    TColorExtent result;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) {
            if (Canvas->Pixels(x, y) != ColorToRGB(Color))
                continue;
            result.Box = result.Count == 0
                                 ? Rect(x, y, x + 1, y + 1)
                                 : Rect(std::min<int>(result.Box.Left, x), std::min<int>(result.Box.Top, y),
                                        std::max<int>(result.Box.Right, x + 1),
                                        std::max<int>(result.Box.Bottom, y + 1));
            ++result.Count;
        }
    return result;
}

TEST_F(dwDrawing, EllipsisIsThreeSquaresInTheMiddle)
{
    struct Case {
        TRect Button;
        int State;
        int Side;
        TRect Squares;
    } cases[] = {
            // 17 wide: squares of 2, every 4 pixels, the middle one on (18, 21).
            {Rect(10, 10, 27, 31), dwButtonPushed, 2, Rect(13, 20, 23, 22)},
            {Rect(10, 10, 27, 31), 0, 2, Rect(12, 19, 22, 21)},  // up and left unless pushed
            // 7 wide: single pixels, every 2, the middle one on (13, 15).
            {Rect(10, 10, 17, 20), dwButtonPushed, 1, Rect(11, 15, 16, 16)},
            {Rect(10, 10, 17, 20), 1, 1, Rect(10, 14, 15, 15)},
    };
    for (const Case& c : cases) {
        SetUp();
        dwDrawEllipsisButton(canvas, c.Button, c.State, NoKey, false, true);
        const TColorExtent black = ExtentOf(canvas, Rect(0, 0, 200, 60), clBlack);
        EXPECT_EQ(black.Box, c.Squares) << c.State;
        EXPECT_EQ(black.Count, 3 * c.Side * c.Side) << c.State;
        // Gaps as wide as a square between them.
        EXPECT_EQ(canvas->Pixels(c.Squares.Left + c.Side, c.Squares.Top), clWhite);
        EXPECT_EQ(canvas->Pixels(c.Squares.Left + 2 * c.Side, c.Squares.Top), clBlack);
        EXPECT_EQ(canvas->Brush()->Color(), clRed) << "the brush is kept";
        EXPECT_EQ(canvas->Pixels(c.Button.Left, c.Button.Top), clWhite) << "transparent: no edge";
    }
}

TEST_F(dwDrawing, EllipsisButtonEdges)
{
    struct Case {
        int State;
        bool Flat;
        TColor Corner, Inside;
    } cases[] = {
            {0, false, cl3DLight, clBtnFace},                 // raised and filled
            {0, true, cl3DLight, clWhite},                    // flat: the inside left alone
            {dwButtonPushed, false, clBtnShadow, clBtnFace},  // pushed, the button let go: a flat edge
    };
    const TRect button = Rect(10, 10, 27, 31);
    for (const Case& c : cases) {
        SetUp();
        dwDrawEllipsisButton(canvas, button, c.State, NoKey, c.Flat, false);
        EXPECT_EQ(canvas->Pixels(button.Left, button.Top), ColorToRGB(c.Corner)) << c.State << c.Flat;
        EXPECT_EQ(canvas->Pixels(button.Left + 3, button.Top + 3), ColorToRGB(c.Inside)) << c.State << c.Flat;
        EXPECT_EQ(ExtentOf(canvas, button, clBlack).Count, 12) << "the squares on top";
    }
}

TEST_F(dwDrawing, DropDownArrowPushedFlatOrInactive)
{
    const TRect button = Rect(10, 10, 27, 31);
    dwDrawDropDownArrowButton(canvas, button, 0, NoKey, true);
    EXPECT_EQ(canvas->Pixels(button.Left, button.Top), ColorToRGB(cl3DLight)) << "raised";
    const TRect arrow = ExtentOf(canvas, button, clBtnText).Box;
    ASSERT_GT(arrow.Height(), 1);
    EXPECT_EQ(arrow.Width(), 2 * arrow.Height() - 1);

    SetUp();
    dwDrawDropDownArrowButton(canvas, button, dwButtonPushed, NoKey, true);
    EXPECT_EQ(canvas->Pixels(button.Left, button.Top), ColorToRGB(clBtnShadow)) << "flat";
    EXPECT_EQ(ExtentOf(canvas, button, clBtnText).Box,
              Rect(arrow.Left + 1, arrow.Top + 1, arrow.Right + 1, arrow.Bottom + 1))
            << "pushed in";

    SetUp();
    dwDrawDropDownArrowButton(canvas, button, dwButtonPushed, NoKey, false);
    EXPECT_EQ(canvas->Pixels(button.Left, button.Top), ColorToRGB(cl3DLight)) << "not pushed";
    EXPECT_EQ(ExtentOf(canvas, button, clBtnText).Count, 0) << "greyed";
    EXPECT_EQ(canvas->Pixels(arrow.Left, arrow.Top), ColorToRGB(clBtnShadow));
}

TEST_F(dwDrawing, ButtonFacesPicture)
{
    // Ellipsis raised, pushed, flat and transparent; arrow raised, pushed and inactive.
    int left = 4;
    for (int state : {0, dwButtonPushed}) {
        dwDrawEllipsisButton(canvas, Rect(left, 4, left + 17, 25), state, NoKey, false, false);
        left += 22;
    }
    dwDrawEllipsisButton(canvas, Rect(left, 4, left + 17, 25), 0, NoKey, true, false);
    left += 22;
    dwDrawEllipsisButton(canvas, Rect(left, 4, left + 17, 25), 0, NoKey, false, true);
    left += 22;
    for (int state : {0, dwButtonPushed}) {
        dwDrawDropDownArrowButton(canvas, Rect(left, 4, left + 17, 25), state, NoKey, true);
        left += 22;
    }
    dwDrawDropDownArrowButton(canvas, Rect(left, 4, left + 17, 25), 0, NoKey, false);
    std::filesystem::create_directories(TOTAMUND_SCREENSHOT_DIR);
    TFileStream file(TOTAMUND_SCREENSHOT_DIR "/buttonfaces.bmp", fmCreate);
    bitmap.SaveToStream(file);
    EXPECT_GT(file.Size(), 0);
}

TEST_F(dwDrawing, PushedButtonsStayRaisedWhileTheirKeyIsHeld)
{
    TForm* form = Construct<TForm>(nullptr);
    form->SetBounds(0, 0, 100, 80);
    ShowForm(form);
    QWindow* window = form->Widget()->window()->windowHandle();
    const TRect ellipsis = Rect(10, 10, 27, 31);
    const TRect arrow = Rect(40, 10, 57, 31);
    for (bool held : {true, false}) {
        if (held)
            QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        else
            QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        dwDrawEllipsisButton(canvas, ellipsis, dwButtonPushed, VK_LBUTTON, false, false);
        dwDrawDropDownArrowButton(canvas, arrow, dwButtonPushed, VK_LBUTTON, true);
        const TColor corner = ColorToRGB(held ? cl3DLight : clBtnShadow);
        EXPECT_EQ(canvas->Pixels(ellipsis.Left, ellipsis.Top), corner) << held;
        EXPECT_EQ(canvas->Pixels(arrow.Left, arrow.Top), corner) << held;
    }
    form->Free();
}

TEST_F(dwDrawing, TheDropDownGlyphStandsInTheMiddleAndMovesWhenPressed)
{
    TBitmap glyph;
    dwLoadDropDownGlyph(&glyph);
    ASSERT_EQ(glyph.Width(), 7);
    ASSERT_EQ(glyph.Height(), 4);
    canvas->Brush()->SetColor(clBtnFace);
    struct Case {
        bool Pressed;
        TRect Arrow;
    };
    // A 17 x 20 button: the arrow's 7 x 4 pixels at (5, 8), one further down and right pressed.
    for (const Case& c : {Case {false, Rect(5, 8, 12, 12)}, Case {true, Rect(6, 9, 13, 13)}}) {
        canvas->FillRect(Rect(0, 0, 17, 20));
        dwDrawCentredGlyph(canvas, Rect(0, 0, 17, 20), &glyph, true, c.Pressed);
        const TColorExtent black = ExtentOf(canvas, Rect(0, 0, 17, 20), clBlack);
        EXPECT_EQ(black.Count, 7 + 5 + 3 + 1) << c.Pressed;
        EXPECT_EQ(black.Box, c.Arrow) << c.Pressed;
        EXPECT_EQ(ExtentOf(canvas, Rect(0, 0, 17, 20), clWhite).Count, 0) << "its white shows the face";
    }
    canvas->FillRect(Rect(0, 0, 17, 20));
    dwDrawCentredGlyph(canvas, Rect(0, 0, 17, 20), nullptr, true, false);
    EXPECT_EQ(ExtentOf(canvas, Rect(0, 0, 17, 20), clBtnFace).Count, 17 * 20) << "no glyph, nothing drawn";
}

}  // namespace
