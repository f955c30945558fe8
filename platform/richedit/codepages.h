#pragma once
// The Windows code pages of RTF text, through glibc's iconv.

#include <QByteArray>
#include <QString>

namespace rtf {

// The code page an \fcharset stands for; 0 when the charset names none (Windows-1252 then).
int CodePageOfCharset(int Charset);
// The charset a code page is written as.
int CharsetOfCodePage(int CodePage);
// Bytes in the code page (Windows-1252 when it is unknown to iconv); a byte that does not
// convert becomes U+FFFD.
QString DecodeCodePage(const QByteArray& Bytes, int CodePage);
// The character in Windows-1252, or -1 when it has none there.
int EncodeCp1252(QChar C);

}  // namespace rtf
