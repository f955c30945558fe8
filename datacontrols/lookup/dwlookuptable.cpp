#include "datacontrols/lookup/dwlookuptable.h"

#include "platform/db/dataset.h"

IdwLookupTable* dwLookupTableOf(TDataSet* DataSet) { return dynamic_cast<IdwLookupTable*>(DataSet); }

TdwSearchInProgress::TdwSearchInProgress(TDataSet* DataSet) : FTable(dwLookupTableOf(DataSet))
{
    if (FTable)
        FTable->ChangeSearchCount(1);
}

TdwSearchInProgress::~TdwSearchInProgress()
{
    if (FTable)
        FTable->ChangeSearchCount(-1);
}
