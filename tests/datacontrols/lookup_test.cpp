// The lookup dialog and its incremental search over a real client table ordered by ID,
// driven with keys as a user drives them.

#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/dwidlg.h"
#include "datacontrols/dwlocate.h"
#include "datacontrols/wwkeycb.h"
#include "platform/db/field.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/guiscreen.h"
#include "platform/vcl/scripteddialogs.h"
#include "tests/datacontrols/gridfixture.h"
#include "tests/vcl/formtesting.h"

namespace {

class LookupTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Dialog = new TdwLookupDialog(Form);
        Dialog->SetLookupTable(T);
        T->FieldByName("DATA_VER")->SetVisible(false);
        T->FieldByName("NAME1")->SetDisplayLabel("Client~Name");
    }

    // Runs the dialog; Steps runs inside it once it is up, with the dialog form.
    bool Run(const std::function<void(TdwLookupDlg*)>& Steps)
    {
        QTimer::singleShot(0, [this, Steps] {
            auto* dialog = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm());
            ASSERT_NE(dialog, nullptr);
            Shown = dialog;
            Steps(dialog);
        });
        return Dialog->Execute();
    }

    // Lets the search delay pass.
    static void WaitForSearch() { QTest::qWait(350); }

    TScriptedDialogs Dialogs;
    TdwLookupDialog* Dialog = nullptr;
    TdwLookupDlg* Shown = nullptr;
};

