// The lookup list, its use as the lookup combo's drop-down, and the combo's button.

#include <algorithm>

#include "datacontrols/common/dwdrawing.h"
#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/lookup/dwdblook.h"
#include "datacontrols/lookup/dwlookuptable.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/dropdown.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/graphics.h"

namespace {

const char* const DuplicateSourceMessage = "Unable to use duplicate DataSource and LookupSource";

}  // namespace

// ---- the lookup list ----

TdwDBLookupList::TdwDBLookupList(TComponent* AOwner)
    : TdwCustomDBGrid(AOwner), FLookupSource(new TDataSource(this))
{
    SetOptions({dgRowSelect});
    SetBounds(Left(), Top(), 121, 97);
    TdwCustomDBGrid::SetDataSource(FLookupSource);
    FFieldLink.SetControl(this);
    FFieldLink.OnDataChange = [this](TObject*) { FieldChanged(); };
    FFieldLink.OnActiveChange = [this](TObject*) { FieldChanged(); };
    FFieldLink.OnUpdateData = [this](TObject*) {
        if (TField* field = FFieldLink.Field())
            field->SetAsString(FLookupValue);
    };
}

TdwDBLookupList::~TdwDBLookupList()
{
    FFieldLink.OnDataChange = nullptr;
    FFieldLink.OnActiveChange = nullptr;
    FFieldLink.OnUpdateData = nullptr;
    FFieldLink.SetDataSource(nullptr);
    TdwCustomDBGrid::SetDataSource(nullptr);
}

void TdwDBLookupList::SetDataSource(TDataSource* Value)
{
    if (Value && (Value == FLookupSource || (LookupTable() && Value->DataSet() == LookupTable())))
        throw EInvalidOperation(DuplicateSourceMessage);
    if (DataSource())
        DataSource()->RemoveFreeNotification(this);
    FFieldLink.SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
}

void TdwDBLookupList::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwCustomDBGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == DataSource())
        FFieldLink.SetDataSource(nullptr);
}

// While the field's record is being edited the list keeps its own value: the record
// going into edit must not move the list off the row the user is picking. Nothing
// moves while the list is being loaded.
void TdwDBLookupList::FieldChanged()
{
    if (!FFieldLink.Editing() && !ComponentState().Contains(csLoading))
        TakeFieldValue();
}

// The properties set while loading, the list goes to the field's record once.
void TdwDBLookupList::Loaded()
{
    TdwCustomDBGrid::Loaded();
    FieldChanged();
}

void TdwDBLookupList::TakeFieldValue()
{
    TField* field = FFieldLink.Field();
    TDataSet* table = LookupTable();
    if (!field || !table || !table->Active() || !FLookupFieldRef)
        return;
    FLookupValue = field->AsString();
    FPickedRow = -1;
    FValueRowDropped = false;
    TakeLinkValues(field->DataSet());
    FFound = !FLookupValue.empty() && FindValueWithLinks(FLookupValue, true);
    if (FFound) {
        TakeCurrentRecord();
    } else {
        if (!table->IsEmpty())
            table->First();
        ClearValues();
    }
    Invalidate();
}

bool TdwDBLookupList::InheritsFrom(const String& name) const
{
    return name == "TdwDBLookupList" || TdwCustomDBGrid::InheritsFrom(name);
}

void TdwDBLookupList::SetLookupTable(TDataSet* Value)
{
    const auto* popup = dynamic_cast<TdwPopupGrid*>(this);
    TDataSource* fieldSource = popup ? popup->Combo()->DataSource() : DataSource();
    if (Value && fieldSource && fieldSource->DataSet() == Value)
        throw EInvalidOperation(DuplicateSourceMessage);
    FLookupSource->SetDataSet(Value);
    ResolveFields(false);
    LayoutChanged();
    FieldChanged();
}

