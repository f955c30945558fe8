// The keyboard-driven base form: numbered captions, selection by number, the form
// keys and the return to the selection entry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/win/desktop.h"
#include "platform/win/servicedoubles.h"
#include "tests/controls/entryform.h"
#include "tests/support/tempdir.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class MouseFreeFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TEntryForm>(nullptr);
        Form->OnClose = [this](TObject*, TCloseAction&) { ++Closes; };
        ShowForm(Form);
    }
    void TearDown() override { Form->Free(); }

    void Type(const char* Text) { TypeText(Form, Text); }
    void Enter() { PressKey(Form, Qt::Key_Return); }
    String Active() const { return ActiveName(Form); }
    TEdit* Entry() const { return Form->Panel->MouseFreeEdit(); }

    TScriptedDialogs Dialogs;
    TEntryForm* Form = nullptr;
    int Closes = 0;
};

TEST_F(MouseFreeFormTest, CaptionsAreNumberedInComponentOrder)
{
    std::vector<String> captions;
    for (TKVLabel* label : Form->Labels)
        captions.push_back(label->Caption());
    EXPECT_THAT(captions, ElementsAre("[01]  Name", "[02]  Amount", "[03]  Address", "[04]  Print",
                                      "[05]  Path", "[06]  Recalc", "[07]", "[08]  Nothing"));
    EXPECT_EQ(Form->Labels[0]->LastControl(), Form->Name);
    EXPECT_EQ(Form->Labels[2]->LastControl(), Form->City);
    EXPECT_FALSE(Form->ThreeDigit);
}

TEST_F(MouseFreeFormTest, EditorsAreWiredToThePanelAndTheFormHasItsSize)
{
    EXPECT_EQ(Form->Commander, Form->Panel);
    EXPECT_EQ(Form->Name->Commander(), Form->Panel);
    EXPECT_EQ(Form->Amount->Commander(), Form->Panel);
    EXPECT_EQ(Form->Print->Commander(), Form->Panel);
    EXPECT_EQ(Form->Width(), 775);
    EXPECT_EQ(Form->ClientHeight(), 473);
    EXPECT_EQ(Form->Top(), 0);
    EXPECT_EQ(Form->Left(), 0);
}

TEST_F(MouseFreeFormTest, ActivationFocusesTheSelectionEntry)
{
    EXPECT_EQ(Active(), "entry");
    EXPECT_TRUE(Entry()->Widget()->hasFocus());
    EXPECT_FALSE(Form->Panel->MouseFree);
}

TEST_F(MouseFreeFormTest, TypedNumberJumpsToTheFieldAndLeavingTheGroupReturns)
{
    Form->Labels[2]->Font()->SetColor(clRed);
    Type("03");
    EXPECT_EQ(Active(), "Street");
    EXPECT_EQ(Entry()->Text(), "");
    EXPECT_TRUE(Form->Panel->MouseFree);
    EXPECT_EQ(Form->Panel->CurrentLabel, Form->Labels[2]);
    EXPECT_EQ(Form->Panel->TargetControl, Form->City);

    Enter();
    EXPECT_EQ(Active(), "City");
    Type("x");
    Enter();
    // City ends the group: back to the entry. A text edit leaves the caption's colour alone.
    EXPECT_EQ(Active(), "entry");
    EXPECT_TRUE(Entry()->Widget()->hasFocus());
    EXPECT_FALSE(Form->Panel->MouseFree);
    EXPECT_EQ(Form->Labels[2]->Font()->Color(), clRed);
}

TEST_F(MouseFreeFormTest, NumbersOutsideTheListOrOfHiddenFieldsDoNothing)
{
    for (const char* number : {"00", "09", "07", "08"}) {
        Type(number);
        EXPECT_EQ(Active(), "entry") << number;
        EXPECT_EQ(Entry()->Text(), "") << number;
    }
    EXPECT_THAT(Dialogs.Messages, IsEmpty());
    EXPECT_EQ(Closes, 0);
}

TEST_F(MouseFreeFormTest, DisabledFieldIsNotSelected)
{
    Form->Name->SetEnabled(false);
    Type("01");
    EXPECT_EQ(Active(), "entry");
    EXPECT_THAT(Dialogs.Messages, IsEmpty());
}

