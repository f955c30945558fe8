// The edit frame's looks and margins, the button effects, and the button edit: its
// button's size and place, and what its clicks and keys do.

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/edits/wwdotdot.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/shape.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/datacontrols/edits/editfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

TEST(dwEditFrame, EdgesFocusedAndNot)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* edit = new TdwDBCustomEdit(form);
    edit->SetParent(form);
    TdwEditFrame* frame = edit->Frame();
    EXPECT_FALSE(frame->IsFrameEffective());
    frame->SetEnabled(true);
    EXPECT_TRUE(frame->IsFrameEffective());
    EXPECT_EQ(edit->BorderStyle(), bsNone);  // the frame takes the border's place
    const TRect client = Rect(0, 0, 100, 20);
    TdwFrameEdge focused = frame->Edge(client, true);
    EXPECT_EQ(focused.Edge, EDGE_SUNKEN);
    EXPECT_EQ(focused.Flags, BF_RECT | BF_MONO);
    TdwFrameEdge unfocused = frame->Edge(client, false);
    EXPECT_EQ(unfocused.Flags, BF_BOTTOM | BF_MONO);
    EXPECT_EQ(unfocused.Rect.Right, 100);
    // Without the right side, a transparent frame draws 2 pixels narrower.
    frame->SetTransparent(true);
    EXPECT_EQ(frame->Edge(client, false).Rect.Right, 98);
    frame->SetNonFocusStyle(efsFrameRaised);
    EXPECT_EQ(frame->Edge(client, false).Edge, EDGE_RAISED);
    frame->SetNonFocusStyle(efsFrameSingle);
    EXPECT_EQ(frame->Edge(client, false).Edge, BDR_SUNKENOUTER);
    // Inside a grid no frame draws.
    auto* grid = new TGridLike(form);
    grid->SetParent(form);
    edit->SetParent(grid);
    EXPECT_FALSE(frame->IsFrameEffective());
    form->Free();
}

TEST(dwEditFrame, MarginsAndTextOffsets)
{
    struct Case {
        TdwEditFocusStyle Style;
        bool LeftSide, TopSide;
        int Left, Top, RightIn, OffsetX, OffsetY;
    } cases[] = {
            {efsFrameBox, true, true, 2, 2, 0, 2, 2},     {efsFrameSingle, true, true, 2, 2, 0, 2, 2},
            {efsFrameSunken, true, true, 3, 3, 2, 3, 3},  {efsFrameBump, true, false, 3, 3, 2, 3, 2},
            {efsFrameRaised, true, true, 2, 3, 2, 3, 3},  {efsFrameEtched, true, true, 2, 3, 2, 3, 3},
            {efsFrameSunken, false, true, 1, 3, 2, 1, 3}, {efsFrameBox, false, false, 2, 2, 0, 1, 2},
    };
    for (const Case& c : cases) {
        TdwEditFrame frame(nullptr);
        frame.SetFocusStyle(c.Style);
        TdwEditFrameEnabledSet sides {efRightBorder, efBottomBorder};
        if (c.LeftSide)
            sides.Include(efLeftBorder);
        if (c.TopSide)
            sides.Include(efTopBorder);
        frame.SetFocusBorders(sides);
        TRect rect = Rect(0, 0, 100, 20);
        TdwEditFrame::AdjustEditRect(&frame, rect);
        EXPECT_EQ(rect.Left, c.Left) << c.Style << c.LeftSide;
        EXPECT_EQ(rect.Top, c.Top) << c.Style << c.LeftSide;
        EXPECT_EQ(100 - rect.Right, c.RightIn) << c.Style << c.LeftSide;
        int x = 0, y = 0;
        frame.GetTextOffset(false, x, y);
        EXPECT_EQ(x, c.OffsetX) << c.Style << c.LeftSide;
        EXPECT_EQ(y, c.OffsetY) << c.Style << c.LeftSide;
    }
    TdwEditFrame frame(nullptr);
    frame.SetNonFocusTextOffsetX(4);
    frame.SetNonFocusTextOffsetY(-1);
    int x = 0, y = 0;
    frame.GetTextOffset(false, x, y);
    EXPECT_EQ(x, 6);
    EXPECT_EQ(y, 1);
}

