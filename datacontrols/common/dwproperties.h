#pragma once
// Settings the library reads from any data set or control by property name. A class
// publishes a setting by deriving from TdwPublished and answering for that name; an
// object that does not publish a name gives the reader's fixed default, never an error.

#include <functional>
#include <optional>

#include "platform/classes/sets.h"
#include "platform/rtl/types.h"

class TObject;
class TStrings;
class TDataSet;
class TDataSource;
class TField;
class TIndexDefs;

// A field failed its picture mask while the record was being posted.
using TdwInvalidValueEvent = std::function<void(TDataSet* DataSet, TField* Field)>;

class TdwPublished {
public:
    virtual ~TdwPublished() = default;

    // Each reader answers only for the names of its type; the empty answer means "not
    // published".
    virtual TStrings* PublishedStrings(const String& /*Name*/) { return nullptr; }
    virtual std::optional<bool> PublishedBool(const String& /*Name*/) { return std::nullopt; }
    virtual std::optional<int> PublishedOrdinal(const String& /*Name*/) { return std::nullopt; }
    virtual std::optional<String> PublishedText(const String& /*Name*/) { return std::nullopt; }
    virtual std::optional<TObject*> PublishedObject(const String& /*Name*/) { return std::nullopt; }
    virtual const TdwInvalidValueEvent* PublishedInvalidValueEvent() { return nullptr; }
    virtual TIndexDefs* PublishedIndexDefs(const String& /*Name*/) { return nullptr; }

    // Writers; false when the name is not published.
    virtual bool SetPublishedText(const String& /*Name*/, const String& /*Value*/) { return false; }
    virtual bool SetPublishedObject(const String& /*Name*/, TObject* /*Value*/) { return false; }
    virtual bool SetPublishedOrdinal(const String& /*Name*/, int /*Value*/) { return false; }
};

// The filtering options of the library's data sets, published as OnFilterOptions (an
// ordinal whose bit n stands for option n).
enum TdwOnFilterOption { ofoEnabled, ofoShowHourGlass, ofoCancelOnEscape };
using TdwOnFilterOptions = SetOf<TdwOnFilterOption>;
int dwFilterOptionsToOrdinal(TdwOnFilterOptions Options);
TdwOnFilterOptions dwFilterOptionsFromOrdinal(int Bits);

// Border styles written through dwSetBorderStyleProp.
constexpr int dwBorderNone = 0;
constexpr int dwBorderSingle = 1;

// The readers of the settings, each with its default for an object (null included)
// that does not publish the name.
TdwInvalidValueEvent dwGetOnInvalidValue(TObject* Object);  // empty
TStrings* dwGetPictureMasksList(TObject* Object);           // null
TStrings* dwGetControlTypeList(TObject* Object);            // null
TStrings* dwGetLookupFieldsList(TObject* Object);           // null
TStrings* dwGetLookupLinksList(TObject* Object);            // null
int dwGetCursorLocation(TObject* Object);                   // 0
bool dwGetControlInfoInDataSet(TObject* Object);            // true
bool dwGetPictureMaskFromDataSet(TObject* Object);          // true
String dwGetDatabaseNameProp(TObject* Object);              // ""
String dwGetTableNameProp(TObject* Object);                 // ""
String dwGetControlDataField(TObject* Object);              // ""
TDataSource* dwGetControlDataSource(TObject* Object);       // null
TDataSource* dwGetMasterSource(TObject* Object);            // null
bool dwGetWantReturns(TObject* Object);                     // false
TIndexDefs* dwGetIndexDefs(TObject* Object);                // null
String dwGetIndexName(TObject* Object);                     // ""
String dwGetIndexFieldNames(TObject* Object);               // ""
// [ofoEnabled] when the data set filters, else [].
TdwOnFilterOptions dwGetFilterOptions(TDataSet* DataSet);

// The writers; false when the object does not publish the name.
bool dwSetControlDataSource(TObject* Object, TDataSource* DataSource);
bool dwSetControlDataField(TObject* Object, const String& DataField);
bool dwSetIndexName(TObject* Object, const String& IndexName);
bool dwSetIndexFieldNames(TObject* Object, const String& IndexFieldNames);
// Single border for true, none for false.
bool dwSetBorderStyleProp(TObject* Object, bool Bordered);
// Adds or removes ofoEnabled in the data set's OnFilterOptions.
void dwSetFilterEnabled(TDataSet* DataSet, bool Enabled);

// The object whose PictureMasks apply to Control: DataSet (or, when null, the data set
// of the control's DataSource) when the control takes masks from its data set and the
// data set publishes them; otherwise the control itself.
TObject* dwGetPictureMasksOwner(TObject* Control, TDataSet* DataSet);
// The same rule for ControlType, with ControlInfoInDataSet.
TObject* dwGetControlInfoOwner(TObject* Control, TDataSet* DataSet);
