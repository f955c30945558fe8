// Drawing on bitmaps, and bitmaps in and out of BMP files.

#include <QImage>
#include <gtest/gtest.h>

#include "platform/rtl/streams.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/qt/qapp.h"

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        Bitmap.SetSize(60, 40);
        Canvas = Bitmap.Canvas();
    }

    // The box around every pixel that is not the background colour.
    TRect InkBounds(TColor Background)
    {
        TRect box {1000, 1000, -1, -1};
        for (int y = 0; y < Bitmap.Height(); ++y) {
            for (int x = 0; x < Bitmap.Width(); ++x) {
                if (Canvas->Pixels(x, y) == Background)
                    continue;
                box = Rect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                           std::max(box.Bottom, y + 1));
            }
        }
        return box;
    }

    TBitmap Bitmap;
    TCanvas* Canvas = nullptr;
};

TEST_F(CanvasTest, NewBitmapIsWhite)
{
    EXPECT_EQ(Canvas->Pixels(0, 0), clWhite);
    EXPECT_EQ(Canvas->Pixels(59, 39), clWhite);
    EXPECT_EQ(Canvas->Pixels(60, 0), -1);
}

TEST_F(CanvasTest, RectangleAndLineLeaveOutTheirRightAndBottomEdges)
{
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clRed);
    Canvas->Rectangle(5, 5, 15, 12);
    EXPECT_EQ(Canvas->Pixels(5, 5), clBlack);
    EXPECT_EQ(Canvas->Pixels(14, 11), clBlack);
    EXPECT_EQ(Canvas->Pixels(10, 8), clRed);
    EXPECT_EQ(Canvas->Pixels(15, 8), clWhite);
    EXPECT_EQ(Canvas->Pixels(10, 12), clWhite);

    Canvas->Pen()->SetColor(clBlue);
    Canvas->MoveTo(0, 20);
    Canvas->LineTo(10, 20);
    Canvas->LineTo(10, 30);
    EXPECT_EQ(Canvas->Pixels(0, 20), clBlue);
    EXPECT_EQ(Canvas->Pixels(9, 20), clBlue);
    EXPECT_EQ(Canvas->Pixels(10, 20), clBlue);  // drawn by the second line
    EXPECT_EQ(Canvas->Pixels(10, 29), clBlue);
    EXPECT_EQ(Canvas->Pixels(10, 30), clWhite);
    EXPECT_EQ(Canvas->PenPos(), Point(10, 30));
}

TEST_F(CanvasTest, FillRectUsesTheBrushAndAClearBrushFillsNothing)
{
    Canvas->Brush()->SetColor(clLime);
    Canvas->FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(Canvas->Pixels(3, 3), clLime);
    EXPECT_EQ(Canvas->Pixels(4, 4), clWhite);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->FillRect(Rect(10, 10, 20, 20));
    EXPECT_EQ(Canvas->Pixels(15, 15), clWhite);
}

TEST_F(CanvasTest, TextOutDrawsWithinItsExtentOnTheBrushColour)
{
    Canvas->Font()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clYellow);
    const TSize extent = Canvas->TextExtent("Hi");
    Canvas->TextOut(3, 4, "Hi");
    EXPECT_EQ(Canvas->PenPos(), Point(3 + extent.cx, 4));
    // Ink only inside the extent, on the brush's background.
    const TRect text = Rect(3, 4, 3 + extent.cx, 4 + extent.cy);
    const TRect ink = InkBounds(clWhite);
    EXPECT_EQ(ink, text);
    int dark = 0;
    for (int y = text.Top; y < text.Bottom; ++y) {
        for (int x = text.Left; x < text.Right; ++x)
            dark += Canvas->Pixels(x, y) != clYellow;
    }
    EXPECT_GT(dark, 5);
}

TEST_F(CanvasTest, ClearBrushTextLeavesTheBackground)
{
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetColor(clRed);
    Canvas->TextOut(0, 0, "Hi");
    const TRect ink = InkBounds(clWhite);
    EXPECT_GT(ink.Width(), 0);
    EXPECT_LT(ink.Width(), Canvas->TextWidth("Hi") + 1);
    EXPECT_EQ(Canvas->Pixels(ink.Right - 1, 0), clWhite) << "no background box";
}

