#pragma once
// The editor form's pictures for its buttons and menu items, drawn here: 16 by 16, on a
// transparent ground.

#include "platform/vcl/colors.h"

class TBitmap;
class TImageList;

enum TdwRichIcon {
    riNew,
    riLoad,
    riSaveAs,
    riPrint,
    riFind,
    riSpell,
    riCut,
    riCopy,
    riPaste,
    riUndo,
    riRedo,
    riBullet,
    riFont,
    riParagraph,
    riHighlight
};

// Draws Icon into Bitmap, which becomes 16 by 16 and transparent.
void dwDrawRichIcon(TdwRichIcon Icon, TBitmap* Bitmap);
// Adds every picture to List, so that an item's image index is its TdwRichIcon.
void dwAddRichIcons(TImageList* List);
// A swatch of Color for the colour menu: a black-framed square on a transparent ground.
void dwDrawColorSwatch(TColor Color, TBitmap* Bitmap);
