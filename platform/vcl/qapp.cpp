#include "platform/vcl/qapp.h"

#include <QApplication>

void EnsureQApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "totamund";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}
