// The memo dialog over the memo field of a real table: the text comes from the FPT file,
// OK puts it back into the record (left for the caller to post), the changes warning
// guards a close without OK, and a field that cannot be changed opens read-only.

#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/edits/dwmemodlg.h"
#include "platform/classes/object.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/datacontrols/edits/memodialogtesting.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"
#include "tests/support/tablefixture.h"

namespace {

const std::vector<FieldLayout> NoteSchema = {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};

class MemoDialogTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("NOTES.DBF", NoteSchema);
        AppendImages("NOTES.DBF", {Image(NoteSchema, {"A", ""})});
        Notes = Table("NOTES");
        Notes->Open();
        Notes->Edit();
        Notes->FieldByName("NOTES")->SetAsString("First line\r\nSecond line");
        Notes->Post();
        Owner = Construct<TForm>(nullptr);
        Source = new TDataSource(Owner);
        Source->SetDataSet(Notes);
        Dialog = new TdwMemoDialog(Owner);
        Dialog->SetDataSource(Source);
        Dialog->SetDataField("NOTES");
        Dialog->SetCaption("Notes");
    }

    void TearDown() override
    {
        ForgetHeldInput();
        Owner->Free();
        TableTest::TearDown();
    }

    // Runs the dialog with Steps inside it; true when closed with OK.
    bool Run(const std::function<void(TdwMemoDlg*)>& Steps)
    {
        WhenMemoShown([this, Steps](TdwMemoDlg* d) {
            Shown = d;
            Steps(d);
        });
        return Dialog->Execute();
    }

    // The first record as the independent reader gives it, its memo's lines joined again.
    String StoredNote()
    {
        String joined;
        for (const String& line : ReadBack("NOTES.DBF"))
            joined += (joined.empty() ? "" : "\n") + line;
        return joined;
    }

    TScriptedDialogs Dialogs;
    TDaroruTable* Notes = nullptr;
    TForm* Owner = nullptr;
    TDataSource* Source = nullptr;
    TdwMemoDialog* Dialog = nullptr;
    TdwMemoDlg* Shown = nullptr;
};

