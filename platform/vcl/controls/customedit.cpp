#include "platform/vcl/controls/edits.h"

#include <algorithm>

#include "platform/rtl/strutils.h"

TCustomEdit::TCustomEdit(TComponent* AOwner, QWidget* AWidget) : TWinControl(AOwner, AWidget)
{
    SetTabStop(true);
    SetColor(clWindow);
}

bool TCustomEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TCustomEdit") || TWinControl::InheritsFrom(name);
}

void TCustomEdit::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    ApplyMaxLength();
}

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
    FCharCase = Value;
    const String text = GetText();
    if (ApplyCharCase(text) != text)
        SetText(ApplyCharCase(text));
}

void TCustomEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    ApplyReadOnly();
}

String TCustomEdit::ApplyCharCase(const String& Value) const
{
    switch (FCharCase) {
    case ecUpperCase: return AnsiUpperCase(Value);
    case ecLowerCase: return AnsiLowerCase(Value);
    default: return Value;
    }
}

void TCustomEdit::WidgetTextChanged()
{
    if (FRecasing)
        return;
    const String text = GetText();
    const String cased = ApplyCharCase(text);
    if (cased != text) {
        FRecasing = true;
        ReplaceWidgetText(cased);
        FRecasing = false;
    }
    Change();
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::SetSelText(const String& Value)
{
    const String text = GetText();
    const size_t start = static_cast<size_t>(SelStart());
    const size_t length = static_cast<size_t>(SelLength());
    const bool modified = Modified();
    SetText(text.substr(0, start) + Value + text.substr(std::min(text.size(), start + length)));
    SetModified(modified);
    SetSelStart(static_cast<int>(start + Value.size()));
}

void TCustomEdit::SelectAll()
{
    SetSelStart(0);
    SetSelLength(static_cast<int>(PositionedText().size()));
}

void TCustomEdit::DoEnter()
{
    if (FAutoSelect)
        SelectAll();
    TWinControl::DoEnter();
}
