// Cells with editors and drawings of their own: check boxes, pictures, attached edits,
// the date editor and the memo pop-up, named by a data set's ControlType list.

#include <QImage>
#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/common/wwintl.h"
#include "platform/classes/screen.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/graphics/imagelist.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/datacontrols/common/publishing.h"
#include "tests/datacontrols/edits/memodialogtesting.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

enum Column { colId, colActive, colName, colPic, colDue, colNotes, colIcon };

// A BMP of one colour.
String Picture(int Width, int Height, TColor Color)
{
    TBitmap bitmap;
    bitmap.SetSize(Width, Height);
    bitmap.Canvas()->Brush()->SetColor(Color);
    bitmap.Canvas()->FillRect(Rect(0, 0, Width, Height));
    TStringStream stream;
    bitmap.SaveToStream(stream);
    return stream.DataString();
}

// A data-aware edit of the kind a form attaches to a grid column: bound through its
// published DataSource and DataField, writing its text when the record is posted.
class TBoundEdit : public TEdit, public TdwPublished {
public:
    explicit TBoundEdit(TComponent* AOwner) : TEdit(AOwner)
    {
        Link.OnDataChange = [this](TObject*) {
            Showing = true;
            SetText(Link.Field() ? Link.Field()->AsString() : String());
            Showing = false;
        };
        Link.OnUpdateData = [this](TObject*) { Link.Field()->SetAsString(Text()); };
    }
    ~TBoundEdit() override { Link.SetDataSource(nullptr); }

    std::optional<TObject*> PublishedObject(const String& Name) override
    {
        return Name == "DataSource" ? std::optional<TObject*>(Link.DataSource()) : std::nullopt;
    }
    bool SetPublishedObject(const String& Name, TObject* Value) override
    {
        if (Name != "DataSource")
            return false;
        Link.SetDataSource(dynamic_cast<TDataSource*>(Value));
        return true;
    }
    std::optional<String> PublishedText(const String& Name) override
    {
        return Name == "DataField" ? std::optional<String>(Link.FieldName()) : std::nullopt;
    }
    bool SetPublishedText(const String& Name, const String& Value) override
    {
        if (Name != "DataField")
            return false;
        Link.SetFieldName(Value);
        return true;
    }

    TFieldDataLink Link;

protected:
    void Change() override
    {
        TEdit::Change();
        if (!Showing && Link.Edit())
            Link.Modified();
    }

private:
    bool Showing = false;
};

// Pixels inside R darker than Lightness (0..255; lines may be smoothed).
int CountDarkerThan(const QImage& Image, const TRect& R, int Lightness)
{
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            n += Image.pixelColor(x, y).lightness() < Lightness;
    return n;
}

// Whether the 10 x 10 check box centred in Cell shows a mark.
bool CheckBoxMarked(const QImage& Image, const TRect& Cell)
{
    const int x = (Cell.Left + Cell.Right - 10) / 2;
    const int y = (Cell.Top + Cell.Bottom - 10) / 2;
    return CountDarkerThan(Image, Rect(x + 2, y + 2, x + 8, y + 8), 80) > 0;
}

class GridCellsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetName("CellsForm");
        Form->SetBounds(0, 0, 620, 260);
        Data = new TPublishingDataSet(Form, {{"ID", ftString, 4},
                                             {"ACTIVE", ftString, 1},
                                             {"NAME", ftString, 12},
                                             {"PIC", ftBlob},
                                             {"DUE", ftDate},
                                             {"NOTES", ftMemo},
                                             {"ICON", ftInteger}});
        Data->Open();
        Data->AddRows({{"1", "Y", "Ann", "", "03/15/2008", "First note", "0"},
                       {"2", "N", "Bob", "", "04/01/2008", "Second note", "1"},
                       {"3", "y", "Cy", "", "", "Third note", "-1"}});
        Data->ControlType.Add("ACTIVE;CheckBox;Y;N");
        Source = new TDataSource(Form);
        Source->SetDataSet(Data);
        Edit = new TBoundEdit(Form);
        Edit->SetName("NameEdit");
        Edit->SetParent(Form);
        Edit->SetBounds(8, 230, 100, 20);
        Grid = new TdwDBGrid(Form);
        Grid->SetName("Grid");
        Grid->SetParent(Form);
        Grid->SetBounds(8, 8, 600, 200);
    }
    void TearDown() override
    {
        Form->Free();
        dwIntl()->SetCheckBoxInGridStyle(cbStyleAuto);
    }

    // A fresh form and data set, for the next case of a table.
    void Restart()
    {
        TearDown();
        SetUp();
    }
    // Opens the grid on the data set and gives it the focus.
    void Start()
    {
        Grid->SetDataSource(Source);
        ShowForm(Form);
        Grid->SetFocus();
    }
    void Go(Column DataCol, int Record)
    {
        Data->First();
        Data->MoveBy(Record);
        Grid->SetSelectedIndex(DataCol);
    }
    TRect Cell(Column DataCol, int DataRow) { return Grid->CellRect(DataCol + 1, DataRow + 1); }
    QImage Grab()
    {
        QCoreApplication::processEvents();
        return Grid->Widget()->grab().toImage();
    }
    // Pixels of that colour inside R.
    static int Count(const QImage& Image, const TRect& R, TColor Color)
    {
        const QColor wanted = ToQColor(Color);
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += Image.pixelColor(x, y) == wanted;
        return n;
    }
    String Field(const char* Name) { return Data->FieldByName(Name)->AsString(); }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TPublishingDataSet* Data = nullptr;
    TDataSource* Source = nullptr;
    TBoundEdit* Edit = nullptr;
    TdwDBGrid* Grid = nullptr;
};

// ---- check boxes ----

TEST_F(GridCellsTest, CheckBoxesShowTheirValueInEitherLook)
{
    Start();
    for (TdwCheckBoxInGridStyle style : {cbStyleXmark, cbStyleCheckmark}) {
        dwIntl()->SetCheckBoxInGridStyle(style);
        Grid->Invalidate();
        const QImage image = Grab();
        for (int row = 0; row < 3; ++row) {
            const TRect cell = Cell(colActive, row);
            const bool checked = row != 1;  // "Y", "N", "y"
            EXPECT_EQ(CheckBoxMarked(image, cell), checked) << "style " << style << " row " << row;
            EXPECT_GT(CountDarkerThan(image, cell, 200), 0) << "the box's edge";
        }
    }
}

TEST_F(GridCellsTest, SpaceTogglesTheFieldBetweenTheTwoValues)
{
    Start();
    Go(colActive, 0);
    TypeText(Form, " ");
    EXPECT_EQ(Field("ACTIVE"), "N");
    EXPECT_EQ(Data->State(), dsEdit);
    EXPECT_FALSE(Grid->EditorMode()) << "no text editor over a check box";
    TypeText(Form, " ");
    EXPECT_EQ(Field("ACTIVE"), "Y");
    PressKey(Form, Qt::Key_Down);
    Go(colActive, 2);
    TypeText(Form, " ");
    EXPECT_EQ(Field("ACTIVE"), "N") << "the checked value matches ignoring case";
}

TEST_F(GridCellsTest, CheckBoxesThatMayNotChangeKeepTheirValue)
{
    struct Case {
        const char* What;
        std::function<void()> Setup;
    };
    const Case cases[] = {
            {"read-only field", [this] { Data->FieldByName("ACTIVE")->SetReadOnly(true); }},
            {"read-only column",
             [this] {
                 Grid->SetUseTFields(false);
                 Grid->Selected()->Add("ID\t4\tId");
                 Grid->Selected()->Add("ACTIVE\t3\tActive\tT");
             }},
            {"no auto edit", [this] { Source->SetAutoEdit(false); }},
            {"read-only grid", [this] { Grid->SetReadOnly(true); }},
    };
    for (const Case& c : cases) {
        c.Setup();
        Start();
        Go(colActive, 0);
        TypeText(Form, " ");
        EXPECT_EQ(Field("ACTIVE"), "Y") << c.What;
        EXPECT_EQ(Data->State(), dsBrowse) << c.What;
        Restart();
    }
}

