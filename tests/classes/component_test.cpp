#include "platform/classes/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Log = std::vector<std::string>;

namespace {

// Records its destruction and every notification it hears about others. A component
// heard of after its own destructor has run shows as "?".
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, const String& name, Log* log) : TComponent(owner), FLog(log) { SetName(name); }
    ~TProbe() override { FLog->push_back("~" + Name()); }

    String ClassName() const override { return "TProbe"; }

    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        if (AComponent != this) {
            const bool whole = dynamic_cast<TProbe*>(AComponent) != nullptr;
            FLog->push_back(Name() + (Operation == opInsert ? " +" : " -") + (whole ? "" : "?") +
                            AComponent->Name());
        }
        TComponent::Notification(AComponent, Operation);
    }

private:
    Log* FLog;
};

// Holds a reference to a component elsewhere and drops it when that one goes.
class THolder : public TComponent {
public:
    using TComponent::TComponent;

    TComponent* Target() const { return FTarget; }
    void SetTarget(TComponent* target)
    {
        if (FTarget != nullptr)
            FTarget->RemoveFreeNotification(this);
        FTarget = target;
        if (FTarget != nullptr)
            FTarget->FreeNotification(this);
    }

    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == FTarget)
            FTarget = nullptr;
    }

private:
    TComponent* FTarget = nullptr;
};

TEST(TComponentOwnership, OwnerFreesItsComponentsLastCreatedFirst)
{
    Log log;
    auto* owner = new TProbe(nullptr, "Owner", &log);
    new TProbe(owner, "A", &log);
    new TProbe(owner, "B", &log);
    auto* c = new TProbe(owner, "C", &log);
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(2), c);
    EXPECT_EQ(c->Owner(), owner);
    EXPECT_EQ(c->ComponentIndex(), 2);
    log.clear();

    owner->Free();

    // The owner's own destructor first, then its components, each one heard by the
    // components still there while it is whole.
    EXPECT_EQ(log, (Log {"~Owner", "B -C", "A -C", "~C", "A -B", "~B", "~A"}));
}

TEST(TComponentOwnership, SiblingsHearInsertionAndRemoval)
{
    Log log;
    TProbe owner(nullptr, "Owner", &log);
    new TProbe(&owner, "A", &log);
    auto* b = new TProbe(&owner, "B", &log);
    new TProbe(&owner, "C", &log);
    // Inserted from the base constructor: not yet named nor whole.
    EXPECT_EQ(log, (Log {"Owner +?", "Owner +?", "A +?", "Owner +?", "B +?", "A +?"}));
    log.clear();

    b->Free();
    EXPECT_EQ(log, (Log {"Owner -B", "C -B", "A -B", "~B"}));
    ASSERT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(1)->Name(), "C");
    EXPECT_EQ(owner.Components(1)->ComponentIndex(), 1);
    EXPECT_THROW(owner.Components(2), ERangeError);
}

TEST(TComponentOwnership, EverythingOwnedIsMarkedDestroyingBeforeTheFirstGoes)
{
    auto* owner = new TComponent(nullptr);
    auto* first = new TComponent(owner);
    auto* grandchild = new TComponent(first);
    auto* last = new TComponent(owner);

    struct TWatcher : THolder {
        using THolder::THolder;
        TComponent* Sibling = nullptr;
        TComponentState SiblingState;
        void Notification(TComponent* AComponent, TOperation Operation) override
        {
            if (Operation == opRemove && AComponent == Target())
                SiblingState = Sibling->ComponentState();
            THolder::Notification(AComponent, Operation);
        }
    };
    TWatcher watcher(nullptr);
    watcher.Sibling = grandchild;
    watcher.SetTarget(last);

    owner->Free();
    EXPECT_TRUE(watcher.SiblingState.Contains(csDestroying));
    EXPECT_EQ(watcher.Target(), nullptr);
}

TEST(TComponentOwnership, MovingToAnotherOwner)
{
    Log log;
    TProbe first(nullptr, "First", &log);
    TProbe second(nullptr, "Second", &log);
    auto* a = new TProbe(&first, "A", &log);
    new TProbe(&second, "B", &log);
    log.clear();

    second.InsertComponent(a);
    EXPECT_EQ(a->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.Components(1), a);
    EXPECT_EQ(log, (Log {"First -A", "Second +A", "B +A"}));
}

