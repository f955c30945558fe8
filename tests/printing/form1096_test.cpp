// Form 1096, red and file copy: the payer, the contact, and the number and the
// totals of the recipients of the one form type it transmits.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/smalldialogs.h"
#include "platform/rtl/fileops.h"
#include "printing/form1096.h"
#include "tests/printing/form1099fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

using Form1096 = Form1099Fixture;

bool StatusFormShown()
{
    for (int i = 0; i < Screen()->FormCount(); ++i)
        if (dynamic_cast<TFCreateStatus*>(Screen()->Forms(i)))
            return true;
    return false;
}

TEST_F(Form1096, CountsAndSumsOnlyTheRecipientsOfTheFormItTransmits)
{
    OpenHarbor();
    const struct {
        const char* Interest1099;
        const char* Count;     // red copy, box 3
        const char* Withheld;  // box 4, ending in column 55
        const char* Total;     // box 5, ending in column 74
        const char* Check;     // the form type's box
    } cases[] = {
            {"N", "&a17r36C3", "&a17r48C1,373.45", "&a17r66C18,234.50", "&a25r4.75CX"},
            {"Y", "&a17r36C4", "&a17r50C197.04", "&a17r67C2,280.85", "&a21r67.75CX"},
            {"y", "&a17r36C3", "&a17r48C1,373.45", "&a17r66C18,234.50", "&a25r4.75CX"},
            {"", "&a17r36C3", "&a17r48C1,373.45", "&a17r66C18,234.50", "&a25r4.75CX"},
    };
    for (const auto& c : cases) {
        DClientDataBase->Interest1099 = c.Interest1099;
        FMain->DeleteTempPrintFiles();
        Print1096Red();
        const std::string page = Dir.Read("PRN00001.PRN");
        for (const char* box : {c.Count, c.Withheld, c.Total, c.Check})
            EXPECT_THAT(page, HasSubstr(Esc(box))) << "Interest1099 '" << c.Interest1099 << "'";
        EXPECT_EQ(page.find("CX"), page.rfind("CX")) << "one form type checked";
    }
}

TEST_F(Form1096, RedAndFileCopiesOfBothFormTypes)
{
    OpenHarbor();
    for (const char* interest : {"N", "Y"}) {
        DClientDataBase->Interest1099 = interest;
        Print1096Red();
        Print1096File();
    }
    ASSERT_EQ(Pages().size(), 4u);
    const std::string red = Dir.Read("PRN00001.PRN"), file = Dir.Read("PRN00002.PRN");
    EXPECT_THAT(red, StartsWith(Esc("E") + Esc("&a5r6CHarbor Supply Company of New England") +
                                Esc("&a6r6CMarine")));
    EXPECT_THAT(red, HasSubstr(Esc("&a13r4CMary O'Neil") + Esc("&a13r32C508") + Esc("&a13r37C5550142") +
                               Esc("&a15r4Cmary.oneil@harbor-books.example") + Esc("&a17r4C12-3456789") +
                               Esc("&a17r17C987-65-4321")));
    // The file copy: the form's image, every box three rows lower, no second name line.
    EXPECT_THAT(file, StartsWith(Esc("E") + StandInOverlay("US1096$1.HP") +
                                 Esc("&a8r6CHarbor Supply Company of New England") +
                                 Esc("&a11r6C1200 Harbor Road, Building 7") +
                                 Esc("&a12r6CNew Bedford MA 02740-1234")));
    EXPECT_THAT(file, HasSubstr(Esc("&a20r36C3") + Esc("&a20r48C1,373.45") + Esc("&a20r66C18,234.50") +
                                Esc("&a28r5CX")));
    EXPECT_THAT(Dir.Read("PRN00004.PRN"), HasSubstr(Esc("&a20r36C4") + Esc("&a20r50C197.04") +
                                                    Esc("&a20r67C2,280.85") + Esc("&a24r68CX")));
    EXPECT_THAT(PageSteps, ElementsAre("view", "view", "view", "view"));
    EXPECT_FALSE(StatusFormShown());
    ExpectGoldenPages("form1096");
}

TEST_F(Form1096, TheRedCopyMovesByThePrintAdjustment)
{
    OpenHarbor();
    FMain->User->RedCopyOffsetY = 0.5f;
    Print1096Red();
    const std::string page = Dir.Read("PRN00001.PRN");
    EXPECT_THAT(page, StartsWith(Esc("E") + Esc("&a5.5r6CHarbor Supply")));
    EXPECT_THAT(page, HasSubstr(Esc("&a25.5r4.75CX")));
    ExpectGoldenPages("form1096-adjusted");
}

