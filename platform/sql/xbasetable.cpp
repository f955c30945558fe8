#include "platform/sql/xbasetable.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/rtl/strutils.h"
#include "platform/sql/sqlvalues.h"
#include "platform/xbengine/xbe_functions.h"

namespace localsql {

namespace {

// The engine's codes for the kind of value xb_Replace is given.
constexpr XBSHORT ReplaceDouble = 8;
constexpr XBSHORT ReplaceJulian = 32;
constexpr XBSHORT ReplaceText = 1024;
constexpr XBSHORT ReplaceMemoText = 3072;

struct TXbaseTable : sqlite3_vtab {
    TModuleContext* Context = nullptr;
    TOpenTable* Table = nullptr;

    const TXbeFunctions& F() const { return *Context->Engine->Functions; }
    // Makes the table's work area the engine's current one.
    void Select() const { F().xb_Select(Table->Area); }
    String EngineError() const {
        String text = Context->Engine->LastErrorText ? Context->Engine->LastErrorText() : String();
        return text.empty() ? String("the engine refused the operation") : text;
    }
};

// A walk over the records a condition selected: either every record number up
// to the count at the start, or the record numbers an index walk collected.
struct TXbaseCursor : sqlite3_vtab_cursor {
    std::vector<XBLONG> RecNos;
    bool Natural = true;
    XBLONG NaturalCount = 0;
    size_t Position = 0;
    XBLONG RecNo = 0;
    String Record;

