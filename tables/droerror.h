#pragma once
// The exception the table layer's own checks raise.

#include "platform/rtl/exceptions.h"

class EDaroruError : public Exception {
public:
    using Exception::Exception;
};

// Texts raised by tables and queries alike.
namespace drotext {
inline constexpr const char* NoConnection = "No DaroruConnection specified";
inline constexpr const char* AccessWhileActive = "Cannot change data access method while active";
inline constexpr const char* ClosedTable = "Cannot perform this operation on a closed table";
inline constexpr const char* EmptyTable = "Cannot perform this operation on an empty table";
// Followed by the table's file name.
inline constexpr const char* TableMissing =
        "Table does not exist.\rFile or directory does not exist.\rFile: ";
}  // namespace drotext

// Why a table did not open, as far as its files tell.
enum class TDaroruOpenFailure {
    InUse,         // another program or workstation holds the table or its memo or index
    Damaged,       // the table's header, record count or memo file cannot be read
    IndexDamaged,  // the structural index cannot be read; rebuilding it mends the table
    Missing,       // the table file does not exist
    Other,         // no permission, ...
};

// A table that did not open: why, the table's file and the engine's reason.
class EDaroruOpenError : public EDaroruError {
public:
    EDaroruOpenError(const String& Message, TDaroruOpenFailure Why, const String& FileName,
                     const String& Reason)
        : EDaroruError(Message), FWhy(Why), FFileName(FileName), FReason(Reason)
    {
    }
    TDaroruOpenFailure Why() const { return FWhy; }
    const String& FileName() const { return FFileName; }
    const String& Reason() const { return FReason; }

private:
    TDaroruOpenFailure FWhy;
    String FFileName;
    String FReason;
};
