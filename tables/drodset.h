#pragma once
// TDaroruTable: the data set over one work area of the engine. Every engine
// operation selects the table's work area first and goes through the table's
// cs_ dispatch methods.

#include <cstdint>
#include <memory>
#include <vector>

#include <functional>

#include "platform/classes/object.h"
#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/constarg.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "tables/drcommon.h"
#include "tables/drocache.h"
#include "tables/drodispatch.h"

class TDaroruDatabase;

enum TEOFAction { eaEOF, eaMoveLast };
enum TSequencedCount { scAll, scFilterOnly, scRaw };

// Where an engine field lies in the engine record image and in a record buffer.
class TFieldInfo : public TObject {
public:
    String ClassName() const override { return "TFieldInfo"; }
    int RecordOffset = 0;  // 0-based, in the engine record image
    int BufferOffset = 0;  // of the null flag, in a record buffer
    int Width = 0;
    int Decimals = 0;
};

// A memo or blob value of one record buffer, read from the engine on demand.
struct TDrBlobEntry {
    std::int32_t Length;
    char* Data;             // Length + 1 bytes, zero-terminated; owned by the entry
    char Reference[10];     // the memo block reference of the record image
    std::uint8_t Modified;  // 0xFF once a blob stream wrote new data
    std::uint8_t Loaded;    // 0xFF once the data were read from the engine
};

