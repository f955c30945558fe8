// The page viewer and the page-file collection of a form print run, offscreen:
// the pages of a run, stepping and zoom, the metafile pages of a PDF run, and
// Print Page sending a page file raw.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <filesystem>

#include "platform/pcl/pclviewer.h"
#include "platform/rtl/fileops.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/image.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/metafile.h"
#include "platform/vcl/printing/printers.h"
#include "platform/win/servicedoubles.h"
#include "printing/viewpcl.h"
#include "tests/printing/formprinterfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/pclfixture.h"

namespace {

class ViewPclTest : public FormPrinterFixture {
protected:
    void SetUp() override
    {
        FormPrinterFixture::SetUp();
        FMain->User->ClientID = "ACME";
        FMain->PrinterName = "Laser on printhost";
    }
    void TearDown() override
    {
        if (TFViewPCL* viewer = Viewer())
            viewer->Free();
        FormPrinterFixture::TearDown();
    }

    // PCL pages 1..Count as the form page engine names them, each with its number printed.
    void WritePclPages(int Count)
    {
        for (int page = 1; page <= Count; ++page)
            Dir.Write(PageName("PRN", page, ".PRN"),
                      pcltest::SampleFormPage() + "\x1b&a40r2CPAGE " + std::to_string(page));
    }
    void WriteBitmapPages(int Count)
    {
        TBitmap bitmap;
        bitmap.SetSize(816, 1056);
        for (int page = 1; page <= Count; ++page)
            bitmap.SaveToFile(Dir / PageName("bmp", page, ".bmp"));
        FMain->BitmapPages = true;
    }
    static std::string PageName(const std::string& Prefix, int Page, const std::string& Ext)
    {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%05d", Page);
        return Prefix + digits + Ext;
    }

    // The open viewer, if any.
    static TFViewPCL* Viewer()
    {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i)
            if (auto* form = dynamic_cast<TFViewPCL*>(Screen()->Forms(i)))
                return form;
        return nullptr;
    }
    TFViewPCL* OpenViewer()
    {
        ShowForm(FMain);
        ViewPrintedPages(true);
        TFViewPCL* viewer = Viewer();
        EXPECT_NE(viewer, nullptr);
        return viewer;
    }
};

TEST_F(ViewPclTest, NothingToViewOnlyWhenAskedToShow)
{
    struct {
        bool bitmapRun;
        bool show;
        std::vector<String> messages;
    } cases[] = {
            {false, true, {"Nothing to view."}},
            {false, false, {}},
            {true, true, {"Nothing to view."}},
            {true, false, {}},
    };
    for (const auto& c : cases) {
        Dialogs.Messages.clear();
        FMain->BitmapPages = c.bitmapRun;
        ViewPrintedPages(c.show);
        EXPECT_EQ(Shown(), c.messages) << c.bitmapRun << c.show;
        EXPECT_EQ(Viewer(), nullptr);
    }
}

TEST_F(ViewPclTest, SteppingThroughThePagesOfARun)
{
    WritePclPages(3);
    TFViewPCL* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    ShowForm(viewer);
    EXPECT_EQ(viewer->Caption(), "Form Viewer");
    EXPECT_EQ(viewer->PageCount, 3);
    EXPECT_EQ(viewer->Label1->Caption(), "Page 1 of 3");
    EXPECT_FALSE(viewer->btnPrev->Enabled());
    EXPECT_TRUE(viewer->btnNext->Enabled());

    viewer->btnNext->Click();
    EXPECT_EQ(viewer->Label1->Caption(), "Page 2 of 3");
    EXPECT_EQ(viewer->PclFileName, "PRN00002.PRN");
    EXPECT_TRUE(viewer->btnPrev->Enabled());
    EXPECT_TRUE(viewer->btnNext->Enabled());
    EXPECT_EQ(viewer->ADTaxViewerX1->HpFile(), Dir / "PRN00002.PRN");

    const QImage image = viewer->Widget()->window()->grab().toImage();
    std::filesystem::create_directories(TOTAMUND_SCREENSHOT_DIR);
    EXPECT_TRUE(image.save(QStringLiteral(TOTAMUND_SCREENSHOT_DIR "/form-viewer.png"), "PNG"));

    PressKey(viewer, Qt::Key_Right);
    EXPECT_EQ(viewer->Label1->Caption(), "Page 3 of 3");
    EXPECT_FALSE(viewer->btnNext->Enabled());
    viewer->btnNext->Click();  // at the end: the same page again
    EXPECT_EQ(viewer->CurrentPage, 3);
    EXPECT_TRUE(viewer->ADTaxViewerX1->Loaded());
    PressKey(viewer, Qt::Key_Left);
    PressKey(viewer, Qt::Key_Left);
    PressKey(viewer, Qt::Key_Left);
    EXPECT_EQ(viewer->Label1->Caption(), "Page 1 of 3");
    EXPECT_FALSE(viewer->btnPrev->Enabled());
}

