// The rich text editor form, offscreen: the copy it edits and what OK brings back, the
// commands its options and the read-only state show, the buttons that follow the
// selection, the close, New and Save As prompts, and Esc.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <fstream>

#include "datacontrols/common/dwwindows.h"
#include "datacontrols/richtext/dwrich.h"
#include "datacontrols/richtext/dwruler.h"
#include "platform/classes/object.h"
#include "platform/classes/screen.h"
#include "platform/vcl/controls/bars.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/datacontrols/richtext/richeditfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"

namespace {

class EditorFormTest : public RichEditFormTest {
protected:
    void SetUp() override
    {
        RichEditFormTest::SetUp();
        Source = Edit;
        Source->LoadContents(
                R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\li720 {\b Payment} notice\par second line})");
    }
    TScriptedDialogs Dialogs;
    TdwCustomRichEdit* Source = nullptr;
};

TEST_F(EditorFormTest, EditsACopyAndSaveAndExitBringsItBack)
{
    const bool accepted = RunEditor([](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->Caption(), "Edit Rich Text");
        EXPECT_EQ(editor->RichEdit1->Text(), "Payment notice\r\nsecond line");
        editor->RichEdit1->SetSelection(0, 7);
        EXPECT_TRUE(editor->BoldButton->Down());
        EXPECT_EQ(editor->Ruler->LeftMarker(), 48 + editor->Ruler->Band().Left - 4);
        KeepScreenshot(editor->Widget()->window()->grab(), "richedit_editor.png");
        editor->RichEdit1->SetFocus();
        editor->RichEdit1->SetSelStart(0);
        TypeText(editor, "Late ");
        editor->SaveExit1->Click();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(Source->Text(), "Late Payment notice\r\nsecond line");
    EXPECT_TRUE(Source->Modified());
    Source->SetSelection(5, 7);
    EXPECT_TRUE(Source->SelCharFormat().Bold) << "formats come back";
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(EditorFormTest, TheDialogEventsFireAroundTheFormAndLoadReadsAFile)
{
    const String file = QDir::tempPath().toStdString() + "/totamund_editor_load.rtf";
    {
        std::ofstream(file) << R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\i loaded} text})";
    }
    Dialogs.AnswerFile(file);
    Source->SetEditorOptions(Source->EditorOptions() + TdwRichEditOptions {reoShowLoad});
    std::vector<String> events;
    Source->OnCreateDialog = [&](TObject*, TForm* F) { events.push_back("create " + F->Caption()); };
    Source->OnInitDialog = [&](TObject*, TForm*) { events.push_back("init"); };
    Source->OnCloseDialog = [&](TObject*, TForm*) { events.push_back("close"); };
    EXPECT_TRUE(RunEditor([&](TdwRichEditForm* editor) {
        events.push_back("shown");
        editor->LoadClick();
        EXPECT_EQ(editor->RichEdit1->Text(), "loaded text");
        editor->RichEdit1->SetSelection(0, 6);
        EXPECT_TRUE(editor->RichEdit1->SelCharFormat().Italic);
        editor->SaveExit1->Click();
    }));
    EXPECT_EQ(events, (std::vector<String> {"init", "create Edit Rich Text", "shown", "close"}));
    EXPECT_EQ(Source->Text(), "loaded text");
    std::remove(file.c_str());
}

