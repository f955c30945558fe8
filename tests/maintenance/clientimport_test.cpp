// Importing a client's basic data from the sibling programs' tables: the gathered
// list, the field mapping of each program, and the roads that import nothing.

#include <gmock/gmock.h>

#include <algorithm>
#include <cstdint>

#include "datacontrols/lookup/dwidlg.h"
#include "maintenance/clientimport.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/texthelpers.h"
#include "tests/maintenance/clientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using TRow = std::vector<String>;

const String LongName = "THE VERY LONG NAMED GENERAL LEDGER CLIEN";  // 40 characters

// A list table as another program writes it: dBASE III, no index, fields ID C8,
// NAME C40 and PATH C80, one row per entry.
String HandMadeList(const std::vector<TRow>& Rows)
{
    const struct {
        const char* Name;
        int Width;
    } fields[] = {{"ID", 8}, {"NAME", 40}, {"PATH", 80}};
    const int headerSize = 32 + 3 * 32 + 1;
    const int recordSize = 1 + 8 + 40 + 80;
    String bytes(32, '\0');
    bytes[0] = 0x03;
    bytes[1] = 108;  // 2008-12-31
    bytes[2] = 12;
    bytes[3] = 31;
    const auto put16 = [&bytes](int At, int Value) {
        bytes[At] = static_cast<char>(Value & 0xFF);
        bytes[At + 1] = static_cast<char>(Value >> 8);
    };
    put16(4, static_cast<int>(Rows.size()));
    put16(8, headerSize);
    put16(10, recordSize);
    for (const auto& f : fields) {
        String descriptor(32, '\0');
        std::copy(f.Name, f.Name + std::char_traits<char>::length(f.Name), descriptor.begin());
        descriptor[11] = 'C';
        descriptor[16] = static_cast<char>(f.Width);
        bytes += descriptor;
    }
    bytes += '\r';
    for (const TRow& row : Rows) {
        bytes += ' ';
        for (size_t i = 0; i < 3; ++i)
            bytes += FixedWidthText(row[i], fields[i].Width);
    }
    bytes += '\x1A';
    return bytes;
}

class ClientImportTest : public ClientFormsFixture {
protected:
    void SetUp() override
    {
        ClientFormsFixture::SetUp();
        StartMain();
        MakeClient("08ACME", "ACME SUPPLY CO");
        FMain->User->ClientID = "08ACME";
        StartMenu();
        Maker = new TDaroruTable(FMain);
        Work = new TDaroruTable(FMain);
        Source = new TDaroruTable(FMain);

        MakeTable("money/CLLIST", {"ID", "NAME", "PATH"},
                  {{"ACME", "ACME SUPPLY", Dir / "money/data/ACME"},
                   {"M2", "EMPTY CO", Dir / "money/data/M2"},
                   {"M3", "GONE", Dir / "money/data/M3"}});
        MakeTable("money/data/ACME/CLIENT",
                  {"NAME1", "NAME2", "ADDRESS", "CITY", "STATE", "ZIP", "SSN", "HOME_PHONE", "SPOUSE"},
                  {{"ACME SUPPLY", "DIV 2", "1 MAIN ST", "ALBANY", "NY", "12207", "123456789", "5185550100",
                    "X"}});
        MakeTable("money/data/M2/CLIENT",
                  {"NAME1", "NAME2", "ADDRESS", "CITY", "STATE", "ZIP", "SSN", "HOME_PHONE"}, {});
        // The payroll program's list is a file this program did not write; its PATH
        // is written the Windows way.
        String windowsPath = Dir / "payroll/P1";
        std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
        Dir.Write("payroll/EMPLOYERLIST.DBF", HandMadeList({{"P1", "PAYCO", windowsPath}}));
        MakeTable("payroll/P1/EMPLOYER",
                  {"NAME1", "NAME2", "ADDRESS1", "ADDRESS2", "CITY", "STATE", "ZIP", "FED_ID", "CONTPHONE"},
                  {{"PAYCO", "", "9 MILL RD", "UNIT B", "TROY", "NY", "12180", "12-3456789", "5185550199"}});
        MakeTable("gl/CLIENTLIST", {"ID", "NAME", "PATH"},
                  {{"ACME", "ACME LEDGER", Dir / "gl/ACME"},
                   {"G2", "LONG", Dir / "gl/G2"},
                   {"G3", "NO PHONE FIELD", Dir / "gl/G3"}});
        const TRow ledgerFields = {"NAME1", "NAME2", "ADDRESS1", "ADDRESS2",
                                   "CITY",  "STATE", "ZIP",      "TELEPHONE"};
        MakeTable("gl/ACME/CLIENT", ledgerFields,
                  {{"ACME LEDGER", "", "2 STATE ST", "FLOOR 3", "ALBANY", "NY", "12210", "5185550111"}});
        MakeTable("gl/G2/CLIENT", ledgerFields, {{LongName, "", "", "", "", "", "", ""}});
        MakeTable("gl/G3/CLIENT", {"NAME1", "NAME2", "ADDRESS1", "ADDRESS2", "CITY", "STATE", "ZIP"},
                  {{"G3 CO", "", "", "", "", "", ""}});

        // The current client, as the client form's caller leaves it.
        TDaroruTable* payer = DClientDataBase->tblClient;
        payer->Edit();
        for (const auto& [field, value] : Target)
            payer->FieldByName(field)->SetAsString(value);
        payer->Post();
        payer->Edit();
        SetPrograms(true);
    }

