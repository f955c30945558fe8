#include "platform/sql/localsql.h"

#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/sql/barecount.h"
#include "platform/sql/sqlstatement.h"
#include "platform/sql/sqlvalues.h"
#include "platform/sql/xbasetable.h"
#include "platform/xbengine/xbe50.h"
#include "platform/xbengine/xbe_functions.h"

namespace localsql {

namespace {

// The engine-wide state a statement changes while it runs, restored when it
// ends: the selected work area, and the Deleted setting, which is off inside so
// that the statement's own setting decides which records take part.
class TEngineScope {
public:
    explicit TEngineScope(const TXbeFunctions& F)
        : FF(F), FDeleted(F.xb_SysProp(XBE_PROP_SET_DELETED, 0)), FArea(F.xb_Select(0))
    {
        F.xb_Select(FArea);
    }
    ~TEngineScope()
    {
        FF.xb_Select(FArea);
        FF.xb_SysProp(XBE_PROP_SET_DELETED, FDeleted);
    }
    TEngineScope(const TEngineScope&) = delete;
    TEngineScope& operator=(const TEngineScope&) = delete;

private:
    const TXbeFunctions& FF;
    XBPROP FDeleted;
    XBSHORT FArea;
};

std::atomic<int> AliasCounter {0};

String Hex8(Int64 Value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(Value));
    return text;
}

String ErrorText(sqlite3* Db)
{
    const char* text = sqlite3_errmsg(Db);
    return FromSqlText(text, std::strlen(text));
}

void WriteText(TStream& Stream, const String& Text) { Stream.Write(Text.data(), Int64(Text.size())); }

// One SQL value of a result row.
struct TValue {
    int Type = SQLITE_NULL;
    sqlite3_int64 Integer = 0;
    double Real = 0;
    String Text;      // text and blobs
    int32_t Day = 0;  // of a text that is a date, once a date column has checked it
};

// The values of a result, row after row.
struct TValues {
    size_t Columns = 0;
    std::vector<TValue> Values;

    size_t Rows() const { return Columns ? Values.size() / Columns : 0; }
    const TValue& At(size_t Row, size_t Column) const { return Values[Row * Columns + Column]; }
    TValue& At(size_t Row, size_t Column) { return Values[Row * Columns + Column]; }
};

void ReadValue(sqlite3_stmt* Statement, int Column, TValue& v)
{
    v.Type = sqlite3_column_type(Statement, Column);
    switch (v.Type) {
    case SQLITE_INTEGER: v.Integer = sqlite3_column_int64(Statement, Column); break;
    case SQLITE_FLOAT: v.Real = sqlite3_column_double(Statement, Column); break;
    case SQLITE_TEXT:
        v.Text = FromSqlText(reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column)),
                             size_t(sqlite3_column_bytes(Statement, Column)));
        break;
    case SQLITE_BLOB:
        v.Text.assign(static_cast<const char*>(sqlite3_column_blob(Statement, Column)),
                      size_t(sqlite3_column_bytes(Statement, Column)));
        break;
    default: break;
    }
}

// The field type of a column declared by a table of the statement; false for a
// computed column, whose type its values decide.
bool DeclaredColumn(const char* DeclType, TFieldType& Type, int& Size)
{
    if (!DeclType)
        return false;
    const String decl = DeclType;
    int width = 0, decimals = 0;
    if (std::sscanf(decl.c_str(), "CHAR(%d)", &width) == 1) {
        Type = ftString;
        Size = width;
    } else if (std::sscanf(decl.c_str(), "NUMERIC(%d,%d)", &width, &decimals) == 2) {
        Type = decimals == 0 && width <= 9 ? ftInteger : ftFloat;
    } else if (decl == "DATE") {
        Type = ftDate;
    } else if (decl == "LOGICAL") {
        Type = ftBoolean;
    } else if (decl == "MEMO") {
        Type = ftMemo;
    } else if (decl == "BLOB") {
        Type = ftBlob;
    } else {
        return false;
    }
    return true;
}

bool IsInt32(const TValue& V)
{
    return V.Type == SQLITE_INTEGER && V.Integer >= INT32_MIN && V.Integer <= INT32_MAX;
}

// The framework's day number of an 'YYYY-MM-DD' text; 0 (no date) for any other.
Integer FrameworkDay(const String& Iso)
{
    int year = 0, month = 0, day = 0;
    TDateTime date = 0;
    if (!ParseIsoDate(Iso, year, month, day) || !TryEncodeDate(year, month, day, date))
        return 0;
    return Integer(date) + DateDelta;
}

