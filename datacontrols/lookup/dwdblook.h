#pragma once
// The lookup combo: an edit bound to a field that lets the user pick the field's value
// from another data set, the lookup table. The text shows the lookup record's display
// field (the first Selected field); the data field takes its key (LookupField). A button
// drops down a grid over the lookup table below or above the edit, and typing searches
// the lookup table as the user types.

#include <functional>
#include <memory>

#include "datacontrols/common/dwbuttonhost.h"
#include "datacontrols/common/dwcellcontrol.h"
#include "datacontrols/common/dwfieldbinding.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/edits/dweditframe.h"
#include "datacontrols/edits/wwdotdot.h"
#include "datacontrols/grid/wwdbigrd.h"
#include "platform/classes/sets.h"
#include "platform/db/datalink.h"
#include "platform/db/datasource.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/graphics/bitmap.h"

class TOutsidePressWatch;
class TTimer;
class TdwDBCustomLookupCombo;

// Searching record by record (when the lookup table has no index for it), and whether
// that search minds the case.
enum TdwSeqSearchOption { ssoEnabled, ssoCaseSensitive };
using TdwSeqSearchOptions = SetOf<TdwSeqSearchOption>;
enum TdwDBLookupListOption { loColLines, loRowLines, loTitles };
using TdwDBLookupListOptions = SetOf<TdwDBLookupListOption>;

// After the grid (or dialog) closed: FillTable is the combo's own data set or null;
// modified tells whether the value changed.
using TNotifyCloseUpEvent =
        std::function<void(TObject* Sender, TDataSet* LookupTable, TDataSet* FillTable, bool modified)>;

// A grid over a lookup table that is also bound to a field of another data set: it shows
// the lookup records, highlights the one whose key is the field's value, and keeps the
// key, link and display values of the record picked.
class TdwDBLookupList : public TdwCustomDBGrid {
public:
    explicit TdwDBLookupList(TComponent* AOwner);
    ~TdwDBLookupList() override;

    String ClassName() const override { return "TdwDBLookupList"; }
    bool InheritsFrom(const String& name) const override;

    // The field the list is bound to: it highlights the lookup record whose key is the
    // field's value and writes the key of the record picked. The combo's drop-down leaves
    // this to its combo.
    TDataSource* DataSource() const { return FFieldLink.DataSource(); }
    // Raises "Unable to use duplicate DataSource and LookupSource" for the lookup table's source.
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FFieldLink.FieldName(); }
    void SetDataField(const String& Value) { FFieldLink.SetFieldName(Value); }
    bool ReadOnly() const { return FFieldLink.ReadOnly(); }
    void SetReadOnly(bool Value) { FFieldLink.SetReadOnly(Value); }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    TDataSet* LookupTable() const { return FLookupSource->DataSet(); }
    // Raises "Unable to use duplicate DataSource and LookupSource" for the field's own
    // data set.
    void SetLookupTable(TDataSet* Value);
    // Key field, then up to two link fields, ';'-separated.
    const String& LookupField() const { return FLookupFieldName; }
    void SetLookupField(const String& Value);
    TdwDBLookupListOptions LookupOptions() const { return FLookupOptions; }
    void SetLookupOptions(TdwDBLookupListOptions Value);

    // The resolved fields of the lookup table; null when absent.
    TField* DisplayField() const { return FDisplayField; }
    TField* LookupFieldRef() const { return FLookupFieldRef; }
    TField* LinkField(int Index) const { return FLinkFields[Index]; }
    // The values of the record picked (or found).
    const String& LookupValue() const { return FLookupValue; }
    void SetLookupValue(const String& Value) { FLookupValue = Value; }
    const String& LinkValue(int Index) const { return FLinkValues[Index]; }
    const String& DisplayValue() const { return FDisplayValue; }
    void SetDisplayValue(const String& Value) { FDisplayValue = Value; }
    // Takes the key, link and display values from the lookup table's current record.
    void TakeCurrentRecord();
    // The link values of Own's current record: its fields named as the link fields.
    void TakeLinkValues(TDataSet* Own);
    // A link value came from the bound record (Own has the first link field).
    bool LinksBound() const { return FLinkFields[0] && FLinkBound[0]; }
    // Puts the lookup table on the record of Value and the bound link values, by key
    // when the active index leads with the key and link fields; true when found.
    bool FindValueWithLinks(const String& Value, bool CaseSensitive);
    // Clears the key, link and display values.
    void ClearValues();
    // Finds the fields named by LookupField and Selected again; with Check a missing key
    // field raises "Field 'X' not found".
    void ResolveFields(bool Check);

    // The value was found in the lookup table (or picked there); the combo's searches
    // tell the drop-down.
    bool ValueFound() const { return FFound; }
    void SetFound(bool Value) { FFound = Value; }
    // The row picked with the mouse or the keys; -1 for none.
    int PickedRow() const { return FPickedRow; }
    // The TAB-separated parts of a Selected line.
    using TdwCustomDBGrid::LineTokens;
    void SetPickedRow(int Value) { FPickedRow = Value; }
    // The mouse is held down on the rows: the current record follows it, and letting go
    // picks it.
    bool Tracking() const { return FTracking; }

    // The navigation keys start from the row that shows the list's value, when one does
    // (from the first record when the value is nowhere), and pick the record they move to;
    // Esc takes back a pick not yet written, and Insert adds nothing. The combo passes its
    // keys to its drop-down here.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    TNotifyEvent OnClick;

