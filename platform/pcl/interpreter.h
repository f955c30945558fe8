#pragma once
// PCL 5 bytes to printed pages. The interpreter knows the cursor, margin,
// font, rectangle, raster and soft-font commands a form page and its overlay
// use; everything else is skipped by the grammar of the language, payloads of
// byte-count commands included. It never reads past its input and never fails:
// damaged bytes print what they describe, or nothing.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/pcl/displaylist.h"

namespace pcl {

// The pages the bytes print, split where the printer would eject: at a form
// feed, at a reset or page-size change after marks, and at the end of the
// input when the last page has marks.
std::vector<Page> Interpret(std::span<const std::uint8_t> bytes);
std::vector<Page> Interpret(std::string_view bytes);

// A job that would eject more pages than this stops there.
constexpr std::size_t MaxPages = 2000;

}  // namespace pcl
