#pragma once
// The data-aware combo box: the button edit with a drop-down list of items. With MapList
// an item is a display text, a TAB and the value stored in the field: the field holds the
// value, the edit shows the text. The open list closes when the user clicks anywhere else.

#include <functional>
#include <memory>

#include "datacontrols/common/dwcellcontrol.h"
#include "datacontrols/edits/wwdotdot.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/lists.h"

class TdwDBCustomComboBox;
class TdwDBComboBox;
class TOutsidePressWatch;

using TdwComboCloseUpEvent = std::function<void(TdwDBComboBox* Sender, bool Select)>;

// The part of a MapList item the list shows: before the first TAB.
String dwComboDisplayPart(const String& Item);
// The part it stores: after the first TAB; an item without one stores its whole text.
String dwComboValuePart(const String& Item);
// A list of Rows rows (at most DropDownCount of them) ItemHeight pixels high.
int dwDropDownHeight(int ItemCount, int DropDownCount, int ItemHeight);
// Where a drop-down list of that size opens below a combo at Combo (screen coordinates):
// above it when it would pass the screen's bottom, right-aligned with it when it would
// pass the screen's right edge.
TRect dwDropDownBounds(const TRect& Combo, int ListWidth, int ListHeight, int ScreenWidth, int ScreenHeight);

// The combo box's drop-down list, a window of its own that never takes the focus.
class TdwPopupListbox : public TPopupListBox {
public:
    explicit TdwPopupListbox(TdwDBCustomComboBox* Combo);
    ~TdwPopupListbox() override;

    String ClassName() const override { return "TdwPopupListbox"; }
    bool InheritsFrom(const String& name) const override;

    // Shows the list at Bounds (screen coordinates) and watches for clicks outside it and
    // its combo, until it hides again.
    void Popup(const TRect& Bounds);
    void ClosePopup();
    // Type-ahead: a printable key extends the search text, Backspace and Esc clear it.
    void SearchKey(char Key);

protected:
    // Releasing the button over an item chooses it.
    void ItemClicked() override;
    // The combo's OnDrawItem and OnMeasureItem serve the owner-drawn styles.
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;

private:
    void ActiveWindowChanged();

    TdwDBCustomComboBox* FCombo;
    std::unique_ptr<TOutsidePressWatch> FPressWatch;
    String FSearchText;
    TDateTime FLastKeyTime = 0;
};

class TdwDBCustomComboBox : public TdwDBCustomCombo, public IdwCellTextSource {
public:
    explicit TdwDBCustomComboBox(TComponent* AOwner);
    ~TdwDBCustomComboBox() override;

    String ClassName() const override { return "TdwDBCustomComboBox"; }
    bool InheritsFrom(const String& name) const override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value);
    // In a grid's cells a MapList combo shows the display item of each row's value.
    bool CellDisplayText(TField* Field, String& Text) override;
    bool MapList() const { return FMapList; }
    void SetMapList(bool Value) { FMapList = Value; }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    // 0 is the combo's width.
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    // 0 is the font's height plus 2.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    bool AllowClearKey() const { return FAllowClearKey; }
    void SetAllowClearKey(bool Value) { FAllowClearKey = Value; }
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    // In a drop-down list, typing completes the text to the first item it begins.
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    void SetStyle(TComboBoxStyle Value);
    int ItemIndex() const;
    void SetItemIndex(int Value);
    void SetDroppedDown(bool Value);
    TdwPopupListbox* PopupList() const { return FList; }

    bool IsEditStyle() const override;
    bool IsDroppedDown() const override { return FListShowing; }
    bool IsTypingAllowed() override;
    void DropDown() override;
    void CloseUp(bool Accept) override;

    // The display text of the first item storing Value (MapList), or Value itself.
    String DisplayTextForValue(const String& Value) const;
    // What Text stores: the value of the first item showing it (MapList; "" when none
    // does), "" for an empty text in csDropDown, else the text.
    String ValueForText(const String& Text) const;

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void CMExit() override;

    TNotifyEvent OnDropDown;
    // Where OnDrawItem draws: the list's canvas while it draws a list item, the edit's
    // while it draws the chosen item; null otherwise.
    TCanvas* Canvas() const { return FDrawCanvas; }

    // In the owner-drawn styles: draws an item of the list, or the chosen one in the edit,
    // with the combo as the control, on the combo's Canvas.
    TDrawItemEvent OnDrawItem;
    // In csOwnerDrawVariable: gives an item of the list its height.
    TMeasureItemEvent OnMeasureItem;

protected:
    bool IsOwnerDraw() const override;
    // An owner-drawn edit always paints its item itself.
    bool PaintsOwnText() const override;
    void PaintText(TCanvas* Canvas, const TRect& ClientArea) override;
    String TextForField(TField* Field) override;
    String ValueToStore() override { return ValueForText(Text()); }
    // A mapped item's text may be longer than the value it stores.
    bool TextIsFieldValue() const override { return !FMapList; }
    void WMCut() override;
    virtual void DoCloseUp(bool Accept) { (void)Accept; }
    virtual void DoDropDown()
    {
        if (OnDropDown)
            OnDropDown(this);
    }

private:
    friend class TdwPopupListbox;
    void FillList();
    // Shows Value: the text of its item (or itself) and that item's index.
    String ShowValue(const String& Value);
    // The user chose item Index by a key: the field goes into edit state first.
    void SelectItemByKey(int Index);
    // The first item after the current one (wrapping) whose display text begins with
    // Prefix, ignoring case; -1 when none does.
    int FindItemFrom(int Start, const String& Prefix) const;
    void ClearValue();
    // Runs OnDrawItem drawing on Canvas.
    void DrawItemOn(TCanvas* Canvas, int Index, const TRect& Rect, TOwnerDrawState State);

    std::unique_ptr<TStringList> FItems;
    TdwPopupListbox* FList = nullptr;
    bool FMapList = false;
    int FDropDownCount = 8;
    int FDropDownWidth = 0;
    int FItemHeight = 0;
    bool FAllowClearKey = false;
    bool FAutoDropDown = false;
    bool FShowMatchText = false;
    bool FListShowing = false;
    bool FFirstKeyAfterDropDown = false;
    bool FDropDownByTyping = false;
    bool FSavedShowHint = false;
    int FItemIndex = -1;
    TCanvas* FDrawCanvas = nullptr;
};

class TdwDBComboBox : public TdwDBCustomComboBox {
public:
    explicit TdwDBComboBox(TComponent* AOwner) : TdwDBCustomComboBox(AOwner) { }
    String ClassName() const override { return "TdwDBComboBox"; }
    bool InheritsFrom(const String& name) const override;

    TdwComboCloseUpEvent OnCloseUp;

protected:
    void DoCloseUp(bool Accept) override
    {
        if (OnCloseUp)
            OnCloseUp(this, Accept);
    }
};