protected:
    bool HighlightCell(int DataCol, int DataRow, TGridDrawState State) override;
    // Focused, the list frames its highlighted row.
    void Paint() override;
    // The lookup table opened: the list goes to the field's lookup record.
    void LinkActive(bool Value) override;
    // Leaving the list writes the record picked into the field.
    void DoExit() override;
    void DataCellClicked(int DataCol, int DataRow, TShiftState Shift) override;
    // The scroll bar's arrows scroll the rows by one, the current record just past the
    // rows shown; the thumb lets go of the value's row.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The last column takes the width the others leave.
    void SetColumnAttributes() override;
    void Resize() override;
    // The record picked: when the value may change, its values are taken (for the field
    // to be written) and OnClick fires.
    virtual void DoSelect();
    // A pick may change the value: the list has no field of its own (the drop-down's
    // combo decides what it writes) or the field's record is being edited.
    bool CanEditGrid() const;
    // The value may not change: the list is read-only (the drop-down: its combo).
    virtual bool ValueReadOnly() const { return ReadOnly(); }
    // The field's value changed: the list goes to its lookup record.
    void FieldChanged();
    void TakeFieldValue();
    // The data row among those shown whose record holds the list's value; -1 for none.
    int ValueRow();

    // The grid's own source over the lookup table.
    TDataSource* FLookupSource;
    TFieldDataLink FFieldLink;
    TdwDBLookupListOptions FLookupOptions;
    String FLookupFieldName;
    TField* FDisplayField = nullptr;
    TField* FLookupFieldRef = nullptr;
    TField* FLinkFields[2] = {nullptr, nullptr};
    String FLookupValue;
    String FLinkValues[2];
    bool FLinkBound[2] = {false, false};
    String FDisplayValue;
    int FPickedRow = -1;
    bool FFound = false;
    bool FTracking = false;
    // The thumb moved the rows away: the keys start from the current record.
    bool FValueRowDropped = false;
};

// The lookup list as the combo's drop-down: a window of its own over the screen that
// never takes the focus; letting go of the mouse on it accepts the row.
class TdwPopupGrid : public TdwDBLookupList {
public:
    explicit TdwPopupGrid(TdwDBCustomLookupCombo* Combo);

