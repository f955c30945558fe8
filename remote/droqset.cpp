#include "remote/droqset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "remote/wire.h"
#include "tables/datapath.h"
#include "tables/droenv.h"
#include "tables/droerror.h"
#include "tables/drosearch.h"

namespace {

constexpr int MaxFields = 256;
// The largest record image a result may have (a table record is at most 64 KiB;
// a result's native layout is larger, but not by this much).
constexpr Int64 MaxImageSize = Int64(1) << 20;

// The field types a result may carry, and whether they live in the record image.
bool KnownType(Integer Type)
{
    switch (Type) {
    case ftString:
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo: return true;
    default: return false;
    }
}

[[noreturn]] void QueryError(const String& Message) { throw EDaroruQueryError(Message); }

// Reads exactly Count bytes, or raises "Error while reading stream".
String Take(TStream& Stream, Int64 Count)
{
    if (Count < 0 || Stream.Size() - Stream.Position() < Count)
        QueryError("Error while reading stream");
    String bytes(static_cast<size_t>(Count), '\0');
    Stream.ReadBuffer(bytes.data(), Count);
    return bytes;
}

Integer HexOf(const String& Text)
{
    try {
        return Wire::ParseHex(Trim(Text));
    } catch (const std::exception&) {
        QueryError("Error while reading stream");
    }
}

}  // namespace

// A memo or blob of the active record: the value written in memory, else the
// result's; a stream opened for writing gives its bytes to the record when freed.
class TDaroruQueryBlobStream : public TMemoryStream {
public:
    TDaroruQueryBlobStream(TDaroruQuery& Query, TField* Field, TBlobStreamMode Mode)
        : FQuery(Query), FField(Field), FMode(Mode)
    {
        if (Mode == bmWrite)
            return;
        String value;
        if (!Query.StoredBlob(Field, value))
            value = Query.ReadBlobData(Field);
        WriteBuffer(value.data(), Int64(value.size()));
        SetPosition(0);
    }
    ~TDaroruQueryBlobStream() override
    {
        if (FMode == bmRead)
            return;
        FQuery.FPendingBlobs[FField->FieldNo()] =
                String(reinterpret_cast<const char*>(Memory()), static_cast<size_t>(Size()));
        FQuery.NullFlags(FQuery.ActiveBuffer())[FField->FieldNo() - 1] = Size() == 0;
        FQuery.DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(FField));
    }

private:
    TDaroruQuery& FQuery;
    TField* FField;
    TBlobStreamMode FMode;
};

TDaroruQuery::TDaroruQuery(TComponent* AOwner) : TDataSet(AOwner) { }

TDaroruQuery::~TDaroruQuery()
{
    Close();
    if (FConnection && FExecHandle)
        UnPrepare();
    SetDaroruConnection(nullptr);
}

bool TDaroruQuery::InheritsFrom(const String& name) const
{
    return SameText(name, "TDaroruQuery") || TDataSet::InheritsFrom(name);
}

void TDaroruQuery::Loaded()
{
    if (FConnection)
        FConnection->SetDatabaseName(FDatabaseName);
    TDataSet::Loaded();
}

void TDaroruQuery::Notification(TComponent* AComponent, TOperation Operation)
{
    TDataSet::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FConnection) {
        FConnection = nullptr;
        FHandle = FExecHandle = 0;
    }
    if (AComponent == FDatabase)
        FDatabase = nullptr;
}

void TDaroruQuery::SetDaroruConnection(TDaroruServerConnection* Value)
{
    SetConnectionReference(this, FConnection, Value);
}

void TDaroruQuery::SetAccessMethod(TAccessMethod Value)
{
    if (Value == FAccessMethod)
        return;
    if (Active())
        throw EDaroruError(drotext::AccessWhileActive);
    FAccessMethod = Value;
}

void TDaroruQuery::SetDatabaseName(const String& Value)
{
    FDatabaseName = Value;
    FDatabase = nullptr;
    if (!FConnection)
        return;
    FConnection->SetDatabaseName(Value);
    if (FAccessMethod == amLocal)
        FConnection->SetDataPath(PathFromAlias());
}

