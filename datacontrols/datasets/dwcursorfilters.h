#pragma once
// The filters on a library data set's cursor: compiled filter expressions and
// record callbacks, added, activated, deactivated and dropped by handle. The data
// set asks Accepts for each record it reads.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "datacontrols/datasets/dwfilter.h"
#include "datacontrols/datasets/dwfiltereval.h"

class TDataSet;

using TdwFilterHandle = std::uintptr_t;  // 0: no filter
// Decides on the current record of ClientData.
using TdwRecordFilterCallback = std::function<bool(TDataSet* ClientData)>;

class TdwCursorFilters {
public:
    explicit TdwCursorFilters(TDataSet* DataSet) : FDataSet(DataSet) { }

    // An expression or a callback (the other null); 0 when the expression cannot be
    // evaluated over the data set. Filters of a lower priority decide first.
    TdwFilterHandle AddFilter(TDataSet* ClientData, int Priority, const TdwFilterBlob* Expression,
                              TdwRecordFilterCallback Callback);
    bool ActivateFilter(TdwFilterHandle Handle) { return SetActive(Handle, true); }
    bool DeactivateFilter(TdwFilterHandle Handle) { return SetActive(Handle, false); }
    bool DropFilter(TdwFilterHandle Handle);
    void DropAll() { FFilters.clear(); }

    // Whether any filter is active, and whether every active one takes the record.
    bool Filtering() const;
    bool Accepts() const;

private:
    struct TFilter {
        TdwFilterHandle Handle;
        TDataSet* ClientData;
        int Priority;
        std::unique_ptr<TdwFilterPredicate> Expression;
        TdwRecordFilterCallback Callback;
        bool Active = false;
    };
    bool SetActive(TdwFilterHandle Handle, bool Active);
    TFilter* Find(TdwFilterHandle Handle);

    TDataSet* FDataSet;
    std::vector<TFilter> FFilters;
    TdwFilterHandle FLastHandle = 0;
};

// A data set whose cursor takes filters.
class TdwFilterCursor {
public:
    virtual ~TdwFilterCursor() = default;
    virtual TdwCursorFilters& CursorFilters() = 0;
    // A table that the engine's own driver serves filters through the engine's query
    // on its work area, in the engine's expression language.
    virtual bool EngineServed() const { return false; }
    virtual void SetEngineQuery(const String& /*Text*/) { }
};
