// The income-type list: typed codes, double clicks and the close box.

#include <gmock/gmock.h>

#include <QListWidget>

#include "maintenance/incometypes.h"
#include "tests/maintenance/recipientformsfixture.h"

using ::testing::ElementsAre;

namespace {

class IncomeTypeListTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartMain();
        FMain->DialogResult = "untouched";
    }
    // Runs GetSelection(1) with Action done to the list once it shows.
    String Select(std::function<void(TFSelectionList1*)> Action)
    {
        WhenShown<TFSelectionList1>([Action](TFSelectionList1* Form) {
            Action(Form);
            // A list still open here failed the test; close it so that the test ends.
            if (Form->ModalResult() == mrNone)
                Form->Close();
        });
        return GetSelection(1);
    }
};

// Every income type, by its code: the line the list gives back and the letter a
// recipient keeps for it.
TEST_F(IncomeTypeListTest, EachCodeGivesItsLineAndItsLetter)
{
    struct TCase {
        const char* Code;
        const char* Line;
        const char* Letter;
    };
    const TCase cases[] = {
            {"01", "01-RENTS", "R"},
            {"02", "02-ROYALTIES", "Y"},
            {"03", "03-OTHER INCOME", "O"},
            {"04", "04-FISHING BOAT PROCEEDS", "F"},
            {"05", "05-MEDICAL AND HEALTH CARE PAYMENTS", "M"},
            {"06", "06-NONEMPLOYEE COMPENSATION", "N"},
            {"07", "07-SUBSTITUTE PAYMENTS IN LIEU OF DIVIDENDS OR INTEREST", "P"},
            {"08", "08-CROP INSURANCE PROCEEDS", "C"},
            {"09", "09-EXCESS GOLDEN PARACHUTE PAYMENTS", "G"},
            {"10", "10-GROSS PROCEEDS PAID TO AN ATTORNEY", "A"},
            {"11", "11-INTEREST INCOME (1099-INT)", "I"},
    };
    for (const TCase& c : cases) {
        const String line = Select([&c](TFSelectionList1* Form) { TypeText(Form, c.Code); });
        EXPECT_EQ(line, c.Line) << c.Code;
        EXPECT_EQ(FMain->DialogResult, c.Line);
        EXPECT_EQ(IncomeTypeLetter(std::stoi(c.Code)), c.Letter);
    }
    // Codes that name no income type give no letter.
    for (int code : {0, 12, -1, 99})
        EXPECT_EQ(IncomeTypeLetter(code), "") << code;
}

TEST_F(IncomeTypeListTest, ShowsTheElevenTypesUnderItsTitle)
{
    Select([](TFSelectionList1* Form) {
        EXPECT_EQ(Form->Caption(), "Selection List");
        EXPECT_EQ(Form->lblTop->Caption(), "Employee Transaction Type");
        EXPECT_EQ(Form->lblNote->Caption(), "Enter 2 Digit Code or Double Click to Select");
        EXPECT_EQ(Form->ListBox1->Items()->Count(), 11);
        EXPECT_EQ(Form->ActiveControl(), Form->Edit1);
        SaveScreenshot(Form, "income-type-list.png");
    });
}

// A code is taken at its second digit; one that names no line is wiped and the list
// waits for the next; the close box chooses nothing.
TEST_F(IncomeTypeListTest, CodesThatNameNoLineAreWipedAndTheCloseBoxChoosesNothing)
{
    const String line = Select([](TFSelectionList1* Form) {
        TypeText(Form, "1");
        EXPECT_EQ(Form->Edit1->Text(), "1");
        EXPECT_EQ(Form->ModalResult(), mrNone);
        TypeText(Form, "2");
        EXPECT_EQ(Form->Edit1->Text(), "");
        TypeText(Form, "00");
        EXPECT_EQ(Form->Edit1->Text(), "");
        EXPECT_EQ(Form->ModalResult(), mrNone);
        Form->Close();
    });
    EXPECT_EQ(line, "");
    EXPECT_EQ(FMain->DialogResult, "untouched");
}

TEST_F(IncomeTypeListTest, DoubleClickChoosesTheLineUnderTheMouse)
{
    const String line = Select([](TFSelectionList1* Form) {
        auto* list = static_cast<QListWidget*>(Form->ListBox1->Widget());
        // Below the last line nothing is selected, and nothing is chosen.
        const QPoint blank(20, list->visualItemRect(list->item(10)).bottom() + 12);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, blank);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, blank);
        EXPECT_EQ(Form->ListBox1->ItemIndex(), -1);
        EXPECT_EQ(Form->ModalResult(), mrNone);
        const QPoint fourth = list->visualItemRect(list->item(3)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, fourth);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, fourth);
    });
    EXPECT_EQ(line, "04-FISHING BOAT PROCEEDS");
}

TEST_F(IncomeTypeListTest, OtherKindsShowAnEmptyList)
{
    WhenShown<TFSelectionList1>([](TFSelectionList1* Form) {
        EXPECT_EQ(Form->ListBox1->Items()->Count(), 0);
        EXPECT_EQ(Form->lblNote->Caption(), "");
        TypeText(Form, "01");
        EXPECT_EQ(Form->ModalResult(), mrNone);
        Form->Close();
    });
    EXPECT_EQ(GetSelection(2), "");
}

}  // namespace
