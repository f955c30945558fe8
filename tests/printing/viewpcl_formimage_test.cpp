// Canvas pages with their form image drawn by the PCL renderer from the same
// overlay a laser printer gets, so the two forms agree.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "platform/pcl/pagepainter.h"
#include "platform/vcl/graphics/bitmap.h"
#include "printing/formprinter.h"
#include "tests/printing/formprinterfixture.h"
#include "tests/support/pclfixture.h"

namespace {

class ViewPclFormImage : public FormPrinterFixture {
protected:
    void SetUp() override
    {
        FormPrinterFixture::SetUp();
        FMain->User->NoLaserPrint = true;
        FMain->Preview = true;
        SetFormImagePainter(pcl::PaintOverlay);
    }
    void TearDown() override
    {
        SetFormImagePainter(nullptr);
        FormPrinterFixture::TearDown();
    }
};

TEST_F(ViewPclFormImage, CanvasPageCarriesTheRenderedOverlayUnderItsText)
{
    Dir.Write("SAMPLE.HP", pcltest::SampleOverlay());
    FormPrinter printer;
    ASSERT_TRUE(printer.CanvasMode());
    printer.StartPage();
    printer.LoadOverlay("sample.hp");
    printer.PrintText(5, 2, "KORVANE SAMPLE PAYER INC");
    printer.PrintAmount(4, 58, 1234.5, "RENTS", "#.00");
    ASSERT_TRUE(printer.EndPage("Copy B"));

    TBitmap page;
    page.LoadFromFile(Dir / "bmp00001.bmp");
    const QImage image = page.Image();
    std::filesystem::create_directories(TOTAMUND_SCREENSHOT_DIR);
    EXPECT_TRUE(image.save(QStringLiteral(TOTAMUND_SCREENSHOT_DIR "/canvas-form-page.png"), "PNG"));

    // The overlay's title band (15 % grey, 0.2 to 0.5 in from the top of the paper)
    // lies at true size, the paper's top 2 pixels above the bitmap's.
    const int bandY = 96 * 35 / 100 - 2;
    EXPECT_NEAR(qGray(image.pixel(300, bandY)), 217, 3);
    EXPECT_EQ(qGray(image.pixel(300, 96 * 10 / 100 - 2)), 255);
}

}  // namespace
