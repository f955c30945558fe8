#pragma once
// The class library's exception root and the run-time library's own errors.

#include <exception>

#include "platform/rtl/types.h"

class Exception : public std::exception {
public:
    explicit Exception(String message) : FMessage(std::move(message)) { }

    const String& Message() const { return FMessage; }
    void SetMessage(String message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    String FMessage;
};

// A text that is no valid number or date.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A value or index outside its range.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// A failed file operation; ErrorCode is the errno of the failure.
class EInOutError : public Exception {
public:
    EInOutError(String message, int errorCode = 0) : Exception(std::move(message)), ErrorCode(errorCode) { }
    int ErrorCode;
};

class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};
