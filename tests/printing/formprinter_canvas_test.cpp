// The form page engine in canvas mode: page bitmaps of a preview or PDF run,
// printed sheets at the printer's real resolution, and the form image hook.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <map>
#include <regex>

#include "platform/rtl/fileops.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/printing/printers.h"
#include "platform/win/launcher.h"
#include "printing/formprinter.h"
#include "tests/printing/formprinterfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct TPaintedImage {
    String Overlay;
    TRect Frame;
};

class FormPrinterCanvas : public FormPrinterFixture {
protected:
    void SetUp() override
    {
        FormPrinterFixture::SetUp();
        FMain->User->NoLaserPrint = true;
        SetFormImagePainter([this](const String& Overlay, TCanvas&, const TRect& Frame) {
            Painted.push_back({Overlay, Frame});
        });
    }
    void TearDown() override
    {
        SetFormImagePainter(nullptr);
        FormPrinterFixture::TearDown();
    }

    // A form page of three boxes: a name, an amount and a check.
    static void PlaceBoxes(FormPrinter& Printer)
    {
        Printer.PrintText(8, 6, "ACME");
        Printer.PrintAmount(10, 40, 1234.5, "TOTAMT", "#.00");
        Printer.PrintCheck(12, 3, true, "CORRECTED");
    }

    std::vector<TPaintedImage> Painted;
};

TEST_F(FormPrinterCanvas, PreviewAndPdfRunsWriteLetterPageBitmapsWithTheTextInItsCells)
{
    // The boxes as a 96-dpi page places them: x = column x 100 and y = row x 165.5
    // thousandths of an inch, 48 pixels right and 2 up; an amount ends at its cell.
    TBitmap expected;
    expected.SetSize(816, 1056);
    TCanvas* canvas = expected.Canvas();
    canvas->Font()->SetName("Courier New");
    canvas->Font()->SetSize(12);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(105, 125, "ACME");
    canvas->TextOut(432 - canvas->TextWidth("1234.50"), 156, "1234.50");
    canvas->TextOut(76, 188, "X");
    const QImage expectedImage = expected.Image().convertToFormat(QImage::Format_RGB32);

    for (const bool preview : {true, false}) {
        FMain->Preview = preview;
        FMain->MakePdf = !preview;
        FMain->DeleteTempPrintFiles();
        FormPrinter printer;
        ASSERT_TRUE(printer.CanvasMode());
        printer.StartPage();
        PlaceBoxes(printer);
        EXPECT_TRUE(printer.EndPage("Copy B"));
        EXPECT_TRUE(FMain->BitmapPages);
        EXPECT_THAT(ListFiles(Dir.Path(), "*.bmp"), ElementsAre("bmp00001.bmp")) << "preview " << preview;
        TBitmap page;
        page.LoadFromFile(Dir / "bmp00001.bmp");
        ASSERT_EQ(page.Width(), 816);
        ASSERT_EQ(page.Height(), 1056);
        EXPECT_TRUE(page.Image().convertToFormat(QImage::Format_RGB32) == expectedImage)
                << "preview " << preview;
        EXPECT_EQ(printer.PageText(), "");
    }
    KeepArtifact("bmp00001.bmp", "bmp00001.bmp");
    TBitmap page;
    page.LoadFromFile(Dir / "bmp00001.bmp");
    std::filesystem::create_directories(TOTAMUND_SCREENSHOT_DIR);
    page.Image().save(
            QString::fromStdString(std::string(TOTAMUND_SCREENSHOT_DIR) + "/formprinter_canvas_page.png"));
}

TEST_F(FormPrinterCanvas, TheOverlaysFormImageIsDrawnAtOnceOnlyWhenItsFileExists)
{
    FMain->Preview = true;
    FMain->DeleteTempPrintFiles();
    Dir.Write("us1096$1.hp", "FORM IMAGE");
    FormPrinter printer;
    printer.StartPage();
    printer.LoadOverlay("MISSING.HP");
    EXPECT_THAT(Painted, IsEmpty());
    printer.LoadOverlay("US1096$1.HP");
    ASSERT_EQ(Painted.size(), 1u);
    EXPECT_EQ(Painted[0].Overlay, "FORM IMAGE");
    EXPECT_EQ(Painted[0].Frame, Rect(24, -2, 840, 1054));
    EXPECT_EQ(printer.OverlaySize(), 0);
    printer.EndPage("1096");

    FMain->User->NoLaserPrint = false;
    FormPrinter pcl;
    pcl.StartPage();
    pcl.LoadOverlay("US1096$1.HP");
    EXPECT_EQ(pcl.OverlaySize(), 10);
    EXPECT_EQ(Painted.size(), 1u);
}

