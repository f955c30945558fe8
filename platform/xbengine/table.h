#pragma once
// One open table in a work area: its DBF (and memo file), the current
// record, natural-order navigation under the "deleted" setting, record
// writes and appends, and the area's locks.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/dbfheader.h"
#include "platform/xbengine/lockmanager.h"
#include "platform/xbengine/memofile.h"
#include "platform/xbengine/tablefile.h"

enum OpenMode { omShared = 0, omReadOnly = 1, omExclusive = 2 };

class Table {
public:
    // Opens an existing table; fails with an EEngineError.
    Table(const String& path, const String& alias, int mode, int tableType);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const String& Path() const { return FPath; }
    const String& Alias() const { return FAlias; }
    int Mode() const { return FMode; }
    int TableType() const { return FTableType; }
    const DbfHeader& Header() const { return FHeader; }
    int RecordLength() const { return FHeader.RecordLength; }

    // The field of that name (case-insensitive), or nullptr.
    const FieldDef* FindField(const String& name) const;
    // The field of that name; fails with XBE_E_FIELD.
    const FieldDef& Field(const String& name) const;

    // Navigation in natural order.
    void Go(Int64 recno);
    void GoTop();
    void GoBottom();
    void Skip(Int64 count);
    bool Bof() const { return FBof; }
    bool Eof() const { return FEof; }
    Integer RecNo() const { return FRecNo; }
    Integer RecCount();
    Integer Count();

    // The current record image (the blank image at end of file).
    const String& Record() const { return FRecord; }
    bool Deleted() const { return !FEof && !FRecord.empty() && FRecord[0] == '*'; }
    void PutRecord(const char* image);
    void AppendBlank();
    void SetDeleteMark(bool deleted);
    void Pack();
    void Zap();
    void Commit();
    // Something was written through this open.
    bool Written() const { return FDateStamped; }
    // The last-update date of the header on disk, as a Julian day (0 if none).
    Integer LastUpdate();

    // The field's bytes in the current record.
    String FieldBytes(const FieldDef& field) const;
    // Writes exactly width bytes into the field of the current record.
    void WriteField(const FieldDef& field, const String& bytes);

    // Memo fields: the block the current record refers to, its data ("" with
    // a recorded error for a bad reference) and a new value.
    std::uint32_t MemoBlock(const FieldDef& field) const;
    String MemoData(const FieldDef& field);
    void WriteMemo(const FieldDef& field, const String& data);

    // Record and file locks; exclusive and read-only areas need none.
    bool RLock(Integer rec);
    bool Locked(Integer rec) const;
    bool FLock();
    void Unlock(Integer rec);
    LockManager& Locks() { return FLocks; }
    bool NeedsLocks() const { return FMode == omShared; }

    // Per-area state the C interface keeps.
    bool Found = false;
    bool TurboRead = false;
    String Password;

private:
    // Holds the current record's lock for one write in shared mode, unless
    // the area holds it already; fails with XBE_E_LOCK after the time-out.
    class RecordWriteLock {
    public:
        explicit RecordWriteLock(Table& table);
        ~RecordWriteLock();
        RecordWriteLock(const RecordWriteLock&) = delete;
        RecordWriteLock& operator=(const RecordWriteLock&) = delete;

    private:
        Table& FTable;
        Integer FRecNo = 0;
    };

    sharelocks::LockKind OpenLockKind() const;
    void ReadHeaderCount();
    void ReadImage(Integer recno, String& image);
    void LoadCurrent(Integer recno);
    void ToEof(bool bof);
    bool Visible(Integer recno);
    void RequireWritable() const;
    void RequireExclusive(const String& what) const;
    void RequireRecord() const;
    // Writes the current image's bytes from `from` for `length`, under a
    // record lock in shared mode.
    void WriteCurrent(int from, int length);
    // The header's last-update date (once per open) and the record count.
    void WriteDateAndCount(std::uint32_t count, bool withCount = true);
    String BlankRecord() const;
    void InvalidateWindow() { FWindowCount = 0; }

    String FPath;
    String FAlias;
    int FMode;
    int FTableType;
    // The locks come after the files they lock: they are released first.
    TableFile FFile;
    MemoFile FMemo;
    sharelocks::OfdLock FOpenLock;
    sharelocks::OfdLock FMemoOpenLock;
    DbfHeader FHeader;
    LockManager FLocks;

    Integer FRecCount = 0;
    Integer FRecNo = 1;
    bool FBof = false;
    bool FEof = false;
    String FRecord;
    bool FDateStamped = false;

    // Read window of an exclusive open: records [FWindowFirst, +FWindowCount).
    std::vector<char> FWindow;
    Integer FWindowFirst = 0;
    Integer FWindowCount = 0;
};
