// Index orders, queries, filters and expressions. Tables are read in
// natural order until the index and expression support is wired in: the
// calls that need it fail with XBE_E_NOT_YET, the read-outs report "no
// order", and the functions outside this engine fail with XBE_E_UNSUPPORTED.

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/workareas.h"

namespace {

bool Blank(const char* text)
{
    if (!text)
        return true;
    for (; *text; ++text)
        if (*text != ' ')
            return false;
    return true;
}

// The empty answer of a read-out about the active order; needs an open table.
template <class R>
R NoOrder(R empty)
{
    return Guarded<R>(empty, [&] {
        Areas().Current();
        return empty;
    });
}

template <class R>
R Later(R failure, const char* function)
{
    return Guarded<R>(failure, [&]() -> R { NotYet(function); });
}

template <class R>
R Stub(R failure, const char* function)
{
    return Guarded<R>(failure, [&]() -> R { Unsupported(function); });
}

}  // namespace

extern "C" {

XBSHORT xb_IndexOpen(const char*) { return Later<XBSHORT>(0, "xb_IndexOpen"); }
XBSHORT xb_IndexTag(const char*, const char*, const char*, XBSHORT, XBSHORT, const char*)
{
    return Later<XBSHORT>(0, "xb_IndexTag");
}
XBSHORT xb_Index(const char*, const char*, XBSHORT, XBSHORT, const char*) { return Stub<XBSHORT>(0, "xb_Index"); }
XBBOOL xb_Reindex(void) { return Later<XBBOOL>(0, "xb_Reindex"); }
XBBOOL xb_Seek(const char*) { return Later<XBBOOL>(0, "xb_Seek"); }
XBBOOL xb_SeekBin(const char*, XBSHORT) { return Stub<XBBOOL>(0, "xb_SeekBin"); }
XBBOOL xb_SetScope(const char*, const char*) { return Later<XBBOOL>(0, "xb_SetScope"); }
const char* xb_KeyData(void) { return Later<const char*>("", "xb_KeyData"); }
XBBOOL xb_KeyAdd(const char*) { return Stub<XBBOOL>(0, "xb_KeyAdd"); }
XBBOOL xb_KeyDrop(const char*) { return Stub<XBBOOL>(0, "xb_KeyDrop"); }
XBBOOL xb_IndexFlip(void) { return Stub<XBBOOL>(0, "xb_IndexFlip"); }
void xb_SetRelation(XBSHORT, const char*) { Stub<int>(0, "xb_SetRelation"); }

void xb_IndexClose(void) { NoOrder<int>(0); }
void xb_CloseIndexes(void) { NoOrder<int>(0); }
XBSHORT xb_IndexOrd(void) { return NoOrder<XBSHORT>(0); }
XBSHORT xb_IndexType(void) { return NoOrder<XBSHORT>(0); }
const char* xb_IndexKey(void) { return NoOrder<const char*>(""); }
const char* xb_IndexKeyField(void) { return NoOrder<const char*>(""); }
const char* xb_IndexCondition(void) { return NoOrder<const char*>(""); }
const char* xb_IndexName(XBSHORT) { return NoOrder<const char*>(""); }
const char* xb_TagName(XBSHORT) { return NoOrder<const char*>(""); }
const char* xb_GetScope(XBSHORT) { return NoOrder<const char*>(""); }
// A missing tag is order 0, the natural order, without an error.
XBSHORT xb_TagArea(const char*) { return NoOrder<XBSHORT>(0); }

XBSHORT xb_SetOrder(XBSHORT order)
{
    return Guarded<XBSHORT>(-1, [&] {
        Areas().Current();
        if (order != 0)
            throw EEngineError(XBE_E_BAD_ORDER, "There is no order " + std::to_string(order));
        return XBSHORT(0);
    });
}

XBBOOL xb_Found(void)
{
    return Guarded<XBBOOL>(0, [] { return Areas().Current().Found ? 1 : 0; });
}

XBBOOL xb_Query(const char* expr)
{
    if (!Blank(expr))
        return Later<XBBOOL>(0, "xb_Query");
    return Guarded<XBBOOL>(0, [] {
        Table& table = Areas().Current();
        table.GoTop();
        return table.Eof() ? 0 : 1;
    });
}

void xb_SetFilter(const char* expr)
{
    if (!Blank(expr))
        Later<int>(0, "xb_SetFilter");
    else
        NoOrder<int>(0);
}

XBSHORT xb_QueryTest(const char*) { return NoOrder<XBSHORT>(0); }
XBLONG xb_QueryRecCount(void)
{
    return Guarded<XBLONG>(0, [] { return Areas().Current().Count(); });
}
const char* xb_DBFilter(void) { return NoOrder<const char*>(""); }
XBSHORT xb_EvalTest(const char*) { return Later<XBSHORT>(0, "xb_EvalTest"); }
XBBOOL xb_EvalLogical(const char*) { return Later<XBBOOL>(0, "xb_EvalLogical"); }
double xb_EvalNumeric(const char*) { return Later<double>(0, "xb_EvalNumeric"); }
const char* xb_EvalString(const char*) { return Later<const char*>("", "xb_EvalString"); }
XBLONG xb_Locate(const char*, XBSHORT, XBSHORT) { return Later<XBLONG>(0, "xb_Locate"); }

void xb_SetQueryBit(XBLONG, XBSHORT) { Stub<int>(0, "xb_SetQueryBit"); }
XBBOOL xb_GetQueryBit(XBLONG) { return Stub<XBBOOL>(0, "xb_GetQueryBit"); }
XBLONG xb_FilterAlias(const char*, const char*) { return Stub<XBLONG>(0, "xb_FilterAlias"); }
const char* xb_FilterDlg(XBHWND, const char*, const char*, XBSHORT) { return Stub<const char*>("", "xb_FilterDlg"); }
XBLONG xb_RYOFilterActivate(XBSHORT, XBSHORT) { return Stub<XBLONG>(0, "xb_RYOFilterActivate"); }
XBSHORT xb_RYOFilterCopy(void) { return Stub<XBSHORT>(0, "xb_RYOFilterCopy"); }
XBSHORT xb_RYOFilterCreate(void) { return Stub<XBSHORT>(0, "xb_RYOFilterCreate"); }
XBLONG xb_RYOFilterDestroy(XBSHORT) { return Stub<XBLONG>(0, "xb_RYOFilterDestroy"); }
XBBOOL xb_RYOFilterGetBit(XBSHORT, XBLONG) { return Stub<XBBOOL>(0, "xb_RYOFilterGetBit"); }
XBLONG xb_RYOFilterRestore(const char*) { return Stub<XBLONG>(0, "xb_RYOFilterRestore"); }
XBLONG xb_RYOFilterSave(XBSHORT, const char*) { return Stub<XBLONG>(0, "xb_RYOFilterSave"); }
XBLONG xb_RYOFilterSetBit(XBSHORT, XBLONG, XBSHORT) { return Stub<XBLONG>(0, "xb_RYOFilterSetBit"); }
XBLONG xb_RYOKeyAdd(const char*, const char*) { return Stub<XBLONG>(0, "xb_RYOKeyAdd"); }
XBLONG xb_RYOKeyDrop(const char*) { return Stub<XBLONG>(0, "xb_RYOKeyDrop"); }

}  // extern "C"
