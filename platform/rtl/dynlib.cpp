#include "platform/rtl/dynlib.h"

#include <dlfcn.h>

void* DynLibOpen(const String& FileName) { return ::dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* DynLibSymbol(void* Handle, const char* Name) { return Handle ? ::dlsym(Handle, Name) : nullptr; }

void DynLibClose(void* Handle)
{
    if (Handle)
        ::dlclose(Handle);
}
