#pragma once
// The Windows code pages of RTF text, through glibc's iconv.

#include <QByteArray>
#include <QHash>
#include <QString>

namespace rtf {

// The code page an \fcharset stands for; 0 when the charset names none (Windows-1252 then).
int CodePageOfCharset(int Charset);
// Bytes in the code page (Windows-1252 when it is unknown to iconv); a byte that does not
// convert becomes U+FFFD.
QString DecodeCodePage(const QByteArray& Bytes, int CodePage);
// The character in Windows-1252, or -1 when it has none there.
int EncodeCp1252(QChar C);

// Characters in one code page, for writing.
class CodePageEncoder {
public:
    explicit CodePageEncoder(int CodePage);
    ~CodePageEncoder();
    CodePageEncoder(const CodePageEncoder&) = delete;
    CodePageEncoder& operator=(const CodePageEncoder&) = delete;
    // The character's bytes in the code page; empty when the page does not hold it.
    QByteArray Encode(char32_t C);

private:
    int FCodePage;
    void* FHandle = nullptr;
    QHash<char32_t, QByteArray> FKnown;
};

}  // namespace rtf
