#include "platform/db/fielddefs.h"

#include "platform/db/dataset.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/strutils.h"

TField* TFieldDef::CreateField(TComponent* Owner, TDataSet* DataSet) const
{
    TField* field = nullptr;
    switch (FDataType) {
    case ftString: field = new TStringField(Owner); break;
    case ftSmallint: field = new TSmallintField(Owner); break;
    case ftInteger: field = new TIntegerField(Owner); break;
    case ftBoolean: field = new TBooleanField(Owner); break;
    case ftFloat: field = new TFloatField(Owner); break;
    case ftCurrency: field = new TCurrencyField(Owner); break;
    case ftDate: field = new TDateField(Owner); break;
    case ftTime: field = new TTimeField(Owner); break;
    case ftDateTime: field = new TDateTimeField(Owner); break;
    case ftBlob: field = new TBlobField(Owner); break;
    case ftMemo: field = new TMemoField(Owner); break;
    default: DatabaseError(dbtext::FieldTypeUnsupported(FName), DataSet);
    }
    try {
        field->SetFieldName(FName);
        if (FDataType == ftString)
            field->SetSize(FSize);
        field->SetRequired(FRequired);
        if (FPrecision > 0)
            if (auto* number = dynamic_cast<TFloatField*>(field))
                number->SetPrecision(FPrecision);
        field->FFieldNo = FFieldNo;
        field->SetDataSet(DataSet);
    } catch (...) {
        delete field;
        throw;
    }
    return field;
}

TFieldDef* TFieldDefs::Add(const String& Name, TFieldType DataType, int Size, bool Required)
{
    int fieldNo = FItems.empty() ? 1 : FItems.back()->FieldNo() + 1;
    FItems.push_back(std::make_unique<TFieldDef>(Name, DataType, Size, Required, fieldNo));
    return FItems.back().get();
}

void TFieldDefs::Clear()
{
    FItems.clear();
    FUpdated = false;
}

TFieldDef* TFieldDefs::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError("Field definition index out of range (" + IntToStr(Index) + ")");
    return FItems[Index].get();
}

int TFieldDefs::IndexOf(const String& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(FItems[i]->Name(), Name))
            return i;
    return -1;
}

TFieldDef* TFieldDefs::FindDef(const String& Name) const
{
    int i = IndexOf(Name);
    return i < 0 ? nullptr : FItems[i].get();
}

TFieldDef* TFieldDefs::Find(const String& Name) const
{
    TFieldDef* def = FindDef(Name);
    if (!def)
        DatabaseError(dbtext::FieldNotFound(Name), FDataSet);
    return def;
}

void TFieldDefs::Update()
{
    if (!FUpdated && FDataSet)
        FDataSet->InitFieldDefs();
}
