// The grid's rich-text cells over the memo of a real table.

#include <gtest/gtest.h>

#include <QFrame>
#include <QTimer>

#include "datacontrols/grid/wwdbgrid.h"
#include "datacontrols/richtext/dwdbriched.h"
#include "datacontrols/richtext/dwrich.h"
#include "platform/classes/screen.h"
#include "platform/db/field.h"
#include "tests/datacontrols/richtext/notesfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class CellTextGrid : public TdwDBGrid {
public:
    using TdwDBGrid::CellText;
    using TdwDBGrid::TdwDBGrid;
};

class RichGridTest : public DBRichEditTest {
protected:
    CellTextGrid* MakeGrid(const char* ControlTypeLine = "NOTES;RichEdit")
    {
        T->ControlType.Add(ControlTypeLine);
        T->FieldByName("NOTES")->SetDisplayWidth(60);
        auto* grid = new CellTextGrid(Form);
        grid->SetParent(Form);
        grid->SetBounds(8, 8, 500, 120);
        grid->SetDataSource(Source);
        ShowForm(Form);
        return grid;
    }
};

TEST_F(RichGridTest, ACellShowsTheTextOfItsRichTextAndPlainTextAsItStands)
{
    auto* grid = MakeGrid();
    TField* notes = T->FieldByName("NOTES");
    const String text = grid->CellText(notes);
    EXPECT_EQ(text.rfind("Payment notice\r\nDear Ms. M\xfcller", 0), 0u) << text;
    EXPECT_EQ(text.find("rtf"), String::npos);
    T->Next();
    EXPECT_EQ(grid->CellText(notes), "just text\r\nsecond line");

    T->First();
    grid->Invalidate();
    QCoreApplication::processEvents();
    KeepScreenshot(Form->Widget()->window()->grab(), "grid_richtext.png");
}

TEST_F(RichGridTest, ALongDocumentShowsOnlyItsBeginning)
{
    String rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < 3000; ++i)
        rtf += "{\\b line} " + std::to_string(i) + "\\par\r\n";
    rtf += "}";
    T->Edit();
    T->FieldByName("NOTES")->SetAsString(rtf);
    T->Post();
    auto* grid = MakeGrid();
    const String text = grid->CellText(T->FieldByName("NOTES"));
    EXPECT_EQ(text.rfind("line 0\r\nline 1\r\n", 0), 0u);
    EXPECT_EQ(text.find("line 2999"), String::npos);
    EXPECT_LT(text.size(), 8192u);
}

TEST_F(RichGridTest, TheCurrentCellIsEditedInARichEditThatHandsTheCellMovesToTheGrid)
{
    auto* grid = MakeGrid();
    grid->SetFocus();
    T->Next();
    grid->SetSelectedIndex(1);
    TdwDBRichEdit* editor = grid->RichTextEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(grid->CellControl(), editor);
    EXPECT_TRUE(editor->Visible());
    EXPECT_EQ(editor->BoundsRect(), grid->CellRect(2, 2));
    EXPECT_EQ(editor->Text(), "just text\r\nsecond line");

    TypeText(Form, "Re: ");
    EXPECT_TRUE(editor->Focused()) << "typing over the cell goes into the rich edit";
    EXPECT_EQ(T->State(), dsEdit);
    PressKey(Form, Qt::Key_Home);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(editor->Focused()) << "Home and Alt+Down stay in the cell";
    KeepScreenshot(Form->Widget()->window()->grab(), "grid-richtext-editing.png");
    PressKey(Form, Qt::Key_Down);
    EXPECT_TRUE(grid->Focused()) << "Down leaves the cell";
    EXPECT_EQ(T->FieldByName("ID")->AsString(), "C");
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_NE(MemoReadBack(2).find("Re: just text"), String::npos) << MemoReadBack(2);
    EXPECT_EQ(MemoReadBack(1), Letter) << "an unchanged document is not written";

    EXPECT_EQ(grid->CellControl(), editor) << "the editor follows to the next record";
    // F2 goes to the rich edit, which opens its editor form.
    bool editorShown = false;
    QTimer::singleShot(0, [&] {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i)
            if (auto* form = dynamic_cast<TdwRichEditForm*>(Screen()->Forms(i)); form && form->Modal()) {
                editorShown = true;
                form->SetModalResult(mrCancel);
                return;
            }
    });
    PressKey(Form, Qt::Key_F2);
    EXPECT_TRUE(editorShown) << "F2 opens the rich text editor, not the memo pop-up";
    EXPECT_TRUE(editor->Focused());
    PressKey(Form, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_TRUE(grid->Focused()) << "Ctrl+Home goes to the grid";
    EXPECT_EQ(T->FieldByName("ID")->AsString(), "A");

    grid->SetReadOnly(true);
    grid->SetSelectedIndex(0);
    grid->SetSelectedIndex(1);
    EXPECT_EQ(grid->CellControl(), nullptr) << "a grid that may not edit paints the text only";
    EXPECT_FALSE(editor->Visible());
}

TEST_F(RichGridTest, ARichEditTheControlTypeLineNamesEditsTheCellWithoutAFrame)
{
    auto* named = new TdwDBRichEdit(Form);
    named->SetName("NotesEditor");
    named->SetParent(Form);
    named->SetBounds(8, 200, 200, 60);
    auto* grid = MakeGrid("NOTES;RichEdit;NotesEditor");
    grid->SetFocus();
    T->Next();
    grid->SetSelectedIndex(1);
    ASSERT_EQ(grid->CellControl(), named);
    EXPECT_EQ(grid->RichTextEditor(), nullptr) << "the grid's own rich edit is only the fallback";
    EXPECT_EQ(named->Parent(), grid);
    EXPECT_EQ(named->BoundsRect(), grid->CellRect(2, 2));
    EXPECT_EQ(named->BorderStyle(), bsNone);
    EXPECT_EQ(static_cast<QFrame*>(named->Widget())->frameWidth(), 0) << "a cell's editor draws no frame";
    EXPECT_EQ(named->Text(), "just text\r\nsecond line");

    TypeText(Form, "Re: ");
    EXPECT_TRUE(named->Focused());
    PressKey(Form, Qt::Key_Down);
    EXPECT_TRUE(grid->Focused());
    EXPECT_NE(MemoReadBack(2).find("Re: just text"), String::npos) << MemoReadBack(2);

    // A name that stands for no rich edit leaves the cell to the grid's own, also frameless.
    named->Free();
    T->First();
    grid->SetSelectedIndex(0);
    grid->SetSelectedIndex(1);
    ASSERT_NE(grid->RichTextEditor(), nullptr);
    EXPECT_EQ(grid->CellControl(), grid->RichTextEditor());
    EXPECT_EQ(static_cast<QFrame*>(grid->RichTextEditor()->Widget())->frameWidth(), 0);
}

}  // namespace
