#pragma once
// The exception the table layer's own checks raise.

#include "platform/rtl/exceptions.h"

class EDaroruError : public Exception {
public:
    using Exception::Exception;
};

// Why a table did not open, as far as its files tell.
enum class TDaroruOpenFailure {
    InUse,    // another program or workstation holds the table or its memo or index
    Damaged,  // the table's header, record count, memo or index file cannot be read
    Other,    // missing file, no permission, ...
};

// A table that did not open: why, and the table's file.
class EDaroruOpenError : public EDaroruError {
public:
    EDaroruOpenError(const String& Message, TDaroruOpenFailure Why, const String& FileName)
        : EDaroruError(Message), FWhy(Why), FFileName(FileName)
    {
    }
    TDaroruOpenFailure Why() const { return FWhy; }
    const String& FileName() const { return FFileName; }

private:
    TDaroruOpenFailure FWhy;
    String FFileName;
};
