// Image lists: adding pictures of the list's size, drawing them by index, handing them out.

#include <gtest/gtest.h>

#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/imagelist.h"
#include "platform/vcl/qt/qapp.h"

namespace {

// A bitmap of one colour with a differently coloured top-left pixel.
std::unique_ptr<TBitmap> Swatch(int Width, int Height, TColor Color, TColor Corner)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(Width, Height);
    bitmap->Canvas()->Brush()->SetColor(Color);
    bitmap->Canvas()->FillRect(Rect(0, 0, Width, Height));
    bitmap->Canvas()->SetPixel(0, 0, Corner);
    return bitmap;
}

class ImageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        Images.SetSize(8, 6);
        Target.SetSize(40, 30);
        Target.Canvas()->Brush()->SetColor(clWhite);
        Target.Canvas()->FillRect(Rect(0, 0, 40, 30));
    }

    TImageList Images {nullptr};
    TBitmap Target;
};

TEST_F(ImageListTest, AddsImagesInOrder)
{
    EXPECT_EQ(Images.Count(), 0);
    EXPECT_EQ(Images.Add(Swatch(8, 6, clRed, clBlack).get()), 0);
    EXPECT_EQ(Images.Add(Swatch(8, 6, clBlue, clBlack).get()), 1);
    EXPECT_EQ(Images.Count(), 2);
    TBitmap out;
    ASSERT_TRUE(Images.GetBitmap(1, &out));
    EXPECT_EQ(out.Canvas()->Pixels(4, 3), clBlue);
}

TEST_F(ImageListTest, DrawsImageAtItsPlace)
{
    Images.Add(Swatch(8, 6, clRed, clBlack).get());
    Images.Add(Swatch(8, 6, clBlue, clYellow).get());
    Images.Draw(Target.Canvas(), 10, 5, 1);
    TCanvas* canvas = Target.Canvas();
    EXPECT_EQ(canvas->Pixels(10, 5), clYellow);
    EXPECT_EQ(canvas->Pixels(17, 10), clBlue);
    EXPECT_EQ(canvas->Pixels(18, 10), clWhite);
    EXPECT_EQ(canvas->Pixels(17, 11), clWhite);
    EXPECT_EQ(canvas->Pixels(9, 5), clWhite);
}

TEST_F(ImageListTest, IndexOutOfRangeDrawsAndHandsOutNothing)
{
    Images.Add(Swatch(8, 6, clRed, clRed).get());
    for (int index : {-1, 1, 5}) {
        Images.Draw(Target.Canvas(), 0, 0, index);
        TBitmap out;
        EXPECT_FALSE(Images.GetBitmap(index, &out)) << index;
        EXPECT_TRUE(out.Empty()) << index;
    }
    EXPECT_EQ(Target.Canvas()->Pixels(2, 2), clWhite);
}

TEST_F(ImageListTest, ImagesAreCutOrPaddedToTheListSize)
{
    Images.Add(Swatch(20, 20, clRed, clRed).get());
    Images.Add(Swatch(4, 3, clGreen, clGreen).get());
    TBitmap big, small;
    ASSERT_TRUE(Images.GetBitmap(0, &big));
    ASSERT_TRUE(Images.GetBitmap(1, &small));
    EXPECT_EQ(big.Width(), 8);
    EXPECT_EQ(big.Height(), 6);
    EXPECT_EQ(small.Width(), 8);
    EXPECT_EQ(small.Canvas()->Pixels(3, 2), clGreen);
    EXPECT_EQ(small.Canvas()->Pixels(4, 2), clWhite);
}

TEST_F(ImageListTest, TransparentImageLeavesTheBackground)
{
    // The bottom-left pixel's colour is the transparent one.
    auto glyph = Swatch(8, 6, clFuchsia, clNavy);
    glyph->SetTransparent(true);
    Images.Add(glyph.get());
    Target.Canvas()->Brush()->SetColor(clSilver);
    Target.Canvas()->FillRect(Rect(0, 0, 40, 30));
    Images.Draw(Target.Canvas(), 0, 0, 0);
    EXPECT_EQ(Target.Canvas()->Pixels(0, 0), clNavy);
    EXPECT_EQ(Target.Canvas()->Pixels(3, 3), clSilver);
    TBitmap out;
    ASSERT_TRUE(Images.GetBitmap(0, &out));
    EXPECT_TRUE(out.Transparent());
}

TEST_F(ImageListTest, NewSizeEmptiesTheList)
{
    Images.Add(Swatch(8, 6, clRed, clRed).get());
    Images.SetSize(8, 6);
    EXPECT_EQ(Images.Count(), 1);
    Images.SetSize(16, 6);
    EXPECT_EQ(Images.Count(), 0);
    EXPECT_EQ(Images.Width(), 16);
    EXPECT_EQ(Images.Height(), 6);
}

}  // namespace
