#pragma once
// Field helpers of the data-aware control library: existence, kinds and types, whether
// a text suits a field, and the Selected column lists (FieldName TAB Width TAB Title).

#include "platform/db/dbtypes.h"
#include "platform/rtl/types.h"

class TDataSet;
class TField;
class TStrings;

// The first name of a ';'-separated list of field names.
String dwFirstFieldName(const String& FieldNames);
// Compared in upper case; false for a null data set.
bool dwFieldExists(TDataSet* DataSet, const String& FieldName);
bool dwIsCalcOrLookupField(const TField* Field);
// The engine keeps no value of the field in its record: a calculated or lookup field, or
// any field of a data set that is not one of the engine's tables.
bool dwIsNonBDEField(const TField* Field);
// The name of the field whose display label matches Label, ignoring case and reading
// every '~' as a blank; empty when none does.
String dwFieldNameFromDisplayLabel(TDataSet* DataSet, const String& Label);
// Small integer, integer, word, float, currency and auto-increment (not BCD).
bool dwIsNumericFieldType(TFieldType DataType);
// False for bytes, var-bytes, blob and graphic.
bool dwIsIndexableFieldType(TFieldType DataType);
// Whether Text reads as a value of the type: integer, float, date, time or date-time
// text (a date-time field also takes a date); other types take any text.
bool dwTextSuitsFieldType(const String& Text, TFieldType DataType);
bool dwFieldAcceptsText(const TField* Field, const String& Text);
// As dwFieldAcceptsText, but an empty text is no search value for the numeric, date and
// time types.
bool dwIsSearchableText(const TField* Field, const String& Text);

// Shows only the fields the lines name, in the lines' order, with their widths and
// titles; lines naming no field are skipped.
void dwApplySelectedToFields(TDataSet* DataSet, const TStrings* Lines);
// One line per visible field: FieldName TAB DisplayWidth TAB DisplayLabel.
void dwFieldsToSelected(TDataSet* DataSet, TStrings* Lines);
// The line naming the field (ignoring case); false when none does.
bool dwFindSelectedLine(const TStrings* Lines, const String& FieldName, int& Index);