// Whether a value keeps its meaning in a column of the type: a compound
// SELECT's column is declared by its first SELECT, but its values come from all.
bool ValueFits(TFieldType Type, TValue& V)
{
    if (V.Type == SQLITE_NULL)
        return true;
    switch (Type) {
    case ftString: return V.Type != SQLITE_BLOB;
    case ftInteger: return IsInt32(V);
    case ftFloat: return V.Type == SQLITE_INTEGER || V.Type == SQLITE_FLOAT;
    case ftDate: return V.Type == SQLITE_TEXT && (V.Day = FrameworkDay(V.Text)) != 0;
    case ftBoolean: return V.Type == SQLITE_INTEGER && (V.Integer == 0 || V.Integer == 1);
    case ftMemo: return V.Type == SQLITE_TEXT;
    default: return true;
    }
}

// The width a value takes as text in a string column.
size_t TextWidth(const TValue& V)
{
    switch (V.Type) {
    case SQLITE_INTEGER: return IntToStr(V.Integer).size();
    case SQLITE_FLOAT: return FloatToStr(V.Real).size();
    case SQLITE_TEXT: return V.Text.size();
    default: return 0;
    }
}

// The field type of a column from the values it took.
void InferredColumn(const TValues& Rows, size_t Column, TFieldType& Type)
{
    bool integer = false, real = false, text = false, blob = false, int32 = true;
    for (size_t r = 0; r < Rows.Rows(); ++r) {
        const TValue& v = Rows.At(r, Column);
        integer = integer || v.Type == SQLITE_INTEGER;
        real = real || v.Type == SQLITE_FLOAT;
        text = text || v.Type == SQLITE_TEXT;
        blob = blob || v.Type == SQLITE_BLOB;
        int32 = int32 && (v.Type != SQLITE_INTEGER || IsInt32(v));
    }
    if (blob)
        Type = ftBlob;
    else if (text || !(integer || real))
        Type = ftString;
    else
        Type = real || !int32 ? ftFloat : ftInteger;
}

// The column's field type and size: as its table declares it when every value
// fits that, else as its values are; a string column is as wide as its longest value.
void ResultColumn(const char* DeclType, TValues& Rows, size_t Column, TColumn& Result)
{
    int declaredSize = 0;
    bool declared = DeclaredColumn(DeclType, Result.Type, declaredSize);
    for (size_t r = 0; declared && r < Rows.Rows(); ++r)
        declared = ValueFits(Result.Type, Rows.At(r, Column));
    if (!declared)
        InferredColumn(Rows, Column, Result.Type);
    Result.Size = 0;
    if (Result.Type != ftString)
        return;
    size_t longest = std::max(declaredSize, 1);
    for (size_t r = 0; r < Rows.Rows(); ++r)
        longest = std::max(longest, TextWidth(Rows.At(r, Column)));
    Result.Size = int(longest);
}

int ImageSize(const TColumn& Column)
{
    switch (Column.Type) {
    case ftString: return Column.Size + 1;
    case ftBoolean: return 2;
    case ftInteger:
    case ftDate: return 4;
    case ftFloat: return 8;
    default: return 0;
    }
}

double AsReal(const TValue& V)
{
    if (V.Type == SQLITE_INTEGER)
        return double(V.Integer);
    if (V.Type == SQLITE_FLOAT)
        return V.Real;
    return StrToFloatDef(V.Text, 0);
}

void PutValue(char* Image, const TColumn& Column, const TValue& V)
{
    char* at = Image + Column.Offset;
    if (V.Type == SQLITE_NULL)
        return;
    switch (Column.Type) {
    case ftString: {
        const String number = V.Type == SQLITE_INTEGER ? IntToStr(V.Integer)
                              : V.Type == SQLITE_FLOAT ? FloatToStr(V.Real)
                                                       : String();
        const String& text = V.Type == SQLITE_TEXT ? V.Text : number;
        std::memcpy(at, text.data(), std::min(text.size(), size_t(Column.Size)));
        break;
    }
    case ftInteger: {
        const int32_t value = int32_t(V.Type == SQLITE_INTEGER ? V.Integer : sqlite3_int64(AsReal(V)));
        std::memcpy(at, &value, sizeof value);
        break;
    }
    case ftFloat: {
        const double value = AsReal(V);
        std::memcpy(at, &value, sizeof value);
        break;
    }
    case ftBoolean: {
        const int16_t value = AsReal(V) != 0 ? -1 : 0;
        std::memcpy(at, &value, sizeof value);
        break;
    }
    case ftDate: {
        const Integer value = V.Day;
        std::memcpy(at, &value, sizeof value);
        break;
    }
    default: break;
    }
}

}  // namespace

