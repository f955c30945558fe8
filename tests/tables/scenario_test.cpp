// The table traffic of the client data module, repeated on real files: creating
// a client, opening and reindexing it, recalculating a recipient's totals, the
// year-end copy and the print-work table.

#include <filesystem>

#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "tables/droerror.h"
#include "tests/support/tablefixture.h"

namespace {

const std::vector<String> EmployeeTags = {"ID", "NAME1", "LAST"};
const std::vector<String> TransTags = {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"};
const std::vector<String> Totals = {"TOTAMT", "FWT", "STATE_INC1", "SWT1", "STATE_INC2", "SWT2"};

class ClientScenario : public TableTest {
protected:
    // Creates Path (a directory and a name without extension) through the layer, with its tags.
    void CreateWithTags(TDaroruTable* T, const String& Path, const std::vector<FieldLayout>& Fields,
                        const std::vector<String>& Tags)
    {
        DefineTable(T, Path, Fields);
        BuildTags(T, Path, Tags);
    }

    // Deletes a stale index file, then opens the table exclusively and makes the tags.
    static void BuildTags(TDaroruTable* T, const String& Path, const std::vector<String>& Tags)
    {
        if (Tags.empty())
            return;
        if (FileExists(Path + ".CDX")) {
            ASSERT_TRUE(DeleteFile(Path + ".CDX"));
        }
        T->SetDatabaseName(ExtractFilePath(Path));
        T->SetTableName(Path);
        T->SetExclusive(WordTrue);
        T->Open();
        for (const String& tag : Tags)
            T->IndexTag("", tag, tag, 0, false, "");
        T->Close();
    }

    void OpenOn(TDaroruTable* T, const String& Path, bool Exclusive)
    {
        T->SetDatabaseName(ExtractFilePath(Path));
        T->SetTableName(Path);
        T->SetExclusive(Exclusive ? WordTrue : WordFalse);
        T->Open();
    }

    // A client directory with its three tables, a payer, two recipients and their transactions.
    void CreateClient(const String& Id)
    {
        const String dir = Dir + Id + "/";
        ASSERT_TRUE(ForceDirectories(dir));
        TDaroruTable* t = Table("X");
        DefineTable(t, dir + "CLIENT", ClientSchema);
        OpenOn(t, dir + "CLIENT", false);
        t->Append();
        t->FieldByName("ID")->SetAsString(Id);
        t->FieldByName("NAME1")->SetAsString("Payer of " + Id);
        t->Post();
        t->Close();
        CreateWithTags(t, dir + "EMPLOYEE", EmployeeSchema, EmployeeTags);
        CreateWithTags(t, dir + "TOTTRANS", TransactionSchema, TransTags);

        OpenOn(t, dir + "EMPLOYEE", true);
        for (const auto& [id, last, term] :
             {std::tuple {"E1", "Zeta", ""}, std::tuple {"E2", "Alpha", "12/31/2025"}}) {
            t->Append();
            t->FieldByName("ID")->SetAsString(id);
            t->FieldByName("LAST")->SetAsString(last);
            t->FieldByName("TERM_DATE")->SetAsString(term);
            t->FieldByName("TOTAMT")->SetAsFloat(999);
            t->Post();
        }
        t->Close();
        OpenOn(t, dir + "TOTTRANS", true);
        for (const auto& [emp, amount, fwt] :
             {std::tuple {"E1", 100.25, 10.0}, std::tuple {"E2", 50.0, 5.0}, std::tuple {"E1", 0.5, 0.25}}) {
            t->Append();
            t->FieldByName("EMP_ID")->SetAsString(emp);
            t->FieldByName("AMOUNT")->SetAsFloat(amount);
            t->FieldByName("FWT")->SetAsFloat(fwt);
            t->FieldByName("DATE")->SetAsDateTime(EncodeDate(2026, 1, 15));
            t->Post();
        }
        t->Close();
    }

    void SetUp() override
    {
        TableTest::SetUp();
        Trans = Table("T");
        Client = Table("C");
        Employee = Table("E");
    }

    // The client opening sequence of the data module.
    void OpenClient(const String& Id)
    {
        const String dir = Dir + Id + "/";
        Trans->SetSxQuery("");
        Trans->SetFiltered(false);
        OpenOn(Trans, dir + "TOTTRANS", true);
        OpenOn(Client, dir + "CLIENT", false);
        Client->First();
        OpenOn(Employee, dir + "EMPLOYEE", true);
        Employee->First();
    }

    TDaroruTable* Trans = nullptr;
    TDaroruTable* Client = nullptr;
    TDaroruTable* Employee = nullptr;
};

TEST_F(ClientScenario, CreateOpenAndReindexAClient)
{
    CreateClient("26ACME");
    OpenClient("26ACME");
    EXPECT_EQ(Client->FieldByName("NAME1")->AsString(), "Payer of 26ACME");
    EXPECT_EQ(Employee->FieldByName("ID")->AsString(), "E1");
    EXPECT_EQ(Trans->DBFilter(), "");

    // Another user cannot open the client while its transactions are held exclusively.
    TDaroruTable* other = Table("O");
    EXPECT_NE(MessageOf([&] { OpenOn(other, Dir + "26ACME/TOTTRANS", true); }), "no error");
    EXPECT_FALSE(other->Active());

    // Reindexing replaces the index files of the closed client.
    Trans->Close();
    Client->Close();
    Employee->Close();
    BuildTags(Trans, Dir + "26ACME/TOTTRANS", TransTags);
    BuildTags(Employee, Dir + "26ACME/EMPLOYEE", EmployeeTags);
    OpenClient("26ACME");
    Employee->SetOrder(Employee->TagArea("LAST"));
    Employee->First();
    EXPECT_EQ(Employee->FieldByName("LAST")->AsString(), "Alpha");
    Trans->SetOrder(Trans->TagArea("EMP_ID"));
    EXPECT_TRUE(Trans->Seek("E2"));
    EXPECT_DOUBLE_EQ(Trans->FieldByName("AMOUNT")->AsFloat(), 50.0);
}

TEST_F(ClientScenario, RecipientTotalsFromEveryTransactionWhateverTheFilter)
{
    CreateClient("26ACME");
    OpenClient("26ACME");
    Trans->SetFilter("EMP_ID='E2'");
    Trans->SetFiltered(true);

    const bool wasFiltered = Trans->Filtered();
    Trans->SetFiltered(false);
    Employee->Edit();
    for (const String& name : Totals)
        Employee->FieldByName(name)->SetAsFloat(0);
    for (Trans->First(); !Trans->Eof(); Trans->Next()) {
        if (Trans->FieldByName("EMP_ID")->AsString() != Employee->FieldByName("ID")->AsString())
            continue;
        Employee->FieldByName("TOTAMT")->SetAsFloat(Employee->FieldByName("TOTAMT")->AsFloat() +
                                                    Trans->FieldByName("AMOUNT")->AsFloat());
        Employee->FieldByName("FWT")->SetAsFloat(Employee->FieldByName("FWT")->AsFloat() +
                                                 Trans->FieldByName("FWT")->AsFloat());
    }
    Employee->Post();
    Trans->SetFiltered(wasFiltered);

    EXPECT_EQ(Trans->DBFilter(), "EMP_ID='E2'") << "the filter is back";
    Employee->Close();
    const std::vector<String> rows = ReadBack("26ACME/EMPLOYEE.DBF");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].find("|100.75|"), String::npos) << rows[0];
    EXPECT_NE(rows[0].find("|10.25|"), String::npos) << rows[0];
}

