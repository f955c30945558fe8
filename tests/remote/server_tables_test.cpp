// Tables reached through the server: two clients of one server, the
// refusal of cached updates that the server cannot take, and walks, whose
// fetches are sent ahead of them.

#include <gmock/gmock.h>

#include <atomic>

#include "platform/classes/datamodule.h"
#include "platform/rtl/strutils.h"
#include "tables/drodset.h"
#include "tables/xbe50.h"
#include "tests/remote/remotefixture.h"

using testing::StrEq;
using testing::ThrowsMessage;

// The most record fetches a walk sends ahead.
constexpr int ReadAheadWindow = 64;

class ServerTableTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        // A table of two accounts made directly with the engine.
        XBE_CALL(xb_ErrorLevel, 0);
        ASSERT_GT(XBE_CALL(xb_CreateNew, (Dir + "ACCOUNTS").c_str(), "NEWTABLE", 2, 2), 0);
        XBE_CALL(xb_CreateField, "ID", "C", 4, 0);
        XBE_CALL(xb_CreateField, "BALANCE", "N", 10, 2);
        ASSERT_TRUE(XBE_CALL(xb_CreateExec));
        for (const char* image : {" A001     100.00", " A002      50.00"}) {
            XBE_CALL(xb_AppendBlank);
            XBE_CALL(xb_PutRecord, image);
        }
        XBE_CALL(xb_Close);
    }

    std::unique_ptr<TDaroruTable> Open(TDaroruServerConnection& Connection, const String& DatabaseName = {},
                                       const String& TableName = "ACCOUNTS")
    {
        auto table = std::make_unique<TDaroruTable>(nullptr);
        table->SetDatabaseName(DatabaseName.empty() ? Dir : DatabaseName);
        table->SetTableName(TableName);
        table->SetDaroruConnection(&Connection);
        table->SetAccessMethod(amServer);
        table->Open();
        return table;
    }
};

