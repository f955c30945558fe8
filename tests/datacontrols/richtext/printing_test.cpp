// Printing of the rich edit: the page rectangle its margins leave, a long text as pages
// of a PDF file and of a print queue (read back with poppler's tools), and the page
// setup dialog's margins, paper and orientation.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPageSetupDialog>
#include <QTimer>
#include <regex>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/printing/printers.h"
#include "tests/datacontrols/richtext/richeditfixture.h"
#include "tests/support/cupsdfixture.h"
#include "tests/support/keepcopy.h"
#include "tests/support/popplerreader.h"
#include "tests/support/screenshots.h"
#include "tests/support/tempdir.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct WordBox {
    std::string Text;
    double Left, Top, Right, Bottom;
};

// Every word on Page (from 1) with its box in points, as pdftotext finds it.
std::vector<WordBox> Words(const std::string& Pdf, int Page)
{
    const std::string page = std::to_string(Page);
    const std::string html =
            poppler::Run("pdftotext -bbox -f " + page + " -l " + page + " " + poppler::Quoted(Pdf) + " -");
    static const std::regex word(
            R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<WordBox> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4])});
    return words;
}

// The paragraphs "Payment 001" on, and one long paragraph that has to wrap.
String LongDocument(int Paragraphs)
{
    String rtf = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\f0\fs24 )";
    for (int i = 1; i <= Paragraphs; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "Payment %03d\\par ", i);
        rtf += line;
    }
    for (int i = 0; i < 30; ++i)
        rtf += "wrapping ";
    return rtf + "}";
}

class RichEditPrinting : public RichEditFormTest {
protected:
    void TearDown() override
    {
        Printer()->SetOutputFileName("");
        Printer()->SetOrientation(poPortrait);
        Printer()->SetPaperSize(1);
        RichEditFormTest::TearDown();
    }
    std::string PrintToPdf(const String& Name)
    {
        const std::string pdf = Dir / Name;
        Printer()->SetOutputFileName(pdf);
        Edit->Print("Notices");
        KeepCopy(pdf, TOTAMUND_ARTIFACT_DIR "/richedit", Name);
        return pdf;
    }

    TempDir Dir;
    TScriptedDialogs Dialogs;
};

