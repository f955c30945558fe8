#pragma once
// The statement "SELECT COUNT(*) FROM table", recognised before SQLite
// compiles it: SQLite steps a virtual table through every record to count
// them, where the engine knows the count at once. Only that shape alone, with
// no condition, comment or other clause, is recognised; anything else is
// SQLite's to run.

#include "platform/rtl/types.h"

namespace localsql {

struct TBareCount {
    String Table;   // as the statement names it
    String Column;  // the result column's name, as SQLite names it: the text of "COUNT(*)" as written
};

// Whether Sql is such a statement, and what it counts.
bool IsBareCount(const String& Sql, TBareCount& Count);

// Whether two names are one to SQLite: equal but for the case of ASCII letters.
bool SameSqlName(const String& A, const String& B);

}  // namespace localsql
