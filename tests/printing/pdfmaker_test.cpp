// The PDF maker at the end of a form print run in PDF mode: the run's pages
// joined into one Letter PDF (read back by poppler), the stamp, the question
// and the shell's "open", each PDF holding its own pages, and errors ending the
// run before the question.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "platform/rtl/fileops.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/graphics/bitmap.h"
#include "printing/pdfmaker.h"
#include "printing/viewpcl.h"
#include "tests/printing/pdfmakerfixture.h"
#include "tests/support/pclfixture.h"
#include "tests/support/popplerreader.h"

namespace {

using pdfmakertest::IsStampColour;
using pdfmakertest::KeepPdf;
using pdfmakertest::KeepScreenshot;

TEST_F(PdfMakerTest, ThreePagesMakeALetterPdfAndTheQuestionNamesIt)
{
    WritePclPages(1, 3);
    ViewPrintedPages(false);
    Dialogs.AnswerMessage(mrYes);
    MakePdfFromPages(Stem(), pkFormPages);

    const String pdf = Stem() + ".PDF";
    EXPECT_EQ(Shown(), std::vector<String> {"3 page PDF created in " + pdf + ". View it now ?"});
    EXPECT_EQ(Launcher.Opened, std::vector<String> {pdf});
    EXPECT_EQ(poppler::PageCount(pdf), 3);
    EXPECT_EQ(poppler::PageSizes(pdf), std::vector<std::string>(3, "612 x 792 pts (letter)"));
    for (int page = 1; page <= 3; ++page) {
        const std::string text = poppler::Text(pdf, page);
        EXPECT_NE(text.find("PAGE " + std::to_string(page)), std::string::npos) << text;
        EXPECT_NE(text.find("1,234.50"), std::string::npos) << text;
        EXPECT_NE(text.find("KORVANE SAMPLE PAYER INC"), std::string::npos) << text;
    }
    // Text and rules stay vectors: no image on a page without the stamp.
    EXPECT_EQ(poppler::ImageCount(pdf), 0);
    // The pages are in this PDF and in no later one.
    EXPECT_TRUE(ListFiles(Dir.Path(), "PRN*.PRN").empty());
    EXPECT_TRUE(ListFiles(Dir.Path(), "WMF*.WMF").empty());
    KeepPdf(pdf, "three-pages.PDF");
}

TEST_F(PdfMakerTest, WithoutPagesThePdfHasNone)
{
    ViewPrintedPages(false);
    Dialogs.AnswerMessage(mrNo);
    MakePdfFromPages(Stem(), pkFormPages);
    const String pdf = Stem() + ".PDF";
    EXPECT_EQ(Shown(), std::vector<String> {"0 page PDF created in " + pdf + ". View it now ?"});
    EXPECT_EQ(poppler::PageCount(pdf), 0);
    EXPECT_TRUE(Launcher.Opened.empty());
}

TEST_F(PdfMakerTest, TheAnswerDecidesWhetherThePdfIsOpened)
{
    const String pdf = Stem() + ".PDF";
    struct {
        int answer;
        bool opens;
        std::vector<String> opened;
        std::vector<String> messages;
    } cases[] = {
            {mrYes, true, {pdf}, {"1 page PDF created in " + pdf + ". View it now ?"}},
            {mrNo, true, {}, {"1 page PDF created in " + pdf + ". View it now ?"}},
            {mrYes,
             false,
             {pdf},
             {"1 page PDF created in " + pdf + ". View it now ?",
              "No program could be started to open " + pdf + "."}},
    };
    for (const auto& c : cases) {
        WritePclPages(1, 1);
        ViewPrintedPages(false);
        Dialogs.Messages.clear();
        Launcher.Opened.clear();
        Launcher.OpenResult = c.opens;
        Dialogs.AnswerMessage(c.answer);
        MakePdfFromPages(Stem(), pkFormPages);
        EXPECT_EQ(Launcher.Opened, c.opened);
        EXPECT_EQ(Shown(), c.messages);
        EXPECT_EQ(poppler::PageCount(pdf), 1);
    }
}

TEST_F(PdfMakerTest, StampIsAStripAtTheLeftEdgeOnlyWhenTheProgramDirectoryHasOne)
{
    for (bool stamped : {true, false}) {
        if (stamped)
            WriteStamp();
        else
            std::filesystem::remove(Dir / "archiveby.bmp");
        WritePclPages(1, 2);
        ViewPrintedPages(false);
        MakePdfFromPages(Stem(), pkFormPages);

        const String pdf = Stem() + ".PDF";
        EXPECT_EQ(poppler::PageCount(pdf), 2);
        EXPECT_EQ(poppler::ImageCount(pdf), stamped ? 2 : 0) << stamped;
        const std::string png = Dir / (stamped ? "stamped.png" : "plain.png");
        const QImage page = poppler::Render(pdf, 1, 100, png);
        ASSERT_EQ(page.size(), QSize(850, 1100));
        // The strip: a quarter inch wide at the left edge, its foot half an inch above the bottom.
        EXPECT_EQ(IsStampColour(page.pixelColor(12, 900)), stamped);
        EXPECT_EQ(IsStampColour(page.pixelColor(12, 790)), stamped);
        EXPECT_FALSE(IsStampColour(page.pixelColor(12, 1060)));
        EXPECT_FALSE(IsStampColour(page.pixelColor(30, 900)));
        EXPECT_FALSE(IsStampColour(page.pixelColor(12, 740)));
        // The page image still fills the page: its text is where the page put it.
        EXPECT_NE(poppler::Text(pdf, 1).find("PAGE 1"), std::string::npos);
        if (stamped)
            KeepScreenshot(png, "stamped-page.png");
    }
}

TEST_F(PdfMakerTest, CanvasRunFeedsItsPageBitmaps)
{
    FMain->BitmapPages = true;
    for (int page = 1; page <= 2; ++page) {
        TBitmap bitmap;
        bitmap.SetSize(816, 1056);
        bitmap.Canvas()->Brush()->SetColor(clBlack);
        bitmap.Canvas()->FillRect(Rect(0, 0, 816, 48 * page));  // a black band, an inch high per page number
        bitmap.SaveToFile(Dir / PageName("bmp", page, ".bmp"));
    }
    ViewPrintedPages(false);
    MakePdfFromPages(Stem(), pkFormPages);

    const String pdf = Stem() + ".PDF";
    EXPECT_EQ(poppler::PageSizes(pdf), std::vector<std::string>(2, "612 x 792 pts (letter)"));
    EXPECT_EQ(poppler::ImageCount(pdf), 2);
    const QImage second = poppler::Render(pdf, 2, 100, Dir / "canvas.png");
    EXPECT_LT(qGray(second.pixel(425, 95)), 64);  // the band fills the width, an inch high
    EXPECT_LT(qGray(second.pixel(845, 50)), 64);
    EXPECT_GT(qGray(second.pixel(425, 105)), 192);
    EXPECT_TRUE(ListFiles(Dir.Path(), "BMP*.BMP").empty());
}

TEST_F(PdfMakerTest, EachPdfOfARunHoldsOnlyThePagesMadeSinceTheLast)
{
    const String first = DataDir() + "CopyBMISC_A0112-31-2008";
    const String second = DataDir() + "CopyBMISC_B0212-31-2008";
    WritePclPage(1, "RECIPIENT ONE");
    ViewPrintedPages(false);
    MakePdfFromPages(first, pkFormPages);
    WritePclPage(2, "RECIPIENT TWO");
    ViewPrintedPages(false);
    MakePdfFromPages(second, pkFormPages);

    EXPECT_EQ(poppler::PageCount(first + ".PDF"), 1);
    EXPECT_EQ(poppler::PageCount(second + ".PDF"), 1);
    const std::string text = poppler::Text(second + ".PDF");
    EXPECT_NE(text.find("RECIPIENT TWO"), std::string::npos) << text;
    EXPECT_EQ(text.find("RECIPIENT ONE"), std::string::npos) << text;
    EXPECT_EQ(Shown(), (std::vector<String> {"1 page PDF created in " + first + ".PDF. View it now ?",
                                             "1 page PDF created in " + second + ".PDF. View it now ?"}));
}

TEST_F(PdfMakerTest, ErrorsEndTheRunBeforeTheQuestionAndKeepThePages)
{
    const String missing = Dir / "NOCLIENT/CopyBMISC_A0112-31-2008";
    struct {
        const char* what;
        String stem;
        bool damagedPage;
        String message;
    } cases[] = {
            {"no client directory", missing, false, "The PDF file " + missing + ".PDF could not be written."},
            {"a damaged page metafile", Stem(), true, "Metafile is not valid"},
    };
    for (const auto& c : cases) {
        WritePclPages(1, 2);
        ViewPrintedPages(false);
        if (c.damagedPage)
            Dir.Write("WMF00002.WMF", "TMF1 cut short");
        String error;
        try {
            MakePdfFromPages(c.stem, pkFormPages);
        } catch (const Exception& e) {
            error = e.Message();
        }
        EXPECT_EQ(error, c.message) << c.what;
        EXPECT_TRUE(Shown().empty()) << c.what;
        EXPECT_FALSE(FileExists(c.stem + ".PDF")) << c.what;
        EXPECT_TRUE(ListFiles(DataDir(), "*.part").empty()) << c.what;
        EXPECT_EQ(ListFiles(Dir.Path(), "PRN*.PRN").size(), 2u) << c.what;
    }
}

}  // namespace
