#include "datacontrols/edits/dwdbedit.h"

#include "datacontrols/common/dwcellcontrol.h"
#include "datacontrols/common/dwdatetext.h"
#include "datacontrols/common/dwdrawing.h"
#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwpicture.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/clipbrd.h"
#include "platform/vcl/forms/userinput.h"
#include "platform/vcl/graphics/canvas.h"

namespace {

bool IsPrintable(char Key) { return static_cast<unsigned char>(Key) >= 32; }

}  // namespace

// ---------------------------------------------------------------- TdwDBPicture

bool TdwDBPicture::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBPicture") || TPersistent::InheritsFrom(name);
}

void TdwDBPicture::Assign(TPersistent* Source)
{
    auto* picture = dynamic_cast<TdwDBPicture*>(Source);
    if (!picture) {
        TPersistent::Assign(Source);
        return;
    }
    FPictureMask = picture->PictureMask();
    FAutoFill = picture->AutoFill();
}

bool TdwDBPicture::IsMaskFromDataSet() const
{
    if (!FPictureMaskFromDataSet || !FOwner)
        return false;
    TDataSet* dataSet = FOwner->PictureDataSet();
    return dataSet && !FOwner->PictureFieldName().empty() && dwGetPictureMasksList(dataSet);
}

String TdwDBPicture::PictureMask() const
{
    if (IsMaskFromDataSet())
        return dwGetFieldPictureMask(FOwner->PictureDataSet(), FOwner->PictureFieldName()).Mask;
    return FPictureMask;
}

void TdwDBPicture::SetPictureMask(const String& Value)
{
    FPictureMask = Value;
    if (IsMaskFromDataSet())
        dwPutFieldPictureMask(FOwner->PictureDataSet(), FOwner->PictureFieldName(), Value, false, false, true,
                              false, false);
    if (FOwner)
        FOwner->PictureMaskChanged();
}

bool TdwDBPicture::AutoFill() const
{
    if (IsMaskFromDataSet()) {
        const TdwFieldPictureMask mask =
                dwGetFieldPictureMask(FOwner->PictureDataSet(), FOwner->PictureFieldName());
        if (!mask.Mask.empty())
            return mask.AutoFill;
    }
    return FAutoFill;
}

void TdwDBPicture::SetAutoFill(bool Value)
{
    FAutoFill = Value;
    if (IsMaskFromDataSet())
        dwPutFieldPictureMask(FOwner->PictureDataSet(), FOwner->PictureFieldName(), String(), false, true,
                              false, false, Value);
}

bool TdwDBPicture::AllowInvalidExit() const { return !IsMaskFromDataSet() && FAllowInvalidExit; }

void TdwDBPicture::SetAllowInvalidExit(bool Value)
{
    if (!IsMaskFromDataSet())
        FAllowInvalidExit = Value;
}

// ---------------------------------------------------------------- TdwCustomMaskEdit

TdwCustomMaskEdit::TdwCustomMaskEdit(TComponent* AOwner)
    : TEdit(AOwner), FPicture(std::make_unique<TdwDBPicture>(this)),
      FFrame(std::make_unique<TdwEditFrame>(this))
{
    FFrame->OnChange = [this] {
        AdjustHeight();
        UpdateSeeThrough(Focused());
    };
}

TdwCustomMaskEdit::~TdwCustomMaskEdit() = default;

bool TdwCustomMaskEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwCustomMaskEdit") || TEdit::InheritsFrom(name);
}

void TdwCustomMaskEdit::SetUsePictureMask(bool Value)
{
    FUsePictureMask = Value;
    PictureMaskChanged();
}

bool TdwCustomMaskEdit::IsMaskInEffect() const { return FUsePictureMask && !FPicture->PictureMask().empty(); }

bool TdwCustomMaskEdit::IsValidPictureValue(const String& Text)
{
    const bool passes = dwPassesPictureMask(FPicture->PictureMask(), Text);
    DoCheckValue(passes);
    return passes;
}

void TdwCustomMaskEdit::DoCheckValue(bool PassesPictureTest)
{
    if (OnCheckValue)
        OnCheckValue(this, PassesPictureTest);
}

