// The grid's rich-text cells over the memo of a real table.

#include <gtest/gtest.h>

#include <QDir>

#include "datacontrols/grid/wwdbgrid.h"
#include "platform/db/field.h"
#include "tests/datacontrols/richtext/notesfixture.h"
#include "tests/vcl/formtesting.h"

namespace {

class CellTextGrid : public TdwDBGrid {
public:
    using TdwDBGrid::CellText;
    using TdwDBGrid::TdwDBGrid;
};

class RichGridTest : public DBRichEditTest {
protected:
    CellTextGrid* MakeGrid() {
        T->ControlType.Add("NOTES;RichEdit");
        T->FieldByName("NOTES")->SetDisplayWidth(60);
        auto* grid = new CellTextGrid(Form);
        grid->SetParent(Form);
        grid->SetBounds(8, 8, 500, 120);
        grid->SetDataSource(Source);
        ShowForm(Form);
        return grid;
    }
};

TEST_F(RichGridTest, ACellShowsTheTextOfItsRichTextAndPlainTextAsItStands) {
    auto* grid = MakeGrid();
    TField* notes = T->FieldByName("NOTES");
    const String text = grid->CellText(notes);
    EXPECT_EQ(text.rfind("Payment notice\r\nDear Ms. M\xfcller", 0), 0u) << text;
    EXPECT_EQ(text.find("rtf"), String::npos);
    T->Next();
    EXPECT_EQ(grid->CellText(notes), "just text\r\nsecond line");

    QDir().mkpath(TOTAMUND_SCREENSHOT_DIR);
    T->First();
    grid->Invalidate();
    QCoreApplication::processEvents();
    ASSERT_TRUE(Form->Widget()->window()->grab().save(TOTAMUND_SCREENSHOT_DIR "/grid_richtext.png"));
}

TEST_F(RichGridTest, ALongDocumentShowsOnlyItsBeginning) {
    String rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < 3000; ++i) rtf += "{\\b line} " + std::to_string(i) + "\\par\r\n";
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

}  // namespace
