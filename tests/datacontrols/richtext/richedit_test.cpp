// The library's rich edit on a form, offscreen: find and replace, style toggles,
// highlight, undo, paste of rich and plain text, links, lines, units and streams.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>

#include "datacontrols/richtext/dwriched.h"
#include "platform/classes/object.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/menus.h"
#include "platform/win/servicedoubles.h"
#include "tests/datacontrols/richtext/richeditfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class RichEditTest : public RichEditFormTest {
protected:
    void SetUp() override
    {
        RichEditFormTest::SetUp();
        Edit->SetFocus();
    }
    void Load(const String& Rtf) { Edit->LoadContents(Rtf); }
    QTextEdit* Widget() { return static_cast<QTextEdit*>(Edit->Widget()); }

    TScriptedDialogs Dialogs;
};

// ---- find and replace

TEST_F(RichEditTest, FindMeetsEachMatchOnceRoundToTheTopAndStopsWhereItBegan)
{
    Edit->SetText("abc abc abc");
    Edit->SetSelStart(4);
    Edit->BeginSearch();
    std::vector<int> found;
    while (Edit->FindNext("abc", {}))
        found.push_back(Edit->SelStart());
    EXPECT_EQ(found, (std::vector<int> {4, 8, 0}));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "No more matches found");
    EXPECT_EQ(Edit->LastSearchText(), "abc");
}

TEST_F(RichEditTest, FindHonoursMatchCaseAndWholeWord)
{
    Edit->SetText("Total totals total");
    Edit->SetSelStart(0);
    Edit->BeginSearch();
    ASSERT_TRUE(Edit->FindNext("total", TFindOptions {frMatchCase, frWholeWord}));
    EXPECT_EQ(Edit->SelStart(), 13);
}

TEST_F(RichEditTest, ReplaceAllReplacesEveryMatchOnceWithOneMessage)
{
    struct Case {
        const char* Text;
        int Caret;
        const char* Find;
        const char* With;
        const char* Result;
    };
    const Case cases[] = {
            {"a-a-a", 2, "a", "bb", "bb-bb-bb"},
            {"xaa", 0, "a", "b", "xbb"},              // a match right after a replacement
            {"a a", 0, "a", "aa", "aa aa"},           // the replacement holds the search text
            {"abc abc abc", 4, "abc", "x", "x x x"},  // from the middle, round to the top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        Dialogs.Messages.clear();
        Edit->SetText(c.Text);
        Edit->SetSelStart(c.Caret);
        Edit->BeginSearch();
        EXPECT_FALSE(Edit->ReplaceNext(c.Find, c.With, {}, true));
        EXPECT_EQ(Edit->Text(), c.Result);
        EXPECT_EQ(Dialogs.Messages.size(), 1u);
    }
}

TEST_F(RichEditTest, ReplaceKeepsTheFormatAroundTheMatch)
{
    Load(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}plain {\b bold word} plain})");
    Edit->SetSelStart(0);
    EXPECT_TRUE(Edit->ReplaceText("word", "text", {}));
    EXPECT_EQ(Edit->Text(), "plain bold text plain");
    Edit->SetSelection(6, 4);
    EXPECT_TRUE(Edit->SelCharFormat().Bold);
    EXPECT_FALSE(Edit->ReplaceText("absent", "x", {}));
}

// The dialog's button with that caption.
TButton* DialogButton(TFindDialog* Dialog, const String& Caption)
{
    for (int i = 0; i < Dialog->Form()->ControlCount(); ++i)
        if (auto* button = dynamic_cast<TButton*>(Dialog->Form()->Controls(i));
            button && button->Caption() == Caption)
            return button;
    return nullptr;
}