std::optional<bool> TdwCustomMaskEdit::PublishedBool(const String& Name)
{
    return Name == "WantReturns" ? std::optional<bool>(FWantReturns) : std::nullopt;
}

bool TdwCustomMaskEdit::SetPublishedOrdinal(const String& Name, int Value)
{
    if (Name != "BorderStyle")
        return false;
    SetBorderStyle(Value == dwBorderNone ? bsNone : bsSingle);
    UpdateEditRect();
    UpdateLineMode();
    AdjustHeight();
    return true;
}

void TdwCustomMaskEdit::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    UpdateLineMode();
    UpdateEditRect();
}

void TdwCustomMaskEdit::SetShowVertScrollBar(bool Value)
{
    SetVertScrollBar(Value);
    UpdateEditRect();
}

void TdwCustomMaskEdit::GetLineMode(bool& MultiLine, bool& Wrap) const
{
    MultiLine = FWordWrap || BorderStyle() == bsNone;
    Wrap = FWordWrap;
}

void TdwCustomMaskEdit::UpdateLineMode()
{
    bool multiLine = false;
    bool wrap = false;
    GetLineMode(multiLine, wrap);
    SetMultiLine(multiLine, wrap);
}

void TdwCustomMaskEdit::UpdateSeeThrough(bool Focused)
{
    SetSeeThrough(!Focused && FFrame->IsFrameEffective() && FFrame->Transparent());
}

void TdwCustomMaskEdit::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    AdjustHeight();
}

void TdwCustomMaskEdit::AdjustHeight()
{
    // A grid gives its cells' editors their heights.
    if (!FAutoSize || dwParentIsGrid(this))
        return;
    SetHeight(TdwEditFrame::AutoSizeHeight(FFrame.get(), LineHeight(), BorderStyle() != bsNone));
}

void TdwCustomMaskEdit::FontChanged()
{
    TEdit::FontChanged();
    AdjustHeight();
}

void TdwCustomMaskEdit::PaintFramedText(TCanvas* Canvas, const TRect& ClientArea, TAlignment Alignment,
                                        const String& Text)
{
    TRect area = ClientArea;
    area.Right = std::min(area.Right, TextRightEdge() + 1);
    int x = 1;
    int y = 1;
    if (FFrame->IsFrameEffective())
        FFrame->GetTextOffset(false, x, y);
    if (!FFrame->Transparent()) {
        Canvas->Brush()->SetColor(Color());
        Canvas->FillRect(ClientArea);
    }
    Canvas->Font()->Assign(Font());
    if (FFrame->IsFrameEffective() && FFrame->Transparent() &&
        FFrame->NonFocusTransparentFontColor() != clNone)
        Canvas->Font()->SetColor(FFrame->NonFocusTransparentFontColor());
    dwDrawEditText(Canvas, area, x, detNoBackground, Alignment, Text, y);
}

void TdwCustomMaskEdit::ShowFocusedLook(bool Focused)
{
    UpdateEditRect();
    if (FFrame->IsFrameEffective())
        FFrame->SetNonFocusTransparent(!Focused && FFrame->Transparent());
    UpdateSeeThrough(Focused);
    Invalidate();
}

void TdwCustomMaskEdit::SetMaskedText(const String& Value)
{
    const FlagScope maskSetText(FMaskSetText);
    ReplaceText(Value);
}

void TdwCustomMaskEdit::KeyPress(char& Key)
{
    FMaskHandled = false;
    TEdit::KeyPress(Key);
    if (Key == 0)
        return;
    if (IsMaskInEffect()) {
        if (Key == KeyChar::Backspace) {
            if (OnCheckValue && !TEdit::ReadOnly()) {
                String text = Text();
                const int start = SelStart();
                const int length = SelLength();
                if (length > 0)
                    text.erase(static_cast<size_t>(start), static_cast<size_t>(length));
                else if (start > 0)
                    text.erase(static_cast<size_t>(start - 1), 1);
                IsValidPictureValue(text);
            }
        } else if (IsPrintable(Key)) {
            const TdwPictureKeyStep step =
                    dwPictureKeyStep(Text(), SelStart(), SelLength(), MaxLength(), FPicture->PictureMask(),
                                     FPicture->AutoFill(), Key);
            if (step.Handled) {
                const bool fits = step.Result == prComplete || step.Result == prIncomplete;
                if (fits) {
                    if (!TEdit::ReadOnly()) {
                        SetMaskedText(step.Text);
                        SetSelStart(step.Caret);
                    }
                    Key = 0;
                    FMaskHandled = true;
                } else if (step.Result == prError && step.AtEnd) {
                    Key = 0;
                    MessageBeep();
                }
                // A refused key inside the text goes in unchecked; leaving the edit checks it.
                if (Key == 0)
                    DoCheckValue(step.Result == prComplete);
            }
        }
    }
    if (Key == KeyChar::Enter && !FWantReturns)
        Key = 0;
}

