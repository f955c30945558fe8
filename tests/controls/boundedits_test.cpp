// Edits bound to program variables: what is written back on exit, and how typed
// numbers and dates are normalised.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controls/kvdateedit.h"
#include "controls/kvdoubleedit.h"
#include "controls/kvfloatedit.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/controls/editpixels.h"
#include "tests/controls/entryform.h"

using ::testing::IsEmpty;

namespace {

// The entry form with a float, a double and a date edit on extra lines.
class TBoundForm : public TEntryForm {
public:
    explicit TBoundForm(TComponent* AOwner) : TEntryForm(AOwner)
    {
        Offset = Line<TKVFloatEdit>("Offset", "Offset");
        Total = Line<TKVDoubleEdit>("Total", "Total");
        Hired = Line<TKVDateEdit>("Hired", "Hired");
    }
    TKVFloatEdit* Offset;
    TKVDoubleEdit* Total;
    TKVDateEdit* Hired;
};

class BoundEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TBoundForm>(nullptr);
        ShowForm(Form);
    }
    void TearDown() override { Form->Free(); }

    // Types Text into the empty Edit and leaves it the way a user does.
    void TypeAndLeave(TWinControl* Edit, const char* Text)
    {
        Edit->SetFocus();
        static_cast<TCustomEdit*>(Edit)->Clear();
        TypeText(Form, Text);
        Form->Name->SetFocus();
    }

    TScriptedDialogs Dialogs;
    TBoundForm* Form = nullptr;
};

TEST_F(BoundEditTest, IntEditKeepsDigitsPointAndMinusAndRoundsHalfUp)
{
    const struct {
        const char* Typed;
        int Value;
        const char* Shown;
    } cases[] = {
            {"1,234.5", 1235, "1,235"},
            {"abc", 0, ""},
            {"2.5", 3, "3"},
            {"-2.5", -2, "-2"},
            {"$ 1 000 000", 1000000, "1,000,000"},
            {"", 0, ""},
            {"0", 0, ""},
    };
    int amount = 7;
    Form->Amount->Bind(&amount);
    EXPECT_EQ(Form->Amount->Text(), "7");
    for (const auto& c : cases) {
        TypeAndLeave(Form->Amount, c.Typed);
        EXPECT_EQ(amount, c.Value) << c.Typed;
        EXPECT_EQ(Form->Amount->Text(), c.Shown) << c.Typed;
    }
}

TEST_F(BoundEditTest, IntEditWithOverrideFlagTellsWhetherAnythingWasTyped)
{
    int amount = 5;
    bool given = true;
    Form->Amount->SetOverride(true);
    Form->Amount->Bind(&amount, &given);
    TypeAndLeave(Form->Amount, "");
    EXPECT_FALSE(given);
    EXPECT_EQ(amount, 0);
    EXPECT_EQ(Form->Amount->Text(), "");
    TypeAndLeave(Form->Amount, "0");
    EXPECT_TRUE(given);
    EXPECT_EQ(Form->Amount->Text(), "0");
}

TEST_F(BoundEditTest, FloatEditDropsCurrencySignsAndShowsTheMask)
{
    float offset = 1.5f;
    Form->Offset->Bind(&offset, "##.##");
    EXPECT_EQ(Form->Offset->Text(), "1.5");
    TypeAndLeave(Form->Offset, " $12.25 ");
    EXPECT_FLOAT_EQ(offset, 12.25f);
    EXPECT_EQ(Form->Offset->Text(), "12.25");
    TypeAndLeave(Form->Offset, "");
    EXPECT_EQ(offset, 0.0f);
    EXPECT_EQ(Form->Offset->Text(), "");
}

TEST_F(BoundEditTest, TextThatIsNoNumberKeepsTheValueAndTheFocus)
{
    double total = 4.0;
    int exits = 0;
    Form->Total->Bind(&total, "#.00");
    Form->Total->OnExit = [&](TObject*) { ++exits; };
    for (const char* typed : {"1.2.3", "-", "5-"}) {
        TypeAndLeave(Form->Total, typed);
        EXPECT_EQ(total, 4.0) << typed;
        EXPECT_EQ(ActiveName(Form), "Total") << typed;
        EXPECT_EQ(Form->Total->SelLength(), static_cast<int>(Form->Total->Text().size())) << typed;
    }
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(Dialogs.Messages.size(), 3u);

    TypeAndLeave(Form->Total, "-3");
    EXPECT_EQ(total, -3.0);
    EXPECT_EQ(Form->Total->Text(), "-3.00");
    EXPECT_EQ(exits, 1);

    // A whole number too large for the variable is refused the same way.
    int amount = 12;
    Form->Amount->Bind(&amount);
    TypeAndLeave(Form->Amount, "99999999999");
    EXPECT_EQ(amount, 12);
    EXPECT_EQ(ActiveName(Form), "Amount");
    EXPECT_EQ(Dialogs.Messages.size(), 4u);
}

TEST_F(BoundEditTest, TextEditWritesItsTextUntrimmedOnExitOnly)
{
    String name = "OLD";
    Form->Name->Bind(&name);
    EXPECT_EQ(Form->Name->Text(), "OLD");
    Form->Name->SetFocus();
    TypeText(Form, " new ");
    EXPECT_EQ(name, "OLD");
    Form->Amount->SetFocus();
    // Entering selects the old text, so typing replaces it.
    EXPECT_EQ(name, " new ");
}

