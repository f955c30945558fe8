#include "datacontrols/lookup/wwkeycombo.h"

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/datasets/dwtableindex.h"
#include "datacontrols/datasets/wwtable.h"
#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"

namespace {

const String DefaultPrimaryKeyName = "PrimaryKey";
const String DescendingSuffix = " - Desc";

String FieldLabel(const TField* Field) { return dwReplaceChar(Field->DisplayLabel(), '~', ' '); }

// The field is in the list: with a grid, when the grid has a column line for it.
bool IsShownField(TField* Field, TdwCustomDBGrid* Grid)
{
    if (!Grid)
        return Field->Visible();
    int line = 0;
    return dwFindSelectedLine(Grid->Selected(), Field->FieldName(), line);
}

bool HasIndexInformation(TDataSet* DataSet, const TdwKeyCombo* Combo)
{
    return dwIsClassNamed(DataSet, "TTable") || Combo->UsesFieldsAsIndexes(DataSet) ||
           dwGetIndexDefs(DataSet);
}

}  // namespace

// ---- the link ----

void TdwKeyDataLink::ActiveChanged()
{
    if (Active())
        FCombo->FillIndexList(nullptr);
}

void TdwKeyDataLink::DataSetChanged() { FCombo->DataSetChanged(); }

// ---- the chooser ----

TdwKeyCombo::TdwKeyCombo(TComponent* AOwner) : TdwDBCustomComboBox(AOwner)
{
    SetStyle(csDropDownList);
    SetButtonStyle(cbsDownArrow);
}

TdwKeyCombo::~TdwKeyCombo() { FDataLink.SetDataSource(nullptr); }

bool TdwKeyCombo::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwKeyCombo") || TdwDBCustomComboBox::InheritsFrom(name);
}

void TdwKeyCombo::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwDBCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == DataSource())
        FDataLink.SetDataSource(nullptr);
}

void TdwKeyCombo::SetDataSource(TDataSource* Value)
{
    TDataSet* dataSet = Value ? Value->DataSet() : nullptr;
    if (dataSet && !HasIndexInformation(dataSet, this)) {
        MessageDlg("DataSource must point to a dataset containing index information.", mtWarning, {mbOK}, 0);
        return;
    }
    FDataLink.SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
    if (FDataLink.Active())
        FillIndexList(nullptr);
}

void TdwKeyCombo::SetShowAllIndexes(bool Value)
{
    FShowAllIndexes = Value;
    if (DataSource())
        FillIndexList(nullptr);
}

String TdwKeyCombo::PrimaryKeyName() const
{
    return FPrimaryKeyName.empty() ? DefaultPrimaryKeyName : FPrimaryKeyName;
}

bool TdwKeyCombo::UsesFieldsAsIndexes(TDataSet* DataSet) const
{
    return dwIsClassNamed(DataSet, "TClientDataSet") ||
           (dwGetCursorLocation(DataSet) == 1 && DataSet && SameText(DataSet->ClassName(), "TADOTable"));
}

void TdwKeyCombo::FillIndexList(TdwCustomDBGrid* Grid)
{
    TDataSet* dataSet = FDataLink.DataSet();
    if (!dataSet)
        return;
    if (dwIsQueryTable(dataSet)) {
        // A query's rows have no indexes to choose from.
        MessageDlg("TdwKeyCombo: DataSet cannot be a TdwTable using a Query.", mtWarning, {mbOK}, 0);
        return;
    }
    if (!dwIsClassNamed(dataSet, "TTable") && UsesFieldsAsIndexes(dataSet))
        FillFieldList(dataSet, Grid);
    else
        FillIndexDefList(dataSet, Grid);
}

String TdwKeyCombo::IndexLabel(TDataSet* DataSet, const TIndexDef* Def) const
{
    TField* field = DataSet->FindField(dwFirstFieldName(Def->Fields()));
    if (!field)
        return String();
    return Def->Options().Contains(ixDescending) ? FieldLabel(field) + DescendingSuffix : FieldLabel(field);
}

void TdwKeyCombo::FillFieldList(TDataSet* DataSet, TdwCustomDBGrid* Grid)
{
    if (!FKeepItems) {
        TStringList labels;
        for (TField* field : DataSet->Fields()) {
            if (dwIsIndexableFieldType(field->DataType()) && !dwIsCalcOrLookupField(field) &&
                (FShowAllIndexes || IsShownField(field, Grid)))
                labels.Add(FieldLabel(field));
        }
        Items()->Assign(labels);
    }
    TField* current = DataSet->FindField(dwFirstFieldName(dwGetIndexFieldNames(DataSet)));
    SelectItem(current ? FieldLabel(current) : String());
}