TEST_F(GridCellsTest, AClickTogglesWithTheSingleClickOptionElseADoubleClick)
{
    Start();
    const TRect cell = Cell(colActive, 1);
    const QPoint centre((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(Field("ID"), "2");
    EXPECT_EQ(Field("ACTIVE"), "N") << "one click only moves there";
    QTest::mouseDClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(Field("ACTIVE"), "Y");
    Grid->SetEditControlOptions(Grid->EditControlOptions() + TdwEditControlOptions {ecoCheckboxSingleClick});
    QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(Field("ACTIVE"), "N");
}

// A check box on a calculated field named "selected" shows and changes the grid's
// selection of records.
TEST(GridSelectionCheckBox, SpaceSelectsAndUnselectsTheRecord)
{
    TScriptedDialogs dialogs;
    TForm* form = Construct<TForm>(nullptr);
    const std::unique_ptr<TForm, void (*)(TForm*)> freeForm(form, [](TForm* f) { f->Free(); });
    form->SetBounds(0, 0, 300, 200);
    auto* data = new TPublishingDataSet(form, {{"ID", ftString, 4}});
    TFieldDef("ID", ftString, 4, false, 0).CreateField(data, data);
    auto* selected = new TStringField(data);
    selected->SetFieldName("Selected");
    selected->SetSize(1);
    selected->SetCalculated(true);
    selected->SetDataSet(data);
    data->ControlType.Add("Selected;CheckBox;T;F");
    data->Open();
    data->AddRows({{"1"}, {"2"}});
    auto* source = new TDataSource(form);
    source->SetDataSet(data);
    auto* grid = new TdwDBGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 280, 180);
    grid->SetReadOnly(true);  // choosing records is no editing
    grid->SetDataSource(source);
    ShowForm(form);
    grid->SetFocus();
    grid->SetSelectedIndex(1);
    data->Next();
    TypeText(form, " ");
    ASSERT_EQ(grid->SelectedList().size(), 1u);
    EXPECT_EQ(grid->SelectedList()[0], data->GetBookmark());
    EXPECT_EQ(data->State(), dsBrowse);
    QCoreApplication::processEvents();
    const QImage image = grid->Widget()->grab().toImage();
    EXPECT_FALSE(CheckBoxMarked(image, grid->CellRect(2, 1)));
    EXPECT_TRUE(CheckBoxMarked(image, grid->CellRect(2, 2)));
    TypeText(form, " ");
    EXPECT_TRUE(grid->SelectedList().empty());
}

// ---- pictures ----

TEST_F(GridCellsTest, PictureCellsDrawTheBlobByFitAndRasterOperation)
{
    struct Case {
        const char* Parameters;
        int Width, Height;  // a width of 0: the cell's width
        TColor Expected;    // at the cell's second pixel; -1: the cell keeps its colour throughout
    };
    const Case cases[] = {
            {"Original Size", 20, 10, clRed},
            {"Stretch To Fit", 2, 2, clRed},
            {"Fit Height", 20, 10, clRed},
            {"Fit Width", 20, 10, clRed},
            {"Fit Width", 0, 2, -1},  // under 3 pixels high
            {"Fit Width", 0, 3, clRed},
            {"Fit Height;Source Invert", 20, 10, clAqua},  // red XOR white
            {"Not Source Copy", 20, 10, clAqua},
            {"Source And", 20, 10, clRed},
    };
    ASSERT_EQ(ColorToRGB(clWindow), clWhite);
    for (const Case& c : cases) {
        Data->ControlType.Add(String("PIC;Bitmap;") + c.Parameters);
        Start();
        Data->First();
        Data->Edit();
        const TRect cell = Cell(colPic, 0);
        Data->FieldByName("PIC")->SetAsString(Picture(c.Width ? c.Width : cell.Width(), c.Height, clRed));
        Data->Post();
        Grid->SetSelectedIndex(colId);
        const QImage image = Grab();
        const TRect inside = Rect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1);
        if (c.Expected < 0) {
            EXPECT_EQ(Count(image, inside, clWhite), inside.Width() * inside.Height()) << c.Parameters;
        } else {
            EXPECT_EQ(image.pixelColor(cell.Left + 1, cell.Top + 1), ToQColor(c.Expected)) << c.Parameters;
        }
        Restart();
    }
}

