#include "controls/kvforms.h"

#include <algorithm>
#include <array>

#include "controls/kvlabel.h"
#include "controls/opendocument.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/guiscreen.h"

namespace {

// The editors that take part in the keyboard protocol, by exact class name: classes
// derived from them are not wired.
const std::array<const char*, 13> CommandedClasses = {
        "TKVEdit",        "TKVFloatEdit",          "TKVDoubleEdit", "TKVIntEdit",
        "TKVDateEdit",    "TKVDBDateEditAmerican", "TKVCheckBox",   "TKVComboDlg",
        "TKVDBEdit",      "TKVDBDateEdit",         "TKVDBIntEdit",  "TKVDBFloatEdit",
        "TKVDBDoubleEdit"};

bool IsCommandedClass(const String& Name)
{
    return std::find(CommandedClasses.begin(), CommandedClasses.end(), Name) != CommandedClasses.end();
}

}  // namespace

TKVMouseFreeForm::TKVMouseFreeForm(TComponent* AOwner) : TForm(AOwner)
{
    SetKeyPreview(true);
    OnKeyPress = [this](TObject* Sender, char& Key) { MouseFreeKeyPress(Sender, Key); };
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) {
        MouseFreeKeyDown(Sender, Key, Shift);
    };
    SetTop(0);
    SetLeft(0);
    if (GuiScreen()->PixelsPerInch() == 120) {
        SetWidth(969);
        SetClientHeight(583);
    } else {
        SetWidth(775);
        SetClientHeight(473);
    }
}

bool TKVMouseFreeForm::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVMouseFreeForm") || TForm::InheritsFrom(name);
}

void TKVMouseFreeForm::Loaded()
{
    TForm::Loaded();
    WireAndNumber();
}

void TKVMouseFreeForm::WireAndNumber()
{
    for (int i = 0; i < ComponentCount(); ++i) {
        if (Components(i)->ClassName() == "TKVCommander") {
            Commander = static_cast<TKVCommander*>(Components(i));
            Commander->LabelList.clear();
            Commander->MouseFree = true;
            break;
        }
    }
    int counter = 0;
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* component = Components(i);
        if (IsCommandedClass(component->ClassName())) {
            if (auto* editor = dynamic_cast<TKVCommanded*>(component))
                editor->SetCommander(Commander);
            continue;
        }
        auto* label = dynamic_cast<TKVLabel*>(component);
        // Without a command panel there is nothing to select by number.
        if (!label || !Commander)
            continue;
        if (label->FirstControl() && !label->LastControl())
            label->SetLastControl(label->FirstControl());
        std::vector<TKVLabel*>& list = Commander->LabelList;
        ++counter;
        if (counter == 99) {
            // 99 closes the form, so from here on numbers have three digits; the 99th
            // label answers to 099 and 100.
            list.push_back(label);
            counter = 100;
            ThreeDigit = true;
            for (size_t k = 0; k < 98 && k < list.size(); ++k) {
                list[k]->SetCaption("[0" + list[k]->Caption().substr(1));
            }
        }
        const String number = ThreeDigit || counter >= 10 ? IntToStr(counter) : "0" + IntToStr(counter);
        const String caption = label->Caption();
        label->SetCaption(caption == "[XX]" ? "[" + number + "]" : "[" + number + "]  " + caption);
        list.push_back(label);
    }
}

void TKVMouseFreeForm::Activate()
{
    TForm::Activate();
    if (Commander && Commander->MouseFreeEdit()->CanFocus())
        SetActiveControl(Commander->MouseFreeEdit());
}

void TKVMouseFreeForm::MouseFreeKeyPress(TObject*, char& Key)
{
    if (Key == KeyChar::Enter) {
        Key = 0;
        Perform(WM_NEXTDLGCTL, 0, 0);
    }
    if (!Commander)
        return;
    TEdit* entry = Commander->MouseFreeEdit();
    switch (Key) {
    case '*':
        Key = 0;
        SetActiveControl(entry);
        break;
    case '/':
        if (Commander->SlashCloseGuard)
            break;
        Key = 0;
        SetActiveControl(entry);
        Close();
        break;
    case '+':
        Key = 0;
        if (ActiveControl() == entry) {
            if (!Commander->LabelList.empty()) {
                TWinControl* first = Commander->LabelList.front()->FirstControl();
                if (first && first->CanFocus())
                    SetActiveControl(first);
            }
        } else if (Commander->MouseFree) {
            if (Commander->CurrentLabel)
                Commander->CurrentLabel->Font()->SetColor(clBlack);
            Commander->MouseFree = false;
        }
        break;
    default: break;
    }
}

void TKVMouseFreeForm::MouseFreeKeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key == VK_F1) {
        Key = 0;
        OpenHelpFile(ExtractFilePath(ProgramFileName()) + "DIRUZU.ZIV");
    } else if (Key == VK_F2) {
        StartCalculator();
    }
}
