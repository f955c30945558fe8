#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/dwwindows.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/userinput.h"
#include "tests/support/formtesting.h"

namespace {

TEST(dwKeys, TextChangingKeys)
{
    for (Word key : {8, 32, 46, 48, 65, 90, 96, 111, 146, 186, 222})
        EXPECT_TRUE(dwIsTextChangingKey(key)) << key;
    for (Word key : {9, 13, 27, 33, 37, 40, 45, 47, 112, 123, 144, 145})
        EXPECT_FALSE(dwIsTextChangingKey(key)) << key;
    EXPECT_TRUE(dwKeyStateIsDown(0x81));
    EXPECT_TRUE(dwKeyStateIsDown(-128));
    EXPECT_FALSE(dwKeyStateIsDown(0x01));
}

// A plain edit holding Text with a selection, typed into through the mask.
class dwPictureKey : public ::testing::Test {
protected:
    void Prepare(const String& Text, int SelStart, int SelLength)
    {
        edit->SetText(Text);
        edit->SetSelStart(SelStart);
        edit->SetSelLength(SelLength);
    }
    TScriptedDialogs dialogs;
    TForm form {nullptr};
    TEdit* edit = [this] {
        auto* e = new TEdit(&form);
        e->SetParent(&form);
        return e;
    }();
};

TEST_F(dwPictureKey, CaretFollowsTheMatchedText)
{
    struct Case {
        const char* Mask;
        const char* Text;
        int SelStart, SelLength;
        char Key;
        const char* After;
        int Caret;
    } cases[] = {
            {"(###)###-####", "(55", 3, 0, '5', "(555)", 5},  // at the end: to the new end
            {"(###)###-####", "(555)123-456", 12, 0, '7', "(555)123-4567", 13},
            {"*#", "1234", 2, 0, '9', "12934", 3},                   // shifted by the growth
            {"(###)###-####", "(555)123-4567", 0, 13, '(', "(", 1},  // one past the selection start
            {"(###)###-####", "(555)12", 2, 0, 'x', "(555)12", 2},   // refused in the middle
    };
    for (const Case& c : cases) {
        Prepare(c.Text, c.SelStart, c.SelLength);
        char key = c.Key;
        EXPECT_TRUE(dwPictureKeyPress(edit, c.Mask, true, key)) << c.Text;
        EXPECT_EQ(key, 0) << c.Text;
        EXPECT_EQ(edit->Text(), c.After) << c.Text;
        EXPECT_EQ(edit->SelStart(), c.Caret) << c.Text;
    }
    EXPECT_EQ(dialogs.Beeps, 0);
}

TEST_F(dwPictureKey, RefusedKeyAtTheEndBeeps)
{
    Prepare("(555)", 5, 0);
    char key = 'x';
    EXPECT_TRUE(dwPictureKeyPress(edit, "(###)###-####", true, key));
    EXPECT_EQ(key, 0);
    EXPECT_EQ(edit->Text(), "(555)");
    EXPECT_EQ(dialogs.Beeps, 1);
}

TEST_F(dwPictureKey, KeysTheMaskLeavesAlone)
{
    edit->SetMaxLength(3);
    Prepare("123", 3, 0);
    char key = '4';
    EXPECT_FALSE(dwPictureKeyPress(edit, "###", true, key));  // too long for the edit
    EXPECT_EQ(key, '4');
    key = 8;  // Backspace
    EXPECT_FALSE(dwPictureKeyPress(edit, "###", true, key));
    EXPECT_EQ(key, 8);
    // Replacing the selection keeps within MaxLength.
    Prepare("123", 0, 1);
    key = '9';
    EXPECT_TRUE(dwPictureKeyPress(edit, "###", true, key));
    EXPECT_EQ(edit->Text(), "923");
    // A malformed mask does not stop typing.
    edit->SetMaxLength(0);
    Prepare("a", 1, 0);
    key = 'b';
    EXPECT_FALSE(dwPictureKeyPress(edit, "{#", true, key));
    EXPECT_EQ(key, 'b');
}

TEST(dwUtils, ClassTests)
{
    TForm form(nullptr);
    TComponent owned(&form);
    TComponent orphan(nullptr);
    EXPECT_TRUE(dwIsClassNamed(&form, "tcustomform"));
    EXPECT_TRUE(dwIsClassNamed(&form, "TComponent"));
    EXPECT_FALSE(dwIsClassNamed(&form, "TCustomGrid"));
    EXPECT_FALSE(dwIsClassNamed(nullptr, "TObject"));
    EXPECT_EQ(dwFindParentFormOrFrame(&owned), &form);
    EXPECT_EQ(dwFindParentFormOrFrame(&orphan), nullptr);
    EXPECT_FALSE(dwIsDesigning(&owned));

    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    EXPECT_FALSE(dwParentIsGrid(edit));
    EXPECT_FALSE(dwParentIsInspector(edit));
}

// Stands in for the data inspector, which the helpers know by its class name only.
class TInspectorStandIn : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    String ClassName() const override { return "TdwDataInspector"; }
    bool InheritsFrom(const String& name) const override
    {
        return name == "TdwDataInspector" || TCustomControl::InheritsFrom(name);
    }
};