TEST(dwEditFrame, AutoSizeHeightAndAssign)
{
    TdwEditFrame frame(nullptr);
    EXPECT_EQ(TdwEditFrame::AutoSizeHeight(&frame, 13, true), 21);
    EXPECT_EQ(TdwEditFrame::AutoSizeHeight(&frame, 13, false), 19);
    frame.SetAutoSizeHeightAdjust(3);
    EXPECT_EQ(TdwEditFrame::AutoSizeHeight(&frame, 13, false), 19);  // only an enabled frame adds it
    frame.SetEnabled(true);
    EXPECT_EQ(TdwEditFrame::AutoSizeHeight(&frame, 13, false), 22);

    // From a disabled frame only Enabled and Transparent are taken.
    TdwEditFrame source(nullptr);
    source.SetTransparent(true);
    source.SetFocusStyle(efsFrameBump);
    TdwEditFrame copy(nullptr);
    copy.Assign(&source);
    EXPECT_FALSE(copy.Enabled());
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.FocusStyle(), efsFrameBox);
    source.SetEnabled(true);
    source.SetNonFocusBorders({efTopBorder});
    copy.Assign(&source);
    EXPECT_EQ(copy.FocusStyle(), efsFrameBump);
    EXPECT_TRUE(copy.NonFocusBorders() == TdwEditFrameEnabledSet {efTopBorder});
}

TEST(dwComboButton, WidthAndPlace)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* combo = new TdwDBComboDlg(form);
    combo->SetParent(form);
    combo->SetBounds(8, 8, 150, 21);
    EXPECT_EQ(combo->ButtonWidth(), 17);  // as wide as a vertical scroll bar
    EXPECT_EQ(combo->ButtonHost()->Width(), 17);
    EXPECT_EQ(combo->ButtonHost()->Left(), 150 - 17 - 2);
    combo->SetButtonWidth(25);
    EXPECT_EQ(combo->ButtonHost()->Left(), 150 - 25 - 2);
    combo->SetButtonWidth(0);
    EXPECT_EQ(combo->ButtonWidth(), 17);
    // Framed, the button sits 2 pixels in from the edge.
    combo->Frame()->SetEnabled(true);
    combo->SetWidth(160);
    EXPECT_EQ(combo->ButtonHost()->Left(), 160 - 17 - 2);
    EXPECT_EQ(combo->ButtonHost()->Top(), 2);
    EXPECT_EQ(combo->ButtonHost()->Height(), combo->Height() - 4);
    combo->SetShowButton(false);
    EXPECT_FALSE(combo->GetShowButton());
    form->Free();

    const TRect bordered = dwComboButtonHostBounds(150, 21, 17, true, false);
    EXPECT_EQ(bordered.Left, 131);
    EXPECT_EQ(bordered.Top, 2);
    EXPECT_EQ(bordered.Height(), 17);
    const TRect bare = dwComboButtonHostBounds(150, 21, 17, false, false);
    EXPECT_EQ(bare.Left, 133);
    EXPECT_EQ(bare.Top, 0);
    EXPECT_EQ(bare.Height(), 21);
}

TEST(dwButtonEffects, TransparentMakesTheButtonFlat)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* combo = new TdwDBComboDlg(form);
    combo->SetParent(form);
    EXPECT_FALSE(combo->Button()->Flat());
    combo->ButtonEffects()->SetTransparent(true);
    EXPECT_TRUE(combo->Button()->Flat());
    combo->ButtonEffects()->SetTransparent(false);
    EXPECT_FALSE(combo->Button()->Flat());
    combo->ButtonEffects()->SetFlat(true);
    EXPECT_TRUE(combo->Button()->Flat());
    form->Free();
}

class ComboDlgEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 340, 110);
        Combo = new TdwDBComboDlg(Form);
        Combo->SetParent(Form);
        Combo->SetBounds(8, 8, 150, 21);
        Combo->SetTabStop(true);
        Combo->Loaded();
        Arrow = new TdwDBComboDlg(Form);
        Arrow->SetParent(Form);
        Arrow->SetBounds(8, 40, 150, 21);
        Arrow->SetButtonStyle(cbsDownArrow);
        Arrow->Loaded();
        Framed = new TdwDBComboDlg(Form);
        Framed->SetParent(Form);
        Framed->SetBounds(176, 8, 150, 21);
        Framed->Frame()->SetEnabled(true);
        Framed->Loaded();
        ShowForm(Form);
        ForgetHeldInput();
        Combo->SetFocus();
    }
    void TearDown() override
    {
        ForgetHeldInput();
        Form->Free();
    }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TdwDBComboDlg* Combo = nullptr;
    TdwDBComboDlg* Arrow = nullptr;
    TdwDBComboDlg* Framed = nullptr;
};

