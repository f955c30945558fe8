#pragma once
// The data-aware edit: shows one field of a data source's current record, takes only
// the characters the field accepts, and writes a changed text into the field when it
// is left (a text the field refuses keeps the focus in the edit).

#include "platform/db/datalink.h"
#include "platform/vcl/controls/edits.h"

class TDataSource;
class TField;

class TDBEdit : public TEdit {
public:
    explicit TDBEdit(TComponent* AOwner);
    ~TDBEdit() override;

    String ClassName() const override { return "TDBEdit"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FDataLink.FieldName(); }
    void SetDataField(const String& Value) { FDataLink.SetFieldName(Value); }
    // The bound field; null while the data set is closed.
    TField* Field() const { return FDataLink.Field(); }
    // Shows the field without ever writing it, whatever the data set allows.
    void SetReadOnly(bool Value);

    void CMEnter() override;
    void CMExit() override;
    void KeyPress(char& Key) override;

protected:
    // Writes the text into the field; CMExit runs it before the exit handling.
    virtual void CommitText();
    // The link may write the field.
    bool CanModifyField() const { return FDataLink.CanModify(); }
    void Change() override;

private:
    void DataChange();
    void EditingChange();
    void UpdateData();
    void SetFocusedDisplay(bool Value);

    TFieldDataLink FDataLink;
    bool FFocusedDisplay = false;
};
