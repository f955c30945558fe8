// Message boxes and common dialogs through the dialog service.

#include <QApplication>
#include <QFontDialog>
#include <QListView>
#include <QPointer>
#include <QStringListModel>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/qt/qapp.h"

namespace {

TEST(Dialogs, AskYesNoIsTheCompanysQuestion)
{
    TScriptedDialogs dialogs;
    dialogs.AnswerMessage(mrYes);
    dialogs.AnswerMessage(mrNo);
    EXPECT_TRUE(AskYesNo("Would you like to print collated?"));
    EXPECT_FALSE(AskYesNo("Again?"));
    ASSERT_EQ(dialogs.Messages.size(), 2u);
    const TMessageRequest& asked = dialogs.Messages[0];
    EXPECT_EQ(asked.Caption, "Korvane Systems");
    EXPECT_EQ(asked.Text, "Would you like to print collated?");
    EXPECT_EQ(asked.Type, mtConfirmation);
    EXPECT_EQ(asked.Buttons, (TMsgDlgButtons {mbYes, mbNo}));
}

TEST(Dialogs, MessageBoxFlagsChooseButtonsIconAndDefault)
{
    TScriptedDialogs dialogs;
    const struct {
        int Flags;
        TMsgDlgButtons Buttons;
        TMsgDlgType Type;
        TMsgDlgBtn Default;
        int Unanswered;
    } cases[] = {
            {MB_OK, {mbOK}, mtCustom, mbOK, IDOK},
            {MB_OKCANCEL | MB_ICONSTOP, {mbOK, mbCancel}, mtError, mbOK, IDOK},
            {MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2,
             {mbYes, mbNo, mbCancel},
             mtConfirmation,
             mbNo,
             IDNO},
            {MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, {mbYes, mbNo}, mtWarning, mbNo, IDNO},
            {MB_RETRYCANCEL | MB_ICONINFORMATION, {mbRetry, mbCancel}, mtInformation, mbRetry, IDRETRY},
            {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {mbAbort, mbRetry, mbIgnore}, mtCustom, mbIgnore, IDIGNORE},
    };
    for (const auto& c : cases) {
        // Unanswered, the scripted user takes the default button.
        EXPECT_EQ(Application->MessageBox("Text", "Title", c.Flags), c.Unanswered) << c.Flags;
        const TMessageRequest& asked = dialogs.Messages.back();
        EXPECT_EQ(asked.Buttons, c.Buttons) << c.Flags;
        EXPECT_EQ(asked.Type, c.Type) << c.Flags;
        EXPECT_EQ(asked.DefaultButton, c.Default) << c.Flags;
        EXPECT_EQ(asked.Caption, "Title");
    }
}

TEST(Dialogs, MessageDlgAndShowMessageCaptions)
{
    TScriptedDialogs dialogs;
    dialogs.AnswerMessage(mrCancel);
    EXPECT_EQ(MessageDlg("Delete the recipient?", mtConfirmation, mbOKCancel, 0), mrCancel);
    MessageDlg("Disk full", mtError, {mbOK}, 0);
    Application->SetTitle("Totamund");
    ShowMessage("A file name was not entered.  Create was aborted.");
    ASSERT_EQ(dialogs.Messages.size(), 3u);
    EXPECT_EQ(dialogs.Messages[0].Caption, "Confirm");
    EXPECT_EQ(dialogs.Messages[1].Caption, "Error");
    EXPECT_EQ(dialogs.Messages[2].Caption, "Totamund");
    EXPECT_EQ(dialogs.Messages[2].Text, "A file name was not entered.  Create was aborted.");
    EXPECT_EQ(dialogs.Messages[2].Buttons, TMsgDlgButtons {mbOK});
}

TEST(Dialogs, InputBoxKeepsTheDefaultWhenCancelled)
{
    TScriptedDialogs dialogs;
    dialogs.AnswerInput("08ACME");
    dialogs.CancelInput();
    EXPECT_EQ(InputBox("Korvane Systems", "Enter Unique File ID", "X"), "08ACME");
    EXPECT_EQ(InputBox("Korvane Systems", "Enter Unique File ID", "X"), "X");
    EXPECT_EQ(dialogs.InputPrompts.size(), 2u);
}

TEST(Dialogs, FileDialogsHandBackTheChosenFile)
{
    TScriptedDialogs dialogs;
    TOpenDialog open(nullptr);
    open.Filter = "Tables (*.dbf)|*.dbf|All files (*.*)|*.*";
    open.InitialDir = "/data/";
    EXPECT_FALSE(open.Execute());
    dialogs.AnswerFile("/data/CLIENT.DBF");
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/data/CLIENT.DBF");
    EXPECT_EQ(dialogs.FileRequests.back().Kind, fdOpen);
    EXPECT_EQ(dialogs.FileRequests.back().Filter, open.Filter);
    TSaveDialog save(nullptr);
    dialogs.AnswerFile("/tmp/out.pdf");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(dialogs.FileRequests.back().Kind, fdSave);
}

TEST(Dialogs, ExceptionDialogEndsTheMessageWithAFullStop)
{
    TScriptedDialogs dialogs;
    Application->ShowException(Exception("Key violation"));
    Application->ShowException(Exception("Done."));
    Application->ShowException(Exception(""));
    EXPECT_EQ(dialogs.Messages[0].Text, "Key violation.");
    EXPECT_EQ(dialogs.Messages[1].Text, "Done.");
    EXPECT_EQ(dialogs.Messages[2].Text, "");
    EXPECT_EQ(dialogs.Messages[0].Type, mtError);
}

}  // namespace

