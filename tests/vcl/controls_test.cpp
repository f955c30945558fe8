// The standard controls as the forms use them: typed text, lists, pages, hints.

#include <QAction>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyleHints>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/vcl/controls/bars.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/checkboxes.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/hintwindow.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/controls/pages.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/printing/printers.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

using ::testing::ElementsAre;

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override { Form->Free(); }

    template<class T> T* Add(int Top = 0)
    {
        T* control = new T(Form);
        control->SetParent(Form);
        control->SetTop(Top);
        return control;
    }

    TForm* Form = nullptr;
};

TEST_F(ControlsTest, EditCharCaseAndMaxLengthHoldForTypedText)
{
    auto* id = Add<TEdit>();
    id->SetCharCase(ecUpperCase);
    id->SetMaxLength(8);
    ShowForm(Form);
    TypeText(Form, "08client9");
    EXPECT_EQ(id->Text(), "08CLIENT");
    id->SetText("acme");
    EXPECT_EQ(id->Text(), "ACME");
    EXPECT_FALSE(id->Modified());
}

// The leftmost column inside the edit's frame with a dark pixel; -1 for none.
int FirstDarkColumn(TEdit* Edit)
{
    QCoreApplication::processEvents();
    const QImage image = Edit->Widget()->grab().toImage();
    // Inside the frame.
    for (int x = 3; x < image.width() - 3; ++x)
        for (int y = 3; y < image.height() - 3; ++y)
            if (image.pixelColor(x, y).lightness() < 100)
                return x;
    return -1;
}

TEST_F(ControlsTest, EditTextMarginsMoveTheTextInside)
{
    auto* edit = Add<TEdit>();
    edit->SetText("W");
    ShowForm(Form);
    EXPECT_EQ(edit->TextMargins(), Rect(0, 0, 0, 0));
    const int plain = FirstDarkColumn(edit);
    ASSERT_GE(plain, 0);
    edit->SetTextMargins(Rect(10, 2, 1, 0));
    EXPECT_EQ(edit->TextMargins(), Rect(10, 2, 1, 0));
    EXPECT_EQ(FirstDarkColumn(edit), plain + 10);
}

// An edit that draws over itself: red in the client area's top left corner, blue at its
// bottom right reaching past it, and a failure when told to.
class TDrawnOverEdit : public TEdit {
public:
    using TEdit::TEdit;
    TRect Seen;
    bool Fail = false;

protected:
    void PaintOver(TCanvas* Canvas, const TRect& ClientArea) override
    {
        Seen = ClientArea;
        Canvas->Brush()->SetColor(clRed);
        Canvas->FillRect(Rect(0, 0, 3, 3));
        Canvas->Brush()->SetColor(clBlue);
        Canvas->FillRect(Rect(ClientArea.Right - 3, ClientArea.Bottom - 3, ClientArea.Right + 10,
                              ClientArea.Bottom + 10));
        if (Fail)
            throw Exception("drawing failed");
    }
};

TEST_F(ControlsTest, EditDrawsOverItselfInsideItsFrame)
{
    auto* edit = Add<TDrawnOverEdit>();
    edit->SetBounds(10, 10, 120, 21);
    edit->SetText("WWWWWW");
    ShowForm(Form);
    QImage image = edit->Widget()->grab().toImage();
    const int frame = (edit->Width() - edit->Seen.Right) / 2;
    EXPECT_EQ(edit->Seen.Left, 0);
    EXPECT_EQ(edit->Seen.Top, 0);
    EXPECT_EQ(edit->Seen.Bottom, edit->Height() - 2 * frame);
    auto at = [&image](int x, int y) { return FromQColor(image.pixelColor(x, y)); };
    EXPECT_EQ(at(frame, frame), clRed);
    EXPECT_EQ(at(frame + 2, frame + 2), clRed);
    EXPECT_EQ(at(edit->Width() - frame - 1, edit->Height() - frame - 1), clBlue);
    // Nothing is drawn on the frame, and the edit's own text stays under the drawing.
    EXPECT_NE(at(edit->Width() - 1, edit->Height() - 1), clBlue);
    if (frame > 0) {
        EXPECT_NE(at(frame - 1, frame - 1), clRed);
    }
    int ink = 0;
    for (int x = frame + 4; x < edit->Width() / 2; ++x) {
        for (int y = frame; y < edit->Height() - frame - 3; ++y)
            ink += at(x, y) != clWhite;
    }
    EXPECT_GT(ink, 0);

    // A failure while drawing reaches the application's handler and spoils nothing else.
    std::vector<String> errors;
    Application->OnException = [&errors](TObject*, const std::exception& E) { errors.push_back(E.what()); };
    edit->Fail = true;
    image = edit->Widget()->grab().toImage();
    Application->OnException = nullptr;
    EXPECT_THAT(errors, ElementsAre("drawing failed"));
    EXPECT_EQ(at(frame, frame), clRed);
}

