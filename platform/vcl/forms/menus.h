#pragma once
// Menus: the items, the form's main menu bar and pop-up menus.

#include <functional>
#include <vector>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/geometry.h"

class QAction;
class TCanvas;
class TImageList;
class QMenu;
class QMenuBar;

// A key with Shift, Ctrl and Alt, as the class library writes it: the virtual-key code
// with scShift, scCtrl and scAlt added.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(Word Key, TShiftState Shift);

// Draws the item Sender inside ARect on ACanvas; Selected while the pointer or the keys are on it.
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
// Gives the item Sender its size, measured on ACanvas, which has the menu's font.
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    String ClassName() const override { return "TMenuItem"; }

    // "&File"; "-" makes a separator line.
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // Shown by the application (its long part) while the pointer is on the item.
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    // Shown beside the caption; the form runs the item on it through its menu's IsShortCut.
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    // The picture of the item in its menu's Images; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Starts a new column in a pop-up menu.
    bool Break() const { return FBreak; }
    void SetBreak(bool Value) { FBreak = Value; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    TMenuItem* Parent() const { return FParent; }
    void Add(TMenuItem* Item);
    void Remove(TMenuItem* Item);

    // Fires OnClick.
    virtual void Click();
    TNotifyEvent OnClick;
    // An item with OnDrawItem draws itself in its menu: on a canvas with the menu's font,
    // and the highlight's brush and text colour while selected, else the menu's. Its size
    // is the menu's own for its caption unless OnMeasureItem gives another, to whose width
    // the menu adds a check mark's, as it leaves every item room for one.
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    // The Qt action that shows the item; its sub-menu when it has items.
    QAction* Action() const { return FAction; }

protected:
    virtual void DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected);
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);

private:
    friend class TMenu;
    friend class TMainMenu;
    friend class TOwnerDrawMenuStyle;
    void Rebuild();
    // Shows the picture of ImageIndex, for this item and those below it.
    void UpdateIcons();

    String FHint;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    // Set on a menu's top item: the menu whose Images the items show.
    class TMenu* FMenu = nullptr;
    String FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    bool FBreak = false;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    QAction* FAction;
    QMenu* FSubMenu = nullptr;
    // Tells the menu bar that a top-level item came or went.
    std::function<void()> FItemsChanged;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    String ClassName() const override { return "TMenu"; }
    // The top-level items.
    TMenuItem* Items() const { return FItems; }
    // The pictures the items show by ImageIndex; null shows none.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // Clicks the item whose short cut the key is, when it and its menus are visible and
    // enabled; true when one was clicked.
    bool IsShortCut(Word Key, TShiftState Shift);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* FItems;
    TImageList* FImages = nullptr;
};

// The menu bar of the form whose Menu it is.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    String ClassName() const override { return "TMainMenu"; }
    // The bar showing the top-level items.
    QMenuBar* MenuBar() const { return FMenuBar; }

private:
    QMenuBar* FMenuBar;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    String ClassName() const override { return "TPopupMenu"; }
    // Shows the menu at the screen point until an item is chosen or the menu is left.
    void Popup(int X, int Y);
    TNotifyEvent OnPopup;

private:
    QMenu* FMenu;
};
