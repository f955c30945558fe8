// Record buffers and the conversion between them and the engine record image.

#include <cstring>

#include "platform/db/dberror.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/twodigityear.h"
#include "platform/xbengine/xbe50.h"
#include "tables/drodset.h"
#include "tables/droerror.h"

namespace {

constexpr const char* OutOfBounds = "Translate error. Value out of bounds";
constexpr const char* NotEditing = "Data set must be in Edit or Insert mode to update";

template<class T> T Load(const char* At)
{
    T value;
    std::memcpy(&value, At, sizeof value);
    return value;
}

template<class T> void Store(char* At, T Value) { std::memcpy(At, &Value, sizeof Value); }

int Digits(const char* Text, int Count) { return StrToIntDef(String(Text, static_cast<size_t>(Count)), 0); }

// Text right-aligned in Width; refused when it does not fit.
void PutRight(char* At, int Width, const String& Text)
{
    if (static_cast<int>(Text.size()) > Width)
        throw EDaroruError(OutOfBounds);
    std::memset(At, ' ', static_cast<size_t>(Width));
    std::memcpy(At + Width - Text.size(), Text.data(), Text.size());
}

void FreeEntryData(TDrBlobEntry& Entry)
{
    delete[] Entry.Data;
    Entry.Data = nullptr;
    Entry.Length = 0;
}

void SetEntryData(TDrBlobEntry& Entry, const void* Data, std::int32_t Length)
{
    FreeEntryData(Entry);
    Entry.Data = new char[static_cast<size_t>(Length) + 1];
    if (Length > 0 && Data)
        std::memcpy(Entry.Data, Data, static_cast<size_t>(Length));
    Entry.Data[Length] = 0;
    Entry.Length = Length;
}

}  // namespace

// A memory stream over one blob field of the active record: reading fetches the
// data from the engine once; what is written reaches the engine when the record
// is posted.
class TDrBlobStream : public TMemoryStream {
public:
    TDrBlobStream(TDaroruTable* Table, TField* Field, TBlobStreamMode Mode);
    ~TDrBlobStream() override;

private:
    TDaroruTable* FTable;
    TField* FField;
    TBlobStreamMode FMode;
};

TDrBlobStream::TDrBlobStream(TDaroruTable* Table, TField* Field, TBlobStreamMode Mode)
    : FTable(Table), FField(Field), FMode(Mode)
{
    TDrBlobEntry* entry = Table->GetBlobData(Field);
    if (Mode == bmWrite || !entry || Field->IsNull())
        return;
    if (Table->State() == dsOldValue || !entry->Loaded) {
        Table->cs_Select(Table->FWorkArea);
        const XBLONG back = Table->cs_RecNo();
        if (Table->State() != dsFilter)
            Table->cs_Go(Table->RecNoOf(Table->ActiveBuffer()));
        const String name = Field->FieldName();
        if (Field->DataType() == ftMemo) {
            char* memo = Table->cs_GetMemo(name.c_str(), 0);
            const auto length = static_cast<std::int32_t>(memo ? std::strlen(memo) : 0);
            SetEntryData(*entry, memo, length);
            if (length > 0)
                Table->cs_MemDealloc(memo);
        } else {
            const std::int32_t length = Table->cs_GetBlobLength(name.c_str());
            FreeEntryData(*entry);
            if (length > 0) {
                SetEntryData(*entry, nullptr, length);
                Table->cs_GetBlob(name.c_str(), entry->Data);
            }
        }
        entry->Loaded = 0xFF;
        Table->cs_Go(back);
    }
    if (entry->Length > 0)
        Write(entry->Data, entry->Length);
    SetPosition(0);
}

TDrBlobStream::~TDrBlobStream()
{
    if (FMode == bmRead)
        return;
    TDrBlobEntry* entry = FTable->GetBlobData(FField);
    if (!entry)
        return;
    SetEntryData(*entry, Memory(), static_cast<std::int32_t>(Size()));
    entry->Modified = 0xFF;
    FTable->DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(FField));
}

std::unique_ptr<TStream> TDaroruTable::CreateBlobStream(TField* Field, TBlobStreamMode Mode)
{
    return std::make_unique<TDrBlobStream>(this, Field, Mode);
}

TDrBlobEntry* TDaroruTable::BlobEntries(TRecordBuffer Buffer) const
{
    // The entries hold pointers: their area starts on an 8-byte boundary.
    const int at = (FFieldAreaSize + CalcFieldsSize() + 7) / 8 * 8;
    return reinterpret_cast<TDrBlobEntry*>(Buffer + at);
}

