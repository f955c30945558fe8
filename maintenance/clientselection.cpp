#include "maintenance/clientselection.h"

#include "app/clientdatabase.h"
#include "app/clientschemas.h"
#include "app/mainform.h"
#include "app/totstart.h"
#include "controls/kvrows.h"
#include "controls/opendocument.h"
#include "maintenance/datamaintenance.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/keys.h"

namespace {

// Rows Page Up and Page Down move.
constexpr int PageRows = 13;

// The files a client's deletion removes: each table's file and index file,
// a stray index of a table without tags too.
std::vector<String> DeletedClientFiles()
{
    std::vector<String> files;
    for (const TTableSchema* table : ClientTableSchemas) {
        files.push_back(String(table->Name) + ".DBF");
        files.push_back(String(table->Name) + ".CDX");
    }
    return files;
}

TLabel* PlaceLabel(TForm* Form, const String& Name, const String& Caption, int Left, int Top, int Width)
{
    TLabel* label = PlaceControl<TLabel>(Form, Form, Name, Left, Top, Width, 13);
    label->SetCaption(Caption);
    return label;
}

TDaroruTable* List() { return DClientDataBase->tblClientList; }

}  // namespace

TFClientSelection::TFClientSelection(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FClientSelection");
    SetCaption("Client Selection");
    SetPosition(poScreenCenter);
    SetBorderStyle(bsDialog);
    SetWidth(514);
    SetHeight(434);

    Label1 = PlaceLabel(this, "Label1", "Search By Client ID", 16, 12, 120);
    Edit1 = PlaceControl<TEdit>(this, this, "Edit1", 16, 28, 120, 21);
    Edit1->SetTabOrder(0);
    Label2 = PlaceLabel(this, "Label2", "Search By Last Name", 148, 12, 180);
    Edit2 = PlaceControl<TEdit>(this, this, "Edit2", 148, 28, 180, 21);
    Edit2->SetTabOrder(1);

    Bevel1 = PlaceControl<TBevel>(this, this, "Bevel1", 344, 6, 146, 52);
    Label3 = PlaceLabel(this, "Label3", "Start a New Client", 368, 10, 110);
    BitBtn3 = PlaceControl<TBitBtn>(this, this, "BitBtn3", 367, 27, 100, 25);
    BitBtn3->SetCaption("&New");
    BitBtn3->SetHint("Start a new client");
    BitBtn3->SetShowHint(true);
    BitBtn3->SetTabOrder(5);

    dwDBGrid1 = PlaceControl<TdwDBGrid>(this, this, "dwDBGrid1", 16, 66, 474, 290);
    // The list is only read here: no typing into cells, no rows added or removed by
    // the grid itself.
    dwDBGrid1->SetOptions(TdwDBGridOptions {dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
                                            dgTabs, dgRowSelect, dgAlwaysShowSelection});
    dwDBGrid1->SetKeyOptions(TdwDBGridKeyOptions {});
    dwDBGrid1->SetReadOnly(true);
    dwDBGrid1->SetDataSource(DClientDataBase->dsClientList);
    dwDBGrid1->SetTabOrder(2);

    BitBtn1 = PlaceControl<TBitBtn>(this, this, "BitBtn1", 160, 368, 90, 27);
    BitBtn1->SetKind(bkOK);
    BitBtn1->SetTabOrder(3);
    BitBtn2 = PlaceControl<TBitBtn>(this, this, "BitBtn2", 264, 368, 90, 27);
    BitBtn2->SetKind(bkCancel);
    BitBtn2->SetTabOrder(4);

    tblList = new TDaroruTable(this);
    tblList->SetName("tblList");

    Edit1->OnChange = [this](TObject* S) { Edit1Change(S); };
    Edit1->OnEnter = [this](TObject* S) { Edit1Enter(S); };
    Edit1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { Edit1KeyDown(S, K, Sh); };
    Edit1->OnKeyPress = [this](TObject* S, char& K) { Edit1KeyPress(S, K); };
    Edit2->OnChange = [this](TObject* S) { Edit2Change(S); };
    Edit2->OnEnter = [this](TObject* S) { Edit2Enter(S); };
    Edit2->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { Edit2KeyDown(S, K, Sh); };
    Edit2->OnKeyPress = [this](TObject* S, char& K) { Edit2KeyPress(S, K); };
    dwDBGrid1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { dwDBGrid1KeyDown(S, K, Sh); };
    dwDBGrid1->OnDblClick = [this](TObject* S) { dwDBGrid1DblClick(S); };
    BitBtn3->OnClick = [this](TObject* S) { BitBtn3Click(S); };
    OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { FormKeyDown(S, K, Sh); };
    OnKeyPress = [this](TObject* S, char& K) { FormKeyPress(S, K); };
    OnCloseQuery = [this](TObject* S, bool& C) { FormCloseQuery(S, C); };
    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
    OnCreate = [this](TObject* S) { FormCreate(S); };
}

void TFClientSelection::FormCreate(TObject*)
{
    NewClient = false;
    SetKeyPreview(true);
    SetActiveControl(Edit1);
}

void TFClientSelection::FormClose(TObject*, TCloseAction&) { }

void TFClientSelection::FormCloseQuery(TObject*, bool& CanClose)
{
    // OK needs a client to choose, unless a new one was asked for.
    if (ModalResult() == mrOk && !NewClient && !HasRow())
        CanClose = false;
}

