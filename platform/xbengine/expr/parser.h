#pragma once
// Parses expression text into a typed tree, resolving fields and functions.

#include <memory>
#include <string_view>

#include "platform/xbengine/expr/node.h"

namespace xbexpr {

// Null with the reason and its 1-based position in *error on failure.
std::unique_ptr<Node> Parse(std::string_view text, const RecordContext& context, String& error);

}  // namespace xbexpr
