#pragma once
// A container that scrolls its controls, and keeps the focused one in view.

#include <memory>

#include "platform/vcl/controls/controls.h"

class QScrollArea;
class TScrollBox;

// One of the scroll box's bars.
class TControlScrollBar {
public:
    TControlScrollBar(TScrollBox& Owner, bool Vertical) : FOwner(Owner), FVertical(Vertical) { }
    int Position() const;
    // Kept between 0 and Range less the visible part.
    void SetPosition(int Value);
    // The scrolled area's extent.
    int Range() const;

private:
    TScrollBox& FOwner;
    bool FVertical;
};

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    ~TScrollBox() override;

    String ClassName() const override { return "TScrollBox"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    int ClientWidth() const override;
    int ClientHeight() const override;
    TControlScrollBar* VertScrollBar() { return &FVertScrollBar; }
    TControlScrollBar* HorzScrollBar() { return &FHorzScrollBar; }
    // Scrolls just enough for Control to show whole.
    void ScrollInView(TControl* Control);

protected:
    QWidget* ClientWidget() const override;
    void AlignControls(TRect& Rect) override;

private:
    friend class TControlScrollBar;
    QScrollArea* Area() const;
    QWidget* FContent;
    TControlScrollBar FVertScrollBar {*this, true};
    TControlScrollBar FHorzScrollBar {*this, false};
};
