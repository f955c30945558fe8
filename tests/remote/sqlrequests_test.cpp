// The connection's SQL requests: the server's request layouts and the reading
// of its replies, and the local branch with its numbered statement objects,
// which keep their settings away from the engine-wide state.

#include <gmock/gmock.h>

#include "platform/rtl/datetime.h"
#include "remote/droqset.h"
#include "remote/drotables.h"
#include "remote/drsqllocal.h"
#include "remote/drsqlobj.h"
#include "tests/remote/remotefixture.h"
#include "tests/support/tablefixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const String H8Zero = "00000000";

class SqlRequestTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        Connect();
    }
};

TEST_F(SqlRequestTest, PrepareSendsTheSettingsTheNamedTablesAndTheParameters)
{
    Reply("0800", "00000007" + H8Zero + "prepared");
    TDaroruTables tables;
    tables.Add();  // no name: left out and not counted
    TDaroruTableItem& item = tables.Add();
    item.SetTableName(" CLIENT.DBF ");
    item.SetPassword("pw");
    item.SetSetTranslate(true);
    item.ExtraIndexes().Add("X1.CDX");
    TParams params;
    params.CreateParam(ftInteger, "N", ptInput).SetAsInteger(258);
    int code = -1;
    String msg;
    EXPECT_EQ(Connection->ap_sql_Prepare(amServer, "DATA", tables, true, 2, false, 64, params, true, ttSXFOX,
                                         code, msg),
              7);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(msg, "prepared");
    const String list = Wire::Fixed("CLIENT.DBF", 64) + Wire::Fixed("CLIENT", 64) + "1" +
                        Wire::Fixed("pw", 8) + "Y" + "00000006" + "X1.CDX";
    const String param = String("00000004") + "03" + "01" + Wire::Fixed("N", 20) + String("\x02\x01\0\0", 4);
    EXPECT_EQ(Last("0800").Payload, Wire::Fixed("DATA", 255) + "Y" + "00000002" + "N" + "Y" + "00000040" +
                                            Wire::Hex(Int64(list.size()), 8) + "00000001" + list + param);
}

TEST_F(SqlRequestTest, RepliesAreReadIntoTheirResults)
{
    Reply("0802", "00000000"
                  "0000000A"
                  "00000020"
                  "00000003"
                  "msg");
    int v1 = -1, v2 = -1, v3 = -1, v4 = -1;
    String msg;
    Connection->ap_sql_OpenSQL(amServer, 3, "  SELECT 1  ", v1, v2, v3, v4, msg);
    EXPECT_EQ(std::vector<int>({v1, v2, v3, v4}), std::vector<int>({0, 10, 32, 3}));
    EXPECT_EQ(msg, "msg");
    EXPECT_EQ(Last("0802").Payload, "00000003SELECT 1");

    Reply("0805", " 1F ");
    EXPECT_EQ(Connection->ap_sql_RecCount(amServer, 3), 31);

    // A count past the result's end asks for the rows that are left.
    Reply("0807", H8Zero);
    ASSERT_NE(Connection->ap_sql_GetRecord(amServer, 5, 8, 25, 10), nullptr);
    EXPECT_EQ(Last("0807").Payload, "00000005"
                                    "00000008"
                                    "00000003");

    Reply("0802", "zz");
    Connection->ap_sql_OpenSQL(amServer, 3, "SELECT 1", v1, v2, v3, v4, msg);
    EXPECT_THAT(Errors, ElementsAre("[DaroruConnection.sql_OpenSQL] sql_OpenSQL"));
}

// A scripted server's result of two rows of one character field.
class ScriptedQueryTest : public SqlRequestTest {
protected:
    void SetUp() override
    {
        SqlRequestTest::SetUp();
        Reply("0800", "00000001" + H8Zero);
        Reply("0802", H8Zero + "00000002" + "00000004" + "00000001");
        Reply("0806", "NAME\r\n00000001\r\n00000003\r\n00000000\r\n\r\n");
        Query.SetDaroruConnection(Connection.get());
        Query.TableNames().Add().SetTableName("T.DBF");
        Query.SetSQLText("SELECT NAME FROM T");
    }
    TDaroruQuery Query {nullptr};
};

