// Cells of the published grid that ControlType gives an editor or a drawing of their own:
// attached edits, the date editor, check boxes, pictures, and the memo pop-up.

#include <algorithm>
#include <cctype>

#include "datacontrols/common/dwdrawing.h"
#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/datasets/dwlookuptables.h"
#include "datacontrols/grid/wwdbgrid.h"
#include "datacontrols/richtext/dwdbriched.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/userinput.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/imagelist.h"

namespace {

bool IsDateTimeField(const TField* Field)
{
    return Field->DataType() == ftDate || Field->DataType() == ftTime || Field->DataType() == ftDateTime;
}

// "Checked;Unchecked".
void CheckBoxValues(const String& Parameters, String& Checked, String& Unchecked)
{
    const size_t semicolon = Parameters.find(';');
    Checked = Parameters.substr(0, semicolon);
    Unchecked = semicolon == String::npos ? String() : Parameters.substr(semicolon + 1);
}

// How a picture fills its cell.
enum TPictureFit { pfOriginalSize, pfStretchToFit, pfFitHeight, pfFitWidth };

struct TPictureFitName {
    const char* Name;
    TPictureFit Fit;
};
constexpr TPictureFitName PictureFits[] = {{"Original Size", pfOriginalSize},
                                           {"Stretch To Fit", pfStretchToFit},
                                           {"Fit Height", pfFitHeight},
                                           {"Fit Width", pfFitWidth}};

// How a picture's pixels combine with the cell's.
using TRasterOp = TColor (*)(TColor Source, TColor Dest);
struct TRasterOpName {
    const char* Name;
    TRasterOp Combine;
};
constexpr TRasterOpName RasterOps[] = {
        {"Source Copy", [](TColor S, TColor) { return S; }},
        {"Source Paint", [](TColor S, TColor D) { return S | D; }},
        {"Source And", [](TColor S, TColor D) { return S & D; }},
        {"Source Invert", [](TColor S, TColor D) { return S ^ D; }},
        {"Source Erase", [](TColor S, TColor D) { return S & ~D; }},
        {"Not Source Copy", [](TColor S, TColor) { return ~S; }},
        {"Not Source Erase", [](TColor S, TColor D) { return ~(S | D); }},
        {"Merge Paint", [](TColor S, TColor D) { return ~S | D; }},
};

// The fit and raster operation named among the ';'-separated parameters; else the
// original size copied.
void PictureOptions(const String& Parameters, TPictureFit& Fit, TRasterOp& Combine)
{
    Fit = pfOriginalSize;
    Combine = RasterOps[0].Combine;
    size_t start = 0;
    for (;;) {
        const size_t semicolon = Parameters.find(';', start);
        const size_t length = semicolon == String::npos ? String::npos : semicolon - start;
        const String part = Trim(Parameters.substr(start, length));
        for (const TPictureFitName& fit : PictureFits)
            if (SameText(part, fit.Name))
                Fit = fit.Fit;
        for (const TRasterOpName& op : RasterOps)
            if (SameText(part, op.Name))
                Combine = op.Combine;
        if (semicolon == String::npos)
            return;
        start = semicolon + 1;
    }
}

// Where a Width x Height picture goes in Cell, and which part of it; an empty rectangle
// when it would be drawn smaller than 3 pixels.
TRect PictureRect(TPictureFit Fit, int Width, int Height, const TRect& Cell, TRect& Source)
{
    const int cellWidth = Cell.Right - Cell.Left;
    const int cellHeight = Cell.Bottom - Cell.Top;
    Source = Rect(0, 0, Width, Height);
    int w = 0;
    int h = 0;
    switch (Fit) {
    case pfOriginalSize:
        w = std::min(Width, cellWidth - 1);
        h = std::min(Height, cellHeight - 1);
        Source = Rect(0, 0, w, h);
        return w > 0 && h > 0 ? Rect(Cell.Left + 1, Cell.Top + 1, Cell.Left + 1 + w, Cell.Top + 1 + h)
                              : TRect {};
    case pfStretchToFit: return Cell;
    case pfFitHeight:
        h = cellHeight;
        w = Width * cellHeight / Height;
        if (w > cellWidth) {
            w = cellWidth;
            h = Height * cellWidth / Width;
        }
        break;
    case pfFitWidth:
        w = cellWidth;
        h = Height * cellWidth / Width;
        if (h > cellHeight) {
            h = cellHeight;
            w = Width * cellHeight / Height;
        }
        break;
    }
    if (w < 3 || h < 3)
        return TRect {};
    return Rect(Cell.Left, Cell.Top, Cell.Left + w, Cell.Top + h);
}

}  // namespace

