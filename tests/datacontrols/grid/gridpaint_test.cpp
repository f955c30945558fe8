// What the grid paints beyond cell texts, checked by its pixels: the footer row, title
// pictures, the indicator glyph and its colours, the 3-D edges, the indicator button.

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "datacontrols/grid/wwibutton.h"
#include "platform/db/field.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/imagelist.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

TColor PixelAt(const QImage& Image, int X, int Y)
{
    const QRgb rgb = Image.pixel(X, Y);
    return static_cast<TColor>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

// The pixels of R that Ink accepts.
template<typename Predicate> int CountPixels(const QImage& Image, const TRect& R, Predicate Ink)
{
    int count = 0;
    for (int y = R.Top; y < R.Bottom; ++y) {
        for (int x = R.Left; x < R.Right; ++x)
            count += Ink(PixelAt(Image, x, y)) ? 1 : 0;
    }
    return count;
}

int CountColor(const QImage& Image, const TRect& R, TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    return CountPixels(Image, R, [rgb](TColor c) { return c == rgb; });
}

// The box around R's pixels of that colour; empty when there are none.
TRect BoxOf(const QImage& Image, const TRect& R, TColor Color)
{
    TRect box {100000, 100000, -1, -1};
    for (int y = R.Top; y < R.Bottom; ++y) {
        for (int x = R.Left; x < R.Right; ++x) {
            if (PixelAt(Image, x, y) != Color)
                continue;
            box = Rect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                       std::max(box.Bottom, y + 1));
        }
    }
    return box.Right < 0 ? TRect {} : box;
}

TRect Inset(const TRect& R, int By) { return Rect(R.Left + By, R.Top + By, R.Right - By, R.Bottom - By); }

bool IsDark(TColor Color)
{
    return (Color & 0xFF) < 0x60 && ((Color >> 8) & 0xFF) < 0x60 && ((Color >> 16) & 0xFF) < 0x60;
}

// A grid of three columns, ID, NAME1 and TOTAMT, shown on its form.
class GridPaintTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        for (TField* field : T->Fields())
            field->SetVisible(field->FieldName() == "ID" || field->FieldName() == "NAME1" ||
                              field->FieldName() == "TOTAMT");
        T->FieldByName("NAME1")->SetDisplayWidth(14);
        ShowForm(Form);
    }

    QImage Grab()
    {
        QCoreApplication::processEvents();
        return Grid->Widget()->grab().toImage();
    }

    // The grid column of a field.
    int ColOf(const char* FieldName)
    {
        for (int i = 0; i < Grid->GetFieldCount(); ++i) {
            if (Grid->GetFields(i)->FieldName() == FieldName)
                return i + Grid->IndicatorOffset();
        }
        ADD_FAILURE() << FieldName << " has no column";
        return 0;
    }

    // The footer cell of a grid column.
    TRect FooterCell(int Col)
    {
        const TRect footer = Grid->FooterRect();
        const TRect cell = Grid->CellRect(Col, 0);
        return Rect(cell.Left, footer.Top + 2, cell.Right, footer.Bottom - 2);
    }

    void AddOptions(std::initializer_list<TdwDBGridOption> Added,
                    std::initializer_list<TdwDBGridOption> Removed = {})
    {
        TdwDBGridOptions options = Grid->Options();
        for (TdwDBGridOption o : Added)
            options.Include(o);
        for (TdwDBGridOption o : Removed)
            options.Exclude(o);
        Grid->SetOptions(options);
    }

    // A list of one red 10 x 10 picture.
    TImageList* RedImages()
    {
        auto* images = new TImageList(Form);
        images->SetSize(10, 10);
        TBitmap red;
        red.SetSize(10, 10);
        red.Canvas()->Brush()->SetColor(clRed);
        red.Canvas()->FillRect(Rect(0, 0, 10, 10));
        images->Add(&red);
        return images;
    }
};