    String ClassName() const override { return "TdwPopupGrid"; }
    bool InheritsFrom(const String& name) const override;
    bool CanFocus() const override { return false; }
    bool AcceptsFocus() const override { return false; }
    TdwDBCustomLookupCombo* Combo() const { return FCombo; }
    // A press that began on the combo and was dragged onto the grid, at (X, Y) in the
    // grid: from here on the grid tracks the mouse as if pressed on it.
    void TakeOverPress(int X, int Y);

protected:
    void UpdateWidgetVisibility() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DataChanged() override;
    bool ValueReadOnly() const override;
    // The lookup table opened: the combo shows its value from it.
    void LinkActive(bool Value) override;

private:
    TdwDBCustomLookupCombo* FCombo;
};

// The combo's button: the combo draws its face, the button its glyph and edge.
class TdwComboButton : public TdwPressedLookButton {
public:
    explicit TdwComboButton(TdwDBCustomLookupCombo* Combo);

    String ClassName() const override { return "TdwComboButton"; }
    bool InheritsFrom(const String& name) const override;

protected:
    // The face through the combo's DrawButtonFace (a plain face under a glyph) unless the
    // effects are transparent, the glyph over it, and a raised edge unless pressed or flat
    // (a library grid's cell control keeps its edge); nothing for the copy of the combo a
    // library grid paints into a cell.
    void Paint() override;
    // The press closes an open grid (accepting a match) or drops it down, the combo
    // focused first; dragged on onto the open grid, the press goes over to the grid.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // The panel under a flat or transparent button shows anew what the press covered.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TdwDBCustomLookupCombo* FCombo;
};