TDrBlobEntry* TDaroruTable::GetBlobData(TField* Field)
{
    if (Field->FieldNo() <= 0 || FBlobIndex[Field->FieldNo() - 1] < 0)
        return nullptr;
    TRecordBuffer buffer = State() == dsFilter ? FFilterBuffer : ActiveBuffer();
    return &BlobEntries(buffer)[FBlobIndex[Field->FieldNo() - 1]];
}

std::uint32_t TDaroruTable::RecNoOf(TRecordBuffer Buffer) const
{
    return Load<std::uint32_t>(Buffer + FRecInfoOffset);
}

void TDaroruTable::SetRecNoOf(TRecordBuffer Buffer, std::uint32_t RecNo) const
{
    Store(Buffer + FRecInfoOffset, RecNo);
}

void TDaroruTable::SetRecordInfo(TRecordBuffer Buffer, std::uint32_t RecNo, TBookmarkFlag Flag)
{
    SetRecNoOf(Buffer, RecNo);
    SetBookmarkFlag(Buffer, Flag);
}

int TDaroruTable::GetRecordSize() { return FRecInfoOffset; }

TRecordBuffer TDaroruTable::AllocRecordBuffer()
{
    const size_t size = static_cast<size_t>(FRecInfoOffset) + 5;
    TRecordBuffer buffer = new char[size];
    std::memset(buffer, 0, size);
    return buffer;
}

void TDaroruTable::ClearBlobEntries(TRecordBuffer Buffer)
{
    TDrBlobEntry* entries = BlobEntries(Buffer);
    for (int i = 0; i < FBlobCount; ++i) {
        FreeEntryData(entries[i]);
        std::memset(&entries[i], 0, sizeof entries[i]);
        // A blank reference: no memo, as the file writes it.
        std::memset(entries[i].Reference, ' ', sizeof entries[i].Reference);
    }
}

void TDaroruTable::FreeRecordBuffer(TRecordBuffer& Buffer)
{
    if (!Buffer)
        return;
    ClearBlobEntries(Buffer);
    delete[] Buffer;
    Buffer = nullptr;
}

void TDaroruTable::InternalInitRecord(TRecordBuffer Buffer)
{
    std::memset(Buffer, 0, static_cast<size_t>(FFieldAreaSize));
    SetRecNoOf(Buffer, 0);
    ClearBlobEntries(Buffer);
}

void TDaroruTable::GetBookmarkData(TRecordBuffer Buffer, void* Data)
{
    std::memcpy(Data, Buffer + FRecInfoOffset, 4);
}

void TDaroruTable::SetBookmarkData(TRecordBuffer Buffer, const void* Data)
{
    if (Data)
        std::memcpy(Buffer + FRecInfoOffset, Data, 4);
}

TBookmarkFlag TDaroruTable::GetBookmarkFlag(TRecordBuffer Buffer)
{
    return static_cast<TBookmarkFlag>(Buffer[FRecInfoOffset + 4]);
}

void TDaroruTable::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value)
{
    Buffer[FRecInfoOffset + 4] = static_cast<char>(Value);
}

void TDaroruTable::ClearBuffers()
{
    TDataSet::ClearBuffers();
    if (FCursorOpen && BufferCount() > 0)
        InternalInitRecord(ActiveBuffer());
}

void TDaroruTable::ClearCalcFields(TRecordBuffer Buffer)
{
    std::memset(Buffer + FFieldAreaSize, 0, static_cast<size_t>(CalcFieldsSize()));
}

void TDaroruTable::RefreshInternalCalcFields(TRecordBuffer Buffer) { GetCalcFields(Buffer); }

TRecordBuffer TDaroruTable::CurrentBuffer() const
{
    switch (State()) {
    case dsCalcFields: return CalcBuffer();
    case dsFilter: return FFilterBuffer;
    default: return BufferCount() > 0 ? ActiveBuffer() : nullptr;
    }
}

bool TDaroruTable::GetFieldData(TField* Field, void* Buffer)
{
    TRecordBuffer record = FCursorOpen ? CurrentBuffer() : nullptr;
    if (!record)
        return false;
    const char* at = Field->FieldNo() > 0 ? record + InfoOf(Field).BufferOffset
                                          : record + FFieldAreaSize + Field->Offset();
    if (at[0] == 0)
        return false;
    if (Buffer)
        std::memcpy(Buffer, at + 1, static_cast<size_t>(Field->DataSize()));
    return true;
}

