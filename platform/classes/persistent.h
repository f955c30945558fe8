#pragma once
// Objects that can copy their state from another object.

#include "platform/classes/object.h"

class TPersistent : public TObject {
public:
    String ClassName() const override { return "TPersistent"; }
    bool InheritsFrom(const String& name) const override;

    // Copies Source into this object. The default asks Source to copy itself here
    // (AssignTo); a class that knows Source's type overrides it and falls back to this.
    virtual void Assign(TPersistent* Source);

protected:
    // Copies this object into Dest. The default refuses with EConvertError
    // "Cannot assign a <source class> to a <dest class>" ("nil" for a missing source).
    virtual void AssignTo(TPersistent* Dest);

private:
    [[noreturn]] void AssignError(TPersistent* Source);
};