TEST(TComponentNames, FindComponentIgnoresCase)
{
    TComponent owner(nullptr);
    auto* edit = new TComponent(&owner);
    edit->SetName("edtClientID");
    new TComponent(&owner);  // unnamed

    EXPECT_EQ(owner.FindComponent("EDTCLIENTID"), edit);
    EXPECT_EQ(owner.FindComponent("edtclientid"), edit);
    EXPECT_EQ(owner.FindComponent("edtClient"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
}

TEST(TComponentNames, DuplicateNameAmongSiblingsIsRefused)
{
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    first->SetName("Edit1");
    auto* second = new TComponent(&owner);

    try {
        second->SetName("EDIT1");
        FAIL() << "duplicate accepted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named EDIT1 already exists");
    }
    EXPECT_EQ(second->Name(), "");

    // Renaming to the own name in another case, and the same name elsewhere, are fine.
    first->SetName("EDIT1");
    EXPECT_EQ(first->Name(), "EDIT1");
    TComponent other(nullptr);
    auto* stranger = new TComponent(&other);
    stranger->SetName("Edit1");

    // A component whose name clashes cannot move in, and stays where it was.
    EXPECT_THROW(owner.InsertComponent(stranger), EComponentError);
    EXPECT_EQ(stranger->Owner(), &other);
    EXPECT_EQ(owner.ComponentCount(), 2);
}

TEST(TComponentFreeNotification, ReferenceIsClearedWhenTheTargetGoes)
{
    THolder holder(nullptr);
    auto* target = new TComponent(nullptr);
    holder.SetTarget(target);
    target->Free();
    EXPECT_EQ(holder.Target(), nullptr);

    // Deleted directly rather than freed: still cleared.
    target = new TComponent(nullptr);
    holder.SetTarget(target);
    delete target;
    EXPECT_EQ(holder.Target(), nullptr);
}

TEST(TComponentFreeNotification, LinksGoBothWaysAndCanBeUndone)
{
    TComponent target(nullptr);
    auto* holder = new THolder(nullptr);
    holder->SetTarget(&target);
    EXPECT_TRUE(target.ComponentState().Contains(csFreeNotification));

    // The holder going first takes its link out of the target.
    holder->Free();
    EXPECT_FALSE(target.ComponentState().Contains(csFreeNotification));

    THolder other(nullptr);
    other.SetTarget(&target);
    other.SetTarget(nullptr);
    EXPECT_FALSE(target.ComponentState().Contains(csFreeNotification));
    EXPECT_FALSE(other.ComponentState().Contains(csFreeNotification));
}

TEST(TComponentFreeNotification, SiblingsFreedByTheirOwner)
{
    // Holders on both sides of their target in creation order: the later one goes before
    // the target, the earlier one after it and must have heard of it.
    struct TCheckedHolder : THolder {
        TCheckedHolder(TComponent* owner, bool* clearedAtEnd) : THolder(owner), F(clearedAtEnd) { }
        ~TCheckedHolder() override { *F = Target() == nullptr; }
        bool* F;
    };
    bool firstCleared = false;
    bool lastCleared = true;
    auto* owner = new TComponent(nullptr);
    auto* first = new TCheckedHolder(owner, &firstCleared);
    auto* target = new TComponent(owner);
    auto* last = new TCheckedHolder(owner, &lastCleared);
    first->SetTarget(target);
    last->SetTarget(target);

    owner->Free();
    EXPECT_TRUE(firstCleared);
    EXPECT_FALSE(lastCleared);
}

TEST(TComponentLoading, LoadedClearsLoadingInCreationOrder)
{
    Log log;
    struct TLoadProbe : TComponent {
        TLoadProbe(TComponent* owner, const String& name, Log* log) : TComponent(owner), L(log)
        {
            SetName(name);
        }
        void Loaded() override
        {
            L->push_back(Name());
            TComponent::Loaded();
        }
        Log* L;
    };
    TLoadProbe form(nullptr, "Form", &log);
    form.BeginLoading();
    auto* a = new TLoadProbe(&form, "A", &log);
    auto* b = new TLoadProbe(a, "B", &log);
    new TLoadProbe(&form, "C", &log);
    EXPECT_TRUE(b->ComponentState().Contains(csLoading));

    form.FinishLoading();
    EXPECT_EQ(log, (Log {"B", "A", "C", "Form"}));
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
    EXPECT_FALSE(b->ComponentState().Contains(csLoading));

    // Made after loading: never loading.
    auto* late = new TLoadProbe(&form, "Late", &log);
    EXPECT_FALSE(late->ComponentState().Contains(csLoading));
}

TEST(TObjectClasses, ClassNamesAndAncestry)
{
    struct TMine : TComponent {
        using TComponent::TComponent;
        String ClassName() const override { return "TMine"; }
    };
    TMine mine(nullptr);
    EXPECT_TRUE(mine.ClassNameIs("tmine"));
    EXPECT_FALSE(mine.ClassNameIs("TComponent"));
    for (const char* ancestor : {"TMine", "TComponent", "tpersistent", "TObject"}) {
        EXPECT_TRUE(mine.InheritsFrom(ancestor)) << ancestor;
    }
    EXPECT_FALSE(mine.InheritsFrom("TDataModule"));
    EXPECT_TRUE(mine.Is<TComponent>());
}

TEST(TPersistentAssign, UnsupportedAssignmentRaisesConversionError)
{
    TComponent source(nullptr);
    TComponent dest(nullptr);
    try {
        dest.Assign(&source);
        FAIL() << "assignment accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TComponent");
    }
    try {
        dest.Assign(nullptr);
        FAIL() << "nil assignment accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TComponent");
    }
}

TEST(TPersistentAssign, SourceCanCopyItselfIntoTheDestination)
{
    struct TValue : TPersistent {
        void AssignTo(TPersistent* Dest) override
        {
            if (auto* component = dynamic_cast<TComponent*>(Dest)) {
                component->SetTag(7);
                return;
            }
            TPersistent::AssignTo(Dest);
        }
    };
    TValue value;
    TComponent dest(nullptr);
    dest.Assign(&value);
    EXPECT_EQ(dest.Tag(), 7);
}

}  // namespace