TEST_F(ServerTableTest, AnOpenNamesTheFileAndTheDatabaseTheServerResolves)
{
    Connect();
    std::filesystem::create_directory(Dir + "BRANCH");
    std::filesystem::copy_file(Dir + "ACCOUNTS.DBF", Dir + "BRANCH/ACCOUNTS.DBF");
    const auto S255 = [](const String& Text) { return Wire::Fixed(Text, 255); };

    // A database name the server knows and this computer does not.
    auto branch = Open(*Connection, "BRANCH");
    EXPECT_EQ(branch->RecordCount(), 2);
    // The file under its database name, and the alias of the work area.
    EXPECT_EQ(Last("0468").Payload, S255("BRANCH\\ACCOUNTS") + S255("ACCOUNTS") + "02");

    // The table's own directory wins over DatabaseName.
    auto named = Open(*Connection, "/nowhere/", Dir + "BRANCH/ACCOUNTS.DBF");
    EXPECT_EQ(named->RecordCount(), 2);
    EXPECT_EQ(Last("0468").Payload.substr(0, 255), S255(Dir + "BRANCH/ACCOUNTS.DBF"));
    EXPECT_NE(Trim(Last("0468").Payload.substr(255, 255)), "");

    // The table's files are named under the same database.
    named->Close();
    branch->DeleteTable();
    EXPECT_EQ(Last("0055").Payload, S255("BRANCH") + S255("ACCOUNTS.DBF"));
    EXPECT_FALSE(std::filesystem::exists(Dir + "BRANCH/ACCOUNTS.DBF"));
    EXPECT_TRUE(std::filesystem::exists(Dir + "ACCOUNTS.DBF"));
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(ServerTableTest, RecordLocksHoldBetweenTwoClientsOfOneServer)
{
    Connect();
    auto second = MakeConnection();
    second->SetActive(true);
    ASSERT_TRUE(second->Active());
    auto mine = Open(*Connection);
    auto theirs = Open(*second);
    EXPECT_EQ(mine->RecordCount(), 2);

    // Both read 100.00; the first to edit holds the record.
    mine->Edit();
    EXPECT_THAT(
            [&] { theirs->Edit(); },
            ThrowsMessage<Exception>(StrEq("Record Lock Failure. May be locked by another user or task.")));
    mine->FieldByName("BALANCE")->SetAsFloat(mine->FieldByName("BALANCE")->AsFloat() + 10);
    mine->Post();

    // Now the other client gets the lock and adds to the value written, not to
    // the one it read before: no update is lost.
    theirs->Edit();
    theirs->FieldByName("BALANCE")->SetAsFloat(theirs->FieldByName("BALANCE")->AsFloat() + 5);
    theirs->Post();
    mine->Refresh();
    EXPECT_DOUBLE_EQ(mine->FieldByName("BALANCE")->AsFloat(), 115);
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(ServerTableTest, CachedUpdatesAreRefusedInsteadOfReportedAsWritten)
{
    Connect();
    auto table = Open(*Connection);
    table->SetCachedUpdates(true);
    table->Edit();
    table->FieldByName("BALANCE")->SetAsFloat(1);
    table->Post();
    EXPECT_THAT(
            [&] { table->ApplyUpdates(); },
            ThrowsMessage<Exception>(StrEq("Cached updates cannot be applied through the database server")));
    table->CancelUpdates();
    table->Close();
    auto fresh = Open(*Connection);
    EXPECT_DOUBLE_EQ(fresh->FieldByName("BALANCE")->AsFloat(), 100);
}

TEST_F(ServerTableTest, BoundTablesCloseOpenAndJoinTheLocalTransaction)
{
    Connect();
    TDataModule* module = Construct<TDataModule>(nullptr);
    auto* accounts = new TDaroruTable(module);
    accounts->SetDaroruConnection(Connection.get());
    accounts->SetDatabaseName(Dir);  // copied into the connection
    accounts->SetTableName("ACCOUNTS");
    accounts->SetAccessMethod(amServer);
    auto* elsewhere = new TDaroruTable(module);  // bound to no connection
    elsewhere->SetDatabaseName(Dir);
    elsewhere->SetTableName("ACCOUNTS");
    accounts->Open();
    elsewhere->Open();
    EXPECT_EQ(Connection->DatabaseName(), Dir);

    EXPECT_EQ(Connection->StartTransaction(), 0);
    const TMemoryStream& journal = Connection->TransactionJournal();
    EXPECT_EQ(String(reinterpret_cast<const char*>(journal.Memory()), 24), String(24, '0'));
    EXPECT_EQ(Connection->Commit(), 0);
    EXPECT_EQ(Connection->TransactionJournal().Size(), 0);

    Connection->CloseDataSets();
    EXPECT_FALSE(accounts->Active());
    EXPECT_TRUE(elsewhere->Active());
    Connection->OpenDataSets();
    EXPECT_TRUE(accounts->Active());
    EXPECT_EQ(accounts->RecordCount(), 2);
    module->Free();
}

// A table of Count numbered records made directly with the engine.
static void MakeNumberedTable(const String& Path, int Count)
{
    ASSERT_GT(XBE_CALL(xb_CreateNew, Path.c_str(), "NUMBERED", 2, 1), 0);
    XBE_CALL(xb_CreateField, "N", "N", 6, 0);
    ASSERT_TRUE(XBE_CALL(xb_CreateExec));
    for (int i = 1; i <= Count; ++i) {
        char image[16];
        std::snprintf(image, sizeof image, " %6d", i);
        XBE_CALL(xb_AppendBlank);
        XBE_CALL(xb_PutRecord, image);
    }
    XBE_CALL(xb_Close);
}

TEST_F(ServerTableTest, AWalkFetchesEachRecordInOneRequest)
{
    MakeNumberedTable(Dir + "WALK", 10000);
    Connect();
    auto table = Open(*Connection, Dir, "WALK");
    Server->ClearFrames();
    int rows = 0;
    bool inOrder = true;
    for (table->First(); !table->Eof(); table->Next())
        inOrder &= table->FieldByName("N")->AsInteger() == ++rows;
    EXPECT_EQ(rows, 10000);
    EXPECT_TRUE(inOrder);
    // One fetch a record, and the one that finds the end, with at most a
    // window of fetches sent ahead past it: the table's cursor sync after a
    // scroll and its end test need no request of their own while the server's
    // cursor stands on the record just fetched.
    EXPECT_GE(Server->Frames("0591").size(), 10001u);
    std::map<String, int> codes;
    for (const auto& frame : Server->Frames())
        ++codes[frame.Code];
    for (const auto& [code, count] : codes)
        EXPECT_LE(count, code == "0591" ? 10001 + ReadAheadWindow : 2) << "code " << code;

    // Backwards through the last ones, as a grid scrolls up.
    table->Last();
    table->Prior();
    EXPECT_EQ(table->FieldByName("N")->AsInteger(), 9999);
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(ServerTableTest, AServerKilledMidWalkIsReportedOnce)
{
    MakeNumberedTable(Dir + "WALK", 500);
    Connect();
    auto table = Open(*Connection, Dir, "WALK");
    table->First();
    for (int i = 0; i < 99; ++i)
        table->Next();
    EXPECT_EQ(table->FieldByName("N")->AsInteger(), 100);
    // Fetches are in flight: the replies that came before the end still count.
    Server.reset();
    int n = 100;
    bool inOrder = true;
    for (int i = 0; i < 2 * ReadAheadWindow && !table->Eof(); ++i) {
        table->Next();
        inOrder &= table->Eof() || table->FieldByName("N")->AsInteger() == ++n;
    }
    EXPECT_TRUE(table->Eof());
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(table->FieldByName("N")->AsInteger(), n);
    EXPECT_LE(n, 100 + ReadAheadWindow);
    // Later calls on the table fail with the same error and report nothing more.
    EXPECT_THAT([&] { table->Edit(); }, ThrowsMessage<Exception>(StrEq("Connection lost")));
    table->First();
    table->Next();
    // Reported by the read or by the write that found the connection gone.
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_THAT(Errors[0], testing::EndsWith("] Connection lost"));
    EXPECT_EQ(Connection->LastError(), "Connection lost");
    EXPECT_FALSE(Connection->Active());
}

// Walks stopped, turned and ended at every point of the window sent ahead:
// the table shows each record in turn and the server's cursor ends on the
// table's record, as if each fetch had waited for the one before.
class WalkTest : public ServerTableTest {
protected:
    void SetUp() override
    {
        ServerTableTest::SetUp();
        Connect();
    }
    std::unique_ptr<TDaroruTable> Numbered(int Count)
    {
        const String name = "N" + std::to_string(Count);
        MakeNumberedTable(Dir + name, Count);
        return Open(*Connection, Dir, name);
    }
    static int N(TDaroruTable& Table) { return Table.FieldByName("N")->AsInteger(); }
    // From the first record onwards to the one numbered Record.
    static void WalkTo(TDaroruTable& Table, int Record)
    {
        Table.First();
        for (int i = 1; i < Record; ++i)
            Table.Next();
    }
    // The record the server's cursor stands on, asked of the server.
    int ServerRecord()
    {
        const char* n = Connection->ap_GetTrimString("N");
        return n ? StrToIntDef(Trim(n), 0) : 0;
    }
};

TEST_F(WalkTest, AWalkStoppedAnywhereLeavesTheServerOnItsRecord)
{
    auto table = Numbered(150);
    for (int stop : {1, 2, 3, 7, 40, 100, 149, 150}) {
        SCOPED_TRACE(stop);
        WalkTo(*table, stop);
        EXPECT_EQ(N(*table), stop);
        EXPECT_EQ(ServerRecord(), stop);
        table->Next();
        EXPECT_EQ(table->Eof(), stop == 150);
        EXPECT_EQ(N(*table), std::min(stop + 1, 150));
        EXPECT_EQ(ServerRecord(), std::min(stop + 1, 150));

        table->Last();
        for (int i = 1; i < stop; ++i)
            table->Prior();
        EXPECT_EQ(N(*table), 151 - stop);
        EXPECT_EQ(ServerRecord(), 151 - stop);
        table->Prior();
        EXPECT_EQ(table->Bof(), stop == 150);
        EXPECT_EQ(N(*table), std::max(150 - stop, 1));
    }
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(WalkTest, ThePollOfAnIdleWalkReadsTheFetchesInFlightFirst)
{
    auto table = Numbered(150);
    WalkTo(*table, 40);
    Server->Push("0301", "Backup starts at 22:00");
    std::vector<String> messages;
    Connection->OnServerMessage = [&](TObject*, const String& Msg) { messages.push_back(Msg); };
    for (int i = 0; i < 200 && messages.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Connection->ServiceIncoming();
    }
    EXPECT_EQ(messages, std::vector<String> {"Backup starts at 22:00"});
    EXPECT_TRUE(Connection->Active());
    EXPECT_EQ(ServerRecord(), 40);
    table->Next();
    EXPECT_EQ(N(*table), 41);
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(WalkTest, AWalkThatTurnsGoesOnFromTheRecordItStandsOn)
{
    auto table = Numbered(200);
    WalkTo(*table, 60);
    bool inOrder = N(*table) == 60;
    for (int n = 59; n >= 50; --n) {
        table->Prior();
        inOrder &= N(*table) == n;
    }
    for (int n = 51; n <= 90; ++n) {
        table->Next();
        inOrder &= N(*table) == n;
    }
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(ServerRecord(), 90);
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(WalkTest, WalksReachBothEndsOfTablesOfEverySize)
{
    for (int count : {0, 1, 2, 3, 4, 63, 64, 65, 129}) {
        SCOPED_TRACE(count);
        auto table = Numbered(count);
        int rows = 0;
        bool inOrder = true;
        for (table->First(); !table->Eof(); table->Next())
            inOrder &= N(*table) == ++rows;
        EXPECT_EQ(rows, count);
        table->Next();  // past the end stays there
        EXPECT_TRUE(table->Eof());
        rows = 0;
        for (table->Last(); !table->Bof(); table->Prior())
            inOrder &= N(*table) == count - rows++;
        EXPECT_EQ(rows, count);
        EXPECT_TRUE(inOrder);
        if (count > 0) {
            EXPECT_EQ(ServerRecord(), 1);
        }
    }
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(WalkTest, WritesOnTheConnectionAreSeenByTheWalkThatReadAhead)
{
    auto table = Numbered(100);
    WalkTo(*table, 10);
    // Record 11, long since sent ahead, is changed through another table of the connection.
    auto other = Open(*Connection, Dir, "N100");
    WalkTo(*other, 11);
    other->Edit();
    other->FieldByName("N")->SetAsInteger(1011);
    other->Post();
    table->Next();
    EXPECT_EQ(N(*table), 1011);
    // And the walk's own record in the middle of a window.
    for (int i = 0; i < 20; ++i)
        table->Next();
    table->Edit();
    table->FieldByName("N")->SetAsInteger(2031);
    table->Post();
    table->Next();
    EXPECT_EQ(N(*table), 32);

    std::vector<int> seen;
    for (other->First(); !other->Eof(); other->Next())
        seen.push_back(N(*other));
    std::vector<int> expected;
    for (int n = 1; n <= 100; ++n)
        expected.push_back(n == 11 ? 1011 : n == 31 ? 2031 : n);
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(WalkTest, AFetchAnsweredTwiceInAWalkIsRefused)
{
    auto table = Numbered(100);
    table->First();
    // The fetch of record 20 is answered twice; the server's cursor stays.
    auto fetches = std::make_shared<std::atomic<int>>(0);
    Server->On("0591", [fetches](TTestServer::TSession& S, const TTestServer::TFrame&) {
        if (++*fetches != 19)
            return false;
        const String reply = "0" + Wire::Hex(20, 8) + "     20";
        S.Send("0591", reply);
        S.Send("0591", reply);
        return true;
    });
    int n = 1;
    while (!table->Eof() && n < 100) {
        table->Next();
        n = table->Eof() ? n : N(*table);
    }
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(n, 20);
    EXPECT_FALSE(Connection->Active());
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.FillReadStream] Connection lost"});
}
