// Keys and button releases posted to controls, and which keys and buttons are held.

#include <QTest>
#include <gtest/gtest.h>

#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/forms/userinput.h"
#include "platform/vcl/qt/qkeys.h"
#include "tests/support/formtesting.h"

namespace {

std::string ShiftText(TShiftState Shift)
{
    std::string text;
    if (Shift.Contains(ssShift))
        text += "+Shift";
    if (Shift.Contains(ssCtrl))
        text += "+Ctrl";
    if (Shift.Contains(ssAlt))
        text += "+Alt";
    return text;
}

// A focusable drawn control that writes down the keys and the mouse it gets; it holds
// the mouse from a press to the release, as a control dragging something does.
class TInputSpy : public TCustomControl {
public:
    TInputSpy(TComponent* AOwner, TEventLog& Log, std::string Name)
        : TCustomControl(AOwner), FLog(Log), FName(std::move(Name))
    {
        SetTabStop(true);
    }
    void KeyDown(Word& Key, TShiftState Shift) override
    {
        FLog.Add(FName + " down " + std::to_string(Key) + ShiftText(Shift));
    }
    void KeyPress(char& Key) override
    {
        FLog.Add(FName + " press " + std::to_string(static_cast<unsigned char>(Key)));
    }
    void KeyUp(Word& Key, TShiftState Shift) override
    {
        FLog.Add(FName + " up " + std::to_string(Key) + ShiftText(Shift));
    }

protected:
    void MouseDown(TMouseButton, TShiftState, int, int) override
    {
        SetMouseCapture(true);
        FLog.Add(FName + " mouse down");
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int, int) override
    {
        SetMouseCapture(false);
        FLog.Add(FName + " mouse up" + (Button == mbLeft ? " left" : "") +
                 (Shift.Contains(ssLeft) ? " held" : ""));
    }

private:
    TEventLog& FLog;
    std::string FName;
};

class UserInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetHeldInput();
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 200);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 280, 100);
        Spy = new TInputSpy(Form, Log, "spy");
        Spy->SetParent(Panel);
        Spy->SetBounds(10, 10, 100, 50);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 120, 100, 21);
        ShowForm(Form);
        Log.Entries.clear();
    }
    void TearDown() override { Form->Free(); }

    QWindow* Window() { return Form->Widget()->window()->windowHandle(); }

    TEventLog Log;
    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    TInputSpy* Spy = nullptr;
    TEdit* Edit = nullptr;
};

TEST_F(UserInputTest, PostedKeyArrivesWithItsModifiersAndLeavesNothingHeld)
{
    const struct {
        Word Key;
        TShiftState Shift;
        std::vector<std::string> Expected;
    } cases[] = {
            {'A', {ssShift}, {"spy down 65+Shift", "spy press 65", "spy up 65+Shift"}},
            {'A', {}, {"spy down 65", "spy press 97", "spy up 65"}},
            {'C', {ssCtrl}, {"spy down 67+Ctrl", "spy press 3", "spy up 67+Ctrl"}},
            {'X', {ssAlt}, {"spy down 88+Alt", "spy up 88+Alt"}},
            {VK_DOWN, {ssCtrl}, {"spy down 40+Ctrl", "spy up 40+Ctrl"}},
            {VK_NUMPAD0 + 5, {}, {"spy down 101", "spy press 53", "spy up 101"}},
            {VK_F4, {ssShift}, {"spy down 115+Shift", "spy up 115+Shift"}},
    };
    for (const auto& c : cases) {
        Log.Entries.clear();
        PostKey(Spy, c.Key, c.Shift);
        EXPECT_TRUE(Log.Entries.empty()) << "posted, not sent";
        QCoreApplication::processEvents();
        EXPECT_EQ(Log.Entries, c.Expected) << c.Key;
        EXPECT_FALSE(KeyIsDown(VK_SHIFT));
        EXPECT_FALSE(KeyIsDown(VK_CONTROL));
        EXPECT_FALSE(KeyIsDown(VK_MENU));
    }
    // The user's next key comes without the posted modifier.
    Log.Entries.clear();
    Spy->SetFocus();
    PressKey(Form, Qt::Key_B);
    EXPECT_EQ(Log.Entries, (std::vector<std::string> {"spy down 66", "spy press 98", "spy up 66"}));
}

TEST_F(UserInputTest, PostedShiftTabTakesTheFormsDialogKeys)
{
    Edit->SetFocus();
    PostKey(Edit, VK_TAB, {ssShift});
    QCoreApplication::processEvents();
    EXPECT_EQ(Form->ActiveControl(), Spy);
    PostKey(Spy, VK_TAB, {});
    QCoreApplication::processEvents();
    EXPECT_EQ(Form->ActiveControl(), Edit);
}

TEST_F(UserInputTest, PostedReleaseGoesToTheControlHoldingTheMouse)
{
    const QPoint inSpy = Spy->Widget()->mapTo(Form->Widget()->window(), QPoint(5, 5));
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, inSpy);
    ASSERT_TRUE(Spy->MouseCapture());
    EXPECT_TRUE(KeyIsDown(VK_LBUTTON));
    EXPECT_FALSE(KeyIsDown(VK_RBUTTON));

    PostLeftButtonUp(Form);  // the form holds the spy, which holds the mouse
    QCoreApplication::processEvents();
    EXPECT_FALSE(Spy->MouseCapture());
    EXPECT_EQ(Log.Entries, (std::vector<std::string> {"spy mouse down", "spy mouse up left"}));

    // Without a control holding the mouse, the release goes to the one named.
    Log.Entries.clear();
    PostLeftButtonUp(Spy);
    QCoreApplication::processEvents();
    EXPECT_EQ(Log.Entries, (std::vector<std::string> {"spy mouse up left"}));
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, inSpy);
    EXPECT_FALSE(KeyIsDown(VK_LBUTTON));
}

TEST(QtKeys, EveryVirtualKeyWithAQtKeyComesBackAsItself)
{
    for (Word vk = 1; vk < 256; ++vk) {
        const QKeyCombination combination = QtKeyOf(vk);
        if (combination.key() == Qt::Key_unknown)
            continue;
        const QKeyEvent event(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        EXPECT_EQ(VirtualKeyOf(event), vk) << vk;
    }
    EXPECT_EQ(QtKeyOf(VK_TAB).key(), Qt::Key_Tab);
    EXPECT_EQ(QtKeyOf(VK_RETURN).key(), Qt::Key_Return);
    EXPECT_EQ(QtKeyOf(VK_LBUTTON).key(), Qt::Key_unknown);
}

}  // namespace
