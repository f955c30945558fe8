// The grid over a real table: columns and titles, keys that move the record and
// scroll, row colours by screen row, attaching and detaching the data source.

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "platform/db/field.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

QImage Grab(TControl* Control)
{
    QCoreApplication::processEvents();
    return Control->Widget()->grab().toImage();
}

TdwDBGridOptions With(TdwDBGridOptions Options, std::initializer_list<TdwDBGridOption> Added,
                      std::initializer_list<TdwDBGridOption> Removed)
{
    for (TdwDBGridOption o : Added)
        Options.Include(o);
    for (TdwDBGridOption o : Removed)
        Options.Exclude(o);
    return Options;
}

TColor PixelAt(const QImage& Image, int X, int Y)
{
    const QRgb rgb = Image.pixel(X, Y);
    return static_cast<TColor>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

TEST_F(GridTest, ColumnsFollowTheVisibleFieldsWithTheirLabelsAndWidths)
{
    T->FieldByName("DATA_VER")->SetVisible(false);
    T->FieldByName("NAME1")->SetDisplayLabel("Client~Name");
    T->FieldByName("NAME1")->SetDisplayWidth(20);
    T->FieldByName("ID")->SetDisplayLabel("A very long identifier title");
    ASSERT_EQ(Grid->GetFieldCount(), static_cast<int>(ClientSchema.size()) - 1);
    EXPECT_EQ(Grid->GetFields(0)->FieldName(), "ID");
    EXPECT_EQ(Grid->GetFields(1)->FieldName(), "NAME1");

    TCanvas* canvas = Grid->Canvas();
    canvas->SetFont(Grid->Font());
    const int w0 = canvas->TextWidth("0");
    EXPECT_EQ(Grid->ColWidths(2), 20 * w0 + 4) << "the data is wider than either title line";
    canvas->SetFont(Grid->TitleFont());
    EXPECT_EQ(Grid->ColWidths(1), canvas->TextWidth("A very long identifier title") + 4)
            << "the title is wider";

    T->FieldByName("NAME1")->SetDisplayWidth(1);
    canvas->SetFont(Grid->TitleFont());
    EXPECT_EQ(Grid->ColWidths(2), std::max(canvas->TextWidth("Client"), canvas->TextWidth("Name")) + 4)
            << "a title broken at ~ measures as its wider line";
}

TEST_F(GridTest, KeysMoveTheRecordAndScrollTheRows)
{
    Grid->SetOptions(With(Grid->Options(), {dgRowSelect}, {dgEditing}));
    ShowForm(Form);
    Grid->SetFocus();
    const int page = Grid->VisibleRowCount();
    ASSERT_GT(page, 3);
    int scrolls = 0;
    Grid->OnTopRowChanged = [&](TObject*) { ++scrolls; };
    auto id = [](int n) {
        char text[16];
        std::snprintf(text, sizeof text, "C%04d", n);
        return String(text);
    };

    struct Step {
        const char* What;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        int Expected;  // the client number current afterwards
        bool Scrolls;
    };
    const Step steps[] = {
            {"Down inside the page", Qt::Key_Down, Qt::NoModifier, 2, false},
            {"Up inside the page", Qt::Key_Up, Qt::NoModifier, 1, false},
            {"Up on the first record", Qt::Key_Up, Qt::NoModifier, 1, false},
            {"Page Down", Qt::Key_PageDown, Qt::NoModifier, 1 + page, true},
            {"Page Up", Qt::Key_PageUp, Qt::NoModifier, 1, true},
            {"End with row select", Qt::Key_End, Qt::NoModifier, 300, true},
            {"Down on the last record without editing", Qt::Key_Down, Qt::NoModifier, 300, false},
            {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, 1, true},
            {"Ctrl+End", Qt::Key_End, Qt::ControlModifier, 300, true},
            {"Home with row select", Qt::Key_Home, Qt::NoModifier, 1, true},
    };
    for (const Step& s : steps) {
        scrolls = 0;
        PressKey(Form, s.Key, s.Modifiers);
        EXPECT_EQ(CurrentId(), id(s.Expected)) << s.What;
        EXPECT_EQ(scrolls > 0, s.Scrolls) << s.What;
        EXPECT_EQ(Grid->Row() - Grid->TitleOffset(), Grid->DataLink()->ActiveRecord()) << s.What;
        EXPECT_EQ(T->State(), dsBrowse) << s.What;
    }

    // Down past the bottom row scrolls one row.
    for (int i = 1; i < page; ++i)
        PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), page - 1);
    scrolls = 0;
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(CurrentId(), id(page + 1));
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), page - 1);
}