bool TFClientSelection::HasRow() const
{
    TDaroruTable* list = List();
    return list->Active() && !(list->Bof() && list->Eof());
}

void TFClientSelection::SearchBy(const String& Tag, const String& Text)
{
    if (!List()->Active())
        return;
    List()->SetOrder(List()->TagArea(Tag));
    Search(Text);
}

void TFClientSelection::Search(const String& Text)
{
    if (HasRow())
        List()->Seek(Text);
}

void TFClientSelection::Edit1Enter(TObject*)
{
    SetKeyPreview(false);
    SearchBy("ID", Edit1->Text());
}

void TFClientSelection::Edit2Enter(TObject*)
{
    SetKeyPreview(false);
    SearchBy("NAME", Edit2->Text());
}

void TFClientSelection::Edit1Change(TObject*) { Search(Edit1->Text()); }

void TFClientSelection::Edit2Change(TObject*) { Search(Edit2->Text()); }

void TFClientSelection::MoveList(Word Key)
{
    if (!HasRow())
        return;
    const int rows = Key == VK_NEXT    ? PageRows
                     : Key == VK_PRIOR ? -PageRows
                     : Key == VK_DOWN  ? 1
                     : Key == VK_UP    ? -1
                                       : 0;
    if (rows != 0)
        List()->MoveBy(rows);
}

void TFClientSelection::Edit1KeyDown(TObject*, Word& Key, TShiftState)
{
    ShowHelp(Key);
    MoveList(Key);
}

void TFClientSelection::Edit2KeyDown(TObject*, Word& Key, TShiftState)
{
    ShowHelp(Key);
    MoveList(Key);
}

void TFClientSelection::SlashCancels(char& Key)
{
    if (Key != '/')
        return;
    Key = 0;
    SetModalResult(mrCancel);
}

void TFClientSelection::Edit1KeyPress(TObject*, char& Key) { SlashCancels(Key); }

void TFClientSelection::Edit2KeyPress(TObject*, char& Key) { SlashCancels(Key); }

void TFClientSelection::dwDBGrid1KeyDown(TObject*, Word& Key, TShiftState)
{
    ShowHelp(Key);
    if (Key == VK_DELETE) {
        Key = 0;
        DeleteClient();
    }
}

void TFClientSelection::dwDBGrid1DblClick(TObject*) { SetModalResult(mrOk); }

void TFClientSelection::BitBtn3Click(TObject*)
{
    NewClient = true;
    SetModalResult(mrOk);
}

void TFClientSelection::FormKeyDown(TObject*, Word& Key, TShiftState) { ShowHelp(Key); }

void TFClientSelection::FormKeyPress(TObject*, char& Key)
{
    if (Key == KeyChar::Escape) {
        Key = 0;
        SetModalResult(mrCancel);
    }
    SlashCancels(Key);
}

void TFClientSelection::ShowHelp(Word& Key)
{
    if (Key != VK_F1)
        return;
    Key = 0;
    ShowListHelp(FMain->ProgramDir);
}

void TFClientSelection::DeleteClient()
{
    if (!HasRow())
        return;
    TDaroruTable* list = List();
    const String id = Trim(list->FieldByName("ID")->AsString());
    if (!AskYesNo("Are you sure you want to delete " + list->FieldByName("NAME")->AsString() + " ?"))
        return;
    // The directory is the current client's name, whatever its payer record says.
    if (id == FMain->User->ClientID) {
        ShowMessage("You cannot delete a client that is currently being used.");
        return;
    }
    // A row that names no client directory: no file is looked for outside the data
    // directory.
    if (!IsValidID(id)) {
        ShowMessage(UnusableIDMessage(id, "Nothing was deleted."));
        return;
    }
    // The list is taken for this workstation alone before any file goes.
    DClientDataBase->CloseClientList();
    list->SetDatabaseName(FMain->ProgramDir);
    list->SetTableName(FMain->ProgramDir + "CLIENTLIST");
    list->SetExclusive(WordTrue);
    try {
        list->Open();
    } catch (const Exception&) {
        ShowMessage("Unable to complete delete another user might be trying to access the client list.");
        return;
    }
    const String dir = DClientDataBase->ClientDir(id);
    const std::vector<String> files = DeletedClientFiles();
    for (const String& file : files) {
        if (sharelocks::FileInUse(ResolvePath(dir + file))) {
            DClientDataBase->CloseClientList();
            DClientDataBase->OpenClientList();
            list->SetOrder(list->TagArea("ID"));
            list->Seek(id);
            ShowMessage("The client " + id + " is in use on another workstation.  Nothing was deleted.");
            return;
        }
    }
    for (const String& file : files)
        if (FileExists(dir + file))
            DeleteFile(dir + file);
    // Reopening left the list on its first row: the client's row is found again.
    list->SetOrder(list->TagArea("ID"));
    if (list->Seek(id) && Trim(list->FieldByName("ID")->AsString()) == id)
        list->DaroruDelete();
    list->IndexOpen(FMain->ProgramDir + "CLIENTLIST.CDX");
    list->Pack();
    DClientDataBase->CloseClientList();
    DClientDataBase->OpenClientList();
    ReconstructClientList(this, tblList);
    if (list->Active())
        list->SetOrder(list->TagArea("ID"));
}

bool ShowClientSelection(bool& NewClient)
{
    const auto form = OneUseForm<TFClientSelection>();
    const bool chosen = form->ShowModal() == mrOk;
    NewClient = form->NewClient;
    return chosen;
}
