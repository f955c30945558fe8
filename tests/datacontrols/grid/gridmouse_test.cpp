// Sizing and moving columns by their titles, title buttons, picking a cell, the scroll
// bar and the wheel with the mouse.

#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

#include "datacontrols/grid/wwgridhintwindow.h"
#include "platform/db/field.h"
#include "platform/vcl/forms/timer.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

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
    // The mouse moving over the grid without a button held, through its window.
    void Hover(QPoint At)
    {
        QWidget* w = Grid->Widget();
        QTest::mouseMove(w->window()->windowHandle(), w->mapTo(w->window(), At));
    }
    void Wheel(int Delta)
    {
        const QPoint at = Centre(2, 3);
        QWheelEvent wheel(at, Grid->Widget()->mapToGlobal(at), QPoint(), QPoint(0, Delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Grid->Widget(), &wheel);
    }
    // The first of the grid's controls of that class; null when none.
    TControl* Child(const String& ClassName)
    {
        for (int i = 0; i < Grid->ControlCount(); ++i) {
            if (Grid->Controls(i)->ClassName() == ClassName)
                return Grid->Controls(i);
        }
        return nullptr;
    }
    // What the grid owns now.
    std::vector<TComponent*> Owned()
    {
        std::vector<TComponent*> owned;
        for (int i = 0; i < Grid->ComponentCount(); ++i)
            owned.push_back(Grid->Components(i));
        return owned;
    }
    static String Id(int Number)
    {
        char id[16];
        std::snprintf(id, sizeof id, "C%04d", Number);
        return id;
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
    EXPECT_EQ((std::vector<std::pair<int, int>> {{1, 3}}), Moves);
    EXPECT_EQ(Grid->GetFields(3)->FieldName(), "ID");
    EXPECT_EQ(T->FieldByName("ID")->Index(), 3);
    EXPECT_TRUE(Clicked.empty()) << "a drag is no click";

    Drag(Centre(3, 0), Centre(3, 0));
    EXPECT_EQ((std::vector<String> {"NAME2"}), Clicked);
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
    EXPECT_EQ((std::vector<int> {1}), Sized);
    EXPECT_EQ(T->FieldByName("ID")->DisplayWidth(), 12);

    Grid->SetUseTFields(false);
    TStringList lines;
    lines.Add("NAME1\t10\tName\tT");
    Grid->SetSelected(&lines);
    const TRect name = Grid->CellRect(1, 0);
    Drag(QPoint(name.Right - 1, 5), QPoint(name.Left + 3 * w0 + 4, 5));
    EXPECT_EQ(Grid->Selected()->Strings(0), "NAME1\t3\tName\tT");
}

TEST_F(GridMouseTest, PressingAColumnBorderFirstPostsTheTypedText)
{
    Grid->SetFocus();
    Grid->SetSelectedIndex(6);
    ASSERT_EQ(Grid->SelectedField()->FieldName(), "CITY");
    TypeText(Form, "Ogden");
    ASSERT_TRUE(Grid->EditorMode());
    const TRect title = Grid->CellRect(Grid->Col(), 0);
    QWidget* w = Grid->Widget();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(title.Right - 1, 5));
    EXPECT_EQ(T->FieldByName("CITY")->AsString(), "Ogden");
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(title.Right + 10, 5));
    EXPECT_EQ((std::vector<int> {6}), Sized);
    T->Post();
    T->First();
    EXPECT_EQ(T->FieldByName("CITY")->AsString(), "Ogden");
}

TEST_F(GridMouseTest, DraggingOverTheRowsMovesTheRecordAndPastThemScrolls)
{
    const std::vector<TComponent*> before = Owned();
    const int rows = Grid->VisibleRowCount();
    const int rowsBottom = Grid->TitleRowHeight() + 1 + rows * (Grid->DefaultRowHeight() + 1);
    ASSERT_LT(rowsBottom, Grid->ClientHeight()) << "room below the last whole row";
    QWidget* w = Grid->Widget();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, Centre(2, 2));
    EXPECT_EQ(CurrentId(), Id(2));
    QTest::mouseMove(w, Centre(3, 5));
    EXPECT_EQ(CurrentId(), Id(5)) << "the record under the mouse";
    EXPECT_EQ(Grid->SelectedIndex(), 2);

    QTest::mouseMove(w, QPoint(Centre(3, 5).x(), rowsBottom + 1));
    EXPECT_EQ(CurrentId(), Id(rows + 1)) << "below the rows: the record after the bottom one";
    TTimer* timer = nullptr;
    for (TComponent* c : Owned()) {
        if (std::find(before.begin(), before.end(), c) == before.end())
            timer = dynamic_cast<TTimer*>(c);
    }
    ASSERT_TRUE(timer) << "a timer goes on while the mouse stays there";
    timer->OnTimer(timer);
    timer->OnTimer(timer);
    EXPECT_EQ(CurrentId(), Id(rows + 3));

    QTest::mouseMove(w, QPoint(Centre(3, 5).x(), 2));
    EXPECT_EQ(CurrentId(), Id(3)) << "above the rows: the record before the top one";
    QTest::mouseMove(w, Centre(3, 3));
    timer->OnTimer(timer);
    EXPECT_EQ(CurrentId(), Id(5)) << "back on the rows nothing scrolls";
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 3));
    EXPECT_EQ(Owned(), before);
    QTest::mouseMove(w, Centre(3, 6));
    EXPECT_EQ(CurrentId(), Id(5)) << "without the button the mouse only points";
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
    auto click = [&](int y) {
        QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    };

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

