// Selecting several records of the grid with the mouse: Ctrl- and Shift-clicks, the
// range from the anchor, the veto of OnMultiSelectRecord and the rows painted selected.

#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

#include "platform/db/field.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/graphics/colors.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"

namespace {

class GridSelectTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgMultiSelect});
        ShowForm(Form);
        Grid->OnMultiSelectRecord = [this](TdwDBGrid*, bool Selecting, bool& Accept) {
            Events.push_back((Selecting ? "+" : "-") + CurrentId());
            Accept = !Refuse;
        };
    }
    // A click on the name cell of a data row (0 = the top one shown).
    void Click(int DataRow, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        const TRect r = Grid->CellRect(2, Grid->TitleOffset() + DataRow);
        QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Modifiers,
                          QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }
    // The IDs of the selected records, in the list's order, read through a second table
    // so that the grid's rows stay where they are.
    std::vector<String> SelectedIds()
    {
        TDaroruTable* reader = Table("CLIENTS");
        reader->Open();
        std::vector<String> ids;
        for (const TBookmark& bookmark : Grid->SelectedList()) {
            reader->GotoBookmark(bookmark);
            ids.push_back(reader->FieldByName("ID")->AsString());
        }
        reader->Close();
        return ids;
    }
    // Whether a data row shown paints in the highlight colour.
    bool RowPaintedSelected(int DataRow)
    {
        QCoreApplication::processEvents();
        const QImage image = Grid->Widget()->grab().toImage();
        const TRect r = Grid->CellRect(2, Grid->TitleOffset() + DataRow);
        const QRgb rgb = image.pixel(r.Right - 2, r.Top + 1);
        const TColor seen = static_cast<TColor>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
        return seen == ColorToRGB(clHighlight);
    }

    std::vector<String> Events;
    bool Refuse = false;
};

TEST_F(GridSelectTest, CtrlClicksToggleRecordsKeptInSelectionOrder)
{
    Click(4, Qt::ControlModifier);
    Click(1, Qt::ControlModifier);
    Click(6, Qt::ControlModifier);
    EXPECT_EQ((std::vector<String> {"C0005", "C0002", "C0007"}), SelectedIds());
    EXPECT_EQ(CurrentId(), "C0007") << "the click moves to the clicked record";
    EXPECT_TRUE(Grid->IsSelected());

    Click(1, Qt::ControlModifier);
    EXPECT_EQ((std::vector<String> {"C0005", "C0007"}), SelectedIds());
    EXPECT_FALSE(Grid->IsSelected());
    EXPECT_EQ((std::vector<String> {"+C0005", "+C0002", "+C0007", "-C0002"}), Events);

    EXPECT_TRUE(RowPaintedSelected(4));
    EXPECT_TRUE(RowPaintedSelected(6));
    EXPECT_FALSE(RowPaintedSelected(1)) << "the current record, no longer selected";
    EXPECT_FALSE(RowPaintedSelected(0));
}

TEST_F(GridSelectTest, ClicksWithoutModifiersFollowTheOptions)
{
    Click(2);
    EXPECT_TRUE(Grid->SelectedList().empty()) << "a plain click selects only with msoAutoUnselect";

    Grid->SetMultiSelectOptions({msoAutoUnselect});
    Click(2, Qt::ControlModifier);
    Click(5);
    Click(3);
    EXPECT_EQ((std::vector<String> {"C0004"}), SelectedIds()) << "each plain click leaves one selected";
    EXPECT_TRUE(RowPaintedSelected(3));
    EXPECT_FALSE(RowPaintedSelected(2));
    EXPECT_FALSE(RowPaintedSelected(5));

    Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgMultiSelect});
    Click(7, Qt::ControlModifier);
    EXPECT_EQ((std::vector<String> {"C0004"}), SelectedIds())
            << "without dgMultiSelect clicks select nothing";
}

TEST_F(GridSelectTest, ShiftClickSelectsFromTheAnchorInEitherDirection)
{
    Grid->SetMultiSelectOptions({msoAutoUnselect, msoShiftSelect});
    Click(2);
    Click(5, Qt::ShiftModifier);
    EXPECT_EQ((std::vector<String> {"C0003", "C0006", "C0004", "C0005"}), SelectedIds());
    EXPECT_EQ((std::vector<String> {"+C0003", "+C0006", "+C0004", "+C0005"}), Events);
    EXPECT_EQ(CurrentId(), "C0006") << "the walk returns to the clicked record";
    for (int row = 2; row <= 5; ++row)
        EXPECT_TRUE(RowPaintedSelected(row)) << row;
    EXPECT_FALSE(RowPaintedSelected(6));

    Events.clear();
    Click(8);
    Click(6, Qt::ShiftModifier);
    EXPECT_EQ((std::vector<String> {"C0009", "C0007", "C0008"}), SelectedIds());
    EXPECT_EQ((std::vector<String> {"+C0009", "+C0007", "+C0008"}), Events);
    EXPECT_EQ(CurrentId(), "C0007");
}

