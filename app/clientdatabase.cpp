#include "app/clientdatabase.h"

#include "app/pendingrestore.h"
#include "app/user.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/strutils.h"
#include "tables/droerror.h"

TDClientDataBase* DClientDataBase = nullptr;

const char* const ClientInUseMessage = "Unable to open client - the client may be in use by another user";
const char* const CutRestoreMessage = "Unable to open client - a restore of it was cut short and cannot be "
                                      "finished now.  Close the client on "
                                      "every workstation and choose it again.";

String ClientOpenFailureMessage(const Exception& E)
{
    const auto* open = dynamic_cast<const EDaroruOpenError*>(&E);
    if (!open || open->Why() == TDaroruOpenFailure::InUse)
        return ClientInUseMessage;
    const String file = open->FileName();
    const String reason = open->Reason().empty() ? String() : "\n" + open->Reason();
    switch (open->Why()) {
    case TDaroruOpenFailure::Damaged:
        return "Unable to open client - the file " + file + " is damaged." + reason +
               "\nNothing was written to it. Restore the client from its last back-up with Restore in "
               "Configuration (command 05).";
    case TDaroruOpenFailure::Missing: return "Unable to open client - the file " + file + " does not exist.";
    case TDaroruOpenFailure::IndexDamaged:
        return "Unable to open client - the index file of " + file + " is damaged." + reason +
               "\nReindexing rebuilds it: choose this client again with Change Client.";
    default: return "Unable to open client - the file " + file + " cannot be opened." + reason;
    }
}

namespace {

// The longest ID: the width of the ID fields.
constexpr size_t MaxIDLength = 8;

bool IsIDChar(char C)
{
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '-' || C == '_';
}

// How a grid shows one field.
struct TColumnLayout {
    const char* Field;
    const char* Label;
    int Width;
    int Index;  // -1: the position stays
    bool Visible;
    const char* DisplayFormat;  // "": none set
    const char* EditFormat;
};

constexpr const char* Money = "$#,.00";
constexpr const char* MoneyEdit = "#.00";

const TColumnLayout ClientListColumns[] = {
        {"ID", "Client ID", 10, -1, true, "", ""},
        {"NAME", "Client Name", 40, -1, true, "", ""},
};

const TColumnLayout EmployeeColumns[] = {
        {"ID", "Employee ID", 10, 0, true, "", ""},          {"NAME1", "Employee Name", 39, 1, true, "", ""},
        {"LAST", "Employee Last Name", 25, 2, true, "", ""}, {"SSN", "Employee SSN", 20, 3, true, "", ""},
        {"TOTAMT", "", 12, -1, false, Money, MoneyEdit},
};

const TColumnLayout TransactionColumns[] = {
        {"NUMBER", "Reference~Number", 12, 0, true, "########", "########"},
        {"DATE", "Transaction~Date", 12, 1, true, "", ""},
        {"PAYEE", "Payee", 28, 2, true, "", ""},
        {"DESCR", "Transaction~Description", 32, 3, true, "", ""},
        {"AMOUNT", "Amount", 11, 4, true, Money, MoneyEdit},
};

// Hides every field of the data set, then shows and labels the listed ones.
template<size_t N> void LayOut(TDataSet* DataSet, const TColumnLayout (&Columns)[N])
{
    for (TField* field : DataSet->Fields())
        field->SetVisible(false);
    for (const TColumnLayout& c : Columns) {
        TField* field = DataSet->FieldByName(c.Field);
        field->SetDisplayLabel(c.Label);
        field->SetDisplayWidth(c.Width);
        if (c.Index >= 0)
            field->SetIndex(c.Index);
        field->SetVisible(c.Visible);
        if (auto* number = dynamic_cast<TFloatField*>(field); number && *c.DisplayFormat) {
            number->SetDisplayFormat(c.DisplayFormat);
            number->SetEditFormat(c.EditFormat);
        }
    }
}

}  // namespace

bool IsValidID(const String& ID)
{
    if (ID.empty() || ID.size() > MaxIDLength)
        return false;
    for (char c : ID)
        if (!IsIDChar(c))
            return false;
    return true;
}

void CheckID(const String& ID)
{
    if (!IsValidID(ID))
        throw EInvalidID("\"" + ID + "\" is not a valid ID: use 1 to 8 letters, digits, \"-\" or \"_\".");
}

String RecipientTransactionsKey(const String& RecipientID)
{
    return FixedWidthText(RecipientID, static_cast<int>(MaxIDLength));
}

String RecipientTransactionsFilter(const String& RecipientID)
{
    const String id = RecipientTransactionsKey(RecipientID);
    // A recipient stored before IDs were checked may hold a quote: the literal takes
    // delimiters the ID does not hold.
    for (const char* delimiters : {"''", "\"\"", "[]"})
        if (id.find(delimiters[0]) == String::npos && id.find(delimiters[1]) == String::npos)
            return "EMP_ID=" + String(1, delimiters[0]) + id + delimiters[1];
    throw EInvalidID("The transactions of recipient " + RecipientID + " cannot be looked for.");
}

