// The cached-updates store on real tables, and the engine calls of creation and
// import as the recording engine sees them.

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <utility>

#include "platform/db/field.h"
#include "platform/rtl/fileops.h"
#include "tables/droerror.h"
#include "tables/xbe50.h"
#include "tests/support/fakeengine.h"
#include "tests/support/tablefixture.h"
#include "tests/support/tempdir.h"

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
        AppendImages("LIST.DBF",
                     {Image(ClientListSchema, {"C1", "One"}), Image(ClientListSchema, {"C2", "Two"}),
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

String NameOf(TDaroruTable& T) { return T.FieldByName("NAME")->AsString(); }

// One field of every record, read through the data set from the top.
std::vector<String> Column(TDaroruTable& T, const char* Field)
{
    std::vector<String> values;
    for (T.First(); !T.Eof(); T.Next())
        values.push_back(T.FieldByName(Field)->AsString());
    return values;
}

std::vector<String> Names(TDaroruTable& T) { return Column(T, "NAME"); }

TEST_F(CacheTest, CachedTableBrowsesAndPostsIntoTheStoreOnly)
{
    T->Open();
    T->SetCachedUpdates(true);
    T->Invalidate();
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three"}));
    T->First();
    T->Next();
    T->Edit();
    T->FieldByName("NAME")->SetAsString("Changed");
    T->Post();
    EXPECT_EQ(T->UpdateStatus(), usModified);
    EXPECT_TRUE(T->UpdatesPending());
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Changed", "Three"}));

    TDaroruTable* other = Table("LIST");
    other->Open();
    EXPECT_EQ(Names(*other), (std::vector<String> {"One", "Two", "Three"})) << "the file keeps its records";
    other->Close();

    T->CancelUpdates();
    T->Refresh();
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three"}));
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

// A table opened with cached updates and a record added through the data set:
// appended, or inserted before the second record.
class CachedAddTest : public CacheTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        CacheTest::SetUp();
        T->SetCachedUpdates(true);
        T->Open();
        if (GetParam()) {
            T->First();
            T->Next();
            T->Insert();
        } else {
            T->Append();
        }
        T->FieldByName("ID")->SetAsString("C4");
        T->FieldByName("NAME")->SetAsString("Four");
        T->Post();
    }

    const std::vector<String> FileBefore {"C1|One||", "C2|Two||", "C3|Three||"};
};

INSTANTIATE_TEST_SUITE_P(AppendOrInsert, CachedAddTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& Info) {
                             return Info.param ? "Insert" : "Append";
                         });

TEST_P(CachedAddTest, NewRecordWaitsInTheStoreAfterTheLast)
{
    EXPECT_EQ(T->RecordCount(), 4);
    EXPECT_EQ(T->RecNo(), 4);
    EXPECT_EQ(NameOf(*T), "Four");
    EXPECT_EQ(T->UpdateStatus(), usInserted);
    EXPECT_TRUE(T->UpdatesPending());

    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three", "Four"}));
    T->Last();
    EXPECT_EQ(NameOf(*T), "Four");
    T->Prior();
    EXPECT_EQ(NameOf(*T), "Three");
    T->Next();
    T->Next();
    EXPECT_TRUE(T->Eof());
    EXPECT_EQ(NameOf(*T), "Four");

    std::vector<String> file = FileBefore;
    file.push_back("|||");
    EXPECT_EQ(ReadBack("LIST.DBF"), file) << "the record reached the file at once, without its values";
}

TEST_P(CachedAddTest, CancelLeavesTheNewRecordAsTheFileHasIt)
{
    T->CancelUpdates();
    T->Refresh();
    EXPECT_EQ(T->UpdateStatus(), usUnmodified);
    EXPECT_EQ(T->RecordCount(), 4);
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three", ""}));
    T->SetCachedUpdates(false);
    T->Close();
    T->Open();
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three", ""}));
}

