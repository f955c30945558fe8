#include "platform/xbengine/errorstate.h"

ErrorState& Errors()
{
    static ErrorState state;
    return state;
}

void ErrorState::Clear()
{
    FCode = 0;
    FText.clear();
}

void ErrorState::Record(int code, const String& text)
{
    FCode = code;
    FText = text;
    if (FLevel >= 1)
        Report(code, text);
}

void ErrorState::Warn(int code, const String& text)
{
    FCode = code;
    FText = text;
    if (FLevel >= 2)
        Report(code, text);
}

void ErrorState::SetErrorFunc(XBERRORFUNC func, intptr_t arg)
{
    FFunc = func;
    FArg = arg;
}

void ErrorState::Report(int code, const String& text) const
{
    if (FFunc)
        FFunc(code, text.c_str(), FArg);
}
