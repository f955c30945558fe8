#pragma once
// The button in a grid's top-left corner cell: made with the grid as its owner, it
// becomes the grid's IndicatorButton and the indicator column takes its width.

#include "platform/vcl/controls/buttons.h"

class TdwIButton : public TSpeedButton {
public:
    explicit TdwIButton(TComponent* AOwner);

    String ClassName() const override { return "TdwIButton"; }
    bool InheritsFrom(const String& name) const override;
    void Loaded() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

private:
    void RegisterWithGrid();
};
