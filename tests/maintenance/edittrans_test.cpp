// The transaction editor driven by keys inside the grid's New loop: the date check
// on Enter with its messages, the fields of interest recipients, the state amount
// and the System Date button.

#include <gmock/gmock.h>

#include "platform/rtl/strutils.h"
#include "tests/maintenance/transactionformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using TransactionEditorTest = TransactionFormsFixture;

// The conversion error as the application shows it.
String InvalidDate(const String& Text) { return "'" + Text + "' is not a valid date."; }

TEST_F(TransactionEditorTest, EnterChecksTheDate)
{
    struct TCase {
        const char* Typed;
        const char* Shows;  // after the Enter; a date taken shows as the field holds it
        const char* Focus;
        std::vector<String> Messages;
    };
    const TCase cases[] = {
            {"123108", "12/31/2008", "KVDBIntEdit1", {}},
            {"12312008", "12/31/2008", "KVDBIntEdit1", {}},
            {"1231208", "1231208", "KVDBDateEditAmerican1", {InvalidDate("1231208")}},
            {"0231", "0231", "KVDBDateEditAmerican1", {InvalidDate("0231")}},
            {"023108", "02/31/08", "KVDBDateEditAmerican1", {InvalidDate("02/31/08")}},
            {"", "", "KVDBIntEdit1", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        Dialogs.Messages.clear();
        String shows, focus;
        ScriptEditors({[&](TFEditTrans* Editor) {
            TypeText(Editor, c.Typed);
            PressKey(Editor, Qt::Key_Return);
            shows = Editor->KVDBDateEditAmerican1->Text();
            focus = ActiveControlName(Editor);
            Editor->BitBtn4->Click();
        }});
        WithGrid("A1", [](TFTransactions* Grid) { Grid->BitBtn1->Click(); });
        EXPECT_TRUE(EditorsDone());
        EXPECT_EQ(shows, c.Shows);
        EXPECT_EQ(focus, c.Focus);
        EXPECT_EQ(Shown(), c.Messages);
    }
}

// The third failure in a row explains the format; the fourth puts today's date in.
TEST_F(TransactionEditorTest, RepeatedDateFailuresExplainThenUseToday)
{
    std::vector<String> shows;
    std::vector<int> counts;
    ScriptEditors({[&](TFEditTrans* Editor) {
        for (const char* typed : {"1399", "0231", "99", "0000"}) {
            Retype(Editor, typed);
            PressKey(Editor, Qt::Key_Return);
            shows.push_back(Editor->KVDBDateEditAmerican1->Text());
            counts.push_back(Editor->DateErrorCount);
        }
        PressKey(Editor, Qt::Key_Return);  // today's date passes
        counts.push_back(Editor->DateErrorCount);
        shows.push_back(ActiveControlName(Editor));
        Editor->BitBtn4->Click();
    }});
    WithGrid("A1", [](TFTransactions* Grid) { Grid->BitBtn1->Click(); });
    EXPECT_TRUE(EditorsDone());
    EXPECT_THAT(Shown(), ElementsAre(InvalidDate("1399"), InvalidDate("0231"), InvalidDate("99"),
                                     DateFormatExplanation, InvalidDate("0000"), DateFormatExplanation,
                                     SystemDateSubstituted));
    EXPECT_THAT(shows, ElementsAre("1399", "0231", "99", "12/31/2008", "KVDBIntEdit1"));
    EXPECT_THAT(counts, ElementsAre(1, 2, 3, 4, 0));
}

TEST_F(TransactionEditorTest, InterestRecipientsHaveNoStateFields)
{
    std::vector<bool> visible;
    const auto note = [&visible](TFEditTrans* Editor) {
        visible.push_back(Editor->KVDBDoubleEdit2->Visible());
        for (TControl* c :
             {static_cast<TControl*>(Editor->Label1), static_cast<TControl*>(Editor->KVLabel6),
              static_cast<TControl*>(Editor->KVBevel9), static_cast<TControl*>(Editor->KVDBDoubleEdit3),
              static_cast<TControl*>(Editor->KVDBDoubleEdit6)})
            visible.push_back(c->Visible());
        Editor->BitBtn4->Click();
    };
    ScriptEditors({note});
    WithGrid("I1", [](TFTransactions* Grid) { Grid->BitBtn1->Click(); });
    ScriptEditors({note});
    WithGrid("A1", [](TFTransactions* Grid) { Grid->BitBtn1->Click(); });
    EXPECT_TRUE(EditorsDone());
    EXPECT_THAT(visible,
                ElementsAre(true, false, false, false, false, false, true, true, true, true, true, true));
}

// With "State Amount?" on, the first exit from a new transaction's amount copies it
// into the first state's income; later exits and edited transactions copy nothing.
TEST_F(TransactionEditorTest, StateAmountIsCopiedOnceForNewTransactions)
{
    FMain->User->StateAmount = true;
    std::vector<String> stateIncome;
    ScriptEditors({
            [&](TFEditTrans* Editor) {
                TypeText(Editor, "010508");
                for (int i = 0; i < 3; ++i)
                    PressKey(Editor, Qt::Key_Return);
                TypeText(Editor, "150.00");
                PressKey(Editor, Qt::Key_Return);
                stateIncome.push_back(Editor->KVDBDoubleEdit3->Text());
                TypeInLine(Editor, "04", "175");
                stateIncome.push_back(Editor->KVDBDoubleEdit3->Text());
                Editor->BitBtn2->Click();
            },
            [&](TFEditTrans* Editor) {
                TypeInLine(Editor, "04", "200");
                stateIncome.push_back(Editor->KVDBDoubleEdit3->Text());
                TypeText(Editor, "/");
            },
    });
    WithGrid("A1", [](TFTransactions* Grid) {
        Grid->BitBtn1->Click();
        Grid->SetActiveControl(Grid->dwDBGrid1);
        PressKey(Grid, Qt::Key_Return);
    });
    EXPECT_TRUE(EditorsDone());
    EXPECT_THAT(stateIncome, ElementsAre("150.00", "150.00", "150.00"));
    EXPECT_THAT(StoredTotals("A1"), ElementsAre(200, 0, 150, 0, 0, 0));
}

TEST_F(TransactionEditorTest, SystemDateButtonPutsTodayInAndMovesOn)
{
    String shows, focus;
    ScriptEditors({[&](TFEditTrans* Editor) {
        Editor->BitBtn1->Click();
        shows = Editor->KVDBDateEditAmerican1->Text();
        focus = ActiveControlName(Editor);
        Editor->BitBtn4->Click();
    }});
    WithGrid("A1", [](TFTransactions* Grid) { Grid->BitBtn1->Click(); });
    EXPECT_EQ(shows, "12/31/2008");
    EXPECT_EQ(focus, "KVDBIntEdit1");
}

}  // namespace
