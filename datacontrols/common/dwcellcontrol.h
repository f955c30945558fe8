#pragma once
// How a grid and the controls it shows over its cells talk to each other: the grid tells
// a control how it moves between cells and takes back the keys that move; a control
// tells the grid the text it shows for a field's value, for the cells it is not over.

#include "platform/rtl/types.h"
#include "platform/vcl/controls/controls.h"

class TField;

class IdwCellControlHost {
public:
    virtual ~IdwCellControlHost() = default;
    // Tab moves between the grid's cells.
    virtual bool CellTabs() const = 0;
    // The grid always shows its cell editor: Left and Right at the text's edges, and Home
    // and End, move to the next cell.
    virtual bool CellEditorAlwaysShown() const = 0;
    // A key the control over the current cell hands back: the grid takes the focus (the
    // control leaving writes its value into the field) and handles the key as its own.
    virtual void CellControlKey(Word Key, TShiftState Shift) = 0;
};

class IdwCellTextSource {
public:
    virtual ~IdwCellTextSource() = default;
    // The text the control shows for Field's value on the current record (a combo's
    // display item, a lookup combo's display value); false when it shows the field's
    // display text.
    virtual bool CellDisplayText(TField* Field, String& Text) = 0;
};

class IdwCellNavigationKeys {
public:
    virtual ~IdwCellNavigationKeys() = default;
    // Key is a navigation key the control uses itself (a drop-down's Alt+Down): pressed
    // while the grid holds the focus over the control's cell, the grid hands it over.
    virtual bool UsesCellKey(Word Key, TShiftState Shift) const = 0;
};

// The grid the control is a cell control of; null when its parent is none.
IdwCellControlHost* dwCellHostOf(const TControl* Control);
// Alt+Down or Alt+Up: the key that drops a control's list down or closes it.
bool dwIsDropDownKey(Word Key, TShiftState Shift);
// Hands Key to the control's grid; false, with nothing done, outside a grid.
bool dwHandKeyToCellHost(const TControl* Control, Word Key, TShiftState Shift);
