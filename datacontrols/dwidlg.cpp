#include "datacontrols/dwidlg.h"

#include <algorithm>

#include "datacontrols/dwfields.h"
#include "datacontrols/dwwindows.h"
#include "datacontrols/wwintl.h"
#include "datacontrols/wwkeycb.h"
#include "platform/classes/object.h"
#include "platform/db/datasource.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/application.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/guiscreen.h"
#include "platform/vcl/label.h"

// ---- the component ----

TdwLookupDialog::TdwLookupDialog(TComponent* AOwner) : TdwCustomDialog(AOwner) {}

bool TdwLookupDialog::InheritsFrom(const String& name) const
{
    return name == "TdwLookupDialog" || name == "TdwCustomLookupDialog" || name == "TdwCustomDialog" ||
           TdwCustomDialog::InheritsFrom(name);
}

void TdwLookupDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwCustomDialog::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FLookupTable)
        FLookupTable = nullptr;
}

void TdwLookupDialog::SetLookupTable(TDataSet* Value)
{
    FLookupTable = Value;
    if (Value)
        Value->FreeNotification(this);
}

bool TdwLookupDialog::Execute()
{
    if (!FLookupTable) {
        MessageDlg("You must define a lookupTable.", mtWarning, {mbOK}, 0);
        return false;
    }
    if (!FLookupTable->Active()) {
        MessageDlg("Search Table is not active.", mtWarning, {mbOK}, 0);
        return false;
    }
    return dwSetupLookupDlg(this, FLookupTable);
}

// ---- the form ----

TdwLookupDlg::TdwLookupDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetName("dwLookupDlg");
    SetBorderStyle(bsDialog);
    SetCaption("Lookup");
    SetClientWidth(344);
    SetClientHeight(343);
    SetKeyPreview(true);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    Font()->SetStyle({fsBold});
    SetColor(clBtnFace);

    DataSource1 = new TDataSource(this);
    DataSource1->SetName("DataSource1");

    SearchCharacterLabel = new TLabel(this);
    SearchCharacterLabel->SetName("SearchCharacterLabel");
    SearchCharacterLabel->SetParent(this);
    SearchCharacterLabel->SetBounds(8, 8, 100, 13);

    dwIncrementalSearch1 = new TdwIncrementalSearch(this);
    dwIncrementalSearch1->SetName("dwIncrementalSearch1");
    dwIncrementalSearch1->SetParent(this);
    dwIncrementalSearch1->SetBounds(8, 24, 329, 20);
    dwIncrementalSearch1->SetTabStop(true);
    dwIncrementalSearch1->SetTabOrder(0);
    dwIncrementalSearch1->SetDataSource(DataSource1);
    SearchCharacterLabel->SetFocusControl(dwIncrementalSearch1);

    dwDBGrid1 = new TdwDBGrid(this);
    dwDBGrid1->SetName("dwDBGrid1");
    dwDBGrid1->SetParent(this);
    dwDBGrid1->SetBounds(8, 84, 329, 209);
    dwDBGrid1->SetTitleColor(clBtnFace);
    dwDBGrid1->SetTabOrder(1);
    dwDBGrid1->SetDataSource(DataSource1);
    dwDBGrid1->OnDblClick = [this](TObject*) {
        if (!dwDBGrid1->Options().Contains(dgEditing) || dwDBGrid1->ReadOnly())
            SetModalResult(mrOk);
    };

    OKBtn = dwCreateDialogButton(this, dbkOK);
    OKBtn->SetTabOrder(4);
    OKBtn->SetDefault(true);
    CancelBtn = dwCreateDialogButton(this, dbkCancel);
    CancelBtn->SetTabOrder(5);
    for (TButton* button : {OKBtn, CancelBtn}) {
        button->SetTop(600);
        button->Show();
    }
}

bool TdwLookupDlg::InheritsFrom(const String& name) const
{
    return name == "TdwLookupDlg" || TForm::InheritsFrom(name);
}

// Sizes and places the form; done before the window shows, as a dialog's window takes
// a fixed size when it is shown.
void TdwLookupDlg::PrepareToShow()
{
    const TRect work = GuiScreen()->WorkAreaRect();
    const int screenWidth = GuiScreen()->Width();
    const int screenHeight = GuiScreen()->Height();
    FMaxWidth = FMaxWidth == 0 ? screenWidth - 40 : std::min(FMaxWidth, screenWidth - 40);
    FMaxHeight = FMaxHeight == 0 ? screenHeight - 200 : std::min(FMaxHeight, screenHeight - 200);
    if (FOnInitDialog && !FActivated)
        FOnInitDialog(this);
    DataSource1->SetDataSet(FDataSet);

    TdwIntl* intl = dwIntl();
    Font()->SetStyle(intl->DialogFontStyle());
    SearchCharacterLabel->SetCaption(intl->SearchDialog().SearchCharLabel);
    dwIncrementalSearch1->SetHint(intl->SearchDialog().SearchCharHint);
    AdjustLayout();
    SetTop(std::max(0, ((work.Top + work.Bottom) - Height()) / 2));
    SetLeft(((work.Left + work.Right) - Width()) / 2);
}