// Clicks and drags here go through the grid's window, as a user's do.
TEST_F(GridMouseTest, AWideGridScrollsSidewaysByItsBar)
{
    QWidget* w = Grid->Widget();
    QWindow* window = w->window()->windowHandle();
    auto at = [&](int X, int Y) { return w->mapTo(w->window(), QPoint(X, Y)); };
    std::vector<int> leftCols;
    Grid->OnLeftColChanged = [&](TObject*, int NewLeftCol) { leftCols.push_back(NewLeftCol); };
    const int first = Grid->IndicatorOffset();
    const int last = Grid->ColCount() - 1;
    const TRect bar = Grid->HorzScrollBarRect();
    ASSERT_GT(bar.Right, bar.Left) << "the columns are wider than the grid";
    EXPECT_EQ(bar.Bottom, Grid->TCustomControl::ClientHeight());
    EXPECT_EQ(Grid->ClientHeight(), bar.Top) << "the rows end above the bar";
    EXPECT_EQ(Grid->CellRect(last, 0).Right, 0) << "the last column is out of view";
    const int y = (bar.Top + bar.Bottom) / 2;

    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at(bar.Right - 3, y));
    EXPECT_EQ(Grid->LeftCol(), first + 1) << "the right arrow";
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at(bar.Left + 3, y));
    EXPECT_EQ(Grid->LeftCol(), first) << "the left arrow";
    for (int page = 0; page < last; ++page)
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at(bar.Right - 20, y));
    const TRect lastCell = Grid->CellRect(last, 0);
    EXPECT_GT(lastCell.Right, lastCell.Left) << "right of the thumb, a page at a time to the last column";
    EXPECT_LE(lastCell.Right, Grid->CellsWidth());
    EXPECT_EQ(Grid->HorzScrollThumbRect().Right, bar.Right - (bar.Bottom - bar.Top));
    EXPECT_EQ(Grid->SelectedIndex(), 0) << "the bar moves the view, not the current column";
    EXPECT_EQ(leftCols.back(), Grid->LeftCol());
    QCoreApplication::processEvents();
    KeepScreenshot(w->grab(), "grid-horzscrollbar.png");

    const TRect thumb = Grid->HorzScrollThumbRect();
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at(thumb.Left + 3, y));
    QTest::mouseMove(window, at((bar.Left + bar.Right) / 2, y));
    const int middle = Grid->LeftCol();
    EXPECT_GT(middle, first) << "the columns follow the dragged thumb";
    EXPECT_LT(middle, Grid->ColCount() - 1);
    QTest::mouseMove(window, at(bar.Left - 40, y));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at(bar.Left - 40, y));
    EXPECT_EQ(Grid->LeftCol(), first) << "past the left end, the first column";

    Grid->SetShowHorzScrollBar(false);
    EXPECT_EQ(Grid->HorzScrollBarRect().Bottom, 0);
    EXPECT_EQ(Grid->ClientHeight(), Grid->TCustomControl::ClientHeight());
    Grid->SetShowHorzScrollBar(true);
    for (int i = 0; i < T->FieldCount(); ++i) {
        TField* field = T->Fields()[i];
        field->SetVisible(field->FieldName() == "ID" || field->FieldName() == "NAME1");
    }
    EXPECT_EQ(Grid->HorzScrollBarRect().Bottom, 0) << "no bar while every column fits";
}

TEST_F(GridMouseTest, ACellTooNarrowForItsTextShowsItInAHint)
{
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgShowCellHint});
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

