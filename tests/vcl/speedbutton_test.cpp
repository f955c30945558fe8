// Where a speed button draws its glyph or caption: centred, or a margin in from the
// left edge.

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/graphics/bitmap.h"
#include "tests/support/formtesting.h"

namespace {

// The leftmost column of the button's picture with a pixel mostly of Color's hue; -1
// for none.
int FirstColumnOf(TSpeedButton* Button, QColor Color)
{
    QCoreApplication::processEvents();
    const QImage image = Button->Widget()->grab().toImage();
    const auto near = [&Color](QColor Pixel) {
        return std::abs(Pixel.red() - Color.red()) < 90 && std::abs(Pixel.green() - Color.green()) < 90 &&
               std::abs(Pixel.blue() - Color.blue()) < 90;
    };
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (near(image.pixelColor(x, y)))
                return x;
    return -1;
}

TEST(SpeedButton, TheMarginPlacesTheGlyphOrTheCaptionFromTheLeftEdge)
{
    TForm* form = Construct<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 100);
    auto* glyphed = new TSpeedButton(form);
    glyphed->SetParent(form);
    glyphed->SetBounds(10, 10, 30, 22);
    TBitmap glyph;
    glyph.SetSize(8, 8);
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(0, 0, 8, 8));
    glyph.Canvas()->SetPixel(0, 7, clWhite);  // the bottom-left pixel's colour is transparent
    glyphed->SetGlyph(&glyph);
    auto* captioned = new TSpeedButton(form);
    captioned->SetParent(form);
    captioned->SetBounds(50, 10, 60, 22);
    captioned->SetCaption("B");
    captioned->Font()->SetColor(clBlue);
    ShowForm(form);

    EXPECT_EQ(glyphed->Margin(), -1) << "centred at first";
    EXPECT_EQ(FirstColumnOf(glyphed, Qt::red), (30 - 8) / 2);
    const int centredText = FirstColumnOf(captioned, Qt::blue);
    EXPECT_GT(centredText, 20);
    struct Case {
        int Margin;
        int GlyphAt;
    };
    for (const Case& c : {Case {0, 0}, Case {3, 3}, Case {2, 2}}) {
        glyphed->SetMargin(c.Margin);
        EXPECT_EQ(FirstColumnOf(glyphed, Qt::red), c.GlyphAt) << c.Margin;
    }
    captioned->SetMargin(2);
    const int marginText = FirstColumnOf(captioned, Qt::blue);
    EXPECT_GE(marginText, 2);
    EXPECT_LT(marginText, centredText) << "the caption stands at the margin, not in the middle";
    glyphed->SetMargin(-5);
    EXPECT_EQ(glyphed->Margin(), -1) << "any negative margin centres";
    form->Free();
}

}  // namespace