TEST_F(Form1096, TheContactTelephoneSplitsOnlyATenDigitNumber)
{
    OpenHarbor();
    const struct {
        const char* Phone;
        const char* AreaCode;  // "" for none
        const char* Number;
    } cases[] = {
            {"(555) 123-4567", "555", "1234567"},
            {"555.123.4567", "555", "1234567"},
            {"555-1234", "", "5551234"},
            {"1 (508) 555-0100", "", "15085550100"},
            {"(508) 555-0100 x12", "", "508555010012"},
            {"", "", ""},
    };
    for (const auto& c : cases) {
        DClientDataBase->ContactPhone = c.Phone;
        FMain->DeleteTempPrintFiles();
        Print1096File();
        const std::string page = Dir.Read("PRN00001.PRN");
        if (*c.AreaCode)
            EXPECT_THAT(page, HasSubstr(Esc("&a16r32C") + c.AreaCode + Esc("&a16r37C"))) << c.Phone;
        else
            EXPECT_THAT(page, Not(HasSubstr(Esc("&a16r32C")))) << c.Phone;
        EXPECT_THAT(page, HasSubstr(Esc("&a16r37C") + c.Number + Esc("&a18r4C"))) << c.Phone;
    }
}

TEST_F(Form1096, SumsOfZeroCentsLeaveTheirBoxesEmptyButTheCountIsPrinted)
{
    OpenClient("ZERO", {{"NAME1", "Northeastern Maritime Supply Cooperativ"}, {"SSN", "123-45-6789"}});
    AddRecipients({{.ID = "R1", .Name1 = "One", .TransType = "N", .Total = 0.1, .Fwt = 0.3},
                   {.ID = "R2", .Name1 = "Two", .TransType = "M", .Total = 0.2, .Fwt = -0.1},
                   {.ID = "R3", .Name1 = "Three", .TransType = "O", .Total = -0.3, .Fwt = -0.2}});
    DClientDataBase->Interest1099 = "N";
    Print1096File();
    DClientDataBase->Interest1099 = "Y";
    Print1096File();
    const std::string misc = Dir.Read("PRN00001.PRN"), interest = Dir.Read("PRN00002.PRN");
    EXPECT_THAT(misc, HasSubstr(Esc("&a8r6CNortheastern Maritime Supply Cooperat") +
                                Esc("&a11r6C")));  // 37 characters
    EXPECT_THAT(misc,
                HasSubstr(Esc("&a20r4C") + Esc("&a20r17C123-45-6789") + Esc("&a20r36C3") + Esc("&a28r5CX")));
    EXPECT_THAT(interest, HasSubstr(Esc("&a20r36C0") + Esc("&a24r68CX")));
}

TEST_F(Form1096, TheRedCopyIsAlwaysPclAndNoLaserPrintComesBackWhateverHappens)
{
    OpenHarbor();
    for (bool noLaser : {true, false}) {
        FMain->User->NoLaserPrint = noLaser;
        FMain->DeleteTempPrintFiles();
        Print1096Red();
        EXPECT_THAT(Dir.Read("PRN00001.PRN"), StartsWith(Esc("E") + Esc("&a5r6C")));
        EXPECT_EQ(FMain->User->NoLaserPrint, noLaser);
    }
    // The file copy follows the setting: a page picture with the form image drawn.
    FMain->User->NoLaserPrint = true;
    FMain->DeleteTempPrintFiles();
    Print1096File();
    EXPECT_TRUE(FileExists(Dir / "bmp00001.bmp"));
    EXPECT_TRUE(FMain->BitmapPages);
    // The recipients' table gone: the table layer's error ends the run.
    DClientDataBase->tblEmployee->Close();
    EXPECT_ANY_THROW(Print1096Red());
    EXPECT_TRUE(FMain->User->NoLaserPrint);
    EXPECT_FALSE(StatusFormShown());
}

TEST_F(Form1096, PrintedAndPdfRunsNameTheirCopies)
{
    OpenHarbor();
    FMain->Preview = false;
    {
        TRecordingRawPrinting spooler;
        Print1096Red();
        Print1096File();
        ASSERT_EQ(spooler.Documents.size(), 2u);
        EXPECT_EQ(spooler.Documents[0].Name, "1096 Red Copy");
        EXPECT_EQ(spooler.Documents[1].Name, "1096 File Copy");
        EXPECT_THAT(PageSteps, ::testing::IsEmpty());
    }
    FMain->MakePdf = true;
    Print1096Red();
    Print1096File();
    const std::string client = FMain->DataDir + "HARBOR/";
    EXPECT_THAT(PageSteps, ElementsAre("collect", "pdf 2 " + client + "RED1096_12-31-2008", "collect",
                                       "pdf 2 " + client + "FILE1099_12-31-2008"));
}

TEST_F(Form1096, TheFileCopyCarriesTheShippedFormImage)
{
    OpenHarbor();
    UseShippedOverlays();
    Print1096File();
    DClientDataBase->Interest1099 = "Y";
    Print1096File();
    for (const std::string& page : Pages())
        EXPECT_THAT(Dir.Read(page), StartsWith(Esc("E") + Dir.Read("US1096$1.HP")));
    KeepPages("form1096-shipped");
    KeepPictures("form1096");
}

}  // namespace
