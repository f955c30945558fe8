#include "platform/vcl/graphics/fontlist.h"

#include <QFontDatabase>
#include <QStringList>

#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

void ListInstalledFonts(TStringList& Fonts, bool PrintableOnly)
{
    EnsureQApplication();
    Fonts.Clear();
    Fonts.SetSorted(true);
    Fonts.SetDuplicates(dupIgnore);
    for (const QString& family : QFontDatabase::families()) {
        const String name = FromQString(family);
        if (ToQString(name) != family || QFontDatabase::isPrivateFamily(family))
            continue;
        if (PrintableOnly && !QFontDatabase::isSmoothlyScalable(family))
            continue;
        Fonts.Add(name);
    }
}