// Publishes DataSource, DataField and BorderStyle, through which a grid binds the combo to a column.
class TdwDBCustomLookupCombo : public TEdit,
                               public IdwCellTextSource,
                               public IdwCellNavigationKeys,
                               public TdwPublishedFieldBinding<TdwPublished, TdwDBCustomLookupCombo> {
public:
    explicit TdwDBCustomLookupCombo(TComponent* AOwner);
    ~TdwDBCustomLookupCombo() override;

    String ClassName() const override { return "TdwDBCustomLookupCombo"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    int DialogCode() const override;

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    // Raises "Unable to use duplicate DataSource and LookupSource" for a source over the
    // lookup table.
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FDataLink.FieldName(); }
    void SetDataField(const String& Value);
    TField* Field() const { return FDataLink.Field(); }
    TFieldDataLink* DataLink() { return &FDataLink; }
    TDataSet* LookupTable() const { return FGrid ? FGrid->LookupTable() : nullptr; }
    void SetLookupTable(TDataSet* Value);
    const String& LookupField() const { return FGrid->LookupField(); }
    void SetLookupField(const String& Value);
    // The drop-down's columns (FieldName TAB Width TAB Title); the first is shown in the text.
    TStrings* Selected() { return FGrid->Selected(); }
    void SetSelected(const TStrings* Value);
    TdwDBLookupComboStyle Style() const { return FStyle; }
    void SetStyle(TdwDBLookupComboStyle Value) { FStyle = Value; }
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    bool ShowButton() const;
    void SetShowButton(bool Value);
    TdwComboButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TdwComboButtonStyle Value);
    // The button's picture with ButtonStyle cbsCustom.
    TBitmap* ButtonGlyph() const { return FButtonGlyph.get(); }
    void SetButtonGlyph(TBitmap* Value);
    // The Flat and Transparent looks of the button.
    TdwButtonEffects* ButtonEffects() const { return FButtonEffects.get(); }
    // The combo's own frame in place of the edit's border.
    TdwEditFrame* Frame() const { return FFrame.get(); }
    // The combo grows to the height its font, border and frame need; a grid sizes its
    // cells' controls itself.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // 0: as wide as a vertical scroll bar, at least 15 pixels.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    // Milliseconds from a key to the search; 0 keeps 200.
    int SearchDelay() const { return FSearchDelay; }
    void SetSearchDelay(int Value) { FSearchDelay = Value; }
    TdwSeqSearchOptions SeqSearchOptions() const { return FSeqSearchOptions; }
    void SetSeqSearchOptions(TdwSeqSearchOptions Value) { FSeqSearchOptions = Value; }
    // Orders the lookup table by the display field while the user searches it.
    bool OrderByDisplay() const { return FOrderByDisplay; }
    void SetOrderByDisplay(bool Value) { FOrderByDisplay = Value; }
    // Backspace and Delete may clear the value of a csDropDownList combo.
    bool AllowClearKey() const { return FAllowClearKey; }
    void SetAllowClearKey(bool Value) { FAllowClearKey = Value; }
    bool UseTFields() const { return FGrid->UseTFields(); }
    void SetUseTFields(bool Value) { FGrid->SetUseTFields(Value); }
    // Completes the typed text with the found value, the completion selected.
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    bool ReadOnly() const { return FDataLink.ReadOnly(); }
    void SetReadOnly(bool Value);
    // Rows the drop-down shows (0 counts as 1), and its width (0: from the columns).
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    // The drop-down's right edge on the edit's, instead of its left edge.
    bool DropDownRightAligned() const { return FDropDownRightAligned; }
    void SetDropDownRightAligned(bool Value) { FDropDownRightAligned = Value; }

    TdwPopupGrid* Grid() const { return FGrid; }
    TdwComboButton* Button() const { return FButton; }
    TBtnWinControl* ButtonPanel() const { return FButtonPanel; }
    // The glyph the button shows: ButtonGlyph for a custom button, the library's small
    // arrow ("WWDROPDOWN") for a flat or transparent drop-down arrow; none otherwise, the
    // face showing the button's style.
    virtual TBitmap* GetButtonGlyph();
    // Loads the button's glyph again from GetButtonGlyph and repaints the button.
    virtual void GlyphChanged();
    virtual bool IsCustomButton() const { return FButtonStyle == cbsCustom; }
    // The data field is a lookup field, or has a LookupLinks line in its data set: its
    // value comes from key fields of its own data set, which the combo writes instead.
    bool IsLookupKindField() const;
    // The data set's key fields (Own) and the lookup table's fields they match (Lookup),
    // name by name; empty for a field of another kind.
    struct TKeyPairs {
        std::vector<String> Own;
        std::vector<String> Lookup;
    };
    TKeyPairs LookupKeyPairs() const;
    bool IsDroppedDown() const;
    // Whether the typed text found a lookup record.
    bool MatchFound() const { return FMatchFound; }

    virtual void DropDown();
    // Closes the grid; Modified takes the picked or found record into the value.
    virtual void CloseUp(bool Modified);
    // The incremental search of the text in the lookup table (the timer runs it).
    virtual void PerformSearch();

    // In a grid's cells: the display text of the lookup record whose key is the row's value.
    bool CellDisplayText(TField* Field, String& Text) override;
    // Over a grid's cell: Alt with Up, Down, Page Up or Page Down drops the grid down.
    bool UsesCellKey(Word Key, TShiftState Shift) const override;
    bool SetPublishedOrdinal(const String& Name, int Value) override;

    TNotifyEvent OnDropDown;
    TNotifyCloseUpEvent OnCloseUp;

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

