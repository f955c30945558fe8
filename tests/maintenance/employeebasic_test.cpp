// The recipient form driven by keys: the formatters on leaving a field, the last name,
// the first-show focus, the income type, the close, and a changed ID carried into the
// recipient's transactions or refused.

#include <gmock/gmock.h>

#include <algorithm>

#include "app/smalldialogs.h"
#include "maintenance/employeebasic.h"
#include "maintenance/incometypes.h"
#include "platform/rtl/strutils.h"
#include "tests/maintenance/recipientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class EmployeeBasicTest : public RecipientFormsFixture {
protected:
    void SetUp() override
    {
        RecipientFormsFixture::SetUp();
        AddRecipient("A1", "ZOE BAKER");
        AddRecipient("B2", "ADAM YOUNG");
    }

    // Shows the form on recipient ID as the pick list does (a new recipient: appended with
    // that ID), runs Action on it and closes it with "/".
    static void ShowRecipient(const String& ID, std::function<void(TFEmployeeBasic*)> Action,
                              bool New = false)
    {
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        if (New) {
            recipients->Append();
            recipients->FieldByName("ID")->SetAsString(ID);
        } else {
            ASSERT_NE(RecipientField(ID, "ID"), "<none>");
            recipients->Edit();
        }
        auto* form = Construct<TFEmployeeBasic>(Application.operator->());
        form->NewRecipient = New;
        WhenShown<TFEmployeeBasic>([Action](TFEmployeeBasic* Form) {
            Action(Form);
            TypeText(Form, "/");
            if (Form->ModalResult() == mrNone) {
                ADD_FAILURE() << "\"/\" did not close the form";
                Form->Close();
            }
        });
        form->ShowModal();
        form->Free();
    }

    // From the selection entry selects the numbered line, moves Enters fields on, types Text and leaves the
    // field.
    static void Fill(TFEmployeeBasic* Form, const char* Line, int Enters, const char* Text)
    {
        TypeText(Form, "*");
        TypeText(Form, Line);
        for (int i = 0; i < Enters; ++i)
            PressKey(Form, Qt::Key_Return);
        if (*Text)
            TypeText(Form, Text);
        else
            PressKey(Form, Qt::Key_Backspace);
        PressKey(Form, Qt::Key_Return);
    }

    static bool EntryFocused(TFEmployeeBasic* Form)
    {
        return Form->ActiveControl() == Form->KVCommander1->MouseFreeEdit();
    }
};

TEST_F(EmployeeBasicTest, FieldsAreFormattedWhenLeft)
{
    struct TCase {
        const char* Line;
        int Enters;  // from the line's first field
        const char* Typed;
        const char* Field;
        const char* Stored;
    };
    const TCase cases[] = {
            {"05", 0, "2125550123", "HOME_PHONE", "(212) 555-0123"},
            {"05", 0, "212-555-0123", "HOME_PHONE", "212-555-0123"},
            {"05", 0, "212555012", "HOME_PHONE", "212555012"},
            {"06", 0, "123456789", "TAX_ID", "12-3456789"},
            {"06", 0, "12345", "TAX_ID", "12345"},
            {"07", 0, "123456789", "SSN", "123-45-6789"},
            {"07", 0, "123 45 6789", "SSN", "123-45-6789"},
            {"07", 0, "12345678", "SSN", "12345678"},
            {"04", 2, "123456789", "ZIP", "12345-6789"},
            {"04", 2, "12345", "ZIP", "12345"},
            {"04", 1, "ny", "STATE", "NY"},
            {"02", 0, "JOHN Q SMITH", "LAST", "SMITH"},
            {"02", 0, "SMITH, JOHN", "LAST", "JOHN"},
            {"02", 0, "CHER", "LAST", "CHER"},
            {"15", 0, "ny-123", "STATE_ID1", "NY-123"},
            {"08", 0, "123108", "BIRTH_DATE", "12-31-2008"},
            // A "/" in a date separates its parts; "/" closes the form again once it is left.
            {"08", 0, "12/31/1970", "BIRTH_DATE", "12-31-1970"},
            {"10", 0, "01/02/08", "HIRE_DATE", "01-02-2008"},
            {"10", 0, "010121", "HIRE_DATE", "01-01-1921"},
    };
    for (const TCase& c : cases) {
        ShowRecipient("A1", [&c](TFEmployeeBasic* Form) { Fill(Form, c.Line, c.Enters, c.Typed); });
        EXPECT_EQ(RecipientField("A1", c.Field), c.Stored) << c.Line << " " << c.Typed;
    }
}