TEST_F(ScriptedQueryTest, ADamagedRowStreamIsRefused)
{
    const struct {
        String Reply;
        const char* Error;
    } cases[] = {
            {"", "NIL stream"},
            {"00000002"
             "00000001"
             "AB",
             "Error while reading stream"},
            {"00000009"
             "00000001" +
                     String("AB\0\0", 4),
             "Error while reading stream"},
    };
    for (const auto& c : cases) {
        Reply("0807", c.Reply);
        EXPECT_EQ(MessageOf([&] { Query.Open(); }), c.Error);
        EXPECT_FALSE(Query.Active());
    }
    Reply("0807", "00000002"
                  "00000001" +
                          String("AB\0\0", 4) + "00000002" + String("CD\0\0", 4));
    Query.Open();
    Query.Next();
    EXPECT_EQ(Query.FieldByName("NAME")->AsString(), "CD");
}

TEST_F(ScriptedQueryTest, AResultTooLargeToListIsRefused)
{
    Reply("0802", H8Zero + "7FFFFFFF" + "00000004" + "00000001");
    EXPECT_EQ(MessageOf([&] { Query.Open(); }), "Out of memory while expanding dynamic array");
    EXPECT_FALSE(Query.Active());
    EXPECT_EQ(Last("0801").Payload, "00000001");
}

TEST_F(ScriptedQueryTest, AStructureBeyondTheRecordIsRefused)
{
    Reply("0806", "NAME\r\n00000001\r\n00000009\r\n00000000\r\n\r\n");
    EXPECT_EQ(MessageOf([&] { Query.Open(); }), "Error while reading stream");
    Query.SetDaroruConnection(nullptr);
    Connection->SetActive(false);
    Query.SetDaroruConnection(Connection.get());
    EXPECT_EQ(MessageOf([&] { Query.Open(); }), "Not connected");
}