void TdwDBLookupList::SetLookupField(const String& Value)
{
    if (Value == FLookupFieldName)
        return;
    FLookupFieldName = Value;
    ResolveFields(true);
    LayoutChanged();
    FieldChanged();
}

void TdwDBLookupList::SetLookupOptions(TdwDBLookupListOptions Value)
{
    FLookupOptions = Value;
    TdwDBGridOptions options {dgRowSelect};
    if (Value.Contains(loColLines))
        options.Include(dgColLines);
    if (Value.Contains(loRowLines))
        options.Include(dgRowLines);
    if (Value.Contains(loTitles))
        options.Include(dgTitles);
    SetOptions(options);
}

void TdwDBLookupList::ResolveFields(bool Check)
{
    FDisplayField = nullptr;
    FLookupFieldRef = nullptr;
    FLinkFields[0] = FLinkFields[1] = nullptr;
    TDataSet* table = LookupTable();
    if (!table || !table->Active() || FLookupFieldName.empty())
        return;
    std::vector<String> names = dwSplitFieldNames(FLookupFieldName);
    auto* popup = dynamic_cast<TdwPopupGrid*>(this);
    // A lookup-kind field names the lookup table's key and link fields itself.
    const bool lookupKind = popup && popup->Combo()->IsLookupKindField();
    if (lookupKind && !popup->Combo()->LookupKeyPairs().Lookup.empty())
        names = popup->Combo()->LookupKeyPairs().Lookup;
    if (names.empty())
        return;
    FLookupFieldRef = table->FindField(names[0]);
    if (!FLookupFieldRef) {
        if (Check)
            throw EInvalidOperation("Field '" + FLookupFieldName + "' not found");
        return;
    }
    for (size_t i = 1; i < names.size() && i <= 2; ++i)
        FLinkFields[i - 1] = table->FindField(names[i]);
    FDisplayField = FLookupFieldRef;
    if (lookupKind && Selected()->Count() == 0) {
        TField* own = popup->Combo()->Field();
        const String result = own->FieldKind() == fkLookup
                                      ? own->LookupResultField()
                                      : dwGetLookupResultField(own->DataSet(), own->FieldName());
        if (TField* display = table->FindField(result))
            FDisplayField = display;
    } else if (Selected()->Count() > 0) {
        const String first = Selected()->Strings(0);
        if (TField* display = table->FindField(first.substr(0, first.find('\t'))))
            FDisplayField = display;
    }
}

void TdwDBLookupList::TakeCurrentRecord()
{
    TDataSet* table = LookupTable();
    if (!table || !table->Active() || table->IsEmpty())
        return;
    if (FLookupFieldRef)
        FLookupValue = FLookupFieldRef->AsString();
    for (int i = 0; i < 2; ++i)
        FLinkValues[i] = FLinkFields[i] ? FLinkFields[i]->AsString() : String();
    if (FDisplayField)
        FDisplayValue = FDisplayField->DisplayText();
}

void TdwDBLookupList::TakeLinkValues(TDataSet* Own)
{
    for (int i = 0; i < 2; ++i) {
        TField* own = Own && FLinkFields[i] ? Own->FindField(FLinkFields[i]->FieldName()) : nullptr;
        FLinkValues[i] = own ? own->AsString() : String();
        FLinkBound[i] = own != nullptr;
    }
}

bool TdwDBLookupList::FindValueWithLinks(const String& Value, bool CaseSensitive)
{
    TDataSet* table = LookupTable();
    std::vector<String> names {FLookupFieldRef->FieldName()};
    std::vector<String> values {Value};
    for (int i = 0; i < 2 && FLinkFields[i] && FLinkBound[i]; ++i) {
        names.push_back(FLinkFields[i]->FieldName());
        values.push_back(FLinkValues[i]);
    }
    if (names.size() == 1)
        return dwLocateValue(table, names[0], Value, CaseSensitive, false);
    if (IdwLookupTable* library = dwLookupTableOf(table)) {
        const std::vector<String> index = dwSplitFieldNames(library->ActiveIndexFields());
        bool leads = index.size() >= names.size();
        for (size_t i = 0; leads && i < names.size(); ++i)
            leads = SameText(index[i], names[i]);
        if (leads)
            return library->dwFindKey(values, static_cast<int>(values.size()) - 1);
    }
    VariantArray keys(values.begin(), values.end());
    TLocateOptions options;
    if (!CaseSensitive)
        options.Include(loCaseInsensitive);
    return table->Locate(dwJoinFieldNames(names), VarArrayOf(keys), options);
}