TEST_F(RichEditTest, TheFindDialogOffersAOneLineSelectionOrTheLastSearch)
{
    Edit->SetText("first line\r\nsecond line");
    Edit->SetSelection(0, 5);
    Edit->Find();
    EXPECT_EQ(Edit->FindDialog()->FindText(), "first");
    EXPECT_FALSE(Edit->HideSelection()) << "the match shows while the dialog has the focus";
    ASSERT_TRUE(DialogButton(Edit->FindDialog(), "&Find Next"));
    Edit->FindDialog()->SetFindText("line");
    DialogButton(Edit->FindDialog(), "&Find Next")->Click();
    EXPECT_EQ(Edit->SelStart(), 6);
    EXPECT_EQ(Edit->LastSearchText(), "line");
    Edit->FindDialog()->CloseDialog();
    EXPECT_TRUE(Edit->HideSelection());

    Edit->SetSelection(6, 8);  // across the paragraph break
    Edit->Find();
    EXPECT_EQ(Edit->FindDialog()->FindText(), "line");
    Edit->FindDialog()->CloseDialog();
}

TEST_F(RichEditTest, TheReplaceDialogReplacesOneOrAll)
{
    Edit->SetText("one two one two one");
    Edit->SetSelStart(0);
    Edit->Replace();
    TReplaceDialog* dialog = Edit->ReplaceDialog();
    dialog->SetFindText("one");
    dialog->SetReplaceText("1");
    DialogButton(dialog, "&Find Next")->Click();
    DialogButton(dialog, "&Replace")->Click();
    EXPECT_EQ(Edit->Text(), "1 two one two one");
    DialogButton(dialog, "Replace &All")->Click();
    EXPECT_EQ(Edit->Text(), "1 two 1 two 1");
    EXPECT_EQ(Dialogs.Messages.size(), 1u);
    dialog->CloseDialog();
}

// ---- the context menu

struct MenuState {
    std::vector<bool> Visible;
    std::vector<bool> Enabled;
};

MenuState Menu(TdwCustomRichEdit* Edit)
{
    Edit->UpdatePopupMenu();
    MenuState state;
    for (int i = 0; i <= rpoPopupMSWordSpellCheck; ++i) {
        state.Visible.push_back(Edit->PopupItem(static_cast<TdwRichEditPopupOption>(i))->Visible());
        state.Enabled.push_back(Edit->PopupItem(static_cast<TdwRichEditPopupOption>(i))->Enabled());
    }
    return state;
}

