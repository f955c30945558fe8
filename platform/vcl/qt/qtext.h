#pragma once
// The one crossing between the program's Windows-1252 text and Qt's strings.

#include <QString>

#include "platform/rtl/types.h"

QString ToQString(const String& S);
String FromQString(const QString& S);
