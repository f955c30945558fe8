// The lookup combo's drop-down under the mouse as the window system delivers it: a
// press dragged from the combo into the open grid, the rows scrolling while the mouse
// is held past them, the scroll bar's arrows; and the list's last column filling it.

#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "datacontrols/lookup/dwdblook.h"
#include "platform/db/field.h"
#include "tests/datacontrols/lookup/lookupcombofixture.h"
#include "tests/support/formtesting.h"

namespace {

class LookupListMouseTest : public LookupComboTest {
protected:
    void SetUp() override
    {
        LookupComboTest::SetUp();
        // Far enough into the table for rows above and below the field's record.
        Payments->Edit();
        Payments->FieldByName("CLIENT")->SetAsString("C0150");
        Payments->Post();
        MakeCombo<TdwDBCustomLookupCombo>();
        ShowWithCombo();
        // The mouse reaches a window only once the window system shows it.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormWindow()));
    }

    // The mouse moved to the point first, as a user's is: Qt would otherwise make up
    // the move itself and, the first time, deliver the press twice.
    void PressOn(const QPoint& At)
    {
        MoveTo(At);
        QTest::mousePress(FormWindow(), Qt::LeftButton, Qt::NoModifier, At);
        QCoreApplication::processEvents();
    }
    QWindow* FormWindow() { return Form->Widget()->window()->windowHandle(); }
    // A point of the form's window over a control, which may lie in another window.
    QPoint Over(TControl* Control, int X, int Y)
    {
        const QPoint global = Control->Widget()->mapToGlobal(QPoint(X, Y));
        return FormWindow()->mapFromGlobal(global);
    }
    QPoint OverRow(int DataRow)
    {
        TdwPopupGrid* grid = Combo->Grid();
        const TRect cell = grid->CellRect(grid->IndicatorOffset(), grid->TitleOffset() + DataRow);
        return Over(grid, cell.Left + 6, (cell.Top + cell.Bottom) / 2);
    }
    // A click on the open grid, in its own window.
    void ClickGrid(int X, int Y)
    {
        QWidget* grid = Combo->Grid()->Widget();
        QTest::mouseClick(grid->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          grid->mapTo(grid->window(), QPoint(X, Y)));
        QCoreApplication::processEvents();
    }
    void MoveTo(const QPoint& At)
    {
        QTest::mouseMove(FormWindow(), At);
        QCoreApplication::processEvents();
    }
    // The key of the record shown in that row of the open grid.
    String RowId(int DataRow)
    {
        TdwGridDataLink* link = Combo->Grid()->DataLink();
        const int active = link->ActiveRecord();
        link->SetActiveRecord(DataRow);
        const String id = CurrentId();
        link->SetActiveRecord(active);
        return id;
    }
    static int Number(const String& Id) { return std::stoi(Id.substr(1)); }
    String PaymentClient() { return Payments->FieldByName("CLIENT")->AsString(); }
};

TEST_F(LookupListMouseTest, APressDraggedFromTheButtonIntoTheGridPicksTheRowLetGo)
{
    PressOn(Over(Combo->Button(), 4, 4));
    ASSERT_TRUE(Combo->IsDroppedDown()) << "the press itself drops the grid down";
    EXPECT_EQ(CurrentId(), "C0150");

    MoveTo(OverRow(1));
    EXPECT_TRUE(Combo->Grid()->Tracking()) << "the press went over to the grid";
    EXPECT_EQ(CurrentId(), RowId(1)) << "the row under the mouse is current";
    MoveTo(OverRow(4));
    const String underMouse = RowId(4);
    EXPECT_EQ(CurrentId(), underMouse);
    EXPECT_EQ(PaymentClient(), "C0150") << "nothing is picked while the button is held";
    KeepScreenshot(FormWithDropDown(), "lookuplistdrag.png");

    QTest::mouseRelease(FormWindow(), Qt::LeftButton, Qt::NoModifier, OverRow(4));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_FALSE(Combo->Grid()->Tracking());
    EXPECT_EQ(Combo->Text(), T->FieldByName("NAME1")->AsString());
    EXPECT_EQ(PostedPayments()[0], "P0001|" + underMouse + "|10.0");
}

TEST_F(LookupListMouseTest, APressDraggedFromTheTextOfADropDownListOpensAndPicks)
{
    Combo->SetStyle(csDropDownList);
    PressOn(Over(Combo, 10, 8));
    ASSERT_TRUE(Combo->IsDroppedDown());
    MoveTo(OverRow(2));
    const String underMouse = RowId(2);
    EXPECT_EQ(CurrentId(), underMouse);
    QTest::mouseRelease(FormWindow(), Qt::LeftButton, Qt::NoModifier, OverRow(2));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(PostedPayments()[0], "P0001|" + underMouse + "|10.0");
}

TEST_F(LookupListMouseTest, HeldAboveOrBelowTheRowsTheGridScrollsUntilLetGo)
{
    TdwPopupGrid* grid = Combo->Grid();
    PressOn(Over(Combo->Button(), 4, 4));
    MoveTo(OverRow(0));
    const int top = Number(RowId(0));

    // Held above the grid: a record further up every tick.
    MoveTo(Over(grid, 10, -8));
    QTest::qWait(400);
    const int reached = Number(CurrentId());
    EXPECT_LT(reached, top - 2) << "the timer kept scrolling up";
    EXPECT_EQ(RowId(0), CurrentId()) << "the current record is the top row";

    // Back over the rows the scrolling stops.
    MoveTo(OverRow(1));
    const String steady = CurrentId();
    QTest::qWait(200);
    EXPECT_EQ(CurrentId(), steady);

    const int rows = grid->VisibleRowCount();
    MoveTo(Over(grid, 10, grid->ClientHeight() + 8));
    QTest::qWait(300);
    EXPECT_GT(Number(CurrentId()), Number(steady) + rows) << "below the grid it scrolls down";

    const String picked = CurrentId();
    QTest::mouseRelease(FormWindow(), Qt::LeftButton, Qt::NoModifier,
                        Over(grid, 10, grid->ClientHeight() + 8));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(PostedPayments()[0], "P0001|" + picked + "|10.0") << "letting go picks the current record";
}

TEST_F(LookupListMouseTest, TheScrollBarArrowsScrollByARowAndTheKeysStartFromTheValue)
{
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    TdwPopupGrid* grid = Combo->Grid();
    ASSERT_TRUE(grid->Visible());
    const TRect bar = grid->VertScrollBarRect();
    ASSERT_GT(bar.Right, bar.Left);
    const int rows = grid->VisibleRowCount();
    const String last = RowId(rows - 1);

    // The down arrow: the record just below the last row shown, one row scrolled.
    ClickGrid(bar.Left + 3, bar.Bottom - 3);
    EXPECT_TRUE(Combo->IsDroppedDown()) << "scrolling picks nothing";
    EXPECT_EQ(Number(CurrentId()), Number(last) + 1);
    EXPECT_EQ(RowId(rows - 2), last);
    EXPECT_EQ(Combo->Text(), "Name 0150");

    // The up arrow: the record just above the first row shown.
    const String first = RowId(0);
    ClickGrid(bar.Left + 3, bar.Top + 3);
    EXPECT_EQ(Number(CurrentId()), Number(first) - 1);
    EXPECT_EQ(RowId(1), first);

    // The value's row is still shown: Down goes on from it, not from the current record.
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(CurrentId(), "C0151");
    EXPECT_EQ(Combo->Text(), "Name 0151");
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(PostedPayments()[0], "P0001|C0151|10.0");
}

TEST_F(LookupListMouseTest, TheLastColumnTakesTheWidthTheOthersLeave)
{
    auto* list = new TdwDBLookupList(Form);
    list->SetParent(Form);
    list->SetUseTFields(false);
    list->Selected()->Add("NAME1\t16\tName");
    list->Selected()->Add("ID\t8\tID");
    list->SetLookupTable(T);
    list->SetLookupField("ID");
    list->SetBounds(8, 40, 400, 90);
    QCoreApplication::processEvents();
    const auto lastFills = [&](int LineWidth) {
        return list->ColWidths(0) + LineWidth + list->ColWidths(1) == list->CellsWidth();
    };
    EXPECT_TRUE(lastFills(0));
    const int name = list->ColWidths(0);
    EXPECT_GT(list->ColWidths(1), name) << "the narrow ID column took the rest";

    list->SetLookupOptions({loColLines});
    EXPECT_TRUE(lastFills(1)) << "with column lines each other column counts one more";

    // When the others fill the list, the last keeps its own width.
    list->SetBounds(8, 40, name + 30, 90);
    QCoreApplication::processEvents();
    EXPECT_FALSE(lastFills(1));
    EXPECT_LT(list->ColWidths(1), name);

    // A single column always fills the list, narrower than its own width too.
    list->Selected()->Delete(1);
    list->SetBounds(8, 40, name, 90);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->ColWidths(0), list->CellsWidth());
    EXPECT_LT(list->ColWidths(0), name);

    // The drop-down's columns fill it as well.
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    TdwPopupGrid* grid = Combo->Grid();
    EXPECT_EQ(grid->ColWidths(0) + grid->ColWidths(1), grid->CellsWidth());
}

}  // namespace
