#pragma once
// The resident typefaces a page may ask for, mapped to the three outline
// families we draw with, and the advance widths of the proportional ones.

#include "platform/pcl/displaylist.h"

namespace pcl {

// The family a PCL typeface number prints in; fixed-pitch requests of an
// unknown typeface print in the monospace family, proportional ones in sans.
Typeface FaceOfTypeface(int typefaceNumber, bool fixed);

// The advance of one Windows-1252 character of a proportional font, in
// thousandths of the font's point size.
int ProportionalWidth(Typeface face, bool bold, unsigned char ch);

}  // namespace pcl