// The last name follows the name also when a note or a state ID is left.
TEST_F(EmployeeBasicTest, LeavingANoteOrAStateIDTakesTheLastNameFromTheName)
{
    for (const char* line : {"13", "14", "15", "16"}) {
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        ASSERT_EQ(RecipientField("A1", "LAST"), "BAKER");
        recipients->Edit();
        recipients->FieldByName("NAME1")->SetAsString("ANN LEE");
        recipients->Post();
        ShowRecipient("A1", [line](TFEmployeeBasic* Form) { Fill(Form, line, 0, "X"); });
        EXPECT_EQ(RecipientField("A1", "LAST"), "LEE") << line;
        recipients->Edit();
        recipients->FieldByName("NAME1")->SetAsString("ZOE BAKER");
        recipients->FieldByName("LAST")->SetAsString("BAKER");
        recipients->Post();
    }
}

TEST_F(EmployeeBasicTest, ANewRecipientStartsAtTheNameOnlyOnItsFirstShow)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    RecipientField("A1", "ID");
    recipients->Edit();
    for (const auto& [field, value] : {std::pair {"ADDRESS", "12 HARBOR ROAD"},
                                       {"CITY", "ALBANY"},
                                       {"STATE", "NY"},
                                       {"ZIP", "12207-1234"},
                                       {"HOME_PHONE", "(518) 555-0142"},
                                       {"SSN", "123-45-6789"},
                                       {"TRANS_TYPE", "N"},
                                       {"HIRE_DATE", "03-01-2004"}})
        recipients->FieldByName(field)->SetAsString(value);
    recipients->Post();
    ShowRecipient("A1", [](TFEmployeeBasic* Form) {
        EXPECT_EQ(Form->Caption(), "Employee Information For - ZOE BAKER");
        EXPECT_TRUE(EntryFocused(Form));
        EXPECT_EQ(Form->KVLabel1->Caption(), "[01]  Employee ID");
        EXPECT_EQ(Form->KVLabel16->Caption(), "[16]  State ID Number 2");
        SaveScreenshot(Form, "recipient-form.png");
    });
    ShowRecipient(
            "C3",
            [](TFEmployeeBasic* Form) {
                EXPECT_EQ(Form->ActiveControl(), Form->KVDBEdit2);
                EXPECT_TRUE(Form->FirstPaintDone);
                TypeText(Form, "CARL DEAN");
                PressKey(Form, Qt::Key_Return);
                EXPECT_EQ(Form->ActiveControl(), Form->KVDBEdit3);
                Form->FormPaint(Form);
                EXPECT_EQ(Form->ActiveControl(), Form->KVDBEdit3) << "a later paint leaves the focus";
            },
            true);
    EXPECT_EQ(RecipientField("C3", "NAME1"), "CARL DEAN");
    EXPECT_EQ(RecipientField("C3", "LAST"), "DEAN");
}

