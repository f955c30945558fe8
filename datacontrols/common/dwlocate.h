#pragma once
// Finding a record by the text of one of its fields, in any data set: by key on the
// table's active index when it leads with the field, else record by record.

#include <vector>

#include "platform/rtl/types.h"

class TDataSet;

// How the field text must match the value.
constexpr int dwMatchWhole = 0;     // same length and equal
constexpr int dwMatchStart = 1;     // the field text begins with the value
constexpr int dwMatchAnywhere = 2;  // the field text contains the value

// A table that can search its active index by key (the library's table).
class IdwIndexSearch {
public:
    virtual ~IdwIndexSearch() = default;
    // The active index's fields; none without an active index or for a table whose rows
    // a query gives.
    virtual std::vector<String> SearchIndexFields() = 0;
    virtual bool SearchIndexCaseInsensitive() = 0;
    // Goes to the first record whose leading index field is Text (Nearest: the first
    // at or after it); false when there is none. The caller checks the text.
    virtual bool SeekIndexKey(const String& Text, bool Nearest) = 0;
    // The rows come from a query text in place of a table.
    virtual bool UsesQuery() const = 0;
};

// The data set's key search; null for a data set without one.
IdwIndexSearch* dwIndexSearchOf(TDataSet* DataSet);

// Moves to the first record whose field text matches Value (compared in upper case
// unless CaseSensitive); without a match the record that was current stays current.
// A field the data set lacks is reported in a message box. A table whose active index
// leads with the field, with the case sensitivity asked for, is searched by key (a
// whole value exactly, a partial one to the nearest key); another is scanned.
bool dwLocateRecord(int MatchType, TDataSet* DataSet, const String& FieldName, bool CaseSensitive,
                    bool Partial, const String& Value);
// The current record when it matches already, else the first that does (whole value,
// or the beginning with Partial).
bool dwLocateValue(TDataSet* DataSet, const String& FieldName, const String& Value, bool CaseSensitive,
                   bool Partial);

// A library table ordered by an active index / fed by a query text.
bool dwIsIndexedTdwTable(TDataSet* DataSet);
bool dwIsQueryTable(TDataSet* DataSet);
