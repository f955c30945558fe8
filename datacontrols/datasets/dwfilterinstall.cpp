#include "datacontrols/datasets/dwfilterinstall.h"

#include "platform/db/dataset.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"

namespace {

// The engine's query text holds at most this many characters.
constexpr size_t MaxEngineQuery = 256;
constexpr int FilterPriority = 1;

void RefreshActive(TDataSet* DataSet)
{
    if (DataSet->Active())
        DataSet->Refresh();
}

bool InstallOnEngine(const String& Text, TDataSet* DataSet, TdwFilterCursor& Cursor)
{
    bool installed = Text.size() <= MaxEngineQuery;
    if (installed) {
        try {
            Cursor.SetEngineQuery(Text);
        } catch (const Exception&) {
            installed = false;
        }
    }
    RefreshActive(DataSet);
    return installed;
}

}  // namespace

void dwFilterDrop(TDataSet* DataSet, TdwFilterHandle& FilterHandle)
{
    if (FilterHandle == 0)
        return;
    if (auto* cursor = dynamic_cast<TdwFilterCursor*>(DataSet)) {
        cursor->CursorFilters().DeactivateFilter(FilterHandle);
        cursor->CursorFilters().DropFilter(FilterHandle);
    }
    FilterHandle = 0;
}

bool dwFilterInstall(const String& Text, TDataSet* DataSet, TdwFilterHandle& FilterHandle, bool Force)
{
    if (!DataSet->Active() && !Force) {
        FilterHandle = 0;
        return true;
    }
    auto* cursor = dynamic_cast<TdwFilterCursor*>(DataSet);
    if (!cursor) {
        FilterHandle = 0;
        return false;
    }
    if (cursor->EngineServed())
        return InstallOnEngine(Text, DataSet, *cursor);
    if (Trim(Text).empty()) {
        dwFilterDrop(DataSet, FilterHandle);
        RefreshActive(DataSet);
        return true;
    }
    // The filter in force is replaced only by one that compiled and was added, so
    // that a text with a fault never leaves the data set showing every record.
    const TdwFilterBlob blob = dwFilterCompile(Text, DataSet);
    if (blob.empty())
        return false;
    TdwCursorFilters& filters = cursor->CursorFilters();
    const TdwFilterHandle added = filters.AddFilter(DataSet, FilterPriority, &blob, nullptr);
    if (added == 0)
        return false;
    dwFilterDrop(DataSet, FilterHandle);
    FilterHandle = added;
    filters.ActivateFilter(FilterHandle);
    RefreshActive(DataSet);
    return true;
}

bool dwFilterInstallCallback(const TdwRecordFilterCallback& Callback, TDataSet* DataSet,
                             TdwFilterHandle& FilterHandle)
{
    dwFilterDrop(DataSet, FilterHandle);
    bool installed = true;
    if (Callback) {
        auto* cursor = dynamic_cast<TdwFilterCursor*>(DataSet);
        FilterHandle =
                cursor ? cursor->CursorFilters().AddFilter(DataSet, FilterPriority, nullptr, Callback) : 0;
        if (FilterHandle != 0)
            cursor->CursorFilters().ActivateFilter(FilterHandle);
        installed = FilterHandle != 0;
    }
    RefreshActive(DataSet);
    return installed;
}