void TdwDBLookupList::ClearValues()
{
    FLookupValue.clear();
    FLinkValues[0].clear();
    FLinkValues[1].clear();
    FDisplayValue.clear();
}

namespace {

// The list's value is that of the record the link is on.
bool RecordHoldsValue(TField* LookupField, TField* const LinkFields[2], const String& Value,
                      const String LinkValues[2])
{
    if (LookupField->AsString() != Value)
        return false;
    for (int i = 0; i < 2; ++i) {
        if (LinkFields[i] && LinkFields[i]->AsString() != LinkValues[i])
            return false;
    }
    return true;
}

}  // namespace

// The rows whose key (and link values) are the list's values, or while the mouse
// tracks, the current row; the link is on the row being painted.
bool TdwDBLookupList::HighlightCell(int /*DataCol*/, int /*DataRow*/, TGridDrawState State)
{
    if (State.Contains(gdFixed) || !FLookupFieldRef || !LookupTable() || LookupTable()->IsEmpty())
        return false;
    if (FTracking)
        return State.Contains(gdSelected);
    return RecordHoldsValue(FLookupFieldRef, FLinkFields, FLookupValue, FLinkValues);
}

void TdwDBLookupList::Paint()
{
    TdwCustomDBGrid::Paint();
    if (!Focused())
        return;
    const int row = FTracking ? DataLink()->ActiveRecord() : ValueRow();
    if (row < 0 || row >= VisibleRowCount())
        return;
    // Across the cells shown: columns past the right edge have no rectangle.
    const TRect first = CellRect(IndicatorOffset(), TitleOffset() + row);
    Canvas()->DrawFocusRect(Rect(first.Left, first.Top, CellsWidth(), first.Bottom));
}

int TdwDBLookupList::ValueRow()
{
    TDataSet* table = LookupTable();
    if (FValueRowDropped || !FLookupFieldRef || !table || !table->Active() || table->IsEmpty())
        return -1;
    TdwGridDataLink* link = DataLink();
    const int active = link->ActiveRecord();
    const int shown = std::min(link->RecordCount(), VisibleRowCount());
    int found = -1;
    for (int row = 0; row < shown && found < 0; ++row) {
        link->SetActiveRecord(row);
        if (RecordHoldsValue(FLookupFieldRef, FLinkFields, FLookupValue, FLinkValues))
            found = row;
    }
    link->SetActiveRecord(active);
    return found;
}

void TdwDBLookupList::KeyDown(Word& Key, TShiftState Shift)
{
    TDataSet* table = LookupTable();
    switch (Key) {
    case VK_INSERT:
        // The list picks lookup records; it never adds one.
        Key = 0;
        return;
    case VK_ESCAPE:
        // The pick not yet written goes: the list shows the field's value again.
        Key = 0;
        FFieldLink.Reset();
        TakeFieldValue();
        return;
    default: break;
    }
    const bool moving = Key >= VK_PRIOR && Key <= VK_DOWN && table && table->Active();
    if (moving) {
        if (FFieldLink.Field())
            FFieldLink.Edit();
        const int row = ValueRow();
        if (row >= 0 && row != DataLink()->ActiveRecord()) {
            table->MoveBy(row - DataLink()->ActiveRecord());
        } else if (row < 0 && !ValueFound()) {
            // Nothing to start from: the first key picks the first record.
            Key = 0;
            table->First();
            DoSelect();
            return;
        }
    }
    TdwCustomDBGrid::KeyDown(Key, Shift);
    // The record the keys moved to is picked.
    if (moving)
        DoSelect();
}

