#include "platform/vcl/clipboard.h"

#include <QApplication>
#include <QClipboard>

#include "platform/vcl/qtext.h"

String ClipboardText() { return FromQString(QApplication::clipboard()->text()); }

void SetClipboardText(const String& Value) { QApplication::clipboard()->setText(ToQString(Value)); }
