// The lookup combo's connection of its text with the data field and the lookup table:
// the rules of typing, showing the field's value as the lookup record's display text,
// the incremental search, and writing the chosen record's key back into the field.

#include <algorithm>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/lookup/dwdblook.h"
#include "datacontrols/lookup/dwlookuptable.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/timer.h"

namespace {

// The last searched text after Backspace or Delete in an open grid: the next search
// runs, but completes nothing.
const char* const NoCompletionMarker = "~~~~";

// The first field of a ';'-separated list, upper-cased, for comparing field names.
String FirstUpper(const String& Names) { return UpperCase(dwFirstFieldName(Names)); }

}  // namespace

// ---- rules ----

bool TdwDBCustomLookupCombo::MayType() const
{
    return IsDroppedDown() || FStyle != csDropDownList || FAutoDropDown;
}

bool TdwDBCustomLookupCombo::IsModifiable() const
{
    if (ReadOnly())
        return false;
    if (!IsDroppedDown() && FStyle == csDropDownList && !FAutoDropDown)
        return false;
    TDataSource* source = FDataLink.DataSource();
    if (!source || FDataLink.FieldName().empty())
        return true;
    if (FDataLink.Editing() && MayType())
        return true;
    return IsLookupKindField() &&
           (source->State() == dsEdit || source->State() == dsInsert || source->AutoEdit());
}

bool TdwDBCustomLookupCombo::IsLookupKindField() const
{
    TDataSet* own = FDataLink.DataSet();
    TField* field = own ? own->FindField(FDataLink.FieldName()) : nullptr;
    if (!field)
        return false;
    return field->FieldKind() == fkLookup || !dwGetLookupLinksLine(own, field->FieldName()).empty();
}

TdwDBCustomLookupCombo::TKeyPairs TdwDBCustomLookupCombo::LookupKeyPairs() const
{
    TKeyPairs pairs;
    TDataSet* own = FDataLink.DataSet();
    TField* field = own ? own->FindField(FDataLink.FieldName()) : nullptr;
    if (!field)
        return pairs;
    if (field->FieldKind() == fkLookup) {
        pairs.Own = dwSplitFieldNames(field->KeyFields());
        pairs.Lookup = dwSplitFieldNames(field->LookupKeyFields());
    } else {
        const std::vector<String> tokens = dwSplitFieldNames(dwGetLookupLinksLine(own, field->FieldName()));
        for (size_t i = 0; i + 1 < tokens.size(); i += 2) {
            pairs.Own.push_back(tokens[i]);
            pairs.Lookup.push_back(tokens[i + 1]);
        }
    }
    const size_t count = std::min(pairs.Own.size(), pairs.Lookup.size());
    pairs.Own.resize(count);
    pairs.Lookup.resize(count);
    return pairs;
}

bool TdwDBCustomLookupCombo::WriteLookupKeys()
{
    TDataSet* own = FDataLink.DataSet();
    const TKeyPairs pairs = LookupKeyPairs();
    if (!own || ReadOnly() || !own->CanModify())
        return false;
    std::vector<String> values {FGrid->LookupValue(), FGrid->LinkValue(0), FGrid->LinkValue(1)};
    bool differs = pairs.Own.empty();
    for (size_t i = 0; i < pairs.Own.size() && i < values.size(); ++i)
        differs = differs || own->FieldByName(pairs.Own[i])->AsString() != values[i];
    if (!differs)
        return false;
    FDataLink.DataSource()->Edit();
    if (own->State() != dsEdit && own->State() != dsInsert)
        return false;
    const FlagScope inUpdate(FInUpdate);
    for (size_t i = 0; i < pairs.Own.size() && i < values.size(); ++i)
        own->FieldByName(pairs.Own[i])->SetAsString(values[i]);
    return true;
}

bool TdwDBCustomLookupCombo::UsesSequentialSearch() const
{
    IdwLookupTable* table = dwLookupTableOf(LookupTable());
    return !table || table->ActiveIndexFields().empty();
}

String TdwDBCustomLookupCombo::DisplayFieldName() const
{
    if (TField* display = FGrid->DisplayField())
        return display->FieldName();
    return dwFirstFieldName(LookupField());
}

// ---- showing the field's value ----

