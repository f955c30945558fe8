#pragma once
// The ControlType and LookupFields/LookupLinks setting lists of a data set or control.
//
// ControlType: FieldName ";" TypeWord ";" Parameters, the field name compared exactly,
// the last line for a field winning.
// LookupFields: DisplayField ";" DatabaseName ";" TableName ";" LookupField ";" IndexName
// [";" index fields ... ";" "N"]; a line with fewer than five parts is ignored.
// LookupLinks, line by line parallel to LookupFields: SourceField ";" LookupField, up to
// six pairs.

#include <vector>

#include "platform/rtl/types.h"

class TDataSet;
class TField;
class TObject;
class TStrings;

struct TdwFieldControlType {
    String TypeWord;
    // The text after the second ';', at most 255 characters.
    String Parameters;
};

// Empty parts when Owner publishes no list or has no line for the field.
TdwFieldControlType dwGetFieldControlType(TObject* Owner, const String& FieldName);
// "CustomEdit", "LookupCombo" or "Combo", ignoring case: an attached control edits the cell.
bool dwIsCustomControlType(const String& TypeWord);
// The blob field's data set has a ControlType line "FieldName;RichEdit...".
bool dwIsRichEditField(TField* BlobField);

// Where a lookup display field takes its value from.
struct TdwLookupFieldSpec {
    String DatabaseName;
    String TableName;
    // The lookup table's field shown in the display field.
    String ResultField;
    String LinksLine;
};

// The ';'-separated parts of a LookupFields or LookupLinks line.
std::vector<String> dwSplitLookupLine(const String& Line);
// From the first LookupFields line of the field with at least five parts; without one,
// the data set's DatabaseName and empty texts.
TdwLookupFieldSpec dwGetLookupFieldSpec(TField* Field);
// The LookupLinks line of the field's LookupFields line; empty without one.
String dwGetLookupLinksLine(TDataSet* DataSet, const String& FieldName);
// The lookup table's field shown in the display field; empty without a line.
String dwGetLookupResultField(TDataSet* DataSet, const String& FieldName);
// Deletes every line of ListA whose first ';' part names no field of the data set,
// with the line of ListB at the same index; then the same for ListC alone. Any list
// may be null.
void dwPurgeMissingFieldEntries(TDataSet* DataSet, TStrings* ListA, TStrings* ListB, TStrings* ListC);
