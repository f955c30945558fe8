#pragma once
// Lists to choose from: the drop-down TComboBox and the TListBox.

#include <functional>
#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/controls.h"

class QListWidgetItem;

// The owner-drawn styles are the library combos' own; TComboBox shows them as csDropDownList.
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    String ClassName() const override { return "TComboBox"; }
    bool InheritsFrom(const String& name) const override;

    TStrings* Items() const { return FItems.get(); }
    // -1 when nothing is chosen; setting it shows that item's text.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // csDropDownList allows only the items; the others let the user type.
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);

    int DialogCode() const override
    {
        return dlgcWantArrows | dlgcWantChars | (DroppedDown() ? dlgcWantAllKeys : 0);
    }

    // The text changed, by typing or by choosing an item.
    TNotifyEvent OnChange;
    // The list is about to open; it closed again.
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    bool ColorIsFieldBackground() const override { return true; }
    String GetText() const override;
    virtual void DropDown();
    virtual void CloseUp();
    void SetTextValue(const String& Value) override;
    virtual void Change();

private:
    void ItemsChanged();

    std::unique_ptr<TStringList> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    bool FFilling = false;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused };
using TOwnerDrawState = SetOf<TOwnerDrawStateItem>;
// Draws item Index of Control inside Rect on the control's canvas.
using TDrawItemEvent =
        std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
// Gives item Index of Control its height.
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;

    String ClassName() const override { return "TListBox"; }
    bool InheritsFrom(const String& name) const override;

    TStrings* Items() const { return FItems.get(); }
    // The item with the focus; with MultiSelect setting it moves the focus only and leaves
    // the selection.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    // Several items may be selected at once, by Shift and Ctrl with the mouse and the arrows.
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    // Whether item Index is selected; an index outside the items raises EStringListError.
    bool Selected(int Index) const;
    int TopIndex() const;
    void SetTopIndex(int Value);
    // Owner-drawn styles draw each item through DrawItem (OnDrawItem) on Canvas; with
    // lbOwnerDrawVariable MeasureItem (OnMeasureItem) gives each its height.
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // Each row this many pixels high (where a variable row's measuring starts); 0 leaves
    // the rows their natural height.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    // Where an owner-drawn item is drawn, while it is.
    TCanvas* Canvas() const;
    // The rectangle item Index takes in the client area; empty when it is not shown.
    TRect ItemRect(int Index) const;

    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars; }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    bool ColorIsFieldBackground() const override { return true; }
    // OnDrawItem, or the item's text on the canvas's brush. The canvas comes with the
    // list's brush and font, or the highlight's for a selected item.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);

private:
    friend class TListItemDelegate;
    void ItemsChanged();
    void PrepareItemCanvas(TOwnerDrawState State);
    // The widget lays its rows out again.
    void RelayoutRows();
    // Puts the focus on Row without touching a multiple selection.
    void SetCurrentRow(int Row);

    std::unique_ptr<TStringList> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 0;
    bool FMultiSelect = false;
    bool FFilling = false;
};

// A list shown as a window of its own over the screen, as a drop-down's list is: its
// bounds are screen coordinates, and it shows on top without taking the focus or
// activating its window, so the control it drops from keeps the keys.
class TPopupListBox : public TListBox {
public:
    explicit TPopupListBox(TComponent* AOwner);

    String ClassName() const override { return "TPopupListBox"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    // The first item, from the start, whose text begins with Prefix ignoring case; -1 when none.
    int FindPrefix(const String& Prefix) const;

protected:
    void UpdateWidgetVisibility() override;
    // The left button came up over an item.
    virtual void ItemClicked() { }
};
