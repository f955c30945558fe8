// How the lookup combo looks: its edit frame in place of the border and the text's
// margins in each look, the glyph its button shows, and the button's face, edge and
// pressed look as the window system paints them.

#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "datacontrols/lookup/dwdblook.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/graphics/colors.h"
#include "tests/datacontrols/lookup/lookupcombofixture.h"
#include "tests/support/formtesting.h"

namespace {

class LookupComboLookTest : public LookupComboTest {
protected:
    void SetUp() override
    {
        LookupComboTest::SetUp();
        MakeCombo<TdwDBCustomLookupCombo>();
    }
    // The form shown with the focus on the edit after the combo.
    void ShowUnfocused()
    {
        ShowForm(Form);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormWindow()));
        After->SetFocus();
        QCoreApplication::processEvents();
    }
    QWindow* FormWindow() { return Form->Widget()->window()->windowHandle(); }
    // The combo as the screen shows it, its button and panel in it.
    QImage Shot()
    {
        QCoreApplication::processEvents();
        return Form->Widget()
                ->window()
                ->grab()
                .copy(QRect(Combo->Widget()->mapTo(Form->Widget()->window(), QPoint(0, 0)),
                            QSize(Combo->Width(), Combo->Height())))
                .toImage();
    }
    // The part of Shot that the button's panel covers.
    QImage PanelShot()
    {
        const TBtnWinControl* panel = Combo->ButtonPanel();
        return Shot().copy(panel->Left(), panel->Top(), panel->Width(), panel->Height());
    }
    static int Count(const QImage& Image, const std::function<bool(QRgb)>& Which)
    {
        int count = 0;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x)
                count += Which(Image.pixel(x, y));
        return count;
    }
    static bool Black(QRgb Pixel) { return qGray(Pixel) < 40; }
    static QRgb Rgb(TColor Color)
    {
        const TColor rgb = ColorToRGB(Color);
        return qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    }
    // The pixels of Image of that colour.
    static int OfColor(const QImage& Image, TColor Color)
    {
        const QRgb wanted = Rgb(Color);
        return Count(Image, [wanted](QRgb p) { return (p & 0xFFFFFF) == (wanted & 0xFFFFFF); });
    }
    // Dark pixels of row Y of Image, left of Right.
    static int DarkInRow(const QImage& Image, int Y, int Right)
    {
        int count = 0;
        for (int x = 0; x < Right; ++x)
            count += qGray(Image.pixel(x, Y)) < 160;
        return count;
    }
    void PressButton()
    {
        const QPoint at = FormWindow()->mapFromGlobal(Combo->Button()->Widget()->mapToGlobal(QPoint(6, 6)));
        QTest::mouseMove(FormWindow(), at);
        QTest::mousePress(FormWindow(), Qt::LeftButton, Qt::NoModifier, at);
        QCoreApplication::processEvents();
    }
    void ReleaseButton()
    {
        const QPoint at = FormWindow()->mapFromGlobal(Combo->Button()->Widget()->mapToGlobal(QPoint(6, 6)));
        QTest::mouseRelease(FormWindow(), Qt::LeftButton, Qt::NoModifier, at);
        QCoreApplication::processEvents();
    }
};

