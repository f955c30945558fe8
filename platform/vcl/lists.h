#pragma once
// Lists to choose from: the drop-down TComboBox and the TListBox.

#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls.h"

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

    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars | (DroppedDown() ? dlgcWantAllKeys : 0); }

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

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;

    String ClassName() const override { return "TListBox"; }
    bool InheritsFrom(const String& name) const override;

    TStrings* Items() const { return FItems.get(); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int TopIndex() const;
    void SetTopIndex(int Value);

    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars; }

protected:
    bool ColorIsFieldBackground() const override { return true; }
    // The widget shows the items anew.
    virtual void ItemsFilled() { }

private:
    void ItemsChanged();

    std::unique_ptr<TStringList> FItems;
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

    // Each row this many pixels high; 0 leaves the rows their natural height.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    // The first item, from the start, whose text begins with Prefix ignoring case; -1 when none.
    int FindPrefix(const String& Prefix) const;

protected:
    void UpdateWidgetVisibility() override;
    void ItemsFilled() override;
    // The left button came up over an item.
    virtual void ItemClicked() { }

private:
    void ApplyItemHeight();

    int FItemHeight = 0;
};
