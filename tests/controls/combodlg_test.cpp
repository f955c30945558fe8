// The combo-dialog field on a keyboard-driven form: reached by its number it opens its
// dialog, it ends a group chosen by number like any editor, and a refused exit keeps
// the focus instead of fighting the return to the selection entry.

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "controls/kvcombodlg.h"
#include "controls/kvedit.h"
#include "controls/kvforms.h"
#include "controls/kvlabel.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/support/formtesting.h"

namespace {

// Derived classes get no command panel, but the panel still knows them as combo dialogs.
class TDerivedComboDlg : public TKVComboDlg {
public:
    using TKVComboDlg::TKVComboDlg;
    String ClassName() const override { return "TDerivedComboDlg"; }
};

class TComboForm : public TKVMouseFreeForm {
public:
    explicit TComboForm(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
    {
        Name = Line<TKVEdit>("Name", 8);
        Payer = Line<TKVComboDlg>("Payer", 36);
        Street = Line<TKVEdit>("Address", 64);
        Code = Field<TKVComboDlg>(300, 64);
        Code->Picture()->SetPictureMask("###");
        Labels.back()->SetLastControl(Code);
        Other = Line<TDerivedComboDlg>("Other", 92);
        Panel = new TKVCommander(this);
        Panel->SetParent(this);
    }

    template<class T> T* Field(int Left, int Top)
    {
        T* control = new T(this);
        control->SetParent(this);
        control->SetBounds(Left, Top, 150, 21);
        control->SetTabStop(true);
        return control;
    }
    template<class T> T* Line(const String& Caption, int Top)
    {
        auto* label = new TKVLabel(this);
        label->SetParent(this);
        label->SetBounds(8, Top + 4, 60, 13);
        label->SetCaption(Caption);
        T* control = Field<T>(120, Top);
        label->SetFirstControl(control);
        Labels.push_back(label);
        return control;
    }

    std::vector<TKVLabel*> Labels;
    TKVEdit* Name;
    TKVComboDlg* Payer;
    TKVEdit* Street;
    TKVComboDlg* Code;
    TDerivedComboDlg* Other;
    TKVCommander* Panel;
};

class ComboDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TComboForm>(nullptr);
        ShowForm(Form);
    }
    void TearDown() override { Form->Free(); }

    void Type(const char* Text) { TypeText(Form, Text); }
    void Enter() { PressKey(Form, Qt::Key_Return); }
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    TEdit* Entry() const { return Form->Panel->MouseFreeEdit(); }

    TScriptedDialogs Dialogs;
    TComboForm* Form = nullptr;
};

TEST_F(ComboDlgTest, ItsNumberOpensTheDialogWithThePanelAsSender)
{
    std::vector<TObject*> senders;
    Form->Payer->OnCustomDlg = [&](TObject* Sender) { senders.push_back(Sender); };
    Form->Other->OnCustomDlg = [&](TObject* Sender) { senders.push_back(Sender); };
    ASSERT_EQ(Form->ActiveControl(), Entry());
    Type("02");
    Type("04");
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[0], Form->Panel);
    EXPECT_EQ(senders[1], Form->Panel);
    EXPECT_EQ(Form->ActiveControl(), Entry());
    EXPECT_FALSE(Form->Panel->MouseFree);
    // Only the exact class gets the panel.
    EXPECT_EQ(Form->Payer->Commander(), Form->Panel);
    EXPECT_EQ(Form->Other->Commander(), nullptr);
}

TEST_F(ComboDlgTest, ItsButtonOpensTheDialogWithItselfAsSender)
{
    TObject* sender = nullptr;
    Form->Payer->OnCustomDlg = [&](TObject* Sender) {
        sender = Sender;
        EXPECT_TRUE(Form->Payer->IsDroppedDown());
        Form->Payer->SetText("PAYER 7");
    };
    QTest::mouseClick(Form->Payer->Button()->Widget(), Qt::LeftButton);
    EXPECT_EQ(sender, Form->Payer);
    EXPECT_EQ(Form->ActiveControl(), Form->Payer);
    EXPECT_EQ(Form->Payer->Text(), "PAYER 7");
    EXPECT_FALSE(Form->Payer->IsDroppedDown());
    // Alt+Down opens it from the keyboard.
    sender = nullptr;
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(sender, Form->Payer);
}

TEST_F(ComboDlgTest, LeavingTheGroupsLastFieldReturnsToTheEntry)
{
    Type("03");
    ASSERT_EQ(Form->ActiveControl(), Form->Street);
    EXPECT_TRUE(Form->Panel->MouseFree);
    Enter();
    ASSERT_EQ(Form->ActiveControl(), Form->Code);
    Type("123");
    Enter();
    Settle();
    EXPECT_EQ(Form->ActiveControl(), Entry());
    EXPECT_EQ(Form->Code->Text(), "123");
    EXPECT_EQ(Form->Labels[2]->Font()->Color(), clBlack);
}

TEST_F(ComboDlgTest, ARefusedExitKeepsTheFocusInsteadOfReturning)
{
    Type("03");
    Enter();
    ASSERT_EQ(Form->ActiveControl(), Form->Code);
    Type("12");
    Enter();
    Settle();
    EXPECT_EQ(Form->ActiveControl(), Form->Code);
    EXPECT_TRUE(Form->Code->Widget()->hasFocus());
    EXPECT_EQ(Dialogs.Beeps, 1);
    Settle();
    EXPECT_EQ(Form->ActiveControl(), Form->Code);
    // Made whole, the field lets go and the group ends in the entry.
    PressKey(Form, Qt::Key_End);
    Type("3");
    Enter();
    Settle();
    EXPECT_EQ(Form->ActiveControl(), Entry());
    EXPECT_EQ(Dialogs.Beeps, 1);
}

TEST_F(ComboDlgTest, EscKeepsTheFieldAndSelectsItsText)
{
    Type("03");
    Enter();
    Type("12");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(Form->ActiveControl(), Form->Code);
    EXPECT_EQ(Form->Code->SelLength(), static_cast<int>(Form->Code->Text().size()));
}

}  // namespace