// The words of a PDF with their top-left corners in points, as poppler reads them.
std::map<std::string, std::pair<double, double>> PdfWords(const std::string& Pdf)
{
    std::map<std::string, std::pair<double, double>> words;
    const std::string command = "pdftotext -bbox '" + Pdf + "' -";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return words;
    std::string html;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        html.append(buffer, n);
    ::pclose(pipe);
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
        words[(*it)[3]] = {std::stod((*it)[1]), std::stod((*it)[2])};
    return words;
}

TEST_F(FormPrinterCanvas, APrintedPageHasItsTextAndFormImageAtTheSamePlaceOnTheSheetAtAnyResolution)
{
    if (FindProgram("pdftotext").empty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the printed sheets cannot be read back";
    Dir.Write("COPYB.HP", "FORM");
    TPrinter* sheetPrinter = Printer();
    std::map<int, std::map<std::string, std::pair<double, double>>> placed;
    for (const int dpi : {96, 300, 600}) {
        const std::string pdf = Dir / ("sheet" + std::to_string(dpi) + ".pdf");
        sheetPrinter->SetOutputFileName(pdf);
        sheetPrinter->SetResolution(dpi);
        {
            FormPrinter printer;
            printer.StartPage();
            ASSERT_EQ(printer.PageCanvas()->PixelsPerInch(), dpi);
            printer.LoadOverlay("copyb.hp");
            PlaceBoxes(printer);
            EXPECT_TRUE(printer.EndPage("Copy B"));
            printer.StartPage();  // a second sheet of the same document
            printer.PrintText(1, 1, "NEXT");
            printer.EndPage("Copy B");
            EXPECT_TRUE(sheetPrinter->Printing());
        }
        EXPECT_FALSE(sheetPrinter->Printing()) << "the document ends with the engine";
        EXPECT_THAT(ListFiles(Dir.Path(), "*.bmp"), IsEmpty());
        placed[dpi] = PdfWords(pdf);
        ASSERT_EQ(placed[dpi].size(), 4u) << dpi << " dpi";
    }
    sheetPrinter->SetOutputFileName("");
    sheetPrinter->SetResolution(0);

    // The form image is the sheet at true size, its column 0 at the text's origin.
    ASSERT_EQ(Painted.size(), 3u);
    EXPECT_EQ(Painted[0].Frame, Rect(-16, -14, 800, 1042));
    EXPECT_EQ(Painted[1].Frame, Rect(-51, -45, 2499, 3255));
    EXPECT_EQ(Painted[2].Frame, Rect(-102, -90, 4998, 6510));
    // Within one pixel of the coarsest device, plus the rounding of its offsets. A
    // right-aligned amount starts where its width in device pixels says: at 96 dpi
    // each character's advance is rounded to whole pixels.
    const double pixel = 72.0 / 96;
    for (const char* word : {"ACME", "1234.50", "X", "NEXT"}) {
        for (const int dpi : {96, 300}) {
            const bool amountOnScreen = std::string(word) == "1234.50" && dpi == 96;
            const double across = amountOnScreen ? (1.5 + 0.5 * 7) * pixel : 1.5 * pixel;
            EXPECT_NEAR(placed[dpi][word].first, placed[600][word].first, across)
                    << word << " at " << dpi << " dpi";
            EXPECT_NEAR(placed[dpi][word].second, placed[600][word].second, 1.5 * pixel)
                    << word << " at " << dpi << " dpi";
        }
    }
    // 0.68 inch from the printable area's left edge: column 6 and the 48-pixel offset.
    EXPECT_NEAR(placed[600]["ACME"].first - placed[600]["NEXT"].first, (0.6 - 0.1) * 72, 1.0);
}

}  // namespace
