#pragma once
// A number edit bound to a float, shown through the caller's FormatFloat mask.

#include "controls/kvnumberedit.h"

class TKVFloatEdit : public TKVRealEdit<float> {
public:
    explicit TKVFloatEdit(TComponent* AOwner) : TKVRealEdit<float>(AOwner) { }
    String ClassName() const override { return "TKVFloatEdit"; }
    bool InheritsFrom(const String& name) const override;
};
