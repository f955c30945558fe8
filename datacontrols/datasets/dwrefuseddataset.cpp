#include "datacontrols/datasets/dwrefuseddataset.h"

#include "platform/db/dberror.h"

void TdwRefusedDataSet::SetFieldData(TField* /*Field*/, const void* /*Buffer*/) { Refuse(); }

void TdwRefusedDataSet::Refuse() { DatabaseError(FReason, this); }

std::optional<int> TdwRefusedDataSet::PublishedOrdinal(const String& Name)
{
    if (Name == "OnFilterOptions")
        return dwFilterOptionsToOrdinal(OnFilterOptions);
    return std::nullopt;
}
