// The library's query data set runs its SQL on the local SQL engine over real
// tables and adds the record filter and mask validation; its stored-procedure
// data set has no engine to run on.

#include <gmock/gmock.h>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datasets/dwstorep.h"
#include "datacontrols/datasets/wwquery.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/db/fieldkinds.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/support/tablefixture.h"

using ::testing::HasSubstr;

namespace {

const std::vector<FieldLayout> PayeeFields = {{"ID", 'C', 6, 0}, {"STATE", 'C', 2, 0}};

class WwQueryTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("PAYEES", PayeeFields);
        AppendImages("PAYEES", {Image(PayeeFields, {"P1", "NY"}), Image(PayeeFields, {"P2", "NJ"}),
                                Image(PayeeFields, {"P3", "NY"})});
        Q.SetDaroruConnection(&Connection);
        Q.SetDatabaseName(Dir);
        Q.TableNames().Add().SetTableName("PAYEES.DBF");
        Q.SetSQLText("SELECT ID, STATE FROM PAYEES ORDER BY ID");
    }
    TDaroruServerConnection Connection {nullptr};
    TdwQuery Q {nullptr};
};

TEST_F(WwQueryTest, RunsItsStatementOnTheLocalEngine)
{
    EXPECT_EQ(Q.AccessMethod(), amLocal);
    Q.Open();
    EXPECT_EQ(Q.RecordCount(), 3);
    EXPECT_EQ(Q.FieldByName("STATE")->AsString(), "NY");
    EXPECT_TRUE(Q.IsSequenced());
    EXPECT_TRUE(Q.InheritsFrom("TDaroruQuery"));
}

TEST_F(WwQueryTest, TheRecordFilterActsAtOnceAndGoesWhenDisabledOrCleared)
{
    auto nyOnly = [](TdwQuery* Query, bool& Accept) {
        Accept = Query->FieldByName("STATE")->AsString() == "NY";
    };
    Q.SetOnFilter(nyOnly);  // closed: acts from the next open
    Q.Open();
    EXPECT_EQ(Q.RecordCount(), 2);
    EXPECT_FALSE(Q.IsSequenced());
    Q.Next();
    EXPECT_EQ(Q.FieldByName("ID")->AsString(), "P3");
    Q.SetOnFilterOptions({ofoShowHourGlass});
    EXPECT_EQ(Q.RecordCount(), 3);
    EXPECT_EQ(dwGetFilterOptions(&Q), TdwOnFilterOptions {ofoShowHourGlass});
    Q.SetOnFilterOptions({ofoEnabled});
    EXPECT_EQ(Q.RecordCount(), 2);
    Q.SetOnFilter(nullptr);
    EXPECT_EQ(Q.RecordCount(), 3);
    EXPECT_TRUE(Q.IsSequenced());
}

TEST_F(WwQueryTest, TheHourglassShowsFromTheFirstRejectedRowUntilTheReadEnds)
{
    GuiScreen()->SetCursor(crHandPoint);
    std::vector<TCursor> seen;
    Q.SetOnFilter([&](TdwQuery* Query, bool& Accept) {
        seen.push_back(GuiScreen()->Cursor());
        Accept = Query->FieldByName("ID")->AsString() == "P3";
    });
    Q.Open();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], crHandPoint);
    EXPECT_EQ(seen[2], crHourGlass);
    EXPECT_EQ(Q.FieldByName("ID")->AsString(), "P3");
    EXPECT_EQ(GuiScreen()->Cursor(), crHandPoint);
    EXPECT_EQ(Q.RecordCount(), 1);
    EXPECT_EQ(GuiScreen()->Cursor(), crHandPoint);
    GuiScreen()->SetCursor(crDefault);
}

TEST_F(WwQueryTest, DisplayFieldsShowTheLookupTablesFieldUntilTheQueryCloses)
{
    const std::vector<FieldLayout> stateFields = {{"CODE", 'C', 2, 0}, {"SNAME", 'C', 16, 0}};
    CreateTable("STATES.DBF", stateFields);
    AppendImages("STATES.DBF",
                 {Image(stateFields, {"NY", "New York"}), Image(stateFields, {"CA", "California"})});
    TDaroruTable* maker = Table("STATES");
    maker->SetExclusive(WordTrue);
    maker->Open();
    maker->IndexTag("", "CODE", "CODE", 0, false, "");
    maker->Close();
    Q.FieldDefs()->Update();
    for (int i = 0; i < Q.FieldDefs()->Count(); ++i)
        (*Q.FieldDefs())[i]->CreateField(&Q, &Q);
    auto* display = new TStringField(&Q);
    display->SetFieldName("STNAME");
    display->SetSize(16);
    display->SetCalculated(true);
    display->SetDataSet(&Q);
    Q.LookupFields().Add("STNAME;" + Dir + ";STATES;SNAME;CODE");
    Q.LookupLinks().Add("STATE;CODE");
    Q.Open();
    std::vector<String> names;
    for (Q.First(); !Q.Eof(); Q.Next())
        names.push_back(TrimRight(Q.FieldByName("STNAME")->AsString()));
    EXPECT_EQ(names, (std::vector<String> {"New York", "", "New York"}));
    ASSERT_EQ(Q.LookupTables().Count(), 1);
    EXPECT_EQ(Q.LookupTables().Items(0)->IndexName(), "CODE");
    Q.Close();
    EXPECT_EQ(Q.LookupTables().Count(), 0);
}

TEST_F(WwQueryTest, AMaskIsCheckedBeforeAPost)
{
    Q.PictureMasks().Add("STATE\t??\tF\tT");
    std::vector<String> invalid;
    Q.OnInvalidValue = [&](TDataSet*, TField* Field) { invalid.push_back(Field->FieldName()); };
    Q.Open();
    Q.Edit();
    Q.FieldByName("STATE")->SetAsString("1");
    EXPECT_NE(MessageOf([&] { Q.Post(); }), "no error");
    EXPECT_EQ(invalid, std::vector<String> {"STATE"});
    Q.Cancel();
    Q.SetValidateWithMask(false);
    Q.Edit();
    Q.FieldByName("STATE")->SetAsString("1");
    Q.Post();
    EXPECT_EQ(Q.FieldByName("STATE")->AsString(), "1");
}

TEST(WwStoredProc, HasNoEngineToRunOn)
{
    TdwStoredProc proc(nullptr);
    proc.SetStoredProcName("TOTALS");
    EXPECT_EQ(MessageOf([&] { proc.Open(); }), "stored procedures are not supported");
    EXPECT_FALSE(proc.Active());
    EXPECT_EQ(MessageOf([&] { proc.ExecProc(); }), "stored procedures are not supported");
    EXPECT_EQ(dwGetFilterOptions(&proc), (TdwOnFilterOptions {ofoEnabled, ofoShowHourGlass}));
}

}  // namespace