struct TStatement::TImpl {
    TEngine Engine;
    TSettings Settings;
    TParams Params;
    std::vector<TOpenTable> Tables;
    TModuleContext Context;
    sqlite3* Db = nullptr;

    const TXbeFunctions& F() const { return *Engine.Functions; }
    String EngineError() const { return Engine.LastErrorText ? Engine.LastErrorText() : String(); }

    ~TImpl()
    {
        TEngineScope scope(F());
        if (Db)
            sqlite3_close(Db);
        for (const TOpenTable& table : Tables) {
            F().xb_Select(table.Area);
            F().xb_Close();
        }
    }

    bool OpenTable(const String& Directory, const TTableRef& Ref, String& Message);
    void ReadOrders(TOpenTable& Table);
    // Prepares Sql with the parameters bound; nullptr with the reason in Message.
    SqlStatement Compile(const String& Sql, const char*& Tail, String& Message);
    // Runs the SELECT Sql to its end: its columns' names and declared types, and its rows; false
    // with the reason in Message. The declared types live as long as Statement.
    bool RunSelect(const String& Sql, SqlStatement& Statement, std::vector<String>& Names,
                   std::vector<const char*>& Declared, TValues& Rows, String& Message);
    // The records of the table the statement knows by Alias that take part in a statement; false
    // when no table is known by that name, or a transaction holds records not yet appended.
    bool CountRecords(const String& Alias, Int64& Count);
};

bool TStatement::TImpl::RunSelect(const String& Sql, SqlStatement& Statement, std::vector<String>& Names,
                                  std::vector<const char*>& Declared, TValues& Rows, String& Message)
{
    const std::string text = ToSqlText(Sql);
    const char* tail = text.c_str();
    Statement = Compile(Sql, tail, Message);
    if (!Statement) {
        if (Message.empty())
            Message = "There is no SQL statement";
        return false;
    }
    const int columns = sqlite3_column_count(Statement.get());
    if (columns == 0) {
        Message = "The statement gives no rows: " + Sql;
        return false;
    }
    Rows.Columns = size_t(columns);
    Rows.Values.reserve(size_t(columns) * 64);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(Statement.get())) == SQLITE_ROW)
        for (int c = 0; c < columns; ++c)
            ReadValue(Statement.get(), c, Rows.Values.emplace_back());
    if (rc != SQLITE_DONE) {
        Message = ErrorText(Db);
        return false;
    }
    for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(Statement.get(), c);
        Names.push_back(FromSqlText(name, std::strlen(name)));
        Declared.push_back(sqlite3_column_decltype(Statement.get(), c));
    }
    return true;
}

bool TStatement::TImpl::CountRecords(const String& Alias, Int64& Count)
{
    // Records an INSERT of an open transaction keeps are appended only when the table is read.
    if (!sqlite3_get_autocommit(Db))
        return false;
    for (const TOpenTable& table : Tables) {
        if (!SameSqlName(table.Alias, Alias))
            continue;
        const TXbeFunctions& f = F();
        f.xb_Select(table.Area);
        // Deleted records count unless the statement hides them, as its reads do.
        if (Settings.HideDeleted) {
            f.xb_SysProp(XBE_PROP_SET_DELETED, 1);
            Count = f.xb_Count();
            f.xb_SysProp(XBE_PROP_SET_DELETED, 0);
        } else {
            Count = f.xb_RecCount();
        }
        // No count is told from a count the engine could not take: SQLite counts.
        return Count > 0;
    }
    return false;
}

