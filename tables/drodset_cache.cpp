// Cached updates: records read into an in-memory store, changes kept there and
// sent to the server connection as one batch.

#include <algorithm>
#include <cstring>

#include "tables/drodset.h"
#include "tables/droerror.h"

namespace {
// Upper-case hexadecimal digits, zero-filled to Width.
String Hex(std::uint64_t Value, int Width)
{
    String text(static_cast<size_t>(Width), '0');
    for (int i = Width - 1; i >= 0 && Value; --i, Value >>= 4)
        text[static_cast<size_t>(i)] = "0123456789ABCDEF"[Value & 15];
    return text;
}

void WriteText(TStream& Stream, const String& Text)
{
    Stream.Write(Text.data(), static_cast<Int64>(Text.size()));
}

void WriteAt(TStream& Stream, Int64 Offset, const String& Text)
{
    const Int64 back = Stream.Position();
    Stream.SetPosition(Offset);
    WriteText(Stream, Text);
    Stream.SetPosition(back);
}

// A fixed-width text field of the batch: padded, never cut.
String FixedText(const String& Text, int Width)
{
    if (static_cast<int>(Text.size()) > Width)
        throw EDaroruError("Name too long for the update batch: " + Text);
    return PadRight(Text, Width, ' ');
}
}  // namespace

void TDaroruTable::SetCachedUpdates(bool Value)
{
    FCachedUpdates = Value;
    if (!Value)
        FCache.SetPending(false);
}

void TDaroruTable::SetLenCachedItem(int Count) { FCache.SetLength(Count); }

void TDaroruTable::ClearCachedItem() { FCache.Clear(); }

TCachedItem* TDaroruTable::GetCachedItem(int RecNo) { return FCache.Find(RecNo); }

TCachedItem& TDaroruTable::PutCachedItem(int RecNo, TUpdateStatus Status, const char* Image)
{
    const int before = FCache.Count();
    if (TCachedItem* item = FCache.Find(RecNo); item && Status == usModified)
        FCache.SaveBeforeImage(*item);
    TCachedItem& item = FCache.Put(RecNo, Status, Image ? Image : "");
    if (FCache.Count() != before)
        FCachedCount = FCache.Count();
    return item;
}

TUpdateStatus TDaroruTable::UpdateStatus()
{
    // A cached table knows its records by their position.
    const int current = GetSXRecno();
    const TCachedItem* item = FCachedUpdates ? FCache.Made(current) : FCache.Find(current);
    return item ? item->Status : usUnmodified;
}

void TDaroruTable::cu_FetchRecord(int Position, char* Buffer)
{
    if (Position < 1)
        return;
    if (!FCache.Fetched(Position)) {
        TDaroruDispatch::cs_Select(FWorkArea);
        // From the record fetched before this position, else counted from the top,
        // passing over the records added, which wait after the last position.
        const TCachedItem* previous = FCache.Fetched(Position - 1) ? FCache.Made(Position - 1) : nullptr;
        int steps = Position - 1;
        if (previous && previous->RecNo > 0 && !FCache.IsAdded(previous->RecNo)) {
            TDaroruDispatch::cs_Go(previous->RecNo);
            steps = 1;
        } else {
            TDaroruDispatch::cs_GoTop();
            SkipAddedRecords();
        }
        if (FCache.AddedRecNos().empty()) {
            if (steps > 0)
                TDaroruDispatch::cs_Skip(steps);
        } else {
            for (; steps > 0; --steps) {
                TDaroruDispatch::cs_Skip(1);
                SkipAddedRecords();
            }
        }
        TCachedItem& item = FCache.At(Position);
        item.RecNo = TDaroruDispatch::cs_RecNo();
        TDaroruDispatch::cs_GetRecord(Buffer);
        item.Image.assign(Buffer, static_cast<size_t>(FRecordSize));
        item.FetchPosition = Position;
        FCache.MarkFetched(Position);
        return;
    }
    const String& image = FCache.At(Position).Image;
    std::memcpy(Buffer, image.data(), std::min(image.size(), static_cast<size_t>(FRecordSize)));
}

void TDaroruTable::SkipAddedRecords()
{
    while (!TDaroruDispatch::cs_Eof() && FCache.IsAdded(TDaroruDispatch::cs_RecNo()))
        TDaroruDispatch::cs_Skip(1);
}