TEST_F(LookupComboLookTest, TheTextKeepsTheMarginsOfItsLookAndClearOfTheButton)
{
    struct Case {
        const char* Look;
        bool Border;
        bool Frame;
        TdwEditFocusStyle Style;
        TPoint Margins;
        TPoint PanelTopRight;  // the panel's top and right edge, from the combo's corner
        int ButtonTop;
        int Gap;  // between the text's end and the panel
    };
    const int width = Combo->Width();
    for (const Case& c : {
                 Case {"border", true, false, efsFrameBox, Point(0, 0), Point(2, width - 2), 0, 2},
                 Case {"no border", false, false, efsFrameBox, Point(1, 1), Point(0, width), -1, 2},
                 Case {"box frame", false, true, efsFrameBox, Point(2, 2), Point(2, width - 2), -1, 2},
                 Case {"sunken frame", false, true, efsFrameSunken, Point(3, 3), Point(2, width - 2), -1, 4},
                 Case {"raised frame", false, true, efsFrameRaised, Point(2, 3), Point(2, width - 2), -1, 4},
         }) {
        Combo->Frame()->SetEnabled(false);
        Combo->SetPublishedOrdinal("BorderStyle", c.Border ? 1 : 0);
        Combo->Frame()->SetFocusStyle(c.Style);
        Combo->Frame()->SetEnabled(c.Frame);
        EXPECT_EQ(Combo->BorderVisible(), c.Border) << c.Look << ": the frame takes the border's place";
        EXPECT_EQ(Combo->TextMargins().Left, c.Margins.X) << c.Look;
        EXPECT_EQ(Combo->TextMargins().Top, c.Margins.Y) << c.Look;
        const TBtnWinControl* panel = Combo->ButtonPanel();
        EXPECT_EQ(panel->Top(), c.PanelTopRight.X) << c.Look;
        EXPECT_EQ(panel->Left() + panel->Width(), c.PanelTopRight.Y) << c.Look;
        EXPECT_EQ(Combo->Button()->Top(), c.ButtonTop) << c.Look;
        EXPECT_EQ(Combo->Button()->Height(), panel->Height() - c.ButtonTop) << c.Look;
        // The text's end, inside the border, from the panel.
        const int border = c.Border ? 2 : 0;
        EXPECT_EQ(Combo->Width() - 2 * border - Combo->TextMargins().Right, panel->Left() - border - c.Gap)
                << c.Look;
    }
    Combo->Frame()->SetEnabled(false);
    Combo->SetShowButton(false);
    EXPECT_EQ(Combo->TextMargins().Right, 2) << "without the button the text ends 2 pixels from the edge";
}

TEST_F(LookupComboLookTest, TheFrameIsABoxWithTheFocusAndALineWithout)
{
    Combo->Frame()->SetEnabled(true);
    ShowUnfocused();
    const int right = Combo->ButtonPanel()->Left();
    const QImage unfocused = Shot();
    EXPECT_EQ(DarkInRow(unfocused, 0, right), 0) << "no top edge without the focus";
    EXPECT_GT(DarkInRow(unfocused, Combo->Height() - 1, right), right / 2) << "the bottom line";
    int firstInk = -1;
    for (int x = 0; x < right && firstInk < 0; ++x)
        for (int y = 3; y < unfocused.height() - 3; ++y)
            if (Black(unfocused.pixel(x, y))) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, 2) << "the name stands inside the frame";
    KeepScreenshot(unfocused, "lookupcombo-frame.png");

    Combo->SetFocus();
    const QImage focused = Shot();
    EXPECT_GT(DarkInRow(focused, 0, right), right / 2) << "the top edge with the focus";
    EXPECT_GT(DarkInRow(focused, Combo->Height() - 1, right), right / 2);
    EXPECT_EQ(Combo->Text(), "Name 0007");

    // Disabled, the combo draws its name grey.
    After->SetFocus();
    Combo->SetEnabled(false);
    const QImage disabled = Shot().copy(2, 2, right - 2, Combo->Height() - 4);
    EXPECT_EQ(Count(disabled, Black), 0);
    EXPECT_GT(Count(disabled, [](QRgb p) { return qGray(p) < 200; }), 20) << "but drawn";
}

TEST_F(LookupComboLookTest, TheButtonShowsTheGlyphOfItsStyleAndLooks)
{
    TBitmap custom;
    custom.SetSize(5, 5);
    struct Case {
        TdwComboButtonStyle Style;
        bool Flat;
        bool Transparent;
        const char* Glyph;  // "", "arrow" or "custom"
    };
    for (const Case& c : {
                 Case {cbsDownArrow, false, false, ""},
                 Case {cbsDownArrow, true, false, "arrow"},
                 Case {cbsDownArrow, false, true, "arrow"},
                 Case {cbsEllipsis, true, true, ""},
                 Case {cbsCustom, false, false, "custom"},
                 Case {cbsCustom, true, false, "custom"},
         }) {
        Combo->SetButtonGlyph(&custom);
        Combo->SetButtonStyle(c.Style);
        Combo->ButtonEffects()->SetFlat(c.Flat);
        Combo->ButtonEffects()->SetTransparent(c.Transparent);
        TBitmap* glyph = Combo->GetButtonGlyph();
        const std::string shown = !glyph ? "" : glyph == Combo->ButtonGlyph() ? "custom" : "arrow";
        EXPECT_EQ(shown, c.Glyph) << c.Style << c.Flat << c.Transparent;
        if (shown == "arrow") {
            EXPECT_EQ(glyph->Width(), 7);
        }
        EXPECT_EQ(Combo->Button()->Glyph()->Empty(), !glyph) << "the button holds the glyph shown";
        EXPECT_EQ(Combo->Button()->Flat(), c.Flat || c.Transparent);
    }
    TBitmap none;
    Combo->SetButtonGlyph(&none);
    EXPECT_EQ(Combo->GetButtonGlyph(), nullptr) << "a custom button without a picture shows none";
    EXPECT_TRUE(Combo->Button()->Glyph()->Empty());
}

