#include "platform/vcl/forms/actions.h"

#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/forms/clipbrd.h"
#include "platform/vcl/forms/guiscreen.h"

namespace {

// The control that carries out an action nobody handles: the active form's focused one.
TEdit* FocusedEdit() { return dynamic_cast<TEdit*>(GuiScreen()->ActiveControl()); }

}  // namespace

bool TBasicAction::InheritsFrom(const String& name) const
{
    return SameText(name, "TBasicAction") || TComponent::InheritsFrom(name);
}

bool TBasicAction::HandlesTarget(TObject*) { return false; }

void TBasicAction::ExecuteTarget(TObject*) { }

void TBasicAction::UpdateTarget(TObject*) { }

bool TBasicAction::Execute()
{
    if (OnExecute)
        OnExecute(this);
    else if (TEdit* edit = FocusedEdit())
        return edit->ExecuteAction(this);
    return static_cast<bool>(OnExecute);
}

bool TBasicAction::Update()
{
    if (OnUpdate)
        OnUpdate(this);
    else if (TEdit* edit = FocusedEdit())
        return edit->UpdateAction(this);
    return static_cast<bool>(OnUpdate);
}

bool TEditAction::InheritsFrom(const String& name) const
{
    return SameText(name, "TEditAction") || TBasicAction::InheritsFrom(name);
}

bool TEditAction::HandlesTarget(TObject* Target)
{
    auto* edit = dynamic_cast<TEdit*>(Target);
    return edit && edit->Focused();
}

void TEditAction::ExecuteTarget(TObject* Target)
{
    auto* edit = dynamic_cast<TEdit*>(Target);
    if (!edit)
        return;
    switch (FCommand) {
    case ecCut: edit->CutToClipboard(); break;
    case ecCopy: edit->CopyToClipboard(); break;
    case ecPaste: edit->PasteFromClipboard(); break;
    case ecSelectAll: edit->SelectAll(); break;
    case ecUndo: edit->Undo(); break;
    case ecDelete: edit->ClearSelection(); break;
    }
}

void TEditAction::UpdateTarget(TObject* Target)
{
    auto* edit = dynamic_cast<TEdit*>(Target);
    if (!edit)
        return;
    const bool selected = edit->SelLength() > 0;
    switch (FCommand) {
    case ecCut:
    case ecDelete: SetEnabled(selected && !edit->ReadOnly()); break;
    case ecCopy: SetEnabled(selected); break;
    case ecPaste: SetEnabled(!edit->ReadOnly() && !Clipboard()->AsText().empty()); break;
    case ecSelectAll: SetEnabled(!edit->Text().empty()); break;
    case ecUndo: SetEnabled(edit->CanUndo()); break;
    }
}
