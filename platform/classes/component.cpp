#include "platform/classes/component.h"

#include <algorithm>

#include "platform/classes/listindex.h"
#include "platform/rtl/strutils.h"

namespace {

bool Contains(const std::vector<TComponent*>& list, TComponent* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

void Erase(std::vector<TComponent*>& list, TComponent* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

[[noreturn]] void DuplicateName(const String& name)
{
    throw EComponentError("A component named " + name + " already exists");
}

}  // namespace

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner == nullptr)
        return;
    if (AOwner->FComponentState.Contains(csLoading))
        FComponentState.Include(csLoading);
    AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    // A component deleted directly (not through Free) still tells the others, though
    // only its TComponent part is left by now.
    if (!FFreeing) {
        FFreeing = true;
        Destroying();
        NotifyFreeLinks();
    }
    DestroyComponents();
    LeaveOwner();
}

bool TComponent::InheritsFrom(const String& name) const
{
    return SameText(name, "TComponent") || TPersistent::InheritsFrom(name);
}

void TComponent::BeforeDestruction()
{
    if (FFreeing)
        return;
    FFreeing = true;
    Destroying();
    NotifyFreeLinks();
    LeaveOwner();
}

void TComponent::SetName(const String& NewName)
{
    if (NewName == FName)
        return;
    if (FOwner != nullptr && !NewName.empty()) {
        TComponent* other = FOwner->FindComponent(NewName);
        if (other != nullptr && other != this)
            DuplicateName(NewName);
    }
    FName = NewName;
}

TComponent* TComponent::Components(int Index) const { return ListItem(FComponents, Index); }

int TComponent::ComponentIndex() const
{
    if (FOwner == nullptr)
        return -1;
    const auto& siblings = FOwner->FComponents;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

TComponent* TComponent::FindComponent(const String& Name) const
{
    if (Name.empty())
        return nullptr;
    for (TComponent* component : FComponents) {
        if (SameText(component->FName, Name))
            return component;
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent->FOwner == this)
        return;
    if (FindComponent(AComponent->FName) != nullptr)
        DuplicateName(AComponent->FName);
    if (AComponent->FOwner != nullptr)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        // Taken off the list first, so that the loop ends whatever the component's
        // BeforeDestruction does; it still leaves through RemoveComponent, so its
        // siblings hear of it.
        TComponent* last = FComponents.back();
        FComponents.pop_back();
        last->Free();
    }
}

void TComponent::BeginLoading() { FComponentState.Include(csLoading); }

void TComponent::FinishLoading()
{
    const std::vector<TComponent*> owned = FComponents;
    for (TComponent* component : owned)
        component->FinishLoading();
    if (FComponentState.Contains(csLoading))
        Loaded();
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* component : FComponents)
        component->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent == this)
        return;
    AddFreeLink(AComponent);
    AComponent->AddFreeLink(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr)
        return;
    DropFreeLink(AComponent);
    AComponent->DropFreeLink(this);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove)
        DropFreeLink(AComponent);
    // From the last, by index on the live list: a component may free others when it
    // hears the news.
    for (std::size_t i = FComponents.size(); i-- > 0;) {
        if (i < FComponents.size())
            FComponents[i]->Notification(AComponent, Operation);
    }
}

void TComponent::AddFreeLink(TComponent* AComponent)
{
    if (!Contains(FFreeNotifies, AComponent))
        FFreeNotifies.push_back(AComponent);
    FComponentState.Include(csFreeNotification);
}

void TComponent::DropFreeLink(TComponent* AComponent)
{
    Erase(FFreeNotifies, AComponent);
    if (FFreeNotifies.empty())
        FComponentState.Exclude(csFreeNotification);
}

void TComponent::NotifyFreeLinks()
{
    while (!FFreeNotifies.empty()) {
        TComponent* linked = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        linked->DropFreeLink(this);
        linked->Notification(this, opRemove);
    }
}

void TComponent::LeaveOwner()
{
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}