// ---- control types ----

TdwFieldControlType TdwDBGrid::GetControlInfo(const String& FieldName)
{
    const TdwFieldControlType info = TdwCustomDBGrid::GetControlInfo(FieldName);
    if (EditControlOptions().Contains(ecoDisableCustomControls) && dwIsCustomControlType(info.TypeWord))
        return TdwFieldControlType {};
    return info;
}

bool TdwDBGrid::IsCustomControlCell(int DataCol, int /*DataRow*/)
{
    TField* field = GetFields(DataCol);
    if (!field)
        return false;
    const String typeWord = GetControlInfo(field->FieldName()).TypeWord;
    if (dwIsCustomControlType(typeWord))
        return AttachedControl(field) != nullptr;
    if (SameText(typeWord, "CheckBox") || SameText(typeWord, "Bitmap") || SameText(typeWord, "ImageIndex"))
        return true;
    return IsDateTimeField(field) && !EditControlOptions().Contains(ecoDisableDateTimePicker);
}

bool TdwDBGrid::CanEditShow()
{
    TField* field = SelectedField();
    if (field && (field->DataType() == ftMemo || IsCustomControlCell(SelectedIndex(), Row() - TitleOffset())))
        return false;
    return TdwCustomDBGrid::CanEditShow();
}

bool TdwDBGrid::MayEditCells()
{
    return Options().Contains(dgEditing) && !Options().Contains(dgRowSelect) && !ReadOnly() &&
           DataLink()->Active();
}

String TdwDBGrid::CellText(TField* Field) const
{
    if (!Field)
        return TdwCustomDBGrid::CellText(Field);
    if (Field->IsBlob() && dwIsRichEditField(Field))
        return RichTextCellText(Field);
    if (Field->DataType() == ftMemo && FMemoAttributes.Contains(mGridShow))
        return Field->DataSet()->IsEmpty() ? String() : Field->AsString();
    String text;
    // The cell shows what its control would show for the value: a combo's display item,
    // a lookup combo's display value.
    auto* source = dynamic_cast<IdwCellTextSource*>(const_cast<TdwDBGrid*>(this)->AttachedControl(Field));
    if (source && !Field->DataSet()->IsEmpty() && source->CellDisplayText(Field, text))
        return text;
    if (LookupCellText(Field, text))
        return text;
    return TdwCustomDBGrid::CellText(Field);
}

bool TdwDBGrid::LookupCellText(TField* Field, String& Text)
{
    String key;
    TField* result = nullptr;
    const bool found = dwFindLookupValue(Field, key, result);
    // No lookup table of the data set serves the field.
    if (result == Field)
        return false;
    Text = !found ? String() : result->IsBlob() ? result->AsString() : result->DisplayText();
    return true;
}

void TdwDBGrid::SetMemoAttributes(TdwMemoAttributes Value)
{
    FMemoAttributes = Value;
    Invalidate();
}

// ---- attached edits and the date editor ----

void TdwDBGrid::AttachCellControls()
{
    FAttachedControls.clear();
    TDataSet* dataSet = DataLink()->DataSet();
    if (!dataSet)
        return;
    // Attached whether or not custom controls are on, so that the option may change.
    for (TField* field : dataSet->Fields()) {
        const TdwFieldControlType info = TdwCustomDBGrid::GetControlInfo(field->FieldName());
        if (!dwIsCustomControlType(info.TypeWord))
            continue;
        TCustomEdit* control = FindCellControl(info.Parameters);
        if (!control)
            continue;
        control->FreeNotification(this);
        control->Hide();
        control->SetParent(this);
        dwSetControlDataSource(control, DataSource());
        dwSetControlDataField(control, field->FieldName());
        dwSetBorderStyleProp(control, false);
        control->SetFont(Font());
        FAttachedControls.emplace_back(field->FieldName(), control);
    }
}

