#include "datacontrols/datasets/dwlookuptables.h"

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/datasets/dwtableindex.h"
#include "datacontrols/datasets/wwquery.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"

namespace {

constexpr size_t MinLookupFieldsParts = 5;
constexpr size_t MaxLinkPairs = 6;

// The text before the first ".".
String BaseName(const String& TableName) { return TableName.substr(0, TableName.find('.')); }

bool UsesBaseName(const std::vector<String>& Parts) { return Parts.size() >= 6 && Parts.back() == "N"; }

// The index fields of a LookupFields line with more than five parts; empty otherwise.
String IndexFieldsOf(const std::vector<String>& Parts)
{
    if (Parts.size() <= MinLookupFieldsParts)
        return String();
    if (Parts.size() <= 7)
        return Parts[5];
    String fields;
    for (size_t i = 5; i + 1 < Parts.size(); ++i)
        fields += (i > 5 ? ";" : "") + Parts[i];
    return fields;
}

// Every even part of a links line names a field of the data set.
bool LinkFieldsExist(TDataSet* DataSet, const std::vector<String>& LinkParts)
{
    for (size_t i = 0; i < LinkParts.size(); i += 2)
        if (!dwFieldExists(DataSet, LinkParts[i]))
            return false;
    return true;
}

void HideField(TDataSet* DataSet, const String& FieldName)
{
    if (TField* field = DataSet->FindField(FieldName))
        field->SetVisible(false);
}

TdwTable* FindOpenedTable(TdwLookupTableList& Tables, const std::vector<String>& Parts, const String& Links)
{
    for (int i = 0; i < Tables.Count(); ++i) {
        TdwTable* table = Tables.Items(i);
        if (dwIsSameLookupTable(table, Parts) &&
            LowerCase(table->LookupState().LinksText) == LowerCase(Links))
            return table;
    }
    return nullptr;
}

TdwTable* OpenLookupTable(const std::vector<String>& Parts, const String& Links, TdwLookupTableList& Tables)
{
    auto table = std::make_unique<TdwTable>(nullptr);
    table->SetDatabaseName(Parts[1]);
    table->SetTableName(UsesBaseName(Parts) ? BaseName(Parts[2]) : Parts[2]);
    table->SetReadOnly(WordTrue);
    table->LookupState().LinksText = Links;
    const String indexFields = IndexFieldsOf(Parts);
    if (indexFields.empty())
        table->SetIndexName(Parts[4]);
    table->Open();
    if (!indexFields.empty())
        dwSetIndexForFields(table.get(), indexFields);
    return Tables.Add(std::move(table));
}

// The lookup table's field shown in a display field; its text, or a blob's contents.
String ShownText(TField* Field)
{
    if (!Field)
        return String();
    return Field->IsBlob() ? Field->AsString() : Field->DisplayText();
}

// The values of the fields before FieldIndex: the master link's, else the current record's.
ConstArg LeadingValues(TDaroruTable* Table, const std::vector<String>& IndexFields, int FieldIndex)
{
    ConstArg values;
    TDataSet* master = Table->MasterSource() ? Table->MasterSource()->DataSet() : nullptr;
    const std::vector<String> masterFields =
            master ? dwSplitLookupLine(Table->MasterFields()) : std::vector<String>();
    for (int i = 0; i < FieldIndex; ++i) {
        const size_t at = static_cast<size_t>(i);
        TField* field = at < masterFields.size() ? master->FindField(masterFields[at])
                                                 : Table->FindField(IndexFields[at]);
        values.push_back(field ? field->AsString() : String());
    }
    return values;
}

// Whether the current record's field matches the searched text.
bool CurrentMatches(TDaroruTable* Table, TField* Field, const String& Text)
{
    if (Table->IsEmpty() || Table->Eof())
        return false;
    const TFieldType type = Field->DataType();
    if (type == ftFloat || type == ftCurrency) {
        double wanted = 0;
        return TryStrToFloat(Text, wanted) && !Field->IsNull() && Field->AsFloat() == wanted;
    }
    if (dwIsNumericFieldType(type))
        return Field->AsString() == Text;
    return UpperCase(Field->AsString()).compare(0, Text.size(), UpperCase(Text)) == 0;
}

}  // namespace

TdwLookupTableList::TdwLookupTableList() = default;