namespace {

// The real message box: its keys are its own, not the form's underneath.
TEST(QtDialogs, KeysInAMessageBoxDoNotReachTheFormBelow)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        // Should the box still be up, it goes, so a failure cannot hang the run (only
        // this box: the timer may fire once a later test's dialog shows).
        QTimer::singleShot(0, [box = QPointer<QWidget>(box)] {
            if (box && box->isVisible())
                box->close();
        });
    });
    EXPECT_EQ(MessageDlg("Delete it?", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
    EXPECT_EQ(clicks, 0);
    form->Free();
}

// Runs Action on the font dialog once it shows (it may take a few turns of the event loop).
void WhenFontDialogShows(std::function<void(QFontDialog*)> Action, int Tries = 200)
{
    QTimer::singleShot(Tries == 200 ? 0 : 10, [Action, Tries] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QFontDialog*>(w); box && box->isVisible())
                return Action(box);
        if (Tries > 0)
            return WhenFontDialogShows(Action, Tries - 1);
        ADD_FAILURE() << "the font dialog never showed";
    });
}

// Qt's font dialog, cut down to the families asked for: its family list shows only them,
// and a family not offered (typed in, say) leaves the font's own.
TEST(QtDialogs, AFontDialogWithFamiliesOffersOnlyThem)
{
    EnsureQApplication();
    struct Case {
        const char* Picked;
        const char* Result;
    };
    for (const Case& c :
         {Case {"Liberation Serif", "Liberation Serif"}, Case {"Liberation Sans", "DejaVu Sans"}}) {
        TFontDialog dialog(nullptr);
        dialog.Font()->SetName("DejaVu Sans");
        dialog.Families()->Add("DejaVu Sans");
        dialog.Families()->Add("Liberation Serif");
        QStringList listed;
        WhenFontDialogShows([&listed, &c](QFontDialog* box) {
            for (QListView* view : box->findChildren<QListView*>()) {
                auto* model = qobject_cast<QStringListModel*>(view->model());
                if (!model || !model->stringList().contains("DejaVu Sans"))
                    continue;
                for (int row = 0; row < model->rowCount(); ++row)
                    if (!view->isRowHidden(row))
                        listed << model->stringList()[row];
            }
            box->setCurrentFont(QFont(c.Picked, 12));
            box->accept();
        });
        ASSERT_TRUE(dialog.Execute());
        listed.sort();
        EXPECT_EQ(listed, (QStringList {"DejaVu Sans", "Liberation Serif"}));
        EXPECT_EQ(dialog.Font()->Name(), c.Result) << c.Picked;
    }
}

}  // namespace
