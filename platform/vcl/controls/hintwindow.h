#pragma once
// A hint: a small window of text over the screen that takes neither the focus
// nor the activation (the grid's cell hints, the controls' hints).

#include "platform/vcl/controls/controls.h"

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);

    String ClassName() const override { return "THintWindow"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    // The screen rectangle the text needs, its lines broken at MaxWidth pixels.
    TRect CalcHintRect(int MaxWidth, const String& Hint);
    // Shows Hint in Rect (screen pixels).
    void ActivateHint(const TRect& Rect, const String& Hint);
    // Hides the hint.
    void ReleaseHandle();

protected:
    void Paint() override;
    void UpdateWidgetVisibility() override;
};
