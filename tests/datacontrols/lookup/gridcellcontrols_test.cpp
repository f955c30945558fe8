// The library's combo box and lookup combo as a grid's cell controls over a real payments
// table, driven by keys: shown over the current cell where the grid may edit, typing goes
// into them, Enter and Tab move the grid on, the value reaches the file, and the other
// cells show the controls' display texts.

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/edits/dwdbedit.h"
#include "datacontrols/edits/wwdbcomb.h"
#include "datacontrols/lookup/dwdblook.h"
#include "platform/classes/object.h"
#include "platform/db/field.h"
#include "tests/datacontrols/datasets/lookuptablesfixture.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

const std::vector<FieldLayout> PaymentSchema = {
        {"PAYID", 'C', 5, 0}, {"CLIENT", 'C', 8, 0}, {"KIND", 'C', 1, 0}, {"AMOUNT", 'N', 10, 2}};

enum Column { colPayId, colClient, colKind, colAmount };

class CellTextGrid : public TdwDBGrid {
public:
    using TdwDBGrid::CellText;
    using TdwDBGrid::TdwDBGrid;
};

class GridCellControlsTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Form->SetBounds(0, 0, 560, 300);
        CreateTable("PAYS.DBF", PaymentSchema);
        AppendImages("PAYS.DBF", {Image(PaymentSchema, {"P0001", "C0007", "C", "10.00"}),
                                  Image(PaymentSchema, {"P0002", "C0003", "W", "20.00"}),
                                  Image(PaymentSchema, {"P0003", "", "K", "30.00"})});
        Payments = Table("PAYS");
        Payments->Open();
        Payments->FieldByName("CLIENT")->SetDisplayWidth(14);
        Payments->FieldByName("KIND")->SetDisplayWidth(8);
        PaymentSource = new TDataSource(Form);
        PaymentSource->SetDataSet(Payments);

        Kind = new TdwDBComboBox(Form);
        Kind->SetName("KindCombo");
        Kind->SetParent(Form);
        for (const char* item : {"Cheque\tC", "Wire\tW", "Cash\tK"})
            Kind->Items()->Add(item);
        Kind->SetMapList(true);
        Kind->SetStyle(csDropDownList);
        Client = new TdwDBCustomLookupCombo(Form);
        Client->SetName("ClientCombo");
        Client->SetParent(Form);
        Client->Selected()->Add("NAME1\t16\tName");
        Client->Selected()->Add("ID\t8\tID");
        Client->SetLookupTable(T);
        Client->SetLookupField("ID");

        Grid->Free();
        Cells = new CellTextGrid(Form);
        Grid = Cells;
        Grid->SetParent(Form);
        Grid->SetBounds(8, 8, 540, 150);
        Grid->SetTabStop(true);
        Grid->ControlType()->Add("CLIENT;LookupCombo;ClientCombo");
        Grid->ControlType()->Add("KIND;Combo;KindCombo");
    }
    void TearDown() override
    {
        ForgetHeldInput();
        GridTest::TearDown();
    }
    void Start()
    {
        Grid->SetDataSource(PaymentSource);
        ShowForm(Form);
        Grid->SetFocus();
    }
    void Go(Column DataCol, int Record)
    {
        Payments->First();
        Payments->MoveBy(Record);
        Grid->SetSelectedIndex(DataCol);
    }
    TRect Cell(Column DataCol, int DataRow) { return Grid->CellRect(DataCol + 1, DataRow + 1); }
    // Each record's text of the column as the grid paints it.
    std::vector<String> ColumnTexts(const char* Name)
    {
        std::vector<String> texts;
        for (Payments->First(); !Payments->Eof(); Payments->Next())
            texts.push_back(Cells->CellText(Payments->FieldByName(Name)));
        return texts;
    }
    String Stored(int Record) { return ReadBack("PAYS.DBF").at(static_cast<size_t>(Record)); }
    void SaveScreenshot(QWidget* Popup, const char* Name)
    {
        QCoreApplication::processEvents();
        QWidget* window = Form->Widget()->window();
        QImage image(window->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        painter.drawPixmap(0, 0, window->grab());
        if (Popup && Popup->isVisible())
            painter.drawPixmap(window->mapFromGlobal(Popup->mapToGlobal(QPoint(0, 0))), Popup->grab());
        painter.end();
        KeepScreenshot(image, Name);
    }

    TDaroruTable* Payments = nullptr;
    TDataSource* PaymentSource = nullptr;
    TdwDBComboBox* Kind = nullptr;
    TdwDBCustomLookupCombo* Client = nullptr;
    CellTextGrid* Cells = nullptr;
};

