#pragma once
// The engine's functions as a caller binds them at run time: one pointer per
// export of libxbe50.so, named as the export.

#include "platform/xbengine/xbe_types.h"

struct TXbeFunctions {
#define XBE_FUNCTION(name, result, parameters, tier) result(*xb_##name) parameters = nullptr;
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
};