TEST_F(GridPaintTest, TheFooterTakesItsHeightFromTheClientArea)
{
    const int rowsWithout = Grid->VisibleRowCount();
    struct Case {
        int FooterHeight;
        bool Cells3D;
        int Expected;
    };
    const Case cases[] = {
            {0, false, Grid->DefaultRowHeight() + 4},
            {30, false, 30},
            {30, true, 32},
            {-5, false, Grid->DefaultRowHeight() + 4},
    };
    for (const Case& c : cases) {
        Grid->SetFooterHeight(c.FooterHeight);
        if (c.Cells3D)
            AddOptions({dgShowFooter, dgFooter3DCells});
        else
            AddOptions({dgShowFooter}, {dgFooter3DCells});
        EXPECT_EQ(Grid->FooterHeight(), std::max(0, c.FooterHeight));
        EXPECT_EQ(Grid->ClientHeight(), Grid->Height() - c.Expected) << c.FooterHeight;
        EXPECT_EQ(Grid->FooterRect(), Rect(0, Grid->Height() - c.Expected, Grid->Width(), Grid->Height()));
        EXPECT_LT(Grid->VisibleRowCount(), rowsWithout);
    }
    AddOptions({}, {dgShowFooter});
    EXPECT_EQ(Grid->ClientHeight(), Grid->Height());
    EXPECT_EQ(Grid->FooterRect(), TRect {});
    EXPECT_EQ(Grid->VisibleRowCount(), rowsWithout);
}

TEST_F(GridPaintTest, FooterCellsShowTheirTextsBelowTheRows)
{
    AddOptions({dgShowFooter});
    Grid->SetFooterColor(clAqua);
    Grid->SetFooterCellColor(clYellow);
    Grid->GetColumnByField("NAME1")->SetFooterValue("Total");
    Grid->GetColumnByField("TOTAMT")->SetFooterValue("1234.50");
    const QImage image = Grab();
    const TRect footer = Grid->FooterRect();

    for (const char* name : {"NAME1", "TOTAMT"}) {
        const TRect cell = FooterCell(ColOf(name));
        EXPECT_EQ(PixelAt(image, cell.Left + 1, cell.Top + 1), clYellow) << name;
        EXPECT_GT(CountPixels(image, cell, IsDark), 10) << name << " shows its text";
    }
    // The number sits at the right of its cell, the name at the left.
    const TRect total = FooterCell(ColOf("TOTAMT"));
    const TRect middle = Rect((total.Left + total.Right) / 2, total.Top, total.Right, total.Bottom);
    EXPECT_GT(CountPixels(image, middle, IsDark), 10);

    const TRect empty = FooterCell(ColOf("ID"));
    EXPECT_EQ(CountColor(image, empty, clAqua), empty.Width() * empty.Height())
            << "an empty value leaves only the fill";
    EXPECT_EQ(PixelAt(image, empty.Left + 1, footer.Top), clAqua);

    const int lastRow = Grid->TitleOffset() + Grid->VisibleRowCount() - 1;
    const TRect last = Grid->CellRect(ColOf("ID"), lastRow);
    EXPECT_LE(last.Bottom, footer.Top);
    EXPECT_GT(CountPixels(image, last, IsDark), 10) << "the last row's text is not covered";
    EXPECT_EQ(PixelAt(image, last.Right - 3, last.Top + 2), clWhite);
}

TEST_F(GridPaintTest, ADrawFooterCellHandlerMayTakeACellOver)
{
    AddOptions({dgShowFooter});
    Grid->SetFooterCellColor(clYellow);
    Grid->GetColumnByField("NAME1")->SetFooterValue("Total");
    std::vector<std::pair<String, String>> seen;
    Grid->OnDrawFooterCell = [&](TObject*, TCanvas* Canvas, const TRect& R, TField* Field, const String& Text,
                                 bool& DefaultDrawing) {
        seen.emplace_back(Field->FieldName(), Text);
        if (Field->FieldName() != "NAME1")
            return;
        Canvas->Brush()->SetColor(clLime);
        Canvas->FillRect(R);
        DefaultDrawing = false;
    };
    const QImage image = Grab();
    const TRect cell = FooterCell(ColOf("NAME1"));
    EXPECT_EQ(CountColor(image, cell, clLime), cell.Width() * cell.Height());
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::make_pair(String("NAME1"), String("Total"))),
              seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::make_pair(String("ID"), String())), seen.end());
}

TEST_F(GridPaintTest, FooterValuesStayWithTheirFieldsWhenTheColumnsAreRebuilt)
{
    Grid->GetColumnByField("name1")->SetFooterValue("Total");
    ASSERT_EQ(Grid->GetColumn(1)->FieldName(), "NAME1");
    T->FieldByName("ID")->SetVisible(false);
    ASSERT_EQ(Grid->GetColumn(0)->FieldName(), "NAME1");
    EXPECT_EQ(Grid->GetColumn(0)->FooterValue(), "Total");
    EXPECT_EQ(Grid->GetColumnByField("ID")->FieldName(), "") << "a hidden field's column is the spare one";
    EXPECT_EQ(Grid->GetColumn(5)->FieldName(), "");
    EXPECT_EQ(Grid->GetColumn(-1), Grid->GetColumn(5));
}