void TdwCustomMaskEdit::KeyUp(Word& Key, TShiftState Shift)
{
    TEdit::KeyUp(Key, Shift);
    if (Key == VK_DELETE && OnCheckValue && IsMaskInEffect())
        IsValidPictureValue(Text());
}

void TdwCustomMaskEdit::DoExit()
{
    TEdit::DoExit();
    FInvalidExit = false;
    if (!IsMaskInEffect() || !Modified() || FPicture->AllowInvalidExit() || IsValidPictureValue(Text()))
        return;
    // The focus comes back once this move is done; taking it back inside the move would
    // fight the window system's own.
    TakeFocusBack();
    SelectAll();
    SetModified(true);
    MessageBeep();
    FInvalidExit = true;
}

void TdwCustomMaskEdit::TakeFocusBack()
{
    PostCall(this, [this] {
        TCustomForm* form = ParentForm();
        if (!form || !form->Active() || !CanFocus())
            return;
        if (!Focused())
            SetFocus();
        SelectAll();
    });
}

void TdwCustomMaskEdit::Resize()
{
    TEdit::Resize();
    UpdateEditRect();
    UpdateLineMode();
}

void TdwCustomMaskEdit::UpdateEditRect()
{
    TRect rect = ClientRect();
    if (FFrame->IsFrameEffective())
        TdwEditFrame::AdjustEditRect(FFrame.get(), rect);
    else
        rect.Left = rect.Top = 0;
    rect.Right = std::min(rect.Right, TextRightEdge() + 1);
    SetTextMargins(Rect(rect.Left, rect.Top, ClientWidth() - rect.Right, 0));
}

// ---------------------------------------------------------------- TdwDBCustomEdit

TdwDBCustomEdit::TdwDBCustomEdit(TComponent* AOwner) : TdwPublishedFieldBinding(AOwner)
{
    SetOwnReadOnly(true);
    SetAutoSize(true);
    FDataLink.SetControl(this);
    FDataLink.OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink.OnEditingChange = [this](TObject*) { EditingChange(); };
    FDataLink.OnActiveChange = [this](TObject*) { EditingChange(); };
    FDataLink.OnUpdateData = [this](TObject*) { UpdateData(); };
}

TdwDBCustomEdit::~TdwDBCustomEdit()
{
    FDataLink.OnDataChange = nullptr;
    FDataLink.OnEditingChange = nullptr;
    FDataLink.OnActiveChange = nullptr;
    FDataLink.OnUpdateData = nullptr;
    FDataLink.SetDataSource(nullptr);
}

bool TdwDBCustomEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBCustomEdit") || TdwCustomMaskEdit::InheritsFrom(name);
}

void TdwDBCustomEdit::Loaded()
{
    TdwCustomMaskEdit::Loaded();
    ClearMaxLengthOfField();
    // An edit with nothing to show becomes typable.
    if (!DataSource() && !ReadOnly())
        SetReadOnly(false);
}

void TdwDBCustomEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent && AComponent == DataSource())
        SetDataSource(nullptr);
    TdwCustomMaskEdit::Notification(AComponent, Operation);
}

void TdwDBCustomEdit::SetDataSource(TDataSource* Value)
{
    FDataLink.SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
    EditingChange();
}

void TdwDBCustomEdit::SetDataField(const String& Value)
{
    if (!ComponentState().Contains(csLoading))
        ClearMaxLengthOfField();
    FDataLink.SetFieldName(Value);
}

void TdwDBCustomEdit::ClearMaxLengthOfField()
{
    if (Field() && MaxLength() > 0 && MaxLength() == Field()->Size())
        SetMaxLength(0);
}

