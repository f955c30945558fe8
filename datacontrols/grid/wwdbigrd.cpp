#include "datacontrols/grid/wwdbigrd.h"

#include <algorithm>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/grid/wwibutton.h"
#include "datacontrols/grid/wwinplaceedit.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/graphics/imagelist.h"

std::vector<String> TdwCustomDBGrid::LineTokens(const String& Line)
{
    std::vector<String> tokens;
    size_t start = 0;
    for (;;) {
        const size_t tab = Line.find('\t', start);
        tokens.push_back(Line.substr(start, tab == String::npos ? String::npos : tab - start));
        if (tab == String::npos)
            return tokens;
        start = tab + 1;
    }
}

// ---- data link ----

bool TdwGridDataLink::AddMapping(const String& FieldName)
{
    TDataSet* dataSet = DataSet();
    if (!dataSet || !dataSet->FindField(FieldName))
        return false;
    if (FFieldMap.size() >= MaxMappedFields)
        throw EInvalidGridOperation("Grid requested to display more than 256 columns");
    FFieldMap.push_back(FieldName);
    return true;
}

void TdwGridDataLink::ActiveChanged() { FGrid->LinkActive(Active()); }
void TdwGridDataLink::DataSetChanged() { FGrid->DataChanged(); }
void TdwGridDataLink::DataSetScrolled(int Distance) { FGrid->Scroll(Distance); }
void TdwGridDataLink::EditingChanged() { FGrid->EditingChanged(); }
void TdwGridDataLink::LayoutChanged() { FGrid->LayoutChanged(); }
void TdwGridDataLink::RecordChanged(TField* Field) { FGrid->RecordChanged(Field); }
void TdwGridDataLink::UpdateData() { FGrid->UpdateData(); }

// ---- construction and properties ----

TdwCustomDBGrid::TdwCustomDBGrid(TComponent* AOwner)
    : TCustomControl(AOwner), FTitleFont(std::make_unique<TFont>())
{
    FTitleFont->Assign(Font());
    FTitleFont->OnChange = [this](TObject*) { LayoutChanged(); };
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    FColWidths = {FIndicatorWidth, 64};
    FTabStops = {0, 1};
    LayoutChanged();
}

TdwCustomDBGrid::~TdwCustomDBGrid()
{
    FInLayout = true;
    FDataLink.SetDataSource(nullptr);
}

bool TdwCustomDBGrid::InheritsFrom(const String& name) const
{
    return name == "TdwCustomDBGrid" || name == "TCustomGrid" || TCustomControl::InheritsFrom(name);
}

void TdwCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent)
        return;
    if (AComponent == DataSource())
        SetDataSource(nullptr);
    if (AComponent == FIndicatorButton)
        SetIndicatorButton(nullptr);
    if (AComponent == FImageList)
        SetImageList(nullptr);
    if (AComponent == FTitleImageList)
        SetTitleImageList(nullptr);
}

int TdwCustomDBGrid::DialogCode() const
{
    int code = dlgcWantArrows | dlgcWantChars;
    if (FOptions.Contains(dgTabs))
        code |= dlgcWantTab;
    // Enter and Esc belong to the form's buttons unless a record is being edited.
    if (FDataLink.Active() && FDataLink.Editing())
        code |= dlgcWantAllKeys;
    return code;
}

void TdwCustomDBGrid::SetDataSource(TDataSource* Value)
{
    if (Value == DataSource())
        return;
    FDataLink.SetDataSource(Value);
    LinkActive(FDataLink.Active());
}

void TdwCustomDBGrid::SetSelected(const TStrings* Value)
{
    FSelected.Assign(*Value);
    LayoutChanged();
}