TEST_F(CanvasTest, TextMeasures)
{
    EXPECT_GT(Canvas->TextWidth("WWWW"), Canvas->TextWidth("iiii"));
    EXPECT_EQ(Canvas->TextWidth(""), 0);
    const int line = Canvas->TextHeight("Hg");
    EXPECT_GT(line, 8);
    Canvas->Font()->SetSize(16);
    EXPECT_GT(Canvas->TextHeight("Hg"), line);

    TRect wrapped = Rect(0, 0, Canvas->TextWidth("word word") - 1, 0);
    const int height = Canvas->DrawText("word word word", wrapped, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(height, wrapped.Height());
    EXPECT_GE(wrapped.Height(), 2 * Canvas->TextHeight("Hg"));
    TRect single = Rect(0, 0, 0, 0);
    Canvas->DrawText("&File", single, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(single.Width(), Canvas->TextWidth("File")) << "the accelerator mark takes no room";
}

TEST_F(CanvasTest, DialogFontKeepsTheWidthsTheFormsWereLaidOutFor)
{
    EnsureQApplication();
    // Letters of the 8-point dialog font average about 6 pixels in 13-pixel lines; a
    // wider face pushes captions out of their boxes.
    const String letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const double average = Canvas->TextWidth(letters) / static_cast<double>(letters.size());
    EXPECT_GE(average, 5.2);
    EXPECT_LE(average, 6.3);
    EXPECT_EQ(Canvas->TextHeight("Hg"), 13);
}

TEST_F(CanvasTest, ClipRectLimitsDrawing)
{
    Canvas->SetClipRect(Rect(0, 0, 10, 10));
    Canvas->Brush()->SetColor(clBlue);
    Canvas->FillRect(Rect(0, 0, 60, 40));
    EXPECT_EQ(Canvas->ClipRect(), Rect(0, 0, 10, 10));
    EXPECT_EQ(Canvas->Pixels(9, 9), clBlue);
    EXPECT_EQ(Canvas->Pixels(10, 10), clWhite);
    Canvas->ResetClip();
    Canvas->FillRect(Rect(20, 20, 30, 30));
    EXPECT_EQ(Canvas->Pixels(25, 25), clBlue);
}

TEST_F(CanvasTest, DrawAndStretchDrawCopyAnotherBitmap)
{
    TBitmap source;
    source.SetSize(2, 2);
    source.Canvas()->SetPixel(0, 0, clRed);
    source.Canvas()->SetPixel(1, 1, clBlue);
    Canvas->Draw(10, 10, &source);
    EXPECT_EQ(Canvas->Pixels(10, 10), clRed);
    EXPECT_EQ(Canvas->Pixels(11, 11), clBlue);
    Canvas->StretchDraw(Rect(20, 20, 24, 24), &source);
    EXPECT_EQ(Canvas->Pixels(21, 21), clRed);
    EXPECT_EQ(Canvas->Pixels(23, 23), clBlue);
}

// A 2 x 2 BMP of 24 bits written by hand: rows bottom up, BGR, each padded to 4 bytes.
String TwoByTwoBmp()
{
    const unsigned char header[] = {
            'B',
            'M',
            70,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            54,
            0,
            0,
            0,  // file header
            40,
            0,
            0,
            0,
            2,
            0,
            0,
            0,
            2,
            0,
            0,
            0,
            1,
            0,
            24,
            0,
            0,
            0,
            0,
            0,  // info header
            16,
            0,
            0,
            0,
            0x13,
            0x0B,
            0,
            0,
            0x13,
            0x0B,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            // bottom row: blue, white
            0xFF,
            0,
            0,
            0xFF,
            0xFF,
            0xFF,
            0,
            0,
            // top row: red, green
            0,
            0,
            0xFF,
            0,
            0x80,
            0,
            0,
            0,
    };
    return String(reinterpret_cast<const char*>(header), sizeof(header));
}

TEST(BitmapFile, ReadsABmpWrittenByAnotherProgram)
{
    EnsureQApplication();
    TStringStream stream(TwoByTwoBmp());
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    ASSERT_EQ(bitmap.Width(), 2);
    ASSERT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 0), clGreen);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 1), clBlue);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), clWhite);
}

TEST(BitmapFile, SavedBmpReadsBackWithItsPixels)
{
    EnsureQApplication();
    for (TPixelFormat format : {pf24bit, pf8bit, pf1bit}) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        bitmap.SetSize(9, 5);
        bitmap.Canvas()->Brush()->SetColor(clBlack);
        bitmap.Canvas()->FillRect(Rect(0, 0, 3, 5));
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        ASSERT_GT(stream.Size(), 54);
        EXPECT_EQ(stream.Memory()[0], 'B');
        EXPECT_EQ(stream.Memory()[1], 'M');
        stream.SetPosition(0);
        TBitmap copy;
        copy.LoadFromStream(stream);
        EXPECT_EQ(copy.PixelFormat(), format);
        EXPECT_EQ(copy.Width(), 9);
        EXPECT_EQ(copy.Canvas()->Pixels(2, 4), clBlack) << format;
        EXPECT_EQ(copy.Canvas()->Pixels(3, 4), clWhite) << format;
    }
}

TEST(BitmapFile, DamagedDataIsRefused)
{
    EnsureQApplication();
    for (const String& bytes : {String("not a picture"), TwoByTwoBmp().substr(0, 30), String()}) {
        TStringStream stream(bytes);
        TBitmap bitmap;
        EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);
        EXPECT_TRUE(bitmap.Empty());
    }
}

TEST(BitmapFile, SizeChangeKeepsThePixelsThatFit)
{
    EnsureQApplication();
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.Canvas()->SetPixel(1, 1, clRed);
    bitmap.SetSize(8, 2);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(bitmap.Canvas()->Pixels(7, 1), clWhite);
}

}  // namespace