TEST_F(GridCellControlsTest, TheOtherCellsShowTheCombosDisplayTexts)
{
    Start();
    EXPECT_EQ(ColumnTexts("KIND"), (std::vector<String> {"Cheque", "Wire", "Cash"}));
    EXPECT_EQ(ColumnTexts("CLIENT"), (std::vector<String> {"Name 0007", "Name 0003", ""}));
    EXPECT_EQ(ColumnTexts("PAYID"), (std::vector<String> {"P0001", "P0002", "P0003"}));
    // Painting every row looks the names up and puts the lookup table back.
    Go(colPayId, 1);
    ASSERT_EQ(CurrentId(), "C0003");
    Grid->Invalidate();
    QCoreApplication::processEvents();
    EXPECT_EQ(CurrentId(), "C0003");
}

TEST_F(GridCellControlsTest, TheComboShowsOverTheCurrentCellOnlyWhereTheGridMayEdit)
{
    Start();
    Go(colKind, 1);
    ASSERT_EQ(Grid->CellControl(), Kind);
    EXPECT_EQ(Kind->Parent(), Grid);
    EXPECT_TRUE(Kind->Visible());
    EXPECT_EQ(Kind->BoundsRect(), Cell(colKind, 1));
    EXPECT_EQ(Kind->Text(), "Wire");
    Go(colClient, 0);
    ASSERT_EQ(Grid->CellControl(), Client);
    EXPECT_FALSE(Kind->Visible());
    EXPECT_EQ(Client->Text(), "Name 0007");
    EXPECT_EQ(Client->TextMargins().Left, 2) << "the text stands 2 pixels in from the cell's edges";
    EXPECT_EQ(Client->TextMargins().Top, 2);

    // A grid that does not edit (as the transaction grid) keeps plain cells.
    Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgEditing});
    Grid->SetSelectedIndex(colKind);
    EXPECT_EQ(Grid->CellControl(), nullptr);
    EXPECT_FALSE(Client->Visible());
    TypeText(Form, "w");
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(Payments->State(), dsBrowse);
    EXPECT_FALSE(Kind->IsDroppedDown());
    EXPECT_EQ(ColumnTexts("KIND"), (std::vector<String> {"Cheque", "Wire", "Cash"}));
}

// The grid gives its cells' controls their heights: a large font does not raise the combo.
TEST_F(GridCellControlsTest, TheLookupComboKeepsTheCellsHeightWhateverItsFont)
{
    ASSERT_TRUE(Client->AutoSize());
    Start();
    Go(colClient, 1);
    ASSERT_EQ(Grid->CellControl(), Client);
    Client->Font()->SetSize(24);
    EXPECT_GT(Client->LineHeight(), Client->Height());
    EXPECT_EQ(Client->BoundsRect(), Cell(colClient, 1));
    TypeText(Form, "Name 01");
    EXPECT_TRUE(Client->Focused());
    EXPECT_EQ(Client->BoundsRect(), Cell(colClient, 1)) << "typing leaves the cell's height";
    Go(colClient, 0);
    EXPECT_EQ(Client->BoundsRect(), Cell(colClient, 0)) << "and so does the next row";
}

