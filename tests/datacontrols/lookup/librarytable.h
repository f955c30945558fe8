#pragma once
// A stand-in for the library's own table: the table data set over the real engine with
// the key searches, the narrowed search range and the master link the lookup controls
// ask of a library table.

#include <map>

#include "datacontrols/lookup/dwlookuptable.h"
#include "tables/drodset.h"

class TLibraryTable : public TDaroruTable, public IdwLookupTable {
public:
    using TDaroruTable::TDaroruTable;

    // Names a tag of the table's compound index and its fields (';'-separated).
    void AddIndex(const String& Tag, const String& Fields) { FIndexFields[Tag] = Fields; }
    void SetNarrowSearch(bool Value) { FNarrowSearch = Value; }

    String ActiveIndexFields() override;
    bool dwFindKey(const std::vector<String>& Values, int LastIndex) override;
    bool dwFindNearest(const String& Text, int IndexPosition) override;
    bool dwLocate(const String& Value, const String& FieldNames, bool CaseSensitive,
                  bool PartialMatch) override;
    bool SelectIndexForField(const String& FieldName) override;
    bool SelectIndexForSelected(const TStrings* Selected) override;
    void dwCancelRange() override;
    bool NarrowSearch() const override { return FNarrowSearch; }
    TDataSource* MasterSource() const override { return TDaroruTable::MasterSource(); }
    String MasterFields() const override { return TDaroruTable::MasterFields(); }
    int SearchCount() const override { return FSearchCount; }
    void ChangeSearchCount(int Delta) override { FSearchCount += Delta; }

    // How many times a search narrowed the table.
    int Narrowings = 0;

private:
    std::vector<String> IndexFieldList();
    // The key text of the values for the active index's first fields: each but the last
    // padded to its field's width.
    String KeyOf(const std::vector<String>& Values);
    // The master's values for the index's first fields.
    std::vector<String> MasterValues();
    bool CurrentBeginsWith(int Position, const String& Text);

    std::map<String, String> FIndexFields;
    bool FNarrowSearch = false;
    int FSearchCount = 0;
};
