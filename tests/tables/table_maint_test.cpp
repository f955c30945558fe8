// Packing, zapping, recalling, direct writes, memo data and the refresh of open
// tables when an engine setting changes.

#include <fstream>
#include <iterator>

#include "platform/classes/datamodule.h"
#include "platform/db/datasource.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "tables/droenv.h"
#include "tables/droerror.h"
#include "tables/xbe50.h"
#include "tests/support/tablefixture.h"

namespace {

const std::vector<FieldLayout> Schema = {{"NAME", 'C', 6, 0},
                                         {"SMALL", 'N', 4, 0},
                                         {"AMOUNT", 'N', 8, 2},
                                         {"PAID", 'D', 8, 0},
                                         {"FLAG", 'L', 1, 0}};

class MaintenanceTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        MakeKinds();
        T = Table("KINDS");
    }
    // The table of five records, made anew.
    void MakeKinds()
    {
        CreateTable("KINDS.DBF", Schema);
        std::vector<String> images;
        for (int i = 1; i <= 5; ++i)
            images.push_back(Image(Schema, {"R" + std::to_string(i), std::to_string(i)}));
        AppendImages("KINDS.DBF", images);
    }
    TDaroruTable* T = nullptr;
};

TEST_F(MaintenanceTest, PackChecksReadOnlyThenExclusiveThenOpen)
{
    T->SetReadOnly(WordTrue);
    T->Open();
    EXPECT_EQ(MessageOf([&] { T->Pack(); }), "Cannot modify a read-only data set");
    T->Close();
    T->SetReadOnly(WordFalse);
    T->Open();
    EXPECT_EQ(MessageOf([&] { T->Pack(); }),
              "Table must be opened in Exclusive mode to perform this operation");
    EXPECT_EQ(MessageOf([&] { T->Zap(); }),
              "Table must be opened in Exclusive mode to perform this operation");
    T->Close();
    T->SetExclusive(WordTrue);
    EXPECT_EQ(MessageOf([&] { T->Pack(); }), "Cannot perform this operation on a closed table");
    EXPECT_EQ(MessageOf([&] { T->Zap(); }), "no error");
}

TEST_F(MaintenanceTest, PackAfterDeleteKeepsTheRestInOrder)
{
    T->SetExclusive(WordTrue);
    T->Open();
    T->Go(2);
    T->Delete();
    T->Go(4);
    T->Delete();
    EXPECT_EQ(T->RecCount(), 5);
    T->Pack();
    EXPECT_EQ(T->RecCount(), 3);
    EXPECT_EQ(T->RecordCount(), 3);
    T->Close();
    EXPECT_EQ(ReadBack("KINDS.DBF"), (std::vector<String> {"R1|1|||", "R3|3|||", "R5|5|||"}));
    T->Open();
    T->Zap();
    EXPECT_EQ(T->RecCount(), 0);
    EXPECT_TRUE(T->Eof());
}

// The appends and edits of a group reach the file once the group is done,
// shared or exclusive; a group given up by an exception keeps what
// was written before it, as writes without a group would.
TEST_F(MaintenanceTest, AGroupOfWritesKeepsEveryWriteDoneOrGivenUp)
{
    for (bool givenUp : {false, true}) {
        SCOPED_TRACE(givenUp ? "given up" : "done");
        T->SetExclusive(givenUp ? WordFalse : WordTrue);
        T->Open();
        try {
            TDaroruWriteGroup group(T);
            T->First();
            T->Edit();
            T->FieldByName("SMALL")->SetAsInteger(50);
            T->Post();
            T->Append();
            T->FieldByName("NAME")->SetAsString("G1");
            T->FieldByName("SMALL")->SetAsInteger(61);
            T->Post();
            T->Append();
            T->FieldByName("NAME")->SetAsString("G2");
            T->Post();
            if (givenUp)
                throw EDatabaseError("stopped");
            group.Done();
        } catch (const EDatabaseError&) {
        }
        T->Close();
        std::vector<String> rows = ReadBack("KINDS.DBF");
        ASSERT_EQ(rows.size(), 7u);
        EXPECT_EQ(rows[0], "R1|50|||");
        EXPECT_EQ(rows[5], "G1|61|||");
        EXPECT_EQ(rows[6], "G2||||");
        MakeKinds();
    }
}

TEST_F(MaintenanceTest, RecallTakesTheDeleteMarkAway)
{
    T->Open();
    T->Go(2);
    T->Delete();
    T->Go(2);
    T->Recall();
    T->Close();
    EXPECT_EQ(ReadBack("KINDS.DBF").size(), 5u);
    EXPECT_EQ(ReadBack("KINDS.DBF")[1], "R2|2|||");

    CreateTable("EMPTY.DBF", Schema);
    TDaroruTable* empty = Table("EMPTY");
    empty->Open();
    EXPECT_EQ(MessageOf([&] { empty->Recall(); }), "Cannot perform this operation on an empty table");
}

