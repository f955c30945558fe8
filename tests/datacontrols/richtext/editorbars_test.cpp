// The editor form's bars, offscreen: the tool bar's groups closed up around hidden
// buttons, flat or raised buttons, hints in the status bar, the lock-key indicators and
// the menu's pictures.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "datacontrols/richtext/dwrich.h"
#include "platform/vcl/controls/bars.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/lockkeys.h"
#include "platform/vcl/forms/menus.h"
#include "tests/datacontrols/richtext/richeditfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class EditorBarsTest : public RichEditFormTest {
protected:
    void SetUp() override
    {
        RichEditFormTest::SetUp();
        Edit->LoadContents(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\b Payment} notice})");
    }
    void Screenshot(TdwRichEditForm* Editor, const char* Name)
    {
        KeepScreenshot(Editor->Widget()->window()->grab(), QString(Name) + ".png");
    }
};

// The visible buttons of a group touch; a bevel stands 3 pixels after a group's last
// one and the next group starts 5 pixels after the bevel.
void ExpectClosedUp(TdwRichEditForm* E)
{
    const std::vector<TSpeedButton*> groups[] = {{E->NewButton, E->PrintButton},
                                                 {E->FindButton, E->SpellButton},
                                                 {E->CutButton, E->CopyButton, E->PasteButton},
                                                 {E->UndoButton, E->RedoButton}};
    TBevel* const bevels[] = {E->Bevel1, E->ToolbarBevel1, E->Bevel2};
    int x = 4;
    for (size_t g = 0; g < std::size(groups); ++g) {
        for (TSpeedButton* button : groups[g]) {
            if (!button->Visible())
                continue;
            EXPECT_EQ(button->Left(), x) << "group " << g;
            x += button->Width();
        }
        if (g < std::size(bevels)) {
            EXPECT_EQ(bevels[g]->Left(), x + 3) << "bevel " << g;
            x += 3 + 5;
        }
    }
}

TEST_F(EditorBarsTest, HiddenButtonsLeaveNoGapInTheToolBar)
{
    struct Case {
        TdwRichEditOptions Options;
        bool Print;
        const char* Screenshot;
    };
    const TdwRichEditOptions all = Edit->EditorOptions();
    for (const Case& c : {Case {all, true, nullptr}, Case {all - TdwRichEditOptions {reoShowPrint}, false,
                                                           "richedit_toolbar_noprint"}}) {
        Edit->SetEditorOptions(c.Options);
        RunEditor([&](TdwRichEditForm* editor) {
            EXPECT_EQ(editor->PrintButton->Visible(), c.Print);
            EXPECT_FALSE(editor->SpellButton->Visible()) << "no spelling checker here";
            ExpectClosedUp(editor);
            if (c.Screenshot)
                Screenshot(editor, c.Screenshot);
            editor->Exit1->Click();
        });
    }
    Edit->SetEditorOptions(all);
    int printless = 0;
    RunEditor([&](TdwRichEditForm* editor) {
        printless = editor->Bevel1->Left() - editor->PrintButton->Width();
        editor->Exit1->Click();
    });
    Edit->SetEditorOptions(all - TdwRichEditOptions {reoShowPrint});
    RunEditor([&](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->Bevel1->Left(), printless) << "a hidden Print moves the bevel left by its width";
        editor->Exit1->Click();
    });
}

