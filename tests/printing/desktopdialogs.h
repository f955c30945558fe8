#pragma once
// The desktop as a user meets it, for tests that need more than scripted answers:
// the real message boxes and print dialog, answered through the window system, and
// a print system that has no printer.

#include <cups/cups.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/vcl/dialogs/dialogs.h"

// For its lifetime the print system's scheduler is one that nothing answers on, so
// that no printer is installed.
class TNoPrintSystem {
public:
    explicit TNoPrintSystem(const String& DeadSocket)
    {
        ::setenv("CUPS_SERVER", DeadSocket.c_str(), 1);
        cupsSetServer(DeadSocket.c_str());
    }
    ~TNoPrintSystem()
    {
        cupsSetServer(nullptr);
        ::unsetenv("CUPS_SERVER");
    }
    TNoPrintSystem(const TNoPrintSystem&) = delete;
    TNoPrintSystem& operator=(const TNoPrintSystem&) = delete;
};

// For its lifetime the desktop's dialogs are in use in place of the scripted ones.
// Each message box that comes up is noted in Texts and answered with Enter through
// its window; any other dialog is closed, so that a test cannot hang on it.
class TDesktopDialogs {
public:
    explicit TDesktopDialogs(std::vector<String>& Texts) : FPrevious(SetDialogService(nullptr))
    {
        QObject::connect(&FWatch, &QTimer::timeout, [&Texts] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                Texts.push_back(box->text().toStdString());
                QTest::keyClick(box->windowHandle(), Qt::Key_Return);
            } else {
                Texts.push_back("dialog: " + modal->windowTitle().toStdString());
                modal->close();
            }
        });
        FWatch.start(10);
    }
    ~TDesktopDialogs() { SetDialogService(FPrevious); }
    TDesktopDialogs(const TDesktopDialogs&) = delete;
    TDesktopDialogs& operator=(const TDesktopDialogs&) = delete;

private:
    TDialogService* FPrevious;
    QTimer FWatch;
};