void TDaroruQuery::SetSQL(const TStrings& Lines)
{
    Close();
    FSQL.Assign(Lines);
}

void TDaroruQuery::SetSQLText(const String& Text)
{
    Close();
    FSQL.SetText(Text);
}

String TDaroruQuery::Version() const { return "DaroruQuery 5.1.3.0, " + DateToStr(EncodeDate(2000, 5, 15)); }

TDaroruServerConnection& TDaroruQuery::Connection()
{
    if (!FConnection)
        throw EDaroruError(drotext::NoConnection);
    return *FConnection;
}

TDaroruDatabase* TDaroruQuery::GetDatabase()
{
    if (FDatabase)
        return FDatabase;
    FDatabase = FindDatabaseByAlias(FDatabaseName);
    if (FDatabase)
        FDatabase->FreeNotification(this);
    return FDatabase;
}

String TDaroruQuery::PathFromAlias()
{
    FDataPath = ResolveDataPath(FDatabaseName, [this] { return GetDatabase(); });
    return FDataPath;
}

void TDaroruQuery::SetToDaroruEnv()
{
    TDaroruSearchObject search;
    if (auto* env = dynamic_cast<TDaroruEnv*>(search.SearchFirstComponent("TDaroruEnv"))) {
        FCentury = env->Century();
        FDateFormat = env->DateFormat();
        FDeleted = env->Deleted();
        FMemoBlockSize = env->MemoBlockSize();
    }
}

// ---- opening and closing

void TDaroruQuery::InternalOpen()
{
    FResultCount = FFieldCount = FImageSize = 0;
    FHandle = 0;
    if (Trim(FSQL.Text()).empty())
        QueryError("No SQL statement available");
    TDaroruServerConnection& connection = Connection();
    if (FAccessMethod == amServer && !connection.Connected())
        throw EDaroruError("Not connected");
    InternalInitFieldDefs();
    if (!FHandle)
        return;
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    FCursorOpen = true;
    FCurrent = 0;
    SetBookmarkSize(sizeof(Integer));
    FRecordSize = FImageSize + TrailerSize + FFieldCount + CalcFieldsSize();
    // The count is the server's word: a list it would take more than a gigabyte to
    // keep is refused before anything is allocated.
    constexpr size_t MaxRows = (size_t(1) << 30) / sizeof(TRow);
    const size_t rows = Fields().Count() ? size_t(std::max(FResultCount, 0)) : 0;
    if (rows > MaxRows)
        QueryError("Out of memory while expanding dynamic array");
    try {
        FRows.assign(rows, TRow {});
    } catch (const std::bad_alloc&) {
        QueryError("Out of memory while expanding dynamic array");
    }
    for (int i = 0; i < RowCount(); ++i)
        FRows[size_t(i)].ResultRow = i + 1;
}

void TDaroruQuery::OpenTable()
{
    if (FTableNames.Count() == 0)
        QueryError("No TableNames have been defined");
    TDaroruServerConnection& connection = Connection();
    if (FAccessMethod == amLocal) {
        if (!LoadSQLDLL())
            QueryError(SqlLoadFailureText);
        connection.SetDatabaseName(FDatabaseName);
        connection.SetDataPath(PathFromAlias());
    }
    SetToDaroruEnv();
    int code = 0;
    String message;
    FHandle = connection.ap_sql_Prepare(FAccessMethod, FDatabaseName, FTableNames, FCentury, FDateFormat,
                                        FDeleted, FMemoBlockSize, FParams, FReadOnly, FTableType, code,
                                        message);
    if (FHandle < 1) {
        FHandle = 0;
        QueryError(message);
    }
    int error = 0;
    message.clear();
    connection.ap_sql_OpenSQL(FAccessMethod, SmallInt(FHandle), FSQL.Text(), error, FResultCount, FImageSize,
                              FFieldCount, message);
    if (error > 0 || FResultCount < 0 || FImageSize < 0 || FImageSize > MaxImageSize || FFieldCount < 0 ||
        FFieldCount > MaxFields) {
        connection.ap_sql_UnPrepare(FAccessMethod, SmallInt(FHandle));
        FHandle = 0;
        QueryError("Unable to execute SQL statement:\r\r" + (message.empty() ? FSQL.Text() : message));
    }
}