void TDaroruTable::SetFieldData(TField* Field, const void* Buffer)
{
    if (!Active())
        return;
    const bool calculated = Field->FieldNo() <= 0;
    if (!calculated && State() != dsEdit && State() != dsInsert)
        Raise(NotEditing);
    Field->Validate(Buffer);
    TRecordBuffer record = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    char* at = calculated ? record + FFieldAreaSize + Field->Offset() : record + InfoOf(Field).BufferOffset;
    const size_t size = static_cast<size_t>(Field->DataSize());
    at[0] = Buffer ? 1 : 0;
    if (Buffer)
        std::memcpy(at + 1, Buffer, size);
    else
        std::memset(at + 1, 0, size);
    if (State() != dsCalcFields && State() != dsFilter && State() != dsNewValue)
        DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

void TDaroruTable::ReadXBEToNative(TRecordBuffer Buffer)
{
    const bool masked = FEncrypted && FPassword.empty();
    for (TField* field : Fields()) {
        if (field->FieldNo() <= 0)
            continue;
        const TFieldInfo& info = InfoOf(field);
        char* d = Buffer + info.BufferOffset;
        const char* s = FScratch.data() + info.RecordOffset;
        const int w = info.Width;
        // The field's text without its padding, read only by the fields kept as numbers.
        const auto trimmed = [s, w] { return Trim(String(s, static_cast<size_t>(w))); };
        if (masked) {
            d[0] = 1;
            std::memset(d + 1, field->DataType() == ftString ? '*' : 0,
                        static_cast<size_t>(field->DataSize()));
            if (field->DataType() == ftString)
                d[field->DataSize()] = 0;
            continue;
        }
        switch (field->DataType()) {
        case ftString: {
            d[0] = 1;
            const String value = TrimRight(String(s, static_cast<size_t>(w)));
            std::memset(d + 1, 0, static_cast<size_t>(w) + 1);
            std::memcpy(d + 1, value.data(), value.size());
            break;
        }
        case ftSmallint:
        case ftInteger: {
            const String text = trimmed();
            d[0] = text.empty() ? 0 : 1;
            if (field->DataType() == ftSmallint)
                Store<std::int16_t>(d + 1, text.empty() ? 0 : static_cast<std::int16_t>(StrToInt(text)));
            else
                Store<std::int32_t>(d + 1, text.empty() ? 0 : StrToInt(text));
            break;
        }
        case ftBoolean: {
            const String text = trimmed();
            d[0] = text.empty() ? 0 : 1;
            Store<std::int16_t>(d + 1, !text.empty() && (s[0] == 'T' || s[0] == 'Y') ? -1 : 0);
            break;
        }
        case ftFloat:
        case ftCurrency: {
            const String text = trimmed();
            d[0] = text.empty() ? 0 : 1;
            String number = text;
            for (char& c : number)
                if (c == ',')
                    c = ' ';
            Store<double>(d + 1, text.empty() ? 0.0 : StrToFloat(number));
            break;
        }
        case ftDate: {
            if (s[1] == ' ' || s[1] == 0) {
                d[0] = 0;
                Store<std::int32_t>(d + 1, 0);
                break;
            }
            d[0] = 1;
            if (std::memcmp(s + 4, "00", 2) == 0 || std::memcmp(s + 6, "00", 2) == 0) {
                Store<std::int32_t>(d + 1, 0);
                break;
            }
            const TDateTime date = EncodeDate(Digits(s, 4), Digits(s + 4, 2), Digits(s + 6, 2));
            Store<std::int32_t>(d + 1, static_cast<std::int32_t>(date) + DateDelta);
            break;
        }
        case ftMemo:
        case ftBlob: {
            TDrBlobEntry& entry = BlobEntries(Buffer)[FBlobIndex[field->FieldNo() - 1]];
            FreeEntryData(entry);
            entry.Modified = entry.Loaded = 0;
            if (!(State() == dsInsert && GetEOF()))
                std::memcpy(entry.Reference, s, sizeof entry.Reference);
            d[0] = std::memcmp(entry.Reference, "          ", sizeof entry.Reference) == 0 ? 0 : 1;
            break;
        }
        default: break;
        }
    }
}

void TDaroruTable::NativeToImage(TRecordBuffer Buffer, String& Image)
{
    for (TField* field : Fields()) {
        if (field->FieldNo() <= 0)
            continue;
        const TFieldInfo& info = InfoOf(field);
        const char* d = Buffer + info.BufferOffset;
        const bool null = d[0] == 0;
        char* s = Image.data() + info.RecordOffset;
        const int w = info.Width;
        switch (field->DataType()) {
        case ftString: {
            const size_t length = null ? 0 : std::min(std::strlen(d + 1), static_cast<size_t>(w));
            std::memset(s, ' ', static_cast<size_t>(w));
            std::memcpy(s, d + 1, length);
            break;
        }
        case ftSmallint: PutRight(s, w, null ? String() : IntToStr(Load<std::int16_t>(d + 1))); break;
        case ftInteger: PutRight(s, w, null ? String() : IntToStr(Load<std::int32_t>(d + 1))); break;
        case ftBoolean: s[0] = null ? ' ' : Load<std::int16_t>(d + 1) ? 'T' : 'F'; break;
        case ftFloat:
        case ftCurrency: {
            String mask = "0";
            if (info.Decimals > 0)
                mask += "." + String(static_cast<size_t>(info.Decimals), '0');
            // A number that does not fit its field is refused, not cut.
            PutRight(s, w, null ? String() : FormatFloat(mask, Load<double>(d + 1)));
            break;
        }
        case ftDate: {
            if (null) {
                std::memcpy(s, "        ", 8);
                break;
            }
            int year = 0, month = 0, day = 0;
            DecodeDate(static_cast<TDateTime>(Load<std::int32_t>(d + 1) - DateDelta), year, month, day);
            if (year < 100)
                year = EpochWindowYear(year, FEpoch);
            const String text =
                    Copy("0000" + IntToStr(year), static_cast<int>(IntToStr(year).size()) + 1, 4) +
                    (month < 10 ? "0" : "") + IntToStr(month) + (day < 10 ? "0" : "") + IntToStr(day);
            std::memcpy(s, text.data(), 8);
            break;
        }
        case ftMemo:
        case ftBlob: {
            const TDrBlobEntry& entry = BlobEntries(Buffer)[FBlobIndex[field->FieldNo() - 1]];
            std::memcpy(s, entry.Reference, sizeof entry.Reference);
            break;
        }
        default: break;
        }
    }
}

void TDaroruTable::WriteNativeToXBE(TRecordBuffer Buffer)
{
    if (!Select())
        return;
    if (FieldCount() != FFieldCount)
        cs_GetRecord(FScratch.data());
    NativeToImage(Buffer, FScratch);
    if (State() == dsInsert)
        FScratch[0] = ' ';
    else if (cs_Deleted())
        FScratch[0] = '*';
    CheckWrite(cs_PutRecord(FScratch.c_str()), "write the record");
}

void TDaroruTable::CheckWrite(bool Ok, const char* What) const
{
    if (Ok)
        return;
    const String reason = XbeLastErrorText();
    Raise(String("Unable to ") + What + (reason.empty() ? String() : ": " + reason));
}

void TDaroruTable::GetBinary(const String& FieldName, void* Buffer)
{
    if (!Select())
        return;
    const TFieldInfo& info = InfoOf(FieldByName(FieldName));
    cs_Go(GetSXRecno());
    cs_GetRecord(FScratch.data());
    std::memcpy(Buffer, FScratch.data() + info.RecordOffset, static_cast<size_t>(info.Width));
}

void TDaroruTable::PutBinary(const String& FieldName, const void* Buffer)
{
    CheckWritable();
    if (!FSpeedMode)
        CheckEditing();
    if (FWorkArea <= 0)
        return;
    const TFieldInfo& info = InfoOf(FieldByName(FieldName));
    Select();
    std::memcpy(FScratch.data() + info.RecordOffset, Buffer, static_cast<size_t>(info.Width));
    CheckWrite(cs_PutRecord(FScratch.c_str()), "write the record");
    if (!FSpeedMode)
        Resync({});
}

void TDaroruTable::CheckWritable() const
{
    if (FReadOnly && FErrorFunc == -1)
        Raise(dbtext::DataSetReadOnly);
}

void TDaroruTable::CheckEditing() const
{
    if (State() != dsEdit && State() != dsInsert)
        Raise(NotEditing);
}

void TDaroruTable::SetWriteBlobHdr(WordBool Value)
{
    if ((Value != 0) == (FWriteBlobHdr != 0))
        return;
    FWriteBlobHdr = Value;
    SysProp(XBE_PROP_SET_BLOB_HEADER, Value ? XBPROP(-1) : XBPROP(0));
}
