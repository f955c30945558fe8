#include "datacontrols/datasets/wwquery.h"

#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/datasets/dwtableindex.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

namespace {

// Ends a read on the data set: the hourglass a rejected record showed goes with it.
struct TEndRead {
    TdwRecordFilterCalls& Calls;
    ~TEndRead() { Calls.ReadEnded(); }
};

}  // namespace

bool dwIsIndexForFields(TDataSet* DataSet, const String& FieldNames, bool CaseSensitive)
{
    std::vector<TField*> fields;
    for (const String& name : dwSplitFieldNames(FieldNames))
        fields.push_back(DataSet->FieldByName(name));
    auto* table = dynamic_cast<TDaroruTable*>(DataSet);
    if (!table || !table->Active())
        return false;
    const std::vector<String> indexFields = dwActiveIndexFields(table);
    if (fields.empty() || fields.size() > indexFields.size() ||
        dwIsCaseInsensitiveIndex(table) == CaseSensitive)
        return false;
    for (size_t i = 0; i < fields.size(); ++i)
        if (table->FindField(indexFields[i]) != fields[i])
            return false;
    return true;
}

TdwQuery::TdwQuery(TComponent* AOwner) : TDaroruQuery(AOwner) { SetAccessMethod(amLocal); }

bool TdwQuery::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwQuery") || SameText(name, "TQuery") || TDaroruQuery::InheritsFrom(name);
}

void TdwQuery::SetOnFilter(TdwQueryFilterEvent Value)
{
    FOnFilter = std::move(Value);
    if (Active())
        Refresh();
}

void TdwQuery::SetOnFilterOptions(TdwOnFilterOptions Value)
{
    const bool disabling = FOnFilterOptions.Contains(ofoEnabled) && !Value.Contains(ofoEnabled);
    FOnFilterOptions = Value;
    if (disabling && Active() && FOnFilter && !FFilterCalls.InCall())
        Refresh();
}

TGetResult TdwQuery::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck)
{
    const TEndRead end {FFilterCalls};
    return TDaroruQuery::GetRecord(Buffer, GetMode, DoCheck);
}

int TdwQuery::GetRecordCount()
{
    const TEndRead end {FFilterCalls};
    return TDaroruQuery::GetRecordCount();
}

void TdwQuery::InternalClose()
{
    FFilterCalls.ReadEnded();
    FLookupTables.Clear();
    TDaroruQuery::InternalClose();
}

bool TdwQuery::FiltersRows() const
{
    return TDaroruQuery::FiltersRows() || (FOnFilter && FOnFilterOptions.Contains(ofoEnabled));
}

bool TdwQuery::RowAccepted(TRecordBuffer Buffer)
{
    if (!TDaroruQuery::RowAccepted(Buffer))
        return false;
    if (ComponentState().Contains(csDestroying) || !FOnFilter || FFilterCalls.InCall() ||
        !FOnFilterOptions.Contains(ofoEnabled))
        return true;
    const TDataSetState saved = SetTempState(dsFilter);
    SetFilterBuffer(Buffer);
    bool accept = true;
    const ScopeExit restore([&] {
        SetFilterBuffer(nullptr);
        RestoreState(saved);
    });
    accept = FFilterCalls.Run(
            FOnFilterOptions, [this](bool& Accept) { FOnFilter(this, Accept); },
            [this] {
                if (OnFilterEscape)
                    OnFilterEscape(this);
            });
    return accept;
}

void TdwQuery::DoBeforePost()
{
    TDaroruQuery::DoBeforePost();
    if (FValidateWithMask)
        dwValidateWithMasks(this, OnInvalidValue);
}

void TdwQuery::DoOnCalcFields()
{
    dwPurgeMissingFieldEntries(this, &FSettings.LookupFields, &FSettings.LookupLinks, &FSettings.ControlType);
    dwOpenLookupTables(this, &FSettings.LookupFields, &FSettings.LookupLinks, &FLookupTables);
    TDaroruQuery::DoOnCalcFields();
}

std::optional<int> TdwQuery::PublishedOrdinal(const String& Name)
{
    if (Name == "OnFilterOptions")
        return dwFilterOptionsToOrdinal(FOnFilterOptions);
    return std::nullopt;
}

std::optional<String> TdwQuery::PublishedText(const String& Name)
{
    if (Name == "DatabaseName")
        return DatabaseName();
    return std::nullopt;
}

bool TdwQuery::SetPublishedOrdinal(const String& Name, int Value)
{
    if (Name != "OnFilterOptions")
        return false;
    SetOnFilterOptions(dwFilterOptionsFromOrdinal(Value));
    return true;
}
