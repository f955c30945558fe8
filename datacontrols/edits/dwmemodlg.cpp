#include "datacontrols/edits/dwmemodlg.h"

#include "datacontrols/common/wwintl.h"
#include "platform/classes/object.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/guiscreen.h"

// ---- the component ----

TdwMemoDialog::TdwMemoDialog(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) { }

TdwMemoDialog::~TdwMemoDialog() { FDataLink.SetDataSource(nullptr); }

bool TdwMemoDialog::InheritsFrom(const String& name) const
{
    return name == "TdwMemoDialog" || TComponent::InheritsFrom(name);
}

void TdwMemoDialog::SetFont(TFont* Value) { FFont->Assign(Value); }

bool TdwMemoDialog::Execute()
{
    return dwRunMemoDialog(GuiScreen()->ActiveForm(), this, !FMemoAttributes.Contains(mViewOnly));
}

void TdwMemoDialog::DoInitDialog(TdwMemoDlg* Dialog)
{
    if (OnInitDialog)
        OnInitDialog(Dialog);
}

void TdwMemoDialog::DoCloseDialog(TdwMemoDlg* Dialog)
{
    if (OnCloseDialog)
        OnCloseDialog(Dialog);
}

// ---- the form ----

TdwMemoDlg::TdwMemoDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetName("dwMemoDlg");
    SetCaption("Dialog");
    SetPosition(poScreenCenter);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    Font()->SetStyle({fsBold});
    SetColor(clBtnFace);

    Memo = new TMemo(this);
    Memo->SetName("Memo");
    Memo->SetParent(this);
    Memo->SetScrollBars(ssVertical);
    Memo->SetWantTabs(true);
    Memo->SetTabOrder(0);
    Memo->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) { MemoKeyDown(Key, Shift); };

    UserButtonPanel = new TPanel(this);
    UserButtonPanel->SetName("UserButtonPanel");
    UserButtonPanel->SetParent(this);
    UserButtonPanel->SetBevelInner(bvRaised);
    UserButtonPanel->SetBevelOuter(bvLowered);
    UserButtonPanel->SetCaption(String());
    UserButtonPanel->Hide();
    const auto makeUserButton = [this](const char* Name, int Left, int Which) {
        auto* button = new TButton(this);
        button->SetName(Name);
        button->SetParent(UserButtonPanel);
        button->SetBounds(Left, 5, 89, 26);
        button->Hide();
        button->OnClick = [this, Which](TObject*) {
            if (!FMemoDialog)
                return;
            const TdwMemoUserButtonEvent& event =
                    Which == 1 ? FMemoDialog->OnUserButton1Click : FMemoDialog->OnUserButton2Click;
            if (event)
                event(this, Memo);
        };
        return button;
    };
    UserButton1 = makeUserButton("UserButton1", 16, 1);
    UserButton2 = makeUserButton("UserButton2", 128, 2);

    OKBtn = dwCreateDialogButton(this, dbkOK);
    OKBtn->SetTabOrder(1);
    OKBtn->OnClick = [this](TObject*) {
        FOKPressed = true;
        FOKAccepted = true;
    };
    CancelBtn = dwCreateDialogButton(this, dbkCancel);
    CancelBtn->SetTabOrder(2);
    SetBounds(Left(), Top(), 561, 395);
}

bool TdwMemoDlg::InheritsFrom(const String& name) const
{
    return name == "TdwMemoDlg" || TForm::InheritsFrom(name);
}

void TdwMemoDlg::DoShow()
{
    if (!FShown && FMemoDialog) {
        FShown = true;
        Memo->SetFont(FMemoDialog->Font());
        SetCaption(FMemoDialog->Caption());
        const int left = FMemoDialog->DlgLeft();
        const int top = FMemoDialog->DlgTop();
        if (left == 0 && top == 0) {
            SetWidth(FMemoDialog->DlgWidth());
            SetHeight(FMemoDialog->DlgHeight());
        } else if (left > 0 || top > 0) {
            SetBounds(left, top, FMemoDialog->DlgWidth(), FMemoDialog->DlgHeight());
        }
        PlaceUserButtons();
        Font()->SetStyle(dwIntl()->DialogFontStyle());
        FMemoDialog->FDialog = this;
        FMemoDialog->DoInitDialog(this);
        Memo->SetModified(false);
        // The OK button of an editable text waits for the first change.
        Memo->OnChange = [this](TObject*) { OKBtn->SetEnabled(true); };
    }
    TForm::DoShow();
}

void TdwMemoDlg::Resize()
{
    TForm::Resize();
    if (CancelBtn)
        ResizeControls();
}