TEST_F(EditorBarsTest, WithoutFlatButtonsTheBarsGrowAndTheButtonsStandRaised)
{
    TForm* own = Construct<TForm>(nullptr);
    auto* user = new TSpeedButton(own);
    user->SetParent(own);
    user->SetBounds(0, 0, 30, 20);
    Edit->SetUserSpeedButton1(user);
    for (const bool flat : {true, false}) {
        Edit->SetEditorOptions(flat ? Edit->EditorOptions() + TdwRichEditOptions {reoFlatButtons}
                                    : Edit->EditorOptions() - TdwRichEditOptions {reoFlatButtons});
        RunEditor([&](TdwRichEditForm* editor) {
            EXPECT_EQ(editor->Toolbar->Height(), flat ? 24 : 28);
            EXPECT_EQ(editor->FormatBar->Height(), flat ? 26 : 28);
            for (TSpeedButton* button : {editor->NewButton, editor->UndoButton, user}) {
                EXPECT_EQ(button->Flat(), flat);
                EXPECT_EQ(button->Top(), flat ? 1 : 3);
            }
            EXPECT_EQ(editor->BoldButton->Flat(), flat);
            EXPECT_EQ(editor->BoldButton->Top(), flat ? 2 : 3);
            // The glyph keeps its place inside the raised frame; a centred caption stays so.
            EXPECT_EQ(editor->NewButton->Margin(), flat ? 3 : 2);
            EXPECT_EQ(editor->LoadButton1->Margin(), flat ? 3 : 2);
            EXPECT_EQ(editor->BoldButton->Margin(), -1);
            for (TBevel* bevel : {editor->Bevel1, editor->Bevel2, editor->UserButtonBevel})
                EXPECT_EQ(bevel->Visible(), flat);
            EXPECT_EQ(editor->RichEdit1->Top(), editor->Ruler->Top() + editor->Ruler->Height());
            EXPECT_GE(editor->Ruler->Top(), editor->FormatBar->Top() + editor->FormatBar->Height());
            if (!flat)
                Screenshot(editor, "richedit_toolbar_raised");
            editor->Exit1->Click();
        });
    }
    own->Free();
}

TEST_F(EditorBarsTest, ATopLineStandsAboveEachBarAndGoesWithIt)
{
    RunEditor([this](TdwRichEditForm* editor) {
        const std::pair<TBevel*, TControl*> bars[] = {{editor->ToolBarBevel, editor->Toolbar},
                                                      {editor->FormatBarBevel, editor->FormatBar},
                                                      {editor->RulerBevel, editor->Ruler}};
        int top = 0;
        for (const auto& [line, bar] : bars) {
            EXPECT_TRUE(line->Visible());
            EXPECT_EQ(line->Shape(), bsTopLine);
            EXPECT_EQ(line->Top(), top);
            EXPECT_EQ(line->Height(), 2);
            EXPECT_EQ(line->Width(), editor->ClientWidth());
            EXPECT_EQ(bar->Top(), top + 2);
            top = bar->Top() + bar->Height();
        }
        EXPECT_EQ(editor->Ruler->Height(), 25) << "at 96 pixels per inch";
        EXPECT_EQ(editor->RichEdit1->Top(), top);
        Screenshot(editor, "richedit_toplines");
        editor->Toolbar1->Click();
        EXPECT_FALSE(editor->ToolBarBevel->Visible()) << "the line goes with its bar";
        EXPECT_EQ(editor->FormatBarBevel->Top(), 0);
        editor->Ruler1->Click();
        EXPECT_FALSE(editor->RulerBevel->Visible());
        EXPECT_EQ(editor->RichEdit1->Top(), editor->FormatBar->Top() + editor->FormatBar->Height());
        editor->Toolbar1->Click();
        EXPECT_TRUE(editor->ToolBarBevel->Visible());
        editor->Exit1->Click();
    });
}

// The hint the status bar shows after the pointer went onto Control.
String HintAfterPointerOn(TdwRichEditForm* Editor, TControl* Control)
{
    QWidget* window = Editor->Widget()->window();
    QTest::mouseMove(window->windowHandle(),
                     Control->Widget()->mapTo(window, Control->Widget()->rect().center()));
    QCoreApplication::processEvents();
    return Editor->StatusBar->Panels(0)->Text();
}

