// The hints a status bar shows: the long part of the hint of the control or menu item
// under the pointer, or of its nearest container that has one; and the pictures and
// short cuts of menu items.

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/imagelist.h"
#include "tests/support/formtesting.h"

namespace {

TEST(StatusHints, AHintSplitsIntoItsShortAndLongParts)
{
    struct Case {
        const char* Hint;
        const char* Short;
        const char* Long;
    };
    for (const Case& c :
         {Case {"Cut | Cuts the selection", "Cut", "Cuts the selection"}, Case {"Exit", "Exit", "Exit"},
          Case {"", "", ""}, Case {"Only short|", "Only short", ""}, Case {"|Only long", "", "Only long"},
          Case {"a|b|c", "a", "b|c"}}) {
        EXPECT_EQ(GetShortHint(c.Hint), c.Short) << c.Hint;
        EXPECT_EQ(GetLongHint(c.Hint), c.Long) << c.Hint;
    }
}

class StatusHintsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 200);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(0, 0, 300, 100);
        Panel->SetHint("Panel | The panel's long hint");
        Button = new TSpeedButton(Form);
        Button->SetParent(Panel);
        Button->SetBounds(10, 10, 40, 30);
        Plain = new TSpeedButton(Form);
        Plain->SetParent(Panel);
        Plain->SetBounds(100, 10, 40, 30);
        Button->SetHint("Go | Goes somewhere");
        Application->OnHint = [this](TObject*) { Seen.push_back(Application->Hint()); };
        ShowForm(Form);
    }
    void TearDown() override
    {
        Application->OnHint = nullptr;
        Application->SetHint("");
        Form->Free();
    }
    void PointAt(TControl* Control, QPoint At)
    {
        QWidget* window = Form->Widget()->window();
        QTest::mouseMove(window->windowHandle(), Control->Widget()->mapTo(window, At));
        QCoreApplication::processEvents();
    }

    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    TSpeedButton* Button = nullptr;
    TSpeedButton* Plain = nullptr;
    std::vector<String> Seen;
};

TEST_F(StatusHintsTest, ThePointerGivesTheApplicationTheHintOfWhatItIsOn)
{
    PointAt(Button, QPoint(5, 5));
    EXPECT_EQ(Application->Hint(), "Goes somewhere");
    PointAt(Button, QPoint(20, 20));
    PointAt(Plain, QPoint(5, 5));
    EXPECT_EQ(Application->Hint(), "The panel's long hint")
            << "a control without a hint shows its container's";
    PointAt(Panel, QPoint(200, 80));
    EXPECT_EQ(Application->Hint(), "The panel's long hint");
    PointAt(Form, QPoint(150, 150));
    EXPECT_EQ(Application->Hint(), "");
    // On its way to the button the pointer entered the panel.
    EXPECT_EQ(Seen,
              (std::vector<String> {"The panel's long hint", "Goes somewhere", "The panel's long hint", ""}))
            << "once for each change";
    EXPECT_EQ(Button->Widget()->toolTip(), QString()) << "no tool tip without ShowHint";
    Button->SetShowHint(true);
    EXPECT_EQ(Button->Widget()->toolTip(), QStringLiteral("Go"));
}

// A new item of Menu under Parent.
TMenuItem* AddItem(TMenu* Menu, TMenuItem* Parent, const char* Caption)
{
    auto* item = new TMenuItem(Menu);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

TEST_F(StatusHintsTest, AMenuItemGivesItsHintAndShowsThePictureOfItsIndex)
{
    auto* menu = new TMainMenu(Form);
    TMenuItem* file = AddItem(menu, menu->Items(), "&File");
    TMenuItem* open = AddItem(menu, file, "&Open");
    open->SetHint("Open | Opens a file");
    open->SetImageIndex(0);
    QMenu* items = file->Action()->menu();
    items->popup(Form->Widget()->mapToGlobal(QPoint(10, 10)));
    open->Action()->hover();
    EXPECT_EQ(Application->Hint(), "Opens a file");
    items->hide();
    EXPECT_EQ(Application->Hint(), "") << "a closed menu leaves no hint";

    EXPECT_TRUE(open->Action()->icon().isNull()) << "no pictures yet";
    auto* images = new TImageList(Form);
    TBitmap picture;
    picture.SetSize(16, 16);
    picture.Canvas()->Brush()->SetColor(clRed);
    picture.Canvas()->FillRect(Rect(0, 0, 16, 16));
    picture.Canvas()->Brush()->SetColor(clBlue);
    picture.Canvas()->FillRect(Rect(4, 4, 12, 12));
    picture.SetTransparent(true);
    images->Add(&picture);
    menu->SetImages(images);
    ASSERT_FALSE(open->Action()->icon().isNull());
    const QImage shown = open->Action()->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(shown.pixel(1, 1)), 0) << "the ground is see-through";
    EXPECT_EQ(QColor(shown.pixel(8, 8)), QColor(Qt::blue));
    EXPECT_TRUE(file->Action()->icon().isNull()) << "an item without an index shows none";
    open->SetImageIndex(5);
    EXPECT_TRUE(open->Action()->icon().isNull()) << "an index past the list shows none";
    open->SetImageIndex(0);
    images->Free();
    EXPECT_EQ(menu->Images(), nullptr);
    EXPECT_TRUE(open->Action()->icon().isNull());
}

TEST_F(StatusHintsTest, AShortCutClicksItsItemOnlyWhileItAndItsMenuCanBeChosen)
{
    auto* menu = new TMainMenu(Form);
    TMenuItem* edit = AddItem(menu, menu->Items(), "&Edit");
    TMenuItem* undo = AddItem(menu, edit, "&Undo");
    undo->SetShortCut(ShortCut('Z', TShiftState {ssCtrl}));
    int clicks = 0;
    undo->OnClick = [&clicks](TObject*) { ++clicks; };
    EXPECT_EQ(undo->ShortCut(), scCtrl | 'Z');
    EXPECT_EQ(undo->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z)) << "shown in the menu";
    struct Case {
        Word Key;
        TShiftState Shift;
        bool ItemEnabled, MenuVisible, Clicks;
    };
    for (const Case& c :
         {Case {'Z', {ssCtrl}, true, true, true}, Case {'Z', {ssCtrl, ssLeft}, true, true, true},
          Case {'Z', {}, true, true, false}, Case {'Z', {ssCtrl, ssShift}, true, true, false},
          Case {'Y', {ssCtrl}, true, true, false}, Case {'Z', {ssCtrl}, false, true, false},
          Case {'Z', {ssCtrl}, true, false, false}}) {
        undo->SetEnabled(c.ItemEnabled);
        edit->SetVisible(c.MenuVisible);
        clicks = 0;
        EXPECT_EQ(menu->IsShortCut(c.Key, c.Shift), c.Clicks);
        EXPECT_EQ(clicks, c.Clicks ? 1 : 0);
    }
}

}  // namespace
