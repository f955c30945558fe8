#pragma once
// The engine library, loaded at run time and bound by name into one
// process-wide table of function pointers.

#include <functional>

#include "platform/rtl/types.h"
#include "platform/xbengine/xbe_functions.h"

// How the library is found and bound; the default uses dlopen/dlsym/dlclose.
// Tests put a fake engine behind it.
struct TXbeLoader {
    std::function<void*(const String& FileName)> Open;
    std::function<void*(void* Handle, const char* Name)> Symbol;
    std::function<void(void* Handle)> Close;
};
void SetXbeLoader(const TXbeLoader& Loader);
// The loader that opens the real library.
TXbeLoader SystemXbeLoader();

// Directory searched for the library; ProgramDir() until set.
void SetXbeLibraryDir(const String& Dir);
String XbeLibraryFileName();

// What happens when the library cannot be loaded: the default writes the
// message to the standard error and ends the process. The program shows it in
// an error box and terminates the application.
using TXbeLoadFailure = std::function<void(const String& Message)>;
void SetXbeLoadFailureHandler(TXbeLoadFailure Handler);

inline constexpr const char* XbeLoadFailureText = "DARORU: Unable to load required XBE50.DLL";

// Makes sure the library is loaded and bound.
void LoadDLL();
bool XbeLoaded();
// Frees the library when it is loaded (also done at process end) and forgets the
// binding, so that the next LoadDLL loads it again.
void UnloadDLL();

// The bound functions. Call through XbeCall, which refuses an unbound slot.
const TXbeFunctions& Xbe();

// Raises EDaroruError naming the function when its slot is empty.
[[noreturn]] void XbeNotBound(const char* Name);

template <class R, class... P, class... A>
R XbeCall(R (*Function)(P...), const char* Name, A... Args)
{
    if (!Function)
        XbeNotBound(Name);
    return Function(static_cast<P>(Args)...);
}
#define XBE_CALL(name, ...) XbeCall(Xbe().name, #name __VA_OPT__(, ) __VA_ARGS__)

// The engine's last error code and text (extension exports; 0 and empty when
// absent). A call that succeeded may leave a warning here.
int XbeLastError();
String XbeLastErrorText();