TEST_F(ControlsTest, EditSelection)
{
    auto* edit = Add<TEdit>();
    edit->SetText("123-45-6789");
    edit->SetSelStart(4);
    edit->SetSelLength(2);
    EXPECT_EQ(edit->SelText(), "45");
    edit->SetSelText("00");
    EXPECT_EQ(edit->Text(), "123-00-6789");
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 11);
}

// The height of a line of the edit's text.
int LineHeight(TEdit* Edit) { return Edit->LineHeight(); }

// The edit as it shows now.
QImage Picture(TEdit* Edit)
{
    QCoreApplication::processEvents();
    return Edit->Widget()->grab().toImage();
}

// The lines of text the edit shows: runs of pixel rows with ink inside its frame.
int InkLines(TEdit* Edit)
{
    const QImage image = Picture(Edit);
    int lines = 0;
    bool inLine = false;
    for (int y = 3; y < image.height() - 3; ++y) {
        bool ink = false;
        for (int x = 3; x < image.width() - 3 && !ink; ++x)
            ink = image.pixelColor(x, y).lightness() < 100;
        lines += ink && !inLine;
        inLine = ink;
    }
    return lines;
}

TEST_F(ControlsTest, AWordWrappedEditShowsItsTextOnMoreLinesWithoutScrollingSideways)
{
    Add<TEdit>();  // holds the focus, so no caret shows in the pictures
    auto* edit = Add<TEdit>(50);
    edit->SetBounds(10, 50, 120, 3 * LineHeight(edit) + 6);
    // Capitals only: no descender touches the line below.
    const String text = "ACME SUPPLY COMPANY OF SPRINGFIELD";
    edit->SetText(text);
    ShowForm(Form);
    EXPECT_EQ(InkLines(edit), 1);
    edit->SetSelStart(static_cast<int>(text.size()));
    const QImage scrolled = Picture(edit);
    edit->SetSelStart(0);
    EXPECT_NE(Picture(edit), scrolled) << "one line scrolls to show the caret at the end";

    edit->SetWordWrap(true);
    EXPECT_TRUE(edit->WordWrap());
    EXPECT_GE(InkLines(edit), 2);
    const QImage wrapped = Picture(edit);
    edit->SetSelStart(static_cast<int>(text.size()));
    EXPECT_EQ(Picture(edit), wrapped) << "wrapped text stays where it is";
    EXPECT_EQ(edit->Text(), text);

    // An edit one line high shows the caret's line.
    edit->SetHeight(LineHeight(edit) + 6);
    EXPECT_EQ(InkLines(edit), 1);
    const QImage last = Picture(edit);
    edit->SetSelStart(0);
    EXPECT_NE(Picture(edit), last);

    edit->SetWordWrap(false);
    edit->SetHeight(3 * LineHeight(edit) + 6);
    EXPECT_EQ(InkLines(edit), 1);
}

TEST_F(ControlsTest, AnEditTakesTheSameKeysAndKeepsOneLineWrappedOrNot)
{
    for (const bool wrapped : {false, true}) {
        SCOPED_TRACE(wrapped ? "wrapped" : "one line");
        auto* edit = Add<TEdit>();
        auto* after = Add<TEdit>(60);
        edit->SetHeight(2 * LineHeight(edit) + 6);
        edit->SetWordWrap(wrapped);
        edit->SetMaxLength(12);
        std::vector<Word> keys;
        edit->OnKeyDown = [&keys](TObject*, Word& Key, TShiftState) {
            if (Key == VK_RETURN || Key == VK_LEFT)
                keys.push_back(Key);
        };
        ShowForm(Form);
        edit->SetFocus();
        TypeText(Form, "Acme");
        PressKey(Form, Qt::Key_Return);
        TypeText(Form, " Supply Co. of Springfield");
        EXPECT_EQ(edit->Text(), "Acme Supply ") << "Enter types nothing; MaxLength holds";
        EXPECT_TRUE(edit->Modified());
        PressKey(Form, Qt::Key_Left);
        PressKey(Form, Qt::Key_Left, Qt::ShiftModifier);
        EXPECT_EQ(edit->SelStart(), 10);
        EXPECT_EQ(edit->SelLength(), 1);
        EXPECT_EQ(edit->SelText(), "y");
        EXPECT_THAT(keys, ElementsAre(VK_RETURN, VK_LEFT, VK_LEFT));

        // Switching the mode keeps the text and the selection.
        edit->SetWordWrap(!wrapped);
        EXPECT_EQ(edit->Text(), "Acme Supply ");
        EXPECT_EQ(edit->SelStart(), 10);
        EXPECT_EQ(edit->SelLength(), 1);
        edit->SetWordWrap(wrapped);

        PressKey(Form, Qt::Key_Tab);
        EXPECT_EQ(Form->ActiveControl(), after);
        edit->Free();
        after->Free();
    }
}

