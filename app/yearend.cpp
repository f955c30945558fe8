#include "app/yearend.h"

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "app/totstart.h"
#include "app/user.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"

namespace {

const char* const Totals[] = {"TOTAMT", "FWT", "STATE_INC1", "SWT1", "STATE_INC2", "SWT2"};

void Aim(TDaroruTable* Table, const String& FileName, bool Exclusive)
{
    Table->Close();
    Table->SetDatabaseName(ExtractFilePath(FileName));
    Table->SetTableName(FileName);
    Table->SetTableType(ttSXFOX);
    Table->SetExclusive(Exclusive ? WordTrue : WordFalse);
}

// An empty copy of Source's structure at Target, with the schema's tags built anew.
void CopyEmpty(TDaroruTable* Source, TDaroruTable* Target, const String& TargetName,
               const TTableSchema& Schema)
{
    Source->CopyStructure(TargetName);
    Aim(Target, TargetName, true);
    Target->Open();
    DeleteFile(ChangeFileExt(TargetName, ".CDX"));
    for (const char* tag : Schema.Tags)
        Target->IndexTag("", tag, tag, 0, false, "");
}

// Carries the recipients without a termination date, with their totals at 0.
void CarryRecipients(TDaroruTable* Old, TDaroruTable* New)
{
    const int newCount = New->DaroruFieldCount();
    const int oldCount = Old->DaroruFieldCount();
    // Synced once, at the end, not at each recipient.
    TDaroruWriteGroup group(New);
    for (Old->First(); !Old->Eof(); Old->Next()) {
        if (!Trim(Old->FieldByName("TERM_DATE")->AsString()).empty())
            continue;
        New->Append();
        for (int i = 1; i <= newCount; ++i) {
            const String name = New->FieldName(i);
            for (int j = 1; j <= oldCount; ++j) {
                if (Old->FieldName(j) != name)
                    continue;
                const String type = New->FieldType(name);
                if (type == "C")
                    New->FieldByName(name)->SetAsString(Old->FieldByName(name)->AsString());
                else if (type == "N")
                    New->FieldByName(name)->SetAsFloat(Old->FieldByName(name)->AsFloat());
            }
        }
        for (const char* total : Totals)
            New->FieldByName(total)->SetAsFloat(0);
        New->Post();
    }
    group.Done();
}

// Copies a table of the old client beside itself as .BAK; on failure asks whether
// to go on. False to stop.
bool BackUp(const String& Dir, const char* Table, const String& Question)
{
    if (CopyFile(Dir + Table + ".DBF", Dir + Table + ".BAK", false))
        return true;
    return AskYesNo(Question);
}

}  // namespace

bool RebuildClientList(TDaroruTable* Reader, const std::function<void(const String&)>& Status)
{
    const String dataDir = FMain->DataDir;
    DClientDataBase->CloseClient();
    const std::vector<String> names = ListFiles(dataDir, "*.", lkDirectories);
    bool rebuilt = DClientDataBase->CreateClientList();
    if (rebuilt) {
        DClientDataBase->OpenClientList();
        TDaroruTable* list = DClientDataBase->tblClientList;
        for (const String& name : names) {
            const String payer = dataDir + name + "/CLIENT.DBF";
            if (!FileExists(payer))
                continue;
            Aim(Reader, payer, false);
            Reader->Open();
            Status("Adding - " + name);
            list->Append();
            list->FieldByName("ID")->SetAsString(name);
            list->FieldByName("NAME")->SetAsString(Reader->FieldByName("NAME1")->AsString());
            list->FieldByName("PATH")->SetAsString(dataDir + name);
            list->Post();
            Reader->Close();
        }
        DClientDataBase->CloseClientList();
    }
    DClientDataBase->OpenClient();
    return rebuilt;
}