TEST_F(EditorFormTest, TheUserButtonsStandOnTheToolBarAndGoBackHidden)
{
    TForm* own = Construct<TForm>(nullptr);
    auto* first = new TSpeedButton(own);
    first->SetParent(own);
    first->SetBounds(0, 0, 30, 20);
    auto* second = new TSpeedButton(own);
    second->SetParent(own);
    second->SetBounds(40, 0, 30, 20);
    Source->SetUserSpeedButton1(first);
    Source->SetUserSpeedButton2(second);
    EXPECT_FALSE(first->Visible()) << "hidden on their own form";
    RunEditor([first, second](TdwRichEditForm* editor) {
        EXPECT_EQ(first->Parent(), editor->Toolbar);
        EXPECT_TRUE(first->Visible() && second->Visible());
        EXPECT_EQ(first->Left(), editor->UndoButton->Left() + editor->UndoButton->Width() + 32);
        EXPECT_EQ(second->Left(), first->Left() + first->Width());
        EXPECT_TRUE(editor->UserButtonBevel->Visible());
        EXPECT_EQ(editor->UserButtonBevel->Left(),
                  editor->RedoButton->Left() + editor->RedoButton->Width() + 3);
        editor->Exit1->Click();
    });
    EXPECT_EQ(first->Parent(), own);
    EXPECT_EQ(second->Parent(), own);
    EXPECT_FALSE(first->Visible() || second->Visible());
    own->Free();
    EXPECT_EQ(Source->UserSpeedButton1(), nullptr) << "a freed button is forgotten";
}

TEST_F(EditorFormTest, TheLoadAndSaveAsButtonsStayOffTheToolBarAndTheFileEventsReplaceTheirActions)
{
    Source->SetEditorOptions(Source->EditorOptions() + TdwRichEditOptions {reoShowLoad, reoShowSaveAs});
    std::vector<String> ran;
    Source->OnMenuLoadClick = [&ran](TdwRichEditForm*, TdwCustomRichEdit*, bool& DoDefault) {
        ran.push_back("load");
        DoDefault = false;
    };
    Source->OnMenuSaveAsClick = [&ran](TdwRichEditForm*, TdwCustomRichEdit*, bool& DoDefault) {
        ran.push_back("save as");
        DoDefault = false;
    };
    Source->OnMenuSaveAndExitClick = [&ran](TdwRichEditForm*, TdwCustomRichEdit*, bool& DoDefault) {
        ran.push_back("save and exit");
        DoDefault = ran.size() > 3;
    };
    EXPECT_TRUE(RunEditor([](TdwRichEditForm* editor) {
        EXPECT_TRUE(editor->Load1->Visible() && editor->SaveAs1->Visible());
        for (TSpeedButton* button : {editor->LoadButton1, editor->SaveAsButton}) {
            EXPECT_EQ(button->Parent(), editor->Toolbar);
            EXPECT_FALSE(button->Visible());
        }
        editor->LoadButton1->Click();
        editor->SaveAsButton->Click();
        editor->SaveExit1->Click();
        EXPECT_EQ(editor->ModalResult(), mrNone) << "the event kept the form open";
        editor->SaveExit1->Click();
    }));
    EXPECT_EQ(ran, (std::vector<String> {"load", "save as", "save and exit", "save and exit"}));
}

// An editing control that cannot be placed while Fail is set.
class UnplaceableEdit : public TdwCustomRichEdit {
public:
    using TdwCustomRichEdit::TdwCustomRichEdit;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override
    {
        if (Fail)
            throw Exception("cannot place the text");
        TdwCustomRichEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    }
    static inline bool Fail = false;
};

class UnplaceableSource : public TdwCustomRichEdit {
public:
    using TdwCustomRichEdit::TdwCustomRichEdit;
    TdwCustomRichEdit* CreateEditorControl(TComponent* AOwner) override
    {
        return new UnplaceableEdit(AOwner);
    }
};

TEST_F(EditorFormTest, AFailingLayoutSaysErrorInResizeAndTheFormGoesOn)
{
    Edit = new UnplaceableSource(Form);
    Edit->SetParent(Form);
    Edit->SetText("placed");
    EXPECT_TRUE(RunEditor([this](TdwRichEditForm* editor) {
        UnplaceableEdit::Fail = true;
        editor->SetWidth(editor->Width() + 40);
        UnplaceableEdit::Fail = false;
        ASSERT_EQ(Dialogs.Messages.size(), 1u);
        EXPECT_EQ(Dialogs.Messages[0].Text, "Error in resize");
        QWidget* widget = editor->RichEdit1->Widget();
        auto* text = qobject_cast<QTextEdit*>(widget);
        if (!text)
            text = widget->findChild<QTextEdit*>();
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->updatesEnabled()) << "painting resumed";
        editor->SetWidth(editor->Width() + 40);
        EXPECT_EQ(Dialogs.Messages.size(), 1u);
        EXPECT_EQ(editor->RichEdit1->Width(), editor->ClientWidth() - 8);
        editor->SaveExit1->Click();
    }));
}

