// Cached updates: records read into an in-memory store, changes kept there and
// sent to the server connection as one batch.

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
        cs_Select(FWorkArea);
        if (Position == 1) {
            cs_GoTop();
        } else {
            cs_Go(cs_RecNo());
            cs_Skip(1);
        }
        TCachedItem& item = FCache.At(Position);
        item.RecNo = cs_RecNo();
        cs_GetRecord(Buffer);
        item.Image.assign(Buffer, static_cast<size_t>(FRecordSize));
        item.FetchPosition = Position;
        FCache.MarkFetched(Position);
        return;
    }
    const String& image = FCache.At(Position).Image;
    std::memcpy(Buffer, image.data(), std::min(image.size(), std::strlen(Buffer)));
}

bool TDaroruTable::cu_Seek(const String& Key) { return cs_Seek(Key.c_str()); }

void TDaroruTable::Invalidate() { FCache.Invalidate(); }

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
