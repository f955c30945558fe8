#include "datacontrols/datasets/dwcursorfilters.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"

TdwFilterHandle TdwCursorFilters::AddFilter(TDataSet* ClientData, int Priority,
                                            const TdwFilterBlob* Expression, TdwRecordFilterCallback Callback)
{
    TFilter filter {0, ClientData, Priority, nullptr, std::move(Callback)};
    if (Expression) {
        try {
            filter.Expression = std::make_unique<TdwFilterPredicate>(*Expression, FDataSet);
        } catch (const Exception&) {
            return 0;
        }
    } else if (!filter.Callback) {
        return 0;
    }
    filter.Handle = ++FLastHandle;
    const auto after = std::find_if(FFilters.begin(), FFilters.end(),
                                    [Priority](const TFilter& f) { return f.Priority > Priority; });
    FFilters.insert(after, std::move(filter));
    return FLastHandle;
}

TdwCursorFilters::TFilter* TdwCursorFilters::Find(TdwFilterHandle Handle)
{
    for (TFilter& filter : FFilters)
        if (filter.Handle == Handle)
            return &filter;
    return nullptr;
}

bool TdwCursorFilters::SetActive(TdwFilterHandle Handle, bool Active)
{
    TFilter* filter = Find(Handle);
    if (filter)
        filter->Active = Active;
    return filter != nullptr;
}

bool TdwCursorFilters::DropFilter(TdwFilterHandle Handle)
{
    const auto found = std::find_if(FFilters.begin(), FFilters.end(),
                                    [Handle](const TFilter& f) { return f.Handle == Handle; });
    if (found == FFilters.end())
        return false;
    FFilters.erase(found);
    return true;
}

bool TdwCursorFilters::Filtering() const
{
    return std::any_of(FFilters.begin(), FFilters.end(), [](const TFilter& f) { return f.Active; });
}

bool TdwCursorFilters::Accepts() const
{
    for (const TFilter& filter : FFilters) {
        if (!filter.Active)
            continue;
        const bool accepted =
                filter.Expression ? filter.Expression->Accepts() : filter.Callback(filter.ClientData);
        if (!accepted)
            return false;
    }
    return true;
}