TEST_P(CachedAddTest, ApplySendsTheNewRecordAsInserted)
{
    EXPECT_EQ(MessageOf([&] { T->ApplyUpdates(); }), "No DaroruConnection specified");
    EXPECT_EQ(T->UpdateStatus(), usInserted) << "a batch that could not be written keeps the change";

    TDaroruConnection connection(nullptr);
    T->SetDaroruConnection(&connection);
    T->ApplyUpdates();
    const String batch = Batch(connection);
    const auto size = static_cast<size_t>(T->RecSize());
    ASSERT_EQ(batch.size(), 534u + 22u + size);
    EXPECT_EQ(batch.substr(518, 8), "00000001");
    EXPECT_EQ(batch.substr(534, 22), Hex(size) + "00000004" + "2" + "0" + "0000");
    EXPECT_EQ(batch.substr(556), Image(ClientListSchema, {"C4", "Four"}));
    EXPECT_EQ(T->UpdateStatus(), usUnmodified);
    EXPECT_FALSE(T->UpdatesPending());
    EXPECT_EQ(ReadBack("LIST.DBF").back(), "|||") << "the batch is the server's to write";
    T->Edit();
    T->FieldByName("NAME")->SetAsString("Five");
    T->Post();
    T->CancelUpdates();
    T->Refresh();
    EXPECT_EQ(NameOf(*T), "Four") << "cancelling goes back to the applied values";
    T->SetDaroruConnection(nullptr);
}

TEST_F(CacheTest, CachedAddStaysAfterTheLastWhateverTheOrder)
{
    T->SetExclusive(WordTrue);
    T->Open();
    T->IndexTag("", "NAME", "NAME", 0, false, "");
    T->SetCachedUpdates(true);
    T->Invalidate();
    T->Append();
    T->FieldByName("NAME")->SetAsString("Four");
    T->Post();
    EXPECT_EQ(T->RecNo(), 4);
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Three", "Two", "Four"}))
            << "the blank record in the file sorts first, but is not read twice";
    T->SetRecNo(2);
    EXPECT_EQ(NameOf(*T), "Three");
    EXPECT_EQ(T->RecNo(), 2);

    T->SetOrder(0);
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three", "Four"}));
    EXPECT_EQ(T->UpdateStatus(), usInserted);
    EXPECT_TRUE(T->UpdatesPending()) << "a new order keeps the record added";
    T->CancelUpdates();
    T->Refresh();
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three", ""}));
}

TEST_F(CacheTest, CachedPostsKeepThePositionOfTheFirstRecord)
{
    CreateTable("EMPTY.DBF", ClientListSchema);
    TDaroruTable* t = Table("EMPTY");
    t->Open();
    t->SetCachedUpdates(true);
    t->Invalidate();
    t->Append();
    t->FieldByName("NAME")->SetAsString("First");
    t->Post();
    EXPECT_EQ(t->RecNo(), 1);
    EXPECT_EQ(t->RecordCount(), 1);
    t->Edit();
    t->FieldByName("NAME")->SetAsString("Changed");
    t->Post();
    EXPECT_EQ(t->RecNo(), 1);
    EXPECT_EQ(t->UpdateStatus(), usInserted) << "a new record stays new when changed again";
    EXPECT_EQ(Names(*t), (std::vector<String> {"Changed"}));
}

TEST_F(CacheTest, StructureCopyWritesTheNewTableOnly)
{
    T->SetCachedUpdates(true);
    T->Open();
    T->First();
    EXPECT_TRUE(T->CopyStructureExtended(Dir + "STRUCT"));
    EXPECT_EQ(ReadBack("STRUCT.DBF"),
              (std::vector<String> {"ID|C|8|0", "NAME|C|40|0", "PATH|C|60|0", "YEAR|C|2|0"}));
    EXPECT_EQ(T->RecordCount(), 3);
    EXPECT_FALSE(T->UpdatesPending()) << "the new table's records are not this one's";
    EXPECT_EQ(Names(*T), (std::vector<String> {"One", "Two", "Three"}));
}

TEST_F(CacheTest, CachedRecordWriteGoesToTheStoreAtTheCursor)
{
    T->SetSpeedMode(WordTrue);
    T->SetCachedUpdates(true);
    T->Open();
    const String image = Image(ClientListSchema, {"CX", "Written"});
    T->Go(3);  // not read yet
    T->PutRecord(image.c_str());
    EXPECT_EQ(T->UpdateStatus(), usModified);
    String record(static_cast<size_t>(T->RecSize()), ' ');
    T->Go(1);
    T->DaroruGetRecord(record.data());
    EXPECT_EQ(record.substr(1, 8), "C1      ");
    T->Go(3);
    T->DaroruGetRecord(record.data());
    EXPECT_EQ(record, image);

    T->Invalidate();
    EXPECT_THROW(T->PutRecord(image.c_str()), EDaroruError) << "no record at the cursor";
    T->Close();
    EXPECT_EQ(ReadBack("LIST.DBF"), (std::vector<String> {"C1|One||", "C2|Two||", "C3|Three||"}));
}

