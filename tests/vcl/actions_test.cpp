// The edit actions carried out on the focused edit, and their states.

#include <gtest/gtest.h>

#include "platform/vcl/controls/edits.h"
#include "platform/vcl/forms/actions.h"
#include "platform/vcl/forms/clipbrd.h"
#include "tests/support/formtesting.h"

namespace {

TEST(EditActions, WorkOnTheFocusedEditAndSayWhenTheyCan)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* other = new TEdit(form);
    other->SetParent(form);
    other->SetTop(40);
    // Owned by the form, as a form's action list holds them.
    TEditCut& cut = *new TEditCut(form);
    TEditCopy& copy = *new TEditCopy(form);
    TEditPaste& paste = *new TEditPaste(form);
    TEditSelectAll& selectAll = *new TEditSelectAll(form);
    TEditUndo& undo = *new TEditUndo(form);
    TEditDelete& del = *new TEditDelete(form);
    ShowForm(form);
    edit->SetFocus();
    TypeText(form, "Acme Supply");

    edit->SetSelStart(0);
    edit->SetSelLength(0);
    for (TBasicAction* action : std::initializer_list<TBasicAction*> {&cut, &copy, &del}) {
        ASSERT_TRUE(action->Update());
        EXPECT_FALSE(action->Enabled()) << action->ClassName() << ": nothing selected";
    }
    ASSERT_TRUE(undo.Update());
    EXPECT_TRUE(undo.Enabled());
    ASSERT_TRUE(selectAll.Execute());
    EXPECT_EQ(edit->SelText(), "Acme Supply");
    edit->SetSelLength(4);
    ASSERT_TRUE(copy.Update());
    EXPECT_TRUE(copy.Enabled());
    ASSERT_TRUE(copy.Execute());
    EXPECT_EQ(Clipboard()->AsText(), "Acme");
    edit->SetSelStart(5);
    edit->SetSelLength(6);
    ASSERT_TRUE(cut.Execute());
    EXPECT_EQ(edit->Text(), "Acme ");
    EXPECT_EQ(Clipboard()->AsText(), "Supply");
    ASSERT_TRUE(undo.Execute());
    EXPECT_EQ(edit->Text(), "Acme Supply");
    edit->SetSelStart(0);
    edit->SetSelLength(5);
    ASSERT_TRUE(del.Execute());
    EXPECT_EQ(edit->Text(), "Supply");
    Clipboard()->SetAsText("Big ");
    edit->SetSelStart(0);
    ASSERT_TRUE(paste.Execute());
    EXPECT_EQ(edit->Text(), "Big Supply");

    // Read-only, the edit may be copied from but not changed.
    edit->SetReadOnly(true);
    edit->SelectAll();
    for (TBasicAction* action : std::initializer_list<TBasicAction*> {&cut, &paste, &del}) {
        ASSERT_TRUE(action->Update());
        EXPECT_FALSE(action->Enabled()) << action->ClassName();
    }
    copy.Update();
    EXPECT_TRUE(copy.Enabled());

    // An action with its own handler runs that; the edits are the focused one's.
    int handled = 0;
    copy.OnExecute = [&](TObject*) { ++handled; };
    EXPECT_TRUE(copy.Execute());
    EXPECT_EQ(handled, 1);
    other->SetFocus();
    EXPECT_TRUE(selectAll.Execute());
    EXPECT_EQ(edit->SelLength(), 0) << "the other edit was the target";
    EXPECT_FALSE(edit->ExecuteAction(&selectAll)) << "not focused";
    form->Free();
}

}  // namespace