TEST_F(ControlsTest, AClickInAWordWrappedEditPutsTheCaretWhereTheTextIsShown)
{
    auto* edit = Add<TEdit>();
    edit->SetBounds(0, 0, 80, 3 * LineHeight(edit) + 6);
    edit->SetWordWrap(true);
    edit->SetText("aaaa bbbb cccc dddd eeee ffff");
    ShowForm(Form);
    QWidget* widget = edit->Widget();
    const int secondLine = 3 + LineHeight(edit) + LineHeight(edit) / 2;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(edit->SelStart(), 0);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::ShiftModifier, QPoint(4, secondLine));
    EXPECT_EQ(edit->SelStart(), 0);
    const int lineStart = edit->SelLength();
    ASSERT_GT(lineStart, 4) << "the second line starts after the first word";
    EXPECT_EQ(edit->Text()[static_cast<size_t>(lineStart - 1)], ' ');
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(4, secondLine));
    EXPECT_EQ(edit->SelStart(), lineStart);
    EXPECT_EQ(edit->SelLength(), 4);
}

TEST_F(ControlsTest, AMultiLineEditHoldsLinesThatTheKeysWorkOn)
{
    for (const bool wrapped : {false, true}) {
        SCOPED_TRACE(wrapped ? "wrapped" : "not wrapped");
        auto* edit = Add<TEdit>();
        edit->SetBounds(0, 0, 160, 4 * LineHeight(edit) + 6);
        edit->SetMultiLine(true, wrapped);
        ShowForm(Form);
        edit->SetFocus();
        TypeText(Form, "Acme");
        PressKey(Form, Qt::Key_Return);
        TypeText(Form, "Supply Co.");
        PressKey(Form, Qt::Key_Enter);
        TypeText(Form, "Springfield");
        EXPECT_EQ(edit->Text(), "Acme\r\nSupply Co.\r\nSpringfield");
        EXPECT_EQ(InkLines(edit), 3);
        // Positions count each line break as the two characters it is in the text.
        EXPECT_EQ(edit->SelStart(), 29);
        PressKey(Form, Qt::Key_Up);
        PressKey(Form, Qt::Key_Home);
        EXPECT_EQ(edit->SelStart(), 6);
        PressKey(Form, Qt::Key_End, Qt::ShiftModifier);
        EXPECT_EQ(edit->SelText(), "Supply Co.");
        PressKey(Form, Qt::Key_Up);
        EXPECT_EQ(edit->SelStart(), 4) << "the end of the shorter line above";
        PressKey(Form, Qt::Key_Down);
        PressKey(Form, Qt::Key_Down);
        // Near the same column, on the last line.
        EXPECT_GT(edit->SelStart(), 19);
        EXPECT_LT(edit->SelStart(), 25);
        PressKey(Form, Qt::Key_Down);
        EXPECT_EQ(edit->SelStart(), 29) << "past the last line: the text's end";
        PressKey(Form, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(edit->SelStart(), 0);
        PressKey(Form, Qt::Key_Delete);
        EXPECT_EQ(edit->Text(), "cme\r\nSupply Co.\r\nSpringfield");

        // Text set by the program keeps its lines; a selection over a break is the break.
        edit->SetText("One\r\nTwo");
        edit->SetSelStart(2);
        edit->SetSelLength(3);
        EXPECT_EQ(edit->SelText(), "e\r\n");
        edit->SetSelText("-");
        EXPECT_EQ(edit->Text(), "On-Two");
        // Back to one line, the text is unchanged.
        edit->SetText("One\r\nTwo");
        edit->SetMultiLine(false, false);
        EXPECT_FALSE(edit->MultiLine());
        EXPECT_EQ(edit->Text(), "One\r\nTwo");
        edit->Free();
    }
}

TEST_F(ControlsTest, AWrappingMultiLineEditWrapsItsLongLines)
{
    Add<TEdit>();  // holds the focus, so no caret shows in the pictures
    auto* edit = Add<TEdit>(50);
    edit->SetBounds(10, 50, 120, 4 * LineHeight(edit) + 6);
    edit->SetText("ACME SUPPLY COMPANY OF SPRINGFIELD\r\nMAIN");
    edit->SetMultiLine(true, false);
    ShowForm(Form);
    EXPECT_EQ(InkLines(edit), 2);
    edit->SetMultiLine(true, true);
    EXPECT_TRUE(edit->WrapsLines());
    EXPECT_GE(InkLines(edit), 3);
}

// The edit's scroll bar as a user reaches it: shown only beside lines, moved by the keys
// that move the caret, by the wheel and by clicks on it, the latter two leaving the caret.
TEST_F(ControlsTest, AMultiLineEditsScrollBarScrollsItsLines)
{
    // A caret that does not blink, so that pictures taken apart in time compare.
    QStyleHints* hints = QGuiApplication::styleHints();
    const int flashTime = hints->cursorFlashTime();
    hints->setCursorFlashTime(0);
    const std::shared_ptr<void> restore(nullptr,
                                        [hints, flashTime](void*) { hints->setCursorFlashTime(flashTime); });
    auto* edit = Add<TEdit>();
    edit->SetBounds(10, 10, 160, 6 * LineHeight(edit) + 6);
    String text;
    for (int i = 1; i <= 24; ++i)
        text += (i > 1 ? "\r\n" : "") + ("LINE " + std::to_string(i));
    edit->SetText(text);
    edit->SetVertScrollBar(true);
    ShowForm(Form);
    auto* bar = edit->Widget()->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isVisible()) << "one line has no bar";
    EXPECT_EQ(edit->ClientWidth(), edit->Width());

    edit->SetMultiLine(true, true);
    QCoreApplication::processEvents();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - bar->width());
    EXPECT_NEAR(bar->geometry().right(), edit->Width() - 1, 2) << "along the right edge, inside the frame";
    edit->SetFocus();
    PressKey(Form, Qt::Key_Home, Qt::ControlModifier);
    const QImage top = Picture(edit);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_TRUE(bar->isEnabled());

    // Keys: the caret's line comes into view, and the bar follows.
    for (int i = 0; i < 5; ++i)
        PressKey(Form, Qt::Key_Down);
    Picture(edit);
    EXPECT_EQ(bar->value(), 0) << "six lines show";
    PressKey(Form, Qt::Key_Down);
    Picture(edit);
    EXPECT_GT(bar->value(), 0) << "the seventh line comes in at the bottom";
    EXPECT_LE(bar->value(), LineHeight(edit));
    PressKey(Form, Qt::Key_PageDown);
    Picture(edit);
    EXPECT_EQ(edit->SelStart(), static_cast<int>(text.find("LINE 13")));
    EXPECT_GT(bar->value(), 6 * LineHeight(edit));
    PressKey(Form, Qt::Key_End, Qt::ControlModifier);
    Picture(edit);
    EXPECT_EQ(bar->value(), bar->maximum());
    PressKey(Form, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Picture(edit), top);

    // The wheel over the lines scrolls them; the caret stays on the first line.
    const QPoint inside(20, 5);
    QWheelEvent wheel(inside, edit->Widget()->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(edit->Widget(), &wheel);
    const QImage wheeled = Picture(edit);
    EXPECT_GT(bar->value(), 0);
    EXPECT_NE(wheeled, top);
    EXPECT_EQ(edit->SelStart(), 0);

    // A click on the bar's track above the thumb pages back up, through the window.
    QWidget* window = Form->Widget()->window();
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    option.subControls = QStyle::SC_All;
    const QRect above =
            bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubPage, bar);
    ASSERT_FALSE(above.isEmpty());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      bar->mapTo(window, above.center()));
    QTest::qWait(50);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(Picture(edit), top);
    EXPECT_TRUE(edit->Focused()) << "the bar takes no focus";
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      bar->mapTo(window, QPoint(bar->width() / 2, bar->height() - 3)));
    QTest::qWait(50);
    EXPECT_GT(bar->value(), 0) << "the down arrow";
    EXPECT_EQ(edit->SelStart(), 0);
    // Typing brings the caret's line back.
    TypeText(Form, "X");
    Picture(edit);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(edit->Text().substr(0, 6), "XLINE ");

    // Lines that fit leave the bar there but idle; without the property it goes.
    edit->SetText("ONE\r\nTWO");
    Picture(edit);
    EXPECT_FALSE(bar->isEnabled());
    edit->SetVertScrollBar(false);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(edit->ClientWidth(), edit->Width());
}

