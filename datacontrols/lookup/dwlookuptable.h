#pragma once
// What the lookup controls ask of the library's own table beyond an ordinary data set:
// key searches on its active index, its narrowed search range, its master link and a
// count of searches in progress. A lookup table that does not offer these is searched
// field by field. A TdwTable offers them through an adapter it owns.

#include <vector>

#include "platform/rtl/types.h"

class TDataSet;
class TDataSource;
class TStrings;

class IdwLookupTable {
public:
    virtual ~IdwLookupTable() = default;

    // The active index's fields, ';'-separated; empty without an active index.
    virtual String ActiveIndexFields() = 0;
    // Whether the current record matches the key Values[0..LastIndex], moving to the
    // record that does when it does not.
    virtual bool dwFindKey(const std::vector<String>& Values, int LastIndex) = 0;
    // Moves to the nearest key for Text on the index field at IndexPosition (the fields
    // before it taken from the master link); true when the current record then begins
    // with Text. With NarrowSearch the table is narrowed to the records that begin so.
    virtual bool dwFindNearest(const String& Text, int IndexPosition) = 0;
    // The current record when it matches already, else the first that does.
    virtual bool dwLocate(const String& Value, const String& FieldNames, bool CaseSensitive,
                          bool PartialMatch) = 0;
    // Switches to an index that leads with the field (after the master link's fields),
    // keeping the current record; false when there is none.
    virtual bool SelectIndexForField(const String& FieldName) = 0;
    // The same for the first field of a Selected list.
    virtual bool SelectIndexForSelected(const TStrings* Selected) = 0;
    // Lifts a range the search narrowed the table to.
    virtual void dwCancelRange() = 0;
    virtual bool NarrowSearch() const = 0;
    // The master link of a detail table; null for none.
    virtual TDataSource* MasterSource() const = 0;
    virtual String MasterFields() const = 0;
    // Above 0 while a search runs, so the table's own followers do not react to it.
    virtual int SearchCount() const = 0;
    virtual void ChangeSearchCount(int Delta) = 0;
};

// The data set as a library table: a TdwTable, or a data set that offers the searches
// itself; null for any other data set.
IdwLookupTable* dwLookupTableOf(TDataSet* DataSet);

// Raises a library table's search count for its lifetime; nothing for another data set.
class TdwSearchInProgress {
public:
    explicit TdwSearchInProgress(TDataSet* DataSet);
    ~TdwSearchInProgress();
    TdwSearchInProgress(const TdwSearchInProgress&) = delete;
    TdwSearchInProgress& operator=(const TdwSearchInProgress&) = delete;

private:
    IdwLookupTable* FTable;
};
