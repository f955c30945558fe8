#include "datacontrols/datasets/dwtableindex.h"

#include "datacontrols/common/dwutils.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/db/field.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/strutils.h"
#include "tables/drodset.h"

std::vector<String> dwActiveIndexFields(TDaroruTable* Table)
{
    const TIndexDef* def =
            Table->IndexName().empty() ? nullptr : Table->IndexDefs()->FindDef(Table->IndexName());
    return def ? dwSplitFieldNames(def->Fields()) : std::vector<String>();
}

bool dwIsCaseInsensitiveIndex(TDaroruTable* Table)
{
    const TIndexDef* def =
            Table->IndexName().empty() ? nullptr : Table->IndexDefs()->FindDef(Table->IndexName());
    return def && def->Options().Contains(ixCaseInsensitive);
}

String dwIndexKey(TDaroruTable* Table, const ConstArg& Values, int LastIndex)
{
    const std::vector<String> fields = dwActiveIndexFields(Table);
    String key;
    for (int i = 0; i <= LastIndex && i < static_cast<int>(Values.size()); ++i) {
        String text = Values[static_cast<size_t>(i)].KeyText();
        const TField* field = i < static_cast<int>(fields.size())
                                      ? Table->FindField(fields[static_cast<size_t>(i)])
                                      : nullptr;
        if (i < LastIndex && field && field->DataType() == ftString &&
            static_cast<int>(text.size()) < field->Size())
            text += String(static_cast<size_t>(field->Size()) - text.size(), ' ');
        key += text;
    }
    return dwIsCaseInsensitiveIndex(Table) ? UpperCase(key) : key;
}

void dwGotoNearest(TDaroruTable* Table, const ConstArg& Values)
{
    const String key = dwIndexKey(Table, Values, static_cast<int>(Values.size()) - 1);
    Table->CheckBrowseMode();
    // Soft seeking is the engine's setting: on for this seek only.
    Table->cs_Select(Table->WorkArea());
    Table->cs_SetSoftSeek(1);
    Table->cs_Seek(key.c_str());
    const int record = Table->cs_RecNo();
    const bool past = Table->cs_Eof();
    Table->cs_SetSoftSeek(0);
    if (past)
        Table->Last();
    else
        Table->Go(record);
}

void dwSwitchIndexKeepRecord(TDaroruTable* Table, const TIndexDef* IndexDef)
{
    const auto* library = dynamic_cast<TdwTable*>(Table);
    if (!Table->Active() || (library && !library->SyncSQLByRange())) {
        Table->SetIndexName(IndexDef->Name());
        return;
    }
    if (IndexDef->Name() == Table->IndexName())
        return;
    const TdwHourGlass hourGlass;
    // Closing would drop the changes of a record being edited.
    Table->CheckBrowseMode();
    ConstArg values;
    for (const String& name : dwSplitFieldNames(IndexDef->Fields())) {
        const TField* field = Table->FindField(name);
        values.push_back(field ? field->AsString() : String());
    }
    const TdwControlsDisabled quiet(Table);
    Table->Close();
    Table->SetIndexName(IndexDef->Name());
    Table->Open();
    dwGotoNearest(Table, values);
}
