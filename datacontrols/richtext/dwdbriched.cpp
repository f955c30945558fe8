#include "datacontrols/richtext/dwdbriched.h"

#include "datacontrols/common/dwcellcontrol.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"

TdwDBRichEdit::TdwDBRichEdit(TComponent* AOwner)
    : TdwCustomRichEdit(AOwner), FDataLink(std::make_unique<TFieldDataLink>())
{
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnEditingChange = [this](TObject*) { EditingChange(); };
    FDataLink->OnUpdateData = [this](TObject*) { UpdateFieldData(); };
    SetLeftMargin(3);
}

TdwDBRichEdit::~TdwDBRichEdit()
{
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnEditingChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->SetDataSource(nullptr);
}

bool TdwDBRichEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBRichEdit") || TdwCustomRichEdit::InheritsFrom(name);
}

void TdwDBRichEdit::SetDataSource(TDataSource* Value)
{
    FDataLink->SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
}

void TdwDBRichEdit::SetDataField(const String& Value)
{
    if (!Value.empty() && Value != FDataLink->FieldName())
        TCustomRichEdit::SetReadOnly(true);
    FDataLink->SetFieldName(Value);
    if (Value.empty())
        TCustomRichEdit::SetReadOnly(IsReadOnly());
}

void TdwDBRichEdit::SetReadOnly(bool Value)
{
    if (!GetField())
        TCustomRichEdit::SetReadOnly(Value);
    FDataLink->SetReadOnly(Value);
}

void TdwDBRichEdit::SetAutoDisplay(bool Value)
{
    if (!GetField() || FAutoDisplay == Value)
        return;
    FAutoDisplay = Value;
    if (Value)
        LoadContent();
}

void TdwDBRichEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwCustomRichEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource())
        FDataLink->SetDataSource(nullptr);
}

void TdwDBRichEdit::SetParent(TWinControl* AParent)
{
    if (AParent == Parent() || !BlobLinked()) {
        TdwCustomRichEdit::SetParent(AParent);
        return;
    }
    const bool loaded = FMemoLoaded;
    if (loaded && Modified())
        FDataLink->UpdateRecord();
    TdwCustomRichEdit::SetParent(AParent);
    FMemoLoaded = false;
    if (loaded)
        LoadContent();
}

bool TdwDBRichEdit::BlobLinked() const
{
    TField* field = GetField();
    return field && field->IsBlob();
}

bool TdwDBRichEdit::IsReadOnly() const
{
    TField* field = GetField();
    if (!field && DataField().empty())
        return ReadOnly();
    if (FDataLink->ReadOnly())
        return true;
    if (field && FDataLink->Active())
        return !field->DataSet()->CanModify() || field->ReadOnly();
    return false;
}

void TdwDBRichEdit::BeginFieldEdit()
{
    TField* field = GetField();
    if (!field || FDataLink->Editing())
        return;
    if (field->IsBlob()) {
        FSavedFieldText = field->AsString();
        FHasSavedFieldText = true;
    }
    FDataLink->Edit();
}

void TdwDBRichEdit::UpdateFieldData()
{
    TField* field = GetField();
    if (!field || !Modified() || !FMemoLoaded)
        return;
    // Only what the user changed is written: a document never loaded is never overwritten.
    field->SetAsString(field->IsBlob() ? Lines()->Contents() : Text());
}

void TdwDBRichEdit::LoadContent()
{
    if (!BlobLinked() || FMemoLoaded)
        return;
    FMemoLoaded = true;
    // The empty document's plain start below is part of the load, not an edit.
    FLoadingContent = true;
    TdwRichMemoryStream stream;
    static_cast<TBlobField*>(GetField())->SaveToStream(stream);
    stream.SetPosition(0);
    Lines()->LoadFromStream(stream);
    if (GetField()->AsString().empty()) {
        // An empty document starts plain, in the control's own colour.
        TRichParaFormat paragraph;
        SetSelParaFormat(paragraph, TRichParaMask {rpNumbering, rpAlignment});
        TRichCharFormat characters;
        characters.Color = Font()->Color();
        SetDefaultCharFormat(characters, TRichCharMask {rcColor});
    }
    FLoadingContent = false;
    EditingChange();
    SetModified(false);
}

void TdwDBRichEdit::LoadBlobPreview(TField* Field, int ChunkLimit)
{
    TdwCustomRichEdit::LoadBlobPreview(Field, ChunkLimit);
    FMemoLoaded = false;  // an edit loads the whole document
}