class TDaroruTable : public TDataSet, public TDaroruDispatch {
public:
    explicit TDaroruTable(TComponent* AOwner);
    ~TDaroruTable() override;
    String ClassName() const override { return "TDaroruTable"; }
    bool InheritsFrom(const String& name) const override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Set-up.
    void SetDaroruConnection(TDaroruConnection* Value);
    void SetAccessMethod(TAccessMethod Value);
    const String& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const String& Value);
    const String& TableName() const { return FTableName; }
    void SetTableName(const String& Value);
    WordBool Exclusive() const { return FExclusive; }
    void SetExclusive(WordBool Value);
    WordBool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(WordBool Value);
    TDaroruTableType TableType() const { return FTableType; }
    void SetTableType(TDaroruTableType Value);
    TEOFAction EOFAction() const { return FEOFAction; }
    void SetEOFAction(TEOFAction Value) { FEOFAction = Value; }
    TSequencedCount SequencedCount() const { return FSequencedCount; }
    void SetSequencedCount(TSequencedCount Value) { FSequencedCount = Value; }
    WordBool SpeedMode() const { return FSpeedMode; }
    void SetSpeedMode(WordBool Value);
    WordBool TurboRead() const { return FTurboRead; }
    void SetTurboRead(WordBool Value);
    const String& Password() const { return FPassword; }
    void SetPassword(const String& Value);
    const String& IndexName() const { return FIndexName; }
    bool Sequenced() const { return FSequenced; }
    void SetSequenced(bool Value);
    TIndexDefs* IndexDefs() { return &FIndexDefs; }
    // The engine's version text and the layer's.
    String Version() { return GetVersion(); }
    String GetVersion();
    // The environment values the table copied when it opened.
    int Epoch() const { return FEpoch; }
    int ErrorFunc() const { return FErrorFunc; }
    // The open work area; 0 when closed.
    SmallInt WorkArea() const { return FWorkArea; }

    // Paths.
    String GetDataPath();
    String PathFromAlias();
    TDaroruDatabase* GetDatabase();
    String GetUniqueAliasName(const String& Name);
    static int DaroruTableType(TDaroruTableType Type);
    void CheckTableType();
    // Data path, file name, ".DBF" when the name has no extension.
    String GetFullTableName();
    bool GetExists();
    // File operations on the table's side: the local file system, or the server.
    bool cs_DeleteFile(const String& Name);
    bool cs_FileExists(const String& Name);
    // What a server request names as the directory of Path: DatabaseName, which
    // the server resolves itself, unless Path gives a directory of its own (as a
    // table's own directory wins over DatabaseName on the local road).
    String ServerDirectoryOf(const String& Path) const;
    // The file of Path as a server request names it: ServerDirectoryOf(Path),
    // a path delimiter, and the bare file name.
    String ServerFileOf(const String& Path) const;

    // Records.
    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    TDrBlobEntry* GetBlobData(TField* Field);
    // The field's raw bytes of the engine record image.
    void GetBinary(const String& FieldName, void* Buffer);
    void PutBinary(const String& FieldName, const void* Buffer);
    void SetWriteBlobHdr(WordBool Value);

    // Navigation by physical record number and straight engine moves.
    void Go(int RecordNumber);
    void GoTop();
    void GoBottom();
    void Skip(int Count);
    int MoveBy(int Distance) override;
    void Next() override;
    void Prior() override;
    void BeginScroll();
    void EndScroll();
    bool GetDaroruBOF();
    bool GetDaroruEOF();
    void DaroruGetRecord(char* Buffer);
    // Selects the work area and puts the engine on the active record; false when closed.
    bool SelectForSxCall();
    void Resync(TResyncMode Mode) override;
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
    bool BookmarkValid(const TBookmark& Bookmark) override { return !Bookmark.empty(); }
    bool IsSequenced() const override;
    void SetRecNo(int Value) override;

    // Counts, numbers and locks.
    void RefreshCount();
    int GetSXRecCount();
    int RecCount() { return GetSXRecCount(); }
    int GetSXRecno();
    int RecSize();
    bool RLock(int Record);
    void Unlock(int Record);
    bool Locked(int Record);
    int GetLockCount();

    // Maintenance and direct writes.
    void Pack();
    void Zap();
    void Recall();
    void PutRecord(const char* Buffer);
    void PutBlob(const String& FieldName, const void* Data, int Length);
    void Replace(const String& FieldName, SmallInt Type, const void* Data);
    void KeyAdd(const String& Tag);
    void KeyDrop(const String& Tag);
    String KeyData();
    void SetTranslate(WordBool Value);
    void SetRelation(int ChildArea, const String& KeyExpression);
    void SetGaugeFunc(XBGAUGEFUNC Function);
    void SetGaugeHook(XBLONG Window);
    XBPROP SysProp(Word Property, XBPROP Value);
    // A group of writes (see TDaroruWriteGroup).
    void BeginWriteGroup();
    void EndWriteGroup();
    void MemDealloc(void* Pointer);
    int OpenMode();
    bool IsEncrypted(int Code);

    // Creating tables and copying them. The creation protocol: CreateNew, one
    // CreateField per announced field, CreateExec; the new table is left closed.
    bool CreateNew(const String& FileName, SmallInt TableType, SmallInt FieldCount);
    void CreateField(const String& Name, const String& Type, SmallInt Length, SmallInt Decimals);
    int CreateExec();
    int CreateFrom(const String& FileName, const String& StructFile, SmallInt TableType);
    int CopyStructure(const String& FileName);
    // A table of FIELD_NAME, FIELD_TYPE, FIELD_LEN, FIELD_DEC with one record per field.
    bool CopyStructureExtended(const String& FileName);
    int CopyFile(const String& FileName);
    int CopyFileText(const String& FileName, SmallInt Format);
    int AppendFrom(const String& FileName, SmallInt SourceType, const String& Condition);
    // Closes the table and deletes its files; a table file that another open holds stays.
    void DeleteTable();
    // Removes every record, opening the table exclusively for it; leaves it as it was.
    void EmptyTable();
    String GetIndexExt();
    String GetMemoExt();

    // Index files, tags and the active order.
    int IndexOrd();
    String IndexKey();
    String IndexKeyField();
    String IndexConditionText();
    int IndexType();
    String IndexFileName(int Order);
    bool IndexFlip();
    int TagArea(const String& Tag);
    String TagName(int Order);
    void IndexClose();
    void CloseIndexes();
    void Reindex();
    int IndexTag(const String& File, const String& Tag, const String& Expression, SmallInt Option,
                 bool Descending, const String& Condition);
    int Index(const String& File, const String& Expression, SmallInt Option, bool Descending,
              const String& Condition);
    // The order active after the call; a compound file does not change it.
    int IndexOpen(const String& File);
    int SetOrder(int Order);
    void SetIndexName(const String& Value);
    void GetIndexNames(TStrings* List);
    // Further index files opened with the table.
    TStrings& ExtraIndexes() { return FExtraIndexes; }
    void SetExtraIndexes(const TStrings& Value);
    virtual void ActivateIndexes();

    // Key searches and scopes on the active order.
    bool Seek(const String& Key);
    bool SeekBin(const String& Key, int Length);
    // Seeks the key text of the first value; the cursor stays when it is not found.
    bool FindKey(const ConstArg& Values);
    bool SetScope(const String& Low, const String& High);
    bool SetRange(const ConstArg& Low, const ConstArg& High);
    void CancelRange();
    const String& ScopeBegin() const { return FScopeBegin; }
    void SetScopeBegin(const String& Value);
    const String& ScopeEnd() const { return FScopeEnd; }
    void SetScopeEnd(const String& Value);
    bool Scoped() const { return FScoped; }
    void SetScoped(bool Value);
    double OrderPosGet();
    void OrderPosSet(double Position);
    int OrderRecNo();

    // Engine queries and filters.
    void SetSxQuery(const String& Value);
    void SetFiltered(bool Value) override;
    int Query(const String& Expression);
    // Text sets the Filter property, as for any data set; a Variant sets an engine
    // filter the indexes do not optimise (null or "" clears it).
    using TDataSet::SetFilter;
    void SetFilter(const char* Value) { TDataSet::SetFilter(String(Value)); }
    void SetFilter(const Variant& Value);
    int QueryTest(const String& Expression);
    int QueryRecCount();
    // The engine's active query text.
    String DBFilter();
    // Record bitmaps kept by the engine (roll-your-own filters) and query bits.
    SmallInt RYOFilterCreate();
    SmallInt RYOFilterCopy();
    int RYOFilterActivate(SmallInt Filter, SmallInt Mode);
    int RYOFilterDestroy(SmallInt Filter);
    bool RYOFilterGetBit(SmallInt Filter, int RecNo);
    int RYOFilterSetBit(SmallInt Filter, int RecNo, WordBool Value);
    int RYOFilterSave(SmallInt Filter, const String& FileName);
    int RYOFilterRestore(const String& FileName);
    int RYOKeyAdd(const String& Tag, const String& Key);
    int RYOKeyDrop(const String& Tag);
    void SetQueryBit(int RecNo, WordBool Value);
    bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
    Variant Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields) override;

    // Direct record and field access on the work area; empty values when closed.
    // With SpeedMode the records are the engine's, otherwise the data set's.
    void Append() override;
    void AppendBlank() { Append(); }
    void Commit();
    // Delete-marks the current record without the data-set protocol.
    void DaroruDelete();
    // A pending edit is posted (or cancelled) first, so its lock is not left behind.
    void Delete() override;
    String FieldName(int Number);
    String FieldType(const String& Name);
    int FieldWidth(const String& Name);
    int FieldDecimals(const String& Name);
    int FieldNum(const String& Name);
    int FieldOffset(const String& Name);
    int DaroruFieldCount();
    int Count();
    int EvalTest(const String& Expression);
    WordBool EvalLogical(const String& Expression);
    double EvalNumeric(const String& Expression);
    String EvalString(const String& Expression);
    bool Found();
    bool GetDeleted();
    String GetTrimString(const String& Name);
    String GetString(const String& Name);
    double GetDouble(const String& Name);
    int GetLong(const String& Name);
    WordBool GetLogical(const String& Name);
    TDateTime GetDate(const String& Name);
    String Alias();
    String BaseDate();
    String BaseName();
    bool BlobToFile(const String& Name, const String& FileName);
    int FilterAlias(const String& AliasName, const String& Expression);
    String FilterDlg(XBHWND Window, const String& Title, const String& Expression, SmallInt Options);
    bool FLock();
    bool GetQueryBit(int RecNo);
    String GetScope(SmallInt Which);
    int GetBlob(const String& Name, void* Buffer);
    int GetBlobLength(const String& Name);
    int GetDateJulian(const String& Name);
    bool Empty(const String& Name);
    char* GetMemo(const String& Name, Word LineWidth);
    // These three need no open table.
    String Descend(const String& Text);
    int Encrypt(void* Buffer, const String& Password, int Length);
    int Decrypt(void* Buffer, const String& Password, int Length);
    // GetString's text, valid until the next call.
    const char* GetStringEx(const String& Name);
    Byte GetByte(const String& Name);
    SmallInt GetInteger(const String& Name);
    String GetDateString(const String& Name);
    // The record numbers locked when the table was opened; 0 past the last.
    int GetLockList(int Index);
    bool DbfEncrypt() { return EncryptTable(true); }
    bool DbfDecrypt() { return EncryptTable(false); }
    int GetIndexFieldCount();
    // The engine's record number of the match; 0 or less when none.
    int DaroruLocate(const String& Expression, SmallInt Direction, SmallInt Continue);
    int DaroruLocateNext();

    // Cached updates: the store is sized at every opening and made as it is used.
    bool CachedUpdates() const { return FCachedUpdates; }
    void SetCachedUpdates(bool Value);
    bool UpdatesPending() const { return FCache.Pending(); }
    int CachedItemCount() const { return FCache.Count(); }
    void SetLenCachedItem(int Count);
    void ClearCachedItem();
    TCachedItem* GetCachedItem(int RecNo);
    TCachedItem& PutCachedItem(int RecNo, TUpdateStatus Status, const char* Image);
    TUpdateStatus UpdateStatus();
    // Fills Buffer with the record at the 1-based position, reading it on first use.
    void cu_FetchRecord(int Position, char* Buffer);
    bool cu_Seek(const String& Key);
    void Invalidate();
    void FetchAll();
    // Writes the changed records into the server connection's request buffer.
    void ApplyUpdates();
    void CancelUpdates();
    void RevertRecord();
    void CommitUpdates() { }
    std::function<void(TDataSet* DataSet, int UpdateKind, std::uint8_t& Action)> OnUpdateRecord;

    // With CachedUpdates the cursor moves over the cached positions, records are
    // read from and written to the store, and locks are granted without the engine.
    XBSHORT cs_Select(XBSHORT Area);
    bool cs_Bof();
    bool cs_Eof();
    void cs_Go(XBLONG RecNo);
    void cs_GoTop();
    void cs_GoBottom();
    void cs_Skip(XBLONG Count);
    XBLONG cs_RecNo();
    XBLONG cs_RecCount();
    double cs_OrderPosGet();
    bool cs_Deleted();
    bool cs_Delete();
    const char* cs_DBFilter();
    const char* cs_GetScope(XBSHORT Which);
    XBPROP cs_SysProp(XBSHORT Property, XBPROP Value);
    bool cs_Locked(XBLONG RecNo);
    bool cs_Rlock(XBLONG RecNo);
    void cs_Unlock(XBLONG RecNo);
    bool cs_Seek(const char* Key);
    bool cs_SeekBin(const char* Key, XBSHORT Length);
    XBLONG cs_GetRecord(char* Buffer);
    bool cs_PutRecord(const char* Buffer);
    // Locally the path goes to the engine; the server gets the file as
    // ServerFileOf names it, and the alias.
    XBSHORT cs_CreateNew(const char* Path, const char* Alias, XBSHORT Type, XBSHORT FieldCount);
    // The new record reaches the file at once, blank; with CachedUpdates the
    // values posted into it wait in the store, at the position after the last.
    bool cs_Append();
    bool cs_AppendBlank();
    // Memo and blob data are read from and written to the file at once: with
    // CachedUpdates the engine is first put on the record of the cached position,
    // and a write's field, as the engine then holds it, goes into the stored image.