void TdwCustomDBGrid::SetUseTFields(bool Value)
{
    if (FUseTFields == Value)
        return;
    FUseTFields = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetOptions(TdwDBGridOptions Value)
{
    if (FOptions == Value)
        return;
    FOptions = Value;
    if (FEditor)
        FEditor->SetWordWrap(FOptions.Contains(dgWordWrap));
    LayoutChanged();
}

void TdwCustomDBGrid::SetEditCalculated(bool Value)
{
    FEditCalculated = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetTitleAlignment(TAlignment Value)
{
    if (FTitleAlignment == Value)
        return;
    FTitleAlignment = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetTitleLines(int Value)
{
    if (Value < 1 || Value == FTitleLines)
        return;
    FTitleLines = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetTitleButtons(bool Value)
{
    FTitleButtons = Value;
    Invalidate();
}

void TdwCustomDBGrid::SetTitleColor(TColor Value)
{
    if (FTitleColor == Value)
        return;
    FTitleColor = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetRowHeightPercent(int Value)
{
    if (Value < 1) {
        FRowHeightPercent = 100;
        return;
    }
    if (FRowHeightPercent == Value)
        return;
    FRowHeightPercent = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetIndicatorColor(TIndicatorColorType Value)
{
    FIndicatorColor = Value;
    Invalidate();
}

void TdwCustomDBGrid::SetFixedCols(int Value)
{
    FFixedCols = std::max(0, Value);
    LayoutChanged();
}

void TdwCustomDBGrid::SetImageList(TImageList* Value)
{
    if (FImageList == Value)
        return;
    FImageList = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TdwCustomDBGrid::SetTitleImageList(TImageList* Value)
{
    if (FTitleImageList == Value)
        return;
    FTitleImageList = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TdwCustomDBGrid::SetIndicatorButton(TdwIButton* Value)
{
    if (FIndicatorButton == Value)
        return;
    FIndicatorButton = Value;
    if (Value)
        Value->FreeNotification(this);
    LayoutChanged();
}

void TdwCustomDBGrid::SetIndicatorWidth(int Value)
{
    Value = std::max(0, Value);
    if (FIndicatorWidth == Value)
        return;
    FIndicatorWidth = Value;
    LayoutChanged();
}

// ---- columns ----

TDataSet* TdwCustomDBGrid::DataSetOrNull() const { return FDataLink.DataSet(); }

TField* TdwCustomDBGrid::GetFields(int Index) const
{
    TDataSet* dataSet = DataSetOrNull();
    if (!dataSet || Index < 0 || Index >= GetFieldCount())
        return nullptr;
    return dataSet->FindField(FDataLink.FieldMap()[static_cast<size_t>(Index)]);
}

bool TdwCustomDBGrid::IsColumnReadOnly(int Column) const
{
    if (Column < 0 || Column >= GetFieldCount())
        return false;
    int line = 0;
    if (!dwFindSelectedLine(&FSelected, FDataLink.FieldMap()[static_cast<size_t>(Column)], line))
        return false;
    const std::vector<String> tokens = LineTokens(FSelected.Strings(line));
    return tokens.size() >= 4 && tokens[3] == "T";
}

TField* TdwCustomDBGrid::SelectedLineField(const String& Line) const
{
    TDataSet* dataSet = DataSetOrNull();
    return dataSet ? dataSet->FindField(LineTokens(Line)[0]) : nullptr;
}

void TdwCustomDBGrid::DefineFieldMap()
{
    TDataSet* dataSet = DataSetOrNull();
    if (!dataSet)
        return;
    if (FUseTFields) {
        for (TField* field : dataSet->Fields()) {
            if (field->Visible())
                FDataLink.AddMapping(field->FieldName());
        }
    } else {
        for (int i = 0; i < FSelected.Count();) {
            const String name = LineTokens(FSelected.Strings(i))[0];
            if (FDataLink.Active() && !dataSet->FindField(name)) {
                FSelected.Delete(i);
                continue;
            }
            FDataLink.AddMapping(name);
            ++i;
        }
    }
    // New column objects; the footer texts stay with their fields.
    std::vector<std::unique_ptr<TdwColumn>> columns;
    for (const String& name : FDataLink.FieldMap()) {
        columns.push_back(std::make_unique<TdwColumn>(this, name));
        columns.back()->SetFooterValue(GetColumnByField(name)->FooterValue());
    }
    FColumns = std::move(columns);
}

TdwColumn* TdwCustomDBGrid::GetColumn(int Index)
{
    if (Index < 0 || Index >= GetFieldCount() || Index >= static_cast<int>(FColumns.size()))
        return &FSpareColumn;
    return FColumns[static_cast<size_t>(Index)].get();
}

TdwColumn* TdwCustomDBGrid::GetColumnByField(const String& FieldName)
{
    for (const auto& column : FColumns) {
        if (SameText(column->FieldName(), FieldName))
            return column.get();
    }
    return &FSpareColumn;
}

String TdwCustomDBGrid::TitleText(int DataCol) const
{
    TField* field = GetFields(DataCol);
    if (FUseTFields || DataCol >= FSelected.Count())
        return field ? field->DisplayLabel() : String();
    const std::vector<String> tokens = LineTokens(FSelected.Strings(DataCol));
    if (tokens.size() >= 3)
        return tokens[2];
    return field ? field->DisplayLabel() : String();
}

void TdwCustomDBGrid::SetColumnAttributes()
{
    TDataSet* dataSet = DataSetOrNull();
    if (!dataSet)
        return;
    Canvas()->SetFont(Font());
    const int charWidth = std::max(1, Canvas()->TextWidth("0"));
    for (int i = 0; i < GetFieldCount(); ++i) {
        TField* field = GetFields(i);
        if (!field)
            continue;
        int chars = field->DisplayWidth();
        if (!FUseTFields && i < FSelected.Count()) {
            const std::vector<String> tokens = LineTokens(FSelected.Strings(i));
            chars = tokens.size() >= 2 ? StrToIntDef(Trim(tokens[1]), 0) : 0;
        }
        int width = chars * charWidth + 4;
        if (FOptions.Contains(dgTitles) && !FOptions.Contains(dgNoLimitColSize)) {
            Canvas()->SetFont(FTitleFont.get());
            int titleWidth = 0;
            const String title = TitleText(i);
            size_t start = 0;
            for (;;) {
                const size_t tilde = title.find('~', start);
                const String part = title.substr(start, tilde == String::npos ? String::npos : tilde - start);
                titleWidth = std::max(titleWidth, Canvas()->TextWidth(part) + 4);
                if (tilde == String::npos)
                    break;
                start = tilde + 1;
            }
            Canvas()->SetFont(Font());
            width = std::max(width, titleWidth);
        }
        const size_t col = static_cast<size_t>(i + FIndicatorCols);
        FColWidths[col] = width;
        bool tabStop = !field->ReadOnly() && !IsColumnReadOnly(i);
        if (tabStop && !FEditCalculated && field->Calculated())
            tabStop = false;
        FTabStops[col] = tabStop;
    }
}

// ---- layout ----

int TdwCustomDBGrid::RowPitch() const { return FDefaultRowHeight + (FOptions.Contains(dgRowLines) ? 1 : 0); }

int TdwCustomDBGrid::DataRowsTop() const
{
    return FTitleRows ? FTitleHeight + (FOptions.Contains(dgRowLines) ? 1 : 0) : 0;
}

int TdwCustomDBGrid::VisibleRowCount() const
{
    return std::max(1, (ClientHeight() - DataRowsTop()) / std::max(1, RowPitch()));
}

void TdwCustomDBGrid::LayoutChanged()
{
    if (FInLayout)
        return;
    FInLayout = true;
    FTitleRows = FOptions.Contains(dgTitles) ? 1 : 0;
    FIndicatorCols = FOptions.Contains(dgIndicator) ? 1 : 0;
    const bool rowLines = FOptions.Contains(dgRowLines);
    Canvas()->SetFont(Font());
    FDefaultRowHeight = (Canvas()->TextHeight("W") + 2 + (rowLines ? 1 : 0)) * FRowHeightPercent / 100;
    Canvas()->SetFont(FTitleFont.get());
    FTitleHeight = Canvas()->TextHeight("W") * FTitleLines + 4 + (rowLines ? 0 : 1);
    if (FIndicatorCols && FIndicatorButton) {
        const int height = std::max(FTitleHeight, FIndicatorButton->Height());
        FTitleHeight = rowLines ? height - 1 : height + 1;
    }

    FDataLink.ClearMapping();
    if (FDataLink.Active()) {
        try {
            DefineFieldMap();
        } catch (...) {
            // The grid shows nothing of a map it cannot hold, and may lay out again.
            FDataLink.ClearMapping();
            FInLayout = false;
            throw;
        }
    }
    int columns = GetFieldCount();
    if (!FUseTFields && columns == 0)
        columns = FSelected.Count();
    columns = std::max(1, columns);
    FColWidths.assign(static_cast<size_t>(FIndicatorCols + columns), 64);
    FTabStops.assign(FColWidths.size(), 1);
    if (FIndicatorCols) {
        FColWidths[0] = FIndicatorWidth;
        FTabStops[0] = 0;
    }
    SetColumnAttributes();
    FCol = std::clamp(FCol, FIndicatorCols, ColCount() - 1);
    FLeftCol = std::clamp(FLeftCol, FirstScrollingCol(), std::max(FirstScrollingCol(), MaxLeftCol()));
    FInLayout = false;
    UpdateRowCount();
    UpdateFooterOnRecordChange();
    SyncCurrentRow();
    ScrollColumnIntoView();
    Invalidate();
}

void TdwCustomDBGrid::UpdateRowCount()
{
    if (FUpdatingRowCount)
        return;
    FUpdatingRowCount = true;
    if (FDataLink.Active()) {
        FDataLink.SetBufferCount(VisibleRowCount());
        FRowCount = FTitleRows + std::max(1, FDataLink.RecordCount());
    } else {
        FRowCount = FTitleRows + 1;
    }
    FUpdatingRowCount = false;
}

void TdwCustomDBGrid::SyncCurrentRow()
{
    if (FDataLink.Active())
        FRow = FDataLink.ActiveRecord() + FTitleRows;
    else
        FRow = FTitleRows;
    // A lookup combo's list keeps what is typed in it.
    TField* field = EditorMode() ? SelectedField() : nullptr;
    if (field && field->Text() != FEditText && !dwIsClassNamed(Owner(), "TdwDBCustomLookupCombo"))
        ResetEditorText();
}

void TdwCustomDBGrid::Resize()
{
    TCustomControl::Resize();
    UpdateRowCount();
    SyncCurrentRow();
    Invalidate();
}

void TdwCustomDBGrid::FontChanged()
{
    TCustomControl::FontChanged();
    if (ParentFont())
        FTitleFont->Assign(Font());
    LayoutChanged();
}

// ---- data link events ----

void TdwCustomDBGrid::LinkActive(bool /*Value*/)
{
    DropEditor();
    FLastRecord.clear();
    FLastTopRecord.clear();
    FHaveLastRecord = false;
    FFooterRecord.clear();
    FHaveFooterRecord = false;
    LayoutChanged();
    CheckTopRowChanged();
}

void TdwCustomDBGrid::DataChanged()
{
    if (FInLayout)
        return;
    TDataSet* dataSet = DataSetOrNull();
    if (!dataSet || dataSet->State() == dsBrowse)
        DropEditor();
    UpdateRowCount();
    SyncCurrentRow();
    Invalidate();
    CheckRowChanged();
    CheckTopRowChanged();
}

void TdwCustomDBGrid::Scroll(int /*Distance*/)
{
    DropEditor();
    HideHintWindow();
    SyncCurrentRow();
    if (FOptions.Contains(dgAlwaysShowEditor))
        ShowEditor();
    Invalidate();
    CheckTopRowChanged();
    CheckRowChanged();
}

void TdwCustomDBGrid::EditingChanged()
{
    // Editing starts or ends (posted or cancelled): the footer's figures may be stale.
    FRecordChanged = true;
    Invalidate();
}

void TdwCustomDBGrid::RecordChanged(TField* Field)
{
    Invalidate();
    TField* selected = EditorMode() ? SelectedField() : nullptr;
    if (selected && (!Field || Field == selected) && selected->Text() != FEditText)
        ResetEditorText();
}

void TdwCustomDBGrid::CheckRowChanged()
{
    TDataSet* dataSet = DataSetOrNull();
    if (!FDataLink.Active() || !dataSet)
        return;
    const TBookmark current = dataSet->IsEmpty() ? TBookmark() : dataSet->GetBookmark();
    if (!FHaveLastRecord || current != FLastRecord || dataSet->State() == dsInsert) {
        const bool fire = FHaveLastRecord;
        FLastRecord = current;
        FHaveLastRecord = true;
        if (fire)
            DoRowChanged();
    }
    UpdateFooterOnRecordChange();
}

// The top row's record moved: the grid scrolled.
void TdwCustomDBGrid::CheckTopRowChanged()
{
    TDataSet* dataSet = DataSetOrNull();
    TBookmark top;
    if (FDataLink.Active() && dataSet && FDataLink.RecordCount() > 0) {
        const int active = FDataLink.ActiveRecord();
        FDataLink.SetActiveRecord(0);
        top = dataSet->GetBookmark();
        FDataLink.SetActiveRecord(active);
    }
    if (top == FLastTopRecord)
        return;
    const bool fire = !FLastTopRecord.empty() && !top.empty();
    FLastTopRecord = top;
    if (fire)
        DoTopRowChanged();
}

// ---- events ----

void TdwCustomDBGrid::DoCalcCellColors(TField* Field, TGridDrawState State, bool Highlight, TFont* AFont,
                                       TBrush* ABrush)
{
    if (OnCalcCellColors)
        OnCalcCellColors(this, Field, State, Highlight, AFont, ABrush);
}

void TdwCustomDBGrid::DoCalcTitleAttributes(const String& AFieldName, TFont* AFont, TBrush* ABrush,
                                            TAlignment& ATitleAlignment)
{
    if (OnCalcTitleAttributes)
        OnCalcTitleAttributes(this, AFieldName, AFont, ABrush, ATitleAlignment);
}

void TdwCustomDBGrid::DoTitleButtonClick(const String& AFieldName)
{
    if (OnTitleButtonClick)
        OnTitleButtonClick(this, AFieldName);
}

void TdwCustomDBGrid::DoTopRowChanged()
{
    if (OnTopRowChanged)
        OnTopRowChanged(this);
}

void TdwCustomDBGrid::DoRowChanged()
{
    if (OnRowChanged)
        OnRowChanged(this);
}

void TdwCustomDBGrid::DoCellChanged()
{
    if (OnCellChanged)
        OnCellChanged(this);
}

void TdwCustomDBGrid::DoFieldChanged(TField* Field)
{
    if (OnFieldChanged)
        OnFieldChanged(this, Field);
}

void TdwCustomDBGrid::DoCalcTitleImage(TField* Field, TdwTitleImageAttributes& TitleImageAttributes)
{
    if (OnCalcTitleImage)
        OnCalcTitleImage(this, Field, TitleImageAttributes);
}

void TdwCustomDBGrid::DoDrawTitleCell(TCanvas* Canvas, TField* Field, const TRect& Rect, bool& DefaultDrawing)
{
    if (OnDrawTitleCell)
        OnDrawTitleCell(this, Canvas, Field, Rect, DefaultDrawing);
}

bool TdwCustomDBGrid::HighlightCell(int /*DataCol*/, int /*DataRow*/, TGridDrawState State)
{
    // Multi-selection is kept by the published grid; here no record is selected.
    if (FOptions.Contains(dgMultiSelect) && !State.Contains(gdFixed))
        return false;
    return State.Contains(gdSelected) && (Focused() || FOptions.Contains(dgAlwaysShowSelection));
}

TColor TdwCustomDBGrid::ColumnColor(int /*DataCol*/) const { return Color(); }

String TdwCustomDBGrid::CellText(TField* Field) const
{
    if (!Field)
        return String();
    if (Field->DataType() == ftMemo) {
        TDataSet* dataSet = DataSetOrNull();
        return dataSet && dataSet->IsEmpty() ? String() : String("(Memo)");
    }
    return Field->DisplayText();
}