void TdwDBCustomEdit::SetReadOnly(bool Value)
{
    FDataLink.SetReadOnly(Value);
    // Switched on over a data set, the link's editing state decides.
    if (!(Value && FDataLink.DataSet()) && !ComponentState().Contains(csLoading))
        SetOwnReadOnly(Value);
    EditingChange();
}

TdwDBPicture* TdwDBCustomEdit::Picture() { return TdwCustomMaskEdit::Picture(); }

void TdwDBCustomEdit::SetPicture(TdwDBPicture* Value)
{
    TdwDBPicture* picture = TdwCustomMaskEdit::Picture();
    picture->Assign(Value);
    const String mask = picture->PictureMask();
    if (picture->IsMaskFromDataSet() && !mask.empty())
        dwPutFieldPictureMask(PictureDataSet(), PictureFieldName(), mask, false, true, true, false,
                              picture->AutoFill());
    PictureMaskChanged();
}

void TdwDBCustomEdit::PictureMaskChanged()
{
    TField* field = Field();
    SetEditMask(!IsMaskInEffect() && field ? field->EditMask() : String());
}

void TdwDBCustomEdit::SetUnboundAlignment(TAlignment Value)
{
    FUnboundAlignment = Value;
    Invalidate();
}

TAlignment TdwDBCustomEdit::PaintAlignment() const { return Field() ? FAlignment : FUnboundAlignment; }

TDataSet* TdwDBCustomEdit::PictureDataSet() const { return DataSource() ? DataSource()->DataSet() : nullptr; }

String TdwDBCustomEdit::PictureFieldName() const { return DataField(); }

int TdwDBCustomEdit::DialogCode() const
{
    int code = TdwCustomMaskEdit::DialogCode() | (WantReturns() ? dlgcWantAllKeys : 0);
    // In a grid's cell Enter and Esc are the grid's, and Tab when it tabs between cells.
    if (const IdwCellControlHost* host = dwCellHostOf(this))
        code |= dlgcWantAllKeys | (host->CellTabs() ? dlgcWantTab : 0);
    return code;
}

bool TdwDBCustomEdit::ExecuteAction(TBasicAction* Action)
{
    // Undo and Delete change the text as the keys do: the field goes into edit state first
    // (cut and paste see to that themselves).
    const auto* editAction = dynamic_cast<TEditAction*>(Action);
    const bool changesText = editAction && Action->HandlesTarget(this) &&
                             (editAction->Command() == ecUndo || editAction->Command() == ecDelete);
    if (changesText)
        EditRequest();
    if (TdwCustomMaskEdit::ExecuteAction(Action)) {
        if (changesText && Modified())
            MarkEdited();
        return true;
    }
    if (!DataSource() || !Action->HandlesTarget(DataSource()))
        return false;
    Action->ExecuteTarget(DataSource());
    return true;
}

bool TdwDBCustomEdit::UpdateAction(TBasicAction* Action)
{
    if (TdwCustomMaskEdit::UpdateAction(Action))
        return true;
    if (!DataSource() || !Action->HandlesTarget(DataSource()))
        return false;
    Action->UpdateTarget(DataSource());
    return true;
}

bool TdwDBCustomEdit::IsFieldEditable()
{
    TField* field = Field();
    if (!field)
        return true;
    if (FDataLink.Edit())
        return true;
    TDataSet* dataSet = field->DataSet();
    return !ReadOnly() && dwIsCalcOrLookupField(field) && !field->ReadOnly() && dataSet &&
           dataSet->CanModify();
}

void TdwDBCustomEdit::Reset()
{
    FDataLink.Reset();
    SetModified(false);
}

bool TdwDBCustomEdit::EditRequest() { return FDataLink.Edit(); }

void TdwDBCustomEdit::MarkEdited()
{
    if (!DataSource()) {
        if (!ReadOnly())
            SetReadOnly(false);
        return;
    }
    if (FDataLink.Edit())
        FDataLink.Modified();
}

