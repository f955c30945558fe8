// The cached-updates store on real tables, and the engine calls of creation and
// import as the recording engine sees them.

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/db/field.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "tables/droerror.h"
#include "tables/xbe50.h"
#include "tests/tables/fakeengine.h"
#include "tests/tables/tablefixture.h"

namespace {

String Hex(size_t Value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08zX", Value);
    return text;
}

class CacheTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("LIST.DBF", ClientListSchema);
        AppendImages("LIST.DBF", {Image(ClientListSchema, {"C1", "One"}), Image(ClientListSchema, {"C2", "Two"}),
                                  Image(ClientListSchema, {"C3", "Three"})});
        T = Table("LIST");
    }

    // The bytes the table's connection was given.
    static String Batch(TDaroruConnection& Connection)
    {
        TMemoryStream& buffer = Connection.RequestBuffer();
        String bytes(static_cast<size_t>(buffer.Size()), '\0');
        buffer.SetPosition(0);
        buffer.Read(bytes.data(), buffer.Size());
        return bytes;
    }

    TDaroruTable* T = nullptr;
};

TEST_F(CacheTest, EveryOpeningHoldsOneBlankItemPerRecord)
{
    T->Open();
    EXPECT_EQ(T->CachedItemCount(), 3);
    EXPECT_EQ(T->UpdateStatus(), usUnmodified);
    T->PutCachedItem(2, usModified, "changed");
    T->Close();
    T->Open();
    EXPECT_EQ(T->CachedItemCount(), 3);
    EXPECT_EQ(T->GetCachedItem(2), nullptr) << "reopening starts afresh";
}

TEST_F(CacheTest, ItemsAreMadeOnlyWhenUsed)
{
    // A store this large exists only because its items are not made in advance.
    T->SetLenCachedItem(INT_MAX - 1);
    EXPECT_EQ(T->CachedItemCount(), INT_MAX - 1);
    TCachedItem& item = T->PutCachedItem(77, usModified, "image");
    EXPECT_EQ(item.RecNo, 77);
    EXPECT_EQ(T->GetCachedItem(77), &item);
}

TEST_F(CacheTest, PutTakesTheItemOfTheRecordThenAFreeOneThenANewOne)
{
    T->SetLenCachedItem(2);
    TCachedItem& first = T->PutCachedItem(5, usModified, "five");
    TCachedItem& second = T->PutCachedItem(6, usDeleted, "six");
    EXPECT_EQ(&T->PutCachedItem(5, usModified, "five again"), &first);
    EXPECT_EQ(first.Image, "five again");
    EXPECT_EQ(second.Status, usDeleted);
    TCachedItem& third = T->PutCachedItem(9, usModified, "nine");
    EXPECT_EQ(third.Status, usInserted) << "a record beyond the store is new";
    EXPECT_EQ(T->CachedItemCount(), 3);
    EXPECT_TRUE(T->UpdatesPending());
}

TEST_F(CacheTest, CancelRestoresTheFirstImageOfModifiedItems)
{
    T->SetLenCachedItem(3);
    T->PutCachedItem(1, usUnmodified, "original");
    T->PutCachedItem(1, usModified, "first change");
    T->PutCachedItem(1, usModified, "second change");
    T->PutCachedItem(2, usInserted, "inserted");
    T->CancelUpdates();
    EXPECT_EQ(T->GetCachedItem(1)->Image, "original");
    EXPECT_EQ(T->GetCachedItem(1)->Status, usUnmodified);
    EXPECT_EQ(T->GetCachedItem(2)->Image, "inserted");
    EXPECT_EQ(T->GetCachedItem(2)->Status, usUnmodified);
    EXPECT_FALSE(T->UpdatesPending());
}

TEST_F(CacheTest, FetchReadsEachPositionOnceFromTheEngine)
{
    T->Open();
    String buffer(static_cast<size_t>(T->RecSize()), 'x');
    T->cu_FetchRecord(1, buffer.data());
    EXPECT_EQ(buffer.substr(1, 8), "C1      ");
    T->cu_FetchRecord(2, buffer.data());
    EXPECT_EQ(buffer.substr(1, 8), "C2      ");
    EXPECT_EQ(T->GetCachedItem(2)->FetchPosition, 2);
    T->PutCachedItem(1, usModified, Image(ClientListSchema, {"CX"}).c_str());
    T->cu_FetchRecord(1, buffer.data());
    EXPECT_EQ(buffer.substr(1, 8), "CX      ") << "a fetched position comes from the store";
}

