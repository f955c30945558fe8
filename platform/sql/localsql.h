#pragma once
// The local SQL engine: SQL statements over xBase tables, run in this process.
// Each table of a statement's table list is seen as an SQL table by its alias;
// SELECT runs to its end when the statement is opened, so that its rows, their
// count and their layout are known at once, and its rows are handed out as
// record images in the data-set framework's field layouts. INSERT, UPDATE and
// DELETE write through the engine with its record locks and index upkeep.
//
// The dialect is SQLite's, and so are its answers on the tables' values:
// - Character fields keep their xBase meaning: a field is its text padded with
//   blanks, so SQL sees it without trailing blanks ("AB" and "AB  " are one
//   value), a blank field is '' (never NULL), and NULL or '' written blanks it.
// - A blank number, date or logical is NULL, and NULL written blanks the field.
//   Numbers are as a NUMERIC column keeps them (12.00 is the integer 12).
// - Dates are 'YYYY-MM-DD' text; logical fields are 1 and 0; memos are text.
// - Text is Windows-1252 in the tables and UTF-8 inside SQL; a value holding a
//   NUL or a character the code page lacks is refused, naming the field.
// - Each statement is all or nothing: when it fails, the tables, memos and
//   index keys are as they were before it, and a refused INSERT appends nothing.
//   A write changes only the fields the statement sets.
// ":Name" parameters are bound as values.

#include <memory>
#include <utility>
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

struct TXbeFunctions;

namespace localsql {

// The engine the statements run on: its bound functions and the text of its last error.
struct TEngine {
    const TXbeFunctions* Functions = nullptr;
    String (*LastErrorText)() = nullptr;
};

// One table of a statement: its file (made absolute from the statement's
// directory when relative), the alias it is known by, its engine table type
// (1 NTX, 2 CDX, 3 NSX), and index files opened beside its own.
struct TTableRef {
    String FileName;
    String Alias;
    int TableType = 2;
    std::vector<String> ExtraIndexes;
};

struct TSettings {
    bool HideDeleted = false;  // deleted records take no part
    bool ReadOnly = false;     // INSERT, UPDATE and DELETE are refused
};

using TParams = std::vector<std::pair<String, Variant>>;

// A column of an opened result, in the framework's terms; Offset is its place in
// the record image. Memo and blob columns take no room in the image.
struct TColumn {
    String Name;
    TFieldType Type = ftString;
    int Size = 0;
    int Offset = 0;
};

// What the statement has done to the tables: records read from them, and how
// many of those reads came through an index.
struct TCounters {
    Int64 RecordsRead = 0;
    Int64 IndexedReads = 0;
};

class TStatement {
public:
    // Opens the tables for statements over them. A table that cannot be opened
    // gives nullptr and its reason in Message.
    static std::unique_ptr<TStatement> Prepare(const TEngine& Engine, const String& Directory,
                                               const std::vector<TTableRef>& Tables,
                                               const TSettings& Settings, TParams Params, String& Message);
    ~TStatement();

    // Runs a SELECT to its end; 0, or an error code with Message.
    int Open(const String& Sql, String& Message);
    // Runs a statement without a result; 0, or an error code with Message.
    int Exec(const String& Sql, String& Message);
    // Forgets the opened result.
    void Close();
    // Runs the opened SELECT again.
    int Refresh(String& Message);

    int RecordCount() const { return FRowCount; }
    int RecordSize() const { return FRecordSize; }
    const std::vector<TColumn>& Columns() const { return FColumns; }
    const TCounters& Counters() const { return FCounters; }

    // Five lines per column: name, field type, size and offset (both in
    // hexadecimal), and an empty line.
    void WriteStructure(TStream& Stream) const;
    // Rows First .. First + Count - 1 (1-based, cut at the last): their number as
    // 8 hexadecimal digits, then per row its number in the result (8 hexadecimal
    // digits) and its record image.
    void WriteRows(int First, int Count, TStream& Stream) const;
    // The memo or blob value of a column (0-based) of a row (1-based); nothing for
    // a column or row that is not there.
    void WriteBlob(int Column, int Row, TStream& Stream) const;

private:
    struct TImpl;
    explicit TStatement(std::unique_ptr<TImpl> Impl);

    std::unique_ptr<TImpl> FImpl;
    String FSql;
    std::vector<TColumn> FColumns;
    int FRecordSize = 0;
    int FRowCount = 0;
    String FImages;              // the rows' record images, one after another
    std::vector<String> FBlobs;  // the rows' memo and blob values, row after row, in column order
    TCounters FCounters;
};

}  // namespace localsql
