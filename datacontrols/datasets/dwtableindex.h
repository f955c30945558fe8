#pragma once
// The active index of a table of the table layer (the library table among them): its
// fields, the engine key of values on it, the soft seek, and switching to another
// index with the current record kept.

#include <vector>

#include "platform/rtl/constarg.h"
#include "platform/rtl/types.h"

class TDaroruTable;
class TIndexDef;

// The active index's fields; none without an active index.
std::vector<String> dwActiveIndexFields(TDaroruTable* Table);
bool dwIsCaseInsensitiveIndex(TDaroruTable* Table);
// The engine key of Values[0..LastIndex] on the active index: every value but the last
// padded to its field's width, upper-cased for a case-insensitive index.
String dwIndexKey(TDaroruTable* Table, const ConstArg& Values, int LastIndex);
// A soft seek: the first record whose key is at or after the values, else the last.
void dwGotoNearest(TDaroruTable* Table, const ConstArg& Values);
// Makes IndexDef the table's index with the current record kept. A closed table, or a
// library table that does not keep in step with an SQL server by ranges, only takes the
// index name. Otherwise, under the hourglass and with its controls quiet, the table is
// closed and opened on the new index and goes to the nearest key of the record's
// values; a record being edited is posted first.
void dwSwitchIndexKeepRecord(TDaroruTable* Table, const TIndexDef* IndexDef);
