#pragma once
// Actions: commands that menus, buttons and keys share. An action without an OnExecute
// handler is carried out by the focused control of the active form, when that control
// handles it (its ExecuteAction); the standard edit actions work on the focused edit.

#include "platform/classes/component.h"
#include "platform/classes/events.h"

class TEdit;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) { }

    String ClassName() const override { return "TBasicAction"; }
    bool InheritsFrom(const String& name) const override;

    // Whether the action works on Target, and what it does to it.
    virtual bool HandlesTarget(TObject* Target);
    virtual void ExecuteTarget(TObject* Target);
    // Makes the action's state (Enabled) fit Target.
    virtual void UpdateTarget(TObject* Target);

    // OnExecute, or else the focused control's handling; true when something ran it.
    bool Execute();
    // OnUpdate, or else the focused control's; true when something updated it.
    bool Update();

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

private:
    bool FEnabled = true;
};

// The edit actions: each works on a focused edit.
enum TEditCommand { ecCut, ecCopy, ecPaste, ecSelectAll, ecUndo, ecDelete };

class TEditAction : public TBasicAction {
public:
    TEditAction(TComponent* AOwner, TEditCommand Command) : TBasicAction(AOwner), FCommand(Command) { }
    String ClassName() const override { return "TEditAction"; }
    bool InheritsFrom(const String& name) const override;

    TEditCommand Command() const { return FCommand; }
    bool HandlesTarget(TObject* Target) override;
    void ExecuteTarget(TObject* Target) override;
    // Enabled when the command has something to work on: a selection to cut, copy or
    // delete, text on the clipboard to paste, a change to undo; cut, paste and delete
    // only in an edit that is not read-only.
    void UpdateTarget(TObject* Target) override;

private:
    TEditCommand FCommand;
};

// Cut and Copy the selection, Paste the clipboard's text, Select All, Undo the last
// change, Delete the selection.
#define TOTAMUND_EDIT_ACTION(Name, Command)                                                                  \
    class Name : public TEditAction {                                                                        \
    public:                                                                                                  \
        explicit Name(TComponent* AOwner) : TEditAction(AOwner, Command) { }                                 \
        String ClassName() const override { return #Name; }                                                  \
    };
TOTAMUND_EDIT_ACTION(TEditCut, ecCut)
TOTAMUND_EDIT_ACTION(TEditCopy, ecCopy)
TOTAMUND_EDIT_ACTION(TEditPaste, ecPaste)
TOTAMUND_EDIT_ACTION(TEditSelectAll, ecSelectAll)
TOTAMUND_EDIT_ACTION(TEditUndo, ecUndo)
TOTAMUND_EDIT_ACTION(TEditDelete, ecDelete)
#undef TOTAMUND_EDIT_ACTION
