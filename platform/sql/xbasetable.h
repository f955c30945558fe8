#pragma once
// The SQL tables over the engine's tables: a virtual-table module "xbase" whose
// tables are work areas the statement opened. Reads walk the records in
// natural order, a range of record numbers, or a single-field index for
// equality and range conditions on that field, in either direction when that
// gives the order the statement asks for; a statement's OFFSET and LIMIT are
// the walk's own when no condition is left for SQL to check. Writes go through
// the engine under a record lock, and a statement that fails is undone.

#include <sqlite3.h>

#include <vector>

#include "platform/rtl/types.h"
#include "platform/sql/localsql.h"
#include "platform/xbengine/xbe_types.h"

namespace localsql {

// A field of an open table as the module sees it.
struct TFieldInfo {
    String Name;
    char Type = 'C';
    int Width = 0;
    int Decimals = 0;
    int Offset = 0;  // in the record image, whose first byte is the deletion flag
};

// An index order usable for a field: its number, and whether its keys are the
// field's text in upper case (then only equality can use it).
struct TOrderInfo {
    XBSHORT Order = 0;
    bool Upper = false;
};

// A table the statement opened: its engine work area and what the module needs of it.
struct TOpenTable {
    String Alias;
    XBSHORT Area = 0;
    int RecordSize = 0;
    XBLONG RecordCount = 0;  // when opened: what a plan's cost is judged by
    std::vector<TFieldInfo> Fields;
    std::vector<TOrderInfo> Orders;  // per field; Order 0 when none serves it
};

// What the module's tables share with their statement.
struct TModuleContext {
    const TEngine* Engine = nullptr;
    const TSettings* Settings = nullptr;
    std::vector<TOpenTable>* Tables = nullptr;
    TCounters* Counters = nullptr;
};

// Registers the module on Db; its tables are made with
// CREATE VIRTUAL TABLE temp."alias" USING xbase(<index into Tables>).
int RegisterXbaseModule(sqlite3* Db, TModuleContext* Context);

// The declared SQL type of a field, from which a result column's field type is read back.
String DeclaredType(const TFieldInfo& Field);

}  // namespace localsql
