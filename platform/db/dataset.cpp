#include "platform/db/dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/datalink.h"
#include "platform/db/datasource.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner), FFieldDefs(this) { }

TDataSet::~TDataSet()
{
    // A descendant closes in its own destructor (or through Free): the record buffers
    // are its own and cannot be freed from here. One that did not leaks them rather than
    // calling into its destroyed part.
    FState = dsInactive;
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources))
        source->SetDataSet(nullptr);
    DestroyFields();
}

bool TDataSet::InheritsFrom(const String& name) const
{
    return SameText(name, "TDataSet") || TComponent::InheritsFrom(name);
}

void TDataSet::BeforeDestruction()
{
    Destroying();
    Close();
    TComponent::BeforeDestruction();
}

void TDataSet::Loaded()
{
    TComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        Open();
    }
}

// ---- opening and closing

void TDataSet::SetActive(bool Value)
{
    if (ComponentState().Contains(csLoading)) {
        FStreamedActive = Value;
        return;
    }
    if (Value == Active())
        return;
    bool destroying = ComponentState().Contains(csDestroying);
    if (Value) {
        DoBeforeOpen();
        OpenCursor();
        if (!Active())
            return;
        DoAfterOpen();
        if (!IsEmpty())
            DoAfterScroll();
    } else {
        if (!destroying)
            DoBeforeClose();
        // A pending edit or insert is dropped with the cursor.
        if (FState == dsEdit || FState == dsInsert)
            InternalCancel();
        SetState(dsInactive);
        CloseCursor();
        if (!destroying)
            DoAfterClose();
    }
}

void TDataSet::OpenCursor()
{
    FDefaultFields = FieldCount() == 0;
    try {
        InternalOpen();
        if (!IsCursorOpen()) {
            // The descendant gave up without an error: the open ends quietly.
            if (FDefaultFields)
                DestroyFields();
            return;
        }
        FBOF = true;
        FEOF = false;
        UpdateBufferCount();
        ActivateBuffers();
    } catch (...) {
        CloseCursor();
        throw;
    }
    SetState(dsBrowse);
}

void TDataSet::CloseCursor()
{
    FCalcBuffer = nullptr;
    SetBufListSize(0);
    FBufferCount = 0;
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    if (IsCursorOpen())
        InternalClose();
    if (FDefaultFields)
        DestroyFields();
    FDefaultFields = false;
    FBOF = true;
    FEOF = true;
}

// Fills the window from the cursor, which the descendant left before the first record.
void TDataSet::ActivateBuffers()
{
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    if (GetNextRecord())
        GetNextRecords();
    FEOF = FRecordCount == 0;
}

// ---- fields

TField* TDataSet::FieldByName(const String& FieldName) const
{
    TField* field = FindField(FieldName);
    if (!field)
        DatabaseError(dbtext::FieldNotFound(FieldName), this);
    return field;
}

std::vector<TField*> TDataSet::GetFieldList(const String& FieldNames) const
{
    std::vector<TField*> list;
    size_t start = 0;
    while (start <= FieldNames.size()) {
        size_t end = FieldNames.find(';', start);
        if (end == String::npos)
            end = FieldNames.size();
        String name = Trim(FieldNames.substr(start, end - start));
        if (!name.empty())
            list.push_back(FieldByName(name));
        start = end + 1;
    }
    return list;
}

void TDataSet::AddField(TField* Field)
{
    FFields.Add(Field);
    Field->FDataSet = this;
}

void TDataSet::RemoveField(TField* Field)
{
    FFields.Remove(Field);
    Field->FDataSet = nullptr;
}

void TDataSet::MoveField(TField* Field, int Index)
{
    if (FFields.Move(Field, Index) && Active())
        DataEvent(deLayoutChange);
}

void TDataSet::CreateFields()
{
    for (int i = 0; i < FFieldDefs.Count(); ++i) {
        TFieldDef* def = FFieldDefs[i];
        if (!FindField(def->Name()))
            def->CreateField(this, this);
    }
}

void TDataSet::DestroyFields()
{
    for (TField* field : std::vector<TField*>(FFields.begin(), FFields.end()))
        delete field;
}

