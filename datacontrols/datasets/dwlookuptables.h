#pragma once
// Lookup tables of the library's data sets. A LookupFields line names a display field,
// the table and field it shows and the index to search; the LookupLinks line at the same
// position pairs the data set's fields with the lookup table's key fields. Each data set
// keeps the tables it opened for these lines in its own lookup-table list, and fills its
// display fields from them while it calculates a record. Also the index search of the
// incremental search and the lookup combo.

#include <memory>
#include <vector>

#include "platform/rtl/types.h"

class TDataSet;
class TField;
class TStrings;
class TdwTable;

// The lookup tables a data set opened; it owns them.
class TdwLookupTableList {
public:
    TdwLookupTableList();
    ~TdwLookupTableList();
    TdwLookupTableList(const TdwLookupTableList&) = delete;
    TdwLookupTableList& operator=(const TdwLookupTableList&) = delete;

    int Count() const { return static_cast<int>(FTables.size()); }
    TdwTable* Items(int Index) const { return FTables[static_cast<size_t>(Index)].get(); }
    TdwTable* Add(std::unique_ptr<TdwTable> Table);
    // Closes and frees every table.
    void Clear();

private:
    std::vector<std::unique_ptr<TdwTable>> FTables;
};

// The lookup-table list of a library data set; null for any other data set.
TdwLookupTableList* dwGetLookupTableList(TDataSet* DataSet);

// Whether Table is the database and table the LookupFields parts name: the table name
// without its extension when the line ends in "N".
bool dwIsSameLookupTable(TdwTable* Table, const std::vector<String>& LookupFieldsParts);

// Positions the lookup table on the key the LinkParts (source;lookup field pairs) take
// from the data set's current record; whether it was found.
bool dwLookupFindKey(TdwTable* LookupTable, TDataSet* DataSet, const std::vector<String>& LinkParts);

// Opens the lookup tables the lines name (once for each table and links line) and fills
// every display field from them for the current record. A display field whose links
// name a field the data set lacks is hidden instead.
void dwOpenLookupTables(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                        TdwLookupTableList* Tables);

// For the grid: the lookup table's field that the display field shows (the field itself
// when no lookup table serves it), the key text from the data set and whether the
// lookup table finds it.
bool dwFindLookupValue(TField* Field, String& KeyText, TField*& ResultField);

// For the lookup list: sets LookupTable's index from the field's LookupFields line when
// it is that line's table, and positions it for the data set's current record. Passes
// back the first link field; false when the key is not found or a link field is missing
// (the display field is then hidden).
bool dwPositionLookupTable(TDataSet* DataSet, TdwTable* LookupTable, const String& FieldName,
                           String& FirstLinkField);

// Picks the index whose fields are Fields (';'-separated), case-sensitive before
// case-insensitive; false when none is.
bool dwSetIndexForFields(TdwTable* Table, const String& Fields);

// Searches a table of the table layer on its active index for Text in the index field
// at FieldIndex (the fields before it taken from the master link, or from the current
// record), or narrows a library table to the records that begin with Text under
// NarrowSearch. Any other data set is not searched. Whether the current record then
// matches Text.
bool dwFindNearestOnIndex(TDataSet* Table, const String& Text, int FieldIndex);