// Edit Cut Copy Paste Bold Italic Underline Font Bullet Paragraph Tabs Find Replace Object Spell
TEST_F(RichEditTest, TheContextMenuShowsWhatTheOptionsAndTheReadOnlyStateAllow)
{
    Edit->SetText("some text");
    Edit->SetSelection(0, 4);
    MenuState m = Menu(Edit);
    EXPECT_EQ(m.Visible, (std::vector<bool> {1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(Edit->PopupItem(rpoPopupEdit)->Caption(), "&Edit");
    std::vector<bool> separators;
    for (int i = 0; i < Edit->PopupMenu()->Items()->Count(); ++i)
        if (Edit->PopupMenu()->Items()->Items(i)->Caption() == "-")
            separators.push_back(Edit->PopupMenu()->Items()->Items(i)->Visible());
    EXPECT_EQ(separators, (std::vector<bool> {1, 1, 0, 1, 1}));
    EXPECT_TRUE(m.Enabled[rpoPopupCut] && m.Enabled[rpoPopupCopy]);

    Edit->SetSelLength(0);
    m = Menu(Edit);
    EXPECT_FALSE(m.Enabled[rpoPopupCut] || m.Enabled[rpoPopupCopy]);

    Edit->SetReadOnly(true);
    Edit->SetSelection(0, 4);
    m = Menu(Edit);
    EXPECT_EQ(m.Visible, (std::vector<bool> {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Edit->PopupItem(rpoPopupEdit)->Caption(), "&View");
    EXPECT_FALSE(m.Enabled[rpoPopupCut]);
    EXPECT_TRUE(m.Enabled[rpoPopupCopy]);
    EXPECT_FALSE(m.Enabled[rpoPopupPaste]);
}

class TdwDBRichEditMSWord : public TdwCustomRichEdit {
public:
    using TdwCustomRichEdit::TdwCustomRichEdit;
    String ClassName() const override { return "TdwDBRichEditMSWord"; }
};

TEST_F(RichEditTest, OnlyAClassNamedForTheWordProcessorShowsSpellCheck)
{
    auto* word = new TdwDBRichEditMSWord(Form);
    EXPECT_TRUE(Menu(word).Visible[rpoPopupMSWordSpellCheck]);
    Edit->SetPopupOptions(Edit->PopupOptions() + TdwRichEditPopupOptions {rpoPopupMSWordSpellCheck});
    EXPECT_FALSE(Menu(Edit).Visible[rpoPopupMSWordSpellCheck]);
}

TEST_F(RichEditTest, TheStyleItemsToggleTheSelectionAndShowItsStyle)
{
    Edit->SetPopupOptions(Edit->PopupOptions() + TdwRichEditPopupOptions {rpoPopupBold, rpoPopupItalic});
    Edit->SetText("styled");
    Edit->SetSelection(0, 6);
    Menu(Edit);
    EXPECT_FALSE(Edit->PopupItem(rpoPopupBold)->Checked());
    Edit->PopupItem(rpoPopupBold)->Click();
    EXPECT_TRUE(Edit->SelCharFormat().Bold);
    Menu(Edit);
    EXPECT_TRUE(Edit->PopupItem(rpoPopupBold)->Checked());
    Edit->PopupItem(rpoPopupBold)->Click();
    EXPECT_FALSE(Edit->SelCharFormat().Bold);
}

TEST_F(RichEditTest, TheFontDialogWritesItsFontIntoTheSelection)
{
    Edit->SetText("font");
    Edit->SetSelection(0, 4);
    EXPECT_FALSE(Edit->FontDialogExecute()) << "cancelled";
    EXPECT_FALSE(Edit->SelCharFormat().Italic);
    Dialogs.AnswerFont([](TFont& Font) {
        Font.SetName("DejaVu Sans");
        Font.SetStyle(TFontStyles {fsItalic});
    });
    EXPECT_TRUE(Edit->FontDialogExecute());
    EXPECT_TRUE(Edit->SelCharFormat().Italic);
    EXPECT_EQ(Edit->SelCharFormat().FaceName, "DejaVu Sans");
}

// ---- formats

TEST_F(RichEditTest, StyleTogglesSetTheirEffectOnAMixedSelectionAndUndoTakesThemBack)
{
    Load(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}ab{\b cd}ef})");
    Edit->SelectAll();
    TRichCharMask consistent;
    Edit->SelCharFormat(&consistent);
    EXPECT_FALSE(consistent.Contains(rcBold));
    Edit->SetSelBold(true);
    EXPECT_TRUE(Edit->SelCharFormat(&consistent).Bold);
    EXPECT_TRUE(consistent.Contains(rcBold));
    Edit->SetSelItalic(true);
    Edit->SetSelUnderline(true);
    Edit->SetSelStrikeOut(true);
    const TRichCharFormat f = Edit->SelCharFormat(&consistent);
    EXPECT_TRUE(f.Italic && f.Underline && f.StrikeOut);
    EXPECT_TRUE(consistent.Contains(rcItalic) && consistent.Contains(rcUnderline) &&
                consistent.Contains(rcStrikeOut));
    ASSERT_TRUE(Edit->CanUndo());
    for (int i = 0; i < 4; ++i)
        Edit->Undo();
    Edit->SetSelection(0, 1);
    EXPECT_FALSE(Edit->SelCharFormat().Bold);
    Edit->SetSelection(2, 1);
    EXPECT_TRUE(Edit->SelCharFormat().Bold);
    EXPECT_TRUE(Edit->CanRedo());
}

TEST_F(RichEditTest, ABulletTogglesOnWithItsOffsetAndOff)
{
    Edit->SetText("one\r\ntwo");
    Edit->SetSelStart(0);
    Edit->ToggleBullet();
    TRichParaFormat p = Edit->SelParaFormat();
    EXPECT_TRUE(p.Bullet);
    EXPECT_EQ(p.Offset, 720);
    // Saved as an item of a bulleted list.
    EXPECT_NE(Edit->Lines()->Contents().find("\\levelnfc23"), String::npos);
    EXPECT_NE(Edit->Lines()->Contents().find("\\ls1\\ilvl0"), String::npos);
    Edit->ToggleBullet();
    EXPECT_FALSE(Edit->SelParaFormat().Bullet);
}

TEST_F(RichEditTest, HighlightColoursTheSelectionAndClearingTakesItAway)
{
    Edit->SetText("mark this word");
    Edit->SetSelection(5, 4);
    Edit->SetSelBackColor(Edit->HighlightColor());
    EXPECT_EQ(Edit->SelLength(), 0) << "the selection collapses";
    Edit->SetSelection(5, 4);
    EXPECT_EQ(Edit->GetSelBackColor(), clYellow);
    EXPECT_NE(Edit->Lines()->Contents().find("\\highlight1"), String::npos);
    Edit->SetSelBackColor(clNone);
    Edit->SetSelection(5, 4);
    EXPECT_EQ(Edit->GetSelBackColor(), clNone);
    EXPECT_EQ(Edit->Text(), "mark this word");
    EXPECT_EQ(Edit->Lines()->Contents().find("\\highlight"), String::npos);
}

TEST(dwRemoveHighlight, DropsTheWordsButNotAnEscapedLiteral)
{
    EXPECT_EQ(dwRemoveHighlight(R"({\rtf1 a{\highlight3 b} \\highlight2})"), R"({\rtf1 a{b} \\highlight2})");
    EXPECT_EQ(dwRemoveHighlight(R"(\highlight12\b x)"), R"(\b x)");
}

// ---- typing, undo and paste

TEST_F(RichEditTest, TypedTextTakesTheFormatAtTheCaretAndUndoes)
{
    Load(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\b bold}})");
    Edit->SetSelStart(4);
    TypeText(Form, "er");
    EXPECT_EQ(Edit->Text(), "bolder");
    EXPECT_TRUE(Edit->Modified());
    Edit->SetSelection(5, 1);
    EXPECT_TRUE(Edit->SelCharFormat().Bold);
    Edit->SetSelStart(6);
    PressKey(Form, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Edit->Text(), "bold");
}

TEST_F(RichEditTest, PasteKeepsRichTextFormatsAndTakesPlainTextAsItIs)
{
    Load(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\b bold} {\i slanted}})");
    Edit->SelectAll();
    Edit->CopyToClipboard();
    ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasFormat("text/rtf"));
    auto* other = new TdwCustomRichEdit(Form);
    other->SetParent(Form);
    other->SetText("x");
    other->SetSelStart(1);
    EXPECT_TRUE(other->CanPaste());
    other->PasteFromClipboard();
    EXPECT_EQ(other->Text(), "xbold slanted");
    other->SetSelection(1, 1);
    EXPECT_TRUE(other->SelCharFormat().Bold);
    other->SetSelection(6, 1);
    EXPECT_TRUE(other->SelCharFormat().Italic);

    QApplication::clipboard()->setText("plain\ntext");
    other->SetSelStart(0);
    other->PasteFromClipboard();
    EXPECT_EQ(other->Paragraph(0), "plain");
    EXPECT_EQ(other->Paragraph(1), "textxbold slanted");

    other->SetReadOnly(true);
    other->PasteFromClipboard();
    EXPECT_EQ(other->Paragraph(0), "plain");
}