TEST_F(GridPaintTest, UpdateFooterFiresWhenTheRecordChangesAndNotOnARepaint)
{
    AddOptions({dgShowFooter});
    int updates = 0;
    Grid->OnUpdateFooter = [&](TObject*) {
        ++updates;
        Grid->GetColumnByField("ID")->SetFooterValue(CurrentId());
    };
    T->Next();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(Grid->GetColumnByField("ID")->FooterValue(), "C0002");
    Grab();
    Grid->Invalidate();
    Grab();
    EXPECT_EQ(updates, 1) << "painting alone changes nothing";
    T->MoveBy(5);
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(Grid->GetColumnByField("ID")->FooterValue(), "C0007");
    T->MoveBy(0);
    T->FieldByName("NAME1")->SetDisplayLabel("Client");
    EXPECT_EQ(updates, 2) << "a new layout on the same record";

    // Edited and posted figures of the same record are new figures for the footer.
    T->Edit();
    T->FieldByName("TOTAMT")->SetAsString("99.00");
    T->Post();
    EXPECT_GE(updates, 3);
}

TEST_F(GridPaintTest, ALongCellTextWrapsOrEndsInAnEllipsis)
{
    T->FieldByName("NAME1")->SetDisplayLabel("N");
    T->FieldByName("NAME1")->SetDisplayWidth(6);
    Grid->SetRowHeightPercent(200);
    Grid->Canvas()->SetFont(Grid->Font());
    const int lineHeight = Grid->Canvas()->TextHeight("W");
    struct Case {
        std::initializer_list<TdwDBGridOption> Added, Removed;
        bool SecondLine;
    };
    const Case cases[] = {
            {{dgWordWrap}, {dgTrailingEllipsis}, true},
            {{}, {dgWordWrap, dgTrailingEllipsis}, false},
            {{dgWordWrap, dgTrailingEllipsis}, {}, false},
    };
    for (const Case& c : cases) {
        AddOptions(c.Added, c.Removed);
        const QImage image = Grab();
        const TRect cell = Grid->CellRect(ColOf("NAME1"), Grid->Row() + 1);
        ASSERT_GT(cell.Height(), 2 * lineHeight);
        const TRect second = Rect(cell.Left + 1, cell.Top + 2 + lineHeight, cell.Right - 1, cell.Bottom - 1);
        EXPECT_EQ(CountPixels(image, second, IsDark) > 0, c.SecondLine) << c.SecondLine;
        EXPECT_GT(CountPixels(image, cell, IsDark), 10);
    }
}

TEST_F(GridPaintTest, TitleImagesSitLeftOrRightOfTheTextOrAlone)
{
    Grid->SetTitleImageList(RedImages());
    const int col = ColOf("NAME1");
    struct Case {
        int Position;
        bool Text;
    };
    for (const Case c : {Case {0, true}, Case {1, true}, Case {2, false}}) {
        Grid->OnCalcTitleImage = [&](TObject*, TField* Field, TdwTitleImageAttributes& Attributes) {
            if (Field->FieldName() != "NAME1")
                return;
            Attributes.ImageIndex = 0;
            Attributes.ImagePosition = c.Position;
        };
        Grid->Invalidate();
        const QImage image = Grab();
        const TRect title = Grid->CellRect(col, 0);
        const TRect red = BoxOf(image, title, clRed);
        ASSERT_EQ(red.Width(), 10) << c.Position;
        EXPECT_EQ(red.Top, (title.Top + title.Bottom - 10) / 2);
        switch (c.Position) {
        case 0: EXPECT_EQ(red.Left, title.Left + 3); break;
        case 1: EXPECT_EQ(red.Right, title.Right - 3); break;
        default: EXPECT_EQ(red.Left, (title.Left + title.Right - 10) / 2); break;
        }
        const int ink = CountPixels(image, Inset(title, 2), IsDark);
        if (c.Text)
            EXPECT_GT(ink, 10) << c.Position;
        else
            EXPECT_EQ(ink, 0) << "the picture alone";
        EXPECT_EQ(BoxOf(image, Grid->CellRect(ColOf("ID"), 0), clRed), TRect {})
                << "other titles have no picture";
    }
}