#define DR_ON_CACHED_RECORD(name)                                                                            \
    template<class... A> auto cs_##name(A... Args)                                                           \
    {                                                                                                        \
        if (FCachedUpdates)                                                                                  \
            EngineToCachedRecord();                                                                          \
        return TDaroruDispatch::cs_##name(Args...);                                                          \
    }
    DR_ON_CACHED_RECORD(GetMemo)
    DR_ON_CACHED_RECORD(GetBlob)
    DR_ON_CACHED_RECORD(GetBlobLength)
    DR_ON_CACHED_RECORD(BlobToFile)
#undef DR_ON_CACHED_RECORD
#define DR_WRITES_CACHED_RECORD(name)                                                                        \
    template<class... A> auto cs_##name(const char* Field, A... Args)                                        \
    {                                                                                                        \
        if (!FCachedUpdates)                                                                                 \
            return TDaroruDispatch::cs_##name(Field, Args...);                                               \
        TCachedItem& item = EngineToCachedRecord();                                                          \
        const auto result = TDaroruDispatch::cs_##name(Field, Args...);                                      \
        TakeEngineField(item, Field);                                                                        \
        return result;                                                                                       \
    }
    DR_WRITES_CACHED_RECORD(PutBlob)
    DR_WRITES_CACHED_RECORD(Replace)
