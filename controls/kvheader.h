#pragma once
// A black section bar: a short part name in bold on a grey box at the left, and the
// section's title in bold white beside it.

#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"

class TKVHeader : public TPanel {
public:
    explicit TKVHeader(TComponent* AOwner);

    String ClassName() const override { return "TKVHeader"; }
    bool InheritsFrom(const String& name) const override;

    String Part() const { return FPartLabel->Caption(); }
    void SetPart(const String& Value) { FPartLabel->SetCaption(Value); }
    String Title() const { return FTitleLabel->Caption(); }
    void SetTitle(const String& Value) { FTitleLabel->SetCaption(Value); }

    TPanel* InnerPanel() const { return FInnerPanel; }
    TLabel* PartLabel() const { return FPartLabel; }
    TLabel* TitleLabel() const { return FTitleLabel; }

private:
    TPanel* FInnerPanel;
    TLabel* FPartLabel;
    TLabel* FTitleLabel;
};
