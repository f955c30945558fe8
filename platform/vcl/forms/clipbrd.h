#pragma once
// The system clipboard's text.

#include "platform/rtl/types.h"

class TClipboard {
public:
    // The clipboard's text; empty when it holds none.
    String AsText() const;
    void SetAsText(const String& Value);
};

TClipboard* Clipboard();
