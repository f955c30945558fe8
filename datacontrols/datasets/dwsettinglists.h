#pragma once
// The per-field setting lists a library data set publishes by name.

#include "platform/rtl/stringlist.h"

struct TdwSettingLists {
    TStringList LookupFields, LookupLinks, ControlType, PictureMasks;

    // The list published under Name; null for another name.
    TStrings* Find(const String& Name)
    {
        if (Name == "LookupFields")
            return &LookupFields;
        if (Name == "LookupLinks")
            return &LookupLinks;
        if (Name == "ControlType")
            return &ControlType;
        if (Name == "PictureMasks")
            return &PictureMasks;
        return nullptr;
    }
};
