#pragma once
// Table file names as callers give them: "\" or "/" separators, perhaps a
// drive prefix, perhaps no extension, perhaps another case than on disk.

#include "platform/rtl/types.h"

namespace tablepaths {

// The file a caller's name stands for: "/" separators, no drive prefix, and
// the existing file whatever the case of its name.
String Resolve(const String& path);
// As Resolve, with ".DBF" added when the name has no extension.
String TableFile(const String& path);
// The file beside path with the other extension: the existing one whatever
// its case, or a new name with the extension as given.
String Sibling(const String& path, const String& ext);

}  // namespace tablepaths