TEST_F(ControlsTest, ASeeThroughEditShowsWhatLiesUnderIt)
{
    Form->SetColor(clYellow);
    auto* edit = Add<TEdit>();
    edit->SetBorderStyle(bsNone);
    edit->SetText("ACME");
    ShowForm(Form);
    // The edit's place in a picture of its window, as the window shows it.
    const auto shown = [edit] {
        QCoreApplication::processEvents();
        QWidget* window = edit->Widget()->window();
        return window->grab(QRect(edit->Widget()->mapTo(window, QPoint(0, 0)), edit->Widget()->size()))
                .toImage();
    };
    const auto inked = [](const QImage& Image) {
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width() / 2; ++x)
                if (Image.pixelColor(x, y).lightness() < 100)
                    return true;
        return false;
    };
    const auto right = [edit](const QImage& Image) {
        return Image.pixelColor(edit->Width() - 5, edit->Height() / 2);
    };
    EXPECT_EQ(right(shown()), QColor(ToQColor(ColorToRGB(clWindow))));
    edit->SetSeeThrough(true);
    EXPECT_EQ(right(shown()), QColor(ToQColor(clYellow)));
    EXPECT_FALSE(inked(shown())) << "nor its own text";
    edit->Font()->SetSize(12);
    EXPECT_FALSE(inked(shown())) << "a new font keeps it see-through";
    edit->SetSeeThrough(false);
    EXPECT_EQ(right(shown()), QColor(ToQColor(ColorToRGB(clWindow))));
    EXPECT_TRUE(inked(shown()));
}

