#pragma once
// Copy C of Forms 1099-MISC and 1099-INT, the payer's copy: the form's image
// (the overlay) with the data, on the printer the user set up. One sheet per
// call from the print-work table: two 1099-MISC or three 1099-INT recipients.

#include "platform/rtl/types.h"

// Id is the recipient's ID the callers pass; it is not used. OnlyCurrent: the
// table holds the one recipient the user chose, so only the top form is filled.
void PrintCopyCMisc(const String& Id, bool OnlyCurrent);
void PrintCopyCInt(const String& Id, bool OnlyCurrent);
