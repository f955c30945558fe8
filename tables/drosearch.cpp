#include "tables/drosearch.h"

#include "platform/classes/component.h"
#include "platform/classes/screen.h"

TComponent* TDaroruSearchObject::SearchFirstComponent(const String& ClassName)
{
    FDataModuleIndex = FDataModuleComponentIndex = FFormIndex = FFormComponentIndex = FFrameComponentIndex =
            0;
    return SearchComponent(ClassName);
}

TComponent* TDaroruSearchObject::SearchNextComponent(const String& ClassName)
{
    return SearchComponent(ClassName);
}

TComponent* TDaroruSearchObject::SearchComponent(const String& ClassName)
{
    TScreen* screen = Screen();
    for (; FDataModuleIndex < screen->DataModuleCount(); ++FDataModuleIndex) {
        TComponent* module = screen->DataModules(FDataModuleIndex);
        for (int i = FDataModuleComponentIndex; i < module->ComponentCount(); ++i) {
            TComponent* c = module->Components(i);
            if (c->ClassNameIs(ClassName)) {
                FDataModuleComponentIndex = i + 1;
                return c;
            }
        }
        FDataModuleComponentIndex = 0;
    }
    return SearchForms(ClassName);
}

TComponent* TDaroruSearchObject::SearchForms(const String& ClassName)
{
    TScreen* screen = Screen();
    for (; FFormIndex < screen->FormCount(); ++FFormIndex) {
        TComponent* form = screen->Forms(FFormIndex);
        for (int i = FFormComponentIndex; i < form->ComponentCount(); ++i) {
            TComponent* c = form->Components(i);
            if (c->ClassNameIs(ClassName)) {
                FFormComponentIndex = i + 1;
                return c;
            }
            if (!c->InheritsFrom("TFrame"))
                continue;
            for (int j = FFrameComponentIndex; j < c->ComponentCount(); ++j) {
                TComponent* inner = c->Components(j);
                if (inner->ClassNameIs(ClassName)) {
                    // The next search goes on inside this frame.
                    FFrameComponentIndex = j + 1;
                    FFormComponentIndex = i;
                    return inner;
                }
            }
            FFrameComponentIndex = 0;
        }
        FFormComponentIndex = 0;
    }
    return nullptr;
}