TEST_F(ControlsTest, EnteringAnEditSelectsItsText)
{
    auto* first = Add<TEdit>();
    auto* second = Add<TEdit>(30);
    second->SetText("ACME SUPPLY");
    ShowForm(Form);
    EXPECT_EQ(Form->ActiveControl(), first);
    PressKey(Form, Qt::Key_Tab);
    EXPECT_EQ(second->SelLength(), 11);
    TypeText(Form, "X");
    EXPECT_EQ(second->Text(), "X");
}

TEST_F(ControlsTest, MemoLinesAndTextAgree)
{
    auto* memo = Add<TMemo>();
    memo->Lines()->Add("first");
    memo->Lines()->Add("second");
    EXPECT_EQ(memo->Text(), "first\r\nsecond");
    memo->SetText("a\r\nb\r\nc");
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Get(2), "c");
    memo->SetSelStart(3);
    memo->SetSelLength(1);
    EXPECT_EQ(memo->SelText(), "b");
    EXPECT_EQ(memo->SelStart(), 3);
}

TEST_F(ControlsTest, MemoTakesEnterButLeavesTabToTheForm)
{
    auto* memo = Add<TMemo>();
    auto* after = Add<TEdit>(100);
    ShowForm(Form);
    TypeText(Form, "a");
    PressKey(Form, Qt::Key_Return);
    TypeText(Form, "b");
    EXPECT_EQ(memo->Lines()->Count(), 2);
    PressKey(Form, Qt::Key_Tab);
    EXPECT_EQ(Form->ActiveControl(), after);
    memo->SetWantTabs(true);
    memo->SetFocus();
    PressKey(Form, Qt::Key_Tab);
    EXPECT_EQ(Form->ActiveControl(), memo);
    EXPECT_NE(memo->Text().find('\t'), String::npos);
}

TEST_F(ControlsTest, ComboBoxChoosesAndKeepsItsText)
{
    auto* combo = Add<TComboBox>();
    std::vector<String> changes;
    combo->OnChange = [&](TObject*) { changes.push_back(combo->Text()); };
    combo->Items()->SetCommaText("R,Y,O,N");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(3);
    EXPECT_EQ(combo->Text(), "N");
    combo->Items()->Add("I");
    EXPECT_EQ(combo->Text(), "N") << "changing the items keeps the text";
    combo->SetText("free text");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "free text");
    EXPECT_THAT(changes, ElementsAre("N", "free text"));

    combo->SetStyle(csDropDownList);
    combo->SetText("Y");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetText("Z");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ControlsTest, ComboBoxTellsWhenItsListOpensAndCloses)
{
    auto* combo = Add<TComboBox>();
    combo->SetStyle(csDropDownList);
    combo->Items()->SetCommaText("R,Y,O,N");
    TEventLog log;
    combo->OnDropDown = [&](TObject*) { log.Add(combo->DroppedDown() ? "drop: open" : "drop: closed"); };
    combo->OnCloseUp = [&](TObject*) { log.Add(combo->DroppedDown() ? "close: open" : "close: closed"); };
    combo->OnChange = log.Note("change");
    ShowForm(Form);
    combo->SetFocus();

    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(combo->DroppedDown());
    PressKey(Form, Qt::Key_Escape);
    EXPECT_FALSE(combo->DroppedDown());
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    PressKey(Form, Qt::Key_Down);
    PressKey(Form, Qt::Key_Return);
    EXPECT_FALSE(combo->DroppedDown());
    combo->SetDroppedDown(false);  // already closed: no second close
    EXPECT_THAT(log.Entries,
                ElementsAre("drop: closed", "close: closed", "drop: closed", "close: closed", "change"));
    ForgetHeldInput();
}