bool TStatement::TImpl::OpenTable(const String& Directory, const TTableRef& Ref, String& Message)
{
    const TXbeFunctions& f = F();
    const String path = Ref.FileName.starts_with("/") ? Ref.FileName : Directory + Ref.FileName;
    const String alias = "SQL" + IntToStr(++AliasCounter);
    const XBSHORT area =
            f.xb_Use(path.c_str(), alias.c_str(), Settings.ReadOnly ? 1 : 0, XBSHORT(Ref.TableType));
    if (area <= 0) {
        Message = "Unable to open table " + path + ": " + EngineError();
        return false;
    }
    TOpenTable table;
    table.Alias = Ref.Alias;
    table.Area = area;
    Tables.push_back(table);
    TOpenTable& open = Tables.back();
    for (const String& index : Ref.ExtraIndexes) {
        const String indexPath = index.starts_with("/") ? index : Directory + index;
        if (f.xb_IndexOpen(indexPath.c_str()) <= 0 && !EngineError().empty()) {
            Message = "Unable to open index " + indexPath + ": " + EngineError();
            return false;
        }
    }
    open.RecordSize = f.xb_RecSize();
    open.RecordCount = f.xb_RecCount();
    const int count = f.xb_FieldCount();
    for (int i = 1; i <= count; ++i) {
        TFieldInfo field;
        field.Name = f.xb_FieldName(XBSHORT(i));
        const String type = f.xb_FieldType(field.Name.c_str());
        field.Type = type.empty() ? 'C' : type[0];
        field.Width = f.xb_FieldWidth(field.Name.c_str());
        field.Decimals = f.xb_FieldDecimals(field.Name.c_str());
        field.Offset = f.xb_FieldOffset(field.Name.c_str()) - 1;
        open.Fields.push_back(field);
    }
    ReadOrders(open);
    return true;
}

// Finds, for each field, an order whose key is that field alone (or its upper
// case, for a character field) and which has no condition.
void TStatement::TImpl::ReadOrders(TOpenTable& Table)
{
    const TXbeFunctions& f = F();
    Table.Orders.assign(Table.Fields.size(), TOrderInfo {});
    const XBSHORT count = XBSHORT(f.xb_SysProp(XBE_PROP_ORDER_COUNT, 0));
    for (XBSHORT order = 1; order <= count; ++order) {
        f.xb_SetOrder(order);
        if (!Trim(f.xb_IndexCondition()).empty())
            continue;
        const String key = UpperCase(Trim(f.xb_IndexKey()));
        for (size_t i = 0; i < Table.Fields.size(); ++i) {
            const TFieldInfo& field = Table.Fields[i];
            TOrderInfo& serving = Table.Orders[i];
            if (key == field.Name && (!serving.Order || serving.Upper))
                serving = TOrderInfo {order, false};
            else if (field.Type == 'C' && key == "UPPER(" + field.Name + ")" && !serving.Order)
                serving = TOrderInfo {order, true};
        }
    }
    f.xb_SetOrder(0);
}

SqlStatement TStatement::TImpl::Compile(const String& Sql, const char*& Tail, String& Message)
{
    sqlite3_stmt* compiled = nullptr;
    if (sqlite3_prepare_v2(Db, Tail, -1, &compiled, &Tail) != SQLITE_OK) {
        Message = ErrorText(Db);
        return nullptr;
    }
    SqlStatement statement(compiled);
    if (!statement)
        return nullptr;
    for (int i = 1; i <= sqlite3_bind_parameter_count(statement.get()); ++i) {
        const char* name = sqlite3_bind_parameter_name(statement.get(), i);
        const TParams::value_type* found = nullptr;
        for (const auto& param : Params)
            if (name && SameText(param.first, FromSqlText(name + 1, std::strlen(name + 1))))
                found = &param;
        if (!found) {
            Message = "No value is given for the parameter " +
                      (name ? FromSqlText(name, std::strlen(name)) : "?") + " of: " + Sql;
            return nullptr;
        }
        BindVariant(statement.get(), i, found->second);
    }
    return statement;
}

TStatement::TStatement(std::unique_ptr<TImpl> Impl) : FImpl(std::move(Impl)) { }

TStatement::~TStatement() = default;