#undef DR_WRITES_CACHED_RECORD

    // Calls after which the cached positions no longer hold.
#define DR_CACHE_INVALIDATING(name)                                                                          \
    template<class... A> auto cs_##name(A... Args)                                                           \
    {                                                                                                        \
        const CacheInvalidation after(*this);                                                                \
        return TDaroruDispatch::cs_##name(Args...);                                                          \
    }
    DR_CACHE_INVALIDATING(SetQueryBit)
    DR_CACHE_INVALIDATING(AppendFrom)
    DR_CACHE_INVALIDATING(CloseIndexes)
    DR_CACHE_INVALIDATING(Reindex)
    DR_CACHE_INVALIDATING(SetFilter)
    DR_CACHE_INVALIDATING(SetPassword)
    DR_CACHE_INVALIDATING(SetRelation)
    DR_CACHE_INVALIDATING(SetScope)
    DR_CACHE_INVALIDATING(Use)
    DR_CACHE_INVALIDATING(Zap)
#undef DR_CACHE_INVALIDATING
    // The order calls keep the active order, which a cached table answers with.
    XBSHORT cs_IndexOrd();
    const char* cs_IndexCondition();
    XBSHORT cs_Index(const char* File, const char* Expression, XBSHORT Option, XBSHORT Descending,
                     const char* Condition);
    XBSHORT cs_IndexOpen(const char* File);
    XBSHORT cs_IndexTag(const char* File, const char* Tag, const char* Expression, XBSHORT Option,
                        XBSHORT Descending, const char* Condition);
    XBSHORT cs_SetOrder(XBSHORT Order);
    template<class... A> void cs_IndexClose(A... Args)
    {
        const CacheInvalidation after(*this);
        TDaroruDispatch::cs_IndexClose(Args...);
        FActiveOrder = 0;
    }
    // Also counts the records the query selects and sizes the store to them.
    bool cs_Query(const char* Expression);

    // Master-detail: the detail keeps a scope of the master's link values.
    TDataSource* MasterSource() const { return FMasterLink->DataSource(); }
    void SetMasterSource(TDataSource* Value);
    const String& MasterFields() const { return FMasterLink->FieldNames(); }
    void SetMasterFields(const String& Value) { FMasterLink->SetFieldNames(Value); }
    void CheckMasterRange();
    String GetMasterVal();
    TDataSource* GetDataSource() const override { return FMasterLink->DataSource(); }

