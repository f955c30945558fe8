#pragma once
// The font families installed, by the names the program gives them.

#include "platform/rtl/stringlist.h"

// Sorted; a family whose name has no Windows-1252 spelling is left out. With
// PrintableOnly only outline fonts, which the printer draws as the screen shows them.
void ListInstalledFonts(TStringList& Fonts, bool PrintableOnly);
