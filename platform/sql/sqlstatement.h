#pragma once
// An SQLite statement owned like any other object: finalised when its owner goes,
// whichever way the code leaves.

#include <memory>

#include <sqlite3.h>

struct SqlStatementFinalizer {
    void operator()(sqlite3_stmt* Statement) const { sqlite3_finalize(Statement); }
};

using SqlStatement = std::unique_ptr<sqlite3_stmt, SqlStatementFinalizer>;

// The first statement of Sql, compiled; empty when it does not compile or Sql holds none.
// Tail, when given, is left at the text after that statement.
inline SqlStatement PrepareSql(sqlite3* Db, const char* Sql, const char** Tail = nullptr)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(Db, Sql, -1, &statement, Tail);
    return SqlStatement(statement);
}
