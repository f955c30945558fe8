// The client data module on real tables in a temporary directory; the files it
// writes are read back by an independent DBF reader.

#include "app/clientdatabase.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "app/user.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"
#include "tables/droenv.h"
#include "tables/xbe50.h"
#include "tests/support/tempdir.h"

namespace {

std::vector<String> Lines(const String& Command)
{
    std::vector<String> lines;
    FILE* pipe = popen(Command.c_str(), "r");
    if (!pipe)
        return lines;
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, pipe)) {
        String line = buffer;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    pclose(pipe);
    return lines;
}

// What the independent reader sees of a table: "fields" gives NAME|TYPE|LENGTH|DECIMALS
// per field, "records" the raw field texts of each live record joined by "|".
std::vector<String> Reader(const String& FileName, const char* What)
{
    return Lines(String("/usr/bin/python3 -c '\n"
                        "import sys, dbfread\n"
                        "t = dbfread.DBF(sys.argv[1], raw=True, encoding=\"latin-1\")\n"
                        "if sys.argv[2] == \"fields\":\n"
                        "    for f in t.fields: print(\"%s|%s|%d|%d\" % (f.name, f.type, f.length, "
                        "f.decimal_count))\n"
                        "else:\n"
                        "    for r in t: print(\"|\".join(v.decode(\"latin-1\") for v in r.values()))\n"
                        "' ") +
                 FileName + " " + What + " 2>&1");
}

std::vector<String> SchemaLines(const TTableSchema& Schema)
{
    std::vector<String> lines;
    for (const TFieldSchema& f : Schema.Fields)
        lines.push_back(String(f.Name) + "|" + f.Type + "|" + std::to_string(f.Type == 'D' ? 8 : f.Width) +
                        "|" + std::to_string(f.Decimals));
    return lines;
}