    void MakeTable(const String& Name, const TRow& Fields, const std::vector<TRow>& Rows)
    {
        ForceDirectories(ExtractFilePath(Dir / Name));
        ASSERT_TRUE(Maker->CreateNew(Dir / Name, 2, static_cast<SmallInt>(Fields.size())));
        for (const String& field : Fields)
            Maker->CreateField(field, "C", 40, 0);
        Maker->CreateExec();
        Maker->SetDatabaseName(ExtractFilePath(Dir / Name));
        Maker->SetTableName(Dir / Name);
        Maker->Open();
        for (const TRow& row : Rows) {
            Maker->Append();
            for (size_t i = 0; i < Fields.size(); ++i)
                Maker->FieldByName(Fields[i])->SetAsString(row[i]);
            Maker->Post();
        }
        Maker->Close();
    }
    void SetPrograms(bool Set)
    {
        FMain->User->MoneyProgramDir = Set ? Dir / "money/" : "";
        FMain->User->PayrollProgramDir = Set ? Dir / "payroll/" : "";
        FMain->User->LedgerProgramDir = Set ? Dir / "gl/" : "";
    }

    // Runs the import; the chooser notes the list as "ID|NAME|TYPE" and picks the row
    // of that ID and type (none: cancels).
    void Import(const String& ID = "", const String& Type = "")
    {
        Listed.clear();
        ImportClientBasic(Work, Source, [&] {
            for (Work->First(); !Work->Eof(); Work->Next())
                Listed.push_back(Trim(Work->FieldByName("ID")->AsString()) + "|" +
                                 Trim(Work->FieldByName("NAME")->AsString()) + "|" +
                                 Trim(Work->FieldByName("TYPE")->AsString()));
            for (Work->First(); !Work->Eof(); Work->Next())
                if (Trim(Work->FieldByName("ID")->AsString()) == ID &&
                    Trim(Work->FieldByName("TYPE")->AsString()) == Type)
                    return true;
            return false;
        });
    }
    // The payer's fields that an import may change or must keep.
    static std::vector<String> PayerFields()
    {
        std::vector<String> values;
        for (const char* field : {"ID", "NAME1", "NAME2", "ADDRESS1", "ADDRESS2", "CITY", "STATE", "ZIP",
                                  "TAX_ID", "TELEPHONE", "SSN", "COMMENTS", "DEF_DESCR"})
            values.push_back(Payer(field));
        return values;
    }
    bool WorkFilesGone() const
    {
        return !FileExists(Dir / "TEMPBASIC.DBF") && !FileExists(Dir / "TEMPBASIC.CDX");
    }

    const std::vector<std::pair<const char*, String>> Target = {
            {"ID", "08ACME"},        {"NAME2", "OLD NAME 2"},  {"ADDRESS1", "OLD ST"},
            {"ADDRESS2", "SUITE 5"}, {"CITY", "OLD CITY"},     {"STATE", "VT"},
            {"ZIP", "05401"},        {"TAX_ID", "99-9999999"}, {"TELEPHONE", "(802) 555-0000"},
            {"SSN", "111-22-3333"},  {"COMMENTS", "KEEP"},     {"DEF_DESCR", "HAND TYPED"}};
    std::vector<String> Listed;
    TDaroruTable* Maker = nullptr;
    TDaroruTable* Work = nullptr;
    TDaroruTable* Source = nullptr;
};

TEST_F(ClientImportTest, ListsEveryProgramsClientsByIDAndCopiesTheMoneyProgramsClient)
{
    Import("ACME", "Pennatrix");
    EXPECT_THAT(Listed,
                ElementsAre(::testing::AnyOf("ACME|ACME SUPPLY|Pennatrix", "ACME|ACME LEDGER|General Ledger"),
                            ::testing::AnyOf("ACME|ACME SUPPLY|Pennatrix", "ACME|ACME LEDGER|General Ledger"),
                            "G2|LONG|General Ledger", "G3|NO PHONE FIELD|General Ledger",
                            "M2|EMPTY CO|Pennatrix", "M3|GONE|Pennatrix", "P1|PAYCO|Payroll"));
    EXPECT_THAT(PayerFields(),
                ElementsAre("08ACME", "ACME SUPPLY", "DIV 2", "1 MAIN ST", "SUITE 5", "ALBANY", "NY", "12207",
                            "123456789", "5185550100", "111-22-3333", "KEEP", "COMPENSATION ACME SUPPLY"));
    EXPECT_EQ(DClientDataBase->tblClient->State(), dsEdit) << "the caller posts";
    EXPECT_TRUE(WorkFilesGone());
    EXPECT_THAT(Shown(), IsEmpty());
}