void TDataSet::BindFields(bool Binding)
{
    FCalcFieldsSize = 0;
    for (TField* field : FFields) {
        if (!Binding) {
            field->FOffset = 0;
            continue;
        }
        if (field->FieldKind() == fkData) {
            TFieldDef* def = FFieldDefs.FindDef(field->FieldName());
            if (!def)
                DatabaseError(dbtext::FieldNotFound(field->FieldName()), this);
            field->FFieldNo = def->FieldNo();
        } else {
            // Calculated fields lie in the calculated-field area: a null flag, then the value.
            field->FFieldNo = 0;
            field->FOffset = FCalcFieldsSize;
            FCalcFieldsSize += field->DataSize() + 1;
        }
    }
}

void TDataSet::InitFieldDefs()
{
    InternalInitFieldDefs();
    FFieldDefs.SetUpdated(true);
}

// ---- states

void TDataSet::SetState(TDataSetState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    FModified = false;
    DataEvent(deUpdateState);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value)
{
    TDataSetState old = FState;
    FState = Value;
    return old;
}

void TDataSet::RestoreState(TDataSetState Value) { FState = Value; }

void TDataSet::CheckActive() const
{
    if (!Active())
        DatabaseError(dbtext::DataSetClosed, this);
}

void TDataSet::CheckInactive() const
{
    if (Active())
        DatabaseError(dbtext::DataSetOpen, this);
}

void TDataSet::CheckCanModify() const
{
    if (!GetCanModify())
        DatabaseError(dbtext::DataSetReadOnly, this);
}

// ---- the buffer window

void TDataSet::SetBufListSize(int Count)
{
    // Count window buffers and one spare.
    size_t wanted = Count > 0 ? static_cast<size_t>(Count) + 1 : 0;
    while (FBuffers.size() > wanted) {
        FreeRecordBuffer(FBuffers.back());
        FBuffers.pop_back();
    }
    while (FBuffers.size() < wanted)
        FBuffers.push_back(AllocRecordBuffer());
}

void TDataSet::UpdateBufferCount()
{
    int count = 1;
    for (TDataSource* source : FDataSources)
        for (TDataLink* link : source->FDataLinks)
            count = std::max(count, link->FBufferCount);
    SetBufferCount(count);
}

void TDataSet::SetBufferCount(int Value)
{
    if (Value == FBufferCount)
        return;
    bool grows = Value > FBufferCount;
    int oldRecordCount = FRecordCount;
    int dropped = 0;
    int above = 0;
    if (!grows) {
        // Keep the active record: drop records from the top when it would fall out.
        dropped = std::max(0, FActiveRecord - (Value - 1));
        if (dropped > 0) {
            std::rotate(FBuffers.begin(), FBuffers.begin() + dropped, FBuffers.end());
            FActiveRecord -= dropped;
            FRecordCount -= dropped;
            FCurrentRecord = FCurrentRecord >= dropped ? FCurrentRecord - dropped : -1;
        }
        FRecordCount = std::min(FRecordCount, Value);
        if (FCurrentRecord >= Value)
            FCurrentRecord = -1;
    }
    SetBufListSize(Value);
    FBufferCount = Value;
    if (grows && FState != dsInactive && FRecordCount > 0) {
        GetNextRecords();
        if (FRecordCount < FBufferCount)
            above = GetPriorRecords();
    }
    // The links keep their rows on the same records, and look again when the window changed.
    for (TDataSource* source : FDataSources)
        for (TDataLink* link : source->FDataLinks)
            link->BufferShifted(above - dropped);
    if (dropped > 0 || FRecordCount != oldRecordCount)
        DataEvent(deDataSetChange);
}