std::vector<String> Names(const String& Dir)
{
    std::vector<String> names;
    for (const auto& entry : std::filesystem::directory_iterator(Dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Another process that holds a table open until it is destroyed.
class Peer {
public:
    Peer(const String& Dir, const String& Name, bool Exclusive)
    {
        int ready[2], done[2];
        if (pipe(ready) != 0 || pipe(done) != 0)
            throw std::runtime_error("pipe");
        FPid = fork();
        if (FPid == 0) {
            close(done[1]);
            close(ready[0]);
            char ok = 'n';
            try {
                TDaroruTable table(nullptr);
                table.SetDatabaseName(Dir);
                table.SetTableName(Dir + Name);
                table.SetExclusive(Exclusive ? WordTrue : WordFalse);
                table.Open();
                ok = 'y';
                (void)!write(ready[1], &ok, 1);
                (void)!read(done[0], &ok, 1);
            } catch (...) {
                (void)!write(ready[1], &ok, 1);
            }
            _exit(0);
        }
        char ok = 'n';
        (void)!read(ready[0], &ok, 1);
        FDone = done[1];
        close(ready[0]);
        close(ready[1]);
        close(done[0]);
        if (ok != 'y')
            throw std::runtime_error("the peer could not open " + Name);
    }
    ~Peer()
    {
        close(FDone);
        waitpid(FPid, nullptr, 0);
    }

private:
    pid_t FPid = -1;
    int FDone = -1;
};

class ClientDataBaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetXbeLibraryDir(ProgramDir());
        LoadDLL();
        ASSERT_TRUE(XbeLoaded());
        ShortDateFormat = "mm/dd/yyyy";
        DateSeparator = '/';
        std::filesystem::create_directories(Temp / "prog");
        std::filesystem::create_directories(Temp / "data");
        Module = Construct<TDClientDataBase>(nullptr);
        // The program hides deleted records everywhere.
        (new TDaroruEnv(Module))->SetDeleted(WordTrue);
        Module->ProgramDir = Temp / "prog/";
        Module->DataDir = Temp / "data/";
        Module->User = &User;
        Module->OnShowMessage = [this](const String& m) { Messages.push_back(m); };
        Module->OnAskYesNo = [this](const String& q) {
            Questions.push_back(q);
            return Answer;
        };
    }
    void TearDown() override
    {
        Module->Free();
        XBE_CALL(xb_SetDeleted, 0);
    }

    String ClientDir(const String& ID) const { return Temp / ("data/" + ID + "/"); }

    // A new client, open and current.
    void NewClient(const String& ID)
    {
        Module->CreateClientTables(ID);
        User.ClientID = ID;
        Module->OpenClient();
        ASSERT_TRUE(Module->tblEmployee->Active());
    }

    static void Add(TDaroruTable* Table, const std::map<String, String>& Values)
    {
        Table->Append();
        for (const auto& [name, value] : Values)
            Table->FieldByName(name)->SetAsString(value);
        Table->Post();
    }

    static std::vector<String> Tags(TDaroruTable* Table)
    {
        TStringList list;
        Table->GetIndexNames(&list);
        std::vector<String> tags;
        for (int i = 0; i < list.Count(); ++i)
            tags.push_back(list[i]);
        return tags;
    }

    // The values of Field in the table's current order, from the first record.
    static std::vector<String> Column(TDaroruTable* Table, const String& Field)
    {
        std::vector<String> values;
        for (Table->First(); !Table->Eof(); Table->Next())
            values.push_back(Table->FieldByName(Field)->AsString());
        return values;
    }

    TempDir Temp;
    TUser User;
    TDClientDataBase* Module = nullptr;
    std::vector<String> Messages;
    std::vector<String> Questions;
    bool Answer = false;
};

// ---- IDs

TEST(ClientIDTest, OnlyShortPlainNamesServeAsIDs)
{
    for (const char* good : {"08ACME", "A", "12345678", "r-1_b"})
        EXPECT_TRUE(IsValidID(good)) << good;
    for (const char* bad : {"", "123456789", "..", "A/B", "A\\B", "A'B", "A\"B", "A B", "A.B", "A*"})
        EXPECT_FALSE(IsValidID(bad)) << bad;
    EXPECT_THROW(CheckID("../X"), EInvalidID);
}

// ---- Creation

TEST_F(ClientDataBaseTest, NewClientHasItsFiveFilesWithTheSchemasTagsAndPayerRecord)
{
    std::vector<std::pair<int, int>> progress;
    Module->OnProgress = [&](int position, int maximum) { progress.emplace_back(position, maximum); };
    Module->CreateClientTables("08ACME");
    const String dir = ClientDir("08ACME");
    EXPECT_EQ(Names(dir), (std::vector<String> {"CLIENT.DBF", "EMPLOYEE.CDX", "EMPLOYEE.DBF", "TOTTRANS.CDX",
                                                "TOTTRANS.DBF"}));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>> {{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    EXPECT_FALSE(Module->tblClient->Active());
    EXPECT_FALSE(Module->tblEmployee->Active());
    EXPECT_FALSE(Module->tblTransactions->Active());

    for (const TTableSchema* schema : {&ClientSchema, &EmployeeSchema, &TransactionSchema}) {
        SCOPED_TRACE(schema->Name);
        EXPECT_EQ(Reader(dir + schema->Name + ".DBF", "fields"), SchemaLines(*schema));
    }
    const std::vector<String> payer = Reader(dir + "CLIENT.DBF", "records");
    ASSERT_EQ(payer.size(), 1u);
    String expected = "    1";
    for (size_t i = 1; i < ClientSchema.Fields.size(); ++i)
        expected += "|" + String(static_cast<size_t>(ClientSchema.Fields[i].Width), ' ');
    EXPECT_EQ(payer[0], expected);
    EXPECT_TRUE(Reader(dir + "EMPLOYEE.DBF", "records").empty());

    User.ClientID = "08ACME";
    Module->OpenClient();
    EXPECT_EQ(Tags(Module->tblEmployee), (std::vector<String> {"ID", "NAME1", "LAST"}));
    EXPECT_EQ(Tags(Module->tblTransactions),
              (std::vector<String> {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"}));
    // Ordering by LAST sorts on the whole blank-padded name.
    Add(Module->tblEmployee, {{"ID", "R1"}, {"LAST", "SMITHSON"}});
    Add(Module->tblEmployee, {{"ID", "R2"}, {"LAST", "SMITH"}});
    Add(Module->tblEmployee, {{"ID", "R3"}, {"LAST", "ADAMS"}});
    Module->tblEmployee->SetOrder(Module->tblEmployee->TagArea("LAST"));
    EXPECT_EQ(Column(Module->tblEmployee, "ID"), (std::vector<String> {"R3", "R2", "R1"}));
}

TEST_F(ClientDataBaseTest, PrintHasTheRecipientLayout)
{
    EXPECT_EQ(SchemaLines(PrintSchema), SchemaLines(EmployeeSchema));
}

TEST_F(ClientDataBaseTest, CreatingOverAnExistingClientIsRefusedAndKeepsItsData)
{
    NewClient("C1");
    Add(Module->tblEmployee, {{"ID", "KEEP"}, {"NAME1", "KEPT RECIPIENT"}});
    Module->CloseClient();
    const String before = Temp.Read(ClientDir("C1") + "EMPLOYEE.DBF");
    EXPECT_THROW(Module->CreateClientTables("C1"), EDatabaseError);
    EXPECT_EQ(Temp.Read(ClientDir("C1") + "EMPLOYEE.DBF"), before);
    EXPECT_THROW(Module->CreateClientTables("../C1"), EInvalidID);
}

TEST_F(ClientDataBaseTest, AStaleIndexInAnExistingDirectoryIsReplaced)
{
    Temp.Write("data/C2/EMPLOYEE.CDX", String(1024, 'x'));
    Module->CreateClientTables("C2");
    User.ClientID = "C2";
    Module->OpenClient();
    ASSERT_TRUE(Module->tblEmployee->Active());
    EXPECT_EQ(Tags(Module->tblEmployee), (std::vector<String> {"ID", "NAME1", "LAST"}));
}

TEST_F(ClientDataBaseTest, EnsureAsksOnlyForMissingTablesAndCreatesOnYes)
{
    Module->CreateClientTables("C3");
    User.ClientID = "C3";
    Module->OpenClient();
    Add(Module->tblTransactions, {{"EMP_ID", "R1"}, {"AMOUNT", "5.00"}});
    Module->CloseClient();

    Module->EnsureClientTables("C3");
    EXPECT_TRUE(Questions.empty());

    const String dir = ClientDir("C3");
    std::filesystem::remove(dir + "EMPLOYEE.DBF");
    std::filesystem::remove(dir + "EMPLOYEE.CDX");
    const std::vector<String> asked = {"The employee database does not exist at this data location (" + dir +
                                       ").  Would you like to create it now?"};
    Answer = false;
    Module->EnsureClientTables("C3");
    EXPECT_EQ(Questions, asked);
    EXPECT_FALSE(FileExists(dir + "EMPLOYEE.DBF"));
    Questions.clear();
    Answer = true;
    Module->EnsureClientTables("C3");
    EXPECT_EQ(Questions, asked);
    EXPECT_EQ(Reader(dir + "EMPLOYEE.DBF", "fields"), SchemaLines(EmployeeSchema));
    EXPECT_EQ(Reader(dir + "TOTTRANS.DBF", "records").size(), 1u);
    Module->OpenClient();
    EXPECT_EQ(Tags(Module->tblEmployee), (std::vector<String> {"ID", "NAME1", "LAST"}));

    // A client without a directory yet: all three questions, in order.
    Questions.clear();
    Answer = false;
    Module->EnsureClientTables("C4");
    ASSERT_EQ(Questions.size(), 3u);
    EXPECT_EQ(Questions[0].substr(0, 24), "The client database does");
    EXPECT_EQ(Questions[2].substr(0, 30), "The transactions database does");
}

// ---- Opening and closing

TEST_F(ClientDataBaseTest, OpenClientOpensAllThreeOnTheirFirstRecords)
{
    Module->OpenClient();
    EXPECT_FALSE(Module->tblClient->Active());
    EXPECT_TRUE(Messages.empty());

    Module->CreateClientTables("C5B");
    NewClient("C5");
    Add(Module->tblEmployee, {{"ID", "R1"}});
    Add(Module->tblEmployee, {{"ID", "R2"}});
    Module->tblTransactions->SetSxQuery("EMP_ID='R1'");
    Module->tblTransactions->SetFiltered(true);
    Module->CloseClient();
    EXPECT_FALSE(Module->tblTransactions->Active());

    Module->OpenClient();
    EXPECT_TRUE(Module->tblClient->Exclusive() == WordFalse);
    EXPECT_TRUE(Module->tblEmployee->Exclusive() != WordFalse);
    EXPECT_TRUE(Module->tblTransactions->Exclusive() != WordFalse);
    EXPECT_EQ(Module->tblEmployee->FieldByName("ID")->AsString(), "R1");
    EXPECT_EQ(Module->tblClient->FieldByName("DATA_VER")->AsInteger(), 1);
    EXPECT_FALSE(Module->tblTransactions->Filtered());
    EXPECT_EQ(Module->tblTransactions->Filter(), "");

    // Opening the open client again leaves it where it stands.
    Module->tblEmployee->Next();
    Module->OpenClient();
    EXPECT_EQ(Module->tblEmployee->FieldByName("ID")->AsString(), "R2");
    EXPECT_EQ(User.ClientID, "C5");
    EXPECT_TRUE(Messages.empty());

    // Another current client replaces the open one.
    User.ClientID = "C5B";
    Module->OpenClient();
    EXPECT_EQ(Module->tblEmployee->DatabaseName(), ClientDir("C5B"));
    EXPECT_TRUE(Module->tblEmployee->IsEmpty());
}

TEST_F(ClientDataBaseTest, AClientInUseElsewhereIsNotOpenedAtAll)
{
    Module->CreateClientTables("C6");
    struct Case {
        const char* Held;
        bool Exclusive;
    };
    for (const Case c : {Case {"TOTTRANS", false}, Case {"EMPLOYEE", false}, Case {"CLIENT", true}}) {
        SCOPED_TRACE(c.Held);
        Messages.clear();
        User.ClientID = "C6";
        Peer peer(ClientDir("C6"), c.Held, c.Exclusive);
        Module->OpenClient();
        EXPECT_EQ(Messages, std::vector<String> {ClientInUseMessage});
        EXPECT_EQ(User.ClientID, "");
        EXPECT_FALSE(Module->tblClient->Active());
        EXPECT_FALSE(Module->tblEmployee->Active());
        EXPECT_FALSE(Module->tblTransactions->Active());
    }
    Messages.clear();
    User.ClientID = "../C6";
    Module->OpenClient();
    EXPECT_EQ(Messages, std::vector<String> {ClientInUseMessage});
    EXPECT_EQ(User.ClientID, "");
}

// ---- Reindexing

TEST_F(ClientDataBaseTest, ReindexBuildsCompleteIndexesFromMissingOrDamagedFiles)
{
    NewClient("C7");
    Add(Module->tblEmployee, {{"ID", "R2"}, {"NAME1", "BETA"}, {"LAST", "ZED"}});
    Add(Module->tblEmployee, {{"ID", "R1"}, {"NAME1", "ALPHA"}, {"LAST", "AB"}});
    Module->CloseClient();
    const String dir = ClientDir("C7");
    std::filesystem::remove(dir + "TOTTRANS.CDX");
    Temp.Write("data/C7/EMPLOYEE.CDX", String(2048, '\x7f'));

    EXPECT_TRUE(Module->ReindexClient("C7"));
    EXPECT_EQ(Names(dir), (std::vector<String> {"CLIENT.DBF", "EMPLOYEE.CDX", "EMPLOYEE.DBF", "TOTTRANS.CDX",
                                                "TOTTRANS.DBF"}));
    EXPECT_FALSE(Module->tblEmployee->Active());
    Module->OpenClient();
    EXPECT_EQ(Tags(Module->tblTransactions),
              (std::vector<String> {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"}));
    Module->tblEmployee->SetOrder(Module->tblEmployee->TagArea("NAME1"));
    EXPECT_EQ(Column(Module->tblEmployee, "ID"), (std::vector<String> {"R1", "R2"}));

    // A client open here is open again afterwards.
    EXPECT_TRUE(Module->ReindexClient("C7"));
    EXPECT_TRUE(Module->tblEmployee->Active());
    EXPECT_EQ(User.ClientID, "C7");
}

TEST_F(ClientDataBaseTest, ReindexRefusesWithoutTouchingAnything)
{
    Module->CreateClientTables("C8");
    const String dir = ClientDir("C8");
    const String employeeIndex = Temp.Read(dir + "EMPLOYEE.CDX");
    const String transactionIndex = Temp.Read(dir + "TOTTRANS.CDX");
    {
        // The recipients are open on another computer.
        Peer peer(dir, "EMPLOYEE", false);
        EXPECT_FALSE(Module->ReindexClient("C8"));
    }
    EXPECT_EQ(Temp.Read(dir + "EMPLOYEE.CDX"), employeeIndex);
    EXPECT_EQ(Temp.Read(dir + "TOTTRANS.CDX"), transactionIndex);
    std::filesystem::remove(dir + "CLIENT.DBF");
    EXPECT_FALSE(Module->ReindexClient("C8"));
    EXPECT_EQ(Temp.Read(dir + "TOTTRANS.CDX"), transactionIndex);
    EXPECT_FALSE(Module->ReindexClient("../C8"));
    EXPECT_EQ(Names(dir),
              (std::vector<String> {"EMPLOYEE.CDX", "EMPLOYEE.DBF", "TOTTRANS.CDX", "TOTTRANS.DBF"}));
}

// ---- The pick list

TEST_F(ClientDataBaseTest, CreateClientListReplacesTheListWithAnEmptyIndexedOne)
{
    ASSERT_TRUE(Module->CreateClientList());
    Module->OpenClientList();
    Add(Module->tblClientList, {{"ID", "ZZ"}, {"NAME", "ZED CO"}, {"PATH", "/data/ZZ"}});
    Add(Module->tblClientList, {{"ID", "AA"}, {"NAME", "ALPHA CO"}, {"PATH", "/data/AA"}});
    Module->tblClientList->SetOrder(Module->tblClientList->TagArea("NAME"));
    EXPECT_EQ(Column(Module->tblClientList, "ID"), (std::vector<String> {"AA", "ZZ"}));
    EXPECT_TRUE(Module->tblClientList->Locate("ID", Variant(String("ZZ")), {}));
    EXPECT_EQ(Module->tblClientList->FieldByName("NAME")->AsString(), "ZED CO");
    EXPECT_EQ(Reader(Module->ProgramDir + "CLIENTLIST.DBF", "fields"), SchemaLines(ClientListSchema));

    // Open here: the list is closed, replaced and opened again.
    ASSERT_TRUE(Module->CreateClientList());
    EXPECT_TRUE(Module->tblClientList->Active());
    EXPECT_TRUE(Module->tblClientList->Eof());
    EXPECT_EQ(Tags(Module->tblClientList), (std::vector<String> {"ID", "NAME"}));
    EXPECT_TRUE(Reader(Module->ProgramDir + "CLIENTLIST.DBF", "records").empty());
}

TEST_F(ClientDataBaseTest, CreateClientListIsRefusedWhileTheListIsOpenElsewhere)
{
    ASSERT_TRUE(Module->CreateClientList());
    Module->OpenClientList();
    Add(Module->tblClientList, {{"ID", "AA"}, {"NAME", "ALPHA CO"}});
    Module->CloseClientList();
    const String list = Module->ProgramDir + "CLIENTLIST.DBF";
    const std::vector<String> rows = Reader(list, "records");
    ASSERT_EQ(rows.size(), 1u);
    {
        Peer peer(Module->ProgramDir, "CLIENTLIST", false);
        EXPECT_FALSE(Module->CreateClientList());
    }
    EXPECT_EQ(Reader(list, "records"), rows);
    Module->OpenClientList();
    EXPECT_EQ(Tags(Module->tblClientList), (std::vector<String> {"ID", "NAME"}));
}

// ---- Field layouts

struct Shown {
    String Field;
    String Label;
    int Width;
};

std::vector<Shown> VisibleFields(TDataSet* DataSet)
{
    std::vector<Shown> shown;
    for (TField* f : DataSet->Fields())
        if (f->Visible())
            shown.push_back({f->FieldName(), f->DisplayLabel(), f->DisplayWidth()});
    return shown;
}

bool operator==(const Shown& a, const Shown& b)
{
    return a.Field == b.Field && a.Label == b.Label && a.Width == b.Width;
}

void PrintTo(const Shown& s, std::ostream* os) { *os << s.Field << "/" << s.Label << "/" << s.Width; }

// The display and edit formats of a numeric field.
String Formats(TDataSet* DataSet, const String& Field)
{
    auto* number = dynamic_cast<TFloatField*>(DataSet->FieldByName(Field));
    return number ? number->DisplayFormat() + " / " + number->EditFormat() : "not numeric";
}

TEST_F(ClientDataBaseTest, GridsShowTheirColumnsInOrder)
{
    NewClient("C9");
    EXPECT_EQ(VisibleFields(Module->tblEmployee), (std::vector<Shown> {{"ID", "Employee ID", 10},
                                                                       {"NAME1", "Employee Name", 39},
                                                                       {"LAST", "Employee Last Name", 25},
                                                                       {"SSN", "Employee SSN", 20}}));
    EXPECT_EQ(Formats(Module->tblEmployee, "TOTAMT"), "$#,.00 / #.00");
    EXPECT_EQ(VisibleFields(Module->tblTransactions),
              (std::vector<Shown> {{"NUMBER", "Reference~Number", 12},
                                   {"DATE", "Transaction~Date", 12},
                                   {"PAYEE", "Payee", 28},
                                   {"DESCR", "Transaction~Description", 32},
                                   {"AMOUNT", "Amount", 11}}));
    EXPECT_EQ(Formats(Module->tblTransactions, "NUMBER"), "######## / ########");
    EXPECT_EQ(Formats(Module->tblTransactions, "AMOUNT"), "$#,.00 / #.00");
    ASSERT_TRUE(Module->CreateClientList());
    Module->OpenClientList();
    EXPECT_EQ(VisibleFields(Module->tblClientList),
              (std::vector<Shown> {{"ID", "Client ID", 10}, {"NAME", "Client Name", 40}}));

    // The print table keeps its own fields as they opened.
    Module->BuildPrintTable(2, false);
    Module->tblEmployeePrint->Open();
    EXPECT_EQ(VisibleFields(Module->tblEmployeePrint).size(), EmployeeSchema.Fields.size());
    EXPECT_EQ(Module->tblEmployeePrint->FieldByName("ID")->DisplayLabel(), "ID");
    EXPECT_EQ(VisibleFields(Module->tblEmployee).size(), 4u);
}

// ---- Totals

class TotalsTest : public ClientDataBaseTest {
protected:
    void SetUp() override
    {
        ClientDataBaseTest::SetUp();
        NewClient("T1");
        Add(Module->tblEmployee, {{"ID", "A1"}});
        Add(Module->tblEmployee, {{"ID", "A10"}});
        Add(Module->tblEmployee, {{"ID", "NONE"}, {"TOTAMT", "55.00"}, {"FWT", "1.00"}});
        // AMOUNT, FWT, SWT1, STATE_INC1, SWT2, STATE_INC2, DATE
        const std::vector<std::pair<String, std::vector<String>>> rows = {
                {"A1", {"100.10", "10.01", "3.30", "50.05", "1.10", "20.00", "01/15/2008"}},
                {"A1", {"-30.05", "-3.00", "0.00", "-10.00", "0.00", "0.00", "12/31/2008"}},
                {"A10", {"999.99", "99.99", "9.99", "9.99", "9.99", "9.99", "06/30/2008"}},
                {"a1", {"7.00", "7.00", "7.00", "7.00", "7.00", "7.00", "06/30/2008"}},
                {"A1", {"0.10", "0.20", "0.00", "0.00", "0.00", "0.00", "03/01/2007"}},
                {"A1", {"0.20", "0.10", "0.00", "0.00", "0.00", "0.00", "01/01/2009"}},
                {"A1", {"500.00", "50.00", "5.00", "5.00", "5.00", "5.00", "05/05/2008"}},
        };
        for (const auto& [id, v] : rows)
            Add(Module->tblTransactions, {{"EMP_ID", id},
                                          {"AMOUNT", v[0]},
                                          {"FWT", v[1]},
                                          {"SWT1", v[2]},
                                          {"STATE_INC1", v[3]},
                                          {"SWT2", v[4]},
                                          {"STATE_INC2", v[5]},
                                          {"DATE", v[6]}});
        // The last one, still current, is deleted and no longer counts.
        Module->tblTransactions->Delete();
    }

    // The six totals as the file stores them, of the recipient on record Number.
    std::vector<String> StoredTotals(size_t Number)
    {
        const std::vector<String> rows = Reader(ClientDir("T1") + "EMPLOYEE.DBF", "records");
        std::vector<String> totals;
        if (Number >= rows.size())
            return totals;
        std::vector<String> values;
        String value;
        for (char c : rows[Number] + "|") {
            if (c == '|') {
                values.push_back(value);
                value.clear();
            } else {
                value += c;
            }
        }
        for (int field : {19, 22, 24, 25, 27, 28})  // TOTAMT, FWT, SWT1, STATE_INC1, SWT2, STATE_INC2
            totals.push_back(values[static_cast<size_t>(field)]);
        return totals;
    }

    void GoToRecipient(const String& ID) { ASSERT_TRUE(Module->tblEmployee->Locate("ID", Variant(ID), {})); }
};

TEST_F(TotalsTest, TotalsAreTheExactSumsOfTheRecipientsOwnLiveTransactions)
{
    GoToRecipient("A1");
    Module->RecalcRecipientTotals();
    EXPECT_EQ(Module->tblEmployee->State(), dsBrowse);
    EXPECT_EQ(StoredTotals(0), (std::vector<String> {"     70.35", "      7.31", "      3.30", "     40.05",
                                                     "      1.10", "     20.00"}));
    GoToRecipient("NONE");
    Module->RecalcRecipientTotals();
    EXPECT_EQ(StoredTotals(2), std::vector<String>(6, "      0.00"));
    GoToRecipient("A10");
    Module->RecalcRecipientTotals();
    EXPECT_EQ(StoredTotals(1)[0], "    999.99");

    // Totals that hold their sums stay; a cent more in one of them is written.
    GoToRecipient("A1");
    Module->RecalcRecipientTotals();
    EXPECT_EQ(Module->tblEmployee->State(), dsBrowse);
    EXPECT_EQ(StoredTotals(0)[4], "      1.10");
    Add(Module->tblTransactions, {{"EMP_ID", "A1"}, {"SWT2", "0.01"}});
    GoToRecipient("A1");
    Module->RecalcRecipientTotals();
    EXPECT_EQ(StoredTotals(0), (std::vector<String> {"     70.35", "      7.31", "      3.30", "     40.05",
                                                     "      1.11", "     20.00"}));
}

TEST_F(TotalsTest, ARestrictionOnTheTransactionsIsIgnoredAndKept)
{
    Module->tblTransactions->SetSxQuery("EMP_ID='A10'");
    Module->tblTransactions->SetFiltered(true);
    GoToRecipient("A1");
    Module->RecalcRecipientTotals();
    EXPECT_EQ(StoredTotals(0)[0], "     70.35");
    EXPECT_TRUE(Module->tblTransactions->Filtered());
    EXPECT_EQ(Column(Module->tblTransactions, "EMP_ID"), (std::vector<String> {"A10"}));
}

TEST_F(TotalsTest, TheGridsOrderAndRestrictionComeBackAfterTheSum)
{
    TDaroruTable* transactions = Module->tblTransactions;
    transactions->SetOrder(transactions->TagArea("DATE"));
    transactions->SetSxQuery(RecipientTransactionsFilter("A1"));
    transactions->SetFiltered(true);
    GoToRecipient("A1");
    Module->RecalcRecipientTotals();
    EXPECT_EQ(StoredTotals(0)[0], "     70.35");
    EXPECT_EQ(transactions->IndexOrd(), transactions->TagArea("DATE"));
    EXPECT_TRUE(transactions->Filtered());
    EXPECT_EQ(transactions->GetScope(0) + transactions->GetScope(1), "");
    EXPECT_EQ(Column(transactions, "DATE"),
              (std::vector<String> {"03/01/2007", "01/15/2008", "12/31/2008", "01/01/2009"}));
}

TEST_F(TotalsTest, AnEmpIdTagThatDoesNotHoldEveryIdAsItIsLeavesTheSumToTheQuery)
{
    // A tag on the upper-cased ID would put "a1" with "A1"; one with a condition
    // leaves transactions out, even while it is the table's order.
    const std::pair<String, String> tags[] = {{"UPPER(EMP_ID)", ""}, {"EMP_ID", "AMOUNT > 100"}};
    for (const auto& [expression, condition] : tags) {
        SCOPED_TRACE(expression + " FOR " + condition);
        Module->tblTransactions->IndexTag("", "EMP_ID", expression, 0, false, condition);
        GoToRecipient("A1");
        Module->RecalcRecipientTotals();
        EXPECT_EQ(StoredTotals(0), (std::vector<String> {"     70.35", "      7.31", "      3.30",
                                                         "     40.05", "      1.10", "     20.00"}));
    }
}

TEST_F(TotalsTest, ATotalTooLargeForItsFieldIsRefusedAndTheOldTotalsStay)
{
    GoToRecipient("A1");
    Module->RecalcRecipientTotals();
    const std::vector<String> before = StoredTotals(0);
    Module->tblTransactions->SetFiltered(true);
    Add(Module->tblTransactions, {{"EMP_ID", "A1"}, {"AMOUNT", "9999999.99"}});
    GoToRecipient("A1");
    EXPECT_THROW(Module->RecalcRecipientTotals(), EDatabaseError);
    EXPECT_EQ(Module->tblEmployee->State(), dsBrowse);
    EXPECT_TRUE(Module->tblTransactions->Filtered());
    EXPECT_EQ(StoredTotals(0), before);

    // Without recipients there is nothing to total, and nothing is added.
    NewClient("T2");
    EXPECT_THROW(Module->RecalcRecipientTotals(), EDatabaseError);
    EXPECT_TRUE(Reader(ClientDir("T2") + "EMPLOYEE.DBF", "records").empty());
}

// ---- The print-work table

class PrintTest : public ClientDataBaseTest {
protected:
    void SetUp() override
    {
        ClientDataBaseTest::SetUp();
        NewClient("P1");
        const std::vector<std::pair<String, String>> recipients = {{"R1", "I"}, {"R2", "N"}, {"R3", ""},
                                                                   {"R4", "i"}, {"R5", "I"}, {"R6", "I"}};
        const std::vector<String> last = {"DELTA", "ALPHA", "ECHO", "BRAVO", "CHARLIE", "FOXTROT"};
        for (size_t i = 0; i < recipients.size(); ++i)
            Add(Module->tblEmployee, {{"ID", recipients[i].first},
                                      {"TRANS_TYPE", recipients[i].second},
                                      {"LAST", last[i]},
                                      {"NAME1", "  LEADING BLANKS"},
                                      {"TOTAMT", "1234567.89"},
                                      {"SWT2", "-0.01"},
                                      {"BIRTH_DATE", "01-02-1970"}});
        // R6, still current, is deleted.
        Module->tblEmployee->Delete();
    }

    std::vector<String> PrintRows() { return Reader(Module->ProgramDir + "PRINT.DBF", "records"); }

    std::vector<String> PrintIDs()
    {
        std::vector<String> ids;
        for (const String& row : PrintRows())
            ids.push_back(row.substr(0, row.find(' ')));
        return ids;
    }
};

TEST_F(PrintTest, EachFormGetsItsOwnRecipientsInTheCurrentOrder)
{
    Module->tblEmployee->SetOrder(Module->tblEmployee->TagArea("LAST"));
    Module->tblEmployee->Last();
    Module->BuildPrintTable(1, false);
    EXPECT_EQ(PrintIDs(), (std::vector<String> {"R5", "R1"}));
    EXPECT_EQ(Module->tblEmployee->FieldByName("ID")->AsString(), "R2");
    EXPECT_FALSE(Module->tblEmployeePrint->Active());
    EXPECT_EQ(Module->tblEmployeePrint->TableName(), Module->ProgramDir + "PRINT");

    Module->BuildPrintTable(2, false);
    EXPECT_EQ(PrintIDs(), (std::vector<String> {"R2", "R4", "R3"}));
    EXPECT_EQ(Reader(Module->ProgramDir + "PRINT.DBF", "fields"), SchemaLines(PrintSchema));

    // Every value is the recipient's own, byte for byte.
    const std::vector<String> recipients = Reader(ClientDir("P1") + "EMPLOYEE.DBF", "records");
    EXPECT_EQ(PrintRows()[0], recipients[1]);
}

TEST_F(PrintTest, OnlyTheCurrentRecipientWhenItBelongsOnTheForm)
{
    ASSERT_TRUE(Module->tblEmployee->Locate("ID", Variant(String("R4")), {}));
    Module->BuildPrintTable(1, true);
    EXPECT_TRUE(PrintRows().empty());
    EXPECT_EQ(Module->tblEmployee->FieldByName("ID")->AsString(), "R4");
    Module->BuildPrintTable(2, true);
    EXPECT_EQ(PrintIDs(), std::vector<String> {"R4"});
    EXPECT_EQ(Module->tblEmployee->FieldByName("ID")->AsString(), "R4");
}

TEST_F(PrintTest, AClientWithoutRecipientsGivesAnEmptyTable)
{
    NewClient("P2");
    Module->BuildPrintTable(2, false);
    EXPECT_TRUE(PrintRows().empty());
    EXPECT_TRUE(Module->tblEmployee->Eof());
}

TEST_F(PrintTest, PrintInUseElsewhereIsReportedAndTheOtherCopyStays)
{
    Module->BuildPrintTable(1, false);
    const std::vector<String> before = PrintRows();
    {
        Peer peer(Module->ProgramDir, "PRINT", false);
        EXPECT_THROW(Module->BuildPrintTable(2, false), Exception);
    }
    EXPECT_EQ(PrintRows(), before);
    EXPECT_FALSE(Module->tblEmployeePrint->Active());
}

}  // namespace