TEST_F(GridTest, ColumnKeysWithoutRowSelectMoveAcrossAndSideways)
{
    Grid->SetOptions(With(Grid->Options(), {}, {dgEditing}));
    ShowForm(Form);
    Grid->SetFocus();
    std::vector<String> entered;
    Grid->OnColEnter = [&](TObject*) { entered.push_back(Grid->SelectedField()->FieldName()); };
    PressKey(Form, Qt::Key_Right);
    PressKey(Form, Qt::Key_Tab);
    EXPECT_EQ((std::vector<String> {"ID", "NAME1"}), entered);
    PressKey(Form, Qt::Key_End);
    EXPECT_EQ(Grid->SelectedIndex(), Grid->GetFieldCount() - 1);
    EXPECT_GT(Grid->LeftCol(), Grid->IndicatorOffset()) << "the last column scrolled into view";
    EXPECT_EQ(CurrentId(), "C0001") << "End moves to the last column, not the last record";
    PressKey(Form, Qt::Key_Home);
    EXPECT_EQ(Grid->SelectedIndex(), 0);
    EXPECT_EQ(Grid->LeftCol(), Grid->IndicatorOffset());
}

TEST_F(GridTest, DownOnTheLastRecordAppendsOnlyWhereTheGridMayInsert)
{
    ShowForm(Form);
    Grid->SetFocus();
    T->Last();
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(T->State(), dsInsert);
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(T->State(), dsInsert) << "Down on the untouched new record does nothing";
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(CurrentId(), "C0300");

    Grid->SetReadOnly(true);
    PressKey(Form, Qt::Key_Down);
    PressKey(Form, Qt::Key_Insert);
    EXPECT_EQ(T->State(), dsBrowse);
}

