#pragma once
// The data-aware grid: one record a row and one field a column, painted on its own
// canvas over the data set's buffer window, with a title row and an indicator column.

#include <functional>
#include <memory>
#include <vector>

#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwproperties.h"
#include "platform/classes/sets.h"
#include "platform/db/datalink.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/controls.h"

class TDataSource;
class TDataSet;
class TField;
class TdwCustomDBGrid;
class TdwGridHintWindow;
class TdwInplaceEdit;
class TImage;
class TImageList;
class TdwIButton;
class TShape;
class TTimer;

enum TdwDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgWordWrap,
    dgPerfectRowFit,
    dgMultiSelect,
    dgShowFooter,
    dgFooter3DCells,
    dgNoLimitColSize,
    dgTrailingEllipsis,
    dgShowCellHint,
    dgTabExitsOnLastCol
};
using TdwDBGridOptions = SetOf<TdwDBGridOption>;
enum TdwDBGridKeyOption { dgEnterToTab, dgAllowDelete, dgAllowInsert };
using TdwDBGridKeyOptions = SetOf<TdwDBGridKeyOption>;
enum TdwMultiSelectOption { msoAutoUnselect, msoShiftSelect };
using TdwMultiSelectOptions = SetOf<TdwMultiSelectOption>;
enum TIndicatorColorType { icBlack, icYellow };
// How cells with their own editors behave: a single click toggles a check box; attached
// controls are also looked for on the grid's owner; no attached controls; no date editor.
enum TdwEditControlOption {
    ecoCheckboxSingleClick,
    ecoSearchOwnerForm,
    ecoDisableCustomControls,
    ecoDisableDateTimePicker
};
using TdwEditControlOptions = SetOf<TdwEditControlOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = SetOf<TGridDrawStateItem>;

using TdwCalcCellColorsEvent = std::function<void(TObject* Sender, TField* Field, TGridDrawState State,
                                                  bool Highlight, TFont* AFont, TBrush* ABrush)>;
using TdwCalcTitleAttributesEvent =
        std::function<void(TObject* Sender, const String& AFieldName, TFont* AFont, TBrush* ABrush,
                           TAlignment& ATitleAlignment)>;
using TdwDrawDataCellEvent =
        std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TdwTitleButtonClickEvent = std::function<void(TObject* Sender, const String& AFieldName)>;
using TdwColWidthChangedEvent = std::function<void(TObject* Sender, int Column)>;
using TdwColumnMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TdwLeftColChangedEvent = std::function<void(TObject* Sender, int NewLeftCol)>;
using TdwFieldChangedEvent = std::function<void(TObject* Sender, TField* Field)>;
using TdwCheckValueEvent = std::function<void(TObject* Sender, bool PassesPictureTest)>;

// A title's picture: ImageIndex in the title image list (-1: none), ImagePosition 0 left
// of the text, 1 right of it, 2 the picture alone without text; Margin pixels between the
// picture and the cell's edge.
struct TdwTitleImageAttributes {
    int ImageIndex = -1;
    int ImagePosition = 1;
    int Margin = 3;
};
using TdwCalcTitleImageEvent =
        std::function<void(TObject* Sender, TField* Field, TdwTitleImageAttributes& TitleImageAttributes)>;
using TdwDrawTitleCellEvent = std::function<void(TObject* Sender, TCanvas* Canvas, TField* Field,
                                                 const TRect& Rect, bool& DefaultDrawing)>;
using TdwDrawFooterCellEvent =
        std::function<void(TObject* Sender, TCanvas* Canvas, const TRect& FooterCellRect, TField* Field,
                           const String& FooterText, bool& DefaultDrawing)>;

using TdwCreateHintWindowEvent =
        std::function<void(TObject* Sender, TdwGridHintWindow* HintWindow, TField* AField, const TRect& R,
                           bool& WordWrap, int& MaxWidth, int& MaxHeight, bool& DoDefault)>;

// A grid shown more columns than it can map.
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};

