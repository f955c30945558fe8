#include "platform/db/indexdefs.h"

#include "platform/db/dataset.h"
#include "platform/rtl/strutils.h"

TIndexDef* TIndexDefs::Add(const String& Name, const String& Fields, TIndexOptions Options)
{
    FItems.push_back(std::make_unique<TIndexDef>(Name, Fields, Options));
    return FItems.back().get();
}

void TIndexDefs::Clear() { FItems.clear(); }

TIndexDef* TIndexDefs::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError("Index definition index out of range (" + IntToStr(Index) + ")");
    return FItems[Index].get();
}

int TIndexDefs::IndexOf(const String& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(FItems[i]->Name(), Name))
            return i;
    return -1;
}

TIndexDef* TIndexDefs::FindDef(const String& Name) const
{
    int i = IndexOf(Name);
    return i < 0 ? nullptr : FItems[i].get();
}

TIndexDef* TIndexDefs::Find(const String& Name) const
{
    TIndexDef* def = FindDef(Name);
    if (!def)
        DatabaseError("Index '" + Name + "' not found", FDataSet);
    return def;
}

void TIndexDefs::Update()
{
    if (!FUpdated && FDataSet)
        FDataSet->UpdateIndexDefs();
}
