// The SQL query data set over real tables, on both roads: the local SQL engine
// in this process, and the test server answering the SQL requests from the
// same engine. Opening, fetching in blocks, navigation, Locate, filters, edits,
// the comma-separated round trip and every error the data set names.

#include <gmock/gmock.h>

#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "remote/droqset.h"
#include "remote/drsqlobj.h"
#include "tests/support/tablefixture.h"
#include "tests/support/testserver.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::vector<FieldLayout> PayeeFields = {{"ID", 'C', 6, 0},
                                              {"NAME", 'C', 24, 0},
                                              {"STATE", 'C', 2, 0},
                                              {"PDATE", 'D', 8, 0},
                                              {"AMOUNT", 'N', 10, 2}};

class SqlQueryTest : public TableTest, public ::testing::WithParamInterface<TAccessMethod> {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("PAYEES", PayeeFields);
        std::vector<String> images;
        const char* names[] = {"SMITH",  "JONES",  "SMITHERS", "MILLER", "DAVIS",
                               "GARCIA", "WILSON", "BROWN",    "TAYLOR", "MOORE"};
        for (int i = 0; i < 10; ++i)
            images.push_back(
                    Image(PayeeFields,
                          {"P0000" + IntToStr(i), names[i], i % 2 ? "NJ" : "NY",
                           "200801" + String(i < 9 ? "0" : "") + IntToStr(i + 1), IntToStr(100 + i) + ".50"},
                          i == 9));
        AppendImages("PAYEES", images);
        Server = std::make_unique<TTestServer>(Dir);
        Connection = std::make_unique<TDaroruServerConnection>(nullptr);
        Connection->SetPort(Server->Port());
        Connection->Transport().ReceiveTimeout = 5000;
        Connection->OnError = [this](TObject*, const String& Command, const String& Msg) {
            Errors.push_back("[" + Command + "] " + Msg);
        };
        if (GetParam() == amServer) {
            Connection->SetActive(true);
            ASSERT_TRUE(Connection->Active());
        }
        Query = MakeQuery("SELECT ID, NAME, STATE, PDATE, AMOUNT FROM PY ORDER BY ID");
    }
    void TearDown() override
    {
        Query.reset();
        Connection.reset();
        Server.reset();
        TableTest::TearDown();
    }

    std::unique_ptr<TDaroruQuery> MakeQuery(const String& Sql)
    {
        auto query = std::make_unique<TDaroruQuery>(nullptr);
        query->SetDaroruConnection(Connection.get());
        query->SetAccessMethod(GetParam());
        query->SetDatabaseName(GetParam() == amLocal ? Dir : String());
        TDaroruTableItem& item = query->TableNames().Add();
        item.SetTableName("PAYEES.DBF");
        item.SetAlias("PY");
        query->SetSQLText(Sql);
        return query;
    }

    // The IDs of the rows from the current one to the end.
    std::vector<String> IdsToEnd()
    {
        std::vector<String> ids;
        for (; !Query->Eof(); Query->Next())
            ids.push_back(Query->FieldByName("ID")->AsString());
        return ids;
    }

    std::unique_ptr<TTestServer> Server;
    std::unique_ptr<TDaroruServerConnection> Connection;
    std::unique_ptr<TDaroruQuery> Query;
    std::vector<String> Errors;
};