TEST_F(ComboDlgEditTest, WithoutOnCustomDlgTheButtonDoesNothing)
{
    QTest::mouseClick(Combo->Button()->Widget(), Qt::LeftButton);
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_TRUE(Combo->Focused());
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(ComboDlgEditTest, ADropDownListStyleOpensOnAClickOnTheTextAndTakesNoTyping)
{
    int opened = 0;
    Combo->OnCustomDlg = [&](TObject*) { ++opened; };
    Combo->SetStyle(csDropDownList);
    Combo->SetText("kept");
    TypeText(Form, "xy");
    EXPECT_EQ(Combo->Text(), "kept");
    Framed->SetFocus();
    QTest::mouseClick(Combo->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(Combo->Focused());
    // Typing is allowed while the dialog runs, so that it can set the text.
    Combo->OnCustomDlg = [&](TObject*) { EXPECT_TRUE(Combo->IsTypingAllowed()); };
    PressKey(Form, Qt::Key_F4);
    EXPECT_FALSE(Combo->IsTypingAllowed());
}

// The typed text of a one-line combo runs on under the button unless LimitEditRect
// stops it there; the lines of a wrapping combo always stop there.
TEST_F(ComboDlgEditTest, LimitEditRectStopsTheTextAtTheButton)
{
    struct Case {
        bool Limit;
        bool Wrap;
        bool Stops;
    } cases[] = {{false, false, false}, {true, false, true}, {false, true, true}};
    for (const Case& c : cases) {
        Combo->SetWordWrap(c.Wrap);
        Combo->SetLimitEditRect(c.Limit);
        const int room = Combo->ClientWidth() - Combo->Button()->Parent()->Left();
        if (c.Stops)
            EXPECT_GE(Combo->TextMargins().Right, room) << c.Limit << c.Wrap;
        else
            EXPECT_EQ(Combo->TextMargins().Right, 0) << "under the button";
    }
    Combo->SetWordWrap(false);
    Combo->SetText("A text longer than the edit is wide, typed to its end");
    Arrow->SetLimitEditRect(true);
    Arrow->SetText("A text longer than the edit is wide, typed to its end");
    QCoreApplication::processEvents();
    KeepScreenshot(Form->Widget()->window()->grab(), "buttonedit-limiteditrect.png");
}

TEST_F(ComboDlgEditTest, Screenshot)
{
    Combo->SetText("Ellipsis button");
    Arrow->SetText("Drop-down button");
    Framed->SetText("Framed");
    QCoreApplication::processEvents();
    KeepScreenshot(Form->Widget()->window()->grab(), "buttonedit.png");
}

// Unfocused, a transparent frame lets the form and the controls behind the edit show
// through it, the edit drawing only its text and its frame; focused, it is an edit again.
TEST_F(EditTest, ATransparentFrameShowsWhatLiesUnderTheEdit)
{
    Form->SetColor(clYellow);
    auto* behind = new TShape(Form);
    behind->SetParent(Form);
    behind->SetBounds(Edit->Left() + Edit->Width() / 2, Edit->Top() - 4, Edit->Width(), Edit->Height() + 8);
    behind->Brush()->SetColor(clRed);
    behind->Pen()->SetColor(clRed);
    behind->SendToBack();
    Edit->Frame()->SetEnabled(true);
    Edit->Frame()->SetTransparent(true);
    Edit->SetText("ACME");
    Other->SetFocus();
    Settle();
    const auto shownAt = [this](int X) {
        const QImage image = Form->Widget()->window()->grab().toImage();
        const QPoint at = Edit->Widget()->mapTo(Form->Widget()->window(), QPoint(X, Edit->Height() / 2));
        return image.pixelColor(at);
    };
    EXPECT_TRUE(Edit->SeeThrough());
    EXPECT_EQ(shownAt(Edit->Width() / 2 - 10), QColor(ToQColor(clYellow))) << "the form";
    EXPECT_EQ(shownAt(Edit->Width() - 10), QColor(ToQColor(clRed))) << "the control behind";
    SaveScreenshot("editframe-transparent.png");
    bool ink = false;
    const QImage image = Edit->Widget()->grab().toImage();
    for (int y = 2; y < image.height() - 3 && !ink; ++y)
        for (int x = 2; x < 40 && !ink; ++x)
            ink = image.pixelColor(x, y).lightness() < 60;
    EXPECT_TRUE(ink) << "the text still shows";

    Edit->SetFocus();
    Settle();
    EXPECT_FALSE(Edit->SeeThrough());
    EXPECT_EQ(shownAt(Edit->Width() - 10), QColor(ToQColor(ColorToRGB(clWindow))));
    // Not transparent, the edit keeps its own background unfocused too.
    Edit->Frame()->SetTransparent(false);
    Other->SetFocus();
    Settle();
    EXPECT_FALSE(Edit->SeeThrough());
    EXPECT_EQ(shownAt(Edit->Width() - 10), QColor(ToQColor(ColorToRGB(clWindow))));
}

}  // namespace
