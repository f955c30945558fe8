#include "maintenance/datamaintenance.h"

#include <functional>
#include <memory>
#include <vector>

#include "app/clientdatabase.h"
#include "app/clientschemas.h"
#include "app/mainform.h"
#include "app/pendingrestore.h"
#include "app/smalldialogs.h"
#include "app/totstart.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"

namespace {

TUser* User() { return FMain->User; }
String DataDir() { return FMain->DataDir; }

// The first file of Files in Dir that another open holds; "" when none.
String FirstInUse(const String& Dir, const std::vector<String>& Files)
{
    for (const String& file : Files)
        if (sharelocks::FileInUse(ResolvePath(Dir + file)))
            return Dir + file;
    return "";
}

// Reindexes the current client with the user told the outcome; true when done.
bool ReindexWithMessage(const String& ID)
{
    bool done = false;
    try {
        done = DClientDataBase->ReindexClient(ID);
    } catch (const Exception&) {
        done = false;
    }
    ShowMessage(done ? "Re-index complete for - " + ID : String("Unable to perform re-index"));
    return done;
}

// Enters the restored client, open now, in the pick list: its row is updated or
// added.
void EnterInPickList(const String& ID)
{
    TDaroruTable* list = DClientDataBase->tblClientList;
    try {
        DClientDataBase->OpenClientList();
        const ScopeExit closeList([] { DClientDataBase->CloseClientList(); });
        FMain->DaroruEnv1->SetSoftSeek(true);
        list->SetOrder(list->TagArea("ID"));
        const bool found = list->Seek(ID) && Trim(list->FieldByName("ID")->AsString()) == ID;
        if (found)
            list->Edit();
        else
            list->Append();
        list->FieldByName("ID")->SetAsString(ID);
        list->FieldByName("NAME")->SetAsString(DClientDataBase->tblClient->FieldByName("NAME1")->AsString());
        list->FieldByName("PATH")->SetAsString(ExcludeTrailingPathDelimiter(DClientDataBase->ClientDir(ID)));
        list->Post();
    } catch (const Exception&) {
        if (list->Active() && list->State() != dsBrowse)
            list->Cancel();
        ShowMessage("The client " + ID +
                    " was restored, but the client pick list could not be updated.  Use Reconstruct to "
                    "rebuild it.");
    }
}

// Copies the Files of Root over those of Dir, all or none, and removes Stale from
// Dir with them: each file is copied beside its target first; only when every
// copy is complete and on the disk does a marker name the renames and removals,
// and only then are they done, so that a power cut leaves the old files or, at
// the next opening, the new ones. The marker stays until the new tables' indexes
// are built. The sources that could not be copied in are returned; none when all
// went in.
std::vector<String> CopyAllOrNone(const String& Root, const String& Dir, const std::vector<String>& Files,
                                  const std::vector<String>& Stale)
{
    std::vector<String> failed;
    std::vector<String> aside;
    // Until the marker is written, an opening of the client on another
    // workstation takes the copies for leftovers of a cut restore; held, they
    // cannot be removed.
    std::vector<std::unique_ptr<sharelocks::FileClaim>> held;
    for (const String& file : Files) {
        const String temp = Dir + file + PendingCopySuffix;
        held.push_back(std::make_unique<sharelocks::FileClaim>());
        const bool copied = FileExists(Root + file) && CopyFile(Root + file, temp, false);
        if (copied && held.back()->Claim(ResolvePath(temp)) && FileExists(temp))
            aside.push_back(temp);
        else
            failed.push_back(Root + file);
    }
    const TPendingRestore steps {Files, Stale};
    if (failed.empty() && !BeginPendingRestore(Dir, steps))
        for (const String& file : Files)
            failed.push_back(Root + file);
    held.clear();
    if (!failed.empty()) {
        for (const String& temp : aside)
            if (FileExists(temp))
                DeleteFile(temp);
        return failed;
    }
    // What cannot be done now stays named in the marker; the client's next
    // opening finishes it.
    for (const String& target : CompletePendingRestore(Dir, steps))
        failed.push_back(Root + ExtractFileName(target));
    return failed;
}

}  // namespace

