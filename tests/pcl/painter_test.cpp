// Pages painted on a bitmap: where the ink lands, and a picture of a form
// page (an overlay of our own with data) for a person to look at.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <filesystem>
#include <string>

#include "platform/pcl/interpreter.h"
#include "platform/pcl/pagepainter.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/support/pclfixture.h"

namespace {

const std::string E = "\x1b";

class PclPainter : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }
};

bool Inked(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// The leftmost and rightmost inked columns in the rows from top to bottom; -1 when blank.
std::pair<int, int> InkColumns(const QImage& image, int top, int bottom)
{
    int left = -1, right = -1;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Inked(image, x, y)) {
                left = left < 0 ? x : std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

TEST_F(PclPainter, TheMetricTwinFontsAreInstalled)
{
    for (pcl::Typeface face : {pcl::Typeface::Mono, pcl::Typeface::Sans, pcl::Typeface::Serif}) {
        const QFont font(QString::fromLatin1(pcl::FontFamily(face)));
        EXPECT_EQ(QFontInfo(font).family(), font.family());
    }
}

TEST_F(PclPainter, FixedPitchColumnsHoldAtEveryResolution)
{
    // Narrow and wide glyphs right-aligned on column 55, on rows 10 and 12.
    const std::string bytes = E + "E" + E + "&a10r46CIIIIIIIIII" + E + "&a12r46CWWWWWWWWWW" + E + "E";
    auto pages = pcl::Interpret(bytes);
    ASSERT_EQ(pages.size(), 1u);
    for (int dpi : {96, 300}) {
        SCOPED_TRACE(dpi);
        auto bitmap = pcl::RenderPage(pages[0], dpi);
        const QImage& image = bitmap->Image();
        EXPECT_EQ(image.width(), dpi * 17 / 2);
        EXPECT_EQ(image.height(), dpi * 11);
        const double cell = dpi / 10.0;
        const double column55 = dpi * 0.25 + 55 * cell;
        auto rowBand = [&](int row) {
            const int baseline = int(dpi * (0.5 + (row + 0.75) / 6.0));
            return InkColumns(image, baseline - dpi / 8, baseline + 1);
        };
        for (int row : {10, 12}) {
            auto [left, right] = rowBand(row);
            ASSERT_GE(left, 0) << row;
            EXPECT_GE(right, column55) << row;         // the last glyph stands in column 55
            EXPECT_LT(right, column55 + cell) << row;  // and does not run past it
        }
    }
}

TEST_F(PclPainter, RulesShadesAndRastersLandOnTheirPixels)
{
    const std::string bytes = E + "*p300x300Y" + E + "*c300a30b0P" + E + "*p300x600Y" + E +
                              "*c300a300b50g2P" + E + "*p0x1200Y" + E + "*t75R" + E + "*r1A" + E +
                              "*b1W\x80" + E + "*rB";
    auto pages = pcl::Interpret(bytes);
    ASSERT_EQ(pages.size(), 1u);
    auto bitmap = pcl::RenderPage(pages[0], 100);
    const QImage& image = bitmap->Image();
    // The rule: 1 in x 0.1 in from (1.25 in, 1.5 in).
    EXPECT_TRUE(Inked(image, 130, 155));
    EXPECT_FALSE(Inked(image, 130, 165));
    EXPECT_FALSE(Inked(image, 120, 155));
    // The 50 % shade is mid grey.
    EXPECT_NEAR(qGray(image.pixel(175, 250)), 128, 3);
    // The raster dot: one 75-dpi pixel at (0.25 in, 4.5 in).
    EXPECT_TRUE(Inked(image, 25, 450));
    EXPECT_FALSE(Inked(image, 27, 452));
}

TEST_F(PclPainter, WritesAPictureOfAFormPageWithData)
{
    auto pages = pcl::Interpret(pcltest::SampleFormPage());
    ASSERT_EQ(pages.size(), 1u);
    auto bitmap = pcl::RenderPage(pages[0], 150);
    const std::filesystem::path dir = TOTAMUND_SCREENSHOT_DIR;
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "pcl_form_page.png";
    ASSERT_TRUE(bitmap->Image().save(QString::fromStdString(file.string()), "PNG"));
    // The data text printed inside the overlay's amount box.
    EXPECT_GE(InkColumns(bitmap->Image(), 150 * 3 / 4, 150).first, 0);
}

}  // namespace