void TFTotStart::KVButton7Click(TObject*)
{
    const String oldID = FMain->User->ClientID;
    if (oldID.empty()) {
        ShowMessage("A valid client has not been selected.");
        return;
    }
    if (!AskYesNo("Are you sure you want to year-end-update? This function will copy the current client to a "
                  "new "
                  "client directory for the new year, zero / delete all transactions for the new client to "
                  "make "
                  "ready for the new year.  We highly recommend backing-up client data files prior to "
                  "year-end-updating!"))
        return;
    String newID;
    GetFileID("Enter a new client ID for the new year (i.e. 08CLIENT) -- Current Client ID is -- " + oldID,
              &newID);
    if (newID.empty()) {
        ShowMessage("Year end update aborted.");
        return;
    }
    const String& dataDir = FMain->DataDir;
    if (!IsValidID(newID)) {
        ShowMessage(UnusableIDMessage(newID, "Year end update aborted."));
        return;
    }
    if (FileExists(dataDir + newID + "/CLIENT.DBF")) {
        ShowMessage("That client ID is already in use.  Year end update is aborted.");
        return;
    }
    const String oldDir = dataDir + oldID + "/";
    const String newDir = dataDir + newID + "/";
    {
        TStatusProgress progress("Processing...", 8);
        if (!DirectoryExists(newDir) && !CreateDir(newDir)) {
            ShowMessage("Unable to create new directory");
            return;
        }
        DClientDataBase->CloseClient();
        try {
            const std::pair<const char*, const char*> backUps[] = {
                    {"EMPLOYEE", "Unable to make an internal back up of the employee/recipient database. "
                                 "Would you like to continue "
                                 "with year-end-update anyway?"},
                    {"TOTTRANS", "Unable to make an internal back up of the transactions database. Would you "
                                 "like to continue with "
                                 "year-end-update anyway?"},
            };
            for (const auto& [table, question] : backUps) {
                if (!BackUp(oldDir, table, question)) {
                    DClientDataBase->OpenClient();
                    return;
                }
                progress.Step();
            }

            if (!CopyFile(oldDir + "CLIENT.DBF", newDir + "CLIENT.DBF", false)) {
                ShowMessage("Unable to copy the client's basic information to " + newDir +
                            ".  Year end update aborted.");
                DClientDataBase->OpenClient();
                return;
            }
            TDaroruTable old(nullptr);
            Aim(&old, oldDir + "EMPLOYEE.DBF", true);
            old.Open();
            CopyEmpty(&old, tblNewClient, newDir + "EMPLOYEE.DBF", EmployeeSchema);
            CarryRecipients(&old, tblNewClient);
            old.Close();
            tblNewClient->Close();
            progress.Step();

            Aim(&old, oldDir + "TOTTRANS.DBF", true);
            old.Open();
            CopyEmpty(&old, tblNewClient, newDir + "TOTTRANS.DBF", TransactionSchema);
            old.Close();
            tblNewClient->Close();
            progress.Step();

            DClientDataBase->CloseClient();
            DClientDataBase->ReindexClient(newID);
            DClientDataBase->OpenClient();
            progress.Step();
            DClientDataBase->CloseClient();
            DClientDataBase->ReindexClient(oldID);
            DClientDataBase->OpenClient();
            progress.Step();
            DClientDataBase->EnsureClientTables(oldID);
            progress.Step();

            SetCaption("Adding found clients to client picklist");
            if (!RebuildClientList(tblNewClient, [this](const String& Step) { SetCaption(Step); }))
                ShowMessage("File in use unable to reconstruct at this time.");
            progress.Step();
        } catch (...) {
            // The old client stays the current one, open, whatever went wrong.
            tblNewClient->Close();
            SetCaption("1099 Totamund Main");
            DClientDataBase->OpenClient();
            throw;
        }
    }
    ShowMessage(
            "Year-end-update procedure is finished for " + dataDir + newID +
            " Dont forget to change to the new client when journalizing transactions for the new year.  If "
            "importing information from the KVMoney or KVGL programs be sure to change the 1099 integration "
            "client ID in those programs client's basic information.");
    SetCaption("1099 Totamund Main");
}
