#pragma once
// Data links: what a control (or a detail data set) holds to follow a data source.
// A link sees a window of BufferCount records of its own inside the data set's
// buffer window, with its own ActiveRecord.

#include <cstdint>
#include <vector>

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/db/dbtypes.h"

class TComponent;
class TDataSet;
class TDataSource;
class TField;

class TDataLink : public TPersistent {
public:
    TDataLink() = default;
    ~TDataLink() override;

    String ClassName() const override { return "TDataLink"; }

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const;
    // Whether the source has an open data set (and is enabled).
    bool Active() const { return FActive; }
    // Whether the data set is in edit or insert state and the link is not read-only.
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // The active record's row in the link's window (0-based). Setting it makes the data
    // set read that row until it is set back; no event fires.
    int ActiveRecord() const;
    void SetActiveRecord(int Value);
    // Rows the link shows; the data set keeps at least this many record buffers.
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int Value);
    // Rows of the window that hold records.
    int RecordCount() const;

    // Asks the source to put the data set into edit state; returns Editing.
    bool Edit();
    // Runs UpdateData: the control writes its pending value into the field.
    void UpdateRecord();

protected:
    virtual void ActiveChanged() { }
    virtual void CheckBrowseMode() { }
    // The records changed; by default the same as a change of the active record.
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    // The window moved Distance rows through the data: positive towards the end.
    virtual void DataSetScrolled(int /*Distance*/) { DataSetChanged(); }
    virtual void EditingChanged() { }
    // The field's control takes the focus and sets Field to null, so no other does.
    virtual void FocusControl(TField*& /*Field*/) { }
    // Display settings of the fields changed; by default the same as a data change.
    virtual void LayoutChanged() { DataSetChanged(); }
    // A field of the active record changed (Field), or the whole record (null).
    virtual void RecordChanged(TField* /*Field*/) { }
    virtual void UpdateData() { }

private:
    friend class TDataSource;
    friend class TDataSet;

    void DataEvent(TDataEvent Event, std::intptr_t Info);
    void SetActive(bool Value);
    void UpdateEditing();
    // Keeps the data set's active record inside the link's window.
    void UpdateRange();
    // The data set's records moved Delta places in its window (without an event).
    void BufferShifted(int Delta);

    TDataSource* FDataSource = nullptr;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    int FBufferCount = 1;
    // Index of the link's first row in the data set's window.
    int FFirstRecord = 0;
};

// The link of a control bound to one field.
class TFieldDataLink : public TDataLink {
public:
    String ClassName() const override { return "TFieldDataLink"; }

    const String& FieldName() const { return FFieldName; }
    void SetFieldName(const String& Value);
    // The bound field; null while inactive. A missing field raises "Field 'X' not found".
    TField* Field() const { return FField; }
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* Value) { FControl = Value; }
    // The link may write: not read-only and the field can be modified.
    bool CanModify() const;
    bool Editing() const { return FFieldEditing; }
    // Puts the data set into edit state when the field can be modified.
    bool Edit();
    // The control's value differs from the field's; UpdateData will write it.
    void Modified() { FModified = true; }
    // Forgets the control's change and shows the field's value again.
    void Reset();

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* Value);
    void SetFieldEditing(bool Value);

    String FFieldName;
    TField* FField = nullptr;
    TComponent* FControl = nullptr;
    bool FFieldEditing = false;
    bool FModified = false;
};

// The link of a detail data set to its master: it follows the master's key fields.
class TMasterDataLink : public TDataLink {
public:
    explicit TMasterDataLink(TDataSet* DetailDataSet) : FDetailDataSet(DetailDataSet) { }

    String ClassName() const override { return "TMasterDataLink"; }

    TDataSet* DetailDataSet() const { return FDetailDataSet; }
    // The master's key fields, joined by ";".
    const String& FieldNames() const { return FFieldNames; }
    void SetFieldNames(const String& Value);
    // The master's fields named by FieldNames, while the link is active.
    const std::vector<TField*>& Fields() const { return FFields; }

    // The master moved or its key changed; the master went away or has no key fields.
    TNotifyEvent OnMasterChange;
    TNotifyEvent OnMasterDisable;

protected:
    void ActiveChanged() override;
    void CheckBrowseMode() override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;

private:
    TDataSet* FDetailDataSet;
    String FFieldNames;
    std::vector<TField*> FFields;
};
