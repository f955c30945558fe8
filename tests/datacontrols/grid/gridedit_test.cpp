// Editing cells in place: typing starts the editor, moving posts, Esc takes back;
// picture masks check the typing and refuse to post an incomplete text.

#include <QImage>
#include <gtest/gtest.h>

#include "datacontrols/grid/wwinplaceedit.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/common/publishing.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"

namespace {

class GridEditTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        ShowForm(Form);
        Grid->SetFocus();
        Grid->SetSelectedIndex(6);  // CITY
        ASSERT_EQ(Grid->SelectedField()->FieldName(), "CITY");
    }
    String City() { return T->FieldByName("CITY")->AsString(); }
    TScriptedDialogs Dialogs;
};

TEST_F(GridEditTest, TypingEditsTheCellAndMovingDownPostsIt)
{
    std::vector<String> changed;
    Grid->OnFieldChanged = [&](TObject*, TField* Field) { changed.push_back(Field->FieldName()); };
    TypeText(Form, "Ogden");
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "Ogden");
    EXPECT_EQ(T->State(), dsEdit);
    PressKey(Form, Qt::Key_Down);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_EQ(CurrentId(), "C0002");
    EXPECT_EQ((std::vector<String> {"CITY"}), changed);
    T->First();
    EXPECT_EQ(City(), "Ogden");
    EXPECT_EQ(ReadBack("CLIENTS.DBF").size(), 300u);
}

// The focus leaving the grid for another control: what was typed goes into the field,
// and a Save button that posts writes it to the table.
TEST_F(GridEditTest, TypingSurvivesTheFocusLeavingTheGrid)
{
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(8, 255, 100, 22);
    auto* save = new TButton(Form);
    save->SetParent(Form);
    save->SetBounds(120, 255, 80, 25);
    save->OnClick = [this](TObject*) { T->Post(); };
    struct Case {
        const char* What;
        bool NewRow;
    };
    for (const Case& c : {Case {"an existing row", false}, Case {"a row appended with Down", true}}) {
        SCOPED_TRACE(c.What);
        Grid->SetFocus();
        if (c.NewRow) {
            PressKey(Form, Qt::Key_End, Qt::ControlModifier);
            PressKey(Form, Qt::Key_Down);
            ASSERT_EQ(T->State(), dsInsert);
        }
        TypeText(Form, "Ogden");
        ClickControl(other);
        ASSERT_TRUE(other->Focused());
        EXPECT_FALSE(Grid->EditorMode());
        EXPECT_EQ(T->State(), c.NewRow ? dsInsert : dsEdit) << "nothing posts the record yet";
        EXPECT_EQ(City(), "Ogden");
        ClickControl(save);
        EXPECT_EQ(T->State(), dsBrowse);
    }
    const std::vector<String> rows = ReadBack("CLIENTS.DBF");
    ASSERT_EQ(rows.size(), 301u);
    EXPECT_NE(rows[299].find("|Ogden"), String::npos) << "the first client, the table's last record";
    EXPECT_NE(rows[300].find("|Ogden"), String::npos) << rows[300];
}

// Only a new row with nothing typed into it is given up when the focus leaves, and only
// with dgCancelOnExit.
TEST_F(GridEditTest, AnUntouchedNewRowIsGivenUpOnExitWithCancelOnExit)
{
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(8, 255, 100, 22);
    for (const bool cancelOnExit : {true, false}) {
        SCOPED_TRACE(cancelOnExit ? "dgCancelOnExit" : "without dgCancelOnExit");
        Grid->SetOptions(cancelOnExit ? Grid->Options() + TdwDBGridOptions {dgCancelOnExit}
                                      : Grid->Options() - TdwDBGridOptions {dgCancelOnExit});
        Grid->SetFocus();
        PressKey(Form, Qt::Key_End, Qt::ControlModifier);
        PressKey(Form, Qt::Key_Down);
        ASSERT_EQ(T->State(), dsInsert);
        ClickControl(other);
        EXPECT_EQ(T->State(), cancelOnExit ? dsBrowse : dsInsert);
        T->Cancel();
    }
    EXPECT_EQ(ReadBack("CLIENTS.DBF").size(), 300u);
}

