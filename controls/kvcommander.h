#pragma once
// The command panel along the bottom of a keyboard-driven form: the selection entry
// that takes a field number, the help line and the OK button. Every editor of the
// library holds a pointer to its form's panel and hands the focus back to the entry
// when it ends a group chosen by number.

#include <vector>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/scrollbox.h"

class TKVLabel;

class TKVCommander : public TPanel {
public:
    explicit TKVCommander(TComponent* AOwner);

    String ClassName() const override { return "TKVCommander"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The scroll box the form's fields sit in; Page Up and Page Down in the entry scroll it.
    TScrollBox* ScrollBox() const { return FScrollBox; }
    void SetScrollBox(TScrollBox* Value);

    TEdit* MouseFreeEdit() const { return FMouseFreeEdit; }
    TBitBtn* OKButton() const { return FOKButton; }
    TPanel* HelpLine() const { return FHelpLine; }

    // Typing n selects entry n-1; filled by the form, which owns the labels.
    std::vector<TKVLabel*> LabelList;
    // The label chosen last.
    TKVLabel* CurrentLabel = nullptr;
    // True while a group chosen by number is being edited.
    bool MouseFree = false;
    // The control whose exit ends that group.
    TWinControl* TargetControl = nullptr;
    // True while a field that takes '/' as text has the focus.
    bool SlashCloseGuard = false;

    // An editor was left after its own exit work: when it ends the group chosen by
    // number, the focus goes back to the entry and, with BlackLabel, the current
    // label's caption turns black again.
    void MouseFreeReturn(TWinControl* Editor, bool BlackLabel);

    void MouseFreeEditChange(TObject* Sender);
    void MouseFreeEditEnter(TObject* Sender);
    void MouseFreeEditKeyPress(TObject* Sender, char& Key);
    void MouseFreeEditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FOKClicked(TObject* Sender);

private:
    void Select(TKVLabel* Label);

    TScrollBox* FScrollBox = nullptr;
    TBitBtn* FOKButton;
    TBevel* FBevel;
    TLabel* FCaptionLabel;
    TPanel* FHelpLine;
    TEdit* FMouseFreeEdit;
};

// What every editor of the library shares: the pointer to its form's command panel,
// which only the keyboard-driven form sets.
class TKVCommanded {
public:
    virtual ~TKVCommanded() = default;
    TKVCommander* Commander() const { return FCommander; }
    void SetCommander(TKVCommander* Value) { FCommander = Value; }

protected:
    // The guard that lets '/' be typed, for an editor with DontSlashClose.
    void SetSlashGuard(bool DontSlashClose, bool Value)
    {
        if (FCommander && DontSlashClose)
            FCommander->SlashCloseGuard = Value;
    }
    void MouseFreeReturn(TWinControl* Self, bool BlackLabel)
    {
        if (FCommander)
            FCommander->MouseFreeReturn(Self, BlackLabel);
    }

private:
    TKVCommander* FCommander = nullptr;
};

// The option of some editors that keeps them from returning to the selection entry.
class TKVMouseFreeOption {
public:
    bool DisableMouseFree() const { return FDisableMouseFree; }
    void SetDisableMouseFree(bool Value) { FDisableMouseFree = Value; }

private:
    bool FDisableMouseFree = false;
};

// The option of some editors that lets '/' be typed as text instead of closing the form.
class TKVSlashOption {
public:
    bool DontSlashClose() const { return FDontSlashClose; }
    void SetDontSlashClose(bool Value) { FDontSlashClose = Value; }

private:
    bool FDontSlashClose = false;
};
