// The PDF export component over our engine, its files read back by poppler:
// page counts and sizes, text kept as text, drawings kept as vectors, pictures
// as images, the file present only once complete, and the component's errors.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/pdf/pxpdfr2.h"
#include "platform/rtl/fileops.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/jpeg.h"
#include "platform/vcl/graphics/metafile.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/support/popplerreader.h"
#include "tests/support/tempdir.h"

namespace {

// A Letter sheet as a metafile at 96 per inch: a caption, a box and an amount.
std::unique_ptr<TMetafile> SheetMetafile(const String& Caption)
{
    auto metafile = std::make_unique<TMetafile>();
    metafile->SetWidth(816);
    metafile->SetHeight(1056);
    TMetafileCanvas canvas(metafile.get());
    canvas.Font()->SetName("Courier New");
    canvas.Font()->SetSize(12);
    canvas.TextOut(96, 96, Caption);
    canvas.TextOut(96, 192, "1234.56");
    canvas.Brush()->SetStyle(bsClear);
    canvas.Rectangle(48, 48, 768, 1008);
    return metafile;
}

class PdfExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        Pdf = new TPXPDFPrinter(nullptr);
    }
    void TearDown() override
    {
        if (Pdf)
            Pdf->Free();
    }
    String File(const String& Name) const { return Dir / Name; }
    // The message of the component's error, or "" when none was raised.
    static String ErrorOf(const std::function<void()>& Action)
    {
        try {
            Action();
        } catch (const EPXPDFError& e) {
            return e.Message();
        }
        return "";
    }

    TempDir Dir;
    TPXPDFPrinter* Pdf = nullptr;
};

TEST_F(PdfExportTest, PagesHaveTheSizeTheirUnitsAndResolutionsGive)
{
    Pdf->SetFilename(File("sizes.PDF"));
    Pdf->BeginDoc();
    struct {
        int width, height, xres, yres;
    } pages[] = {
            {12240, 15840, 1440, 1440},  // Letter in twentieths of a point
            {612, 792, 0, 0},            // resolution 0 counts as 72
            {15120, 20160, 1440, 1440},  // 10.5 by 14 inches
            {2550, 3300, 300, 300},
    };
    for (const auto& page : pages) {
        Pdf->StartPage(page.width, page.height, page.xres, page.yres, 0);
        Pdf->EndPage();
    }
    Pdf->EndDoc();
    const std::vector<std::string> expected = {"612 x 792 pts (letter)", "612 x 792 pts (letter)",
                                               "756 x 1008 pts", "612 x 792 pts (letter)"};
    EXPECT_EQ(poppler::PageSizes(File("sizes.PDF")), expected);
}

TEST_F(PdfExportTest, DocumentWithoutPagesIsStillAReadablePdf)
{
    Pdf->SetFilename(File("empty.PDF"));
    Pdf->BeginDoc();
    Pdf->EndDoc();
    EXPECT_EQ(poppler::PageCount(File("empty.PDF")), 0);
}

TEST_F(PdfExportTest, MetafileKeepsItsTextAsTextAndItsLinesAsVectors)
{
    Pdf->SetFilename(File("sheet.PDF"));
    Pdf->BeginDoc();
    Pdf->StartPage(12240, 15840, 1440, 1440, 0);
    Pdf->DrawMetafile(0, 0, SheetMetafile("JOHN Q RECIPIENT").get());
    Pdf->EndPage();
    Pdf->EndDoc();
    const std::string text = poppler::Text(File("sheet.PDF"));
    EXPECT_NE(text.find("JOHN Q RECIPIENT"), std::string::npos) << text;
    EXPECT_NE(text.find("1234.56"), std::string::npos) << text;
    EXPECT_EQ(poppler::ImageCount(File("sheet.PDF")), 0);

    // The metafile fills the page: its box's sides half an inch in, at 100 dpi.
    const QImage page = poppler::Render(File("sheet.PDF"), 1, 100, File("sheet.png"));
    ASSERT_EQ(page.size(), QSize(850, 1100));
    const auto darkBetween = [&page](int from, int to) {
        for (int x = from; x <= to; ++x)
            if (qGray(page.pixel(x, 550)) < 128)
                return true;
        return false;
    };
    EXPECT_TRUE(darkBetween(48, 52));
    EXPECT_FALSE(darkBetween(0, 46));
    EXPECT_TRUE(darkBetween(796, 801));
    EXPECT_FALSE(darkBetween(803, 849));
}

TEST_F(PdfExportTest, BitmapIsPlacedInItsBoxAsAnImage)
{
    TBitmap bitmap;
    bitmap.SetSize(20, 40);
    bitmap.Canvas()->Brush()->SetColor(clRed);
    bitmap.Canvas()->FillRect(Rect(0, 0, 20, 40));
    // The box is in the page's units, whatever its resolution.
    for (int dpi : {1440, 300}) {
        SCOPED_TRACE(dpi);
        const String name = "bitmap" + std::to_string(dpi);
        Pdf->SetFilename(File(name + ".PDF"));
        Pdf->BeginDoc();
        Pdf->StartPage(dpi * 17 / 2, dpi * 11, dpi, dpi, 0);
        Pdf->DrawTGraphic(dpi, 2 * dpi, dpi / 2, dpi, &bitmap);  // 1 by 2 inches, half by one inch
        Pdf->EndPage();
        Pdf->EndDoc();
        EXPECT_EQ(poppler::ImageCount(File(name + ".PDF")), 1);
        const QImage page = poppler::Render(File(name + ".PDF"), 1, 100, File(name + ".png"));
        const auto red = [&page](int x, int y) {
            return page.pixelColor(x, y).red() > 200 && page.pixelColor(x, y).green() < 60;
        };
        EXPECT_TRUE(red(102, 202));
        EXPECT_TRUE(red(147, 297));
        EXPECT_FALSE(red(97, 250));
        EXPECT_FALSE(red(153, 250));
        EXPECT_FALSE(red(125, 303));
    }
}

