#pragma once
// TDataSet: the cursor protocol every data set shares. It keeps a window of record
// buffers around the active record, runs the states and events of browsing and
// editing, and tells its data sources; a descendant reads and writes the records
// through the protected virtual operations. README.md describes the order of events.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/component.h"
#include "platform/db/dberror.h"
#include "platform/db/dbtypes.h"
#include "platform/db/field.h"
#include "platform/db/fielddefs.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/variant.h"

class TDataSource;
class TDataSet;

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TUpdateErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TUpdateKind UpdateKind,
                                             TUpdateAction& Action)>;
using TUpdateRecordEvent =
        std::function<void(TDataSet* DataSet, TUpdateKind UpdateKind, TUpdateAction& Action)>;

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* AOwner);
    // Closes the data set and frees its fields; the data sources let go of it.
    ~TDataSet() override;

    String ClassName() const override { return "TDataSet"; }
    bool InheritsFrom(const String& name) const override;
    // Closes the data set (without BeforeClose and AfterClose) while it is whole.
    void BeforeDestruction() override;
    // Opens the data set when Active was set while it was loading.
    void Loaded() override;

    // Opening and closing.
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    bool Active() const { return FState != dsInactive; }
    void SetActive(bool Value);
    TDataSetState State() const { return FState; }
    // Whether a field changed since the record went into edit or insert state.
    bool Modified() const { return FModified; }
    bool CanModify() const { return GetCanModify(); }

    // Navigation. MoveBy returns how many records it moved (negative backwards).
    void First();
    void Last();
    virtual void Next();
    virtual void Prior();
    virtual int MoveBy(int Distance);
    bool Bof() { return GetBOF(); }
    bool Eof() { return GetEOF(); }
    bool IsEmpty() const { return !Active() || FRecordCount == 0; }

    // Editing. Append, Post, Cancel and Delete are virtual so that a descendant that
    // redefines them behaves the same through a TDataSet pointer.
    void Edit();
    void Insert();
    virtual void Append();
    virtual void Post();
    virtual void Cancel();
    virtual void Delete();
    // Posts a modified record, or cancels an untouched one; nothing in browse state.
    void CheckBrowseMode();
    // Lets the data links write their pending values into the fields.
    void UpdateRecord();
    // Re-reads the active record and those around it from the data source.
    void Refresh();
    // Re-reads the window around the record at the descendant's cursor (README.md).
    virtual void Resync(TResyncMode Mode);
    // Puts the descendant's cursor on the active record.
    void UpdateCursorPos();
    // Forgets where the descendant's cursor is, so the next read repositions it.
    void CursorPosChanged() { FCurrentRecord = -1; }

    // Fields.
    TFields& Fields() { return FFields; }
    const TFields& Fields() const { return FFields; }
    int FieldCount() const { return FFields.Count(); }
    // By name ignoring case; FieldByName raises "Field 'X' not found".
    TField* FindField(const String& FieldName) const { return FFields.FindField(FieldName); }
    TField* FieldByName(const String& FieldName) const;
    // The fields named in a ";"-separated list, in the list's order.
    std::vector<TField*> GetFieldList(const String& FieldNames) const;
    TFieldDefs* FieldDefs() { return &FFieldDefs; }
    // True while the fields are the ones the data set made from its definitions at open.
    bool DefaultFields() const { return FDefaultFields; }
    bool AutoCalcFields() const { return FAutoCalcFields; }
    void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }

    // Counting; meaningful for the grid when IsSequenced.
    int RecordCount() { return GetRecordCount(); }
    int RecNo() { return GetRecNo(); }
    virtual void SetRecNo(int Value);
    virtual bool IsSequenced() const { return false; }

    // Bookmarks.
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& Bookmark);
    void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
    TBookmark Bookmark() const { return GetBookmark(); }
    void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
    virtual bool BookmarkValid(const TBookmark& Bookmark);
    // < 0, 0, > 0 by position; the default compares bytes. Any non-zero means "different".
    virtual int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);

    // Notifications to the data links stop until the last EnableControls, which then
    // tells them once about what they missed.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // Searches; the default finds nothing.
    virtual bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options);
    virtual Variant Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields);
    // Moves to the next or prior record that passes the descendant's search condition,
    // from the start or end when Restart; false when none.
    virtual bool FindRecord(bool Restart, bool GoForward);
    bool FindFirst() { return FindRecord(true, true); }
    bool FindLast() { return FindRecord(true, false); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }

    // Filter state: the descendant applies Filter and OnFilterRecord while reading.
    const String& Filter() const { return FFilterText; }
    void SetFilter(const String& Value) { SetFilterText(Value); }
    bool Filtered() const { return FFiltered; }
    virtual void SetFiltered(bool Value);

    // The data source this data set follows as a detail; null for none.
    virtual TDataSource* GetDataSource() const { return nullptr; }

    // A stream over a blob field of the active record; the caller frees it.
    virtual std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode);

    // The data set's end of the record-buffer protocol (used by fields and links).
    virtual bool GetFieldData(TField* Field, void* Buffer) = 0;
    virtual void SetFieldData(TField* Field, const void* Buffer) = 0;
    // Tells the data sources; deFieldChange also marks the record modified and
    // recalculates; Info is the field for deFieldChange, the distance for deDataSetScroll.
    void DataEvent(TDataEvent Event, std::intptr_t Info = 0);

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;
    TUpdateErrorEvent OnUpdateError;
    TUpdateRecordEvent OnUpdateRecord;

