#pragma once
// The engine's process-wide settings as a component: each change is pushed to
// the engine (and to a database server when asked), and the class library's
// short date format follows the engine's date format.

#include <cstdint>

#include "platform/classes/component.h"
#include "platform/classes/sets.h"
#include "platform/xbengine/xbe_types.h"
#include "tables/drcommon.h"
#include "tables/xbe50.h"

class TDaroruConnection;

enum TDaroruApplyType { atLocal, atServer };
using TDaroruApplyTo = SetOf<TDaroruApplyType>;

enum TDaroruDateFrmt {
    dfAmerican,
    dfAnsi,
    dfBritish,
    dfFrench,
    dfGerman,
    dfItalian,
    dfSpanish,
    dfWinDefault
};

class TDaroruEnv : public TComponent {
public:
    explicit TDaroruEnv(TComponent* AOwner);
    String ClassName() const override { return "TDaroruEnv"; }
    bool InheritsFrom(const String& name) const override;
    // Loads the engine when the settings apply to the local engine alone.
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TDaroruConnection* DaroruConnection() const { return FDaroruConnection; }
    void SetDaroruConnection(TDaroruConnection* Value);
    TDaroruApplyTo ApplyTo() const { return FApplyTo; }
    void SetApplyTo(TDaroruApplyTo Value) { FApplyTo = Value; }
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value) { FAutoRefresh = Value; }
    WordBool Century() const { return FCentury; }
    void SetCentury(WordBool Value);
    TDaroruDateFrmt DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDaroruDateFrmt Value);
    WordBool Deleted() const { return FDeleted; }
    void SetDeleted(WordBool Value);
    int Epoch() const { return FEpoch; }
    void SetEpoch(int Value);
    WordBool Exact() const { return ToWordBool(FExact); }
    void SetExact(WordBool Value);
    int ErrorFunc() const { return FErrorFunc; }
    WordBool CountNeedsRefresh() const { return FCountNeedsRefresh; }
    int LockTimeOut() const { return FLockTimeOut; }
    void SetLockTimeOut(int Value);
    int MemoBlockSize() const { return FMemoBlockSize; }
    void SetMemoBlockSize(int Value);
    WordBool OptimisticBuffer() const { return ToWordBool(FApplyTo.Contains(atLocal) && FOptimisticBuffer); }
    void SetOptimisticBuffer(WordBool Value);
    WordBool SoftSeek() const { return ToWordBool(FSoftSeek); }
    void SetSoftSeek(WordBool Value);
    // Each change of a table opened from now on reaches the disk before it
    // returns, in an order a power cut cannot break (on by default); off for
    // scratch tables, whose changes a power cut may leave half-written.
    WordBool DurableWrites() const { return ToWordBool(FDurableWrites); }
    void SetDurableWrites(WordBool Value);

    // Sets the engine's error level and returns its answer; 0 without the local engine.
    int ErrorLevel(int Level);
    int GetErrorLevel() const { return FErrorLevel; }
    // Installs an engine error function; ErrorFunc becomes the engine's answer, or -1
    // when Func is null.
    int SetErrorFunc(XBERRORFUNC Func, std::intptr_t Arg);
    XBPROP SysProp(XBSHORT Prop, XBPROP Value);

    // Every table of the program: closed, opened, or (the open ones) refreshed.
    void CloseDataSets();
    void OpenDataSets();
    void RefreshDataSets();

private:
    bool ServerPush() const;
    // Sends a setting to the server and to the local engine, as ApplyTo says.
    template<class R, class V>
    void Push(R (TDaroruConnection::*Request)(V), R (*TXbeFunctions::*Slot)(V), const char* Name, V Value);
    bool LocalPush() const;
    void AdjustCentury();

    TDaroruConnection* FDaroruConnection = nullptr;
    TDaroruApplyTo FApplyTo {atLocal};
    bool FAutoRefresh = true;
    WordBool FCentury = WordTrue;
    TDaroruDateFrmt FDateFormat = dfWinDefault;
    WordBool FDeleted = WordFalse;
    int FEpoch = 1980;
    bool FExact = false;
    int FErrorFunc = -1;
    WordBool FCountNeedsRefresh = WordFalse;
    int FLockTimeOut = 1;
    int FMemoBlockSize = 64;
    bool FOptimisticBuffer = false;
    bool FDurableWrites = true;
    bool FSoftSeek = false;
    int FErrorLevel = 0;
};

// A data directory under an alias that a table's DatabaseName may name.
class TDaroruDatabase : public TComponent {
public:
    explicit TDaroruDatabase(TComponent* AOwner) : TComponent(AOwner) { }
    String ClassName() const override { return "TDaroruDataBase"; }
    bool InheritsFrom(const String& name) const override;

    const String& DataPath() const { return FDataPath; }
    void SetDataPath(const String& Value) { FDataPath = Value; }
    const String& DataPathAlias() const { return FDataPathAlias; }
    void SetDataPathAlias(const String& Value) { FDataPathAlias = Value; }

    // The tables whose DatabaseName is this alias (exactly as written).
    void CloseDataSets();
    void OpenDataSets();
    void RefreshDataSets();

private:
    String FDataPath;
    String FDataPathAlias;
};
