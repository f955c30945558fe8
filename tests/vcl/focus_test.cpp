// The keyboard and focus rules every form relies on.

#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/checkboxes.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/application.h"
#include "tests/support/formtesting.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// A dialog with two edits, a check box and OK/Cancel, in a tab order that differs
// from the order of creation.
class EntryForm : public TForm {
public:
    explicit EntryForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetCaption("Entry");
        SetBounds(0, 0, 320, 200);
        Name2 = Make<TEdit>("Name2", 10, 40);
        Name1 = Make<TEdit>("Name1", 10, 10);
        Flag = Make<TCheckBox>("Flag", 10, 70);
        Ok = Make<TButton>("Ok", 10, 100);
        Ok->SetCaption("OK");
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Cancel = Make<TButton>("Cancel", 100, 100);
        Cancel->SetCaption("Cancel");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
        Name1->SetTabOrder(0);
        Name2->SetTabOrder(1);
    }

    template<class T> T* Make(const String& name, int left, int top)
    {
        T* control = new T(this);
        control->SetName(name);
        control->SetParent(this);
        control->SetLeft(left);
        control->SetTop(top);
        return control;
    }

    TEdit* Name1;
    TEdit* Name2;
    TCheckBox* Flag;
    TButton* Ok;
    TButton* Cancel;
};

class FocusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<EntryForm>(nullptr);
        for (TWinControl* control :
             std::vector<TWinControl*> {Form->Name1, Form->Name2, Form->Flag, Form->Ok, Form->Cancel}) {
            const std::string name = control->Name();
            control->OnEnter = Log.Note("enter " + name);
            control->OnExit = Log.Note("exit " + name);
        }
        Form->Ok->OnClick = Log.Note("click Ok");
        Form->Cancel->OnClick = Log.Note("click Cancel");
        ShowForm(Form);
        Log.Entries.clear();
    }
    void TearDown() override { Form->Free(); }

    String Active() const { return Form->ActiveControl() ? Form->ActiveControl()->Name() : String("(none)"); }

    TScriptedDialogs Dialogs;
    EntryForm* Form = nullptr;
    TEventLog Log;
};

TEST_F(FocusTest, ShownFormFocusesTheFirstTabStop)
{
    EXPECT_EQ(Active(), "Name1");
    EXPECT_TRUE(Form->Name1->Widget()->hasFocus());
}

TEST_F(FocusTest, TabAndShiftTabFollowTabOrderAndWrap)
{
    const struct {
        Qt::KeyboardModifiers Modifiers;
        const char* Expected;
    } steps[] = {
            {Qt::NoModifier, "Name2"},  {Qt::NoModifier, "Flag"},  {Qt::NoModifier, "Ok"},
            {Qt::NoModifier, "Cancel"}, {Qt::NoModifier, "Name1"}, {Qt::ShiftModifier, "Cancel"},
            {Qt::ShiftModifier, "Ok"},
    };
    for (const auto& step : steps) {
        PressKey(Form, Qt::Key_Tab, step.Modifiers);
        EXPECT_EQ(Active(), step.Expected);
        EXPECT_TRUE(Form->ActiveControl()->Widget()->hasFocus()) << step.Expected;
    }
    EXPECT_EQ(Log.Entries.front(), "exit Name1");
    EXPECT_EQ(Log.Entries[1], "enter Name2");
}

TEST_F(FocusTest, AFreedActiveControlIsForgottenAndFocusMovesOn)
{
    PressKey(Form, Qt::Key_Tab);
    ASSERT_EQ(Active(), "Name2");
    Form->Name2->Free();
    Form->Name2 = nullptr;
    EXPECT_EQ(Form->ActiveControl(), nullptr);
    Form->Name1->SetFocus();
    EXPECT_EQ(Active(), "Name1");
    EXPECT_EQ(Log.Entries.back(), "enter Name1");
}

TEST_F(FocusTest, TabSkipsDisabledInvisibleAndNonTabStopControls)
{
    Form->Name2->SetEnabled(false);
    Form->Flag->SetVisible(false);
    Form->Ok->SetTabStop(false);
    PressKey(Form, Qt::Key_Tab);
    EXPECT_EQ(Active(), "Cancel");
}

TEST_F(FocusTest, EnterClicksTheDefaultButtonUnlessAnotherButtonHasTheFocus)
{
    PressKey(Form, Qt::Key_Return);
    EXPECT_THAT(Log.Entries, ElementsAre("click Ok"));
    EXPECT_EQ(Form->ModalResult(), mrOk);
    EXPECT_EQ(Form->Name1->Text(), "");

    Log.Entries.clear();
    Form->Flag->SetFocus();
    PressKey(Form, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Log.Entries.back(), "click Ok");

    Log.Entries.clear();
    Form->Cancel->SetFocus();
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(Log.Entries.back(), "click Cancel");
}

