// The paragraph and tab dialogs of the rich edit, offscreen: what they show of the
// selection's paragraph, what they refuse, and what OK writes back.

#include <gtest/gtest.h>

#include <QTimer>

#include "datacontrols/richtext/dwrchdlg.h"
#include "datacontrols/richtext/dwriched.h"
#include "platform/classes/object.h"
#include "platform/classes/screen.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/lists.h"
#include "tests/datacontrols/richtext/richeditfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class ParagraphDialogTest : public RichEditFormTest {
protected:
    void SetUp() override
    {
        RichEditFormTest::SetUp();
        Edit->LoadContents(
                R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\qc\li1440\fi-360\ri720\sb120\sa240\sl-300\slmult0\tx720\tx2160 first\par\pard second})");
        Edit->SetSelStart(0);
    }
    template<class D> D* Dialog()
    {
        auto* dialog = Construct<D>(Form, Edit);
        dialog->Fill();
        return dialog;
    }
};

// Runs Action once a modal form of type D shows.
template<class D> void WhenShown(const std::function<void(D*)>& Action, int Tries = 200)
{
    QTimer::singleShot(Tries == 200 ? 0 : 10, [Action, Tries] {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i)
            if (auto* dialog = dynamic_cast<D*>(Screen()->Forms(i));
                dialog && dialog->Modal() && dialog->Visible()) {
                Action(dialog);
                return;
            }
        if (Tries > 0)
            WhenShown<D>(Action, Tries - 1);
        else
            ADD_FAILURE() << "the dialog never showed";
    });
}

TEST_F(ParagraphDialogTest, ShowsTheIndentsSpacingAndAlignmentInTheUnits)
{
    auto* d = Dialog<TdwRichParagraphDialog>();
    EXPECT_EQ(d->Caption(), "Paragraph");
    EXPECT_EQ(d->LeftEdit->Text(), "1''");
    EXPECT_EQ(d->FirstLineEdit->Text(), "-0.25''");
    EXPECT_EQ(d->RightEdit->Text(), "0.5''");
    EXPECT_EQ(d->BeforeParagraphEdit->Text(), "0.08''");
    EXPECT_EQ(d->AfterParagraphEdit->Text(), "0.17''");
    EXPECT_EQ(d->LineSpacingComboBox->ItemIndex(), 4);
    EXPECT_EQ(d->WithinParagraphEdit->Text(), "0.21''");
    EXPECT_EQ(d->AlignmentCombo->Text(), "Center");

    Edit->SetMeasurementUnits(muCentimeters);
    d->Fill();
    EXPECT_EQ(d->LeftEdit->Text(), "2.55 cm");
    EXPECT_EQ(d->RightEdit->Text(), "1.25 cm");
}

TEST_F(ParagraphDialogTest, RefusesWhatIsNoMeasureWithinTwentyTwoInches)
{
    auto* d = Dialog<TdwRichParagraphDialog>();
    ShowForm(d);
    EXPECT_TRUE(d->Validate());
    struct Case {
        TEdit* Field;
        const char* Text;
        bool Valid;
    };
    for (const Case& c :
         {Case {d->LeftEdit, "abc", false}, Case {d->RightEdit, "22.01", false},
          Case {d->RightEdit, "22", true}, Case {d->FirstLineEdit, "-22.01''", false},
          Case {d->BeforeParagraphEdit, "2.537 cm", true}, Case {d->WithinParagraphEdit, "", true}}) {
        SCOPED_TRACE(c.Text);
        d->Fill();
        c.Field->SetText(c.Text);
        EXPECT_EQ(d->Validate(), c.Valid);
        if (!c.Valid) {
            EXPECT_TRUE(c.Field->Focused()) << "the failing field takes the focus";
        }
    }
}

