// The masked, data-aware edit typed into by keys and paste: the picture mask's key
// rules, date auto-fill on Space, paste, undo and the refused exit with each way the
// focus can move.

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/clipbrd.h"
#include "tests/datacontrols/edits/editfixture.h"

namespace {

TEST_F(EditTest, MaskKeysFollowTheCaretRules)
{
    struct Case {
        const char* Mask;
        const char* Text;
        int SelStart, SelLength, MaxLength;
        char Key;
        const char* After;
        int Caret;
        int Beeps;
    } cases[] = {
            {"(###)###-####", "(55", 3, 0, 0, '5', "(555)", 5, 0},  // at the end: to the new end
            {"(###)###-####", "(555)123-456", 12, 0, 0, '7', "(555)123-4567", 13, 0},
            {"*#", "1234", 2, 0, 0, '9', "12934", 3, 0},                   // shifted by the growth
            {"(###)###-####", "(555)123-4567", 0, 13, 0, '(', "(", 1, 0},  // one past the selection start
            {"(###)###-####", "(555)", 5, 0, 0, 'x', "(555)", 5, 1},       // refused at the end
            {"(###)###-####", "(555)12", 2, 0, 0, 'x', "(5x55)12", 3, 0},  // inside: typed unchecked
            {"###", "123", 3, 0, 3, '4', "123", 3, 0},                     // too long: the edit refuses
            {"&&&", "ab", 2, 0, 0, 'c', "ABC", 3, 0},
            {"&*?", "smith", 0, 5, 0, 'j', "J", 1, 0},  // over the whole text: after the key
    };
    for (const Case& c : cases) {
        Edit->Picture()->SetPictureMask(c.Mask);
        Edit->SetMaxLength(c.MaxLength);
        Prepare(c.Text, c.SelStart, c.SelLength);
        const int beeps = Dialogs.Beeps;
        const char key[2] = {c.Key, 0};
        Type(key);
        EXPECT_EQ(Edit->Text(), c.After) << c.Mask << " " << c.Text << " " << c.Key;
        EXPECT_EQ(Edit->SelStart(), c.Caret) << c.Mask << " " << c.Text << " " << c.Key;
        EXPECT_EQ(Dialogs.Beeps - beeps, c.Beeps) << c.Mask << " " << c.Text << " " << c.Key;
    }
}

// With UsePictureMask off nothing is checked; under a malformed mask the keys go in
// unchecked, but no text passes it on the way out.
TEST_F(EditTest, AMaskOffChecksNothingAndAMalformedOneHoldsTheText)
{
    struct Case {
        const char* Mask;
        bool Use;
        bool Leaves;
    } cases[] = {{"###", false, true}, {"[##", true, false}};
    for (const Case& c : cases) {
        Edit->Picture()->SetPictureMask(c.Mask);
        Edit->SetUsePictureMask(c.Use);
        Prepare("", 0, 0);
        Dialogs.Beeps = 0;
        Type("ab");
        Press(Qt::Key_Tab);
        Settle();
        EXPECT_EQ(Edit->Text(), "ab") << c.Mask;
        EXPECT_EQ(Other->Focused(), c.Leaves) << c.Mask;
        EXPECT_EQ(Dialogs.Beeps, c.Leaves ? 0 : 1) << c.Mask;
    }
}

TEST_F(EditTest, SpaceFillsTheNextDateElement)
{
    SetClock(FixedNow);
    struct Case {
        TdwEditDataType Kind;
        const char* Before;
        int SelStart, SelLength;  // -1: the caret at the end
        const char* After;
    } cases[] = {
            {dwEdtDate, "", -1, 0, "07/"},
            {dwEdtDate, "x/y", 0, 3, "07/"},
            {dwEdtDate, "7", -1, 0, "7/"},
            {dwEdtDate, "7/", -1, 0, "7/04/"},
            {dwEdtDate, "07/04/", -1, 0, "07/04/2008"},
            {dwEdtDate, "07/04/2008", -1, 0, "07/04/2008"},
            {dwEdtDateTime, "07/04/2008", -1, 0, "07/04/2008 "},
            {dwEdtDateTime, "07/04/2008 ", -1, 0, "07/04/2008 2:"},
            {dwEdtDateTime, "07/04/2008 2:", -1, 0, "07/04/2008 2:05:"},
            {dwEdtDateTime, "07/04/2008 2:05:", -1, 0, "07/04/2008 2:05:09"},
            {dwEdtDateTime, "07/04/2008 2:05:09", -1, 0, "07/04/2008 2:05:09 PM"},
            {dwEdtDateTime, "07/04/2008 2:05:09 PM", -1, 0, "07/04/2008 2:05:09 PM"},
            {dwEdtTime, "", -1, 0, "2:"},
            {dwEdtDate, "07/04", 2, 0, "07 /04"},  // the caret inside: an ordinary blank
    };
    for (const Case& c : cases) {
        Edit->SetUnboundDataType(c.Kind);
        const int length = static_cast<int>(String(c.Before).size());
        Prepare(c.Before, c.SelStart < 0 ? length : c.SelStart, c.SelLength);
        Press(Qt::Key_Space);
        EXPECT_EQ(Edit->Text(), c.After) << c.Before;
        const bool filled = c.SelStart < 0 || c.SelLength > 0;
        EXPECT_EQ(Edit->SelStart(), filled ? static_cast<int>(String(c.After).size()) : c.SelStart + 1)
                << c.Before;
    }
    SetClock(nullptr);
}

TEST_F(EditTest, DateFormatsDecideTheLeadingZerosWhateverTheirCase)
{
    SetClock(FixedNow);
    const String saved = ShortDateFormat;
    Edit->SetUnboundDataType(dwEdtDate);
    const std::pair<const char*, const char*> cases[] = {
            {"MM/DD/YYYY", "07/"}, {"M/d/yyyy", "7/"}, {"m/d/yy", "7/"}};
    for (const auto& [format, after] : cases) {
        ShortDateFormat = format;
        Prepare("", 0, 0);
        Press(Qt::Key_Space);
        EXPECT_EQ(Edit->Text(), after) << format;
    }
    ShortDateFormat = "m/d/yy";
    Prepare("7/4/", 4, 0);
    Press(Qt::Key_Space);
    EXPECT_EQ(Edit->Text(), "7/4/08");
    ShortDateFormat = saved;
    SetClock(nullptr);
}

TEST_F(EditTest, DateAutoFillStandsBack)
{
    SetClock(FixedNow);
    Edit->SetUnboundDataType(dwEdtDate);
    // With Ctrl held Space is no fill key.
    Prepare("7", 1, 0);
    Press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Pos("/", Edit->Text()), 0) << Edit->Text();
    // A picture mask that fills in itself does the filling.
    Edit->Picture()->SetPictureMask("##");
    Prepare("7", 1, 0);
    Press(Qt::Key_Space);
    EXPECT_EQ(Edit->Text(), "7");
    EXPECT_EQ(Dialogs.Beeps, 1);
    // A read-only edit takes nothing.
    Edit->Picture()->SetPictureMask("");
    Edit->SetReadOnly(true);
    Prepare("7", 1, 0);
    Press(Qt::Key_Space);
    EXPECT_EQ(Edit->Text(), "7");
    SetClock(nullptr);
}

