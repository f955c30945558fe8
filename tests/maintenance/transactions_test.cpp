// The transaction grid driven by keys: the new-transaction loop with its numbers,
// dates and endings, edit, Cancel, delete, search, the listing buttons, the colours
// and the recipient's totals after every change.

#include <gmock/gmock.h>

#include <QDir>
#include <QImage>

#include "platform/rtl/strutils.h"
#include "platform/vcl/colors.h"
#include "tests/maintenance/transactionformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using TransactionGridTest = TransactionFormsFixture;

// Types a date, number, description and amount as a user does, each ended with
// Enter; the amount's exit leaves the focus in the selection entry.
void TypeTransaction(TFEditTrans* Editor, const char* Date, const char* Description, const char* Amount) {
    if (*Date) Retype(Editor, Date);
    PressKey(Editor, Qt::Key_Return);  // the date check, then the number
    PressKey(Editor, Qt::Key_Return);  // the number stays
    if (*Description) Retype(Editor, Description);
    PressKey(Editor, Qt::Key_Return);
    Retype(Editor, Amount);
    PressKey(Editor, Qt::Key_Return);
}

TEST_F(TransactionGridTest, NewLoopNumbersFromOneAndCarriesTheDate) {
    std::vector<String> seen;
    const auto note = [&seen](TFEditTrans* Editor) {
        seen.push_back(ActiveControlName(Editor) + "|" + Editor->KVDBIntEdit1->Text() + "|" +
                       Editor->KVDBDateEditAmerican1->Text() + "|" + Editor->KVDBEdit1->Text());
    };
    ScriptEditors({
        [&](TFEditTrans* Editor) {
            note(Editor);
            TypeTransaction(Editor, "123108", "LAWN CARE", "150.25");
            seen.push_back(ActiveControlName(Editor));
            TypeText(Editor, "/");
        },
        [&](TFEditTrans* Editor) {
            note(Editor);
            TypeTransaction(Editor, "", "", "-200");
            Editor->BitBtn2->Click();  // Finished: posted, the loop ends
        },
        // A second use of New numbers from 1 again, with no date.
        [&](TFEditTrans* Editor) {
            note(Editor);
            Editor->BitBtn4->Click();  // Cancel: dropped
        },
    });
    std::vector<String> rows;
    WithGrid("A1", [&](TFTransactions* Grid) {
        EXPECT_THAT(GridRows(), IsEmpty());
        EXPECT_EQ(Grid->KVDBDoubleEdit1->Font()->Color(), clWhite);
        Grid->BitBtn1->Click();
        rows = GridRows();
        EXPECT_EQ(Grid->KVDBDoubleEdit1->Font()->Color(), TColor(255));
        Grid->BitBtn1->Click();
    });
    EXPECT_TRUE(EditorsDone());
    EXPECT_THAT(seen, ElementsAre("KVDBDateEditAmerican1|1||CONTRACT LABOR", "entry",
                                  "KVDBDateEditAmerican1|2|12/31/2008|CONTRACT LABOR",
                                  "KVDBDateEditAmerican1|1||CONTRACT LABOR"));
    EXPECT_THAT(rows, ElementsAre("1|12/31/2008|LAWN CARE|150.25", "2|12/31/2008|CONTRACT LABOR|-200.00"));
    EXPECT_THAT(StoredTotals("A1"), ElementsAre(-49.75, 0, 0, 0, 0, 0));
    EXPECT_THAT(Shown(), IsEmpty());
}

}  // namespace
