#include "tests/support/memdataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/fieldkinds.h"
#include "platform/rtl/strutils.h"

namespace {

const char* ModeName(TGetMode Mode)
{
    switch (Mode) {
    case gmNext: return "next";
    case gmPrior: return "prior";
    default: return "current";
    }
}

// The record buffer ends with the row id and the bookmark flag.
constexpr int TrailerSize = sizeof(Integer) + 1;

}  // namespace

// A blob written through a stream reaches the edited record when the stream is freed.
class TMemBlobStream : public TMemoryStream {
public:
    TMemBlobStream(TMemDataSet& DataSet, TField* Field) : FDataSet(DataSet), FField(Field) { }
    ~TMemBlobStream() override
    {
        String text(reinterpret_cast<const char*>(Memory()), static_cast<size_t>(Size()));
        FDataSet.FPendingBlobs[FField->FieldNo()] = text;
        char* slot = FDataSet.FieldSlot(FDataSet.ActiveBuffer(), FField);
        slot[0] = text.empty() ? 0 : 1;
        FDataSet.DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(FField));
    }

private:
    TMemDataSet& FDataSet;
    TField* FField;
};

TMemDataSet::TMemDataSet(TComponent* AOwner, std::vector<MemColumn> Columns)
    : TDataSet(AOwner), FColumns(std::move(Columns))
{
}

TMemDataSet::~TMemDataSet() { Close(); }

void TMemDataSet::InternalInitFieldDefs()
{
    FieldDefs()->Clear();
    for (const MemColumn& column : FColumns)
        FieldDefs()->Add(column.Name, column.DataType, column.Size);
}

void TMemDataSet::InternalOpen()
{
    Log.push_back("InternalOpen");
    if (RefuseOpen)
        return;
    InternalInitFieldDefs();
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    FOffsets.clear();
    FFieldAreaSize = 0;
    for (int i = 0; i < FieldDefs()->Count(); ++i) {
        FOffsets.push_back(FFieldAreaSize);
        TField* field = Fields().FieldByNumber(i + 1);
        FFieldAreaSize += 1 + (field ? field->DataSize() : 0);
    }
    SetBookmarkSize(sizeof(Integer));
    FCursor = -1;
    FCursorOpen = true;
}

void TMemDataSet::InternalClose()
{
    Log.push_back("InternalClose");
    BindFields(false);
    if (DefaultFields())
        DestroyFields();
    FCursorOpen = false;
}

TRecordBuffer TMemDataSet::AllocRecordBuffer()
{
    auto* buffer = new char[static_cast<size_t>(GetRecordSize() + TrailerSize)];
    std::memset(buffer, 0, static_cast<size_t>(GetRecordSize() + TrailerSize));
    return buffer;
}

void TMemDataSet::FreeRecordBuffer(TRecordBuffer& Buffer)
{
    delete[] Buffer;
    Buffer = nullptr;
}

Integer TMemDataSet::TrailerId(TRecordBuffer Buffer) const
{
    Integer id;
    std::memcpy(&id, Buffer + FFieldAreaSize + CalcFieldsSize(), sizeof id);
    return id;
}

void TMemDataSet::SetTrailerId(TRecordBuffer Buffer, Integer Id) const
{
    std::memcpy(Buffer + FFieldAreaSize + CalcFieldsSize(), &Id, sizeof Id);
}

char& TMemDataSet::TrailerFlag(TRecordBuffer Buffer) const
{
    return Buffer[FFieldAreaSize + CalcFieldsSize() + sizeof(Integer)];
}

int TMemDataSet::RowIndex(Integer Id) const
{
    for (size_t i = 0; i < FRows.size(); ++i)
        if (FRows[i].Id == Id)
            return static_cast<int>(i);
    return -1;
}

Integer TMemDataSet::BufferId(int Index) const { return TrailerId(Buffers(Index)); }

void TMemDataSet::InternalInitRecord(TRecordBuffer Buffer)
{
    std::memset(Buffer, 0, static_cast<size_t>(FFieldAreaSize));
    SetTrailerId(Buffer, 0);
    FPendingBlobs.clear();
}

void TMemDataSet::ClearCalcFields(TRecordBuffer Buffer)
{
    std::memset(Buffer + FFieldAreaSize, 0, static_cast<size_t>(CalcFieldsSize()));
}