TEST_F(EditTest, PasteGoesThroughTheMaskAsTypedKeysDo)
{
    struct Case {
        const char* Mask;
        const char* Before;
        const char* Clipboard;
        const char* After;
        int Beeps;
    } cases[] = {
            {"&&&", "", "abc", "ABC", 0},
            {"###", "", "12x4", "124", 1},
            {"(###)###-####", "(", "5551234567", "(555)123-4567", 0},
            {"", "ab", "cd", "abcd", 0},
    };
    for (const Case& c : cases) {
        Edit->Picture()->SetPictureMask(c.Mask);
        Prepare(c.Before, static_cast<int>(String(c.Before).size()), 0);
        Clipboard()->SetAsText(c.Clipboard);
        const int beeps = Dialogs.Beeps;
        Press(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Edit->Text(), c.After) << c.Clipboard;
        EXPECT_EQ(Edit->SelStart(), static_cast<int>(String(c.After).size())) << c.Clipboard;
        EXPECT_EQ(Dialogs.Beeps - beeps, c.Beeps) << c.Clipboard;
        EXPECT_TRUE(Edit->Modified());
    }
    // Shift+Insert pastes the same way.
    Edit->Picture()->SetPictureMask("&&&");
    Prepare("", 0, 0);
    Clipboard()->SetAsText("xyz");
    Press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Edit->Text(), "XYZ");
}

TEST_F(EditTest, CtrlZUndoesWhatTheMaskTyped)
{
    Edit->Picture()->SetPictureMask("(###)###-####");
    Prepare("", 0, 0);
    Type("(55");
    ASSERT_EQ(Edit->Text(), "(55");
    Type("5");
    ASSERT_EQ(Edit->Text(), "(555)");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Edit->Text(), "(55");
}

