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

protected:
    bool ColorIsFieldBackground() const override { return true; }
    String GetText() const override;
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

private:
    void ItemsChanged();

    std::unique_ptr<TStringList> FItems;
    bool FFilling = false;
};
