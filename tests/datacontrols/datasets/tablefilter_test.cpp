// Compiled filters over a real table: the rows a filter lets through are the rows
// the engine's own query and an independent reader find for the same condition.

#include <gtest/gtest.h>

#include "datacontrols/datasets/dwfilterinstall.h"
#include "platform/db/field.h"
#include "platform/vcl/scripteddialogs.h"
#include "tests/datacontrols/datasets/paymentsfixture.h"

namespace {

class TableFilterTest : public PaymentsTest {
protected:
    void SetUp() override {
        PaymentsTest::SetUp();
        MakePayments(10000, {"ID", "UNAME", "STATEID"});
    }

    TScriptedDialogs Dialogs;
};

struct SameCondition {
    const char* Filter;
    const char* Engine;
    const char* Python;
};

const SameCondition Conditions[] = {
        {"STATE = \"NY\" AND AMOUNT > 1000 OR QTY = 7", "STATE = \"NY\" .AND. AMOUNT > 1000 .OR. QTY = 7",
         "(r['STATE'] == 'NY' and r['AMOUNT'] > 1000) or r['QTY'] == 7"},
        {"DUE >= \"06/01/2024\" AND PAID = T", "DUE >= CTOD(\"06/01/2024\") .AND. PAID",
         "r['DUE'] >= datetime.date(2024, 6, 1) and r['PAID']"},
        // A term on the left leaves the right side a field; the parentheses end its name.
        {"(AMOUNT) / (100) < (QTY) AND STATE <> \"CA\"", "AMOUNT / 100 < QTY .AND. STATE <> \"CA\"",
         "r['AMOUNT'] / 100 < r['QTY'] and r['STATE'] != 'CA'"},
        {"NAME < \"Miller\" AND QTY <= 3", "NAME < \"Miller\" .AND. QTY <= 3",
         "r['NAME'].rstrip() < 'Miller' and r['QTY'] <= 3"},
        // Quoted, as an unquoted value would run on across the blanks.
        {"PAID = \"F\" AND DUE < \"02/01/2024\"", "!PAID .AND. DUE < CTOD(\"02/01/2024\")",
         "not r['PAID'] and r['DUE'] < datetime.date(2024, 2, 1)"},
};

TEST_F(TableFilterTest, AFilterKeepsTheRowsTheEngineAndAnIndependentReaderFind) {
    TdwTable* filtered = DwTable("PAYMENTS");
    filtered->Open();
    TDaroruTable* queried = Table("PAYMENTS");
    queried->Open();
    for (const SameCondition& c : Conditions) {
        SCOPED_TRACE(c.Filter);
        TStringList lines;
        lines.Add(c.Filter);
        filtered->SetdwFilter(lines);
        queried->Query(c.Engine);
        const std::vector<String> ids = Ids(filtered);
        EXPECT_GT(ids.size(), 10u);
        EXPECT_LT(ids.size(), 9000u);
        EXPECT_EQ(ids, Ids(queried));
        EXPECT_EQ(ids, PythonIds("PAYMENTS.DBF", c.Python));
    }
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(TableFilterTest, TheFilterHoldsInEveryOrderAndItsFilterLinesJoinWithAnd) {
    TdwTable* t = DwTable("PAYMENTS");
    TStringList lines;
    lines.Add("STATE = \"TX\"  \t");
    lines.Add("");
    lines.Add("QTY < 5");
    t->SetdwFilter(lines);
    EXPECT_EQ(t->FilterText(), "STATE = \"TX\" AND (QTY < 5)");
    t->SetIndexName("UNAME");
    t->Open();
    std::vector<String> names;
    for (t->First(); !t->Eof(); t->Next()) {
        EXPECT_EQ(t->FieldByName("STATE")->AsString(), "TX");
        EXPECT_LT(t->FieldByName("QTY")->AsInteger(), 5);
        names.push_back(UpperCase(t->FieldByName("NAME")->AsString()));
    }
    EXPECT_EQ(names.size(), PythonIds("PAYMENTS.DBF", "r['STATE'] == 'TX' and r['QTY'] < 5").size());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

}  // namespace