TEST_F(GridCellControlsTest, TypingChoosesTheComboItemAndTabMovesOnAndWrites)
{
    Start();
    Go(colKind, 0);
    TypeText(Form, "w");
    EXPECT_TRUE(Kind->Focused()) << "typing over the cell goes into its combo";
    EXPECT_EQ(Kind->Text(), "Wire") << "the first letter chooses the item";
    PressKey(Form, Qt::Key_Tab);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->SelectedIndex(), colAmount) << "Tab moves to the next column";
    EXPECT_EQ(Payments->FieldByName("KIND")->AsString(), "W");
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(Payments->State(), dsBrowse);
    EXPECT_EQ(Stored(0), "P0001|C0007|W|10.0");

    // Back with Shift+Tab; Alt+Down drops the list down, Enter picks, Enter again goes on.
    Go(colAmount, 2);
    PressKey(Form, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Grid->SelectedIndex(), colKind);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Kind->IsDroppedDown());
    SaveScreenshot(Kind->PopupList()->Widget(), "grid-combocell-open.png");
    PressKey(Form, Qt::Key_Up);
    PressKey(Form, Qt::Key_Return);
    EXPECT_FALSE(Kind->IsDroppedDown());
    EXPECT_TRUE(Kind->Focused());
    EXPECT_EQ(Kind->Text(), "Wire");
    PressKey(Form, Qt::Key_Return);
    EXPECT_TRUE(Grid->Focused()) << "Enter writes the value and gives the grid back the keys";
    EXPECT_EQ(Grid->SelectedIndex(), colKind) << "without EnterToTab Enter stays in the cell";
    EXPECT_EQ(Payments->FieldByName("KIND")->AsString(), "W");
    Payments->Post();
    EXPECT_EQ(Stored(2), "P0003||W|30.0");
}

TEST_F(GridCellControlsTest, WithEnterToTabEnterFromTheComboMovesToTheNextColumn)
{
    Grid->SetKeyOptions(Grid->KeyOptions() + TdwDBGridKeyOptions {dgEnterToTab});
    Start();
    Go(colKind, 1);
    TypeText(Form, "c");
    EXPECT_EQ(Kind->Text(), "Cash") << "the next item after Wire that begins with C";
    PressKey(Form, Qt::Key_Return);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->SelectedIndex(), colAmount);
    EXPECT_EQ(Payments->FieldByName("KIND")->AsString(), "K");
}

TEST_F(GridCellControlsTest, TheDropDownKeysPressedInTheGridGoToTheCellsControl)
{
    struct Case {
        Column DataCol;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
    };
    const Case cases[] = {{colKind, Qt::Key_F4, Qt::NoModifier},
                          {colKind, Qt::Key_Up, Qt::AltModifier},
                          {colClient, Qt::Key_Up, Qt::AltModifier},
                          {colClient, Qt::Key_PageDown, Qt::AltModifier}};
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "column " << c.DataCol << " key " << c.Key);
        Go(c.DataCol, 1);
        ASSERT_TRUE(Grid->Focused());
        auto* control = dynamic_cast<TWinControl*>(Grid->CellControl());
        ASSERT_NE(control, nullptr);
        PressKey(Form, c.Key, c.Modifiers);
        EXPECT_TRUE(control->Focused()) << "the control takes the key and the focus";
        EXPECT_TRUE(c.DataCol == colKind ? Kind->IsDroppedDown() : Client->IsDroppedDown());
        EXPECT_EQ(Payments->FieldByName("PAYID")->AsString(), "P0002") << "the grid did not move";
        PressKey(Form, Qt::Key_Escape);
        PressKey(Form, Qt::Key_Escape);
        Grid->SetFocus();
        EXPECT_FALSE(Kind->IsDroppedDown() || Client->IsDroppedDown());
    }
    // Keys the controls hand back stay the grid's.
    Go(colClient, 1);
    PressKey(Form, Qt::Key_Up);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Payments->FieldByName("PAYID")->AsString(), "P0001");
}

TEST_F(GridCellControlsTest, TheLookupCellSearchesAndWritesTheKey)
{
    Start();
    Go(colClient, 2);
    ASSERT_EQ(Grid->CellControl(), Client);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Client->IsDroppedDown()) << "Alt+Down over the cell drops the lookup grid down";
    EXPECT_TRUE(Client->Focused());
    TypeText(Form, "name 015");
    QTest::qWait(300);
    EXPECT_EQ(CurrentId(), "C0150") << "typing searches the lookup table";
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(Client->Text(), "Name 0151");
    SaveScreenshot(Client->Grid()->Widget(), "grid-lookupcell-open.png");
    PressKey(Form, Qt::Key_Return);
    EXPECT_FALSE(Client->IsDroppedDown());
    EXPECT_TRUE(Client->Focused()) << "the open grid's Enter is the combo's";
    EXPECT_EQ(Payments->FieldByName("CLIENT")->AsString(), "C0151");
    PressKey(Form, Qt::Key_Tab);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->SelectedIndex(), colKind);
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(Payments->State(), dsBrowse);
    EXPECT_EQ(Stored(2), "P0003|C0151|K|30.0");
    EXPECT_EQ(ColumnTexts("CLIENT"), (std::vector<String> {"Name 0007", "Name 0003", "Name 0151"}));

    // With the grid closed, Up and Down move between records, the combo following.
    Go(colClient, 1);
    ASSERT_EQ(Grid->CellControl(), Client);
    PressKey(Form, Qt::Key_F2);
    EXPECT_TRUE(Client->Focused()) << "F2 goes to the cell's control";
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(Payments->FieldByName("PAYID")->AsString(), "P0001");
    EXPECT_EQ(Client->Text(), "Name 0007");
    EXPECT_EQ(Client->BoundsRect(), Cell(colClient, 0));
    EXPECT_TRUE(Client->Focused());
}