void TdwDBCustomLookupCombo::DataChange()
{
    if (FInUpdate)
        return;
    TField* field = FDataLink.Field();
    if (!field) {
        SetText(String());
        return;
    }
    // A detail lookup table not yet on the master's record keeps the text as it is.
    IdwLookupTable* table = dwLookupTableOf(LookupTable());
    if (table && table->MasterSource() == FDataLink.DataSource() && FDataLink.DataSource() &&
        !field->IsNull()) {
        TField* master = FDataLink.DataSet()->FindField(dwFirstFieldName(table->MasterFields()));
        TField* first = LookupTable()->FindField(dwFirstFieldName(table->ActiveIndexFields()));
        if (master && first && master->AsString() != first->AsString())
            return;
    }
    {
        const FlagScope inUpdate(FInUpdate);
        if (IsLookupKindField()) {
            PositionOnKeyFields();
            SetText(field->DisplayText());
        } else {
            LookupValueIntoText(field->AsString());
        }
    }
    if (FDataLink.DataSet()->State() == dsBrowse)
        SaveValuesForEscape();
    SelectAllIfLocked();
}

void TdwDBCustomLookupCombo::LookupValueIntoText(const String& Value)
{
    const bool sameField = FGrid->DisplayField() == FGrid->LookupFieldRef();
    // The link values come from the field's record: with them the key names one lookup
    // record of several.
    const String links[2] = {FGrid->LinkValue(0), FGrid->LinkValue(1)};
    if (FDataLink.DataSet())
        FGrid->TakeLinkValues(FDataLink.DataSet());
    const bool sameLinks = links[0] == FGrid->LinkValue(0) && links[1] == FGrid->LinkValue(1);
    // The text shows this record already: the lookup table is left where it is, so that
    // whoever moves it meanwhile keeps its place.
    if (Value == FGrid->LookupValue() && sameLinks && (!Text().empty() || Value.empty()) &&
        (sameField || Text() == FGrid->DisplayValue()))
        return;
    TDataSet* table = LookupTable();
    if (!FGrid->LookupFieldRef() || !table || !table->Active()) {
        FGrid->ClearValues();
        FGrid->SetLookupValue(Value);
        SetText(Value);
        return;
    }
    FGrid->SetLookupValue(Value);
    FGrid->SetPickedRow(-1);
    if (sameField) {
        FGrid->SetDisplayValue(Value);
        SetText(Value);
        return;
    }
    PositionLookupTable(false);
    SetText(FGrid->DisplayValue());
}

bool TdwDBCustomLookupCombo::PositionLookupTable(bool OrderByDisplayAfter)
{
    TDataSet* table = LookupTable();
    if (!table || !table->Active())
        return false;
    if (IsLookupKindField())
        return PositionOnKeyFields();
    TdwSearchInProgress searching(table);
    if (OrderByDisplayAfter)
        OrderLookupTable(false);
    if (table->State() == dsSetKey)
        return false;
    if (!FDataLink.DataSet() && FGrid->DisplayField() == FGrid->LookupFieldRef()) {
        FGrid->SetLookupValue(Text());
        FGrid->SetDisplayValue(Text());
    }
    const String value = FGrid->LookupValue();
    const bool found = !value.empty() && FindLookupValue(value);
    TakeFoundRecord(found);
    FGrid->SetFound(found);
    if (!found)
        FGrid->SetLookupValue(value);
    if (OrderByDisplayAfter) {
        FMatchFound = found || Text().empty();
        OrderLookupTable(true);
    }
    return found;
}

bool TdwDBCustomLookupCombo::PositionOnKeyFields()
{
    TDataSet* table = LookupTable();
    TDataSet* own = FDataLink.DataSet();
    const TKeyPairs pairs = LookupKeyPairs();
    if (!table || !table->Active() || !own || pairs.Own.empty())
        return false;
    TdwSearchInProgress searching(table);
    VariantArray values;
    for (const String& name : pairs.Own)
        values.push_back(Variant(own->FieldByName(name)->AsString()));
    bool found = false;
    if (values.size() == 1) {
        const String value = values[0].AsString();
        found = !value.empty() &&
                LocateValue(value, pairs.Lookup[0], FSeqSearchOptions.Contains(ssoCaseSensitive), false);
    } else {
        found = table->Locate(dwJoinFieldNames(pairs.Lookup), VarArrayOf(values), {});
    }
    TakeFoundRecord(found);
    return found;
}

