#pragma once
// The engine as the program meets it: libxbe50.so loaded from the build's
// bin/ with dlopen and every function bound by name.

#include "platform/xbengine/xbe50.h"

struct XbeBinding {
#define XBE_FUNCTION(name, result, parameters, tier) result(*xb_##name) parameters = nullptr;
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
    int32_t (*xbx_LastError)(void) = nullptr;
    const char* (*xbx_LastErrorText)(void) = nullptr;
    XBBOOL (*xbx_FileInUse)(const char*) = nullptr;
    void (*xbx_SetCacheBudget)(int64_t) = nullptr;

    void* Handle = nullptr;
};

// The bound library; aborts the test program when it cannot be loaded.
XbeBinding& Xbe();
// The names of the 144 functions with their tiers, from the one list.
struct XbeName {
    const char* Name;
    char Tier;
};
extern const XbeName XbeNames[];
extern const int XbeNameCount;