TEST_F(EditTest, AFailingTextKeepsTheFocusForMovesInsideTheWindow)
{
    Edit->Picture()->SetPictureMask("###");
    const std::vector<std::pair<const char*, std::function<void()>>> moves = {
            {"Tab", [this] { Press(Qt::Key_Tab); }},
            {"Backtab", [this] { Press(Qt::Key_Backtab, Qt::ShiftModifier); }},
            {"click", [this] { QTest::mouseClick(Other->Widget(), Qt::LeftButton); }},
            {"program", [this] { Other->SetFocus(); }},
    };
    for (const auto& [name, move] : moves) {
        Prepare("", 0, 0);
        Type("12");
        const int beeps = Dialogs.Beeps;
        move();
        Settle();
        EXPECT_TRUE(Edit->Focused()) << name;
        EXPECT_TRUE(Edit->Widget()->hasFocus()) << name;
        EXPECT_TRUE(Edit->InvalidExit()) << name;
        EXPECT_EQ(Dialogs.Beeps - beeps, 1) << name;
        EXPECT_TRUE(Edit->Modified()) << name;
        EXPECT_EQ(Edit->SelLength(), 2) << name;
        // Settled, the focus stays: nothing moves it back and forth.
        Settle();
        EXPECT_TRUE(Edit->Focused()) << name;
        EXPECT_EQ(Dialogs.Beeps - beeps, 1) << name;
    }
    // A whole text leaves.
    Type("123");
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(Other->Focused());
}

TEST_F(EditTest, AllowInvalidExitLetsTheFocusGo)
{
    Edit->Picture()->SetPictureMask("###");
    Edit->Picture()->SetAllowInvalidExit(true);
    Prepare("", 0, 0);
    Type("12");
    Press(Qt::Key_Tab);
    Settle();
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(Dialogs.Beeps, 0);
}

TEST_F(EditTest, NoRefusalWhenTheWindowLosesTheFocusOrAModalFormOpens)
{
    Edit->Picture()->SetPictureMask("###");
    Prepare("", 0, 0);
    Type("12");

    // Another window takes the focus and gives it back.
    TForm* second = Construct<TForm>(nullptr);
    second->SetBounds(400, 0, 200, 100);
    ShowForm(second);
    Settle();
    second->Free();
    Form->Widget()->window()->activateWindow();
    Settle();
    EXPECT_EQ(Dialogs.Beeps, 0);
    EXPECT_FALSE(Edit->InvalidExit());

    // A modal form opens over it and closes.
    TForm* modal = Construct<TForm>(nullptr);
    modal->SetBounds(100, 100, 200, 100);
    QTimer::singleShot(100, [modal] { modal->SetModalResult(mrOk); });
    modal->ShowModal();
    modal->Free();
    Settle();
    EXPECT_EQ(Dialogs.Beeps, 0);
    EXPECT_FALSE(Edit->InvalidExit());
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->Text(), "12");
}

TEST_F(EditTest, EnterIsSwallowedUnlessWanted)
{
    Prepare("ab", 2, 0);
    Press(Qt::Key_Return);
    EXPECT_EQ(Edit->Text(), "ab");
    EXPECT_TRUE(Edit->Focused());
}

TEST_F(EditTest, InsideAGridTheCellMovesAreTheGrids)
{
    auto* grid = new TGridLike(Form);
    grid->SetParent(Form);
    grid->SetBounds(180, 8, 130, 60);
    Edit->SetParent(grid);
    Edit->SetBounds(2, 2, 120, 21);
    std::vector<Word> gridKeys, editKeys;
    const auto note = [](std::vector<Word>& Keys) {
        return [&Keys](TObject*, Word& Key, TShiftState) {
            if (Key != VK_CONTROL)
                Keys.push_back(Key);
        };
    };
    grid->OnKeyDown = note(gridKeys);
    Edit->OnKeyDown = note(editKeys);
    Prepare("abc", 1, 0);
    Edit->SetModified(false);
    Press(Qt::Key_Down);
    Press(Qt::Key_PageUp);
    Press(Qt::Key_Escape);  // nothing typed yet
    Press(Qt::Key_Left);    // typing is allowed and this grid is none of the library's
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(gridKeys, (std::vector<Word> {VK_DOWN, VK_PRIOR, VK_ESCAPE, VK_DELETE}));
    EXPECT_EQ(editKeys, (std::vector<Word> {VK_LEFT}));
    Type("x");
    gridKeys.clear();
    Press(Qt::Key_Escape);  // with a change, Esc is the edit's
    EXPECT_TRUE(gridKeys.empty());
}

