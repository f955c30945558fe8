#include "platform/richedit/rtfwriter.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <cmath>

#include "platform/richedit/codepages.h"
#include "platform/richedit/rtfformat.h"

namespace rtf {

namespace {

struct FontEntry {
    QString Family;
    int Charset = 0;
};

class Writer {
public:
    Writer(const QTextDocument& Document, int From, int To) : FDocument(Document), FFrom(From), FTo(To) {
        const QFont font = Document.defaultFont();
        FDefaultFamily = font.family();
        FDefaultPoints = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
        FFonts.append({FDefaultFamily, 0});
    }

    QByteArray Run() {
        QByteArray body;
        for (QTextBlock block = FDocument.findBlock(FFrom); block.isValid() && block.position() <= FTo;
             block = block.next()) {
            if (block.position() + block.length() - 1 < FFrom) continue;
            Paragraph(body, block);
            const bool markInRange = block.position() + block.length() - 1 < FTo && block.next().isValid();
            if (!markInRange) break;
            body += "\\par\r\n";
        }
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
        for (int i = 0; i < FFonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" +
                   QByteArray::number(FFonts[i].Charset) + ' ' + FontName(FFonts[i].Family) + ";}";
        out += '}';
        if (!FColors.isEmpty()) {
            out += "{\\colortbl ;";
            for (const QColor& c : FColors)
                out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
                       "\\blue" + QByteArray::number(c.blue()) + ';';
            out += '}';
        }
        out += "\r\n\\viewkind4\\uc1";
        out += body;
        out += "}\r\n";
        return out;
    }

private:
    void Paragraph(QByteArray& Out, const QTextBlock& Block) {
        const QTextBlockFormat format = Block.blockFormat();
        Out += "\\pard";
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignRight)
            Out += "\\qr";
        else if (align & Qt::AlignHCenter)
            Out += "\\qc";
        else if (align & Qt::AlignJustify)
            Out += "\\qj";
        Measure(Out, "\\li", BlockTwips(format, LeftIndent, format.leftMargin()));
        Measure(Out, "\\ri", BlockTwips(format, RightIndent, format.rightMargin()));
        Measure(Out, "\\fi", BlockTwips(format, FirstLineIndent, format.textIndent()));
        Measure(Out, "\\sb", BlockTwips(format, SpaceBefore, format.topMargin()));
        Measure(Out, "\\sa", BlockTwips(format, SpaceAfter, format.bottomMargin()));
        if (const int spacing = format.intProperty(LineSpacing); spacing != 0)
            Out += "\\sl" + QByteArray::number(spacing) + "\\slmult" +
                   QByteArray::number(format.intProperty(LineSpacingMultiple));
        for (const int tab : TabStopTwips(format)) Out += "\\tx" + QByteArray::number(tab);
        if (Block.textList())
            Out += "{\\pntext\\f0 \\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'95}}";
        FLastCharacters.clear();
        for (auto it = Block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), FFrom);
            const int end = std::min(fragment.position() + fragment.length(), FTo);
            if (start >= end) continue;
            const QTextCharFormat chars = fragment.charFormat();
            if (chars.hasProperty(KeptGroup)) {
                const int id = chars.intProperty(KeptGroupId);
                if (id != FLastKeptGroup) Out += chars.property(KeptGroup).toByteArray();
                FLastKeptGroup = id;
                continue;
            }
            FLastKeptGroup = 0;
            if (chars.isImageFormat()) {
                for (int i = start; i < end; ++i) Picture(Out, chars.toImageFormat());
                continue;
            }
            Characters(Out, chars);
            Out += Text(fragment.text().mid(start - fragment.position(), end - start), NeedsUnicode(chars));
        }
    }

    static int BlockTwips(const QTextBlockFormat& Format, int Property, qreal Pixels) {
        return Format.hasProperty(Property) ? Format.intProperty(Property)
                                            : static_cast<int>(std::lround(Pixels * TwipsPerPixel));
    }

    static void Measure(QByteArray& Out, const char* Word, int Twips) {
        if (Twips != 0) Out += Word + QByteArray::number(Twips);
    }

