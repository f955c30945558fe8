#pragma once
// Tabbed pages: a TPageControl shows one TTabSheet at a time under its tabs.

#include <vector>

#include "platform/vcl/controls/controls.h"

class QTabBar;
class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    String ClassName() const override { return "TTabSheet"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    TPageControl* PageControl() const { return FPageControl; }
    // Adds the sheet to a page control (null takes it out).
    void SetPageControl(TPageControl* Value);
    int PageIndex() const;

protected:
    void TextChanged() override;

private:
    TPageControl* FPageControl = nullptr;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    String ClassName() const override { return "TPageControl"; }
    bool InheritsFrom(const String& name) const override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* Value);
    int ActivePageIndex() const { return FActiveIndex; }
    void SetActivePageIndex(int Value);
    // Turns to the next or previous page, round the end.
    void SelectNextPage(bool GoForward);

    int DialogCode() const override { return dlgcWantArrows; }

    // The active page changed.
    TNotifyEvent OnChange;

protected:
    void AlignControls(TRect& Rect) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ShowActive();

    std::vector<TTabSheet*> FPages;
    int FActiveIndex = -1;
    QTabBar* FTabs;
    bool FUpdating = false;
};
