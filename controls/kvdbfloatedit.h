#pragma once
// A data-aware edit for a float field, in the keyboard protocol.

#include "controls/kvdbnumberedit.h"

inline constexpr char TKVDBFloatEditName[] = "TKVDBFloatEdit";
using TKVDBFloatEdit = TKVDBNumberEditOf<TKVDBFloatEditName>;