TEST_F(EditorFormTest, ClosingAChangedTextAsksYesNoOrCancel)
{
    Dialogs.AnswerMessage(mrCancel);
    Dialogs.AnswerMessage(mrNo);
    EXPECT_FALSE(RunEditor([](TdwRichEditForm* editor) {
        editor->RichEdit1->SetFocus();
        TypeText(editor, "x");
        editor->Exit1->Click();
        QTimer::singleShot(0, [editor] {
            EXPECT_TRUE(editor->Visible()) << "Cancel stays";
            editor->Exit1->Click();
        });
    }));
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Changes have been made!  Do you wish to save your changes?");
    EXPECT_EQ(Source->Text(), "Payment notice\r\nsecond line") << "No discards";

    Dialogs.AnswerMessage(mrYes);
    EXPECT_TRUE(RunEditor([](TdwRichEditForm* editor) {
        editor->RichEdit1->SetFocus();
        TypeText(editor, "y");
        editor->Exit1->Click();
    }));
    EXPECT_NE(Source->Text().find('y'), String::npos) << "Yes keeps";
}

TEST_F(EditorFormTest, AReadOnlySourceShowsOnlyTheTextAndEscCloses)
{
    Source->SetReadOnly(true);
    Source->SetEditorOptions(Source->EditorOptions() + TdwRichEditOptions {reoShowLoad, reoShowSaveAs});
    EXPECT_FALSE(RunEditor([](TdwRichEditForm* editor) {
        EXPECT_FALSE(editor->Load1->Visible());
        EXPECT_FALSE(editor->SaveAs1->Visible());
        EXPECT_FALSE(editor->SaveExit1->Visible());
        EXPECT_FALSE(editor->Toolbar->Visible());
        EXPECT_FALSE(editor->FormatBar->Visible());
        EXPECT_FALSE(editor->StatusBar->Visible());
        EXPECT_FALSE(editor->Ruler->Visible());
        EXPECT_FALSE(editor->Tools1->Visible());
        EXPECT_FALSE(editor->Format1->Visible());
        EXPECT_TRUE(editor->RichEdit1->ReadOnly());
        editor->RichEdit1->SetSelection(0, 3);
        editor->UpdateControls();
        EXPECT_FALSE(editor->Cut1->Enabled());
        EXPECT_TRUE(editor->Copy1->Enabled());
        editor->RichEdit1->SetFocus();
        PressKey(editor, Qt::Key_Escape);
    }));
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(EditorFormTest, TheOptionsShowTheCommandsAndTheButtonsFollowTheSelection)
{
    Source->SetEditorOptions(TdwRichEditOptions {reoShowLoad, reoShowToolBar, reoShowRuler});
    EXPECT_FALSE(RunEditor([](TdwRichEditForm* editor) {
        EXPECT_TRUE(editor->Load1->Visible());
        EXPECT_FALSE(editor->SaveAs1->Visible());
        EXPECT_FALSE(editor->SaveExit1->Visible());
        EXPECT_TRUE(editor->FileSep1->Visible()) << "after Load";
        EXPECT_FALSE(editor->FormatBar->Visible());
        EXPECT_FALSE(editor->FormatBar1->Checked());
        EXPECT_TRUE(editor->Toolbar1->Checked());
        EXPECT_FALSE(editor->Insert1->Visible());
        editor->RichEdit1->SetSelStart(2);
        editor->UpdateControls();
        EXPECT_FALSE(editor->Cut1->Enabled() || editor->CutButton->Enabled() || editor->Copy1->Enabled());
        EXPECT_TRUE(editor->Find1->Enabled());
        EXPECT_FALSE(editor->FindNext1->Enabled()) << "nothing searched yet";
        editor->RichEdit1->SetSelection(0, 4);
        editor->UpdateControls();
        EXPECT_TRUE(editor->Cut1->Enabled() && editor->CutButton->Enabled() && editor->Copy1->Enabled());
        editor->FormatBar1->Click();
        EXPECT_TRUE(editor->FormatBar->Visible());
        EXPECT_TRUE(editor->FormatBar1->Checked());
        editor->RichEdit1->SetFocus();
        PressKey(editor, Qt::Key_Escape);  // without reoCloseOnEscape: undoes, stays
        QTimer::singleShot(0, [editor] {
            EXPECT_TRUE(editor->Visible());
            editor->Exit1->Click();
        });
    }));
    EXPECT_TRUE(Dialogs.Messages.empty()) << "an unchanged text closes without asking";
}

TEST_F(EditorFormTest, TheFontNameComboShowsAFontItDoesNotOfferInRedAndClosedCombosGiveBackTheText)
{
    Dialogs.AnswerMessage(mrNo);  // the size chosen below is not kept
    Source->LoadContents(
            R"({\rtf1\ansi{\fonttbl{\f0 Liberation Sans;}{\f1 Not Installed Sans;}}known {\f1 unknown}})");
    RunEditor([](TdwRichEditForm* editor) {
        editor->RichEdit1->SetSelection(1, 2);
        EXPECT_EQ(editor->FontNameCombo->Text(), "Liberation Sans");
        EXPECT_EQ(editor->FontNameCombo->Font()->Color(), clWindowText);
        editor->RichEdit1->SetSelection(7, 2);
        EXPECT_EQ(editor->FontNameCombo->Text(), "Not Installed Sans");
        EXPECT_EQ(editor->FontNameCombo->Font()->Color(), TColor(255));
        EXPECT_FALSE(editor->RichEdit1->Modified()) << "following the selection changes nothing";

        editor->FontNameCombo->SetFocus();
        PressKey(editor, Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(editor->FontNameCombo->DroppedDown());
        EXPECT_EQ(editor->FontNameCombo->Font()->Color(), clBlack) << "the opened list is not red";
        PressKey(editor, Qt::Key_Escape);
        EXPECT_EQ(editor->ActiveControl(), editor->RichEdit1) << "closing the list returns to the text";
        editor->FontSizeCombo->SetFocus();
        PressKey(editor, Qt::Key_Down, Qt::AltModifier);
        PressKey(editor, Qt::Key_Down);
        PressKey(editor, Qt::Key_Return);
        EXPECT_EQ(editor->ActiveControl(), editor->RichEdit1);
        editor->Exit1->Click();
    });
}

TEST_F(EditorFormTest, NewAsksBeforeClearingAndSaveAsBeforeOverwriting)
{
    const String file = QDir::tempPath().toStdString() + "/totamund_editor_saveas.rtf";
    {
        std::ofstream(file) << "old";
    }
    Dialogs.AnswerMessage(mrCancel);  // New: keep
    Dialogs.AnswerMessage(mrOk);      // New: clear
    Dialogs.AnswerFile(file);
    Dialogs.AnswerMessage(mrNo);  // overwrite? no
    Dialogs.AnswerFile(file);
    Dialogs.AnswerMessage(mrYes);
    Source->SetEditorOptions(Source->EditorOptions() + TdwRichEditOptions {reoShowSaveAs});
    RunEditor([](TdwRichEditForm* editor) {
        editor->NewClick();
        EXPECT_EQ(editor->RichEdit1->Text(), "Payment notice\r\nsecond line");
        editor->NewClick();
        EXPECT_EQ(editor->RichEdit1->Text(), "");
        EXPECT_TRUE(editor->RichEdit1->Modified());
        editor->RichEdit1->SetText("saved text");
        editor->SaveAsClick();
        editor->SaveAsClick();
        editor->SetModalResult(mrOk);
    });
    ASSERT_EQ(Dialogs.Messages.size(), 4u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Clear entire text?");
    EXPECT_EQ(Dialogs.Messages[2].Text, "OK to overwrite " + file);
    std::ifstream in(file);
    const std::string saved((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(saved.find("saved text"), std::string::npos);
    std::remove(file.c_str());
}

TEST_F(EditorFormTest, CtrlBIAndUToggleTheStylesThroughTheirButtons)
{
    RunEditor([](TdwRichEditForm* editor) {
        editor->RichEdit1->SetFocus();
        editor->RichEdit1->SetSelection(8, 6);  // "notice"
        PressKey(editor, Qt::Key_B, Qt::ControlModifier);
        PressKey(editor, Qt::Key_U, Qt::ControlModifier);
        TRichCharFormat f = editor->RichEdit1->SelCharFormat();
        EXPECT_TRUE(f.Bold && f.Underline && !f.Italic);
        EXPECT_TRUE(editor->BoldButton->Down());
        PressKey(editor, Qt::Key_B, Qt::ControlModifier);
        EXPECT_FALSE(editor->RichEdit1->SelCharFormat().Bold);
        editor->SetModalResult(mrOk);
    });
    Source->SetSelection(8, 6);
    EXPECT_TRUE(Source->SelCharFormat().Underline);
}

TEST_F(EditorFormTest, TheColourMenuDrawsSwatchesAndColoursTheSelection)
{
    Source->Font()->SetColor(clNavy);
    RunEditor([](TdwRichEditForm* editor) {
        TMenuItem* items = editor->ColorMenu->Items();
        ASSERT_EQ(items->Count(), 17);
        EXPECT_EQ(items->Items(16), editor->Automatic1);
        EXPECT_EQ(editor->Automatic1->Caption(), "Automatic");
        editor->RichEdit1->SetSelection(0, 7);
        // The menu opens under the colour button; each item shows a 40-pixel swatch of its
        // colour before its caption, the one under the pointer on the highlight, framed.
        QTimer::singleShot(0, [editor, items] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            const QPoint under =
                    editor->ColorButton->Widget()->mapToGlobal(QPoint(-1, editor->ColorButton->Height()));
            EXPECT_LE((menu->pos() - under).manhattanLength(), 4);
            const QRect red = menu->actionGeometry(items->Items(9)->Action());
            EXPECT_EQ(red.height(), QFontMetrics(menu->font()).height() + 2);
            const auto swatchMiddle = [](const QRect& Item) {
                return QPoint(Item.left() + 23, Item.center().y());
            };
            QImage shown = menu->grab().toImage();
            for (const auto& [index, color] :
                 {std::pair {0, clBlack}, {9, clRed}, {11, clYellow}, {15, clWhite}, {16, clNavy}}) {
                SCOPED_TRACE(index);
                const QRect item = menu->actionGeometry(items->Items(index)->Action());
                EXPECT_EQ(shown.pixelColor(swatchMiddle(item)), ToQColor(color));
                EXPECT_EQ(shown.pixelColor(item.left() + 44, item.center().y()), ToQColor(clBtnFace))
                        << "the swatch ends 43 pixels in";
                EXPECT_EQ(shown.pixelColor(item.left() + 3, item.top() + 1), ToQColor(clBtnFace));
            }
            QTest::mouseMove(menu, red.center());
            shown = menu->grab().toImage();
            EXPECT_EQ(shown.pixelColor(red.left() + 1, red.top()), ToQColor(clHighlight));
            EXPECT_EQ(shown.pixelColor(red.left() + 3, red.center().y()), ToQColor(clBlack)) << "framed";
            EXPECT_EQ(shown.pixelColor(swatchMiddle(red)), ToQColor(clRed));
            KeepScreenshot(shown, "richedit_colour_menu.png");
            QTest::mouseClick(menu, Qt::LeftButton, {}, red.center());
        });
        editor->ColorButton->Click();
        EXPECT_EQ(editor->RichEdit1->SelCharFormat().Color, clRed);
        items->Items(16)->Click();
        EXPECT_EQ(editor->RichEdit1->SelCharFormat().Color, clNavy) << "the source's font colour";
        editor->SetModalResult(mrOk);
    });
    ForgetHeldInput();
}

TEST_F(EditorFormTest, DraggingTheLeftMarkerSetsTheIndentOnADivision)
{
    RunEditor([](TdwRichEditForm* editor) {
        editor->RichEdit1->SetSelStart(0);
        TdwRulerPanel* ruler = editor->Ruler;
        // A click on a marker, off a division, without a move changes nothing.
        TRichParaFormat off;
        off.StartIndent = 700;
        editor->RichEdit1->SetSelParaFormat(off, TRichParaMask {rpStartIndent});
        editor->RichEdit1->SetModified(false);
        editor->UpdateControls();
        QTest::mouseClick(ruler->Marker(rmFirstLine)->Widget(), Qt::LeftButton, {}, QPoint(4, 3));
        EXPECT_EQ(editor->RichEdit1->SelParaFormat().StartIndent, 700);
        EXPECT_FALSE(editor->RichEdit1->Modified());
        off.StartIndent = 720;
        editor->RichEdit1->SetSelParaFormat(off, TRichParaMask {rpStartIndent});
        editor->UpdateControls();
        QWidget* widget = ruler->Marker(rmLeft)->Widget();
        const int left = ruler->LeftMarker();
        const QPoint from(4, 4);
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(50, 0)),
                         widget->mapToGlobal(QPointF(from + QPoint(50, 0))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
        EXPECT_EQ(ruler->LeftMarker(), left + 50) << "the marker follows the mouse";
        QTest::mouseRelease(widget, Qt::LeftButton, {}, from);
        const TRichParaFormat p = editor->RichEdit1->SelParaFormat();
        EXPECT_EQ(p.StartIndent, 720) << "the first line stays";
        EXPECT_EQ(p.StartIndent + p.Offset, 1440) << "half an inch further, on an eighth";
        editor->Exit1->Click();
    });
}

TEST_F(EditorFormTest, ATemporaryFileCopyLeavesNoFileAndOneThatCannotBeMadeIsReported)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/totamund_rich_tmp");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous ? previous : "";
    setenv("TMPDIR", dir.toStdString().c_str(), 1);
    Source->SetTempFileCopy(true);
    EXPECT_TRUE(RunEditor([&dir](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->RichEdit1->Text(), "Payment notice\r\nsecond line");
        editor->RichEdit1->SetSelection(0, 7);
        EXPECT_TRUE(editor->RichEdit1->SelCharFormat().Bold);
        EXPECT_TRUE(QDir(dir).isEmpty(QDir::Files | QDir::Hidden)) << "the file went when the copy was made";
        editor->RichEdit1->SetSelection(8, 6);
        editor->RichEdit1->SetSelItalic(true);
        editor->SaveExit1->Click();
    }));
    EXPECT_EQ(Source->Text(), "Payment notice\r\nsecond line");
    Source->SetSelection(8, 6);
    EXPECT_TRUE(Source->SelCharFormat().Italic) << "the way back passes a file too";
    EXPECT_TRUE(QDir(dir).isEmpty(QDir::Files | QDir::Hidden));

    setenv("TMPDIR", (dir + QStringLiteral("/missing")).toStdString().c_str(), 1);
    RunEditor([](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->RichEdit1->Text(), "") << "nothing copied";
        editor->Exit1->Click();
    });
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Fail to create temporary file.");
    if (previous)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
    QDir(dir).removeRecursively();
}

TEST_F(EditorFormTest, TheEditorOpensWhereAndAsLargeAsEditorPositionSays)
{
    struct Case {
        TdwFormPosition At;
        bool CentredLeft, CentredTop;
    };
    TRect work;
    dwGetWorkArea(work);
    for (const Case& c : {Case {{0, 0, 0, 0}, true, true}, Case {{30, 40, 700, 500}, false, false},
                          Case {{0, 25, 640, 0}, true, false}}) {
        Source->EditorPosition() = c.At;
        RunEditor([&](TdwRichEditForm* editor) {
            const int width = c.At.Width > 0 ? c.At.Width : dwScaleByPixelsPerInch(610);
            const int height = c.At.Height > 0 ? c.At.Height : dwScaleByPixelsPerInch(455);
            EXPECT_EQ(editor->Width(), width);
            EXPECT_EQ(editor->Height(), height);
            EXPECT_EQ(editor->Left(), c.CentredLeft ? work.Left + (work.Width() - width) / 2 : c.At.Left);
            EXPECT_EQ(editor->Top(), c.CentredTop ? work.Top + (work.Height() - height) / 2 : c.At.Top);
            editor->Exit1->Click();
        });
    }
}

TEST_F(EditorFormTest, TheMenuKeysRunTheirCommandsOnceAndShowInTheMenu)
{
    EXPECT_TRUE(RunEditor([](TdwRichEditForm* editor) {
        EXPECT_EQ(editor->Cut1->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
        EXPECT_EQ(editor->FindNext1->Action()->shortcut(), QKeySequence(Qt::Key_F3));
        TdwCustomRichEdit* e = editor->RichEdit1;
        e->SetFocus();
        e->SetSelection(8, 6);
        PressKey(editor, Qt::Key_B, Qt::ControlModifier);
        PressKey(editor, Qt::Key_I, Qt::ControlModifier);
        PressKey(editor, Qt::Key_Z, Qt::ControlModifier);
        e->SetSelection(8, 6);
        EXPECT_TRUE(e->SelCharFormat().Bold);
        EXPECT_FALSE(e->SelCharFormat().Italic) << "one undo for one Ctrl+Z";
        e->SetSelStart(0);
        e->FindNext("e", TFindOptions {});
        EXPECT_EQ(e->SelStart(), 4);
        editor->UpdateControls();
        PressKey(editor, Qt::Key_F3);
        EXPECT_EQ(e->SelStart(), 13) << "F3 finds the next one";
        PressKey(editor, Qt::Key_S, Qt::ControlModifier);
    })) << "Ctrl+S saves and closes";
    Source->SetSelection(8, 6);
    EXPECT_TRUE(Source->SelCharFormat().Bold);
}

TEST_F(EditorFormTest, AFontSizeChosenOrTypedAppliesAndTextThatIsNoSizeIsRefused)
{
    Dialogs.AnswerMessage(mrNo);  // the changed text is not kept
    RunEditor([this](TdwRichEditForm* editor) {
        TdwCustomRichEdit* e = editor->RichEdit1;
        e->SetSelection(8, 6);
        editor->FontSizeCombo->SetItemIndex(editor->FontSizeCombo->Items()->IndexOf("18"));
        EXPECT_EQ(e->SelCharFormat().Points, 12) << "only the user's choice applies";
        editor->FontSizeCombo->Click();
        EXPECT_EQ(e->SelCharFormat().Points, 18);
        struct Case {
            const char* Typed;
            double Points;
            bool Refused;
        };
        for (const Case& c : {Case {"13.5", 13.5, false}, Case {"15", 15, false}, Case {"abc", 15, true},
                              Case {"0", 15, true}}) {
            editor->FontSizeCombo->SetFocus();
            editor->FontSizeCombo->SetText("");
            const double before = e->SelCharFormat().Points;
            TypeText(editor, c.Typed);
            EXPECT_EQ(e->SelCharFormat().Points, before) << "typing alone changes nothing";
            const size_t messages = Dialogs.Messages.size();
            PressKey(editor, Qt::Key_Return);
            EXPECT_EQ(e->SelCharFormat().Points, c.Points) << c.Typed;
            EXPECT_EQ(Dialogs.Messages.size(), messages + (c.Refused ? 1 : 0)) << c.Typed;
            EXPECT_EQ(editor->ActiveControl() == e, !c.Refused) << "the text has the focus again";
        }
        editor->UpdateControls();
        EXPECT_EQ(editor->FontSizeCombo->Text(), "15") << "a size the list does not hold";
        e->SetSelection(8, 3);
        editor->FontSizeCombo->Click();
        editor->Exit1->Click();
    });
}

}  // namespace