std::unique_ptr<TStatement> TStatement::Prepare(const TEngine& Engine, const String& Directory,
                                                const std::vector<TTableRef>& Tables,
                                                const TSettings& Settings, TParams Params, String& Message)
{
    auto impl = std::make_unique<TImpl>();
    impl->Engine = Engine;
    impl->Settings = Settings;
    impl->Params = std::move(Params);
    impl->Tables.reserve(Tables.size());
    TEngineScope scope(impl->F());
    const String directory = Directory.empty() ? Directory : IncludeTrailingPathDelimiter(Directory);
    for (const TTableRef& ref : Tables)
        if (!impl->OpenTable(directory, ref, Message))
            return nullptr;
    // The connection is the statement's alone, used by one thread at a time: it needs no mutex.
    if (sqlite3_open_v2(":memory:", &impl->Db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        Message = "The SQL engine could not start";
        return nullptr;
    }
    std::unique_ptr<TStatement> statement(new TStatement(std::move(impl)));
    TImpl& self = *statement->FImpl;
    self.Context = TModuleContext {&self.Engine, &self.Settings, &self.Tables, &statement->FCounters};
    RegisterXbaseModule(self.Db, &self.Context);
    for (size_t i = 0; i < self.Tables.size(); ++i) {
        String alias;
        for (char c : self.Tables[i].Alias)
            alias += c == '"' ? String("\"\"") : String(1, c);
        const String create =
                "CREATE VIRTUAL TABLE temp.\"" + alias + "\" USING xbase(" + IntToStr(Int64(i)) + ")";
        char* error = nullptr;
        if (sqlite3_exec(self.Db, ToSqlText(create).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            Message = "The table " + self.Tables[i].Alias +
                      " cannot take part: " + (error ? FromSqlText(error, std::strlen(error)) : String());
            sqlite3_free(error);
            return nullptr;
        }
    }
    return statement;
}

int TStatement::Open(const String& Sql, String& Message)
{
    Close();
    FSql = Sql;
    TEngineScope scope(FImpl->F());
    SqlStatement statement;
    std::vector<String> names;
    std::vector<const char*> declared;
    TValues rows;
    TBareCount count;
    Int64 records = 0;
    if (IsBareCount(Sql, count) && FImpl->CountRecords(count.Table, records)) {
        names.push_back(count.Column);
        declared.push_back(nullptr);
        rows.Columns = 1;
        rows.Values.push_back(TValue {SQLITE_INTEGER, records, 0, {}});
    } else if (!FImpl->RunSelect(Sql, statement, names, declared, rows, Message)) {
        return 1;
    }
    int offset = 0;
    for (size_t c = 0; c < names.size(); ++c) {
        TColumn column;
        column.Name = names[c];
        ResultColumn(declared[c], rows, c, column);
        column.Offset = offset;
        offset += ImageSize(column);
        FColumns.push_back(column);
    }
    FRecordSize = offset;
    FRowCount = int(rows.Rows());
    FImages.assign(rows.Rows() * size_t(FRecordSize), '\0');
    for (size_t r = 0; r < rows.Rows(); ++r)
        for (size_t c = 0; c < FColumns.size(); ++c) {
            if (ImageSize(FColumns[c]) == 0)
                FBlobs.push_back(rows.At(r, c).Text);
            else
                PutValue(FImages.data() + r * size_t(FRecordSize), FColumns[c], rows.At(r, c));
        }
    return 0;
}

int TStatement::Exec(const String& Sql, String& Message)
{
    TEngineScope scope(FImpl->F());
    const std::string text = ToSqlText(Sql);
    const char* tail = text.c_str();
    while (tail && *tail) {
        const SqlStatement statement = FImpl->Compile(Sql, tail, Message);
        if (!statement) {
            if (!Message.empty())
                return 1;
            continue;  // only blanks or a comment were left
        }
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) { }
        if (rc != SQLITE_DONE)
            Message = ErrorText(FImpl->Db);
        if (rc != SQLITE_DONE)
            return 1;
    }
    return 0;
}

void TStatement::Close()
{
    FColumns.clear();
    FRowCount = 0;
    FImages.clear();
    FBlobs.clear();
    FRecordSize = 0;
}

int TStatement::Refresh(String& Message)
{
    const String sql = FSql;
    return Open(sql, Message);
}

void TStatement::WriteStructure(TStream& Stream) const
{
    for (const TColumn& column : FColumns)
        WriteText(Stream, column.Name + "\r\n" + Hex8(column.Type) + "\r\n" + Hex8(column.Size) + "\r\n" +
                                  Hex8(column.Offset) + "\r\n\r\n");
}

void TStatement::WriteRows(int First, int Count, TStream& Stream) const
{
    const int first = std::max(First, 1);
    const int last = std::min(RecordCount(), first + std::max(Count, 0) - 1);
    WriteText(Stream, Hex8(std::max(last - first + 1, 0)));
    for (int row = first; row <= last; ++row) {
        WriteText(Stream, Hex8(row));
        Stream.Write(FImages.data() + size_t(row - 1) * size_t(FRecordSize), FRecordSize);
    }
}

void TStatement::WriteBlob(int Column, int Row, TStream& Stream) const
{
    if (Column < 0 || size_t(Column) >= FColumns.size() || Row < 1 || Row > RecordCount() ||
        ImageSize(FColumns[size_t(Column)]) != 0)
        return;
    size_t blob = 0, blobs = 0;
    for (size_t c = 0; c < FColumns.size(); ++c) {
        blob += int(c) < Column && ImageSize(FColumns[c]) == 0;
        blobs += ImageSize(FColumns[c]) == 0;
    }
    WriteText(Stream, FBlobs[size_t(Row - 1) * blobs + blob]);
}

}  // namespace localsql
