#pragma once
// The editor form's pictures for its buttons and menu items, drawn here: 16 by 16, on a
// transparent ground.

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
