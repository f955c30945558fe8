#include "platform/vcl/forms/clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/vcl/qt/qtext.h"

String TClipboard::AsText() const { return FromQString(QGuiApplication::clipboard()->text()); }

void TClipboard::SetAsText(const String& Value) { QGuiApplication::clipboard()->setText(ToQString(Value)); }

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