void TdwDBLookupList::KeyPress(char& Key)
{
    // Typing on the list means to change the field's value.
    if (static_cast<unsigned char>(Key) >= 32 && FFieldLink.Field())
        FFieldLink.Edit();
    TdwCustomDBGrid::KeyPress(Key);
}

void TdwDBLookupList::LinkActive(bool Value)
{
    TdwCustomDBGrid::LinkActive(Value);
    // The table's fields may go with its closing: they are found again on every opening.
    ResolveFields(false);
    if (!Value)
        return;
    FLookupValue.clear();
    FieldChanged();
}

void TdwDBLookupList::DoExit()
{
    FFieldLink.UpdateRecord();
    TdwCustomDBGrid::DoExit();
}

void TdwDBLookupList::DataCellClicked(int /*DataCol*/, int DataRow, TShiftState /*Shift*/)
{
    if (DataRow >= DataLink()->RecordCount())
        return;
    if (FFieldLink.Field())
        FFieldLink.Edit();
    FTracking = true;
    Invalidate();
}

void TdwDBLookupList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TDataSet* table = LookupTable();
    const TRect bar = VertScrollBarRect();
    const bool onBar =
            Button == mbLeft && X >= CellsWidth() && bar.Right > bar.Left && table && table->Active();
    const int arrow = bar.Right - bar.Left;
    if (onBar && (Y < bar.Top + arrow || Y >= bar.Bottom - arrow)) {
        // One row on: to the record above the first row shown or below the last.
        TdwGridDataLink* link = DataLink();
        if (Y < bar.Top + arrow)
            table->MoveBy(-(link->ActiveRecord() + 1));
        else
            table->MoveBy(link->RecordCount() - link->ActiveRecord());
        return;
    }
    const TRect thumb = VertScrollThumbRect();
    if (onBar && Y >= thumb.Top && Y < thumb.Bottom)
        FValueRowDropped = true;
    TdwCustomDBGrid::MouseDown(Button, Shift, X, Y);
}

void TdwDBLookupList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TdwCustomDBGrid::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FTracking)
        return;
    FTracking = false;
    DoSelect();
}

void TdwDBLookupList::SetColumnAttributes()
{
    TdwCustomDBGrid::SetColumnAttributes();
    const int last = ColCount() - 1;
    const int lineWidth = FLookupOptions.Contains(loColLines) ? 1 : 0;
    int others = 0;
    for (int col = 0; col < last; ++col)
        others += ColWidths(col) + lineWidth;
    // Columns that already fill the list keep their widths.
    if (GetFieldCount() > 1 && others >= CellsWidth() - 15)
        return;
    SetColWidths(last, std::max(1, CellsWidth() - others));
}

void TdwDBLookupList::Resize()
{
    TdwCustomDBGrid::Resize();
    LayoutChanged();
}

bool TdwDBLookupList::CanEditGrid() const { return !FFieldLink.DataSource() || FFieldLink.Editing(); }

// The pick is written into the field when the record is posted or the list is left;
// until then Esc takes it back.
void TdwDBLookupList::DoSelect()
{
    FPickedRow = DataLink()->ActiveRecord();
    if (!CanEditGrid() || ValueReadOnly() || !FDisplayField)
        return;
    FFound = true;
    FFieldLink.Modified();
    TakeCurrentRecord();
    Invalidate();
    if (OnClick)
        OnClick(this);
}

// ---- the drop-down ----

TdwPopupGrid::TdwPopupGrid(TdwDBCustomLookupCombo* Combo) : TdwDBLookupList(Combo), FCombo(Combo)
{
    SetTabStop(false);
    SetVisible(false);
    MakeDropDownWindow(this);
}

