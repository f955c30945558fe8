#include "datacontrols/lookup/dwlookuptable.h"

#include "datacontrols/common/dwutils.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/db/dataset.h"

namespace {

// The lookup controls' view of a TdwTable, owned by the table.
class TdwTableLookup : public TComponent, public IdwLookupTable {
public:
    explicit TdwTableLookup(TdwTable* Table) : TComponent(Table), FTable(Table) { }

    String ActiveIndexFields() override { return dwJoinFieldNames(FTable->IndexFields()); }
    bool dwFindKey(const std::vector<String>& Values, int LastIndex) override
    {
        return FTable->dwFindKey(ConstArg(Values.begin(), Values.end()), LastIndex);
    }
    bool dwFindNearest(const String& Text, int IndexPosition) override
    {
        return FTable->dwFindNearest(Text, IndexPosition);
    }
    bool dwLocate(const String& Value, const String& FieldNames, bool CaseSensitive,
                  bool PartialMatch) override
    {
        return FTable->dwLocate(Value, FieldNames, CaseSensitive, PartialMatch);
    }
    bool SelectIndexForField(const String& FieldName) override
    {
        return FTable->SelectIndexForField(FieldName);
    }
    bool SelectIndexForSelected(const TStrings* Selected) override
    {
        return FTable->SelectIndexForSelected(Selected);
    }
    void dwCancelRange() override { FTable->dwCancelRange(); }
    bool NarrowSearch() const override { return FTable->NarrowSearch(); }
    TDataSource* MasterSource() const override { return FTable->MasterSource(); }
    String MasterFields() const override { return FTable->MasterFields(); }
    int SearchCount() const override { return FTable->SearchCount(); }
    void ChangeSearchCount(int Delta) override { FTable->ChangeSearchCount(Delta); }

private:
    TdwTable* FTable;
};

IdwLookupTable* AdapterOf(TdwTable* Table)
{
    for (int i = 0; i < Table->ComponentCount(); ++i)
        if (auto* adapter = dynamic_cast<TdwTableLookup*>(Table->Components(i)))
            return adapter;
    return new TdwTableLookup(Table);
}

}  // namespace

IdwLookupTable* dwLookupTableOf(TDataSet* DataSet)
{
    if (auto* table = dynamic_cast<TdwTable*>(DataSet))
        return AdapterOf(table);
    return dynamic_cast<IdwLookupTable*>(DataSet);
}

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
