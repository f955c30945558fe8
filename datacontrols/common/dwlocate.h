#pragma once
// Finding a record by the text of one of its fields, in any data set.

#include "platform/rtl/types.h"

class TDataSet;

// How the field text must match the value.
constexpr int dwMatchWhole = 0;   // same length and equal
constexpr int dwMatchStart = 1;   // the field text begins with the value
constexpr int dwMatchAnywhere = 2;  // the field text contains the value

// Moves to the first record whose field text matches Value (compared in upper case
// unless CaseSensitive); without a match the record that was current stays current.
// A field the data set lacks is reported in a message box. Partial is read only by
// the key searches of indexed tables; the scan follows MatchType.
bool dwLocateRecord(int MatchType, TDataSet* DataSet, const String& FieldName, bool CaseSensitive, bool Partial,
                    const String& Value);
// The current record when it matches already, else the first that does (whole value,
// or the beginning with Partial).
bool dwLocateValue(TDataSet* DataSet, const String& FieldName, const String& Value, bool CaseSensitive, bool Partial);
