// Tables reached through the server: two clients of one server and the
// refusal of cached updates that the server cannot take.

#include <gmock/gmock.h>

#include "platform/classes/datamodule.h"
#include "tables/drodset.h"
#include "tables/xbe50.h"
#include "tests/remote/remotefixture.h"

using testing::StrEq;
using testing::ThrowsMessage;

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
    // One fetch a record, and the one that finds the end: the table's cursor
    // sync after a scroll and its end test need no request of their own while
    // the server's cursor stands on the record just fetched.
    EXPECT_EQ(Server->Frames("0591").size(), 10001u);
    std::map<String, int> codes;
    for (const auto& frame : Server->Frames())
        ++codes[frame.Code];
    for (const auto& [code, count] : codes)
        EXPECT_LE(count, code == "0591" ? 10001 : 2) << "code " << code;

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
    Server.reset();
    for (int i = 0; i < 50 && !table->Eof(); ++i)
        table->Next();
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(table->FieldByName("N")->AsInteger(), 100);
    // Later calls on the table fail with the same error and report nothing more.
    EXPECT_THAT([&] { table->Edit(); }, ThrowsMessage<Exception>(StrEq("Connection lost")));
    table->First();
    table->Next();
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.FillReadStream] Connection lost"});
    EXPECT_EQ(Connection->LastError(), "Connection lost");
    EXPECT_FALSE(Connection->Active());
}
