// The report page writer: its geometry on a recording canvas at printer and
// screen resolutions, and its pages as page bitmaps and as printed sheets.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <stdexcept>

#include "platform/rtl/fileops.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/printing/printers.h"
#include "platform/win/launcher.h"
#include "printing/reportprinter.h"
#include "tests/printing/reportrecording.h"
#include "tests/support/shellfixture.h"

using ::testing::ElementsAre;

namespace {

class ReportPrinterTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartMain();
    }

    // Device pixels of a position at Dpi, truncated as the writer truncates.
    static int Px(int Thousandths, int Dpi)
    {
        return static_cast<int>(std::trunc(Thousandths * Dpi * 0.001));
    }
};

TEST_F(ReportPrinterTest, PensAreTheirCodeIn250thsOfAnInchAndLinesMeetTheFramesAcross)
{
    struct TCase {
        int Dpi;
        int Code;
        int Width;
    };
    const TCase cases[] = {{600, 1, 2}, {600, 2, 4}, {600, 3, 7}, {600, 7, 16}, {300, 3, 3},
                           {96, 1, 0},  {96, 2, 0},  {96, 3, 1},  {96, 7, 2}};
    for (const TCase& c : cases) {
        TRecordingCanvas canvas(c.Dpi);
        ReportPrinter writer(&canvas);
        writer.StartPage();
        writer.DrawVerticalLine(1000, 500, 1000, c.Code);
        EXPECT_EQ(writer.PenWidth(), c.Width) << c.Dpi << " dpi, code " << c.Code;
        writer.DrawHorizontalLine(2000, 250, 7750, c.Code);
        ASSERT_EQ(canvas.Recording.Lines.size(), 2u);
        const TRecordedLine& vertical = canvas.Recording.Lines[0];
        const int half = c.Width / 2;
        EXPECT_EQ(vertical.Line,
                  QLine(Px(1000, c.Dpi), Px(500, c.Dpi) - half, Px(1000, c.Dpi), Px(1000, c.Dpi) + half))
                << "lengthened by half the pen at both ends, " << c.Dpi << " dpi, code " << c.Code;
        EXPECT_EQ(vertical.Width, std::max(1, c.Width));
        EXPECT_EQ(vertical.Cap, Qt::FlatCap);
        EXPECT_EQ(canvas.Recording.Lines[1].Line,
                  QLine(Px(250, c.Dpi), Px(2000, c.Dpi), Px(7750, c.Dpi), Px(2000, c.Dpi)))
                << "not lengthened";
    }
}

TEST_F(ReportPrinterTest, TextsStartEndOrCentreOnTheirColumn)
{
    for (const int dpi : {96, 600}) {
        TRecordingCanvas canvas(dpi);
        ReportPrinter writer(&canvas);
        writer.StartPage();
        writer.SetFont(2);
        writer.PrintAlignedText(1000, 4725, "$1,234.50", AlignRight);
        writer.PrintAmount(1170, 4725, 7.5, "$#,.00");
        writer.PrintAmount(1340, 4725, -25, "$#,.00");
        writer.PrintAmount(1510, 1750, 0, "#########");
        writer.PrintAlignedText(1680, 4000, "EMPLOYEE TRANSACTION TOTALS", AlignCentre);
        writer.PrintAlignedText(1850, 400, "DATE", AlignLeft);
        writer.PrintAlignedText(2020, 400, "FWT", 7);
        const TRecording& r = canvas.Recording;
        const int column = Px(4725, dpi);
        // Truncation to whole thousandths and then to pixels leaves the end at most
        // one thousandth and a pixel short of the column.
        const int slack = dpi / 1000 + 2;
        for (const char* amount : {"$1,234.50", "$7.50", "-$25.00"}) {
            const TRecordedText* text = r.Find(amount);
            ASSERT_NE(text, nullptr) << amount << " at " << dpi << " dpi";
            EXPECT_LE(text->Left + text->Width, column + 1) << amount;
            EXPECT_GE(text->Left + text->Width, column - slack) << amount;
        }
        EXPECT_EQ(r.Find(""), nullptr) << "a reference number of 0 prints nothing";
        const TRecordedText* title = r.Find("EMPLOYEE TRANSACTION TOTALS");
        ASSERT_NE(title, nullptr);
        EXPECT_NEAR(title->Left + title->Width / 2.0, Px(4000, dpi), slack);
        EXPECT_EQ(r.Find("DATE")->Left, Px(400, dpi));
        EXPECT_EQ(r.Find("FWT")->Left, Px(400, dpi)) << "an unknown alignment is left";
        EXPECT_EQ(r.Find("DATE")->Top, Px(1850, dpi)) << "the row is the text's top";
    }
}

