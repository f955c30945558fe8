#pragma once
// The federal red Copy A of Forms 1099-MISC and 1099-INT, printed onto the
// pre-printed red forms of a laser printer: only the data, shifted by the user's
// print adjustment, always in PCL. One sheet per call from the print-work table:
// two 1099-MISC or three 1099-INT recipients.

#include "platform/rtl/types.h"

// Id is the recipient's ID the callers pass; it is not used. OnlyCurrent: the
// table holds the one recipient the user chose, so only the top form is filled.
void PrintRedCopyMisc(const String& Id, bool OnlyCurrent);
void PrintRedCopyInt(const String& Id, bool OnlyCurrent);
