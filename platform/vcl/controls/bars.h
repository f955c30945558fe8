#pragma once
// Bars along a form's edge: the tool bar that holds buttons, and the status bar.

#include <memory>
#include <vector>

#include "platform/vcl/controls/controls.h"

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* AOwner);

    String ClassName() const override { return "TToolBar"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

protected:
    void Paint() override;

private:
    bool FFlat = true;
};

class TStatusBar;

// The edge around a status panel: none, sunk into the bar, or standing out of it.
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar& Owner) : FOwner(Owner) { }
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);

private:
    TStatusBar& FOwner;
    String FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
};

// Panels side by side along the bottom, the last one taking what is left; or, with
// SimplePanel, one text across the bar.
class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    String ClassName() const override { return "TStatusBar"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    TStatusPanel* Panels(int Index) const { return FPanels.at(static_cast<size_t>(Index)).get(); }
    TStatusPanel* AddPanel();
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const String& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const String& Value);

protected:
    void Paint() override;

private:
    std::vector<std::unique_ptr<TStatusPanel>> FPanels;
    bool FSimplePanel = false;
    String FSimpleText;
};
