#pragma once
// The clipboard's text, as Windows-1252 bytes.

#include "platform/rtl/types.h"

String ClipboardText();
void SetClipboardText(const String& Value);
