#include <gtest/gtest.h>

#include "datacontrols/dwdrawing.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/qapp.h"

namespace {

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
    static bool IsText(TColor C) { return (C & 0xFF) < 0x80 && ((C >> 8) & 0xFF) < 0x80 && ((C >> 16) & 0xFF) < 0x80; }
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

}  // namespace