protected:
    // The record buffers. A descendant allocates them at the size it needs.
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& Buffer) = 0;
    // Fills Buffer with the record next to, before or at the cursor and moves the
    // cursor there. DoCheck asks for an exception instead of grError.
    virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) = 0;
    virtual int GetRecordSize() { return 0; }
    virtual void InternalInitRecord(TRecordBuffer Buffer) = 0;

    // Opening and closing. When InternalOpen leaves IsCursorOpen false the open ends
    // quietly and the data set stays closed.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual void InternalInitFieldDefs() = 0;
    virtual bool IsCursorOpen() = 0;
    virtual void InternalHandleException() { }
    virtual void InternalRefresh() { }

    // Cursor moves: before the first and after the last record, onto a buffer's record,
    // onto a bookmark.
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalSetToRecord(TRecordBuffer Buffer) = 0;
    virtual void InternalGotoBookmark(const void* Bookmark) = 0;

    // Bookmark bytes and flag inside a record buffer.
    virtual void GetBookmarkData(TRecordBuffer Buffer, void* Data) = 0;
    virtual void SetBookmarkData(TRecordBuffer Buffer, const void* Data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) = 0;
    virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) = 0;

    // Writing.
    virtual void InternalEdit() { }
    virtual void InternalInsert() { }
    virtual void InternalCancel() { }
    virtual void InternalPost() { }
    virtual void InternalDelete() { }
    virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append);

    virtual bool GetCanModify() const { return true; }
    virtual int GetRecordCount() { return -1; }
    virtual int GetRecNo() { return -1; }
    virtual bool GetBOF() { return FBOF; }
    virtual bool GetEOF() { return FEOF; }
    virtual void SetFilterText(const String& Value);
    // Refreshes IndexDefs for a descendant that has indexes.
    virtual void UpdateIndexDefs() { }

    // Fields: CreateFields makes the default fields from FieldDefs; BindFields gives
    // data fields their numbers and calculated fields their offsets.
    virtual void CreateFields();
    void DestroyFields();
    virtual void BindFields(bool Binding);
    void InitFieldDefs();
    int CalcFieldsSize() const { return FCalcFieldsSize; }
    int BookmarkSize() const { return FBookmarkSize; }
    void SetBookmarkSize(int Value) { FBookmarkSize = Value; }

    // Calculated fields: GetCalcFields runs OnCalcFields for Buffer in dsCalcFields.
    void GetCalcFields(TRecordBuffer Buffer);
    virtual void ClearCalcFields(TRecordBuffer /*Buffer*/) { }
    virtual void RefreshInternalCalcFields(TRecordBuffer /*Buffer*/) { }
    virtual void CalculateFields(TRecordBuffer Buffer);
    // Fills a lookup field from its lookup data set's record for the key fields.
    void CalculateLookupField(TField* Field);
    TRecordBuffer CalcBuffer() const { return FCalcBuffer; }

    // The window of record buffers.
    TRecordBuffer ActiveBuffer() const { return FBuffers[FActiveRecord]; }
    TRecordBuffer Buffers(int Index) const { return FBuffers[Index]; }
    int BufferCount() const { return FBufferCount; }
    // Records held in the window, and the active one's index in it.
    int BufferedRecordCount() const { return FRecordCount; }
    int ActiveRecord() const { return FActiveRecord; }
    virtual void ClearBuffers();
    // One more record after the window's last / before its first; false at the end.
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();

    // The data sources that take this data set, in the order they took it.
    const std::vector<TDataSource*>& DataSources() const { return FDataSources; }

    void SetState(TDataSetState Value);
    TDataSetState SetTempState(TDataSetState Value);
    void RestoreState(TDataSetState Value);
    void CheckActive() const;
    void CheckInactive() const;
    void CheckCanModify() const;

    // The events, fired through these.
    virtual void DoBeforeOpen();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoAfterClose();
    virtual void DoBeforeInsert();
    virtual void DoAfterInsert();
    virtual void DoBeforeEdit();
    virtual void DoAfterEdit();
    virtual void DoBeforePost();
    virtual void DoAfterPost();
    virtual void DoBeforeCancel();
    virtual void DoAfterCancel();
    virtual void DoBeforeDelete();
    virtual void DoAfterDelete();
    virtual void DoBeforeScroll();
    virtual void DoAfterScroll();
    virtual void DoOnNewRecord();
    virtual void DoOnCalcFields();