TEST_F(GridEditTest, AfterADeleteTheEditorShowsAgain)
{
    PressKey(Form, Qt::Key_F2);
    ASSERT_TRUE(Grid->EditorMode());
    TypeText(Form, "x");
    Dialogs.AnswerMessage(mrCancel);
    PressKey(Form, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(Grid->EditorMode()) << "a refused delete leaves the editor as it was";
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "x");
    Dialogs.AnswerMessage(mrOk);
    PressKey(Form, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(ReadBack("CLIENTS.DBF")[299][0], '*') << "the first client, the table's last record";
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), City()) << "the typing went with the record";
    EXPECT_FALSE(Grid->InplaceEditor()->TextChanged());
}

TEST_F(GridEditTest, EscTakesBackTheTypingThenTheRecord)
{
    PressKey(Form, Qt::Key_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "Springfield");
    TypeText(Form, "x");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "Springfield");
    EXPECT_TRUE(Grid->EditorMode());
    PressKey(Form, Qt::Key_Escape);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(T->State(), dsBrowse) << "an unmodified record is cancelled without asking";
    EXPECT_TRUE(Dialogs.Messages.empty());
    EXPECT_EQ(City(), "Springfield");
}

TEST_F(GridEditTest, CellsThatMayNotBeEditedKeepTheirText)
{
    struct Case {
        const char* What;
        std::function<void()> Setup;
    };
    const Case cases[] = {
            {"read-only grid", [this] { Grid->SetReadOnly(true); }},
            {"read-only field", [this] { T->FieldByName("CITY")->SetReadOnly(true); }},
            {"no editing option",
             [this] { Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgEditing}); }},
    };
    for (const Case& c : cases) {
        c.Setup();
        Grid->SetSelectedIndex(6);
        TypeText(Form, "Q");
        PressKey(Form, Qt::Key_F2);
        EXPECT_FALSE(Grid->EditorMode()) << c.What;
        EXPECT_EQ(T->State(), dsBrowse) << c.What;
        Grid->SetReadOnly(false);
        T->FieldByName("CITY")->SetReadOnly(false);
        Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgEditing});
    }
}

TEST_F(GridEditTest, TypingFollowsTheFieldsPictureMask)
{
    struct Case {
        const char* MaskLine;
        const char* Field;
        const char* Typed;
        const char* Text;
        int Caret;
        int Beeps;
        std::vector<bool> Checks;  // OnCheckValue after showing the editor, then per key taken
    };
    const Case cases[] = {
            {"SSN\t###-##-####\tT\tT", "SSN", "123", "123-", 4, 0, {true, false, false, false}},
            {"SSN\t###-##-####\tT\tT",
             "SSN",
             "123456789",
             "123-45-6789",
             11,
             0,
             {true, false, false, false, false, false, false, false, false, true}},
            {"ssn\t###-##-####\tT\tT", "SSN", "12a", "12", 2, 1, {true, false, false}},
            {"SSN\t###-##-####\tT\tF", "SSN", "12a", "12a", 3, 0, {true}},
            {"STATE\t*&\tT\tT", "STATE", "txq", "TX", 2, 0, {true, true, true}},
    };
    std::vector<bool> checks;
    Grid->OnCheckValue = [&](TObject* Sender, bool Passes) {
        EXPECT_EQ(Sender, Grid);
        checks.push_back(Passes);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        Grid->PictureMasks()->Clear();
        Grid->PictureMasks()->Add(c.MaskLine);
        Grid->SetSelectedIndex(T->FieldByName(c.Field)->Index());
        checks.clear();
        Dialogs.Beeps = 0;
        TypeText(Form, c.Typed);
        ASSERT_TRUE(Grid->EditorMode());
        EXPECT_EQ(Grid->InplaceEditor()->Text(), c.Text);
        EXPECT_EQ(Grid->InplaceEditor()->SelStart(), c.Caret);
        EXPECT_EQ(Dialogs.Beeps, c.Beeps);
        EXPECT_EQ(c.Checks, checks);
        PressKey(Form, Qt::Key_Escape);
        PressKey(Form, Qt::Key_Escape);
        ASSERT_EQ(T->State(), dsBrowse);
    }
}

TEST_F(GridEditTest, BackspaceAndDeleteCheckTheTextLeft)
{
    Grid->PictureMasks()->Add("SSN\t###\tT\tT");
    Grid->SetSelectedIndex(T->FieldByName("SSN")->Index());
    TypeText(Form, "123");
    std::vector<bool> checks;
    Grid->OnCheckValue = [&](TObject*, bool Passes) { checks.push_back(Passes); };
    PressKey(Form, Qt::Key_Backspace);
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "12");
    PressKey(Form, Qt::Key_Home);
    PressKey(Form, Qt::Key_Delete);
    PressKey(Form, Qt::Key_Delete);
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "");
    EXPECT_EQ((std::vector<bool> {false, false, true}), checks) << "an empty text passes";
}