TEST_F(GridTest, CtrlDeleteAsksFirstAndEscAsksBeforeDiscardingChanges)
{
    TScriptedDialogs dialogs;
    ShowForm(Form);
    Grid->SetFocus();
    auto deleted = [this] {
        std::vector<String> ids;
        for (const String& line : ReadBack("CLIENTS.DBF"))
            if (line[0] == '*')
                ids.push_back(line.substr(line.find('|') + 1, 5));
        return ids;
    };
    T->MoveBy(1);
    dialogs.AnswerMessage(mrCancel);
    PressKey(Form, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(deleted().empty()) << "Cancel keeps the record";
    dialogs.AnswerMessage(mrOk);
    PressKey(Form, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ((std::vector<String> {"C0002"}), deleted());
    ASSERT_EQ(dialogs.Messages.size(), 2u);
    EXPECT_EQ(dialogs.Messages[0].Text, "Delete record?");

    T->First();
    T->Edit();
    T->FieldByName("CITY")->SetAsString("Ogdenville");
    dialogs.AnswerMessage(mrNo);
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(T->State(), dsEdit) << "No keeps the change";
    dialogs.AnswerMessage(mrYes);
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(T->FieldByName("CITY")->AsString(), "Springfield");
    ASSERT_EQ(dialogs.Messages.size(), 4u);
    EXPECT_EQ(dialogs.Messages[2].Text, "Discard changes to this record?");

    Grid->SetReadOnly(true);
    PressKey(Form, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ((std::vector<String> {"C0002"}), deleted());
    EXPECT_EQ(dialogs.Messages.size(), 4u) << "a read-only grid does not even ask";
}

TEST_F(GridTest, RowsAreStripedByScreenRowAndTheCurrentRowHighlighted)
{
    Grid->SetOptions(With(Grid->Options(), {dgRowSelect, dgAlwaysShowSelection}, {dgEditing}));
    Grid->SetColor(clWhite);
    Grid->SetTitleLines(2);
    T->FieldByName("NAME1")->SetDisplayLabel("Client~Name");
    std::vector<int> rowsSeen;
    Grid->OnCalcCellColors = [&](TObject*, TField* Field, TGridDrawState, bool Highlight, TFont*,
                                 TBrush* ABrush) {
        if (Field->FieldName() == "ID")
            rowsSeen.push_back(Grid->PaintingRow());
        if (!Highlight && Grid->PaintingRow() % 2 == 1)
            ABrush->SetColor(clYellow);
    };
    ShowForm(Form);
    T->MoveBy(2);
    const QImage image = Grab(Grid);
    ASSERT_FALSE(rowsSeen.empty());
    EXPECT_EQ(Grid->PaintingRow(), -1) << "no row outside painting";

    const TRect row0 = Grid->CellRect(2, Grid->TitleOffset());
    const TRect row1 = Grid->CellRect(2, Grid->TitleOffset() + 1);
    const TRect row2 = Grid->CellRect(2, Grid->TitleOffset() + 2);
    const int x = row0.Right - 2;
    EXPECT_EQ(PixelAt(image, x, row0.Top + 1), clWhite);
    EXPECT_EQ(PixelAt(image, x, row1.Top + 1), clYellow);
    EXPECT_NE(PixelAt(image, x, row2.Top + 1), clYellow) << "the current row shows the highlight";
    EXPECT_NE(PixelAt(image, x, row2.Top + 1), clWhite);

    KeepScreenshot(Form->Widget()->window()->grab(), "grid.png");
}

TEST_F(GridTest, TheDataSourceCanBeDetachedAndAttachedAtRunTime)
{
    ShowForm(Form);
    Grid->SetDataSource(nullptr);
    EXPECT_EQ(Grid->GetFieldCount(), 0);
    EXPECT_EQ(Grid->RowCount(), Grid->TitleOffset() + 1);
    Grab(Grid);
    T->MoveBy(5);

    Grid->SetDataSource(Source);
    EXPECT_EQ(Grid->GetFieldCount(), static_cast<int>(ClientSchema.size()));
    EXPECT_EQ(Grid->RowCount(), Grid->TitleOffset() + Grid->VisibleRowCount());
    EXPECT_EQ(CurrentId(), "C0006");
    EXPECT_EQ(Grid->Row() - Grid->TitleOffset(), Grid->DataLink()->ActiveRecord());

    T->Close();
    EXPECT_EQ(Grid->GetFieldCount(), 0);
    Grab(Grid);
    T->Open();
    EXPECT_EQ(Grid->GetFieldCount(), static_cast<int>(ClientSchema.size()));
}

TEST_F(GridTest, ASelectedListWithoutTFieldsNamesTheColumnsAndDropsMissingFields)
{
    Grid->SetUseTFields(false);
    TStringList lines;
    lines.Add("NAME1\t10\tWho");
    lines.Add("NOSUCH\t5\tGone");
    lines.Add("CITY\t8\tWhere\tT");
    Grid->SetSelected(&lines);
    ASSERT_EQ(Grid->GetFieldCount(), 2);
    EXPECT_EQ(Grid->Selected()->Count(), 2) << "the missing field's line is removed";
    EXPECT_EQ(Grid->GetFields(1)->FieldName(), "CITY");
    EXPECT_TRUE(Grid->IsColumnReadOnly(1));
    EXPECT_FALSE(Grid->TabStops(2));
    EXPECT_FALSE(Grid->IsColumnReadOnly(0));
}

TEST_F(GridTest, AColumnListLongerThanTheMapHoldsIsRefused)
{
    Grid->SetUseTFields(false);
    TStringList lines;
    for (size_t i = 0; i <= TdwGridDataLink::MaxMappedFields; ++i)
        lines.Add("ID\t8\tID");
    EXPECT_EQ(MessageOf([&] { Grid->SetSelected(&lines); }),
              "Grid requested to display more than 256 columns");
    EXPECT_EQ(Grid->GetFieldCount(), 0);
    lines.Delete(0);
    Grid->SetSelected(&lines);
    EXPECT_EQ(Grid->GetFieldCount(), static_cast<int>(TdwGridDataLink::MaxMappedFields))
            << "the most it holds";
    lines.Clear();
    lines.Add("NAME1\t10\tWho");
    Grid->SetSelected(&lines);
    EXPECT_EQ(Grid->GetFieldCount(), 1) << "the grid lays out again after the refusal";
}

}  // namespace