// Five records, the second to the fourth with a memo written by the engine.
class CachedMemoTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        CreateTable("NOTES.DBF", Layout);
        AppendImages("NOTES.DBF", {Image(Layout, {"A"}), Image(Layout, {"B"}), Image(Layout, {"C"}),
                                   Image(Layout, {"D"}), Image(Layout, {"E"})});
        ASSERT_GT(XBE_CALL(xb_Use, (Dir + "NOTES.DBF").c_str(), "SEEDING", 0, 2), 0) << XbeLastErrorText();
        for (const auto& [recno, text] :
             {std::pair {2, "two"}, std::pair {3, "three"}, std::pair {4, "four"}}) {
            XBE_CALL(xb_Go, recno);
            ASSERT_TRUE(XBE_CALL(xb_Replace, "NOTES", 3072, text)) << XbeLastErrorText();
        }
        XBE_CALL(xb_Close);
        T = Table("NOTES");
    }

    // The memo of the cursor's record, read by the direct call.
    String DirectMemo()
    {
        char* memo = T->GetMemo("NOTES", 0);
        const String text = memo ? memo : "";
        if (!text.empty())
            T->MemDealloc(memo);
        return text;
    }

    const std::vector<FieldLayout> Layout {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};
    const std::vector<String> Memos {"", "two", "three", "four", ""};
    const std::vector<String> File {"A|", "B|two", "C|three", "D|four", "E|"};
    TDaroruTable* T = nullptr;
};

TEST_F(CachedMemoTest, CachedReadsGiveEachRecordItsOwnMemo)
{
    T->SetCachedUpdates(true);
    T->Open();
    EXPECT_EQ(Column(*T, "NOTES"), Memos);
    T->Last();
    T->MoveBy(-2);
    EXPECT_EQ(T->FieldByName("NOTES")->AsString(), "three");
    EXPECT_EQ(DirectMemo(), "three");
    EXPECT_EQ(T->GetBlobLength("NOTES"), 5);
}

// A memo posted through the data set in cached mode, on the third of the five
// records or on a record added to the store.
class CachedMemoPostTest : public CachedMemoTest, public ::testing::WithParamInterface<bool> { };

INSTANTIATE_TEST_SUITE_P(ExistingOrAdded, CachedMemoPostTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& Info) {
                             return Info.param ? "Added" : "Third";
                         });

TEST_P(CachedMemoPostTest, MemoLandsOnTheCursorsRecordOnly)
{
    const bool added = GetParam();
    T->SetCachedUpdates(true);
    T->Open();
    if (added) {
        T->Append();
        T->FieldByName("ID")->SetAsString("F");
    } else {
        T->First();
        T->MoveBy(2);
        T->Edit();
    }
    T->FieldByName("NOTES")->SetAsString("posted");
    T->Post();
    EXPECT_EQ(T->FieldByName("NOTES")->AsString(), "posted");
    EXPECT_EQ(T->UpdateStatus(), added ? usInserted : usModified);
    const TCachedItem* item = T->GetCachedItem(added ? 6 : 3);
    ASSERT_NE(item, nullptr);
    EXPECT_NE(item->Image.substr(5, 10), String(10, ' ')) << "the stored image refers to the memo";

    std::vector<String> memos = Memos;
    std::vector<String> file = File;
    if (added) {
        memos.push_back("posted");
        file.push_back("|posted");
    } else {
        memos[2] = "posted";
        file[2] = "C|posted";
    }
    EXPECT_EQ(Column(*T, "NOTES"), memos) << "read in cached mode";
    T->SetCachedUpdates(false);
    T->Close();
    T->Open();
    EXPECT_EQ(Column(*T, "NOTES"), memos) << "read from the file";
    T->Close();
    EXPECT_EQ(ReadBack("NOTES.DBF"), file) << "the memo data reach the file at once, the other values wait";
}

