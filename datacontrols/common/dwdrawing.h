#pragma once
// Drawing helpers of the library's edits and grid.

#include "platform/rtl/types.h"
#include "platform/vcl/controls/controls.h"
#include "platform/vcl/graphics/colors.h"

class TBitmap;
class TCanvas;
class TFont;

// dwDrawEditText options.
constexpr int detShowPrefix = 1;     // "&" marks an accelerator
constexpr int detEndEllipsis = 2;    // "..." where the text is cut
constexpr int detWordBreak = 4;      // wrap at words (not when one line fills the height)
constexpr int detNoBackground = 16;  // leave the background as it is

// A drawn button's state, counted as the speed buttons count theirs: 2 is pushed.
constexpr int dwButtonPushed = 2;

// Draws an edit's text while the edit has no focus: the background filled with the
// brush, the text aligned within Rect less the margins.
void dwDrawEditText(TCanvas* Canvas, const TRect& Rect, int LeftMargin, int Options, TAlignment Alignment,
                    const String& Text, int TopMargin);
// Draws the one line of text an edit shows while another control has the focus, when
// the edit draws it itself: ClientArea filled with Background first unless that is
// clNone (a transparent frame), the text in Font (in FontColor unless clNone; grey
// unless Enabled) aligned within ClientArea up to TextRight, X pixels in and Y down
// (Y < 0: centred in the height, as the edit centres its text).
void dwDrawUnfocusedEditText(TCanvas* Canvas, const TRect& ClientArea, int TextRight, TColor Background,
                             TFont* Font, TColor FontColor, bool Enabled, int X, int Y, TAlignment Alignment,
                             const String& Text);
// One line of text with the edit's border fills Rect's height.
bool dwIsSingleLineHeight(TCanvas* Canvas, const TRect& Rect);
// An outline in the highlight colour with a focus rectangle inside it; the canvas's
// brush style and pen colour are kept.
void dwDrawSelectedFrame(TCanvas* Canvas, const TRect& Rect);
// A button with "..." on it: unless Transparent, a raised edge, filled unless Flat and
// drawn flat while pushed without Key held; then three black squares side by side in
// the middle, one pixel up and to the left unless pushed.
void dwDrawEllipsisButton(TCanvas* Canvas, const TRect& Rect, int State, Word Key, bool Flat,
                          bool Transparent);
// A combo box's drop-down button: pushed and flat while enabled, State non-zero and
// Key not held; otherwise raised, greyed when not Enabled.
void dwDrawDropDownArrowButton(TCanvas* Canvas, const TRect& Rect, int State, Word Key, bool Enabled);
// Draws Glyph in the middle of Rect, greyed unless Enabled, a pixel further down and
// right while Pressed; nothing without a glyph.
void dwDrawCentredGlyph(TCanvas* Canvas, const TRect& Rect, TBitmap* Glyph, bool Enabled, bool Pressed);
// Loads the library's "WWDROPDOWN" glyph into Glyph: the small black arrow pointing down
// that a flat drop-down button shows, on white that lets the background show through.
void dwLoadDropDownGlyph(TBitmap* Glyph);
