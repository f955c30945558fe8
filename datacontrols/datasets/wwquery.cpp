#include "datacontrols/datasets/wwquery.h"

#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/rtl/strutils.h"

namespace {
constexpr int EscapeCheckInterval = 100;
constexpr int FilterCallWrap = 32000;

class TInCallback {
public:
    explicit TInCallback(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TInCallback() { FFlag = false; }
    TInCallback(const TInCallback&) = delete;
    TInCallback& operator=(const TInCallback&) = delete;

private:
    bool& FFlag;
};
class TEndHourGlass {
public:
    explicit TEndHourGlass(std::unique_ptr<TdwHourGlass>& HourGlass) : FHourGlass(HourGlass) { }
    ~TEndHourGlass() { FHourGlass.reset(); }
    TEndHourGlass(const TEndHourGlass&) = delete;
    TEndHourGlass& operator=(const TEndHourGlass&) = delete;

private:
    std::unique_ptr<TdwHourGlass>& FHourGlass;
};
}  // namespace

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
    if (disabling && Active() && FOnFilter && !FInFilterCallback)
        Refresh();
}

TGetResult TdwQuery::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck)
{
    const TEndHourGlass end(FHourGlass);
    return TDaroruQuery::GetRecord(Buffer, GetMode, DoCheck);
}

int TdwQuery::GetRecordCount()
{
    const TEndHourGlass end(FHourGlass);
    return TDaroruQuery::GetRecordCount();
}

void TdwQuery::InternalClose()
{
    FHourGlass.reset();
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
    if (ComponentState().Contains(csDestroying) || !FOnFilter || FInFilterCallback ||
        !FOnFilterOptions.Contains(ofoEnabled))
        return true;
    bool accept = true;
    const TDataSetState saved = SetTempState(dsFilter);
    {
        const TInCallback inCallback(FInFilterCallback);
        SetFilterBuffer(Buffer);
        try {
            FOnFilter(this, accept);
        } catch (...) {
            SetFilterBuffer(nullptr);
            RestoreState(saved);
            throw;
        }
        SetFilterBuffer(nullptr);
        if (!accept && FOnFilterOptions.Contains(ofoShowHourGlass) && !FHourGlass)
            FHourGlass = std::make_unique<TdwHourGlass>();
        if (FOnFilterOptions.Contains(ofoCancelOnEscape)) {
            if (++FFilterCallCount >= FilterCallWrap)
                FFilterCallCount = 0;
            if (FFilterCallCount % EscapeCheckInterval == 0 && dwCancelFilterOnEscape()) {
                FOnFilterOptions.Exclude(ofoEnabled);
                if (OnFilterEscape)
                    OnFilterEscape(this);
            }
        }
    }
    RestoreState(saved);
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
