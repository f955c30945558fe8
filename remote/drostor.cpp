#include "remote/drostor.h"

#include "tables/droerror.h"

TDaroruStoredProc::~TDaroruStoredProc() { SetDaroruConnection(nullptr); }

void TDaroruStoredProc::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    if (!Value)
        return;
    auto refuse = [this](const char* Text) {
        FActive = false;
        throw EDaroruStoredProc(Text);
    };
    if (!FConnection)
        refuse(drotext::NoConnection);
    if (!FConnection->Connected())
        refuse("Not connected");
    if (FProcName.empty())
        refuse("ProcName is empty!");
    FConnection->SetProcName(FProcName);
    FConnection->ProcParams() = FProcParams;
    FConnection->ExecProc();
    FProcParams = FConnection->ProcParams();
}

void TDaroruStoredProc::ExecProc() { SetActive(true); }

void TDaroruStoredProc::SetDaroruConnection(TDaroruServerConnection* Value)
{
    SetConnectionReference(this, FConnection, Value);
}

void TDaroruStoredProc::SetProcName(const String& Name)
{
    if (Name == FProcName)
        return;
    SetActive(false);
    FProcName = Name;
    if (FConnection && FConnection->Connected() && !Name.empty()) {
        FProcParams.Clear();
        if (TParams* params = FConnection->GetParams(Name))
            FProcParams = *params;
    }
}

void TDaroruStoredProc::SetProcParams(const TParams& Params)
{
    if (!FConnection || !FConnection->Connected() || FProcName.empty())
        return;
    FConnection->SetProcName(FProcName);
    FConnection->ProcParams() = Params;
    FConnection->SetParams(FProcName, Params);
}

void TDaroruStoredProc::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FConnection)
        FConnection = nullptr;
}