// The grid as wide as its columns within MaxWidth and at least as wide as the buttons;
// the search edit above it, the buttons below.
void TdwLookupDlg::AdjustLayout()
{
    const int minimum = OKBtn->Width() + CancelBtn->Width() + 18;
    int needed = 14;
    for (int c = 0; c < dwDBGrid1->ColCount(); ++c)
        needed += dwDBGrid1->ColWidths(c) + 1;
    const int width = std::max(std::min(needed, FMaxWidth), minimum);
    SearchCharacterLabel->SetTop(8);
    dwIncrementalSearch1->SetBounds(8, PixelsPerInch() * 13 / 96 + 8 + 3, width, dwIncrementalSearch1->Height());
    const int gridTop = dwIncrementalSearch1->Top() + dwIncrementalSearch1->Height() + 8;
    dwDBGrid1->SetBounds(8, gridTop, width, FMaxHeight);
    const int y = gridTop + FMaxHeight;
    SetClientWidth(width + 16);
    const bool buttons = FOptions.Contains(opShowOKCancel);
    OKBtn->SetVisible(buttons);
    CancelBtn->SetVisible(buttons);
    if (buttons) {
        const int step = OKBtn->Width() + 13;
        const int shift = width == minimum ? 5 : 0;
        OKBtn->SetBounds(ClientWidth() - 10 - 2 * step + shift, y + 13, OKBtn->Width(), OKBtn->Height());
        CancelBtn->SetBounds(ClientWidth() - 10 - step + shift, y + 13, CancelBtn->Width(), CancelBtn->Height());
        SetClientHeight(OKBtn->Top() + OKBtn->Height() + 10);
    } else {
        SetClientHeight(y + 10);
    }
}

void TdwLookupDlg::Activate()
{
    if (!FActivated) {
        FActivated = true;
        if (dwIncrementalSearch1->CanFocus())
            FocusControl(dwIncrementalSearch1);
    }
    TForm::Activate();
}

void TdwLookupDlg::KeyDown(Word& Key, TShiftState Shift)
{
    TForm::KeyDown(Key, Shift);
    switch (Key) {
    case VK_RETURN:
        Key = 0;
        SetModalResult(mrOk);
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        dwDBGrid1->KeyDown(Key, Shift);
        Key = 0;
        break;
    default:
        break;
    }
}

bool TdwLookupDlg::CloseQuery()
{
    if (!TForm::CloseQuery())
        return false;
    dwIncrementalSearch1->FinishPendingSearch();
    if (FOnCloseDialog)
        FOnCloseDialog(this);
    return true;
}

// ---- running it ----

bool dwSetupLookupDlg(TdwLookupDialog* Dialog, TDataSet* DataSet)
{
    auto* form = new TdwLookupDlg(Application);
    bool result = false;
    try {
        form->AfterConstruction();
        form->SetCaption(Dialog->Caption());
        TCustomForm* active = GuiScreen()->ActiveForm();
        if (active && active->FormStyle() == fsStayOnTop)
            form->SetFormStyle(fsStayOnTop);
        TdwDBGrid* grid = form->dwDBGrid1;
        if (Dialog->Selected()->Count() == 0) {
            if (DataSet->Active())
                dwFieldsToSelected(DataSet, grid->Selected());
            else
                MessageDlg("DataSet for this component must be active.", mtInformation, {mbOK}, 0);
        } else {
            grid->SetSelected(Dialog->Selected());
        }
        grid->SetUseTFields(Dialog->UseTFields());
        grid->SetOptions(Dialog->GridOptions());
        if (Dialog->GridOptions().Contains(dgMultiSelect))
            grid->SetMultiSelectOptions({msoAutoUnselect, msoShiftSelect});
        grid->SetColor(Dialog->GridColor());
        grid->SetTitleAlignment(Dialog->GridTitleAlignment());
        grid->SetFixedCols(Dialog->Options().Contains(opFixFirstColumn) ? 1 : 0);
        form->FDataSet = DataSet;
        if (Dialog->Selected()->Count() > 0 && Dialog->UseTFields())
            dwApplySelectedToFields(DataSet, Dialog->Selected());
        form->FOptions = Dialog->Options();
        form->FMaxWidth = Dialog->MaxWidth();
        form->FMaxHeight = Dialog->MaxHeight();
        form->FOnInitDialog = Dialog->OnInitDialog;
        form->FOnCloseDialog = Dialog->OnCloseDialog;
        form->dwIncrementalSearch1->SetCharCase(Dialog->CharCase());
        // OK on an empty list chooses nothing.
        form->PrepareToShow();
        result = form->ShowModal() == mrOk && !DataSet->IsEmpty();
    } catch (...) {
        form->DataSource1->SetDataSet(nullptr);
        form->Free();
        throw;
    }
    form->DataSource1->SetDataSet(nullptr);
    form->Free();
    return result;
}