TEST_F(ViewPclTest, OnePageDisablesBothButtons)
{
    WritePclPages(1);
    TFViewPCL* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->Label1->Caption(), "Page 1 of 1");
    EXPECT_FALSE(viewer->btnPrev->Enabled());
    EXPECT_FALSE(viewer->btnNext->Enabled());
}

TEST_F(ViewPclTest, ZoomKeysEnlargeThePclPageAndSlashCloses)
{
    WritePclPages(2);
    TFViewPCL* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    ShowForm(viewer);
    const int normal = viewer->ADTaxViewerX1->Width();
    EXPECT_EQ(normal, 816);
    TypeText(viewer, "+");
    EXPECT_TRUE(viewer->ADTaxViewerX1->LargeForm());
    EXPECT_GT(viewer->ADTaxViewerX1->Width(), normal);
    // Page Down and Page Up scroll the enlarged page by the box's height.
    TControlScrollBar* bar = viewer->ScrollBox1->VertScrollBar();
    ASSERT_EQ(bar->Position(), 0);
    PressKey(viewer, Qt::Key_PageDown);
    EXPECT_EQ(bar->Position(), std::min(viewer->ScrollBox1->ClientHeight(), bar->Range()));
    EXPECT_GT(bar->Position(), 0);
    PressKey(viewer, Qt::Key_PageUp);
    EXPECT_EQ(bar->Position(), 0);
    viewer->SpeedButton2->Click();
    EXPECT_EQ(viewer->ADTaxViewerX1->Width(), normal);
    viewer->SpeedButton1->Click();
    TypeText(viewer, "-");
    EXPECT_FALSE(viewer->ADTaxViewerX1->LargeForm());
    TypeText(viewer, "/");
    QCoreApplication::processEvents();
    EXPECT_EQ(Viewer(), nullptr);
}

TEST_F(ViewPclTest, BitmapPagesShowUprightAndZoomChangesNothing)
{
    WriteBitmapPages(2);
    TFViewPCL* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->Label1->Caption(), "Page 1 of 2");
    EXPECT_EQ(viewer->BitmapFileName, Dir / "bmp00001.bmp");
    EXPECT_TRUE(viewer->Image1->Visible());
    EXPECT_EQ(viewer->Image1->Width(), 816);
    EXPECT_EQ(viewer->Image1->Height(), 1056);
    EXPECT_FALSE(viewer->ADTaxViewerX1->Visible());
    viewer->SpeedButton1->Click();
    EXPECT_EQ(viewer->Image1->Width(), 816);
    EXPECT_EQ(viewer->Image1->Height(), 1056);
}