bool TdwDBCustomEdit::FillKind(TdwFillKind& Kind) const
{
    TFieldType type = ftUnknown;
    if (TField* field = Field())
        type = field->DataType();
    else if (!DataSource())
        type = FUnboundDataType == dwEdtDate       ? ftDate
               : FUnboundDataType == dwEdtTime     ? ftTime
               : FUnboundDataType == dwEdtDateTime ? ftDateTime
                                                   : ftUnknown;
    switch (type) {
    case ftDate: Kind = dfkDate; return true;
    case ftTime: Kind = dfkTime; return true;
    case ftDateTime: Kind = dfkDateTime; return true;
    default: return false;
    }
}

bool TdwDBCustomEdit::KeyGoesToGrid(Word Key, TShiftState Shift)
{
    TField* field = Field();
    const int length = static_cast<int>(Text().size());
    if (field && field->DataType() == ftMemo && SelStart() < length)
        return false;
    const bool typing = IsTypingAllowed();
    const bool alt = Shift.Contains(ssAlt);
    const bool ctrl = Shift.Contains(ssCtrl);
    const IdwCellControlHost* host = dwCellHostOf(this);
    const bool libraryGrid = host && host->CellEditorAlwaysShown();
    const bool atStart = SelStart() == 0 && SelLength() == 0;
    const bool atEnd = SelStart() + SelLength() >= length;
    switch (Key) {
    case VK_ESCAPE: return !Modified();
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return !alt;
    case VK_LEFT:
    case VK_HOME: return !typing || (libraryGrid && (ctrl || atStart));
    case VK_RIGHT:
    case VK_END: return !typing || (libraryGrid && (ctrl || atEnd));
    case VK_INSERT: return !Shift.Contains(ssShift);
    case VK_DELETE: return ctrl;
    case VK_F2:
        if (typing)
            SetSelLength(0);
        return true;
    default: return false;
    }
}

bool TdwDBCustomEdit::HandsKeyToCellHost(Word Key, TShiftState Shift)
{
    const IdwCellControlHost* host = dwCellHostOf(this);
    if (!host || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl))
        return false;
    return (Key == VK_RETURN && !WantReturns()) || (Key == VK_TAB && host->CellTabs());
}

void TdwDBCustomEdit::KeyDown(Word& Key, TShiftState Shift)
{
    // Enter and Tab move the grid on, the text written as with the grid's own editor.
    if (HandsKeyToCellHost(Key, Shift)) {
        const Word key = Key;
        Key = 0;
        dwHandKeyToCellHost(this, key, Shift);
        return;
    }
    // Inside a grid the keys that move between cells are the grid's.
    if (dwParentIsGrid(this) && KeyGoesToGrid(Key, Shift)) {
        Parent()->KeyDown(Key, Shift);
        return;
    }
    if (dwParentIsInspector(this) && (Key == VK_LEFT || Key == VK_RIGHT)) {
        Parent()->KeyDown(Key, Shift);
        return;
    }
    TdwCustomMaskEdit::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift)))
        MarkEdited();
}

void TdwDBCustomEdit::KeyPress(char& Key)
{
    if (Key == KeyChar::Tab) {
        Key = 0;
        return;
    }
    TField* field = Field();
    if (IsPrintable(Key) || Key == KeyChar::Backspace) {
        if (!DataSource()) {
            if (ReadOnly()) {
                Key = 0;
                return;
            }
            SetReadOnly(false);
        } else if (field && dwIsCalcOrLookupField(field) && !field->ReadOnly() && field->DataSet() &&
                   field->DataSet()->CanModify()) {
            field->DataSet()->Edit();
        } else {
            // Editing starts before the key changes the text, so that the record's
            // reload on entering edit state does not undo the key.
            EditRequest();
        }
    }

    TdwFillKind kind;
    const bool maskFills = IsMaskInEffect() && Picture()->AutoFill();
    if (!maskFills && FAutoFillDate && Key == ' ' && !KeyIsDown(VK_CONTROL) && FillKind(kind)) {
        String text = Text();
        const int selStart = SelStart();
        const int selLength = SelLength();
        const bool applies = selLength == static_cast<int>(text.size())
                                     ? selStart == 0
                                     : selStart == static_cast<int>(text.size());
        if (applies) {
            Key = 0;
            if (ReadOnly() || TEdit::ReadOnly()) {
                MessageBeep();
                return;
            }
            dwAutoFillDate(kind, text, selStart, selLength, Now());
            ReplaceText(text);
            SetSelStart(static_cast<int>(text.size()));
            MarkEdited();
            if (OnCheckValue)
                IsValidPictureValue(Text());
            return;
        }
    }

    TdwCustomMaskEdit::KeyPress(Key);
    if (MaskHandled())
        MarkEdited();
    if (Key == 0)
        return;
    if (IsPrintable(Key) && field && !field->IsValidChar(Key) && !IsCombo()) {
        MessageBeep();
        Key = 0;
        return;
    }
    if (Key == KeyChar::CtrlV || Key == KeyChar::CtrlX || Key == KeyChar::CtrlZ ||
        Key == KeyChar::Backspace || IsPrintable(Key)) {
        MarkEdited();
        if (!IsTypingAllowed())
            Key = 0;
    } else if (Key == KeyChar::Escape) {
        Reset();
        SelectAll();
        Key = 0;
    } else if (Key == KeyChar::Enter) {
        if (WantReturns())
            MarkEdited();
        else if (dwParentIsGrid(this))
            Key = 0;
    }
}