TEST(RichEditPageRect, TheMarginsAreTakenFromTheSheetLessThePrintingOffset)
{
    struct Case {
        TdwPrinterPage Page;
        int Left, Top, Right, Bottom;
        TRect Expected;
    };
    const Case cases[] = {
            // Letter without offset, 1" all round.
            {{12240, 15840, 0, 0}, 1440, 1440, 1440, 1440, {1440, 1440, 10800, 14400}},
            // A quarter inch the printer cannot reach on each side.
            {{12240, 15840, 360, 360}, 1440, 720, 1440, 2160, {1080, 360, 10440, 13320}},
            // Margins narrower than the offset and wider than the sheet stay on the sheet.
            {{12240, 15840, 360, 360}, 0, 0, 20000, 20000, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const TRect r = dwPageRectFromMargins(c.Page, c.Left, c.Top, c.Right, c.Bottom);
        EXPECT_EQ(r.Left, c.Expected.Left);
        EXPECT_EQ(r.Top, c.Expected.Top);
        EXPECT_EQ(r.Right, c.Expected.Right);
        EXPECT_EQ(r.Bottom, c.Expected.Bottom);
    }
}

TEST_F(RichEditPrinting, ALongTextPrintsAsThreeLetterPagesWithinItsMargins)
{
    Edit->LoadContents(LongDocument(110));
    TdwPrintMargins* m = Edit->PrintMargins();
    m->Left = 1.5;
    m->Top = 1.0;
    m->Right = 1.0;
    m->Bottom = 0.75;
    const std::string pdf = PrintToPdf("notices.pdf");

    ASSERT_EQ(poppler::PageCount(pdf), 3);
    EXPECT_THAT(poppler::PageSizes(pdf), ElementsAre(HasSubstr("612 x 792 pts (letter)"),
                                                     HasSubstr("612 x 792 pts"), HasSubstr("612 x 792 pts")));
    // Every paragraph once and in order, none lost or doubled where a page ends.
    std::vector<std::string> payments;
    double left = 1e9, top = 1e9, right = 0, bottom = 0;
    for (int page = 1; page <= 3; ++page) {
        const std::vector<WordBox> words = Words(pdf, page);
        ASSERT_FALSE(words.empty()) << "page " << page;
        for (size_t i = 0; i + 1 < words.size(); ++i)
            if (words[i].Text == "Payment")
                payments.push_back(words[i + 1].Text);
        for (const WordBox& w : words) {
            left = std::min(left, w.Left);
            top = std::min(top, w.Top);
            right = std::max(right, w.Right);
            bottom = std::max(bottom, w.Bottom);
        }
    }
    ASSERT_EQ(payments.size(), 110u) << ::testing::PrintToString(payments);
    for (int i = 0; i < 110; ++i) {
        char expected[8];
        std::snprintf(expected, sizeof expected, "%03d", i + 1);
        EXPECT_EQ(payments[static_cast<size_t>(i)], expected);
    }
    EXPECT_NEAR(left, 1.5 * 72, 2.0);
    EXPECT_NEAR(top, 72, 4.0);
    EXPECT_LE(right, 612 - 72);
    EXPECT_GT(right, 612 - 72 - 40) << "the long paragraph wraps at the right margin";
    EXPECT_LE(bottom, 792 - 0.75 * 72);
    EXPECT_THAT(poppler::Text(pdf, 1), HasSubstr("Payment 001"));
    EXPECT_THAT(poppler::Text(pdf, 3), HasSubstr("wrapping"));
    EXPECT_THAT(poppler::InfoLines(pdf, "Title:"), ElementsAre("Notices"));
}

TEST_F(RichEditPrinting, AShortTextIsOnePageAndPrinterWidthPrintsOnItsPaper)
{
    Edit->LoadContents("one line");
    Edit->SetMeasurementUnits(muCentimeters);
    Edit->PrintMargins()->Left = 2.537;  // one inch
    Edit->SetEditWidth(rewPrinterSize);
    Edit->SetPaperSize(9);
    const std::string pdf = PrintToPdf("short.pdf");
    EXPECT_EQ(poppler::PageCount(pdf), 1);
    EXPECT_THAT(poppler::PageSizes(pdf), ElementsAre(HasSubstr("595 x 842 pts (A4)")));
    const std::vector<WordBox> words = Words(pdf, 1);
    ASSERT_FALSE(words.empty());
    EXPECT_NEAR(words[0].Left, 72, 2.0);
    EXPECT_THROW(Edit->SetPaperSize(4242), EPrinter);
    EXPECT_EQ(Edit->PaperSize(), 9);
}

TEST_F(RichEditPrinting, MarginsTooWideForThePageAreRefusedAndNothingPrints)
{
    Edit->LoadContents("text");
    Edit->PrintMargins()->Left = 5;
    Edit->PrintMargins()->Right = 5;
    const std::string pdf = Dir / "none.pdf";
    Printer()->SetOutputFileName(pdf);
    EXPECT_THROW(Edit->Print("Notices"), EPrinter);
    EXPECT_FALSE(Printer()->Printing());
}

TEST_F(RichEditPrinting, PageSetupShowsTheMarginsInThousandthsAndTakesTheAnswer)
{
    Edit->PrintMargins()->Left = 1.25;
    TdwPageSetupDialog dialog(nullptr);
    dialog.RichEdit = Edit;
    Dialogs.AnswerPageSetup([](TPageSetupRequest& r) {
        r.Left = 500;
        r.Bottom = 2000;
        r.PaperSize = 5;  // Legal, which the window-sized layout does not let change
        r.Landscape = true;
    });
    ASSERT_TRUE(dialog.Execute());
    ASSERT_EQ(Dialogs.PageSetupRequests.size(), 1u);
    const TPageSetupRequest& shown = Dialogs.PageSetupRequests[0];
    EXPECT_EQ(shown.Units, psThousandthsOfInches);
    EXPECT_EQ(shown.Left, 1250);
    EXPECT_EQ(shown.Top, 1000);
    EXPECT_FALSE(shown.PaperEnabled);
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Left, 0.5);
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Bottom, 2.0);
    EXPECT_EQ(Edit->PaperSize(), 1);
    EXPECT_EQ(Printer()->Orientation(), poLandscape);

    // Centimetres go as hundredths of a millimetre; with the printer's width the paper changes.
    Edit->SetMeasurementUnits(muCentimeters);
    Edit->PrintMargins()->Top = 2.5;
    Edit->SetEditWidth(rewPrinterSize);
    Dialogs.AnswerPageSetup([](TPageSetupRequest& r) {
        r.PaperSize = 9;
        r.Landscape = false;
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Dialogs.PageSetupRequests[1].Units, psHundredthsOfMillimeters);
    EXPECT_EQ(Dialogs.PageSetupRequests[1].Top, 2500);
    EXPECT_TRUE(Dialogs.PageSetupRequests[1].PaperEnabled);
    EXPECT_EQ(Edit->PaperSize(), 9);
    EXPECT_EQ(Printer()->PaperSize(), 9);
    EXPECT_EQ(Printer()->Orientation(), poPortrait);

    // Cancelled, nothing changes.
    EXPECT_FALSE(dialog.Execute());
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Top, 2.5);
    EXPECT_EQ(Edit->PaperSize(), 9);
}

