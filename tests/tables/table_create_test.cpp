// Creating tables through the layer, copying their structure, and file-level
// operations, on real files.

#include <filesystem>
#include <fstream>

#include "platform/db/field.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/stringlist.h"
#include "tables/droerror.h"
#include "tables/xbe50.h"
#include "tests/support/tablefixture.h"

namespace {

struct Schema {
    const char* Name;
    const std::vector<FieldLayout>* Fields;
    std::vector<String> Tags;
};

class CreateTest : public TableTest {
protected:
    // Creates Name through the layer's creation protocol, then its tags.
    void Create(const String& Name, const std::vector<FieldLayout>& Fields,
                const std::vector<String>& Tags = {})
    {
        TDaroruTable* maker = Table(Name);
        DefineTable(maker, Dir + Name, Fields);
        if (Tags.empty())
            return;
        maker->SetExclusive(WordTrue);
        maker->Open();
        for (const String& tag : Tags)
            maker->IndexTag("", tag, tag, 0, false, "");
        maker->Close();
    }
};

TEST_F(CreateTest, ProgramSchemasComeBackFieldByFieldAndTagByTag)
{
    const std::vector<FieldLayout> print = {
            {"LINE", 'N', 5, 0}, {"TEXT", 'C', 80, 0}, {"AMOUNT", 'N', 12, 2}};
    const std::vector<Schema> schemas = {
            {"CLIENT", &ClientSchema, {}},
            {"EMPLOYEE", &EmployeeSchema, {"ID", "NAME1", "LAST"}},
            {"TOTTRANS", &TransactionSchema, {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"}},
            {"CLIENTLIST", &ClientListSchema, {"ID", "NAME"}},
            {"PRINT", &print, {}},
    };
    for (const Schema& s : schemas) {
        SCOPED_TRACE(s.Name);
        Create(s.Name, *s.Fields, s.Tags);
        TDaroruTable* t = Table(s.Name);
        t->Open();
        ASSERT_EQ(t->DaroruFieldCount(), static_cast<int>(s.Fields->size()));
        for (size_t i = 0; i < s.Fields->size(); ++i) {
            const FieldLayout& f = (*s.Fields)[i];
            EXPECT_EQ(t->FieldName(static_cast<int>(i) + 1), f.Name);
            EXPECT_EQ(t->FieldType(f.Name), String(1, f.Type));
            if (f.Type != 'D') {
                EXPECT_EQ(t->FieldWidth(f.Name), f.Width);
            }
            EXPECT_EQ(t->FieldDecimals(f.Name), f.Decimals);
        }
        TStringList names;
        t->GetIndexNames(&names);
        ASSERT_EQ(names.Count(), static_cast<int>(s.Tags.size()));
        for (size_t i = 0; i < s.Tags.size(); ++i) {
            EXPECT_EQ(names[static_cast<int>(i)], s.Tags[i]);
            const TIndexDef* def = t->IndexDefs()->Find(s.Tags[i]);
            EXPECT_EQ(def->Fields(), s.Tags[i]);
            EXPECT_FALSE(def->Options().Contains(ixNonMaintained));
            EXPECT_EQ(t->TagArea(s.Tags[i]), static_cast<int>(i) + 1);
        }
        t->Close();
    }
    // The data file is one an independent reader accepts.
    EXPECT_TRUE(ReadBack("CLIENTLIST.DBF").empty());
}

TEST_F(CreateTest, ReindexAfterTheIndexFileIsGoneAndPackAfterIndexOpen)
{
    Create("EMPLOYEE", EmployeeSchema, {"ID", "NAME1", "LAST"});
    AppendImages("EMPLOYEE.DBF",
                 {Image(EmployeeSchema, {"E2", "Bob"}), Image(EmployeeSchema, {"E1", "Ann"})});
    ASSERT_TRUE(DeleteFile(Dir + "EMPLOYEE.CDX"));
    TDaroruTable* t = Table("EMPLOYEE");
    t->SetExclusive(WordTrue);
    t->Open();
    EXPECT_EQ(t->TagArea("ID"), 0);
    for (const char* tag : {"ID", "NAME1", "LAST"})
        t->IndexTag("", tag, tag, 0, false, "");
    t->Close();
    t->Open();
    EXPECT_EQ(t->IndexOpen(Dir + "EMPLOYEE.CDX"), 3) << "a compound file leaves the order alone";
    EXPECT_EQ(t->IndexName(), "LAST");
    EXPECT_EQ(MessageOf([&] { t->IndexOpen(Dir + "NONE.CDX"); }),
              "Index file does not exist.\rFile: " + Dir + "NONE.CDX");
    t->SetOrder(t->TagArea("ID"));
    EXPECT_EQ(t->IndexName(), "ID");
    t->First();
    EXPECT_EQ(t->GetTrimString("ID"), "E1");
    t->Delete();
    t->Pack();
    EXPECT_EQ(t->RecCount(), 1);
    EXPECT_TRUE(t->Seek("E2"));
    EXPECT_EQ(t->FieldByName("NAME1")->AsString(), "Bob");
}

TEST_F(CreateTest, CreationProtocolChecks)
{
    TDaroruTable* t = Table("X");
    EXPECT_EQ(MessageOf([&] { t->CreateField("A", "C", 1, 0); }), "Must call CreateNew before CreateField");
    EXPECT_EQ(MessageOf([&] { t->CreateExec(); }), "Must call CreateNew before CreateExec");
    ASSERT_TRUE(t->CreateNew(Dir + "NAMES", 2, 1));
    for (const char* bad : {"1ST", "_X", ""})
        EXPECT_EQ(MessageOf([&] { t->CreateField(bad, "C", 5, 0); }),
                  "Invalid field name. Field names must begin with a letter")
                << bad;
    t->CreateField("lower", "C", 5, 0);
    t->CreateExec();
    EXPECT_EQ(MessageOf([&] { t->CreateField("B", "C", 1, 0); }), "Must call CreateNew before CreateField");
    TDaroruTable* reader = Table("NAMES");
    reader->Open();
    EXPECT_EQ(reader->FieldName(1), "LOWER");
}

TEST_F(CreateTest, CreateNewResolvesItsDirectory)
{
    // A directory without its trailing separator, and a bare file name.
    TDaroruTable* t = Table("A");
    t->SetDatabaseName(ExcludeTrailingPathDelimiter(Dir));
    ASSERT_TRUE(t->CreateNew("BARE", 2, 1));
    t->CreateField("A", "C", 3, 0);
    t->CreateExec();
    EXPECT_TRUE(FileExists(Dir + "BARE.DBF"));

    // A directory of its own wins over DatabaseName.
    ASSERT_TRUE(ForceDirectories(Dir + "sub/"));
    ASSERT_TRUE(t->CreateNew(Dir + "sub/INSUB", 2, 1));
    t->CreateField("A", "C", 3, 0);
    t->CreateExec();
    EXPECT_TRUE(FileExists(Dir + "sub/INSUB.DBF"));
    EXPECT_FALSE(FileExists(Dir + "INSUB.DBF"));
}

TEST_F(CreateTest, CreateNewKeepsLongPaths)
{
    TDaroruTable* t = Table("A");
    // A path far longer than the engine's old name buffers.
    String deep = Dir;
    for (int i = 0; i < 8; ++i)
        deep += "a-rather-long-directory-name-" + std::to_string(i) + "/";
    std::filesystem::create_directories(deep);
    ASSERT_GT(deep.size(), 200u);
    ASSERT_TRUE(t->CreateNew(deep + "LONG", 2, 1));
    t->CreateField("A", "C", 3, 0);
    t->CreateExec();
    EXPECT_TRUE(FileExists(deep + "LONG.DBF"));
}

TEST_F(CreateTest, TargetInUseIsRefusedAndKept)
{
    Create("BUSY", ClientListSchema);
    AppendImages("BUSY.DBF", {Image(ClientListSchema, {"C1", "Kept"})});
    TDaroruTable* open = Table("BUSY");
    open->Open();
    TDaroruTable* maker = Table("OTHER");
    const String inUse = "Table is in use.\rFile: " + Dir + "BUSY.DBF";
    // The server refuses without saying why.
    if (ThroughServer())
        EXPECT_FALSE(maker->CreateNew(Dir + "BUSY", 2, 1));
    else
        EXPECT_EQ(MessageOf([&] { maker->CreateNew(Dir + "BUSY", 2, 1); }), inUse);
    EXPECT_EQ(MessageOf([&] { maker->DeleteTable(); }), "no error") << "a missing table is nothing to refuse";
    TDaroruTable* deleter = Table("BUSY");
    EXPECT_EQ(MessageOf([&] { deleter->DeleteTable(); }),
              ThroughServer() ? "Unable to delete table.\rFile: " + Dir + "BUSY.DBF" : inUse);
    open->Close();
    EXPECT_EQ(ReadBack("BUSY.DBF"), std::vector<String> {"C1|Kept||"});
}

TEST_F(CreateTest, DeleteTableRemovesTheTableAndItsCompanions)
{
    Create("GONE", ClientListSchema, {"ID"});
    std::ofstream(Dir + "GONE.FPT") << "memo";
    TDaroruTable* t = Table("GONE");
    t->Open();
    t->DeleteTable();
    EXPECT_FALSE(t->Active());
    for (const char* ext : {".DBF", ".FPT", ".CDX"})
        EXPECT_FALSE(FileExists(Dir + "GONE" + ext)) << ext;
}

TEST_F(CreateTest, StructureCopies)
{
    Create("SRC", ClientListSchema, {"ID"});
    AppendImages("SRC.DBF", {Image(ClientListSchema, {"C1", "One"})});
    TDaroruTable* src = Table("SRC");
    EXPECT_EQ(src->CopyStructure(Dir + "EMPTYCOPY"), -1);
    EXPECT_FALSE(src->Active()) << "a closed table is closed again";
    EXPECT_TRUE(ReadBack("EMPTYCOPY.DBF").empty());

    EXPECT_TRUE(src->CopyStructureExtended(Dir + "STRUCT"));
    EXPECT_EQ(ReadBack("STRUCT.DBF"),
              (std::vector<String> {"ID|C|8|0", "NAME|C|40|0", "PATH|C|60|0", "YEAR|C|2|0"}));

    TDaroruTable* made = Table("MADE");
    EXPECT_EQ(made->CreateFrom(Dir + "MADE", Dir + "STRUCT.DBF", 2), -1);
    made->Open();
    EXPECT_EQ(made->DaroruFieldCount(), 4);
    EXPECT_EQ(made->FieldWidth("PATH"), 60);
    EXPECT_EQ(MessageOf([&] { made->CreateFrom(Dir + "X", Dir + "NONE.DBF", 2); }),
              "Table does not exist.\rFile or directory does not exist.\rFile: " + Dir + "NONE.DBF");
}

TEST_F(CreateTest, EmptyTableLeavesTheTableAsItWasFound)
{
    Create("FULL", ClientListSchema);
    AppendImages("FULL.DBF", {Image(ClientListSchema, {"C1"}), Image(ClientListSchema, {"C2"})});
    TDaroruTable* t = Table("FULL");
    t->Open();
    t->EmptyTable();
    EXPECT_TRUE(t->Active());
    EXPECT_FALSE(t->Exclusive());
    EXPECT_EQ(t->RecCount(), 0);
    t->Close();
    t->EmptyTable();
    EXPECT_FALSE(t->Active());
    EXPECT_TRUE(ReadBack("FULL.DBF").empty());
}

TEST_F(CreateTest, FileNamesAndExtensions)
{
    TDaroruTable* t = Table("PLAIN");
    EXPECT_EQ(t->GetFullTableName(), Dir + "PLAIN.DBF");
    const std::vector<std::tuple<TDaroruTableType, const char*, const char*>> kinds = {
            {ttSXNTX, ".NTX", ".DBT"}, {ttSXFOX, ".CDX", ".FPT"}, {ttSXNSX, ".NSX", ".SMT"}};
    for (const auto& [type, index, memo] : kinds) {
        t->SetTableType(type);
        EXPECT_EQ(t->GetIndexExt(), index);
        EXPECT_EQ(t->GetMemoExt(), memo);
    }
}

}  // namespace