TEST_F(ControlsTest, ListBoxClicksOnlyForTheUsersChoice)
{
    auto* list = Add<TListBox>();
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    list->Items()->SetCommaText("2007,2008,2009");
    list->SetItemIndex(1);
    EXPECT_EQ(clicks, 0);
    ShowForm(Form);
    list->SetFocus();
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    list->Items()->Delete(2);
    EXPECT_EQ(list->ItemIndex(), -1);
}

// Several items chosen by clicks and keys as a user chooses them, kept by the items that stay.
TEST_F(ControlsTest, AMultiSelectListSelectsSeveralItemsByMouseAndKeys)
{
    auto* list = Add<TListBox>();
    list->SetBounds(0, 0, 120, 150);
    list->Items()->SetCommaText("0.5,1,1.5,2,2.5,3");
    list->SetMultiSelect(true);
    ShowForm(Form);
    const auto selected = [list] { return SelectedItems(list); };
    ClickListItem(list, 1);
    ClickListItem(list, 3, Qt::ShiftModifier);
    ClickListItem(list, 5, Qt::ControlModifier);
    EXPECT_THAT(selected(), ElementsAre(1, 2, 3, 5));
    EXPECT_EQ(list->ItemIndex(), 5);
    ClickListItem(list, 2, Qt::ControlModifier);
    EXPECT_THAT(selected(), ElementsAre(1, 3, 5)) << "Ctrl with a click takes one out";

    list->Items()->Delete(3);
    EXPECT_EQ(list->Items()->CommaText(), "0.5,1,1.5,2.5,3");
    EXPECT_THAT(selected(), ElementsAre(1, 4)) << "the selection stays with its items";
    list->Items()->Insert(0, "0.25");
    EXPECT_THAT(selected(), ElementsAre(2, 5));

    list->SetItemIndex(0);
    EXPECT_THAT(selected(), ElementsAre(2, 5)) << "moving the focus leaves the selection";
    ClickListItem(list, 0);
    PressKey(Form, Qt::Key_Down, Qt::ShiftModifier);
    PressKey(Form, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_THAT(selected(), ElementsAre(0, 1, 2)) << "a click chooses one; Shift and an arrow add on";
    EXPECT_THROW(list->Selected(6), EStringListError);

    list->SetMultiSelect(false);
    EXPECT_EQ(selected(), std::vector<int> {2}) << "a single choice keeps the focused item";
    ForgetHeldInput();
}

// An owner-drawn list draws each row through its handler, rows as high as the list or the
// measuring handler says.
TEST_F(ControlsTest, AnOwnerDrawnListDrawsAndMeasuresItsItemsThroughItsHandlers)
{
    auto* list = Add<TListBox>();
    list->SetBounds(0, 0, 120, 150);
    list->Items()->SetCommaText("Red,Lime,Blue");
    const TColor colours[] = {clRed, clLime, clBlue};
    std::vector<int> drawn;
    bool selectedSeen = false;
    list->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
        EXPECT_EQ(Control, list);
        drawn.push_back(Index);
        selectedSeen |= State.Contains(odSelected) && Index == 1;
        list->Canvas()->Brush()->SetColor(colours[Index]);
        list->Canvas()->FillRect(Rect);
    };
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(20);
    list->SetItemIndex(1);
    ShowForm(Form);
    const QImage picture = list->Widget()->grab().toImage();
    for (int i = 0; i < 3; ++i) {
        const TRect r = list->ItemRect(i);
        EXPECT_EQ(r.Height(), 20);
        const QColor shown = picture.pixelColor((r.Left + r.Right) / 2 + 1, (r.Top + r.Bottom) / 2 + 1);
        EXPECT_EQ(shown, QColor(ToQColor(colours[i]))) << i;
    }
    EXPECT_THAT(drawn, ::testing::IsSupersetOf({0, 1, 2}));
    EXPECT_TRUE(selectedSeen);

    list->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height += 10 * Index; };
    list->SetStyle(lbOwnerDrawVariable);
    EXPECT_EQ(list->ItemRect(0).Height(), 20);
    EXPECT_EQ(list->ItemRect(1).Height(), 30);
    EXPECT_EQ(list->ItemRect(2).Height(), 40);
    EXPECT_EQ(list->ItemRect(1).Top, list->ItemRect(0).Bottom);

    // Without a handler an owner-drawn row shows its text.
    list->OnDrawItem = nullptr;
    list->SetStyle(lbOwnerDrawFixed);
    const QImage text = list->Widget()->grab().toImage();
    const TRect first = list->ItemRect(0);
    bool ink = false;
    for (int y = first.Top + 1; y < first.Bottom - 1 && !ink; ++y)
        for (int x = first.Left + 1; x < first.Right - 1 && !ink; ++x)
            ink = text.pixelColor(x, y).lightness() < 100;
    EXPECT_TRUE(ink);
}

