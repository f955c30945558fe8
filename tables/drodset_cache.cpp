// Cached updates: records read into an in-memory store, changes kept there and
// sent to the server connection as one batch.

#include <algorithm>
#include <cstring>

#include "tables/droerror.h"
#include "tables/drodset.h"

namespace {
// Upper-case hexadecimal digits, zero-filled to Width.
String Hex(std::uint64_t Value, int Width)
{
    String text(static_cast<size_t>(Width), '0');
    for (int i = Width - 1; i >= 0 && Value; --i, Value >>= 4)
        text[static_cast<size_t>(i)] = "0123456789ABCDEF"[Value & 15];
    return text;
}

void WriteText(TStream& Stream, const String& Text) { Stream.Write(Text.data(), static_cast<Int64>(Text.size())); }

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
    const TCachedItem* item = FCache.Find(GetSXRecno());
    return item ? item->Status : usUnmodified;
}

void TDaroruTable::cu_FetchRecord(int Position, char* Buffer)
{
    if (Position < 1)
        return;
    if (!FCache.Fetched(Position)) {
        TDaroruDispatch::cs_Select(FWorkArea);
        // From the record fetched before this position, else counted from the top.
        const TCachedItem* previous = FCache.Fetched(Position - 1) ? FCache.Made(Position - 1) : nullptr;
        if (previous && previous->RecNo > 0) {
            TDaroruDispatch::cs_Go(previous->RecNo);
            TDaroruDispatch::cs_Skip(1);
        } else {
            TDaroruDispatch::cs_GoTop();
            if (Position > 1)
                TDaroruDispatch::cs_Skip(Position - 1);
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
        for (First(); !Eof(); Next()) {
        }
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
    TStream& out = ServerConnection()->RequestBuffer();
    Select();
    const int recordSize = cs_RecSize();
    const Int64 start = out.Position();
    WriteText(out, FixedText(FDatabaseName, 255));
    WriteText(out, FixedText(FTableName, 255));
    WriteText(out, Hex(static_cast<std::uint16_t>(FWorkArea), 4) + Hex(static_cast<std::uint32_t>(recordSize), 4));
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
        const String image = PadRight(item->Image, recordSize, ' ').substr(0, static_cast<size_t>(recordSize));
        WriteText(out, image);
        WriteAt(out, lengthAt, Hex(image.size(), 8));
        item->Status = usUnmodified;
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
    TCachedItem* item = FCachedUpdates && CachedPosition() > 0 ? FCache.Made(CachedPosition()) : nullptr;
    if (!item || item->RecNo == 0)
        return TDaroruDispatch::cs_PutRecord(Buffer);
    if (item->Status == usUnmodified) {
        FCache.SaveBeforeImage(*item);
        item->Status = usModified;
    }
    item->Image.assign(Buffer, static_cast<size_t>(FRecordSize));
    FCache.SetPending(true);
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
    FCachedCount = static_cast<SmallInt>(TDaroruDispatch::cs_QueryTest(Expression)) > 0
                       ? TDaroruDispatch::cs_QueryRecCount()
                       : TDaroruDispatch::cs_RecCount();
    // Changes not yet applied stay in the store.
    if (!FCache.Pending())
        SetLenCachedItem(FCachedCount);
    return result;
}
