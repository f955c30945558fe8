#pragma once
// The scope an index order is walked within, made from the SQL values a
// statement compares a field with. A scope may hold more keys than the
// condition takes (SQL checks each row again), never fewer.

#include <sqlite3.h>

#include "platform/rtl/types.h"

namespace localsql {

struct TFieldInfo;

struct TScope {
    String Low, High;    // the engine's scope texts; empty: that side is open
    bool Empty = false;  // no key can satisfy the condition
};

// Narrows Scope by a condition on Field, whose order keys on the field itself
// or (Upper) its upper case: Condition 'E' equal, 'L' at least, 'H' at most.
// False when the value cannot narrow the scope; the walk then takes every key.
bool NarrowScope(const TFieldInfo& Field, bool Upper, char Condition, sqlite3_value* Value, TScope& Scope);

}  // namespace localsql
