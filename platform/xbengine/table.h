#pragma once
// One open table in a work area: its DBF (and memo file), the current
// record, navigation over the records that the "deleted" setting, the query
// and the filter let through, in natural order or in the order of an index
// tag, record writes and appends that keep the tags' keys, and the area's locks.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/areacontext.h"
#include "platform/xbengine/cdx/cdxerror.h"
#include "platform/xbengine/cdx/lrucache.h"
#include "platform/xbengine/dbfheader.h"
#include "platform/xbengine/journal.h"
#include "platform/xbengine/lockmanager.h"
#include "platform/xbengine/memofile.h"
#include "platform/xbengine/recordfilter.h"
#include "platform/xbengine/tablefile.h"
#include "platform/xbengine/tableorders.h"

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

    // Navigation over the visible records in the active order.
    void Go(Int64 recno);
    void GoTop();
    void GoBottom();
    void Skip(Int64 count);
    // Back to a position taken from RecNo(), Bof() and Eof().
    void Restore(Integer recno, bool bof, bool eof);
    bool Bof() const { return FBof; }
    bool Eof() const { return FEof; }
    Integer RecNo() const { return FRecNo; }
    Integer RecCount();
    // The visible records.
    Integer Count();
    // The first visible record whose key in the active order matches the
    // text; fails with XBE_E_NO_ORDER without one. Sets Found.
    bool Seek(const String& text);
    // The 1-based rank of the current record's key among all keys of the
    // active order (0 at end of file), the number of keys, and a move to a rank.
    Integer OrderRank();
    Integer OrderKeyCount();
    void GoToRank(Integer rank);

    // The query, the filter and the index orders of this area.
    RecordFilter& Filter() { return FFilter; }
    TableOrders& Orders() { return *FOrders; }
    AreaContext& Context() { return FContext; }

    // The current record image (the blank image at end of file).
    const String& Record() const { return FRecord; }
    bool Deleted() const { return !FEof && !FRecord.empty() && FRecord[0] == '*'; }
    void PutRecord(const char* image);
    // In a shared open of an indexed table (under the header lock), and in
    // an exclusive open of a table without an index, the append waits for
    // the record's first write, and goes out with it as one change; the work
    // areas write it as it stands before any other call on the table and
    // when another area is selected.
    void AppendBlank();
    void WriteWaitingAppend();
    void SetDeleteMark(bool deleted);
    void Pack();
    void Zap();
    void Reindex();
    // Records that the table has a structural index.
    void MarkStructuralIndex();
    // Any record's image as stored.
    void ReadRecord(Integer recno, String& image) { ReadImage(recno, image); }
    // Writes what this open holds and syncs the table's files: on the disk
    // when it returns. Inside a group it waits for the group's end.
    void Commit();
    // A group of writes (a many-record operation) made as one change: the
    // journal keeps the old bytes of all of them and the group's end writes
    // and syncs them once, so a durable table pays its syncs once per group,
    // and a power cut leaves it as before the group or after it. In a
    // shared open the group holds the journal lock: other opens' writes wait.
    void BeginGroup();
    void EndGroup();
    bool InGroup() const { return FGroup != nullptr; }
    // Something was written through this open.
    bool Written() const { return FDateStamped || FOrders->Written(); }
    // The last-update date of the header on disk, as a Julian day (0 if none).
    Integer LastUpdate();

    // The field's bytes in the current record.
    String FieldBytes(const FieldDef& field) const;
    // Writes exactly width bytes into the field of the current record.
    void WriteField(const FieldDef& field, const String& bytes);

    // Memo fields: the block the current record refers to, its data ("" with
    // a recorded error for a bad reference) and a new value.
    std::uint32_t MemoBlock(const FieldDef& field) const { return MemoBlockOf(FRecord, field); }
    String MemoData(const FieldDef& field) { return MemoDataOf(FRecord, field); }
    String MemoDataOf(const String& image, const FieldDef& field);
    void WriteMemo(const FieldDef& field, const String& data);

    // Record and file locks; exclusive and read-only areas need none. A lock
    // on the current record reads it again from the file.
    bool RLock(Integer rec);
    bool Locked(Integer rec) const;
    bool FLock();
    void Unlock(Integer rec);
    LockManager& Locks() { return FLocks; }
    bool NeedsLocks() const { return FMode == omShared; }
    // No other open writes the table: it is open exclusively, or this area
    // holds its file lock. Writes then take no header, record or journal
    // locks and read back nothing.
    bool WritesAlone() const { return !NeedsLocks() || FLocks.HoldsFile(); }
    // The rollback journal of the table's changes.
    Journal& ChangeJournal() { return FJournal; }

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

    // One change of the table's files (an append, a record write, a memo
    // write) in the journal, under the journal lock in shared mode. A change
    // that finds what a stopped process left rolls it back first. One that
    // is not journalled writes straight through (see NeedsJournal); inside
    // a journalled change it joins that one.
    class Change {
    public:
        explicit Change(Table& table, bool journalled = true);
        ~Change();
        // Writes the change out; a change dropped without it (by an
        // exception) is written as far as it went, its failures recorded.
        void Done();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;

    private:
        Table& FTable;
        sharelocks::OfdLock FLock;
        bool FJournalled;
        bool FDone = false;
    };
    // Appends and record writes need the journal only to keep the index
    // files in step with the table. Without one open, a record write is one
    // write, and an append two: the record past the counted records (with
    // the end-of-file mark in a shared open; an exclusive one writes the
    // mark at the close or a commit), then the count that takes it in. A
    // process stopped between them leaves one record past the count, which
    // the next writable open or append counts.
    bool NeedsJournal() const { return FOrders->HasFiles(); }
    // A durable table without an index syncs each of these writes before
    // the next: a power cut keeps a write that lies within one 4 KiB page of
    // the disk whole or not at all, and so leaves the table as a stopped
    // process would. A write that crosses such a page goes through the
    // journal. True when the write at [at, at + length) is journalled.
    bool JournalledWrite(Int64 at, Int64 length) const;
    // Syncs the table's file after a write made without the journal, when durable.
    void SyncUnjournalled();

    sharelocks::LockKind OpenLockKind() const;
    // The record count in the header and the whole records in the file.
    struct RecordCounts {
        std::uint32_t Stored = 0;
        Int64 Complete = 0;
        // The file ends right after a whole record, without the end-of-file mark.
        bool Unmarked = false;
        // The records that can be read: those both count.
        Integer Readable() const { return Integer(std::max<Int64>(0, std::min<Int64>(Stored, Complete))); }
    };
    RecordCounts ReadCounts();
    // The records an append goes after: the counted ones, and the one a
    // stopped append without a journal left past them: a blank one (shared)
    // or, with no end-of-file mark after it, a written one (exclusive).
    // Fails for any other record past the count: the file is damaged, and
    // an append would go over that record.
    Integer RecordsBeforeAppend(const RecordCounts& counts) const;
    // The record just past count is a blank one.
    bool BlankPastCount(std::uint32_t count) const;
    // The record just past count holds nothing but zeros, after the old
    // end-of-file mark at most: a power cut kept the file's new length but
    // not the append's record written there. It is no record.
    bool UnwrittenPastCount(std::uint32_t count) const;
    // The end-of-file mark is at end.
    bool MarkedAt(Int64 end) const;
    // Checked once no other open is amid an append: a damaged table is not
    // opened for writing (a read-only open warns), and a record a stopped
    // append left is counted, for the readers that read up to the
    // end-of-file mark rather than the count; a missing mark is written.
    void CheckRecordCount();
    // Rolls back a change a stopped process left, when no other open holds
    // the table; one that cannot be rolled back is reported.
    void RecoverInterruptedChange();
    // Reads again what this open keeps of the files after a rollback.
    void ReloadAfterRollBack();
    std::uint32_t MemoBlockOf(const String& image, const FieldDef& field) const;
    // The record count from the header in shared mode (always, when asked).
    void ReadHeaderCount(bool always = false);
    // A fresh read goes to the file, past the record cache.
    void ReadImage(Integer recno, String& image, bool fresh = false);
    void LoadCurrent(Integer recno);
    void ToEof(bool bof);
    bool Visible(Integer recno);
    // The current record replaced by image, bytes [from, from + length)
    // written, and the keys of every order moved along.
    void Rewrite(const String& image, int from, int length);
    // The first (or last) visible record, or end of file with BOF.
    void Edge(bool bottom);
    void NaturalEdge(bool bottom);
    void NaturalSkip(Int64 count);
    // Ordered navigation: the cursor on the first visible entry from where
    // it stands, moving forward or back in the order's sequence.
    bool OrderWalk(bool forward);
    void OrderEdge(bool bottom);
    // The cursor on the first entry of the scope from one end, visible or not.
    void OrderStart(bool bottom);
    void OrderSkip(Int64 count);
    // One try of a skip, lockless if nothing changed (see TableOrders::Access).
    void OrderSkipWith(Int64 count, bool lockless);
    // The cursor on the entry next to the current record, visible or not.
    bool CursorBeside(bool forward);
    // One try of a seek, lockless as a skip's.
    bool SeekInOrder(TableOrders::Order& order, const String& text, bool lockless);
    // Runs attempt(true), a read of the index from the caches alone while no
    // index file changed, and on a page missing there attempt(false), which
    // reads it again under the lock.
    template<class Attempt> void LocklessFirst(Attempt&& attempt)
    {
        try {
            attempt(true);
        } catch (const ECdxCacheMiss&) {
            FOrders->ForgetCursor();
            attempt(false);
        }
    }
    bool OrderUsed() { return FOrders->Active() != nullptr; }
    // Runs a move in the active order; a damaged index ends it at end of file.
    template<class Move> void InOrder(Move&& move)
    {
        try {
            move();
        } catch (const ECdxCorrupt&) {
            ToEof(false);
            throw;
        }
    }
    // A move back past the first visible record: it becomes current, with BOF.
    void BeforeFirst();
    // In shared mode, the current record read again from the file (under
    // its lock, the image the next write starts from).
    void RefreshCurrent();
    void RequireWritable() const;
    void RequireExclusive(const String& what) const;
    void RequireRecord() const;
    // Appends image as one change; in shared mode the caller holds the
    // header lock, which this releases.
    void WriteAppend(const String& image);
    // Ends the change an exclusive append keeps open for its record's first
    // write (see FOpenAppend); a failure is thrown unless quiet.
    void EndOpenAppend(bool quiet = false);
    // Writes the current image's bytes from `from` for `length`, under a
    // record lock in shared mode.
    void WriteCurrent(int from, int length);
    // The records the next append goes after, read in shared mode under the
    // header lock, or once under the file lock (see FAppendCountKnown).
    Integer RecordsToAppendAfter();
    // The end-of-file mark after the counted records, when owed.
    void WriteEndMark();
    // The header's last-update date (once per open) and the record count.
    void WriteDateAndCount(std::uint32_t count, bool withCount = true);
    String BlankRecord() const;
    struct ReadBlock {
        Integer First = 0;
        Integer Count = 0;
        std::vector<char> Bytes;
        bool Holds(Integer recno) const { return recno >= First && recno < First + Count; }
    };
    // The records of one block of the cache for reads out of sequence.
    Integer GroupRecords() const;
    // Reads count records from first (fewer at the end) into block.
    void Fill(ReadBlock& block, Integer first, Integer count);
    void InvalidateWindow();

    String FPath;
    String FAlias;
    int FMode;
    int FTableType;
    // Outlives the files that write through it.
    Journal FJournal;
    // The locks come after the files they lock: they are released first.
    TableFile FFile;
    MemoFile FMemo;
    sharelocks::OfdLock FOpenLock;
    sharelocks::OfdLock FMemoOpenLock;
    DbfHeader FHeader;
    LockManager FLocks;
    AreaContext FContext {*this};
    RecordFilter FFilter {FContext};
    std::unique_ptr<TableOrders> FOrders;
    // The change of the group of writes under way, if any.
    std::unique_ptr<Change> FGroup;
    String FProbe;

    Integer FRecCount = 0;
    Integer FRecNo = 1;
    bool FBof = false;
    bool FEof = false;
    String FRecord;
    bool FDateStamped = false;
    // The header counted more records than the file holds when it opened.
    bool FRecordsLost = false;
    // The record an exclusive append added, whose change stays open until
    // the record's first write (so that a record appended and then filled is
    // one change), another write, append, commit or close; 0 when none.
    Integer FOpenAppend = 0;
    // An append that waits for its record's first write: the record
    // is counted and current here, and nothing of it is in the files yet.
    bool FAppendWaits = false;
    // The records of an exclusive open without a journal end without the
    // end-of-file mark since its last append; the close or a commit writes
    // it. Nobody else reads the file meanwhile, and a process stopped
    // between an append's record and its count leaves a record that a
    // damaged count cannot: one without the mark after it.
    bool FEndMarkOwed = false;
    // Under the file lock: FRecCount is what the next append goes after.
    bool FAppendCountKnown = false;

    // Record cache: a read-ahead window for scans, and blocks of
    // neighbouring records for reads in any other order. A shared open keeps
    // it while the structural index's change counter stays at FViewStamp (0:
    // no such index, no cache).
    ReadBlock FWindow;
    LruCache<Integer, ReadBlock> FGroups;
    std::uint64_t FViewStamp = 0;
};