protected:
    friend class TdwDBLookupList;
    friend class TdwPopupGrid;
    friend class TdwComboButton;

    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void FontChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // With the button held, at a screen point over the open grid: the press goes over to
    // the grid; true when it did.
    bool PassPressToGrid(const TPoint& ScreenPoint);

    virtual void DrawButtonFace(TCanvas* Canvas, const TRect& Rect, bool Pressed);
    virtual void DrawFrame(TCanvas* Canvas);
    // Without the focus, with a frame or disabled, the combo draws its text itself, then
    // the frame.
    void PaintOver(TCanvas* Canvas, const TRect& ClientArea) override;
    // True when the lookup record counts as chosen without a row picked in the grid (the
    // dialog descendant's).
    virtual bool IsLookupRecordChosen() { return false; }
    // Finds Value on the lookup table's index (or record by record); true when found.
    virtual bool FindOnIndex(const String& Value, const String& FieldName, bool PartialMatch);
    virtual bool LocateValue(const String& Value, const String& FieldNames, bool CaseSensitive,
                             bool PartialMatch);

    // --- the rules of typing and writing ---
    // Typing into the text is allowed.
    bool MayType() const;
    // The text may be changed now.
    bool IsModifiable() const;
    // Searches go record by record: the lookup table has no active index for them.
    bool UsesSequentialSearch() const;
    // The display field's name; the key field's without a Selected list.
    String DisplayFieldName() const;
    // Writes the grid's key and link values into the key fields where they differ, the
    // data set put into edit state; false when nothing could be written.
    bool WriteLookupKeys();

    // --- value display and transfer ---
    // The field's value shown as the lookup record's display text.
    void DataChange();
    // Writes the combo's value into the field (the data link's update).
    void UpdateData();
    // Shows the display text of the lookup record whose key is Value.
    void LookupValueIntoText(const String& Value);
    // Puts the lookup table on the record whose key is the grid's lookup value; true when found.
    bool PositionLookupTable(bool OrderByDisplayAfter);
    // The same for a lookup-kind field: on the record of the key fields' values.
    bool PositionOnKeyFields();
    bool FindLookupValue(const String& Value);
    // Orders the lookup table by the display field, or back by the key field.
    void OrderLookupTable(bool ForDisplay);
    // The text and link values go back to what they were on entry.
    void RestoreSavedValues();
    void SaveValuesForEscape();
    // Selects all or leaves the caret, as the rules say after a change.
    void SelectAllIfLocked();
    // Puts the drop-down in its place below (or above) the edit.
    void PlaceGrid();
    // Places the button's panel and the text's margins; an auto-sized combo lower than its
    // font needs grows first.
    void LayoutButton();
    // The frame's unfocused transparent look: what lies under the combo shows through.
    void UpdateTransparentLook(bool HasFocus);
    // The border's width around the edit's client area.
    int BorderWidth() const { return BorderVisible() ? 2 : 0; }
    void UpdateEditReadOnly();
    void RestartSearchTimer();
    // Puts the data link into edit when typing is allowed; true when the key may change
    // the text.
    bool EditForTyping();
    // After text that found nothing with the grid closed: the grid's values are the
    // field's again (none for a lookup-kind field, whose keys are written only on a pick).
    void KeepFieldValue();
    // Takes the found record's values into the grid, or, without one, puts the lookup
    // table on its first record and clears them.
    void TakeFoundRecord(bool Found);
    // In a grid's cell with the drop-down closed: the keys that move between cells go to
    // the grid; true when Key went.
    bool HandKeyToCellGrid(Word Key, TShiftState Shift);
    // The combo is a library grid's cell control.
    bool InLibraryGrid() const;

    TFieldDataLink FDataLink;
    TBtnWinControl* FButtonPanel = nullptr;
    TdwComboButton* FButton = nullptr;
    std::unique_ptr<TdwEditFrame> FFrame;
    std::unique_ptr<TdwComboButtonEffects> FButtonEffects;
    std::unique_ptr<TBitmap> FButtonGlyph;
    // The library's "WWDROPDOWN" arrow, loaded when first shown.
    std::unique_ptr<TBitmap> FDropDownGlyph;
    TdwPopupGrid* FGrid = nullptr;
    std::unique_ptr<TTimer> FTimer;
    std::unique_ptr<TOutsidePressWatch> FOutsideWatch;
    TdwDBLookupComboStyle FStyle = csDropDown;
    bool FAutoDropDown = false;
    bool FAutoSize = true;
    TdwComboButtonStyle FButtonStyle = cbsDownArrow;
    int FButtonWidth = 0;
    int FSearchDelay = 0;
    TdwSeqSearchOptions FSeqSearchOptions {ssoEnabled};
    bool FOrderByDisplay = true;
    bool FAllowClearKey = false;
    bool FShowMatchText = false;
    int FDropDownCount = 8;
    int FDropDownWidth = 0;
    bool FDropDownRightAligned = false;
    String FLastSearched;
    bool FMatchFound = true;
    String FSavedText;
    String FSavedLinkValues[2];
    String FSavedLookupValue;
    bool FSearchFromTyping = false;
    bool FInUpdate = false;
    bool FInCloseUp = false;
};