// The desktop's own page setup dialog, driven as a user would.
TEST_F(RichEditPrinting, TheDesktopsPageSetupDialogShowsTheMarginsAndLocksThePaper)
{
    TDialogService* scripted = SetDialogService(nullptr);
    Edit->PrintMargins()->Left = 1.5;
    TdwPageSetupDialog dialog(nullptr);
    dialog.RichEdit = Edit;
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* setup = qobject_cast<QPageSetupDialog*>(window);
            if (!setup || !setup->isVisible())
                continue;
            shown = true;
            const QList<QComboBox*> paper = setup->findChildren<QComboBox*>(QStringLiteral("pageSizeCombo"));
            ASSERT_FALSE(paper.isEmpty());
            EXPECT_FALSE(paper[0]->isEnabled()) << "the window-sized layout keeps its paper";
            auto* left = setup->findChild<QDoubleSpinBox*>(QStringLiteral("leftMargin"));
            auto* top = setup->findChild<QDoubleSpinBox*>(QStringLiteral("topMargin"));
            ASSERT_TRUE(left && top);
            EXPECT_DOUBLE_EQ(left->value(), 1.5);
            top->setValue(0.75);
            KeepScreenshot(setup->grab(), "richedit_pagesetup.png");
            setup->accept();
        }
    });
    const bool accepted = dialog.Execute();
    SetDialogService(scripted);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(accepted);
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Left, 1.5);
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Top, 0.75);
    EXPECT_EQ(Edit->PaperSize(), 1);
}

// The editor form's Print and Page Setup commands.
TEST_F(RichEditPrinting, TheEditorFormPrintsThroughThePrintDialogWithTheJobName)
{
    Edit->LoadContents(LongDocument(10));
    Edit->PrintJobName = "Recipient notes";
    const std::string pdf = Dir / "editor.pdf";
    Printer()->SetOutputFileName(pdf);
    Dialogs.AnswerPrinter(Printer()->PrinterIndex(), 1);
    Dialogs.AnswerPageSetup([](TPageSetupRequest& r) { r.Top = 2000; });
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_TRUE(editor->Print1->Visible());
        EXPECT_TRUE(editor->PrintButton->Visible());
        EXPECT_TRUE(editor->PageSetup1->Visible());
        EXPECT_TRUE(editor->FileSep2->Visible());
        editor->PageSetup1->Click();
        EXPECT_DOUBLE_EQ(editor->RichEdit1->PrintMargins()->Top, 2.0);
        editor->Print1->Click();
        editor->Exit1->Click();
    });
    EXPECT_EQ(poppler::PageCount(pdf), 1);
    EXPECT_THAT(poppler::InfoLines(pdf, "Title:"), ElementsAre("Recipient notes"));
    EXPECT_THAT(poppler::Text(pdf), HasSubstr("Payment 010"));
    const std::vector<WordBox> words = Words(pdf, 1);
    ASSERT_FALSE(words.empty());
    EXPECT_NEAR(words[0].Top, 2 * 72, 4.0) << "the margin the page setup took";
}

TEST_F(RichEditPrinting, AtThePrintersWidthTheRulerSpansThePrintablePageAndFollowsPageSetup)
{
    Edit->SetEditWidth(rewPrinterSize);
    Dialogs.AnswerPageSetup([](TPageSetupRequest& r) {
        r.Left = 500;
        r.PaperSize = 5;  // Legal is as wide as Letter
    });
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->RichEdit1->EditWidth(), rewPrinterSize);
        EXPECT_EQ(editor->Ruler->Width(), 96 * 13 / 2 + 12) << "8.5 inches less two margins of one";
        EXPECT_EQ(editor->Ruler->RightMarker(), editor->Ruler->Width() - TdwRulerPanel::MarkerWidth);
        editor->PageSetup1->Click();
        EXPECT_EQ(editor->RichEdit1->PaperSize(), 5);
        EXPECT_EQ(editor->Ruler->Width(), 96 * 7 + 12);
        editor->Exit1->Click();
    });
}

TEST_F(RichEditPrinting, ThePageSetUpInTheEditorIsTheControlsAfterOKOnly)
{
    Edit->SetEditWidth(rewPrinterSize);
    for (const bool ok : {false, true}) {
        Dialogs.AnswerPageSetup([](TPageSetupRequest& r) {
            r.Left = 1500;
            r.PaperSize = 5;
        });
        RunEditor([ok](TdwRichEditForm* editor) {
            editor->PageSetup1->Click();
            (ok ? editor->SaveExit1 : editor->Exit1)->Click();
        });
        EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Left, ok ? 1.5 : 1.0);
        EXPECT_EQ(Edit->PaperSize(), ok ? 5 : 1);
    }
    EXPECT_FALSE(Edit->Modified()) << "a new page is no change of the text";
}

