#include "datacontrols/grid/wwibutton.h"

#include "datacontrols/grid/wwdbigrd.h"
#include "platform/rtl/strutils.h"

TdwIButton::TdwIButton(TComponent* AOwner) : TSpeedButton(AOwner) { }

bool TdwIButton::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwIButton") || TSpeedButton::InheritsFrom(name);
}

void TdwIButton::Loaded()
{
    TSpeedButton::Loaded();
    RegisterWithGrid();
}

void TdwIButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TSpeedButton::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!ComponentState().Contains(csLoading))
        RegisterWithGrid();
}

void TdwIButton::RegisterWithGrid()
{
    auto* grid = dynamic_cast<TdwCustomDBGrid*>(Owner());
    if (!grid)
        return;
    grid->SetIndicatorButton(this);
    // The button covers the corner cell; the column's line is its last pixel.
    grid->SetIndicatorWidth(Width() - 1);
    grid->LayoutChanged();
}