bool TdwMemoDlg::HasUserButtons() const
{
    return FMemoDialog &&
           (!FMemoDialog->UserButton1Caption().empty() || !FMemoDialog->UserButton2Caption().empty());
}

void TdwMemoDlg::PlaceUserButtons()
{
    if (!HasUserButtons())
        return;
    int right = 0;
    for (auto [button, caption] : {std::pair {UserButton1, FMemoDialog->UserButton1Caption()},
                                   std::pair {UserButton2, FMemoDialog->UserButton2Caption()}}) {
        if (caption.empty())
            continue;
        button->SetCaption(caption);
        button->SetLeft(right == 0 ? 10 : right + 15);
        button->Show();
        right = button->Left() + button->Width();
    }
    UserButtonPanel->SetBounds(Memo->Left() - 1, Memo->Top() + Memo->Height() + 2, right + 10, 36);
    UserButtonPanel->Show();
}

// The memo fills the form above a row of buttons (and the user buttons' panel).
void TdwMemoDlg::ResizeControls()
{
    const int memoWidth = ClientWidth() - 12;
    const int memoHeight = ClientHeight() - 53;
    Memo->SetBounds(6, 6, memoWidth, memoHeight);
    if (UserButtonPanel->Visible())
        UserButtonPanel->SetTop(Memo->Top() + memoHeight + 2);
    const int buttonTop = memoHeight + 17;
    OKBtn->SetTop(buttonTop);
    CancelBtn->SetTop(buttonTop);
    OKBtn->Show();
    if (Memo->ReadOnly()) {
        // Beside user buttons OK goes to the right; alone it is centred under the text.
        OKBtn->SetLeft(HasUserButtons() ? 6 + memoWidth - OKBtn->Width() - 25
                                        : 6 + (memoWidth - OKBtn->Width()) / 2);
        CancelBtn->Hide();
        return;
    }
    OKBtn->SetLeft(memoWidth - 2 * (OKBtn->Width() + 20));
    CancelBtn->SetLeft(memoWidth - (OKBtn->Width() + 20));
    CancelBtn->Show();
}

void TdwMemoDlg::MemoKeyDown(Word& Key, TShiftState Shift)
{
    if ((Key == VK_RETURN && Shift.Contains(ssCtrl)) || Key == VK_F2) {
        Key = 0;
        OKBtn->Click();
    } else if (Key == VK_ESCAPE) {
        Key = 0;
        SetModalResult(mrCancel);
    }
}

bool TdwMemoDlg::CloseQuery()
{
    bool canClose = true;
    if (FOKPressed && !FOKAccepted) {
        canClose = false;
    } else if (!FOKPressed && Memo->Modified() && !Memo->ReadOnly()) {
        canClose = MessageDlg(dwIntl()->UserMessages().MemoChangesWarning, mtConfirmation, {mbYes, mbNo},
                              0) == mrYes;
        if (canClose)
            SetModalResult(mrCancel);
    }
    FOKPressed = false;
    return canClose && TForm::CloseQuery();
}

// ---- running it ----

bool dwRunMemoDialog(TCustomForm* ActiveForm, TdwMemoDialog* Dialog, bool Editable)
{
    auto* form = Construct<TdwMemoDlg>(Application);
    if (ActiveForm && ActiveForm->FormStyle() == fsStayOnTop)
        form->SetFormStyle(fsStayOnTop);
    form->FMemoDialog = Dialog;
    bool accepted = false;
    try {
        TField* field = Dialog->DataField().empty() ? nullptr : Dialog->Field();
        if (field) {
            // Any field that cannot take the text, not only a read-only blob, is only shown.
            if (!field->CanModify())
                Editable = false;
            form->Memo->SetText(field->AsString());
        } else {
            form->Memo->Lines()->Assign(Dialog->FLines);
        }
        form->Memo->SetWordWrap(Dialog->MemoAttributes().Contains(mWordWrap));
        form->SetBorderStyle(Dialog->MemoAttributes().Contains(mSizeable) ? bsSizeable : bsDialog);
        form->Memo->SetReadOnly(!Editable);
        if (Dialog->DlgLeft() >= 1 || Dialog->DlgTop() >= 1)
            form->SetPosition(poDefault);
        form->OKBtn->SetEnabled(!Editable);
        form->ResizeControls();
        accepted = form->ShowModal() == mrOk;
        Dialog->DoCloseDialog(form);
        Dialog->FDialog = nullptr;
        if (accepted && Editable) {
            if (field) {
                field->DataSet()->Edit();
                field->SetAsString(form->Memo->Text());
            } else {
                Dialog->FLines.Assign(*form->Memo->Lines());
            }
        }
    } catch (...) {
        Dialog->FDialog = nullptr;
        form->Free();
        throw;
    }
    form->Free();
    return accepted;
}
