#pragma once
// The data-aware grid: one record a row and one field a column, painted on its own
// canvas over the data set's buffer window, with a title row and an indicator column.

#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/sets.h"
#include "platform/db/datalink.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls.h"

class TDataSource;
class TDataSet;
class TField;
class TdwCustomDBGrid;
class TdwInplaceEdit;
class THintWindow;

enum TdwDBGridOption {
    dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
    dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgWordWrap, dgPerfectRowFit,
    dgMultiSelect, dgShowFooter, dgFooter3DCells, dgNoLimitColSize, dgTrailingEllipsis, dgShowCellHint,
    dgTabExitsOnLastCol
};
using TdwDBGridOptions = SetOf<TdwDBGridOption>;
enum TdwDBGridKeyOption { dgEnterToTab, dgAllowDelete, dgAllowInsert };
using TdwDBGridKeyOptions = SetOf<TdwDBGridKeyOption>;
enum TdwMultiSelectOption { msoAutoUnselect, msoShiftSelect };
using TdwMultiSelectOptions = SetOf<TdwMultiSelectOption>;
enum TIndicatorColorType { icBlack, icYellow };

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = SetOf<TGridDrawStateItem>;

using TdwCalcCellColorsEvent = std::function<void(TObject* Sender, TField* Field, TGridDrawState State,
                                                  bool Highlight, TFont* AFont, TBrush* ABrush)>;
using TdwCalcTitleAttributesEvent = std::function<void(TObject* Sender, const String& AFieldName, TFont* AFont,
                                                       TBrush* ABrush, TAlignment& ATitleAlignment)>;
using TdwDrawDataCellEvent = std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TdwTitleButtonClickEvent = std::function<void(TObject* Sender, const String& AFieldName)>;
using TdwColWidthChangedEvent = std::function<void(TObject* Sender, int Column)>;
using TdwColumnMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TdwLeftColChangedEvent = std::function<void(TObject* Sender, int NewLeftCol)>;
using TdwFieldChangedEvent = std::function<void(TObject* Sender, TField* Field)>;

// The grid's link to its data source.
class TdwGridDataLink : public TDataLink {
public:
    explicit TdwGridDataLink(TdwCustomDBGrid* Grid) : FGrid(Grid) {}

    String ClassName() const override { return "TdwGridDataLink"; }

    // The mapped fields' names, in column order.
    const std::vector<String>& FieldMap() const { return FFieldMap; }
    // Adds the data set's field of that name; false when it has none.
    bool AddMapping(const String& FieldName);
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

class TdwCustomDBGrid : public TCustomControl {
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
    TColor TitleColor() const { return FTitleColor; }
    void SetTitleColor(TColor Value);
    int RowHeightPercent() const { return FRowHeightPercent; }
    void SetRowHeightPercent(int Value);
    TIndicatorColorType IndicatorColor() const { return FIndicatorColor; }
    void SetIndicatorColor(TIndicatorColorType Value);
    // Data columns that stay in view when the grid scrolls sideways.
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    bool ShowHorzScrollBar() const { return FShowHorzScrollBar; }
    void SetShowHorzScrollBar(bool Value) { FShowHorzScrollBar = Value; }
    bool ShowVertScrollBar() const { return FShowVertScrollBar; }
    void SetShowVertScrollBar(bool Value);
    // The vertical scroll bar's place at the right edge; empty without it.
    TRect VertScrollBarRect() const;
    // Its thumb: by record number when the data set counts its records, else one of five
    // places (the top at the first record, the bottom at the last, else the middle).
    TRect VertScrollThumbRect();
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }

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
    // The first scrolling column shown.
    int LeftCol() const { return FLeftCol; }
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

    // The key handling that a form may pass keys to (the lookup dialog does).
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    // The width the cells may take: the client width less the scroll bar.
    int CellsWidth() const;

    // The whole text of a cell too narrow for it, shown while the mouse is over the cell
    // (with dgShowCellHint); null before the first.
    THintWindow* CellHintWindow() const { return FHintWindow; }
    bool CellHintShowing() const;
    // Screen pixels of the hint shown last.
    const TRect& CellHintRect() const { return FHintRect; }
    void HideCellHint();

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
    virtual void DoCalcCellColors(TField* Field, TGridDrawState State, bool Highlight, TFont* AFont, TBrush* ABrush);
    virtual void DoCalcTitleAttributes(const String& AFieldName, TFont* AFont, TBrush* ABrush, TAlignment& ATitleAlignment);
    virtual void DoTitleButtonClick(const String& AFieldName);
    virtual void DoTopRowChanged();
    virtual void DoRowChanged();
    virtual void DoCellChanged();
    virtual void DoFieldChanged(TField* Field);
    // The text a data cell shows.
    virtual String CellText(TField* Field) const;
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
    TDataSet* DataSetOrNull() const;
    TField* SelectedLineField(const String& Line) const;
    String TitleText(int DataCol) const;
    int RowPitch() const;
    int ColumnLeft(int Col) const;
    void ScrollColumnIntoView();
    void DrawCell(TCanvas* Canvas, int ACol, int ARow, const TRect& R);
    void DrawTitleCell(TCanvas* Canvas, int DataCol, const TRect& R);
    void DrawIndicatorCell(TCanvas* Canvas, int DataRow, const TRect& R);
    void DrawDataCell(TCanvas* Canvas, int DataCol, int DataRow, const TRect& R);
    void DrawEdges(TCanvas* Canvas, const TRect& R, bool Fixed);
    void DrawVertScrollBar(TCanvas* Canvas);
    // A press on the scroll bar: a record, a page, or the first or last record.
    void VertScrollBarClick(int Y);
    void UpdateCellHint(int X, int Y);
    // The editor's text into the field when it changed.
    void UpdateData();
    void PlaceEditor();
    // Hides the editor without writing its text.
    void DropEditor();
    // The grid cell at a point; false outside the cells shown.
    bool CellAt(int X, int Y, int& ACol, int& ARow) const;

    TdwGridDataLink FDataLink{this};
    TStringList FSelected;
    bool FUseTFields = true;
    TdwDBGridOptions FOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                              dgConfirmDelete, dgCancelOnExit, dgWordWrap};
    TdwDBGridKeyOptions FKeyOptions{dgAllowDelete, dgAllowInsert};
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
    THintWindow* FHintWindow = nullptr;
    TRect FHintRect;
    int FHintCol = -1;
    int FHintRow = -1;
    bool FFocusingEditor = false;
    enum TMouseMode { mmNone, mmSizing, mmTitle };
    TMouseMode FMouseMode = mmNone;
    int FMouseCol = 0;
    int FMouseStartX = 0;
    bool FTitleDragged = false;
    TBookmark FLastRecord;
    TBookmark FLastTopRecord;
    bool FHaveLastRecord = false;
};