TEST_F(CachedMemoTest, DirectWritesGoToTheCursorsRecordWhereverTheEngineWas)
{
    T->SetSpeedMode(WordTrue);
    T->SetCachedUpdates(true);
    T->Open();
    String record(static_cast<size_t>(T->RecSize()), ' ');
    T->Go(5);
    T->DaroruGetRecord(record.data());  // the engine reads the fifth record
    T->Go(3);
    EXPECT_EQ(DirectMemo(), "three");
    T->Replace("NOTES", 3072, "replaced");
    T->Go(4);
    T->PutBlob("NOTES", "put", 3);
    T->Go(1);
    EXPECT_EQ(DirectMemo(), "");
    T->Go(3);
    EXPECT_EQ(DirectMemo(), "replaced");
    T->Go(4);
    EXPECT_EQ(DirectMemo(), "put");
    T->Close();
    EXPECT_EQ(ReadBack("NOTES.DBF"), (std::vector<String> {"A|", "B|two", "C|replaced", "D|put", "E|"}));
}

TEST_F(CachedMemoTest, WithoutACachedRecordNothingIsReadOrWritten)
{
    T->SetSpeedMode(WordTrue);
    T->SetCachedUpdates(true);
    T->Open();
    const std::pair<const char*, std::function<void()>> cursors[] = {
            {"before the first", [&] { T->Invalidate(); }},
            {"past the last",
             [&] {
                 T->Go(5);
                 T->cs_Skip(1);
             }},
    };
    for (const auto& [where, move] : cursors) {
        move();
        EXPECT_THROW(T->Replace("NOTES", 3072, "lost"), EDaroruError) << where;
        EXPECT_THROW(T->PutBlob("NOTES", "lost", 4), EDaroruError) << where;
        EXPECT_THROW(DirectMemo(), EDaroruError) << where;
    }
    T->Close();
    EXPECT_EQ(ReadBack("NOTES.DBF"), File);
}

// Creation and import as calls to the engine.
class EngineCallTest : public FakeEngineTest {
protected:
    using Calls = std::vector<std::string>;

    void TearDown() override
    {
        Scratch.reset();
        FakeEngineTest::TearDown();
    }

    // Opens T in speed mode on a table file of a fresh directory, as the fake's work area 3.
    void OpenOnFake(TDaroruTable& T)
    {
        Scratch.emplace("tables-fake");
        Dir = Scratch->Path();
        ASSERT_TRUE(WriteFileAtomically(Dir + "T.DBF", String(1, '\x30')));
        T.SetDatabaseName(Dir);
        T.SetTableName("T");
        Fake().Results["xb_Use"] = 3;
        Fake().Results["xb_RecSize"] = 1;
        T.SetSpeedMode(WordTrue);
        T.Open();
    }

    std::optional<TempDir> Scratch;
    String Dir;
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
    EXPECT_EQ(tail, (Calls {"xb_CreateNew(\"/data/clients/TOTTRANS\",\"TOTTRANS\",2,1)", "xb_Select(4)",
                            "xb_CreateField(\"AMOUNT\",\"N\",10,2)", "xb_Select(4)", "xb_CreateExec()",
                            "xb_Close()"}));
    EXPECT_EQ(t.WorkArea(), 0);
}

TEST_F(EngineCallTest, FailedCreationLeavesNothingPending)
{
    TDaroruTable t(nullptr);
    Fake().Results["xb_CreateNew"] = 0;
    EXPECT_FALSE(t.CreateNew("/tmp/NEVER", 2, 1));
    EXPECT_EQ(MessageOf([&] { t.CreateField("A", "C", 1, 0); }), "Must call CreateNew before CreateField");
}

TEST_F(EngineCallTest, AppendTakesTheEngineRecordInAtTheEndOfTheCursor)
{
    TDaroruTable t(nullptr);
    Fake().Results["xb_RecCount"] = 3;
    OpenOnFake(t);
    EXPECT_EQ(t.RecordCount(), 3);

    Fake().Results["xb_AppendBlank"] = 1;
    Fake().Results["xb_RecNo"] = 4;
    Fake().Results["xb_RecCount"] = 4;
    t.Append();
    EXPECT_EQ(t.RecordCount(), 4) << "the count takes in the new record at once";
    EXPECT_EQ(t.cs_RecNo(), 4);

    // Cached: the engine's record 9 is the cursor's fifth.
    t.SetCachedUpdates(true);
    Fake().Results["xb_RecNo"] = 9;
    Fake().Results["xb_RecCount"] = 9;
    t.Append();
    EXPECT_EQ(t.cs_RecNo(), 5);
    EXPECT_EQ(t.cs_RecCount(), 5);
    ASSERT_NE(t.GetCachedItem(9), nullptr);
    EXPECT_EQ(t.GetCachedItem(9)->FetchPosition, 5);
    EXPECT_EQ(t.GetCachedItem(9)->Status, usInserted);

    // The query's count takes the added record in; the store keeps it after the last.
    Fake().Results["xb_QueryTest"] = 1;
    Fake().Results["xb_QueryRecCount"] = 2;
    Fake().Results["xb_GetQueryBit"] = 1;
    t.cs_Query("ID='C9'");
    EXPECT_EQ(t.cs_RecCount(), 2);
    EXPECT_EQ(t.GetCachedItem(9)->FetchPosition, 2);
    EXPECT_EQ(t.GetCachedItem(9)->Status, usInserted);
    t.cs_GoBottom();
    EXPECT_EQ(t.UpdateStatus(), usInserted);

    t.CancelUpdates();
    Fake().Results["xb_AppendBlank"] = 0;
    EXPECT_EQ(MessageOf([&] { t.Append(); }).substr(0, 25), "Unable to append a record");
    EXPECT_EQ(t.cs_RecNo(), 2);
    EXPECT_EQ(t.cs_RecCount(), 2);
    EXPECT_FALSE(t.UpdatesPending()) << "a refused append leaves nothing to apply";
}