// Tall rows of three lines: a name wrapped onto more lines than the cell holds gets a
// hint, one that wraps within the cell does not (unless it cannot wrap).
TEST_F(GridMouseTest, AWrappedTextTallerThanItsCellShowsItInAHint)
{
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgShowCellHint});
    Grid->SetRowHeightPercent(300);
    T->FieldByName("NAME1")->SetDisplayWidth(12);
    const String shortName = "Ogden Valley Supply";
    const String longName = "Ogden Valley Farm and Ranch Supply Co";
    for (const auto& [number, name] : {std::pair {1, shortName}, std::pair {2, longName}}) {
        T->First();
        T->MoveBy(number - 1);
        T->Edit();
        T->FieldByName("NAME1")->SetAsString(name);
        T->Post();
    }
    T->First();
    const int name = Grid->IndicatorOffset() + T->FieldByName("NAME1")->Index();
    struct Case {
        const char* What;
        int Row;
        bool WordWrap;
        bool Hint;
    };
    const Case cases[] = {
            {"wraps within the cell", 1, true, false},
            {"wraps onto more lines than the cell holds", 2, true, true},
            {"one line wider than the cell", 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Grid->SetOptions(c.WordWrap ? Grid->Options() + TdwDBGridOptions {dgWordWrap}
                                    : Grid->Options() - TdwDBGridOptions {dgWordWrap});
        Hover(Centre(0, 0));
        Hover(Centre(name, c.Row));
        EXPECT_EQ(Grid->CellHintShowing(), c.Hint);
    }

    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgWordWrap});
    Hover(Centre(name, 2));
    ASSERT_TRUE(Grid->CellHintShowing());
    const TRect cell = Grid->CellRect(name, 2);
    const TPoint corner = Grid->ClientToScreen(Point(cell.Left, cell.Top));
    const TRect hint = Grid->CellHintRect();
    EXPECT_EQ(hint.Left, corner.X);
    EXPECT_EQ(hint.Top, corner.Y);
    EXPECT_GT(hint.Width(), cell.Right - cell.Left) << "the whole name on one line";
    EXPECT_EQ(Grid->CellHintWindow()->Caption(), longName);
    QCoreApplication::processEvents();
    QPixmap shot = Grid->Widget()->grab();
    {
        QPainter painter(&shot);
        const TPoint origin = Grid->ClientToScreen(Point(0, 0));
        painter.drawPixmap(hint.Left - origin.X, hint.Top - origin.Y,
                           Grid->CellHintWindow()->Widget()->grab());
    }
    KeepScreenshot(shot, "grid-cellhint.png");

    QTest::qWait(600);
    EXPECT_TRUE(Grid->CellHintShowing()) << "it stays while the mouse rests over the cell";
    QTest::qWait(16 * 250);
    EXPECT_FALSE(Grid->CellHintShowing())
            << "until the hide pause, at least sixteen ticks of 250 ms, is over";
}

TEST_F(GridMouseTest, OnCreateHintWindowMayWrapTheHintOrShowItItself)
{
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgShowCellHint});
    T->FieldByName("NAME1")->SetDisplayWidth(8);
    T->Edit();
    T->FieldByName("NAME1")->SetAsString("Ogden Valley Farm and Ranch Supply");
    T->Post();
    const int name = Grid->IndicatorOffset() + T->FieldByName("NAME1")->Index();
    const TRect cell = Grid->CellRect(name, 1);
    bool doDefault = true;
    std::vector<String> fields;
    Grid->OnCreateHintWindow = [&](TObject* Sender, TdwGridHintWindow* Window, TField* Field, const TRect& R,
                                   bool& WordWrap, int& MaxWidth, int& MaxHeight, bool& DoDefault) {
        EXPECT_EQ(Sender, Grid);
        EXPECT_EQ(Window->Field(), Field);
        EXPECT_EQ(R.Width(), cell.Right - cell.Left);
        EXPECT_TRUE(WordWrap);
        EXPECT_EQ(MaxHeight, cell.Bottom - cell.Top - 2);
        fields.push_back(Field->FieldName());
        MaxWidth = R.Width();
        MaxHeight = 200;
        DoDefault = doDefault;
    };
    Hover(Centre(name, 1));
    ASSERT_TRUE(Grid->CellHintShowing());
    EXPECT_LE(Grid->CellHintRect().Width(), cell.Right - cell.Left) << "no wider than the handler allows";
    EXPECT_GT(Grid->CellHintRect().Height(), 2 * (cell.Bottom - cell.Top)) << "the name wrapped onto lines";
    EXPECT_TRUE(Grid->CellHintWindow()->WordWrap());

    doDefault = false;
    Hover(Centre(0, 0));
    Hover(Centre(name, 1));
    EXPECT_FALSE(Grid->CellHintShowing()) << "the handler shows it itself";
    EXPECT_NE(Grid->CellHintWindow(), nullptr);
    EXPECT_EQ((std::vector<String> {"NAME1", "NAME1"}), fields);
}