bool TdwKeyCombo::ItemsStillValid(TDataSet* DataSet) const
{
    for (int i = 0; i < Items()->Count(); ++i) {
        String item = Items()->Get(i);
        if (item.size() > DescendingSuffix.size() &&
            item.compare(item.size() - DescendingSuffix.size(), DescendingSuffix.size(), DescendingSuffix) ==
                    0)
            item.resize(item.size() - DescendingSuffix.size());
        if (dwFieldNameFromDisplayLabel(DataSet, item).empty())
            return false;
    }
    return true;
}

void TdwKeyCombo::FillIndexDefList(TDataSet* DataSet, TdwCustomDBGrid* Grid)
{
    TIndexDefs* defs = dwGetIndexDefs(DataSet);
    if (!defs || dwGetMasterSource(DataSet))
        return;
    const bool keep = FKeepItems && ItemsStillValid(DataSet);
    if (!keep) {
        defs->SetUpdated(false);
        defs->Update();
    }
    TStringList items;
    if (keep)
        items.Assign(*Items());
    if (FShowAllIndexes) {
        if (!keep)
            for (int i = 0; i < defs->Count(); ++i)
                items.Add(defs->Items(i)->Name().empty() ? PrimaryKeyName() : defs->Items(i)->Name());
        Items()->Assign(items);
        const String name = dwGetIndexName(DataSet);
        SelectItem(name.empty() ? PrimaryKeyName() : name);
        return;
    }
    const String fieldNames = dwGetIndexFieldNames(DataSet);
    const String indexName = dwGetIndexName(DataSet);
    String current;
    for (int i = 0; i < defs->Count(); ++i) {
        const TIndexDef* def = defs->Items(i);
        TField* first = DataSet->FindField(dwFirstFieldName(def->Fields()));
        if (!first || !IsShownField(first, Grid))
            continue;
        const String item = IndexLabel(DataSet, def);
        const bool isCurrent = fieldNames.empty() ? dwSameText(indexName, def->Name())
                                                  : dwSameText(fieldNames, def->Fields());
        if (isCurrent)
            current = item;
        if (!keep && items.IndexOf(item) < 0)
            items.Add(item);
    }
    Items()->Assign(items);
    SelectItem(current);
}

void TdwKeyCombo::SelectItem(const String& Item)
{
    const int index = Item.empty() ? -1 : Items()->IndexOf(Item);
    if (index == ItemIndex())
        return;
    FSelecting = true;
    SetItemIndex(index);
    FSelecting = false;
}

void TdwKeyCombo::Change()
{
    TDataSet* dataSet = FDataLink.DataSet();
    if (FSelecting || !dataSet || !dataSet->Active())
        return;
    const String text = Text();
    if (!dwIsClassNamed(dataSet, "TTable") && UsesFieldsAsIndexes(dataSet)) {
        if (!text.empty()) {
            const FlagScope selfChange(FSelfChange);
            dwSetIndexFieldNames(dataSet, dwFieldNameFromDisplayLabel(dataSet, text));
        }
        TdwDBCustomComboBox::Change();
        return;
    }
    TIndexDefs* defs = dwGetIndexDefs(dataSet);
    if (!defs) {
        MessageDlg("TdwKeyCombo: Virtual DataSet does not have index information available.", mtWarning,
                   {mbOK}, 0);
        return;
    }
    if (FShowAllIndexes) {
        const bool primary = text == PrimaryKeyName() || text == DefaultPrimaryKeyName;
        dwSetIndexName(dataSet, primary ? String() : text);
        TdwDBCustomComboBox::Change();
        return;
    }
    defs->SetUpdated(false);
    defs->Update();
    const TIndexDef* chosen = nullptr;
    for (const bool caseInsensitiveOnly : {true, false}) {
        for (int i = 0; i < defs->Count() && !chosen; ++i) {
            const TIndexDef* def = defs->Items(i);
            if (caseInsensitiveOnly && !def->Options().Contains(ixCaseInsensitive))
                continue;
            if (dwFieldExists(dataSet, dwFirstFieldName(def->Fields())) && IndexLabel(dataSet, def) == text)
                chosen = def;
        }
    }
    // The library table keeps its current record through the switch.
    if (auto* library = dynamic_cast<TdwTable*>(dataSet); chosen && library)
        dwSwitchIndexKeepRecord(library, chosen);
    else if (chosen)
        dwSetIndexName(dataSet, chosen->Name());
    SelectItem(text);
    TdwDBCustomComboBox::Change();
}

void TdwKeyCombo::DataSetChanged()
{
    TDataSource* source = DataSource();
    if (!source || source->State() != dsBrowse || FSelfChange)
        return;
    const FlagScope keepItems(FKeepItems);
    FillIndexList(nullptr);
}
