// The combo box with display and value items: the MapList mapping over a data set, the
// drop-down's size and place near each screen edge, closing on a click elsewhere, and
// typing with ShowMatchText and first-letter cycling.

#include <QCoreApplication>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/edits/wwdbcomb.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/datacontrols/edits/editfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/memdataset.h"
#include "tests/support/screenshots.h"

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(20, 20, 320, 160);
        Combo = MakeCombo(8);
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(180, 8, 120, 21);
        ShowForm(Form);
        ForgetHeldInput();
        Combo->SetFocus();
        Settle();
    }
    void TearDown() override
    {
        ForgetHeldInput();
        Form->Free();
        Settle();
    }
    TdwDBComboBox* MakeCombo(int Top)
    {
        auto* combo = new TdwDBComboBox(Form);
        combo->SetParent(Form);
        combo->SetBounds(8, Top, 150, 21);
        combo->SetTabStop(true);
        combo->Loaded();
        return combo;
    }
    void SetItems(std::initializer_list<const char*> Items)
    {
        Combo->Items()->Clear();
        for (const char* item : Items)
            Combo->Items()->Add(item);
    }
    void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        PressKey(Form, Key, Modifiers);
    }
    void Type(const char* Text) { TypeText(Form, Text); }
    // The form with the open list, a window of its own, drawn into it at its place.
    QImage FormWithList()
    {
        Settle();
        QImage image = Form->Widget()->window()->grab().toImage();
        QPainter painter(&image);
        const QPoint at = Form->Widget()->window()->mapFromGlobal(Combo->PopupList()->Widget()->pos());
        painter.drawPixmap(at, Combo->PopupList()->Widget()->grab());
        return image;
    }
    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TdwDBComboBox* Combo = nullptr;
    TEdit* Other = nullptr;
};

TEST(dwComboItems, ValueAndDisplayParts)
{
    EXPECT_EQ(dwComboDisplayPart("Yes\tY"), "Yes");
    EXPECT_EQ(dwComboValuePart("Yes\tY"), "Y");
    EXPECT_EQ(dwComboDisplayPart("Maybe"), "Maybe");
    EXPECT_EQ(dwComboValuePart("Maybe"), "Maybe");  // without a TAB the whole text is the value
    EXPECT_EQ(dwComboValuePart("A\tB\tC"), "B\tC");
}

TEST(dwDropDown, HeightAndPlaceNearEachScreenEdge)
{
    EXPECT_EQ(dwDropDownHeight(3, 8, 15), 3 * 15 + 4);
    EXPECT_EQ(dwDropDownHeight(20, 8, 15), 8 * 15 + 4);
    EXPECT_EQ(dwDropDownHeight(0, 8, 15), 4);
    struct Case {
        TRect Combo;
        int Width, Height;
        TRect Expected;
    } cases[] = {
            {Bounds(100, 100, 150, 21), 150, 64, Bounds(100, 120, 150, 64)},  // below
            {Bounds(100, 560, 150, 21), 150, 64, Bounds(100, 496, 150, 64)},  // above at the bottom
            {Bounds(700, 100, 150, 21), 150, 64, Bounds(699, 120, 150, 64)},  // right-aligned at the right
            {Bounds(700, 560, 150, 21), 150, 64, Bounds(699, 496, 150, 64)},  // both in the corner
            {Bounds(0, 0, 150, 21), 200, 64, Bounds(0, 20, 200, 64)},         // wider than the combo
    };
    for (const Case& c : cases) {
        const TRect r = dwDropDownBounds(c.Combo, c.Width, c.Height, 800, 600);
        EXPECT_EQ(r.Left, c.Expected.Left) << c.Combo.Left << "," << c.Combo.Top;
        EXPECT_EQ(r.Top, c.Expected.Top) << c.Combo.Left << "," << c.Combo.Top;
        EXPECT_EQ(r.Width(), c.Expected.Width());
        EXPECT_EQ(r.Height(), c.Expected.Height());
    }
}