TEST_F(EditTest, ContextMenuPasteGoesThroughTheMask)
{
    Edit->Picture()->SetPictureMask("&&&");
    Prepare("", 0, 0);
    Clipboard()->SetAsText("abc");
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                            Edit->Widget()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(Edit->Widget(), &event);
    QMenu* menu = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<QMenu*>(widget); found && found->isVisible())
            menu = found;
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* action : menu->actions())
        if (action->text().startsWith("&Paste"))
            paste = action;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(Edit->Text(), "ABC");
}

TEST_F(EditTest, Screenshots)
{
    Edit->Picture()->SetPictureMask("(###)###-####");
    Edit->Frame()->SetEnabled(true);
    Prepare("", 0, 0);
    Type("(5551234567");
    Settle();
    SaveScreenshot("maskedit-focused.png");
    Press(Qt::Key_Tab);
    Settle();
    SaveScreenshot("maskedit-unfocused.png");
}

// Whether the edit holds lines and wraps them, from WordWrap, its border and its height.
TEST_F(EditTest, WordWrapAndTheBorderMakeTheEditHoldLines)
{
    const int line = Edit->LineHeight();
    struct Case {
        bool WordWrap, Bordered;
        int Lines;
        bool MultiLine, Wraps;
    } cases[] = {
            {false, true, 3, false, false},                                 // bordered: one line
            {true, true, 3, true, true},     {true, true, 1, true, false},  // one line high: scrolls sideways
            {false, false, 3, true, false},  // no border, room for lines: lines unwrapped
            {false, false, 1, false, false}, {true, false, 1, false, false},  // nor one without a border
    };
    for (const Case& c : cases) {
        Edit->SetBorderStyle(c.Bordered ? bsSingle : bsNone);
        Edit->SetWordWrap(c.WordWrap);
        Edit->SetHeight(c.Lines * line + 8);
        EXPECT_EQ(Edit->MultiLine(), c.MultiLine) << c.WordWrap << c.Bordered << c.Lines;
        EXPECT_EQ(Edit->WrapsLines(), c.Wraps) << c.WordWrap << c.Bordered << c.Lines;
    }
}

TEST_F(EditTest, EnterMakesALineOnlyWithWantReturns)
{
    Edit->SetHeight(3 * Edit->LineHeight() + 8);
    Edit->SetWordWrap(true);
    Prepare("", 0, 0);
    Type("ab");
    Press(Qt::Key_Return);
    Type("c");
    EXPECT_EQ(Edit->Text(), "abc");
    Edit->SetWantReturns(true);
    Press(Qt::Key_Return);
    Type("d");
    EXPECT_EQ(Edit->Text(), "abc\r\nd");
    Type(" and a line long enough to wrap");
    Other->SetTop(Edit->Top() + Edit->Height() + 8);
    Settle();
    SaveScreenshot("dbedit-wordwrap.png");
    EXPECT_EQ(Edit->Text(), "abc\r\nd and a line long enough to wrap");
    // A one-line edit has no lines to make, whatever WantReturns says.
    Edit->SetWordWrap(false);
    Prepare("abc", 3, 0);
    Press(Qt::Key_Return);
    EXPECT_EQ(Edit->Text(), "abc");
}

// The height follows the font and what the border or the frame adds to it.
TEST_F(EditTest, AnAutoSizedEditTakesItsHeightFromItsFontBorderAndFrame)
{
    ASSERT_TRUE(Edit->AutoSize());
    EXPECT_EQ(Edit->Height(), Edit->LineHeight() + 8);
    Edit->Font()->SetSize(16);
    EXPECT_GT(Edit->LineHeight(), 16);
    EXPECT_EQ(Edit->Height(), Edit->LineHeight() + 8);
    Edit->Frame()->SetEnabled(true);
    EXPECT_EQ(Edit->Height(), Edit->LineHeight() + 6) << "the frame replaces the border";
    Edit->Frame()->SetAutoSizeHeightAdjust(3);
    EXPECT_EQ(Edit->Height(), Edit->LineHeight() + 9);
    // Without AutoSize the height stays as set.
    Edit->SetAutoSize(false);
    Edit->SetHeight(40);
    Edit->Font()->SetSize(8);
    EXPECT_EQ(Edit->Height(), 40);
    // Inside a grid the grid sizes its editors.
    auto* grid = new TGridLike(Form);
    grid->SetParent(Form);
    Edit->SetParent(grid);
    Edit->SetAutoSize(true);
    EXPECT_EQ(Edit->Height(), 40);
}

}  // namespace