TEST_F(BoundEditTest, CheckBoxWritesAtEveryClick)
{
    bool print = false;
    Form->Print->Bind(&print);
    Form->Print->SetFocus();
    PressKey(Form, Qt::Key_Space);
    EXPECT_TRUE(print);
    EXPECT_EQ(ActiveName(Form), "Print");
    bool other = true;
    Form->Print->Bind(&other);
    EXPECT_TRUE(Form->Print->Checked());
}

TEST_F(BoundEditTest, DateEditTurnsTypedDigitsIntoTheProgramsDate)
{
    const struct {
        const char* Typed;
        const char* Date;
    } cases[] = {
            {"123108", "12-31-2008"},
            {"12/31/08", "12-31-2008"},
            {"12.31.20", "12-31-2020"},
            {"010121", "01-01-1921"},
            {"12/31/2008", "12-31-2008"},
            {"12a31b08", "12-31-2008"},
            {"133208", "13-32-2008"},
            {"1231", "1231"},
            {"", ""},
    };
    String hired = "x";
    Form->Hired->Bind(&hired);
    for (const auto& c : cases) {
        // Set rather than typed: a '/' typed here would close the form.
        Form->Hired->SetFocus();
        Form->Hired->SetText(c.Typed);
        Form->Name->SetFocus();
        EXPECT_EQ(hired, c.Date) << c.Typed;
        EXPECT_EQ(Form->Hired->Text(), c.Date) << c.Typed;
    }
}

TEST(DateDigits, AmericanStyleKeepsTheYearAsTyped)
{
    EXPECT_EQ(NormalizeDateDigits("123108", ddSlashAsTyped), "12/31/08");
    EXPECT_EQ(NormalizeDateDigits("12-31-2008", ddSlashAsTyped), "12/31/2008");
    EXPECT_EQ(NormalizeDateDigits("1-2-3", ddSlashAsTyped), "123");
}

TEST_F(BoundEditTest, IndicatorSetsItsHintAndKeepsIt)
{
    Form->Amount->SetScheduleIndicator(1);
    EXPECT_EQ(Form->Amount->IndicatorColor(), TColor(0xFFFF00));
    EXPECT_EQ(Form->Amount->Hint(),
              "An overflow statement is available for this field.  Hit the F3 key to access");
    EXPECT_TRUE(Form->Amount->ShowHint());
    Form->Amount->SetScheduleIndicator(2);
    EXPECT_EQ(Form->Amount->IndicatorColor(), clRed);
    EXPECT_EQ(Form->Amount->Hint(),
              "An overflow statement has been used for this field.  Hit the F3 key to access");
    Form->Amount->SetScheduleIndicator(0);
    EXPECT_EQ(Form->Amount->IndicatorColor(), clNone);
    EXPECT_EQ(Form->Amount->Hint(),
              "An overflow statement has been used for this field.  Hit the F3 key to access");
}

TEST_F(BoundEditTest, NumberEditsShowTheirTextRightAlignedOnlyWithoutTheFocus)
{
    int amount = 1234;
    float offset = 12.5f;
    double total = 7.25;
    Form->Amount->Bind(&amount);
    Form->Offset->Bind(&offset, "##.##");
    Form->Total->Bind(&total, "#.00");
    for (TKVNumberEdit* edit : std::vector<TKVNumberEdit*> {Form->Amount, Form->Offset, Form->Total}) {
        SCOPED_TRACE(edit->Name());
        edit->SetColor(clYellow);
        const int width = edit->Width();
        auto expectRight = [&] {
            const TEditPixels pixels(edit);
            const auto ink = pixels.Ink();
            EXPECT_GT(ink.First, width / 2);
            EXPECT_GE(ink.Last, width - pixels.Frame - 4);
            EXPECT_EQ(pixels.InClient(2, 10), clYellow);
        };
        expectRight();
        edit->SetFocus();
        {
            const TEditPixels pixels(edit);
            const auto ink = pixels.Ink();
            EXPECT_GE(ink.First, 0);
            EXPECT_LE(ink.First, pixels.Frame + 4);
            EXPECT_LT(ink.Last, width / 2);
        }
        Form->Name->SetFocus();
        expectRight();
    }
}

TEST_F(BoundEditTest, IndicatorTriangleFillsTheTopLeftCornerWithoutTheFocus)
{
    const struct {
        int Kind;
        TColor Color;
    } cases[] = {{1, TColor(0xFFFF00)}, {2, clRed}, {0, clWindow}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Kind);
        Form->Amount->SetScheduleIndicator(c.Kind);
        const TEditPixels pixels(Form->Amount);
        const TColor background = ColorToRGB(clWindow);
        // Corners (0, 0), (0, 8) and (8, 0) of the client area.
        EXPECT_EQ(pixels.InClient(0, 0), ColorToRGB(c.Color));
        EXPECT_EQ(pixels.InClient(1, 5), ColorToRGB(c.Color));
        EXPECT_EQ(pixels.InClient(5, 1), ColorToRGB(c.Color));
        EXPECT_EQ(pixels.InClient(6, 6), background);
        EXPECT_EQ(pixels.InClient(0, 10), background);
        EXPECT_EQ(pixels.InClient(10, 0), background);
    }
    // While the edit has the focus it shows no mark.
    Form->Amount->SetScheduleIndicator(2);
    Form->Amount->SetFocus();
    EXPECT_NE(TEditPixels(Form->Amount).InClient(1, 1), clRed);
}

TEST_F(BoundEditTest, NumberEditsKnowWhetherTheyHaveTheFocus)
{
    Form->Total->SetFocus();
    EXPECT_TRUE(Form->Total->IsFocused());
    Form->Name->SetFocus();
    EXPECT_FALSE(Form->Total->IsFocused());
}

}  // namespace
