#include "controls/kvheader.h"

#include "platform/rtl/strutils.h"

TKVHeader::TKVHeader(TComponent* AOwner) : TPanel(AOwner)
{
    SetHeight(21);
    SetBevelInner(bvLowered);
    SetBevelOuter(bvLowered);
    SetCaption("");
    SetColor(clBlack);

    FInnerPanel = new TPanel(this);
    FInnerPanel->SetParent(this);
    FInnerPanel->SetBounds(2, 2, 50, 16);
    FInnerPanel->SetColor(clBtnShadow);

    FPartLabel = new TLabel(this);
    FPartLabel->SetParent(FInnerPanel);
    FPartLabel->SetLeft(5);
    FPartLabel->SetTop(2);
    TFontStyles partStyle = FPartLabel->Font()->Style();
    partStyle.Include(fsBold);
    FPartLabel->Font()->SetStyle(partStyle);

    FTitleLabel = new TLabel(this);
    FTitleLabel->SetParent(this);
    FTitleLabel->SetLeft(56);
    FTitleLabel->SetTop(4);
    FTitleLabel->Font()->SetStyle(TFontStyles {fsBold});
    FTitleLabel->Font()->SetColor(clWhite);
}

bool TKVHeader::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVHeader") || TPanel::InheritsFrom(name);
}
