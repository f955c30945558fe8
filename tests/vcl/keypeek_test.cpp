// Looking at the input waiting for the program: a key typed meanwhile is seen, and
// everything that waited is handled afterwards, in order, and only then.

#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/object.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/forms/keypeek.h"
#include "platform/vcl/forms/timer.h"
#include "tests/support/formtesting.h"

namespace {

class KeyPeekTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(8, 8, 120, 24);
        Edit->OnKeyDown = [this](TObject*, Word& Key, TShiftState) { Keys.push_back(Key); };
        ShowForm(Form);
        Edit->SetFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override { Form->Free(); }

    QWindow* Window() { return Form->Widget()->window()->windowHandle(); }

    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    std::vector<Word> Keys;
};

TEST_F(KeyPeekTest, TheKeyLookedForIsSeenAndOtherKeysAreNot)
{
    EXPECT_FALSE(KeyPressWaiting(VK_ESCAPE)) << "nothing waits";
    {
        TQueuedTypist typist(Window(), Qt::Key_A, "a");
        EXPECT_FALSE(KeyPressWaiting(VK_ESCAPE));
        EXPECT_TRUE(Keys.empty());
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(Keys, std::vector<Word> {'A'}) << "the key was handed on";
    EXPECT_EQ(Edit->Text(), "a");

    TQueuedTypist typist(Window(), Qt::Key_Escape, QString(QChar(27)));
    EXPECT_TRUE(KeyPressWaiting(VK_ESCAPE));
    EXPECT_EQ(Keys.size(), 1u);
    typist.Finish();
    QCoreApplication::processEvents();
    EXPECT_EQ(Keys, (std::vector<Word> {'A', VK_ESCAPE}));
}

TEST_F(KeyPeekTest, ATimerDueWhileLookingTicksOnceAfterwards)
{
    int ticks = 0;
    auto timer = std::make_unique<TTimer>(nullptr);
    timer->SetInterval(1);
    timer->OnTimer = [&](TObject*) { ++ticks; };
    QCoreApplication::processEvents();
    ticks = 0;
    for (int look = 0; look < 5; ++look) {
        QTest::qSleep(5);
        KeyPressWaiting(VK_ESCAPE);
    }
    EXPECT_EQ(ticks, 0) << "no timer runs while the program looks";
    QCoreApplication::processEvents();
    EXPECT_GE(ticks, 1) << "the tick that waited was handed on";
    EXPECT_LE(ticks, 2) << "the ticks that waited are one, and one more may have come due";
}

}  // namespace