void TDaroruQuery::InternalInitFieldDefs()
{
    if (!FHandle)
        OpenTable();
    if (!FHandle)
        return;
    TStream* stream = Connection().ap_sql_GetStructure(FAccessMethod, SmallInt(FHandle));
    TStringList lines;
    if (stream) {
        stream->SetPosition(0);
        lines.SetText(Take(*stream, stream->Size()));
    }
    FieldDefs()->Clear();
    FOffsets.clear();
    const int fields = std::min(lines.Count() / 5, MaxFields);
    for (int i = 0; i < fields; ++i) {
        const String name = Trim(lines[i * 5]);
        const Integer type = HexOf(lines[i * 5 + 1]);
        const Integer size = HexOf(lines[i * 5 + 2]);
        const Integer offset = HexOf(lines[i * 5 + 3]);
        // The field must lie inside the record image: summed in 64 bits, so that
        // no offset near the top of the 32-bit range wraps round to pass.
        if (!KnownType(type) || size < 0 || size > 65535 || offset < 0 ||
            Int64(offset) + Int64(NativeDataSize(TFieldType(type), size)) > Int64(FImageSize))
            QueryError("Error while reading stream");
        FieldDefs()->Add(name, TFieldType(type), type == ftString ? size : 0, false);
        FOffsets.push_back(offset);
    }
    FFieldCount = fields;
}

void TDaroruQuery::InternalClose()
{
    if (FHandle && FConnection) {
        FConnection->ap_sql_CloseSQL(FAccessMethod, SmallInt(FHandle));
        FConnection->ap_sql_UnPrepare(FAccessMethod, SmallInt(FHandle));
    }
    FHandle = 0;
    FRows.clear();
    FPendingBlobs.clear();
    FCursorOpen = false;
    BindFields(false);
    if (DefaultFields())
        DestroyFields();
}

// ---- statements without a result

void TDaroruQuery::Prepare()
{
    if (!FConnection || (FAccessMethod == amServer && !FConnection->Connected()))
        return;
    SetToDaroruEnv();
    int code = 0;
    String message;
    FExecHandle = FConnection->ap_sql_Prepare(FAccessMethod, FDatabaseName, FTableNames, FCentury,
                                              FDateFormat, FDeleted, FMemoBlockSize, FParams, FReadOnly,
                                              FTableType, code, message);
    if (FExecHandle < 1) {
        FExecHandle = 0;
        QueryError(message);
    }
}

void TDaroruQuery::UnPrepare()
{
    if (FExecHandle && FConnection)
        FConnection->ap_sql_UnPrepare(FAccessMethod, SmallInt(FExecHandle));
    FExecHandle = 0;
}

void TDaroruQuery::ExecSQL()
{
    if (FAccessMethod == amLocal && FConnection) {
        FConnection->SetDatabaseName(FDatabaseName);
        FConnection->SetDataPath(PathFromAlias());
    }
    const bool prepared = FExecHandle != 0;
    if (!prepared)
        Prepare();
    if (!FExecHandle)
        return;
    int code = 0;
    String message;
    FConnection->ap_sql_ExecSQL(FAccessMethod, SmallInt(FExecHandle), FSQL.Text(), code, message);
    if (!prepared)
        UnPrepare();
    if (code > 0)
        QueryError("Unable to execute SQL statement:\r\r" + (message.empty() ? FSQL.Text() : message));
}

// ---- rows