TEST_F(ControlsTest, ArrowsMoveAmongButtonsButNotOutOfEdits)
{
    auto* edit = Add<TEdit>();
    auto* yes = Add<TButton>(40);
    auto* no = Add<TButton>(70);
    no->SetTabStop(false);
    ShowForm(Form);
    PressKey(Form, Qt::Key_Right);
    EXPECT_EQ(Form->ActiveControl(), edit);
    yes->SetFocus();
    PressKey(Form, Qt::Key_Down);
    EXPECT_EQ(Form->ActiveControl(), no) << "arrows pass no tab-stop test";
    PressKey(Form, Qt::Key_Up);
    EXPECT_EQ(Form->ActiveControl(), yes);
}

TEST_F(ControlsTest, LabelAcceleratorFocusesItsControl)
{
    auto* edit = Add<TEdit>();
    auto* date = Add<TEdit>(40);
    auto* label = Add<TLabel>(80);
    label->SetCaption("Date &From");
    label->SetFocusControl(date);
    ShowForm(Form);
    ASSERT_EQ(Form->ActiveControl(), edit);
    PressKey(Form, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(Form->ActiveControl(), date);
    EXPECT_EQ(date->Text(), "");
    date->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(ControlsTest, BitBtnKindsGiveCaptionResultAndRole)
{
    auto* ok = Add<TBitBtn>();
    ok->SetKind(bkOK);
    auto* cancel = Add<TBitBtn>(30);
    cancel->SetKind(bkCancel);
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_TRUE(ok->Default());
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(cancel->ModalResult(), mrCancel);
    ok->SetDefault(false);  // a caller may switch the default off again
    EXPECT_EQ(ok->Kind(), bkOK);
}

TEST_F(ControlsTest, PageControlTurnsPages)
{
    auto* pages = Add<TPageControl>();
    std::vector<TTabSheet*> sheets;
    for (const char* caption : {"Federal", "State", "Local"}) {
        auto* sheet = new TTabSheet(Form);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
        sheets.push_back(sheet);
    }
    int changes = 0;
    pages->OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    pages->SelectNextPage(false);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_TRUE(sheets[2]->Visible());
    EXPECT_FALSE(sheets[0]->Visible());
    sheets[2]->Free();
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, StatusPanelsDrawTheirBevels)
{
    auto* status = Add<TStatusBar>();
    for (const TStatusPanelBevel bevel : {pbLowered, pbNone, pbRaised}) {
        TStatusPanel* panel = status->AddPanel();
        panel->SetWidth(60);
        panel->SetBevel(bevel);
    }
    EXPECT_EQ(TStatusPanel(*status).Bevel(), pbLowered);
    ShowForm(Form);
    const QImage picture = status->Widget()->grab().toImage();
    const QColor face = ToQColor(status->Color()), shadow = ToQColor(clBtnShadow),
                 light = ToQColor(clBtnHighlight);
    struct Edges {
        QColor TopLeft, BottomRight;
    };
    const Edges expected[] = {{shadow, light}, {face, face}, {light, shadow}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int left = i * 62, top = 2, bottom = picture.height() - 1;
        const int right = i == 2 ? picture.width() - 1 : left + 59;  // the last panel takes the rest
        EXPECT_EQ(picture.pixelColor(left, top + 5), expected[i].TopLeft);
        EXPECT_EQ(picture.pixelColor(left + 20, top), expected[i].TopLeft);
        EXPECT_EQ(picture.pixelColor(right, top + 5), expected[i].BottomRight);
        EXPECT_EQ(picture.pixelColor(left + 20, bottom), expected[i].BottomRight);
    }
    KeepScreenshot(picture, "statusbar-bevels.png");
}

TEST_F(ControlsTest, HintWindowShowsWithoutTakingTheFocus)
{
    auto* edit = Add<TEdit>();
    ShowForm(Form);
    THintWindow hint(nullptr);
    const TRect rect = hint.CalcHintRect(200, "A long hint that has to wrap onto a second line of text");
    EXPECT_LE(rect.Width(), 206);
    EXPECT_GT(rect.Height(), hint.Canvas()->TextHeight("Hg") * 2);
    hint.ActivateHint(Bounds(50, 60, rect.Width(), rect.Height()), "A long hint");
    EXPECT_TRUE(hint.Widget()->isVisible());
    EXPECT_TRUE(edit->Widget()->hasFocus());
    EXPECT_TRUE(Form->Active());
    hint.ReleaseHandle();
    EXPECT_FALSE(hint.Widget()->isVisible());
}

TEST_F(ControlsTest, MainMenuItemsShowOnTheBarAndClick)
{
    const int clientHeight = Form->ClientHeight();
    auto* menu = new TMainMenu(Form);
    Form->SetMenu(menu);
    auto* help = new TMenuItem(Form);
    help->SetCaption("&Help");
    menu->Items()->Add(help);
    auto* support = new TMenuItem(Form);
    support->SetCaption("&Support");
    menu->Items()->Add(support);
    ASSERT_EQ(menu->MenuBar()->actions().size(), 2);
    EXPECT_EQ(menu->MenuBar()->actions().at(1)->text().toStdString(), "&Support");
    EXPECT_LT(Form->ClientHeight(), clientHeight) << "the bar takes room from the client area";
    int clicks = 0;
    support->OnClick = [&](TObject*) { ++clicks; };
    support->Action()->trigger();
    EXPECT_EQ(clicks, 1);
    support->Free();
    EXPECT_EQ(menu->MenuBar()->actions().size(), 1);
}

// An item with OnDrawItem draws itself, as large as OnMeasureItem says, selected by the
// pointer and the keys, and chosen by a click as any item.
TEST_F(ControlsTest, AMenuItemDrawsItselfAsLargeAsItMeasures)
{
    auto* menu = new TPopupMenu(Form);
    const auto add = [menu, this](const char* Caption) {
        auto* item = new TMenuItem(Form);
        item->SetCaption(Caption);
        menu->Items()->Add(item);
        return item;
    };
    TMenuItem* plain = add("Plain");
    TMenuItem* drawn = add("Drawn");
    int clicks = 0, fontHeight = 0;
    drawn->OnClick = [&](TObject*) { ++clicks; };
    drawn->OnMeasureItem = [&](TObject* Sender, TCanvas* Canvas, int& Width, int& Height) {
        EXPECT_EQ(Sender, drawn);
        fontHeight = Canvas->TextHeight("Drawn");
        Width = 150;
        Height = 30;
    };
    drawn->OnDrawItem = [](TObject*, TCanvas* Canvas, TRect Rect, bool Selected) {
        Canvas->Brush()->SetColor(Selected ? clRed : clLime);
        Canvas->FillRect(Rect);
    };
    ShowForm(Form);
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(window, nullptr);
        const QRect own = window->actionGeometry(drawn->Action());
        const QRect other = window->actionGeometry(plain->Action());
        EXPECT_EQ(own.height(), 30);
        EXPECT_GT(own.width(), 150) << "room for a check mark beside the measured width";
        EXPECT_EQ(other.width(), own.width()) << "one column";
        EXPECT_LT(other.height(), 30);
        EXPECT_EQ(fontHeight, QFontMetrics(window->font()).height()) << "measured in the menu's font";
        const auto shown = [window, own] { return window->grab().toImage().pixelColor(own.center()); };
        EXPECT_EQ(shown(), QColor(Qt::green));
        QTest::mouseMove(window, own.center());
        EXPECT_EQ(shown(), QColor(Qt::red)) << "the pointer selects it";
        QTest::keyClick(window, Qt::Key_Up);
        EXPECT_EQ(shown(), QColor(Qt::green));
        QTest::keyClick(window, Qt::Key_Down);
        EXPECT_EQ(shown(), QColor(Qt::red)) << "so do the keys";
        QTest::mouseClick(window, Qt::LeftButton, {}, own.center());
    });
    menu->Popup(100, 100);
    EXPECT_EQ(clicks, 1);
    ForgetHeldInput();
}

TEST(PrinterChoice, AnIndexOutsideThePrinterListIsRefused)
{
    TPrinter* printer = Printer();
    const int count = static_cast<int>(printer->Printers().size());
    EXPECT_THROW(printer->SetPrinterIndex(count), EPrinter);
    EXPECT_THROW(printer->SetPrinterIndex(-1), EPrinter);
    if (count == 0) {
        EXPECT_EQ(printer->PrinterIndex(), -1);
        EXPECT_THROW(printer->BeginDoc(), EPrinter);
        EXPECT_FALSE(printer->Printing());
    }
}

}  // namespace
