#pragma once
// The last recorded error, the error level and the caller's error function.

#include "platform/rtl/types.h"
#include "platform/xbengine/xbe_types.h"

class ErrorState {
public:
    void Clear();
    // Records an error and reports it at level 1 and above.
    void Record(int code, const String& text);
    // Records a warning: the call still succeeds; reported at level 2 only.
    void Warn(int code, const String& text);

    int Code() const { return FCode; }
    const String& Text() const { return FText; }

    int Level() const { return FLevel; }
    void SetLevel(int level) { FLevel = level; }
    void SetErrorFunc(XBERRORFUNC func, intptr_t arg);

private:
    void Report(int code, const String& text) const;

    int FCode = 0;
    String FText;
    int FLevel = 1;
    XBERRORFUNC FFunc = nullptr;
    intptr_t FArg = 0;
};

ErrorState& Errors();