TEST_F(MouseFreeFormTest, EntryTakesOnlyDigits)
{
    Type("a-1");
    EXPECT_EQ(Entry()->Text(), "1");
}

TEST_F(MouseFreeFormTest, NinetyNineClosesTheForm)
{
    Type("99");
    EXPECT_EQ(Closes, 1);
}

TEST_F(MouseFreeFormTest, CheckBoxWithoutGroupTogglesWithoutTakingTheFocus)
{
    bool print = false;
    Form->Print->Bind(&print);
    Type("04");
    EXPECT_TRUE(print);
    EXPECT_EQ(Active(), "entry");
    Type("04");
    EXPECT_FALSE(print);
    EXPECT_EQ(Form->Panel->CurrentLabel, Form->Labels[3]);
}

TEST_F(MouseFreeFormTest, ButtonRunsItsClickOnceAndTheFocusStays)
{
    Type("06");
    EXPECT_THAT(Form->Clicks, ElementsAre(Form->Recalc));
    EXPECT_EQ(Active(), "entry");
}

TEST_F(MouseFreeFormTest, ButtonWithAGroupMovesOnPastTheButton)
{
    Form->Labels[5]->SetLastControl(Form->City);
    Form->Recalc->SetTabOrder(0);
    Type("06");
    EXPECT_THAT(Form->Clicks, ElementsAre(Form->Recalc));
    EXPECT_EQ(Active(), "Name");
    EXPECT_TRUE(Form->Panel->MouseFree);
    EXPECT_EQ(Form->Panel->TargetControl, Form->City);
}

TEST_F(MouseFreeFormTest, EnterWalksTheFieldsInTabOrder)
{
    Form->Name->SetFocus();
    Enter();
    EXPECT_EQ(Active(), "Amount");
    Enter();
    EXPECT_EQ(Active(), "Street");
}

TEST_F(MouseFreeFormTest, StarReturnsToTheEntryWithoutTypingIt)
{
    Form->Name->SetFocus();
    Type("ab*");
    EXPECT_EQ(Active(), "entry");
    EXPECT_EQ(Form->Name->Text(), "ab");
}

TEST_F(MouseFreeFormTest, SlashClosesExceptInAFieldThatTakesIt)
{
    String path;
    Form->Path->Bind(&path);
    Type("05");
    Type("a/b");
    EXPECT_EQ(Form->Path->Text(), "a/b");
    EXPECT_EQ(Closes, 0);
    EXPECT_TRUE(Form->Panel->SlashCloseGuard);

    // Leaving the field writes it back; after that '/' closes again.
    Enter();
    EXPECT_EQ(path, "a/b");
    EXPECT_FALSE(Form->Panel->SlashCloseGuard);
    Form->Name->SetFocus();
    Type("c/");
    EXPECT_EQ(Closes, 1);
    EXPECT_EQ(Form->Name->Text(), "c");
    EXPECT_EQ(Active(), "entry");
}

TEST_F(MouseFreeFormTest, PlusInTheEntryStartsFullEditAtTheFirstField)
{
    Type("+");
    EXPECT_EQ(Active(), "Name");
    EXPECT_FALSE(Form->Panel->MouseFree);
    Enter();
    EXPECT_EQ(Active(), "Amount");
}

TEST_F(MouseFreeFormTest, PlusInAGroupEndsTheSelection)
{
    Form->Labels[2]->Font()->SetColor(clRed);
    Type("03");
    Type("+");
    EXPECT_FALSE(Form->Panel->MouseFree);
    EXPECT_EQ(Form->Labels[2]->Font()->Color(), clBlack);
    EXPECT_EQ(Form->Street->Text(), "");
    Enter();
    Enter();
    // Leaving City no longer returns to the entry.
    EXPECT_EQ(Active(), "Print");
}

TEST_F(MouseFreeFormTest, NumberEditEndingAGroupReturnsAndBlackensTheCaption)
{
    int amount = 0;
    Form->Amount->Bind(&amount);
    Form->Labels[1]->Font()->SetColor(clRed);
    Type("02");
    Type("1,234.5");
    Enter();
    EXPECT_EQ(amount, 1235);
    EXPECT_EQ(Active(), "entry");
    EXPECT_EQ(Form->Labels[1]->Font()->Color(), clBlack);
}

