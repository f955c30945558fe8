#pragma once
// A non-visual container of components, registered with the screen while it lives.

#include "platform/classes/component.h"
#include "platform/classes/events.h"

class TDataModule : public TComponent {
public:
    // Registers with Screen() and starts loading: the descendant's constructor builds the
    // components, and AfterConstruction (Construct<TMyModule>(owner)) finishes them.
    explicit TDataModule(TComponent* AOwner);
    // Leaves the screen. Free the module rather than deleting it: OnDestroy, whose
    // handler uses the descendant's members, runs only from Free (and from the owner).
    ~TDataModule() override;

    String ClassName() const override { return "TDataModule"; }
    bool InheritsFrom(const String& name) const override;

    // Finishes loading the module and its components, then fires OnCreate.
    void AfterConstruction() override;
    // Fires OnDestroy while the components still exist, and leaves the screen.
    void BeforeDestruction() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

protected:
    virtual void DoCreate();
    virtual void DoDestroy();

private:
    bool FDestroyFired = false;
};
