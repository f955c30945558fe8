#pragma once
// A data set and a control that publish the library's setting lists by name.

#include "datacontrols/common/dwproperties.h"
#include "platform/classes/component.h"
#include "platform/rtl/stringlist.h"
#include "tests/support/memdataset.h"

class TPublishingDataSet : public TMemDataSet, public TdwPublished {
public:
    using TMemDataSet::TMemDataSet;

    TStringList PictureMasks, ControlType, LookupFields, LookupLinks;
    TdwInvalidValueEvent OnInvalidValue;
    String DatabaseName = "DATA";
    TdwOnFilterOptions OnFilterOptions {ofoEnabled, ofoShowHourGlass};

    TStrings* PublishedStrings(const String& Name) override
    {
        if (Name == "PictureMasks")
            return &PictureMasks;
        if (Name == "ControlType")
            return &ControlType;
        if (Name == "LookupFields")
            return &LookupFields;
        if (Name == "LookupLinks")
            return &LookupLinks;
        return nullptr;
    }
    std::optional<String> PublishedText(const String& Name) override
    {
        return Name == "DatabaseName" ? std::optional<String>(DatabaseName) : std::nullopt;
    }
    const TdwInvalidValueEvent* PublishedInvalidValueEvent() override { return &OnInvalidValue; }
    std::optional<int> PublishedOrdinal(const String& Name) override
    {
        if (Name != "OnFilterOptions")
            return std::nullopt;
        return dwFilterOptionsToOrdinal(OnFilterOptions);
    }
    bool SetPublishedOrdinal(const String& Name, int Value) override
    {
        if (Name != "OnFilterOptions")
            return false;
        OnFilterOptions = dwFilterOptionsFromOrdinal(Value);
        return true;
    }
};

// A control bound to a data source, with lists of its own and the two switches.
class TPublishingControl : public TComponent, public TdwPublished {
public:
    TPublishingControl() : TComponent(nullptr) { }

    TStringList PictureMasks, ControlType;
    bool PictureMaskFromDataSet = true;
    bool ControlInfoInDataSet = true;
    TObject* DataSource = nullptr;
    String DataField;

    TStrings* PublishedStrings(const String& Name) override
    {
        return Name == "PictureMasks" ? &PictureMasks : Name == "ControlType" ? &ControlType : nullptr;
    }
    std::optional<bool> PublishedBool(const String& Name) override
    {
        if (Name == "PictureMaskFromDataSet")
            return PictureMaskFromDataSet;
        if (Name == "ControlInfoInDataSet")
            return ControlInfoInDataSet;
        return std::nullopt;
    }
    std::optional<TObject*> PublishedObject(const String& Name) override
    {
        return Name == "DataSource" ? std::optional<TObject*>(DataSource) : std::nullopt;
    }
    bool SetPublishedObject(const String& Name, TObject* Value) override
    {
        if (Name != "DataSource")
            return false;
        DataSource = Value;
        return true;
    }
    std::optional<String> PublishedText(const String& Name) override
    {
        return Name == "DataField" ? std::optional<String>(DataField) : std::nullopt;
    }
    bool SetPublishedText(const String& Name, const String& Value) override
    {
        if (Name != "DataField")
            return false;
        DataField = Value;
        return true;
    }
};