void TDaroruQuery::FetchRecord(int Row)
{
    if (Row < 1 || Row > RowCount() || FRows[size_t(Row - 1)].Fetched)
        return;
    const int first = FRows[size_t(Row - 1)].ResultRow;
    TStream* stream =
            Connection().ap_sql_GetRecord(FAccessMethod, SmallInt(FHandle), first, FFetchCount, FResultCount);
    if (!stream || stream->Size() == 0)
        QueryError("NIL stream");
    stream->SetPosition(0);
    const Integer count = HexOf(Take(*stream, 8));
    if (count < 0 || count > FResultCount - first + 1)
        QueryError("Error while reading stream");
    int at = Row - 1;
    for (Integer i = 0; i < count; ++i) {
        HexOf(Take(*stream, 8));
        String image = Take(*stream, FImageSize);
        while (at < RowCount() && FRows[size_t(at)].ResultRow != first + i &&
               (FRows[size_t(at)].ResultRow == 0 || FRows[size_t(at)].ResultRow < first + i))
            ++at;
        if (at >= RowCount() || FRows[size_t(at)].ResultRow != first + i)
            continue;
        TRow& row = FRows[size_t(at)];
        if (!row.Fetched) {
            row.Image = std::move(image);
            row.Nulls.assign(size_t(FFieldCount), 0);
            row.Fetched = true;
        }
    }
    if (!FRows[size_t(Row - 1)].Fetched)
        QueryError("Error while reading stream");
}

void TDaroruQuery::FetchAll()
{
    CheckActive();
    for (int row = 1; row <= RowCount(); ++row)
        FetchRecord(row);
}

void TDaroruQuery::EmptyTable()
{
    FRows.clear();
    FCurrent = 0;
    if (Active())
        Resync({});
}

// ---- record buffers

TRecordBuffer TDaroruQuery::AllocRecordBuffer()
{
    auto* buffer = new char[size_t(FRecordSize)];
    std::memset(buffer, 0, size_t(FRecordSize));
    return buffer;
}

void TDaroruQuery::FreeRecordBuffer(TRecordBuffer& Buffer)
{
    delete[] Buffer;
    Buffer = nullptr;
}

int TDaroruQuery::TrailerRow(TRecordBuffer Buffer, int Which) const
{
    Integer row;
    std::memcpy(&row, Buffer + FImageSize + Which * 4, sizeof row);
    return row;
}

void TDaroruQuery::SetTrailerRow(TRecordBuffer Buffer, int Which, int Row) const
{
    const Integer row = Row;
    std::memcpy(Buffer + FImageSize + Which * 4, &row, sizeof row);
}

TBookmarkFlag TDaroruQuery::GetBookmarkFlag(TRecordBuffer Buffer)
{
    return static_cast<TBookmarkFlag>(Buffer[FImageSize + 8]);
}

void TDaroruQuery::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value)
{
    Buffer[FImageSize + 8] = static_cast<char>(Value);
}

void TDaroruQuery::GetBookmarkData(TRecordBuffer Buffer, void* Data)
{
    const Integer row = TrailerRow(Buffer, 0);
    std::memcpy(Data, &row, sizeof row);
}

void TDaroruQuery::SetBookmarkData(TRecordBuffer Buffer, const void* Data)
{
    Integer row;
    std::memcpy(&row, Data, sizeof row);
    SetTrailerRow(Buffer, 0, row);
}

void TDaroruQuery::InternalInitRecord(TRecordBuffer Buffer)
{
    std::memset(Buffer, 0, size_t(FRecordSize));
    std::memset(NullFlags(Buffer), 1, size_t(FFieldCount));
    SetTrailerRow(Buffer, 1, FCurrent);
    FPendingBlobs.clear();
}

void TDaroruQuery::ClearCalcFields(TRecordBuffer Buffer)
{
    std::memset(Buffer + FImageSize + TrailerSize + FFieldCount, 0, size_t(CalcFieldsSize()));
}

bool TDaroruQuery::RowAccepted(TRecordBuffer Buffer)
{
    if (!Filtered() || !OnFilterRecord)
        return true;
    bool accept = true;
    const TDataSetState saved = SetTempState(dsFilter);
    FFilterBuffer = Buffer;
    const ScopeExit restore([&] {
        FFilterBuffer = nullptr;
        RestoreState(saved);
    });
    OnFilterRecord(this, accept);
    return accept;
}

