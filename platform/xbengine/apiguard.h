#pragma once
// The C interface's boundary: every exported call clears the last error,
// runs its body, and turns any failure into a recorded error and the call's
// empty result. Text results live in one engine-owned buffer.

#include <exception>
#include <new>

#include "platform/xbengine/cdx/cdxerror.h"
#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/errorstate.h"
#include "platform/xbengine/xbe50.h"

template<class R, class Body> R Guarded(R failure, Body&& body) noexcept
{
    Errors().Clear();
    try {
        return body();
    } catch (const EEngineError& error) {
        Errors().Record(error.Code(), error.Message());
    } catch (const ECdxCorrupt& error) {
        Errors().Record(XBE_E_CORRUPT_INDEX, error.Message());
    } catch (const std::bad_alloc&) {
        Errors().Record(XBE_E_LIMIT, "Out of memory");
    } catch (const std::exception& error) {
        Errors().Record(XBE_E_IO, error.what());
    } catch (...) {
        Errors().Record(XBE_E_IO, "Unexpected failure");
    }
    return failure;
}

template<class Body> void GuardedVoid(Body&& body) noexcept
{
    Guarded(0, [&] {
        body();
        return 0;
    });
}

// A text argument; a null pointer reads as "".
inline String ArgText(const char* text) { return text ? String(text) : String(); }

// Keeps a text result until the next call that returns text.
const char* ResultText(const String& text);

// Records that a function is not part of this engine.
[[noreturn]] void Unsupported(const char* function);
// Records that a function is not available in this build yet.
[[noreturn]] void NotYet(const char* function);
