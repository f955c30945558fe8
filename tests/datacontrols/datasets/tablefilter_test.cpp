// Compiled filters over a real table: the rows a filter lets through are the rows
// the engine's own query and an independent reader find for the same condition,
// and a filter that does not compile leaves the one before it in force.

#include <gtest/gtest.h>

#include "datacontrols/datasets/dwfilterinstall.h"
#include "platform/db/field.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/datasets/paymentsfixture.h"

namespace {

TStringList Lines(std::initializer_list<const char*> Texts)
{
    TStringList lines;
    for (const char* text : Texts)
        lines.Add(text);
    return lines;
}

class TableFilterTest : public PaymentsTest {
protected:
    void SetUp() override
    {
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

TEST_F(TableFilterTest, AFilterKeepsTheRowsTheEngineAndAnIndependentReaderFind)
{
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

// Each filter text with the same condition in Python over the records an
// independent reader finds; a text the compiler refuses has none (nullptr) and
// leaves the filter before it in force.
struct FilterCase {
    const char* Filter;
    const char* Python;
};

const char* const Before = "STATE = \"IL\" AND QTY < 20";
const char* const BeforeInPython = "r['STATE'] == 'IL' and r['QTY'] < 20";

const FilterCase Cases[] = {
        // Text: every comparison, blanks after the value ignored.
        {"STATE = \"NY\"", "r['STATE'] == 'NY'"},
        {"STATE <> \"NY\"", "r['STATE'] != 'NY'"},
        {"NAME > \"Miller\"", "r['NAME'].rstrip() > 'Miller'"},
        {"NAME >= \"Smith 7\"", "r['NAME'].rstrip() >= 'Smith 7'"},
        {"NAME < \"SMYTHE\"", "r['NAME'].rstrip() < 'SMYTHE'"},
        {"NAME <= \"Brown 9\"", "r['NAME'].rstrip() <= 'Brown 9'"},
        {"NAME = \"Ng 13\"", "r['NAME'].rstrip() == 'Ng 13'"},
        // Numbers with decimals.
        {"AMOUNT > 1000", "r['AMOUNT'] > 1000"},
        {"AMOUNT <= 12.5", "r['AMOUNT'] <= 12.5"},
        {"AMOUNT = 9.25", "r['AMOUNT'] == 9.25"},
        {"AMOUNT <> 9.25 AND AMOUNT < 20", "r['AMOUNT'] != 9.25 and r['AMOUNT'] < 20"},
        {"AMOUNT >= -1", "r['AMOUNT'] >= -1"},
        // Small whole numbers, to the ends of their range.
        {"QTY = 0", "r['QTY'] == 0"},
        {"QTY >= 45", "r['QTY'] >= 45"},
        {"QTY < 2", "r['QTY'] < 2"},
        {"QTY <> 7 AND QTY <= 9", "r['QTY'] != 7 and r['QTY'] <= 9"},
        {"QTY <= 32767", "r['QTY'] <= 32767"},
        {"QTY > -32768 AND QTY = -1", "False"},
        // Logical fields.
        {"PAID = T", "r['PAID']"},
        {"PAID = F", "not r['PAID']"},
        {"PAID", "r['PAID']"},
        {"PAID = \"false\"", "not r['PAID']"},
        // Dates.
        {"DUE > \"12/01/2024\"", "r['DUE'] > datetime.date(2024, 12, 1)"},
        {"DUE = \"02/29/2024\"", "r['DUE'] == datetime.date(2024, 2, 29)"},
        {"DUE <= \"01/15/2024\"", "r['DUE'] <= datetime.date(2024, 1, 15)"},
        {"DUE <> \"07/04/2024\" AND DUE >= \"07/01/2024\" AND DUE < \"07/08/2024\"",
         "r['DUE'] != datetime.date(2024, 7, 4) and datetime.date(2024, 7, 1) <= r['DUE'] < "
         "datetime.date(2024, 7, 8)"},
        // Terms; a value after a term takes its type, a field name stays a field.
        {"(QTY) - (1) = 2", "r['QTY'] - 1 == 2"},
        {"((QTY) + (1)) * (2) = 10", "(r['QTY'] + 1) * 2 == 10"},
        {"(AMOUNT) * (2) > 4000", "r['AMOUNT'] * 2 > 4000"},
        {"(AMOUNT) / (100) < (QTY)", "r['AMOUNT'] / 100 < r['QTY']"},
        {"(AMOUNT) / (4) / (2) > 1000", "r['AMOUNT'] / 4 / 2 > 1000"},
        // AND and OR share one level, grouped to the left; parentheses group otherwise.
        {"QTY = 1 OR QTY = 2 AND STATE = \"CA\"", "(r['QTY'] == 1 or r['QTY'] == 2) and r['STATE'] == 'CA'"},
        {"STATE = \"TX\" AND (QTY < 5 OR QTY > 45)",
         "r['STATE'] == 'TX' and (r['QTY'] < 5 or r['QTY'] > 45)"},
        {"state = \"WA\" and paid = \"T\"", "r['STATE'] == 'WA' and r['PAID']"},
        // Refused: malformed, out of range, not convertible.
        {"STATE = \"NY\" junk", nullptr},
        {"(QTY = 1", nullptr},
        {"QTY = 1)", nullptr},
        {"STATE == \"NY\"", nullptr},
        {"ZIP = 1", nullptr},
        {"STATE = \"NY", nullptr},
        {"% = 1", nullptr},
        {"QTY =", nullptr},
        {"QTY > 40000", nullptr},
        {"QTY < -40000", nullptr},
        {"QTY = 1.5", nullptr},
        {"AMOUNT = \"abc\"", nullptr},
        {"DUE > \"02/30/2024\"", nullptr},
        {"NAME", nullptr},
};

TEST_F(TableFilterTest, EachFilterShowsTheRowsAnIndependentReaderFindsAndAFaultyOneKeepsTheFilterBefore)
{
    std::vector<String> conditions {BeforeInPython};
    for (const FilterCase& c : Cases)
        if (c.Python)
            conditions.push_back(c.Python);
    const std::vector<std::vector<String>> expected = PythonIdSets("PAYMENTS.DBF", conditions);
    TdwTable* t = DwTable("PAYMENTS");
    t->SetIndexName("ID");
    t->Open();
    size_t next = 1;
    int refused = 0;
    for (const FilterCase& c : Cases) {
        SCOPED_TRACE(c.Filter);
        t->SetdwFilter(Lines({Before}));
        Dialogs.Messages.clear();
        t->SetdwFilter(Lines({c.Filter}));
        EXPECT_EQ(Ids(t), c.Python ? expected[next++] : expected[0]);
        if (c.Python) {
            EXPECT_TRUE(Dialogs.Messages.empty());
        } else {
            ++refused;
            ASSERT_EQ(Dialogs.Messages.size(), 2u);
            EXPECT_EQ(Dialogs.Messages[1].Text, "Fail to set filter");
        }
    }
    EXPECT_EQ(expected[0].size(), 800u);
    EXPECT_GT(refused, 0);
}

TEST_F(TableFilterTest, TheFilterHoldsInEveryOrderAndItsFilterLinesJoinWithAnd)
{
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
