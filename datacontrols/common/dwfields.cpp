#include "datacontrols/common/dwfields.h"

#include "datacontrols/common/dwdatetext.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

namespace {

// The name, width and title of a Selected line.
void ReadSelectedLine(const String& Line, String& FieldName, String& Width, String& Title)
{
    int pos = 1;
    dwGetToken(Line, "\t", pos, FieldName);
    dwGetToken(Line, "\t", pos, Width);
    dwGetToken(Line, "\t", pos, Title);
}

bool IsTimeType(TFieldType DataType)
{
    return DataType == ftDate || DataType == ftTime || DataType == ftDateTime;
}

}  // namespace

String dwFirstFieldName(const String& FieldNames) { return dwTextBeforeChar(FieldNames + ";", ';'); }

bool dwFieldExists(TDataSet* DataSet, const String& FieldName)
{
    if (!DataSet)
        return false;
    const String name = AnsiUpperCase(FieldName);
    for (TField* field : DataSet->Fields())
        if (AnsiUpperCase(field->FieldName()) == name)
            return true;
    return false;
}

bool dwIsCalcOrLookupField(const TField* Field)
{
    return Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup;
}

bool dwIsNonBDEField(const TField* Field)
{
    return dwIsCalcOrLookupField(Field) || !dwIsClassNamed(Field->DataSet(), "TDaroruTable");
}

String dwFieldNameFromDisplayLabel(TDataSet* DataSet, const String& Label)
{
    const String wanted = dwReplaceChar(Label, '~', ' ');
    for (TField* field : DataSet->Fields())
        if (dwSameText(dwReplaceChar(field->DisplayLabel(), '~', ' '), wanted))
            return field->FieldName();
    return String();
}

bool dwIsNumericFieldType(TFieldType DataType)
{
    switch (DataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftAutoInc: return true;
    default: return false;
    }
}

bool dwIsIndexableFieldType(TFieldType DataType)
{
    return DataType != ftBytes && DataType != ftVarBytes && DataType != ftBlob && DataType != ftGraphic;
}

bool dwTextSuitsFieldType(const String& Text, TFieldType DataType)
{
    switch (DataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return dwIsValidInteger(Text);
    case ftFloat:
    case ftCurrency:
    case ftBCD: return dwIsValidFloat(Text);
    case ftDate: return dwIsValidDate(Text);
    case ftTime: return dwIsValidTime(Text);
    case ftDateTime: return dwIsValidDateTime(Text) || dwIsValidDate(Text);
    default: return true;
    }
}

bool dwFieldAcceptsText(const TField* Field, const String& Text)
{
    return dwTextSuitsFieldType(Text, Field->DataType());
}

bool dwIsSearchableText(const TField* Field, const String& Text)
{
    const TFieldType type = Field->DataType();
    if (Text.empty() && (dwIsNumericFieldType(type) || type == ftBCD || IsTimeType(type)))
        return false;
    return dwFieldAcceptsText(Field, Text);
}

void dwApplySelectedToFields(TDataSet* DataSet, const TStrings* Lines)
{
    TdwControlsDisabled quiet(DataSet);
    for (TField* field : DataSet->Fields())
        field->SetVisible(false);
    int index = 0;
    for (int i = 0; i < Lines->Count(); ++i) {
        String name, width, title;
        ReadSelectedLine(Lines->Get(i), name, width, title);
        TField* field = DataSet->FindField(name);
        if (!field)
            continue;
        field->SetDisplayWidth(StrToIntDef(width, field->DisplayWidth()));
        field->SetDisplayLabel(title);
        field->SetIndex(index++);
        field->SetVisible(true);
    }
}

void dwFieldsToSelected(TDataSet* DataSet, TStrings* Lines)
{
    Lines->Clear();
    for (TField* field : DataSet->Fields())
        if (field->Visible())
            Lines->Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" +
                       field->DisplayLabel());
}

bool dwFindSelectedLine(const TStrings* Lines, const String& FieldName, int& Index)
{
    for (int i = 0; i < Lines->Count(); ++i) {
        String name, width, title;
        ReadSelectedLine(Lines->Get(i), name, width, title);
        if (SameText(name, FieldName)) {
            Index = i;
            return true;
        }
    }
    return false;
}