TEST_F(GridCellsTest, OriginalSizeKeepsTheCellsCornerAndABadBlobDrawsNothing)
{
    Data->ControlType.Add("PIC;Bitmap;Original Size");
    Start();
    Data->First();
    Data->Edit();
    Data->FieldByName("PIC")->SetAsString(Picture(4, 4, clRed));
    Data->Post();
    Data->Next();
    Data->Edit();
    Data->FieldByName("PIC")->SetAsString("not a picture");
    Data->Post();
    Grid->SetSelectedIndex(colId);
    const QImage image = Grab();
    const TRect first = Cell(colPic, 0);
    EXPECT_EQ(image.pixelColor(first.Left, first.Top), ToQColor(clWhite));
    EXPECT_EQ(Count(image, first, clRed), 16);
    const TRect second = Cell(colPic, 1);
    EXPECT_EQ(
            Count(image, Rect(second.Left + 1, second.Top + 1, second.Right - 1, second.Bottom - 1), clWhite),
            (second.Width() - 2) * (second.Height() - 2));
}

TEST_F(GridCellsTest, ImageIndexCellsDrawTheListsImageOfTheValue)
{
    auto* images = new TImageList(Form);
    images->SetSize(6, 6);
    for (TColor color : {clRed, clBlue}) {
        TBitmap image;
        image.SetSize(6, 6);
        image.Canvas()->Brush()->SetColor(color);
        image.Canvas()->FillRect(Rect(0, 0, 6, 6));
        images->Add(&image);
    }
    Data->ControlType.Add("ICON;ImageIndex;");
    Grid->SetImageList(images);
    Start();
    const QImage image = Grab();
    EXPECT_EQ(Count(image, Cell(colIcon, 0), clRed), 36);
    EXPECT_EQ(Count(image, Cell(colIcon, 1), clBlue), 36);
    const TRect third = Cell(colIcon, 2);
    EXPECT_EQ(Count(image, third, clRed) + Count(image, third, clBlue), 0)
            << "a negative index draws nothing";
}

// ---- attached edits ----

// A frame on the form, holding components of its own.
class TTestFrame : public TComponent {
public:
    using TComponent::TComponent;
    bool InheritsFrom(const String& name) const override
    {
        return name == "TCustomFrame" || TComponent::InheritsFrom(name);
    }
};

TEST_F(GridCellsTest, AnAttachedEditIsFoundByItsNameInAFrameOrOnTheDataSetsOwner)
{
    // A name after a dot that is no frame is looked for on the data set's owner.
    for (const char* name : {"NameEdit", "Grid.NameEdit", "Frame1.FrameEdit"}) {
        auto* frame = new TTestFrame(Form);
        frame->SetName("Frame1");
        auto* frameEdit = new TBoundEdit(frame);
        frameEdit->SetName("FrameEdit");
        frameEdit->SetParent(Form);
        Data->ControlType.Add(String("NAME;CustomEdit;") + name);
        Start();
        Go(colName, 0);
        EXPECT_EQ(Grid->CellControl(), name[0] == 'F' ? frameEdit : Edit) << name;
        Restart();
    }
}

TEST_F(GridCellsTest, AnAttachedEditShowsOverTheCurrentCellAndWritesItsField)
{
    Data->ControlType.Add("NAME;CustomEdit;NameEdit");
    Start();
    EXPECT_EQ(Edit->Parent(), Grid);
    EXPECT_FALSE(Edit->Visible());
    Go(colName, 1);
    ASSERT_EQ(Grid->CellControl(), Edit);
    EXPECT_TRUE(Edit->Visible());
    EXPECT_EQ(Edit->BoundsRect(), Cell(colName, 1));
    EXPECT_EQ(Edit->Link.FieldName(), "NAME");
    EXPECT_EQ(Edit->Text(), "Bob");
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(Edit->BoundsRect(), Cell(colName, 0)) << "it follows the current cell";
    EXPECT_EQ(Edit->Text(), "Ann");
    TypeText(Form, "Zed");
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->Text(), "Zed");
    Data->Post();
    EXPECT_EQ(Field("NAME"), "Zed");
    Grid->SetFocus();
    PressKey(Form, Qt::Key_Left);
    EXPECT_FALSE(Edit->Visible()) << "another column hides it";
    EXPECT_EQ(Grid->CellControl(), nullptr);
}

TEST_F(GridCellsTest, WithoutTheAttachedEditTheCellIsAnOrdinaryOne)
{
    struct Case {
        const char* What;
        const char* Line;
        TdwEditControlOptions Options;
    };
    const Case cases[] = {
            {"custom controls off",
             "NAME;CustomEdit;NameEdit",
             {ecoSearchOwnerForm, ecoDisableCustomControls}},
            {"no such component", "NAME;CustomEdit;Missing", {ecoSearchOwnerForm}},
    };
    for (const Case& c : cases) {
        Data->ControlType.Add(c.Line);
        Grid->SetEditControlOptions(c.Options);
        Start();
        Go(colName, 0);
        EXPECT_EQ(Grid->CellControl(), nullptr) << c.What;
        TypeText(Form, "Q");
        EXPECT_TRUE(Grid->EditorMode()) << c.What << ": the text editor takes the typing";
        Restart();
    }
}

