// The index helpers on real tables: the nearest-key search on a plain table of the
// table layer, and switching the index with the current record kept, on the library
// table and on a plain table.

#include <gtest/gtest.h>

#include "datacontrols/datasets/dwlookuptables.h"
#include "datacontrols/datasets/dwtableindex.h"
#include "platform/db/field.h"
#include "platform/db/indexdefs.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/datasets/paymentsfixture.h"

namespace {

class TableIndexTest : public PaymentsTest {
protected:
    void SetUp() override
    {
        PaymentsTest::SetUp();
        MakePayments(40, {"ID", "UNAME", "NAME"});
    }

    // A plain table of the table layer over the payments, open on Index.
    TDaroruTable* PlainTable(const String& Index)
    {
        TDaroruTable* table = Table("PAYMENTS");
        table->SetIndexName(Index);
        table->Open();
        table->AfterOpen = [this](TDataSet*) { ++Opens; };
        return table;
    }
    static String Id(TDataSet* DataSet) { return TrimRight(DataSet->FieldByName("ID")->AsString()); }
    static String Name(TDataSet* DataSet) { return DataSet->FieldByName("NAME")->AsString(); }

    int Opens = 0;
    TScriptedDialogs Dialogs;
};

TEST_F(TableIndexTest, APlainTableIsSearchedOnItsActiveIndex)
{
    TDaroruTable* table = PlainTable("NAME");
    const struct {
        const char* Index;
        const char* Text;
        bool Found;
        const char* Name;  // the current record's name begins so
    } cases[] = {
            // A plain tag orders capitals first: "SMYTHE" before "Smith", "jones" after both.
            {"NAME", "Sm", true, "Smith"},
            {"NAME", "SM", true, "SMYTHE"},
            {"NAME", "sm", false, "jones"},
            {"UNAME", "sm", true, "Smith"},
            {"UNAME", "smy", true, "SMYTHE"},
            {"UNAME", "", true, "Brown"},  // an empty text goes to the first key
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.Index) + " " + c.Text);
        table->SetIndexName(c.Index);
        EXPECT_EQ(dwFindNearestOnIndex(table, c.Text, 0), c.Found);
        EXPECT_EQ(Name(table).rfind(c.Name, 0), 0u) << Name(table);
    }
    EXPECT_TRUE(Dialogs.Messages.empty());

    table->SetIndexName("");
    EXPECT_FALSE(dwFindNearestOnIndex(table, "Sm", 0));
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Table PAYMENTS: Table index not found");
}

TEST_F(TableIndexTest, AClosedTableOrALibraryTableOutOfStepWithAServerOnlyTakesTheIndexName)
{
    TdwTable* library = DwTable("PAYMENTS");
    library->SetIndexName("ID");
    // The tags are read at the first open; the definitions stay after the close.
    library->Open();
    library->Close();
    dwSwitchIndexKeepRecord(library, library->IndexDefs()->Find("NAME"));
    EXPECT_EQ(library->IndexName(), "NAME");

    library->Open();
    library->AfterOpen = [this](TDataSet*) { ++Opens; };
    library->SetIndexName("ID");
    library->MoveBy(16);
    const String id = Id(library);
    dwSwitchIndexKeepRecord(library, library->IndexDefs()->Find("UNAME"));
    EXPECT_EQ(library->IndexName(), "UNAME");
    EXPECT_EQ(Id(library), id) << "the record stays current";
    EXPECT_EQ(Opens, 0) << "the table was not opened again";
}

TEST_F(TableIndexTest, OtherwiseTheTableOpensAgainOnTheNewIndexAtTheSameKey)
{
    TdwTable* library = DwTable("PAYMENTS");
    library->SetSyncSQLByRange(true);
    library->SetIndexName("ID");
    library->Open();
    TDaroruTable* plain = PlainTable("ID");
    library->AfterOpen = [this](TDataSet*) { ++Opens; };
    for (TDaroruTable* table : {static_cast<TDaroruTable*>(library), plain}) {
        SCOPED_TRACE(table == plain ? "plain table" : "library table");
        Opens = 0;
        table->First();
        table->MoveBy(22);
        const String id = Id(table);
        dwSwitchIndexKeepRecord(table, table->IndexDefs()->Find("NAME"));
        EXPECT_EQ(Opens, 1);
        EXPECT_EQ(table->IndexName(), "NAME");
        EXPECT_EQ(Id(table), id);
        dwSwitchIndexKeepRecord(table, table->IndexDefs()->Find("NAME"));
        EXPECT_EQ(Opens, 1) << "the same index is no switch";
        dwSwitchIndexKeepRecord(table, table->IndexDefs()->Find("ID"));
        EXPECT_EQ(Id(table), id);
    }

    // A record being edited is posted before the table closes.
    plain->Edit();
    plain->FieldByName("QTY")->SetAsString("49");
    const String id = Id(plain);
    dwSwitchIndexKeepRecord(plain, plain->IndexDefs()->Find("UNAME"));
    EXPECT_EQ(Id(plain), id);
    EXPECT_EQ(plain->FieldByName("QTY")->AsString(), "49");
    EXPECT_EQ(PythonIds("PAYMENTS.DBF", "r['QTY'] == 49 and r['ID'] == '" + id + "'"),
              std::vector<String> {id});
}

}  // namespace
