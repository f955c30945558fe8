// Lookup tables of the library table on real tables: display fields filled from a
// states table, the grid's and the lookup list's look-ups, and the index search of the
// incremental search and the lookup combo on plain and case-insensitive tags.

#include <gtest/gtest.h>

#include <algorithm>

#include "datacontrols/datasets/dwlookuptables.h"
#include "datacontrols/datasets/wwquery.h"
#include "platform/db/field.h"
#include "platform/db/fieldkinds.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/datasets/lookuptablesfixture.h"

namespace {

TEST_F(LookupTablesTest, DisplayFieldsShowTheLookupTablesFieldsAndShareOneTable)
{
    AddDisplayFields({"STNAME", "STREGION"});
    AddLookup("STNAME", "SNAME", "STATE;CODE");
    AddLookup("STREGION", "REGION", "STATE;CODE");
    T->Open();
    // Row I has state CA IL NY TX WA by I mod 5.
    const struct {
        int Row;
        const char* Name;
        const char* Region;
    } rows[] = {{1, "Illinois", "Midwest"}, {3, "Texas", "South"},   {4, "", ""},
                {5, "California", "West"},  {7, "New York", "East"}, {9, "", ""},
                {10, "California", "West"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Row);
        T->Go(row.Row);
        EXPECT_EQ(Text("STNAME"), row.Name);
        EXPECT_EQ(Text("STREGION"), row.Region);
    }
    ASSERT_EQ(T->LookupTables().Count(), 1) << "one table for the two display fields";
    TdwTable* states = T->LookupTables().Items(0);
    EXPECT_TRUE(states->ReadOnly());
    EXPECT_EQ(states->IndexName(), "CODE");

    // The grid's look-up of a display field goes to the same table.
    T->Go(3);
    String key;
    TField* result = nullptr;
    EXPECT_TRUE(dwFindLookupValue(T->FieldByName("STREGION"), key, result));
    EXPECT_EQ(key, "TX");
    EXPECT_EQ(result, states->FieldByName("REGION"));
    EXPECT_EQ(TrimRight(result->AsString()), "South");
    T->Go(4);
    EXPECT_FALSE(dwFindLookupValue(T->FieldByName("STNAME"), key, result));
    EXPECT_EQ(key, "WA");
    EXPECT_FALSE(dwFindLookupValue(T->FieldByName("ID"), key, result)) << "no lookup table serves ID";
    EXPECT_EQ(result, T->FieldByName("ID"));

    // Closing frees the lookup tables; the next open makes them again.
    T->Close();
    EXPECT_EQ(T->LookupTables().Count(), 0);
    T->Open();
    T->Go(2);
    EXPECT_EQ(Text("STNAME"), "New York");
    EXPECT_EQ(T->LookupTables().Count(), 1);
}

TEST_F(LookupTablesTest, ALinkToAMissingFieldHidesTheDisplayField)
{
    AddDisplayFields({"STNAME"});
    AddLookup("STNAME", "SNAME", "ZIP;CODE");
    T->Open();
    EXPECT_FALSE(T->FieldByName("STNAME")->Visible());
    EXPECT_EQ(Text("STNAME"), "");
}

TEST_F(LookupTablesTest, IndexFieldsAndTheBaseNameRuleChooseTheTableAndItsIndex)
{
    AddDisplayFields({"STNAME"});
    T->LookupFields().Add("STNAME;" + Dir + ";STATES.DBF;SNAME;;CODE;N");
    T->LookupLinks().Add("STATE;CODE");
    T->Open();
    T->Go(3);
    EXPECT_EQ(Text("STNAME"), "Texas");
    TdwTable* states = T->LookupTables().Items(0);
    EXPECT_EQ(states->TableName(), "STATES") << "the table's name without its extension";
    EXPECT_EQ(states->IndexName(), "CODE") << "the index chosen by its fields";

    states->SetIndexName("");
    String first;
    T->Go(7);
    EXPECT_TRUE(dwPositionLookupTable(T, states, "STNAME", first));
    EXPECT_EQ(first, "STATE");
    EXPECT_EQ(states->IndexName(), "CODE") << "the lookup list's table gets the line's index back";
    EXPECT_EQ(TrimRight(states->FieldByName("SNAME")->AsString()), "New York");

    const std::vector<String> links = {"STATE", "CODE"};
    states->SetIndexName("");
    T->Go(1);
    EXPECT_TRUE(dwLookupFindKey(states, T, links));
    EXPECT_EQ(TrimRight(states->FieldByName("SNAME")->AsString()), "Illinois");
    T->Go(4);
    EXPECT_FALSE(dwLookupFindKey(states, T, links));
}

TEST_F(LookupTablesTest, TheIndexSearchGoesToTheNearestKeyOrNarrowsTheTable)
{
    T->Open();
    const struct {
        const char* Index;
        bool Narrow;
        const char* Text;
        bool Found;
        const char* Name;  // the current record's name begins so
        size_t Offered;
    } cases[] = {
            // A plain tag orders capitals first: "SMYTHE" before "Smith", "jones" after both.
            {"NAME", false, "Sm", true, "Smith", 12},    {"NAME", false, "SM", true, "SMYTHE", 12},
            {"NAME", false, "sm", false, "jones", 12},   {"UNAME", false, "sm", true, "Smith", 12},
            {"UNAME", false, "smy", true, "SMYTHE", 12}, {"NAME", true, "Sm", true, "Smith", 1},
            {"UNAME", true, "s", true, "Smith", 3},      {"UNAME", true, "smy", true, "SMYTHE", 2},
            {"NAME", true, "x", false, "", 0},           {"UNAME", true, "", true, "", 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.Index) + (c.Narrow ? " narrowed " : " ") + c.Text);
        T->SetIndexName(c.Index);
        T->SetNarrowSearch(c.Narrow);
        EXPECT_EQ(T->dwFindNearest(c.Text, 0), c.Found);
        if (c.Offered > 0) {
            EXPECT_EQ(T->FieldByName("NAME")->AsString().rfind(c.Name, 0), 0u)
                    << T->FieldByName("NAME")->AsString();
        }
        EXPECT_EQ(T->SearchCount(), 0);
        EXPECT_EQ(Ids(T).size(), c.Offered);
        T->dwCancelRange();
    }
    // The narrowed records are those an independent reader finds.
    T->SetIndexName("UNAME");
    T->SetNarrowSearch(true);
    T->dwFindNearest("s", 0);
    std::vector<String> narrowed = Ids(T);
    std::sort(narrowed.begin(), narrowed.end());
    EXPECT_EQ(narrowed, PythonIds("PAYMENTS.DBF", "r['NAME'].upper().startswith('S')"));
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(LookupTablesTest, TheIndexSearchNeedsAnActiveIndexAndTextOfTheFieldsType)
{
    T->SetIndexName("");
    T->Open();
    EXPECT_FALSE(dwFindNearestOnIndex(T, "Sm", 0));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Table PAYMENTS: Table index not found");
    EXPECT_FALSE(dwFindNearestOnIndex(nullptr, "Sm", 0));
    T->SetIndexName("ID");
    EXPECT_FALSE(dwFindNearestOnIndex(T, "P", 1)) << "no second index field";
}

}  // namespace
