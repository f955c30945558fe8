#include "controls/kvdbdateedit.h"

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"

bool TKVDBDateEditBase::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVDBDateEditBase") || TDBEdit::InheritsFrom(name);
}

void TKVDBDateEditBase::CommitText()
{
    // A field that cannot be written is left alone, so that the user can still leave it.
    if (!CanModifyField())
        return;
    const String date = NormalizeDateDigits(Text(), FStyle);
    SetText(date);
    TDataSet* dataSet = DataSource()->DataSet();
    dataSet->Edit();
    dataSet->FieldByName(DataField())->SetAsString(date);
}

bool TKVDBDateEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVDBDateEdit") || TKVDBDateEditBase::InheritsFrom(name);
}

void TKVDBDateEdit::CMEnter()
{
    SetSlashGuard(true, true);
    TKVDBDateEditBase::CMEnter();
}

void TKVDBDateEdit::DoExit()
{
    TKVDBDateEditBase::DoExit();
    SetSlashGuard(true, false);
    MouseFreeReturn(this, true);
}