TGetResult TMemDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool /*DoCheck*/)
{
    int count = static_cast<int>(FRows.size());
    for (;;) {
        if (GetMode == gmNext) {
            if (FCursor >= count - 1) {
                FCursor = count;
                Log.push_back(String("Get ") + ModeName(GetMode) + " EOF");
                return grEOF;
            }
            ++FCursor;
        } else if (GetMode == gmPrior) {
            if (FCursor <= 0) {
                FCursor = -1;
                Log.push_back(String("Get ") + ModeName(GetMode) + " BOF");
                return grBOF;
            }
            --FCursor;
        } else if (FCursor < 0 || FCursor >= count) {
            Log.push_back(String("Get ") + ModeName(GetMode) + (FCursor < 0 ? " BOF" : " EOF"));
            return FCursor < 0 ? grBOF : grEOF;
        }
        const Row& row = FRows[FCursor];
        std::memcpy(Buffer, row.Data.data(), static_cast<size_t>(FFieldAreaSize));
        SetTrailerId(Buffer, row.Id);
        TrailerFlag(Buffer) = bfCurrent;
        GetCalcFields(Buffer);
        bool accept = true;
        if (Filtered() && OnFilterRecord) {
            TDataSetState saved = SetTempState(dsFilter);
            FFilterBuffer = Buffer;
            OnFilterRecord(this, accept);
            FFilterBuffer = nullptr;
            RestoreState(saved);
        }
        if (accept) {
            Log.push_back(String("Get ") + ModeName(GetMode) + " #" + IntToStr(row.Id));
            return grOK;
        }
        if (GetMode == gmCurrent)
            return grEOF;
    }
}

void TMemDataSet::InternalFirst()
{
    Log.push_back("InternalFirst");
    FCursor = -1;
}

void TMemDataSet::InternalLast()
{
    Log.push_back("InternalLast");
    FCursor = static_cast<int>(FRows.size());
}

void TMemDataSet::InternalSetToRecord(TRecordBuffer Buffer)
{
    switch (static_cast<TBookmarkFlag>(TrailerFlag(Buffer))) {
    case bfEOF: FCursor = static_cast<int>(FRows.size()); break;
    case bfBOF: FCursor = -1; break;
    default: {
        int index = RowIndex(TrailerId(Buffer));
        if (index >= 0)
            FCursor = index;
    }
    }
}

void TMemDataSet::InternalGotoBookmark(const void* Bookmark)
{
    Integer id;
    std::memcpy(&id, Bookmark, sizeof id);
    int index = RowIndex(id);
    FCursor = index >= 0 ? index : static_cast<int>(FRows.size());
}

void TMemDataSet::GetBookmarkData(TRecordBuffer Buffer, void* Data)
{
    Integer id = TrailerId(Buffer);
    std::memcpy(Data, &id, sizeof id);
}

void TMemDataSet::SetBookmarkData(TRecordBuffer Buffer, const void* Data)
{
    Integer id;
    std::memcpy(&id, Data, sizeof id);
    SetTrailerId(Buffer, id);
}

TBookmarkFlag TMemDataSet::GetBookmarkFlag(TRecordBuffer Buffer)
{
    return static_cast<TBookmarkFlag>(TrailerFlag(Buffer));
}

void TMemDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value)
{
    TrailerFlag(Buffer) = static_cast<char>(Value);
}

int TMemDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2)
{
    if (Bookmark1.empty() || Bookmark2.empty())
        return 2;
    Integer id1, id2;
    std::memcpy(&id1, Bookmark1.data(), sizeof id1);
    std::memcpy(&id2, Bookmark2.data(), sizeof id2);
    int index1 = RowIndex(id1), index2 = RowIndex(id2);
    return index1 < index2 ? -1 : (index1 > index2 ? 1 : 0);
}

bool TMemDataSet::BookmarkValid(const TBookmark& Bookmark)
{
    if (Bookmark.size() != sizeof(Integer))
        return false;
    Integer id;
    std::memcpy(&id, Bookmark.data(), sizeof id);
    return RowIndex(id) >= 0;
}

int TMemDataSet::GetRecNo()
{
    if (BufferedRecordCount() == 0)
        return 0;
    return RowIndex(TrailerId(ActiveBuffer())) + 1;
}

void TMemDataSet::SetRecNo(int Value)
{
    CheckBrowseMode();
    DoBeforeScroll();
    FCursor = std::clamp(Value, 1, std::max(1, StoredCount())) - 1;
    Resync({rmCenter});
    DoAfterScroll();
}

