#include "datacontrols/datasets/dwstorep.h"

#include "platform/db/dberror.h"
#include "platform/rtl/strutils.h"

bool TdwStoredProc::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwStoredProc") || TDataSet::InheritsFrom(name);
}

void TdwStoredProc::ExecProc() { DatabaseError(StoredProcsNotSupported, this); }

void TdwStoredProc::SetFieldData(TField* /*Field*/, const void* /*Buffer*/)
{
    DatabaseError(StoredProcsNotSupported, this);
}

void TdwStoredProc::InternalOpen() { DatabaseError(StoredProcsNotSupported, this); }

std::optional<int> TdwStoredProc::PublishedOrdinal(const String& Name)
{
    if (Name == "OnFilterOptions")
        return dwFilterOptionsToOrdinal(OnFilterOptions);
    return std::nullopt;
}
