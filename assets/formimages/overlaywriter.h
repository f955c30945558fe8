#pragma once
// Writes the PCL 5 overlay of a form page: Letter portrait with a top margin of 0,
// rules, shaded boxes and the dashes of perforation lines drawn as filled
// rectangles, captions in the printer's resident sans typeface, and at the end the
// state the data text is printed in (6 lines per inch, Courier 10 pitch in Windows
// Latin 1, cursor home), closed by the tail ESC "&alrC". The overlay neither resets
// the printer nor ejects a page: the page job around it does both.

#include <string>
#include <vector>

#include "assets/formimages/formdescription.h"

namespace formimages {

// Positions in PCL units (dots of 1/300 inch): across from the logical page's left
// edge, down from the top of the paper.
constexpr int DotsPerColumn = 30;
constexpr int DotsPerRow = 50;

std::string WriteOverlay(const Page& P);

// Where the lines of a box's caption print, in grid units, so that what is printed
// into the box can be kept clear of them.
std::vector<GridRect> CaptionAreas(const Box& B);

}  // namespace formimages