TCustomEdit* TdwDBGrid::FindCellControl(const String& Name)
{
    return dynamic_cast<TCustomEdit*>(FindCellComponent(Name));
}

TComponent* TdwDBGrid::FindCellComponent(const String& Name)
{
    TComponent* root = GetParentForm(this);
    if (EditControlOptions().Contains(ecoSearchOwnerForm))
        root = dwFindParentFormOrFrame(this);
    if (!root || Name.empty())
        return nullptr;
    TComponent* found = nullptr;
    const size_t dot = Name.find('.');
    if (dot == String::npos) {
        found = root->FindComponent(Name);
    } else {
        TComponent* first = root->FindComponent(Name.substr(0, dot));
        const String second = Name.substr(dot + 1);
        TDataSet* dataSet = DataLink()->DataSet();
        if (first && first->InheritsFrom("TCustomFrame"))
            found = first->FindComponent(second);
        else if (dataSet && dataSet->Owner())
            found = dataSet->Owner()->FindComponent(second);
    }
    auto* control = dynamic_cast<TControl*>(found);
    if (control && dwIsClassNamed(GetParentForm(control), "TdwRecordViewForm"))
        return nullptr;
    return found;
}

TCustomEdit* TdwDBGrid::AttachedControl(TField* Field)
{
    if (!dwIsCustomControlType(GetControlInfo(Field->FieldName()).TypeWord))
        return nullptr;
    const auto attached = std::find_if(FAttachedControls.begin(), FAttachedControls.end(),
                                       [&](const auto& entry) { return entry.first == Field->FieldName(); });
    return attached == FAttachedControls.end() ? nullptr : attached->second;
}

void TdwDBGrid::CreateDateTimePicker()
{
    FDateTimePicker = new TdwDBDateTimePicker(this);
    FDateTimePicker->SetParent(this);
    FDateTimePicker->Hide();
    // It fills the cell, without a frame of its own.
    FDateTimePicker->SetBorderVisible(false);
}

void TdwDBGrid::DoCreateDateTimePicker()
{
    if (OnCreateDateTimePicker)
        OnCreateDateTimePicker(this, FDateTimePicker);
}

bool TdwDBGrid::MayEditCurrentField(TField* Field)
{
    return !Field->ReadOnly() && !IsColumnReadOnly(SelectedIndex()) && Field->DataSet()->CanModify();
}

void TdwDBGrid::UpdateCellControl()
{
    TField* field = SelectedField();
    TWinControl* wanted = nullptr;
    const bool focused = Focused() || (FCellControl && FCellControl->Focused());
    if (field && focused && MayEditCells() && DataLink()->RecordCount() > 0) {
        if (TCustomEdit* attached = AttachedControl(field)) {
            wanted = attached;
        } else if (IsDateTimeField(field) && !EditControlOptions().Contains(ecoDisableDateTimePicker)) {
            // Only a grid that edits shows the picker (one that does not shows its dates as
            // text); over a field it may not change the picker only shows the date.
            if (!FDateTimePicker) {
                CreateDateTimePicker();
                DoCreateDateTimePicker();
            }
            wanted = FDateTimePicker;
        } else if (field->IsBlob() && dwIsRichEditField(field) && MayEditCurrentField(field)) {
            wanted = RichTextControl(field);
        }
    }
    const TRect cell = CellRect(Col(), Row());
    if (cell.Right <= cell.Left)
        wanted = nullptr;
    if (FCellControl && FCellControl != wanted)
        HideCellControl();
    if (!wanted)
        return;
    if (wanted == FDateTimePicker) {
        FDateTimePicker->Hide();
        FDateTimePicker->SetReadOnly(!MayEditCurrentField(field));
        FDateTimePicker->SetDataSource(DataSource());
        FDateTimePicker->SetDataField(field->FieldName());
        FDateTimePicker->SetFont(Font());
    } else if (auto* rich = dynamic_cast<TdwDBRichEdit*>(wanted)) {
        BindRichTextEditor(rich, field);
    } else {
        dwSetControlDataSource(wanted, DataSource());
        dwSetControlDataField(wanted, field->FieldName());
        dwSetBorderStyleProp(wanted, false);
    }
    wanted->SetBounds(cell.Left, cell.Top, cell.Right - cell.Left, cell.Bottom - cell.Top);
    wanted->Show();
    wanted->BringToFront();
    // Bound while hidden, the rich edit loads its document once shown.
    if (auto* rich = dynamic_cast<TdwDBRichEdit*>(wanted); rich && !rich->IsContentLoaded())
        rich->LoadContent();
    FCellControl = wanted;
    if (Options().Contains(dgAlwaysShowEditor) && Focused() && wanted->CanFocus())
        wanted->SetFocus();
}

