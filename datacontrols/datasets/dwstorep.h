#pragma once
// TdwStoredProc: the library's stored-procedure data set. The local SQL engine
// has no stored procedures, so running one (opening it or ExecProc) raises
// "stored procedures are not supported"; a server's procedures run through
// TDaroruStoredProc. It carries the library's setting lists and filter
// settings like the other library data sets.

#include <functional>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datasets/dwsettinglists.h"
#include "platform/db/dataset.h"
#include "remote/params.h"

class TdwStoredProc;

using TdwStoredProcFilterEvent = std::function<void(TdwStoredProc* StoredProc, bool& Accept)>;

inline constexpr const char* StoredProcsNotSupported = "stored procedures are not supported";

class TdwStoredProc : public TDataSet, public TdwPublished {
public:
    explicit TdwStoredProc(TComponent* AOwner) : TDataSet(AOwner) { }
    String ClassName() const override { return "TdwStoredProc"; }
    bool InheritsFrom(const String& name) const override;

    TStrings& ControlType() { return FSettings.ControlType; }
    TStrings& LookupFields() { return FSettings.LookupFields; }
    TStrings& LookupLinks() { return FSettings.LookupLinks; }
    TStrings& PictureMasks() { return FSettings.PictureMasks; }
    bool ValidateWithMask() const { return FValidateWithMask; }
    void SetValidateWithMask(bool Value) { FValidateWithMask = Value; }
    const String& StoredProcName() const { return FStoredProcName; }
    void SetStoredProcName(const String& Value) { FStoredProcName = Value; }
    TParams& Params() { return FParams; }
    // Raises: there is no engine to run the procedure on.
    void ExecProc();

    TdwStoredProcFilterEvent OnFilter;
    std::function<void(TDataSet* DataSet)> OnFilterEscape;
    TdwOnFilterOptions OnFilterOptions {ofoEnabled, ofoShowHourGlass};
    TdwInvalidValueEvent OnInvalidValue;

    bool IsSequenced() const override { return !OnFilter; }
    bool GetFieldData(TField* /*Field*/, void* /*Buffer*/) override { return false; }
    void SetFieldData(TField* Field, const void* Buffer) override;

    TStrings* PublishedStrings(const String& Name) override { return FSettings.Find(Name); }
    std::optional<int> PublishedOrdinal(const String& Name) override;
    const TdwInvalidValueEvent* PublishedInvalidValueEvent() override { return &OnInvalidValue; }

protected:
    void InternalOpen() override;
    void InternalClose() override { }
    void InternalInitFieldDefs() override { }
    bool IsCursorOpen() override { return false; }
    TRecordBuffer AllocRecordBuffer() override { return nullptr; }
    void FreeRecordBuffer(TRecordBuffer& Buffer) override { Buffer = nullptr; }
    TGetResult GetRecord(TRecordBuffer /*Buffer*/, TGetMode /*GetMode*/, bool /*DoCheck*/) override
    {
        return grEOF;
    }
    void InternalInitRecord(TRecordBuffer /*Buffer*/) override { }
    void InternalFirst() override { }
    void InternalLast() override { }
    void InternalSetToRecord(TRecordBuffer /*Buffer*/) override { }
    void InternalGotoBookmark(const void* /*Bookmark*/) override { }
    void GetBookmarkData(TRecordBuffer /*Buffer*/, void* /*Data*/) override { }
    void SetBookmarkData(TRecordBuffer /*Buffer*/, const void* /*Data*/) override { }
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer /*Buffer*/) override { return bfCurrent; }
    void SetBookmarkFlag(TRecordBuffer /*Buffer*/, TBookmarkFlag /*Value*/) override { }

private:
    TdwSettingLists FSettings;
    bool FValidateWithMask = true;
    String FStoredProcName;
    TParams FParams;
};
