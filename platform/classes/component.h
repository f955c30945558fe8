#pragma once
// Components: objects with an owner that frees them, a name unique among the
// owner's components, and notification of other components' insertion and removal.

#include <cstdint>
#include <vector>

#include "platform/classes/persistent.h"
#include "platform/classes/sets.h"
#include "platform/rtl/exceptions.h"

// A component name clash and similar misuse of the owner tree.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

enum TComponentStateItem {
    csLoading,  // built but not yet finished (Loaded clears it)
    csReading,
    csWriting,
    csDestroying,  // being freed: references to it are going away
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance,
};
using TComponentState = SetOf<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    // Inserts the component into AOwner's components (AOwner may be null). A component
    // created while its owner is loading starts loading too.
    explicit TComponent(TComponent* AOwner);
    // Frees the owned components, last created first, and leaves the owner. Prefer Free():
    // it tells the other components while every part of this one is still alive.
    ~TComponent() override;

    String ClassName() const override { return "TComponent"; }
    bool InheritsFrom(const String& name) const override;

    // Marks the component as going away, tells every component linked by FreeNotification
    // and leaves the owner (whose components hear opRemove), all before any destructor runs.
    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }

    const String& Name() const { return FName; }
    // Raises EComponentError "A component named X already exists" when another component
    // of the same owner has that name (ignoring case). An empty name is always allowed.
    virtual void SetName(const String& NewName);

    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }

    // The owned components in creation order.
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    // This component's position among its owner's components; -1 without owner.
    int ComponentIndex() const;
    // The owned component with that name, ignoring case; null when none (or Name is empty).
    TComponent* FindComponent(const String& Name) const;

    // Moves AComponent under this owner (out of its former owner's list). The owned
    // components, AComponent included, hear opInsert.
    void InsertComponent(TComponent* AComponent);
    // Takes AComponent out of the owned list after the owned components heard opRemove.
    void RemoveComponent(TComponent* AComponent);
    // Frees the owned components, last created first.
    void DestroyComponents();

    TComponentState ComponentState() const { return FComponentState; }
    // Starts loading: csLoading until Loaded.
    void BeginLoading();
    // Calls Loaded on every owned component still loading (theirs first), in creation
    // order, then on this component when it is loading.
    void FinishLoading();
    // Sets csDestroying on this component and on everything it owns.
    void Destroying();

    // Links the two components both ways: whichever is freed first, the other one hears
    // Notification(freed, opRemove) and the link goes.
    void FreeNotification(TComponent* AComponent);
    // Undoes FreeNotification.
    void RemoveFreeNotification(TComponent* AComponent);

    // Finishes construction; clears csLoading. Overrides do their deferred work and call it.
    virtual void Loaded();
    // AComponent was inserted or is being removed. The default forgets a freed component's
    // free-notification link and passes the news on to the owned components; overrides
    // clear their references to AComponent on opRemove and call it.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
    void AddFreeLink(TComponent* AComponent);
    void DropFreeLink(TComponent* AComponent);
    void NotifyFreeLinks();
    void LeaveOwner();

    TComponent* FOwner = nullptr;
    String FName;
    std::intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
    bool FFreeing = false;  // BeforeDestruction has run
};
