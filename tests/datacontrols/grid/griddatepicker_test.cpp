// The grid's date cells over a real transactions table: an editing grid edits DATE with
// the picker and posts it to the file; a grid set up as the transaction grid is (no
// editing) keeps DATE an ordinary text cell.

#include <gtest/gtest.h>

#include "datacontrols/grid/wwdbgrid.h"
#include "platform/classes/object.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"
#include "tests/support/tablefixture.h"

namespace {

class GridDatePickerTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("TOTTRANS.DBF", TransactionSchema);
        std::vector<String> first(TransactionSchema.size()), second(TransactionSchema.size());
        first[4] = "ACME";
        first[8] = "20080315";
        first[9] = "1";
        second[4] = "BOLT";
        second[8] = "20080401";
        second[9] = "2";
        AppendImages("TOTTRANS.DBF", {Image(TransactionSchema, first), Image(TransactionSchema, second)});
        T = Table("TOTTRANS.DBF");
        T->Open();
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 620, 260);
        Source = new TDataSource(Form);
        Source->SetDataSet(T);
        Grid = new TdwDBGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(8, 8, 600, 200);
        Grid->SetTabStop(true);
    }
    void TearDown() override
    {
        Form->Free();
        TableTest::TearDown();
    }
    void Start()
    {
        Grid->SetDataSource(Source);
        ShowForm(Form);
        Grid->SetFocus();
        Grid->SetSelectedIndex(T->FieldByName("DATE")->Index());
    }

    TScriptedDialogs Dialogs;
    TDaroruTable* T = nullptr;
    TForm* Form = nullptr;
    TDataSource* Source = nullptr;
    TdwDBGrid* Grid = nullptr;
};

TEST_F(GridDatePickerTest, AnEditingGridPostsTheDateTypedIntoItsPicker)
{
    Start();
    ASSERT_NE(Grid->DateTimePicker(), nullptr);
    EXPECT_EQ(Grid->CellControl(), Grid->DateTimePicker()) << "the picker stands on the current date cell";
    EXPECT_EQ(Grid->DateTimePicker()->Text(), "03/15/2008");
    TypeText(Form, "1231");
    EXPECT_TRUE(Grid->DateTimePicker()->Focused());
    EXPECT_EQ(Grid->DateTimePicker()->Text(), "12/31/2008");
    QCoreApplication::processEvents();
    KeepScreenshot(Form->Widget()->window()->grab(), "grid-datepicker.png");
    PressKey(Form, Qt::Key_Return);
    EXPECT_TRUE(Grid->Focused());
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(T->State(), dsBrowse) << "moving on posts the record";
    T->Close();
    const std::vector<String> rows = ReadBack("TOTTRANS.DBF");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].find("|ACME|"), String::npos);
    EXPECT_NE(rows[0].find("|2008-12-31|"), String::npos) << rows[0];
    EXPECT_NE(rows[1].find("|2008-04-01|"), String::npos) << rows[1];
}

TEST_F(GridDatePickerTest, TheTransactionGridKeepsItsDateAsText)
{
    // The transaction grid's options: no editing, two title lines, word wrap.
    Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgEditing});
    std::vector<String> keys;
    Grid->OnKeyPress = [&](TObject*, char& Key) { keys.push_back(String(1, Key)); };
    Start();
    EXPECT_EQ(Grid->CellControl(), nullptr);
    EXPECT_EQ(Grid->DateTimePicker(), nullptr) << "not even made";
    TypeText(Form, "12");
    EXPECT_EQ(keys, std::vector<String>({"1", "2"})) << "typed keys stay the grid's";
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(T->FieldByName("DATE")->DisplayText(), "03/15/2008");
}

}  // namespace
