// Editing cells in place: typing starts the editor, moving posts, Esc takes back.

#include <gtest/gtest.h>

#include "datacontrols/wwinplaceedit.h"
#include "platform/db/field.h"
#include "platform/vcl/scripteddialogs.h"
#include "tests/datacontrols/gridfixture.h"
#include "tests/vcl/formtesting.h"

namespace {

class GridEditTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        ShowForm(Form);
        Grid->SetFocus();
        Grid->SetSelectedIndex(6);  // CITY
        ASSERT_EQ(Grid->SelectedField()->FieldName(), "CITY");
    }
    String City() { return T->FieldByName("CITY")->AsString(); }
    TScriptedDialogs Dialogs;
};

TEST_F(GridEditTest, TypingEditsTheCellAndMovingDownPostsIt)
{
    std::vector<String> changed;
    Grid->OnFieldChanged = [&](TObject*, TField* Field) { changed.push_back(Field->FieldName()); };
    TypeText(Form, "Ogden");
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "Ogden");
    EXPECT_EQ(T->State(), dsEdit);
    PressKey(Form, Qt::Key_Down);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(CurrentId(), "C0002");
    EXPECT_EQ((std::vector<String>{"CITY"}), changed);
    T->First();
    EXPECT_EQ(City(), "Ogden");
    EXPECT_EQ(ReadBack("CLIENTS.DBF").size(), 300u);
}

TEST_F(GridEditTest, EscTakesBackTheTypingThenTheRecord)
{
    PressKey(Form, Qt::Key_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "Springfield");
    TypeText(Form, "x");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "Springfield");
    EXPECT_TRUE(Grid->EditorMode());
    PressKey(Form, Qt::Key_Escape);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(T->State(), dsBrowse) << "an unmodified record is cancelled without asking";
    EXPECT_TRUE(Dialogs.Messages.empty());
    EXPECT_EQ(City(), "Springfield");
}

TEST_F(GridEditTest, CellsThatMayNotBeEditedKeepTheirText)
{
    struct Case {
        const char* What;
        std::function<void()> Setup;
    };
    const Case cases[] = {
        {"read-only grid", [this] { Grid->SetReadOnly(true); }},
        {"read-only field", [this] { T->FieldByName("CITY")->SetReadOnly(true); }},
        {"no editing option", [this] { Grid->SetOptions(Grid->Options() - TdwDBGridOptions{dgEditing}); }},
    };
    for (const Case& c : cases) {
        c.Setup();
        Grid->SetSelectedIndex(6);
        TypeText(Form, "Q");
        PressKey(Form, Qt::Key_F2);
        EXPECT_FALSE(Grid->EditorMode()) << c.What;
        EXPECT_EQ(T->State(), dsBrowse) << c.What;
        Grid->SetReadOnly(false);
        T->FieldByName("CITY")->SetReadOnly(false);
        Grid->SetOptions(Grid->Options() + TdwDBGridOptions{dgEditing});
    }
}

}  // namespace