// Every length, offset, count and size a reply carries, at its limit, one
// below and one above it, and at values a 32-bit sum would wrap (0x7FFFFFFF,
// 0xFFFFFFFF), negative and not hexadecimal: what fits opens, the rest is refused.
TEST_F(ScriptedQueryTest, EveryLengthAReplyCarriesIsCheckedAgainstItsLimit)
{
    // Two rows of one field of 3 characters (4 bytes with its end) in records of Size bytes.
    const auto result = [this](const String& Size, const String& Fields, const String& Offset,
                               const String& Rows) {
        Reply("0802", H8Zero + "00000002" + Size + Fields);
        Reply("0806", "NAME\r\n00000001\r\n00000003\r\n" + Offset + "\r\n\r\n");
        const Int64 size = std::strtoll(Size.c_str(), nullptr, 16);
        const String image = size > 0 && size <= (1 << 21) ? "AB" + String(size_t(size - 2), '\0') : String();
        Reply("0807", Rows + "00000001" + image + "00000002" + image);
    };
    struct Slot {
        const char* What;
        std::function<void(const String&)> Install;
        std::vector<String> Accepted;  // the limit and one below
        bool FieldAtStart = true;
    };
    const std::vector<Slot> slots = {
            {"record size",
             [&](const String& V) { result(V, "00000001", H8Zero, "00000002"); },
             {"000FFFFF", "00100000"}},
            {"field offset in records of 8",
             [&](const String& V) { result("00000008", "00000001", V, "00000002"); },
             {"00000003", "00000004"},
             false},
            {"field count",
             [&](const String& V) { result("00000004", V, H8Zero, "00000002"); },
             {"000000FF", "00000100"}},
            {"rows in a block",
             [&](const String& V) { result("00000004", "00000001", H8Zero, V); },
             {"00000001", "00000002"}},
    };
    const std::map<String, String> aboveLimit = {{"record size", "00100001"},
                                                 {"field offset in records of 8", "00000005"},
                                                 {"field count", "00000101"},
                                                 {"rows in a block", "00000003"}};
    for (const Slot& slot : slots) {
        std::vector<std::pair<String, bool>> values;
        for (const String& v : slot.Accepted)
            values.emplace_back(v, true);
        for (const String& v : {aboveLimit.at(slot.What), String("7FFFFFFC"), String("7FFFFFFF"),
                                String("FFFFFFFF"), String("-0000001"), String("0000000G")})
            values.emplace_back(v, false);
        for (const auto& [value, accepted] : values) {
            SCOPED_TRACE(String(slot.What) + " " + value);
            slot.Install(value);
            const String error = MessageOf([&] { Query.Open(); });
            EXPECT_EQ(Query.Active(), accepted) << error;
            if (accepted) {
                EXPECT_EQ(Query.FieldByName("NAME")->AsString(), slot.FieldAtStart ? "AB" : "");
            }
            Query.Close();
            ASSERT_TRUE(Connection->Active());
        }
    }

    // The length of a packet: up to the connection's limit it is read, above it
    // the stream cannot be trusted and the connection ends.
    Connection->MaxReplyLength = 64;
    for (const auto& [length, accepted] : std::vector<std::pair<String, bool>> {{"0000003F", true},
                                                                                {"00000040", true},
                                                                                {"00000041", false},
                                                                                {"7FFFFFFF", false},
                                                                                {"FFFFFFFF", false},
                                                                                {"-0000001", false},
                                                                                {"0000000G", false}}) {
        SCOPED_TRACE("packet length " + length);
        Errors.clear();
        if (!Connection->Active())
            Connect();
        const Int64 size = std::strtoll(length.c_str(), nullptr, 16);
        const String payload = accepted ? String(size_t(size - 1), ' ') + "7" : String("7");
        Server->On("0470", [length, payload](TTestServer::TSession& S, const TTestServer::TFrame&) {
            S.SendRaw(length + "00000000" + "0470" + payload);
            return true;
        });
        EXPECT_EQ(Connection->ap_RecCount(), accepted ? 7 : 0);
        EXPECT_EQ(Connection->Active(), accepted);
        EXPECT_EQ(Errors.size(), accepted ? 0u : 1u);
    }
}

class LocalSqlRequestTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("PAYEES", {{"ID", 'C', 6, 0}});
        AppendImages("PAYEES", {Image({{"ID", 'C', 6, 0}}, {"A"}), Image({{"ID", 'C', 6, 0}}, {"B"}, true)});
        Connection.SetDatabaseName(Dir);
        Tables.Add().SetTableName("PAYEES.DBF");
    }
    int Prepare(String& Msg, bool Deleted = false)
    {
        int code = 0;
        return Connection.ap_sql_Prepare(amLocal, Dir, Tables, true, dfBritish, Deleted, 64, TParams(), false,
                                         ttSXFOX, code, Msg);
    }
    TDaroruServerConnection Connection {nullptr};
    TDaroruTables Tables;
};

TEST_F(LocalSqlRequestTest, StatementsAreNumberedAndARefusedOneGivesItsNumberBack)
{
    String msg;
    Tables.Items(0).SetTableName("MISSING.DBF");
    EXPECT_EQ(Prepare(msg), 0);
    EXPECT_THAT(msg, HasSubstr("MISSING"));
    EXPECT_EQ(Connection.SQLCount(), 0);
    Tables.Items(0).SetTableName("PAYEES.DBF");
    EXPECT_EQ(Prepare(msg), 1);
    EXPECT_EQ(Prepare(msg), 2);
    ASSERT_NE(Connection.FindSQL(2), nullptr);
    EXPECT_TRUE(Connection.FindSQL(2)->Prepared);
    Connection.ap_sql_UnPrepare(amLocal, 1);
    EXPECT_EQ(Connection.FindSQL(1), nullptr);
    EXPECT_EQ(Connection.SQLCount(), 1);

    // A number that is not there does nothing.
    int v1 = -7, v2 = -7, v3 = -7, v4 = -7;
    Connection.ap_sql_OpenSQL(amLocal, 9, "SELECT ID FROM PAYEES", v1, v2, v3, v4, msg);
    EXPECT_EQ(v1, -7);
    EXPECT_EQ(Connection.ap_sql_GetStructure(amLocal, 9)->Size(), 0);
    Connection.FreeSQLs();
    EXPECT_EQ(Connection.SQLCount(), 0);

    Connection.SetDatabaseName("/no/such/dir");
    EXPECT_EQ(Prepare(msg), 0);
    EXPECT_EQ(msg, "No such DataBaseName: /no/such/dir/");
}

