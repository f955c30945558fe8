// The recipient pick list, opened from the main menu and driven by keys: the three
// search edits, Enter, paging, Esc and "/", adding, deleting and the row stripes.

#include <gmock/gmock.h>

#include <cstdio>
#include <fstream>

#include "app/smalldialogs.h"
#include "maintenance/employeebasic.h"
#include "maintenance/employeestart.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/keys.h"
#include "platform/win/servicedoubles.h"
#include "tests/maintenance/recipientformsfixture.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class EmployeeStartTest : public RecipientFormsFixture {
protected:
    void SetUp() override
    {
        RecipientFormsFixture::SetUp();
        AddRecipient("A1", "ZOE BAKER");
        AddRecipient("B2", "ADAM YOUNG");
        AddRecipient("C3", "MARY CLARK");
        // Fillers sort after the three by name and last name, before them by ID.
        for (int i = 1; i <= 20; ++i) {
            const String n = (i < 10 ? "0" : "") + IntToStr(i);
            AddRecipient("0P" + n, "PAT FILLER" + n);
        }
    }

    // Opens the list with command 02 and runs Action on it; a list Action leaves open is
    // closed afterwards, and Open tells whether it was.
    bool Open(std::function<void(TFEmployeeStart*)> Action)
    {
        bool leftOpen = false;
        WhenShown<TFEmployeeStart>([Action, &leftOpen](TFEmployeeStart* Form) {
            Action(Form);
            QCoreApplication::processEvents();
            if (Form->ModalResult() == mrNone) {
                leftOpen = true;
                Form->Close();
            }
        });
        TypeText(FTotStart, "02");
        return leftOpen;
    }

    static TDaroruTable* Recipients() { return DClientDataBase->tblEmployee; }
    static int Order() { return Recipients()->IndexOrd(); }
    static int Tag(const char* Name) { return Recipients()->TagArea(Name); }
};

TEST_F(EmployeeStartTest, OpensOnTheNameSearchInNameOrder)
{
    Recipients()->Last();
    Open([](TFEmployeeStart* Form) {
        EXPECT_EQ(Form->Caption(), "Employee Selection");
        EXPECT_EQ(Form->ActiveControl(), Form->Edit1);
        EXPECT_EQ(Order(), Tag("NAME1"));
        EXPECT_EQ(CurrentID(), "B2") << "the first name in name order";
        EXPECT_EQ(Form->dwDBGrid1->DataSource(), DClientDataBase->dsEmployee);
    });
}

// Each edit searches its own tag as it is typed in; a text no key begins with leaves
// the list on the next greater key.
TEST_F(EmployeeStartTest, EachSearchEditSeeksItsTagAsItIsTyped)
{
    struct TCase {
        int Tabs;  // from the name edit
        const char* Typed;
        const char* Tag;
        const char* Found;
    };
    const TCase cases[] = {
            {0, "ADA", "NAME1", "B2"}, {0, "MAR", "NAME1", "C3"},
            {0, "N", "NAME1", "0P01"}, {1, "c3", "ID", "C3"},
            {1, "B", "ID", "B2"},      {2, "BAK", "LAST", "A1"},
            {2, "CL", "LAST", "C3"},   {2, "FILLER07", "LAST", "0P07"},
    };
    for (const TCase& c : cases) {
        Open([&c](TFEmployeeStart* Form) {
            for (int i = 0; i < c.Tabs; ++i)
                PressKey(Form, Qt::Key_Tab);
            EXPECT_EQ(Order(), Tag(c.Tag)) << c.Typed;
            TypeText(Form, c.Typed);
            EXPECT_EQ(CurrentID(), c.Found) << c.Typed;
        });
    }
    // The ID edit takes capitals, and the order of the last edit entered stays.
    Open([](TFEmployeeStart* Form) {
        PressKey(Form, Qt::Key_Tab);
        TypeText(Form, "c3");
        EXPECT_EQ(Form->Edit2->Text(), "C3");
    });
    EXPECT_EQ(Order(), Tag("ID"));
}

