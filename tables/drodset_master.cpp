// Master-detail links: the detail keeps a scope of the master's current link values.

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "tables/drodset.h"
#include "tables/droerror.h"

void TDaroruTable::SetMasterSource(TDataSource* Value)
{
    if (Value && Value->IsLinkedTo(this))
        Raise("Circular Datasource reference not allowed");
    FMasterLink->SetDataSource(Value);
}

String TDaroruTable::GetMasterVal()
{
    String key;
    const String detailKey = FWorkArea > 0 && !FIndexName.empty() ? UpperCase(IndexKey()) : String();
    for (TField* field : FMasterLink->Fields()) {
        const String text = field->AsString();
        switch (field->DataType()) {
        case ftString:
            key += text +
                   String(static_cast<size_t>(std::max(0, field->Size() - static_cast<int>(text.size()))),
                          ' ');
            break;
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftFloat:
        case ftCurrency: {
            auto* master = dynamic_cast<TDaroruTable*>(field->DataSet());
            const int width = master ? master->FieldWidth(field->FieldName()) : static_cast<int>(text.size());
            const char fill =
                    detailKey.find("STR(" + UpperCase(field->FieldName())) != String::npos ? ' ' : '0';
            key += String(static_cast<size_t>(std::max(0, width - static_cast<int>(text.size()))), fill) +
                   text;
            break;
        }
        case ftBoolean: key += field->AsBoolean() ? "T" : "F"; break;
        case ftDate:
        case ftDateTime: key += FormatDateTime("yyyymmdd", field->AsDateTime()); break;
        default: key += text;
        }
    }
    return key;
}

void TDaroruTable::MasterChanged(TObject* /*Sender*/)
{
    CheckBrowseMode();
    const String key = FMasterLink->Fields().empty() ? String() : GetMasterVal();
    if (!Select())
        return;
    if (key == FLastMasterKey && FIndexName == FLastMasterIndex)
        return;
    FLastMasterKey = key;
    FLastMasterIndex = FIndexName;
    CheckOrder();
    Select();
    if (!cs_SetScope(key.c_str(), key.c_str()))
        Raise("Scope Set failed");
    FCountNeedsRefresh = true;
    First();
}

void TDaroruTable::MasterDisabled(TObject* /*Sender*/)
{
    if (!Select())
        return;
    cs_SetScope(nullptr, nullptr);
    FLastMasterKey.clear();
    FLastMasterIndex.clear();
    FCountNeedsRefresh = true;
    Resync({});
}

void TDaroruTable::CheckMasterRange()
{
    if (FMasterLink->Active() && !FMasterLink->Fields().empty())
        MasterChanged(this);
}

void TDaroruTable::ApplyMasterScope()
{
    if (!FMasterLink->Active() || FMasterLink->Fields().empty())
        return;
    const String key = GetMasterVal();
    Select();
    cs_SetScope(key.c_str(), key.c_str());
    FLastMasterKey = key;
    FLastMasterIndex = FIndexName;
}