void TdwDBGrid::UpdateData()
{
    TdwCustomDBGrid::UpdateData();
    // Its exit is where an edit writes its field; an exit that posts the record comes
    // back here and is not sent again.
    if (!FCellControl || !FCellControl->Visible() || FSendingCellExit)
        return;
    const FlagScope sendingCellExit(FSendingCellExit);
    FCellControl->CMExit();
}

void TdwDBGrid::SetColumnAttributes()
{
    TdwCustomDBGrid::SetColumnAttributes();
    if (!DataLink()->Active())
        return;
    for (int i = 0; i < GetFieldCount(); ++i) {
        TField* field = GetFields(i);
        if (!field || !field->Calculated())
            continue;
        // The link may open before the edits are attached: they are looked up by name.
        const TdwFieldControlType info = GetControlInfo(field->FieldName());
        if ((dwIsCustomControlType(info.TypeWord) && FindCellControl(info.Parameters)) ||
            SameText(info.TypeWord, "Bitmap") || SameText(info.TypeWord, "ImageIndex"))
            SetTabStops(i + IndicatorOffset(), true);
    }
}

void TdwDBGrid::HideCellControl()
{
    TWinControl* control = FCellControl;
    if (!control)
        return;
    FCellControl = nullptr;
    if (control->Focused() && CanFocus())
        SetFocus();
    control->Hide();
}

void TdwDBGrid::DoEnter()
{
    TdwCustomDBGrid::DoEnter();
    UpdateCellControl();
}

void TdwDBGrid::DoExit()
{
    // The cell's control, which had its own exit when it had the focus, goes with it.
    HideCellControl();
    TdwCustomDBGrid::DoExit();
}

void TdwDBGrid::DoCellChanged()
{
    TdwCustomDBGrid::DoCellChanged();
    UpdateCellControl();
}

void TdwDBGrid::DoRowChanged()
{
    TdwCustomDBGrid::DoRowChanged();
    UpdateCellControl();
}

void TdwDBGrid::Scroll(int Distance)
{
    TdwCustomDBGrid::Scroll(Distance);
    UpdateCellControl();
}

void TdwDBGrid::LayoutChanged()
{
    TdwCustomDBGrid::LayoutChanged();
    UpdateCellControl();
}

void TdwDBGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwCustomDBGrid::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent)
        return;
    if (AComponent == FCellControl)
        FCellControl = nullptr;
    if (AComponent == FDateTimePicker)
        FDateTimePicker = nullptr;
    if (AComponent == FRichTextEditor)
        FRichTextEditor = nullptr;
    std::erase_if(FAttachedControls, [&](const auto& entry) { return entry.second == AComponent; });
}

// ---- keys and clicks ----

void TdwDBGrid::CellControlKey(Word Key, TShiftState Shift)
{
    // The control leaving writes its value into the field, as the text editor's Enter does.
    if (CanFocus())
        SetFocus();
    if (!Focused())
        return;
    Word key = Key;
    KeyDown(key, Shift);
}

void TdwDBGrid::KeyDown(Word& Key, TShiftState Shift)
{
    TField* field = DataLink()->Active() ? SelectedField() : nullptr;
    // F2 toggles: back from the cell's control, the grid takes the keys again (but not
    // the F2 the grid itself is giving the control).
    if (Key == VK_F2 && FCellControl && FCellControl->Focused()) {
        Key = 0;
        if (!FSendingF2 && CanFocus())
            SetFocus();
        return;
    }
    if (Key == VK_F2 && field) {
        // A rich-text memo goes to its rich edit instead of the memo pop-up.
        if (field->DataType() == ftMemo && !dwIsRichEditField(field) &&
            !FMemoAttributes.Contains(mDisableDialog)) {
            Key = 0;
            ShowMemoDialog();
            return;
        }
        UpdateCellControl();
        if (FCellControl && FCellControl->CanFocus()) {
            Key = 0;
            FCellControl->SetFocus();
            if (FCellControl != FDateTimePicker) {
                Word key = VK_F2;
                const FlagScope sendingF2(FSendingF2);
                FCellControl->KeyDown(key, Shift);
            }
            return;
        }
    }
    if (field && ReplayKeyToCellControl(Key, Shift)) {
        Key = 0;
        return;
    }
    TdwCustomDBGrid::KeyDown(Key, Shift);
}