bool ChooseDirectory(const String& Title, const String& Typed, String& Dir)
{
    auto* dialog = Construct<TFPathDialog>(Application.operator->());
    const ScopeExit freeDialog([dialog] { dialog->Free(); });
    dialog->Label4->SetCaption(Title);
    dialog->Edit2->SetText(dialog->DirectoryListBox1->Directory());
    dialog->Edit1->SetText(Typed);
    if (dialog->ShowModal() != mrOk)
        return false;
    Dir = IncludeTrailingPathDelimiter(NormalizePath(FMain->DialogResult));
    return true;
}

void ReindexCurrentClient()
{
    const String id = User()->ClientID;
    if (id.empty()) {
        ShowMessage("A current client has not been selected.");
        return;
    }
    DClientDataBase->CloseClient();
    const ScopeExit reopen([] { DClientDataBase->OpenClient(); });
    ReindexWithMessage(id);
}

void ReconstructClientList(TCustomForm* Form, TDaroruTable* Reader)
{
    const String caption = Form->Caption();
    const bool listWasOpen = DClientDataBase->tblClientList->Active();
    const ScopeExit restore([&] {
        if (!listWasOpen)
            DClientDataBase->CloseClientList();
        DClientDataBase->OpenClient();
        Form->SetCaption(caption);
    });
    Form->SetCaption("Scrolling through data path for valid client directories");
    const std::vector<String> names = ListFiles(DataDir(), "*.", lkDirectories);
    DClientDataBase->CloseClient();
    Form->SetCaption("Adding found clients to client picklist");
    if (!DClientDataBase->CreateClientList()) {
        ShowMessage("File in use unable to reconstruct at this time.");
        return;
    }
    DClientDataBase->OpenClientList();
    TDaroruTable* list = DClientDataBase->tblClientList;
    std::vector<String> skipped;
    for (const String& name : names) {
        const String dir = DataDir() + name;
        if (!FileExists(dir + "/CLIENT.DBF"))
            continue;
        // A name the list cannot hold whole would later name no directory.
        if (!IsValidID(name)) {
            skipped.push_back(name);
            continue;
        }
        try {
            Reader->Close();
            Reader->SetDatabaseName(dir + "/");
            Reader->SetTableName(dir + "/CLIENT.DBF");
            Reader->SetExclusive(WordFalse);
            Reader->Open();
            const ScopeExit closeReader([Reader] { Reader->Close(); });
            Form->SetCaption("Adding - " + name);
            list->Append();
            list->FieldByName("ID")->SetAsString(name);
            list->FieldByName("NAME")->SetAsString(Reader->FieldByName("NAME1")->AsString());
            list->FieldByName("PATH")->SetAsString(dir);
            list->Post();
        } catch (const Exception&) {
            if (list->State() != dsBrowse)
                list->Cancel();
            skipped.push_back(name);
        }
    }
    String finished = "Client List Reconstruct Finished.";
    if (!skipped.empty()) {
        finished += "\n\nThese directories were left out: their names are no client IDs or their client file "
                    "cannot be read:";
        for (const String& name : skipped)
            finished += "\n" + name;
    }
    ShowMessage(finished);
}

void BackupClient()
{
    if (User()->ClientID.empty()) {
        ShowMessage("A current client is not active to backup.");
        return;
    }
    String root;
    if (ChooseDirectory("Select Data Path To Backup Files To", "", root))
        BackupClientTo(root);
}

void BackupClientTo(const String& Root)
{
    const String id = User()->ClientID;
    if (id.empty()) {
        ShowMessage("A current client is not active to backup.");
        return;
    }
    const String root = IncludeTrailingPathDelimiter(NormalizePath(Root));
    DClientDataBase->CloseClient();
    const ScopeExit reopen([] { DClientDataBase->OpenClient(); });
    const String source = DClientDataBase->ClientDir(id);
    const String target = root + id + "/";
    // The tables are held for this workstation alone while they are copied, so the
    // copy is of one moment.
    std::vector<std::unique_ptr<sharelocks::FileClaim>> claims;
    for (const String& file : ClientDataFiles()) {
        claims.push_back(std::make_unique<sharelocks::FileClaim>());
        if (!claims.back()->Claim(ResolvePath(source + file))) {
            ShowMessage("The client " + id + " is in use on another workstation.  Nothing was backed up.");
            return;
        }
    }
    ForceDirectories(target);
    std::vector<String> failed;
    // The tables alone: a restore rebuilds their indexes.
    for (const String& file : ClientTableFiles())
        if (!FileExists(source + file) || !CopyFile(source + file, target + file, false))
            failed.push_back(source + file);
    if (failed.empty())
        ShowMessage("Back up complete");
    for (const String& file : failed)
        ShowMessage("Back of " + file + " failed");
}

