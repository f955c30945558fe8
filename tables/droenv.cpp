#include "tables/droenv.h"

#include <functional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"
#include "platform/xbengine/xbe50.h"
#include "tables/daroruconnection.h"
#include "tables/drodset.h"
#include "tables/drosearch.h"
#include "tables/xbe50.h"

namespace {

struct TDateFormatInfo {
    XBSHORT EngineCode;
    char Separator;
    const char* ShortFormat;
};

// dfWinDefault has no system locale to ask here: it is the American format.
constexpr TDateFormatInfo DateFormats[] = {
        {0, '/', "mm/dd/yy"}, {1, '.', "yy.mm.dd"}, {2, '/', "dd/mm/yy"}, {3, '/', "dd/mm/yy"},
        {4, '.', "dd.mm.yy"}, {5, '-', "dd-mm-yy"}, {6, '-', "dd-mm-yy"}, {99, '/', "mm/dd/yy"},
};

void ForEachTable(const std::function<void(TDaroruTable*)>& Action)
{
    TDaroruSearchObject search;
    for (TComponent* c = search.SearchFirstComponent("TDaroruTable"); c;
         c = search.SearchNextComponent("TDaroruTable"))
        if (auto* table = dynamic_cast<TDaroruTable*>(c))
            Action(table);
}

void CheckRange(int Value, int Low, int High)
{
    if (Value < Low || Value > High)
        throw ERangeError("Range check error");
}

}  // namespace

TDaroruEnv::TDaroruEnv(TComponent* AOwner) : TComponent(AOwner) { }

bool TDaroruEnv::InheritsFrom(const String& name) const
{
    return SameText(name, "TDaroruEnv") || TComponent::InheritsFrom(name);
}

void TDaroruEnv::Loaded()
{
    TComponent::Loaded();
    if (FApplyTo == TDaroruApplyTo {atLocal})
        LoadDLL();
}

void TDaroruEnv::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDaroruConnection)
        FDaroruConnection = nullptr;
}

void TDaroruEnv::SetDaroruConnection(TDaroruConnection* Value)
{
    SetConnectionReference(this, FDaroruConnection, Value);
}

bool TDaroruEnv::ServerPush() const
{
    return FApplyTo.Contains(atServer) && FDaroruConnection && FDaroruConnection->Connected();
}

bool TDaroruEnv::LocalPush() const
{
    if (!FApplyTo.Contains(atLocal))
        return false;
    LoadDLL();
    return XbeLoaded();
}

template<class R, class V>
void TDaroruEnv::Push(R (TDaroruConnection::*Request)(V), R (*TXbeFunctions::*Slot)(V), const char* Name,
                      V Value)
{
    if (ServerPush())
        (FDaroruConnection->*Request)(Value);
    if (LocalPush())
        XbeCall(Xbe().*Slot, Name, Value);
}