TdwLookupTableList::~TdwLookupTableList() = default;

TdwTable* TdwLookupTableList::Add(std::unique_ptr<TdwTable> Table)
{
    FTables.push_back(std::move(Table));
    return FTables.back().get();
}

void TdwLookupTableList::Clear() { FTables.clear(); }

TdwLookupTableList* dwGetLookupTableList(TDataSet* DataSet)
{
    if (auto* table = dynamic_cast<TdwTable*>(DataSet))
        return &table->LookupTables();
    if (auto* query = dynamic_cast<TdwQuery*>(DataSet))
        return &query->LookupTables();
    return nullptr;
}

bool dwIsSameLookupTable(TdwTable* Table, const std::vector<String>& LookupFieldsParts)
{
    if (LookupFieldsParts.size() < MinLookupFieldsParts || Table->DatabaseName() != LookupFieldsParts[1])
        return false;
    const String& wanted = LookupFieldsParts[2];
    return UsesBaseName(LookupFieldsParts) ? BaseName(Table->TableName()) == BaseName(wanted)
                                           : Table->TableName() == wanted;
}

bool dwLookupFindKey(TdwTable* LookupTable, TDataSet* DataSet, const std::vector<String>& LinkParts)
{
    if (LinkParts.size() < 2)
        return false;
    if (!LookupTable->IndexName().empty()) {
        if (LinkParts.size() % 2 != 0 || LinkParts.size() > 2 * MaxLinkPairs)
            return false;
        ConstArg values;
        for (size_t i = 0; i < LinkParts.size(); i += 2)
            values.push_back(DataSet->FieldByName(LinkParts[i])->AsString());
        LookupTable->SetLookingUp(true);
        struct TLookupEnds {
            TdwTable* Table;
            ~TLookupEnds() { Table->SetLookingUp(false); }
        } ends {LookupTable};
        return LookupTable->dwFindKey(values, static_cast<int>(values.size()) - 1);
    }
    const String value = DataSet->FieldByName(LinkParts[0])->AsString();
    return dwLocateValue(LookupTable, LinkParts[1], value, true, false);
}

void dwOpenLookupTables(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                        TdwLookupTableList* Tables)
{
    if (!LookupFields || !LookupLinks || !Tables)
        return;
    for (int i = 0; i < Tables->Count(); ++i)
        Tables->Items(i)->LookupState().Positioned = false;
    for (int i = 0; i < LookupFields->Count(); ++i) {
        const std::vector<String> parts = dwSplitLookupLine(LookupFields->Get(i));
        if (parts.size() < MinLookupFieldsParts)
            continue;
        const String links = i < LookupLinks->Count() ? LookupLinks->Get(i) : String();
        TdwTable* table = FindOpenedTable(*Tables, parts, links);
        if (!table)
            table = OpenLookupTable(parts, links, *Tables);
        else if (!table->Active())
            table->Open();
        const std::vector<String> linkParts = dwSplitLookupLine(links);
        if (!LinkFieldsExist(DataSet, linkParts)) {
            HideField(DataSet, parts[0]);
            return;
        }
        TdwLookupTableState& state = table->LookupState();
        if (!state.Positioned)
            state.KeyFound = dwLookupFindKey(table, DataSet, linkParts);
        state.Positioned = true;
        TField* display = DataSet->FindField(parts[0]);
        if (!display)
            continue;
        if (state.KeyFound)
            display->SetAsString(ShownText(table->FindField(parts[3])));
        else
            display->Clear();
    }
}

bool dwFindLookupValue(TField* Field, String& KeyText, TField*& ResultField)
{
    ResultField = Field;
    TDataSet* dataSet = Field->DataSet();
    TdwLookupTableList* tables = dwGetLookupTableList(dataSet);
    if (!tables)
        return false;
    const TdwLookupFieldSpec spec = dwGetLookupFieldSpec(Field);
    for (int i = 0; i < tables->Count(); ++i) {
        TdwTable* table = tables->Items(i);
        if (table->DatabaseName() != spec.DatabaseName || table->TableName() != spec.TableName ||
            LowerCase(table->LookupState().LinksText) != LowerCase(spec.LinksLine))
            continue;
        ResultField = table->FindField(spec.ResultField);
        if (!ResultField)
            ResultField = Field;
        const std::vector<String> links = dwSplitLookupLine(spec.LinksLine);
        TField* keyField = links.empty() ? nullptr : dataSet->FindField(links[0]);
        KeyText = keyField ? keyField->AsString() : String();
        return table->dwFindKey({KeyText}, 0);
    }
    return false;
}