void TdwDBCustomEdit::Change()
{
    if (!Field() || MaskSetText())
        SetModified(true);
    if (Modified())
        FDataLink.Modified();
    TdwCustomMaskEdit::Change();
}

void TdwDBCustomEdit::DoEnter()
{
    // Back after a refused exit, the text is still the user's change.
    if (!Field() && !InvalidExit())
        SetModified(false);
    TdwCustomMaskEdit::DoEnter();
}

void TdwDBCustomEdit::CMEnter()
{
    if (!FFocusedLook) {
        FFocusedLook = true;
        if (Field())
            FDataLink.Reset();
    }
    ShowFocusedLook(true);
    TdwCustomMaskEdit::CMEnter();
}

void TdwDBCustomEdit::CMExit()
{
    try {
        FDataLink.UpdateRecord();
    } catch (...) {
        SelectAll();
        TakeFocusBack();
        throw;
    }
    DoExit();
    if (!InvalidExit()) {
        FFocusedLook = false;
        if (Field())
            FDataLink.Reset();
    }
    ShowFocusedLook(InvalidExit());
}

void TdwDBCustomEdit::WMPaste()
{
    if (!DataSource() && ReadOnly())
        return;
    if (!DataSource())
        SetReadOnly(false);
    else
        EditRequest();
    if (TEdit::ReadOnly())
        return;
    if (!IsMaskInEffect()) {
        TdwCustomMaskEdit::WMPaste();
        MarkEdited();
        if (OnCheckValue)
            IsValidPictureValue(Text());
        return;
    }
    // Pasted text goes through the mask as the same characters typed would: each one is
    // fitted in turn, and one the mask refuses at the end of the text is left out.
    String text = Text();
    int selStart = SelStart();
    int selLength = SelLength();
    bool refused = false;
    for (char c : Clipboard()->AsText()) {
        const TdwPictureKeyStep step = dwPictureKeyStep(text, selStart, selLength, MaxLength(),
                                                        Picture()->PictureMask(), Picture()->AutoFill(), c);
        if (!step.Handled) {
            refused = true;
            continue;
        }
        if (step.Result == prComplete || step.Result == prIncomplete) {
            text = step.Text;
            selStart = step.Caret;
        } else if (step.AtEnd) {
            refused = true;
            continue;
        } else {
            text = text.substr(0, static_cast<size_t>(selStart)) + c +
                   text.substr(static_cast<size_t>(selStart + selLength));
            ++selStart;
        }
        selLength = 0;
    }
    if (refused)
        MessageBeep();
    SetMaskedText(text);
    SetSelStart(selStart);
    MarkEdited();
    if (OnCheckValue)
        IsValidPictureValue(Text());
}

void TdwDBCustomEdit::WMCut()
{
    EditRequest();
    TdwCustomMaskEdit::WMCut();
    MarkEdited();
    if (OnCheckValue)
        IsValidPictureValue(Text());
}

