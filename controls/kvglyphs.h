#pragma once
// The program's own bitmaps for the tool bar buttons: "kvprintbmp", "kvpreviewbmp",
// "kvnotes" (no notes yet) and "kvnotesfull" (notes present). Each is two 16 x 16
// pictures side by side, the enabled look and the greyed one.

#include "platform/vcl/graphics/bitmap.h"

// Draws the named bitmap into Bitmap; false (and Bitmap left alone) for an unknown name.
bool LoadProgramBitmap(TBitmap& Bitmap, const String& Name);