bool TdwDBGrid::ReplayKeyToCellControl(Word Key, TShiftState Shift)
{
    if (!FCellControl)
        UpdateCellControl();
    const auto* keys = dynamic_cast<IdwCellNavigationKeys*>(FCellControl);
    if (!keys || !keys->UsesCellKey(Key, Shift) || !FCellControl->CanFocus())
        return false;
    FCellControl->SetFocus();
    Word key = Key;
    FCellControl->KeyDown(key, Shift);
    return true;
}

void TdwDBGrid::KeyPress(char& Key)
{
    TField* field = DataLink()->Active() ? SelectedField() : nullptr;
    if (field && Key == ' ' && IsCheckBoxCell(field)) {
        Key = 0;
        ToggleCheckBox();
        return;
    }
    const bool printable = static_cast<unsigned char>(Key) >= 32;
    if (field && (printable || Key == '\b') && !EditorMode()) {
        UpdateCellControl();
        // Typing over the cell types into its control (Backspace too, but not into the
        // picker, whose sections take digits).
        if (printable && FCellControl && FCellControl == FDateTimePicker && FDateTimePicker->CanFocus()) {
            const char typed = Key;
            Key = 0;
            FDateTimePicker->SetFocus();
            FDateTimePicker->TypeChar(typed);
            return;
        }
        if (FCellControl && FCellControl != FDateTimePicker && FCellControl->CanFocus()) {
            const char typed = Key;
            Key = 0;
            TypeIntoCellControl(typed);
            return;
        }
    }
    TdwCustomDBGrid::KeyPress(Key);
}

namespace {

// The key a typed character comes from, for the characters that have one of their own.
Word VirtualKeyOfChar(char C)
{
    const auto c = static_cast<unsigned char>(C);
    if (std::isalpha(c))
        return static_cast<Word>(std::toupper(c));
    if (std::isdigit(c) || c == ' ')
        return c;
    return c == '\b' ? VK_BACK : 0;
}

}  // namespace

void TdwDBGrid::TypeIntoCellControl(char Typed)
{
    TWinControl* control = FCellControl;
    control->SetFocus();
    // The record goes into edit state first: that shows the field's value again.
    if (!DataLink()->Edit())
        return;
    auto* edit = dynamic_cast<TCustomEdit*>(control);
    auto* rich = dynamic_cast<TdwCustomRichEdit*>(control);
    if ((edit && edit->ReadOnly()) || (rich && rich->ReadOnly()))
        return;
    if (edit)
        edit->SelectAll();
    // The character takes the road of a key typed into the control: its KeyDown (a
    // combo's first-letter choice), its KeyPress (a lookup combo's search), then the text.
    const TShiftState shift = KeyIsDown(VK_SHIFT) ? TShiftState {ssShift} : TShiftState {};
    if (Word key = VirtualKeyOfChar(Typed); key != 0)
        control->KeyDown(key, shift);
    char typed = Typed;
    control->KeyPress(typed);
    if (typed == 0 || FCellControl != control)
        return;
    const String text = typed == '\b' ? String() : String(1, typed);
    if (edit) {
        edit->SetSelText(text);
        edit->SetModified(true);
    } else if (rich) {
        rich->SetSelText(text);
    }
}

void TdwDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TdwCustomDBGrid::MouseDown(Button, Shift, X, Y);
    TField* field = DataLink()->Active() ? SelectedField() : nullptr;
    if (Button != mbLeft || !field || !CellRect(Col(), Row()).Contains(Point(X, Y)))
        return;
    const bool doubleClick = Shift.Contains(ssDouble);
    if (IsCheckBoxCell(field)) {
        if (doubleClick != EditControlOptions().Contains(ecoCheckboxSingleClick))
            ToggleCheckBox();
    } else if (doubleClick && field->DataType() == ftMemo && !dwIsRichEditField(field) &&
               !FMemoAttributes.Contains(mDisableDialog)) {
        ShowMemoDialog();
    }
}

