#include "platform/vcl/qt/qapp.h"

#include <QApplication>
#include <QFont>

#include "platform/vcl/graphics/graphics.h"
#include "platform/vcl/qt/qgraphics.h"

namespace {

// The forms were laid out for the 8-point dialog font; a condensed sans-serif at the
// same pixel height comes closest to its widths among the fonts Debian installs.
void UseDialogFont()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Condensed"));
    // Qt's own windows (message boxes, drop-down lists) take the same font.
    const TFont dialogFont;
    QApplication::setFont(ToQFont(dialogFont, ScreenPixelsPerInch));
}

}  // namespace

void EnsureQApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "totamund";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    UseDialogFont();
}
