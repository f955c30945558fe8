#pragma once
// TdwQuery: the library's query data set, an SQL query over the local SQL engine
// (or the server, as its access method says) with the library's additions: the
// per-field setting lists its controls read by name, mask validation before a
// post, and the record filter OnFilter with its options.

#include <functional>
#include <memory>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/datasets/dwlookuptables.h"
#include "datacontrols/datasets/dwrecordfilter.h"
#include "datacontrols/datasets/dwsettinglists.h"
#include "remote/droqset.h"

class TdwQuery;

// Whether the data set's active index begins with the fields of FieldNames
// (";"-separated, each a field of the data set) in that order and compares text as
// CaseSensitive asks; a data set without an index has none that serves.
bool dwIsIndexForFields(TDataSet* DataSet, const String& FieldNames, bool CaseSensitive);

using TdwQueryFilterEvent = std::function<void(TdwQuery* Query, bool& Accept)>;

class TdwQuery : public TDaroruQuery, public TdwPublished {
public:
    explicit TdwQuery(TComponent* AOwner);
    String ClassName() const override { return "TdwQuery"; }
    bool InheritsFrom(const String& name) const override;

    TStrings& ControlType() { return FSettings.ControlType; }
    TStrings& LookupFields() { return FSettings.LookupFields; }
    TStrings& LookupLinks() { return FSettings.LookupLinks; }
    TStrings& PictureMasks() { return FSettings.PictureMasks; }
    // The lookup tables this query opened for its display fields.
    TdwLookupTableList& LookupTables() { return FLookupTables; }
    bool ValidateWithMask() const { return FValidateWithMask; }
    void SetValidateWithMask(bool Value) { FValidateWithMask = Value; }

    // The record filter: the event decides on each row read while ofoEnabled is
    // set; assigning it on an open query filters at once.
    const TdwQueryFilterEvent& OnFilter() const { return FOnFilter; }
    void SetOnFilter(TdwQueryFilterEvent Value);
    TdwOnFilterOptions OnFilterOptions() const { return FOnFilterOptions; }
    // Clearing ofoEnabled on an open query with a record filter reads the rows again.
    void SetOnFilterOptions(TdwOnFilterOptions Value);
    std::function<void(TDataSet* DataSet)> OnFilterEscape;
    TdwInvalidValueEvent OnInvalidValue;

    TStrings* PublishedStrings(const String& Name) override { return FSettings.Find(Name); }
    std::optional<int> PublishedOrdinal(const String& Name) override;
    std::optional<String> PublishedText(const String& Name) override;
    const TdwInvalidValueEvent* PublishedInvalidValueEvent() override { return &OnInvalidValue; }
    bool SetPublishedOrdinal(const String& Name, int Value) override;

protected:
    void DoBeforePost() override;
    void DoOnCalcFields() override;
    // The hourglass a rejected row showed ends with the read or count that skipped it.
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordCount() override;
    void InternalClose() override;
    bool FiltersRows() const override;
    bool RowAccepted(TRecordBuffer Buffer) override;

private:
    TdwSettingLists FSettings;
    TdwLookupTableList FLookupTables;
    bool FValidateWithMask = true;
    TdwQueryFilterEvent FOnFilter;
    TdwOnFilterOptions FOnFilterOptions {ofoEnabled, ofoShowHourGlass};
    TdwRecordFilterCalls FFilterCalls;
};
