#include "datacontrols/wwinplaceedit.h"

#include "datacontrols/wwdbigrd.h"

TdwInplaceEdit::TdwInplaceEdit(TdwCustomDBGrid* Grid) : TEdit(Grid), FGrid(Grid)
{
    SetParent(Grid);
    Hide();
}

bool TdwInplaceEdit::InheritsFrom(const String& name) const
{
    return name == "TdwInplaceEdit" || name == "TInplaceEdit" || TEdit::InheritsFrom(name);
}

void TdwInplaceEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TEdit::KeyDown(Key, Shift);
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
        FGrid->EditorKeyDown(Key, Shift);
        break;
    default:
        break;
    }
}

void TdwInplaceEdit::Change()
{
    TEdit::Change();
    if (Visible())
        FGrid->EditorChanged();
}
