#include "platform/xbengine/table.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <strings.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/sharelocks.h"
#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/errorstate.h"
#include "platform/xbengine/fieldcodec.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/xbe50.h"

namespace {

constexpr char EndOfData = 0x1A;
constexpr std::size_t WindowBytes = 64 * 1024;
// Reads out of sequence fill blocks of this size, as many as the record
// cache's share of the memory budget holds.
constexpr std::size_t GroupBytes = 4096;
// The unit a power cut keeps whole or loses whole.
constexpr Int64 DiskPage = 4096;

std::uint32_t ReadLE32(const Byte* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

void Today(int& year, int& month, int& day) { DecodeDate(Date(), year, month, day); }

// A database container (.DBC) keeps its memos in a .DCT file.
String MemoExtension(const String& path, MemoKind kind)
{
    if (kind == MemoKind::Dbt)
        return ".DBT";
    String ext = path.size() >= 4 ? path.substr(path.size() - 4) : String();
    return ::strcasecmp(ext.c_str(), ".DBC") == 0 ? ".DCT" : ".FPT";
}

int LockTimeout() { return EngineSettings().LockTimeout; }

}  // namespace

Table::Table(const String& path, const String& alias, int mode, int tableType)
    : FPath(path), FAlias(alias), FMode(mode), FTableType(tableType), FJournal(path), FLocks(FFile)
{
    FFile.Open(path, mode != omReadOnly);
    FJournal.SetDurable(EngineSettings().DurableWrites);
    RecoverInterruptedChange();
    FFile.SetJournal(&FJournal);
    if (!FOpenLock.TryAcquire(FFile.Handle(), sharelocks::OpenModeOffset, OpenLockKind()))
        throw EEngineError(XBE_E_IN_USE, "The table is in use: " + path);
    FJournal.SetSoleWriter(mode == omExclusive);

    std::vector<Byte> bytes(32);
    bytes.resize(FFile.ReadSome(0, bytes.data(), bytes.size()));
    int declared = DbfHeader::DeclaredLength(bytes.data(), bytes.size());
    bytes.resize(std::size_t(declared));
    bytes.resize(FFile.ReadSome(0, bytes.data(), bytes.size()));
    FHeader = DbfHeader::Parse(bytes);
    // The size after the count: another open's append writes its record
    // before the count that takes it in.
    Int64 size = FFile.Size();

    Integer complete = Integer((size - FHeader.HeaderLength) / FHeader.RecordLength);
    bool unmarked = size == FHeader.HeaderLength + Int64(complete) * FHeader.RecordLength;
    if (FHeader.RecCount > std::uint32_t(complete)) {
        Errors().Warn(XBE_E_CORRUPT_DATA, "The record count " + std::to_string(FHeader.RecCount) +
                                                  " is larger than the file holds (" +
                                                  std::to_string(complete) + "): " + path);
        FHeader.RecCount = complete;
        FRecordsLost = true;
    }
    FRecCount = Integer(FHeader.RecCount);

    MemoKind memo = FHeader.MemoFormat(tableType);
    if (memo != MemoKind::None) {
        String memoPath = tablepaths::Sibling(path, MemoExtension(path, memo));
        FMemo.Open(memoPath, memo, mode != omReadOnly, FHeader.Version == 0x8B);
        FMemo.File().SetJournal(&FJournal);
        if (!FMemoOpenLock.TryAcquire(FMemo.File().Handle(), sharelocks::OpenModeOffset, OpenLockKind()))
            throw EEngineError(XBE_E_IN_USE, "The memo file is in use: " + memoPath);
    }
    FGroups.SetLimit(EngineSettings().RecordCacheBytes() / GroupBytes);
    FOrders = std::make_unique<TableOrders>(*this, FContext);
    FOrders->OpenStructural();
    // Whether records past the count are damage depends on the index files.
    Int64 end = FHeader.HeaderLength + Int64(FHeader.RecCount) * FHeader.RecordLength;
    if (FHeader.RecCount < std::uint32_t(complete) || unmarked ||
        (!FRecordsLost && (size != end + 1 || !MarkedAt(end))))
        CheckRecordCount();
    GoTop();
}

Table::~Table()
{
    try {
        WriteWaitingAppend();
        WriteEndMark();
    } catch (const Exception& error) {
        Errors().Record(XBE_E_IO, "The appended record was not written: " + error.Message());
    }
    // Keys still waiting go in before the journal is looked at.
    EndOpenAppend(true);
    if (FGroup) {
        try {
            EndGroup();
        } catch (const Exception& error) {
            Errors().Record(XBE_E_IO, "A group of writes was not written whole: " + error.Message());
        }
    }
    FOrders.reset();
    bool alone = FMode == omExclusive;
    if (FMode == omShared) {
        try {
            alone = FOpenLock.TryAcquire(FFile.Handle(), sharelocks::OpenModeOffset,
                                         sharelocks::LockKind::Exclusive);
        } catch (const Exception&) {
            alone = false;
        }
    }
    if (alone)
        FJournal.RemoveIfEmpty();
}

Table::RecordCounts Table::ReadCounts()
{
    Byte count[4];
    FFile.ReadAt(4, count, sizeof count);
    Int64 records = FFile.Size() - FHeader.HeaderLength;
    return {ReadLE32(count), records / FHeader.RecordLength, records % FHeader.RecordLength == 0};
}

Integer Table::RecordsBeforeAppend(const RecordCounts& counts) const
{
    if (counts.Complete <= Int64(counts.Stored))
        return counts.Readable();
    if (counts.Complete == Int64(counts.Stored) + 1 && !NeedsJournal() && UnwrittenPastCount(counts.Stored))
        return counts.Readable();
    if (counts.Complete == Int64(counts.Stored) + 1 && !NeedsJournal() &&
        (counts.Unmarked || BlankPastCount(counts.Stored)))
        return Integer(counts.Complete);
    throw EEngineError(XBE_E_CORRUPT_DATA,
                       "The table is damaged: " + FPath + " holds " + std::to_string(counts.Complete) +
                               " whole records, but its header counts " + std::to_string(counts.Stored));
}

bool Table::BlankPastCount(std::uint32_t count) const
{
    String image(std::size_t(FHeader.RecordLength), '\0');
    FFile.ReadAt(FHeader.HeaderLength + Int64(count) * FHeader.RecordLength, image.data(), image.size());
    return image == BlankRecord();
}

bool Table::MarkedAt(Int64 end) const
{
    char last = 0;
    return FFile.ReadSome(end, &last, 1) == 1 && last == EndOfData;
}

bool Table::UnwrittenPastCount(std::uint32_t count) const
{
    String image(std::size_t(FHeader.RecordLength), '\0');
    FFile.ReadAt(FHeader.HeaderLength + Int64(count) * FHeader.RecordLength, image.data(), image.size());
    return (image[0] == '\0' || image[0] == EndOfData) && image.find_first_not_of('\0', 1) == String::npos;
}

void Table::CheckRecordCount()
{
    // A change a stopped process left is rolled back by the next change,
    // and the append after it checks the count again.
    if (FJournal.Pending())
        return;
    // Another open may be between an appended record and its count: one
    // amid a change holds the journal lock, one under its file lock the
    // header's; then the open after them checks.
    sharelocks::OfdLock settled, header;
    if (FMode == omShared) {
        settled.Acquire(FFile.Handle(), sharelocks::JournalOffset, sharelocks::LockKind::Exclusive);
        if (!header.TryAcquire(FFile.Handle(), sharelocks::HeaderOffset, sharelocks::LockKind::Exclusive))
            return;
    }
    try {
        RecordCounts counts = ReadCounts();
        Integer records = RecordsBeforeAppend(counts);
        // The end-of-file mark after the counted records, and nothing past
        // it: what a power cut left of an append's record goes.
        Int64 end = FHeader.HeaderLength + Int64(records) * FHeader.RecordLength;
        if (FMode != omReadOnly && !MarkedAt(end))
            FFile.WriteAt(end, &EndOfData, 1);
        if (FMode != omReadOnly && FFile.Size() > end + 1)
            FFile.Truncate(end + 1);
        if (FMode != omReadOnly && std::uint32_t(records) > FHeader.RecCount) {
            WriteDateAndCount(std::uint32_t(records));
            FHeader.RecCount = std::uint32_t(records);
            FRecCount = records;
        }
    } catch (const EEngineError& damage) {
        // A read-only open writes nothing: it shows the counted records.
        if (FMode != omReadOnly)
            throw;
        Errors().Warn(damage.Code(), damage.Message());
    }
}

void Table::RecoverInterruptedChange()
{
    if (!FJournal.Pending())
        return;
    // Another open may be in the middle of a change; then the next change
    // made under the journal lock rolls it back.
    sharelocks::FileClaim claim;
    if (!claim.Claim(FPath))
        return;
    try {
        FJournal.RollBack();
    } catch (const Exception& error) {
        Errors().Warn(XBE_E_CORRUPT_DATA, error.Message());
    }
}

Table::Change::Change(Table& table, bool journalled)
    : FTable(table), FJournalled(journalled || table.FJournal.Active())
{
    if (!table.WritesAlone() && !table.FJournal.Active())
        FLock.Acquire(table.FFile.Handle(), sharelocks::JournalOffset, sharelocks::LockKind::Exclusive);
    // Writes that go straight through must not meet an interrupted change
    // either: rolling it back later would put old bytes over them.
    if (FJournalled ? table.FJournal.Begin() : table.FJournal.Settle())
        table.ReloadAfterRollBack();
}

Table::Change::~Change()
{
    if (!FDone && FJournalled)
        FTable.FJournal.End();
}

void Table::Change::Done()
{
    FDone = true;
    if (FJournalled)
        FTable.FJournal.Finish();
}

void Table::ReloadAfterRollBack()
{
    InvalidateWindow();
    ReadHeaderCount(true);
    FOrders->ForgetCaches();
    if (FEof || FRecNo > FRecCount)
        ToEof(FBof);
    else
        ReadImage(FRecNo, FRecord);
}

Table::RecordWriteLock::RecordWriteLock(Table& table) : FTable(table)
{
    if (!table.NeedsLocks() || table.FLocks.HoldsRecord(table.FRecNo))
        return;
    if (!table.FLocks.LockRecord(table.FRecNo, LockTimeout()))
        throw EEngineError(XBE_E_LOCK, "Record " + std::to_string(table.FRecNo) +
                                               " is locked by another user: " + table.FPath);
    FRecNo = table.FRecNo;
}

Table::RecordWriteLock::~RecordWriteLock()
{
    if (FRecNo > 0)
        FTable.FLocks.UnlockRecord(FRecNo);
}

sharelocks::LockKind Table::OpenLockKind() const
{
    return FMode == omExclusive ? sharelocks::LockKind::Exclusive : sharelocks::LockKind::Shared;
}

const FieldDef* Table::FindField(const String& name) const
{
    String wanted = name;
    while (!wanted.empty() && wanted.back() == ' ')
        wanted.pop_back();
    for (const FieldDef& field : FHeader.Fields)
        if (::strcasecmp(field.Name.c_str(), wanted.c_str()) == 0)
            return &field;
    return nullptr;
}

const FieldDef& Table::Field(const String& name) const
{
    const FieldDef* field = FindField(name);
    if (!field)
        throw EEngineError(XBE_E_FIELD, "Field not found: " + name);
    return *field;
}

// --- reading -----------------------------------------------------------

void Table::ReadHeaderCount(bool always)
{
    if (FMode == omExclusive && !always)
        return;
    // Another open may have changed the table: what was read of it is kept
    // only while the index's change counter says nothing moved.
    if (!always && FOrders->SharedViewHeld(FViewStamp))
        return;
    InvalidateWindow();
    FRecCount = ReadCounts().Readable();
}

void Table::ReadImage(Integer recno, String& image, bool fresh)
{
    std::size_t length = FHeader.RecordLength;
    image.resize(length);
    Int64 at = FHeader.HeaderLength + Int64(recno - 1) * length;
    // The mapping shows the file as it is now, as a read from it would.
    if (FFile.ReadMapped(at, image.data(), length))
        return;
    if (FMode != omExclusive && (fresh || FViewStamp == 0)) {
        FFile.ReadAt(at, image.data(), length);
        return;
    }
    const ReadBlock* block = &FWindow;
    if (!FWindow.Holds(recno)) {
        // A read just past the window continues a scan and reads ahead.
        if (recno == FWindow.First + FWindow.Count || recno == 1) {
            Integer fit = Integer(std::max<std::size_t>(1, WindowBytes / length));
            Fill(FWindow, recno, fit);
        } else {
            Integer fit = GroupRecords();
            ReadBlock& group = FGroups.Put((recno - 1) / fit);
            if (!group.Holds(recno))
                Fill(group, (recno - 1) / fit * fit + 1, fit);
            block = &group;
        }
    }
    std::memcpy(image.data(), block->Bytes.data() + std::size_t(recno - block->First) * length, length);
}

Integer Table::GroupRecords() const
{
    return Integer(std::max<std::size_t>(1, GroupBytes / std::size_t(FHeader.RecordLength)));
}

void Table::Fill(ReadBlock& block, Integer first, Integer count)
{
    std::size_t length = FHeader.RecordLength;
    count = std::min(count, FRecCount - first + 1);
    block.Count = 0;
    block.Bytes.resize(std::size_t(count) * length);
    FFile.ReadAt(FHeader.HeaderLength + Int64(first - 1) * length, block.Bytes.data(), block.Bytes.size());
    block.First = first;
    block.Count = count;
}

void Table::InvalidateWindow()
{
    FWindow.Count = 0;
    FGroups.Clear();
}

String Table::BlankRecord() const
{
    String image(FHeader.RecordLength, ' ');
    for (const FieldDef& field : FHeader.Fields)
        if (field.Binary)
            std::fill_n(image.begin() + field.Offset, field.Width, '\0');
    return image;
}

void Table::LoadCurrent(Integer recno)
{
    ReadImage(recno, FRecord);
    FRecNo = recno;
    FBof = false;
    FEof = false;
}

void Table::ToEof(bool bof)
{
    FRecNo = FRecCount + 1;
    FRecord = BlankRecord();
    FEof = true;
    FBof = bof;
}

bool Table::Visible(Integer recno)
{
    bool hideDeleted = EngineSettings().Deleted;
    if (!hideDeleted && !FFilter.Active())
        return true;
    ReadImage(recno, FProbe);
    if (hideDeleted && FProbe[0] == '*')
        return false;
    return FFilter.Passes(recno, FProbe);
}

// --- navigation --------------------------------------------------------

void Table::Go(Int64 recno)
{
    ReadHeaderCount();
    if (recno >= 1 && recno <= FRecCount)
        LoadCurrent(Integer(recno));
    else
        ToEof(false);
}

void Table::Restore(Integer recno, bool bof, bool eof)
{
    ReadHeaderCount();
    if (eof || recno < 1 || recno > FRecCount) {
        ToEof(bof);
        return;
    }
    LoadCurrent(recno);
    FBof = bof;
}

void Table::GoTop() { Edge(false); }

void Table::GoBottom() { Edge(true); }

void Table::Edge(bool bottom)
{
    ReadHeaderCount();
    if (OrderUsed())
        InOrder([&] { OrderEdge(bottom); });
    else
        NaturalEdge(bottom);
}

void Table::NaturalEdge(bool bottom)
{
    for (Integer i = 0; i < FRecCount; ++i) {
        Integer n = bottom ? FRecCount - i : i + 1;
        if (Visible(n)) {
            LoadCurrent(n);
            return;
        }
    }
    ToEof(true);
}

void Table::Skip(Int64 count)
{
    // An ordered skip reads the count under the index lock.
    if (count == 0 || !OrderUsed())
        ReadHeaderCount();
    if (count == 0) {
        if (FEof)
            FRecNo = FRecCount + 1;
        else
            LoadCurrent(FRecNo);
        return;
    }
    if (count > 0 && FEof)
        return;
    if (OrderUsed())
        InOrder([&] { OrderSkip(count); });
    else
        NaturalSkip(count);
}

void Table::BeforeFirst()
{
    GoTop();
    if (!FEof)
        FBof = true;
}

void Table::NaturalSkip(Int64 count)
{
    Integer n = FEof ? FRecCount + 1 : FRecNo;
    Int64 steps = count > 0 ? count : -count;
    for (Int64 step = 0; step < steps; ++step) {
        do
            n += count > 0 ? 1 : -1;
        while (n >= 1 && n <= FRecCount && !Visible(n));
        if (n > FRecCount) {
            ToEof(false);
            return;
        }
        if (n < 1) {
            BeforeFirst();
            return;
        }
    }
    LoadCurrent(n);
}

Integer Table::RecCount()
{
    if (FAppendWaits)
        return FRecCount;
    ReadHeaderCount();
    return FRecCount;
}

Integer Table::Count()
{
    ReadHeaderCount();
    TableOrders::Order* order = FOrders->Active();
    Integer visible = 0;
    if (order && (order->For || order->Tag->Unique() || !order->Low.empty() || !order->High.empty())) {
        // Only the records with a key in the scope count.
        TableOrders::Access access(*FOrders, false);
        CdxCursor& cursor = FOrders->Cursor();
        bool more = order->Tag->Descending() || order->Low.empty()
                            ? cursor.First()
                            : (cursor.Seek(order->Low), cursor.Valid());
        for (more = more && OrderWalk(true); more; more = cursor.Next() && OrderWalk(true))
            ++visible;
        return visible;
    }
    for (Integer n = 1; n <= FRecCount; ++n)
        if (Visible(n))
            ++visible;
    return visible;
}

// --- writing -----------------------------------------------------------

void Table::RequireWritable() const
{
    if (FMode == omReadOnly)
        throw EEngineError(XBE_E_READ_ONLY, "The table is open read-only: " + FPath);
}

void Table::RequireExclusive(const String& what) const
{
    if (FMode != omExclusive)
        throw EEngineError(XBE_E_EXCLUSIVE, what + " needs the table opened exclusively: " + FPath);
}

void Table::RequireRecord() const
{
    if (FEof || FRecNo < 1 || FRecNo > FRecCount)
        throw EEngineError(XBE_E_EOF, "No current record (end of file): " + FPath);
}

void Table::WriteCurrent(int from, int length)
{
    RequireWritable();
    RequireRecord();
    RecordWriteLock lock(*this);
    Int64 at = FHeader.HeaderLength + Int64(FRecNo - 1) * FHeader.RecordLength;
    FFile.WriteAt(at + from, FRecord.data() + from, length);
    if (!FDateStamped)
        WriteDateAndCount(0, false);
    if (FMode != omExclusive)
        FOrders->RecordWritten();
    for (ReadBlock* block : {&FWindow, FGroups.Find((FRecNo - 1) / GroupRecords())})
        if (block && block->Holds(FRecNo))
            std::memcpy(block->Bytes.data() + std::size_t(FRecNo - block->First) * FHeader.RecordLength +
                                from,
                        FRecord.data() + from, length);
}

void Table::EndOpenAppend(bool quiet)
{
    if (FOpenAppend == 0)
        return;
    FOpenAppend = 0;
    try {
        FOrders->FlushPending();
    } catch (...) {
        FJournal.End();
        if (!quiet)
            throw;
        return;
    }
    if (quiet)
        FJournal.End();
    else
        FJournal.Finish();
}

void Table::Rewrite(const String& image, int from, int length)
{
    RequireWritable();
    RequireRecord();
    if (FAppendWaits) {
        // The waiting append goes out with the record as now written.
        FRecord.replace(from, length, image, from, length);
        WriteWaitingAppend();
        return;
    }
    if (FRecNo != FOpenAppend)
        EndOpenAppend();
    // The record stays locked until its keys have moved too.
    RecordWriteLock lock(*this);
    Int64 at = FHeader.HeaderLength + Int64(FRecNo - 1) * FHeader.RecordLength + from;
    Change change(*this, JournalledWrite(at, length));
    // The record and its keys change together under the index lock, so a
    // reader in another process never meets a record whose keys lag behind.
    // (An access would first give a record appended here, whose keys
    // wait for this write, the keys of its blank image.)
    std::optional<TableOrders::Access> keys;
    if (FOrders->Count() > 0 && FRecNo != FOpenAppend)
        keys.emplace(*FOrders, true);
    // The change goes onto the record as the file holds it now, and the keys
    // removed are the ones that record has: another open may have written it
    // since this one read it (not under this open's file lock).
    if (!WritesAlone())
        RefreshCurrent();
    String old = FRecord;
    FRecord.replace(from, length, image, from, length);
    try {
        WriteCurrent(from, length);
    } catch (...) {
        FRecord = old;
        throw;
    }
    if (FOrders->Count() > 0)
        FOrders->Update(FOrders->Keys(old, FRecNo), FOrders->Keys(FRecord, FRecNo), FRecNo);
    // The keys' access ends inside the change: its last index writes are part of it.
    keys.reset();
    change.Done();
    SyncUnjournalled();
    EndOpenAppend();
}

bool Table::JournalledWrite(Int64 at, Int64 length) const
{
    return NeedsJournal() || (FJournal.Durable() && at / DiskPage != (at + length - 1) / DiskPage);
}

void Table::SyncUnjournalled()
{
    if (FJournal.Durable() && !FJournal.Active())
        FFile.Sync();
}

void Table::RefreshCurrent()
{
    if (NeedsLocks() && !FEof && FRecNo >= 1 && FRecNo <= FRecCount)
        ReadImage(FRecNo, FRecord, true);
}

void Table::PutRecord(const char* image)
{
    RequireRecord();
    String record(image, FHeader.RecordLength);
    record[0] = record[0] == '*' ? '*' : ' ';
    Rewrite(record, 0, FHeader.RecordLength);
}

void Table::WriteDateAndCount(std::uint32_t count, bool withCount)
{
    int year, month, day;
    Today(year, month, day);
    Byte bytes[7];
    DbfHeader::EncodeDateAndCount(bytes, year, month, day, count);
    FFile.WriteAt(1, bytes, withCount ? 7 : 3);
    FDateStamped = true;
}

void Table::AppendBlank()
{
    RequireWritable();
    // The tags still hold keys for the records lost from the end of the
    // file, and an appended record would take one of their numbers.
    if (FRecordsLost && FOrders->Count() > 0)
        throw EEngineError(XBE_E_CORRUPT_INDEX,
                           "The index of " + FPath +
                                   " holds keys for records lost from the end of the table; "
                                   "reindex the table to rebuild it");
    EndOpenAppend();
    WriteWaitingAppend();
    if (NeedsLocks() && !FLocks.LockHeader(LockTimeout()))
        throw EEngineError(XBE_E_LOCK, "The table header is locked by another user: " + FPath);
    // Under the header lock no other open appends, so the record's number
    // stands until it is written. A change a stopped process left may
    // still take a record away: then the append is written at once. A
    // shared append without a journal is written at once too (two small
    // writes), so that a process stopped after the call keeps its record,
    // unless no other open writes the table: then a process stopped before
    // the record's first write loses only a blank record.
    bool waits =
            FMode == omExclusive ? !NeedsJournal() : (NeedsJournal() || WritesAlone()) && !FJournal.Pending();
    if (waits) {
        Integer records = 0;
        try {
            records = RecordsToAppendAfter();
        } catch (...) {
            FLocks.UnlockHeader();
            throw;
        }
        FRecCount = records + 1;
        FRecNo = FRecCount;
        FRecord = BlankRecord();
        FBof = false;
        FEof = false;
        FAppendWaits = true;
        return;
    }
    WriteAppend(BlankRecord());
}

void Table::WriteWaitingAppend()
{
    if (!FAppendWaits)
        return;
    FAppendWaits = false;
    --FRecCount;
    // A change rolled back first reads the current record again.
    String image = FRecord;
    try {
        WriteAppend(image);
    } catch (...) {
        ToEof(false);
        throw;
    }
}

void Table::WriteAppend(const String& image)
{
    // The header lock goes once the record and its count are written: an
    // append waiting in another open counts the records under it.
    struct HeaderRelease {
        Table& Owner;
        ~HeaderRelease()
        {
            if (Owner.NeedsLocks())
                Owner.FLocks.UnlockHeader();
        }
    } release {*this};
    Change change(*this, NeedsJournal());
    FRecCount = RecordsToAppendAfter();
    if (FRecCount >= 0x7FFFFFFE)
        throw EEngineError(XBE_E_LIMIT, "The table is full: " + FPath);
    // An exclusive open without a journal leaves the end-of-file mark to the
    // close (see FEndMarkOwed): one write less per append.
    bool markLater = FMode == omExclusive && !NeedsJournal();
    String written = markLater ? image : image + EndOfData;
    Int64 at = FHeader.HeaderLength + Int64(FRecCount) * FHeader.RecordLength;
    // Its own change, inside the one begun above (whose lock it shares).
    std::optional<Change> whole;
    if (!FJournal.Active() && JournalledWrite(at, Int64(written.size())))
        whole.emplace(*this, true);
    FFile.WriteAt(at, written.data(), written.size());
    SyncUnjournalled();
    FEndMarkOwed = FEndMarkOwed || markLater;
    // The count follows the record, so a failed write leaves no phantom record.
    WriteDateAndCount(std::uint32_t(FRecCount + 1));
    SyncUnjournalled();
    FOrders->Appended(image, FRecCount + 1);
    if (FMode == omExclusive && NeedsJournal()) {
        // The record's first write joins this change. Without keys to wait
        // for it, the record and count go out now all the same, so that a
        // disk that cannot take the record fails the append itself.
        FJournal.Begin();
        if (FOrders->Count() == 0) {
            try {
                FJournal.Flush();
            } catch (...) {
                FJournal.End();
                throw;
            }
        }
        FOpenAppend = FRecCount + 1;
    }
    // Until it is written, the record is not counted here either.
    if (whole)
        whole->Done();
    change.Done();
    ++FRecCount;
    FRecNo = FRecCount;
    FRecord = image;
    FBof = false;
    FEof = false;
}

Integer Table::RecordsToAppendAfter()
{
    if (NeedsLocks() && !FAppendCountKnown) {
        // The new record goes after the counted ones: any past them would be written over.
        FRecCount = RecordsBeforeAppend(ReadCounts());
        FAppendCountKnown = FLocks.HoldsFile();
    }
    return FRecCount;
}

void Table::WriteEndMark()
{
    if (!FEndMarkOwed)
        return;
    FFile.WriteAt(FHeader.HeaderLength + Int64(FRecCount) * FHeader.RecordLength, &EndOfData, 1);
    FEndMarkOwed = false;
}

void Table::SetDeleteMark(bool deleted)
{
    RequireRecord();
    String record = FRecord;
    record[0] = deleted ? '*' : ' ';
    Rewrite(record, 0, 1);
}

void Table::Pack()
{
    RequireWritable();
    RequireExclusive("Pack");
    EndOpenAppend();
    // One change: a pack stopped halfway would leave records twice.
    Change change(*this);
    // One pass moves the kept records down and gathers their keys; the tags
    // are then built from them. The moved records go out in runs, each
    // below the record read next. Before the first, the journal takes every
    // byte from there to the end, written a run at a time and synced once:
    // the runs then go straight to the file instead of waiting in memory for
    // the change's end.
    constexpr std::size_t RunBytes = std::size_t(1) << 20;
    Integer kept = 0;
    String image, run;
    Int64 runStart = 0;
    bool moving = false;
    auto writeRun = [&] {
        if (!moving) {
            // The header's date and count, written at the end, too.
            FJournal.Protect(FFile, 1, 7);
            for (Int64 from = runStart, size = FFile.Size(); from < size; from += Int64(RunBytes)) {
                FJournal.Protect(FFile, from, std::min(Int64(RunBytes), size - from));
                FJournal.WriteAhead();
            }
            FJournal.Flush();
            moving = true;
        }
        FFile.WriteAt(runStart, run.data(), run.size());
        run.clear();
    };
    TableOrders::KeyLists keys;
    std::vector<std::uint32_t> renumbered(std::size_t(FRecCount) + 1, 0);
    for (Integer n = 1; n <= FRecCount; ++n) {
        ReadImage(n, image);
        if (image[0] == '*')
            continue;
        ++kept;
        renumbered[std::size_t(n)] = std::uint32_t(kept);
        if (kept != n) {
            if (run.empty())
                runStart = FHeader.HeaderLength + Int64(kept - 1) * FHeader.RecordLength;
            run += image;
            if (run.size() >= RunBytes)
                writeRun();
        }
        FOrders->AddKeys(keys, image, kept);
    }
    if (!run.empty())
        writeRun();
    InvalidateWindow();
    WriteDateAndCount(std::uint32_t(kept));
    Int64 end = FHeader.HeaderLength + Int64(kept) * FHeader.RecordLength;
    FFile.WriteAt(end, &EndOfData, 1);
    FFile.Truncate(end + 1);
    // The moved records go to the disk while the tags are built.
    if (moving && FJournal.Durable())
        FFile.StartSync();
    FEndMarkOwed = false;
    FRecCount = kept;
    FOrders->Rebuild(std::move(keys), renumbered);
    change.Done();
    FRecordsLost = false;
    GoTop();
}

void Table::Reindex()
{
    RequireWritable();
    RequireExclusive("Reindex");
    EndOpenAppend();
    ReadHeaderCount();
    Change change(*this);
    FOrders->Rebuild();
    change.Done();
    FRecordsLost = false;
    GoTop();
}

void Table::MarkStructuralIndex()
{
    if (FHeader.Flags & DbfHeader::HasStructuralIndex)
        return;
    FHeader.Flags |= DbfHeader::HasStructuralIndex;
    FFile.WriteAt(28, &FHeader.Flags, 1);
}

void Table::Zap()
{
    RequireWritable();
    RequireExclusive("Zap");
    EndOpenAppend();
    InvalidateWindow();
    WriteDateAndCount(0);
    FFile.WriteAt(FHeader.HeaderLength, &EndOfData, 1);
    FFile.Truncate(FHeader.HeaderLength + 1);
    FEndMarkOwed = false;
    if (FMemo.IsOpen()) {
        String memoPath = FMemo.File().Path();
        MemoKind kind = FHeader.MemoFormat(FTableType);
        int blockSize = FMemo.BlockSize();
        FMemoOpenLock.Release();
        FMemo.Close();
        FMemo.Create(memoPath, kind, blockSize);
        FMemo.File().SetJournal(&FJournal);
        FMemoOpenLock.TryAcquire(FMemo.File().Handle(), sharelocks::OpenModeOffset, OpenLockKind());
    }
    FRecCount = 0;
    FOrders->Clear();
    FRecordsLost = false;
    ToEof(true);
}

void Table::Commit()
{
    EndOpenAppend();
    if (FGroup)
        return;
    WriteEndMark();
    FFile.Sync();
    if (FMemo.IsOpen())
        FMemo.File().Sync();
    FOrders->Commit();
    // The journal's empty mark too: one left behind would roll the committed
    // change back at the next open.
    FJournal.Sync();
}

void Table::BeginGroup()
{
    RequireWritable();
    if (FGroup)
        return;
    EndOpenAppend();
    WriteWaitingAppend();
    FGroup = std::make_unique<Change>(*this);
}

void Table::EndGroup()
{
    if (!FGroup)
        return;
    EndOpenAppend();
    WriteWaitingAppend();
    FOrders->FlushPending();
    std::unique_ptr<Change> group = std::move(FGroup);
    // The group's writes go out under the index lock, as one change's do.
    if (FOrders->Count() > 0)
        TableOrders::Access written(*FOrders, true);
    group->Done();
}

Integer Table::LastUpdate()
{
    Byte date[3];
    FFile.ReadAt(1, date, sizeof date);
    int year, month, day;
    Today(year, month, day);
    int stored = date[0] >= 100 ? 1900 + date[0] : 2000 + date[0];
    if (stored > year)
        stored -= 100;
    if (!fieldcodec::ValidDate(stored, date[1], date[2]))
        return 0;
    return fieldcodec::JulianDay(stored, date[1], date[2]);
}

// --- fields ------------------------------------------------------------

String Table::FieldBytes(const FieldDef& field) const { return FRecord.substr(field.Offset, field.Width); }

void Table::WriteField(const FieldDef& field, const String& bytes)
{
    RequireRecord();
    String record = FRecord;
    record.replace(field.Offset, field.Width, bytes);
    Rewrite(record, field.Offset, field.Width);
}

std::uint32_t Table::MemoBlockOf(const String& image, const FieldDef& field) const
{
    const char* p = image.data() + field.Offset;
    if (field.Binary)
        return ReadLE32(reinterpret_cast<const Byte*>(p));
    std::uint32_t block = 0;
    for (int i = 0; i < field.Width; ++i) {
        char c = p[i];
        if (c >= '0' && c <= '9')
            block = block * 10 + std::uint32_t(c - '0');
        else if (c != ' ')
            throw EEngineError(XBE_E_CORRUPT_DATA, "Bad memo reference in field " + field.Name + ", record " +
                                                           std::to_string(FRecNo) + ": " + FPath);
    }
    return block;
}

String Table::MemoDataOf(const String& image, const FieldDef& field)
{
    if (&image == &FRecord && FEof)
        return String();
    try {
        std::uint32_t block = MemoBlockOf(image, field);
        if (block == 0)
            return String();
        if (!FMemo.IsOpen())
            throw EEngineError(XBE_E_CORRUPT_DATA, "The table has no memo file: " + FPath);
        return FMemo.Read(block);
    } catch (const EEngineError& error) {
        if (error.Code() != XBE_E_CORRUPT_DATA)
            throw;
        Errors().Record(error.Code(), error.Message());
        return String();
    }
}

void Table::WriteMemo(const FieldDef& field, const String& data)
{
    RequireWritable();
    RequireRecord();
    if (!FMemo.IsOpen())
        throw EEngineError(XBE_E_FIELD, "The table has no memo file for field " + field.Name + ": " + FPath);
    WriteWaitingAppend();
    if (FRecNo != FOpenAppend)
        EndOpenAppend();
    // The record lock comes first: a record locked elsewhere gets no memo either.
    RecordWriteLock lock(*this);
    Change change(*this);
    RefreshCurrent();
    std::uint32_t old = 0;
    try {
        old = MemoBlock(field);
    } catch (const EEngineError&) {
        old = 0;  // an unreadable reference is replaced
    }
    std::uint32_t block = FMemo.Write(old, data, field.Type == 'M', NeedsLocks(), LockTimeout());
    String reference(field.Width, field.Binary ? '\0' : ' ');
    if (field.Binary) {
        for (int i = 0; i < 4; ++i)
            reference[i] = char(block >> (8 * i));
    } else if (block > 0) {
        String digits = std::to_string(block);
        reference.replace(field.Width - digits.size(), digits.size(), digits);
    }
    WriteField(field, reference);
    change.Done();
}

// --- locks -------------------------------------------------------------

bool Table::RLock(Integer rec)
{
    if (!NeedsLocks())
        return true;
    ReadHeaderCount();
    if (rec < 1 || rec > FRecCount)
        return false;
    if (!FLocks.LockRecord(rec, LockTimeout()))
        return false;
    if (rec == FRecNo)
        RefreshCurrent();
    return true;
}

bool Table::Locked(Integer rec) const { return !NeedsLocks() || FLocks.HoldsRecord(rec); }

bool Table::FLock()
{
    if (!NeedsLocks())
        return true;
    if (FLocks.HoldsFile())
        return true;
    if (!FLocks.LockFile(LockTimeout()))
        return false;
    try {
        // No other open writes the table now: a change a stopped process
        // left is looked for once, here, and the journal is known empty
        // until this open writes it.
        Change settle(*this, false);
        FJournal.SetSoleWriter(true);
        ReadHeaderCount();
        RefreshCurrent();
    } catch (...) {
        Unlock(0);
        throw;
    }
    return true;
}

void Table::Unlock(Integer rec)
{
    if (rec != 0) {
        FLocks.UnlockRecord(rec);
        return;
    }
    FLocks.UnlockAll();
    FJournal.SetSoleWriter(FMode == omExclusive);
    FAppendCountKnown = false;
}