bool TdwPopupGrid::InheritsFrom(const String& name) const
{
    return name == "TdwPopupGrid" || TdwDBLookupList::InheritsFrom(name);
}

void TdwPopupGrid::UpdateWidgetVisibility() { ShowDropDownWindow(this, Visible()); }

bool TdwPopupGrid::ValueReadOnly() const { return FCombo->ReadOnly(); }

// The lookup table opened (again): the combo shows its value from it.
void TdwPopupGrid::LinkActive(bool Value)
{
    TdwDBLookupList::LinkActive(Value);
    if (!Value)
        return;
    FLookupValue.clear();
    FCombo->DataChange();
}

void TdwPopupGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FCombo->FDataLink.Edit();
    TdwDBLookupList::MouseDown(Button, Shift, X, Y);
}

void TdwPopupGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool picking = Button == mbLeft && FTracking;
    TdwDBLookupList::MouseUp(Button, Shift, X, Y);
    if (picking && FPickedRow >= 0)
        FCombo->CloseUp(true);
}

void TdwPopupGrid::TakeOverPress(int X, int Y) { MouseDown(mbLeft, TShiftState {ssLeft}, X, Y); }

// A detail lookup table follows its master: the text shows the value anew.
void TdwPopupGrid::DataChanged()
{
    TdwDBLookupList::DataChanged();
    IdwLookupTable* table = dwLookupTableOf(LookupTable());
    if (table && table->MasterSource() && !table->MasterFields().empty() && !FCombo->DataField().empty() &&
        LookupTable()->State() == dsBrowse && table->SearchCount() == 0 && !FCombo->FInUpdate && !Visible())
        FCombo->DataChange();
}

// ---- the button ----

TdwComboButton::TdwComboButton(TdwDBCustomLookupCombo* Combo) : TdwPressedLookButton(Combo), FCombo(Combo) { }

bool TdwComboButton::InheritsFrom(const String& name) const
{
    return name == "TdwComboButton" || TdwPressedLookButton::InheritsFrom(name);
}

void TdwComboButton::Paint()
{
    const bool inLibraryGrid = FCombo->InLibraryGrid();
    if (inLibraryGrid && FCombo->ControlState().Contains(csPaintCopy))
        return;
    const TdwButtonEffects* effects = FCombo->ButtonEffects();
    const TRect face = ClientRect();
    TCanvas* canvas = Canvas();
    // A glyph stands on a plain face (none when transparent): the style's drawn face
    // would show its own arrow beside it. Without a glyph the style's face is drawn, a
    // transparent one without its edge, so that its dots still show.
    if (Glyph()->Empty()) {
        FCombo->DrawButtonFace(canvas, face, Pressed());
    } else if (!effects->Transparent()) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(face);
    }
    dwDrawCentredGlyph(canvas, face, Glyph()->Empty() ? nullptr : Glyph(), Enabled(), Pressed());
    // The effects make the button flat when flat or transparent.
    if (!Pressed() && !(Flat() && !inLibraryGrid)) {
        TRect edge = face;
        DrawEdge(*canvas, edge, EDGE_RAISED, BF_RECT);
    }
}

void TdwComboButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TdwPressedLookButton::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (!FCombo->IsDroppedDown()) {
        if (!FCombo->CanFocus())
            return;
        if (!FCombo->Focused())
            FCombo->SetFocus();
        FCombo->DropDown();
    } else {
        FCombo->CloseUp(FCombo->MatchFound());
    }
}

void TdwComboButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TdwPressedLookButton::MouseMove(Shift, X, Y);
    if (Shift.Contains(ssLeft) && FCombo->PassPressToGrid(ClientToScreen(Point(X, Y))))
        MouseUp(mbLeft, Shift, X, Y);
}

void TdwComboButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TdwPressedLookButton::MouseUp(Button, Shift, X, Y);
    FCombo->ButtonPanel()->Invalidate();
}
