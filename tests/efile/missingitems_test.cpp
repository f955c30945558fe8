// What the electronic file lacks, in the order of the checks, and how the run
// ends: the logon page offered for a complete file, the missing items otherwise.

#include <gmock/gmock.h>

#include "efile/efilerejects.h"
#include "efile/efilewriter.h"
#include "efile/missingitems.h"
#include "platform/rtl/fileops.h"
#include "tests/efile/efilefixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::vector<String> Lines(const TStrings& List)
{
    std::vector<String> lines;
    for (int i = 0; i < List.Count(); ++i)
        lines.push_back(List[i]);
    return lines;
}

String Missing(const String& Label) { return Label + " Required information missing"; }

using MissingItemsTest = EFileFixture;

TEST_F(MissingItemsTest, EmptyClientListsEveryCheckInOrder)
{
    OpenClient("08BARE", {});
    AddRecipients({
            {"B01", "", "", "", "", "", "", "", "", "N", "", 10.00},
            {"B02", "Interest Only", "", "", "", "", "", "", "", "I", "", 10.00},  // not filed, not checked
            {"B03", "JANE DOE", "", "", "", "4 Elm", "Salem", "MA", "01970", "", "", 20.00},
            {"B04", "JANE DOE", "", "", "", "4 Elm", "Salem", "MA", "01970", "R", "", 20.00},
            {"B05", "Odd Numbers", "Numbers", "12-345678", "", "5 Elm", "Salem", "MA", "0197", "N", "", -1.5,
             -0.25, -3.00},
    });
    BuildFile();
    const std::vector<String> expected = {
            Missing("Transmitter TIN"),
            Missing("Transmitter Code"),
            Missing("Transmitter Name"),
            Missing("Company Name"),
            Missing("Company Address"),
            Missing("Company City"),
            Missing("Company State"),
            Missing("Company Zip Code"),
            Missing("Contact Name"),
            Missing("Contact Phone Number"),
            Missing("Payer's Identification Number"),
            Missing("Payer/Company Name"),
            Missing("Payer / Company Address"),
            Missing("Payer / Company City"),
            Missing("Payer / Company State"),
            Missing("Payer / Company Zip Code"),
            // A payee without a name: every label begins with a blank.
            " EIN and SSN  Required information missing",
            Missing(" Name"),
            Missing(" Address"),
            Missing(" City"),
            Missing(" State"),
            Missing(" Zip Code"),
            // Two payees of one name and one gap give two lines alike.
            "JANE DOE EIN and SSN  Required information missing",
            "JANE DOE EIN and SSN  Required information missing",
            // Items there but not fileable as they stand.
            "Odd Numbers TIN must have 9 digits",
            "Odd Numbers Total of -1.50 must not be negative",
            "Odd Numbers Federal Tax Withheld of -0.25 must not be negative",
            "Odd Numbers State Tax Withheld of -3.00 must not be negative",
            "Odd Numbers Zip Code must have 5 or 9 digits",
    };
    EXPECT_THAT(Lines(MissingItems()), ElementsAreArray(expected));
    String text;
    for (const String& line : expected)
        text += " " + line;
    EXPECT_EQ(MissingItemsText, text);
}

TEST_F(MissingItemsTest, OnlyAnExactlyEmptyValueIsMissing)
{
    ResetMissingItems();
    AddMissingItem(" ", "Blank");
    AddMissingItem("x", "Filled");
    AddMissingItem("", "Empty");
    EXPECT_THAT(Lines(MissingItems()), ElementsAre(Missing("Empty")));
    EXPECT_EQ(MissingItemsText, " " + Missing("Empty"));
}

TEST_F(MissingItemsTest, CompleteClientListsNothingAndANewRunStartsANewList)
{
    OpenClient("08FULL", {{"NAME1", "Gap Co"}});
    BuildFile();
    EXPECT_FALSE(MissingItemsText.empty());
    TDaroruTable* client = DClientDataBase->tblClient;
    client->Edit();
    for (const auto& [field, value] : CompletePayer())
        client->FieldByName(field)->SetAsString(value);
    client->Post();
    SetCompleteTransmitter();
    BuildFile();
    EXPECT_THAT(Lines(MissingItems()), IsEmpty());
    EXPECT_EQ(MissingItemsText, "");
}

