#pragma once
// TdwStoredProc: the library's stored-procedure data set. The local SQL engine
// has no stored procedures, so running one (opening it or ExecProc) raises
// "stored procedures are not supported"; a server's procedures run through
// TDaroruStoredProc.

#include <functional>

#include "datacontrols/datasets/dwrefuseddataset.h"
#include "remote/params.h"

class TdwStoredProc;

using TdwStoredProcFilterEvent = std::function<void(TdwStoredProc* StoredProc, bool& Accept)>;

inline constexpr const char* StoredProcsNotSupported = "stored procedures are not supported";

class TdwStoredProc : public TdwRefusedDataSet {
public:
    explicit TdwStoredProc(TComponent* AOwner) : TdwRefusedDataSet(AOwner, StoredProcsNotSupported) { }
    String ClassName() const override { return "TdwStoredProc"; }
    bool InheritsFrom(const String& name) const override;

    bool ValidateWithMask() const { return FValidateWithMask; }
    void SetValidateWithMask(bool Value) { FValidateWithMask = Value; }
    const String& StoredProcName() const { return FStoredProcName; }
    void SetStoredProcName(const String& Value) { FStoredProcName = Value; }
    TParams& Params() { return FParams; }
    // Raises: there is no engine to run the procedure on.
    void ExecProc() { Refuse(); }

    TdwStoredProcFilterEvent OnFilter;
    bool IsSequenced() const override { return !OnFilter; }

private:
    bool FValidateWithMask = true;
    String FStoredProcName;
    TParams FParams;
};
