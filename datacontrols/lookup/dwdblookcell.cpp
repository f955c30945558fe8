// The lookup combo as a grid's cell control: the keys it hands to the grid, and the
// display text it gives the cells it is not over.

#include "datacontrols/lookup/dwdblook.h"
#include "datacontrols/lookup/dwlookuptable.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"

bool TdwDBCustomLookupCombo::HandKeyToCellGrid(Word Key, TShiftState Shift)
{
    IdwCellControlHost* host = dwCellHostOf(this);
    if (!host || IsDroppedDown())
        return false;
    const bool alt = Shift.Contains(ssAlt);
    const bool ctrl = Shift.Contains(ssCtrl);
    const int length = static_cast<int>(Text().size());
    const bool atStart = SelStart() == 0 && SelLength() == 0;
    const bool atEnd = SelStart() + SelLength() >= length;
    const bool edges = host->CellEditorAlwaysShown() || !MayType();
    bool goes = false;
    switch (Key) {
    case VK_RETURN: goes = !alt && !ctrl; break;
    case VK_TAB: goes = !alt && !ctrl && host->CellTabs(); break;
    case VK_INSERT: goes = !Shift.Contains(ssShift); break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: goes = !alt; break;
    case VK_DELETE: goes = ctrl; break;
    case VK_ESCAPE: goes = !Modified(); break;
    case VK_LEFT:
    case VK_HOME: goes = edges && (ctrl || atStart || !MayType()); break;
    case VK_RIGHT:
    case VK_END: goes = edges && (ctrl || atEnd || !MayType()); break;
    case VK_F2:
        SetSelLength(0);
        goes = true;
        break;
    default: break;
    }
    if (!goes)
        return false;
    // Enter and Tab write the value first, as the grid's own editor does: the combo
    // leaves, and the grid moves on.
    if (Key == VK_RETURN || Key == VK_TAB) {
        host->CellControlKey(Key, Shift);
        return true;
    }
    Word key = Key;
    Parent()->KeyDown(key, Shift);
    return true;
}

bool TdwDBCustomLookupCombo::InLibraryGrid() const { return dwIsClassNamed(Parent(), "TdwCustomDBGrid"); }

bool TdwDBCustomLookupCombo::UsesCellKey(Word Key, TShiftState Shift) const
{
    return Shift.Contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT);
}

bool TdwDBCustomLookupCombo::CellDisplayText(TField* Field, String& Text)
{
    TDataSet* table = LookupTable();
    TField* display = FGrid->DisplayField();
    TField* key = FGrid->LookupFieldRef();
    if (IsLookupKindField() || !table || !table->Active() || !display || !key || display == key)
        return false;
    const String value = Field->AsString();
    Text.clear();
    if (value.empty())
        return true;
    // The lookup table is searched and put back where it was, its grid and this combo
    // told nothing.
    TdwSearchInProgress searching(table);
    const TBookmark place = table->GetBookmark();
    table->DisableControls();
    try {
        if (table->Locate(key->FieldName(), Variant(value), {}))
            Text = display->DisplayText();
        if (!place.empty())
            table->GotoBookmark(place);
    } catch (...) {
        table->EnableControls();
        throw;
    }
    table->EnableControls();
    return true;
}

bool TdwDBCustomLookupCombo::SetPublishedOrdinal(const String& Name, int Value)
{
    if (Name != "BorderStyle")
        return false;
    SetBorderStyle(Value == dwBorderNone ? bsNone : bsSingle);
    LayoutButton();
    return true;
}