protected:
    void UpdateIndexDefs() override;
    virtual void ExtraIndexesChanged();
    void SetFilterText(const String& Value) override;
    void MasterChanged(TObject* Sender);
    void MasterDisabled(TObject* Sender);

    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() override { return FCursorOpen; }
    void InternalRefresh() override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    void InternalGotoBookmark(const void* Bookmark) override;
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
    bool GetCanModify() const override { return !FReadOnly; }
    int GetRecordCount() override;
    int GetRecNo() override;
    bool GetBOF() override;
    bool GetEOF() override;
    void CreateFields() override;
    void ClearBuffers() override;
    void ClearCalcFields(TRecordBuffer Buffer) override;
    void RefreshInternalCalcFields(TRecordBuffer Buffer) override;
    void DoBeforeEdit() override;
    void DoBeforeInsert() override;
    void DoAfterInsert() override;
    void DoAfterCancel() override;
    void DoAfterScroll() override;
    TDaroruConnection* ServerConnection() const override;
    // Whether reading filters records, and the verdict on the record being read, in
    // the filter state; a descendant with filters of its own adds them here.
    virtual bool FiltersRecords() const { return OnFilterRecord && Filtered(); }
    virtual bool AcceptRecord();
    // The record image read into FScratch as the record in Buffer; whether the
    // filter keeps it (a failing filter keeps it).
    bool TakeRecord(TRecordBuffer Buffer);
    // The record fetch of the server road: one request that moves and reads.
    TGetResult ServerFetch(TRecordBuffer Buffer, TGetMode GetMode, bool& Accepted);

    void OpenTable();
    void SetToDaroruEnv();
    void UpdateFieldAndIndexDefs();
    void ReadXBEToNative(TRecordBuffer Buffer);
    void WriteNativeToXBE(TRecordBuffer Buffer);