bool TDaroruQuery::ReadRow(int Row, TRecordBuffer Buffer)
{
    FetchRecord(Row);
    const TRow& row = FRows[size_t(Row - 1)];
    std::memcpy(Buffer, row.Image.data(), std::min(row.Image.size(), size_t(FImageSize)));
    if (!row.Nulls.empty())  // a result of no fields has no flags
        std::memcpy(NullFlags(Buffer), row.Nulls.data(), std::min(row.Nulls.size(), size_t(FFieldCount)));
    SetTrailerRow(Buffer, 0, Row);
    SetTrailerRow(Buffer, 1, Row);
    SetBookmarkFlag(Buffer, bfCurrent);
    GetCalcFields(Buffer);
    return RowAccepted(Buffer);
}

TGetResult TDaroruQuery::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool /*DoCheck*/)
{
    for (;;) {
        if (GetMode == gmNext) {
            if (FCurrent >= RowCount()) {
                FCurrent = RowCount() + 1;
                return grEOF;
            }
            ++FCurrent;
        } else if (GetMode == gmPrior) {
            if (FCurrent <= 1) {
                FCurrent = 0;
                return grBOF;
            }
            --FCurrent;
        } else if (FCurrent < 1 || FCurrent > RowCount()) {
            return FCurrent < 1 ? grBOF : grEOF;
        }
        if (ReadRow(FCurrent, Buffer))
            return grOK;
        if (GetMode == gmCurrent)
            return grError;
    }
}

void TDaroruQuery::InternalSetToRecord(TRecordBuffer Buffer)
{
    switch (GetBookmarkFlag(Buffer)) {
    case bfEOF: FCurrent = RowCount() + 1; break;
    case bfBOF: FCurrent = 0; break;
    default: FCurrent = TrailerRow(Buffer, 1);
    }
}

void TDaroruQuery::InternalGotoBookmark(const void* Bookmark)
{
    Integer row;
    std::memcpy(&row, Bookmark, sizeof row);
    if (row >= 1 && row <= RowCount()) {
        FCurrent = row;
        FetchRecord(row);
    }
}

int TDaroruQuery::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2)
{
    if (Bookmark1.empty() || Bookmark2.empty())
        return Bookmark1.empty() && Bookmark2.empty() ? 0 : (Bookmark1.empty() ? -1 : 1);
    Integer row1, row2;
    std::memcpy(&row1, Bookmark1.data(), sizeof row1);
    std::memcpy(&row2, Bookmark2.data(), sizeof row2);
    return row1 < row2 ? -1 : (row1 > row2 ? 1 : 0);
}

bool TDaroruQuery::BookmarkValid(const TBookmark& Bookmark)
{
    if (Bookmark.size() != sizeof(Integer))
        return false;
    Integer row;
    std::memcpy(&row, Bookmark.data(), sizeof row);
    return row >= 1 && row <= RowCount();
}

// ---- counting

int TDaroruQuery::GetRecordCount()
{
    if (!FiltersRows())
        return RowCount();
    std::unique_ptr<char[]> scratch(new char[size_t(FRecordSize)]());
    int count = 0;
    for (int row = 1; row <= RowCount(); ++row)
        count += ReadRow(row, scratch.get());
    return count;
}

int TDaroruQuery::GetRecNo()
{
    if (BufferedRecordCount() == 0)
        return 0;
    const int current = TrailerRow(ActiveBuffer(), 0);
    if (!FiltersRows())
        return current;
    std::unique_ptr<char[]> scratch(new char[size_t(FRecordSize)]());
    int number = 0;
    for (int row = 1; row <= current && row <= RowCount(); ++row)
        number += ReadRow(row, scratch.get());
    return number;
}

