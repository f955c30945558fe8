#pragma once
// TDaroruQuery: the result of one SQL SELECT over xBase tables as a data set,
// run by the local SQL engine or the database server through the
// connection's SQL requests. Its rows are fetched in blocks of FetchCount as
// they are first read and kept while the data set is open; they may be edited,
// inserted and deleted in memory (nothing is written back), exported and
// imported as comma-separated text.
//
// A row keeps its record image, a null flag per field (the images carry none)
// and the blobs written to it, and remembers the result row it came from, so
// that rows inserted or deleted in memory never shift what a later fetch fills.

#include <map>
#include <memory>
#include <vector>

#include "platform/classes/sets.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"
#include "remote/drconn.h"
#include "remote/drotables.h"
#include "tables/droenv.h"
#include "tables/droerror.h"

class TDaroruDatabase;

class EDaroruQueryError : public Exception {
public:
    using Exception::Exception;
};

enum TDaroruQuerySaveFlag { mtfSaveData, mtfSaveCalculated, mtfSaveLookup, mtfSaveNonVisible };
using TDaroruQuerySaveFlags = SetOf<TDaroruQuerySaveFlag>;

class TDaroruQuery : public TDataSet {
public:
    explicit TDaroruQuery(TComponent* AOwner);
    ~TDaroruQuery() override;
    String ClassName() const override { return "TDaroruQuery"; }
    bool InheritsFrom(const String& name) const override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TAccessMethod AccessMethod() const { return FAccessMethod; }
    void SetAccessMethod(TAccessMethod Value);
    const String& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const String& Value);
    TDaroruTables& TableNames() { return FTableNames; }
    TDaroruServerConnection* DaroruConnection() const { return FConnection; }
    void SetDaroruConnection(TDaroruServerConnection* Value);
    int FetchCount() const { return FFetchCount; }
    void SetFetchCount(int Value) { FFetchCount = Value < 1 ? 1 : Value; }
    TParams& Params() { return FParams; }
    TParam& ParamByName(const String& Name) { return FParams.ParamByName(Name); }
    bool ParamCheck() const { return FParamCheck; }
    void SetParamCheck(bool Value) { FParamCheck = Value; }
    int RecCount() { return RecordCount(); }
    TDaroruTableType TableType() const { return FTableType; }
    void SetTableType(TDaroruTableType Value) { FTableType = Value; }
    const TStrings& SQL() const { return FSQL; }
    // Closes an open query, then takes the lines.
    void SetSQL(const TStrings& Lines);
    void SetSQLText(const String& Text);
    String Version() const;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

    // A statement without a result (INSERT, UPDATE, DELETE), prepared for the
    // run when not prepared already.
    void Prepare();
    void UnPrepare();
    void ExecSQL();
    // Fetches every row not fetched yet.
    void FetchAll();
    // Forgets every row.
    void EmptyTable();

    bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
    bool FindRecord(bool Restart, bool GoForward) override;

    // Comma-separated text: a line of the written fields' labels, then a line
    // per row, every value double-quoted (quotes doubled), lines ended by CR LF.
    void SaveToStream(TStream& Stream, TDaroruQuerySaveFlags Flags);
    void SaveToFile(const String& FileName, TDaroruQuerySaveFlags Flags);
    // Appends a row per line after the first, its values to the fields in
    // order. Values may be quoted or not; quoted ones may hold commas, quotes
    // and line breaks; an empty value clears its field. A text that is not
    // comma-separated, or a value a field refuses, raises EDaroruQueryError
    // naming the line, and the rows stay as they were.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const String& FileName);
    String CommaText();
    void SetCommaText(const String& Text);

    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
    bool BookmarkValid(const TBookmark& Bookmark) override;
    bool IsSequenced() const override { return !FiltersRows(); }
    void SetRecNo(int Value) override;

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override { return FRecordSize; }
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() override { return FCursorOpen; }
    void InternalFirst() override { FCurrent = 0; }
    void InternalLast() override { FCurrent = RowCount() + 1; }
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    void InternalGotoBookmark(const void* Bookmark) override;
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalCancel() override { FPendingBlobs.clear(); }
    bool GetCanModify() const override { return !FReadOnly; }
    int GetRecordCount() override;
    int GetRecNo() override;
    void ClearCalcFields(TRecordBuffer Buffer) override;
    // Whether rows are filtered, and whether the row in Buffer passes: by
    // OnFilterRecord while Filtered.
    virtual bool FiltersRows() const { return Filtered() && OnFilterRecord; }
    virtual bool RowAccepted(TRecordBuffer Buffer);
    // The row the fields read while a filter decides.
    void SetFilterBuffer(TRecordBuffer Buffer) { FFilterBuffer = Buffer; }

private:
    friend class TDaroruQueryBlobStream;
    struct TRow {
        String Image;
        std::vector<char> Nulls;      // per field, 1 when null
        std::map<int, String> Blobs;  // by field number: blobs written in memory
        int ResultRow = 0;            // the result row it came from; 0 for an inserted row
        bool Fetched = false;
    };

    int RowCount() const { return static_cast<int>(FRows.size()); }
    void OpenTable();
    void SetToDaroruEnv();
    TDaroruDatabase* GetDatabase();
    String PathFromAlias();
    TDaroruServerConnection& Connection();
    // Fills the row (1-based) and the rows after it from the result when it was not fetched yet.
    void FetchRecord(int Row);
    // The row's image, flags and index into Buffer, with the calculated fields;
    // false when the filter rejects it.
    bool ReadRow(int Row, TRecordBuffer Buffer);
    int TrailerRow(TRecordBuffer Buffer, int Which) const;
    void SetTrailerRow(TRecordBuffer Buffer, int Which, int Row) const;
    char* NullFlags(TRecordBuffer Buffer) const { return Buffer + FImageSize + TrailerSize; }
    TRecordBuffer FieldBuffer() const;
    // A memo or blob written in memory for the field's record (true), or that
    // the record has none from the result.
    bool StoredBlob(TField* Field, String& Value);
    String ReadBlobData(TField* Field);
    // The value of a field of the current row as a locate key compares it.
    bool FieldMatches(TField* Field, const Variant& Key, TLocateOptions Options) const;

    static constexpr int TrailerSize = 12;

    TAccessMethod FAccessMethod = amServer;
    String FDatabaseName;
    TDaroruTables FTableNames {this};
    TDaroruServerConnection* FConnection = nullptr;
    TDaroruDatabase* FDatabase = nullptr;
    String FDataPath;
    int FFetchCount = 25;
    TParams FParams;
    bool FParamCheck = true;
    TDaroruTableType FTableType = ttSXFOX;
    TStringList FSQL;
    bool FReadOnly = false;

    WordBool FCentury = false;
    TDaroruDateFrmt FDateFormat = dfWinDefault;
    WordBool FDeleted = false;
    int FMemoBlockSize = 64;

    int FHandle = 0;
    int FExecHandle = 0;
    int FResultCount = 0;
    int FFieldCount = 0;
    int FImageSize = 0;
    int FRecordSize = 0;
    std::vector<int> FOffsets;
    std::vector<TRow> FRows;
    int FCurrent = 0;  // 1-based; 0 before the first row, count + 1 after the last
    bool FCursorOpen = false;
    TRecordBuffer FFilterBuffer = nullptr;
    std::map<int, String> FPendingBlobs;
};
