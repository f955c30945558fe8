#pragma once
// Reads of a shared file mapping that another program may cut short: a read
// of a mapped page past the file's new end raises SIGBUS, which would end the
// process. Here such a read fails instead. The engine's handler stays in
// place once installed and passes every other SIGBUS to the handler that was
// there before it (or to the default action).

#include <cstddef>

namespace mappedread {

// Compares n bytes of the mapping at view with bytes; false when the file no
// longer holds them, otherwise true with equal set.
bool Compare(const void* view, const void* bytes, std::size_t n, bool& equal) noexcept;
// Copies n bytes of the mapping at view; false when the file no longer holds them.
bool Copy(void* to, const void* view, std::size_t n) noexcept;

}  // namespace mappedread
