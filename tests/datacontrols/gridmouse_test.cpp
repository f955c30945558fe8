// Sizing and moving columns by their titles, title buttons and picking a cell with the mouse.

#include <QMouseEvent>
#include <gtest/gtest.h>

#include "platform/db/field.h"
#include "tests/datacontrols/gridfixture.h"
#include "tests/vcl/formtesting.h"

namespace {

class GridMouseTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        ShowForm(Form);
        Grid->OnColumnMoved = [this](TObject*, int From, int To) { Moves.push_back({From, To}); };
        Grid->OnColWidthChanged = [this](TObject*, int Column) { Sized.push_back(Column); };
        Grid->OnTitleButtonClick = [this](TObject*, const String& Name) { Clicked.push_back(Name); };
    }
    // The centre of a grid cell, in the grid's widget.
    QPoint Centre(int Col, int Row)
    {
        const TRect r = Grid->CellRect(Col, Row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void Drag(QPoint From, QPoint To)
    {
        QWidget* w = Grid->Widget();
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, From);
        QTest::mouseMove(w, QPoint((From.x() + To.x()) / 2, From.y()));
        QTest::mouseMove(w, To);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, To);
    }
    // The mouse moving over the grid without a button held. The controls' widgets do not
    // track the mouse yet, so the move is sent as the window system would send it.
    void Hover(QPoint At)
    {
        QWidget* w = Grid->Widget();
        QMouseEvent move(QEvent::MouseMove, QPointF(At), QPointF(w->mapToGlobal(At)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    }
    int CharWidth()
    {
        Grid->Canvas()->SetFont(Grid->Font());
        return Grid->Canvas()->TextWidth("0");
    }

    std::vector<std::pair<int, int>> Moves;
    std::vector<int> Sized;
    std::vector<String> Clicked;
};

TEST_F(GridMouseTest, DraggingATitleMovesTheFieldAndClickingItIsATitleButton)
{
    Grid->SetTitleButtons(true);
    Drag(Centre(2, 0), Centre(4, 0));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 3}}), Moves);
    EXPECT_EQ(Grid->GetFields(3)->FieldName(), "ID");
    EXPECT_EQ(T->FieldByName("ID")->Index(), 3);
    EXPECT_TRUE(Clicked.empty()) << "a drag is no click";

    Drag(Centre(3, 0), Centre(3, 0));
    EXPECT_EQ((std::vector<String>{"NAME2"}), Clicked);
    EXPECT_EQ(Moves.size(), 1u);
}

TEST_F(GridMouseTest, MovingWithoutTFieldsReordersTheSelectedLines)
{
    Grid->SetUseTFields(false);
    TStringList lines;
    for (const char* line : {"ID\t5\tId", "NAME1\t10\tName", "CITY\t8\tTown"})
        lines.Add(line);
    Grid->SetSelected(&lines);
    Drag(Centre(3, 0), Centre(1, 0));
    EXPECT_EQ(Grid->Selected()->Strings(0), "CITY\t8\tTown");
    EXPECT_EQ(Grid->GetFields(0)->FieldName(), "CITY");
    EXPECT_EQ(Grid->GetFields(1)->FieldName(), "ID");
}

TEST_F(GridMouseTest, SizingAColumnKeepsItsWidthInCharacters)
{
    const TRect id = Grid->CellRect(2, 0);
    const int w0 = CharWidth();
    Drag(QPoint(id.Right - 1, 5), QPoint(id.Left + 12 * w0 + 4, 5));
    EXPECT_EQ((std::vector<int>{1}), Sized);
    EXPECT_EQ(T->FieldByName("ID")->DisplayWidth(), 12);

    Grid->SetUseTFields(false);
    TStringList lines;
    lines.Add("NAME1\t10\tName\tT");
    Grid->SetSelected(&lines);
    const TRect name = Grid->CellRect(1, 0);
    Drag(QPoint(name.Right - 1, 5), QPoint(name.Left + 3 * w0 + 4, 5));
    EXPECT_EQ(Grid->Selected()->Strings(0), "NAME1\t3\tName\tT");
}

TEST_F(GridMouseTest, ClickingADataCellMovesToItsRecordAndColumn)
{
    QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, Centre(3, 4));
    EXPECT_EQ(CurrentId(), "C0004");
    EXPECT_EQ(Grid->SelectedIndex(), 2);
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(GridMouseTest, TheScrollBarShowsThePlaceAndMovesByRecordAndPage)
{
    const TRect bar = Grid->VertScrollBarRect();
    ASSERT_GT(bar.Right, bar.Left);
    EXPECT_EQ(bar.Right, Grid->ClientWidth());
    const int x = (bar.Left + bar.Right) / 2;
    auto click = [&](int y) { QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); };

    const TRect first = Grid->VertScrollThumbRect();
    click(bar.Bottom - 3);
    EXPECT_EQ(CurrentId(), "C0002") << "the down arrow";
    click(bar.Top + 3);
    EXPECT_EQ(CurrentId(), "C0001") << "the up arrow";
    click(bar.Bottom - 20);
    EXPECT_EQ(CurrentId(), "C" + String(Grid->VisibleRowCount() + 1 < 10 ? "000" : "00") +
                               std::to_string(Grid->VisibleRowCount() + 1))
        << "below the thumb, a page";
    const TRect middle = Grid->VertScrollThumbRect();
    T->Last();
    const TRect last = Grid->VertScrollThumbRect();
    EXPECT_LT(first.Top, middle.Top);
    EXPECT_LT(middle.Top, last.Top);
    EXPECT_EQ(last.Bottom, bar.Bottom - (bar.Right - bar.Left));
    click(bar.Top + 20);
    EXPECT_EQ(CurrentId(), "C0" + std::to_string(300 - Grid->VisibleRowCount())) << "above the thumb, a page";

    Grid->SetShowVertScrollBar(false);
    EXPECT_EQ(Grid->CellsWidth(), Grid->ClientWidth());
}

TEST_F(GridMouseTest, ACellTooNarrowForItsTextShowsItInAHint)
{
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions{dgShowCellHint});
    // Short titles, so that the narrow widths hold: the amount is data column 2 (grid
    // column 3), the name grid column 4.
    T->FieldByName("NAME1")->SetDisplayLabel("N");
    T->FieldByName("NAME1")->SetDisplayWidth(3);
    T->FieldByName("TOTAMT")->SetDisplayLabel("$");
    T->FieldByName("TOTAMT")->SetDisplayWidth(1);
    T->FieldByName("TOTAMT")->SetIndex(2);
    ASSERT_EQ(Grid->GetFields(2)->FieldName(), "TOTAMT");

    Hover(Centre(2, 3));
    EXPECT_FALSE(Grid->CellHintShowing()) << "the ID fits its cell";
    Hover(Centre(4, 3));
    ASSERT_TRUE(Grid->CellHintShowing()) << "the name does not";
    const TRect name = Grid->CellRect(4, 3);
    EXPECT_EQ(Grid->CellHintRect().Left, Grid->ClientToScreen(Point(name.Left, 0)).X);

    Hover(Centre(3, 3));
    ASSERT_TRUE(Grid->CellHintShowing());
    const TRect amount = Grid->CellRect(3, 3);
    EXPECT_EQ(Grid->CellHintRect().Right, Grid->ClientToScreen(Point(amount.Right, 0)).X)
        << "a number's hint grows to the left";
    EXPECT_LT(Grid->CellHintRect().Left, Grid->ClientToScreen(Point(amount.Left, 0)).X);

    Hover(Centre(3, 0));
    EXPECT_FALSE(Grid->CellHintShowing()) << "no hint over titles";
}

}  // namespace
