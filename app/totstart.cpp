#include "app/totstart.h"

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "controls/kvrows.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/colors.h"

TFTotStart* FTotStart = nullptr;
TMenuForms MenuForms;
const char* const NotAvailableMessage = "This command is not available in this build.";

namespace {

const char* const Banner = "Current Client -- ";

// Shows the form when this build has it.
template<class F, class... Args> bool ShowIfAvailable(const F& Form, Args&&... args)
{
    if (!Form) {
        ShowMessage(NotAvailableMessage);
        return false;
    }
    Form(std::forward<Args>(args)...);
    return true;
}

String ClientName() { return DClientDataBase->tblClient->FieldByName("NAME1")->AsString(); }

}  // namespace

String UnusableIDMessage(const String& ID, const String& Outcome)
{
    return "The client ID " + ID + " cannot be used: use 1 to 8 letters, digits, \"-\" or \"_\".  " + Outcome;
}

TFTotStart::TFTotStart(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FTotStart");
    SetFormStyle(fsMDIChild);
    SetCaption("1099 Totamund Main");
    SetPosition(poDefault);

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    BitBtn1 = NewChild<TBitBtn>(this, KVToolBar1, "BitBtn1");
    BitBtn1->SetBounds(4, 2, 90, 24);
    BitBtn1->SetCaption("&Reports");
    BitBtn1->SetHint("Opens report selection menu");
    BitBtn1->SetShowHint(true);
    BitBtn1->OnClick = [this](TObject* S) { BitBtn1Click(S); };

    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");

    Panel1 = NewChild<TPanel>(this, this, "Panel1");
    Panel1->SetBounds(96, 44, 583, 340);
    Panel1->SetColor(clWhite);
    Panel1->SetBevelOuter(bvRaised);
    Panel1->SetCaption("");

    KVButton1 = Section(1, KVBevel1, KVLabel1, "Client Information", "Client Info",
                        "Edit current clients basic information", &TFTotStart::KVButton1Click);
    KVButton2 = Section(2, KVBevel2, KVLabel2, "Employee / 1099 Recipient Information", "Employee",
                        "Edit or add recipient's", &TFTotStart::KVButton2Click);
    KVButton3 = Section(3, KVBevel3, KVLabel3, "Enter and/or Edit Transactions", "Transactions",
                        "Enter or edit transactions", &TFTotStart::KVButton3Click);
    KVButton4 = Section(4, KVBevel4, KVLabel4, "Change Current Client", "Change Client",
                        "Change the current client or add a new client", &TFTotStart::KVButton4Click);
    KVButton5 =
            Section(5, KVBevel5, KVLabel5, "Configuration", "Configuration",
                    "Reconstruct, reindex, back-up or restore datafiles, etc.", &TFTotStart::KVButton5Click);
    KVButton6 = Section(6, KVBevel7, KVLabel6, "Print Reports", "Reports", "Print reports and 1099's",
                        &TFTotStart::KVButton6Click);
    KVButton7 = Section(7, KVBevel8, KVLabel7, "Year-End-Update", "YEU",
                        "Get the currently selected ready for the new year.", &TFTotStart::KVButton7Click);
    KVButton7->Font()->SetColor(clNavy);

    Label1 = NewChild<TLabel>(this, Panel1, "Label1");
    Label1->SetBounds(16, 306, 550, 16);
    Label1->SetAutoSize(false);
    Label1->Font()->SetStyle(TFontStyles {fsBold});
    Label1->SetCaption(Banner);

    tblNewClient = new TDaroruTable(this);
    tblNewClient->SetName("tblNewClient");

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
    SetVisible(true);
}

TKVButton* TFTotStart::Section(int Number, TKVBevel*& Bevel, TKVLabel*& Label, const String& Caption,
                               const String& ButtonCaption, const String& Hint,
                               void (TFTotStart::*Handler)(TObject*))
{
    const int top = 12 + (Number - 1) * 41;
    Bevel = new TKVBevel(this);
    Bevel->SetParent(Panel1);
    Bevel->SetBounds(12, top, 559, 35);
    Label = new TKVLabel(this);
    Label->SetName("KVLabel" + IntToStr(Number));
    Label->SetParent(Panel1);
    Label->SetBounds(24, top + 11, 380, 15);
    Label->Font()->SetColor(clNavy);
    Label->Font()->SetStyle(TFontStyles {fsBold});
    Label->SetCaption(Caption);
    auto* button = new TKVButton(this);
    button->SetName("KVButton" + IntToStr(Number));
    button->SetParent(Panel1);
    button->SetBounds(440, top + 7, 120, 21);
    button->SetCaption(ButtonCaption);
    button->Font()->SetStyle(TFontStyles {fsBold});
    button->SetHint(Hint);
    button->SetShowHint(true);
    button->SetTabOrder(Number - 1);
    button->OnClick = [this, Handler](TObject* S) { (this->*Handler)(S); };
    Label->SetFirstControl(button);
    return button;
}

void TFTotStart::FormCreate(TObject*)
{
    FTotStart = this;
    TerminateOnClose = true;
    TUser* user = FMain->User;
    if (!user->ClientID.empty()) {
        DClientDataBase->EnsureClientTables(user->ClientID);
        DClientDataBase->OpenClient();
    }
    ShowCurrentClient();
    if (!FileExists(FMain->ProgramDir + "CLIENTLIST.DBF"))
        DClientDataBase->CreateClientList();
}