TEST_F(MouseFreeFormTest, DisableMouseFreeEditDoesNotReturn)
{
    Form->Amount->SetDisableMouseFree(true);
    Form->Labels[1]->Font()->SetColor(clRed);
    Type("02");
    EXPECT_EQ(Active(), "Amount");
    Enter();
    EXPECT_EQ(Active(), "Street");
    EXPECT_EQ(Form->Labels[1]->Font()->Color(), clRed);
}

TEST_F(MouseFreeFormTest, OkButtonClosesTheForm)
{
    Form->Panel->OKButton()->Click();
    EXPECT_EQ(Closes, 1);
    EXPECT_EQ(Form->Panel->OKButton()->Caption(), "OK  [99 or /]");
    EXPECT_FALSE(Form->Panel->OKButton()->Default());
}

// F2 runs the calculator and waits for it; without one, or when it cannot start, the
// user is told so.
TEST_F(MouseFreeFormTest, F2RunsTheCalculatorAndWaits)
{
    struct TCase {
        const char* Command;  // "" looks on a PATH without calculators
        int RunResult;
        const char* Message;
    };
    const TCase cases[] = {
            {"mycalc --basic", 0, ""},
            {"mycalc", -1, "The calculator \"mycalc\" could not be started."},
            {"", 0,
             "No calculator was found. Install gnome-calculator, kcalc, galculator or xcalc to use F2."},
    };
    TMemoryRegistry registry;
    const TempDir emptyPath;
    const String path = getenv("PATH");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Command);
        TRecordingLauncher launcher;
        launcher.RunResult = c.RunResult;
        SetCalculatorCommand(c.Command);
        setenv("PATH", emptyPath.Path().c_str(), 1);
        PressKey(Form, Qt::Key_F2);
        setenv("PATH", path.c_str(), 1);
        SetCalculatorCommand("");
        const String shown = Dialogs.Messages.empty() ? "" : Dialogs.Messages.back().Text;
        Dialogs.Messages.clear();
        EXPECT_EQ(shown, c.Message);
        if (*c.Command == 0) {
            EXPECT_THAT(launcher.Runs, IsEmpty());
            continue;
        }
        ASSERT_EQ(launcher.Runs.size(), 1u);
        EXPECT_EQ(launcher.Runs[0].Program, "mycalc");
        EXPECT_TRUE(launcher.Runs[0].Wait);
    }
}

TEST_F(MouseFreeFormTest, F1OpensTheHelpFileBesideTheProgram)
{
    TRecordingLauncher launcher;
    PressKey(Form, Qt::Key_F1);
    // Without a help file nothing is started and the user is told where a copy would go.
    const String help = ExtractFilePath(ProgramFileName()) + "DIRUZU.ZIV";
    EXPECT_THAT(launcher.Opened, IsEmpty());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text,
              "Help is not available: the help file does not come with this program. "
              "A copy of it placed at " +
                      help + " is opened by F1.");

    std::ofstream(help) << "help";
    PressKey(Form, Qt::Key_F1);
    std::remove(help.c_str());
    ASSERT_EQ(launcher.Opened.size(), 1u);
    EXPECT_EQ(launcher.Opened[0], help);
}

// A form with many captions, each with an edit.
class TLongForm : public TKVMouseFreeForm {
public:
    TLongForm(TComponent* AOwner, int Count) : TKVMouseFreeForm(AOwner)
    {
        auto* box = new TScrollBox(this);
        box->SetParent(this);
        box->SetAlign(alClient);
        for (int i = 1; i <= Count; ++i) {
            auto* label = new TKVLabel(this);
            label->SetParent(box);
            label->SetBounds(8, i * 24, 80, 13);
            label->SetCaption("Line " + IntToStr(i));
            auto* edit = new TKVEdit(this);
            edit->SetName("Edit" + IntToStr(i));
            edit->SetParent(box);
            edit->SetBounds(100, i * 24, 100, 21);
            label->SetFirstControl(edit);
            Labels.push_back(label);
        }
        Panel = new TKVCommander(this);
        Panel->SetParent(this);
        Panel->SetScrollBox(box);
        Box = box;
    }
    std::vector<TKVLabel*> Labels;
    TKVCommander* Panel;
    TScrollBox* Box;
};

