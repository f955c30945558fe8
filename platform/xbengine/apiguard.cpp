#include "platform/xbengine/apiguard.h"

const char* ResultText(const String& text)
{
    static String buffer;
    buffer = text;
    return buffer.c_str();
}

void Unsupported(const char* function)
{
    throw EEngineError(XBE_E_UNSUPPORTED, String(function) + " is not supported");
}

void NotYet(const char* function)
{
    throw EEngineError(XBE_E_NOT_YET, String(function) + " is not available in this build yet");
}