TEST_F(GridPaintTest, ADrawTitleCellHandlerMayLeaveTheTextOut)
{
    std::vector<String> drawn;
    Grid->OnDrawTitleCell = [&](TObject*, TCanvas*, TField* Field, const TRect&, bool& DefaultDrawing) {
        drawn.push_back(Field->FieldName());
        DefaultDrawing = Field->FieldName() != "NAME1";
    };
    const QImage image = Grab();
    EXPECT_EQ(CountPixels(image, Inset(Grid->CellRect(ColOf("NAME1"), 0), 2), IsDark), 0);
    EXPECT_GT(CountPixels(image, Inset(Grid->CellRect(ColOf("ID"), 0), 2), IsDark), 5);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "NAME1"), drawn.end());
}

TEST_F(GridPaintTest, AFreedImageListLeavesTheGrid)
{
    TImageList* images = RedImages();
    Grid->SetTitleImageList(images);
    Grid->SetImageList(images);
    images->Free();
    EXPECT_EQ(Grid->TitleImageList(), nullptr);
    EXPECT_EQ(Grid->ImageList(), nullptr);
    Grid->OnCalcTitleImage = [](TObject*, TField*, TdwTitleImageAttributes& Attributes) {
        Attributes.ImageIndex = 0;
    };
    Grab();
}

TEST_F(GridPaintTest, TheIndicatorArrowIsBlackOverTheCellOrYellow)
{
    for (TIndicatorColorType color : {icBlack, icYellow}) {
        Grid->SetIndicatorColor(color);
        const QImage image = Grab();
        const TRect cell = Inset(Grid->CellRect(0, Grid->Row()), 1);
        const int black = CountColor(image, cell, clBlack);
        const int yellow = CountColor(image, cell, clYellow);
        EXPECT_GT(CountColor(image, cell, Grid->TitleColor()), cell.Width() * cell.Height() / 2);
        if (color == icBlack) {
            EXPECT_GT(black, 10);
            EXPECT_EQ(yellow, 0);
        } else {
            EXPECT_GT(yellow, 10);
            EXPECT_EQ(black, 0);
        }
        const TRect other = Inset(Grid->CellRect(0, Grid->Row() + 1), 1);
        EXPECT_EQ(CountColor(image, other, Grid->TitleColor()), other.Width() * other.Height())
                << "only the current row";
    }
}

TEST_F(GridPaintTest, TheIndicatorGlyphFollowsTheDataSetsState)
{
    auto glyph = [&] {
        const QImage image = Grab();
        const TRect cell = Inset(Grid->CellRect(0, Grid->Row()), 1);
        return image.copy(cell.Left, cell.Top, cell.Width(), cell.Height());
    };
    const QImage browse = glyph();
    T->Edit();
    const QImage edit = glyph();
    T->Cancel();
    T->Insert();
    const QImage insert = glyph();
    T->Cancel();
    EXPECT_NE(browse, edit);
    EXPECT_NE(browse, insert);
    EXPECT_NE(edit, insert);
    EXPECT_EQ(glyph(), browse);
}

TEST_F(GridPaintTest, WhiteGridsEdgeTheirCellsExceptTheHighlightedOne)
{
    Grid->SetFocus();
    const int col = ColOf("NAME1");
    const int current = Grid->Row();
    Grid->SetSelectedIndex(col - Grid->IndicatorOffset());
    auto rightEdge = [&](const QImage& Image, int Row) {
        const TRect r = Grid->CellRect(col, Row);
        return PixelAt(Image, r.Right - 1, (r.Top + r.Bottom) / 2);
    };
    auto bottomEdge = [&](const QImage& Image, int Col, int Row) {
        const TRect r = Grid->CellRect(Col, Row);
        return PixelAt(Image, r.Right - 3, r.Bottom - 1);
    };
    const TColor shadow = ColorToRGB(clBtnShadow);

    QImage image = Grab();
    EXPECT_EQ(rightEdge(image, current + 1), ColorToRGB(clWindow))
            << "a grid of the window colour has no edges";
    EXPECT_EQ(bottomEdge(image, col, 0), shadow) << "titles always have them";

    Grid->SetColor(clWhite);
    image = Grab();
    EXPECT_EQ(rightEdge(image, current + 1), shadow);
    EXPECT_EQ(bottomEdge(image, col, current + 1), shadow);
    EXPECT_EQ(rightEdge(image, current), ColorToRGB(clHighlight)) << "the highlighted cell keeps no edges";

    AddOptions({}, {dgRowLines});
    image = Grab();
    EXPECT_EQ(rightEdge(image, current + 1), shadow);
    EXPECT_NE(bottomEdge(image, col, current + 1), shadow) << "no edges along the rows without row lines";
    EXPECT_EQ(bottomEdge(image, col, 0), clBlack) << "a black line closes the titles";
    EXPECT_EQ(bottomEdge(image, 0, 0), clBlack);
}