TEST_F(GridSelectTest, ShiftClickRangeReachesRecordsOutOfView)
{
    Grid->SetMultiSelectOptions({msoAutoUnselect, msoShiftSelect});
    const int bottom = Grid->VisibleRowCount() - 1;
    struct Case {
        const char* What;
        int AnchorRow;
        Qt::Key Scroll;
        int ClickRow;
    };
    const Case cases[] = {
            {"forwards", 1, Qt::Key_PageDown, 3},
            {"backwards", bottom - 1, Qt::Key_PageUp, bottom - 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        for (int i = 0; i < 4; ++i)
            PressKey(Form, Qt::Key_PageDown);
        Click(c.AnchorRow);
        const int anchor = std::stoi(CurrentId().substr(1));
        PressKey(Form, c.Scroll);
        PressKey(Form, c.Scroll);
        Click(c.ClickRow, Qt::ShiftModifier);
        EXPECT_EQ(Grid->Row(), Grid->TitleOffset() + c.ClickRow)
                << "the clicked record stays where it was clicked";
        EXPECT_TRUE(RowPaintedSelected(c.ClickRow));
        const int clicked = std::stoi(CurrentId().substr(1));
        ASSERT_GT(std::abs(clicked - anchor), Grid->VisibleRowCount());
        std::vector<String> ids = SelectedIds();
        std::sort(ids.begin(), ids.end());
        std::vector<String> expected;
        for (int i = std::min(anchor, clicked); i <= std::max(anchor, clicked); ++i) {
            char id[16];
            std::snprintf(id, sizeof id, "C%04d", i);
            expected.push_back(id);
        }
        EXPECT_EQ(expected, ids);
    }
}

TEST_F(GridSelectTest, RefusedEventsLeaveTheListAsItWas)
{
    Grid->SetMultiSelectOptions({msoShiftSelect});
    Refuse = true;
    Click(2, Qt::ControlModifier);
    EXPECT_TRUE(Grid->SelectedList().empty());
    EXPECT_EQ((std::vector<String> {"+C0003"}), Events);

    Refuse = false;
    Click(4, Qt::ControlModifier);
    Refuse = true;
    Click(4, Qt::ControlModifier);
    Click(7, Qt::ShiftModifier);
    EXPECT_EQ((std::vector<String> {"C0005"}), SelectedIds()) << "neither the unselect nor the range took";
    EXPECT_EQ((std::vector<String> {"+C0003", "+C0005", "-C0005", "+C0008", "+C0006", "+C0007"}), Events);

    T->First();
    T->MoveBy(4);
    Grid->UnselectRecord();
    Grid->UnselectBookmark(T->GetBookmark());
    EXPECT_EQ((std::vector<String> {"C0005"}), SelectedIds());
    EXPECT_TRUE(RowPaintedSelected(4));
    EXPECT_FALSE(RowPaintedSelected(7));
}

TEST_F(GridSelectTest, TheListIsKeptByCallsAndSearchedByBookmark)
{
    T->MoveBy(3);
    Grid->SelectRecord();
    Grid->SelectRecord();
    T->Next();
    Grid->SelectRecord();
    EXPECT_EQ((std::vector<String> {"C0004", "C0005"}), SelectedIds()) << "a record joins once";

    T->Prior();
    const TBookmark fourth = T->GetBookmark();
    T->First();
    Grid->UnselectBookmark(fourth);
    EXPECT_EQ((std::vector<String> {"C0005"}), SelectedIds());
    ASSERT_EQ(Events.size(), 3u);
    EXPECT_EQ(Events[2][0], '-');

    Events.clear();
    Grid->UnselectAll();
    EXPECT_TRUE(Grid->SelectedList().empty());
    EXPECT_TRUE(Events.empty()) << "unselecting all asks nobody";
}

TEST_F(GridSelectTest, ARecordBeingEditedOrInsertedIsNotSelected)
{
    Grid->SelectRecord();
    EXPECT_TRUE(Grid->IsSelected());
    T->Edit();
    EXPECT_FALSE(Grid->IsSelected());
    T->Cancel();
    EXPECT_TRUE(Grid->IsSelected());
    T->Insert();
    EXPECT_FALSE(Grid->IsSelected());
    Grid->SelectRecord();
    T->Cancel();
    EXPECT_EQ((std::vector<String> {"C0001"}), SelectedIds()) << "a new record has no bookmark to keep";
}

TEST_F(GridSelectTest, ADeletedRecordLeavesTheSelection)
{
    TScriptedDialogs dialogs;
    Grid->SetFocus();
    Click(1, Qt::ControlModifier);
    Click(2, Qt::ControlModifier);
    ASSERT_EQ((std::vector<String> {"C0002", "C0003"}), SelectedIds());
    T->First();
    T->Next();
    dialogs.AnswerMessage(mrOk);
    PressKey(Form, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ((std::vector<String> {"C0003"}), SelectedIds());
}

TEST_F(GridSelectTest, TheBaseGridLeavesMultiSelectionToThePublishedGrid)
{
    Grid->SelectRecord();
    ASSERT_TRUE(RowPaintedSelected(0)) << "the published grid paints the selected record";
    ASSERT_FALSE(RowPaintedSelected(1));
    for (const bool multiSelect : {false, true}) {
        auto* base = new TdwCustomDBGrid(Form);
        base->SetParent(Form);
        base->SetBounds(Grid->Left(), Grid->Top(), Grid->Width(), Grid->Height());
        if (multiSelect)
            base->SetOptions(base->Options() + TdwDBGridOptions {dgMultiSelect});
        base->SetDataSource(Source);
        base->SetFocus();
        QCoreApplication::processEvents();
        const QImage image = base->Widget()->grab().toImage();
        const TRect r = base->CellRect(base->Col(), base->TitleOffset());
        const QRgb rgb = image.pixel(r.Right - 2, r.Top + 1);
        const TColor seen = static_cast<TColor>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
        EXPECT_EQ(seen == ColorToRGB(clHighlight), !multiSelect) << "multi-select " << multiSelect;
        base->Free();
    }
}

}  // namespace
