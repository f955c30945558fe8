#pragma once
// A data-aware edit for a double field, in the keyboard protocol.

#include "controls/kvdbnumberedit.h"

inline constexpr char TKVDBDoubleEditName[] = "TKVDBDoubleEdit";
using TKVDBDoubleEdit = TKVDBNumberEditOf<TKVDBDoubleEditName>;
