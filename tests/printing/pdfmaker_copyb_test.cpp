// Copy B for three recipients in a PDF run, as the program runs it: the Copy B
// routine with the shipped form images, the page viewer's conversion and the
// PDF maker connected as the program connects them, each recipient's form in
// that recipient's own PDF.

#include <gtest/gtest.h>

#include "platform/rtl/fileops.h"
#include "platform/vcl/forms/forms.h"
#include "printing/copyb.h"
#include "printing/formpages.h"
#include "printing/pdfmaker.h"
#include "printing/viewpcl.h"
#include "tests/printing/form1099fixture.h"
#include "tests/printing/pdfmakerfixture.h"
#include "tests/support/popplerreader.h"

namespace {

class PdfMakerCopyB : public Form1099Fixture {
protected:
    void SetUp() override
    {
        Form1099Fixture::SetUp();
        FMain->Preview = false;
        FMain->MakePdf = true;
        FormPageHooks.ViewPrintedPages = ViewPrintedPages;
        FormPageHooks.MakePdfFromPages = MakePdfFromPages;
        UseShippedOverlays();
        pdfmakertest::WriteStamp(Dir.Path());
    }
    TRecordingLauncher Launcher;
};

struct TExpectedPdf {
    const char* ID;
    const char* File;
    const char* Name;
    std::vector<const char*> Amounts;
    size_t Forms;  // the recipient's forms on the page
};

TEST_F(PdfMakerCopyB, EachRecipientsPdfHoldsThatRecipientsCopyB)
{
    const TExpectedPdf expected[] = {
            {"A01",
             "CopyBMISC_A0112-31-2008.PDF",
             "Alden Rentals LLC",
             {"12000.00", "240.00", "04-5556667"},
             2},
            {"B02", "CopyBMISC_B0212-31-2008.PDF", "Bianca Morales", {"1234.50", "123.45", "123-45-6789"}, 2},
            {"D04", "CopyBINT_D0412-31-2008.PDF", "Dorothy Quinn", {"1875.25", "187.53", "345678901"}, 3},
    };
    OpenHarbor();
    for (const TExpectedPdf& pdf : expected) {
        Dialogs.AnswerMessage(mrNo);  // not viewed now
        GoToRecipient(pdf.ID);
        PrintCopyB(pdf.ID);
    }

    const String dir = FMain->DataDir + "HARBOR/";
    std::vector<String> questions;
    for (const TExpectedPdf& pdf : expected) {
        const String file = dir + pdf.File;
        questions.push_back("1 page PDF created in " + file + ". View it now ?");
        EXPECT_EQ(poppler::PageSizes(file), std::vector<std::string> {"612 x 792 pts (letter)"}) << pdf.ID;
        EXPECT_EQ(poppler::ImageCount(file), 1) << pdf.ID;  // the stamp; form and data are vectors and text
        const std::string text = poppler::Text(file);
        for (const TExpectedPdf& other : expected) {
            size_t names = 0;
            for (size_t at = text.find(other.Name); at != std::string::npos;
                 at = text.find(other.Name, at + 1))
                ++names;
            EXPECT_EQ(names, &other == &pdf ? pdf.Forms : 0) << pdf.ID << " / " << other.Name << "\n" << text;
        }
        for (const char* amount : pdf.Amounts)
            EXPECT_NE(text.find(amount), std::string::npos) << amount << "\n" << text;
        EXPECT_NE(text.find("Harbor Supply Company"), std::string::npos) << text;
        EXPECT_NE(text.find("Copy B"), std::string::npos) << text;  // the form image's own text
        pdfmakertest::KeepPdf(file, pdf.File);
    }
    EXPECT_EQ(Shown(), questions);
    EXPECT_TRUE(Launcher.Opened.empty());

    const String first = dir + expected[0].File;
    const QImage page = poppler::Render(first, 1, 100, Dir / "copyb.png");
    ASSERT_EQ(page.size(), QSize(850, 1100));
    EXPECT_TRUE(pdfmakertest::IsStampColour(page.pixelColor(12, 900)));
    pdfmakertest::KeepScreenshot(Dir / "copyb.png", "CopyBMISC_A0112-31-2008-page1.png");
}

}  // namespace
