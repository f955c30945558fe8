// The data-aware rich edit over the memo field of a real table (DBF with FPT): what it
// shows, what it writes back and when, AutoDisplay.

#include <gtest/gtest.h>

#include <QTimer>

#include "datacontrols/richtext/dwdbriched.h"
#include "datacontrols/richtext/dwrich.h"
#include "platform/classes/screen.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/forms/menus.h"
#include "tests/datacontrols/richtext/notesfixture.h"
#include "tests/support/formtesting.h"

namespace {

TEST_F(DBRichEditTest, ShowsTheMemoAndWritesItBackOnlyWhenTheUserChangedIt)
{
    TdwDBRichEdit* edit = MakeEdit();
    EXPECT_TRUE(edit->IsContentLoaded());
    EXPECT_EQ(edit->Lines()->Get(0), "Payment notice");
    edit->SetSelection(0, 7);
    EXPECT_TRUE(edit->SelCharFormat().Bold);
    EXPECT_TRUE(edit->ReadOnly()) << "read-only until the record is edited";

    // Moving on and posting an untouched record leaves another program's RTF as it was.
    T->Edit();
    T->Post();
    T->Next();
    EXPECT_EQ(edit->Lines()->Get(1), "second line");
    T->First();
    EXPECT_EQ(MemoReadBack(1), Letter);

    edit->SetFocus();
    edit->SetSelStart(0);
    TypeText(Form, "Late ");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(T->State(), dsEdit);
    T->Post();
    const String written = MemoReadBack(1);
    EXPECT_EQ(written.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(written, Letter);
    T->Close();
    T->Open();
    EXPECT_EQ(edit->Lines()->Get(0), "Late Payment notice");
    edit->SetSelection(5, 7);
    EXPECT_TRUE(edit->SelCharFormat().Bold) << "the formats went to the file and came back";
}

TEST_F(DBRichEditTest, WithoutAutoDisplayTheLabelShowsUntilEnterLoadsTheDocument)
{
    TdwDBRichEdit* edit = MakeEdit();
    edit->SetAutoDisplay(false);
    T->Next();
    EXPECT_EQ(edit->Text(), "(NOTES)");
    EXPECT_FALSE(edit->IsContentLoaded());
    edit->SetFocus();
    TypeText(Form, "x");
    EXPECT_EQ(edit->Text(), "(NOTES)") << "keys do nothing before the load";
    PressKey(Form, Qt::Key_Return);
    EXPECT_TRUE(edit->IsContentLoaded());
    EXPECT_EQ(edit->Text(), "just text\r\nsecond line");
    T->Edit();
    T->Post();
    EXPECT_EQ(MemoReadBack(2), "just text\r\nsecond line") << "the placeholder is never written";
}

TEST_F(DBRichEditTest, AnEmptyMemoStartsPlainAndTakesTypedText)
{
    TdwDBRichEdit* edit = MakeEdit();
    edit->Font()->SetColor(clNavy);
    T->Last();
    EXPECT_EQ(edit->Text(), "");
    EXPECT_FALSE(edit->SelParaFormat().Bullet);
    EXPECT_FALSE(edit->Modified());
    edit->SetFocus();
    TypeText(Form, "new note");
    T->Post();
    const String written = MemoReadBack(3);
    EXPECT_NE(written.find("new note"), String::npos) << written;
    T->Close();
    T->Open();
    T->Last();
    EXPECT_EQ(edit->Text(), "new note");
    edit->SetSelection(0, 3);
    EXPECT_EQ(edit->SelCharFormat().Color, clNavy);
}

TEST_F(DBRichEditTest, F2OpensTheEditorAndOKWritesTheFieldAsRtf)
{
    TdwDBRichEdit* edit = MakeEdit();
    T->Next();
    edit->SetFocus();
    QTimer::singleShot(0, [] {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i)
            if (auto* editor = dynamic_cast<TdwRichEditForm*>(Screen()->Forms(i));
                editor && editor->Modal()) {
                EXPECT_EQ(editor->RichEdit1->Text(), "just text\r\nsecond line");
                editor->RichEdit1->SetSelection(0, 4);
                editor->RichEdit1->SetSelBold(true);
                editor->SaveExit1->Click();
                return;
            }
        ADD_FAILURE() << "the editor never showed";
    });
    PressKey(Form, Qt::Key_F2);
    EXPECT_EQ(T->State(), dsEdit);
    T->Post();
    const String written = MemoReadBack(2);
    EXPECT_EQ(written.rfind("{\\rtf1", 0), 0u) << "the plain memo is rich text now";
    EXPECT_EQ(edit->Text(), "just text\r\nsecond line");
    edit->SetSelection(0, 4);
    EXPECT_TRUE(edit->SelCharFormat().Bold);
}

TEST_F(DBRichEditTest, ReadOnlyFollowsTheLinkAndTheTable)
{
    TdwDBRichEdit* edit = MakeEdit();
    EXPECT_FALSE(edit->IsReadOnly());
    edit->SetReadOnly(true);
    EXPECT_TRUE(edit->IsReadOnly());
    edit->SetFocus();
    TypeText(Form, "x");
    EXPECT_EQ(T->State(), dsBrowse);
    edit->SetReadOnly(false);
    T->FieldByName("NOTES")->SetReadOnly(true);
    EXPECT_TRUE(edit->IsReadOnly());
}

TEST_F(DBRichEditTest, OnAnotherParentTheDocumentKeepsItsTextFormatsAndTheUsersChange)
{
    TdwDBRichEdit* edit = MakeEdit();
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(0, 0, 520, 300);
    edit->SetParent(panel);
    EXPECT_TRUE(edit->IsContentLoaded());
    EXPECT_EQ(edit->Lines()->Get(0), "Payment notice");
    edit->SetSelection(0, 7);
    EXPECT_TRUE(edit->SelCharFormat().Bold);
    EXPECT_FALSE(edit->Modified());
    T->Edit();
    T->Post();
    EXPECT_EQ(MemoReadBack(1), Letter) << "a move is no change of the record";

    edit->SetFocus();
    edit->SetSelStart(0);
    TypeText(Form, "Late ");
    edit->SetParent(Form);
    EXPECT_EQ(edit->Lines()->Get(0), "Late Payment notice") << "what was typed is not lost";
    edit->SetSelection(5, 7);
    EXPECT_TRUE(edit->SelCharFormat().Bold);
    EXPECT_EQ(T->State(), dsEdit);
    T->Post();
    T->Close();
    T->Open();
    EXPECT_EQ(edit->Lines()->Get(0), "Late Payment notice");
}

}  // namespace