TEST_F(LocalSqlRequestTest, AStatementsSettingsStayWithIt)
{
    const String dateFormat = ShortDateFormat;
    const char separator = DateSeparator;
    const XBPROP deleted = XBE_CALL(xb_SysProp, 1006, 0);
    String msg;
    const int handle = Prepare(msg, true);
    ASSERT_GT(handle, 0) << msg;
    int v1 = 0, v2 = 0, v3 = 0, v4 = 0;
    Connection.ap_sql_OpenSQL(amLocal, SmallInt(handle), "SELECT ID FROM PAYEES", v1, v2, v3, v4, msg);
    EXPECT_EQ(v1, 0) << msg;
    EXPECT_EQ(v2, 1);  // the deleted record takes no part
    EXPECT_EQ(Connection.FindSQL(handle)->Settings.DateFormat, dfBritish);
    EXPECT_EQ(ShortDateFormat, dateFormat);
    EXPECT_EQ(DateSeparator, separator);
    EXPECT_EQ(XBE_CALL(xb_SysProp, 1006, 0), deleted);
}

TEST(SqlLibrary, IsBoundOnceAndAMissingFunctionIsAnAssertionFailure)
{
    std::vector<String> failures;
    SetSqlLoadFailureHandler([&](const String& Message) { failures.push_back(Message); });
    UnloadSQLDLL();
    SetSqlLibrary(nullptr);
    EXPECT_FALSE(LoadSQLDLL());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_THAT(failures[0], ::testing::StartsWith("DaroruSQL: Unable to load required XBESQL51.DLL."));
    TSqlFunctions partial = LocalSqlLibrary();
    partial.dll_sql_Refresh = nullptr;
    SetSqlLibrary(&partial);
    EXPECT_THAT(MessageOf([] { LoadSQLDLL(); }), HasSubstr("dll_sql_Refresh"));
    EXPECT_FALSE(SqlLoaded());
    SetSqlLibrary(&LocalSqlLibrary());
    EXPECT_TRUE(LoadSQLDLL());
    SetSqlLibrary(nullptr);
    EXPECT_TRUE(LoadSQLDLL());  // bound already
    SetSqlLibrary(&LocalSqlLibrary());
    SetSqlLoadFailureHandler(nullptr);
}

TEST(SqlTables, AnItemWithoutAnAliasTakesItsNameBeforeTheDot)
{
    TDaroruTableItem item;
    EXPECT_EQ(item.Caption(), "Undefined");
    item.SetTableName("CLIENT.DBF");
    EXPECT_EQ(item.Alias(), "CLIENT");
    EXPECT_EQ(item.DisplayName(), "CLIENT.DBF (CLIENT)");
    TDaroruTables tables;
    tables.Add().SetTableName(String(65, 'N'));
    int count = 0;
    EXPECT_THAT(MessageOf([&] { TableListText(tables, count); }), HasSubstr("64"));
    const String saved = ShortDateFormat;
    ShortDateFormat = "mm/dd/yyyy";
    EXPECT_EQ(TDaroruQuery(nullptr).Version(), "DaroruQuery 5.1.3.0, 05/15/2000");
    ShortDateFormat = saved;
}

}  // namespace