TEST_F(FocusTest, EnterWithoutDefaultButtonReachesKeyPress)
{
    Form->Ok->SetDefault(false);
    std::vector<int> pressed;
    Form->Name1->OnKeyPress = [&](TObject*, char& Key) { pressed.push_back(Key); };
    PressKey(Form, Qt::Key_Return);
    EXPECT_THAT(Log.Entries, IsEmpty());
    EXPECT_THAT(pressed, ElementsAre(13));
}

TEST_F(FocusTest, EscClicksTheCancelButton)
{
    PressKey(Form, Qt::Key_Escape);
    EXPECT_THAT(Log.Entries, ElementsAre("click Cancel"));
    EXPECT_EQ(Form->ModalResult(), mrCancel);
}

TEST_F(FocusTest, KeyPreviewSeesKeysFirstAndKeyDownZeroStillRunsKeyPress)
{
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Log.Add("form down " + std::to_string(Key)); };
    Form->OnKeyPress = [&](TObject*, char& Key) { Log.Add(std::string("form press ") + Key); };
    Form->Name1->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        Log.Add("edit down " + std::to_string(Key));
        Key = 0;
    };
    Form->Name1->OnKeyPress = [&](TObject*, char& Key) { Log.Add(std::string("edit press ") + Key); };
    TypeText(Form, "a");
    EXPECT_THAT(Log.Entries, ElementsAre("form down 65", "edit down 65", "form press a", "edit press a"));
    // The character still reaches the edit: only the key-down handling was swallowed.
    EXPECT_EQ(Form->Name1->Text(), "a");
}

TEST_F(FocusTest, PreviewSwallowingKeyDownSkipsTheControlsKeyDown)
{
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Key = 0; };
    Form->Name1->OnKeyDown = [&](TObject*, Word&, TShiftState) { Log.Add("edit down"); };
    Form->Name1->OnKeyPress = [&](TObject*, char& Key) { Log.Add(std::string("edit press ") + Key); };
    TypeText(Form, "b");
    EXPECT_THAT(Log.Entries, ElementsAre("edit press b"));
}

TEST_F(FocusTest, KeyPressDecidesWhatIsTyped)
{
    Form->Name1->OnKeyPress = [](TObject*, char& Key) {
        if (Key == 'x')
            Key = 0;
        else if (Key >= 'a' && Key <= 'z')
            Key = static_cast<char>(Key - 'a' + 'A');
    };
    TypeText(Form, "axb");
    EXPECT_EQ(Form->Name1->Text(), "AB");
}

TEST_F(FocusTest, FocusMovedInOnExitSkipsTheTargetEntirely)
{
    // Leaving Name1 sends the focus to the check box, as the command panel's return does.
    Form->Name1->OnExit = [&](TObject*) {
        Log.Add("exit Name1");
        Form->Flag->SetFocus();
    };
    PressKey(Form, Qt::Key_Tab);
    EXPECT_THAT(Log.Entries, ElementsAre("exit Name1", "enter Flag"));
    EXPECT_EQ(Active(), "Flag");
    EXPECT_TRUE(Form->Flag->Widget()->hasFocus());
    Log.Entries.clear();
    PressKey(Form, Qt::Key_Tab);
    EXPECT_THAT(Log.Entries, ElementsAre("exit Flag", "enter Ok"));
}

TEST_F(FocusTest, ClickingAControlEntersIt)
{
    QTest::mouseClick(Form->Name2->Widget(), Qt::LeftButton);
    EXPECT_THAT(Log.Entries, ElementsAre("exit Name1", "enter Name2"));
}