void TDaroruQuery::SetRecNo(int Value)
{
    CheckBrowseMode();
    int target = std::clamp(Value, 1, std::max(1, RowCount()));
    if (FiltersRows()) {
        std::unique_ptr<char[]> scratch(new char[size_t(FRecordSize)]());
        int accepted = 0;
        for (int row = 1; row <= RowCount(); ++row)
            if (ReadRow(row, scratch.get()) && ++accepted == Value) {
                target = row;
                break;
            }
        if (accepted < Value)
            return;
    }
    DoBeforeScroll();
    FCurrent = target;
    Resync({rmCenter});
    DoAfterScroll();
}

// ---- editing

void TDaroruQuery::InternalPost()
{
    TRecordBuffer buffer = ActiveBuffer();
    int index;
    if (State() == dsEdit) {
        index = TrailerRow(buffer, 0);
    } else {
        index = TrailerRow(buffer, 1);
        if (GetBookmarkFlag(buffer) == bfEOF || index > RowCount() || index < 0)
            index = RowCount() + 1;
        index = std::max(index, 1);
        TRow row;
        row.Fetched = true;
        FRows.insert(FRows.begin() + (index - 1), std::move(row));
        SetBookmarkFlag(buffer, bfCurrent);
    }
    TRow& row = FRows[size_t(index - 1)];
    row.Image.assign(buffer, size_t(FImageSize));
    row.Nulls.assign(NullFlags(buffer), NullFlags(buffer) + FFieldCount);
    for (auto& [field, value] : FPendingBlobs)
        row.Blobs[field] = value;
    FPendingBlobs.clear();
    SetTrailerRow(buffer, 0, index);
    SetTrailerRow(buffer, 1, index);
    FCurrent = index;
}

void TDaroruQuery::InternalDelete()
{
    const int index = TrailerRow(ActiveBuffer(), 0);
    if (index < 1 || index > RowCount())
        DatabaseError(dbtext::RecordNotFound, this);
    FRows.erase(FRows.begin() + (index - 1));
    FCurrent = index;
}

// ---- fields

TRecordBuffer TDaroruQuery::FieldBuffer() const
{
    switch (State()) {
    case dsCalcFields: return CalcBuffer();
    case dsFilter: return FFilterBuffer;
    default: return BufferedRecordCount() > 0 || State() == dsInsert ? ActiveBuffer() : nullptr;
    }
}

bool TDaroruQuery::GetFieldData(TField* Field, void* Buffer)
{
    if (!FCursorOpen)
        throw EDaroruError(drotext::ClosedTable);
    TRecordBuffer record = FieldBuffer();
    if (!record)
        return false;
    if (Field->FieldKind() != fkData) {
        const char* slot = record + FImageSize + TrailerSize + FFieldCount + Field->Offset();
        if (slot[0] == 0)
            return false;
        if (Buffer)
            std::memcpy(Buffer, slot + 1, size_t(Field->DataSize()));
        return true;
    }
    const int number = Field->FieldNo();
    if (number < 1 || number > FFieldCount || NullFlags(record)[number - 1])
        return false;
    if (Buffer)
        std::memcpy(Buffer, record + FOffsets[size_t(number - 1)], size_t(Field->DataSize()));
    return true;
}