TEST_F(RichEditPrinting, TheFontListHoldsTheInstalledFontsAndAtThePrintersWidthOnlyPrintableOnes)
{
    // The combo's list; the font dialog opened from the menu offers the same one, or
    // every family (an empty list) at the window's width.
    const auto offered = [this] {
        std::vector<String> names;
        RunEditor([&names](TdwRichEditForm* editor) {
            for (int i = 0; i < editor->FontNameCombo->Items()->Count(); ++i)
                names.push_back(editor->FontNameCombo->Items()->Strings(i));
            editor->Font1->Click();
            editor->Exit1->Click();
        });
        EXPECT_EQ(Dialogs.FontFamiliesOffered.back(),
                  Edit->EditWidth() == rewPrinterSize ? names : std::vector<String>());
        return names;
    };
    const std::vector<String> window = offered();
    TStrings* installed = GuiScreen()->Fonts();
    EXPECT_EQ(static_cast<int>(window.size()), installed->Count());
    EXPECT_THAT(window, ::testing::Contains(String("Liberation Sans")));
    EXPECT_THAT(window, ::testing::Contains(String("DejaVu Sans")));
    Edit->SetEditWidth(rewPrinterSize);
    const std::vector<String> printer = offered();
    EXPECT_FALSE(printer.empty());
    EXPECT_THAT(printer, ::testing::Contains(String("Liberation Serif")));
    for (const String& name : printer)
        EXPECT_GE(Printer()->Fonts()->IndexOf(name), 0) << name;
}

TEST_F(RichEditPrinting, WithoutThePrintOptionsTheCommandsAreHidden)
{
    Edit->SetEditorOptions(TdwRichEditOptions {reoShowSaveExit, reoShowToolBar});
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_FALSE(editor->Print1->Visible());
        EXPECT_FALSE(editor->PrintButton->Visible());
        EXPECT_FALSE(editor->PageSetup1->Visible());
        EXPECT_FALSE(editor->FileSep2->Visible());
        editor->Exit1->Click();
    });
}

// A PDF queue of a cupsd of the test's own: the job reaches the queue's file as the
// same three pages.
const char* const PdfQueuePpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PDFQUEUE.PPD"
*Manufacturer: "Test"
*Product: "(Pdf Queue)"
*ModelName: "Pdf Queue"
*ShortNickName: "Pdf Queue"
*NickName: "Pdf Queue"
*PSVersion: "(3010.000) 0"
*cupsFilter: "application/pdf 0 gziptoany"
*OpenUI *PageSize: PickOne
*DefaultPageSize: Letter
*PageSize Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageSize
*DefaultImageableArea: Letter
*ImageableArea Letter: "0 0 612 792"
*DefaultPaperDimension: Letter
*PaperDimension Letter: "612 792"
)ppd";

TEST_F(RichEditPrinting, ThroughAPrintQueueTheSameThreePagesArrive)
{
    PrivateCupsd cupsd;
    const std::string why = cupsd.Start("NotesQueue", PdfQueuePpd);
    if (!why.empty())
        GTEST_SKIP() << "this machine cannot run a private cupsd: " << why;
    const std::vector<String> printers = Printer()->Printers();
    const auto queue = std::find(printers.begin(), printers.end(), "NotesQueue");
    ASSERT_NE(queue, printers.end()) << "the printer list does not show the private queue";
    Printer()->SetPrinterIndex(static_cast<int>(queue - printers.begin()));
    Edit->LoadContents(LongDocument(110));
    Edit->PrintMargins()->Left = 1.5;
    Edit->Print("Queued notices");

    const std::string pdf = Dir.Write("queued.pdf", cupsd.PrintedBytes());
    KeepCopy(pdf, TOTAMUND_ARTIFACT_DIR "/richedit", "queued.pdf");
    ASSERT_EQ(poppler::PageCount(pdf), 3)
            << cupsd.Log().substr(0, 2000) << ::testing::PrintToString(cupsd.FinishedJobs());
    EXPECT_THAT(poppler::PageSizes(pdf),
                ElementsAre(HasSubstr("612 x 792"), HasSubstr("612 x 792"), HasSubstr("612 x 792")));
    EXPECT_THAT(poppler::Text(pdf, 1), HasSubstr("Payment 001"));
    EXPECT_THAT(poppler::Text(pdf, 3), HasSubstr("Payment 110"));
    const std::vector<WordBox> words = Words(pdf, 1);
    ASSERT_FALSE(words.empty());
    EXPECT_NEAR(words[0].Left, 1.5 * 72, 2.0);
    EXPECT_THAT(cupsd.FinishedJobs(), ElementsAre("Queued notices"));
}

}  // namespace