TEST_F(ReportPrinterTest, FontCodesPickFaceSizeAndBoldAndOthersChangeNothing)
{
    struct TCase {
        int Code;
        const char* Family;
        int Points;
        bool Bold;
    };
    const TCase cases[] = {
            {1, "Arial", 8, false},        {2, "Arial", 8, true},         {3, "Arial", 10, false},
            {4, "Arial", 10, true},        {5, "Arial", 12, false},       {6, "Arial", 12, true},
            {7, "Courier New", 12, false}, {8, "Courier New", 12, true},  {9, "MICR", 12, true},
            {10, "Line Printer", 8, true}, {0, "Line Printer", 8, false}, {11, "Line Printer", 8, false}};
    TRecordingCanvas canvas(600);
    ReportPrinter writer(&canvas);
    writer.StartPage();
    EXPECT_EQ(writer.FontCode(), 1);
    for (const TCase& c : cases) {
        canvas.Font()->SetStyle(TFontStyles {fsItalic});
        writer.SetFont(c.Code);
        EXPECT_EQ(writer.FontCode(), c.Code);
        const TFont* font = canvas.Font();
        EXPECT_EQ(font->Name(), c.Family) << "code " << c.Code;
        EXPECT_EQ(font->Size(), c.Points) << "code " << c.Code;
        EXPECT_EQ(font->Style().Contains(fsBold), c.Bold) << "code " << c.Code;
        // Italic goes with any known code; an unknown code leaves the style as it was.
        EXPECT_EQ(font->Style().Contains(fsItalic), c.Code == 0 || c.Code == 11) << "code " << c.Code;
    }
    // The frame draws in its own fonts and hands back the remembered code unchanged.
    writer.DrawPageFrame("TITLE", "L", "C", "R");
    EXPECT_EQ(writer.FontCode(), 11);
    EXPECT_EQ(canvas.Recording.Find("TITLE")->PixelSize, 100) << "12 points at 600 dpi";
    EXPECT_TRUE(canvas.Recording.Find("TITLE")->Bold);
}

