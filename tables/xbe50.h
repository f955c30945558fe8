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

template<class R, class... P, class... A> R XbeCall(R (*Function)(P...), const char* Name, A... Args)
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

// ---- The local SQL library

class TDaroruConnection;
class TSQLObj;
class TParams;
class TStream;

// The local SQL library's functions. Each works on the statement object the
// connection keeps for a prepared statement.
struct TSqlFunctions {
    // Opens the tables of TableList (a count as 8 hexadecimal digits, then the
    // table list text) under Path; the result is above 0 on success, else 0
    // with Code and Msg.
    int (*dll_sql_Prepare)(TDaroruConnection* Connection, TSQLObj* Statement, const String& TableList,
                           const String& Path, bool Deleted, bool Century, int MemoBlockSize, int DateFormat,
                           const TParams* Params, int& Code, String& Msg) = nullptr;
    // Runs a SELECT: V1 the error code (0 on success), V2 the record count, V3
    // the record size, V4 the field count.
    void (*dll_sql_OpenSQL)(TSQLObj* Statement, const String& Sql, int& V1, int& V2, int& V3, int& V4,
                            String& Msg) = nullptr;
    void (*dll_sql_GetStructure)(TSQLObj* Statement, TStream& Stream) = nullptr;
    void (*dll_sql_GetRecord)(TSQLObj* Statement, int First, int Count, TStream& Stream) = nullptr;
    void (*dll_sql_ExecSQL)(TSQLObj* Statement, const String& Sql, int& Code, String& Msg) = nullptr;
    void (*dll_sql_CloseSQL)(TSQLObj* Statement) = nullptr;
    void (*dll_sql_ReadBlobData)(TSQLObj* Statement, int Field, int Row, TStream& Stream) = nullptr;
    int (*dll_sql_RecCount)(TSQLObj* Statement) = nullptr;
    void (*dll_sql_Refresh)(TSQLObj* Statement) = nullptr;
};

// The local SQL library of this build is linked in and offers its functions
// here; until it does, LoadSQLDLL finds no library.
void SetSqlLibrary(const TSqlFunctions* Library);
void SetSqlLoadFailureHandler(TXbeLoadFailure Handler);
inline constexpr const char* SqlLoadFailureText =
        "DaroruSQL: Unable to load required XBESQL51.DLL.\r\rLocal SQL support requires the add-on library "
        "XBESQL51.DLL.";

// Binds the local SQL library once per process; a library that cannot be found
// is reported through the failure handler (the program shows it and
// terminates) and stays unbound. A function the library lacks is an assertion
// failure. True once bound.
bool LoadSQLDLL();
bool SqlLoaded();
// Forgets the binding, so that the next LoadSQLDLL binds again.
void UnloadSQLDLL();
// The bound functions; all empty while unbound.
const TSqlFunctions& SqlFunctions();