bool dwPositionLookupTable(TDataSet* DataSet, TdwTable* LookupTable, const String& FieldName,
                           String& FirstLinkField)
{
    TStrings* lookupFields = dwGetLookupFieldsList(DataSet);
    TStrings* lookupLinks = dwGetLookupLinksList(DataSet);
    dwPurgeMissingFieldEntries(DataSet, lookupFields, lookupLinks, dwGetControlTypeList(DataSet));
    if (!lookupFields)
        return false;
    for (int i = 0; i < lookupFields->Count(); ++i) {
        const std::vector<String> parts = dwSplitLookupLine(lookupFields->Get(i));
        if (parts.size() < MinLookupFieldsParts || UpperCase(parts[0]) != UpperCase(FieldName))
            continue;
        if (UpperCase(BaseName(LookupTable->TableName())) == UpperCase(BaseName(parts[2]))) {
            if (parts.size() > MinLookupFieldsParts)
                dwSetIndexForFields(LookupTable, IndexFieldsOf(parts));
            else if (LookupTable->IndexName() != parts[4])
                LookupTable->SetIndexName(parts[4]);
        }
        const std::vector<String> links =
                dwSplitLookupLine(lookupLinks && i < lookupLinks->Count() ? lookupLinks->Get(i) : String());
        if (!LinkFieldsExist(DataSet, links)) {
            HideField(DataSet, parts[0]);
            return false;
        }
        FirstLinkField = links.empty() ? String() : links[0];
        return dwLookupFindKey(LookupTable, DataSet, links);
    }
    return false;
}

bool dwSetIndexForFields(TdwTable* Table, const String& Fields)
{
    TIndexDefs* defs = Table->IndexDefs();
    defs->Update();
    for (const bool caseless : {false, true})
        for (int i = 0; i < defs->Count(); ++i) {
            const TIndexDef* def = defs->Items(i);
            if (def->Options().Contains(ixCaseInsensitive) == caseless && SameText(def->Fields(), Fields)) {
                dwSwitchIndexKeepRecord(Table, def);
                return true;
            }
        }
    return false;
}

bool dwFindNearestOnIndex(TDataSet* Table, const String& Text, int FieldIndex)
{
    auto* table = dynamic_cast<TDaroruTable*>(Table);
    if (!table)
        return false;
    // Only the library table narrows, and cancels its range for an empty text.
    auto* library = dynamic_cast<TdwTable*>(table);
    const std::vector<String> fields = dwActiveIndexFields(table);
    if (fields.empty()) {
        MessageDlg("Table " + table->TableName() + ": Table index not found", mtError, {mbOK}, 0);
        return false;
    }
    TField* field = FieldIndex >= 0 && FieldIndex < static_cast<int>(fields.size())
                            ? table->FindField(fields[static_cast<size_t>(FieldIndex)])
                            : nullptr;
    if (!field || !dwTextSuitsFieldType(Text, field->DataType()))
        return false;
    ConstArg values = LeadingValues(table, fields, FieldIndex);
    values.push_back(Text);
    const auto searchNearest = [&] {
        if (library && Text.empty() && !table->MasterSource())
            library->dwCancelRange();
        else
            dwGotoNearest(table, values);
    };
    if (!library || !library->NarrowSearch()) {
        if (!table->MasterSource()) {
            const TdwHourGlass hourGlass;
            const TdwControlsDisabled quiet(table);
            searchNearest();
        } else if (!dwIntl()->UseLocateMethodForSearch()) {
            searchNearest();
        } else if (Text.empty()) {
            table->First();
        } else {
            // The master link fixes the fields before the searched one.
            dwLocateValue(table, field->FieldName(), Text, !dwIsCaseInsensitiveIndex(table), true);
        }
    } else {
        const TdwHourGlass hourGlass;
        const TdwControlsDisabled quiet(table);
        if (field->DataType() != ftString)
            dwGotoNearest(table, values);
        else if (Text.empty())
            library->dwCancelRange();
        else
            library->ApplyPrefixRange(values, FieldIndex);
    }
    return CurrentMatches(table, field, Text);
}