// The "..." button, chosen by its number, shows the income-type list; the line chosen
// gives the letter, and a list closed without a choice keeps the type the recipient had.
TEST_F(EmployeeBasicTest, TheIncomeTypeComesFromTheList)
{
    struct TCase {
        const char* Code;  // "" closes the list with its close box
        const char* Stored;
    };
    for (const TCase& c : {TCase {"06", "N"}, TCase {"11", "I"}, TCase {"", "I"}, TCase {"01", "R"}}) {
        ShowRecipient("A1", [&c](TFEmployeeBasic* Form) {
            WhenShown<TFSelectionList1>([&c](TFSelectionList1* List) {
                if (*c.Code)
                    TypeText(List, c.Code);
                else
                    List->Close();
            });
            TypeText(Form, "09");
        });
        EXPECT_EQ(RecipientField("A1", "TRANS_TYPE"), c.Stored) << c.Code;
    }
    // A new recipient's first choice ends at the selection entry.
    ShowRecipient(
            "C3",
            [](TFEmployeeBasic* Form) {
                WhenShown<TFSelectionList1>([](TFSelectionList1* List) { TypeText(List, "10"); });
                TypeText(Form, "*09");
                EXPECT_FALSE(Form->NewRecipient);
                EXPECT_TRUE(EntryFocused(Form));
            },
            true);
    EXPECT_EQ(RecipientField("C3", "TRANS_TYPE"), "A");
}

TEST_F(EmployeeBasicTest, ClosingStoresTheDirectSalesMarkAndTheCityLine)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    RecipientField("A1", "ID");
    recipients->Edit();
    recipients->FieldByName("STATE")->SetAsString("NY");
    recipients->FieldByName("ZIP")->SetAsString("10001");
    recipients->Post();
    ASSERT_EQ(RecipientField("A1", "DIR_SALES"), "");
    ShowRecipient("A1", [](TFEmployeeBasic* Form) { EXPECT_FALSE(Form->KVCheckBox1->Checked()); });
    EXPECT_EQ(RecipientField("A1", "DIR_SALES"), "N");
    EXPECT_EQ(RecipientField("A1", "CSZ"), " NY 10001") << "an empty city leaves a leading blank";

    ShowRecipient("A1", [](TFEmployeeBasic* Form) {
        Fill(Form, "04", 0, "ALBANY");
        TypeText(Form, "*12");
        PressKey(Form, Qt::Key_Space);
        EXPECT_TRUE(Form->DirectSales);
    });
    EXPECT_EQ(RecipientField("A1", "DIR_SALES"), "Y");
    EXPECT_EQ(RecipientField("A1", "CSZ"), "ALBANY NY 10001");
    ShowRecipient("A1", [](TFEmployeeBasic* Form) { EXPECT_TRUE(Form->KVCheckBox1->Checked()); });
    EXPECT_EQ(RecipientField("A1", "DIR_SALES"), "Y");
}

// A new ID reaches every one of the recipient's 1,000 transactions and no other, also
// while the transactions stand in the order of the key being changed.
TEST_F(EmployeeBasicTest, AChangedIDIsCarriedToEveryTransactionOfTheRecipient)
{
    AddTransactions("A1", 500);
    AddTransactions("B2", 7);
    AddTransactions("A12", 5);
    AddTransactions("A1", 500);
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    const int byRecipient = transactions->TagArea("EMP_ID");
    transactions->SetOrder(byRecipient);
    transactions->SetFilter("EMP_ID='A1      '");
    transactions->SetFiltered(true);

    // The progress form as the pending events that the run lets through find it.
    String progressText;
    int progressMaximum = 0;
    int progressPosition = 0;
    std::function<void()> watch = [&] {
        for (int i = 0; i < Screen()->FormCount(); ++i)
            if (auto* status = dynamic_cast<TFCreateStatus*>(Screen()->Forms(i));
                status && status->Visible()) {
                progressText = status->Label1->Caption();
                progressMaximum = status->ProgressBar1->Max();
                progressPosition = status->ProgressBar1->Position();
                QTimer::singleShot(0, watch);
            }
    };
    ShowRecipient("A1", [&](TFEmployeeBasic* Form) {
        TypeText(Form, "*01z9");
        QTimer::singleShot(0, watch);
        PressKey(Form, Qt::Key_Return);
        EXPECT_EQ(Form->OldID, "A1") << "kept until the edit is entered again";
    });
    EXPECT_EQ(progressText, "Updating Employee ID");
    EXPECT_EQ(progressMaximum, 1012);
    EXPECT_GT(progressPosition, 1000) << "one step a transaction";
    EXPECT_THAT(Shown(), IsEmpty());
    EXPECT_EQ(transactions->IndexOrd(), byRecipient);
    EXPECT_FALSE(transactions->Filtered());
    EXPECT_THAT(RecipientIDs(), ElementsAre("Z9", "B2"));

    const std::vector<String> ids = TransactionIDsOnDisk();
    ASSERT_EQ(ids.size(), 1012u);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "Z9"), 1000);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "B2"), 7);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "A12"), 5);
}

