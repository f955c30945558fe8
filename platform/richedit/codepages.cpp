#include "platform/richedit/codepages.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace rtf {

namespace {

// Every charset RTF names, with the code page its text is in. Charset 1 is the document's
// own code page (\ansicpg); 2 (symbol fonts) keeps its bytes as Windows-1252 characters.
constexpr std::array<std::pair<int, int>, 34> CharsetCodePages {{
        {0, 1252},   {2, 1252},   {77, 10000}, {78, 10001}, {79, 10003}, {80, 10008}, {81, 10002},
        {82, 1361},  {83, 10005}, {84, 10004}, {85, 10006}, {86, 10081}, {87, 10021}, {88, 10029},
        {89, 10007}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},  {161, 1253},
        {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {179, 1256}, {180, 1256}, {181, 1255},
        {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},
}};

// iconv's names of the code pages it does not call "CP" and a number; the Mac pages of the
// Far East are read as the Windows pages they extend.
std::string IconvName(int CodePage)
{
    switch (CodePage) {
    case 10000: return "MACINTOSH";
    case 10001: return "CP932";
    case 10002: return "CP950";
    case 10003: return "CP949";
    case 10007: return "MAC-CYRILLIC";
    case 10008: return "CP936";
    case 10029: return "MAC-CENTRALEUROPE";
    case 1361: return "JOHAB";
    default: return "CP" + std::to_string(CodePage);
    }
}

// Windows-1252's characters 0x80 to 0x9F; 0 where it has none.
constexpr std::array<char16_t, 32> Cp1252High {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString DecodeCp1252(const QByteArray& Bytes)
{
    // Latin-1 but for 0x80 to 0x9F, which text seldom has.
    QString text = QString::fromLatin1(Bytes);
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && u < 0xA0 && Cp1252High[u - 0x80])
            c = QChar(Cp1252High[u - 0x80]);
    }
    return text;
}

// Closes the descriptor however the conversion ends.
class Converter {
public:
    explicit Converter(int CodePage) : FHandle(iconv_open("UTF-16LE", IconvName(CodePage).c_str())) { }
    ~Converter()
    {
        if (Usable())
            iconv_close(FHandle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Usable() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

    QString Convert(const QByteArray& Bytes)
    {
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        QString text;
        QByteArray input = Bytes;
        char* in = input.data();
        size_t inLeft = static_cast<size_t>(input.size());
        std::array<char, 4096> buffer {};
        while (inLeft > 0) {
            char* out = buffer.data();
            size_t outLeft = buffer.size();
            const size_t done = iconv(FHandle, &in, &inLeft, &out, &outLeft);
            const auto written = static_cast<qsizetype>(buffer.size() - outLeft);
            text.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer.data()), written / 2));
            if (done != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // A byte that is not (or not whole) a character of the code page.
            text.append(QChar(0xFFFD));
            ++in;
            --inLeft;
            iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        }
        return text;
    }

private:
    iconv_t FHandle;
};

}  // namespace

int CodePageOfCharset(int Charset)
{
    for (const auto& [charset, codePage] : CharsetCodePages)
        if (charset == Charset)
            return codePage;
    return 0;
}

QString DecodeCodePage(const QByteArray& Bytes, int CodePage)
{
    if (CodePage == 1252 || CodePage <= 0)
        return DecodeCp1252(Bytes);
    // Opening a converter costs more than most texts do: each thread keeps those it used.
    thread_local std::map<int, std::unique_ptr<Converter>> converters;
    std::unique_ptr<Converter>& converter = converters[CodePage];
    if (!converter)
        converter = std::make_unique<Converter>(CodePage);
    return converter->Usable() ? converter->Convert(Bytes) : DecodeCp1252(Bytes);
}

int EncodeCp1252(QChar C)
{
    const char16_t u = C.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    // The five bytes the page leaves free read as the control characters of their value.
    if (u < 0xA0 && !Cp1252High[u - 0x80])
        return u;
    for (size_t i = 0; i < Cp1252High.size(); ++i)
        if (Cp1252High[i] && Cp1252High[i] == u)
            return static_cast<int>(0x80 + i);
    return -1;
}

CodePageEncoder::CodePageEncoder(int CodePage) : FCodePage(CodePage <= 0 ? 1252 : CodePage)
{
    if (FCodePage == 1252)
        return;
    const iconv_t handle = iconv_open(IconvName(FCodePage).c_str(), "UTF-32LE");
    if (handle != reinterpret_cast<iconv_t>(-1))
        FHandle = handle;
}

CodePageEncoder::~CodePageEncoder()
{
    if (FHandle)
        iconv_close(static_cast<iconv_t>(FHandle));
}

QByteArray CodePageEncoder::Encode(char32_t C)
{
    if (FCodePage == 1252 || !FHandle) {
        const int byte = C <= 0xFFFF ? EncodeCp1252(QChar(static_cast<char16_t>(C))) : -1;
        return byte < 0 ? QByteArray() : QByteArray(1, static_cast<char>(byte));
    }
    if (const auto known = FKnown.constFind(C); known != FKnown.constEnd())
        return *known;
    auto handle = static_cast<iconv_t>(FHandle);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    std::array<char, 4> in {static_cast<char>(C & 0xFF), static_cast<char>((C >> 8) & 0xFF),
                            static_cast<char>((C >> 16) & 0xFF), static_cast<char>((C >> 24) & 0xFF)};
    std::array<char, 16> out {};
    char* inAt = in.data();
    char* outAt = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    QByteArray bytes;
    if (iconv(handle, &inAt, &inLeft, &outAt, &outLeft) != static_cast<size_t>(-1) &&
        iconv(handle, nullptr, nullptr, &outAt, &outLeft) != static_cast<size_t>(-1))
        bytes = QByteArray(out.data(), static_cast<qsizetype>(out.size() - outLeft));
    // Only bytes that read back as the same character: a page's look-alikes would change
    // the text.
    const char16_t units[2] = {QChar::highSurrogate(C), QChar::lowSurrogate(C)};
    const QString original = QChar::requiresSurrogates(C) ? QString(reinterpret_cast<const QChar*>(units), 2)
                                                          : QString(QChar(static_cast<char16_t>(C)));
    if (!bytes.isEmpty() && DecodeCodePage(bytes, FCodePage) != original)
        bytes.clear();
    FKnown.insert(C, bytes);
    return bytes;
}

}  // namespace rtf