TEST_F(ComboBoxTest, MapListShowsTheTextAndStoresTheValue)
{
    TMemDataSet data(nullptr, {{"ANSWER", ftString, 1}});
    data.Open();
    data.AddRows({{"N"}, {"X"}});
    data.First();
    TDataSource source(nullptr);
    source.SetDataSet(&data);
    SetItems({"Yes\tY", "No\tN"});
    Combo->SetMapList(true);
    Combo->SetStyle(csDropDownList);
    Combo->SetDataSource(&source);
    Combo->SetDataField("ANSWER");
    EXPECT_EQ(Combo->Text(), "No");
    EXPECT_EQ(Combo->ItemIndex(), 1);

    // Chosen from the list, Yes stores Y.
    Press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Combo->IsDroppedDown());
    Press(Qt::Key_Up);
    Press(Qt::Key_Return);
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->Text(), "Yes");
    Combo->DataLink()->UpdateRecord();
    data.Post();
    EXPECT_EQ(data.FieldByName("ANSWER")->AsString(), "Y");

    // A value no item carries shows as nothing.
    data.Next();
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_EQ(Combo->ItemIndex(), -1);

    // Without MapList a drop-down combo shows the value as it is.
    Combo->SetMapList(false);
    Combo->SetStyle(csDropDown);
    data.First();
    Combo->DataLink()->Reset();
    EXPECT_EQ(Combo->Text(), "Y");
    Combo->SetDataSource(nullptr);
}

TEST_F(ComboBoxTest, ValueForTheText)
{
    SetItems({"Yes\tY", "No\tN", "Maybe"});
    Combo->SetMapList(true);
    EXPECT_EQ(Combo->ValueForText("No"), "N");
    EXPECT_EQ(Combo->ValueForText("Maybe"), "Maybe");
    EXPECT_EQ(Combo->ValueForText("no"), "");  // exact comparison
    EXPECT_EQ(Combo->ValueForText("Other"), "");
    EXPECT_EQ(Combo->ValueForText(""), "");
    EXPECT_EQ(Combo->DisplayTextForValue("Y"), "Yes");
    Combo->SetMapList(false);
    EXPECT_EQ(Combo->ValueForText("Other"), "Other");
    EXPECT_EQ(Combo->DisplayTextForValue("N"), "N");
}

TEST_F(ComboBoxTest, TheListOpensBelowOrAboveAndIsAsHighAsItsRows)
{
    SetItems({"One", "Two", "Three"});
    Combo->SetItemHeight(15);
    Press(Qt::Key_F4);
    ASSERT_TRUE(Combo->IsDroppedDown());
    TdwPopupListbox* list = Combo->PopupList();
    const TPoint origin = Combo->ClientToScreen(Point(0, 0));
    EXPECT_EQ(list->Height(), 3 * 15 + 4);
    EXPECT_EQ(list->Width(), Combo->Width());
    EXPECT_EQ(list->Top(), origin.Y + Combo->Height() - 1);
    EXPECT_EQ(list->Left(), origin.X);
    EXPECT_TRUE(list->Widget()->isVisible());
    EXPECT_TRUE(Combo->Widget()->hasFocus());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(list->Widget()->isVisible());

    // Near the screen's bottom it opens above the combo.
    Form->SetTop(GuiScreen()->Height() - 60);
    Settle();
    Press(Qt::Key_Down, Qt::AltModifier);
    const TPoint moved = Combo->ClientToScreen(Point(0, 0));
    EXPECT_EQ(list->Top(), moved.Y - list->Height());
    Press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(Combo->IsDroppedDown());
}

TEST_F(ComboBoxTest, AClickElsewhereClosesTheListAndKeepsTheHighlightedItem)
{
    SetItems({"One", "Two", "Three"});
    QTest::mouseClick(Combo->Button()->Widget(), Qt::LeftButton);
    ASSERT_TRUE(Combo->IsDroppedDown());
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    // A click in the combo's text keeps it open.
    QTest::mousePress(Combo->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(130, 10));
    QTest::mouseRelease(Combo->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(130, 10));
    Settle();
    ASSERT_TRUE(Combo->IsDroppedDown());
    QTest::mouseClick(Form->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 120));
    Settle();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->Text(), "Two");
    // Tab closes it too and moves on.
    Press(Qt::Key_Down, Qt::AltModifier);
    Press(Qt::Key_Down);
    Press(Qt::Key_Tab);
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->Text(), "Three");
    EXPECT_TRUE(Other->Focused());
}

TEST_F(ComboBoxTest, EnterAcceptsTheHighlightedItemAndEscDoesNot)
{
    SetItems({"One", "Two", "Three"});
    Combo->SetStyle(csDropDownList);
    Press(Qt::Key_Down, Qt::AltModifier);
    Press(Qt::Key_Down);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_TRUE(Combo->Focused());
    Press(Qt::Key_F4);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    EXPECT_EQ(Combo->Text(), "Two");
    EXPECT_TRUE(Combo->Modified());
}