TEST(MouseFreeNumbering, HundredLabelsSwitchToThreeDigits)
{
    TScriptedDialogs dialogs;
    auto* form = Construct<TLongForm>(nullptr, 100);
    EXPECT_TRUE(form->ThreeDigit);
    EXPECT_EQ(form->Labels[0]->Caption(), "[001]  Line 1");
    EXPECT_EQ(form->Labels[97]->Caption(), "[098]  Line 98");
    EXPECT_EQ(form->Labels[98]->Caption(), "[100]  Line 99");
    EXPECT_EQ(form->Labels[99]->Caption(), "[101]  Line 100");
    ASSERT_EQ(form->Panel->LabelList.size(), 101u);
    EXPECT_EQ(form->Panel->LabelList[98], form->Labels[98]);
    EXPECT_EQ(form->Panel->LabelList[99], form->Labels[98]);

    int closes = 0;
    form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    ShowForm(form);
    TypeText(form, "10");
    EXPECT_EQ(form->Panel->MouseFreeEdit()->Text(), "10");
    TypeText(form, "1");
    EXPECT_EQ(ActiveName(form), "Edit100");
    for (const char* number : {"099", "100"}) {
        TypeText(form, "*");
        TypeText(form, number);
        EXPECT_EQ(ActiveName(form), "Edit99") << number;
    }
    TypeText(form, "*");
    TypeText(form, "99");
    EXPECT_EQ(closes, 1);
    form->Free();
}

TEST(MouseFreeNumbering, PageKeysInTheEntryScrollTheFields)
{
    TScriptedDialogs dialogs;
    auto* form = Construct<TLongForm>(nullptr, 40);
    ShowForm(form);
    TControlScrollBar* bar = form->Box->VertScrollBar();
    ASSERT_EQ(bar->Position(), 0);
    PressKey(form, Qt::Key_PageDown);
    EXPECT_EQ(bar->Position(), form->Box->ClientHeight());
    PressKey(form, Qt::Key_PageUp);
    EXPECT_EQ(bar->Position(), 0);
    // A field chosen by number is scrolled into view.
    TypeText(form, "40");
    EXPECT_EQ(ActiveName(form), "Edit40");
    EXPECT_GT(bar->Position(), 0);
    form->Free();
}

// An edit of the form's own, derived from the library's.
class TUpperEdit : public TKVEdit {
public:
    using TKVEdit::TKVEdit;
    String ClassName() const override { return "TUpperEdit"; }
};

class TDerivedEditForm : public TEntryForm {
public:
    explicit TDerivedEditForm(TComponent* AOwner) : TEntryForm(AOwner)
    {
        Upper = Make<TUpperEdit>("Upper", 400, 8);
    }
    TUpperEdit* Upper;
};

TEST(MouseFreeNumbering, OnlyTheLibrarysOwnClassesAreWired)
{
    auto* form = Construct<TDerivedEditForm>(nullptr);
    EXPECT_EQ(form->Name->Commander(), form->Panel);
    EXPECT_EQ(form->Upper->Commander(), nullptr);
    form->Free();
}

class TPanelLessForm : public TKVMouseFreeForm {
public:
    explicit TPanelLessForm(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
    {
        Label = new TKVLabel(this);
        Label->SetCaption("Name");
        Edit = new TKVEdit(this);
        Label->SetFirstControl(Edit);
    }
    TKVLabel* Label;
    TKVEdit* Edit;
};

TEST(MouseFreeNumbering, FormWithoutPanelNumbersNothing)
{
    auto* form = Construct<TPanelLessForm>(nullptr);
    EXPECT_EQ(form->Commander, nullptr);
    EXPECT_EQ(form->Label->Caption(), "Name");
    EXPECT_EQ(form->Edit->Commander(), nullptr);
    form->Free();
}

}  // namespace
