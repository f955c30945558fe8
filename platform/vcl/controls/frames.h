#pragma once
// Three-dimensional edges and frame controls (push buttons, check boxes) drawn on a
// canvas in the button colours, for controls that paint them themselves.

#include "platform/vcl/graphics/canvas.h"

// Edges: an outer and an inner ring, each raised (light above and left, dark below and
// right) or sunken.
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// Which sides an edge takes, whether the inside is filled, whether the rectangle shrinks
// to the inside.
constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x800;
constexpr unsigned BF_ADJUST = 0x2000;
// A flat edge: one ring in the shadow colour, one in the face colour.
constexpr unsigned BF_FLAT = 0x4000;
// A mono edge: the outer ring in the window frame colour, the inner in the window colour.
constexpr unsigned BF_MONO = 0x8000;

// Frame controls.
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x5;
constexpr unsigned DFCS_BUTTONCHECK = 0x0;
constexpr unsigned DFCS_BUTTONPUSH = 0x10;
constexpr unsigned DFCS_INACTIVE = 0x100;
constexpr unsigned DFCS_PUSHED = 0x200;
constexpr unsigned DFCS_CHECKED = 0x400;
constexpr unsigned DFCS_FLAT = 0x4000;

// Draws the Edge rings on the Flags sides of R; with BF_ADJUST, R becomes what is left
// inside them.
void DrawEdge(TCanvas& Canvas, TRect& R, unsigned Edge, unsigned Flags);
// A push button (raised; sunken when pushed; a plain frame when flat) or a check box (a
// sunken square box centred in R, ticked when checked) of Type DFC_BUTTON; greyed when
// inactive. Of Type DFC_SCROLL, a combo box's drop-down button: a push button with a
// down arrow, one pixel lower and to the right when pushed, engraved when inactive.
void DrawFrameControl(TCanvas& Canvas, const TRect& R, unsigned Type, unsigned State);
// Width rings, the top-left sides in TopColor and the bottom-right ones in BottomColor;
// R becomes what is left inside.
void Frame3D(TCanvas& Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width);