TCachedItem& TDaroruTable::CachedRecord()
{
    const int position = CachedPosition();
    if (position < 1 || position > FCachedCount)
        Raise("No cached record to work on");
    if (!FCache.Fetched(position)) {
        String image(static_cast<size_t>(FRecordSize), ' ');
        cu_FetchRecord(position, image.data());
    }
    return FCache.At(position);
}

TCachedItem& TDaroruTable::EngineToCachedRecord()
{
    TCachedItem& item = CachedRecord();
    if (item.RecNo > 0)
        TDaroruDispatch::cs_Go(item.RecNo);
    if (item.RecNo <= 0 || TDaroruDispatch::cs_Eof() || TDaroruDispatch::cs_RecNo() != item.RecNo)
        Raise("Cannot reach the cached record " + IntToStr(item.RecNo));
    return item;
}

void TDaroruTable::TakeEngineField(TCachedItem& Item, const char* Field)
{
    // The engine counts offsets from 1, the deletion flag included; 0 is a field it does not know.
    const auto at = static_cast<size_t>(std::max<XBLONG>(TDaroruDispatch::cs_FieldOffset(Field) - 1, 0));
    const auto width = static_cast<size_t>(std::max<XBLONG>(TDaroruDispatch::cs_FieldWidth(Field), 0));
    if (at == 0 || width == 0)
        return;
    String record(static_cast<size_t>(FRecordSize), ' ');
    TDaroruDispatch::cs_GetRecord(record.data());
    Item.Image.resize(std::max(Item.Image.size(), record.size()), ' ');
    Item.Image.replace(at, width, record, at, width);
}

bool TDaroruTable::cu_Seek(const String& Key)
{
    TDaroruDispatch::cs_Select(FWorkArea);
    const bool found = TDaroruDispatch::cs_Seek(Key.c_str());
    if (found && FCachedUpdates) {
        // The cursor goes to the found record's position when it was fetched.
        const TCachedItem* item = FCache.Find(TDaroruDispatch::cs_RecNo());
        if (item && item->FetchPosition > 0)
            SetCachedPosition(item->FetchPosition);
    }
    return found;
}

void TDaroruTable::Invalidate()
{
    FCurrentRecNo = 0;
    FCache.Invalidate();
}