// ---- the date/time picker ----

TEST_F(GridCellsTest, ThePickerShowsOnlyWhereTheGridMayEdit)
{
    int created = 0;
    Grid->OnCreateDateTimePicker = [&](TdwDBGrid* Sender, TdwDBCustomDateTimePicker* Picker) {
        EXPECT_EQ(Sender, Grid);
        EXPECT_NE(Picker, nullptr);
        ++created;
    };
    Start();
    Go(colDue, 0);
    TdwDBDateTimePicker* picker = Grid->DateTimePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(Grid->CellControl(), picker);
    EXPECT_TRUE(picker->Visible());
    EXPECT_EQ(picker->BoundsRect(), Cell(colDue, 0));
    EXPECT_EQ(picker->Text(), "03/15/2008");
    EXPECT_FALSE(picker->ReadOnly());
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(picker->Text(), "04/01/2008");
    Go(colName, 0);
    Go(colDue, 2);
    EXPECT_EQ(picker->Text(), "") << "an empty date";
    EXPECT_EQ(Grid->DateTimePicker(), picker);
    EXPECT_EQ(created, 1) << "made once";

    Data->FieldByName("DUE")->SetReadOnly(true);
    Go(colId, 0);
    Go(colDue, 0);
    EXPECT_EQ(Grid->CellControl(), picker) << "a read-only field gets the picker, to look at";
    EXPECT_TRUE(picker->ReadOnly());
    EXPECT_EQ(picker->Text(), "03/15/2008");
    TypeText(Form, "4");
    EXPECT_EQ(picker->Text(), "03/15/2008");
    EXPECT_EQ(Data->State(), dsBrowse);
    Data->FieldByName("DUE")->SetReadOnly(false);
    Go(colId, 0);
    Go(colDue, 0);
    EXPECT_FALSE(picker->ReadOnly()) << "the next cell sets it again";
    EXPECT_EQ(created, 1);

    Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgEditing});
    Grid->SetSelectedIndex(colId);
    Grid->SetSelectedIndex(colDue);
    EXPECT_EQ(Grid->CellControl(), nullptr) << "a grid that does not edit shows the date as text";
    EXPECT_FALSE(picker->Visible());
    TypeText(Form, "1");
    EXPECT_EQ(Data->State(), dsBrowse);

    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgEditing});
    Grid->SetEditControlOptions(Grid->EditControlOptions() +
                                TdwEditControlOptions {ecoDisableDateTimePicker});
    EXPECT_EQ(Grid->CellControl(), nullptr);
    TypeText(Form, "1");
    EXPECT_TRUE(Grid->EditorMode()) << "without the picker the text editor edits the date";
}

TEST_F(GridCellsTest, TypingOverTheCellGoesToThePickerAndMovingOnWritesIt)
{
    Start();
    Go(colDue, 0);
    TypeText(Form, "12");
    TdwDBDateTimePicker* picker = Grid->DateTimePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->Focused());
    EXPECT_EQ(Data->State(), dsEdit);
    TypeText(Form, "31");
    EXPECT_EQ(picker->Text(), "12/31/2008");
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(picker->Text(), "12/31/2009") << "Up steps the year section";
    PressKey(Form, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(picker->SelText(), "12/31/2009");
    PressKey(Form, Qt::Key_Down);
    EXPECT_TRUE(Grid->Focused()) << "Down over the whole text goes back to the grid";
    EXPECT_EQ(Field("ID"), "2");
    EXPECT_EQ(Data->State(), dsBrowse);
    Data->First();
    EXPECT_DOUBLE_EQ(Data->FieldByName("DUE")->AsDateTime(), EncodeDate(2009, 12, 31));

    Go(colDue, 1);
    TypeText(Form, "7");
    EXPECT_EQ(picker->Text(), "07/01/2008");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(picker->Text(), "04/01/2008") << "Esc takes the typing back";
    PressKey(Form, Qt::Key_Escape);
    EXPECT_TRUE(Grid->Focused()) << "an unmodified Esc goes to the grid";
    PressKey(Form, Qt::Key_F2);
    EXPECT_TRUE(picker->Focused()) << "F2 goes to the picker";
    EXPECT_EQ(picker->SelText(), "04");
    PressKey(Form, Qt::Key_Tab);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->SelectedIndex(), colNotes) << "Tab moves on to the next column";

    Grid->SetKeyOptions(Grid->KeyOptions() + TdwDBGridKeyOptions {dgEnterToTab});
    Go(colDue, 1);
    TypeText(Form, "9");
    PressKey(Form, Qt::Key_Return);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->SelectedIndex(), colNotes) << "with EnterToTab Enter moves on as Tab";
    EXPECT_DOUBLE_EQ(Data->FieldByName("DUE")->AsDateTime(), EncodeDate(2008, 9, 1));
}

