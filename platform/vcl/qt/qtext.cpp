#include "platform/vcl/qt/qtext.h"

#include "platform/rtl/cp1252.h"

QString ToQString(const String& S)
{
    const std::string utf8 = Cp1252ToUtf8(S);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

String FromQString(const QString& S)
{
    const QByteArray utf8 = S.toUtf8();
    return Utf8ToCp1252(std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
}