TEST_F(EmployeeStartTest, EnterGoesToTheListForAnEmptyEditOrAFoundText)
{
    Open([](TFEmployeeStart* Form) {
        PressKey(Form, Qt::Key_Tab);
        TypeText(Form, "ZZ");
        PressKey(Form, Qt::Key_Return);
        EXPECT_EQ(Form->ActiveControl(), Form->Edit2) << "not found: the edit keeps the focus";
        PressKey(Form, Qt::Key_Backspace);
        PressKey(Form, Qt::Key_Backspace);
        PressKey(Form, Qt::Key_Return);
        EXPECT_EQ(Form->ActiveControl(), Form->dwDBGrid1) << "empty: to the list";
        PressKey(Form, Qt::Key_Tab, Qt::ShiftModifier);
        PressKey(Form, Qt::Key_Tab, Qt::ShiftModifier);
        ASSERT_EQ(Form->ActiveControl(), Form->Edit2);
        TypeText(Form, "C");
        PressKey(Form, Qt::Key_Return);
        EXPECT_EQ(Form->ActiveControl(), Form->dwDBGrid1) << "found";
        EXPECT_EQ(CurrentID(), "C3");
        EXPECT_EQ(Form->Edit2->Text(), "C") << "Enter is not typed into the edit";
    });
}

// Page Down and Page Up move 18 rows from an edit and stop at the ends; the arrows one.
TEST_F(EmployeeStartTest, PagingKeysInAnEditMoveTheListAndStopAtItsEnds)
{
    Open([](TFEmployeeStart* Form) {
        // In name order: ADAM YOUNG, MARY CLARK, PAT FILLER01..20, ZOE BAKER.
        PressKey(Form, Qt::Key_PageDown);
        EXPECT_EQ(CurrentID(), "0P17");
        PressKey(Form, Qt::Key_PageDown);
        EXPECT_EQ(CurrentID(), "A1") << "stops on the last row";
        PressKey(Form, Qt::Key_Up);
        EXPECT_EQ(CurrentID(), "0P20");
        PressKey(Form, Qt::Key_PageUp);
        EXPECT_EQ(CurrentID(), "0P02");
        PressKey(Form, Qt::Key_PageUp);
        EXPECT_EQ(CurrentID(), "B2") << "stops on the first row";
        PressKey(Form, Qt::Key_Down);
        EXPECT_EQ(CurrentID(), "C3");
        EXPECT_EQ(Form->ActiveControl(), Form->Edit1);
    });
}

TEST_F(EmployeeStartTest, EscAndSlashCloseTheListFromTheEditsAndTheGrid)
{
    struct TCase {
        bool InGrid;
        Qt::Key Key;
    };
    for (const TCase& c : {TCase {false, Qt::Key_Escape}, TCase {false, Qt::Key_Slash},
                           TCase {true, Qt::Key_Escape}, TCase {true, Qt::Key_Slash}}) {
        String typed = "?";
        const bool leftOpen = Open([&c, &typed](TFEmployeeStart* Form) {
            if (c.InGrid)
                PressKey(Form, Qt::Key_Return);
            PressKey(Form, c.Key);
            typed = Form->Edit1->Text();
        });
        EXPECT_FALSE(leftOpen) << c.InGrid << " " << c.Key;
        EXPECT_EQ(typed, "");
    }
}

TEST_F(EmployeeStartTest, F1ShowsTheListsHelpFromTheEditsAndTheGrid)
{
    const String help = FMain->ProgramDir + "DIRUZU.ZIV";
    std::ofstream(help) << "help";
    TRecordingLauncher launcher;
    Open([](TFEmployeeStart* Form) {
        Application->SetHelpFile("");
        PressKey(Form, Qt::Key_F1);
        EXPECT_EQ(Application->HelpFile(), FMain->ProgramDir + "DIRUZU.ZIV>Small");
        PressKey(Form, Qt::Key_Return);
        ASSERT_EQ(Form->ActiveControl(), Form->dwDBGrid1);
        Application->SetHelpFile("");
        PressKey(Form, Qt::Key_F1);
        EXPECT_EQ(Application->HelpFile(), FMain->ProgramDir + "DIRUZU.ZIV>Small");
        EXPECT_EQ(Form->ModalResult(), mrNone);
    });
    std::remove(help.c_str());
    EXPECT_THAT(launcher.Opened, ElementsAre(help, help));
}