    TXbaseTable& Owner() const { return *static_cast<TXbaseTable*>(pVtab); }
    bool AtEnd() const { return Natural ? Position >= size_t(NaturalCount) : Position >= RecNos.size(); }
    XBLONG RecNoAt(size_t Index) const { return Natural ? XBLONG(Index + 1) : RecNos[Index]; }
};

void SetError(sqlite3_vtab* Table, const String& Message) {
    sqlite3_free(Table->zErrMsg);
    Table->zErrMsg = sqlite3_mprintf("%s", Message.c_str());
}

String Quoted(const String& Name) {
    String out = "\"";
    for (char c : Name) out += c == '"' ? String("\"\"") : String(1, c);
    return out + "\"";
}

int Connect(sqlite3* Db, void* Aux, int Argc, const char* const* Argv, sqlite3_vtab** Out, char** Error) {
    auto* context = static_cast<TModuleContext*>(Aux);
    size_t index = 0;
    if (Argc < 4 || std::from_chars(Argv[3], Argv[3] + std::strlen(Argv[3]), index).ec != std::errc() ||
        index >= context->Tables->size()) {
        *Error = sqlite3_mprintf("xbase: no such table of the statement");
        return SQLITE_ERROR;
    }
    TOpenTable& table = (*context->Tables)[index];
    String schema = "CREATE TABLE x(";
    for (const TFieldInfo& field : table.Fields)
        schema += Quoted(field.Name) + " " + DeclaredType(field) + ", ";
    schema += "_deleted LOGICAL HIDDEN)";
    if (int rc = sqlite3_declare_vtab(Db, schema.c_str()); rc != SQLITE_OK) return rc;
    auto vtab = std::make_unique<TXbaseTable>();
    vtab->Context = context;
    vtab->Table = &table;
    *Out = vtab.release();
    return SQLITE_OK;
}

int Disconnect(sqlite3_vtab* Table) {
    delete static_cast<TXbaseTable*>(Table);
    return SQLITE_OK;
}

// The plan a BestIndex chose and Filter follows: idxNum is the field (1-based)
// whose order serves, 0 for a natural walk; idxStr holds one letter per
// argument: 'E' equal, 'L' lower bound, 'H' upper bound.
bool IsLowerBound(unsigned char Op) {
    return Op == SQLITE_INDEX_CONSTRAINT_GT || Op == SQLITE_INDEX_CONSTRAINT_GE;
}
bool IsUpperBound(unsigned char Op) {
    return Op == SQLITE_INDEX_CONSTRAINT_LT || Op == SQLITE_INDEX_CONSTRAINT_LE;
}

int BestIndex(sqlite3_vtab* Vtab, sqlite3_index_info* Info) {
    const TOpenTable& table = *static_cast<TXbaseTable*>(Vtab)->Table;
    int bestField = -1;
    bool bestEqual = false;
    for (int i = 0; i < Info->nConstraint; ++i) {
        const auto& c = Info->aConstraint[i];
        if (!c.usable || c.iColumn < 0 || size_t(c.iColumn) >= table.Fields.size()) continue;
        const TOrderInfo& order = table.Orders[size_t(c.iColumn)];
        const bool equal = c.op == SQLITE_INDEX_CONSTRAINT_EQ;
        if (!order.Order || (!equal && (order.Upper || !(IsLowerBound(c.op) || IsUpperBound(c.op)))))
            continue;
        if (bestField < 0 || (equal && !bestEqual)) {
            bestField = c.iColumn;
            bestEqual = equal;
        }
    }
    const double records = std::max<double>(table.RecordCount, 1);
    if (bestField < 0) {
        Info->idxNum = 0;
        Info->estimatedCost = records * 10;
        return SQLITE_OK;
    }
    String plan;
    bool haveLow = false, haveHigh = false;
    for (int i = 0; i < Info->nConstraint; ++i) {
        const auto& c = Info->aConstraint[i];
        if (!c.usable || c.iColumn != bestField) continue;
        char letter = 0;
        if (bestEqual && c.op == SQLITE_INDEX_CONSTRAINT_EQ && plan.empty())
            letter = 'E';
        else if (!bestEqual && IsLowerBound(c.op) && !haveLow)
            letter = 'L', haveLow = true;
        else if (!bestEqual && IsUpperBound(c.op) && !haveHigh)
            letter = 'H', haveHigh = true;
        if (!letter) continue;
        plan += letter;
        Info->aConstraintUsage[i].argvIndex = int(plan.size());
        // The engine's keys can be coarser than SQL's comparison: SQL checks again.
        Info->aConstraintUsage[i].omit = 0;
    }
    Info->idxNum = bestField + 1;
    Info->idxStr = sqlite3_mprintf("%s", plan.c_str());
    Info->needToFreeIdxStr = 1;
    Info->estimatedCost = bestEqual ? 10 : records * 3;
    Info->estimatedRows = bestEqual ? 10 : sqlite3_int64(records / 3);
    return SQLITE_OK;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** Out) {
    *Out = new TXbaseCursor();
    return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* Cursor) {
    delete static_cast<TXbaseCursor*>(Cursor);
    return SQLITE_OK;
}

// Reads the record at the cursor's position, passing over deleted records when
// the statement hides them.
int ReadCurrent(TXbaseCursor& Cursor) {
    TXbaseTable& table = Cursor.Owner();
    const TXbeFunctions& f = table.F();
    table.Select();
    Cursor.Record.resize(size_t(table.Table->RecordSize));
    for (; !Cursor.AtEnd(); ++Cursor.Position) {
        Cursor.RecNo = Cursor.RecNoAt(Cursor.Position);
        f.xb_Go(Cursor.RecNo);
        if (f.xb_GetRecord(Cursor.Record.data()) <= 0) {
            SetError(&table, "Record " + IntToStr(Cursor.RecNo) + " of " + table.Table->Alias +
                                     " cannot be read: " + table.EngineError());
            return SQLITE_ERROR;
        }
        ++table.Context->Counters->RecordsRead;
        if (!(table.Context->Settings->HideDeleted && Cursor.Record[0] == '*')) return SQLITE_OK;
    }
    return SQLITE_OK;
}

// The key text the engine scopes an order with, for a value SQL compares.
bool ScopeText(const TFieldInfo& Field, bool Upper, sqlite3_value* Value, String& Text) {
    switch (sqlite3_value_type(Value)) {
    case SQLITE_TEXT: {
        String text(reinterpret_cast<const char*>(sqlite3_value_text(Value)),
                    size_t(sqlite3_value_bytes(Value)));
        if (Field.Type == 'D') return IsoDateToDtos(text, Text);
        if (Field.Type != 'C') return false;
        Text = Upper ? UpperCase(text) : text;
        return !Text.empty();
    }
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        if (Field.Type != 'N' && Field.Type != 'F') return false;
        Text = reinterpret_cast<const char*>(sqlite3_value_text(Value));
        return true;
    default: return false;
    }
}

// Collects the record numbers within the order's scope, in key order.
int CollectFromOrder(TXbaseCursor& Cursor, const TFieldInfo& Field, const TOrderInfo& Order,
                     const String& Plan, sqlite3_value** Argv) {
    String low, high;
    for (size_t i = 0; i < Plan.size(); ++i) {
        String text;
        if (!ScopeText(Field, Order.Upper, Argv[i], text))
            return SQLITE_EMPTY;  // a value the order cannot seek: walk every record
        if (Plan[i] == 'E' || Plan[i] == 'L') low = text;
        if (Plan[i] == 'E' || Plan[i] == 'H') high = text;
    }
    TXbaseTable& table = Cursor.Owner();
    const TXbeFunctions& f = table.F();
    table.Select();
    f.xb_SetOrder(Order.Order);
    f.xb_SetScope(low.c_str(), high.c_str());
    Cursor.Natural = false;
    for (f.xb_GoTop(); !f.xb_Eof(); f.xb_Skip(1)) Cursor.RecNos.push_back(f.xb_RecNo());
    f.xb_SetScope("", "");
    f.xb_SetOrder(0);
    table.Context->Counters->IndexedReads += Int64(Cursor.RecNos.size());
    return SQLITE_OK;
}

int Filter(sqlite3_vtab_cursor* Base, int IdxNum, const char* IdxStr, int, sqlite3_value** Argv) {
    auto& cursor = *static_cast<TXbaseCursor*>(Base);
    TXbaseTable& table = cursor.Owner();
    cursor.RecNos.clear();
    cursor.Position = 0;
    cursor.Natural = true;
    int rc = SQLITE_EMPTY;
    if (IdxNum > 0) {
        const size_t field = size_t(IdxNum - 1);
        rc = CollectFromOrder(cursor, table.Table->Fields[field], table.Table->Orders[field],
                              IdxStr ? IdxStr : "", Argv);
    }
    if (rc == SQLITE_EMPTY) {
        table.Select();
        cursor.Natural = true;
        cursor.NaturalCount = table.F().xb_RecCount();
    }
    return ReadCurrent(cursor);
}

int Next(sqlite3_vtab_cursor* Base) {
    auto& cursor = *static_cast<TXbaseCursor*>(Base);
    ++cursor.Position;
    return ReadCurrent(cursor);
}

int Eof(sqlite3_vtab_cursor* Base) { return static_cast<TXbaseCursor*>(Base)->AtEnd(); }

int Column(sqlite3_vtab_cursor* Base, sqlite3_context* Result, int Index) {
    auto& cursor = *static_cast<TXbaseCursor*>(Base);
    TXbaseTable& table = cursor.Owner();
    const std::vector<TFieldInfo>& fields = table.Table->Fields;
    if (Index < 0 || size_t(Index) >= fields.size()) {
        sqlite3_result_int(Result, cursor.Record[0] == '*');
        return SQLITE_OK;
    }
    const TFieldInfo& field = fields[size_t(Index)];
    if (field.Type != 'M') {
        ResultFromField(Result, field, cursor.Record.data() + field.Offset);
        return SQLITE_OK;
    }
    const TXbeFunctions& f = table.F();
    table.Select();
    f.xb_Go(cursor.RecNo);
    char* memo = f.xb_GetMemo(field.Name.c_str(), 0);
    if (!memo) {
        sqlite3_result_error(Result,
                             ("The memo " + field.Name + " of record " + IntToStr(cursor.RecNo) +
                              " cannot be read: " + table.EngineError())
                                     .c_str(),
                             -1);
        return SQLITE_OK;
    }
    sqlite3_result_text(Result, memo, -1, SQLITE_TRANSIENT);
    f.xb_MemDealloc(memo);
    return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* Base, sqlite3_int64* Out) {
    *Out = static_cast<TXbaseCursor*>(Base)->RecNo;
    return SQLITE_OK;
}

// Writes the new values of a record's fields; every value is checked before the
// first is written, so a refused value leaves the record as it was.
int WriteFields(TXbaseTable& Table, XBLONG RecNo, int Argc, sqlite3_value** Argv) {
    const std::vector<TFieldInfo>& fields = Table.Table->Fields;
    std::vector<TStoredValue> values;
    for (size_t i = 0; i < fields.size() && int(i) + 2 < Argc; ++i) {
        sqlite3_value* value = Argv[i + 2];
        if (sqlite3_value_nochange(value)) {
            values.push_back(TStoredValue {});
            continue;
        }
        String problem;
        TStoredValue stored;
        if (!StoredValue(fields[i], value, stored, problem)) {
            SetError(&Table, "Record " + IntToStr(RecNo) + " of " + Table.Table->Alias + ": " + problem);
            return SQLITE_CONSTRAINT;
        }
        values.push_back(std::move(stored));
    }
    const TXbeFunctions& f = Table.F();
    for (size_t i = 0; i < values.size(); ++i) {
        const TStoredValue& v = values[i];
        if (v.Kind == TStoredValue::Unchanged) continue;
        const char* name = fields[i].Name.c_str();
        XBBOOL done = 0;
        switch (v.Kind) {
        case TStoredValue::AsNumber: done = f.xb_Replace(name, ReplaceDouble, &v.Number); break;
        case TStoredValue::AsJulian: done = f.xb_Replace(name, ReplaceJulian, &v.Julian); break;
        case TStoredValue::AsMemo: done = f.xb_Replace(name, ReplaceMemoText, v.Text.c_str()); break;
        default: done = f.xb_Replace(name, ReplaceText, v.Text.c_str()); break;
        }
        if (!done) {
            SetError(&Table, "Field " + fields[i].Name + " of record " + IntToStr(RecNo) + " of " +
                                     Table.Table->Alias + " was not written: " + Table.EngineError());
            return SQLITE_ERROR;
        }
    }
    return SQLITE_OK;
}

int Update(sqlite3_vtab* Vtab, int Argc, sqlite3_value** Argv, sqlite3_int64* RowidOut) {
    auto& table = *static_cast<TXbaseTable*>(Vtab);
    if (table.Context->Settings->ReadOnly) {
        SetError(Vtab, "The statement is read-only: " + table.Table->Alias + " cannot be changed");
        return SQLITE_READONLY;
    }
    const TXbeFunctions& f = table.F();
    table.Select();
    const bool inserting = Argc > 1 && sqlite3_value_type(Argv[0]) == SQLITE_NULL;
    XBLONG recno = 0;
    if (inserting) {
        if (sqlite3_value_type(Argv[1]) != SQLITE_NULL) {
            SetError(Vtab, "A record's number is given by the table: " + table.Table->Alias);
            return SQLITE_CONSTRAINT;
        }
        if (!f.xb_AppendBlank()) {
            SetError(Vtab, "No record could be added to " + table.Table->Alias + ": " + table.EngineError());
            return SQLITE_ERROR;
        }
        recno = f.xb_RecNo();
    } else {
        recno = XBLONG(sqlite3_value_int64(Argv[0]));
        if (Argc > 1 && sqlite3_value_int64(Argv[1]) != recno) {
            SetError(Vtab, "A record's number cannot be changed: " + table.Table->Alias);
            return SQLITE_CONSTRAINT;
        }
        f.xb_Go(recno);
        if (!f.xb_Rlock(recno)) {
            SetError(Vtab, "Record " + IntToStr(recno) + " of " + table.Table->Alias +
                                   " is locked by another user: " + table.EngineError());
            return SQLITE_BUSY;
        }
    }
    int rc = SQLITE_OK;
    if (Argc == 1) {
        if (!f.xb_Delete()) {
            SetError(Vtab, "Record " + IntToStr(recno) + " of " + table.Table->Alias +
                                   " was not deleted: " + table.EngineError());
            rc = SQLITE_ERROR;
        }
    } else {
        rc = WriteFields(table, recno, Argc, Argv);
    }
    if (rc == SQLITE_OK && !f.xb_Commit()) {
        SetError(Vtab, "Record " + IntToStr(recno) + " of " + table.Table->Alias +
                               " was not written: " + table.EngineError());
        rc = SQLITE_ERROR;
    }
    f.xb_Unlock(recno);
    if (RowidOut) *RowidOut = recno;
    return rc;
}

const sqlite3_module XbaseModule = {
        .iVersion = 1,
        .xCreate = Connect,
        .xConnect = Connect,
        .xBestIndex = BestIndex,
        .xDisconnect = Disconnect,
        .xDestroy = Disconnect,
        .xOpen = Open,
        .xClose = Close,
        .xFilter = Filter,
        .xNext = Next,
        .xEof = Eof,
        .xColumn = Column,
        .xRowid = Rowid,
        .xUpdate = Update,
        .xBegin = nullptr,
        .xSync = nullptr,
        .xCommit = nullptr,
        .xRollback = nullptr,
        .xFindFunction = nullptr,
        .xRename = nullptr,
        .xSavepoint = nullptr,
        .xRelease = nullptr,
        .xRollbackTo = nullptr,
        .xShadowName = nullptr,
};

}  // namespace

String DeclaredType(const TFieldInfo& Field) {
    switch (Field.Type) {
    case 'C': return "CHAR(" + IntToStr(Field.Width) + ")";
    case 'N':
    case 'F': return "NUMERIC(" + IntToStr(Field.Width) + "," + IntToStr(Field.Decimals) + ")";
    case 'D': return "DATE";
    case 'L': return "LOGICAL";
    case 'M': return "MEMO";
    default: return "BLOB";
    }
}

int RegisterXbaseModule(sqlite3* Db, TModuleContext* Context) {
    return sqlite3_create_module_v2(Db, "xbase", &XbaseModule, Context, nullptr);
}

}  // namespace localsql