void TdwDBCustomLookupCombo::TakeFoundRecord(bool Found)
{
    if (Found) {
        FGrid->TakeCurrentRecord();
        return;
    }
    if (!LookupTable()->IsEmpty())
        LookupTable()->First();
    FGrid->ClearValues();
    FGrid->Invalidate();
}

bool TdwDBCustomLookupCombo::FindLookupValue(const String& Value)
{
    TDataSet* table = LookupTable();
    IdwLookupTable* library = dwLookupTableOf(table);
    const bool caseSensitive = FSeqSearchOptions.Contains(ssoCaseSensitive);
    if (FGrid->LinksBound())
        return FGrid->FindValueWithLinks(Value, caseSensitive);
    if (UsesSequentialSearch())
        return LocateValue(Value, LookupField(), caseSensitive, false);
    if (library->MasterSource())
        return FindOnIndex(Value, dwFirstFieldName(LookupField()), false);
    if (FirstUpper(library->ActiveIndexFields()) == FirstUpper(LookupField()))
        return library->dwFindKey({Value}, 0);
    return library->dwLocate(Value, LookupField(), caseSensitive, false);
}

void TdwDBCustomLookupCombo::OrderLookupTable(bool ForDisplay)
{
    IdwLookupTable* table = dwLookupTableOf(LookupTable());
    if (!table)
        return;
    if (ForDisplay) {
        if (!FOrderByDisplay)
            return;
        if (Selected()->Count() > 0)
            table->SelectIndexForSelected(Selected());
        else
            table->SelectIndexForField(dwFirstFieldName(LookupField()));
    } else {
        table->SelectIndexForField(dwFirstFieldName(LookupField()));
    }
}

// ---- searching ----

void TdwDBCustomLookupCombo::PerformSearch()
{
    FTimer->SetEnabled(false);
    TDataSet* table = LookupTable();
    const String text = Text();
    if (text == FLastSearched || !table || !table->Active())
        return;
    const bool partial = IsDroppedDown() || FSearchFromTyping;
    const String display = DisplayFieldName();
    IdwLookupTable* library = dwLookupTableOf(table);
    bool searched = false;
    const bool sequential = UsesSequentialSearch();
    if (!sequential) {
        searched = true;
        if (FirstUpper(library->ActiveIndexFields()) != UpperCase(display) || library->MasterSource()) {
            if (FSeqSearchOptions.Contains(ssoEnabled))
                FMatchFound = FindOnIndex(text, display, partial);
        } else if (partial) {
            FMatchFound = library->dwFindNearest(text, 0);
        } else {
            FMatchFound = library->dwFindKey({text}, 0);
        }
    } else if (FSeqSearchOptions.Contains(ssoEnabled)) {
        searched = true;
        FMatchFound = LocateValue(text, display, FSeqSearchOptions.Contains(ssoCaseSensitive), partial);
        TField* displayField = table->FindField(display);
        // A display value shorter than the text typed is no match.
        if (FMatchFound && displayField &&
            static_cast<int>(displayField->DisplayText().size()) < static_cast<int>(text.size()))
            FMatchFound = false;
    }
    if (searched)
        FGrid->SetFound(FMatchFound);
    if (searched && sequential && IsDroppedDown() && !FMatchFound &&
        FGrid->DisplayField() == FGrid->LookupFieldRef()) {
        FGrid->SetLookupValue(String());
        FLastSearched = text;
        FGrid->Invalidate();
        return;
    }
    // The open grid follows to the nearest record; a closed one takes only a match, and
    // without one keeps the field's value, so that leaving writes back what was there.
    if (searched && (FMatchFound || IsDroppedDown()))
        FGrid->TakeCurrentRecord();
    else if (searched)
        KeepFieldValue();
    if (!IsDroppedDown())
        FGrid->SetPickedRow(-1);
    FGrid->Invalidate();
    if (FShowMatchText && FMatchFound && FLastSearched != NoCompletionMarker && FGrid->DisplayField()) {
        const String completed = FGrid->DisplayField()->DisplayText();
        const int typed = SelStart() == 0 ? static_cast<int>(text.size()) : SelStart();
        SetText(completed);
        SetModified(true);
        SetSelStart(typed);
        SetSelLength(static_cast<int>(completed.size()) - typed);
        // The completed record counts as picked: leaving writes its keys.
        if (!IsDroppedDown())
            FGrid->SetPickedRow(0);
    }
    FLastSearched = Text();
}

