#pragma once
// Date auto-fill: Space in a date or time edit fills the next element from the clock
// (the month, the day, the year, then the hours, minutes, seconds and AM or PM), as the
// regional settings write them.

#include "platform/rtl/types.h"

// What the edited text holds.
enum TdwFillKind { dfkDate, dfkTime, dfkDateTime };

// Fills the next element of Text for a Space typed with the caret at SelStart (0-based)
// and SelLength characters selected. Applies only with the caret at the end or the whole
// text selected (an empty text counts as whole selected; the text then starts again from
// empty): false otherwise, and Text is left alone. True when the key is the fill's,
// whether or not there was anything left to fill.
bool dwAutoFillDate(TdwFillKind Kind, String& Text, int SelStart, int SelLength, TDateTime Now);
