// The report preview over the pages of a real report: paging and zoom by keys
// and buttons, scrolling, closing, and pictures of a page as the user sees it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "platform/vcl/graphics/bitmap.h"
#include "printing/reportpreview.h"
#include "printing/reportprinter.h"
#include "printing/reports.h"
#include "tests/printing/reportfixture.h"

namespace {

class ReportPreviewTest : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        FMain->Preview = true;
        AddRecipients({{"AB", "Alice Brown", "d/b/a Brown Consulting", "4 Elm Street", "Salem MA 01970",
                        "(978) 555-0100"}});
        std::vector<TReportTransaction> rows;
        std::vector<std::string> descriptions(110);
        for (int i = 0; i < 110; ++i) {
            descriptions[i] = "Consulting, week " + std::to_string(i + 1);
            rows.push_back({"AB", "03/14/2008", 5000 + i, descriptions[i].c_str(), 125.5 * (i % 7 + 1),
                            i % 3 ? 0 : 12.55, 125.5 * (i % 7 + 1), i % 3 ? 0 : 6.28});
        }
        AddTransactions(rows);
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        recipients->First();
    }

    // Runs the transactions listing in preview and Action on the preview form.
    void Preview(std::function<void(TFPreview*)> Action)
    {
        AnswerDateRange("010108", "123108");
        bool shown = false;
        WhenShown<TFPreview>([&](TFPreview* Form) {
            shown = true;
            Action(Form);
            if (Form->Visible())
                Form->Close();
        });
        PrintEmployeeTransactions("AB");
        EXPECT_TRUE(shown);
    }

    static QImage PageImage(int Page)
    {
        TBitmap page;
        page.LoadFromFile(ReportPageFile(Page));
        return page.Image().convertToFormat(QImage::Format_RGB32);
    }
    static QImage Shown(TFPreview* Form)
    {
        return Form->Image1->Picture()->Bitmap()->Image().convertToFormat(QImage::Format_RGB32);
    }
    static QSize ImageSize(TFPreview* Form) { return QSize(Form->Image1->Width(), Form->Image1->Height()); }
    static void Screenshot(TFPreview* Form, const char* Name)
    {
        std::filesystem::create_directories(TOTAMUND_SCREENSHOT_DIR);
        ASSERT_TRUE(Form->Widget()->window()->grab().save(QString(TOTAMUND_SCREENSHOT_DIR "/") + Name));
    }
};

TEST_F(ReportPreviewTest, ArrowKeysPageThroughTheReportWithinItsPages)
{
    Preview([this](TFPreview* Form) {
        EXPECT_EQ(Form->Caption(), "Report Preview");
        EXPECT_EQ(Form->PageCount, 3);
        EXPECT_EQ(Form->CurrentPage, 1);
        EXPECT_EQ(ImageSize(Form), QSize(816, 1056)) << "96 pixels to the inch at the start";
        EXPECT_TRUE(Shown(Form) == PageImage(1));
        Screenshot(Form, "report-preview-page1.png");
        // The whole first and last pages as the report wrote them.
        ASSERT_TRUE(PageImage(1).save(TOTAMUND_SCREENSHOT_DIR "/report-page-transactions-1.png"));
        ASSERT_TRUE(PageImage(3).save(TOTAMUND_SCREENSHOT_DIR "/report-page-transactions-3.png"));

        PressKey(Form, Qt::Key_Left);
        EXPECT_EQ(Form->CurrentPage, 1) << "no page before the first";
        const int expected[] = {2, 3, 3};
        for (const int page : expected) {
            PressKey(Form, Qt::Key_Right);
            EXPECT_EQ(Form->CurrentPage, page);
        }
        EXPECT_TRUE(Shown(Form) == PageImage(3));
        EXPECT_FALSE(Shown(Form) == PageImage(2));
        Form->btnPrev->Click();
        EXPECT_EQ(Form->CurrentPage, 2);
        EXPECT_TRUE(Shown(Form) == PageImage(2));
        EXPECT_EQ(ImageSize(Form), QSize(816, 1056)) << "paging keeps the size";
        Form->btnNext->Click();
        PressKey(Form, Qt::Key_Left);
        EXPECT_EQ(Form->CurrentPage, 2);
    });
}

TEST_F(ReportPreviewTest, PlusAndMinusZoomDownToFullSizeAndTheVerticalKeysScrollAScreenful)
{
    Preview([this](TFPreview* Form) {
        const QSize sizes[] = {{1088, 1408}, {1632, 2112}, {3264, 4224}, {3264, 4224}};
        for (const QSize& size : sizes) {
            TypeText(Form, "+");
            EXPECT_EQ(ImageSize(Form), size);
        }
        EXPECT_EQ(Form->ZoomDivisor, 1);
        Form->SpeedButton1->Click();
        EXPECT_EQ(Form->ZoomDivisor, 1);

        TScrollBox* box = Form->ScrollBox1;
        const int screenful = box->ClientHeight();
        ASSERT_GT(screenful, 100);
        PressKey(Form, Qt::Key_Down);
        EXPECT_EQ(box->VertScrollBar()->Position(), screenful);
        PressKey(Form, Qt::Key_PageDown);
        EXPECT_EQ(box->VertScrollBar()->Position(), 2 * screenful);
        PressKey(Form, Qt::Key_Up);
        EXPECT_EQ(box->VertScrollBar()->Position(), screenful);
        PressKey(Form, Qt::Key_PageUp);
        PressKey(Form, Qt::Key_PageUp);
        EXPECT_EQ(box->VertScrollBar()->Position(), 0);

        TypeText(Form, "-");
        EXPECT_EQ(ImageSize(Form), QSize(1632, 2112));
        Form->SpeedButton2->Click();
        EXPECT_EQ(ImageSize(Form), QSize(1088, 1408));
        TypeText(Form, "-");
        TypeText(Form, "-");
        EXPECT_EQ(Form->ZoomDivisor, 5) << "no limit outwards";
        EXPECT_EQ(ImageSize(Form), QSize(652, 844));
        TypeText(Form, "+");
        TypeText(Form, "+");
        Screenshot(Form, "report-preview-zoomed.png");
    });
}

TEST_F(ReportPreviewTest, SlashClosesAndPrintPageIsHiddenAndOnlyExplains)
{
    TModalResult closedWith = mrNone;
    Preview([&](TFPreview* Form) {
        EXPECT_FALSE(Form->SpeedButton5->Visible());
        Form->SpeedButton5->Click();
        TypeText(Form, "/");
        closedWith = Form->ModalResult();
    });
    EXPECT_NE(closedWith, mrNone) << "the modal preview ends";
    EXPECT_THAT(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Print of selected pages / reports from the preview menu is not "
                                        "completed in this version of payroll.");
}

TEST_F(ReportPreviewTest, ALandscapePreviewStartsWideAndOnePageDoesNotPage)
{
    {
        ReportPrinter writer;
        writer.SetLandscape(true);
        writer.StartPage();
        writer.DrawPageFrame("LANDSCAPE", "", "", "");
        writer.EndPage();
    }
    WhenShown<TFPreview>([](TFPreview* Form) {
        EXPECT_EQ(ImageSize(Form), QSize(1056, 816));
        PressKey(Form, Qt::Key_Right);
        Form->btnPrev->Click();
        EXPECT_EQ(Form->CurrentPage, 1);
        Form->Close();
    });
    ShowPreview(1, "poLandscape");
}

}  // namespace
