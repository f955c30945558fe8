// The missing-items form: its lines, Close, and Print through the reject listing,
// with the print dialog first unless the main window's Preview is on.

#include <gmock/gmock.h>

#include "app/totstart.h"
#include "efile/efilerejects.h"
#include "tests/efile/efilefixture.h"
#include "tests/support/screenshots.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EFileRejectsTest : public EFileFixture {
protected:
    void SetUp() override
    {
        EFileFixture::SetUp();
        Items.Add("Transmitter TIN Required information missing");
        Items.Add(" Name Required information missing");
        Items.Add("JANE DOE Zip Code must have 5 or 9 digits");
        EFileRejectsListing = [this](TStrings* List) { Printed.push_back(List); };
    }
    void TearDown() override
    {
        EFileRejectsListing = nullptr;
        EFileFixture::TearDown();
    }
    // Shows the form, presses Print and closes it.
    void PressPrint()
    {
        WhenShown<TFEFileRejects>([](TFEFileRejects* f) {
            f->BitBtn2->Click();
            f->BitBtn1->Click();
        });
        ShowEFileRejects(Items);
    }

    TStringList Items;
    std::vector<TStrings*> Printed;
};

TEST_F(EFileRejectsTest, ListsTheLinesHandedOverAndCloses)
{
    std::vector<String> lines;
    WhenShown<TFEFileRejects>([&](TFEFileRejects* f) {
        EXPECT_EQ(f->Caption(), "EFile Missing Items");
        EXPECT_EQ(f->BitBtn2->Caption(), "&Print");
        EXPECT_EQ(f->ActiveControl(), f->BitBtn1);
        for (int i = 0; i < f->ListBox1->Items()->Count(); ++i)
            lines.push_back(f->ListBox1->Items()->Get(i));
        KeepScreenshot(f->Widget()->window()->grab(), "efilerejects.png");
        PressKey(f, Qt::Key_Return);  // the Close button has the focus
    });
    ShowEFileRejects(Items);
    EXPECT_THAT(lines, ElementsAre("Transmitter TIN Required information missing",
                                   " Name Required information missing",
                                   "JANE DOE Zip Code must have 5 or 9 digits"));
    EXPECT_EQ(Items.Count(), 3);
}

TEST_F(EFileRejectsTest, PrintAsksForThePrinterFirst)
{
    PressPrint();  // the print dialog is cancelled
    EXPECT_THAT(Printed, IsEmpty());
    Dialogs.AnswerPrinter(-1, 1);
    PressPrint();
    EXPECT_THAT(Printed, ElementsAre(&Items));
}

TEST_F(EFileRejectsTest, PrintWithPreviewGoesStraightToTheListing)
{
    FMain->Preview = true;
    PressPrint();
    EXPECT_THAT(Printed, ElementsAre(&Items));
}

TEST_F(EFileRejectsTest, PrintWithoutTheListingSaysSo)
{
    EFileRejectsListing = nullptr;
    Dialogs.AnswerPrinter(-1, 1);
    PressPrint();
    EXPECT_THAT(Shown(), ElementsAre(NotAvailableMessage));
}

}  // namespace
