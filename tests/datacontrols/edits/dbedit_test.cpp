// The data-aware edit over a real table: what the user types reaches the field through
// the table layer (read back by an independent reader), the field shows its display text
// until the edit is entered, and a text that fails its mask is refused on the way in.

#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/edits/dwdbedit.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fieldkinds.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/actions.h"
#include "platform/vcl/forms/forms.h"
#include "tests/datacontrols/common/publishing.h"
#include "tests/datacontrols/edits/editfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"
#include "tests/support/tablefixture.h"

namespace {

const std::vector<FieldLayout> PayeeSchema = {
        {"NAME", 'C', 20, 0}, {"AMOUNT", 'N', 10, 2}, {"PAID", 'D', 8, 0}};

class DBEditTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("PAYEES.DBF", PayeeSchema);
        AppendImages("PAYEES.DBF", {Image(PayeeSchema, {"smith", "1234.50", "20080704"})});
        T = Table("PAYEES");
        T->Open();
        const TEditForm made = MakeEditForm();
        Form = made.Form;
        Edit = made.Edit;
        Other = made.Other;
        Source = new TDataSource(Form);
        Source->SetDataSet(T);
        Other->SetFocus();
        Settle();
    }
    void TearDown() override
    {
        Form->Free();
        TableTest::TearDown();
    }
    void Bind(const String& FieldName)
    {
        Edit->SetDataSource(Source);
        Edit->SetDataField(FieldName);
    }
    void Press(Qt::Key Key) { PressKey(Form, Key); }
    void Type(const char* Text) { TypeText(Form, Text); }
    // A table with a memo field NOTES, its one record's memo empty.
    TDaroruTable* OpenNotes()
    {
        const std::vector<FieldLayout> notes = {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};
        CreateTable("NOTES.DBF", notes);
        AppendImages("NOTES.DBF", {Image(notes, {"A", ""})});
        TDaroruTable* table = Table("NOTES");
        table->Open();
        return table;
    }
    // Lines "Check 1001 mailed 1/15/2008" and so on, from line First to line Last.
    static String CheckLines(int First, int Last)
    {
        String lines;
        for (int i = First; i <= Last; ++i)
            lines += (i > First ? "\r\n" : "") +
                     ("Check " + std::to_string(1000 + i) + " mailed " + std::to_string(i) + "/15/2008");
        return lines;
    }
    static void SetNotes(TDaroruTable* Notes, const String& Memo)
    {
        Notes->Edit();
        Notes->FieldByName("NOTES")->SetAsString(Memo);
        Notes->Post();
    }
    // The edit, six lines high, wraps and takes Enter over the memo of Notes.
    void ShowNotesInSixLines(TDaroruTable* Notes)
    {
        Form->SetHeight(190);
        Edit->SetBounds(8, 8, 220, 6 * Edit->LineHeight() + 8);
        Other->SetTop(Edit->Top() + Edit->Height() + 8);
        Edit->SetWordWrap(true);
        Edit->SetWantReturns(true);
        Source->SetDataSet(Notes);
        Bind("NOTES");
    }
    // Tabs out of the edit, posts and closes the table, and reads its file back.
    String LeaveAndReadBackNotes(TDaroruTable* Notes)
    {
        Press(Qt::Key_Tab);
        Settle();
        EXPECT_TRUE(Other->Focused());
        Notes->Post();
        Notes->Close();
        String stored;
        for (const String& line : ReadBack("NOTES.DBF"))
            stored += (stored.empty() ? "" : "\n") + line;
        return stored;
    }

    TScriptedDialogs Dialogs;
    TDaroruTable* T = nullptr;
    TForm* Form = nullptr;
    TDataSource* Source = nullptr;
    TdwDBCustomEdit* Edit = nullptr;
    TEdit* Other = nullptr;
};

TEST_F(DBEditTest, TypedTextReachesTheTableFile)
{
    Bind("NAME");
    Edit->Picture()->SetPictureMask("&*?");
    Edit->SetFocus();
    Edit->SelectAll();
    Type("jones");
    EXPECT_EQ(Edit->Text(), "Jones");
    EXPECT_EQ(T->State(), dsEdit);
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "Jones");
    T->Post();
    T->Close();
    const std::vector<String> rows = ReadBack("PAYEES.DBF");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].substr(0, 6), "Jones|");
}

