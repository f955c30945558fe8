#pragma once
// A walk over the components of the program's data modules and then its forms
// (frames placed on a form included), for components of one class name.

#include "platform/classes/object.h"
#include "platform/rtl/types.h"

class TComponent;

class TDaroruSearchObject : public TObject {
public:
    String ClassName() const override { return "TDaroruSearchObject"; }
    // Starts a new walk; null when nothing matches.
    TComponent* SearchFirstComponent(const String& ClassName);
    // The next match after the previous one; null once the walk is over.
    TComponent* SearchNextComponent(const String& ClassName);

private:
    TComponent* SearchComponent(const String& ClassName);
    TComponent* SearchForms(const String& ClassName);

    int FDataModuleIndex = 0;
    int FDataModuleComponentIndex = 0;
    int FFormIndex = 0;
    int FFormComponentIndex = 0;
    int FFrameComponentIndex = 0;
};