void TDataSet::SetCurrentRecord(int Index)
{
    if (FCurrentRecord == Index)
        return;
    InternalSetToRecord(FBuffers[Index]);
    FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos()
{
    if (FRecordCount > 0)
        SetCurrentRecord(FActiveRecord);
}

void TDataSet::ClearBuffers()
{
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = false;
    FEOF = false;
}

bool TDataSet::GetNextRecord()
{
    if (FRecordCount > 0)
        SetCurrentRecord(FRecordCount - 1);
    // A free buffer, or the spare when the window is full.
    TRecordBuffer buffer = FBuffers[FRecordCount];
    if (GetRecord(buffer, gmNext, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount == FBufferCount)
        std::rotate(FBuffers.begin(), FBuffers.begin() + 1, FBuffers.begin() + FBufferCount + 1);
    else
        ++FRecordCount;
    FCurrentRecord = FRecordCount - 1;
    return true;
}

bool TDataSet::GetPriorRecord()
{
    if (FRecordCount > 0)
        SetCurrentRecord(0);
    TRecordBuffer buffer = FBuffers[FRecordCount];
    if (GetRecord(buffer, gmPrior, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    // The new record goes to the top; when the window is full its last one falls out.
    std::rotate(FBuffers.begin(), FBuffers.begin() + FRecordCount, FBuffers.begin() + FRecordCount + 1);
    if (FRecordCount < FBufferCount)
        ++FRecordCount;
    FCurrentRecord = 0;
    return true;
}

int TDataSet::GetNextRecords()
{
    int count = 0;
    while (FRecordCount < FBufferCount && GetNextRecord())
        ++count;
    return count;
}

int TDataSet::GetPriorRecords()
{
    int count = 0;
    while (FRecordCount < FBufferCount && GetPriorRecord()) {
        ++count;
        ++FActiveRecord;
    }
    return count;
}

// ---- navigation

TBookmark TDataSet::ScrollMark() const
{
    if (FRecordCount == 0)
        return {};
    return GetBookmark();
}

void TDataSet::FinishScroll(const TBookmark& Before, bool WasEmpty)
{
    bool changed;
    if (WasEmpty && IsEmpty())
        changed = false;
    else if (Before.empty() || FRecordCount == 0)
        changed = true;
    else
        changed = CompareBookmarks(Before, GetBookmark()) != 0;
    if (changed)
        DoAfterScroll();
}

void TDataSet::First() { MoveToEnd(false); }

void TDataSet::Last() { MoveToEnd(true); }

void TDataSet::MoveToEnd(bool Last)
{
    CheckBrowseMode();
    DoBeforeScroll();
    bool wasEmpty = IsEmpty();
    TBookmark before = ScrollMark();
    ClearBuffers();
    try {
        if (Last) {
            InternalLast();
            if (GetPriorRecord())
                GetPriorRecords();
        } else {
            InternalFirst();
            if (GetNextRecord())
                GetNextRecords();
        }
    } catch (...) {
        (Last ? FEOF : FBOF) = true;
        DataEvent(deDataSetChange);
        throw;
    }
    FBOF = !Last || FRecordCount == 0;
    FEOF = Last || FRecordCount == 0;
    DataEvent(deDataSetChange);
    FinishScroll(before, wasEmpty);
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int Distance)
{
    CheckBrowseMode();
    int moved = 0;
    if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
        DoBeforeScroll();
        FBOF = false;
        FEOF = false;
        int oldRecordCount = FRecordCount;
        // How far the records moved inside the window: negative when they moved up.
        int shift = 0;
        try {
            for (; Distance > 0; --Distance) {
                if (FActiveRecord < FRecordCount - 1) {
                    ++FActiveRecord;
                } else {
                    bool full = FRecordCount == FBufferCount;
                    if (!GetNextRecord()) {
                        FEOF = true;
                        break;
                    }
                    if (full)
                        --shift;
                    else
                        ++FActiveRecord;
                }
                ++moved;
            }
            for (; Distance < 0; ++Distance) {
                if (FActiveRecord > 0) {
                    --FActiveRecord;
                } else {
                    if (!GetPriorRecord()) {
                        FBOF = true;
                        break;
                    }
                    ++shift;
                }
                --moved;
            }
        } catch (...) {
            DataEvent(deDataSetChange);
            throw;
        }
        if (FRecordCount != oldRecordCount)
            DataEvent(deDataSetChange);
        else
            DataEvent(deDataSetScroll, shift);
        if (moved != 0)
            DoAfterScroll();
    }
    return moved;
}

void TDataSet::Resync(TResyncMode Mode)
{
    if (FBufferCount == 0)
        return;
    TRecordBuffer spare = FBuffers[FBufferCount];
    if (Mode.Contains(rmExact)) {
        CursorPosChanged();
        if (GetRecord(spare, gmCurrent, true) != grOK)
            DatabaseError(dbtext::RecordNotFound, this);
    } else if (GetRecord(spare, gmCurrent, false) != grOK && GetRecord(spare, gmNext, false) != grOK &&
               GetRecord(spare, gmPrior, false) != grOK) {
        // Nothing left to show.
        ClearBuffers();
        FBOF = true;
        FEOF = true;
        DataEvent(deDataSetChange);
        return;
    }
    int above = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : std::min(FActiveRecord, FBufferCount - 1);
    std::swap(FBuffers[0], FBuffers[FBufferCount]);
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = false;
    FEOF = false;
    try {
        for (; above > 0 && GetPriorRecord(); --above)
            ++FActiveRecord;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange);
        throw;
    }
    DataEvent(deDataSetChange);
}

void TDataSet::SetRecNo(int /*Value*/) { }

// ---- editing

void TDataSet::InitRecord(TRecordBuffer Buffer)
{
    InternalInitRecord(Buffer);
    ClearCalcFields(Buffer);
    SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::BeginInsertAppend()
{
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend()
{
    SetState(dsInsert);
    try {
        DoAfterInsert();
        DoOnNewRecord();
    } catch (...) {
        // The new record is given up; the window shows the data as stored.
        SetState(dsBrowse);
        UpdateCursorPos();
        Resync({});
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::Insert()
{
    BeginInsertAppend();
    bool hadRecords = FRecordCount > 0;
    std::vector<Byte> neighbour(static_cast<size_t>(std::max(FBookmarkSize, 0)));
    if (hadRecords && FBookmarkSize > 0)
        GetBookmarkData(ActiveBuffer(), neighbour.data());
    // A buffer for the new record goes in at the active position; the records from
    // there move down and, in a full window, the last one falls out.
    std::rotate(FBuffers.begin() + FActiveRecord, FBuffers.begin() + FRecordCount,
                FBuffers.begin() + FRecordCount + 1);
    if (FRecordCount < FBufferCount)
        ++FRecordCount;
    CursorPosChanged();
    TRecordBuffer buffer = ActiveBuffer();
    InitRecord(buffer);
    if (!hadRecords)
        SetBookmarkFlag(buffer, bfBOF);
    else if (FBookmarkSize > 0)
        SetBookmarkData(buffer, neighbour.data());
    FBOF = false;
    FEOF = false;
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append()
{
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer buffer = FBuffers[0];
    InitRecord(buffer);
    SetBookmarkFlag(buffer, bfEOF);
    FRecordCount = 1;
    InternalLast();
    // The cursor stands after the last record, where the new one is.
    FCurrentRecord = 0;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Edit()
{
    if (FState == dsEdit || FState == dsInsert)
        return;
    CheckActive();
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    if (!CheckOperation(
                [this] {
                    UpdateCursorPos();
                    InternalEdit();
                },
                OnEditError))
        return;
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange);
    DoAfterEdit();
}

void TDataSet::CheckRequiredFields()
{
    for (TField* field : FFields)
        if (field->Required() && !field->ReadOnly() && field->FieldKind() == fkData && field->IsNull()) {
            field->FocusControl();
            DatabaseError(dbtext::FieldRequired(field->DisplayName()), this);
        }
}

void TDataSet::Post()
{
    UpdateRecord();
    DataEvent(deCheckBrowseMode);
    DoBeforePost();
    CheckRequiredFields();
    RefreshInternalCalcFields(ActiveBuffer());
    if (FState == dsEdit)
        UpdateCursorPos();
    if (!CheckOperation([this] { InternalPost(); }, OnPostError))
        return;
    SetState(dsBrowse);
    Resync({});
    DoAfterPost();
}

void TDataSet::Cancel()
{
    if (FState != dsEdit && FState != dsInsert)
        return;
    DataEvent(deCheckBrowseMode);
    DoBeforeCancel();
    UpdateCursorPos();
    InternalCancel();
    SetState(dsBrowse);
    Resync({});
    DoAfterCancel();
}

void TDataSet::Delete()
{
    CheckActive();
    if (FState == dsInsert) {
        Cancel();
        return;
    }
    if (FRecordCount == 0)
        DatabaseError(dbtext::DataSetEmpty, this);
    DataEvent(deCheckBrowseMode);
    DoBeforeDelete();
    DoBeforeScroll();
    if (!CheckOperation(
                [this] {
                    UpdateCursorPos();
                    InternalDelete();
                },
                OnDeleteError))
        return;
    SetState(dsBrowse);
    Resync({});
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(deCheckBrowseMode);
    if (FState == dsEdit || FState == dsInsert) {
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::UpdateRecord()
{
    if (FState != dsEdit && FState != dsInsert && FState != dsSetKey)
        DatabaseError(dbtext::NotEditing, this);
    DataEvent(deUpdateRecord);
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync({});
}

bool TDataSet::CheckOperation(const std::function<void()>& Operation, const TDataSetErrorEvent& ErrorEvent)
{
    for (;;) {
        try {
            Operation();
            return true;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (ErrorEvent)
                ErrorEvent(this, e, action);
            if (action == daFail)
                throw;
            if (action == daAbort)
                return false;
        }
    }
}

void TDataSet::InternalAddRecord(TRecordBuffer /*Buffer*/, bool /*Append*/) { }

// ---- bookmarks

TBookmark TDataSet::GetBookmark() const
{
    if (FRecordCount == 0 || FBookmarkSize <= 0)
        return {};
    auto* self = const_cast<TDataSet*>(this);
    if (self->GetBookmarkFlag(ActiveBuffer()) != bfCurrent)
        return {};
    TBookmark bookmark(static_cast<size_t>(FBookmarkSize));
    self->GetBookmarkData(ActiveBuffer(), bookmark.data());
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark)
{
    if (Bookmark.empty())
        return;
    CheckBrowseMode();
    DoBeforeScroll();
    bool wasEmpty = IsEmpty();
    TBookmark before = ScrollMark();
    InternalGotoBookmark(Bookmark.data());
    Resync({rmExact, rmCenter});
    FinishScroll(before, wasEmpty);
}

bool TDataSet::BookmarkValid(const TBookmark& /*Bookmark*/) { return false; }

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2)
{
    if (Bookmark1.empty() || Bookmark2.empty())
        return Bookmark1.empty() && Bookmark2.empty() ? 0 : 2;
    if (Bookmark1 == Bookmark2)
        return 0;
    return Bookmark1 < Bookmark2 ? -1 : 1;
}

// ---- controls and data events

void TDataSet::DisableControls()
{
    if (FDisableCount++ == 0) {
        FDisableState = FState;
        FMissedChange = false;
        FMissedLayout = false;
    }
}

void TDataSet::EnableControls()
{
    if (FDisableCount == 0)
        return;
    if (--FDisableCount > 0)
        return;
    if (FState != FDisableState)
        DataEvent(deUpdateState);
    if (Active()) {
        if (FMissedLayout)
            DataEvent(deLayoutChange);
        else if (FMissedChange)
            DataEvent(deDataSetChange);
    }
    FMissedChange = false;
    FMissedLayout = false;
}

void TDataSet::DataEvent(TDataEvent Event, std::intptr_t Info)
{
    if (Event == deFieldChange) {
        auto* field = reinterpret_cast<TField*>(Info);
        if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc)
            FModified = true;
        field->Change();
        if (FAutoCalcFields && field->FieldKind() == fkData && FRecordCount > 0 && FState != dsSetKey)
            GetCalcFields(ActiveBuffer());
    }
    bool deliver = FDisableCount == 0;
    if (!deliver) {
        switch (Event) {
        // Requests to write back or to focus still reach the controls, and so does
        // the closing of the data set.
        case deUpdateRecord:
        case deCheckBrowseMode:
        case deFocusControl: deliver = true; break;
        case deUpdateState: deliver = FState == dsInactive; break;
        case deLayoutChange: FMissedLayout = true; break;
        default: FMissedChange = true; break;
        }
    }
    if (!deliver)
        return;
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources))
        source->DataEvent(Event, Info);
}

void TDataSet::AddDataSource(TDataSource* DataSource)
{
    FDataSources.push_back(DataSource);
    if (Active())
        UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* DataSource)
{
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), DataSource), FDataSources.end());
    if (Active())
        UpdateBufferCount();
}

// ---- calculated fields

void TDataSet::GetCalcFields(TRecordBuffer Buffer)
{
    if (FCalcFieldsSize == 0)
        return;
    TDataSetState saved = SetTempState(dsCalcFields);
    TRecordBuffer savedBuffer = FCalcBuffer;
    FCalcBuffer = Buffer;
    const ScopeExit restore([&] {
        FCalcBuffer = savedBuffer;
        RestoreState(saved);
    });
    ClearCalcFields(Buffer);
    CalculateFields(Buffer);
}

void TDataSet::CalculateFields(TRecordBuffer /*Buffer*/)
{
    for (TField* field : FFields) {
        if (field->FieldKind() == fkLookup)
            CalculateLookupField(field);
    }
    DoOnCalcFields();
}

void TDataSet::CalculateLookupField(TField* Field)
{
    TDataSet* lookup = Field->LookupDataSet();
    if (!lookup || !lookup->Active() || Field->KeyFields().empty() || Field->LookupResultField().empty())
        return;
    const std::vector<TField*> keys = GetFieldList(Field->KeyFields());
    VariantArray values;
    for (TField* key : keys) {
        if (key->IsNull())
            return;
        values.push_back(key->AsVariant());
    }
    const Variant found =
            lookup->Lookup(Field->LookupKeyFields(), values.size() == 1 ? values[0] : VarArrayOf(values),
                           Field->LookupResultField());
    if (!found.IsNull())
        Field->SetAsVariant(found);
}

// ---- filter, searches, blobs

void TDataSet::SetFilterText(const String& Value) { FFilterText = Value; }

void TDataSet::SetFiltered(bool Value) { FFiltered = Value; }

bool TDataSet::Locate(const String& /*KeyFields*/, const Variant& /*KeyValues*/, TLocateOptions /*Options*/)
{
    return false;
}

Variant TDataSet::Lookup(const String& /*KeyFields*/, const Variant& /*KeyValues*/,
                         const String& /*ResultFields*/)
{
    return Variant::Null();
}

bool TDataSet::FindRecord(bool /*Restart*/, bool /*GoForward*/) { return false; }

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField* Field, TBlobStreamMode /*Mode*/)
{
    DatabaseError(dbtext::FieldAccess(Field->DisplayName(), "a blob"), this);
}

// ---- events

void TDataSet::DoBeforeOpen() { FireEvent(BeforeOpen); }
void TDataSet::DoAfterOpen() { FireEvent(AfterOpen); }
void TDataSet::DoBeforeClose() { FireEvent(BeforeClose); }
void TDataSet::DoAfterClose() { FireEvent(AfterClose); }
void TDataSet::DoBeforeInsert() { FireEvent(BeforeInsert); }
void TDataSet::DoAfterInsert() { FireEvent(AfterInsert); }
void TDataSet::DoBeforeEdit() { FireEvent(BeforeEdit); }
void TDataSet::DoAfterEdit() { FireEvent(AfterEdit); }
void TDataSet::DoBeforePost() { FireEvent(BeforePost); }
void TDataSet::DoAfterPost() { FireEvent(AfterPost); }
void TDataSet::DoBeforeCancel() { FireEvent(BeforeCancel); }
void TDataSet::DoAfterCancel() { FireEvent(AfterCancel); }
void TDataSet::DoBeforeDelete() { FireEvent(BeforeDelete); }
void TDataSet::DoAfterDelete() { FireEvent(AfterDelete); }
void TDataSet::DoBeforeScroll() { FireEvent(BeforeScroll); }
void TDataSet::DoAfterScroll() { FireEvent(AfterScroll); }
void TDataSet::DoOnNewRecord() { FireEvent(OnNewRecord); }
void TDataSet::DoOnCalcFields() { FireEvent(OnCalcFields); }