TEST_F(ComboBoxTest, AnotherWindowTakingTheKeyboardClosesTheList)
{
    SetItems({"One", "Two"});
    Press(Qt::Key_F4);
    Press(Qt::Key_Down);
    ASSERT_TRUE(Combo->IsDroppedDown());
    TForm* second = Construct<TForm>(nullptr);
    second->SetBounds(400, 300, 200, 100);
    ShowForm(second);
    Settle();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_FALSE(Combo->PopupList()->Widget()->isVisible());
    EXPECT_EQ(Combo->Text(), "One");
    second->Free();
    Settle();
}

TEST_F(ComboBoxTest, ClickingAnItemChoosesIt)
{
    SetItems({"One", "Two", "Three"});
    Press(Qt::Key_F4);
    TdwPopupListbox* list = Combo->PopupList();
    QTest::mouseClick(list->Widget()->findChild<QWidget*>("qt_scrollarea_viewport"), Qt::LeftButton,
                      Qt::NoModifier, QPoint(10, 15 + 7));
    Settle();
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->Text(), "Two");
}

TEST_F(ComboBoxTest, ADestroyedComboLeavesTheOthersListClosingOnAClickElsewhere)
{
    SetItems({"One", "Two"});
    TdwDBComboBox* second = MakeCombo(40);
    second->Items()->Add("Three");
    // The second one opens and closes first, then the first opens and the second goes.
    second->SetFocus();
    Press(Qt::Key_F4);
    Press(Qt::Key_Escape);
    Combo->SetFocus();
    Press(Qt::Key_F4);
    ASSERT_TRUE(Combo->IsDroppedDown());
    second->Free();
    Settle();
    QTest::mouseClick(Form->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 120));
    Settle();
    EXPECT_FALSE(Combo->IsDroppedDown());
}