#define ENV_PUSH(name, value)                                                                                \
    Push(&TDaroruConnection::ap_##name, &TXbeFunctions::xb_##name, "xb_" #name, value)

void TDaroruEnv::SetSoftSeek(WordBool Value)
{
    if (FApplyTo.Empty() || (Value != 0) == FSoftSeek)
        return;
    FSoftSeek = Value != 0;
    ENV_PUSH(SetSoftSeek, Value);
}

void TDaroruEnv::SetExact(WordBool Value)
{
    if (FApplyTo.Empty() || (Value != 0) == FExact)
        return;
    FExact = Value != 0;
    ENV_PUSH(SetExact, Value);
}

void TDaroruEnv::SetDeleted(WordBool Value)
{
    if (FApplyTo.Empty())
        return;
    FDeleted = Value;
    ENV_PUSH(SetDeleted, Value);
    RefreshDataSets();
}

void TDaroruEnv::SetCentury(WordBool Value)
{
    if (FApplyTo.Empty())
        return;
    FCentury = Value;
    ENV_PUSH(SetCentury, Value);
    AdjustCentury();
    RefreshDataSets();
}

void TDaroruEnv::AdjustCentury()
{
    String& s = ShortDateFormat;
    if (FCentury) {
        if (s.find("yyyy") == String::npos) {
            const auto at = s.find("yy");
            if (at != String::npos)
                s.insert(at, "yy");
        }
    } else {
        if (s.find("yyyy") != String::npos)
            s.erase(s.rfind("yyyy") + 2, 2);
    }
}

void TDaroruEnv::SetDateFormat(TDaroruDateFrmt Value)
{
    if (FApplyTo.Empty())
        return;
    FDateFormat = Value;
    const TDateFormatInfo& info = DateFormats[Value];
    ENV_PUSH(SetDateFormat, info.EngineCode);
    DateSeparator = info.Separator;
    ShortDateFormat = info.ShortFormat;
    if (FCentury)
        SetCentury(FCentury);
    else
        RefreshDataSets();
}

void TDaroruEnv::SetEpoch(int Value)
{
    if (FApplyTo.Empty())
        return;
    if (Value == 0)
        Value = 1900;
    else if (Value < 100)
        Value = 100;
    else if (Value > 2999)
        Value = 2999;
    FEpoch = Value;
    ENV_PUSH(SetEpoch, static_cast<XBWORD>(Value));
}

void TDaroruEnv::SetLockTimeOut(int Value)
{
    if (FApplyTo.Empty() || Value == FLockTimeOut)
        return;
    CheckRange(Value, -32768, 32767);
    ENV_PUSH(SetLockTimeout, static_cast<XBSHORT>(Value));
    FLockTimeOut = Value;
}

void TDaroruEnv::SetMemoBlockSize(int Value)
{
    if (FApplyTo.Empty() || Value == FMemoBlockSize)
        return;
    CheckRange(Value, 0, 65535);
    ENV_PUSH(SetMemoBlockSize, static_cast<XBWORD>(Value));
    FMemoBlockSize = Value;
}

void TDaroruEnv::SetOptimisticBuffer(WordBool Value)
{
    if (!LocalPush())
        return;
    XBE_CALL(xb_SysProp, XBE_PROP_SET_OPTIMISTIC_BUFFER, Value ? XBPROP(-1) : XBPROP(0));
    FOptimisticBuffer = XBE_CALL(xb_SysProp, XBE_PROP_OPTIMISTIC_BUFFER, 0) != 0;
}

void TDaroruEnv::SetDurableWrites(WordBool Value)
{
    if (!LocalPush())
        return;
    XBE_CALL(xb_SysProp, XBE_PROP_SET_DURABLE_WRITES, Value ? XBPROP(-1) : XBPROP(0));
    FDurableWrites = XBE_CALL(xb_SysProp, XBE_PROP_DURABLE_WRITES, 0) != 0;
}

int TDaroruEnv::ErrorLevel(int Level)
{
    if (!LocalPush())
        return 0;
    FErrorLevel = Level;
    return XBE_CALL(xb_ErrorLevel, Level);
}

int TDaroruEnv::SetErrorFunc(XBERRORFUNC Func, std::intptr_t Arg)
{
    if (!LocalPush())
        return -1;
    const int r = XBE_CALL(xb_SetErrorFunc, Func, Arg);
    FErrorFunc = Func ? r : -1;
    return r;
}

XBPROP TDaroruEnv::SysProp(XBSHORT Prop, XBPROP Value)
{
    XBPROP result = 0;
    if (ServerPush())
        result = FDaroruConnection->ap_SysProp(Prop, Value);
    if (LocalPush())
        return XBE_CALL(xb_SysProp, Prop, Value);
    return result;
}

void TDaroruEnv::CloseDataSets()
{
    ForEachTable([](TDaroruTable* t) { t->Close(); });
}

void TDaroruEnv::OpenDataSets()
{
    ForEachTable([](TDaroruTable* t) { t->Open(); });
}

void TDaroruEnv::RefreshDataSets()
{
    ForEachTable([](TDaroruTable* t) {
        if (t->Active())
            t->Refresh();
    });
}

bool TDaroruDatabase::InheritsFrom(const String& name) const
{
    return SameText(name, "TDaroruDataBase") || TComponent::InheritsFrom(name);
}

void TDaroruDatabase::CloseDataSets()
{
    ForEachTable([this](TDaroruTable* t) {
        if (t->DatabaseName() == FDataPathAlias)
            t->Close();
    });
}

void TDaroruDatabase::OpenDataSets()
{
    ForEachTable([this](TDaroruTable* t) {
        if (t->DatabaseName() == FDataPathAlias)
            t->Open();
    });
}

void TDaroruDatabase::RefreshDataSets()
{
    ForEachTable([this](TDaroruTable* t) {
        if (t->DatabaseName() == FDataPathAlias && t->Active())
            t->Refresh();
    });
}
