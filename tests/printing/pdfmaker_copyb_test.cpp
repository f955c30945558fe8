// Copy B of Form 1099-MISC for three recipients in a PDF run, with the form
// image the program ships: each recipient's page goes through the page engine,
// the page viewer's conversion and the PDF maker into that recipient's own PDF.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/texthelpers.h"
#include "platform/rtl/fileops.h"
#include "printing/formprinter.h"
#include "printing/pdfmaker.h"
#include "printing/viewpcl.h"
#include "tests/pdf/popplerreader.h"
#include "tests/printing/pdfmakerfixture.h"

namespace {

struct TRecipient {
    const char* ID;
    const char* Name;
    const char* Street;
    const char* City;
    const char* SSN;
    double Compensation;
    const char* CompensationText;
};

const TRecipient Recipients[] = {
    {"A01", "Alder Consulting LLC", "12 Birch Road", "Salem OR 97301", "123-45-6789", 1234.5, "1234.50"},
    {"B02", "Beatrice M. Carver", "400 Harbor Way Apt 3", "Astoria OR 97103", "234-56-7890", 18250.75, "18250.75"},
    {"C03", "Cedar Lane Design", "9 Mill Street", "Eugene OR 97401", "345-67-8901", 600, "600.00"},
};

// One Copy B page of a 1099-MISC: the recipient's form twice, on the upper and
// the lower half of the sheet, over the shipped form image.
void PrintCopyBPage(const TRecipient& Recipient) {
    FormPrinter printer;
    printer.StartPage();
    printer.LoadOverlay("USMISCB1.HP");
    for (int offset : {0, 33}) {
        printer.PrintText(5 + offset, 4, "Harbor Supply Company");
        printer.PrintText(6 + offset, 4, "1 Dock Street");
        printer.PrintText(7 + offset, 4, "Newport OR 97365");
        printer.PrintText(13 + offset, 4, "93-1234567");
        printer.PrintText(13 + offset, 21, Recipient.SSN);
        printer.PrintText(17 + offset, 4, Recipient.Name);
        printer.PrintText(20 + offset, 4, Recipient.Street);
        printer.PrintText(22 + offset, 4, Recipient.City);
        printer.PrintAmount(18 + offset, 49, Recipient.Compensation, "NONEMPLOYEE COMPENSATION", "#.00");
    }
    ASSERT_TRUE(printer.EndPage("1099 Copy B MISC"));
}

class PdfMakerCopyB : public PdfMakerTest {
protected:
    void SetUp() override {
        PdfMakerTest::SetUp();
        std::filesystem::copy_file(SHIPPED_FORMS_DIR "/USMISCB1.HP", Dir / "USMISCB1.HP");
        WriteStamp();
    }
};

TEST_F(PdfMakerCopyB, EachRecipientsPdfHoldsThatRecipientsCopyB) {
    FMain->DeleteTempPrintFiles();
    for (const TRecipient& recipient : Recipients) {
        PrintCopyBPage(recipient);
        ViewPrintedPages(false);
        MakePdfFromPages(DataDir() + "CopyBMISC_" + recipient.ID + TodayText(), pkFormPages);
    }

    std::vector<String> questions;
    for (const TRecipient& recipient : Recipients) {
        const String pdf = DataDir() + "CopyBMISC_" + recipient.ID + "12-31-2008.PDF";
        questions.push_back("1 page PDF created in " + pdf + ". View it now ?");
        EXPECT_EQ(poppler::PageSizes(pdf), std::vector<std::string>{"612 x 792 pts (letter)"});
        EXPECT_EQ(poppler::ImageCount(pdf), 1);  // the stamp; the form and its data are vectors and text
        const std::string text = poppler::Text(pdf);
        for (const TRecipient& other : Recipients) {
            const size_t expected = &other == &recipient ? 2 : 0;  // upper and lower form
            size_t names = 0;
            for (size_t at = text.find(other.Name); at != std::string::npos; at = text.find(other.Name, at + 1)) ++names;
            EXPECT_EQ(names, expected) << recipient.ID << " / " << other.Name << "\n" << text;
        }
        EXPECT_NE(text.find(recipient.CompensationText), std::string::npos) << text;
        EXPECT_NE(text.find(recipient.SSN), std::string::npos) << text;
        EXPECT_NE(text.find("Harbor Supply Company"), std::string::npos) << text;
        EXPECT_NE(text.find("Nonemployee compensation"), std::string::npos) << text;  // the form image's caption
        KeepPdf(pdf, ExtractFileName(pdf));
    }
    EXPECT_EQ(Shown(), questions);

    const String first = DataDir() + "CopyBMISC_A0112-31-2008.PDF";
    const QImage page = poppler::Render(first, 1, 100, Dir / "copyb.png");
    ASSERT_EQ(page.size(), QSize(850, 1100));
    KeepScreenshot(Dir / "copyb.png", "CopyBMISC_A0112-31-2008-page1.png");
}

}  // namespace