private:
    friend class TDrBlobStream;

    // Invalidates the update cache when it goes out of scope, with CachedUpdates on.
    struct CacheInvalidation {
        TDaroruTable& Table;
        explicit CacheInvalidation(TDaroruTable& T) : Table(T) { }
        ~CacheInvalidation()
        {
            if (Table.FCachedUpdates)
                Table.Invalidate();
        }
    };
    // The cursor and the count take in the record the engine just appended.
    bool AfterAppend(bool Appended);
    // Moves the engine on past the records added to the store.
    void SkipAddedRecords();
    // The item of the cached position, read first when it was not read yet;
    // raises when the cursor is on no record.
    TCachedItem& CachedRecord();
    // Puts the engine on the record of the cached position; raises when there is
    // none or the engine cannot reach it.
    TCachedItem& EngineToCachedRecord();
    // The stored image takes the field as the engine's current record holds it.
    void TakeEngineField(TCachedItem& Item, const char* Field);
    // The cached cursor position.
    int CachedPosition() const { return static_cast<int>(static_cast<std::int32_t>(FCurrentRecNo)); }
    void SetCachedPosition(int Position) { FCurrentRecNo = static_cast<std::uint32_t>(Position); }

    // Record information at the end of each buffer.
    std::uint32_t RecNoOf(TRecordBuffer Buffer) const;
    void SetRecNoOf(TRecordBuffer Buffer, std::uint32_t RecNo) const;
    TDrBlobEntry* BlobEntries(TRecordBuffer Buffer) const;
    TFieldInfo& InfoOf(const TField* Field) const;
    // The buffer that fields read and write in the current state.
    TRecordBuffer CurrentBuffer() const;
    void ClearBlobEntries(TRecordBuffer Buffer);
    void SetRecordInfo(TRecordBuffer Buffer, std::uint32_t RecNo, TBookmarkFlag Flag);
    // Buffer to engine record image, without writing it.
    void NativeToImage(TRecordBuffer Buffer, String& Image);
    bool Select();
    void CheckOpen() const;
    void CheckWritable() const;
    void CheckEditing() const;
    // Raises EDaroruError with the engine's text when a write failed.
    void CheckWrite(bool Ok, const char* What) const;
    void WriteBlobs();
    [[noreturn]] void Raise(const String& Message) const;
    void CheckOrder() const;
    // The index definitions are read again and the record count goes stale.
    void RefreshIndexes();
    void CheckIndexExpression(const String& Expression);
    // Natural order after the engine closed index files.
    void AfterIndexesClosed();
    void AfterIndexCreated(const String& Name, int Order, const String& Condition);
    // The name of an order: its file for NTX tables, its tag otherwise.
    String OrderName(int Order);
    // The active buffer takes the engine's record (at its end when AtEnd) and the
    // buffers are read again around it; nothing in speed mode.
    void SyncToEngine(bool AtEnd);
    bool SeekWith(const std::function<bool()>& Search, bool BottomWhenMissing);
    bool IsLogical(const String& Expression);
    // The engine condition for Field = Value; false for a type with none.
    bool FieldCondition(TField* Field, const Variant& Value, bool Partial, bool CaseInsensitive,
                        String& Condition);
    // Whether the active order searches FieldName as the search's case rule needs.
    bool OrderServes(const String& FieldName, bool CaseInsensitive);
    bool IndexSearch(TField* Field, const Variant& Value, bool Partial);
    bool EncryptTable(bool Encrypt);
    void AfterBitmapChange();
    // The links of the table's enabled data sources read it afresh.
    void RefreshDataSources();
    // An ExtraIndexes line completed with the data directory and the type's extension.
    String ExtraIndexFile(const String& Line);
    // Applies the master's current key as the scope on opening.
    void ApplyMasterScope();

    SmallInt FWorkArea = 0;
    String FAlias;
    String FDataPath;
    TDaroruDatabase* FDatabase = nullptr;
    String FDatabaseName;
    String FTableName;
    WordBool FExclusive = WordFalse;
    WordBool FReadOnly = WordFalse;
    TDaroruTableType FTableType = ttSXFOX;
    TEOFAction FEOFAction = eaMoveLast;
    TSequencedCount FSequencedCount = scRaw;
    WordBool FSpeedMode = WordFalse;
    WordBool FTurboRead = WordFalse;
    WordBool FWriteBlobHdr = WordTrue;
    String FPassword;
    String FIndexName;
    String FIndexCondition;
    bool FSequenced = true;
    TIndexDefs FIndexDefs {this};
    TStringList FExtraIndexes;
    String FScopeBegin;
    String FScopeEnd;
    bool FScoped = false;
    std::unique_ptr<TMasterDataLink> FMasterLink;
    String FLastMasterKey;
    String FLastMasterIndex;
    bool FCachedUpdates = false;
    TDrUpdateCache FCache;
    String FLocateExpression;
    String FStringEx;
    std::vector<XBLONG> FLockList;
    SmallInt FLocateDirection = 0;
    XBSHORT FActiveOrder = 0;

    int FRecordSize = 0;
    int FFieldCount = 0;
    bool FEncrypted = false;
    int FCachedCount = -1;
    bool FCountNeedsRefresh = true;
    bool FLockListStale = true;
    bool FCursorOpen = false;
    bool FOpening = false;
    String FScratch;
    std::vector<std::unique_ptr<TFieldInfo>> FFieldInfos;
    // Blob index of each engine field (-1: none).
    std::vector<int> FBlobIndex;
    int FFieldAreaSize = 0;
    int FBlobCount = 0;
    int FRecInfoOffset = 0;
    TRecordBuffer FFilterBuffer = nullptr;

    int FEpoch = 1980;
    int FErrorLevel = 1;
    WordBool FCentury = WordTrue;
    int FErrorFunc = -1;

    std::uint32_t FCurrentRecNo = 0;
    std::uint32_t FSavedRecNo = 0;
    bool FAtFirst = false;
    bool FAtLast = false;
    bool FBlankAppended = false;
};