void TMemDataSet::InternalPost()
{
    Log.push_back("InternalPost");
    if (PostFailures > 0) {
        --PostFailures;
        DatabaseError("write refused", this);
    }
    TRecordBuffer buffer = ActiveBuffer();
    int index;
    if (State() == dsEdit) {
        index = RowIndex(TrailerId(buffer));
    } else {
        Row row;
        row.Id = ++FNextId;
        switch (GetBookmarkFlag(buffer)) {
        case bfEOF: index = StoredCount(); break;
        case bfBOF: index = 0; break;
        default: index = std::max(0, RowIndex(TrailerId(buffer)));
        }
        FRows.insert(FRows.begin() + index, row);
        SetTrailerId(buffer, row.Id);
        SetBookmarkFlag(buffer, bfCurrent);
    }
    Row& row = FRows[index];
    row.Data.assign(buffer, buffer + FFieldAreaSize);
    for (auto& [fieldNo, text] : FPendingBlobs)
        row.Blobs[fieldNo] = text;
    FPendingBlobs.clear();
    FCursor = index;
}

void TMemDataSet::InternalCancel() { FPendingBlobs.clear(); }

void TMemDataSet::InternalDelete()
{
    Log.push_back("InternalDelete");
    int index = RowIndex(TrailerId(ActiveBuffer()));
    if (index < 0)
        DatabaseError(dbtext::RecordNotFound, this);
    FRows.erase(FRows.begin() + index);
    // The cursor stays where the next record now is (after the last when none).
    FCursor = index;
}

TRecordBuffer TMemDataSet::FieldBuffer() const
{
    switch (State()) {
    case dsCalcFields: return CalcBuffer();
    case dsFilter: return FFilterBuffer;
    default: return BufferedRecordCount() > 0 ? ActiveBuffer() : nullptr;
    }
}

char* TMemDataSet::FieldSlot(TRecordBuffer Buffer, TField* Field) const
{
    if (Field->FieldKind() == fkData)
        return Buffer + FOffsets[Field->FieldNo() - 1];
    return Buffer + FFieldAreaSize + Field->Offset();
}

bool TMemDataSet::GetFieldData(TField* Field, void* Buffer)
{
    TRecordBuffer record = FieldBuffer();
    if (!FCursorOpen || !record)
        return false;
    const char* slot = FieldSlot(record, Field);
    if (slot[0] == 0)
        return false;
    if (Buffer)
        std::memcpy(Buffer, slot + 1, static_cast<size_t>(Field->DataSize()));
    return true;
}

void TMemDataSet::SetFieldData(TField* Field, const void* Buffer)
{
    if (!FCursorOpen)
        return;
    TRecordBuffer record = ActiveBuffer();
    if (Field->FieldKind() == fkData) {
        if (State() != dsEdit && State() != dsInsert)
            DatabaseError(dbtext::NotEditing, this);
        Field->Validate(Buffer);
    } else {
        record = CalcBuffer();
        if (!record)
            return;
    }
    char* slot = FieldSlot(record, Field);
    slot[0] = Buffer ? 1 : 0;
    if (Buffer)
        std::memcpy(slot + 1, Buffer, static_cast<size_t>(Field->DataSize()));
    else
        std::memset(slot + 1, 0, static_cast<size_t>(Field->DataSize()));
    if (State() != dsCalcFields && State() != dsFilter)
        DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

std::unique_ptr<TStream> TMemDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode)
{
    if (Mode != bmRead) {
        if (State() != dsEdit && State() != dsInsert)
            DatabaseError(dbtext::NotEditing, this);
        return std::make_unique<TMemBlobStream>(*this, Field);
    }
    auto stream = std::make_unique<TStringStream>();
    auto pending = FPendingBlobs.find(Field->FieldNo());
    if (pending != FPendingBlobs.end() && (State() == dsEdit || State() == dsInsert)) {
        stream->WriteString(pending->second);
    } else if (TRecordBuffer record = FieldBuffer()) {
        int index = RowIndex(TrailerId(record));
        if (index >= 0)
            stream->WriteString(FRows[index].Blobs[Field->FieldNo()]);
    }
    stream->SetPosition(0);
    return stream;
}

void TMemDataSet::AddRows(const std::vector<std::vector<String>>& Rows)
{
    // Each row goes through the fields in a scratch insert, straight into storage.
    for (const auto& texts : Rows) {
        Insert();
        for (size_t i = 0; i < texts.size() && i < FColumns.size(); ++i)
            FieldByName(FColumns[i].Name)->SetAsString(texts[i]);
        SetBookmarkFlag(ActiveBuffer(), bfEOF);
        Post();
    }
    First();
    Log.clear();
}
