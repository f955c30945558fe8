// Copy C sheets: the payer's copy with the form's image, two or three
// recipients a sheet at whole cells.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "printing/copyc.h"
#include "tests/printing/form1099fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

using CopyC = Form1099Fixture;

TEST_F(CopyC, SheetsOfThreeMiscAndFourIntRecipientsOverCalls)
{
    OpenHarbor();
    BuildPrint(2);
    WalkPrint([] { PrintCopyCMisc("", false); });
    BuildPrint(1);
    WalkPrint([] { PrintCopyCInt("", false); });
    ASSERT_EQ(Pages().size(), 4u);
    const std::string misc1 = Dir.Read("PRN00001.PRN"), misc2 = Dir.Read("PRN00002.PRN");
    const std::string int1 = Dir.Read("PRN00003.PRN"), int2 = Dir.Read("PRN00004.PRN");
    for (const std::string& page : {misc1, misc2})
        EXPECT_THAT(page, StartsWith(Esc("E") + StandInOverlay("USMISCC1.HP") + Esc("&a5r4CHarbor")));
    for (const std::string& page : {int1, int2})
        EXPECT_THAT(page, StartsWith(Esc("E") + StandInOverlay("USINTC1.HP") + Esc("&a5r4CHarbor")));
    EXPECT_THAT(misc1, HasSubstr(Esc("&a5r42C12000.00")));  // A01, rents, top form
    EXPECT_THAT(misc1, HasSubstr(Esc("&a51r43C1234.50")));  // B02, nonemployee, bottom form
    EXPECT_THAT(misc1, HasSubstr(Esc("&a54r49CX")));        // B02 direct sales
    EXPECT_THAT(misc2, Not(HasSubstr(Esc("&a38r4C"))));     // the third alone at the top
    // The third form of a sheet lies 43 rows below the first; NAME2 is never printed.
    EXPECT_THAT(int1, HasSubstr(Esc("&a26r4CHarbor")));
    EXPECT_THAT(int1, HasSubstr(Esc("&a48r4CHarbor")));
    EXPECT_THAT(int1, HasSubstr(Esc("&a27r44C1875.25")));
    EXPECT_THAT(int1, Not(HasSubstr("Marine Hardware")));
    EXPECT_THAT(int1, Not(HasSubstr("in trust for")));
    EXPECT_THAT(int2, Not(HasSubstr(Esc("&a26r4C"))));
    EXPECT_THAT(PageSteps, ElementsAre("view", "view", "view", "view"));
    ExpectGoldenPages("copyc");
}

TEST_F(CopyC, APdfRunNamesTheFileAfterTheCopyAndTheDay)
{
    OpenHarbor();
    FMain->Preview = false;
    FMain->MakePdf = true;
    BuildPrint(2);
    PrintCopyCMisc("B02", false);
    BuildPrint(1);
    PrintCopyCInt("C03", false);
    const std::string client = FMain->DataDir + "HARBOR/";
    EXPECT_THAT(PageSteps, ElementsAre("collect", "pdf 2 " + client + "COPYC1099MISC_12-31-2008", "collect",
                                       "pdf 2 " + client + "COPYC1099INT_12-31-2008"));
}

TEST_F(CopyC, APrintedSheetIsOneRawDocumentNamedAfterTheCopy)
{
    OpenHarbor();
    FMain->Preview = false;
    TRecordingRawPrinting spooler;
    BuildPrint(1);
    WalkPrint([] { PrintCopyCInt("", false); });
    ASSERT_EQ(spooler.Documents.size(), 2u);
    for (const auto& document : spooler.Documents) {
        EXPECT_EQ(document.Name, "1099 Copy C INT");
        EXPECT_THAT(document.Bytes(), StartsWith(Esc("E") + StandInOverlay("USINTC1.HP")));
    }
    EXPECT_THAT(Pages(), ::testing::IsEmpty());
    EXPECT_THAT(PageSteps, ::testing::IsEmpty());
}

TEST_F(CopyC, PagesCarryTheShippedFormImages)
{
    OpenHarbor();
    UseShippedOverlays();
    BuildPrint(2);
    WalkPrint([] { PrintCopyCMisc("", false); });
    BuildPrint(1);
    WalkPrint([] { PrintCopyCInt("", false); });
    ASSERT_EQ(Pages().size(), 4u);
    EXPECT_THAT(Dir.Read("PRN00001.PRN"), StartsWith(Esc("E") + Dir.Read("USMISCC1.HP")));
    EXPECT_THAT(Dir.Read("PRN00004.PRN"), StartsWith(Esc("E") + Dir.Read("USINTC1.HP")));
    KeepPages("copyc-shipped");
    KeepPictures("copyc");
}

}  // namespace
