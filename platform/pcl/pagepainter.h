#pragma once
// Paints a recorded page on any canvas: a bitmap, the printer's page or a
// metafile being recorded.

#include <memory>
#include <string_view>

#include "platform/pcl/displaylist.h"
#include "platform/vcl/graphics/geometry.h"

class TBitmap;
class TCanvas;

namespace pcl {

// The installed font family a typeface prints in: each has the advance widths
// of the printer's own face.
const char* FontFamily(Typeface face);

// Paints the page's marks so that the whole sheet fills Target; the paper is
// left as it is. The canvas's font, pen and brush are kept.
void PaintPage(const Page& page, TCanvas& canvas, const TRect& target);

// The first page of an overlay (the bytes of a ".HP" file) painted into Frame;
// nothing when the bytes print nothing.
void PaintOverlay(std::string_view overlay, TCanvas& canvas, const TRect& frame);

// The page on white paper at Dpi pixels per inch.
std::unique_ptr<TBitmap> RenderPage(const Page& page, int dpi);

}  // namespace pcl
