#include "controls/kvcommander.h"

#include <algorithm>

#include "controls/kvlabel.h"
#include "datacontrols/edits/wwdotdot.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/checkboxes.h"
#include "platform/vcl/forms/forms.h"

TKVCommander::TKVCommander(TComponent* AOwner) : TPanel(AOwner)
{
    SetHeight(29);
    SetBevelInner(bvLowered);
    SetAlign(alBottom);
    SetCaption("");

    FOKButton = new TBitBtn(this);
    FOKButton->SetParent(this);
    FOKButton->SetKind(bkOK);
    FOKButton->SetBounds(664, 2, 100, FOKButton->Height());
    FOKButton->SetCaption("OK  [99 or /]");
    FOKButton->SetDefault(false);
    FOKButton->OnClick = [this](TObject* Sender) { FOKClicked(Sender); };

    FBevel = new TBevel(this);
    FBevel->SetParent(this);
    FBevel->SetStyle(bsRaised);
    FBevel->SetShape(bsFrame);
    FBevel->SetBounds(296, 3, 158, 23);

    FCaptionLabel = new TLabel(this);
    FCaptionLabel->SetParent(this);
    FCaptionLabel->SetCaption("MouseFree Selection #");
    FCaptionLabel->SetLeft(308);
    FCaptionLabel->SetTop(8);

    FHelpLine = new TPanel(this);
    FHelpLine->SetParent(this);
    FHelpLine->SetCaption("[*]-MouseFree    [+]-Full Edit    [/]-Close    [F1]-Help");
    FHelpLine->SetBounds(4, 4, 275, 22);
    FHelpLine->SetBevelOuter(bvLowered);

    FMouseFreeEdit = new TEdit(this);
    FMouseFreeEdit->SetParent(this);
    FMouseFreeEdit->SetBounds(430, 4, 22, 21);
    FMouseFreeEdit->SetTabOrder(0);
    FMouseFreeEdit->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) {
        MouseFreeEditKeyDown(Sender, Key, Shift);
    };
    FMouseFreeEdit->OnKeyPress = [this](TObject* Sender, char& Key) { MouseFreeEditKeyPress(Sender, Key); };
    FMouseFreeEdit->OnChange = [this](TObject* Sender) { MouseFreeEditChange(Sender); };
    FMouseFreeEdit->OnEnter = [this](TObject* Sender) { MouseFreeEditEnter(Sender); };
}

bool TKVCommander::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVCommander") || TPanel::InheritsFrom(name);
}

void TKVCommander::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        if (AComponent == FScrollBox)
            FScrollBox = nullptr;
        if (AComponent == CurrentLabel)
            CurrentLabel = nullptr;
        if (AComponent == TargetControl)
            TargetControl = nullptr;
        LabelList.erase(std::remove(LabelList.begin(), LabelList.end(), AComponent), LabelList.end());
    }
    TPanel::Notification(AComponent, Operation);
}

void TKVCommander::SetScrollBox(TScrollBox* Value)
{
    FScrollBox = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKVCommander::MouseFreeReturn(TWinControl* Editor, bool BlackLabel)
{
    if (!MouseFree || TargetControl != Editor)
        return;
    TCustomForm* form = ParentForm();
    if (!form || !FMouseFreeEdit->CanFocus())
        return;
    form->SetActiveControl(FMouseFreeEdit);
    if (BlackLabel && CurrentLabel)
        CurrentLabel->Font()->SetColor(clBlack);
}

void TKVCommander::MouseFreeEditChange(TObject*)
{
    const String text = FMouseFreeEdit->Text();
    TCustomForm* form = ParentForm();
    if (text == "99") {
        if (form)
            form->Close();
        return;
    }
    const size_t count = LabelList.size();
    const bool complete = (text.size() == 2 && count < 100) || (text.size() == 3 && count >= 100);
    if (!complete)
        return;
    Integer number = 0;
    const bool isNumber = TryStrToInt(text, number);
    FMouseFreeEdit->SetText("");
    if (!isNumber || number < 1 || static_cast<size_t>(number) > count)
        return;
    Select(LabelList[static_cast<size_t>(number - 1)]);
}

// A field that is hidden or disabled (a form may hide some) cannot be chosen.
void TKVCommander::Select(TKVLabel* Label)
{
    TWinControl* control = Label->FirstControl();
    TCustomForm* form = ParentForm();
    if (!control || !form || !control->CanFocus())
        return;
    const bool single = Label->FirstControl() == Label->LastControl();
    if (auto* button = dynamic_cast<TButton*>(control)) {
        if (button->OnClick)
            button->OnClick(button);
        if (!single && control->CanFocus()) {
            CurrentLabel = Label;
            MouseFree = true;
            form->SetActiveControl(control);
            TargetControl = Label->LastControl();
            form->Perform(WM_NEXTDLGCTL, 0, 0);
        }
    } else if (auto* box = dynamic_cast<TCheckBox*>(control)) {
        CurrentLabel = Label;
        if (FScrollBox)
            FScrollBox->ScrollInView(box);
        if (single) {
            box->SetChecked(!box->Checked());
        } else {
            form->SetActiveControl(box);
            MouseFree = true;
            TargetControl = Label->LastControl();
        }
    } else if (auto* combo = dynamic_cast<TdwDBComboDlg*>(control)) {
        // The field's own dialog opens; the focus stays in the entry.
        if (combo->OnCustomDlg)
            combo->OnCustomDlg(this);
    } else {
        CurrentLabel = Label;
        MouseFree = true;
        form->SetActiveControl(control);
        TargetControl = Label->LastControl();
    }
}

void TKVCommander::MouseFreeEditEnter(TObject*)
{
    MouseFree = false;
    FMouseFreeEdit->SetText("");
}

void TKVCommander::MouseFreeEditKeyPress(TObject*, char& Key)
{
    if ((Key >= '0' && Key <= '9') || Key == KeyChar::Backspace || Key == '+')
        return;
    Key = 0;
}

void TKVCommander::MouseFreeEditKeyDown(TObject*, Word& Key, TShiftState)
{
    if (!FScrollBox)
        return;
    TControlScrollBar* bar = FScrollBox->VertScrollBar();
    if (Key == VK_PRIOR)
        bar->SetPosition(bar->Position() - FScrollBox->ClientHeight());
    else if (Key == VK_NEXT)
        bar->SetPosition(bar->Position() + FScrollBox->ClientHeight());
}

void TKVCommander::FOKClicked(TObject*)
{
    if (TCustomForm* form = ParentForm())
        form->Close();
}