TEST_F(DBEditTest, TheFieldsSizeLimitsTheTextUntilAnotherFieldIsBound)
{
    Bind("NAME");
    EXPECT_EQ(Edit->MaxLength(), 20);
    Edit->SetDataField("AMOUNT");
    EXPECT_EQ(Edit->MaxLength(), 0);
    Edit->SetMaxLength(5);
    Edit->SetDataField("NAME");
    EXPECT_EQ(Edit->MaxLength(), 5);  // one the user set stays
}

TEST_F(DBEditTest, AReadOnlyEditTakesNoKeys)
{
    Bind("NAME");
    Edit->SetReadOnly(true);
    Edit->SetFocus();
    Edit->SelectAll();
    Type("jones");
    EXPECT_EQ(Edit->Text(), "smith");
    EXPECT_EQ(T->State(), dsBrowse);
    Edit->SetReadOnly(false);
    Edit->SelectAll();
    Type("j");
    EXPECT_EQ(Edit->Text(), "j");
    EXPECT_EQ(T->State(), dsEdit);
}

TEST_F(DBEditTest, EscGivesTheFieldsValueBack)
{
    Bind("NAME");
    Edit->SetFocus();
    Edit->SelectAll();
    Type("brown");
    Press(Qt::Key_Escape);
    EXPECT_EQ(Edit->Text(), "smith");
    EXPECT_EQ(Edit->SelLength(), 5);
}

TEST_F(DBEditTest, DisplayTextUntilEnteredThenTheEditText)
{
    auto* amount = dynamic_cast<TFloatField*>(T->FieldByName("AMOUNT"));
    ASSERT_NE(amount, nullptr);
    amount->SetDisplayFormat("$#,.00");
    amount->SetEditFormat("0.00");
    Bind("AMOUNT");
    EXPECT_EQ(Edit->Text(), "$1,234.50");
    Edit->SetFocus();
    EXPECT_EQ(Edit->Text(), "1234.50");
    Edit->SelectAll();
    Type("99.5");
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_DOUBLE_EQ(amount->AsFloat(), 99.5);
    EXPECT_EQ(Edit->Text(), "$99.50");
    // Right-aligned and unfocused, the edit paints its display text itself.
    KeepScreenshot(Form->Widget()->window()->grab(), "dbedit-display-text.png");
}

TEST_F(DBEditTest, ATextFailingItsMaskIsNotStored)
{
    Bind("NAME");
    Edit->Picture()->SetPictureMask("###");
    Edit->SetFocus();
    Edit->SelectAll();
    Type("12");
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "smith");
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Invalid input value.  Use escape key to abandon changes.");
    // Made whole, it goes in.
    Press(Qt::Key_End);
    Type("3");
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "123");
}

// A word-wrapped edit over a memo takes its lines from Enter only with WantReturns, and
// the lines reach the memo file as CR LF.
TEST_F(DBEditTest, AWordWrappedEditWritesItsLinesIntoAMemo)
{
    TDaroruTable* table = OpenNotes();
    Source->SetDataSet(table);
    Bind("NOTES");
    Edit->SetHeight(4 * Edit->LineHeight() + 8);
    Edit->SetWordWrap(true);
    ASSERT_TRUE(Edit->MultiLine());
    Edit->SetFocus();
    Type("Paid");
    Press(Qt::Key_Return);
    EXPECT_EQ(Edit->Text(), "Paid") << "without WantReturns Enter makes no line";
    Edit->SetWantReturns(true);
    Press(Qt::Key_Return);
    Type("in full");
    EXPECT_EQ(Edit->Text(), "Paid\r\nin full");
    Press(Qt::Key_Return);
    EXPECT_TRUE(Edit->Focused()) << "the edit takes Enter; the form's keys do not";
    EXPECT_EQ(LeaveAndReadBackNotes(table), "A|Paid\r\nin full\r\n");
}

