#pragma once
// Keeping what a user sees as a picture under build/screenshots/, for a person to look at.
// For the test targets that define TOTAMUND_SCREENSHOT_DIR.

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <gtest/gtest.h>

inline void KeepScreenshot(const QImage& Picture, const QString& Name)
{
    ASSERT_TRUE(QDir().mkpath(TOTAMUND_SCREENSHOT_DIR));
    ASSERT_TRUE(Picture.save(QStringLiteral(TOTAMUND_SCREENSHOT_DIR "/") + Name, "PNG"))
            << Name.toStdString();
}

inline void KeepScreenshot(const QPixmap& Picture, const QString& Name)
{
    KeepScreenshot(Picture.toImage(), Name);
}
