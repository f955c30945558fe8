#pragma once
// The raised frame drawn around a group of fields.

#include "platform/vcl/controls/panels.h"

class TKVBevel : public TBevel {
public:
    explicit TKVBevel(TComponent* AOwner);
    String ClassName() const override { return "TKVBevel"; }
    bool InheritsFrom(const String& name) const override;
};