void TdwDBCustomEdit::DataChange()
{
    if (FSkipDataChange)
        return;
    TField* field = Field();
    PictureMaskChanged();
    if (!field) {
        SetText(String());
        return;
    }
    if (field->Alignment() != FAlignment) {
        SetText(String());
        FAlignment = field->Alignment();
    }
    if (TextIsFieldValue() && field->DataType() == ftString && MaxLength() == 0 &&
        !ComponentState().Contains(csLoading))
        SetMaxLength(field->Size());
    const String text = TextForField(field);
    if (text != Text())
        SetText(text);
    SetModified(false);
}

String TdwDBCustomEdit::TextForField(TField* Field)
{
    const bool memo = Field->DataType() == ftMemo;
    if ((FFocusedLook || memo) && FDataLink.CanModify())
        return memo ? Field->AsString() : Field->Text();
    return Field->DisplayText();
}

void TdwDBCustomEdit::EditingChange()
{
    if (DataSource())
        SetOwnReadOnly(ReadOnly() || !FDataLink.Active() || !FDataLink.CanModify());
}

void TdwDBCustomEdit::UpdateData()
{
    TField* field = Field();
    if (TEdit::ReadOnly() || !field)
        return;
    const String text = ValueToStore();
    if (IsMaskInEffect() && !dwPassesPictureMask(Picture()->PictureMask(), Text())) {
        TDataSet* dataSet = field->DataSet();
        if (TdwInvalidValueEvent handler = dwGetOnInvalidValue(dataSet))
            handler(dataSet, field);
        else
            DoValidationErrorUsingMask(field);
    } else if (!IsMaskInEffect()) {
        ValidateEdit();
    }
    const FlagScope skipDataChange(FSkipDataChange);
    TDateTime date = 0;
    int pos = 1;
    if (field->DataType() == ftMemo) {
        field->SetAsString(text);
    } else if (field->DataType() == ftDateTime &&
               dwScanDate(text, pos, date, FEpochYear ? FEpochYear : dwDefaultEpoch)) {
        TDateTime time = 0;
        if (pos <= static_cast<int>(text.size()) && !dwScanTime(text, pos, time))
            time = 0;
        field->SetAsDateTime(date + time);
    } else {
        field->SetText(text);
    }
}

void TdwDBCustomEdit::DoValidationErrorUsingMask(TField* Field)
{
    dwIntl()->DoValidationErrorUsingMask(this, Field);
}

void TdwDBCustomEdit::GetLineMode(bool& MultiLine, bool& Wrap) const
{
    TdwCustomMaskEdit::GetLineMode(MultiLine, Wrap);
    if (ClientHeight() >= 2 * LineHeight())
        return;
    // One line high: a wrapping edit scrolls sideways, and one without a border keeps
    // its one line.
    if (BorderStyle() == bsNone)
        MultiLine = false;
    Wrap = false;
}

bool TdwDBCustomEdit::PaintsOwnText() const
{
    if (Focused())
        return ControlState().Contains(csPaintCopy);
    return ControlState().Contains(csPaintCopy) || PaintAlignment() != taLeftJustify ||
           Frame()->IsFrameEffective();
}

String TdwDBCustomEdit::DisplayTextToPaint()
{
    String text = Field() && !Focused() ? Field()->DisplayText() : Text();
    // Scrolled, the edit's own text shows from the line at the top, as it does focused.
    if (text == PositionedText())
        text.erase(0, static_cast<size_t>(TopLineStart()));
    if (PasswordChar())
        text.assign(text.size(), PasswordChar());
    return text;
}

void TdwDBCustomEdit::PaintText(TCanvas* Canvas, const TRect& ClientArea)
{
    PaintFramedText(Canvas, ClientArea, PaintAlignment(), DisplayTextToPaint());
}

void TdwDBCustomEdit::PaintFrame(TCanvas* Canvas, bool Focused)
{
    dwDrawEditFrame(this, Frame(), Canvas, Focused);
}

void TdwDBCustomEdit::PaintOver(TCanvas* Canvas, const TRect& ClientArea)
{
    if (PaintsOwnText())
        PaintText(Canvas, ClientArea);
    if (Frame()->IsFrameEffective())
        PaintFrame(Canvas, Focused());
}

void TdwDBCustomEdit::FontChanged()
{
    TdwCustomMaskEdit::FontChanged();
    UpdateEditRect();
    UpdateLineMode();
}