TDClientDataBase::TDClientDataBase(TComponent* AOwner) : TDataModule(AOwner)
{
    SetName("DClientDataBase");
    const auto table = [this](const char* Name) {
        auto* t = new TDaroruTable(this);
        t->SetName(Name);
        return t;
    };
    const auto source = [this](const char* Name, TDaroruTable* Table) {
        auto* s = new TDataSource(this);
        s->SetName(Name);
        s->SetDataSet(Table);
        return s;
    };
    tblClientList = table("tblClientList");
    tblClientList->AfterOpen = [this](TDataSet* d) { tblClientListAfterOpen(d); };
    dsClientList = source("dsClientList", tblClientList);
    tblClient = table("tblClient");
    dsClient = source("dsClient", tblClient);
    tblTransactions = table("tblTransactions");
    tblTransactions->AfterOpen = [this](TDataSet* d) { tblTransactionsAfterOpen(d); };
    dsTransactions = source("dsTransactions", tblTransactions);
    tblEmployee = table("tblEmployee");
    tblEmployee->AfterOpen = [this](TDataSet* d) { tblEmployeeAfterOpen(d); };
    dsEmployee = source("dsEmployee", tblEmployee);
    tblEmployeePrint = table("tblEmployeePrint");
    tblEmployeePrint->AfterOpen = [this](TDataSet* d) { tblEmployeeAfterOpen(d); };
    dsEmployeePrint = source("dsEmployeePrint", tblEmployeePrint);
}

bool TDClientDataBase::InheritsFrom(const String& name) const
{
    return SameText(name, "TDClientDataBase") || TDataModule::InheritsFrom(name);
}

bool TDClientDataBase::DoAskYesNo(const String& Question) { return OnAskYesNo && OnAskYesNo(Question); }

void TDClientDataBase::DoShowMessage(const String& Message)
{
    if (OnShowMessage)
        OnShowMessage(Message);
}

void TDClientDataBase::DoProgress(int Position, int Maximum)
{
    if (OnProgress)
        OnProgress(Position, Maximum);
}

String TDClientDataBase::ClientDir(const String& ID) const
{
    CheckID(ID);
    return DataDir + ID + "/";
}

void TDClientDataBase::Aim(TDaroruTable* Table, const String& Dir, const String& Name, bool Exclusive)
{
    Table->SetDatabaseName(Dir);
    Table->SetTableName(Dir + Name);
    Table->SetExclusive(Exclusive ? WordTrue : WordFalse);
}

bool TDClientDataBase::IsClientOpen(const String& Dir) const
{
    return !FOpenDir.empty() && FOpenDir == Dir && tblTransactions->Active() && tblClient->Active() &&
           tblEmployee->Active();
}

void TDClientDataBase::OpenClient()
{
    if (!User || User->ClientID.empty())
        return;
    try {
        const String dir = ClientDir(User->ClientID);
        if (IsClientOpen(dir))
            return;
        CloseClient();
        bool restored = false;
        if (!FinishCutRestore(dir, restored)) {
            DoShowMessage(CutRestoreMessage);
            User->ClientID.clear();
            return;
        }
        // The restore was cut before its indexes were built whole. Should they fail
        // again, the marker stays and the next opening tries once more.
        if (restored && ReindexClient(User->ClientID))
            EndPendingRestore(dir);
        tblTransactions->SetSxQuery("");
        tblTransactions->SetFiltered(false);
        Aim(tblTransactions, dir, "TOTTRANS", true);
        tblTransactions->Open();
        Aim(tblClient, dir, "CLIENT", false);
        tblClient->Open();
        tblClient->First();
        Aim(tblEmployee, dir, "EMPLOYEE", true);
        tblEmployee->Open();
        tblEmployee->First();
        FOpenDir = dir;
    } catch (const Exception& E) {
        // A client is open whole or not at all.
        CloseClient();
        DoShowMessage(ClientOpenFailureMessage(E));
        User->ClientID.clear();
    }
}

void TDClientDataBase::CloseClient()
{
    tblClient->Close();
    tblTransactions->Close();
    tblEmployee->Close();
    FOpenDir.clear();
}

void TDClientDataBase::OpenClientList()
{
    tblClientList->Close();
    tblClientList->SetSxQuery("");
    tblClientList->SetFiltered(false);
    Aim(tblClientList, ProgramDir, "CLIENTLIST", false);
    tblClientList->Open();
}

void TDClientDataBase::CloseClientList() { tblClientList->Close(); }

void TDClientDataBase::tblClientListAfterOpen(TDataSet*) { LayOut(tblClientList, ClientListColumns); }

void TDClientDataBase::tblEmployeeAfterOpen(TDataSet*)
{
    // Also runs when PRINT opens; it lays out the recipients, when they are open.
    if (tblEmployee->Active())
        LayOut(tblEmployee, EmployeeColumns);
}

void TDClientDataBase::tblTransactionsAfterOpen(TDataSet*) { LayOut(tblTransactions, TransactionColumns); }
