#include "platform/sql/xbasetable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/rtl/strutils.h"
#include "platform/sql/indexscope.h"
#include "platform/sql/sqlvalues.h"
#include "platform/sql/tablechanges.h"
#include "platform/xbengine/xbe50.h"
#include "platform/xbengine/xbe_functions.h"

namespace localsql {

namespace {

struct TXbaseTable : sqlite3_vtab {
    TXbaseTable(TModuleContext* C, TOpenTable* T) : Context(C), Table(T), Changes(*C->Engine, *T) { }

    TModuleContext* Context;
    TOpenTable* Table;
    TTableChanges Changes;

    const TXbeFunctions& F() const { return *Context->Engine->Functions; }
    // Makes the table's work area the engine's current one.
    void Select() const { F().xb_Select(Table->Area); }
    String EngineError() const
    {
        String text = Context->Engine->LastErrorText ? Context->Engine->LastErrorText() : String();
        return text.empty() ? String("the engine refused the operation") : text;
    }
};

// The plan a BestIndex chose and Filter follows. idxNum is the field (1-based)
// whose order is walked, 0 for a walk by record number. idxStr starts with 'A'
// or 'D' when the walk gives the ORDER BY, ascending or descending, 'N' when
// it need not, then one letter per argument: 'E'
// equal, 'L' lower bound, 'H' upper bound on that field; 'e', 'l', 'h' on the
// record number; 'O' the statement's OFFSET, which the walk skips, 'T' its LIMIT;
// 'P' a number a numeric field is compared with, which the walk checks itself.
// After the letters, a '|' and each such comparison as "field:operator,".
constexpr size_t PlanArguments = 1;

// A comparison of a numeric field with a number that the walk checks on each
// record, so that the records failing it never reach SQL (which checks those
// that pass again). Long double holds every 64-bit integer and every double,
// so the comparison is as exact as SQLite's.
struct TNumberTest {
    int Field = 0;
    unsigned char Op = 0;
    long double Value = 0;
};

// A walk over the records a condition selected: record numbers First to Last,
// or the record numbers of an order within a scope, collected in batches as
// the walk goes on, so that a statement that stops early reads little.
struct TXbaseCursor : sqlite3_vtab_cursor {
    bool Descending = false;
    // Walk by record number.
    XBLONG First = 1, Last = 0;
    // Walk in an order.
    XBSHORT Order = 0;
    TScope Scope;
    std::vector<XBLONG> Batch;
    size_t BatchSize = 0;
    Int64 Skip = 0;   // rows the walk passes over before its first: the OFFSET
    Int64 Limit = 0;  // rows the statement takes at most, when it says
    bool OrderDone = false;
    size_t Position = 0;
    std::vector<TNumberTest> Tests;

    // The images of the batch's records, read as the walk passed them; empty when they could not be.
    String BatchImages;

    XBLONG RecNo = 0;
    bool AtEnd = true;
    const char* Image = nullptr;  // the record's image once read: in Record or BatchImages
    String Record;