TEST_F(GridEditTest, AnIncompleteMaskedTextIsNotPosted)
{
    Grid->PictureMasks()->Add("SSN\t###-##-####\tT\tT");
    Grid->SetSelectedIndex(T->FieldByName("SSN")->Index());
    TypeText(Form, "123");
    PressKey(Form, Qt::Key_Down);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_EQ(Dialogs.Beeps, 1);
    EXPECT_TRUE(Grid->EditorMode()) << "the editor keeps the text";
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "123-");
    EXPECT_EQ(CurrentId(), "C0001");
    EXPECT_EQ(T->FieldByName("SSN")->AsString(), "");

    Grid->InplaceEditor()->SetAllowInvalidExit(true);
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(CurrentId(), "C0002");
    T->First();
    EXPECT_EQ(T->FieldByName("SSN")->AsString(), "123-");
}

TEST_F(GridEditTest, EnterToTabAndCtrlPageUpLeaveTheEditorForTheGrid)
{
    Grid->SetKeyOptions(Grid->KeyOptions() + TdwDBGridKeyOptions {dgEnterToTab});
    T->MoveBy(3);
    TypeText(Form, "Ogden");
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(Grid->SelectedField()->FieldName(), "STATE");
    EXPECT_EQ(City(), "Ogden");
    EXPECT_EQ(CurrentId(), "C0004");

    TypeText(Form, "UT");
    PressKey(Form, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(CurrentId(), "C0001") << "to the top record shown";
    T->MoveBy(3);
    EXPECT_EQ(T->FieldByName("STATE")->AsString(), "UT");
    EXPECT_EQ(City(), "Ogden");
}

TEST_F(GridEditTest, AnAlwaysShownEditorWaitsForTheFocusAndStaysThroughEsc)
{
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetFocus();
    Grid->SetOptions(Grid->Options() + TdwDBGridOptions {dgAlwaysShowEditor});
    Grid->Widget()->grab();
    EXPECT_FALSE(Grid->EditorMode()) << "not while another control has the focus";
    Grid->SetFocus();
    Grid->Widget()->grab();
    ASSERT_TRUE(Grid->EditorMode()) << "painting the focused grid shows it";
    TdwInplaceEdit* editor = Grid->InplaceEditor();
    EXPECT_EQ(editor->Text(), "Springfield");
    EXPECT_EQ(T->State(), dsBrowse);

    TypeText(Form, "x");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(editor->Text(), "Springfield");
    PressKey(Form, Qt::Key_Escape);
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_TRUE(Grid->EditorMode()) << "the second Esc cancels the record and keeps the editor";
    EXPECT_EQ(editor->Text(), "Springfield");
    EXPECT_TRUE(Dialogs.Messages.empty());

    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(CurrentId(), "C0002");
    ASSERT_TRUE(Grid->EditorMode()) << "it comes back on the next record";
    EXPECT_EQ(editor->Text(), City());
    Grid->SetSelectedIndex(1);
    ASSERT_TRUE(Grid->EditorMode()) << "and in the next column";
    EXPECT_EQ(editor->Text(), T->FieldByName(Grid->SelectedField()->FieldName())->Text());
    EXPECT_EQ(T->State(), dsBrowse);
}

TEST_F(GridEditTest, AFieldChangedUnderTheEditorShowsInIt)
{
    PressKey(Form, Qt::Key_F2);
    TdwInplaceEdit* editor = Grid->InplaceEditor();
    T->Edit();
    T->FieldByName("CITY")->SetAsString("Provo");
    EXPECT_EQ(editor->Text(), "Provo");
    EXPECT_FALSE(editor->TextChanged());
    TypeText(Form, "x");
    T->FieldByName("NAME1")->SetAsString("Zed");
    EXPECT_EQ(editor->Text(), "Provox") << "a change of another field leaves the typing";
    PressKey(Form, Qt::Key_Down);
    T->First();
    EXPECT_EQ(City(), "Provox");
    EXPECT_EQ(T->FieldByName("NAME1")->AsString(), "Zed");
}

TEST_F(GridEditTest, TheEditorsTextStartsAtItsCornerInWordWrapModeElseInset)
{
    PressKey(Form, Qt::Key_F2);
    TdwInplaceEdit* editor = Grid->InplaceEditor();
    EXPECT_TRUE(editor->WordWrap());
    EXPECT_EQ(editor->TextMargins(), Rect(0, 0, 1, 0));
    Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgWordWrap});
    EXPECT_FALSE(editor->WordWrap());
    EXPECT_EQ(editor->TextMargins(), Rect(2, 2, 1, 0));
}