// The recipient form's window, closed with "/" after Action ran on it.
void WhenRecipientFormShown(std::function<void(TFEmployeeBasic*)> Action)
{
    WhenShown<TFEmployeeBasic>([Action](TFEmployeeBasic* Form) {
        Action(Form);
        TypeText(Form, "/");
    });
}

// Types ID into the ID prompt once it shows; Then runs before the prompt closes, so that
// what it waits for is looked for only from then on.
void WhenAskedForID(const char* ID, String* Prompt = nullptr, std::function<void()> Then = nullptr)
{
    WhenShown<TFGetFileID>([ID, Prompt, Then](TFGetFileID* Form) {
        if (Prompt)
            *Prompt = Form->Label1->Caption();
        TypeText(Form, ID);
        if (Then)
            Then();
        PressKey(Form, Qt::Key_Return);
    });
}

TEST_F(EmployeeStartTest, EnterOrADoubleClickOpensTheRecipientAndClosesTheList)
{
    bool opened = false;
    const bool leftOpen = Open([&opened](TFEmployeeStart* Form) {
        PressKey(Form, Qt::Key_Tab);
        TypeText(Form, "C3");
        PressKey(Form, Qt::Key_Return);
        WhenRecipientFormShown([&opened](TFEmployeeBasic* Basic) {
            opened = true;
            EXPECT_FALSE(Basic->NewRecipient);
            EXPECT_EQ(Basic->Caption(), "Employee Information For - MARY CLARK");
            EXPECT_EQ(Recipients()->State(), dsEdit);
        });
        PressKey(Form, Qt::Key_Return);
    });
    EXPECT_TRUE(opened);
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(Recipients()->State(), dsBrowse) << "the form posts the row";

    opened = false;
    EXPECT_FALSE(Open([&opened](TFEmployeeStart* Form) {
        WhenRecipientFormShown([&opened](TFEmployeeBasic*) { opened = true; });
        const TRect cell = Form->dwDBGrid1->CellRect(2, Form->dwDBGrid1->TitleOffset());
        QTest::mouseClick(Form->dwDBGrid1->Widget(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.Left + 3, cell.Top + 3));
        QTest::mouseDClick(Form->dwDBGrid1->Widget(), Qt::LeftButton, Qt::NoModifier,
                           QPoint(cell.Left + 3, cell.Top + 3));
    }));
    EXPECT_TRUE(opened);
}

// Two recipients added in one sequence, each on its own recipient form.
TEST_F(EmployeeStartTest, AddAsksForUniqueIDsUntilTheUserIsDone)
{
    String prompt;
    Dialogs.AnswerMessage(mrYes);
    Dialogs.AnswerMessage(mrNo);
    const bool leftOpen = Open([&prompt](TFEmployeeStart* Form) {
        WhenAskedForID("d4", &prompt, [] {
            WhenRecipientFormShown([](TFEmployeeBasic* Basic) {
                EXPECT_TRUE(Basic->NewRecipient);
                EXPECT_EQ(Basic->ActiveControl(), Basic->KVDBEdit2) << "a new recipient starts at the name";
                EXPECT_EQ(Recipients()->FieldByName("ID")->AsString(), "D4");
                TypeText(Basic, "DAN EVANS");
                WhenAskedForID("e5", nullptr, [] {
                    WhenRecipientFormShown([](TFEmployeeBasic* Second) { TypeText(Second, "EVE FOX"); });
                });
            });
        });
        Form->KVButton1->SetFocus();
        PressKey(Form, Qt::Key_Space);
    });
    EXPECT_FALSE(leftOpen) << "No ends the sequence and closes the list";
    EXPECT_EQ(prompt, "Enter Unique Employee ID");
    EXPECT_THAT(Shown(), ElementsAre("Would you like to add another employee/1099 recipient?",
                                     "Would you like to add another employee/1099 recipient?"));
    EXPECT_EQ(RecipientField("D4", "NAME1"), "DAN EVANS");
    EXPECT_EQ(RecipientField("D4", "LAST"), "EVANS");
    EXPECT_EQ(RecipientField("E5", "NAME1"), "EVE FOX");
    EXPECT_EQ(RecipientField("E5", "DIR_SALES"), "N");
    EXPECT_EQ(RecipientIDs().size(), 25u);
}

