#pragma once
// The grid's date editor: an edit shown over the current date cell that takes the date
// as text in the program's short date form and writes it to the field.

#include "platform/db/datalink.h"
#include "platform/vcl/edits.h"

class TdwCustomDBGrid;

class TdwGridDateEdit : public TEdit {
public:
    explicit TdwGridDateEdit(TdwCustomDBGrid* Grid);
    ~TdwGridDateEdit() override;

    String ClassName() const override { return "TdwGridDateEdit"; }
    bool InheritsFrom(const String& name) const override;
    // Enter, Esc and Tab come here while it has the focus; it hands them on.
    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars | dlgcWantTab | dlgcWantAllKeys; }

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value) { FDataLink.SetDataSource(Value); }
    const String& DataField() const { return FDataLink.FieldName(); }
    void SetDataField(const String& Value) { FDataLink.SetFieldName(Value); }
    TField* Field() const { return FDataLink.Field(); }

    // Writes the typed date to the field; an invalid date is refused with a message and
    // the text stays as typed. True when nothing is left unwritten.
    bool PostText();

    // Navigation keys it does not use go back to the grid, once the date is written.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // A key that changes the text puts the record into edit state first; + and - step
    // the date a day.
    void KeyPress(char& Key) override;

protected:
    void Change() override;
    void DoExit() override;

private:
    // The field's value as text.
    void ShowFieldValue();
    // Raises EConvertError for text that is not a date.
    void WriteField();
    bool IsGridKey(Word Key, TShiftState Shift) const;
    void StepDay(int Days);

    TdwCustomDBGrid* FGrid;
    TFieldDataLink FDataLink;
    bool FShowingValue = false;
};