TEST_F(ReportPrinterTest, ThePageFrameWidensInLandscapeWhileTheSectionHeaderKeepsThePortraitWidth)
{
    struct TCase {
        bool Landscape;
        int Right;
        int Bottom;
        int Middle;
    };
    for (const TCase& c : {TCase {false, 7750, 10400, 4000}, TCase {true, 10250, 7900, 5250}}) {
        const int dpi = 600;
        TRecordingCanvas canvas(dpi);
        ReportPrinter writer(&canvas);
        writer.SetLandscape(c.Landscape);
        writer.StartPage();
        writer.DrawPageFrame("EMPLOYEE TRANSACTION TOTALS", "Harbor Supply Co", "12 Harbor Road",
                             "New Bedford MA 02740");
        const TRecording& r = canvas.Recording;
        const int border = 7 * dpi / 250, half = border / 2;
        const int left = Px(250, dpi), top = Px(250, dpi), right = Px(c.Right, dpi),
                  bottom = Px(c.Bottom, dpi);
        ASSERT_EQ(r.Lines.size(), 5u);
        EXPECT_EQ(r.Lines[0].Line, QLine(left, top - half, left, bottom + half));
        EXPECT_EQ(r.Lines[1].Line, QLine(right, top - half, right, bottom + half));
        EXPECT_EQ(r.Lines[2].Line, QLine(left, top, right, top));
        EXPECT_EQ(r.Lines[3].Line, QLine(left, Px(750, dpi), right, Px(750, dpi))) << "the title band";
        EXPECT_EQ(r.Lines[4].Line, QLine(left, bottom, right, bottom));
        for (const TRecordedLine& line : r.Lines)
            EXPECT_EQ(line.Width, border);

        // The footer band: shaded (portrait only), then framed with pen 2.
        const QRect band(QPoint(left, Px(c.Bottom - 170, dpi)), QPoint(right - 1, bottom - 1));
        ASSERT_EQ(r.Rects.size(), c.Landscape ? 1u : 2u);
        if (!c.Landscape) {
            EXPECT_EQ(r.Rects[0].Rect, band);
            EXPECT_TRUE(r.Rects[0].Filled);
            EXPECT_EQ(r.Rects[0].Fill, QColor(0xC0, 0xC0, 0xC0));
            EXPECT_EQ(r.Rects[0].PenWidth, 0);
        }
        const TRecordedRect& frame = r.Rects.back();
        const int pen2 = 2 * dpi / 250;
        EXPECT_FALSE(frame.Filled);
        EXPECT_EQ(frame.PenWidth, pen2);
        // The outline lies inside the rectangle, its right and bottom edges excluded.
        EXPECT_EQ(frame.Rect.x() - pen2 / 2, band.left());
        EXPECT_EQ(frame.Rect.x() + frame.Rect.width() + (pen2 + 1) / 2, band.right() + 1);

        const TRecordedText* title = r.Find("EMPLOYEE TRANSACTION TOTALS");
        EXPECT_NEAR(title->Left + title->Width / 2.0, Px(c.Middle, dpi), 2);
        EXPECT_EQ(title->Top, Px(400, dpi));
        EXPECT_EQ(r.Find("Harbor Supply Co")->Left, Px(350, dpi));
        EXPECT_EQ(r.Find("Harbor Supply Co")->PixelSize, 67) << "8 points bold at 600 dpi";
        EXPECT_NEAR(r.Find("12 Harbor Road")->Left + r.Find("12 Harbor Road")->Width / 2.0, Px(c.Middle, dpi),
                    2);
        const TRecordedText* city = r.Find("New Bedford MA 02740");
        EXPECT_NEAR(city->Left + city->Width, Px(c.Right - 50, dpi), 2);

        canvas.Recording.Clear();
        int row = 750;
        writer.DrawSectionHeader(row, "SECTION", 3);
        EXPECT_EQ(row, 950);
        ASSERT_EQ(r.Rects.size(), 2u);
        EXPECT_EQ(r.Rects[0].Rect,
                  QRect(QPoint(left, Px(750, dpi)), QPoint(Px(7750, dpi) - 1, Px(950, dpi) - 1)))
                << "shaded to the portrait width";
        EXPECT_EQ(r.Rects[1].PenWidth, pen2);
        EXPECT_EQ(r.Find("Report Date: 12-31-2008")->Left, Px(750, dpi));
        EXPECT_EQ(r.Find("Page - 3")->Left, Px(6775, dpi));
        EXPECT_NEAR(r.Find("SECTION")->Left + r.Find("SECTION")->Width / 2.0, Px(4000, dpi), 2);
        EXPECT_EQ(writer.FontCode(), 1);
    }
}

TEST_F(ReportPrinterTest, AShadedBoxLeavesTheBrushAsItFoundItsColourAndClear)
{
    TRecordingCanvas canvas(96);
    ReportPrinter writer(&canvas);
    writer.StartPage();
    canvas.Brush()->SetColor(clRed);
    writer.DrawShadedBox(1000, 250, 1200, 7750, 1);
    EXPECT_EQ(canvas.Brush()->Color(), clRed);
    EXPECT_EQ(canvas.Brush()->Style(), bsClear);
    ASSERT_EQ(canvas.Recording.Rects.size(), 1u);
    EXPECT_EQ(canvas.Recording.Rects[0].Rect, QRect(QPoint(24, 96), QPoint(743, 114)));
}

