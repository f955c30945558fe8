#include "platform/vcl/forms/guiscreen.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

#include "platform/vcl/forms/forms.h"
#include "platform/vcl/graphics/fontlist.h"
#include "platform/vcl/qt/qapp.h"

TGuiScreen* GuiScreen()
{
    if (auto* screen = dynamic_cast<TGuiScreen*>(Screen()))
        return screen;
    SetScreen(std::make_unique<TGuiScreen>());
    return static_cast<TGuiScreen*>(Screen());
}

TWinControl* TGuiScreen::ActiveControl() const
{
    return FActiveForm ? FActiveForm->ActiveControl() : nullptr;
}

void TGuiScreen::SetCursor(TCursor Value)
{
    if (Value == FCursor)
        return;
    EnsureQApplication();
    if (FCursor != crDefault)
        QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (Value == crHourGlass || Value == crSQLWait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (Value != crDefault)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
}

int TGuiScreen::PixelsPerInch() const
{
    EnsureQApplication();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(screen->logicalDotsPerInch()) : ScreenPixelsPerInch;
}

int TGuiScreen::Width() const
{
    EnsureQApplication();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

int TGuiScreen::Height() const
{
    EnsureQApplication();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

TRect TGuiScreen::WorkAreaRect() const
{
    EnsureQApplication();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return TRect {};
    const QRect area = screen->availableGeometry();
    return Bounds(area.x(), area.y(), area.width(), area.height());
}

TStrings* TGuiScreen::Fonts()
{
    ListInstalledFonts(FFonts, false);
    return &FFonts;
}
