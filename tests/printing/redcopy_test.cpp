// The red Copy A sheets: the data alone on the pre-printed forms, moved by the
// user's print adjustment, always in PCL, two or three recipients a sheet.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "printing/redcopy.h"
#include "tests/printing/form1099fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using RedCopy = Form1099Fixture;

TEST_F(RedCopy, SheetsOfThreeMiscAndFourIntRecipientsOverCalls)
{
    OpenHarbor();
    BuildPrint(2);
    WalkPrint([] { PrintRedCopyMisc("", false); });
    BuildPrint(1);
    WalkPrint([] { PrintRedCopyInt("", false); });
    ASSERT_EQ(Pages().size(), 4u);
    // Two MISC recipients on the first sheet, the third alone at the top of the next.
    const std::string misc1 = Dir.Read("PRN00001.PRN"), misc2 = Dir.Read("PRN00002.PRN");
    EXPECT_THAT(misc1, HasSubstr(Esc("&a3r4CHarbor Supply Company of New En") + Esc("&a4r4C")));
    EXPECT_THAT(misc1, HasSubstr(Esc("&a1.79999995231628r42C12000.00")));     // A01, rents, top form
    EXPECT_THAT(misc1, HasSubstr(Esc("&a47.5999984741211r43C1234.50")));      // B02, nonemployee, bottom
    EXPECT_THAT(misc1, HasSubstr(Esc("&a43.7999992370605r21C123-45-6789")));  // B02 has only an SSN
    EXPECT_THAT(misc1, HasSubstr(Esc("&a50.7999992370605r49CX")));            // B02 direct sales
    EXPECT_THAT(misc2, HasSubstr(Esc("&a4.80000019073486r43C5000.00")));      // G07, royalties, top
    EXPECT_THAT(misc2, Not(HasSubstr(Esc("&a36r4C"))));                       // bottom left empty
    // Three INT recipients, then the fourth alone; the second form's interest a little higher.
    const std::string int1 = Dir.Read("PRN00003.PRN"), int2 = Dir.Read("PRN00004.PRN");
    EXPECT_THAT(int1, HasSubstr(Esc("&a2.75r46C.50")));
    EXPECT_THAT(int1, HasSubstr(Esc("&a24.6499996185303r42C1875.25")));
    EXPECT_THAT(int1, HasSubstr(Esc("&a46.75r43C310.00")));
    EXPECT_THAT(int1, HasSubstr(Esc("&a31.75r4Cin trust for Molly Quinn")));
    EXPECT_THAT(int2, HasSubstr(Esc("&a1r4CHarbor")));
    EXPECT_THAT(int2, Not(HasSubstr(Esc("&a23r4C"))));
    for (const std::string& page : {misc1, misc2, int1, int2})
        EXPECT_THAT(page, Not(HasSubstr("[US")));  // no overlay
    EXPECT_THAT(PageSteps, ElementsAre("view", "view", "view", "view"));
    ExpectGoldenPages("redcopy");
    KeepPictures("redcopy");
}

TEST_F(RedCopy, ThePrintAdjustmentMovesEveryBox)
{
    OpenHarbor();
    FMain->User->RedCopyOffsetY = 1.5f;
    FMain->User->RedCopyOffsetX = 2;
    BuildPrint(2);
    WalkPrint([] { PrintRedCopyMisc("", false); });
    BuildPrint(1);
    WalkPrint([] { PrintRedCopyInt("", false); });
    const std::string misc = Dir.Read("PRN00001.PRN"), interest = Dir.Read("PRN00003.PRN");
    EXPECT_THAT(misc, HasSubstr(Esc("&a4.5r6CHarbor Supply")));
    EXPECT_THAT(misc, HasSubstr(Esc("&a3.29999995231628r44C12000.00")));
    EXPECT_THAT(misc, HasSubstr(Esc("&a52.2999992370605r51CX")));
    EXPECT_THAT(interest, HasSubstr(Esc("&a26.1499996185303r44C1875.25")));
    ExpectGoldenPages("redcopy-adjusted");
}

TEST_F(RedCopy, OnlyTheCurrentRecipientFillsTheTopFormAlthoughTheTableMovesOn)
{
    OpenHarbor();
    const struct {
        const char* Form;
        int Mode;
        void (*Print)(const String&, bool);
        const char* LeftOn;
    } cases[] = {{"MISC", 2, PrintRedCopyMisc, "B02"}, {"INT", 1, PrintRedCopyInt, "E05"}};
    for (const auto& c : cases) {
        FMain->DeleteTempPrintFiles();
        BuildPrint(c.Mode);
        TDaroruTable* print = DClientDataBase->tblEmployeePrint;
        print->First();
        c.Print("", true);
        EXPECT_EQ(print->FieldByName("ID")->AsString(), c.LeftOn) << c.Form;
        const std::string page = Dir.Read("PRN00001.PRN");
        // Only the top form's payer: one payer name on the sheet.
        EXPECT_EQ(page.find("Harbor Supply"), page.rfind("Harbor Supply")) << c.Form;
    }
}

TEST_F(RedCopy, NoLaserPrintIsBackAfterTheSheetWhateverHappens)
{
    OpenHarbor();
    for (bool noLaser : {false, true}) {
        FMain->User->NoLaserPrint = noLaser;
        FMain->DeleteTempPrintFiles();
        BuildPrint(2);
        PrintRedCopyMisc("", false);
        EXPECT_EQ(Dir.Read("PRN00001.PRN").substr(0, 7), Esc("E") + Esc("&a3r")) << "a PCL page";
        EXPECT_EQ(FMain->User->NoLaserPrint, noLaser);
        // The print-work table gone: the table layer's error ends the sheet.
        DClientDataBase->tblEmployeePrint->Close();
        EXPECT_ANY_THROW(PrintRedCopyInt("", false));
        EXPECT_EQ(FMain->User->NoLaserPrint, noLaser);
    }
}

}  // namespace