TEST_F(CacheTest, ApplyUpdatesWritesTheBatchAndClearsTheStatuses)
{
    EXPECT_EQ(MessageOf([&] { T->ApplyUpdates(); }), "Cannot perform this operation on a closed table");
    T->Open();
    EXPECT_EQ(MessageOf([&] { T->ApplyUpdates(); }), "No DaroruConnection specified");

    TDaroruConnection empty(nullptr);
    T->SetDaroruConnection(&empty);
    T->ApplyUpdates();
    const String header = Batch(empty);
    ASSERT_EQ(header.size(), 534u);
    EXPECT_EQ(header.substr(0, Dir.size()), Dir);
    EXPECT_EQ(header.substr(255, 4), "LIST");
    EXPECT_EQ(header.substr(510, 4), "000" + std::to_string(T->WorkArea()));
    EXPECT_EQ(header.substr(518, 16), String(16, '0'));
    T->SetDaroruConnection(nullptr);

    TDaroruConnection connection(nullptr);
    T->SetDaroruConnection(&connection);
    const String image = Image(ClientListSchema, {"C2", "Changed"});
    T->PutCachedItem(2, usModified, image.c_str());
    bool called = false;
    T->OnUpdateRecord = [&](TDataSet*, int, std::uint8_t&) { called = true; };
    T->ApplyUpdates();
    const String batch = Batch(connection);
    const auto size = static_cast<size_t>(T->RecSize());
    ASSERT_EQ(batch.size(), 534u + 22u + size);
    EXPECT_EQ(batch.substr(518, 8), "00000001");
    EXPECT_EQ(batch.substr(526, 8), Hex(size + 22));
    EXPECT_EQ(batch.substr(534, 22), Hex(size) + "00000002" + "1" + "0" + "0000");
    EXPECT_EQ(batch.substr(556), image);
    EXPECT_TRUE(called);
    EXPECT_EQ(T->GetCachedItem(2)->Status, usUnmodified);
    EXPECT_FALSE(T->UpdatesPending());
    T->SetDaroruConnection(nullptr);
}

// The names of the table's records, read through the data set from the top.
std::vector<String> Names(TDaroruTable& T)
{
    std::vector<String> names;
    for (T.First(); !T.Eof(); T.Next())
        names.push_back(TrimRight(T.FieldByName("NAME")->AsString()));
    return names;
}

TEST_F(CacheTest, CachedTableBrowsesAndPostsIntoTheStoreOnly)
{
    T->Open();
    T->SetCachedUpdates(true);
    T->Invalidate();
    EXPECT_EQ(Names(*T), (std::vector<String>{"One", "Two", "Three"}));
    T->First();
    T->Next();
    T->Edit();
    T->FieldByName("NAME")->SetAsString("Changed");
    T->Post();
    EXPECT_EQ(T->UpdateStatus(), usModified);
    EXPECT_TRUE(T->UpdatesPending());
    EXPECT_EQ(Names(*T), (std::vector<String>{"One", "Changed", "Three"}));

    TDaroruTable* other = Table("LIST");
    other->Open();
    EXPECT_EQ(Names(*other), (std::vector<String>{"One", "Two", "Three"})) << "the file keeps its records";
    other->Close();

    T->CancelUpdates();
    T->Refresh();
    EXPECT_EQ(Names(*T), (std::vector<String>{"One", "Two", "Three"}));
    EXPECT_EQ(T->UpdateStatus(), usUnmodified);
}

TEST_F(CacheTest, CachedDeletionWaitsForTheBatch)
{
    T->Open();
    T->SetCachedUpdates(true);
    T->Invalidate();
    T->First();
    T->Next();
    T->Delete();
    T->cs_Go(2);
    EXPECT_TRUE(T->cs_Deleted());
    T->SetCachedUpdates(false);
    T->Close();
    T->Open();
    T->Go(2);
    EXPECT_FALSE(T->GetDeleted()) << "nothing reached the file";
}

TEST_F(CacheTest, CachedCursorMovesWithinTheCachedCount)
{
    T->Open();
    T->SetCachedUpdates(true);
    T->Invalidate();
    EXPECT_EQ(T->cs_RecNo(), 0) << "invalidating forgets the position";
    EXPECT_TRUE(T->cs_Bof());
    T->cs_GoBottom();
    EXPECT_EQ(T->cs_RecNo(), 3);
    T->cs_Go(4);
    EXPECT_EQ(T->cs_RecNo(), 3) << "a position past the count is refused";
    T->cs_Skip(1);
    EXPECT_TRUE(T->cs_Eof());
    T->cs_Skip(1);
    EXPECT_EQ(T->cs_RecNo(), 4) << "no move from past the end";
    T->cs_Go(1);
    T->cs_Skip(-1);
    EXPECT_TRUE(T->cs_Bof());
    EXPECT_TRUE(T->cs_Rlock(2));
    EXPECT_FALSE(T->cs_Locked(2));
}