// The writes of a many-record operation on one table as one group: the engine
// keeps them as one change and syncs them once, at Done or when the group
// goes out of scope, instead of at each record; a power cut leaves the table
// as before the group or after it. (Commits inside wait for the group's end.)
class TDaroruWriteGroup {
public:
    explicit TDaroruWriteGroup(TDaroruTable* Table) : FTable(Table) { FTable->BeginWriteGroup(); }
    ~TDaroruWriteGroup();
    TDaroruWriteGroup(const TDaroruWriteGroup&) = delete;
    TDaroruWriteGroup& operator=(const TDaroruWriteGroup&) = delete;
    // Writes the group out; fails as a commit would.
    void Done();

private:
    TDaroruTable* FTable;
    bool FDone = false;
};

// A table with nothing of its own.
class TDaroruDataSet : public TDaroruTable {
public:
    using TDaroruTable::TDaroruTable;
    String ClassName() const override { return "TDaroruDataSet"; }
    bool InheritsFrom(const String& name) const override;
};

// The layer's own version text.
String GetDrDsVer();
// The alias a work area on the file Name gets: the file name without directory,
// upper-cased, cut before its first "." and to 8 characters, each character
// outside "A" to "Z" made "_"; while InUse says the alias is taken, its last
// characters give way to a count (CLIENT, CLIENT1, CLIENT12, CLIENT13).
String UniqueAliasName(const String& Name, const std::function<bool(const String& Alias)>& InUse);
// The upper-cased file name without directory, cut before its first "."; "" without ".".
String IndexFileBaseName(const String& FileName);
// The field names of an index key expression joined by ";": "UPPER(NAME1)+ID" gives "NAME1;ID".
String GetFieldsFromExpression(const String& Expression);