bool TdwDBCustomLookupCombo::LocateValue(const String& Value, const String& FieldNames, bool CaseSensitive,
                                         bool PartialMatch)
{
    TDataSet* table = LookupTable();
    if (IdwLookupTable* library = dwLookupTableOf(table))
        return library->dwLocate(Value, FieldNames, CaseSensitive, PartialMatch);
    TField* field = table->FindField(dwFirstFieldName(FieldNames));
    if (!field)
        return false;
    const bool oneField = FieldNames.find(';') == String::npos;
    if (oneField && !table->IsEmpty() && field->AsString() == Value) {
        FGrid->Invalidate();
        return true;
    }
    String value = Value;
    if (field->DataType() == ftString && field->Size() > 0 && static_cast<int>(value.size()) > field->Size())
        value.resize(static_cast<size_t>(field->Size()));
    if (value.empty() || !dwIsSearchableText(field, value)) {
        FGrid->Invalidate();
        return false;
    }
    if (dwIsCalcOrLookupField(field))
        return dwLocateValue(table, field->FieldName(), value, false, PartialMatch);
    if (!dwIntl()->UseLocateMethodForSearch())
        return dwLocateValue(table, field->FieldName(), value, CaseSensitive, PartialMatch);
    TdwHourGlass hourGlass;
    TLocateOptions options;
    if (!CaseSensitive)
        options.Include(loCaseInsensitive);
    if (PartialMatch)
        options.Include(loPartialKey);
    return table->Locate(FieldNames, Variant(value), options);
}

bool TdwDBCustomLookupCombo::FindOnIndex(const String& Value, const String& FieldName, bool PartialMatch)
{
    TDataSet* table = LookupTable();
    IdwLookupTable* library = dwLookupTableOf(table);
    if (!library)
        return LocateValue(Value, FieldName, FSeqSearchOptions.Contains(ssoCaseSensitive), PartialMatch);
    int position = 0;
    if (library->MasterSource()) {
        const String masters = library->MasterFields();
        position = static_cast<int>(std::count(masters.begin(), masters.end(), ';')) + 1;
        const std::vector<String> parts = dwSplitFieldNames(library->ActiveIndexFields());
        if (position >= static_cast<int>(parts.size()) ||
            !SameText(parts[static_cast<size_t>(position)], FieldName))
            return library->dwLocate(Value, FieldName, FSeqSearchOptions.Contains(ssoCaseSensitive),
                                     PartialMatch);
    }
    TField* field = table->FindField(FieldName);
    if (!PartialMatch && field && !table->IsEmpty() && SameText(field->AsString(), Value))
        return true;
    return library->dwFindNearest(Value, position);
}

void TdwDBCustomLookupCombo::KeepFieldValue()
{
    TField* field = FDataLink.Field();
    if (!field || IsLookupKindField()) {
        FGrid->ClearValues();
        return;
    }
    FGrid->SetLookupValue(field->AsString());
    FGrid->TakeLinkValues(FDataLink.DataSet());
    FGrid->SetDisplayValue(String());
}

// ---- writing back ----

void TdwDBCustomLookupCombo::UpdateData()
{
    TField* field = FDataLink.Field();
    if (!field)
        return;
    if (IsLookupKindField()) {
        if (FGrid->PickedRow() >= 0 || IsLookupRecordChosen())
            WriteLookupKeys();
        return;
    }
    const FlagScope inUpdate(FInUpdate);
    if (FGrid->DisplayField() == FGrid->LookupFieldRef() || !FGrid->LookupFieldRef())
        field->SetText(Text());
    else
        field->SetAsString(FGrid->LookupValue());
    if (FGrid->PickedRow() >= 0 || IsLookupRecordChosen()) {
        for (int i = 0; i < 2; ++i) {
            TField* link = FGrid->LinkField(i);
            TField* own = link ? FDataLink.DataSet()->FindField(link->FieldName()) : nullptr;
            if (own && own != field)
                own->SetAsString(FGrid->LinkValue(i));
        }
    }
}
