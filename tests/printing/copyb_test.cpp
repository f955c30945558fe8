// Copies B, 1 and 2: one recipient's form two (1099-MISC) or three (1099-INT)
// times on a page with the copy's form image.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/clientdatabase.h"
#include "printing/copyb.h"
#include "tests/printing/form1099fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

using CopyB = Form1099Fixture;

size_t Occurrences(const std::string& Text, const std::string& Part)
{
    size_t count = 0;
    for (size_t at = Text.find(Part); at != std::string::npos; at = Text.find(Part, at + 1))
        ++count;
    return count;
}

TEST_F(CopyB, EveryCopyOfAMiscAndAnIntRecipient)
{
    OpenHarbor();
    for (const char* id : {"B02", "D04"}) {
        GoToRecipient(id);
        PrintCopyB(id);
        PrintCopy1(id);
        PrintCopy2(id);
    }
    ASSERT_EQ(Pages().size(), 6u);
    const char* const overlays[] = {"USMISCB1.HP", "USMISC11.HP", "USMISC21.HP",
                                    "USINTB1.HP",  "USINT11.HP",  "USINT21.HP"};
    for (int i = 0; i < 6; ++i)
        EXPECT_THAT(Dir.Read(Pages()[i]),
                    StartsWith(Esc("E") + StandInOverlay(overlays[i]) + Esc("&a5r4CHarbor")));
    // The same MISC rows on every copy: nonemployee compensation in the upper and the lower form.
    for (const std::string& page :
         {Dir.Read("PRN00001.PRN"), Dir.Read("PRN00002.PRN"), Dir.Read("PRN00003.PRN")}) {
        EXPECT_THAT(page, HasSubstr(Esc("&a18r43C1234.50")));
        EXPECT_THAT(page, HasSubstr(Esc("&a51r43C1234.50")));
        EXPECT_THAT(page, HasSubstr(Esc("&a13r21C123-45-6789")));  // no TAX_ID: the SSN
        EXPECT_THAT(page, HasSubstr(Esc("&a62r47C.50")));          // second state's tax, lower form
    }
    // Copy 1's third INT form stands one row lower than Copy B's and Copy 2's.
    const std::string intB = Dir.Read("PRN00004.PRN"), int1 = Dir.Read("PRN00005.PRN"),
                      int2 = Dir.Read("PRN00006.PRN");
    for (const std::string& page : {intB, int1, int2}) {
        EXPECT_THAT(page, HasSubstr(Esc("&a26r4CHarbor")));
        EXPECT_THAT(page, HasSubstr(Esc("&a10r21C345678901")));  // the TAX_ID before the SSN
    }
    const std::string payer = "Harbor Supply Company of New En";
    EXPECT_THAT(intB, HasSubstr(Esc("&a47r4C") + payer + Esc("&a48r4C")));
    EXPECT_THAT(int1, HasSubstr(Esc("&a48r4C") + payer + Esc("&a49r4C")));
    EXPECT_THAT(int1, HasSubstr(Esc("&a49r44C1875.25")));
    EXPECT_THAT(int2, HasSubstr(Esc("&a47r4C") + payer + Esc("&a48r4C")));
    EXPECT_EQ(PageSteps.size(), 6u);
    ExpectGoldenPages("copyb");
}

