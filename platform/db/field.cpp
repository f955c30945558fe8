#include "platform/db/field.h"

#include <algorithm>
#include <cstring>

#include "platform/db/dataset.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

TField::TField(TComponent* AOwner) : TComponent(AOwner) { }

namespace {

bool IsNumericType(TFieldType Type)
{
    switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc: return true;
    default: return false;
    }
}

}  // namespace

TField::TField(TComponent* AOwner, TFieldType DataType)
    : TComponent(AOwner), FDataType(DataType),
      FAlignment(IsNumericType(DataType) ? taRightJustify : taLeftJustify)
{
}

TField::~TField()
{
    if (FDataSet)
        FDataSet->RemoveField(this);
}

bool TField::InheritsFrom(const String& name) const
{
    return SameText(name, "TField") || TComponent::InheritsFrom(name);
}

void TField::CheckInactive() const
{
    if (FDataSet)
        FDataSet->CheckInactive();
}

void TField::SetDataSet(TDataSet* DataSet)
{
    if (DataSet == FDataSet)
        return;
    CheckInactive();
    if (DataSet) {
        DataSet->CheckInactive();
        if (!FFieldName.empty() && DataSet->FindField(FFieldName))
            DatabaseError(dbtext::DuplicateField(FFieldName), DataSet);
    }
    if (FDataSet)
        FDataSet->RemoveField(this);
    if (DataSet)
        DataSet->AddField(this);
}

void TField::SetFieldName(const String& Value)
{
    CheckInactive();
    if (FDataSet && !SameText(Value, FFieldName) && FDataSet->FindField(Value))
        DatabaseError(dbtext::DuplicateField(Value), FDataSet);
    FFieldName = Value;
}

void TField::SetFieldKind(TFieldKind Value)
{
    CheckInactive();
    FFieldKind = Value;
}

void TField::SetLookupDataSet(TDataSet* Value)
{
    CheckInactive();
    if (FLookupDataSet)
        FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TField::SetKeyFields(const String& Value)
{
    CheckInactive();
    FKeyFields = Value;
}

void TField::SetLookupKeyFields(const String& Value)
{
    CheckInactive();
    FLookupKeyFields = Value;
}

void TField::SetLookupResultField(const String& Value)
{
    CheckInactive();
    FLookupResultField = Value;
}

void TField::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLookupDataSet)
        FLookupDataSet = nullptr;
}

void TField::SetSize(int Value)
{
    CheckInactive();
    FSize = Value;
}

int TField::DataSize() const { return NativeDataSize(FDataType, FSize); }

int NativeDataSize(TFieldType DataType, int Size)
{
    switch (DataType) {
    case ftString: return Size + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean: return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime: return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime: return 8;
    default: return 0;
    }
}

int TField::Index() const { return FDataSet ? FDataSet->Fields().IndexOf(this) : -1; }

void TField::SetIndex(int Value)
{
    if (FDataSet)
        FDataSet->MoveField(this, Value);
}

void TField::PropertyChanged(bool LayoutAffected)
{
    if (FDataSet && FDataSet->Active())
        FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange);
}

void TField::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    PropertyChanged(true);
}

void TField::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    PropertyChanged(true);
}

void TField::SetEditMask(const String& Value)
{
    if (Value == FEditMask)
        return;
    FEditMask = Value;
    PropertyChanged(false);
}

void TField::SetDisplayLabel(const String& Value)
{
    // A label equal to the field name is no label of its own.
    String label = Value == FFieldName ? String() : Value;
    if (label == FDisplayLabel)
        return;
    FDisplayLabel = label;
    PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value)
{
    if (Value == FDisplayWidth)
        return;
    FDisplayWidth = Value;
    PropertyChanged(true);
}

void TField::SetReadOnly(bool Value)
{
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    PropertyChanged(false);
}

bool TField::CanModify() const
{
    return !FReadOnly && FFieldKind == fkData && FDataSet && FDataSet->CanModify();
}

bool TField::IsValidChar(char C) const { return static_cast<unsigned char>(C) >= ' '; }