// A data column of the grid: its field's name and the text of its footer cell.
class TdwColumn {
public:
    // Grid is null for the spare column that stands for columns past the mapped ones.
    TdwColumn(TdwCustomDBGrid* Grid, const String& FieldName) : FGrid(Grid), FFieldName(FieldName) { }

    const String& FieldName() const { return FFieldName; }
    const String& FooterValue() const { return FFooterValue; }
    // A different value repaints the grid's footer.
    void SetFooterValue(const String& Value);

private:
    TdwCustomDBGrid* FGrid;
    String FFieldName;
    String FFooterValue;
};

// The grid's link to its data source.
class TdwGridDataLink : public TDataLink {
public:
    explicit TdwGridDataLink(TdwCustomDBGrid* Grid) : FGrid(Grid) { }

    String ClassName() const override { return "TdwGridDataLink"; }

    // The mapped fields' names, in column order.
    const std::vector<String>& FieldMap() const { return FFieldMap; }
    // Adds the data set's field of that name; false when it has none. Raises
    // EInvalidGridOperation past MaxMappedFields.
    bool AddMapping(const String& FieldName);
    static constexpr size_t MaxMappedFields = 16380;
    void ClearMapping() { FFieldMap.clear(); }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    TdwCustomDBGrid* FGrid;
    std::vector<String> FFieldMap;
};

class TdwCustomDBGrid : public TCustomControl, public TdwPublished {
public:
    explicit TdwCustomDBGrid(TComponent* AOwner);
    ~TdwCustomDBGrid() override;

    String ClassName() const override { return "TdwCustomDBGrid"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    int DialogCode() const override;

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value);
    TdwGridDataLink* DataLink() { return &FDataLink; }

