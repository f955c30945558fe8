#pragma once
// A library data set that has no engine to run on here (QBE, local stored
// procedures): it carries the library's setting lists and filter settings like the
// other library data sets, never opens, and says why when asked to open or write.

#include <functional>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datasets/dwsettinglists.h"
#include "platform/db/dataset.h"

class TdwRefusedDataSet : public TDataSet, public TdwPublished {
public:
    // Reason: the text opening or writing raises.
    TdwRefusedDataSet(TComponent* AOwner, const char* Reason) : TDataSet(AOwner), FReason(Reason) { }

    TStrings& ControlType() { return FSettings.ControlType; }
    TStrings& LookupFields() { return FSettings.LookupFields; }
    TStrings& LookupLinks() { return FSettings.LookupLinks; }
    TStrings& PictureMasks() { return FSettings.PictureMasks; }

    std::function<void(TDataSet* DataSet)> OnFilterEscape;
    TdwOnFilterOptions OnFilterOptions {ofoEnabled, ofoShowHourGlass};
    TdwInvalidValueEvent OnInvalidValue;

    bool GetFieldData(TField* /*Field*/, void* /*Buffer*/) override { return false; }
    void SetFieldData(TField* Field, const void* Buffer) override;

    TStrings* PublishedStrings(const String& Name) override { return FSettings.Find(Name); }
    std::optional<int> PublishedOrdinal(const String& Name) override;
    const TdwInvalidValueEvent* PublishedInvalidValueEvent() override { return &OnInvalidValue; }

protected:
    // Raises the reason.
    [[noreturn]] void Refuse();

    void InternalOpen() override { Refuse(); }
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
    const char* FReason;
    TdwSettingLists FSettings;
};
