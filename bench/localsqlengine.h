#pragma once
// The engine as the local SQL engine's benchmarks hand it over: the linked
// library's functions and its last error's text.

#include "platform/rtl/types.h"
#include "platform/sql/localsql.h"
#include "platform/xbengine/xbe50.h"
#include "platform/xbengine/xbe_functions.h"

inline const TXbeFunctions& LinkedEngine()
{
    static const TXbeFunctions functions = [] {
        TXbeFunctions f;
#define XBE_FUNCTION(name, result, parameters, tier) f.xb_##name = &xb_##name;
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
        return f;
    }();
    return functions;
}

inline String LinkedEngineError() { return xbx_LastErrorText(); }