    void Characters(QByteArray& Out, const QTextCharFormat& Format) {
        QByteArray words = "\\plain";
        const QStringList families = Format.fontFamilies().toStringList();
        words += "\\f" + QByteArray::number(FontIndex(families.isEmpty() ? FDefaultFamily : families.first(),
                                                      Format.intProperty(FontCharset)));
        const double points = Format.fontPointSize() > 0 ? Format.fontPointSize() : FDefaultPoints;
        words += "\\fs" + QByteArray::number(static_cast<int>(std::lround(points * 2)));
        if (Format.fontWeight() >= QFont::DemiBold) words += "\\b";
        if (Format.fontItalic()) words += "\\i";
        if (Format.fontUnderline()) words += "\\ul";
        if (Format.fontStrikeOut()) words += "\\strike";
        if (Format.hasProperty(QTextFormat::ForegroundBrush) && Format.foreground().style() != Qt::NoBrush)
            words += "\\cf" + QByteArray::number(ColorIndex(Format.foreground().color()));
        if (Format.hasProperty(QTextFormat::BackgroundBrush) && Format.background().style() != Qt::NoBrush)
            words += "\\highlight" + QByteArray::number(ColorIndex(Format.background().color()));
        if (Format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            words += "\\super";
        else if (Format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            words += "\\sub";
        if (words == FLastCharacters) return;
        FLastCharacters = words;
        Out += words + ' ';
    }

    // Text in a font of another code page goes as Unicode, never as that page's bytes.
    static bool NeedsUnicode(const QTextCharFormat& Format) {
        const int codePage = CodePageOfCharset(Format.intProperty(FontCharset));
        return codePage != 0 && codePage != 1252;
    }

    int FontIndex(const QString& Family, int Charset) {
        for (int i = 0; i < FFonts.size(); ++i)
            if (FFonts[i].Family == Family) return i;
        FFonts.append({Family, Charset});
        return static_cast<int>(FFonts.size() - 1);
    }

    int ColorIndex(const QColor& Color) {
        const QColor rgb = Color.toRgb();
        for (int i = 0; i < FColors.size(); ++i)
            if (FColors[i].rgb() == rgb.rgb()) return i + 1;
        FColors.append(rgb);
        return static_cast<int>(FColors.size());
    }

    static QByteArray Text(const QString& S, bool Unicode) {
        QByteArray out;
        for (const QChar c : S) {
            const char16_t u = c.unicode();
            if (u == '\\' || u == '{' || u == '}')
                out += QByteArray("\\") + static_cast<char>(u);
            else if (u == '\t')
                out += "\\tab ";
            else if (u == QChar::LineSeparator)
                out += "\\line ";
            else if (u == 0x00A0)
                out += "\\~";
            else if (u < 0x20)
                continue;
            else if (u < 0x80)
                out += static_cast<char>(u);
            else if (const int b = Unicode ? -1 : EncodeCp1252(c); b >= 0)
                out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            else
                out += "\\u" + QByteArray::number(static_cast<int>(static_cast<int16_t>(u))) + '?';
        }
        return out;
    }

    // A name in the font table: Windows-1252 only, and no ';', which would end it.
    static QByteArray FontName(QString Name) {
        for (QChar& c : Name)
            if (c == ';' || c < ' ' || (c.unicode() >= 0x80 && EncodeCp1252(c) < 0)) c = '?';
        return Text(Name, false);
    }

    void Picture(QByteArray& Out, const QTextImageFormat& Format) {
        QByteArray data = Format.property(PictureData).toByteArray();
        QByteArray kind = Format.property(PictureKind).toByteArray();
        const QImage image =
                FDocument.resource(QTextDocument::ImageResource, QUrl(Format.name())).value<QImage>();
        if (data.isEmpty() || kind.isEmpty()) {
            if (image.isNull()) return;
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            kind = "pngblip";
        }
        const int width = image.isNull() ? 0 : image.width();
        const int height = image.isNull() ? 0 : image.height();
        Out += "{\\pict\\" + kind + "\\picw" + QByteArray::number(width) + "\\pich" +
               QByteArray::number(height) + "\\picwgoal" +
               QByteArray::number(std::lround(Format.width() * TwipsPerPixel)) + "\\pichgoal" +
               QByteArray::number(std::lround(Format.height() * TwipsPerPixel));
        const QByteArray hex = data.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 128) Out += "\r\n" + hex.mid(i, 128);
        Out += '}';
        FLastCharacters.clear();
    }

    const QTextDocument& FDocument;
    const int FFrom, FTo;
    QString FDefaultFamily;
    double FDefaultPoints = 10;
    QList<FontEntry> FFonts;
    QList<QColor> FColors;
    QByteArray FLastCharacters;
    int FLastKeptGroup = 0;
};

}  // namespace

QByteArray WriteRtf(const QTextDocument& Document) {
    return Writer(Document, 0, Document.characterCount() - 1).Run();
}

QByteArray WriteRtf(const QTextCursor& Selection) {
    if (!Selection.hasSelection()) return WriteRtf(*Selection.document());
    return Writer(*Selection.document(), Selection.selectionStart(), Selection.selectionEnd()).Run();
}

}  // namespace rtf