// A memo longer than its edit: the scroll bar beside the lines scrolls them, the keys
// bring the caret's line back into view, and a line typed at the end reaches the file.
TEST_F(DBEditTest, AMemoLongerThanItsEditScrollsByItsBar)
{
    TDaroruTable* table = OpenNotes();
    const String memo = CheckLines(1, 12);
    SetNotes(table, memo);
    ShowNotesInSixLines(table);
    auto* bar = Edit->Widget()->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isVisible()) << "no bar unless asked for";
    Edit->SetShowVertScrollBar(true);
    EXPECT_TRUE(Edit->ShowVertScrollBar());
    Settle();
    Edit->Widget()->grab();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isEnabled()) << "twelve lines do not fit in six";
    EXPECT_EQ(bar->value(), 0);

    Edit->SetFocus();
    PressKey(Form, Qt::Key_End, Qt::ControlModifier);
    Edit->Widget()->grab();
    EXPECT_EQ(bar->value(), bar->maximum());
    Press(Qt::Key_Return);
    Type("Paid in full");
    Edit->Widget()->grab();
    EXPECT_EQ(bar->value(), bar->maximum()) << "the new line stays in view";
    PressKey(Form, Qt::Key_PageUp);
    Edit->Widget()->grab();
    EXPECT_GT(bar->value(), 0);
    EXPECT_LT(bar->value(), bar->maximum());
    SaveFormScreenshot(Form, "dbedit-vscrollbar.png");

    EXPECT_EQ(LeaveAndReadBackNotes(table), "A|" + memo + "\r\nPaid in full");
}

// Scrolled by its bar while another control has the focus, a framed memo edit, which paints
// its text itself then, shows the lines the bar scrolled to, and the focus stays where it was.
TEST_F(DBEditTest, AnUnfocusedFramedMemoScrollsByItsBar)
{
    TDaroruTable* table = OpenNotes();
    SetNotes(table, CheckLines(1, 12));
    Edit->Frame()->SetEnabled(true);
    ShowNotesInSixLines(table);
    Edit->SetShowVertScrollBar(true);
    Settle();
    ASSERT_TRUE(Other->Focused());
    ASSERT_TRUE(Edit->Frame()->IsFrameEffective());
    auto* bar = Edit->Widget()->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    // The lines as shown, left of the bar.
    const auto lines = [this, bar] {
        return Edit->Widget()->grab().toImage().copy(0, 0, bar->x(), Edit->Height());
    };
    const QImage fromTheFirst = lines();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_GT(bar->maximum(), 2 * Edit->LineHeight());

    // Two clicks on the down arrow, through the window, scroll two lines.
    QWidget* window = Form->Widget()->window();
    const auto click = [window](QWidget* Widget, QPoint At) {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, Widget->mapTo(window, At));
        QTest::qWait(50);
    };
    const QPoint downArrow(bar->width() / 2, bar->height() - 3);
    click(bar, downArrow);
    click(bar, downArrow);
    EXPECT_EQ(bar->value(), 2 * Edit->LineHeight());
    EXPECT_TRUE(Other->Focused()) << "the bar takes no focus";
    EXPECT_FALSE(Edit->Widget()->hasFocus());
    const QImage scrolled = lines();
    EXPECT_NE(scrolled, fromTheFirst);
    SaveFormScreenshot(Form, "dbedit-vscrollbar-unfocused.png");

    // The memo from its third line on, shown from its first, looks the same.
    SetNotes(table, CheckLines(3, 12));
    Settle();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(lines(), scrolled);

    // A click on the top line, one line down, takes the focus there; the lines stay.
    click(bar, downArrow);
    click(Edit->Widget(), QPoint(2, Edit->LineHeight() / 2 + 2));
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->SelStart(), static_cast<int>(Edit->Text().find("Check 1004")));
    Edit->Widget()->grab();
    EXPECT_EQ(bar->value(), Edit->LineHeight());
}