// ---- check boxes ----

bool TdwDBGrid::IsCheckBoxCell(TField* Field)
{
    return SameText(GetControlInfo(Field->FieldName()).TypeWord, "CheckBox");
}

void TdwDBGrid::ToggleCheckBox()
{
    TField* field = SelectedField();
    TDataSet* dataSet = DataLink()->DataSet();
    if (!field || !dataSet || dataSet->IsEmpty() || field->ReadOnly() || IsColumnReadOnly(SelectedIndex()))
        return;
    if (IsSelectionCheckBox(field)) {
        if (IsSelected())
            UnselectRecord();
        else
            SelectRecord();
        return;
    }
    // A grid that may not edit keeps its check boxes as they are.
    if (!MayEditCells())
        return;
    const bool editing = dataSet->State() == dsEdit || dataSet->State() == dsInsert;
    if (!(DataSource()->AutoEdit() || editing) || !DataLink()->Edit())
        return;
    String checked, unchecked;
    CheckBoxValues(GetControlInfo(field->FieldName()).Parameters, checked, unchecked);
    field->SetText(SameText(field->Text(), checked) ? unchecked : checked);
    Invalidate();
}

void TdwDBGrid::PaintCheckBoxCell(TCanvas* Canvas, TField* Field, const TRect& R, const String& Parameters)
{
    String checked, unchecked;
    CheckBoxValues(Parameters, checked, unchecked);
    const String text = IsSelectionCheckBox(Field) ? (IsSelected() ? checked : unchecked) : Field->Text();
    Canvas->FillRect(R);
    const int x = (R.Left + R.Right - 10) / 2;
    const int y = (R.Top + R.Bottom - 10) / 2;
    DrawCheckBox(Canvas, Rect(x, y, x + 10, y + 10), SameText(text, checked));
}

void TdwDBGrid::DrawCheckBox(TCanvas* Canvas, const TRect& R, bool Checked)
{
    if (dwIntl()->CheckBoxInGridStyle() != cbStyleXmark) {
        DrawFrameControl(*Canvas, R, DFC_BUTTON, DFCS_BUTTONCHECK | (Checked ? DFCS_CHECKED : 0));
        return;
    }
    // A white box with a black inner edge, crossed when checked.
    Canvas->Pen()->SetWidth(1);
    Canvas->Brush()->SetColor(clWindow);
    Canvas->FillRect(R);
    TRect inside = R;
    Frame3D(*Canvas, inside, clGray, clWhite, 1);
    Frame3D(*Canvas, inside, clBlack, clGrayText, 1);
    if (!Checked)
        return;
    const int l = R.Left;
    const int t = R.Top;
    Canvas->Pen()->SetColor(clBlack);
    for (int shift = 0; shift < 2; ++shift) {
        Canvas->MoveTo(l + 2 + shift, t + 2);
        Canvas->LineTo(l + 8, t + 8 - shift);
        Canvas->MoveTo(l + 7 - shift, t + 2);
        Canvas->LineTo(l + 1, t + 8 - shift);
    }
}

// ---- pictures ----

bool TdwDBGrid::PaintCustomCell(TCanvas* Canvas, int DataCol, int DataRow, const TRect& R, bool Highlight)
{
    TField* field = GetFields(DataCol);
    if (!field)
        return false;
    const TdwFieldControlType info = GetControlInfo(field->FieldName());
    if (SameText(info.TypeWord, "CheckBox")) {
        PaintCheckBoxCell(Canvas, field, R, info.Parameters);
        return true;
    }
    if (SameText(info.TypeWord, "Bitmap")) {
        PaintPictureCell(Canvas, DataCol, DataRow, field, R, info.Parameters, Highlight);
        return true;
    }
    if (SameText(info.TypeWord, "ImageIndex")) {
        PaintImageCell(Canvas, field, R, info.Parameters, Highlight);
        return true;
    }
    return false;
}