TEST_F(ReportPrinterTest, PreviewPagesAreLetterBitmapsNumberedFromOne)
{
    FMain->Preview = true;
    for (const bool landscape : {false, true}) {
        FMain->DeleteTempPrintFiles();
        {
            ReportPrinter writer;
            writer.SetLandscape(landscape);
            for (int page = 1; page <= 3; ++page) {
                writer.StartPage();
                EXPECT_EQ(writer.PageNumber(), page);
                writer.DrawPageFrame("PAGE " + IntToStr(page), "", "", "");
                writer.EndPage();
            }
        }
        EXPECT_THAT(ListFiles(Dir.Path(), "PRV*.BMP"),
                    ElementsAre("PRV0001.BMP", "PRV0002.BMP", "PRV0003.BMP"));
        TBitmap page;
        page.LoadFromFile(Dir / "PRV0002.BMP");
        EXPECT_EQ(page.Width(), landscape ? 1056 : 816);
        EXPECT_EQ(page.Height(), landscape ? 816 : 1056);
        const QImage image = page.Image();
        EXPECT_EQ(image.pixelColor(24, 500), QColor(Qt::black)) << "the border at column 250";
        EXPECT_EQ(image.pixelColor(400, 500), QColor(Qt::white));
    }
}

class ReportPrinterSheets : public ReportPrinterTest {
protected:
    void TearDown() override
    {
        TPrinter* printer = Printer();
        if (printer->Printing())
            printer->Abort();
        printer->SetOutputFileName("");
        printer->SetResolution(0);
        printer->SetOrientation(poPortrait);
        ReportPrinterTest::TearDown();
    }
};

TEST_F(ReportPrinterSheets, PrintedPagesAreSheetsOfOneJobSentWhenTheWriterEnds)
{
    if (FindProgram("pdfinfo").empty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    TPrinter* printer = Printer();
    const std::string pdf = Dir / "report.pdf";
    printer->SetOutputFileName(pdf);
    printer->SetResolution(300);
    {
        ReportPrinter writer;
        writer.SetLandscape(true);
        EXPECT_EQ(printer->Orientation(), poLandscape);
        for (int page = 0; page < 2; ++page) {
            writer.StartPage();
            EXPECT_TRUE(printer->Printing());
            EXPECT_EQ(writer.PenWidth(), 3) << "pen 3 at the printer's 300 dpi";
            writer.DrawPageFrame("SHEET", "", "", "");
            writer.EndPage();
        }
        EXPECT_TRUE(printer->Printing()) << "the job goes when the writer ends";
    }
    EXPECT_FALSE(printer->Printing());
    FILE* info = ::popen(("pdfinfo '" + pdf + "'").c_str(), "r");
    std::string text;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, info))
        text.append(buffer, n);
    ::pclose(info);
    EXPECT_THAT(text, ::testing::ContainsRegex("Pages: +2"));
    EXPECT_THAT(text, ::testing::ContainsRegex("Page size: +(792 x 612|842 x 595)"))
            << "the printer's paper, turned";
    EXPECT_TRUE(ListFiles(Dir.Path(), "PRV*.BMP").empty());
}

TEST_F(ReportPrinterSheets, AReportThatFailsPartWayHasItsJobDroppedNotSent)
{
    TPrinter* printer = Printer();
    printer->SetOutputFileName(Dir / "failed.pdf");
    try {
        ReportPrinter writer;
        writer.StartPage();
        writer.DrawPageFrame("HALF A REPORT", "", "", "");
        throw std::runtime_error("the table could not be read");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(printer->Printing());
    EXPECT_TRUE(printer->Aborted());
}

}  // namespace
