#include "tests/xbengine/xbebinding.h"

#include <cstdio>
#include <cstdlib>

#include <dlfcn.h>

const XbeName XbeNames[] = {
#define XBE_FUNCTION(name, result, parameters, tier) {"xb_" #name, #tier[0]},
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
};
const int XbeNameCount = sizeof XbeNames / sizeof XbeNames[0];

namespace {

template<class F> void Bind(void* handle, F& slot, const char* name)
{
    slot = reinterpret_cast<F>(dlsym(handle, name));
    if (!slot) {
        std::fprintf(stderr, "libxbe50.so does not export %s\n", name);
        std::abort();
    }
}

}  // namespace

XbeBinding& Xbe()
{
    static XbeBinding binding = [] {
        XbeBinding b;
        b.Handle = dlopen(XBE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!b.Handle) {
            std::fprintf(stderr, "cannot load %s: %s\n", XBE_LIBRARY_PATH, dlerror());
            std::abort();
        }
#define XBE_FUNCTION(name, result, parameters, tier) Bind(b.Handle, b.xb_##name, "xb_" #name);
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
        Bind(b.Handle, b.xbx_LastError, "xbx_LastError");
        Bind(b.Handle, b.xbx_LastErrorText, "xbx_LastErrorText");
        Bind(b.Handle, b.xbx_FileInUse, "xbx_FileInUse");
        Bind(b.Handle, b.xbx_SetCacheBudget, "xbx_SetCacheBudget");
        return b;
    }();
    return binding;
}