TEST_F(GridCellsTest, WithTheEditorAlwaysShownThePickerHandsTheEdgesToTheGrid)
{
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgAlwaysShowEditor});
    std::vector<Word> reported;
    Grid->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { reported.push_back(Key); };
    Start();
    Go(colDue, 0);
    TdwDBDateTimePicker* picker = Grid->DateTimePicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(picker->Focused()) << "the picker takes the focus at once";
    PressKey(Form, Qt::Key_Right);
    EXPECT_EQ(picker->SelText(), "15");
    EXPECT_EQ(reported, std::vector<Word>({VK_RIGHT})) << "the keys it keeps are told to the grid";
    PressKey(Form, Qt::Key_Left);
    EXPECT_TRUE(picker->Focused());
    PressKey(Form, Qt::Key_Left);
    EXPECT_EQ(Grid->SelectedIndex(), colPic) << "Left at the first section goes to the column before";
}

TEST_F(GridCellsTest, AClickElsewhereWritesThePickersDate)
{
    Start();
    Go(colDue, 1);
    TypeText(Form, "0506");
    TdwDBDateTimePicker* picker = Grid->DateTimePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->Text(), "05/06/2008");
    const TRect name = Cell(colName, 0);
    const QPoint elsewhere((name.Left + name.Right) / 2, (name.Top + name.Bottom) / 2);
    QTest::mouseClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, elsewhere);
    EXPECT_EQ(Grid->SelectedIndex(), colName);
    EXPECT_EQ(Field("ID"), "1");
    Data->Next();
    EXPECT_DOUBLE_EQ(Data->FieldByName("DUE")->AsDateTime(), EncodeDate(2008, 5, 6));
}

TEST_F(GridCellsTest, AnAttachedEditHearsItsExitWhenTheGridPosts)
{
    Data->ControlType.Add("NAME;CustomEdit;NameEdit");
    int exits = 0;
    // Writing the whole record on the way out brings the grid's update step back.
    Edit->OnExit = [&](TObject*) {
        ++exits;
        Data->UpdateRecord();
    };
    Start();
    Go(colName, 1);
    TypeText(Form, "Zed");
    ASSERT_TRUE(Edit->Focused());
    Data->Post();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(Field("NAME"), "Zed");
}

TEST_F(GridCellsTest, WithTheEditorAlwaysShownAnAttachedEditTakesTheFocus)
{
    Data->ControlType.Add("NAME;CustomEdit;NameEdit");
    Start();
    Go(colName, 1);
    ASSERT_EQ(Grid->CellControl(), Edit);
    EXPECT_FALSE(Edit->Focused());
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgAlwaysShowEditor});
    EXPECT_EQ(Grid->CellControl(), Edit);
    EXPECT_TRUE(Edit->Focused());
    Grid->SetFocus();
    Grid->SetSelectedIndex(colId);
    EXPECT_TRUE(Grid->EditorMode()) << "a plain cell gets the text editor";
    Grid->SetSelectedIndex(colName);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_TRUE(Edit->Focused());
}

