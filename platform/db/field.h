#pragma once
// TField: one column of a data set, read and written through the data set's
// record buffers, with its display settings and value conversions.

#include <functional>
#include <vector>

#include "platform/classes/alignment.h"
#include "platform/classes/component.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/variant.h"

class TDataSet;
class TField;

// The bytes a value of the type takes in a record buffer; Size is a string's
// length. 0 for types whose values live elsewhere (blobs).
int NativeDataSize(TFieldType DataType, int Size);

using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, String& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const String& Text)>;

class TField : public TComponent {
public:
    explicit TField(TComponent* AOwner);
    // Leaves the data set's field list.
    ~TField() override;

    String ClassName() const override { return "TField"; }
    bool InheritsFrom(const String& name) const override;

    TDataSet* DataSet() const { return FDataSet; }
    // Moves the field into DataSet's field list; refused while either data set is open.
    void SetDataSet(TDataSet* DataSet);

    const String& FieldName() const { return FFieldName; }
    void SetFieldName(const String& Value);
    // The 1-based number of the field in the data set's field definitions; 0 for a
    // calculated field.
    int FieldNo() const { return FFieldNo; }
    TFieldType DataType() const { return FDataType; }
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind Value);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    void SetCalculated(bool Value) { SetFieldKind(Value ? fkCalculated : fkData); }
    // Characters of a string field; 0 for the others.
    int Size() const { return FSize; }
    void SetSize(int Value);
    // Bytes of the field's native value in a record buffer (see README.md).
    virtual int DataSize() const;
    // Position of a calculated field's null flag in the calculated-field area.
    int Offset() const { return FOffset; }

    // Position in the data set's field list; setting it moves the field and tells the
    // data links (LayoutChanged).
    int Index() const;
    void SetIndex(int Value);

    // Display settings; each change tells the data links (LayoutChanged).
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The label, or the field name when none was set.
    String DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const String& Value);
    String DisplayName() const { return DisplayLabel(); }
    // Characters shown; the type's default until set.
    int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultWidth(); }
    void SetDisplayWidth(int Value);
    // Where grids and edits place the text: numbers on the right, the rest on the left,
    // until set.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The edit mask the controls that edit the field type its text into: the mask, ";",
    // "1" when the text keeps the mask's literal characters or "0" when not, ";" and the
    // character shown for an empty position ("(999) 000-0000;0;_"); empty for none.
    const String& EditMask() const { return FEditMask; }
    void SetEditMask(const String& Value);

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // A required field must have a value when the record is posted.
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    // Not read-only, a data field, and the data set can be modified.
    bool CanModify() const;

    bool IsNull() const;
    void Clear() { SetData(nullptr); }
    virtual bool IsBlob() const { return false; }
    // Whether the character may be typed into the field.
    virtual bool IsValidChar(char C) const;

    String AsString() const { return GetAsString(); }
    void SetAsString(const String& Value) { SetAsStringValue(Value); }
    Integer AsInteger() const { return GetAsInteger(); }
    void SetAsInteger(Integer Value) { SetAsIntegerValue(Value); }
    double AsFloat() const { return GetAsFloat(); }
    void SetAsFloat(double Value) { SetAsFloatValue(Value); }
    bool AsBoolean() const { return GetAsBoolean(); }
    void SetAsBoolean(bool Value) { SetAsBooleanValue(Value); }
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    void SetAsDateTime(TDateTime Value) { SetAsDateTimeValue(Value); }
    // Null for a null field; null or empty clears it.
    Variant AsVariant() const { return IsNull() ? Variant::Null() : GetAsVariant(); }
    void SetAsVariant(const Variant& Value);
    Variant Value() const { return AsVariant(); }
    void SetValue(const Variant& Value) { SetAsVariant(Value); }

    // The text for editing (through OnGetText, or the edit format) and its setter
    // (through OnSetText, or the type's conversion; "" clears all but string fields).
    String Text() const { return TextOf(false); }
    void SetText(const String& Value);
    // The text for showing (through OnGetText, or the display format).
    String DisplayText() const { return TextOf(true); }

    // Asks the data links to focus the control that edits this field.
    void FocusControl();

    // A lookup field (FieldKind fkLookup) shows LookupResultField of the LookupDataSet
    // record whose LookupKeyFields hold the values of this data set's KeyFields (both
    // ';'-separated, name by name); the data set fills it with its calculated fields.
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    const String& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const String& Value);
    const String& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const String& Value);
    const String& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const String& Value);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Reads the native value; false when the field is null. Buffer may be null.
    bool GetData(void* Buffer) const;
    // Writes the native value; null clears the field.
    void SetData(const void* Buffer);
    // Runs OnValidate while the field reads as the pending value Buffer (null = cleared).
    // The data set's SetFieldData calls it before storing.
    void Validate(const void* Buffer);

    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

protected:
    TField(TComponent* AOwner, TFieldType DataType);

    // The value conversions; a type without one raises "cannot be used as".
    virtual String GetAsString() const;
    virtual void SetAsStringValue(const String& Value);
    virtual Integer GetAsInteger() const;
    virtual void SetAsIntegerValue(Integer Value);
    virtual double GetAsFloat() const;
    virtual void SetAsFloatValue(double Value);
    virtual bool GetAsBoolean() const;
    virtual void SetAsBooleanValue(bool Value);
    virtual TDateTime GetAsDateTime() const;
    virtual void SetAsDateTimeValue(TDateTime Value);
    virtual Variant GetAsVariant() const;
    virtual void SetVarValue(const Variant& Value);
    // The text of a non-null value; DisplayText chooses between display and edit form.
    virtual String GetText(bool DisplayText) const;
    virtual int DefaultWidth() const { return 10; }

    // Runs OnChange; the data set calls it when the field's value changed.
    virtual void Change();
    [[noreturn]] void AccessError(const char* Kind) const;
    // Tells the data links about a display change (layout) or another change.
    void PropertyChanged(bool LayoutAffected);
    void CheckInactive() const;

private:
    String TextOf(bool Display) const;

    friend class TDataSet;
    friend class TFieldDef;

    TDataSet* FDataSet = nullptr;
    String FFieldName;
    int FFieldNo = 0;
    TFieldType FDataType = ftUnknown;
    TFieldKind FFieldKind = fkData;
    int FSize = 0;
    int FOffset = 0;
    bool FVisible = true;
    String FDisplayLabel;
    String FEditMask;
    int FDisplayWidth = 0;
    TAlignment FAlignment = taLeftJustify;
    bool FReadOnly = false;
    bool FRequired = false;
    TDataSet* FLookupDataSet = nullptr;
    String FKeyFields;
    String FLookupKeyFields;
    String FLookupResultField;
    // While Validate runs: the pending value the field reads as.
    bool FValidating = false;
    const void* FValidateBuffer = nullptr;
};

// The fields of a data set in display order.
class TFields {
public:
    int Count() const { return static_cast<int>(FList.size()); }
    TField* Fields(int Index) const;
    TField* operator[](int Index) const { return Fields(Index); }
    int IndexOf(const TField* Field) const;
    // By name ignoring case; null when absent.
    TField* FindField(const String& FieldName) const;
    TField* FieldByNumber(int FieldNo) const;
    auto begin() const { return FList.begin(); }
    auto end() const { return FList.end(); }

private:
    friend class TDataSet;
    void Add(TField* Field) { FList.push_back(Field); }
    void Remove(TField* Field);
    // Moves Field to Index (clamped to the list); returns whether it moved.
    bool Move(TField* Field, int Index);

    std::vector<TField*> FList;
};