// A recipient form closed by the window system keeps what was typed, as "/" does, and
// the adding ends there: no question of another, the list stays.
TEST_F(EmployeeStartTest, AddEndsWhenTheWindowSystemClosesTheRecipientForm)
{
    const bool leftOpen = Open([](TFEmployeeStart* Form) {
        WhenAskedForID("d4", nullptr, [] {
            WhenShown<TFEmployeeBasic>([](TFEmployeeBasic* Basic) {
                TypeText(Basic, "DAN EVANS");
                RequestClose(Basic);
            });
        });
        Form->KVButton1->SetFocus();
        PressKey(Form, Qt::Key_Space);
    });
    EXPECT_TRUE(leftOpen);
    EXPECT_THAT(Shown(), IsEmpty());
    EXPECT_EQ(RecipientField("D4", "NAME1"), "DAN EVANS");
    EXPECT_EQ(RecipientIDs().size(), 24u);
}

// An empty, unusable or taken ID adds nothing and leaves the list open, also when it
// comes after a Yes to adding another.
TEST_F(EmployeeStartTest, AnEmptyUnusableOrTakenIDAddsNothing)
{
    struct TCase {
        const char* ID;
        const char* Message;
    };
    const String unusable = UnusableEmployeeIDMessage("O'B", "Create was aborted.");
    const TCase cases[] = {
            {"", "A file name was not entered.  Create was aborted."},
            {"a1", "This Employee ID has already been used for this employer.  Please select another ID."},
            {"O'B", unusable.c_str()},
            {"0p20", "This Employee ID has already been used for this employer.  Please select another ID."},
    };
    for (const TCase& c : cases) {
        Dialogs.Messages.clear();
        const bool leftOpen = Open([&c](TFEmployeeStart* Form) {
            WhenAskedForID(c.ID);
            Form->KVButton1->SetFocus();
            PressKey(Form, Qt::Key_Space);
        });
        EXPECT_TRUE(leftOpen) << c.ID;
        EXPECT_THAT(Shown(), ElementsAre(c.Message)) << c.ID;
        EXPECT_EQ(RecipientIDs().size(), 23u) << c.ID;
    }

    Dialogs.Messages.clear();
    Dialogs.AnswerMessage(mrYes);
    const bool leftOpen = Open([](TFEmployeeStart* Form) {
        WhenAskedForID("d4", nullptr,
                       [] { WhenRecipientFormShown([](TFEmployeeBasic*) { WhenAskedForID("D4"); }); });
        Form->KVButton1->SetFocus();
        PressKey(Form, Qt::Key_Space);
    });
    EXPECT_TRUE(leftOpen);
    EXPECT_THAT(
            Shown(),
            ElementsAre(
                    "Would you like to add another employee/1099 recipient?",
                    "This Employee ID has already been used for this employer.  Please select another ID."));
    EXPECT_EQ(RecipientIDs().size(), 24u);
}

