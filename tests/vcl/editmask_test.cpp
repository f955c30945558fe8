// The edit mask: what a text shows as, what the shown text gives back, when it is
// complete; and an edit typed into through its mask by keys and paste.

#include <gtest/gtest.h>

#include "platform/vcl/controls/editmask.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/clipbrd.h"
#include "tests/support/formtesting.h"

namespace {

TEST(EditMask, FormatTextAndCompleteness)
{
    struct Case {
        const char* Mask;
        const char* Text;
        const char* Shown;
        const char* Back;  // Text of the shown text
        bool Complete;
    } cases[] = {
            {"(999) 000-0000;0;_", "5551234567", "(555) 123-4567", "5551234567", true},
            {"(999) 000-0000;0;_", "", "(___) ___-____", "", true},  // nothing typed: no text
            {"(999) 000-0000;0;_", "   1234567", "(___) 123-4567", "   1234567", true},
            {"(999) 000-0000;0;_", "555123", "(555) 123-____", "555123    ", false},
            {"(999) 000-0000;1;_", "(555) 123-4567", "(555) 123-4567", "(555) 123-4567", true},
            {"000-00-0000", "123-45-6789", "123-45-6789", "123-45-6789", true},  // literals kept by default
            {"000-00-0000;0", "123456789", "123-45-6789", "123456789", true},
            {">LL-0000;1;*", "ny-1234", "NY-1234", "NY-1234", true},
            {">L<ll;1;_", "aBC", "Abc", "Abc", true},
            {">L<>ll;1;_", "aBC", "ABC", "ABC", true},
            {"\\A-00;1;_", "A-12", "A-12", "A-12", true},  // an escaped literal
            {"00/00/0000;1;_", "07/04/2008", "07/04/2008", "07/04/2008", true},
            {"00:00;0;_", "1x30", "1_:30", "1 30", false},  // a character that does not fit stays empty
            {"#99;1;_", "-5", "-5_", "-5 ", true},
            {"!aaa;1;_", "ab", "ab_", "ab ", true},
            {"ccc_C;1;_", "ab x", "ab_ x", "ab  x", true},  // _ is a blank literal
    };
    for (const Case& c : cases) {
        const TEditMask mask(c.Mask);
        const String shown = mask.Format(c.Text);
        EXPECT_EQ(shown, c.Shown) << c.Mask << " " << c.Text;
        EXPECT_EQ(mask.TextOf(shown), c.Back) << c.Mask << " " << c.Text;
        EXPECT_EQ(mask.IsComplete(shown), c.Complete) << c.Mask << " " << c.Text;
    }
    EXPECT_THROW(TEditMask("000").Validate("12_"), EDBEditError);
    EXPECT_NO_THROW(TEditMask("099").Validate("1__"));
    EXPECT_TRUE(TEditMask("").Empty());
    EXPECT_EQ(TEditMask("").Format("free text"), "");
}

class MaskedEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 100);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetEditMask("(999) 000-0000;0;_");
        ShowForm(Form);
        Edit->SetFocus();
        Edit->SetSelStart(0);
    }
    void TearDown() override
    {
        ForgetHeldInput();
        Form->Free();
    }
    void Type(const char* Text) { TypeText(Form, Text); }
    void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        PressKey(Form, Key, Modifiers);
    }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
};

TEST_F(MaskedEditTest, TypingFillsThePlacesAndStepsOverTheLiterals)
{
    EXPECT_EQ(Edit->EditText(), "(___) ___-____");
    EXPECT_EQ(Edit->Text(), "");
    Type("555x12");
    EXPECT_EQ(Dialogs.Beeps, 1) << "a letter fits no digit place";
    EXPECT_EQ(Edit->EditText(), "(555) 12_-____");
    EXPECT_EQ(Edit->SelStart(), 8);
    EXPECT_TRUE(Edit->Modified());
    EXPECT_THROW(Edit->ValidateEdit(), EDBEditError);
    Type("34567");
    EXPECT_EQ(Edit->EditText(), "(555) 123-4567");
    EXPECT_EQ(Edit->Text(), "5551234567");
    EXPECT_NO_THROW(Edit->ValidateEdit());
    Type("8");
    EXPECT_EQ(Edit->EditText(), "(555) 123-4567") << "no place is left";

    // Backspace empties the place before the caret; the literals stay.
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Backspace);
    EXPECT_EQ(Edit->EditText(), "(555) 123-45__");
    Edit->SetSelStart(1);
    Press(Qt::Key_Delete);
    EXPECT_EQ(Edit->EditText(), "(_55) 123-45__");
    EXPECT_EQ(Edit->Text(), " 5512345  ");
    // Over a selection a character first empties it.
    Edit->SetSelStart(6);
    Edit->SetSelLength(5);
    Type("9");
    EXPECT_EQ(Edit->EditText(), "(_55) 9__-_5__");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Edit->EditText(), "(_55) ___-_5__");
}