    // One line a column: field name TAB width TAB title [TAB T|F], T for read-only.
    TStrings* Selected() { return &FSelected; }
    void SetSelected(const TStrings* Value);
    bool UseTFields() const { return FUseTFields; }
    void SetUseTFields(bool Value);
    TdwDBGridOptions Options() const { return FOptions; }
    void SetOptions(TdwDBGridOptions Value);
    TdwDBGridKeyOptions KeyOptions() const { return FKeyOptions; }
    void SetKeyOptions(TdwDBGridKeyOptions Value) { FKeyOptions = Value; }
    TdwMultiSelectOptions MultiSelectOptions() const { return FMultiSelectOptions; }
    void SetMultiSelectOptions(TdwMultiSelectOptions Value) { FMultiSelectOptions = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool EditCalculated() const { return FEditCalculated; }
    void SetEditCalculated(bool Value);
    TFont* TitleFont() const { return FTitleFont.get(); }
    TAlignment TitleAlignment() const { return FTitleAlignment; }
    void SetTitleAlignment(TAlignment Value);
    int TitleLines() const { return FTitleLines; }
    void SetTitleLines(int Value);
    bool TitleButtons() const { return FTitleButtons; }
    void SetTitleButtons(bool Value);
    // The title button of the data column is held down with the mouse over it (it paints sunken).
    bool TitleButtonDown(int DataCol) const
    {
        return FMouseMode == mmTitle && FTitleButtonDown && DataCol == FMouseCol;
    }
    // How far below the top of the title row the picture of a dragged title goes.
    int DragVertOffset() const { return FDragVertOffset; }
    void SetDragVertOffset(int Value) { FDragVertOffset = Value; }
    TColor TitleColor() const { return FTitleColor; }
    void SetTitleColor(TColor Value);
    int RowHeightPercent() const { return FRowHeightPercent; }
    void SetRowHeightPercent(int Value);
    TIndicatorColorType IndicatorColor() const { return FIndicatorColor; }
    void SetIndicatorColor(TIndicatorColorType Value);
    // Data columns that stay in view when the grid scrolls sideways.
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    // A scroll bar along the bottom edge whenever the scrolling columns do not all fit.
    bool ShowHorzScrollBar() const { return FShowHorzScrollBar; }
    void SetShowHorzScrollBar(bool Value);
    // The horizontal scroll bar's place below the footer; empty while it is not shown.
    TRect HorzScrollBarRect() const;
    // Its thumb: where LeftCol lies between the first scrolling column and the last
    // LeftCol that still leaves no room after the last column.
    TRect HorzScrollThumbRect() const;
    bool ShowVertScrollBar() const { return FShowVertScrollBar; }
    void SetShowVertScrollBar(bool Value);
    // The vertical scroll bar's place at the right edge; empty without it.
    TRect VertScrollBarRect() const;
    // Its thumb: by record number when the data set counts its records, else one of five
    // places (the top at the first record, the bottom at the last, else the middle).
    TRect VertScrollThumbRect();
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
    // Per-field control types (FieldName ";" TypeWord ";" Parameters), taken from the data
    // set instead when ControlInfoInDataset is on and the data set publishes its own.
    TStrings* ControlType() { return &FControlType; }
    void SetControlType(const TStrings* Value);
    bool ControlInfoInDataset() const { return FControlInfoInDataset; }
    void SetControlInfoInDataset(bool Value);
    TdwEditControlOptions EditControlOptions() const { return FEditControlOptions; }
    void SetEditControlOptions(TdwEditControlOptions Value);
    // Per-field picture masks for the cell editor (FieldName TAB Mask TAB AutoFill TAB
    // UseInGrid), taken from the data set instead when PictureMaskFromDataSet is on and
    // the data set publishes its own.
    TStrings* PictureMasks() { return &FPictureMasks; }
    bool PictureMaskFromDataSet() const { return FPictureMaskFromDataSet; }
    void SetPictureMaskFromDataSet(bool Value) { FPictureMaskFromDataSet = Value; }
    TStrings* PublishedStrings(const String& Name) override;
    std::optional<bool> PublishedBool(const String& Name) override;

    // The mapped columns.
    int GetFieldCount() const { return static_cast<int>(FDataLink.FieldMap().size()); }
    TField* GetFields(int Index) const;
    bool IsColumnReadOnly(int Column) const;

    // Grid geometry: columns and rows counted with the indicator column and title row.
    int ColCount() const { return static_cast<int>(FColWidths.size()); }
    int ColWidths(int Col) const { return FColWidths.at(static_cast<size_t>(Col)); }
    bool TabStops(int Col) const { return FTabStops.at(static_cast<size_t>(Col)) != 0; }
    int RowCount() const { return FRowCount; }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    int TitleRowHeight() const { return FTitleRows ? FTitleHeight : 0; }
    int IndicatorOffset() const { return FIndicatorCols; }
    int TitleOffset() const { return FTitleRows; }
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    // The first scrolling column shown; setting it scrolls the columns sideways (kept
    // between the first scrolling column and the one that brings the last into view).
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    // Whole data rows that fit in the client height.
    int VisibleRowCount() const;
    // The current data column (0-based, without the indicator).
    int SelectedIndex() const { return FCol - FIndicatorCols; }
    void SetSelectedIndex(int Value) { MoveCol(Value, false); }
    TField* SelectedField() const { return GetFields(SelectedIndex()); }
    // The rectangle of a grid cell; empty when it is out of view.
    TRect CellRect(int ACol, int ARow) const;
    // The data row (0 = the first below the titles) of the cell being painted, for
    // OnCalcCellColors and OnDrawDataCell; -1 outside a data cell's painting.
    int PaintingRow() const { return FPaintingRow; }

    // The column of mapped column Index, or of the field named FieldName (ignoring case);
    // the spare column, which has no field, for anything else.
    TdwColumn* GetColumn(int Index);
    TdwColumn* GetColumnByField(const String& FieldName);
    // Pictures for "ImageIndex" cells, and for titles (chosen in OnCalcTitleImage).
    TImageList* ImageList() const { return FImageList; }
    void SetImageList(TImageList* Value);
    TImageList* TitleImageList() const { return FTitleImageList; }
    void SetTitleImageList(TImageList* Value);
    // The footer row under the rows (with dgShowFooter): its height in pixels, 0 for the
    // row height + 4; the row's colour and its cells' colour.
    int FooterHeight() const { return FFooterHeight; }
    void SetFooterHeight(int Value);
    TColor FooterColor() const { return FFooterColor; }
    void SetFooterColor(TColor Value);
    TColor FooterCellColor() const { return FFooterCellColor; }
    void SetFooterCellColor(TColor Value);
    // The footer row's place below the client area; empty without dgShowFooter.
    TRect FooterRect() const;
    // The client area is what lies above the footer.
    int ClientHeight() const override;
    // The button in the title row's corner cell; it registers itself (see TdwIButton).
    TdwIButton* IndicatorButton() const { return FIndicatorButton; }
    void SetIndicatorButton(TdwIButton* Value);
    int IndicatorWidth() const { return FIndicatorWidth; }
    void SetIndicatorWidth(int Value);

    // Rebuilds the columns and row geometry.
    virtual void LayoutChanged();
    // Moves data column FromIndex to ToIndex: its Selected line, or its field's Index.
    void MoveColumn(int FromIndex, int ToIndex);
    // Sets a data column's width in pixels and keeps it, in characters, in the field's
    // DisplayWidth or the Selected line.
    void SetColumnWidth(int DataCol, int Width);

    // Events.
    TdwCalcCellColorsEvent OnCalcCellColors;
    TdwCalcTitleAttributesEvent OnCalcTitleAttributes;
    TdwDrawDataCellEvent OnDrawDataCell;
    TdwTitleButtonClickEvent OnTitleButtonClick;
    TdwColWidthChangedEvent OnColWidthChanged;
    TdwColumnMovedEvent OnColumnMoved;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TNotifyEvent OnRowChanged;
    TNotifyEvent OnCellChanged;
    TNotifyEvent OnTopRowChanged;
    TdwLeftColChangedEvent OnLeftColChanged;
    TdwFieldChangedEvent OnFieldChanged;
    // After each picture-mask check of the cell editor's text.
    TdwCheckValueEvent OnCheckValue;
    TdwCalcTitleImageEvent OnCalcTitleImage;
    // Before a title's text is drawn; DefaultDrawing false leaves the text out.
    TdwDrawTitleCellEvent OnDrawTitleCell;
    // Before a footer cell is drawn; DefaultDrawing false leaves it to the handler.
    TdwDrawFooterCellEvent OnDrawFooterCell;
    // Before a cell hint shows: a handler may change how it wraps and its largest size,
    // or set DoDefault false to place and show it itself.
    TdwCreateHintWindowEvent OnCreateHintWindow;
    // The current record changed: a handler sets the columns' FooterValue.
    TNotifyEvent OnUpdateFooter;

    // The key handling that a form may pass keys to (the lookup dialog does).
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    // The width the cells may take: the client width less the scroll bar.
    int CellsWidth() const;

    // The whole text of a cell too narrow or too short for it, shown while the mouse is
    // over the cell (with dgShowCellHint); null while none is.
    TdwGridHintWindow* CellHintWindow() const { return FHintWindow; }
    bool CellHintShowing() const;
    // Screen pixels of the hint shown last.
    const TRect& CellHintRect() const { return FHintRect; }
    // Frees the cell hint and stops its timer.
    virtual void HideHintWindow();

    // The canvas cells are painted on.
    TCanvas* GetPaintCanvas() { return Canvas(); }

    // The cell editor; shown over the current cell while it is edited.
    TdwInplaceEdit* InplaceEditor() const { return FEditor; }
    bool EditorMode() const;
    // Shows the editor over the current cell when the cell may be edited.
    void ShowEditor();
    // Writes the editor's pending text to the field, then hides it.
    void HideEditor();
    // Whether the current cell may be edited.
    bool CanEditCell() const;
    // From the editor: its text changed; a key it leaves to the grid.
    void EditorChanged();
    void EditorKeyDown(Word& Key, TShiftState Shift);

protected:
    friend class TdwGridDataLink;

    void Paint() override;
    void Resize() override;
    void FontChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void DoExit() override;

    virtual void Scroll(int Distance);
    virtual void LinkActive(bool Value);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void RecordChanged(TField* Field);
    virtual void DefineFieldMap();
    virtual void SetColumnAttributes();
    virtual bool HighlightCell(int DataCol, int DataRow, TGridDrawState State);
    virtual TColor ColumnColor(int DataCol) const;
    virtual void DoCalcCellColors(TField* Field, TGridDrawState State, bool Highlight, TFont* AFont,
                                  TBrush* ABrush);
    virtual void DoCalcTitleAttributes(const String& AFieldName, TFont* AFont, TBrush* ABrush,
                                       TAlignment& ATitleAlignment);
    virtual void DoTitleButtonClick(const String& AFieldName);
    virtual void DoTopRowChanged();
    virtual void DoRowChanged();
    virtual void DoCellChanged();
    virtual void DoFieldChanged(TField* Field);
    virtual void DoCalcTitleImage(TField* Field, TdwTitleImageAttributes& TitleImageAttributes);
    virtual void DoDrawTitleCell(TCanvas* Canvas, TField* Field, const TRect& Rect, bool& DefaultDrawing);
    virtual void DoDrawFooterCell(TCanvas* Canvas, const TRect& FooterCellRect, TField* Field,
                                  const String& FooterText, bool& DefaultDrawing);
    virtual void DoUpdateFooter();
    // Fires DoUpdateFooter and repaints the footer when the current record is another one
    // than last time, or its data were edited since.
    virtual void UpdateFooterOnRecordChange();
    // The text a data cell shows.
    virtual String CellText(TField* Field) const;
    // The field's control type and its parameters.
    virtual TdwFieldControlType GetControlInfo(const String& FieldName);
    // The cell is edited or drawn by something other than the text editor.
    virtual bool IsCustomControlCell(int /*DataCol*/, int /*DataRow*/) { return false; }
    // Paints a data cell itself (the canvas's brush and font already in the cell's colours,
    // the link on the cell's record); false leaves it to the text painting.
    virtual bool PaintCustomCell(TCanvas* /*Canvas*/, int /*DataCol*/, int /*DataRow*/, const TRect& /*R*/,
                                 bool /*Highlight*/)
    {
        return false;
    }
    // Whether the text editor may show over the current cell; with dgAlwaysShowEditor
    // only while the grid or its editor has the focus.
    virtual bool CanEditShow();
    // The editor's text into the field when it changed.
    virtual void UpdateData();
    // The window of a cell hint: the info colours and the grid's font.
    virtual TdwGridHintWindow* CreateHintWindow();
    virtual void DoCreateHintWindow(TdwGridHintWindow* HintWindow, TField* AField, const TRect& R,
                                    bool& WordWrap, int& MaxWidth, int& MaxHeight, bool& DoDefault);
    // A column takes the focus on Tab.
    void SetTabStops(int Col, bool Value) { FTabStops.at(static_cast<size_t>(Col)) = Value; }
    // A grid column's width in pixels for this layout only (nothing is kept of it).
    void SetColWidths(int Col, int Width) { FColWidths.at(static_cast<size_t>(Col)) = Width; }
    // The editor's text failed the field's picture mask while being posted.
    virtual void ValidationErrorUsingMask(TField* Field);
    // A left click on a data cell, after the grid moved to it; DataRow may lie past the records.
    virtual void DataCellClicked(int /*DataCol*/, int /*DataRow*/, TShiftState /*Shift*/) { }
    // The grid deleted the record of that bookmark.
    virtual void RecordDeleted(const TBookmark& /*Bookmark*/) { }
    // The TAB-separated parts of a Selected line.
    static std::vector<String> LineTokens(const String& Line);

private:
    void UpdateRowCount();
    void SyncCurrentRow();
    void CheckRowChanged();
    void CheckTopRowChanged();
    void MoveCol(int DataCol, bool Tabbing);
    void NextRecord();
    void PriorRecord();
    void TabMove(bool Forward);
    void DeleteRecord();
    void CancelRecord();
    // Esc with nothing typed: the record's changes are cancelled; the editor goes, unless
    // it is always shown (then it shows the field again).
    void EscapeRecord();
    // The editor shows the field's text again.
    void ResetEditorText();
    TDataSet* DataSetOrNull() const;
    TField* SelectedLineField(const String& Line) const;
    String TitleText(int DataCol) const;
    int RowPitch() const;
    // Where the first data row starts, below the titles and their line.
    int DataRowsTop() const;
    int ColumnLeft(int Col) const;
    void ScrollColumnIntoView();
    void DrawCell(TCanvas* Canvas, int ACol, int ARow, const TRect& R);
    void DrawTitleCell(TCanvas* Canvas, int DataCol, const TRect& R);
    void DrawIndicatorCell(TCanvas* Canvas, int DataRow, const TRect& R);
    // True when the cell ended up in the highlight colour.
    bool DrawDataCell(TCanvas* Canvas, int DataCol, int DataRow, const TRect& R);
    void DrawTitleImage(TCanvas* Canvas, TField* Field, bool Pressed, TRect& R, bool& ShowText);
    void DrawGridLines(TCanvas* Canvas, const TRect& R, bool Fixed);
    void DrawEdges(TCanvas* Canvas, int ACol, int ARow, const TRect& R, bool Highlighted);
    void DrawFooter(TCanvas* Canvas);
    void DrawFooterCell(TCanvas* Canvas, int DataCol, const TRect& R);
    // The footer's height with its 3-D cells; 0 without dgShowFooter.
    int FooterTotalHeight() const;
    // DrawText flags of cell text in that alignment.
    static unsigned CellTextFlags(TAlignment Alignment);
    void DrawVertScrollBar(TCanvas* Canvas);
    void DrawHorzScrollBar(TCanvas* Canvas);
    // The first column that scrolls, and the largest LeftCol: the one from which the last
    // column just fits.
    int FirstScrollingCol() const;
    int MaxLeftCol() const;
    // A press on the horizontal scroll bar: a column, a page of columns, or the thumb.
    void HorzScrollBarClick(int X);
    void HorzScrollThumbDragged(int X);
    // A press on the scroll bar: a record, a page, or the first or last record.
    void VertScrollBarClick(int Y);
    // The thumb dragged to Y, and let go: the record its place stands for.
    void VertScrollThumbDragged(int Y);
    void VertScrollThumbReleased();
    // Dragging a title to another column: the picture follows the mouse, a marker shows
    // where it goes, and the columns scroll while the picture is past an edge.
    void StartTitleDrag();
    void TitleDragMoved(int X);
    void TitleDragScroll();
    void EndTitleDrag();
    // The mouse held down on the data cells and moved to (X, Y): the cell under it, or
    // above or below the rows the record before or after those shown (again each tick
    // while it stays there).
    void SelectingMoved(int X, int Y);
    void SelectingScroll();
    void EndSelecting();
    // The grid column a title dropped at X goes to: a scrolling column in view.
    int TitleDropColumn(int X) const;
    // The mouse is over the title pressed last.
    bool OverPressedTitle(int X, int Y) const;
    void UpdateCellHint(int X, int Y);
    // A tick of the hint's timer: the hint goes once the mouse left its cell and the hint,
    // or after the application's hint hide pause.
    void CellHintTick();
    void PlaceEditor();
    // Hides the editor without writing its text.
    void DropEditor();
    // The grid cell at a point; false outside the cells shown.
    bool CellAt(int X, int Y, int& ACol, int& ARow) const;

    TdwGridDataLink FDataLink {this};
    TStringList FSelected;
    bool FUseTFields = true;
    TdwDBGridOptions FOptions {dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                               dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit, dgWordWrap};
    TdwDBGridKeyOptions FKeyOptions {dgAllowDelete, dgAllowInsert};
    TdwMultiSelectOptions FMultiSelectOptions;
    bool FReadOnly = false;
    bool FEditCalculated = false;
    std::unique_ptr<TFont> FTitleFont;
    TAlignment FTitleAlignment = taLeftJustify;
    int FTitleLines = 1;
    bool FTitleButtons = false;
    TColor FTitleColor = clBtnFace;
    int FRowHeightPercent = 100;
    TIndicatorColorType FIndicatorColor = icBlack;
    int FFixedCols = 0;
    bool FShowHorzScrollBar = true;
    bool FShowVertScrollBar = true;
    bool FDefaultDrawing = true;
    TStringList FControlType;
    bool FControlInfoInDataset = true;
    TdwEditControlOptions FEditControlOptions {ecoSearchOwnerForm};
    TStringList FPictureMasks;
    bool FPictureMaskFromDataSet = true;

    std::vector<int> FColWidths;
    std::vector<char> FTabStops;
    int FTitleRows = 1;
    int FIndicatorCols = 1;
    int FIndicatorWidth = 11;
    int FTitleHeight = 0;
    int FDefaultRowHeight = 0;
    int FRowCount = 2;
    int FCol = 1;
    int FRow = 1;
    int FLeftCol = 1;
    bool FInLayout = false;
    bool FUpdatingRowCount = false;
    int FPaintingRow = -1;
    TdwInplaceEdit* FEditor = nullptr;
    // The field's text when the editor last took it or wrote it: a field that differs
    // from it was changed by someone else, and the editor shows it again.
    String FEditText;
    TdwGridHintWindow* FHintWindow = nullptr;
    TTimer* FHintTimer = nullptr;
    int FHintTicks = 0;
    TRect FHintRect;
    // The hint's cell, and where the mouse was seen last, in screen pixels.
    TRect FHintCellRect;
    TPoint FMouseScreenPos;
    int FHintCol = -1;
    int FHintRow = -1;
    bool FFocusingEditor = false;
    enum TMouseMode { mmNone, mmSizing, mmTitle, mmThumb, mmHorzThumb, mmSelecting };
    TMouseMode FMouseMode = mmNone;
    int FMouseCol = 0;
    int FMouseStartX = 0;
    bool FTitleDragged = false;
    bool FTitleButtonDown = false;
    int FDragVertOffset = 15;
    int FDragGrabX = 0;
    int FDragX = 0;
    TImage* FDragPicture = nullptr;
    TShape* FDragMarker = nullptr;
    TTimer* FDragTimer = nullptr;
    TTimer* FSelectTimer = nullptr;
    // Where the mouse is while it selects beyond the rows: -1 above them, 1 below.
    int FSelectDirection = 0;
    // A dragged thumb's place within its track (its top, or its left on the horizontal
    // bar), and where it was taken hold of.
    int FThumbDragTop = 0;
    int FThumbGrabY = 0;
    int FThumbGrabX = 0;
    TBookmark FLastRecord;
    TBookmark FLastTopRecord;
    bool FHaveLastRecord = false;
    std::vector<std::unique_ptr<TdwColumn>> FColumns;
    TdwColumn FSpareColumn {nullptr, String()};
    TImageList* FImageList = nullptr;
    TImageList* FTitleImageList = nullptr;
    int FFooterHeight = 0;
    TColor FFooterColor = clBtnFace;
    TColor FFooterCellColor = clBtnFace;
    TdwIButton* FIndicatorButton = nullptr;
    // The record the footer was last updated for, and whether its data changed since.
    TBookmark FFooterRecord;
    bool FHaveFooterRecord = false;
    bool FRecordChanged = false;
};