TEST(GridCalculatedColumns, KeepTheirTabStopOnlyWithAnEditorOrPictureOfTheirOwn)
{
    TScriptedDialogs dialogs;
    TForm* form = Construct<TForm>(nullptr);
    const std::unique_ptr<TForm, void (*)(TForm*)> freeForm(form, [](TForm* f) { f->Free(); });
    form->SetBounds(0, 0, 500, 200);
    auto* edit = new TBoundEdit(form);
    edit->SetName("CalcEdit");
    edit->SetParent(form);
    auto* data = new TPublishingDataSet(form, {{"ID", ftString, 4}});
    TFieldDef("ID", ftString, 4, false, 0).CreateField(data, data);
    struct Case {
        const char* Name;
        const char* ControlType;
        bool TabStop;
    };
    const Case cases[] = {{"PLAIN", nullptr, false},
                          {"SHOWN", "Bitmap;Stretch To Fit", true},
                          {"ICON", "ImageIndex", true},
                          {"TYPED", "CustomEdit;CalcEdit", true},
                          {"GONE", "CustomEdit;NoSuchEdit", false},
                          {"TICK", "CheckBox;T;F", false}};
    for (const Case& c : cases) {
        auto* field = new TStringField(data);
        field->SetFieldName(c.Name);
        field->SetSize(4);
        field->SetCalculated(true);
        field->SetDataSet(data);
        if (c.ControlType)
            data->ControlType.Add(String(c.Name) + ";" + c.ControlType);
    }
    data->Open();
    data->AddRows({{"1"}});
    auto* source = new TDataSource(form);
    source->SetDataSet(data);
    auto* grid = new TdwDBGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 480, 180);
    grid->SetDataSource(source);
    EXPECT_TRUE(grid->TabStops(1));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(grid->TabStops(static_cast<int>(i) + 2), cases[i].TabStop) << cases[i].Name;
    grid->SetEditCalculated(true);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_TRUE(grid->TabStops(static_cast<int>(i) + 2)) << cases[i].Name << " with EditCalculated";
}

// ---- memo cells ----

class MemoGrid : public TdwDBGrid {
public:
    using TdwDBGrid::CellText;
    using TdwDBGrid::TdwDBGrid;
};

TEST_F(GridCellsTest, AMemoCellShowsMemoUnlessTheGridShowsItsText)
{
    auto* grid = new MemoGrid(Form);
    grid->SetParent(Form);
    grid->SetDataSource(Source);
    TField* notes = Data->FieldByName("NOTES");
    EXPECT_EQ(grid->CellText(notes), "(Memo)");
    grid->SetMemoAttributes(grid->MemoAttributes() + TdwMemoAttributes {mGridShow});
    EXPECT_EQ(grid->CellText(notes), "First note");
}

TEST_F(GridCellsTest, F2OpensTheMemoDialogAndOKWritesTheText)
{
    Data->FieldByName("NOTES")->SetDisplayLabel("Long~Notes");
    Start();
    Go(colNotes, 1);
    std::vector<String> events;
    Grid->OnMemoOpen = [&](TdwDBGrid*, TdwMemoDialog* Dialog) {
        events.push_back("open " + Dialog->Caption());
        EXPECT_FALSE(Dialog->MemoAttributes().Contains(mViewOnly));
    };
    Grid->OnMemoClose = [&](TdwDBGrid*, bool Cancel) { events.push_back(Cancel ? "cancel" : "ok"); };
    WhenMemoShown([&](TdwMemoDlg* dialog) {
        EXPECT_EQ(dialog->Caption(), "Long Notes");
        EXPECT_EQ(dialog->Memo->Text(), "Second note");
        EXPECT_FALSE(dialog->OKBtn->Enabled()) << "OK waits for a change";
        EXPECT_TRUE(dialog->CancelBtn->Visible());
        PressKey(dialog, Qt::Key_End, Qt::ControlModifier);
        TypeText(dialog, "!");
        EXPECT_TRUE(dialog->OKBtn->Enabled());
        PressKey(dialog, Qt::Key_Return, Qt::ControlModifier);
    });
    PressKey(Form, Qt::Key_F2);
    EXPECT_EQ((std::vector<String> {"open Long Notes", "ok"}), events);
    EXPECT_EQ(Field("NOTES"), "Second note!");
    EXPECT_EQ(Data->State(), dsEdit) << "the record is left for the grid to post";
}