TEST_F(FocusTest, ModalDialogOpeningAndClosingRaisesNoExitOrEnter)
{
    TForm* dialog = Construct<TForm>(nullptr);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    QTimer::singleShot(0, [dialog] { PressKey(dialog, Qt::Key_Return); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    dialog->Free();
    EXPECT_THAT(Log.Entries, IsEmpty());
    EXPECT_EQ(Active(), "Name1");
    EXPECT_TRUE(Form->Active());
    TypeText(Form, "z");
    EXPECT_EQ(Form->Name1->Text(), "z");
}

TEST_F(FocusTest, UnfocusableTargetsRaise)
{
    Form->Name2->SetEnabled(false);
    try {
        Form->Name2->SetFocus();
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
    }
    EXPECT_THROW(Form->SetActiveControl(Form->Name2), EInvalidOperation);
    EXPECT_EQ(Active(), "Name1");
}

TEST_F(FocusTest, ExceptionInAHandlerIsShownAndTheFormGoesOn)
{
    Form->Name1->OnKeyPress = [](TObject*, char& Key) {
        if (Key == '!')
            throw Exception("Value is not valid");
    };
    TypeText(Form, "!");
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Value is not valid.");
    EXPECT_EQ(Dialogs.Messages[0].Type, mtError);
    EXPECT_EQ(Dialogs.Messages[0].Caption, Application->Title());
    TypeText(Form, "ok");
    EXPECT_EQ(Form->Name1->Text(), "ok");
}

TEST_F(FocusTest, ProgrammaticChangesFireTheirEvents)
{
    int changes = 0;
    Form->Name1->OnChange = [&](TObject*) { ++changes; };
    Form->Flag->OnClick = Log.Note("click Flag");
    Form->Name1->SetText("abc");
    Form->Flag->SetChecked(true);
    Form->Flag->SetChecked(true);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(Form->Name1->Modified());
    EXPECT_THAT(Log.Entries, ElementsAre("click Flag"));
    TypeText(Form, "d");
    EXPECT_TRUE(Form->Name1->Modified());
}

TEST_F(FocusTest, EnterInTheFormsKeyPressMovesToTheNextControl)
{
    // The keyboard-driven forms' own Enter: swallowed by the form, focus to the next field.
    Form->Ok->SetDefault(false);
    Form->SetKeyPreview(true);
    Form->OnKeyPress = [this](TObject*, char& Key) {
        if (Key != 13)
            return;
        Key = 0;
        Form->Perform(WM_NEXTDLGCTL, 0, 0);
    };
    PressKey(Form, Qt::Key_Return);
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(Active(), "Flag");
    EXPECT_THAT(Log.Entries, ElementsAre("exit Name1", "enter Name2", "exit Name2", "enter Flag"));
}

TEST(Containers, TabWalksIntoContainersAndEntersAndExitsThem)
{
    TForm* form = Construct<TForm>(nullptr);
    TEventLog log;
    auto add = [&](TWinControl* control, TWinControl* parent, const std::string& name) {
        control->SetParent(parent);
        control->OnEnter = log.Note("enter " + name);
        control->OnExit = log.Note("exit " + name);
        return control;
    };
    add(new TEdit(form), form, "A");
    auto* panel = add(new TPanel(form), form, "Panel");
    add(new TEdit(form), panel, "B");
    add(new TEdit(form), panel, "C");
    add(new TEdit(form), form, "D");
    ShowForm(form);
    log.Entries.clear();
    for (int i = 0; i < 4; ++i)
        PressKey(form, Qt::Key_Tab);
    EXPECT_THAT(log.Entries, ElementsAre("exit A", "enter Panel", "enter B", "exit B", "enter C", "exit C",
                                         "exit Panel", "enter D", "exit D", "enter A"));
    form->Free();
}

TEST(Activation, ActiveControlSetOnActivationIsEntered)
{
    // A form that puts the focus in its command entry each time it is activated.
    struct EntryFirstForm : TForm {
        explicit EntryFirstForm(TComponent* AOwner) : TForm(AOwner)
        {
            Field = new TEdit(this);
            Field->SetParent(this);
            Entry = new TEdit(this);
            Entry->SetParent(this);
            Entry->SetTop(40);
        }
        void Activate() override
        {
            TForm::Activate();
            SetActiveControl(Entry);
        }
        TEdit* Field;
        TEdit* Entry;
    };
    auto* form = Construct<EntryFirstForm>(nullptr);
    TEventLog log;
    form->Field->OnEnter = log.Note("enter Field");
    form->Entry->OnEnter = log.Note("enter Entry");
    ShowForm(form);
    EXPECT_EQ(form->ActiveControl(), form->Entry);
    EXPECT_TRUE(form->Entry->Widget()->hasFocus());
    EXPECT_THAT(log.Entries, ElementsAre("enter Entry"));
    form->Free();
}

TEST_F(FocusTest, SpaceTogglesAFocusedCheckBox)
{
    Form->Flag->SetFocus();
    PressKey(Form, Qt::Key_Space);
    EXPECT_TRUE(Form->Flag->Checked());
    PressKey(Form, Qt::Key_Space);
    EXPECT_FALSE(Form->Flag->Checked());
}

}  // namespace
