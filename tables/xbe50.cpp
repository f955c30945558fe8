#include "tables/xbe50.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/dynlib.h"
#include "platform/rtl/fileops.h"
#include "platform/xbengine/xbe50.h"
#include "tables/droerror.h"

namespace {

struct TXbeState {
    TXbeFunctions Functions;
    const char* (*LastErrorText)(void) = nullptr;
    int32_t (*LastError)(void) = nullptr;
    bool Loaded = false;
    void* Handle = nullptr;
    TXbeLoader Loader = SystemXbeLoader();
    String Dir;
    bool DirSet = false;
    TXbeLoadFailure OnFailure;

    // The library stays loaded for the whole process once bound.
    ~TXbeState()
    {
        if (Loaded && Handle && Loader.Close)
            Loader.Close(Handle);
    }
};

TXbeState& State()
{
    static TXbeState state;
    return state;
}

void DefaultLoadFailure(const String& Message)
{
    std::fprintf(stderr, "%s\n", Message.c_str());
    std::exit(EXIT_FAILURE);
}

// Stores the named export into its slot; an export that is missing stops the
// binding with an assertion failure.
template<class F> void Bind(TXbeState& s, F& Slot, const char* Name, int Line)
{
    void* address = s.Loader.Symbol(s.Handle, Name);
    if (!address)
        throw EAssertionFailed(String("Assertion failure: ") + Name + " is not exported by " +
                               XbeLibraryFileName() + " (xbe50, line " + std::to_string(Line) + ")");
    std::memcpy(&Slot, &address, sizeof address);
}

}  // namespace

TXbeLoader SystemXbeLoader()
{
    TXbeLoader loader;
    loader.Open = DynLibOpen;
    loader.Symbol = DynLibSymbol;
    loader.Close = DynLibClose;
    return loader;
}

void SetXbeLoader(const TXbeLoader& Loader) { State().Loader = Loader; }

void SetXbeLibraryDir(const String& Dir)
{
    State().Dir = IncludeTrailingPathDelimiter(NormalizePath(Dir));
    State().DirSet = true;
}

String XbeLibraryFileName() { return (State().DirSet ? State().Dir : ProgramDir()) + "libxbe50.so"; }

void SetXbeLoadFailureHandler(TXbeLoadFailure Handler) { State().OnFailure = std::move(Handler); }

bool XbeLoaded() { return State().Loaded; }

const TXbeFunctions& Xbe() { return State().Functions; }

void LoadDLL()
{
    TXbeState& s = State();
    if (s.Loaded)
        return;
    s.Handle = s.Loader.Open(XbeLibraryFileName());
    if (!s.Handle) {
        (s.OnFailure ? s.OnFailure : DefaultLoadFailure)(XbeLoadFailureText);
        return;
    }
    s.Loaded = true;
#define XBE_FUNCTION(name, result, parameters, tier) Bind(s, s.Functions.xb_##name, "xb_" #name, __LINE__);
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
    void* text = s.Loader.Symbol(s.Handle, "xbx_LastErrorText");
    std::memcpy(&s.LastErrorText, &text, sizeof text);
    void* code = s.Loader.Symbol(s.Handle, "xbx_LastError");
    std::memcpy(&s.LastError, &code, sizeof code);
    XBE_CALL(xb_SetStringType, 1);
    XBE_CALL(xb_SysProp, XBE_PROP_SET_OPTIMISTIC_BUFFER, 0);
}

void UnloadDLL()
{
    TXbeState& s = State();
    if (s.Loaded && s.Handle && s.Loader.Close)
        s.Loader.Close(s.Handle);
    s.Handle = nullptr;
    s.Loaded = false;
    s.Functions = TXbeFunctions();
    s.LastErrorText = nullptr;
    s.LastError = nullptr;
}

void XbeNotBound(const char* Name)
{
    throw EDaroruError(String("The engine function ") + Name + " is not bound");
}

int XbeLastError()
{
    const TXbeState& s = State();
    return s.LastError ? int(s.LastError()) : 0;
}

String XbeLastErrorText()
{
    const TXbeState& s = State();
    if (!s.LastErrorText)
        return String();
    const char* text = s.LastErrorText();
    return text ? String(text) : String();
}

// ---- The local SQL library

namespace {

struct TSqlState {
    const TSqlFunctions* Library = nullptr;
    TSqlFunctions Functions;
    bool Loaded = false;
    TXbeLoadFailure OnFailure;
};

TSqlState& SqlState()
{
    static TSqlState state;
    return state;
}

template<class F> void BindSql(F& Slot, F Function, const char* Name)
{
    if (!Function)
        throw EAssertionFailed(String("Assertion failure: ") + Name + " is not exported by XBESQL51.DLL");
    Slot = Function;
}

}  // namespace

void SetSqlLibrary(const TSqlFunctions* Library) { SqlState().Library = Library; }

void SetSqlLoadFailureHandler(TXbeLoadFailure Handler) { SqlState().OnFailure = std::move(Handler); }

bool SqlLoaded() { return SqlState().Loaded; }

void UnloadSQLDLL()
{
    SqlState().Functions = TSqlFunctions();
    SqlState().Loaded = false;
}

const TSqlFunctions& SqlFunctions() { return SqlState().Functions; }

bool LoadSQLDLL()
{
    TSqlState& s = SqlState();
    if (s.Loaded)
        return true;
    if (!s.Library) {
        (s.OnFailure ? s.OnFailure : DefaultLoadFailure)(SqlLoadFailureText);
        return false;
    }
    TSqlFunctions bound;
#define SQL_BIND(name) BindSql(bound.name, s.Library->name, #name)
    SQL_BIND(dll_sql_Prepare);
    SQL_BIND(dll_sql_OpenSQL);
    SQL_BIND(dll_sql_GetStructure);
    SQL_BIND(dll_sql_GetRecord);
    SQL_BIND(dll_sql_ExecSQL);
    SQL_BIND(dll_sql_CloseSQL);
    SQL_BIND(dll_sql_ReadBlobData);
    SQL_BIND(dll_sql_RecCount);
    SQL_BIND(dll_sql_Refresh);
#undef SQL_BIND
    s.Functions = bound;
    s.Loaded = true;
    return true;
}
