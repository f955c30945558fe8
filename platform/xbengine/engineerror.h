#pragma once
// The engine's internal failure: a code of xbe50.h and a text. The C
// interface catches it and records it; nothing escapes the library.

#include "platform/rtl/exceptions.h"

class EEngineError : public Exception {
public:
    EEngineError(int code, String message) : Exception(std::move(message)), FCode(code) { }
    int Code() const { return FCode; }

private:
    int FCode;
};