private:
    friend class TDataSource;
    friend class TDataLink;
    friend class TField;
    friend class TFieldDefs;
    friend class TIndexDefs;

    void OpenCursor();
    void CloseCursor();
    void SetBufListSize(int Count);
    // Window size: the largest BufferCount of the linked data links, at least 1.
    void UpdateBufferCount();
    void SetBufferCount(int Value);
    void SetCurrentRecord(int Index);
    void ActivateBuffers();
    // The new record's buffer of Insert and Append.
    void InitRecord(TRecordBuffer Buffer);
    void BeginInsertAppend();
    void EndInsertAppend();
    // Runs Operation; on EDatabaseError asks ErrorEvent whether to fail, stop or retry.
    // Returns false when the handler stopped the operation.
    bool CheckOperation(const std::function<void()>& Operation, const TDataSetErrorEvent& ErrorEvent);
    void CheckRequiredFields();
    void FireEvent(const TDataSetNotifyEvent& Event)
    {
        if (Event)
            Event(this);
    }
    // The active record's bookmark, for telling whether a move changed the position.
    TBookmark ScrollMark() const;
    void FinishScroll(const TBookmark& Before, bool WasEmpty);
    // First (Last false) or Last: the window read from that end.
    void MoveToEnd(bool Last);
    void AddDataSource(TDataSource* DataSource);
    void RemoveDataSource(TDataSource* DataSource);
    void RemoveField(TField* Field);
    void AddField(TField* Field);
    void MoveField(TField* Field, int Index);

    TDataSetState FState = dsInactive;
    bool FStreamedActive = false;
    bool FModified = false;
    bool FBOF = true;
    bool FEOF = true;
    bool FDefaultFields = false;
    bool FAutoCalcFields = true;
    bool FFiltered = false;
    String FFilterText;
    int FBookmarkSize = 0;
    int FCalcFieldsSize = 0;
    TRecordBuffer FCalcBuffer = nullptr;
    TFields FFields;
    TFieldDefs FFieldDefs;
    std::vector<TDataSource*> FDataSources;

    // FBuffers holds FBufferCount window buffers and one spare at the end.
    std::vector<TRecordBuffer> FBuffers;
    int FBufferCount = 0;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    // Window index of the record the descendant's cursor is on; -1 when unknown.
    int FCurrentRecord = -1;

    int FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    // While controls are disabled: a suppressed data change or layout change.
    bool FMissedChange = false;
    bool FMissedLayout = false;
};
