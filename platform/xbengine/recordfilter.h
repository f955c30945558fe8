#pragma once
// Which records a work area's query and filter let through. Both are logical
// expressions evaluated on a record's current contents whenever navigation
// asks, so changed and appended records are judged afresh. The query may be
// overridden per record until the next query is set.

#include <memory>
#include <unordered_map>

#include "platform/rtl/types.h"
#include "platform/xbengine/areacontext.h"
#include "platform/xbengine/expr/expression.h"

class RecordFilter {
public:
    explicit RecordFilter(AreaContext& context) : FContext(context) { }

    // An empty (or blank) text clears; an invalid one fails with XBE_E_EXPR
    // and keeps the previous condition.
    void SetQuery(const String& text);
    void SetFilter(const String& text);
    const String& QueryText() const { return FQueryText; }
    bool Active() const { return FQuery || FFilter || !FBits.empty(); }

    void SetQueryBit(Integer recno, bool passes) { FBits[recno] = passes; }
    // Whether the record passes the query alone, its override first.
    bool PassesQuery(Integer recno, const String& image);
    // The query and the filter; a run-time error hides the record and is recorded.
    bool Passes(Integer recno, const String& image);

private:
    std::unique_ptr<xbexpr::Expression> Compile(const String& text) const;
    bool Holds(const xbexpr::Expression& condition, Integer recno, const String& image);

    AreaContext& FContext;
    std::unique_ptr<xbexpr::Expression> FQuery;
    std::unique_ptr<xbexpr::Expression> FFilter;
    String FQueryText;
    std::unordered_map<Integer, bool> FBits;
};

// Compiles an expression against a work area; fails with XBE_E_EXPR.
std::unique_ptr<xbexpr::Expression> CompileExpression(const String& text, const AreaContext& context,
                                                      bool condition);