void TFTotStart::ShowCurrentClient()
{
    const String& id = FMain->User->ClientID;
    if (!id.empty())
        DClientDataBase->EnsureClientTables(id);
    // Tables that failed to open leave no current client.
    const bool client = !id.empty() && DClientDataBase->tblClient->Active();
    for (TKVButton* button : {KVButton1, KVButton2, KVButton3, KVButton6})
        button->SetEnabled(client);
    KVButton4->SetEnabled(true);
    KVButton5->SetEnabled(true);
    BitBtn1->SetEnabled(client);
    Label1->SetCaption(client ? Banner + ClientName() : String(Banner));
}

void TFTotStart::FormClose(TObject*, TCloseAction& Action)
{
    FMain->SaveUserSettings();
    DClientDataBase->CloseClient();
    Action = caFree;
    if (TerminateOnClose)
        Application->Terminate();
}

void TFTotStart::KVButton1Click(TObject*)
{
    if (!MenuForms.ClientBasic) {
        ShowMessage(NotAvailableMessage);
        return;
    }
    TDaroruTable* client = DClientDataBase->tblClient;
    client->Edit();
    MenuForms.ClientBasic(false);
    client->Post();
    client->Commit();
    DClientDataBase->OpenClientList();
    TDaroruTable* list = DClientDataBase->tblClientList;
    list->SetOrder(list->TagArea("ID"));
    const String& id = FMain->User->ClientID;
    // The search finds the nearest key too; only the client's own row is renamed.
    if (list->Seek(id) && Trim(list->FieldByName("ID")->AsString()) == id) {
        list->Edit();
        list->FieldByName("NAME")->SetAsString(ClientName());
        list->Post();
    }
    DClientDataBase->CloseClientList();
    ShowCurrentClient();
}

void TFTotStart::KVButton2Click(TObject*) { ShowIfAvailable(MenuForms.EmployeeStart); }

void TFTotStart::KVButton3Click(TObject*)
{
    if (!MenuForms.RecipientLookup || !MenuForms.Transactions) {
        ShowMessage(NotAvailableMessage);
        return;
    }
    FMain->DaroruEnv1->SetSoftSeek(true);
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    recipients->SetOrder(recipients->TagArea("ID"));
    if (!MenuForms.RecipientLookup())
        return;
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    transactions->SetFilter(RecipientTransactionsFilter(recipients->FieldByName("ID")->AsString()));
    transactions->SetFiltered(true);
    transactions->First();
    MenuForms.Transactions();
}

void TFTotStart::KVButton4Click(TObject*)
{
    if (!MenuForms.ClientSelection || !MenuForms.ClientBasic) {
        ShowMessage(NotAvailableMessage);
        return;
    }
    DClientDataBase->OpenClientList();
    FMain->DaroruEnv1->SetSoftSeek(true);
    TDaroruTable* list = DClientDataBase->tblClientList;
    list->SetOrder(list->TagArea("ID"));
    bool newClient = false;
    if (MenuForms.ClientSelection(newClient)) {
        if (newClient) {
            String id;
            GetFileID("Enter Unique File ID (i.e. " + RightChars(FMain->TaxYearText[1], 2) + "CLIENT)", &id);
            if (id.empty()) {
                ShowMessage("A file name was not entered.  Create was aborted.");
                DClientDataBase->CloseClientList();
                return;
            }
            CreateNewClient(id);
        } else {
            // A row copied in from elsewhere may not name a client directory.
            const String id = Trim(list->FieldByName("ID")->AsString());
            if (IsValidID(id))
                SwitchToClient(id);
            else
                ShowMessage(UnusableIDMessage(id, "The current client was kept."));
        }
    }
    DClientDataBase->CloseClientList();
    ShowCurrentClient();
}

void TFTotStart::CreateNewClient(const String& ID)
{
    // An ID that would name a path elsewhere, or an existing client, is refused
    // before anything changes.
    if (!IsValidID(ID)) {
        ShowMessage(UnusableIDMessage(ID, "Create was aborted."));
        return;
    }
    if (FileExists(DClientDataBase->ClientDir(ID) + "CLIENT.DBF")) {
        ShowMessage("That client ID is already in use.  Create was aborted.");
        return;
    }
    DClientDataBase->CloseClient();
    FMain->User->ClientID = ID;
    DClientDataBase->CreateClientTables(ID);
    DClientDataBase->OpenClient();
    TDaroruTable* client = DClientDataBase->tblClient;
    client->Edit();
    client->FieldByName("ID")->SetAsString(ID);
    MenuForms.ClientBasic(true);
    client->Post();
    TDaroruTable* list = DClientDataBase->tblClientList;
    list->Append();
    list->FieldByName("ID")->SetAsString(ID);
    list->FieldByName("NAME")->SetAsString(ClientName());
    list->FieldByName("PATH")->SetAsString(ExcludeTrailingPathDelimiter(DClientDataBase->ClientDir(ID)));
    list->Post();
    DClientDataBase->CloseClientList();
    DClientDataBase->CloseClient();
    DClientDataBase->ReindexClient(ID);
    DClientDataBase->OpenClient();
}

void TFTotStart::SwitchToClient(const String& ID)
{
    DClientDataBase->CloseClient();
    FMain->User->ClientID = ID;
    DClientDataBase->EnsureClientTables(ID);
    DClientDataBase->CloseClient();
    DClientDataBase->ReindexClient(ID);
    DClientDataBase->OpenClient();
}

void TFTotStart::KVButton5Click(TObject*) { ShowIfAvailable(MenuForms.Configuration); }

void TFTotStart::KVButton6Click(TObject*) { ShowIfAvailable(MenuForms.Print); }

void TFTotStart::BitBtn1Click(TObject*) { ShowIfAvailable(MenuForms.Print); }