bool TField::GetData(void* Buffer) const
{
    if (FValidating) {
        if (!FValidateBuffer)
            return false;
        if (Buffer)
            std::memcpy(Buffer, FValidateBuffer, static_cast<size_t>(DataSize()));
        return true;
    }
    if (!FDataSet)
        DatabaseError("Field '" + DisplayName() + "' has no data set", this);
    return FDataSet->GetFieldData(const_cast<TField*>(this), Buffer);
}

void TField::SetData(const void* Buffer)
{
    if (!FDataSet)
        DatabaseError("Field '" + DisplayName() + "' has no data set", this);
    TDataSetState state = FDataSet->State();
    bool internalWrite =
            state == dsSetKey || state == dsCalcFields || state == dsFilter || state == dsNewValue;
    if (FReadOnly && FFieldKind == fkData && !internalWrite)
        DatabaseError(dbtext::FieldReadOnly(DisplayName()), FDataSet);
    FDataSet->SetFieldData(this, Buffer);
}

void TField::Validate(const void* Buffer)
{
    if (!OnValidate || FValidating)
        return;
    FValidating = true;
    FValidateBuffer = Buffer;
    const ScopeExit lower([this] {
        FValidating = false;
        FValidateBuffer = nullptr;
    });
    OnValidate(this);
}

bool TField::IsNull() const { return !GetData(nullptr); }

void TField::Change()
{
    if (OnChange)
        OnChange(this);
}

void TField::FocusControl()
{
    if (FDataSet && FDataSet->Active())
        FDataSet->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(this));
}

void TField::AccessError(const char* Kind) const
{
    DatabaseError(dbtext::FieldAccess(DisplayName(), Kind), FDataSet);
}

String TField::GetAsString() const { AccessError("String"); }
void TField::SetAsStringValue(const String&) { AccessError("String"); }
Integer TField::GetAsInteger() const { AccessError("Integer"); }
void TField::SetAsIntegerValue(Integer) { AccessError("Integer"); }
double TField::GetAsFloat() const { AccessError("Float"); }
void TField::SetAsFloatValue(double) { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBooleanValue(bool) { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTimeValue(TDateTime) { AccessError("DateTime"); }
Variant TField::GetAsVariant() const { AccessError("Variant"); }
void TField::SetVarValue(const Variant&) { AccessError("Variant"); }

void TField::SetAsVariant(const Variant& Value)
{
    if (VarIsClear(Value))
        Clear();
    else
        SetVarValue(Value);
}

String TField::GetText(bool /*DisplayText*/) const { return GetAsString(); }

String TField::TextOf(bool Display) const
{
    String text;
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), text, Display);
    else if (!IsNull())
        text = GetText(Display);
    return text;
}

void TField::SetText(const String& Value)
{
    if (OnSetText)
        OnSetText(this, Value);
    else
        SetAsStringValue(Value);
}

TField* TFields::Fields(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError("Field index out of range (" + IntToStr(Index) + ")");
    return FList[Index];
}

int TFields::IndexOf(const TField* Field) const
{
    auto it = std::find(FList.begin(), FList.end(), Field);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

TField* TFields::FindField(const String& FieldName) const
{
    for (TField* field : FList)
        if (SameText(field->FieldName(), FieldName))
            return field;
    return nullptr;
}

TField* TFields::FieldByNumber(int FieldNo) const
{
    for (TField* field : FList)
        if (field->FieldNo() == FieldNo)
            return field;
    return nullptr;
}

void TFields::Remove(TField* Field)
{
    auto it = std::find(FList.begin(), FList.end(), Field);
    if (it != FList.end())
        FList.erase(it);
}

bool TFields::Move(TField* Field, int Index)
{
    int from = IndexOf(Field);
    if (from < 0)
        return false;
    int to = std::clamp(Index, 0, Count() - 1);
    if (to == from)
        return false;
    FList.erase(FList.begin() + from);
    FList.insert(FList.begin() + to, Field);
    return true;
}