TEST_F(EngineCallTest, CachedMemoCallsGoToTheCachedRecordOrNowhere)
{
    TDaroruTable t(nullptr);
    Fake().Results["xb_RecCount"] = 3;
    OpenOnFake(t);
    t.SetCachedUpdates(true);
    t.cs_Go(2);
    Fake().Results["xb_RecNo"] = 7;  // the engine's record at the second position
    char buffer[8] = {};
    const std::pair<std::string, std::function<void()>> calls[] = {
            {"xb_GetMemo", [&] { t.cs_GetMemo("NOTES", 0); }},
            {"xb_GetBlob", [&] { t.cs_GetBlob("NOTES", buffer); }},
            {"xb_GetBlobLength", [&] { t.cs_GetBlobLength("NOTES"); }},
            {"xb_BlobToFile", [&] { t.cs_BlobToFile("NOTES", "/tmp/never"); }},
            {"xb_PutBlob", [&] { t.cs_PutBlob("NOTES", "x", 1); }},
            {"xb_Replace", [&] { t.cs_Replace("NOTES", 3072, "x"); }},
    };
    // The index of the first logged call that starts with Prefix; -1 when there is none.
    const auto first = [](const std::string& Prefix) {
        const auto& log = Fake().Calls;
        const auto at = std::find_if(log.begin(), log.end(),
                                     [&](const std::string& Call) { return Call.rfind(Prefix, 0) == 0; });
        return at == log.end() ? -1 : static_cast<int>(at - log.begin());
    };
    for (const auto& [name, call] : calls) {
        Fake().Results["xb_Eof"] = 0;
        Fake().Clear();
        call();
        const int go = first("xb_Go(7)");
        EXPECT_GE(go, 0) << name;
        EXPECT_LT(go, first(name + "(")) << name << ": the engine goes to the record first";

        Fake().Results["xb_Eof"] = 1;  // the record is no longer there
        Fake().Clear();
        EXPECT_THROW(call(), EDaroruError) << name;
        EXPECT_EQ(first(name + "("), -1) << name;
    }
}

TEST_F(EngineCallTest, AppendFromPassesItsArgumentsAndRefreshes)
{
    TDaroruTable t(nullptr);
    OpenOnFake(t);
    Fake().Results["xb_AppendFrom"] = 12;
    Fake().Clear();
    EXPECT_EQ(t.AppendFrom("/old/T.DBF", 2, "EMP_ID='E1'"), 12);
    ASSERT_GE(Fake().Calls.size(), 3u);
    EXPECT_EQ(Calls(Fake().Calls.begin(), Fake().Calls.begin() + 3),
              (Calls {"xb_Select(3)", "xb_AppendFrom(\"/old/T.DBF\",2,\"EMP_ID='E1'\")", "xb_Commit()"}));
    Fake().Clear();
    t.RecordCount();
    EXPECT_NE(std::find(Fake().Calls.begin(), Fake().Calls.end(), "xb_RecCount()"), Fake().Calls.end())
            << "the count is read again";
    t.Close();
    t.SetReadOnly(WordTrue);
    EXPECT_EQ(MessageOf([&] { t.AppendFrom("/old/T.DBF", 2, ""); }), "Cannot modify a read-only data set");
}

}  // namespace
