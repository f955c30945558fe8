#pragma once
// What the electronic file lacks. While the file is written, each required item
// found empty, and each item present in a form the file cannot carry, becomes one
// line of the current list, in the order the checks are made. The file is written
// in any case; the list is offered to the user at the end of the run.

#include "platform/rtl/stringlist.h"

// The lines of the last run, each after one blank; "" when nothing was missing.
extern String MissingItemsText;
// The lines of the current run.
TStringList& MissingItems();
// Starts a run: the text is emptied and a new, empty list becomes the current one.
void ResetMissingItems();

// Records Label + " Required information missing" when Value is exactly empty; a value of blanks
// counts as present.
void AddMissingItem(const String& Value, const String& Label);
// Records a line of its own: an item that is there but cannot be filed as it stands.
void AddUnfileableItem(const String& Line);