void RestoreClient(TDaroruTable* Reader)
{
    String root;
    if (ChooseDirectory("Select Data Path To Restore Files From", "", root))
        RestoreClientFrom(root, Reader);
}

void RestoreClientFrom(const String& Root, TDaroruTable* Reader)
{
    const String root = IncludeTrailingPathDelimiter(NormalizePath(Root));
    if (!FileExists(root + "CLIENT.DBF")) {
        ShowMessage("A valid client was not found at the selected path.  No restoration took place.");
        return;
    }
    String id;
    {
        Reader->Close();
        Reader->SetDatabaseName(root);
        Reader->SetTableName(root + "CLIENT.DBF");
        Reader->SetExclusive(WordFalse);
        Reader->Open();
        const ScopeExit closeReader([Reader] { Reader->Close(); });
        // Compared with the program's own client layout, so that a restore works with
        // no client open too.
        if (Reader->FieldCount() != static_cast<int>(ClientSchema.Fields.size())) {
            ShowMessage("The client file at the selected path is not a client file of this program.  "
                        "No restoration took place.");
            return;
        }
        Reader->First();
        id = Trim(Reader->FieldByName("ID")->AsString());
    }
    // A client made by this program keeps no ID in its payer record; its back-up
    // lies in a directory named after it.
    if (id.empty())
        id = ExtractFileName(ExcludeTrailingPathDelimiter(root));
    // The ID names the directory the files go to.
    if (!IsValidID(id)) {
        ShowMessage(UnusableIDMessage(id, "No restoration took place."));
        return;
    }
    const String dir = DClientDataBase->ClientDir(id);
    const bool existed = FileExists(dir + "CLIENT.DBF");
    if (existed &&
        !AskYesNo("Client files already exist.  By continuing you will overwrite all existing data for " +
                  id + " at the selected path location.  Do you want to continue?"))
        return;
    // Nothing is overwritten unless every table of the back-up is there.
    std::vector<String> files, missing;
    for (const String& file : ClientTableFiles()) {
        files.push_back(file);
        if (!FileExists(root + file))
            missing.push_back(root + file);
    }
    for (const String& file : missing)
        ShowMessage("Unable to restore " + file);
    if (!missing.empty())
        return;

    DClientDataBase->CloseClient();
    const String previous = User()->ClientID;
    bool restored = false;
    const ScopeExit reopen([&] {
        if (!restored)
            User()->ClientID = previous;
        DClientDataBase->OpenClient();
    });
    const String inUse = FirstInUse(dir, ClientDataFiles());
    if (!inUse.empty()) {
        ShowMessage("The client " + id + " is in use on another workstation.  No restoration took place.");
        return;
    }
    if (!DirectoryExists(dir) && !CreateDir(dir)) {
        ShowMessage("Unable to create the directory " + dir + ".  No restoration took place.");
        return;
    }
    // The old index files describe the old tables, and a journal left by a write the
    // old tables never finished would be rolled back onto the restored ones.
    std::vector<String> stale = ClientIndexFiles();
    for (const String& file : ClientJournalFiles())
        stale.push_back(file);
    const std::vector<String> failed = CopyAllOrNone(root, dir, files, stale);
    for (const String& file : failed)
        ShowMessage("Unable to restore " + file);
    if (!failed.empty())
        return;
    User()->ClientID = id;
    if (!ReindexWithMessage(id)) {
        ShowMessage("The tables of " + id + " were copied, but their indexes could not be built, so " + id +
                    " was not made the current client.  Use Reindex after choosing it.");
        return;
    }
    EndPendingRestore(dir);
    restored = true;
    DClientDataBase->OpenClient();
    if (!DClientDataBase->tblClient->Active())
        return;
    ShowMessage("Restoration for " + id + " complete");
    EnterInPickList(id);
}