TEST_F(EmployeeBasicTest, LeavingTheIDUnchangedTouchesNoTransaction)
{
    AddTransactions("A1", 3);
    const String before = Dir.Read(String(ClientID) + "/TOTTRANS.DBF");
    ShowRecipient("A1", [](TFEmployeeBasic* Form) {
        TypeText(Form, "01");
        PressKey(Form, Qt::Key_Return);
    });
    EXPECT_THAT(Shown(), IsEmpty());
    EXPECT_EQ(Dir.Read(String(ClientID) + "/TOTTRANS.DBF"), before);
}

// An empty, unusable or taken ID is refused before anything is written: the recipient
// keeps its ID and what else was typed, and its transactions keep theirs.
TEST_F(EmployeeBasicTest, AnEmptyUnusableOrTakenIDIsRefused)
{
    AddTransactions("A1", 4);
    AddTransactions("B2", 2);
    struct TCase {
        const char* Typed;
        String Message;
    };
    const TCase cases[] = {
            {"", UnusableEmployeeIDMessage("", "The ID was not changed.")},
            {"b2", EmployeeIDUsedMessage},
            {"a'1", UnusableEmployeeIDMessage("A'1", "The ID was not changed.")},
            {"a b", UnusableEmployeeIDMessage("A B", "The ID was not changed.")},
    };
    for (const TCase& c : cases) {
        Dialogs.Messages.clear();
        ShowRecipient("A1", [&c](TFEmployeeBasic* Form) {
            Fill(Form, "02", 0, c.Typed[0] ? "NEW NAME" : "OTHER NAME");
            Fill(Form, "01", 0, c.Typed);
            EXPECT_EQ(Form->KVDBEdit1->Text(), "A1") << c.Typed;
        });
        EXPECT_THAT(Shown(), ElementsAre(c.Message)) << c.Typed;
        EXPECT_THAT(RecipientIDs(), ElementsAre("A1", "B2")) << c.Typed;
        EXPECT_EQ(RecipientField("A1", "NAME1"), c.Typed[0] ? "NEW NAME" : "OTHER NAME") << c.Typed;
        EXPECT_EQ(RecipientField("B2", "NAME1"), "ADAM YOUNG");
    }
    // A recipient just added keeps its ID as well.
    Dialogs.Messages.clear();
    ShowRecipient(
            "C3",
            [](TFEmployeeBasic* Form) {
                TypeText(Form, "CARL DEAN");
                PressKey(Form, Qt::Key_Return);
                Fill(Form, "01", 0, "b2");
            },
            true);
    EXPECT_THAT(Shown(), ElementsAre(EmployeeIDUsedMessage));
    EXPECT_THAT(RecipientIDs(), ElementsAre("A1", "B2", "C3"));
    EXPECT_EQ(RecipientField("C3", "NAME1"), "CARL DEAN");

    const std::vector<String> ids = TransactionIDsOnDisk();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "A1"), 4);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "B2"), 2);
}

}  // namespace