// The lines of text the editor shows: runs of pixel rows with ink inside its frame.
int InkLines(TEdit* Editor)
{
    QCoreApplication::processEvents();
    const QImage image = Editor->Widget()->grab().toImage();
    int lines = 0;
    bool inLine = false;
    for (int y = 2; y < image.height() - 2; ++y) {
        bool ink = false;
        for (int x = 3; x < image.width() - 3 && !ink; ++x)
            ink = image.pixelColor(x, y).lightness() < 100;
        lines += ink && !inLine;
        inLine = ink;
    }
    return lines;
}

TEST_F(GridEditTest, AWordWrappedEditorShowsALongTextOnTheCellsLinesAndPostsOneLine)
{
    ASSERT_TRUE(Grid->Options().Contains(dgWordWrap));
    Grid->SetRowHeightPercent(200);
    // Capitals, wider than the column: no descender touches the line below.
    const String text = "WWWW WWWW WWWW WWWW WWW";
    TypeText(Form, text.c_str());
    TdwInplaceEdit* editor = Grid->InplaceEditor();
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(InkLines(editor), 2);
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(editor->Text(), text);
    PressKey(Form, Qt::Key_Down);
    EXPECT_FALSE(Grid->EditorMode());
    T->First();
    EXPECT_EQ(City(), text);

    Grid->SetOptions(Grid->Options() - TdwDBGridOptions {dgWordWrap});
    PressKey(Form, Qt::Key_Up);
    PressKey(Form, Qt::Key_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_FALSE(editor->WordWrap());
    EXPECT_EQ(editor->Text(), text);
    EXPECT_EQ(InkLines(editor), 1);
}

// A grid over a data set that publishes its own masks and an OnInvalidValue event.
class GridMaskedDataSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 200);
        Data = new TPublishingDataSet(Form, {{"ZIP", ftString, 10}, {"DUE", ftDate}});
        Data->Open();
        Data->AddRows({{"12345", "01/02/2009"}});
        Data->PictureMasks.Add("ZIP\t#####\tT\tT");
        Source = new TDataSource(Form);
        Source->SetDataSet(Data);
        Grid = new TdwDBGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(8, 8, 380, 180);
        Grid->SetDataSource(Source);
        Grid->PictureMasks()->Add("ZIP\t&&&&&\tT\tT");  // the data set's list wins
        ShowForm(Form);
        Grid->SetFocus();
    }
    void TearDown() override { Form->Free(); }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TPublishingDataSet* Data = nullptr;
    TDataSource* Source = nullptr;
    TdwDBGrid* Grid = nullptr;
};

TEST_F(GridMaskedDataSetTest, TheDataSetsOnInvalidValueHearsOfARefusedPost)
{
    std::vector<String> invalid;
    Data->OnInvalidValue = [&](TDataSet* DataSet, TField* Field) {
        EXPECT_EQ(DataSet, Data);
        invalid.push_back(Field->FieldName());
    };
    TypeText(Form, "12");
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "12") << "digits fit the data set's mask";
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ((std::vector<String> {"ZIP"}), invalid);
    EXPECT_TRUE(Dialogs.Messages.empty());
    EXPECT_EQ(Data->FieldByName("ZIP")->AsString(), "12345");
}

TEST_F(GridMaskedDataSetTest, ADateIsReadByTheLibrarysParser)
{
    Grid->SetEditControlOptions(Grid->EditControlOptions() +
                                TdwEditControlOptions {ecoDisableDateTimePicker});
    Grid->SetSelectedIndex(1);
    PressKey(Form, Qt::Key_F2);
    ASSERT_TRUE(Grid->EditorMode());
    Grid->InplaceEditor()->SetText("Jul/4/09");
    PressKey(Form, Qt::Key_Return);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_DOUBLE_EQ(Data->FieldByName("DUE")->AsDateTime(), EncodeDate(2009, 7, 4));
}

}  // namespace