TEST_F(ClientScenario, YearEndCarriesActiveRecipientsAndNoTransactions)
{
    CreateClient("25ACME");
    const String oldDir = Dir + "25ACME/";
    const String newDir = Dir + "26ACME/";
    ASSERT_TRUE(ForceDirectories(newDir));
    TDaroruTable* employee = Table("E");
    TDaroruTable* newClient = Table("N");

    OpenOn(employee, oldDir + "EMPLOYEE.DBF", true);
    EXPECT_EQ(employee->CopyStructure(newDir + "EMPLOYEE.DBF"), -1);
    OpenOn(newClient, newDir + "EMPLOYEE.DBF", true);
    for (const String& tag : EmployeeTags)
        newClient->IndexTag("", tag, tag, 0, false, "");
    for (employee->First(); !employee->Eof(); employee->Next()) {
        if (!employee->FieldByName("TERM_DATE")->AsString().empty())
            continue;
        newClient->Append();
        for (int i = 1; i <= newClient->DaroruFieldCount(); ++i) {
            const String n = newClient->FieldName(i);
            for (int j = 1; j <= employee->DaroruFieldCount(); ++j) {
                if (employee->FieldName(j) != n)
                    continue;
                if (newClient->FieldType(n) == "C")
                    newClient->FieldByName(n)->SetAsString(employee->FieldByName(n)->AsString());
                else if (newClient->FieldType(n) == "N")
                    newClient->FieldByName(n)->SetAsFloat(employee->FieldByName(n)->AsFloat());
            }
        }
        for (const String& name : Totals)
            newClient->FieldByName(name)->SetAsFloat(0);
        newClient->Post();
    }
    employee->Close();
    newClient->Close();

    TDaroruTable* trans = Table("T");
    OpenOn(trans, oldDir + "TOTTRANS.DBF", true);
    EXPECT_EQ(trans->CopyStructure(newDir + "TOTTRANS.DBF"), -1);
    trans->Close();
    BuildTags(newClient, newDir + "TOTTRANS", TransTags);

    const std::vector<String> carried = ReadBack("26ACME/EMPLOYEE.DBF");
    ASSERT_EQ(carried.size(), 1u);
    EXPECT_EQ(carried[0].substr(0, 3), "E1|");
    EXPECT_NE(carried[0].find("|Zeta|0.0|"), String::npos) << carried[0];
    EXPECT_TRUE(ReadBack("26ACME/TOTTRANS.DBF").empty());
    OpenOn(newClient, newDir + "TOTTRANS", false);
    EXPECT_EQ(newClient->TagArea("DATE"), 6);
    EXPECT_EQ(ReadBack("25ACME/TOTTRANS.DBF").size(), 3u) << "the old year keeps its transactions";
}

TEST_F(ClientScenario, PrintTableIsRebuiltOnEveryRun)
{
    std::vector<FieldLayout> print;
    for (const FieldLayout& f : EmployeeSchema)
        print.push_back({f.Name, f.Type, f.Width, f.Type == 'N' ? 2 : 0});
    const String programDir = Dir + "program/";
    ASSERT_TRUE(ForceDirectories(programDir));
    for (const char* run : {"first", "second"}) {
        SCOPED_TRACE(run);
        TDaroruTable* t = Table("P");
        DefineTable(t, programDir + "PRINT", print);
        OpenOn(t, programDir + "PRINT", true);
        t->Append();
        t->FieldByName("ID")->SetAsString(run);
        t->FieldByName("TOTAMT")->SetAsFloat(12.5);
        t->Post();
        t->Close();
        const std::vector<String> rows = ReadBack("program/PRINT.DBF");
        ASSERT_EQ(rows.size(), 1u) << "an earlier run's rows are gone";
        EXPECT_EQ(rows[0].substr(0, String(run).size() + 1), String(run) + "|");
    }
}

}  // namespace