TEST_F(ClientImportTest, EachProgramHasItsOwnMapping)
{
    struct Case {
        const char* ID;
        const char* Type;
        std::vector<String> Payer;
    } cases[] = {
            {"P1",
             "Payroll",
             {"08ACME", "PAYCO", "", "9 MILL RD", "UNIT B", "TROY", "NY", "12180", "12-3456789", "5185550199",
              "111-22-3333", "KEEP", "COMPENSATION PAYCO"}},
            {"ACME",
             "General Ledger",
             {"08ACME", "ACME LEDGER", "", "2 STATE ST", "FLOOR 3", "ALBANY", "NY", "12210", "99-9999999",
              "5185550111", "111-22-3333", "KEEP", "COMPENSATION ACME LEDGER"}},
            {"G2",
             "General Ledger",
             {"08ACME", LongName, "", "", "", "", "", "", "99-9999999", "", "111-22-3333", "KEEP",
              LeftChars("COMPENSATION " + LongName, 40)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ID);
        DClientDataBase->tblClient->Cancel();
        DClientDataBase->tblClient->Edit();
        Import(c.ID, c.Type);
        EXPECT_EQ(PayerFields(), c.Payer);
        EXPECT_THAT(Shown(), IsEmpty());
    }
}

TEST_F(ClientImportTest, ImportsNothingWhenCancelledOrWhenTheClientCannotBeRead)
{
    const std::vector<String> before = PayerFields();
    struct Case {
        const char* Name;
        const char* ID;
        const char* Type;
        String Message;  // "": none
    } cases[] = {
            {"cancelled", "", "", ""},
            {"an empty client file", "M2", "Pennatrix",
             "The client file " + Dir / "money/data/M2/CLIENT.DBF holds no client.  Nothing was imported."},
            {"a missing directory", "M3", "Pennatrix",
             "The client file " +
                     Dir / "money/data/M3/CLIENT.DBF of GONE was not found.  Nothing was imported."},
            {"a missing field", "G3", "General Ledger",
             "The client file " + Dir / "gl/G3/CLIENT.DBF has no field TELEPHONE.  Nothing was imported."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Dialogs.Messages.clear();
        Import(c.ID, c.Type);
        EXPECT_EQ(Shown(), c.Message.empty() ? std::vector<String> {} : std::vector<String> {c.Message});
        EXPECT_EQ(PayerFields(), before);
        EXPECT_TRUE(WorkFilesGone());
    }

    // The sibling program has its client open.
    Dialogs.Messages.clear();
    {
        TOtherWorkstation sibling(Dir / "money/data/ACME/CLIENT.DBF", false);
        Import("ACME", "Pennatrix");
    }
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].rfind("Unable to read " + Dir / "money/data/ACME/CLIENT.DBF", 0), 0u) << Shown()[0];
    EXPECT_EQ(PayerFields(), before);
    EXPECT_TRUE(WorkFilesGone());

    // No program set up: an empty list.
    SetPrograms(false);
    Import();
    EXPECT_THAT(Listed, IsEmpty());
    EXPECT_TRUE(WorkFilesGone());
}

TEST_F(ClientImportTest, AnImportUnderWayElsewhereIsWaitedFor)
{
    MakeTable("TEMPBASIC", {"ID", "NAME", "PATH", "TYPE"}, {});
    const String list = Dir.Read("TEMPBASIC.DBF");
    {
        TOtherWorkstation other(Dir / "TEMPBASIC.DBF", true);
        Import("ACME", "Pennatrix");
    }
    EXPECT_THAT(Shown(), ElementsAre("The import list " + Dir / "TEMPBASIC.DBF" +
                                     " is in use on another workstation.  Try the import again later."));
    EXPECT_EQ(Dir.Read("TEMPBASIC.DBF"), list);
    EXPECT_EQ(Payer("DEF_DESCR"), "HAND TYPED");
}

// The client form's button, with the lookup a user picks from.
TEST_F(ClientImportTest, TheClientFormsButtonShowsTheLookup)
{
    WhenShown<TFClientBasic>([this](TFClientBasic* Form) {
        WhenShown<TdwLookupDlg>([](TdwLookupDlg* Lookup) {
            EXPECT_EQ(Lookup->Caption(), "Lookup");
            EXPECT_EQ(Lookup->dwDBGrid1->Height(), 209);
            TypeText(Lookup, "P");
            QTest::qWait(350);
            SaveScreenshot(Lookup, "client-import-lookup.png");
            PressKey(Lookup, Qt::Key_Return);
        });
        EXPECT_EQ(Form->BitBtn1->Caption(), "Import Client");
        Form->BitBtn1->Click();
        EXPECT_EQ(Payer("NAME1"), "PAYCO");
        TypeText(Form, "/");
    });
    ShowClientBasic(false);
    EXPECT_EQ(Payer("TAX_ID"), "12-3456789");
    EXPECT_TRUE(WorkFilesGone());
}

}  // namespace
