#pragma once
// TDaroruTable: the data set over one work area of the engine. Every engine
// operation selects the table's work area first and goes through the table's
// cs_ dispatch methods.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/object.h"
#include "platform/db/dataset.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/streams.h"
#include "tables/drcommon.h"
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
    char* Data;        // Length + 1 bytes, zero-terminated; owned by the entry
    char Reference[10];  // the memo block reference of the record image
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
    void MemDealloc(void* Pointer);
    int OpenMode();
    bool IsEncrypted(int Code);

protected:
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

    void OpenTable();
    void SetToDaroruEnv();
    void UpdateFieldAndIndexDefs();
    void ReadXBEToNative(TRecordBuffer Buffer);
    void WriteNativeToXBE(TRecordBuffer Buffer);

private:
    friend class TDrBlobStream;

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
    TIndexDefs FIndexDefs{this};

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

// A table with nothing of its own.
class TDaroruDataSet : public TDaroruTable {
public:
    using TDaroruTable::TDaroruTable;
    String ClassName() const override { return "TDaroruDataSet"; }
    bool InheritsFrom(const String& name) const override;
};

// The layer's own version text.
String GetDrDsVer();
// Text followed by Ch up to Width characters.
String PadRight(const String& Text, int Width, char Ch);
// The upper-cased file name without directory, cut before its first "."; "" without ".".
String IndexFileBaseName(const String& FileName);
