#pragma once
// The root of the class library's classes.

#include <memory>
#include <utility>

#include "platform/rtl/types.h"

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class library's name of the object's class ("TComponent", "TDaroruTable").
    // Every class that code or users see by name overrides it.
    virtual String ClassName() const { return "TObject"; }
    // Compares with ClassName ignoring case, as the class library's class-name test does.
    bool ClassNameIs(const String& name) const;
    // True for the object's own class name and for every ancestor's. A class whose name
    // is tested as an ancestor's overrides this as
    //   return SameText(name, "TMine") || TParent::InheritsFrom(name);
    virtual bool InheritsFrom(const String& name) const;
    // Whether the object is a T or a descendant of T.
    template<class T> bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }

    // Runs once the object is fully constructed (see Construct below).
    virtual void AfterConstruction() { }
    // Runs while the whole object is still alive, just before it is deleted by Free.
    virtual void BeforeDestruction() { }
    // BeforeDestruction, then delete. Deleting directly skips BeforeDestruction.
    void Free();
};

// Creates a T and runs its AfterConstruction, which a constructor cannot do for its
// descendants. When AfterConstruction throws, the object is freed and the error passes on.
template<class T, class... Args> T* Construct(Args&&... args)
{
    T* object = new T(std::forward<Args>(args)...);
    try {
        object->AfterConstruction();
    } catch (...) {
        object->Free();
        throw;
    }
    return object;
}

// An object made for one use, freed (BeforeDestruction included) whatever happens
// when its holder goes.
struct TFreeObject {
    void operator()(TObject* Object) const { Object->Free(); }
};
template<class T> using TOneUse = std::unique_ptr<T, TFreeObject>;