// The image of ImageList whose index is the field's value, cut to the cell or, with
// "Shrink To Fit", stretched into it.
void TdwDBGrid::PaintImageCell(TCanvas* Canvas, TField* Field, const TRect& R, const String& Parameters,
                               bool Highlight)
{
    Canvas->FillRect(R);
    TImageList* images = ImageList();
    const bool numeric = dwIsNumericFieldType(Field->DataType());
    const int index = numeric && !Field->IsNull() ? Field->AsInteger() : -1;
    TBitmap image;
    if (images && index >= 0 && images->GetBitmap(index, &image)) {
        const TRect part =
                Rect(0, 0, std::min(image.Width(), R.Width()), std::min(image.Height(), R.Height()));
        const bool shrink = SameText(Trim(Parameters), "Shrink To Fit");
        const TRect target = shrink ? R : Rect(R.Left, R.Top, R.Left + part.Right, R.Top + part.Bottom);
        Canvas->CopyRect(target, image.Canvas(), part);
    }
    if (Highlight)
        dwDrawSelectedFrame(Canvas, R);
}

void TdwDBGrid::PaintPictureCell(TCanvas* Canvas, int DataCol, int DataRow, TField* Field, const TRect& R,
                                 const String& Parameters, bool Highlight)
{
    const TColor background = ColumnColor(DataCol);
    Canvas->Brush()->SetColor(background);
    Canvas->FillRect(R);
    auto* blob = dynamic_cast<TBlobField*>(Field);
    TDataSet* dataSet = Field->DataSet();
    const bool freshInsert = dataSet->State() == dsInsert && DataRow == Row() - TitleOffset();
    TBitmap picture;
    if (blob && !freshInsert && !blob->IsNull()) {
        TMemoryStream stream;
        blob->SaveToStream(stream);
        stream.SetPosition(0);
        // A blob that holds no picture leaves the cell empty.
        try {
            picture.LoadFromStream(stream);
        } catch (const Exception&) {
            picture.SetSize(0, 0);
        }
    }
    if (picture.Width() >= 1 && picture.Height() >= 1) {
        TPictureFit fit;
        TRasterOp combine;
        PictureOptions(Parameters, fit, combine);
        TRect source;
        const TRect target = PictureRect(fit, picture.Width(), picture.Height(), R, source);
        const int w = target.Right - target.Left;
        const int h = target.Bottom - target.Top;
        if (w > 0 && h > 0) {
            TBitmap placed;
            placed.SetSize(w, h);
            placed.Canvas()->CopyRect(Rect(0, 0, w, h), picture.Canvas(), source);
            if (combine != RasterOps[0].Combine) {
                const TColor dest = ColorToRGB(background);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        placed.Canvas()->SetPixel(x, y,
                                                  combine(placed.Canvas()->Pixels(x, y), dest) & 0xFFFFFF);
            }
            Canvas->Draw(target.Left, target.Top, &placed);
        }
    }
    if (Highlight) {
        Canvas->Brush()->SetColor(clHighlight);
        Canvas->FrameRect(R);
    }
}

// ---- memo pop-up ----

void TdwDBGrid::ShowMemoDialog()
{
    TField* field = SelectedField();
    TDataSet* dataSet = DataLink()->DataSet();
    if (!field || !dataSet)
        return;
    HideEditor();
    auto* dialog = new TdwMemoDialog(this);
    {
        const ScopeExit freeDialog([dialog] { dialog->Free(); });
        dialog->SetDataSource(DataSource());
        dialog->SetDataField(field->FieldName());
        TdwMemoAttributes attributes = FMemoAttributes;
        if (!MayEditCells() || !dataSet->CanModify() || field->ReadOnly() ||
            IsColumnReadOnly(SelectedIndex()))
            attributes.Include(mViewOnly);
        dialog->SetMemoAttributes(attributes);
        String caption = field->DisplayLabel();
        std::replace(caption.begin(), caption.end(), '~', ' ');
        dialog->SetCaption(caption);
        dialog->SetFont(Font());
        dialog->SetDlgLeft(-1);
        if (OnMemoOpen)
            OnMemoOpen(this, dialog);
        const bool accepted = dialog->Execute();
        if (OnMemoClose)
            OnMemoClose(this, !accepted);
    }
    Invalidate();
}