TEST_P(SqlQueryTest, OpensWithTheResultsFieldsAndNavigatesItsRows)
{
    Query->Open();
    ASSERT_TRUE(Query->Active());
    EXPECT_EQ(Query->RecordCount(), 10);
    ASSERT_EQ(Query->FieldCount(), 5);
    EXPECT_EQ(Query->FieldByName("NAME")->DataType(), ftString);
    EXPECT_EQ(Query->FieldByName("NAME")->Size(), 24);
    EXPECT_EQ(Query->FieldByName("PDATE")->DataType(), ftDate);
    EXPECT_EQ(Query->FieldByName("AMOUNT")->DataType(), ftFloat);
    EXPECT_EQ(Query->FieldByName("NAME")->AsString(), "SMITH");
    EXPECT_EQ(Query->FieldByName("PDATE")->AsDateTime(), EncodeDate(2008, 1, 1));
    EXPECT_DOUBLE_EQ(Query->FieldByName("AMOUNT")->AsFloat(), 100.5);
    EXPECT_EQ(IdsToEnd().size(), 10u);
    Query->Last();
    EXPECT_EQ(Query->FieldByName("ID")->AsString(), "P00009");
    EXPECT_EQ(Query->RecNo(), 10);
    Query->Prior();
    EXPECT_EQ(Query->FieldByName("ID")->AsString(), "P00008");
    Query->SetRecNo(4);
    EXPECT_EQ(Query->FieldByName("NAME")->AsString(), "MILLER");
    const TBookmark mark = Query->GetBookmark();
    Query->First();
    EXPECT_TRUE(Query->Bof());
    Query->GotoBookmark(mark);
    EXPECT_EQ(Query->RecNo(), 4);
    EXPECT_TRUE(Query->FindPrior());
    EXPECT_EQ(Query->RecNo(), 3);
    EXPECT_TRUE(Query->FindFirst());
    EXPECT_EQ(Query->RecNo(), 1);
    EXPECT_FALSE(Query->FindPrior());
    Query->Close();
    EXPECT_FALSE(Query->Active());
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_P(SqlQueryTest, FetchesItsRowsInBlocksAsTheyAreRead)
{
    Query->SetFetchCount(3);
    Query->Open();
    Server->ClearFrames();
    std::vector<String> ids = IdsToEnd();
    EXPECT_EQ(ids.size(), 10u);
    if (GetParam() == amServer) {
        // Rows 1-3 came with the open; then one request per block.
        std::vector<String> firsts;
        for (const TTestServer::TFrame& frame : Server->Frames("0807"))
            firsts.push_back(frame.Payload.substr(8));
        EXPECT_THAT(firsts, ElementsAre("0000000400000003", "0000000700000003", "0000000A00000001"));
    }
    Query->SetFetchCount(0);
    EXPECT_EQ(Query->FetchCount(), 1);
    Query->SetFetchCount(-5);
    EXPECT_EQ(Query->FetchCount(), 1);
}

TEST_P(SqlQueryTest, AnEmptyResultOpensAtItsEnd)
{
    auto query = MakeQuery("SELECT ID FROM PY WHERE STATE = 'XX'");
    query->Open();
    ASSERT_TRUE(query->Active());
    EXPECT_EQ(query->RecordCount(), 0);
    query->First();
    EXPECT_TRUE(query->Eof());
}

TEST_P(SqlQueryTest, LocatesByWholeOrPartialKeysAndKeepsItsPlaceWhenNothingMatches)
{
    Query->Open();
    Query->SetRecNo(5);
    EXPECT_FALSE(Query->Locate("NAME", Variant("SMI"), {}));
    EXPECT_EQ(Query->RecNo(), 5);
    EXPECT_TRUE(Query->Locate("NAME", Variant("SMITHERS"), {}));
    EXPECT_EQ(Query->RecNo(), 3);
    EXPECT_TRUE(Query->Locate("NAME", Variant("smi"), {loPartialKey, loCaseInsensitive}));
    EXPECT_EQ(Query->RecNo(), 1);
    EXPECT_TRUE(Query->Locate("STATE;AMOUNT", VarArrayOf({Variant("NJ"), Variant(105.5)}), {}));
    EXPECT_EQ(Query->FieldByName("ID")->AsString(), "P00005");
}

TEST_P(SqlQueryTest, AFilterDecidesWhichRowsAreCountedAndVisited)
{
    Query->Open();
    Query->OnFilterRecord = [](TDataSet* DataSet, bool& Accept) {
        Accept = DataSet->FieldByName("STATE")->AsString() == "NY";
    };
    Query->SetFiltered(true);
    Query->First();
    EXPECT_EQ(Query->RecordCount(), 5);
    EXPECT_THAT(IdsToEnd(), ElementsAre("P00000", "P00002", "P00004", "P00006", "P00008"));
    Query->SetRecNo(3);
    EXPECT_EQ(Query->FieldByName("ID")->AsString(), "P00004");
    EXPECT_EQ(Query->RecNo(), 3);
    EXPECT_FALSE(Query->IsSequenced());
}

TEST_P(SqlQueryTest, EditsInsertsAndDeletesStayWithTheirRows)
{
    Query->SetFetchCount(2);
    Query->Open();
    Query->SetRecNo(2);
    Query->Edit();
    Query->FieldByName("NAME")->SetAsString("JONES-KING");
    Query->FieldByName("AMOUNT")->Clear();
    Query->Post();
    Query->First();
    Query->Insert();
    Query->FieldByName("ID")->SetAsString("NEW001");
    Query->Post();
    Query->Last();
    Query->Append();
    Query->FieldByName("ID")->SetAsString("NEW002");
    Query->Post();
    EXPECT_EQ(Query->RecordCount(), 12);
    Query->SetRecNo(5);  // P00003, fetched after the insert
    EXPECT_EQ(Query->FieldByName("ID")->AsString(), "P00003");
    Query->Delete();
    EXPECT_EQ(Query->FieldByName("ID")->AsString(), "P00004");
    Query->First();
    EXPECT_THAT(IdsToEnd(), ElementsAre("NEW001", "P00000", "P00001", "P00002", "P00004", "P00005", "P00006",
                                        "P00007", "P00008", "P00009", "NEW002"));
    ASSERT_TRUE(Query->Locate("ID", Variant("P00001"), {}));
    EXPECT_EQ(Query->FieldByName("NAME")->AsString(), "JONES-KING");
    EXPECT_TRUE(Query->FieldByName("AMOUNT")->IsNull());
    // Nothing reaches the table.
    EXPECT_THAT(ReadBack("PAYEES.DBF")[1], HasSubstr("|JONES|"));
}

TEST_P(SqlQueryTest, TheCommaSeparatedTextMakesTheSameRowsAgain)
{
    Query->Open();
    Query->SetRecNo(1);
    Query->Edit();
    Query->FieldByName("NAME")->SetAsString("SMITH, \"JR\"\r\nLINE 2");
    Query->FieldByName("STATE")->Clear();
    Query->Post();
    const String text = Query->CommaText();
    EXPECT_THAT(text, HasSubstr("\"ID\",\"NAME\",\"STATE\",\"PDATE\",\"AMOUNT\"\r\n"));
    EXPECT_THAT(text,
                HasSubstr("\"P00000\",\"SMITH, \"\"JR\"\"\r\nLINE 2\",\"\",\"01/01/2008\",\"100.5\"\r\n"));
    Query->SetCommaText(text);
    EXPECT_EQ(Query->RecordCount(), 10);
    EXPECT_EQ(Query->CommaText(), text);

    // Unquoted and empty values, and a last line without its line end.
    Query->SetCommaText("ID,NAME,STATE,PDATE,AMOUNT\r\nA1,PLAIN,,02/03/2009,7\nA2,\"Q,\"\"X\"\"\",NY,,");
    Query->First();
    EXPECT_EQ(Query->FieldByName("NAME")->AsString(), "PLAIN");
    EXPECT_TRUE(Query->FieldByName("STATE")->IsNull());
    EXPECT_EQ(Query->FieldByName("PDATE")->AsDateTime(), EncodeDate(2009, 2, 3));
    Query->Next();
    EXPECT_EQ(Query->FieldByName("NAME")->AsString(), "Q,\"X\"");
    EXPECT_TRUE(Query->FieldByName("AMOUNT")->IsNull());
}

TEST_P(SqlQueryTest, AnImportThatFailsNamesItsLineAndChangesNothing)
{
    Query->Open();
    const String before = Query->CommaText();
    const struct {
        const char* Text;
        const char* Error;
    } cases[] = {
            {"H\r\n\"P1\",\"A\"\r\n\"P2\",\"B\r\n", "Error in line 3: a quoted value has no closing quote"},
            {"H\r\nP1,A\r\nP2,\"B\"x\r\n",
             "Error in line 3: a quoted value is followed by more than a comma"},
            {"H\r\nP1,A\r\nP2,B\"\r\n", "Error in line 3: a quote stands inside an unquoted value"},
            {"H\r\nP1,A,NY,01/02/2009,1\r\nP2,B,NY,01/02/2009,lots\r\n", "Error in line 3: "},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(MessageOf([&] { Query->LoadFromStream(*std::make_unique<TStringStream>(c.Text)); }),
                    HasSubstr(c.Error))
                << c.Text;
        EXPECT_EQ(Query->CommaText(), before) << c.Text;
    }
}

TEST_P(SqlQueryTest, EveryFailureIsNamed)
{
    auto noSql = MakeQuery("");
    EXPECT_EQ(MessageOf([&] { noSql->Open(); }), "No SQL statement available");
    auto noTables = MakeQuery("SELECT ID FROM PY");
    noTables->TableNames().Clear();
    EXPECT_EQ(MessageOf([&] { noTables->Open(); }), "No TableNames have been defined");
    auto noConnection = MakeQuery("SELECT ID FROM PY");
    noConnection->SetDaroruConnection(nullptr);
    EXPECT_EQ(MessageOf([&] { noConnection->Open(); }), "No DaroruConnection specified");
    auto bad = MakeQuery("SELECT NOSUCH FROM PY");
    EXPECT_THAT(MessageOf([&] { bad->Open(); }), HasSubstr("Unable to execute SQL statement:\r\r"));
    EXPECT_THAT(MessageOf([&] { bad->Open(); }), HasSubstr("NOSUCH"));
    EXPECT_FALSE(bad->Active());
    auto badTable = MakeQuery("SELECT ID FROM PY");
    badTable->TableNames().Items(0).SetTableName("MISSING.DBF");
    EXPECT_THAT(MessageOf([&] { badTable->Open(); }), HasSubstr("MISSING"));
    EXPECT_EQ(MessageOf([&] { Query->GetFieldData(nullptr, nullptr); }),
              "Cannot perform this operation on a closed table");
    Query->Open();
    EXPECT_EQ(MessageOf([&] { Query->SetAccessMethod(GetParam() == amLocal ? amServer : amLocal); }),
              "Cannot change data access method while active");
    Query->Close();
    EXPECT_EQ(Connection->SQLCount(), 0);
}

TEST_P(SqlQueryTest, StatementsWithoutAResultWriteTheTables)
{
    auto update = MakeQuery("UPDATE PY SET NAME = 'RENAMED' WHERE ID = :ID");
    update->Params().CreateParam(ftString, "ID", ptInput).SetAsString("P00003");
    update->ExecSQL();
    EXPECT_THAT(ReadBack("PAYEES.DBF")[3], HasSubstr("RENAMED"));
    auto since = MakeQuery("SELECT ID FROM PY WHERE PDATE >= :SINCE AND AMOUNT < :BELOW ORDER BY ID");
    since->Params().CreateParam(ftDate, "SINCE", ptInput).SetAsDateTime(EncodeDate(2008, 1, 5));
    since->Params().CreateParam(ftFloat, "BELOW", ptInput).SetAsFloat(108);
    since->Open();
    EXPECT_EQ(since->RecordCount(), 4);
    EXPECT_EQ(since->FieldByName("ID")->AsString(), "P00004");
    auto bad = MakeQuery("UPDATE PY SET NOSUCH = 1");
    EXPECT_THAT(MessageOf([&] { bad->ExecSQL(); }), HasSubstr("Unable to execute SQL statement:"));
}

TEST_P(SqlQueryTest, MemosAreReadFromTheResultAndWrittenInMemory)
{
    CreateTable("NOTES", {{"ID", 'C', 6, 0}, {"NOTES", 'M', 10, 0}});
    AppendImages("NOTES", {Image({{"ID", 'C', 6, 0}, {"NOTES", 'M', 10, 0}}, {"N1", ""}),
                           Image({{"ID", 'C', 6, 0}, {"NOTES", 'M', 10, 0}}, {"N2", ""})});
    auto write = MakeQuery("UPDATE NT SET NOTES = 'first line\r\nsecond' WHERE ID = 'N2'");
    write->TableNames().Items(0).SetTableName("NOTES.DBF");
    write->TableNames().Items(0).SetAlias("NT");
    write->ExecSQL();
    auto query = MakeQuery("SELECT ID, NOTES FROM NT ORDER BY ID");
    query->TableNames().Items(0).SetTableName("NOTES.DBF");
    query->TableNames().Items(0).SetAlias("NT");
    query->Open();
    ASSERT_EQ(query->FieldByName("NOTES")->DataType(), ftMemo);
    EXPECT_EQ(query->FieldByName("NOTES")->AsString(), "");
    query->Next();
    EXPECT_EQ(query->FieldByName("NOTES")->AsString(), "first line\r\nsecond");
    query->Edit();
    query->FieldByName("NOTES")->SetAsString("changed");
    query->Post();
    query->First();
    query->Last();
    EXPECT_EQ(query->FieldByName("NOTES")->AsString(), "changed");
}

INSTANTIATE_TEST_SUITE_P(BothRoads, SqlQueryTest, ::testing::Values(amLocal, amServer),
                         [](const auto& Info) { return Info.param == amLocal ? "Local" : "Server"; });

}  // namespace