TEST_F(GridCellsTest, ADoubleClickOpensTheMemoUnlessTheDialogIsOff)
{
    Start();
    std::vector<String> events;
    Grid->OnMemoOpen = [&](TdwDBGrid*, TdwMemoDialog*) { events.push_back("open"); };
    Grid->OnMemoClose = [&](TdwDBGrid*, bool Cancel) { events.push_back(Cancel ? "cancel" : "ok"); };
    const TRect cell = Cell(colNotes, 2);
    const QPoint centre((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    WhenMemoShown([](TdwMemoDlg* dialog) { dialog->CancelBtn->Click(); });
    QTest::mouseDClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ((std::vector<String> {"open", "cancel"}), events);
    EXPECT_EQ(Field("ID"), "3");

    events.clear();
    Grid->SetMemoAttributes(Grid->MemoAttributes() + TdwMemoAttributes {mDisableDialog});
    QTest::mouseDClick(Grid->Widget(), Qt::LeftButton, Qt::NoModifier, centre);
    PressKey(Form, Qt::Key_F2);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(Grid->EditorMode());
}

TEST_F(GridCellsTest, AReadOnlyMemoOpensForLookingOnly)
{
    Data->FieldByName("NOTES")->SetReadOnly(true);
    Start();
    Go(colNotes, 0);
    bool viewOnly = false;
    Grid->OnMemoOpen = [&](TdwDBGrid*, TdwMemoDialog* Dialog) {
        viewOnly = Dialog->MemoAttributes().Contains(mViewOnly);
    };
    WhenMemoShown([&](TdwMemoDlg* dialog) {
        EXPECT_TRUE(dialog->Memo->ReadOnly());
        EXPECT_FALSE(dialog->CancelBtn->Visible());
        EXPECT_TRUE(dialog->OKBtn->Enabled());
        dialog->OKBtn->Click();
    });
    PressKey(Form, Qt::Key_F2);
    EXPECT_TRUE(viewOnly);
    EXPECT_EQ(Field("NOTES"), "First note");
    EXPECT_EQ(Data->State(), dsBrowse);
}

TEST_F(GridCellsTest, TheMemoDialogEditsItsLinesOrOnlyShowsAFieldThatCannotChange)
{
    auto* memo = new TdwMemoDialog(Form);
    memo->Lines()->Add("one");
    WhenMemoShown([](TdwMemoDlg* dialog) {
        EXPECT_EQ(dialog->Memo->Lines()->Count(), 1);
        dialog->Memo->Lines()->Add("two");
        dialog->OKBtn->Click();
    });
    EXPECT_TRUE(memo->Execute());
    EXPECT_EQ(memo->Lines()->Count(), 2) << "without a field the lines take the text";

    // A read-only text field, not only a blob, opens for looking only.
    Data->FieldByName("NAME")->SetReadOnly(true);
    memo->SetDataSource(Source);
    memo->SetDataField("NAME");
    WhenMemoShown([](TdwMemoDlg* dialog) {
        EXPECT_TRUE(dialog->Memo->ReadOnly());
        EXPECT_EQ(dialog->Memo->Text(), "Ann");
        dialog->OKBtn->Click();
    });
    EXPECT_TRUE(memo->Execute());
    EXPECT_EQ(Data->State(), dsBrowse);
}

TEST_F(GridCellsTest, ClosingTheMemoAfterTypingAsksFirst)
{
    Start();
    Go(colNotes, 0);
    Dialogs.AnswerMessage(mrNo);
    Dialogs.AnswerMessage(mrYes);
    WhenMemoShown([&](TdwMemoDlg* dialog) {
        TypeText(dialog, "x");
        dialog->Close();
        WhenMemoShown([&, dialog](TdwMemoDlg* again) {
            EXPECT_EQ(again, dialog) << "No keeps the dialog";
            EXPECT_EQ(again->Memo->Text(), "xFirst note");
            EXPECT_EQ(Dialogs.Messages.size(), 1u);
            again->Close();
        });
    });
    PressKey(Form, Qt::Key_F2);
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Text, dwIntl()->UserMessages().MemoChangesWarning);
    EXPECT_EQ(Field("NOTES"), "First note");
}

TEST_F(GridCellsTest, Screenshot)
{
    Data->ControlType.Add("PIC;Bitmap;Stretch To Fit");
    Start();
    Data->First();
    Data->Edit();
    Data->FieldByName("PIC")->SetAsString(Picture(8, 8, clRed));
    Data->Post();
    Go(colDue, 0);
    KeepScreenshot(Form->Widget()->window()->grab(), "gridcells.png");
}

}  // namespace