void TDaroruTable::FetchAll()
{
    DisableControls();
    try {
        Invalidate();
        for (First(); !Eof(); Next()) { }
        First();
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
}

void TDaroruTable::CancelUpdates() { FCache.CancelUpdates(); }

void TDaroruTable::RevertRecord() { FCache.SetPending(false); }

void TDaroruTable::ApplyUpdates()
{
    CheckOpen();
    // The batch is kept in the connection's buffer, which no request carries:
    // a live server would never see the changes, so they are not reported as applied.
    if (ServerConnection()->Connected())
        Raise("Cached updates cannot be applied through the database server");
    TStream& out = ServerConnection()->RequestBuffer();
    Select();
    const int recordSize = cs_RecSize();
    const Int64 start = out.Position();
    WriteText(out, FixedText(FDatabaseName, 255));
    WriteText(out, FixedText(FTableName, 255));
    WriteText(out,
              Hex(static_cast<std::uint16_t>(FWorkArea), 4) + Hex(static_cast<std::uint32_t>(recordSize), 4));
    const Int64 countAt = out.Position();
    WriteText(out, Hex(0, 8) + Hex(0, 8));
    if (OnUpdateRecord) {
        std::uint8_t action = 0;
        OnUpdateRecord(this, 0, action);
    }
    std::uint32_t entries = 0;
    std::uint64_t total = 0;
    for (TCachedItem* item : FCache.Changed()) {
        const Int64 lengthAt = out.Position();
        WriteText(out, Hex(0, 8) + Hex(static_cast<std::uint32_t>(item->RecNo), 8) + Hex(item->Status, 1) +
                               Hex(item->Flag, 1) + "0000");
        const String image =
                PadRight(item->Image, recordSize, ' ').substr(0, static_cast<size_t>(recordSize));
        WriteText(out, image);
        WriteAt(out, lengthAt, Hex(image.size(), 8));
        FCache.MarkApplied(*item);
        ++entries;
        total += image.size() + 22;
    }
    if (entries > 0) {
        WriteAt(out, 8, Hex(static_cast<std::uint64_t>(start), 8));
        WriteAt(out, countAt, Hex(entries, 8) + Hex(total, 8));
    }
    FCache.SetPending(false);
}

// ---- engine calls answered from the cache

// A cached table still selects its work area: the engine calls that a cached
// table passes on must not reach another table's.
XBSHORT TDaroruTable::cs_Select(XBSHORT Area)
{
    const XBSHORT previous = TDaroruDispatch::cs_Select(Area);
    return FCachedUpdates ? 0 : previous;
}

bool TDaroruTable::cs_Bof() { return FCachedUpdates ? CachedPosition() < 1 : TDaroruDispatch::cs_Bof(); }

bool TDaroruTable::cs_Eof()
{
    return FCachedUpdates ? CachedPosition() == FCachedCount + 1 : TDaroruDispatch::cs_Eof();
}

void TDaroruTable::cs_Go(XBLONG RecNo)
{
    if (!FCachedUpdates)
        TDaroruDispatch::cs_Go(RecNo);
    else if (RecNo >= 1 && RecNo <= FCachedCount)
        SetCachedPosition(RecNo);
}

void TDaroruTable::cs_GoTop()
{
    if (FCachedUpdates)
        SetCachedPosition(1);
    else
        TDaroruDispatch::cs_GoTop();
}

void TDaroruTable::cs_GoBottom()
{
    if (FCachedUpdates)
        SetCachedPosition(FCachedCount);
    else
        TDaroruDispatch::cs_GoBottom();
}

void TDaroruTable::cs_Skip(XBLONG Count)
{
    if (!FCachedUpdates)
        TDaroruDispatch::cs_Skip(Count);
    else if (CachedPosition() >= 1 && CachedPosition() <= FCachedCount)
        SetCachedPosition(CachedPosition() + Count);
}

XBLONG TDaroruTable::cs_RecNo() { return FCachedUpdates ? CachedPosition() : TDaroruDispatch::cs_RecNo(); }

XBLONG TDaroruTable::cs_RecCount() { return FCachedUpdates ? FCachedCount : TDaroruDispatch::cs_RecCount(); }

double TDaroruTable::cs_OrderPosGet()
{
    return FCachedUpdates ? static_cast<double>(CachedPosition()) : TDaroruDispatch::cs_OrderPosGet();
}

bool TDaroruTable::cs_Deleted()
{
    if (!FCachedUpdates)
        return TDaroruDispatch::cs_Deleted();
    const TCachedItem* item = FCache.Made(CachedPosition());
    return item && item->Status == usDeleted;
}

bool TDaroruTable::cs_Delete()
{
    if (!FCachedUpdates)
        return TDaroruDispatch::cs_Delete();
    // The deletion waits in the store with the record's image.
    TCachedItem* item = FCache.Made(CachedPosition());
    if (!item || item->RecNo == 0)
        return false;
    item->Status = usDeleted;
    FCache.SetPending(true);
    return true;
}

const char* TDaroruTable::cs_DBFilter() { return FCachedUpdates ? nullptr : TDaroruDispatch::cs_DBFilter(); }

const char* TDaroruTable::cs_GetScope(XBSHORT Which)
{
    return FCachedUpdates ? nullptr : TDaroruDispatch::cs_GetScope(Which);
}

XBPROP TDaroruTable::cs_SysProp(XBSHORT Property, XBPROP Value)
{
    return FCachedUpdates ? 0 : TDaroruDispatch::cs_SysProp(Property, Value);
}

bool TDaroruTable::cs_Locked(XBLONG RecNo) { return !FCachedUpdates && TDaroruDispatch::cs_Locked(RecNo); }

bool TDaroruTable::cs_Rlock(XBLONG RecNo)
{
    const bool locked = FCachedUpdates || TDaroruDispatch::cs_Rlock(RecNo);
    FLockListStale = true;
    return locked;
}

void TDaroruTable::cs_Unlock(XBLONG RecNo)
{
    if (!FCachedUpdates)
        TDaroruDispatch::cs_Unlock(RecNo);
    FLockListStale = true;
}

bool TDaroruTable::cs_Seek(const char* Key)
{
    return FCachedUpdates ? cu_Seek(Key ? Key : "") : TDaroruDispatch::cs_Seek(Key);
}

bool TDaroruTable::cs_SeekBin(const char* Key, XBSHORT Length)
{
    const bool found = TDaroruDispatch::cs_SeekBin(Key, Length);
    if (FCachedUpdates)
        SetCachedPosition(TDaroruDispatch::cs_RecNo());
    return found;
}

XBLONG TDaroruTable::cs_GetRecord(char* Buffer)
{
    if (!FCachedUpdates)
        return TDaroruDispatch::cs_GetRecord(Buffer);
    cu_FetchRecord(CachedPosition(), Buffer);
    return FRecordSize;
}

bool TDaroruTable::cs_PutRecord(const char* Buffer)
{
    if (!FCachedUpdates)
        return TDaroruDispatch::cs_PutRecord(Buffer);
    TCachedItem& item = CachedRecord();
    if (item.Status == usUnmodified) {
        FCache.SaveBeforeImage(item);
        item.Status = usModified;
    }
    item.Image.assign(Buffer, static_cast<size_t>(FRecordSize));
    FCache.SetPending(true);
    return true;
}

bool TDaroruTable::cs_Append() { return AfterAppend(TDaroruDispatch::cs_Append()); }

bool TDaroruTable::cs_AppendBlank() { return AfterAppend(TDaroruDispatch::cs_AppendBlank()); }

bool TDaroruTable::AfterAppend(bool Appended)
{
    if (!Appended)
        return false;
    const XBLONG recno = TDaroruDispatch::cs_RecNo();
    if (!FCachedUpdates) {
        SetCachedPosition(recno);
        FCachedCount = TDaroruDispatch::cs_RecCount();
        if (FSequencedCount != scRaw)
            FCountNeedsRefresh = true;
        return true;
    }
    // The record as the file has it is what cancelling goes back to.
    String image(static_cast<size_t>(FRecordSize), ' ');
    TDaroruDispatch::cs_GetRecord(image.data());
    const int position = std::max(FCachedCount, 0) + 1;
    FCache.Insert(position, recno, image);
    FCachedCount = position;
    SetCachedPosition(position);
    return true;
}

XBSHORT TDaroruTable::cs_IndexOrd()
{
    if (!FCachedUpdates)
        FActiveOrder = TDaroruDispatch::cs_IndexOrd();
    return FActiveOrder;
}

const char* TDaroruTable::cs_IndexCondition()
{
    if (!FCachedUpdates) {
        const char* condition = TDaroruDispatch::cs_IndexCondition();
        FIndexCondition = condition ? condition : "";
    }
    return FIndexCondition.c_str();
}

XBSHORT TDaroruTable::cs_Index(const char* File, const char* Expression, XBSHORT Option, XBSHORT Descending,
                               const char* Condition)
{
    const CacheInvalidation after(*this);
    return FActiveOrder = TDaroruDispatch::cs_Index(File, Expression, Option, Descending, Condition);
}

XBSHORT TDaroruTable::cs_IndexOpen(const char* File)
{
    const CacheInvalidation after(*this);
    return FActiveOrder = TDaroruDispatch::cs_IndexOpen(File);
}

XBSHORT TDaroruTable::cs_IndexTag(const char* File, const char* Tag, const char* Expression, XBSHORT Option,
                                  XBSHORT Descending, const char* Condition)
{
    const CacheInvalidation after(*this);
    return FActiveOrder = TDaroruDispatch::cs_IndexTag(File, Tag, Expression, Option, Descending, Condition);
}

XBSHORT TDaroruTable::cs_SetOrder(XBSHORT Order)
{
    const CacheInvalidation after(*this);
    const XBSHORT result = TDaroruDispatch::cs_SetOrder(Order);
    FActiveOrder = Order;
    return result;
}

bool TDaroruTable::cs_Query(const char* Expression)
{
    const CacheInvalidation after(*this);
    const bool result = TDaroruDispatch::cs_Query(Expression);
    const bool optimised = static_cast<SmallInt>(TDaroruDispatch::cs_QueryTest(Expression)) > 0;
    FCachedCount = optimised ? TDaroruDispatch::cs_QueryRecCount() : TDaroruDispatch::cs_RecCount();
    if (FCachedUpdates && !FCache.AddedRecNos().empty()) {
        // The records added stay after the last position, whatever the engine counted of them.
        for (const int recno : FCache.AddedRecNos())
            if (!optimised || TDaroruDispatch::cs_GetQueryBit(recno))
                --FCachedCount;
        FCache.SetLengthKeepingAdded(FCachedCount);
        FCachedCount = FCache.Count();
    } else if (!FCache.Pending()) {  // a store with changes not yet applied is kept
        SetLenCachedItem(FCachedCount);
    }
    return result;
}
