// The lookup dialog's grid shows every column: all of them when they fit the dialog,
// and through its horizontal scroll bar when they are wider than the screen allows.

#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/lookup/dwidlg.h"
#include "platform/db/field.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class LookupColumnsTest : public GridTest {
protected:
    // Runs the dialog over the clients with the Selected lines; Steps runs inside it.
    void Run(const std::vector<String>& Lines, const std::function<void(TdwLookupDlg*, TdwDBGrid*)>& Steps)
    {
        auto* dialog = new TdwLookupDialog(Form);
        dialog->SetLookupTable(T);
        for (const String& line : Lines)
            dialog->Selected()->Add(line);
        QTimer::singleShot(0, [Steps] {
            auto* shown = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm());
            ASSERT_NE(shown, nullptr);
            QCoreApplication::processEvents();
            Steps(shown, shown->dwDBGrid1);
            shown->SetModalResult(mrCancel);
        });
        dialog->Execute();
    }
    // The grid column fits wholly between the grid's left edge and its vertical bar.
    static bool InView(TdwDBGrid* Grid, int Col)
    {
        const TRect cell = Grid->CellRect(Col, 0);
        return cell.Right > cell.Left && cell.Right <= Grid->CellsWidth();
    }
};

TEST_F(LookupColumnsTest, ColumnsThatFitAllShowWithoutABar)
{
    Run({"ID\t8\tID", "NAME1\t30\tName", "CITY\t20\tCity", "ZIP\t10\tZip Code"},
        [](TdwLookupDlg* d, TdwDBGrid* g) {
            ASSERT_EQ(g->GetFieldCount(), 4);
            for (int col = g->IndicatorOffset(); col < g->ColCount(); ++col)
                EXPECT_TRUE(InView(g, col)) << g->GetFields(col - g->IndicatorOffset())->FieldName();
            EXPECT_EQ(g->HorzScrollBarRect().Bottom, 0);
            KeepScreenshot(d->Widget()->window()->grab(), "lookup-every-column.png");
        });
}

TEST_F(LookupColumnsTest, ColumnsWiderThanTheScreenScrollIntoViewByTheBar)
{
    std::vector<String> lines;
    for (const char* name : {"ID", "NAME1", "NAME2", "ADDRESS1", "ADDRESS2", "CITY", "STATE", "ZIP"})
        lines.push_back(String(name) + "\t40\t" + name);
    Run(lines, [](TdwLookupDlg* d, TdwDBGrid* g) {
        const int last = g->ColCount() - 1;
        EXPECT_FALSE(InView(g, last));
        const TRect bar = g->HorzScrollBarRect();
        ASSERT_GT(bar.Right, bar.Left);
        QWidget* w = g->Widget();
        const QPoint arrow = w->mapTo(w->window(), QPoint(bar.Right - 3, (bar.Top + bar.Bottom) / 2));
        for (int i = 0; i < last && !InView(g, last); ++i)
            QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier, arrow);
        EXPECT_TRUE(InView(g, last)) << "the right arrow brings the last column in";
        QCoreApplication::processEvents();
        KeepScreenshot(d->Widget()->window()->grab(), "lookup-scrolled-to-last-column.png");
    });
}

}  // namespace
