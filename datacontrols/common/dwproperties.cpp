#include "datacontrols/common/dwproperties.h"

#include "platform/classes/object.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"

namespace {

constexpr TdwOnFilterOption FilterOptions[] = {ofoEnabled, ofoShowHourGlass, ofoCancelOnEscape};

TdwPublished* Published(TObject* Object) { return dynamic_cast<TdwPublished*>(Object); }

TStrings* StringsOf(TObject* Object, const char* Name)
{
    TdwPublished* published = Published(Object);
    return published ? published->PublishedStrings(Name) : nullptr;
}

bool BoolOf(TObject* Object, const char* Name, bool Default)
{
    TdwPublished* published = Published(Object);
    return published ? published->PublishedBool(Name).value_or(Default) : Default;
}

String TextOf(TObject* Object, const char* Name)
{
    TdwPublished* published = Published(Object);
    return published ? published->PublishedText(Name).value_or(String()) : String();
}

TDataSource* DataSourceOf(TObject* Object, const char* Name)
{
    TdwPublished* published = Published(Object);
    return published ? dynamic_cast<TDataSource*>(published->PublishedObject(Name).value_or(nullptr))
                     : nullptr;
}

// The data set when Control takes the list from it (Switch) and it publishes the list.
TObject* ListOwner(TObject* Control, TDataSet* DataSet, bool Switch, const char* ListName)
{
    if (!DataSet) {
        TDataSource* source = dwGetControlDataSource(Control);
        DataSet = source ? source->DataSet() : nullptr;
    }
    if (Switch && StringsOf(DataSet, ListName))
        return DataSet;
    return Control;
}

}  // namespace

TdwOnFilterOptions dwFilterOptionsFromOrdinal(int Bits)
{
    TdwOnFilterOptions options;
    for (TdwOnFilterOption option : FilterOptions)
        if (Bits & (1 << option))
            options.Include(option);
    return options;
}

int dwFilterOptionsToOrdinal(TdwOnFilterOptions Options)
{
    int bits = 0;
    for (TdwOnFilterOption option : FilterOptions)
        if (Options.Contains(option))
            bits |= 1 << option;
    return bits;
}

TdwInvalidValueEvent dwGetOnInvalidValue(TObject* Object)
{
    TdwPublished* published = Published(Object);
    const TdwInvalidValueEvent* event = published ? published->PublishedInvalidValueEvent() : nullptr;
    return event ? *event : TdwInvalidValueEvent();
}

TStrings* dwGetPictureMasksList(TObject* Object) { return StringsOf(Object, "PictureMasks"); }
TStrings* dwGetControlTypeList(TObject* Object) { return StringsOf(Object, "ControlType"); }
TStrings* dwGetLookupFieldsList(TObject* Object) { return StringsOf(Object, "LookupFields"); }
TStrings* dwGetLookupLinksList(TObject* Object) { return StringsOf(Object, "LookupLinks"); }

int dwGetCursorLocation(TObject* Object)
{
    TdwPublished* published = Published(Object);
    return published ? published->PublishedOrdinal("CursorLocation").value_or(0) : 0;
}

bool dwGetControlInfoInDataSet(TObject* Object) { return BoolOf(Object, "ControlInfoInDataSet", true); }
bool dwGetPictureMaskFromDataSet(TObject* Object) { return BoolOf(Object, "PictureMaskFromDataSet", true); }
String dwGetDatabaseNameProp(TObject* Object) { return TextOf(Object, "DatabaseName"); }
String dwGetTableNameProp(TObject* Object) { return TextOf(Object, "TableName"); }
String dwGetControlDataField(TObject* Object) { return TextOf(Object, "DataField"); }
TDataSource* dwGetControlDataSource(TObject* Object) { return DataSourceOf(Object, "DataSource"); }
TDataSource* dwGetMasterSource(TObject* Object) { return DataSourceOf(Object, "MasterSource"); }
bool dwGetWantReturns(TObject* Object) { return BoolOf(Object, "WantReturns", false); }
String dwGetIndexName(TObject* Object) { return TextOf(Object, "IndexName"); }
String dwGetIndexFieldNames(TObject* Object) { return TextOf(Object, "IndexFieldNames"); }

TIndexDefs* dwGetIndexDefs(TObject* Object)
{
    TdwPublished* published = Published(Object);
    return published ? published->PublishedIndexDefs("IndexDefs") : nullptr;
}

TdwOnFilterOptions dwGetFilterOptions(TDataSet* DataSet)
{
    TdwPublished* published = Published(DataSet);
    const std::optional<int> bits = published ? published->PublishedOrdinal("OnFilterOptions") : std::nullopt;
    if (bits)
        return dwFilterOptionsFromOrdinal(*bits);
    return DataSet && DataSet->Filtered() ? TdwOnFilterOptions {ofoEnabled} : TdwOnFilterOptions {};
}

void dwSetFilterEnabled(TDataSet* DataSet, bool Enabled)
{
    TdwPublished* published = Published(DataSet);
    const std::optional<int> bits = published ? published->PublishedOrdinal("OnFilterOptions") : std::nullopt;
    if (!bits)
        return;
    TdwOnFilterOptions options = dwFilterOptionsFromOrdinal(*bits);
    if (Enabled)
        options.Include(ofoEnabled);
    else
        options.Exclude(ofoEnabled);
    published->SetPublishedOrdinal("OnFilterOptions", dwFilterOptionsToOrdinal(options));
}

bool dwSetControlDataSource(TObject* Object, TDataSource* DataSource)
{
    TdwPublished* published = Published(Object);
    return published && published->SetPublishedObject("DataSource", DataSource);
}

bool dwSetControlDataField(TObject* Object, const String& DataField)
{
    TdwPublished* published = Published(Object);
    return published && published->SetPublishedText("DataField", DataField);
}

bool dwSetIndexName(TObject* Object, const String& IndexName)
{
    TdwPublished* published = Published(Object);
    return published && published->SetPublishedText("IndexName", IndexName);
}

bool dwSetIndexFieldNames(TObject* Object, const String& IndexFieldNames)
{
    TdwPublished* published = Published(Object);
    return published && published->SetPublishedText("IndexFieldNames", IndexFieldNames);
}

bool dwSetBorderStyleProp(TObject* Object, bool Bordered)
{
    TdwPublished* published = Published(Object);
    return published &&
           published->SetPublishedOrdinal("BorderStyle", Bordered ? dwBorderSingle : dwBorderNone);
}

TObject* dwGetPictureMasksOwner(TObject* Control, TDataSet* DataSet)
{
    return ListOwner(Control, DataSet, dwGetPictureMaskFromDataSet(Control), "PictureMasks");
}

TObject* dwGetControlInfoOwner(TObject* Control, TDataSet* DataSet)
{
    return ListOwner(Control, DataSet, dwGetControlInfoInDataSet(Control), "ControlType");
}
