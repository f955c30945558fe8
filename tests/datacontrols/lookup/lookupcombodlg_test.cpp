// The lookup combo whose button opens the lookup dialog, over the real client table.

#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/lookup/wwdbdlg.h"
#include "datacontrols/lookup/wwkeycb.h"
#include "platform/db/field.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/datacontrols/lookup/lookupcombofixture.h"
#include "tests/support/formtesting.h"

namespace {

class LookupComboDlgTest : public LookupComboTest {
protected:
    void SetUp() override
    {
        LookupComboTest::SetUp();
        DialogCombo = MakeCombo<TdwDBLookupComboDlg>();
    }

    // Presses the combo's button; Steps runs in the dialog once it is up. The dialog is
    // the one shown, or null when none came up.
    void PressButton(const std::function<void(TdwLookupDlg*)>& Steps)
    {
        WhenDialogShows(Steps);
        QTest::mouseClick(Combo->Button()->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
        QCoreApplication::processEvents();
    }

    void TearDown() override
    {
        // A poll whose dialog never came up must not outlive the test it looks into.
        delete Poll;
        LookupComboTest::TearDown();
    }

    // Runs Steps in the lookup dialog as soon as one is up (within a second).
    void WhenDialogShows(const std::function<void(TdwLookupDlg*)>& Steps)
    {
        Opened = nullptr;
        delete Poll;
        auto* poll = new QTimer;
        Poll = poll;
        auto started = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, [this, poll, started, Steps] {
            if (auto* dialog = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm())) {
                poll->stop();
                poll->deleteLater();
                Opened = dialog;
                Steps(dialog);
            } else if (++*started > 100) {
                poll->stop();
                poll->deleteLater();
            }
        });
        poll->start(10);
    }

    TdwDBLookupComboDlg* DialogCombo = nullptr;
    TdwLookupDlg* Opened = nullptr;
    QPointer<QTimer> Poll;
};

TEST_F(LookupComboDlgTest, OKWritesTheChosenRecordsKey)
{
    bool closedWithChange = false;
    DialogCombo->OnCloseUp = [&](TObject*, TDataSet*, TDataSet* Fill, bool Modified) {
        EXPECT_EQ(Fill, Payments);
        closedWithChange = Modified;
    };
    DialogCombo->DialogSettings().Caption = "Pick a client";
    ShowWithCombo();
    PressButton([&](TdwLookupDlg* d) {
        EXPECT_EQ(d->Caption(), "Pick a client");
        EXPECT_EQ(CurrentId(), "C0007") << "the dialog opens on the field's record";
        // The dialog searches the combo's display field, its first column.
        TypeText(d, "Name 0150");
        QTest::qWait(350);
        PressKey(d, Qt::Key_Down);
        KeepScreenshot(d->Widget()->window()->grab(), "lookupcombodlg.png");
        PressKey(d, Qt::Key_Return);
    });
    ASSERT_NE(Opened, nullptr);
    EXPECT_TRUE(closedWithChange);
    EXPECT_EQ(Combo->Text(), "Name 0151");
    EXPECT_EQ(PostedPayments()[0], "P0001|C0151|10.0");
}

TEST_F(LookupComboDlgTest, CancelAfterTypingInADropDownListPostsEsc)
{
    DialogCombo->SetStyle(csDropDownList);
    DialogCombo->SetAutoDropDown(true);
    ShowWithCombo();
    String initialSearch;
    WhenDialogShows([&](TdwLookupDlg* d) {
        initialSearch = d->dwIncrementalSearch1->Text();
        PressKey(d, Qt::Key_Escape);
    });
    TypeText(Form, "N");
    QTest::qWait(50);
    ASSERT_NE(Opened, nullptr);
    EXPECT_EQ(initialSearch, "N") << "the typed text is the dialog's first search";
    EXPECT_EQ(Combo->Text(), "Name 0007") << "the Esc the combo got back takes the typing back";
    EXPECT_EQ(PostedPayments()[0], "P0001|C0007|10.0");
}

TEST_F(LookupComboDlgTest, ReadOnlyOpensNothingAndAClosedTableIsRefused)
{
    ShowWithCombo();
    DialogCombo->SetReadOnly(true);
    PressButton([](TdwLookupDlg* d) { d->Close(); });
    QTest::qWait(50);
    EXPECT_EQ(Opened, nullptr);
    EXPECT_TRUE(Dialogs.Messages.empty());

    DialogCombo->SetReadOnly(false);
    T->Close();
    PressButton([](TdwLookupDlg* d) { d->Close(); });
    QTest::qWait(50);
    EXPECT_EQ(Opened, nullptr);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "No lookup table specified!");
    EXPECT_EQ(Dialogs.Messages[0].Type, mtWarning);
    EXPECT_FALSE(Combo->Button()->Down());
}

}  // namespace