TEST_F(GridMouseTest, ADraggedTitleShowsItsPictureAndWhereItWillGo)
{
    Grid->SetDragVertOffset(30);
    const int controls = Grid->ControlCount();
    QWidget* w = Grid->Widget();
    const QPoint from = Centre(2, 0);
    const TRect title = Grid->CellRect(2, 0);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(w, from + QPoint(2, 0));
    EXPECT_EQ(Grid->ControlCount(), controls) << "two pixels are still a click";

    const QPoint to = Centre(4, 0);
    QTest::mouseMove(w, to);
    TControl* picture = Child("TImage");
    TControl* marker = Child("TShape");
    ASSERT_TRUE(picture && marker);
    EXPECT_EQ(picture->Top(), 30) << "below the top of the titles";
    EXPECT_EQ(picture->Width(), title.Width() + 1);
    EXPECT_EQ(picture->Left(), title.Left + to.x() - from.x()) << "it follows the mouse";
    EXPECT_TRUE(marker->Visible());
    EXPECT_NEAR(marker->Left() + marker->Width() / 2, Grid->CellRect(4, 0).Right, 1)
            << "after the column it goes to";

    QTest::mouseMove(w, Centre(1, 0));
    EXPECT_NEAR(marker->Left() + marker->Width() / 2, Grid->CellRect(1, 0).Left, 1)
            << "before it, going left";
    QTest::mouseMove(w, from);
    EXPECT_FALSE(marker->Visible()) << "back over its own place";

    QTest::mouseMove(w, Centre(1, 0));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, Centre(1, 0));
    EXPECT_EQ(Grid->ControlCount(), controls) << "picture and marker go with the drag";
    EXPECT_EQ((std::vector<std::pair<int, int>> {{1, 0}}), Moves);
    EXPECT_EQ(Grid->GetFields(0)->FieldName(), "ID");
}

TEST_F(GridMouseTest, ADragWhoseReleaseWasLostEndsAtTheNextPress)
{
    const int controls = Grid->ControlCount();
    QWidget* w = Grid->Widget();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, Centre(2, 0));
    QTest::mouseMove(w, Centre(4, 0));
    ASSERT_TRUE(Child("TImage"));
    EXPECT_TRUE(Grid->MouseCapture()) << "the drag holds the mouse";

    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 4));
    EXPECT_EQ(Grid->ControlCount(), controls);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 4));
    EXPECT_FALSE(Grid->MouseCapture()) << "the press on the cells holds it only until its own release";
    EXPECT_TRUE(Moves.empty());
    EXPECT_EQ(CurrentId(), "C0004");
}

TEST_F(GridMouseTest, ATitleDraggedPastAnEdgeScrollsTheColumns)
{
    std::vector<int> lefts;
    Grid->OnLeftColChanged = [&](TObject*, int NewLeftCol) { lefts.push_back(NewLeftCol); };
    const int left = Grid->LeftCol();
    ASSERT_EQ(Grid->CellRect(Grid->ColCount() - 1, 0), TRect {}) << "the last column lies beyond the view";
    const std::vector<TComponent*> before = Owned();
    QWidget* w = Grid->Widget();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, Centre(2, 0));
    QTest::mouseMove(w, QPoint(Grid->CellsWidth() - 5, 5));
    TTimer* timer = nullptr;
    for (TComponent* c : Owned()) {
        if (std::find(before.begin(), before.end(), c) == before.end())
            timer = dynamic_cast<TTimer*>(c);
    }
    ASSERT_TRUE(timer) << "a timer runs while the title is dragged";

    for (int tick = 0; tick < 3; ++tick)
        timer->OnTimer(timer);
    EXPECT_EQ(Grid->LeftCol(), left + 3);
    QTest::mouseMove(w, QPoint(Grid->CellsWidth() / 2, 5));
    timer->OnTimer(timer);
    EXPECT_EQ(Grid->LeftCol(), left + 3) << "inside the grid nothing scrolls";
    QTest::mouseMove(w, QPoint(5, 5));
    timer->OnTimer(timer);
    EXPECT_EQ(Grid->LeftCol(), left + 2);
    EXPECT_EQ((std::vector<int> {left + 1, left + 2, left + 3, left + 2}), lefts);

    const int firstShown = Grid->LeftCol() - Grid->IndicatorOffset();
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(Owned(), before);
    EXPECT_EQ((std::vector<std::pair<int, int>> {{1, firstShown}}), Moves) << "to the first column in view";
}