TEST_F(EditorBarsTest, TheStatusBarShowsTheHintOfTheButtonOrMenuItemUnderThePointer)
{
    std::vector<String> before;
    Application->OnHint = [&before](TObject*) { before.push_back(Application->Hint()); };
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_EQ(HintAfterPointerOn(editor, editor->CutButton),
                  "Cuts the selection and puts it on the Clipboard");
        EXPECT_EQ(editor->CutButton->Widget()->toolTip(), QStringLiteral("Cut"));
        EXPECT_EQ(HintAfterPointerOn(editor, editor->FontSizeCombo),
                  "Changes the font size of the selection");
        EXPECT_EQ(HintAfterPointerOn(editor, editor->RichEdit1), "") << "the text has no hint";
        editor->Undo1->Action()->hover();
        EXPECT_EQ(editor->StatusBar->Panels(0)->Text(), "Reverses the last action");
        editor->Exit1->Click();
    });
    EXPECT_TRUE(before.empty()) << "the form's handler took the hints while it was open";
    ASSERT_TRUE(Application->OnHint) << "the application's own handler is back";

    Edit->SetEditorOptions(Edit->EditorOptions() - TdwRichEditOptions {reoShowHints});
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_EQ(HintAfterPointerOn(editor, editor->CutButton), "");
        EXPECT_TRUE(editor->CutButton->Widget()->toolTip().isEmpty());
        EXPECT_FALSE(Application->OnHint);
        editor->Exit1->Click();
    });
    ASSERT_TRUE(Application->OnHint);
    Application->OnHint = nullptr;
}

class TFixedLockKeys : public TLockKeys {
public:
    TLockKeyState Keys;
    TLockKeyState State() override { return Keys; }
};

TEST_F(EditorBarsTest, TheLockIndicatorsShowWhatTheWindowSystemReportsOnEveryKeyUp)
{
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->StatusBar->Panels(1)->Text(), "") << "offscreen nothing is reported";
        EXPECT_EQ(editor->StatusBar->Panels(2)->Text(), "");
        editor->Exit1->Click();
    });
    TFixedLockKeys keys;
    keys.Keys = {true, true, false};
    TLockKeys* system = SetLockKeys(&keys);
    RunEditor([&keys](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->StatusBar->Panels(1)->Text(), "CAP");
        EXPECT_EQ(editor->StatusBar->Panels(2)->Text(), "");
        // Only the lock keys' panels stand framed.
        TStatusBar* status = editor->StatusBar;
        ASSERT_EQ(status->PanelCount(), 4);
        EXPECT_EQ(status->Panels(0)->Bevel(), pbNone);
        EXPECT_EQ(status->Panels(1)->Bevel(), pbLowered);
        EXPECT_EQ(status->Panels(2)->Bevel(), pbLowered);
        EXPECT_EQ(status->Panels(3)->Bevel(), pbNone);
        editor->Undo1->Action()->hover();
        KeepScreenshot(status->Widget()->grab(), "richedit_statusbar.png");
        keys.Keys = {true, false, true};
        editor->RichEdit1->SetFocus();
        PressKey(editor, Qt::Key_End);
        EXPECT_EQ(editor->StatusBar->Panels(1)->Text(), "");
        EXPECT_EQ(editor->StatusBar->Panels(2)->Text(), "NUM");
        editor->Exit1->Click();
    });
    SetLockKeys(system);
}

TEST_F(EditorBarsTest, TheMenuShowsItsPicturesOnlyWithMenuIcons)
{
    RunEditor([this](TdwRichEditForm* editor) {
        for (TMenuItem* item : {editor->Cut1, editor->Undo1, editor->Print1, editor->Paragraph1})
            EXPECT_FALSE(item->Action()->icon().isNull()) << item->Caption();
        EXPECT_TRUE(editor->SelectAll1->Action()->icon().isNull()) << "an item without a picture";
        Screenshot(editor, "richedit_editor_bars");
        QMenu* menu = editor->Edit1->Action()->menu();
        menu->popup(editor->Widget()->mapToGlobal(QPoint(40, 0)));
        QCoreApplication::processEvents();
        KeepScreenshot(menu->grab(), "richedit_menu_icons.png");
        menu->hide();
        editor->Exit1->Click();
    });
    Edit->SetEditorOptions(Edit->EditorOptions() - TdwRichEditOptions {reoShowMainMenuIcons});
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_TRUE(editor->Cut1->Action()->icon().isNull());
        editor->Exit1->Click();
    });
}

}  // namespace
