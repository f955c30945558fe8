#pragma once
// The library's small push button.

#include "platform/vcl/controls/buttons.h"

class TKVButton : public TButton {
public:
    explicit TKVButton(TComponent* AOwner) : TButton(AOwner) { SetHeight(19); }
    String ClassName() const override { return "TKVButton"; }
    bool InheritsFrom(const String& name) const override;
};