TEST_F(RichEditTest, MaxLengthRefusesTypingButNotLoading)
{
    Edit->SetMaxLength(5);
    Edit->SetText("1234567");
    EXPECT_EQ(Edit->Text(), "1234567");
    Edit->SetText("123");
    Edit->SetSelStart(3);
    TypeText(Form, "4567");
    EXPECT_EQ(Edit->Text(), "12345");
    EXPECT_EQ(Dialogs.Beeps, 2);
}

// ---- links

TEST_F(RichEditTest, AClickedLinkOpensOnlyWebAndMailAddresses)
{
    TRecordingLauncher launcher;
    Edit->SetAutoURLDetect(true);
    Edit->SetText("see https://example.com/a and file:///etc/passwd or www.example.org");
    std::vector<String> asked;
    Edit->OnURLOpen = [&](TObject*, const String& URL, bool& Allow) {
        asked.push_back(URL);
        Allow = URL.find("refuse") == String::npos;
    };
    const auto click = [&](int Position) {
        QTextCursor at(Widget()->document());
        at.setPosition(Position);
        QTest::mouseClick(Widget()->viewport(), Qt::LeftButton, {}, Widget()->cursorRect(at).center());
    };
    click(8);
    click(34);
    click(57);
    EXPECT_EQ(asked,
              (std::vector<String> {"https://example.com/a", "file:///etc/passwd", "www.example.org"}));
    EXPECT_EQ(launcher.Opened, (std::vector<String> {"https://example.com/a", "http://www.example.org"}));
    Edit->SetText("https://refuse.example");
    click(3);
    EXPECT_EQ(launcher.Opened.size(), 2u);
    Edit->SetAutoURLDetect(false);
    Edit->SetText("https://example.com");
    click(3);
    EXPECT_EQ(launcher.Opened.size(), 2u);
}

