// Making tables: a client's three tables, the pick list, and the rebuild of a
// client's index files.

#include <iterator>

#include "app/clientdatabase.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"

namespace {

// Table, schema and what the question asked before it is created calls it.
struct TClientTable {
    TDaroruTable* TDClientDataBase::*Table;
    const TTableSchema* Schema;
    const char* Database;
};

const TClientTable ClientTables[] = {
        {&TDClientDataBase::tblClient, &ClientSchema, "client"},
        {&TDClientDataBase::tblEmployee, &EmployeeSchema, "employee"},
        {&TDClientDataBase::tblTransactions, &TransactionSchema, "transactions"},
};

// The question before a missing table of a client is created, naming the
// client's directory.
String CreateQuestion(const TClientTable& Table, const String& Dir)
{
    return String("The ") + Table.Database + " database does not exist at this data location (" + Dir +
           ").  Would you like to create it now?";
}

String FileOf(const String& Dir, const TTableSchema& Schema, const char* Extension)
{
    return Dir + Schema.Name + Extension;
}

bool InUse(const String& FileName) { return sharelocks::FileInUse(ResolvePath(FileName)); }

// Opens the aimed table exclusively and builds every tag of the schema in its
// structural index; the table is closed again, also when a step fails.
void BuildTags(TDaroruTable* Table, const TTableSchema& Schema)
{
    Table->SetExclusive(WordTrue);
    Table->Open();
    try {
        for (const char* tag : Schema.Tags)
            Table->IndexTag("", tag, tag, 0, false, "");
    } catch (...) {
        Table->Close();
        throw;
    }
    Table->Close();
}

// Makes sure Dir exists; one level is created.
void NeedDirectory(const String& Dir)
{
    if (!DirectoryExists(Dir) && !CreateDir(Dir))
        throw EDatabaseError("Unable to create the directory " + Dir);
}

}  // namespace

void TDClientDataBase::CreateTableFile(TDaroruTable* Table, const String& Dir, const TTableSchema& Schema)
{
    if (!Table->CreateNew(Dir + Schema.Name, 2, static_cast<SmallInt>(Schema.Fields.size())))
        throw EDatabaseError("Unable to create the table " + FileOf(Dir, Schema, ".DBF"));
    for (const TFieldSchema& f : Schema.Fields)
        Table->CreateField(f.Name, String(1, f.Type), static_cast<SmallInt>(f.Width),
                           static_cast<SmallInt>(f.Decimals));
    Table->CreateExec();
}

void TDClientDataBase::CreateClientTable(TDaroruTable* Table, const String& Dir, const TTableSchema& Schema)
{
    CreateTableFile(Table, Dir, Schema);
    if (&Schema == &ClientSchema) {
        // The payer's one record.
        Aim(Table, Dir, Schema.Name, false);
        Table->Open();
        try {
            Table->Append();
            Table->FieldByName("DATA_VER")->SetAsInteger(1);
            Table->Post();
        } catch (...) {
            Table->Close();
            throw;
        }
        Table->Close();
        return;
    }
    // An index file left from an earlier table would not match the new one.
    const String cdx = FileOf(Dir, Schema, ".CDX");
    if (FileExists(cdx) && !DeleteFile(ResolvePath(cdx)))
        throw EDatabaseError("Unable to delete the old index file " + cdx);
    Aim(Table, Dir, Schema.Name, true);
    BuildTags(Table, Schema);
}

void TDClientDataBase::CreateClientTables(const String& ID)
{
    const String dir = ClientDir(ID);
    for (const TClientTable& t : ClientTables)
        if (FileExists(FileOf(dir, *t.Schema, ".DBF")))
            throw EDatabaseError("The client " + ID + " already has its tables in " + dir +
                                 "; they were left as they are.");
    // The tables of the open client are the ones that make the files.
    CloseClient();
    const int steps = static_cast<int>(std::size(ClientTables));
    DoProgress(0, steps);
    NeedDirectory(dir);
    int position = 0;
    for (const TClientTable& t : ClientTables) {
        CreateClientTable(this->*t.Table, dir, *t.Schema);
        DoProgress(++position, steps);
    }
}

void TDClientDataBase::EnsureClientTables(const String& ID)
{
    const String dir = ClientDir(ID);
    for (const TClientTable& t : ClientTables) {
        if (FileExists(FileOf(dir, *t.Schema, ".DBF")) || !DoAskYesNo(CreateQuestion(t, dir)))
            continue;
        NeedDirectory(dir);
        CloseClient();
        CreateClientTable(this->*t.Table, dir, *t.Schema);
    }
}

bool TDClientDataBase::RebuildTags(TDaroruTable* Table, const String& Dir, const TTableSchema& Schema)
{
    const String cdx = FileOf(Dir, Schema, ".CDX");
    // The old index stays aside until the new one is complete.
    const String oldIndex = ResolvePath(cdx);
    const String aside = oldIndex + ".OLD";
    const bool hadIndex = FileExists(oldIndex);
    if (hadIndex && !RenameFile(oldIndex, aside))
        return false;
    try {
        Aim(Table, Dir, Schema.Name, true);
        BuildTags(Table, Schema);
    } catch (const Exception&) {
        if (FileExists(cdx))
            DeleteFile(ResolvePath(cdx));
        if (hadIndex)
            RenameFile(aside, oldIndex);
        return false;
    }
    if (hadIndex)
        DeleteFile(aside);
    return true;
}

bool TDClientDataBase::ReindexClient(const String& ID)
{
    if (!IsValidID(ID))
        return false;
    const String dir = ClientDir(ID);
    if (!FileExists(dir + "CLIENT.DBF"))
        return false;
    const bool wasOpen = IsClientOpen(dir);
    if (wasOpen)
        CloseClient();
    const auto rebuild = [&] {
        // Both tables must be free before either index is touched.
        for (const TTableSchema* schema : {&TransactionSchema, &EmployeeSchema}) {
            const String dbf = FileOf(dir, *schema, ".DBF");
            if (!FileExists(dbf) || InUse(dbf) || InUse(FileOf(dir, *schema, ".CDX")))
                return false;
        }
        return RebuildTags(tblTransactions, dir, TransactionSchema) &&
               RebuildTags(tblEmployee, dir, EmployeeSchema);
    };
    const bool ok = rebuild();
    if (wasOpen)
        OpenClient();
    return ok;
}

bool TDClientDataBase::CreateClientList()
{
    const bool wasOpen = tblClientList->Active();
    CloseClientList();
    bool ok = false;
    // Another open of the list, here or on another computer, keeps it as it is.
    if (!InUse(FileOf(ProgramDir, ClientListSchema, ".DBF")) &&
        !InUse(FileOf(ProgramDir, ClientListSchema, ".CDX"))) {
        try {
            CreateClientTable(tblClientList, ProgramDir, ClientListSchema);
            ok = true;
        } catch (const Exception&) {
        }
    }
    if (wasOpen) {
        try {
            OpenClientList();
        } catch (const Exception&) {
            ok = false;
        }
    }
    return ok;
}
