#pragma once
// The grid that forms place: the data-aware grid that applies its Selected column list
// to the data set's fields when the link opens, and paints fixed data columns in the
// title colour.

#include "datacontrols/common/dwcellcontrol.h"
#include "datacontrols/datetime/dwdbdatetimepicker.h"
#include "datacontrols/edits/dwmemodlg.h"
#include "datacontrols/grid/wwdbigrd.h"

class TdwDBGrid;
class TCustomEdit;
class TdwDBRichEdit;

using TdwMemoOpenEvent = std::function<void(TdwDBGrid* Grid, TdwMemoDialog* MemoDialog)>;
using TdwMemoCloseEvent = std::function<void(TdwDBGrid* Grid, bool Cancel)>;
using TdwCreateDateTimePickerEvent =
        std::function<void(TdwDBGrid* Grid, TdwDBCustomDateTimePicker* DateTimePicker)>;

// A record is about to join (Selecting) or leave the multi-selection; Accept false keeps it as it is.
using TdwMultiSelectRecordEvent = std::function<void(TdwDBGrid* Grid, bool Selecting, bool& Accept)>;

// Where the grid keeps its column layout: one key per column in a section of an INI
// file or a subkey of the registry, "width" Delimiter "title" Delimiter "T|F".
class TdwIniAttributes {
public:
    explicit TdwIniAttributes(TdwDBGrid* Grid) : FGrid(Grid) { }

    // Loads the layout when the grid's window first shows and saves it when the grid goes.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    // The layout goes to the registry, under the key FileName names, in place of a file.
    bool SaveToRegistry() const { return FSaveToRegistry; }
    void SetSaveToRegistry(bool Value) { FSaveToRegistry = Value; }
    // The stored name; else the library's IniFileName; else, without SaveToRegistry, the
    // executable's name (without directory and extension) with ".ini".
    String FileName() const;
    void SetFileName(const String& Value) { FFileName = Value; }
    // The stored name; else the parent form's name followed by the grid's.
    String SectionName() const;
    void SetSectionName(const String& Value) { FSectionName = Value; }
    const String& Delimiter() const { return FDelimiter; }
    void SetDelimiter(const String& Value) { FDelimiter = Value; }
    // A load keeps the columns of the current list that the file does not name.
    bool CheckNewFields() const { return FCheckNewFields; }
    void SetCheckNewFields(bool Value) { FCheckNewFields = Value; }

private:
    TdwDBGrid* FGrid;
    bool FEnabled = false;
    bool FSaveToRegistry = false;
    String FFileName;
    String FSectionName;
    String FDelimiter = ";;";
    bool FCheckNewFields = false;
};

class TdwDBGrid : public TdwCustomDBGrid, public IdwCellControlHost {
public:
    explicit TdwDBGrid(TComponent* AOwner) : TdwCustomDBGrid(AOwner), FIniAttributes(this) { }
    ~TdwDBGrid() override;

    String ClassName() const override { return "TdwDBGrid"; }
    bool InheritsFrom(const String& name) const override;

    TdwIniAttributes* IniAttributes() { return &FIniAttributes; }
    // Write and read the column layout; a problem is reported in a message box.
    void SaveIniAttributes();
    void LoadIniAttributes();

    // Multi-selection: the selected records' bookmarks, in the order they were selected.
    // A click selects with dgMultiSelect (MultiSelectOptions say how); the calls work always.
    const std::vector<TBookmark>& SelectedList() const { return FSelectedList; }
    // The current record joins or leaves the selection when OnMultiSelectRecord accepts.
    void SelectRecord();
    void UnselectRecord();
    void UnselectAll();
    // The current record is selected; never while it is edited or inserted.
    bool IsSelected();
    // Drops every selection entry of that record, each one accepted by OnMultiSelectRecord.
    void UnselectBookmark(const TBookmark& Bookmark);

    TdwMultiSelectRecordEvent OnMultiSelectRecord;

    // The memo pop-up's look; mGridShow shows a memo's text in its cell.
    TdwMemoAttributes MemoAttributes() const { return FMemoAttributes; }
    void SetMemoAttributes(TdwMemoAttributes Value);
    // The control shown over the current cell (an attached edit or the date/time picker);
    // null when none is.
    TWinControl* CellControl() const { return FCellControl; }
    // The date/time picker of the date cells; null until the first date cell the grid may
    // edit is entered.
    TdwDBDateTimePicker* DateTimePicker() const { return FDateTimePicker; }
    // The grid's own rich edit of the rich-text cells it may edit (those whose ControlType
    // line names no rich edit of the form); null until the first one is entered.
    TdwDBRichEdit* RichTextEditor() const { return FRichTextEditor; }
    bool CellTabs() const override { return Options().Contains(dgTabs); }
    bool CellEditorAlwaysShown() const override { return Options().Contains(dgAlwaysShowEditor); }
    void CellControlKey(Word Key, TShiftState Shift) override;

    // Space toggles a check box; F2 opens a memo or goes to the cell's control; typing
    // goes to the cell's control.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void LayoutChanged() override;