TEST_F(ViewPclTest, PdfRunTurnsEachPclPageIntoAMetafile)
{
    WritePclPages(12);
    Dir.Write("WMF00013.WMF", "left from a longer run");
    FMain->MakePdf = true;
    ViewPrintedPages(false);
    EXPECT_EQ(Viewer(), nullptr);
    std::vector<String> expected;
    for (int page = 1; page <= 12; ++page)
        expected.push_back(PageName("WMF", page, ".WMF"));
    EXPECT_EQ(ListFiles(Dir.Path(), "WMF*.WMF"), expected);

    // Each is a drawing of its page that replays at any size.
    TMetafile metafile;
    metafile.LoadFromFile(Dir / "WMF00012.WMF");
    EXPECT_EQ(metafile.Width(), 2550);
    EXPECT_EQ(metafile.Height(), 3300);
    TBitmap replay;
    replay.SetSize(425, 550);
    replay.Canvas()->Brush()->SetColor(clWhite);
    replay.Canvas()->FillRect(TRect {0, 0, 425, 550});
    replay.Canvas()->StretchDraw(TRect {0, 0, 425, 550}, &metafile);
    int inked = 0;
    for (int y = 0; y < 550; ++y)
        for (int x = 0; x < 425; ++x)
            inked += qGray(replay.Image().pixel(x, y)) < 128;
    EXPECT_GT(inked, 500);
    const std::filesystem::path artifacts = std::filesystem::path(TOTAMUND_ARTIFACT_DIR) / "printing";
    std::filesystem::create_directories(artifacts);
    std::filesystem::copy_file(Dir / "WMF00001.WMF", artifacts / "WMF00001.WMF",
                               std::filesystem::copy_options::overwrite_existing);
}

TEST_F(ViewPclTest, PdfRunWithBitmapPagesLeavesNoMetafile)
{
    WriteBitmapPages(2);
    Dir.Write("WMF00001.WMF", "left from an earlier run");
    FMain->MakePdf = true;
    ViewPrintedPages(false);
    EXPECT_TRUE(ListFiles(Dir.Path(), "WMF*.WMF").empty());
}

TEST_F(ViewPclTest, PrintPageSendsThePageFileRawAndOnce)
{
    TRecordingRawPrinting printing;
    WritePclPages(3);
    TFViewPCL* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    viewer->btnNext->Click();
    Dialogs.AnswerPrinter(-1, 2);
    viewer->SpeedButton5->Click();
    EXPECT_EQ(FMain->Copies, 2);
    ASSERT_EQ(printing.Documents.size(), 1u);
    const auto& document = printing.Documents[0];
    EXPECT_EQ(document.Printer, "Laser");  // the name before " on "
    EXPECT_EQ(document.Name, "Korvane Client ACME");
    ASSERT_EQ(document.Writes.size(), 1u);
    EXPECT_EQ(document.Writes[0], Dir.Read("PRN00002.PRN"));
    EXPECT_TRUE(document.Accepted);
    EXPECT_TRUE(Shown().empty());

    // A cancelled dialog sends nothing.
    viewer->SpeedButton5->Click();
    EXPECT_EQ(printing.Documents.size(), 1u);
}

TEST_F(ViewPclTest, PrintPageFailuresSendNothing)
{
    TRecordingRawPrinting printing;
    WritePclPages(2);
    TFViewPCL* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);

    FMain->PrinterName = "Nowhere";
    Dialogs.AnswerPrinter(-1, 1);
    viewer->SpeedButton5->Click();
    EXPECT_EQ(Shown(), std::vector<String> {"Failed to open specified printer."});
    EXPECT_TRUE(printing.Documents.empty());

    // A new run removed the page: the viewer says so and the printer is not asked for.
    Dialogs.Messages.clear();
    printing.OpenRequests.clear();
    FMain->PrinterName = "Laser";
    std::filesystem::remove(Dir / "PRN00002.PRN");
    viewer->btnNext->Click();
    EXPECT_FALSE(viewer->ADTaxViewerX1->Loaded());
    Dialogs.AnswerPrinter(-1, 1);
    viewer->SpeedButton5->Click();
    EXPECT_EQ(Shown(), std::vector<String> {MissingPageText("PRN00002.PRN")});
    EXPECT_TRUE(printing.OpenRequests.empty());
}

TEST_F(ViewPclTest, PrintPageOfABitmapRunPrintsTheBitmapOnTheDesktopPrinter)
{
    TRecordingRawPrinting printing;
    WriteBitmapPages(1);
    TFViewPCL* viewer = OpenViewer();
    ASSERT_NE(viewer, nullptr);
    const std::string pdf = Dir / "printed.pdf";
    Printer()->SetOutputFileName(pdf);
    Dialogs.AnswerPrinter(-1, 1);
    viewer->SpeedButton5->Click();
    Printer()->SetOutputFileName("");
    EXPECT_TRUE(printing.OpenRequests.empty());
    EXPECT_TRUE(Shown().empty());
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
}

}  // namespace
