#include "maintenance/clientimport.h"

#include <vector>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"

namespace {

// The engine's code of the FoxPro table type, with its compound index.
constexpr SmallInt FoxProTable = 2;

// A CLIENT field and the sibling's field it is copied from.
struct TFieldCopy {
    const char* Client;
    const char* Source;
};

const std::vector<TFieldCopy> MoneyFields = {
        {"NAME1", "NAME1"}, {"NAME2", "NAME2"}, {"ADDRESS1", "ADDRESS"}, {"CITY", "CITY"},
        {"STATE", "STATE"}, {"ZIP", "ZIP"},     {"TAX_ID", "SSN"},       {"TELEPHONE", "HOME_PHONE"},
};
const std::vector<TFieldCopy> PayrollFields = {
        {"NAME1", "NAME1"},       {"NAME2", "NAME2"},   {"ADDRESS1", "ADDRESS1"},
        {"ADDRESS2", "ADDRESS2"}, {"CITY", "CITY"},     {"STATE", "STATE"},
        {"ZIP", "ZIP"},           {"TAX_ID", "FED_ID"}, {"TELEPHONE", "CONTPHONE"},
};
const std::vector<TFieldCopy> LedgerFields = {
        {"NAME1", "NAME1"}, {"NAME2", "NAME2"}, {"ADDRESS1", "ADDRESS1"}, {"ADDRESS2", "ADDRESS2"},
        {"CITY", "CITY"},   {"STATE", "STATE"}, {"ZIP", "ZIP"},           {"TELEPHONE", "TELEPHONE"},
};

// One sibling program: where its client list is, what its rows are called in the
// work table, and which table of a client's directory holds the payer.
struct TSibling {
    String Dir;  // "" when not set up
    const char* ListTable;
    const char* Type;
    const char* ClientTable;
    const std::vector<TFieldCopy>* Fields;
};

std::vector<TSibling> Siblings(const TUser& User)
{
    return {
            {User.MoneyProgramDir, "CLLIST.DBF", "Pennatrix", "CLIENT.DBF", &MoneyFields},
            {User.PayrollProgramDir, "EMPLOYERLIST.DBF", "Payroll", "EMPLOYER.DBF", &PayrollFields},
            {User.LedgerProgramDir, "CLIENTLIST.DBF", "General Ledger", "CLIENT.DBF", &LedgerFields},
    };
}

// A directory as the sibling programs store it ("C:\KPX\DATA\01" too), with "/"
// at its end.
String SiblingDir(const String& Dir) { return IncludeTrailingPathDelimiter(NormalizePath(Trim(Dir))); }

void Aim(TDaroruTable* Table, const String& Dir, const String& File, bool Exclusive)
{
    Table->SetDatabaseName(Dir);
    Table->SetTableName(Dir + File);
    Table->SetExclusive(Exclusive ? WordTrue : WordFalse);
}

// An error whose text is what the user is told.
class EImportStopped : public Exception {
public:
    using Exception::Exception;
};

// The work table, made empty with its two tags; its files go again when the import ends.
class TWorkTable {
public:
    TWorkTable(TDaroruTable* Table, const String& ProgramDir)
        : FTable(Table), FDir(ProgramDir), FName(ProgramDir + "TEMPBASIC")
    {
        for (const char* ext : {".DBF", ".CDX"})
            if (sharelocks::FileInUse(ResolvePath(FName + ext)))
                throw EImportStopped("The import list " + FName + ext +
                                     " is in use on another workstation.  Try the import again later.");
        // An index left from an earlier import would not match the new table.
        if (FileExists(FName + ".CDX"))
            DeleteFile(FName + ".CDX");
    }
    // Made once the object stands, so that the files go again however this ends.
    void Create()
    {
        FTable->Close();
        if (!FTable->CreateNew(FName, FoxProTable, 4))
            throw EImportStopped("Unable to create the import list " + FName + ".DBF.");
        FTable->CreateField("ID", "C", 8, 0);
        FTable->CreateField("NAME", "C", 40, 0);
        FTable->CreateField("PATH", "C", 80, 0);
        FTable->CreateField("TYPE", "C", 40, 0);
        FTable->CreateExec();
        Aim(FTable, FDir, "TEMPBASIC", true);
        FTable->Open();
        FTable->IndexTag("", "NAME", "NAME", 0, false, "");
        FTable->IndexTag("", "ID", "ID", 0, false, "");
    }
    ~TWorkTable()
    {
        FTable->Close();
        Application->ProcessMessages();
        for (const char* ext : {".DBF", ".CDX"})
            if (FileExists(FName + ext))
                DeleteFile(FName + ext);
    }
    TWorkTable(const TWorkTable&) = delete;
    TWorkTable& operator=(const TWorkTable&) = delete;

private:
    TDaroruTable* FTable;
    String FDir;
    String FName;
};

// Opens File exclusively through Table, closed again when the scope ends.
class TOpenSibling {
public:
    TOpenSibling(TDaroruTable* Table, const String& Dir, const String& File) : FTable(Table)
    {
        FTable->Close();
        Aim(FTable, Dir, File, true);
        try {
            FTable->Open();
        } catch (const Exception& E) {
            throw EImportStopped("Unable to read " + Dir + File + ":\n" + E.Message());
        }
    }
    ~TOpenSibling() { FTable->Close(); }
    TOpenSibling(const TOpenSibling&) = delete;
    TOpenSibling& operator=(const TOpenSibling&) = delete;

private:
    TDaroruTable* FTable;
};

// Adds the clients of every sibling program that is set up and has its list.
void GatherClients(TDaroruTable* Work, TDaroruTable* Source)
{
    for (const TSibling& sibling : Siblings(*FMain->User)) {
        if (Trim(sibling.Dir).empty())
            continue;
        const String dir = SiblingDir(sibling.Dir);
        if (!FileExists(dir + sibling.ListTable))
            continue;
        {
            TOpenSibling list(Source, dir, sibling.ListTable);
            for (const char* field : {"ID", "NAME", "PATH"})
                if (!Source->FindField(field))
                    throw EImportStopped("The client list " + dir + sibling.ListTable + " has no field " +
                                         field + ".");
            TDaroruWriteGroup group(Work);
            for (Source->First(); !Source->Eof(); Source->Next()) {
                Work->Append();
                Work->FieldByName("ID")->SetAsString(Source->FieldByName("ID")->AsString());
                Work->FieldByName("NAME")->SetAsString(Source->FieldByName("NAME")->AsString());
                Work->FieldByName("PATH")->SetAsString(Source->FieldByName("PATH")->AsString());
                Work->FieldByName("TYPE")->SetAsString(sibling.Type);
                Work->Post();
            }
            group.Done();
        }
        Application->ProcessMessages();
    }
}

// Copies the payer of the picked work-table row into CLIENT.
void CopyClient(TDaroruTable* Work, TDaroruTable* Source)
{
    const String type = Work->FieldByName("TYPE")->AsString();
    for (const TSibling& sibling : Siblings(*FMain->User)) {
        if (type != sibling.Type)
            continue;
        const String dir = SiblingDir(Work->FieldByName("PATH")->AsString());
        if (!FileExists(dir + sibling.ClientTable))
            throw EImportStopped("The client file " + dir + sibling.ClientTable + " of " +
                                 Work->FieldByName("NAME")->AsString() +
                                 " was not found.  Nothing was imported.");
        TOpenSibling client(Source, dir, sibling.ClientTable);
        // Every field is there before the first one is written.
        for (const TFieldCopy& copy : *sibling.Fields)
            if (!Source->FindField(copy.Source))
                throw EImportStopped("The client file " + dir + sibling.ClientTable + " has no field " +
                                     copy.Source + ".  Nothing was imported.");
        Source->First();
        if (Source->Eof())
            throw EImportStopped("The client file " + dir + sibling.ClientTable +
                                 " holds no client.  Nothing was imported.");
        TDaroruTable* payer = DClientDataBase->tblClient;
        for (const TFieldCopy& copy : *sibling.Fields)
            payer->FieldByName(copy.Client)->SetAsString(Source->FieldByName(copy.Source)->AsString());
        payer->FieldByName("DEF_DESCR")
                ->SetAsString("COMPENSATION " + payer->FieldByName("NAME1")->AsString());
        return;
    }
}

}  // namespace

void ImportClientBasic(TDaroruTable* WorkTable, TDaroruTable* SourceTable,
                       const std::function<bool()>& Choose)
{
    try {
        TWorkTable work(WorkTable, FMain->ProgramDir);
        work.Create();
        GatherClients(WorkTable, SourceTable);
        FMain->DaroruEnv1->SetSoftSeek(true);
        WorkTable->SetOrder(WorkTable->TagArea("ID"));
        WorkTable->First();
        if (Choose())
            CopyClient(WorkTable, SourceTable);
    } catch (const EImportStopped& E) {
        ShowMessage(E.Message());
    }
}