TEST_F(ParagraphDialogTest, OKWritesTheFieldsAndKeepsTheFirstLineOnThePage)
{
    auto* d = Dialog<TdwRichParagraphDialog>();
    d->LeftEdit->SetText("0.5");
    d->FirstLineEdit->SetText("-1");  // further left than the left indent
    d->RightEdit->SetText("2.537 cm");
    d->AlignmentCombo->SetItemIndex(2);
    d->LineSpacingComboBox->SetItemIndex(5);
    d->LineSpacingComboBox->OnChange(d->LineSpacingComboBox);
    EXPECT_EQ(d->WithinParagraphEdit->Text(), "1");
    d->WithinParagraphEdit->SetText("1.5");
    d->Apply();
    const TRichParaFormat p = Edit->SelParaFormat();
    EXPECT_EQ(p.StartIndent, 0);
    EXPECT_EQ(p.Offset, 720);
    EXPECT_EQ(p.RightIndent, 1440);
    EXPECT_EQ(p.Alignment, raRight);
    EXPECT_EQ(p.LineSpacingRule, 1) << "one and a half lines";
    EXPECT_EQ(p.Tabs, (std::vector<int> {720, 2160})) << "tabs stay";
}

TEST_F(ParagraphDialogTest, ChoosingALineSpacingRuleSetsItsValue)
{
    auto* d = Dialog<TdwRichParagraphDialog>();
    const auto choose = [d](int Rule) {
        d->LineSpacingComboBox->SetItemIndex(Rule);
        d->LineSpacingComboBox->OnChange(d->LineSpacingComboBox);
        return d->WithinParagraphEdit->Text();
    };
    EXPECT_EQ(choose(5), "1");
    EXPECT_EQ(choose(4), "0.17''");
    EXPECT_EQ(choose(0), "");
    d->WithinParagraphEdit->SetText("2");
    EXPECT_EQ(d->LineSpacingComboBox->ItemIndex(), 5) << "typing a value makes the rule a multiple";
    Edit->SetMeasurementUnits(muCentimeters);
    EXPECT_EQ(choose(3), "0.42 cm");
}