TEST_F(LookupTest, TypingFindsByTheOrderKeyAndEnterAccepts)
{
    std::vector<String> seen;
    const bool chosen = Run([&](TdwLookupDlg* d) {
        EXPECT_EQ(d->ActiveControl(), d->dwIncrementalSearch1);
        TypeText(d, "c01");
        WaitForSearch();
        seen.push_back(CurrentId());
        TypeText(d, "5");
        WaitForSearch();
        seen.push_back(CurrentId());
        PressKey(d, Qt::Key_Down);
        seen.push_back(CurrentId());
        QDir().mkpath(TOTAMUND_SCREENSHOT_DIR);
        d->Widget()->window()->grab().save(TOTAMUND_SCREENSHOT_DIR "/lookup.png");
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ((std::vector<String>{"C0100", "C0150", "C0151"}), seen)
        << "typing searches the whole text so far; Down in the edit moves the grid";
    EXPECT_EQ(CurrentId(), "C0151");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(LookupTest, EscCancelsAndLeavesTheCursorWhereTheUserLeftIt)
{
    const bool chosen = Run([&](TdwLookupDlg* d) {
        TypeText(d, "C02");
        WaitForSearch();
        // From the grid too, Esc reaches the Cancel button.
        d->dwDBGrid1->SetFocus();
        PressKey(d, Qt::Key_Down);
        PressKey(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(CurrentId(), "C0201");
}

TEST_F(LookupTest, TheGridShowsTheVisibleFieldsAndFitsTheDialog)
{
    Run([&](TdwLookupDlg* d) {
        TdwDBGrid* grid = d->dwDBGrid1;
        EXPECT_EQ(grid->Height(), 209);
        ASSERT_EQ(grid->GetFieldCount(), static_cast<int>(ClientSchema.size()) - 1);
        EXPECT_EQ(grid->GetFields(0)->FieldName(), "ID");
        EXPECT_EQ(d->Caption(), "Lookup");
        EXPECT_LE(d->Width(), GuiScreen()->Width());
        EXPECT_GE(d->OKBtn->Top(), grid->Top() + grid->Height());
        EXPECT_LT(d->OKBtn->Left(), d->CancelBtn->Left());
        // The grid takes the focus; Enter still chooses.
        grid->SetFocus();
        PressKey(d, Qt::Key_Down);
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_EQ(CurrentId(), "C0002");
    EXPECT_EQ(Dialog->LookupTable(), T);
}

TEST_F(LookupTest, DoubleClickingARowChoosesIt)
{
    EXPECT_TRUE(Run([](TdwLookupDlg* d) {
        const TRect cell = d->dwDBGrid1->CellRect(2, 3);
        QTest::mouseDClick(d->dwDBGrid1->Widget(), Qt::LeftButton, Qt::NoModifier,
                           QPoint(cell.Left + 3, cell.Top + 3));
    }));
    EXPECT_EQ(CurrentId(), "C0003");
}

TEST_F(LookupTest, RefusalsAreMessagesAndFalse)
{
    Dialog->SetLookupTable(nullptr);
    EXPECT_FALSE(Dialog->Execute());
    Dialog->SetLookupTable(T);
    T->Close();
    EXPECT_FALSE(Dialog->Execute());
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "You must define a lookupTable.");
    EXPECT_EQ(Dialogs.Messages[1].Text, "Search Table is not active.");
    EXPECT_EQ(Dialogs.Messages[1].Type, mtWarning);
}

TEST_F(LookupTest, OKOnAnEmptyListChoosesNothing)
{
    T->SetFilter("ID = 'NONE'");
    T->SetFiltered(true);
    ASSERT_TRUE(T->IsEmpty());
    EXPECT_FALSE(Run([](TdwLookupDlg* d) { PressKey(d, Qt::Key_Return); }));
}

// The incremental search alone, with the delay cut short.
class IncrementalSearchTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Search = new TdwIncrementalSearch(Form);
        Search->SetParent(Form);
        Search->SetBounds(8, 250, 200, 20);
        Search->SetTabStop(true);
        Search->SetDataSource(Source);
        // The table's first field is not the order's; the dialog's column list puts it first.
        Search->SetSearchField("ID");
        Search->OnAfterSearch = [this](TdwIncrementalSearch*, bool Found) { Results.push_back(Found); };
        ShowForm(Form);
        Search->SetFocus();
    }
    void Type(const char* Text)
    {
        TypeText(Form, Text);
        Search->FinishPendingSearch();
    }

    TdwIncrementalSearch* Search = nullptr;
    std::vector<bool> Results;
};

TEST_F(IncrementalSearchTest, SearchesOnTheWholeTextOnceAndNeverRaisesOnOddCharacters)
{
    Type("C00");
    Type("9");
    EXPECT_EQ(CurrentId(), "C0090");
    Search->FinishPendingSearch();
    EXPECT_EQ((std::vector<bool>{true, true}), Results) << "no second search without new text";

    for (const char* odd : {"\"", "'", "]", "%"}) {
        Search->ClearSearch();
        Results.clear();
        EXPECT_NO_THROW(Type(odd)) << odd;
        EXPECT_EQ((std::vector<bool>{false}), Results) << odd;
    }
    EXPECT_EQ(CurrentId(), "C0090") << "a failed search leaves the record";
}

TEST_F(IncrementalSearchTest, ClearingTheTextGoesToTheFirstRecord)
{
    Type("C02");
    EXPECT_EQ(CurrentId(), "C0200");
    for (int i = 0; i < 3; ++i)
        PressKey(Form, Qt::Key_Backspace);
    EXPECT_EQ(Search->Text(), "");
    Search->FinishPendingSearch();
    EXPECT_EQ(CurrentId(), "C0001");
    EXPECT_EQ(Results.size(), 1u) << "the move to the first record is no search";
}

TEST_F(IncrementalSearchTest, ShowMatchTextCompletesWithTheRestSelected)
{
    Search->SetSearchField("NAME1");
    Search->SetShowMatchText(true);
    Type("name 01");
    EXPECT_EQ(CurrentId(), "C0100");
    EXPECT_EQ(Search->Text(), "Name 0100");
    EXPECT_EQ(Search->SelStart(), 7);
    EXPECT_EQ(Search->SelLength(), 2);
}

TEST_F(IncrementalSearchTest, ANumericSearchFieldTakesOnlyNumbers)
{
    Search->SetSearchField("TOTAMT");
    Type("x");
    EXPECT_EQ((std::vector<bool>{false}), Results);
    EXPECT_EQ(CurrentId(), "C0001");
}

// Record finding by scanning, on the real table.
TEST_F(GridTest, LocateValueFindsByTextAndKeepsTheRecordWithoutAMatch)
{
    TScriptedDialogs dialogs;
    struct Case {
        const char* Field;
        const char* Value;
        bool CaseSensitive;
        bool Partial;
        const char* Expected;  // the current ID afterwards
    };
    const Case cases[] = {
        {"NAME1", "name 0042", false, false, "C0042"},
        {"NAME1", "name 0042", true, false, "C0001"},
        {"CITY", "Shelby", false, true, "C0002"},
        {"NAME1", "Name 004", true, true, "C0040"},
        {"NAME1", "Name 004", false, false, "C0001"},
    };
    for (const Case& c : cases) {
        T->First();
        const bool found = dwLocateValue(T, c.Field, c.Value, c.CaseSensitive, c.Partial);
        EXPECT_EQ(CurrentId(), c.Expected) << c.Field << " " << c.Value;
        EXPECT_EQ(found, String(c.Expected) != "C0001") << c.Field << " " << c.Value;
    }
    T->MoveBy(4);
    EXPECT_TRUE(dwLocateValue(T, "CITY", "Springfield", false, false)) << "the current record matches already";
    EXPECT_EQ(CurrentId(), "C0005");
    EXPECT_TRUE(dwLocateRecord(dwMatchAnywhere, T, "NAME1", false, false, "0123"));
    EXPECT_EQ(CurrentId(), "C0123");
    EXPECT_FALSE(dwLocateRecord(dwMatchWhole, T, "NOSUCH", false, false, "x"));
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text, "Field NOSUCH not found.");
}

}  // namespace