    TXbaseTable& Owner() const { return *static_cast<TXbaseTable*>(pVtab); }
};

void SetError(sqlite3_vtab* Table, const String& Message)
{
    sqlite3_free(Table->zErrMsg);
    Table->zErrMsg = sqlite3_mprintf("%s", ToSqlText(Message).c_str());
}

String Quoted(const String& Name)
{
    String out = "\"";
    for (char c : Name)
        out += c == '"' ? String("\"\"") : String(1, c);
    return out + "\"";
}

int Connect(sqlite3* Db, void* Aux, int Argc, const char* const* Argv, sqlite3_vtab** Out, char** Error)
{
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
    if (int rc = sqlite3_declare_vtab(Db, ToSqlText(schema).c_str()); rc != SQLITE_OK)
        return rc;
    *Out = new TXbaseTable(context, &table);
    return SQLITE_OK;
}

int Disconnect(sqlite3_vtab* Table)
{
    delete static_cast<TXbaseTable*>(Table);
    return SQLITE_OK;
}

bool IsLowerBound(unsigned char Op)
{
    return Op == SQLITE_INDEX_CONSTRAINT_GT || Op == SQLITE_INDEX_CONSTRAINT_GE;
}
bool IsUpperBound(unsigned char Op)
{
    return Op == SQLITE_INDEX_CONSTRAINT_LT || Op == SQLITE_INDEX_CONSTRAINT_LE;
}
bool IsNumberTest(unsigned char Op)
{
    return Op == SQLITE_INDEX_CONSTRAINT_EQ || IsLowerBound(Op) || IsUpperBound(Op);
}
bool IsLimitOrOffset(unsigned char Op)
{
    return Op == SQLITE_INDEX_CONSTRAINT_LIMIT || Op == SQLITE_INDEX_CONSTRAINT_OFFSET;
}

// Whether walking the order of a field gives the rows in SQLite's order of its
// values: for dates, whose blank (NULL) keys come first as NULL does. Text
// keys order by their padded code-page bytes and blank numbers key as 0, so
// those orders differ from SQL's.
bool OrderIsSqlOrder(const TOpenTable& Table, int Field)
{
    return Field >= 0 && Table.Orders[size_t(Field)].Order && !Table.Orders[size_t(Field)].Upper &&
           Table.Fields[size_t(Field)].Type == 'D';
}

// The ORDER BY the walk can give: a field's order, or the record numbers
// (-1), in one direction, with ties in record number order; -2 when none.
int OrderedBy(const TOpenTable& Table, const sqlite3_index_info* Info, bool& Descending)
{
    if (Info->nOrderBy < 1 || Info->nOrderBy > 2)
        return -2;
    const auto& first = Info->aOrderBy[0];
    Descending = first.desc;
    if (Info->nOrderBy == 2 &&
        (first.iColumn < 0 || Info->aOrderBy[1].iColumn != -1 || Info->aOrderBy[1].desc != first.desc))
        return -2;
    if (first.iColumn == -1 || OrderIsSqlOrder(Table, first.iColumn))
        return first.iColumn;
    return -2;
}

int BestIndex(sqlite3_vtab* Vtab, sqlite3_index_info* Info)
{
    const TOpenTable& table = *static_cast<TXbaseTable*>(Vtab)->Table;
    const double records = std::max<double>(table.RecordCount, 1);
    // The best condition: on the record number, then equality on a field with
    // an order, then a range on the record number, then a range on a field.
    int bestField = -2, bestRank = 0;
    for (int i = 0; i < Info->nConstraint; ++i) {
        const auto& c = Info->aConstraint[i];
        if (!c.usable || c.iColumn >= int(table.Fields.size()))
            continue;
        const bool equal = c.op == SQLITE_INDEX_CONSTRAINT_EQ;
        const bool range = IsLowerBound(c.op) || IsUpperBound(c.op);
        int rank = 0;
        if (c.iColumn < 0)
            rank = equal ? 4 : range ? 2 : 0;
        else if (const TOrderInfo& order = table.Orders[size_t(c.iColumn)]; order.Order)
            rank = equal ? 3 : range && !order.Upper ? 1 : 0;
        if (rank > bestRank)
            bestField = c.iColumn, bestRank = rank;
    }
    bool descending = false;
    const int ordered = OrderedBy(table, Info, descending);
    // With no condition an order that gives the ORDER BY is walked whole.
    if (bestRank == 0 && ordered >= 0)
        bestField = ordered, bestRank = -1;
    const bool byRecNo = bestRank == 0 || bestField == -1;
    const bool consumed = ordered == (byRecNo ? -1 : bestField);
    String plan(1, !consumed ? 'N' : descending ? 'D' : 'A');
    bool haveLow = false, haveHigh = false;
    for (int i = 0; bestRank > 0 && i < Info->nConstraint; ++i) {
        const auto& c = Info->aConstraint[i];
        if (!c.usable || c.iColumn != bestField)
            continue;
        char letter = 0;
        if (bestRank >= 3 && c.op == SQLITE_INDEX_CONSTRAINT_EQ && plan.size() == PlanArguments)
            letter = 'E';
        else if (bestRank < 3 && IsLowerBound(c.op) && !haveLow)
            letter = 'L', haveLow = true;
        else if (bestRank < 3 && IsUpperBound(c.op) && !haveHigh)
            letter = 'H', haveHigh = true;
        if (!letter)
            continue;
        plan += byRecNo ? char(AnsiLowerChar(letter)) : letter;
        Info->aConstraintUsage[i].argvIndex = int(plan.size() - PlanArguments);
        // Keys and record ranges can be coarser than SQL's comparison: SQL checks again.
        Info->aConstraintUsage[i].omit = 0;
    }
    // Comparisons of numeric fields the walk does not seek by are checked as it reads each record.
    String tests;
    for (int i = 0; i < Info->nConstraint; ++i) {
        const auto& c = Info->aConstraint[i];
        if (!c.usable || c.iColumn < 0 || c.iColumn >= int(table.Fields.size()) || !IsNumberTest(c.op) ||
            Info->aConstraintUsage[i].argvIndex > 0)
            continue;
        const char type = table.Fields[size_t(c.iColumn)].Type;
        if (type != 'N' && type != 'F')
            continue;
        plan += 'P';
        Info->aConstraintUsage[i].argvIndex = int(plan.size() - PlanArguments);
        Info->aConstraintUsage[i].omit = 0;
        tests += std::to_string(c.iColumn) + ':' + std::to_string(c.op) + ',';
    }
    // With no condition to check on its rows, the walk gives the rows the OFFSET passes over
    // itself, and stops at the LIMIT; SQLite offers them only then, and the rows in its order.
    bool conditions = false;
    for (int i = 0; i < Info->nConstraint; ++i)
        conditions = conditions || !IsLimitOrOffset(Info->aConstraint[i].op);
    for (int i = 0; !conditions && (consumed || Info->nOrderBy == 0) && i < Info->nConstraint; ++i) {
        const auto& c = Info->aConstraint[i];
        if (!c.usable || !IsLimitOrOffset(c.op))
            continue;
        const bool offset = c.op == SQLITE_INDEX_CONSTRAINT_OFFSET;
        plan += offset ? 'O' : 'T';
        Info->aConstraintUsage[i].argvIndex = int(plan.size() - PlanArguments);
        Info->aConstraintUsage[i].omit = offset;
    }
    if (!tests.empty())
        plan += '|' + tests;
    Info->orderByConsumed = consumed;
    Info->idxNum = byRecNo ? 0 : bestField + 1;
    Info->idxStr = sqlite3_mprintf("%s", plan.c_str());
    Info->needToFreeIdxStr = 1;
    switch (bestRank) {
    case 4:
        Info->estimatedCost = 1;
        Info->estimatedRows = 1;
        Info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
        break;
    case 3:
        Info->estimatedCost = 10 + std::log2(records);
        Info->estimatedRows = 10;
        break;
    case 2:
        Info->estimatedCost = records / 4;
        Info->estimatedRows = sqlite3_int64(records / 4);
        break;
    case 1:
        Info->estimatedCost = records / 2;
        Info->estimatedRows = sqlite3_int64(records / 4);
        break;
    case -1:
        Info->estimatedCost = records * 1.5;
        Info->estimatedRows = sqlite3_int64(records);
        break;
    default:
        Info->estimatedCost = records;
        Info->estimatedRows = sqlite3_int64(records);
        break;
    }
    return SQLITE_OK;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** Out)
{
    *Out = new TXbaseCursor();
    return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* Cursor)
{
    delete static_cast<TXbaseCursor*>(Cursor);
    return SQLITE_OK;
}

// Reads the record at the cursor into its image, unless its batch holds it.
int Load(TXbaseCursor& Cursor)
{
    TXbaseTable& table = Cursor.Owner();
    ++table.Context->Counters->RecordsRead;
    const size_t size = size_t(table.Table->RecordSize);
    if (Cursor.Order && !Cursor.BatchImages.empty()) {
        Cursor.Image = Cursor.BatchImages.data() + Cursor.Position * size;
        return SQLITE_OK;
    }
    const TXbeFunctions& f = table.F();
    table.Select();
    Cursor.Record.resize(size);
    f.xb_Go(Cursor.RecNo);
    if (f.xb_GetRecord(Cursor.Record.data()) <= 0) {
        SetError(&table, "Record " + IntToStr(Cursor.RecNo) + " of " + table.Table->Alias +
                                 " cannot be read: " + table.EngineError());
        return SQLITE_ERROR;
    }
    Cursor.Image = Cursor.Record.data();
    return SQLITE_OK;
}

// Collects the next batch of record numbers of the cursor's order, going on
// from the last record of the batch before.
void NextBatch(TXbaseCursor& Cursor)
{
    TXbaseTable& table = Cursor.Owner();
    const TXbeFunctions& f = table.F();
    const XBLONG last = Cursor.Batch.empty() ? 0 : Cursor.Batch.back();
    Cursor.Batch.clear();
    Cursor.BatchImages.clear();
    Cursor.Position = 0;
    if (Cursor.OrderDone)
        return;
    // The first batch holds what the LIMIT takes, when the statement says.
    Cursor.BatchSize =
            std::clamp<size_t>(Cursor.BatchSize ? Cursor.BatchSize * 2 : size_t(Cursor.Limit), 16, 4096);
    table.Select();
    f.xb_SetOrder(Cursor.Order);
    f.xb_SetScope(Cursor.Scope.Low.c_str(), Cursor.Scope.High.c_str());
    const XBLONG step = Cursor.Descending ? -1 : 1;
    if (last == 0) {
        // The engine passes over the OFFSET's keys in one step, hiding the deleted records as the
        // statement does.
        const bool hideDeleted = table.Context->Settings->HideDeleted && Cursor.Skip > 0;
        if (hideDeleted)
            f.xb_SysProp(XBE_PROP_SET_DELETED, 1);
        if (Cursor.Descending)
            f.xb_GoBottom();
        else
            f.xb_GoTop();
        if (Cursor.Skip > 0 && !f.xb_Eof() && !f.xb_Bof())
            f.xb_Skip(XBLONG(std::min<Int64>(Cursor.Skip, INT32_MAX)) * step);
        if (hideDeleted)
            f.xb_SysProp(XBE_PROP_SET_DELETED, 0);
        Cursor.Skip = 0;
    } else {
        f.xb_Go(last);
        f.xb_Skip(step);
    }
    // Each step of the walk has read its record: its image is kept for the rows to come.
    const size_t size = size_t(table.Table->RecordSize);
    Cursor.BatchImages.resize(Cursor.BatchSize * size);
    bool imaged = true;
    for (; !f.xb_Eof() && !f.xb_Bof() && Cursor.Batch.size() < Cursor.BatchSize; f.xb_Skip(step)) {
        imaged = imaged && f.xb_GetRecord(Cursor.BatchImages.data() + Cursor.Batch.size() * size) > 0;
        Cursor.Batch.push_back(f.xb_RecNo());
    }
    // Without every image each record is read on its own, which names what fails.
    Cursor.BatchImages.resize(imaged ? Cursor.Batch.size() * size : 0);
    Cursor.OrderDone = Cursor.Batch.size() < Cursor.BatchSize;
    f.xb_SetScope("", "");
    f.xb_SetOrder(0);
    table.Context->Counters->IndexedReads += Int64(Cursor.Batch.size());
}

// Whether the record at the cursor passes the cursor's number tests; a blank
// number is NULL to SQL, which no comparison passes.
bool PassesTests(const TXbaseCursor& Cursor)
{
    const std::vector<TFieldInfo>& fields = Cursor.Owner().Table->Fields;
    for (const TNumberTest& test : Cursor.Tests) {
        const TFieldInfo& field = fields[size_t(test.Field)];
        TFieldNumber number;
        if (!FieldNumber(field, Cursor.Image + field.Offset, number))
            return false;
        const long double value =
                number.Integer ? static_cast<long double>(number.Int) : static_cast<long double>(number.Real);
        const bool passes = test.Op == SQLITE_INDEX_CONSTRAINT_EQ   ? value == test.Value
                            : test.Op == SQLITE_INDEX_CONSTRAINT_GT ? value > test.Value
                            : test.Op == SQLITE_INDEX_CONSTRAINT_GE ? value >= test.Value
                            : test.Op == SQLITE_INDEX_CONSTRAINT_LT ? value < test.Value
                                                                    : value <= test.Value;
        if (!passes)
            return false;
    }
    return true;
}

// Moves to the first record from the cursor's place on (Advance: the one
// after it) that the statement sees and that passes its number tests; deleted
// records are passed over when the statement hides them.
int Step(TXbaseCursor& Cursor, bool Advance)
{
    TXbaseTable& table = Cursor.Owner();
    const bool hideDeleted = table.Context->Settings->HideDeleted;
    for (;; Advance = true) {
        Cursor.Image = nullptr;
        if (Cursor.Order) {
            if (Advance)
                ++Cursor.Position;
            if (Cursor.Position >= Cursor.Batch.size())
                NextBatch(Cursor);
            Cursor.AtEnd = Cursor.Position >= Cursor.Batch.size();
            if (!Cursor.AtEnd)
                Cursor.RecNo = Cursor.Batch[Cursor.Position];
        } else {
            if (Advance)
                Cursor.RecNo += Cursor.Descending ? -1 : 1;
            Cursor.AtEnd = Cursor.RecNo < Cursor.First || Cursor.RecNo > Cursor.Last;
        }
        if (Cursor.AtEnd || (!hideDeleted && Cursor.Tests.empty()))
            return SQLITE_OK;
        if (int rc = Load(Cursor); rc != SQLITE_OK)
            return rc;
        if ((!hideDeleted || Cursor.Image[0] != '*') && PassesTests(Cursor))
            return SQLITE_OK;
    }
}

// Narrows the record numbers First to Last by a bound on the record number.
void NarrowRecNos(TXbaseCursor& Cursor, char Condition, sqlite3_value* Value)
{
    const int type = sqlite3_value_numeric_type(Value);
    if (type == SQLITE_NULL) {
        Cursor.Last = 0;
        return;
    }
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
        return;  // SQL decides on every record
    const double value = std::clamp(sqlite3_value_double(Value), -1.0, double(Cursor.Last) + 1);
    if (Condition != 'h')
        Cursor.First = std::max(Cursor.First, XBLONG(std::ceil(value)));
    if (Condition != 'l')
        Cursor.Last = std::min(Cursor.Last, XBLONG(std::floor(value)));
}

int Filter(sqlite3_vtab_cursor* Base, int IdxNum, const char* IdxStr, int Argc, sqlite3_value** Argv)
{
    auto& cursor = *static_cast<TXbaseCursor*>(Base);
    TXbaseTable& table = cursor.Owner();
    const String idx = IdxStr ? IdxStr : "N";
    const String plan = idx.substr(0, idx.find('|'));
    // The number tests' fields and operators, in the order of their arguments.
    std::vector<TNumberTest> tests;
    for (size_t at = plan.size() + 1; at < idx.size();) {
        TNumberTest test;
        const char* text = idx.data();
        auto field = std::from_chars(text + at, text + idx.size(), test.Field);
        auto op = std::from_chars(field.ptr + 1, text + idx.size(), test.Op);
        tests.push_back(test);
        at = size_t(op.ptr - text) + 1;
    }
    // Records inserted earlier in the transaction are appended before they are looked for.
    String message;
    if (int rc = table.Changes.Append(message); rc != SQLITE_OK) {
        SetError(&table, message);
        return rc;
    }
    table.Select();
    cursor.Descending = plan[0] == 'D';
    cursor.First = 1;
    cursor.Last = table.F().xb_RecCount();
    cursor.Order = 0;
    cursor.Scope = TScope {};
    cursor.Batch.clear();
    cursor.BatchImages.clear();
    cursor.BatchSize = 0;
    cursor.OrderDone = false;
    cursor.Position = 0;
    cursor.Skip = 0;
    cursor.Limit = 0;
    cursor.Tests.clear();
    size_t nextTest = 0;
    // The order is walked when a value narrowed its scope or its sequence is the ORDER BY; a value
    // it cannot seek leaves that side of the scope open.
    bool useOrder = IdxNum > 0 && plan[0] != 'N';
    for (int i = 0; i < Argc && size_t(i) + PlanArguments < plan.size(); ++i) {
        const char condition = plan[size_t(i) + PlanArguments];
        if (condition == 'P') {
            // Only a number compares as a number: SQL decides on other values alone.
            TNumberTest test = tests.at(nextTest++);
            const int type = sqlite3_value_type(Argv[i]);
            test.Value = type == SQLITE_INTEGER ? static_cast<long double>(sqlite3_value_int64(Argv[i]))
                                                : static_cast<long double>(sqlite3_value_double(Argv[i]));
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
                cursor.Tests.push_back(test);
        } else if (condition == 'O' || condition == 'T')
            (condition == 'O' ? cursor.Skip : cursor.Limit) =
                    std::max<Int64>(sqlite3_value_int64(Argv[i]), 0);
        else if (IdxNum == 0)
            NarrowRecNos(cursor, condition, Argv[i]);
        else if (NarrowScope(table.Table->Fields[size_t(IdxNum - 1)],
                             table.Table->Orders[size_t(IdxNum - 1)].Upper, condition, Argv[i], cursor.Scope))
            useOrder = true;
    }
    if (cursor.Scope.Empty)
        cursor.Last = 0;
    else if (useOrder)
        cursor.Order = table.Table->Orders[size_t(IdxNum - 1)].Order;
    cursor.RecNo = cursor.Descending ? cursor.Last : cursor.First;
    if (cursor.Order || cursor.Skip == 0)
        return Step(cursor, false);
    // A walk by record number passes over the OFFSET's records; hidden ones are not counted.
    if (!table.Context->Settings->HideDeleted) {
        const Int64 skip = std::min<Int64>(cursor.Skip, Int64(cursor.Last) + 1);
        cursor.RecNo = XBLONG(cursor.RecNo + (cursor.Descending ? -skip : skip));
        return Step(cursor, false);
    }
    int rc = Step(cursor, false);
    for (; rc == SQLITE_OK && !cursor.AtEnd && cursor.Skip > 0; --cursor.Skip)
        rc = Step(cursor, true);
    return rc;
}

int Next(sqlite3_vtab_cursor* Base) { return Step(*static_cast<TXbaseCursor*>(Base), true); }

int Eof(sqlite3_vtab_cursor* Base) { return static_cast<TXbaseCursor*>(Base)->AtEnd; }

int Column(sqlite3_vtab_cursor* Base, sqlite3_context* Result, int Index)
{
    auto& cursor = *static_cast<TXbaseCursor*>(Base);
    // An UPDATE that does not set the column leaves it alone unread.
    if (sqlite3_vtab_nochange(Result))
        return SQLITE_OK;
    if (!cursor.Image)
        if (int rc = Load(cursor); rc != SQLITE_OK)
            return rc;
    TXbaseTable& table = cursor.Owner();
    const std::vector<TFieldInfo>& fields = table.Table->Fields;
    if (Index < 0 || size_t(Index) >= fields.size()) {
        sqlite3_result_int(Result, cursor.Image[0] == '*');
        return SQLITE_OK;
    }
    const TFieldInfo& field = fields[size_t(Index)];
    if (field.Type != 'M') {
        ResultFromField(Result, field, cursor.Image + field.Offset);
        return SQLITE_OK;
    }
    const TXbeFunctions& f = table.F();
    table.Select();
    f.xb_Go(cursor.RecNo);
    char* memo = f.xb_GetMemo(field.Name.c_str(), 0);
    if (!memo) {
        SetError(&table, "The memo " + field.Name + " of record " + IntToStr(cursor.RecNo) +
                                 " cannot be read: " + table.EngineError());
        return SQLITE_ERROR;
    }
    const std::string text = ToSqlText(memo);
    f.xb_MemDealloc(memo);
    sqlite3_result_text(Result, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* Base, sqlite3_int64* Out)
{
    *Out = static_cast<TXbaseCursor*>(Base)->RecNo;
    return SQLITE_OK;
}

// The values for a record's fields, every one checked before any is written.
int CheckedValues(TXbaseTable& Table, const String& Record, int Argc, sqlite3_value** Argv,
                  std::vector<TStoredValue>& Values)
{
    const std::vector<TFieldInfo>& fields = Table.Table->Fields;
    Values.assign(fields.size(), TStoredValue {});
    for (size_t i = 0; i < fields.size() && int(i) + 2 < Argc; ++i) {
        sqlite3_value* value = Argv[i + 2];
        if (sqlite3_value_nochange(value))
            continue;
        String problem;
        if (!StoredValue(fields[i], value, Values[i], problem)) {
            SetError(&Table, Record + " of " + Table.Table->Alias + ": " + problem);
            return SQLITE_CONSTRAINT;
        }
    }
    return SQLITE_OK;
}

int Update(sqlite3_vtab* Vtab, int Argc, sqlite3_value** Argv, sqlite3_int64* RowidOut)
{
    auto& table = *static_cast<TXbaseTable*>(Vtab);
    if (table.Context->Settings->ReadOnly) {
        SetError(Vtab, "The statement is read-only: " + table.Table->Alias + " cannot be changed");
        return SQLITE_READONLY;
    }
    String message;
    int rc = SQLITE_OK;
    std::vector<TStoredValue> values;
    if (Argc > 1 && sqlite3_value_type(Argv[0]) == SQLITE_NULL) {
        if (sqlite3_value_type(Argv[1]) != SQLITE_NULL) {
            SetError(Vtab, "A record's number is given by the table: " + table.Table->Alias);
            return SQLITE_CONSTRAINT;
        }
        if ((rc = CheckedValues(table, "A new record", Argc, Argv, values)) != SQLITE_OK)
            return rc;
        *RowidOut = table.Changes.Insert(std::move(values));
        return SQLITE_OK;
    }
    const XBLONG recno = XBLONG(sqlite3_value_int64(Argv[0]));
    if (Argc == 1) {
        rc = table.Changes.Delete(recno, message);
    } else if (sqlite3_value_int64(Argv[1]) != recno) {
        message = "A record's number cannot be changed: " + table.Table->Alias;
        rc = SQLITE_CONSTRAINT;
    } else if ((rc = CheckedValues(table, "Record " + IntToStr(recno), Argc, Argv, values)) == SQLITE_OK) {
        rc = table.Changes.Update(recno, values, message);
    }
    if (rc != SQLITE_OK && !message.empty())
        SetError(Vtab, message);
    return rc;
}

// Nothing to do, but SQLite calls a table's Sync, Commit and Rollback only when it has a Begin.
int Begin(sqlite3_vtab*) { return SQLITE_OK; }

// The first step of a commit: records inserted wait no longer; a failure here rolls back.
int Sync(sqlite3_vtab* Vtab)
{
    auto& table = *static_cast<TXbaseTable*>(Vtab);
    String message;
    const int rc = table.Changes.Append(message);
    if (rc != SQLITE_OK)
        SetError(Vtab, message);
    return rc;
}

int Commit(sqlite3_vtab* Vtab)
{
    static_cast<TXbaseTable*>(Vtab)->Changes.Commit();
    return SQLITE_OK;
}

int Rollback(sqlite3_vtab* Vtab)
{
    String message;
    const int rc = static_cast<TXbaseTable*>(Vtab)->Changes.RollBack(message);
    if (rc != SQLITE_OK)
        SetError(Vtab, message);
    return rc;
}

int Savepoint(sqlite3_vtab* Vtab, int Level)
{
    static_cast<TXbaseTable*>(Vtab)->Changes.Savepoint(Level);
    return SQLITE_OK;
}

int Release(sqlite3_vtab* Vtab, int Level)
{
    static_cast<TXbaseTable*>(Vtab)->Changes.Release(Level);
    return SQLITE_OK;
}

int RollbackTo(sqlite3_vtab* Vtab, int Level)
{
    String message;
    const int rc = static_cast<TXbaseTable*>(Vtab)->Changes.RollBackTo(Level, message);
    if (rc != SQLITE_OK)
        SetError(Vtab, message);
    return rc;
}

const sqlite3_module XbaseModule = {
        .iVersion = 2,
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
        .xBegin = Begin,
        .xSync = Sync,
        .xCommit = Commit,
        .xRollback = Rollback,
        .xFindFunction = nullptr,
        .xRename = nullptr,
        .xSavepoint = Savepoint,
        .xRelease = Release,
        .xRollbackTo = RollbackTo,
        .xShadowName = nullptr,
};

}  // namespace

String DeclaredType(const TFieldInfo& Field)
{
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

int RegisterXbaseModule(sqlite3* Db, TModuleContext* Context)
{
    return sqlite3_create_module_v2(Db, "xbase", &XbaseModule, Context, nullptr);
}

}  // namespace localsql