TEST_F(CopyB, TheIncomeTypeChoosesTheFormAndTheAmountsBox)
{
    OpenHarbor();
    const struct {
        const char* Type;
        const char* Box;  // the upper form's cursor command for 777.77, "" for none
        size_t Forms;
    } cases[] = {
            {"R", "&a5r44C", 2},  {"Y", "&a8r44C", 2},  {"O", "&a10r44C", 2}, {"F", "&a14r44C", 2},
            {"N", "&a18r44C", 2}, {"G", "&a26r44C", 2}, {"M", "&a14r58C", 2}, {"P", "&a18r58C", 2},
            {"C", "&a21r58C", 2}, {"A", "&a26r58C", 2}, {"X", "", 0},         {"", "", 0},
            {"r", "", 0},         {"I", "&a6r45C", 3},
    };
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    for (const auto& c : cases) {
        GoToRecipient("G07");
        recipients->Edit();
        recipients->FieldByName("TRANS_TYPE")->SetAsString(c.Type);
        recipients->FieldByName("TOTAMT")->SetAsFloat(777.77);
        recipients->Post();
        FMain->DeleteTempPrintFiles();
        PrintCopyB("G07");
        const std::string page = Dir.Read("PRN00001.PRN");
        EXPECT_EQ(Occurrences(page, "777.77"), c.Forms) << "type '" << c.Type << "'";
        if (*c.Box) {
            EXPECT_THAT(page, HasSubstr(Esc(c.Box) + "777.77")) << c.Type;
        }
        // Withholding is printed on every form, whatever the type.
        EXPECT_EQ(Occurrences(page, "1250.00"), c.Forms == 3 ? 3u : 2u) << c.Type;
    }
}

TEST_F(CopyB, ThreePrintedCopiesAreThreeDocumentsInOrder)
{
    OpenHarbor();
    FMain->Preview = false;
    TRecordingRawPrinting spooler;
    GoToRecipient("B02");
    PrintCopyB("B02");
    PrintCopy1("B02");
    PrintCopy2("B02");
    ASSERT_EQ(spooler.Documents.size(), 3u);
    EXPECT_EQ(spooler.Documents[0].Name, "1099 Copy B MISC");
    EXPECT_EQ(spooler.Documents[1].Name, "1099 Copy 1 MISC");
    EXPECT_EQ(spooler.Documents[2].Name, "1099 Copy 2 MISC");
    EXPECT_THAT(spooler.Documents[1].Bytes(), StartsWith(Esc("E") + StandInOverlay("USMISC11.HP")));
    EXPECT_THAT(PageSteps, IsEmpty());
}

TEST_F(CopyB, APdfRunNamesOneFilePerCopyAndRecipient)
{
    OpenHarbor();
    FMain->Preview = false;
    FMain->MakePdf = true;
    GoToRecipient("D04");
    PrintCopyB("D04");
    PrintCopy1("D04");
    PrintCopy2("D04");
    const std::string client = FMain->DataDir + "HARBOR/";
    EXPECT_THAT(PageSteps, ElementsAre("collect", "pdf 2 " + client + "CopyBINT_D0412-31-2008", "collect",
                                       "pdf 2 " + client + "Copy1INT_D0412-31-2008", "collect",
                                       "pdf 2 " + client + "Copy2INT_D0412-31-2008"));
    EXPECT_EQ(Pages().size(), 3u);
}

TEST_F(CopyB, ARecipientIdThatCannotNameAFileStopsAPdfRunBeforeThePage)
{
    OpenHarbor();
    FMain->MakePdf = true;
    GoToRecipient("B02");
    for (const char* id : {"../B02", "B/02", "B02 X"}) {
        EXPECT_THROW(PrintCopyB(id), EInvalidID) << id;
        EXPECT_THAT(Pages(), IsEmpty()) << id;
        EXPECT_THAT(PageSteps, IsEmpty()) << id;
    }
    // Outside a PDF run the ID names nothing.
    FMain->MakePdf = false;
    PrintCopy2("B/02");
    EXPECT_THAT(PageSteps, ElementsAre("view"));
}

TEST_F(CopyB, PagesCarryTheShippedFormImages)
{
    OpenHarbor();
    UseShippedOverlays();
    for (const char* id : {"B02", "D04"}) {
        GoToRecipient(id);
        PrintCopyB(id);
        PrintCopy1(id);
        PrintCopy2(id);
    }
    const char* const overlays[] = {"USMISCB1.HP", "USMISC11.HP", "USMISC21.HP",
                                    "USINTB1.HP",  "USINT11.HP",  "USINT21.HP"};
    ASSERT_EQ(Pages().size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_THAT(Dir.Read(Pages()[i]), StartsWith(Esc("E") + Dir.Read(overlays[i]))) << overlays[i];
    KeepPages("copyb-shipped");
    KeepPictures("copyb");
}

}  // namespace