    TdwMemoOpenEvent OnMemoOpen;
    TdwMemoCloseEvent OnMemoClose;
    // Once, right after the date/time picker is made.
    TdwCreateDateTimePickerEvent OnCreateDateTimePicker;

protected:
    void Paint() override;
    bool HighlightCell(int DataCol, int DataRow, TGridDrawState State) override;
    void DataCellClicked(int DataCol, int DataRow, TShiftState Shift) override;
    virtual void DoMultiSelectRecord(bool Selecting, bool& Accept);
    void LinkActive(bool Value) override;
    TColor ColumnColor(int DataCol) const override;
    virtual void CreateDateTimePicker();
    virtual void DoCreateDateTimePicker();
    TdwFieldControlType GetControlInfo(const String& FieldName) override;
    bool IsCustomControlCell(int DataCol, int DataRow) override;
    bool PaintCustomCell(TCanvas* Canvas, int DataCol, int DataRow, const TRect& R, bool Highlight) override;
    bool CanEditShow() override;
    String CellText(TField* Field) const override;
    // A 10 x 10 check box in R.
    virtual void DrawCheckBox(TCanvas* Canvas, const TRect& R, bool Checked);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Loads the column layout, once, when IniAttributes are enabled.
    void CreateWnd() override;
    void DoEnter() override;
    void DoExit() override;
    void DoCellChanged() override;
    void DoRowChanged() override;
    void Scroll(int Distance) override;
    // Calculated fields drawn or edited by something of their own keep their tab stop.
    void SetColumnAttributes() override;
    // The shown cell control writes its pending value too.
    void UpdateData() override;
    // A deleted record leaves the selection.
    void RecordDeleted(const TBookmark& Bookmark) override;

private:
    void ApplySelected();
    // The file is usable: a registry key, or a file in an existing directory, and a
    // delimiter; else a message (none while the grid is being destroyed) and false.
    bool CheckIniFile(bool Quiet);

    // The record's entry in the selection list; -1 when it has none.
    int SelectedIndexOf(const TBookmark& Bookmark);
    // Which of the rows shown hold selected records.
    void RefreshRowFlags();
    // Adds the records from the anchor up to the current one, each one accepted.
    void SelectRange(const TBookmark& Anchor);
    // Scrolls the rows so that the current record shows on data row Row again.
    void ShowCurrentAtRow(int Row);
    // The field's column shows the multi-selection as a check box.
    bool IsSelectionCheckBox(TField* Field);

    // Finds the edits that ControlType attaches to fields and makes them the grid's.
    void AttachCellControls();
    // The edit a ControlType parameter names, on the form (or the owner's form or frame);
    // "Frame.Name" names one inside a frame, any other "First.Name" one on the data set's
    // owner. Null when there is none.
    TCustomEdit* FindCellControl(const String& Name);
    TComponent* FindCellComponent(const String& Name);
    // The edit attached to the field; null when none is or custom controls are off.
    TCustomEdit* AttachedControl(TField* Field);
    // Shows the current cell's control over it when the grid may edit the cell, and
    // hides the one shown before.
    void UpdateCellControl();
    void HideCellControl();
    // Editing is open in the grid as a whole.
    bool MayEditCells();
    // The current cell's field and column may be changed.
    bool MayEditCurrentField(TField* Field);
    // A character typed over the current cell, given to its control.
    void TypeIntoCellControl(char Typed);
    // The rich edit of the rich-text cells, made on first need, and bound to the cell's field.
    TdwDBRichEdit* MakeRichTextEditor();
    // The rich edit a "RichEdit" ControlType line names; else the grid's own.
    TdwDBRichEdit* RichTextControl(TField* Field);
    void BindRichTextEditor(TdwDBRichEdit* Editor, TField* Field);
    // A navigation key the shown cell control uses itself goes to it, with the focus.
    bool ReplayKeyToCellControl(Word Key, TShiftState Shift);
    bool IsCheckBoxCell(TField* Field);
    void ToggleCheckBox();
    void ShowMemoDialog();
    void PaintCheckBoxCell(TCanvas* Canvas, TField* Field, const TRect& R, const String& Parameters);
    void PaintPictureCell(TCanvas* Canvas, int DataCol, int DataRow, TField* Field, const TRect& R,
                          const String& Parameters, bool Highlight);
    void PaintImageCell(TCanvas* Canvas, TField* Field, const TRect& R, const String& Parameters,
                        bool Highlight);
    // The plain text of a rich-text blob's beginning (its first 8 KB), read through the
    // grid's hidden rich edit; a blob that is not RTF shows as it stands.
    String RichTextCellText(TField* Field) const;
    // A display field of its data set's lookup tables shows the text of the lookup
    // record found for the row's key (blank when none is); false for any other field.
    static bool LookupCellText(TField* Field, String& Text);

    TdwIniAttributes FIniAttributes;
    std::vector<TBookmark> FSelectedList;
    std::vector<char> FRowFlags;
    TBookmark FAnchor;
    TdwMemoAttributes FMemoAttributes {mSizeable, mWordWrap};
    // The attached edits by field name.
    std::vector<std::pair<String, TCustomEdit*>> FAttachedControls;
    TWinControl* FCellControl = nullptr;
    TdwDBDateTimePicker* FDateTimePicker = nullptr;
    // Made on the first rich-text cell painted.
    mutable TdwDBRichEdit* FRichTextPainter = nullptr;
    TdwDBRichEdit* FRichTextEditor = nullptr;
    bool FInLinkActive = false;
    bool FSendingCellExit = false;
    bool FSendingF2 = false;
    bool FIniLoaded = false;
};