TEST_F(MaintenanceTest, ReplaceStoresEachTypeCodeThroughTheField)
{
    T->Open();
    T->Go(1);
    const char zero = 0;
    const double amount = 12.5;
    const std::int32_t julian = 2451545;
    const std::int32_t small = 77;
    EXPECT_EQ(MessageOf([&] { T->Replace("FLAG", 128, &zero); }),
              "Data set must be in Edit or Insert mode to update");
    T->Edit();
    T->Replace("FLAG", 128, &zero);
    T->Replace("AMOUNT", 8, &amount);
    T->Replace("PAID", 32, &julian);
    T->Replace("SMALL", 1, &small);
    T->Replace("NAME", 1024, "New");
    T->Post();
    T->Close();
    EXPECT_EQ(ReadBack("KINDS.DBF")[0], "New|77|12.5|2000-01-01|False");
}

TEST_F(MaintenanceTest, EngineWriteFailuresAreReportedNotIgnored)
{
    T->Open();
    T->SetSpeedMode(WordTrue);
    T->Go(1);
    const String message = MessageOf([&] { T->Replace("SMALL", 1024, "123456"); });
    EXPECT_EQ(message.rfind("Unable to replace the value", 0), 0u) << message;
    EXPECT_EQ(MessageOf([&] { T->Replace("NOSUCH", 1024, "1"); }).rfind("Unable to replace the value", 0),
              0u);
}

TEST_F(MaintenanceTest, BlobWritesWaitForThePostOutsideSpeedMode)
{
    T->Open();
    EXPECT_EQ(MessageOf([&] { T->PutBlob("NAME", "x", 1); }),
              "Data set must be in Edit or Insert mode to update");
    const std::vector<FieldLayout> memo = {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};
    CreateTable("NOTES.DBF", memo);
    AppendImages("NOTES.DBF", {Image(memo, {"A"}), Image(memo, {"B"})});
    TDaroruTable* notes = Table("NOTES");
    notes->Open();
    EXPECT_TRUE(notes->FieldByName("NOTES")->IsNull());
    notes->Edit();
    notes->FieldByName("NOTES")->SetAsString("first memo text");
    notes->Post();
    notes->Next();
    notes->Edit();
    notes->PutBlob("NOTES", "second", 6);
    notes->Post();
    notes->Close();
    notes->Open();
    EXPECT_EQ(notes->FieldByName("NOTES")->AsString(), "first memo text");
    notes->Next();
    EXPECT_EQ(notes->FieldByName("NOTES")->AsString(), "second");
    notes->Close();
    EXPECT_EQ(ReadBack("NOTES.DBF"), (std::vector<String> {"A|first memo text", "B|second"}));
}

TEST_F(MaintenanceTest, RecordAddedWithoutAMemoRefersToNone)
{
    const std::vector<FieldLayout> memo = {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};
    CreateTable("NOTES.DBF", memo);
    TDaroruTable* notes = Table("NOTES");
    notes->Open();
    notes->Append();
    notes->FieldByName("ID")->SetAsString("A");
    EXPECT_TRUE(notes->FieldByName("NOTES")->IsNull());
    notes->Post();
    EXPECT_TRUE(notes->FieldByName("NOTES")->IsNull());
    notes->Close();
    std::ifstream in(Dir + "NOTES.DBF", std::ios::binary);
    const String file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const String record = Image(memo, {"A"});
    ASSERT_GT(file.size(), record.size());
    EXPECT_EQ(file.substr(file.size() - 1 - record.size()), record + "\x1a")
            << "a blank reference, as the engine writes it";
}

TEST_F(MaintenanceTest, ChangingTheDeletedSettingRefreshesOpenTablesEachTime)
{
    TDataModule* module = Construct<TDataModule>(nullptr);
    auto* env = new TDaroruEnv(module);
    auto* table = new TDaroruTable(module);
    table->SetDatabaseName(Dir);
    table->SetTableName("KINDS");
    auto* source = new TDataSource(module);
    source->SetDataSet(table);
    table->Open();
    int changes = 0;
    source->OnDataChange = [&](TObject*, TField*) { ++changes; };
    env->SetDeleted(WordTrue);
    const int once = changes;
    EXPECT_GT(once, 0);
    env->SetDeleted(WordTrue);
    EXPECT_EQ(changes, 2 * once);
    env->SetDeleted(WordFalse);
    module->Free();
}

}  // namespace