TEST_F(MemoDialogTest, OKIsOffUntilAChangeAndPutsTheTextBackUnposted)
{
    bool enabledAtFirst = true;
    String shownText;
    const bool accepted = Run([&](TdwMemoDlg* d) {
        shownText = d->Memo->Text();
        enabledAtFirst = d->OKBtn->Enabled();
        EXPECT_TRUE(d->CancelBtn->Visible());
        EXPECT_EQ(d->Caption(), "Notes");
        QTest::keyClick(d->Widget()->window()->windowHandle(), Qt::Key_End, Qt::ControlModifier);
        TypeText(d, " and more");
        EXPECT_TRUE(d->OKBtn->Enabled()) << "the first change enables OK";
        KeepScreenshot(d->Widget()->window()->grab(), "memodialog.png");
        PressKey(d, Qt::Key_Return, Qt::ControlModifier);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(shownText, "First line\r\nSecond line");
    EXPECT_FALSE(enabledAtFirst);
    EXPECT_EQ(Notes->State(), dsEdit) << "the record waits for its owner to post it";
    EXPECT_EQ(StoredNote(), "A|First line\r\nSecond line");
    Notes->Post();
    EXPECT_EQ(StoredNote(), "A|First line\r\nSecond line and more");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(MemoDialogTest, F2AcceptsAndEscWithoutChangesCancels)
{
    EXPECT_TRUE(Run([](TdwMemoDlg* d) {
        TypeText(d, "x");
        PressKey(d, Qt::Key_F2);
    }));
    Notes->Cancel();
    EXPECT_FALSE(Run([](TdwMemoDlg* d) { PressKey(d, Qt::Key_Escape); }));
    EXPECT_TRUE(Dialogs.Messages.empty()) << "nothing changed, nothing to ask";
    EXPECT_EQ(Notes->State(), dsBrowse);
}

TEST_F(MemoDialogTest, ClosingAfterTypingAsksBeforeDroppingTheChanges)
{
    Dialogs.AnswerMessage(mrNo);
    Dialogs.AnswerMessage(mrYes);
    bool stillOpen = false;
    const bool accepted = Run([&](TdwMemoDlg* d) {
        TypeText(d, "typed");
        d->Close();
        QTimer::singleShot(50, [&, d] {
            stillOpen = d->Visible() && d->Memo->Text().find("typed") != String::npos;
            d->Close();
        });
    });
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(stillOpen) << "No keeps the form and the text";
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Type, mtConfirmation);
    EXPECT_EQ(Dialogs.Messages[0].Text, Dialogs.Messages[1].Text);
    EXPECT_EQ(Notes->State(), dsBrowse);
    EXPECT_EQ(StoredNote(), "A|First line\r\nSecond line");
}

TEST_F(MemoDialogTest, AFieldThatCannotChangeOpensReadOnlyWithOKAlone)
{
    Notes->FieldByName("NOTES")->SetReadOnly(true);
    Run([](TdwMemoDlg* d) {
        EXPECT_TRUE(d->Memo->ReadOnly());
        EXPECT_TRUE(d->OKBtn->Enabled());
        EXPECT_FALSE(d->CancelBtn->Visible());
        const int middle = d->Memo->Left() + d->Memo->Width() / 2;
        EXPECT_NEAR(d->OKBtn->Left() + d->OKBtn->Width() / 2, middle, 1) << "OK is centred under the text";
        TypeText(d, "x");
        PressKey(d, Qt::Key_Return, Qt::ControlModifier);
    });
    EXPECT_EQ(Notes->State(), dsBrowse);
    EXPECT_EQ(StoredNote(), "A|First line\r\nSecond line");
}

TEST_F(MemoDialogTest, BoundsApplyTheSizeAloneUntilAPositionIsGiven)
{
    struct Case {
        int Left, Top, Width, Height;
        bool Placed;
    };
    for (const Case c : {Case {0, 0, 400, 300, false}, Case {30, 40, 420, 310, true}}) {
        Dialog->SetDlgLeft(c.Left);
        Dialog->SetDlgTop(c.Top);
        Dialog->SetDlgWidth(c.Width);
        Dialog->SetDlgHeight(c.Height);
        TRect bounds;
        Run([&](TdwMemoDlg* d) {
            bounds = d->BoundsRect();
            d->Close();
        });
        EXPECT_EQ(bounds.Width(), c.Width);
        EXPECT_EQ(bounds.Height(), c.Height);
        if (c.Placed) {
            EXPECT_EQ(bounds.Left, c.Left);
            EXPECT_EQ(bounds.Top, c.Top);
        } else {
            EXPECT_NEAR(bounds.Left, (GuiScreen()->Width() - c.Width) / 2, 2) << "the form stays centred";
        }
    }
}

TEST_F(MemoDialogTest, UserButtonsShowWithCaptionsAndGetTheMemo)
{
    Dialog->SetUserButton2Caption("Stamp");
    Dialog->OnUserButton2Click = [](TdwMemoDlg*, TMemo* Memo) { Memo->SetText("stamped"); };
    EXPECT_TRUE(Run([](TdwMemoDlg* d) {
        EXPECT_TRUE(d->UserButtonPanel->Visible());
        EXPECT_FALSE(d->UserButton1->Visible());
        EXPECT_TRUE(d->UserButton2->Visible());
        EXPECT_EQ(d->UserButton2->Left(), 10);
        EXPECT_GE(d->UserButtonPanel->Top(), d->Memo->Top() + d->Memo->Height());
        d->UserButton2->Click();
        d->OKBtn->Click();
    }));
    Notes->Post();
    EXPECT_EQ(StoredNote(), "A|stamped");
}

}  // namespace