TEST_F(LookupComboLookTest, AFlatButtonShowsItsArrowOnAPlainFaceWithoutAnEdge)
{
    Combo->Frame()->SetEnabled(true);
    ShowUnfocused();
    QImage raised = PanelShot();
    EXPECT_GT(OfColor(raised, clBtnHighlight) + OfColor(raised, cl3DLight), 10) << "a raised button";

    Combo->ButtonEffects()->SetFlat(true);
    const QImage flat = PanelShot();
    EXPECT_EQ(Count(flat, Black), 7 + 5 + 3 + 1) << "only the small arrow is black";
    EXPECT_EQ(OfColor(flat, clBtnFace) + Count(flat, Black), flat.width() * flat.height())
            << "no edge: the face and the arrow";
    KeepScreenshot(Shot(), "lookupcombo-flat.png");

    Combo->SetFocus();
    const QImage focused = PanelShot();
    EXPECT_EQ(Count(focused, Black), 16);
    EXPECT_EQ(OfColor(focused, clBtnFace) + 16, focused.width() * focused.height());
    KeepScreenshot(Shot(), "lookupcombo-flat-focused.png");
}

TEST_F(LookupComboLookTest, ATransparentButtonShowsWhatLiesUnderIt)
{
    Form->SetColor(clYellow);
    Combo->ButtonEffects()->SetTransparent(true);
    ShowUnfocused();
    const QImage bare = PanelShot();
    EXPECT_EQ(Count(bare, Black), 16) << "the arrow alone";
    EXPECT_EQ(OfColor(bare, clBtnFace) + 16, bare.width() * bare.height())
            << "without a frame the panel fills itself";

    Combo->Frame()->SetEnabled(true);
    const QImage framed = PanelShot();
    EXPECT_EQ(Count(framed, Black), 16);
    EXPECT_EQ(OfColor(framed, clWindow) + 16, framed.width() * framed.height())
            << "over the frame the panel shows the edit under it";

    // A transparent frame shows the form through the unfocused combo, under the button too.
    Combo->Frame()->SetTransparent(true);
    const QImage through = PanelShot();
    EXPECT_EQ(Count(through, Black), 16);
    EXPECT_EQ(OfColor(through, clYellow) + 16, through.width() * through.height());
    EXPECT_GT(OfColor(Shot(), clYellow), Combo->Width() * Combo->Height() / 2);

    // A transparent ellipsis shows its dots alone.
    Combo->SetButtonStyle(cbsEllipsis);
    const QImage dots = PanelShot();
    EXPECT_GT(Count(dots, Black), 0);
    EXPECT_EQ(OfColor(dots, clYellow) + Count(dots, Black), dots.width() * dots.height());

    Combo->SetFocus();
    EXPECT_EQ(OfColor(PanelShot(), clYellow), 0) << "with the focus the combo is opaque";
}

TEST_F(LookupComboLookTest, TheButtonLooksPressedWhileTheMouseHoldsIt)
{
    ShowUnfocused();
    const QImage up = PanelShot();
    PressButton();
    ASSERT_TRUE(Combo->IsDroppedDown()) << "the press drops the grid down";
    EXPECT_TRUE(Combo->Button()->Pressed());
    const QImage down = PanelShot();
    EXPECT_NE(up, down);
    EXPECT_EQ(OfColor(down, clBtnHighlight), 0) << "no raised edge while pressed";
    KeepScreenshot(FormWithDropDown(), "lookupcombo-pressed.png");

    ReleaseButton();
    EXPECT_FALSE(Combo->Button()->Pressed());
    EXPECT_EQ(PanelShot(), up) << "raised again";
    EXPECT_TRUE(Combo->IsDroppedDown()) << "letting go keeps the grid open";
}