TEST_F(GridCellControlsTest, AnEditInTheCellHandsEnterTabAndTheEdgesToTheGrid)
{
    auto* amount = new TdwDBCustomEdit(Form);
    amount->SetName("AmountEdit");
    amount->SetParent(Form);
    Grid->ControlType()->Add("AMOUNT;CustomEdit;AmountEdit");
    Start();
    Go(colAmount, 0);
    ASSERT_EQ(Grid->CellControl(), amount);
    EXPECT_EQ(amount->Text(), "10.00");
    TypeText(Form, "12.5");
    EXPECT_TRUE(amount->Focused());
    EXPECT_EQ(amount->Text(), "12.5");
    PressKey(Form, Qt::Key_Tab);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->SelectedIndex(), colPayId) << "Tab past the last column goes to the next record";
    EXPECT_EQ(Payments->FieldByName("PAYID")->AsString(), "P0002");
    EXPECT_EQ(Stored(0), "P0001|C0007|C|12.5");
    Go(colAmount, 2);
    ASSERT_EQ(Grid->CellControl(), amount);
    ASSERT_TRUE(Grid->Focused());
    PressKey(Form, Qt::Key_Backspace);
    EXPECT_TRUE(amount->Focused()) << "Backspace over the cell goes into its edit too";
    EXPECT_EQ(amount->Text(), "");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(amount->Text(), "30.00") << "Esc takes it back";
    PressKey(Form, Qt::Key_F2);
    EXPECT_TRUE(Grid->Focused()) << "F2 in the edit gives the grid back the keys";

    // Left at the start of the text stays in the edit unless the grid always shows its
    // editor; then it moves to the column before.
    Go(colAmount, 1);
    PressKey(Form, Qt::Key_F2);
    ASSERT_TRUE(amount->Focused());
    PressKey(Form, Qt::Key_Home);
    PressKey(Form, Qt::Key_Left);
    EXPECT_EQ(Grid->SelectedIndex(), colAmount);
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgAlwaysShowEditor});
    ASSERT_TRUE(amount->Focused());
    amount->SetSelStart(0);
    PressKey(Form, Qt::Key_Left);
    EXPECT_EQ(Grid->SelectedIndex(), colKind);
    EXPECT_EQ(Grid->CellControl(), Kind);
}

using GridLookupFieldsTest = LookupTablesTest;

TEST_F(GridLookupFieldsTest, ADisplayFieldShowsTheLookupRecordsWholeText)
{
    AddDisplayFields({"STNAME"}, 5);
    AddLookup("STNAME", "SNAME", "STATE;CODE");
    T->Open();
    TForm* form = Construct<TForm>(nullptr);
    auto* source = new TDataSource(form);
    source->SetDataSet(T);
    auto* grid = new CellTextGrid(form);
    grid->SetParent(form);
    grid->SetDataSource(source);
    TField* display = T->FieldByName("STNAME");
    const struct {
        int Row;
        const char* Stored;
        const char* Shown;
    } rows[] = {{5, "Calif", "California"}, {3, "Texas", "Texas"}, {4, "", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Row);
        T->Go(row.Row);
        EXPECT_EQ(Text("STNAME"), row.Stored) << "the display field holds as much as it is wide";
        EXPECT_EQ(TrimRight(grid->CellText(display)), row.Shown);
    }
    EXPECT_EQ(grid->CellText(T->FieldByName("ID")), T->FieldByName("ID")->DisplayText());
    form->Free();
}

}  // namespace