TEST_F(ComboBoxTest, ShowMatchTextCompletesTheTypedStart)
{
    SetItems({"Apple", "Banana"});
    Combo->SetStyle(csDropDownList);
    Combo->SetShowMatchText(true);
    Type("b");
    EXPECT_EQ(Combo->Text(), "Banana");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(Combo->SelStart(), 1);
    EXPECT_EQ(Combo->SelLength(), 5);
    // Backspace widens the selection instead of deleting.
    Press(Qt::Key_Backspace);
    EXPECT_EQ(Combo->Text(), "Banana");
    EXPECT_EQ(Combo->SelStart(), 0);
    EXPECT_EQ(Combo->SelLength(), 6);
    // A letter no item begins with is dropped.
    Type("z");
    EXPECT_EQ(Combo->Text(), "Banana");
    // With AllowClearKey, Delete over the whole text clears the value.
    Combo->SetAllowClearKey(true);
    Combo->SelectAll();
    Press(Qt::Key_Delete);
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(ComboBoxTest, FirstLettersCycleThroughTheItems)
{
    SetItems({"Apple", "Banana", "Blueberry", "Cherry"});
    Combo->SetStyle(csDropDownList);
    const char* expected[] = {"Banana", "Blueberry", "Banana"};
    for (const char* text : expected) {
        Type("b");
        EXPECT_EQ(Combo->Text(), text);
    }
    Type("a");
    EXPECT_EQ(Combo->Text(), "Apple");
    // Down and Up step through the items and mark the edit changed.
    Press(Qt::Key_Down);
    EXPECT_EQ(Combo->Text(), "Banana");
    Press(Qt::Key_Up);
    EXPECT_EQ(Combo->Text(), "Apple");
    EXPECT_TRUE(Combo->Modified());
}

TEST_F(ComboBoxTest, AutoDropDownOpensOnTheFirstTypedKey)
{
    SetItems({"Apple", "Banana", "Blueberry"});
    int dropDowns = 0;
    Combo->OnDropDown = [&](TObject*) {
        ++dropDowns;
        Combo->Items()->Add("Cherry");  // the list shows what the handler left
    };
    Combo->SetAutoDropDown(true);
    Combo->SetText("old");
    Combo->SelectAll();
    Type("bl");
    ASSERT_TRUE(Combo->IsDroppedDown());
    EXPECT_EQ(dropDowns, 1);
    EXPECT_EQ(Combo->Text(), "bl");
    EXPECT_EQ(Combo->PopupList()->Items()->Count(), 4);
    // The list follows the typed start.
    EXPECT_EQ(Combo->PopupList()->ItemIndex(), 2);
    Press(Qt::Key_Return);
    EXPECT_EQ(Combo->Text(), "Blueberry");
}

TEST_F(ComboBoxTest, SimpleStyleHasNoButtonAndNoList)
{
    SetItems({"One"});
    Combo->SetStyle(csSimple);
    EXPECT_FALSE(Combo->GetShowButton());
    Press(Qt::Key_F4);
    EXPECT_FALSE(Combo->IsDroppedDown());
    Combo->SetStyle(csDropDown);
    EXPECT_TRUE(Combo->GetShowButton());
}

TEST_F(ComboBoxTest, Screenshot)
{
    SetItems({"Alabama", "Alaska", "Arizona", "Arkansas", "California"});
    Combo->SetText("Alaska");
    Press(Qt::Key_F4);
    Press(Qt::Key_Down);
    KeepScreenshot(FormWithList(), "combobox-open.png");
}

// In the owner-drawn styles the combo's handlers draw the list's items and the chosen one
// in the edit, and measure the items of a variable list.
TEST_F(ComboBoxTest, OwnerDrawnStylesDrawThroughTheCombosHandlers)
{
    SetItems({"Red", "Lime", "Blue"});
    const TColor colours[] = {clRed, clLime, clBlue};
    std::vector<std::pair<TWinControl*, int>> drawn;
    bool selectedSeen = false;
    Combo->OnDrawItem = [&](TWinControl* Control, int Index, TRect Area, TOwnerDrawState State) {
        drawn.emplace_back(Control, Index);
        selectedSeen |= Index == 1 && State.Contains(odSelected);
        // A swatch and the colour's name beside it.
        TCanvas* canvas = Combo->Canvas();
        ASSERT_NE(canvas, nullptr);
        canvas->FillRect(Area);  // in the highlight's colour when selected
        if (Index < 0)
            return;
        const TRect swatch =
                Rect(Area.Left + 2, Area.Top + 2, Area.Left + 2 * Area.Height() - 2, Area.Bottom - 2);
        canvas->Brush()->SetColor(colours[Index]);
        canvas->FillRect(swatch);
        canvas->Brush()->SetStyle(bsClear);
        canvas->TextOut(Area.Left + 2 * Area.Height() + 4, Area.Top + 1, Combo->Items()->Get(Index));
    };
    Combo->SetStyle(csOwnerDrawFixed);
    Combo->SetItemHeight(20);
    Combo->SetItemIndex(1);
    Press(Qt::Key_F4);
    ASSERT_TRUE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->PopupList()->Style(), lbOwnerDrawFixed);
    const QImage shown = FormWithList();
    const QPoint listAt = Form->Widget()->window()->mapFromGlobal(Combo->PopupList()->Widget()->pos());
    for (int i = 0; i < 3; ++i) {
        const TRect r = Combo->PopupList()->ItemRect(i);
        EXPECT_EQ(r.Height(), 20);
        const QPoint swatch = listAt + QPoint(r.Left + r.Height() + 1, (r.Top + r.Bottom) / 2 + 1);
        EXPECT_EQ(shown.pixelColor(swatch), QColor(ToQColor(colours[i]))) << i;
    }
    EXPECT_TRUE(selectedSeen);
    for (const auto& [control, index] : drawn)
        EXPECT_EQ(control, Combo);
    KeepScreenshot(shown, "combobox-ownerdraw-open.png");
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "Blue");

    // Closed, the edit shows the chosen item as the handler draws it, focused.
    drawn.clear();
    Combo->Repaint();
    Settle();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().second, 2);

    Combo->SetStyle(csOwnerDrawVariable);
    Combo->OnMeasureItem = [&](TWinControl* Control, int Index, int& Height) {
        EXPECT_EQ(Control, Combo);
        Height = 16 + 8 * Index;
    };
    Press(Qt::Key_F4);
    ASSERT_TRUE(Combo->IsDroppedDown());
    EXPECT_EQ(Combo->PopupList()->ItemRect(0).Height(), 16);
    EXPECT_EQ(Combo->PopupList()->ItemRect(2).Height(), 32);
    Press(Qt::Key_Escape);
}

}  // namespace