// Without a picture mask the field's EditMask shapes the text: typed into its places, the
// value without its literals reaches the file, and an incomplete one is refused.
TEST_F(DBEditTest, TheFieldsEditMaskAppliesWhenNoPictureMaskDoes)
{
    T->FieldByName("NAME")->SetEditMask("(999) 000-0000;0;_");
    Bind("NAME");
    EXPECT_EQ(Edit->EditMask(), "(999) 000-0000;0;_");
    Edit->SetFocus();
    Edit->SelectAll();
    Type("617555");
    EXPECT_EQ(Edit->EditText(), "(617) 555-____");
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(Edit->Focused());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "smith");
    EXPECT_EQ(Edit->SelLength(), 14) << "refused, the whole text is selected";
    Edit->SetSelStart(10);
    Type("0123");
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(T->FieldByName("NAME")->AsString(), "6175550123");
    EXPECT_EQ(Edit->EditText(), "(617) 555-0123");

    // A picture mask in effect takes the EditMask's place; with UsePictureMask off it is back.
    Edit->Picture()->SetPictureMask("*#");
    EXPECT_EQ(Edit->EditMask(), "");
    EXPECT_EQ(Edit->EditText(), "6175550123");
    Edit->SetUsePictureMask(false);
    EXPECT_EQ(Edit->EditMask(), "(999) 000-0000;0;_");
    T->Post();
    T->Close();
    const std::vector<String> rows = ReadBack("PAYEES.DBF");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].substr(0, 11), "6175550123|");
}

// An action that posts the record of the data source it is given.
class TPostAction : public TBasicAction {
public:
    using TBasicAction::TBasicAction;
    bool HandlesTarget(TObject* Target) override { return dynamic_cast<TDataSource*>(Target) != nullptr; }
    void ExecuteTarget(TObject* Target) override { static_cast<TDataSource*>(Target)->DataSet()->Post(); }
    void UpdateTarget(TObject* Target) override
    {
        SetEnabled(static_cast<TDataSource*>(Target)->DataSet()->State() == dsEdit);
    }
};

// The edit actions change the field as the keys do; an action the edit does not take
// goes to its data source.
TEST_F(DBEditTest, EditActionsEditTheFieldAndOthersGoToTheDataSource)
{
    Bind("NAME");
    auto* del = new TEditDelete(Form);
    auto* undo = new TEditUndo(Form);
    auto* post = new TPostAction(Form);
    Edit->SetFocus();
    Edit->SelectAll();
    ASSERT_TRUE(post->Update());
    EXPECT_FALSE(post->Enabled());
    ASSERT_TRUE(del->Execute());
    EXPECT_EQ(Edit->Text(), "");
    EXPECT_EQ(T->State(), dsEdit);
    ASSERT_TRUE(undo->Execute());
    EXPECT_EQ(Edit->Text(), "smith");
    Edit->SetSelStart(0);
    Edit->SetSelLength(1);
    ASSERT_TRUE(del->Execute());
    ASSERT_TRUE(post->Update());
    EXPECT_TRUE(post->Enabled());
    ASSERT_TRUE(post->Execute());
    EXPECT_EQ(T->State(), dsBrowse);
    T->Close();
    const std::vector<String> rows = ReadBack("PAYEES.DBF");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].substr(0, 5), "mith|");
}

TEST(DBEditMasks, TheDataSetsMaskAndItsInvalidValueEvent)
{
    TScriptedDialogs dialogs;
    TPublishingDataSet data(nullptr, {{"CODE", ftString, 10}});
    data.PictureMasks.Add("CODE\t###\tT\tT");
    std::vector<TField*> invalid;
    data.OnInvalidValue = [&](TDataSet*, TField* Field) { invalid.push_back(Field); };
    data.Open();
    data.AddRows({{"111"}});
    data.First();
    TDataSource source(nullptr);
    source.SetDataSet(&data);
    const TEditForm made = MakeEditForm();
    TForm* form = made.Form;
    TdwDBCustomEdit* edit = made.Edit;
    edit->SetDataSource(&source);
    edit->SetDataField("CODE");
    edit->SetFocus();
    EXPECT_TRUE(edit->Picture()->IsMaskFromDataSet());
    EXPECT_EQ(edit->Picture()->PictureMask(), "###");
    EXPECT_FALSE(edit->Picture()->AllowInvalidExit());
    // Set through the edit, the mask goes into the data set's line.
    edit->Picture()->SetPictureMask("####");
    EXPECT_EQ(data.PictureMasks.Get(0), "CODE\t####\tT\tT");
    edit->SelectAll();
    TypeText(form, "12");
    PressKey(form, Qt::Key_Tab);
    Settle();
    // The data set's handler hears of it instead of an error; the exit is still refused.
    ASSERT_EQ(invalid.size(), 1u);
    EXPECT_EQ(invalid[0], data.FieldByName("CODE"));
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(dialogs.Beeps, 1);
    edit->SetDataSource(nullptr);
    form->Free();
    Settle();
}

}  // namespace