TEST_F(ParagraphDialogTest, ParagraphDialogExecuteRunsByKeysAndAppliesOnEnter)
{
    WhenShown<TdwRichParagraphDialog>([](TdwRichParagraphDialog* d) {
        KeepScreenshot(d->Widget()->window()->grab(), "richedit_paragraph_dialog.png");
        d->LeftEdit->SetFocus();
        d->LeftEdit->SelectAll();
        TypeText(d, "2");
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_TRUE(Edit->ParagraphDialogExecute());
    EXPECT_EQ(Edit->SelParaFormat().StartIndent + Edit->SelParaFormat().Offset, 2880);

    WhenShown<TdwRichParagraphDialog>([](TdwRichParagraphDialog* d) { PressKey(d, Qt::Key_Escape); });
    EXPECT_FALSE(Edit->ParagraphDialogExecute());
}

// ---- tabs

std::vector<String> Items(TListBox* List)
{
    std::vector<String> items;
    for (int i = 0; i < List->Items()->Count(); ++i)
        items.push_back(List->Items()->Get(i));
    return items;
}

TEST_F(ParagraphDialogTest, TabStopsStaySortedAndOnce)
{
    auto* d = Dialog<TdwRichTabDialog>();
    EXPECT_EQ(Items(d->ListBox1), (std::vector<String> {"0.5''", "1.5''"}));
    for (const char* position : {"1", "0.25", "1", "1.5''"}) {
        d->Edit1->SetText(position);
        EXPECT_TRUE(d->SetTab());
        EXPECT_EQ(d->Edit1->Text(), "");
    }
    EXPECT_EQ(Items(d->ListBox1), (std::vector<String> {"0.25''", "0.5''", "1''", "1.5''"}));
    ShowForm(d);
    for (const char* refused : {"22.01", "-1", "tab"}) {
        d->Edit1->SetText(refused);
        EXPECT_FALSE(d->SetTab()) << refused;
        EXPECT_TRUE(d->Edit1->Focused());
    }
    ClickListItem(d->ListBox1, 0);
    d->Button2->Click();
    EXPECT_EQ(Items(d->ListBox1), (std::vector<String> {"0.5''", "1''", "1.5''"}));
    d->Apply();
    EXPECT_EQ(Edit->SelParaFormat().Tabs, (std::vector<int> {720, 1440, 2160}));
    d->Button4->Click();
    EXPECT_TRUE(Items(d->ListBox1).empty());
}

TEST_F(ParagraphDialogTest, TabDialogExecuteSetsOnEnterAndClosesOnEnterInAnEmptyEdit)
{
    WhenShown<TdwRichTabDialog>([](TdwRichTabDialog* d) {
        d->Edit1->SetFocus();
        TypeText(d, "3");
        PressKey(d, Qt::Key_Return);
        EXPECT_EQ(Items(d->ListBox1), (std::vector<String> {"0.5''", "1.5''", "3''"}));
        EXPECT_TRUE(d->Visible()) << "Enter with a position sets it";
        KeepScreenshot(d->Widget()->window()->grab(), "richedit_tab_dialog.png");
        PressKey(d, Qt::Key_Return);
    });
    EXPECT_TRUE(Edit->TabDialogExecute());
    EXPECT_EQ(Edit->SelParaFormat().Tabs, (std::vector<int> {720, 2160, 4320}));
}

// Clear takes out every tab stop selected with the mouse and the keys, and only those.
TEST_F(ParagraphDialogTest, ClearRemovesEveryTabStopSelectedByMouseAndKeys)
{
    WhenShown<TdwRichTabDialog>([](TdwRichTabDialog* d) {
        for (const char* position : {"1", "2", "2.5", "3"}) {
            d->Edit1->SetText(position);
            d->SetTab();
        }
        TListBox* list = d->ListBox1;
        ASSERT_EQ(Items(list), (std::vector<String> {"0.5''", "1''", "1.5''", "2''", "2.5''", "3''"}));
        ClickListItem(list, 0);
        PressKey(d, Qt::Key_Down, Qt::ShiftModifier);
        ClickListItem(list, 3, Qt::ControlModifier);
        ClickListItem(list, 5, Qt::ControlModifier);
        EXPECT_EQ(SelectedItems(list), (std::vector<int> {0, 1, 3, 5}));
        KeepScreenshot(d->Widget()->window()->grab(), "richedit_tab_dialog_selected.png");
        ClickControl(d->Button2);
        EXPECT_EQ(Items(list), (std::vector<String> {"1.5''", "2.5''"}));
        EXPECT_TRUE(SelectedItems(list).empty());
        ClickControl(d->Button2);
        EXPECT_EQ(Items(list).size(), 2u) << "nothing selected, nothing cleared";
        ClickControl(d->OKButton);
    });
    EXPECT_TRUE(Edit->TabDialogExecute());
    EXPECT_EQ(Edit->SelParaFormat().Tabs, (std::vector<int> {2160, 3600}));
    ForgetHeldInput();
}

}  // namespace

namespace {

TEST_F(ParagraphDialogTest, TheDialogsShowTheirHintsOnlyWhenTheOptionsAskForHints)
{
    for (const bool hints : {true, false}) {
        Edit->SetEditorOptions(hints ? Edit->EditorOptions() + TdwRichEditOptions {reoShowHints}
                                     : Edit->EditorOptions() - TdwRichEditOptions {reoShowHints});
        auto* paragraph = Dialog<TdwRichParagraphDialog>();
        EXPECT_EQ(paragraph->LeftEdit->Hint(), hints ? "Left Indentation" : "");
        EXPECT_EQ(paragraph->AlignmentCombo->Hint(), hints ? "Changes Alignment of Paragraph" : "");
        EXPECT_EQ(paragraph->AlignmentCombo->ShowHint(), hints);
        paragraph->Free();
        auto* tabs = Dialog<TdwRichTabDialog>();
        EXPECT_EQ(tabs->Caption(), "Tab");
        EXPECT_EQ(tabs->ListBox1->Hint(), hints ? "List of tabs and their positions" : "");
        EXPECT_EQ(tabs->Button4->Hint(), hints ? "Clear all the tabs" : "");
        tabs->Free();
    }
}

}  // namespace