void TdwDBRichEdit::DataChange()
{
    TField* field = GetField();
    if (!field) {
        LoadContents(String());
        FMemoLoaded = false;
        return;
    }
    if (field->IsBlob()) {
        if (!FAutoDisplay && (!FDataLink->Editing() || !FMemoLoaded)) {
            FMemoLoaded = false;
            SetPlainText(true);
            LoadContents(Format("(%s)", {field->DisplayLabel()}));
            SetPlainText(false);
            return;
        }
        if (FHasSavedFieldText && FSavedFieldText == field->AsString())
            return;
        FHasSavedFieldText = false;
        FMemoLoaded = false;
        if (Visible())
            LoadContent();
        return;
    }
    SetPlainText(true);
    LoadContents(FFocused && FDataLink->CanModify() ? field->Text() : field->DisplayText());
    SetPlainText(false);
    FMemoLoaded = true;
}

void TdwDBRichEdit::EditingChange()
{
    if (GetField())
        TCustomRichEdit::SetReadOnly(!(FDataLink->Editing() && FMemoLoaded));
}

void TdwDBRichEdit::Change()
{
    if (GetField() && FMemoLoaded && !Loading() && !FLoadingContent && !IsReadOnly()) {
        BeginFieldEdit();
        FDataLink->Modified();
    }
    TdwCustomRichEdit::Change();
}

int TdwDBRichEdit::DialogCode() const
{
    int code = TdwCustomRichEdit::DialogCode();
    // In a grid's cell Esc is the grid's, and Tab when it tabs between cells.
    if (const IdwCellControlHost* host = dwCellHostOf(this))
        code |= dlgcWantAllKeys | (host->CellTabs() ? dlgcWantTab : 0);
    return code;
}

bool TdwDBRichEdit::HandKeyToCellGrid(Word Key, TShiftState Shift)
{
    IdwCellControlHost* host = dwCellHostOf(this);
    if (!host)
        return false;
    const bool alt = Shift.Contains(ssAlt);
    const bool ctrl = Shift.Contains(ssCtrl);
    bool goes = false;
    switch (Key) {
    case VK_ESCAPE: goes = !Modified(); break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: goes = !alt; break;
    case VK_HOME:
    case VK_END: goes = ctrl; break;
    case VK_TAB: goes = !WantTabs() && host->CellTabs() && !alt && !ctrl; break;
    default: break;
    }
    if (goes)
        host->CellControlKey(Key, Shift);
    return goes;
}

void TdwDBRichEdit::KeyDown(Word& Key, TShiftState Shift)
{
    if (HandKeyToCellGrid(Key, Shift)) {
        Key = 0;
        return;
    }
    TdwCustomRichEdit::KeyDown(Key, Shift);
    if (Key == VK_F2 && Shift.Empty() && PopupOptions().Contains(rpoPopupEdit)) {
        Key = 0;
        ExecuteEditor();
        return;
    }
    const bool paste = (Key == VK_INSERT && Shift == TShiftState {ssShift}) ||
                       (Key == 'V' && Shift == TShiftState {ssCtrl});
    if (paste && !CanPaste()) {
        Key = 0;
        return;
    }
    if (!GetField() || !FMemoLoaded)
        return;
    const bool cut = Key == 'X' && Shift == TShiftState {ssCtrl};
    if (Key == VK_DELETE || Key == VK_BACK || paste || cut)
        BeginFieldEdit();
    else if (Key == VK_RETURN) {
        if (WantReturns())
            BeginFieldEdit();
        else {
            SetSelStart(0);
            Key = 0;
        }
    }
}

void TdwDBRichEdit::KeyPress(char& Key)
{
    if (Key == '\t' && !WantTabs()) {
        Key = 0;
        return;
    }
    TdwCustomRichEdit::KeyPress(Key);
    if (Key == 0 || !GetField())
        return;
    if (!FMemoLoaded) {
        if (Key == '\r')
            LoadContent();
        Key = 0;
        return;
    }
    const auto c = static_cast<unsigned char>(Key);
    if (c >= ' ' && !GetField()->IsValidChar(Key)) {
        MessageBeep();
        Key = 0;
    } else if (Key == KeyChar::Escape) {
        FDataLink->Reset();
    } else if (c >= ' ' || Key == '\b' || Key == '\t' || Key == '\n' || Key == '\r' ||
               Key == KeyChar::CtrlV || Key == KeyChar::CtrlX) {
        BeginFieldEdit();
    }
}

void TdwDBRichEdit::DblClick()
{
    if (GetField() && !FMemoLoaded)
        LoadContent();
    TdwCustomRichEdit::DblClick();
}

void TdwDBRichEdit::DoEnter()
{
    FFocused = true;
    if (GetField() && !GetField()->IsBlob())
        FDataLink->Reset();
    TdwCustomRichEdit::DoEnter();
}

void TdwDBRichEdit::DoExit()
{
    // A record that cannot take the text keeps the user here.
    FDataLink->UpdateRecord();
    FFocused = false;
    if (GetField() && !GetField()->IsBlob())
        FDataLink->Reset();
    TdwCustomRichEdit::DoExit();
}
