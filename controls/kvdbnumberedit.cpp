#include "controls/kvdbnumberedit.h"

#include "platform/rtl/strutils.h"

bool TKVDBNumberEdit::InheritsFrom(const String& name) const { return SameText(name, "TKVDBNumberEdit") || TDBEdit::InheritsFrom(name); }

void TKVDBNumberEdit::DoExit() {
    TDBEdit::DoExit();
    if (!DisableMouseFree()) MouseFreeReturn(this, true);
}
