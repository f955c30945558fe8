#pragma once
// A data-aware edit for a whole-number field, in the keyboard protocol.

#include "controls/kvdbnumberedit.h"

inline constexpr char TKVDBIntEditName[] = "TKVDBIntEdit";
using TKVDBIntEdit = TKVDBNumberEditOf<TKVDBIntEditName>;