TEST_F(CacheTest, CachedTableAnswersWithTheOrderAndCountItKept)
{
    T->Open();
    T->SetCachedUpdates(true);
    CreateTable("ONE.DBF", ClientListSchema);
    AppendImages("ONE.DBF", {Image(ClientListSchema, {"C9", "Other"})});
    Table("ONE")->Open();  // its work area is the engine's now
    T->SelectForSxCall();
    T->cs_SetOrder(3);
    EXPECT_EQ(T->cs_IndexOrd(), 3) << "kept although the table has no such order";
    T->cs_GoTop();
    T->cs_Query("ID='C2'");
    EXPECT_EQ(T->cs_RecNo(), 0) << "a query invalidates the positions";
    EXPECT_EQ(T->cs_RecCount(), 3) << "an unoptimised query counts every record";
    T->PutCachedItem(2, usModified, "kept");
    T->cs_Query("");
    ASSERT_NE(T->GetCachedItem(2), nullptr) << "a query keeps changes not yet applied";
    EXPECT_EQ(T->GetCachedItem(2)->Image, "kept");
}

TEST_F(CacheTest, FetchOutOfOrderReadsTheRecordOfThePosition)
{
    T->Open();
    String buffer(static_cast<size_t>(T->RecSize()), 'x');
    T->cu_FetchRecord(3, buffer.data());
    EXPECT_EQ(buffer.substr(1, 8), "C3      ");
    T->cu_FetchRecord(2, buffer.data());
    EXPECT_EQ(buffer.substr(1, 8), "C2      ");
    String again(static_cast<size_t>(T->RecSize()), '\0');
    T->cu_FetchRecord(3, again.data());
    EXPECT_EQ(again.substr(1, 8), "C3      ") << "a stored image fills the whole record";
}

// Creation and import as calls to the engine.
class EngineCallTest : public FakeEngineTest {
protected:
    using Calls = std::vector<std::string>;
};

TEST_F(EngineCallTest, CreationSelectsThePendingDefinition)
{
    TDaroruTable t(nullptr);
    t.SetDatabaseName("/data/clients/");
    Fake().Results["xb_CreateNew"] = 4;
    Fake().Results["xb_CreateExec"] = 1;
    ASSERT_TRUE(t.CreateNew("TOTTRANS", 2, 1));
    EXPECT_EQ(t.WorkArea(), -4);
    t.CreateField("AMOUNT", "N", 10, 2);
    t.CreateExec();
    const Calls tail(Fake().Calls.end() - 6, Fake().Calls.end());
    EXPECT_EQ(tail, (Calls{"xb_CreateNew(\"/data/clients/TOTTRANS\",\"TOTTRANS\",2,1)", "xb_Select(4)",
                           "xb_CreateField(\"AMOUNT\",\"N\",10,2)", "xb_Select(4)", "xb_CreateExec()", "xb_Close()"}));
    EXPECT_EQ(t.WorkArea(), 0);
}

TEST_F(EngineCallTest, FailedCreationLeavesNothingPending)
{
    TDaroruTable t(nullptr);
    Fake().Results["xb_CreateNew"] = 0;
    EXPECT_FALSE(t.CreateNew("/tmp/NEVER", 2, 1));
    EXPECT_EQ(MessageOf([&] { t.CreateField("A", "C", 1, 0); }), "Must call CreateNew before CreateField");
}

TEST_F(EngineCallTest, AppendFromPassesItsArgumentsAndRefreshes)
{
    char pattern[] = "/tmp/tables-fake-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const String dir = String(pattern) + "/";
    ASSERT_TRUE(WriteFileAtomically(dir + "T.DBF", String(1, '\x30')));
    TDaroruTable t(nullptr);
    t.SetDatabaseName(dir);
    t.SetTableName("T");
    Fake().Results["xb_Use"] = 3;
    Fake().Results["xb_RecSize"] = 1;
    t.SetSpeedMode(WordTrue);
    t.Open();
    Fake().Results["xb_AppendFrom"] = 12;
    Fake().Clear();
    EXPECT_EQ(t.AppendFrom("/old/T.DBF", 2, "EMP_ID='E1'"), 12);
    ASSERT_GE(Fake().Calls.size(), 3u);
    EXPECT_EQ(Calls(Fake().Calls.begin(), Fake().Calls.begin() + 3),
              (Calls{"xb_Select(3)", "xb_AppendFrom(\"/old/T.DBF\",2,\"EMP_ID='E1'\")", "xb_Commit()"}));
    Fake().Clear();
    t.RecordCount();
    EXPECT_NE(std::find(Fake().Calls.begin(), Fake().Calls.end(), "xb_RecCount()"), Fake().Calls.end())
        << "the count is read again";
    t.Close();
    t.SetReadOnly(WordTrue);
    EXPECT_EQ(MessageOf([&] { t.AppendFrom("/old/T.DBF", 2, ""); }), "Cannot modify a read-only data set");
    DeleteFile(dir + "T.DBF");
    RemoveDir(dir);
}

}  // namespace