class ClosingQuestionTest : public EFileFixture {
protected:
    void SetUp() override
    {
        EFileFixture::SetUp();
        OpenClient("08DONE", CompletePayer());
        SetCompleteTransmitter();
    }
    String FireQuestion() const
    {
        return "Electronic file -- " + ClientDir() +
               "ELF1099 -- has been created. Would you like to open IRS FIRE web site to E-File ?";
    }
    TRecordingLauncher Browser;
};

TEST_F(ClosingQuestionTest, CompleteFileOffersTheLogonPage)
{
    Dialogs.AnswerMessage(mrYes);
    WriteElectronicFile();
    EXPECT_THAT(Shown(), ElementsAre(FireQuestion()));
    EXPECT_EQ(Dialogs.Messages[0].Caption, "Korvane Systems");
    EXPECT_THAT(Browser.Opened, ElementsAre("https://fire.irs.gov"));

    Dialogs.AnswerMessage(mrNo);
    WriteElectronicFile();
    EXPECT_EQ(Browser.Opened.size(), 1u);
}

TEST_F(ClosingQuestionTest, BrowserThatCannotStartIsReported)
{
    Browser.OpenResult = false;
    Dialogs.AnswerMessage(mrYes);
    WriteElectronicFile();
    EXPECT_THAT(Shown(),
                ElementsAre(FireQuestion(), "No web browser could be started to open https://fire.irs.gov."));
}

TEST_F(ClosingQuestionTest, MissingItemsAreOfferedInsteadAndShown)
{
    DClientDataBase->ContactName = "";
    std::vector<String> shown;
    WhenShown<TFEFileRejects>([&](TFEFileRejects* form) {
        for (int i = 0; i < form->ListBox1->Items()->Count(); ++i)
            shown.push_back(form->ListBox1->Items()->Get(i));
        EXPECT_EQ(form->ActiveControl(), form->BitBtn1);
        form->BitBtn1->Click();
    });
    Dialogs.AnswerMessage(mrYes);
    WriteElectronicFile();
    EXPECT_THAT(
            Shown(),
            ElementsAre(
                    "Some required items have not been entered. Would you like to view missing items? ?"));
    EXPECT_THAT(shown, ElementsAre(Missing("Contact Name")));
    EXPECT_TRUE(FileExists(ClientDir() + "ELF1099"));
    EXPECT_THAT(Browser.Opened, IsEmpty());
}

TEST_F(ClosingQuestionTest, NegativeAmountEndsWithTheMissingItemsQuestion)
{
    AddRecipients({{"N01", "Refund Case", "Case", "", "123-45-6789", "1 Main St", "Boston", "MA", "02108",
                    "N", "", -25.00}});
    Dialogs.AnswerMessage(mrNo);
    WriteElectronicFile();
    EXPECT_THAT(
            Shown(),
            ElementsAre(
                    "Some required items have not been entered. Would you like to view missing items? ?"));
}

TEST_F(ClosingQuestionTest, ReplacementNameThatLeavesTheDirectoryIsRefused)
{
    for (const char* name : {"../X", "..", "A\\B", "/tmp/X"}) {
        DClientDataBase->ReplacementFileName = name;
        WriteElectronicFile();
        EXPECT_EQ(Shown().back(),
                  "The electronic file name \"" + String(name) +
                          "\" cannot be used: give a file name without \"/\", \"\\\" or \"..\".");
    }
    EXPECT_EQ(Shown().size(), 4u);
    EXPECT_THAT(ListFiles(Dir.Path(), "X"), IsEmpty());
    EXPECT_THAT(ListFiles(ClientDir(), "*.?DX", lkAll), ElementsAre("EMPLOYEE.CDX", "TOTTRANS.CDX"));
    EXPECT_THAT(ListFiles(ClientDir(), "*.DBF", lkAll),
                ElementsAre("CLIENT.DBF", "EMPLOYEE.DBF", "TOTTRANS.DBF"));
    EXPECT_THAT(ListFiles(ClientDir(), "ELF*", lkAll), IsEmpty());
}

}  // namespace
