#pragma once
// A number edit bound to a double, shown through the caller's FormatFloat mask.

#include "controls/kvnumberedit.h"

class TKVDoubleEdit : public TKVRealEdit<double> {
public:
    explicit TKVDoubleEdit(TComponent* AOwner) : TKVRealEdit<double>(AOwner) { }
    String ClassName() const override { return "TKVDoubleEdit"; }
    bool InheritsFrom(const String& name) const override;
};
