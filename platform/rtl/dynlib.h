#pragma once
// Libraries loaded at run time and their functions found by name.

#include "platform/rtl/types.h"

// The library's handle, or null when it cannot be loaded.
void* DynLibOpen(const String& FileName);
// The named function of a loaded library, or null when it has none.
void* DynLibSymbol(void* Handle, const char* Name);
void DynLibClose(void* Handle);