// The combo grows to the height its font needs with its border or its frame, never below
// the height it was given, and the button's panel fills the new height.
TEST_F(LookupComboLookTest, AnAutoSizedComboGrowsToItsFontAndTheButtonFollows)
{
    ASSERT_TRUE(Combo->AutoSize());
    ShowUnfocused();
    EXPECT_EQ(Combo->Height(), 24) << "the form's font fits the height the combo was given";
    const TBtnWinControl* panel = Combo->ButtonPanel();

    Combo->Font()->SetSize(20);
    QCoreApplication::processEvents();
    EXPECT_GT(Combo->LineHeight(), 24);
    EXPECT_EQ(Combo->Height(), Combo->LineHeight() + 8) << "the font and the border";
    EXPECT_EQ(panel->Height(), Combo->Height() - 4) << "the panel fills the client area";
    EXPECT_EQ(Combo->Button()->Height(), panel->Height());
    // The name's black ink stands inside the border, as tall as the font makes it.
    const QImage big = Shot();
    int inkTop = -1;
    int inkBottom = -1;
    for (int y = 0; y < big.height(); ++y)
        for (int x = 3; x < panel->Left(); ++x)
            if (Black(big.pixel(x, y))) {
                inkTop = inkTop < 0 ? y : inkTop;
                inkBottom = y;
                break;
            }
    EXPECT_GE(inkTop, 3);
    EXPECT_LE(inkBottom, big.height() - 4);
    EXPECT_GT(inkBottom - inkTop, Combo->LineHeight() / 2) << "the name shows at its size";
    KeepScreenshot(Form->Widget()->window()->grab(), "lookupcombo-autosize.png");

    const int grown = Combo->Height();
    Combo->Font()->SetSize(9);
    EXPECT_EQ(Combo->Height(), grown) << "a smaller font leaves the height";

    struct Case {
        const char* Look;
        bool Border;
        bool Frame;
        int Adjust;
        int Extra;       // what the look adds to the font's height
        int PanelInset;  // the panel's height below the combo's
    };
    for (const int size : {14, 24}) {
        for (const Case& c : {
                     Case {"border", true, false, 0, 8, 4},
                     Case {"no border", false, false, 0, 6, 0},
                     Case {"frame", false, true, 0, 6, 4},
                     Case {"frame, adjusted", false, true, 5, 11, 4},
             }) {
            Combo->Frame()->SetEnabled(false);
            Combo->SetPublishedOrdinal("BorderStyle", c.Border ? 1 : 0);
            Combo->Frame()->SetAutoSizeHeightAdjust(c.Adjust);
            Combo->Frame()->SetEnabled(c.Frame);
            Combo->Font()->SetSize(size);
            Combo->SetHeight(10);
            const int needed = Combo->LineHeight() + c.Extra;
            EXPECT_EQ(Combo->Height(), needed) << c.Look << " at " << size << " points: raised";
            EXPECT_EQ(panel->Height(), needed - c.PanelInset) << c.Look;
            Combo->SetHeight(needed + 10);
            EXPECT_EQ(Combo->Height(), needed + 10) << c.Look << ": higher than needed is kept";
            EXPECT_EQ(panel->Height(), needed + 10 - c.PanelInset) << c.Look;
        }
    }

    // Off, the height stays as set whatever the font.
    Combo->Frame()->SetEnabled(false);
    Combo->SetPublishedOrdinal("BorderStyle", 1);
    Combo->SetAutoSize(false);
    Combo->SetHeight(12);
    Combo->Font()->SetSize(28);
    EXPECT_EQ(Combo->Height(), 12);
    EXPECT_EQ(panel->Height(), 8);
    Combo->SetAutoSize(true);
    EXPECT_EQ(Combo->Height(), Combo->LineHeight() + 8) << "on again, the combo grows";
}

TEST_F(LookupComboLookTest, InALibraryGridTheButtonKeepsItsEdgeAndACopyShowsNone)
{
    Combo->SetParent(Grid);
    Combo->SetBounds(4, 4, 160, 22);
    Combo->ButtonEffects()->SetFlat(true);
    ShowForm(Form);
    QCoreApplication::processEvents();
    const auto button = [this] { return Combo->Button()->Widget()->grab().toImage(); };
    EXPECT_GT(OfColor(button(), clBtnHighlight) + OfColor(button(), cl3DLight), 5)
            << "a cell control's flat button keeps its edge";
    Combo->SetControlState({csPaintCopy});
    Combo->Button()->Invalidate();
    const QImage copy = button();
    EXPECT_EQ(Count(copy, Black), 0) << "the copy of the combo in a cell has no button";
    EXPECT_EQ(OfColor(copy, clBtnHighlight), 0);
    Combo->SetControlState({});
}

}  // namespace