// Delete asks first; the recipient goes from the file, its transactions stay.
TEST_F(EmployeeStartTest, DeleteRemovesTheRecipientAndKeepsItsTransactions)
{
    AddTransactions("C3", 3);
    AddTransactions("A1", 1);
    Dialogs.AnswerMessage(mrNo);
    Dialogs.AnswerMessage(mrYes);
    Open([](TFEmployeeStart* Form) {
        PressKey(Form, Qt::Key_Tab);
        TypeText(Form, "C3");
        PressKey(Form, Qt::Key_Return);
        PressKey(Form, Qt::Key_Delete);
        EXPECT_EQ(CurrentID(), "C3") << "No keeps it";
        PressKey(Form, Qt::Key_Delete);
        EXPECT_EQ(Form->ModalResult(), mrNone) << "the list stays open";
    });
    EXPECT_THAT(Shown(), ElementsAre("Are you sure you want to delete MARY CLARK ?",
                                     "Are you sure you want to delete MARY CLARK ?"));
    EXPECT_THAT(RecipientIDs(), ::testing::Not(Contains("C3")));
    EXPECT_EQ(RecipientIDs().size(), 22u);
    // Packed: the file holds no deleted row either.
    EXPECT_EQ(Recipients()->RecCount(), 22);
    const std::vector<String> onDisk = TransactionIDsOnDisk();
    EXPECT_EQ(std::count(onDisk.begin(), onDisk.end(), "C3"), 3);
    EXPECT_EQ(onDisk.size(), 4u);
}

// Light yellow and white by screen row, navy and bold for the current row; the stripes
// stay with the screen rows when the list scrolls.
TEST_F(EmployeeStartTest, RowsAreStripedByTheirPlaceOnTheScreen)
{
    Open([](TFEmployeeStart* Form) {
        TdwDBGrid* grid = Form->dwDBGrid1;
        const auto colourOfRow = [grid](int Row) {
            const QImage image = grid->Widget()->grab().toImage();
            const TRect cell = grid->CellRect(2, grid->TitleOffset() + Row);
            return PixelColor(image, cell.Right - 3, cell.Top + 2);
        };
        PressKey(Form, Qt::Key_Down);
        PressKey(Form, Qt::Key_Down);
        QCoreApplication::processEvents();
        EXPECT_EQ(colourOfRow(0), EvenRowColor);
        EXPECT_EQ(colourOfRow(1), OddRowColor);
        EXPECT_EQ(colourOfRow(2), HighlightRowColor);
        EXPECT_EQ(colourOfRow(3), OddRowColor);
        SaveScreenshot(Form, "recipient-pick-list.png");

        // Far enough down for the list to scroll.
        PressKey(Form, Qt::Key_PageDown);
        PressKey(Form, Qt::Key_Down);
        QCoreApplication::processEvents();
        const int current = grid->Row() - grid->TitleOffset();
        ASSERT_GT(current, 0);
        EXPECT_NE(CurrentID(), "B2");
        EXPECT_EQ(colourOfRow(current), HighlightRowColor);
        EXPECT_EQ(colourOfRow(0), EvenRowColor);
        EXPECT_EQ(colourOfRow(1), OddRowColor);
    });
}

// With no recipient there is nothing to open or delete: no blank row is made.
using EmptyEmployeeStartTest = RecipientFormsFixture;

TEST_F(EmptyEmployeeStartTest, EnterAndDeleteOnAnEmptyListDoNothing)
{
    bool formShown = false;
    WhenShown<TFEmployeeStart>([&formShown](TFEmployeeStart* Form) {
        PressKey(Form, Qt::Key_Return);
        ASSERT_EQ(Form->ActiveControl(), Form->dwDBGrid1);
        // A recipient form shown here would be a fault; it is closed so that the test ends.
        QTimer::singleShot(0, [&formShown] {
            for (int i = 0; i < Screen()->FormCount(); ++i)
                if (auto* basic = dynamic_cast<TFEmployeeBasic*>(Screen()->Forms(i))) {
                    formShown = true;
                    basic->Close();
                }
        });
        PressKey(Form, Qt::Key_Return);
        PressKey(Form, Qt::Key_Delete);
        EXPECT_EQ(Form->ModalResult(), mrNone);
        Form->Close();
    });
    TypeText(FTotStart, "02");
    EXPECT_FALSE(formShown);
    EXPECT_THAT(Shown(), IsEmpty());
    EXPECT_THAT(RecipientIDs(), IsEmpty());
    EXPECT_EQ(DClientDataBase->tblEmployee->State(), dsBrowse);
}

}  // namespace