TEST(dwIsSafeLinkScheme, OnlyTheAllowList)
{
    for (const char* url : {"http://a", "HTTPS://a", "mailto:x@y", "www.a.b"})
        EXPECT_TRUE(dwIsSafeLinkScheme(url)) << url;
    for (const char* url : {"file:///etc", "ftp://a", "javascript:x", "/bin/sh", "smb://h/s"})
        EXPECT_FALSE(dwIsSafeLinkScheme(url)) << url;
}

// ---- objects and spelling

TEST_F(RichEditTest, InsertObjectSaysItIsNotAvailableAndSpellCheckIsAStub)
{
    EXPECT_FALSE(Edit->InsertObject());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_TRUE(Edit->SpellCheck());
}

// ---- lines and streams

TEST_F(RichEditTest, LinesAreParagraphs)
{
    TdwRichEditStrings* lines = Edit->Lines();
    Edit->SetText("one\r\ntwo\r\n");
    EXPECT_EQ(lines->Count(), 2) << "no empty last line";
    EXPECT_EQ(lines->Get(1), "two");
    EXPECT_THROW(lines->Get(2), EStringListError);
    lines->Insert(2, "three");
    EXPECT_EQ(Edit->Text(), "one\r\ntwo\r\nthree\r\n");
    lines->Put(0, "ONE");
    lines->Insert(4, "never");  // after an empty last line: nothing
    EXPECT_EQ(Edit->Text(), "ONE\r\ntwo\r\nthree\r\n");
    Edit->SetText("a\r\nb");
    lines->Insert(2, "c");
    EXPECT_EQ(Edit->Text(), "a\r\nb\r\nc");
    lines->Delete(1);
    EXPECT_EQ(Edit->Text(), "a\r\nc");
    lines->Delete(1);
    EXPECT_EQ(Edit->Text(), "a");
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
}

TEST_F(RichEditTest, AStreamThatIsNotRtfLoadsAsPlainTextAndAPreviewShowsTheBeginning)
{
    TStringStream plain("{not rtf}\nsecond");
    Edit->StreamInText(plain, false, 0);
    EXPECT_EQ(Edit->Paragraph(0), "{not rtf}");
    EXPECT_EQ(Edit->Paragraph(1), "second");

    String rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < 2000; ++i)
        rtf += "paragraph " + std::to_string(i) + "\\par\r\n";
    rtf += "}";
    TStringStream whole(rtf);
    Edit->StreamInText(whole, false, 2);
    EXPECT_EQ(Edit->Paragraph(0), "paragraph 0");
    EXPECT_GT(Edit->ParagraphCount(), 100);
    EXPECT_LT(Edit->ParagraphCount(), 2000);
}

