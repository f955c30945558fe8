#include "platform/classes/datamodule.h"

#include "platform/classes/screen.h"
#include "platform/rtl/strutils.h"

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner)
{
    BeginLoading();
    Screen()->RegisterDataModule(this);
}

TDataModule::~TDataModule() { Screen()->UnregisterDataModule(this); }

bool TDataModule::InheritsFrom(const String& name) const
{
    return SameText(name, "TDataModule") || TComponent::InheritsFrom(name);
}

void TDataModule::AfterConstruction()
{
    TComponent::AfterConstruction();
    FinishLoading();
    DoCreate();
}

void TDataModule::BeforeDestruction()
{
    if (!FDestroyFired) {
        FDestroyFired = true;
        DoDestroy();
        Screen()->UnregisterDataModule(this);
    }
    TComponent::BeforeDestruction();
}

void TDataModule::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TDataModule::DoDestroy()
{
    if (OnDestroy)
        OnDestroy(this);
}