TEST_F(PdfExportTest, MetafileOutsideAPageMakesAPageOfItsFrame)
{
    TMetafile metafile;
    {
        metafile.SetWidth(2550);
        metafile.SetHeight(3300);
        TMetafileCanvas canvas(&metafile);
        canvas.TextOut(300, 300, "OWN PAGE");
    }
    Pdf->SetFilename(File("own.PDF"));
    Pdf->BeginDoc();
    Pdf->DrawMetafile(0, 0, &metafile);
    Pdf->EndDoc();
    EXPECT_EQ(poppler::PageSizes(File("own.PDF")), std::vector<std::string> {"612 x 792 pts (letter)"});
    EXPECT_NE(poppler::Text(File("own.PDF")).find("OWN PAGE"), std::string::npos);
}

TEST_F(PdfExportTest, FileAppearsUnderItsNameOnlyWhenComplete)
{
    const String name = File("whole.PDF");
    Dir.Write("whole.PDF", "an earlier run's file");
    Pdf->SetFilename(name);
    Pdf->BeginDoc();
    Pdf->BeginDoc();  // a document already open goes on
    Pdf->StartPage(12240, 15840, 1440, 1440, 0);
    Pdf->DrawMetafile(0, 0, SheetMetafile("PAGE ONE").get());
    Pdf->EndPage();
    EXPECT_EQ(Dir.Read(name), "an earlier run's file");
    Pdf->StartPage(12240, 15840, 1440, 1440, 0);
    Pdf->EndPage();
    Pdf->EndDoc();
    EXPECT_EQ(poppler::PageCount(name), 2);
    EXPECT_EQ(ListFiles(Dir.Path(), "*"), std::vector<String> {"whole.PDF"});

    // A document dropped unfinished leaves nothing behind.
    TPXPDFPrinter* dropped = new TPXPDFPrinter(nullptr);
    dropped->SetFilename(File("dropped.PDF"));
    dropped->BeginDoc();
    dropped->StartPage(12240, 15840, 1440, 1440, 0);
    dropped->Free();
    EXPECT_EQ(ListFiles(Dir.Path(), "*"), std::vector<String> {"whole.PDF"});
}

TEST_F(PdfExportTest, ErrorsOfTheComponent)
{
    TJPEGImage jpeg;
    TMetafile empty;
    const String missingDir = File("no such directory/x.PDF");
    struct {
        const char* what;
        std::function<void(TPXPDFPrinter&)> action;
        String message;
    } cases[] = {
            {"no file name", [](TPXPDFPrinter& p) { p.BeginDoc(); },
             "No filename or memory stream was specified!"},
            {"page before the document", [](TPXPDFPrinter& p) { p.StartPage(612, 792, 72, 72, 0); },
             "StartPage is only allowed within StartDoc and EndDoc!"},
            {"page after the document",
             [this](TPXPDFPrinter& p) {
                 p.SetFilename(File("ended.PDF"));
                 p.BeginDoc();
                 p.EndDoc();
                 p.StartPage(612, 792, 72, 72, 0);
             },
             "StartPage is only allowed within StartDoc and EndDoc!"},
            {"a JPEG picture",
             [&](TPXPDFPrinter& p) {
                 p.SetFilename(File("jpeg.PDF"));
                 p.BeginDoc();
                 p.StartPage(612, 792, 72, 72, 0);
                 p.DrawTGraphic(0, 0, 10, 10, &jpeg);
             },
             "Cannot convert TJPEGImage"},
            {"an empty metafile outside a page",
             [&](TPXPDFPrinter& p) {
                 p.SetFilename(File("invalid.PDF"));
                 p.BeginDoc();
                 p.DrawMetafile(0, 0, &empty);
             },
             "Invalid Metafile!"},
            {"a directory that does not exist",
             [&](TPXPDFPrinter& p) {
                 p.SetFilename(missingDir);
                 p.BeginDoc();
             },
             "The PDF file " + missingDir + " could not be written."},
            {"a name taken by a directory",
             [this](TPXPDFPrinter& p) {
                 std::filesystem::create_directory(File("taken.PDF"));
                 p.SetFilename(File("taken.PDF"));
                 p.BeginDoc();
                 p.StartPage(612, 792, 72, 72, 0);
                 p.EndPage();
                 p.EndDoc();
             },
             "The PDF file " + File("taken.PDF") + " could not be written."},
    };
    for (const auto& c : cases) {
        TPXPDFPrinter* pdf = new TPXPDFPrinter(nullptr);
        EXPECT_EQ(ErrorOf([&] { c.action(*pdf); }), c.message) << c.what;
        pdf->Free();
    }
    // No half-written file is left by any of them.
    EXPECT_TRUE(ListFiles(Dir.Path(), "*.part").empty());
    EXPECT_FALSE(FileExists(File("jpeg.PDF")));
}

}  // namespace
