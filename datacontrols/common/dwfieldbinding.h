#pragma once
// The DataSource and DataField of a control bound to one field, published under those
// names: a grid binds the controls it shows over its cells through them. Control, which
// derives from this class, has DataSource(), SetDataSource(), DataField() and SetDataField().

#include <optional>

#include "datacontrols/common/dwproperties.h"
#include "platform/db/datasource.h"

template<class Base, class Control> class TdwPublishedFieldBinding : public Base {
public:
    using Base::Base;

    std::optional<String> PublishedText(const String& Name) override
    {
        return Name == "DataField" ? std::optional<String>(Self().DataField()) : Base::PublishedText(Name);
    }
    std::optional<TObject*> PublishedObject(const String& Name) override
    {
        return Name == "DataSource" ? std::optional<TObject*>(Self().DataSource())
                                    : Base::PublishedObject(Name);
    }
    bool SetPublishedText(const String& Name, const String& Value) override
    {
        if (Name != "DataField")
            return Base::SetPublishedText(Name, Value);
        Self().SetDataField(Value);
        return true;
    }
    bool SetPublishedObject(const String& Name, TObject* Value) override
    {
        if (Name != "DataSource")
            return Base::SetPublishedObject(Name, Value);
        Self().SetDataSource(dynamic_cast<TDataSource*>(Value));
        return true;
    }

private:
    Control& Self() { return static_cast<Control&>(*this); }
};
