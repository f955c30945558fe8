#include "datacontrols/common/dwfieldsettings.h"

#include <vector>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwstrings.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

namespace {

constexpr int MaxParametersLength = 255;
constexpr int MinLookupFieldsParts = 5;

String FirstPart(const String& Line)
{
    int pos = 1;
    String token;
    dwGetToken(Line, ";", pos, token);
    return token;
}

// The index of the field's first usable LookupFields line; -1 when none.
int FindLookupFieldsLine(TStrings* Lines, const String& FieldName)
{
    if (!Lines)
        return -1;
    for (int i = 0; i < Lines->Count(); ++i) {
        const std::vector<String> parts = dwSplitLookupLine(Lines->Get(i));
        if (parts.size() >= MinLookupFieldsParts && parts[0] == FieldName)
            return i;
    }
    return -1;
}

String LinksLineAt(TDataSet* DataSet, int Index)
{
    TStrings* links = dwGetLookupLinksList(DataSet);
    return links && Index >= 0 && Index < links->Count() ? links->Get(Index) : String();
}

// Deletes the lines of Lines (and of Parallel) that name no field of DataSet.
void PurgeLines(TDataSet* DataSet, TStrings* Lines, TStrings* Parallel)
{
    if (!Lines)
        return;
    for (int i = Lines->Count() - 1; i >= 0; --i) {
        if (dwFieldExists(DataSet, FirstPart(Lines->Get(i))))
            continue;
        Lines->Delete(i);
        if (Parallel && i < Parallel->Count())
            Parallel->Delete(i);
    }
}

}  // namespace

std::vector<String> dwSplitLookupLine(const String& Line)
{
    TStringList parts;
    dwSplitToStrings(Line, ';', &parts);
    std::vector<String> result;
    for (int i = 0; i < parts.Count(); ++i)
        result.push_back(parts[i]);
    return result;
}

TdwFieldControlType dwGetFieldControlType(TObject* Owner, const String& FieldName)
{
    TdwFieldControlType result;
    TStrings* lines = dwGetControlTypeList(Owner);
    if (!lines)
        return result;
    for (int i = 0; i < lines->Count(); ++i) {
        const String line = lines->Get(i);
        int pos = 1;
        String name, typeWord;
        dwGetToken(line, ";", pos, name);
        if (name != FieldName)
            continue;
        dwGetToken(line, ";", pos, typeWord);
        result.TypeWord = typeWord;
        result.Parameters = pos > 0 ? Copy(line, pos, MaxParametersLength) : String();
    }
    return result;
}

bool dwIsCustomControlType(const String& TypeWord)
{
    return SameText(TypeWord, "CustomEdit") || SameText(TypeWord, "LookupCombo") ||
           SameText(TypeWord, "Combo");
}

bool dwIsRichEditField(TField* BlobField)
{
    TStrings* lines = BlobField ? dwGetControlTypeList(BlobField->DataSet()) : nullptr;
    if (!lines)
        return false;
    const String prefix = BlobField->FieldName() + ";RichEdit";
    for (int i = 0; i < lines->Count(); ++i)
        if (lines->Get(i).compare(0, prefix.size(), prefix) == 0)
            return true;
    return false;
}

TdwLookupFieldSpec dwGetLookupFieldSpec(TField* Field)
{
    TDataSet* dataSet = Field->DataSet();
    TStrings* lines = dwGetLookupFieldsList(dataSet);
    const int index = FindLookupFieldsLine(lines, Field->FieldName());
    if (index < 0)
        return {dwGetDatabaseNameProp(dataSet), String(), String(), String()};
    const std::vector<String> parts = dwSplitLookupLine(lines->Get(index));
    return {parts[1], parts[2], parts[3], LinksLineAt(dataSet, index)};
}

String dwGetLookupLinksLine(TDataSet* DataSet, const String& FieldName)
{
    return LinksLineAt(DataSet, FindLookupFieldsLine(dwGetLookupFieldsList(DataSet), FieldName));
}

String dwGetLookupResultField(TDataSet* DataSet, const String& FieldName)
{
    TStrings* lines = dwGetLookupFieldsList(DataSet);
    const int index = FindLookupFieldsLine(lines, FieldName);
    return index < 0 ? String() : dwSplitLookupLine(lines->Get(index))[3];
}

void dwPurgeMissingFieldEntries(TDataSet* DataSet, TStrings* ListA, TStrings* ListB, TStrings* ListC)
{
    PurgeLines(DataSet, ListA, ListB);
    PurgeLines(DataSet, ListC, nullptr);
}