TEST(dwUtils, PaintCopyCountsOnlyInTheInspector)
{
    TForm form(nullptr);
    auto* inspector = new TInspectorStandIn(&form);
    inspector->SetParent(&form);
    auto* inside = new TEdit(&form);
    inside->SetParent(inspector);
    auto* outside = new TEdit(&form);
    outside->SetParent(&form);
    EXPECT_TRUE(dwParentIsInspector(inside));
    EXPECT_FALSE(dwIsPaintCopyInInspector(inside));
    inside->SetControlState({csPaintCopy});
    outside->SetControlState({csPaintCopy});
    EXPECT_TRUE(dwIsPaintCopyInInspector(inside));
    EXPECT_FALSE(dwIsPaintCopyInInspector(outside));
}

TEST(dwUtils, Texts)
{
    EXPECT_EQ(dwBoolToTF(true), "T");
    EXPECT_EQ(dwBoolToTF(false), "F");
    TStringList lines;
    lines.SetText("SELECT *\nFROM CLIENTS\n");
    EXPECT_EQ(dwStringsToPChar(&lines, true), "SELECT * FROM CLIENTS");
    EXPECT_EQ(dwStringsToPChar(&lines, false), "SELECT *\r\nFROM CLIENTS");
    EXPECT_EQ(dwTextBeforeDot("STATES.DBF"), "STATES");
    EXPECT_EQ(dwTextBeforeDot("STATES"), "STATES");
    EXPECT_EQ(dwMax(2, -3), 2);
    EXPECT_EQ(dwMin(2, -3), -3);
}

TEST(dwWindows, WorkArea)
{
    TRect rect;
    dwGetWorkArea(rect);
    const TRect screen = GuiScreen()->WorkAreaRect();
    EXPECT_EQ(rect.Right - rect.Left, screen.Right - screen.Left);
    EXPECT_GT(rect.Bottom, rect.Top);
}

// A focusable drawn control that holds the mouse from a press to the release.
class TDragSpy : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Releases = 0;

protected:
    void MouseDown(TMouseButton, TShiftState, int, int) override { SetMouseCapture(true); }
    void MouseUp(TMouseButton Button, TShiftState, int, int) override
    {
        if (Button == mbLeft)
            ++Releases;
        SetMouseCapture(false);
    }
};

class dwPosting : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = Construct<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        spy = new TDragSpy(form);
        spy->SetParent(form);
        spy->SetBounds(10, 10, 100, 50);
        edit = new TEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 100, 100, 21);
        ShowForm(form);
    }
    void TearDown() override { form->Free(); }

    TForm* form = nullptr;
    TDragSpy* spy = nullptr;
    TEdit* edit = nullptr;
};

TEST_F(dwPosting, KeyArrivesWithTheModifierHeldForItAlone)
{
    std::vector<std::pair<Word, TShiftState>> downs, ups;
    edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState Shift) { downs.emplace_back(Key, Shift); };
    edit->OnKeyUp = [&](TObject*, Word& Key, TShiftState Shift) { ups.emplace_back(Key, Shift); };
    edit->SetFocus();
    PressKey(form, Qt::Key_F2);  // the user's key: nothing held
    const std::pair<Word, TShiftState> cases[] = {
            {VK_SHIFT, {ssShift}}, {VK_CONTROL, {ssCtrl}}, {VK_MENU, {ssAlt}}};
    for (const auto& [modifier, shift] : cases) {
        downs.clear();
        ups.clear();
        dwPostKeyWithModifier(edit, VK_F2, modifier);
        QCoreApplication::processEvents();
        ASSERT_EQ(downs.size(), 1u) << modifier;
        EXPECT_EQ(downs[0].first, VK_F2);
        EXPECT_EQ(downs[0].second, shift) << modifier;
        ASSERT_EQ(ups.size(), 1u) << modifier;
        EXPECT_EQ(ups[0].second, shift) << modifier;
        EXPECT_FALSE(KeyIsDown(modifier)) << modifier;
    }
    // The user's own key afterwards comes without it.
    downs.clear();
    PressKey(form, Qt::Key_F2);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].second, TShiftState {});
}

TEST_F(dwPosting, ReleaseEndsTheActiveControlsDrag)
{
    spy->SetFocus();
    ASSERT_EQ(GuiScreen()->ActiveControl(), spy);
    QWindow* window = form->Widget()->window()->windowHandle();
    const QPoint inSpy = spy->Widget()->mapTo(form->Widget()->window(), QPoint(5, 5));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inSpy);
    ASSERT_TRUE(spy->MouseCapture());
    dwReleaseMouseButton();
    EXPECT_EQ(spy->Releases, 0) << "posted, not sent";
    QCoreApplication::processEvents();
    EXPECT_EQ(spy->Releases, 1);
    EXPECT_FALSE(spy->MouseCapture());
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inSpy);
}

}  // namespace