TEST_F(GridPaintTest, APressedTitleButtonIsSunkenWithABlackBottom)
{
    Grid->SetTitleButtons(true);
    const int col = ColOf("NAME1");
    const TRect title = Grid->CellRect(col, 0);
    QImage image = Grab();
    EXPECT_EQ(PixelAt(image, title.Left + 4, title.Top), ColorToRGB(clBtnHighlight)) << "raised";
    EXPECT_EQ(PixelAt(image, title.Left + 4, title.Bottom - 1), ColorToRGB(clBtnShadow));

    QWidget* w = Grid->Widget();
    const QPoint centre((title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, centre);
    image = Grab();
    EXPECT_EQ(PixelAt(image, title.Left + 4, title.Top), ColorToRGB(clBtnShadow)) << "sunken";
    EXPECT_EQ(PixelAt(image, title.Left + 4, title.Bottom - 1), clBlack);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, centre);
    image = Grab();
    EXPECT_EQ(PixelAt(image, title.Left + 4, title.Top), ColorToRGB(clBtnHighlight));
}

TEST_F(GridPaintTest, AnIndicatorButtonSizesTheCornerCell)
{
    auto* button = new TdwIButton(Grid);
    button->SetParent(Grid);
    button->SetBounds(0, 0, 22, 30);
    EXPECT_EQ(Grid->IndicatorButton(), button);
    EXPECT_EQ(Grid->ColWidths(0), 21);
    EXPECT_EQ(Grid->TitleRowHeight(), 29) << "the button's height less the row line";

    AddOptions({}, {dgRowLines});
    EXPECT_EQ(Grid->TitleRowHeight(), 31);
    button->SetBounds(0, 0, 16, 30);
    EXPECT_EQ(Grid->ColWidths(0), 15);

    button->Free();
    EXPECT_EQ(Grid->IndicatorButton(), nullptr);
    EXPECT_LT(Grid->TitleRowHeight(), 30);

    auto* loading = new TdwIButton(Grid);
    loading->BeginLoading();
    loading->SetBounds(0, 0, 13, 20);
    EXPECT_EQ(Grid->IndicatorButton(), nullptr) << "not while it loads";
    loading->FinishLoading();
    EXPECT_EQ(Grid->IndicatorButton(), loading);
    EXPECT_EQ(Grid->ColWidths(0), 12);
}

TEST_F(GridPaintTest, Screenshot)
{
    AddOptions({dgShowFooter, dgFooter3DCells});
    Grid->SetColor(clWhite);
    Grid->SetTitleButtons(true);
    Grid->SetIndicatorColor(icYellow);
    Grid->SetTitleImageList(RedImages());
    Grid->OnCalcTitleImage = [](TObject*, TField* Field, TdwTitleImageAttributes& Attributes) {
        if (Field->FieldName() == "ID")
            Attributes.ImageIndex = 0;
        if (Field->FieldName() == "TOTAMT") {
            Attributes.ImageIndex = 0;
            Attributes.ImagePosition = 0;
        }
    };
    Grid->OnUpdateFooter = [this](TObject*) { Grid->GetColumnByField("ID")->SetFooterValue(CurrentId()); };
    Grid->GetColumnByField("NAME1")->SetFooterValue("Total");
    Grid->GetColumnByField("TOTAMT")->SetFooterValue("45150.00");
    auto* button = new TdwIButton(Grid);
    button->SetParent(Grid);
    button->SetBounds(0, 0, 14, 22);
    T->MoveBy(3);
    Grab();
    KeepScreenshot(Form->Widget()->window()->grab(), "gridpaint.png");
}

}  // namespace