TEST_F(GridMouseTest, ATitleButtonIsDownWhileHeldOverIt)
{
    Grid->SetTitleButtons(true);
    Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgColumnResize});
    const String name = Grid->GetFields(2)->FieldName();
    QWidget* w = Grid->Widget();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 0));
    EXPECT_TRUE(Grid->TitleButtonDown(2));
    EXPECT_FALSE(Grid->TitleButtonDown(1));
    QTest::mouseMove(w, Centre(3, 3));
    EXPECT_FALSE(Grid->TitleButtonDown(2));
    QTest::mouseMove(w, Centre(5, 0));
    EXPECT_FALSE(Grid->TitleButtonDown(2));
    EXPECT_FALSE(Child("TImage")) << "without column moving a title does not drag";
    QTest::mouseMove(w, Centre(3, 0));
    EXPECT_TRUE(Grid->TitleButtonDown(2));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 0));
    EXPECT_FALSE(Grid->TitleButtonDown(2));
    EXPECT_EQ((std::vector<String> {name}), Clicked);

    Drag(Centre(3, 0), Centre(5, 0));
    EXPECT_EQ(Clicked.size(), 1u) << "let go over another title: no click";
    EXPECT_TRUE(Moves.empty());
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 0));
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 0));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 0));
    EXPECT_EQ(Clicked.size(), 2u) << "a double click presses the button once";

    Grid->SetTitleButtons(false);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 0));
    EXPECT_FALSE(Grid->TitleButtonDown(2));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, Centre(3, 0));
    EXPECT_EQ(Clicked.size(), 2u) << "titles are no buttons";
}

TEST_F(GridMouseTest, DraggingTheThumbMovesToTheRecordWhereItIsLetGo)
{
    const TRect bar = Grid->VertScrollBarRect();
    const int x = (bar.Left + bar.Right) / 2;
    const TRect thumb = Grid->VertScrollThumbRect();
    QWidget* w = Grid->Widget();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(x, thumb.Top + 3));
    QTest::mouseMove(w, QPoint(x, thumb.Top + 43));
    EXPECT_EQ(Grid->VertScrollThumbRect().Top, thumb.Top + 40) << "the thumb follows the mouse";
    EXPECT_EQ(CurrentId(), "C0001") << "the records wait for the thumb to be let go";
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(x, thumb.Top + 43));
    EXPECT_GT(T->RecNo(), 1);
    EXPECT_NEAR(Grid->VertScrollThumbRect().Top, thumb.Top + 40, 1) << "it stays where it was let go";

    // Past the ends of the bar: the last and the first record.
    Drag(QPoint(x, Grid->VertScrollThumbRect().Top + 3), QPoint(x, bar.Bottom + 50));
    EXPECT_EQ(CurrentId(), "C0300");
    Drag(QPoint(x, Grid->VertScrollThumbRect().Top + 3), QPoint(x, bar.Top - 50));
    EXPECT_EQ(CurrentId(), "C0001");
}

TEST_F(GridMouseTest, WithoutRecordNumbersTheThumbHasFivePlaces)
{
    T->SetSequenced(false);
    const int x = (Grid->VertScrollBarRect().Left + Grid->VertScrollBarRect().Right) / 2;
    T->Last();
    const int bottom = Grid->VertScrollThumbRect().Top;
    T->First();
    const int top = Grid->VertScrollThumbRect().Top;
    const int page = Grid->VisibleRowCount();
    struct Case {
        int Place;
        String Expected;
    };
    for (const Case& c : {Case {0, "C0001"}, Case {1, Id(101 - page)}, Case {2, "C0101"},
                          Case {3, Id(101 + page)}, Case {4, "C0300"}}) {
        T->First();
        T->MoveBy(100);
        const int middle = Grid->VertScrollThumbRect().Top;
        ASSERT_EQ(middle, (top + bottom) / 2);
        Drag(QPoint(x, middle + 3), QPoint(x, top + (bottom - top) * c.Place / 4 + 3));
        EXPECT_EQ(CurrentId(), c.Expected) << "place " << c.Place;
    }
}

TEST_F(GridMouseTest, TheWheelMovesARecordANotch)
{
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(CurrentId(), "C0002");
    Wheel(-3 * WHEEL_DELTA);
    EXPECT_EQ(CurrentId(), "C0005");
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(CurrentId(), "C0004");

    T->Last();
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(CurrentId(), "C0300");
    EXPECT_EQ(T->State(), dsBrowse) << "the wheel appends nothing";

    Grid->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& Handled) { Handled = true; };
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(CurrentId(), "C0300") << "a handler that takes the wheel keeps the record";
}

}  // namespace