TEST_F(MaskedEditTest, PasteAndTextGoThroughTheMask)
{
    Clipboard()->SetAsText("(617) 555-01a2");
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit->EditText(), "(617) 555-012_");
    EXPECT_EQ(Dialogs.Beeps, 1) << "the letter is left out";
    EXPECT_EQ(Edit->SelStart(), 13);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Edit->EditText(), "(___) ___-____") << "one step takes the paste back";
    Edit->SetText("2125550100");
    EXPECT_EQ(Edit->EditText(), "(212) 555-0100");
    EXPECT_FALSE(Edit->Modified());
    Edit->SetSelStart(1);
    Edit->SetSelLength(3);
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Clipboard()->AsText(), "212");
    EXPECT_EQ(Edit->EditText(), "(___) 555-0100");
    // Without a mask the text is the shown text again.
    Edit->SetEditMask("");
    EXPECT_EQ(Edit->Text(), "   5550100");
    EXPECT_EQ(Edit->EditText(), Edit->Text());
}

// The program's replacement of the selection goes in as typed characters would.
TEST_F(MaskedEditTest, SelTextGoesThroughTheMask)
{
    struct Case {
        const char* Mask;
        const char* Text;
        int SelStart, SelLength;
        const char* Inserted;
        const char* Shown;
        int Caret;
    } cases[] = {
            {"(999) 000-0000;0;_", "", 0, 0, "6175550123", "(617) 555-0123", 14},  // over the literals
            {"(999) 000-0000;0;_", "2125550100", 1, 3, "617", "(617) 555-0100", 4},
            {"(999) 000-0000;0;_", "", 0, 14, "(617) 555-0123", "(617) 555-0123", 14},  // its literals match
            {"000-00-0000;1;_", "123-45-6789", 4, 2, "9x8", "123-98-6789", 6},  // a refused one left out
            {"000-00-0000;1;_", "123-45-6789", 0, 11, "55", "55_-__-____", 2},  // the rest emptied
            {"000-00-0000;1;_", "123-45-6789", 0, 0, "999", "999-45-6789", 3},  // places after it overwritten
            {"000-00-0000;1;_", "123-45-6789", 4, 2, "", "123-__-6789", 4},
            {"000;1;_", "123", 1, 1, "ab", "1_3", 1},  // nothing fits: the selection emptied
            {">LL-0000;1;_", "", 0, 0, "ny-12", "NY-12__", 5},
            {"00;1;_", "", 0, 0, "1234", "12", 2},  // no place left
            {"00/00/0000;1;_", "", 0, 0, "07042008", "07/04/2008", 10},
    };
    for (const Case& c : cases) {
        Edit->SetEditMask(c.Mask);
        Edit->SetText(c.Text);
        Edit->SetSelStart(c.SelStart);
        Edit->SetSelLength(c.SelLength);
        Edit->SetSelText(c.Inserted);
        EXPECT_EQ(Edit->EditText(), c.Shown) << c.Mask << " " << c.Text << " + " << c.Inserted;
        EXPECT_EQ(Edit->SelStart(), c.Caret) << c.Mask << " " << c.Text << " + " << c.Inserted;
        EXPECT_EQ(Edit->SelLength(), 0);
        EXPECT_FALSE(Edit->Modified()) << "the program's change";
    }
    EXPECT_EQ(Dialogs.Beeps, 0);
    // The edit keeps typing from there.
    Type("1999");
    EXPECT_EQ(Edit->EditText(), "07/04/2008") << "no place is left";
    Edit->SetSelStart(3);
    Edit->SetSelText("1");
    Type("5");
    EXPECT_EQ(Edit->EditText(), "07/15/2008");
}

}  // namespace