void TDaroruQuery::SetFieldData(TField* Field, const void* Buffer)
{
    if (!FCursorOpen)
        throw EDaroruError(drotext::ClosedTable);
    char* slot;
    char* nullFlag;
    char calcFlag = 0;
    if (Field->FieldKind() == fkData) {
        if (State() != dsEdit && State() != dsInsert)
            DatabaseError(dbtext::NotEditing, this);
        Field->Validate(Buffer);
        const int number = Field->FieldNo();
        if (number < 1 || number > FFieldCount)
            return;
        slot = ActiveBuffer() + FOffsets[size_t(number - 1)];
        nullFlag = NullFlags(ActiveBuffer()) + (number - 1);
        *nullFlag = Buffer ? 0 : 1;
    } else {
        TRecordBuffer record = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
        if (!record)
            return;
        char* at = record + FImageSize + TrailerSize + FFieldCount + Field->Offset();
        at[0] = Buffer ? 1 : 0;
        slot = at + 1;
        nullFlag = &calcFlag;
    }
    if (Buffer)
        std::memcpy(slot, Buffer, size_t(Field->DataSize()));
    else
        std::memset(slot, 0, size_t(Field->DataSize()));
    if (State() != dsCalcFields && State() != dsFilter)
        DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

bool TDaroruQuery::StoredBlob(TField* Field, String& Value)
{
    if (State() == dsEdit || State() == dsInsert) {
        auto pending = FPendingBlobs.find(Field->FieldNo());
        if (pending != FPendingBlobs.end()) {
            Value = pending->second;
            return true;
        }
    }
    TRecordBuffer record = FieldBuffer();
    if (!record || State() == dsInsert)
        return State() == dsInsert;
    const int row = TrailerRow(record, 0);
    if (row < 1 || row > RowCount())
        return true;
    const TRow& stored = FRows[size_t(row - 1)];
    auto blob = stored.Blobs.find(Field->FieldNo());
    if (blob != stored.Blobs.end()) {
        Value = blob->second;
        return true;
    }
    return stored.ResultRow == 0;
}

String TDaroruQuery::ReadBlobData(TField* Field)
{
    TRecordBuffer record = FieldBuffer();
    const int row = record ? TrailerRow(record, 0) : 0;
    if (row < 1 || row > RowCount() || !FConnection)
        return String();
    TStream* stream = FConnection->ap_sql_ReadBlobData(FAccessMethod, FHandle, Field->FieldNo() - 1,
                                                       FRows[size_t(row - 1)].ResultRow);
    if (!stream)
        return String();
    stream->SetPosition(0);
    return Take(*stream, stream->Size());
}

std::unique_ptr<TStream> TDaroruQuery::CreateBlobStream(TField* Field, TBlobStreamMode Mode)
{
    if (Mode != bmRead && State() != dsEdit && State() != dsInsert)
        DatabaseError(dbtext::NotEditing, this);
    return std::make_unique<TDaroruQueryBlobStream>(*this, Field, Mode);
}

// ---- searching

bool TDaroruQuery::FieldMatches(TField* Field, const Variant& Key, TLocateOptions Options) const
{
    if (Field->DataType() == ftString || Field->DataType() == ftMemo) {
        String text = Field->AsString();
        String key = VarToStr(Key);
        if (!Options.Contains(loPartialKey) && text.size() != key.size())
            return false;
        if (Options.Contains(loCaseInsensitive)) {
            text = UpperCase(text);
            key = UpperCase(key);
        }
        return text.compare(0, key.size(), key) == 0 && text.size() >= key.size();
    }
    if (Field->IsNull() || VarIsClear(Key))
        return Field->IsNull() && VarIsClear(Key);
    try {
        return Field->AsFloat() == Key.AsFloat();
    } catch (const std::exception&) {
        return Field->AsString() == Key.AsString();
    }
}

bool TDaroruQuery::Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options)
{
    CheckBrowseMode();
    const int saved = RecNo();
    const std::vector<TField*> fields = GetFieldList(KeyFields);
    DisableControls();
    bool found = false;
    try {
        First();
        while (!Eof() && !found) {
            found = true;
            for (size_t i = 0; i < fields.size() && found; ++i)
                found = FieldMatches(
                        fields[i], fields.size() == 1 || !KeyValues.IsArray() ? KeyValues : KeyValues[int(i)],
                        Options);
            if (!found)
                Next();
        }
        if (!found && saved > 0)
            SetRecNo(saved);
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
    return found;
}

bool TDaroruQuery::FindRecord(bool Restart, bool GoForward)
{
    CheckBrowseMode();
    DoBeforeScroll();
    UpdateCursorPos();
    if (Restart)
        FCurrent = GoForward ? 0 : RowCount() + 1;
    std::unique_ptr<char[]> scratch(new char[size_t(FRecordSize)]());
    const bool found = GetRecord(scratch.get(), GoForward ? gmNext : gmPrior, false) == grOK;
    if (found) {
        Resync({rmExact, rmCenter});
        DoAfterScroll();
    }
    return found;
}