TEST_F(RichEditTest, ASelectionStreamsOutAndIntoAnotherControlWithItsFormats)
{
    Load(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}keep {\b bold} keep})");
    Edit->SetSelection(5, 4);
    TdwRichMemoryStream stream;
    Edit->StreamOutSelection(stream);
    auto* other = new TdwCustomRichEdit(Form);
    other->SetText("[]");
    other->SetSelStart(1);
    other->StreamInSelection(stream);
    EXPECT_EQ(other->Text(), "[bold]");
    other->SetSelection(1, 4);
    EXPECT_TRUE(other->SelCharFormat().Bold);
}

TEST(TdwRichMemoryStream, GrowsIn128KSteps)
{
    TdwRichMemoryStream stream;
    stream.SetCapacity(1);
    EXPECT_EQ(stream.Capacity(), 131072);
    stream.SetCapacity(131073);
    EXPECT_EQ(stream.Capacity(), 262144);
    const std::string bytes(300000, 'x');
    stream.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
    EXPECT_EQ(stream.Capacity(), 393216);
    stream.SetCapacity(0);
    EXPECT_EQ(stream.Capacity(), 0);
    EXPECT_EQ(stream.Size(), 0);
}

// ---- units

TEST(dwRichUnits, TwipsAndTheTextOfInchesAndCentimetres)
{
    struct Case {
        const char* Text;
        TdwMeasurementUnits Units;
        int Twips;
    };
    for (const Case& c :
         {Case {"1", muInches, 1440}, Case {"0.5''", muInches, 720}, Case {"1.5\" ", muInches, 2160},
          Case {"2.537", muCentimeters, 1440}, Case {"2.537 cm", muCentimeters, 1440},
          Case {"2.537cm", muInches, 1440}, Case {"5.074 CM", muCentimeters, 2880}}) {
        EXPECT_EQ(UnitTextToTwips(c.Text, c.Units), c.Twips) << c.Text;
    }
    EXPECT_THROW(UnitTextToTwips("one inch", muInches), EConvertError);
    EXPECT_EQ(FormatUnits(TwipsToUnits(1440, muInches), muInches), "1''");
    EXPECT_DOUBLE_EQ(TwipsToUnits(720, muCentimeters), 1.27);
    EXPECT_EQ(FormatUnits(TwipsToUnits(1440, muCentimeters), muCentimeters), "2.54 cm");
    EXPECT_EQ(RoundToStep(1000, muInches), "0.75''");        // 0.694'' to the nearest eighth
    EXPECT_EQ(RoundToStep(1000, muCentimeters), "1.75 cm");  // 1.76 cm to the nearest 1/20
    EXPECT_EQ(RoundToStep(1419, muCentimeters), "2.5 cm");
    EXPECT_EQ(UnitTextToTwips(RoundToStep(1419, muCentimeters), muCentimeters), 1419)
            << "what is shown reads back";
}

// ---- a picture of the control

TEST_F(RichEditTest, Screenshot)
{
    Load(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1 Liberation Serif;}}{\colortbl;\red200\green0\blue0;\red255\green255\blue0;})"
         R"(\pard\qc\fs32{\b Payment notice}\par\pard\fs20 Paid to {\i M\'fcller}: {\cf1 $1,250.00} )"
         R"({\highlight2 received}.\par{\pntext\'95\tab}{\*\pn\pnlvlblt{\pntxtb\'95}}\fi-360\li720 First item\par)"
         R"({\pntext\'95\tab}{\*\pn\pnlvlblt{\pntxtb\'95}}\fi-360\li720 {\f1\ul Second item}\par\pard\li1440 Indented an inch.})");
    QCoreApplication::processEvents();
    KeepScreenshot(Form->Widget()->window()->grab(), "richedit.png");
}

}  // namespace
