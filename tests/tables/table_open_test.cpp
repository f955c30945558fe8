// Opening tables: where they are found, their field definitions and the
// refusals on the way.

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/classes/datamodule.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/strutils.h"
#include "tables/droenv.h"
#include "tables/droerror.h"
#include "tests/support/tablefixture.h"

namespace {

String OpenError(TDaroruTable* Table)
{
    return MessageOf([Table] { Table->Open(); });
}

TEST_F(TableTest, ProgramTablesOpenWithTheirFieldsTypedByLetterAndWidth)
{
    const std::pair<const char*, const std::vector<FieldLayout>*> tables[] = {
            {"CLIENT.DBF", &ClientSchema},
            {"EMPLOYEE.DBF", &EmployeeSchema},
            {"TOTTRANS.DBF", &TransactionSchema},
            {"CLIENTLIST.DBF", &ClientListSchema},
    };
    for (auto [name, schema] : tables) {
        CreateTable(name, *schema);
        TDaroruTable* t = Table(name);
        t->Open();
        ASSERT_TRUE(t->Active()) << name;
        ASSERT_EQ(t->FieldCount(), static_cast<int>(schema->size())) << name;
        for (size_t i = 0; i < schema->size(); ++i) {
            const FieldLayout& layout = (*schema)[i];
            TField* field = t->Fields()[static_cast<int>(i)];
            EXPECT_EQ(field->FieldName(), layout.Name);
            EXPECT_EQ(field->FieldNo(), static_cast<int>(i) + 1);
            switch (layout.Type) {
            case 'C':
                EXPECT_EQ(field->DataType(), ftString) << layout.Name;
                EXPECT_EQ(field->Size(), layout.Width) << layout.Name;
                break;
            case 'D': EXPECT_EQ(field->DataType(), ftDate) << layout.Name; break;
            case 'N': {
                EXPECT_EQ(field->DataType(), ftFloat) << layout.Name;  // every N here is wider than 4
                auto* number = dynamic_cast<TFloatField*>(field);
                ASSERT_NE(number, nullptr);
                EXPECT_EQ(number->DisplayFormat(),
                          layout.Decimals ? "0." + String(layout.Decimals, '0') : "0");
                EXPECT_EQ(number->Precision(), layout.Width + 1);
                break;
            }
            }
        }
        EXPECT_TRUE(t->Eof() && t->Bof()) << name;
        t->Close();
    }
}

TEST_F(TableTest, NarrowWholeNumbersAreSmallIntegersAndOtherLettersKeepTheirPlace)
{
    const std::vector<FieldLayout> fields = {{"N4", 'N', 4, 0}, {"N5", 'N', 5, 0},   {"N41", 'N', 4, 1},
                                             {"F6", 'F', 6, 2}, {"FLAG", 'L', 1, 0}, {"TEXT", 'C', 3, 0}};
    CreateTable("KINDS.DBF", fields);
    AppendImages("KINDS.DBF", {Image(fields, {"12", "123", "1.5", "9.25", "T", "abc"})});
    TDaroruTable* t = Table("KINDS");
    t->Open();
    EXPECT_EQ(t->FieldByName("N4")->DataType(), ftSmallint);
    EXPECT_EQ(t->FieldByName("N5")->DataType(), ftFloat);
    EXPECT_EQ(t->FieldByName("N41")->DataType(), ftFloat);
    EXPECT_EQ(t->FieldByName("FLAG")->DataType(), ftBoolean);
    // F has no field of its own, yet the fields after it read their own bytes.
    EXPECT_EQ(t->FindField("F6"), nullptr);
    EXPECT_EQ(t->FieldByName("TEXT")->FieldNo(), 6);
    EXPECT_EQ(t->FieldByName("TEXT")->AsString(), "abc");
    EXPECT_TRUE(t->FieldByName("FLAG")->AsBoolean());
    EXPECT_EQ(t->FieldByName("N4")->AsInteger(), 12);
}

TEST_F(TableTest, OpenRefusalsNameTheProblem)
{
    CreateTable("CLIENT.DBF", ClientSchema);
    TDaroruTable* unnamed = Table("");
    unnamed->SetName("tblClient");
    EXPECT_EQ(OpenError(unnamed), "tblClient : Missing TableName property");

    EXPECT_EQ(OpenError(Table("NOPE")),
              "Table does not exist.\rFile or directory does not exist.\rFile: " + Dir + "NOPE.DBF");

    TDaroruTable* alias = Table("CLIENT");
    alias->SetDatabaseName("NOSUCHALIAS");
    EXPECT_EQ(OpenError(alias), "Invalid DatabaseName value : NOSUCHALIAS");

    const std::vector<FieldLayout> memo = {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};
    CreateTable("NOTES.DBF", memo);
    ASSERT_TRUE(DeleteFile(Dir + "NOTES.FPT"));
    EXPECT_EQ(OpenError(Table("NOTES.DBF")),
              "Associated MEMO file does not exist.\rFile: " + UpperCase(Dir + "NOTES.FPT"));
}

// Replaces a file by Size bytes of noise, or cuts it to Size bytes (a
// negative Size: by that many bytes).
void Damage(const String& Path, long Size, bool Noise)
{
    std::ifstream in(Path, std::ios::binary);
    String bytes = Noise ? String() : String(std::istreambuf_iterator<char>(in), {});
    bytes.resize(Size < 0 ? bytes.size() - size_t(-Size) : std::min(bytes.size(), size_t(Size)));
    for (long i = 0; Noise && i < Size; ++i)
        bytes += char((i * 7919 + 13) % 251);
    ASSERT_TRUE(WriteFileAtomically(Path, bytes)) << Path;
}

// A file the engine cannot read is refused after the engine tried, with the
// engine's reason after the table's name, and told apart from a table in use.
TEST_F(TableTest, DamagedFilesAreRefusedWithTheReason)
{
    const std::vector<FieldLayout> memo = {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};
    struct Case {
        const char* What;
        const char* Damaged;  // the file spoilt, beside the table T.DBF
        long Size;
        bool Noise;
        TDaroruOpenFailure Why;
        const char* Reason;  // a part of the engine's reason
    } cases[] = {
            {"header cut short", "T.DBF", 10, false, TDaroruOpenFailure::Damaged, "header"},
            {"header of noise", "T.DBF", 4096, true, TDaroruOpenFailure::Damaged, "header"},
            {"index of noise", "T.CDX", 4096, true, TDaroruOpenFailure::IndexDamaged, "T.CDX"},
            // The engine opens it with a warning; the count must not be taken on trust.
            {"the last record cut off", "T.DBF", -16, false, TDaroruOpenFailure::Damaged, "record count 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        CreateTable("T.DBF", memo);
        AppendImages("T.DBF", {Image(memo, {"A", "0"}), Image(memo, {"B", "0"})});
        TDaroruTable* maker = Table("T.DBF");
        maker->SetExclusive(WordTrue);
        maker->Open();
        maker->IndexTag("", "ID", "ID", 0, false, "");
        maker->Close();
        const String damaged = Dir + c.Damaged;
        ASSERT_NO_FATAL_FAILURE(Damage(damaged, c.Size, c.Noise));

        TDaroruTable* t = Table("T.DBF");
        if (const auto e = OpenRefusal(t)) {
            EXPECT_EQ(e->Why(), c.Why);
            EXPECT_EQ(e->FileName(), Dir + "T.DBF");
            EXPECT_NE(e->Reason().find(c.Reason), String::npos) << e->Reason();
            EXPECT_EQ(e->Message(), "Unable to open table.\rFile: " + Dir + "T.DBF\r" + e->Reason());
        }
        t->Close();
        for (const char* ext : {".DBF", ".FPT", ".CDX"})
            DeleteFile(Dir + "T" + ext);
    }
}

// An exclusive open whose structural index another open holds would write
// past the index: the table stays shut and is reported in use.
TEST_F(TableTest, AnIndexHeldElsewhereKeepsTheTableShut)
{
    CreateTable("T.DBF", ClientListSchema);
    TDaroruTable* maker = Table("T.DBF");
    maker->SetExclusive(WordTrue);
    maker->Open();
    maker->IndexTag("", "ID", "ID", 0, false, "");
    maker->Close();

    const int fd = ::open((Dir + "T.CDX").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        sharelocks::OfdLock held;
        ASSERT_TRUE(held.TryAcquire(fd, sharelocks::OpenModeOffset, sharelocks::LockKind::Shared));
        TDaroruTable* t = Table("T.DBF");
        t->SetExclusive(WordTrue);
        if (const auto e = OpenRefusal(t)) {
            EXPECT_EQ(e->Why(), TDaroruOpenFailure::InUse);
            EXPECT_EQ(e->Reason(), "The index file is in use: " + Dir + "T.CDX");
        }
    }
    ::close(fd);
    TDaroruTable* t = Table("T.DBF");
    t->SetExclusive(WordTrue);
    t->Open();
    EXPECT_TRUE(t->Active());
}

TEST_F(TableTest, DatabaseNameMayBeALinuxPathAndTableNameDirectoryWins)
{
    CreateTable("CLIENT.DBF", ClientSchema);
    TDaroruTable* plain = Table("CLIENT");
    plain->SetDatabaseName(ExcludeTrailingPathDelimiter(Dir));
    EXPECT_EQ(OpenError(plain), "no error");
    EXPECT_EQ(plain->GetDataPath(), Dir);

    TDaroruTable* full = Table(Dir + "CLIENT.DBF");
    full->SetDatabaseName("/nowhere/at/all/");
    EXPECT_EQ(OpenError(full), "no error");
}

TEST_F(TableTest, EveryOpenOfOneFileGetsItsOwnAlias)
{
    CreateTable("CLIENT.DBF", ClientSchema);
    CreateTable("EMPLOYEE.DBF", EmployeeSchema);
    const std::pair<const char*, std::vector<String>> cases[] = {
            {"CLIENT.DBF", {"CLIENT", "CLIENT1", "CLIENT12", "CLIENT13"}},
            {"EMPLOYEE.DBF", {"EMPLOYEE", "EMPLOYE1", "EMPLOYE2"}},
    };
    for (const auto& [name, aliases] : cases) {
        for (const String& expected : aliases) {
            TDaroruTable* t = Table(name);
            EXPECT_EQ(t->GetUniqueAliasName(name), expected);
            t->Open();
        }
    }
    EXPECT_EQ(Table("x")->GetUniqueAliasName("/a/b/my-data.2024.dbf"), "MY_DATA");
}

TEST_F(TableTest, OpeningPlacesTwoDigitYearsAfterTheEpoch)
{
    CreateTable("CLIENT.DBF", ClientSchema);
    struct Case {
        int Epoch;
        const char* Text;
        int Year;
    };
    const Case cases[] = {
            {1980, "01/02/85", 1985}, {1980, "01/02/07", 2007}, {1980, "12/31/79", 2079},
            {1980, "01/01/80", 1980}, {1900, "01/02/05", 1905}, {1900, "01/02/99", 1999},
            {1920, "06/30/19", 2019},
    };
    for (const Case& c : cases) {
        TDataModule* module = Construct<TDataModule>(nullptr);
        auto* env = new TDaroruEnv(module);
        env->SetEpoch(c.Epoch);
        TDaroruTable* t = Table("CLIENT");
        t->Open();
        int year = 0, month = 0, day = 0;
        DecodeDate(StrToDate(c.Text), year, month, day);
        EXPECT_EQ(year, c.Year) << c.Epoch << " " << c.Text;
        t->Close();
        module->Free();
    }
}

// A connection that is up and keeps the settings it was sent.
class SettingsConnection : public TDaroruConnection {
public:
    using TDaroruConnection::TDaroruConnection;
    bool Connected() const override { return true; }
    void ap_EnvSettings(int Epoch, int DateFormat, int MemoBlockSize, bool Deleted, bool Century,
                        bool SoftSeek, bool Exact) override
    {
        Sent.push_back(std::to_string(Epoch) + " " + std::to_string(DateFormat) + " " +
                       std::to_string(MemoBlockSize) + " " + std::to_string(Deleted) +
                       std::to_string(Century) + std::to_string(SoftSeek) + std::to_string(Exact));
    }
    std::vector<String> Sent;
};

TEST_F(TableTest, AServerEnvironmentGetsItsSettingsInOneRequestAtEveryOpen)
{
    CreateTable("CLIENT.DBF", ClientSchema);
    TDataModule* module = Construct<TDataModule>(nullptr);
    auto* env = new TDaroruEnv(module);
    SettingsConnection connection(nullptr);
    env->SetDaroruConnection(&connection);
    env->SetApplyTo({atServer});  // the settings below do not reach the engine
    env->SetEpoch(1950);
    env->SetSoftSeek(WordTrue);
    env->SetDateFormat(dfGerman);
    TDaroruTable* t = Table("CLIENT");
    t->Open();
    EXPECT_TRUE(t->Active()) << "the table itself stays local";
    EXPECT_EQ(t->Epoch(), 1950);
    t->Close();
    t->Open();
    EXPECT_EQ(connection.Sent, (std::vector<String> {"1950 4 64 0110", "1950 4 64 0110"}));
    t->Close();
    env->SetDaroruConnection(nullptr);
    module->Free();
}

TEST_F(TableTest, SetUpIsRefusedOnAnOpenTable)
{
    CreateTable("CLIENT.DBF", ClientSchema);
    TDaroruTable* t = Table("CLIENT");
    t->Open();
    EXPECT_THROW(t->SetTableName("OTHER"), EDaroruError);
    EXPECT_THROW(t->SetExclusive(WordTrue), EDaroruError);
    EXPECT_THROW(t->SetReadOnly(WordTrue), EDaroruError);
    try {
        t->SetAccessMethod(t->AccessMethod() == amLocal ? amServer : amLocal);
        FAIL();
    } catch (const EDaroruError& e) {
        EXPECT_EQ(e.Message(), "Cannot change data access method while active");
    }
    t->SetExclusive(WordFalse);  // unchanged: accepted
    t->Close();
    t->SetReadOnly(WordTrue);
    EXPECT_EQ(t->ReadOnly(), WordTrue);
}

}  // namespace

// A table whose server connection is destroyed first closes without a
// request to the connection that is going.
TEST_F(TableTest, ATableOutlivingItsServerConnectionClosesQuietly)
{
    if (!ThroughServer())
        GTEST_SKIP() << "a table on the server only";
    CreateTable("T.DBF", ClientListSchema);
    TDaroruTable* t = Table("T.DBF");
    t->Open();
    ASSERT_TRUE(t->Active());
    Connection.reset();
    EXPECT_FALSE(t->Active());
    EXPECT_EQ(t->DaroruConnection(), nullptr);
}
