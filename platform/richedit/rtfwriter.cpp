#include "platform/richedit/rtfwriter.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/richedit/codepages.h"
#include "platform/richedit/rtfformat.h"

namespace rtf {

namespace {

struct FontEntry {
    QString Family;
    int Charset = 0;
};

// A list as written: its \ls number and the definitions of the levels its items use.
struct WrittenList {
    WrittenList() { LevelFonts.fill(-1); }
    std::array<std::optional<ListLevelDefinition>, 9> Levels;
    std::array<int, 9> LevelFonts;  // font table index of a level's own font, or -1
};

class Writer {
public:
    Writer(const QTextDocument& Document, int From, int To, bool Whole)
        : FDocument(Document), FFrom(From), FTo(To), FWhole(Whole)
    {
        const QFont font = Document.defaultFont();
        FDefaultFamily = font.family();
        FDefaultPoints = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
        FFonts.append({FDefaultFamily, 0});
    }

    QByteArray Run()
    {
        QByteArray body;
        const QTextFrame* root = FDocument.rootFrame();
        Content(body, root->begin(), root->end(), 0, "\\par");
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
        for (int i = 0; i < FFonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" +
                   QByteArray::number(FFonts[i].Charset) + ' ' +
                   FontName(FFonts[i].Family, FFonts[i].Charset) + ";}";
        out += '}';
        if (!FColors.isEmpty()) {
            out += "{\\colortbl ;";
            for (const QColor& c : FColors)
                out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
                       "\\blue" + QByteArray::number(c.blue()) + ';';
            out += '}';
        }
        ListTables(out);
        out += "\r\n\\viewkind4\\uc1";
        out += body;
        out += "}\r\n";
        return out;
    }

private:
    // The blocks and tables from Begin to End, at a table depth; the last paragraph ends
    // with LastMark.
    void Content(QByteArray& Out, QTextFrame::iterator Begin, const QTextFrame::iterator& End, int Depth,
                 const char* LastMark)
    {
        for (QTextFrame::iterator it = Begin; it != End; ++it) {
            QTextFrame::iterator next = it;
            ++next;
            if (QTextFrame* frame = it.currentFrame()) {
                if (!Intersects(frame->firstPosition(), frame->lastPosition()))
                    continue;
                auto* table = qobject_cast<QTextTable*>(frame);
                if (table && (FWhole || Within(table->firstPosition() - 1, table->lastPosition() + 1)))
                    Table(Out, *table, Depth + 1);
                else
                    Content(Out, frame->begin(), frame->end(), Depth, "\\par");
                continue;
            }
            const QTextBlock block = it.currentBlock();
            const int markPosition = block.position() + block.length() - 1;
            if (!Intersects(block.position(), markPosition))
                continue;
            // The block that stands before each table holds nothing of its own.
            if (next != End && next.currentFrame() && block.length() == 1)
                continue;
            Paragraph(Out, block, Depth);
            const bool last = next == End;
            if (FWhole || markPosition < FTo)
                Out += last ? LastMark : "\\par";
            Out += "\r\n";
        }
    }

    bool Intersects(int First, int Last) const { return FWhole || (Last >= FFrom && First <= FTo); }
    bool Within(int First, int Last) const { return First >= FFrom && Last <= FTo; }

    void Table(QByteArray& Out, const QTextTable& Table, int Depth)
    {
        for (int row = 0; row < Table.rows(); ++row) {
            QByteArray definition = "\\trowd\\trgaph108";
            bool nested = false;
            std::vector<QTextTableCell> cells;
            int edge = 0;
            for (int column = 0; column < Table.columns(); ++column) {
                const QTextTableCell cell = Table.cellAt(row, column);
                if (cell.row() != row || cell.column() != column)
                    continue;  // inside a merged cell
                const QTextCharFormat format = cell.format();
                if (format.boolProperty(CellPadding) && cell.firstPosition() == cell.lastPosition())
                    continue;
                edge = format.hasProperty(CellRightEdge) ? format.intProperty(CellRightEdge)
                                                         : edge + DefaultCellTwips;
                definition += "\\cellx" + QByteArray::number(edge);
                cells.push_back(cell);
                for (auto it = cell.begin(); !it.atEnd() && !nested; ++it)
                    nested = it.currentFrame() != nullptr;
            }
            if (Depth == 1)
                Out += definition + "\r\n";
            for (const QTextTableCell& cell : cells)
                Content(Out, cell.begin(), cell.end(), Depth, Depth == 1 ? "\\cell" : "\\nestcell");
            if (Depth == 1)
                Out += (nested ? definition : QByteArray()) + "\\row\r\n";
            else
                Out += "{\\*\\nesttableprops" + definition + "\\nestrow}{\\nonesttables\\par}\r\n";
        }
    }

    void Paragraph(QByteArray& Out, const QTextBlock& Block, int Depth)
    {
        const QTextBlockFormat format = Block.blockFormat();
        Out += "\\pard";
        if (Depth > 0)
            Out += "\\intbl";
        if (Depth > 1)
            Out += "\\itap" + QByteArray::number(Depth);
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
        for (const int tab : TabStopTwips(format))
            Out += "\\tx" + QByteArray::number(tab);
        FLastCharacters.clear();
        if (const QTextList* list = Block.textList())
            ListItem(Out, *list);
        for (auto it = Block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = FWhole ? fragment.position() : std::max(fragment.position(), FFrom);
            const int end = FWhole ? fragment.position() + fragment.length()
                                   : std::min(fragment.position() + fragment.length(), FTo);
            if (start >= end)
                continue;
            const QTextCharFormat chars = fragment.charFormat();
            const int formatIndex = fragment.charFormatIndex();
            Field(Out, FieldOf(formatIndex, chars));
            if (chars.hasProperty(KeptGroup)) {
                const int id = chars.intProperty(KeptGroupId);
                if (id != FLastKeptGroup)
                    Out += chars.property(KeptGroup).toByteArray();
                FLastKeptGroup = id;
                continue;
            }
            FLastKeptGroup = 0;
            if (chars.isImageFormat()) {
                for (int i = start; i < end; ++i)
                    Picture(Out, chars.toImageFormat());
                continue;
            }
            Characters(Out, formatIndex, chars);
            const QString text = fragment.text();
            Text(Out, QStringView(text).mid(start - fragment.position(), end - start), *FEncoder);
        }
        CloseField(Out);
    }

    static int BlockTwips(const QTextBlockFormat& Format, int Property, qreal Pixels)
    {
        return Format.hasProperty(Property) ? Format.intProperty(Property)
                                            : static_cast<int>(std::lround(Pixels * TwipsPerPixel));
    }

    static void Measure(QByteArray& Out, const char* Word, int Twips)
    {
        if (Twips != 0)
            Out += Word + QByteArray::number(Twips);
    }

    // ---- fields

    // The field (its id and instruction) whose result is in a format; made once for each of
    // the document's formats, by their index.
    const std::pair<int, QString>& FieldOf(int Index, const QTextCharFormat& Format)
    {
        auto known = FFieldOfFormat.find(Index);
        if (known != FFieldOfFormat.end())
            return known->second;
        QString instruction = Format.stringProperty(FieldInstruction);
        if (instruction.isEmpty() && Format.isAnchor() && !Format.anchorHref().isEmpty())
            instruction = "HYPERLINK \"" + Format.anchorHref() + '"';
        return FFieldOfFormat.emplace(Index, std::pair(Format.intProperty(FieldId), instruction))
                .first->second;
    }

    // Opens the field a run of characters is the result of, closing the one before.
    void Field(QByteArray& Out, const std::pair<int, QString>& Field)
    {
        if (Field == FOpenField)
            return;
        CloseField(Out);
        if (Field.second.isEmpty())
            return;
        Out += "{\\field{\\*\\fldinst\\plain\\f0 ";
        Text(Out, Field.second, Encoder(0));
        Out += "}{\\fldrslt ";
        FOpenField = Field;
        FLastCharacters.clear();
    }

    void CloseField(QByteArray& Out)
    {
        if (FOpenField.second.isEmpty())
            return;
        Out += "}}";
        FOpenField = {};
        FLastCharacters.clear();
    }

    // ---- lists

    // The list words of an item and its label for readers that do not number lists.
    void ListItem(QByteArray& Out, const QTextList& List)
    {
        const ListLevelDefinition level = ListLevelOf(List.format());
        const int identity = List.format().intProperty(ListIdentity);
        const qint64 key = identity > 0 ? identity : -static_cast<qint64>(reinterpret_cast<quintptr>(&List));
        auto known = FListNumbers.find(key);
        if (known == FListNumbers.end()) {
            known = FListNumbers.emplace(key, static_cast<int>(FLists.size()) + 1).first;
            FLists.emplace_back();
        }
        WrittenList& written = FLists[static_cast<size_t>(known->second - 1)];
        const auto at = static_cast<size_t>(level.Level);
        if (!written.Levels[at]) {
            written.Levels[at] = level;
            written.LevelFonts[at] = level.Font.isEmpty() ? -1 : FontIndex(level.Font, 0);
        }
        const QString label = FNumbering.Next(key, level);
        Out += "\\ls" + QByteArray::number(known->second) + "\\ilvl" + QByteArray::number(level.Level) +
               "{\\listtext\\plain\\f0 ";
        Text(Out, label, Encoder(0));
        Out += "\\tab}";
    }

    void ListTables(QByteArray& Out)
    {
        if (FLists.empty())
            return;
        Out += "{\\*\\listtable";
        for (size_t i = 0; i < FLists.size(); ++i) {
            const QByteArray id = QByteArray::number(static_cast<int>(i) + 1);
            Out += "\r\n{\\list\\listtemplateid" + id;
            for (int at = 0; at < 9; ++at) {
                ListLevelDefinition level;
                level.Level = at;
                level.Style = NumberDecimal;
                level.Text = QString(QChar(at)) + '.';
                // A level no item uses numbers as the list's definition says.
                for (const auto& used : FLists[i].Levels)
                    if (used && at < used->LevelStyles.size())
                        level.Style = used->LevelStyles[at];
                if (level.Style == NumberBullet || level.Style == NumberNone)
                    level.Text = QString(QChar(0x2022));
                if (const auto& used = FLists[i].Levels[static_cast<size_t>(at)])
                    level = *used;
                ListLevel(Out, level, FLists[i].LevelFonts[static_cast<size_t>(at)]);
            }
            Out += "\\listid" + id + '}';
        }
        Out += "}\r\n{\\*\\listoverridetable";
        for (size_t i = 0; i < FLists.size(); ++i) {
            const QByteArray id = QByteArray::number(static_cast<int>(i) + 1);
            Out += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + '}';
        }
        Out += '}';
    }

    void ListLevel(QByteArray& Out, const ListLevelDefinition& Level, int Font)
    {
        const QByteArray style = QByteArray::number(Level.Style);
        const QStringView text = QStringView(Level.Text).left(MaxLevelTextLength);
        Out += "{\\listlevel\\levelnfc" + style + "\\levelnfcn" + style +
               "\\leveljc0\\levelfollow0\\levelstartat" + QByteArray::number(Level.StartAt) +
               "{\\leveltext\\'" + Hex(static_cast<int>(text.size()));
        QByteArray numbers;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c.unicode() < 9) {
                Out += "\\'" + Hex(c.unicode());
                numbers += "\\'" + Hex(static_cast<int>(i + 1));
            } else
                Text(Out, QStringView(&c, 1), Encoder(0));
        }
        Out += ";}{\\levelnumbers" + numbers + ";}";
        if (Font >= 0)
            Out += "\\f" + QByteArray::number(Font);
        Out += "\\fi-360\\li" + QByteArray::number(720 * (Level.Level + 1)) + '}';
    }

    static QByteArray Hex(int Byte) { return QByteArray::number(Byte & 0xFF, 16).rightJustified(2, '0'); }

    // ---- characters

    // The words of a format of the document (by its index) and the encoder of its text.
    void Characters(QByteArray& Out, int Index, const QTextCharFormat& Format)
    {
        auto known = FCharacterWords.find(Index);
        if (known == FCharacterWords.end())
            known = FCharacterWords.emplace(Index, CharacterWords(Format)).first;
        const auto& [words, encoder] = known->second;
        FEncoder = encoder;
        if (words == FLastCharacters)
            return;
        FLastCharacters = words;
        Out += words;
        Out += ' ';
    }

    std::pair<QByteArray, CodePageEncoder*> CharacterWords(const QTextCharFormat& Format)
    {
        QByteArray words = "\\plain";
        const QStringList families = Format.fontFamilies().toStringList();
        const int font = FontIndex(families.isEmpty() ? FDefaultFamily : families.first(),
                                   Format.intProperty(FontCharset));
        words += "\\f" + QByteArray::number(font);
        const double points = Format.fontPointSize() > 0 ? Format.fontPointSize() : FDefaultPoints;
        words += "\\fs" + QByteArray::number(static_cast<int>(std::lround(points * 2)));
        if (Format.fontWeight() >= QFont::DemiBold)
            words += "\\b";
        if (Format.fontItalic())
            words += "\\i";
        if (Format.fontUnderline())
            words += "\\ul";
        if (Format.fontStrikeOut())
            words += "\\strike";
        if (Format.hasProperty(QTextFormat::ForegroundBrush) && Format.foreground().style() != Qt::NoBrush)
            words += "\\cf" + QByteArray::number(ColorIndex(Format.foreground().color()));
        if (Format.hasProperty(QTextFormat::BackgroundBrush) && Format.background().style() != Qt::NoBrush)
            words += "\\highlight" + QByteArray::number(ColorIndex(Format.background().color()));
        if (Format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            words += "\\super";
        else if (Format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            words += "\\sub";
        return {words, &Encoder(FFonts[font].Charset)};
    }

    // The encoder of a font's charset; the document's own page is Windows-1252.
    CodePageEncoder& Encoder(int Charset)
    {
        const int codePage = CodePageOfCharset(Charset) ? CodePageOfCharset(Charset) : 1252;
        std::unique_ptr<CodePageEncoder>& encoder = FEncoders[codePage];
        if (!encoder)
            encoder = std::make_unique<CodePageEncoder>(codePage);
        return *encoder;
    }

    int FontIndex(const QString& Family, int Charset)
    {
        for (int i = 0; i < FFonts.size(); ++i)
            if (FFonts[i].Family == Family && FFonts[i].Charset == Charset)
                return i;
        FFonts.append({Family, Charset});
        return static_cast<int>(FFonts.size() - 1);
    }

    int ColorIndex(const QColor& Color)
    {
        const QColor rgb = Color.toRgb();
        for (int i = 0; i < FColors.size(); ++i)
            if (FColors[i].rgb() == rgb.rgb())
                return i + 1;
        FColors.append(rgb);
        return static_cast<int>(FColors.size());
    }

    // Text in the code page of its font; what the page cannot hold goes as Unicode.
    static void Text(QByteArray& Out, QStringView S, CodePageEncoder& Encoder)
    {
        for (qsizetype i = 0; i < S.size(); ++i) {
            const char16_t u = S[i].unicode();
            if (u == '\\' || u == '{' || u == '}') {
                Out += '\\';
                Out += static_cast<char>(u);
            } else if (u == '\t')
                Out += "\\tab ";
            else if (u == QChar::LineSeparator)
                Out += "\\line ";
            else if (u == 0x00A0)
                Out += "\\~";
            else if (u == 0x00AD)
                Out += "\\-";
            else if (u < 0x20)
                continue;
            else if (u < 0x80)
                Out += static_cast<char>(u);
            else {
                const bool pair = QChar::isHighSurrogate(u) && i + 1 < S.size() &&
                                  QChar::isLowSurrogate(S[i + 1].unicode());
                const char32_t code = pair ? QChar::surrogateToUcs4(u, S[i + 1].unicode()) : u;
                const QByteArray bytes = Encoder.Encode(code);
                if (!bytes.isEmpty()) {
                    for (const char b : bytes)
                        Out += "\\'" + Hex(b);
                } else {
                    Out += "\\u" + QByteArray::number(static_cast<int>(static_cast<int16_t>(u))) + '?';
                    if (pair)
                        Out += "\\u" +
                               QByteArray::number(
                                       static_cast<int>(static_cast<int16_t>(S[i + 1].unicode()))) +
                               '?';
                }
                if (pair)
                    ++i;
            }
        }
    }

    // A name in the font table, in its own charset's code page, and no ';', which would
    // end it; what the page cannot hold is a question mark.
    QByteArray FontName(const QString& Name, int Charset)
    {
        CodePageEncoder& encoder = Encoder(Charset);
        QByteArray out;
        for (const QChar c : Name) {
            const char16_t u = c.unicode();
            const QByteArray bytes = u >= 0x80 && !c.isSurrogate() ? encoder.Encode(u) : QByteArray();
            if (u == '\\' || u == '{' || u == '}')
                out += QByteArray("\\") + static_cast<char>(u);
            else if (u == ';' || u < ' ' || (u >= 0x80 && bytes.isEmpty()))
                out += '?';
            else if (u < 0x80)
                out += static_cast<char>(u);
            else
                for (const char b : bytes)
                    out += "\\'" + Hex(b);
        }
        return out;
    }

    void Picture(QByteArray& Out, const QTextImageFormat& Format)
    {
        QByteArray data = Format.property(PictureData).toByteArray();
        QByteArray kind = Format.property(PictureKind).toByteArray();
        const QImage image =
                FDocument.resource(QTextDocument::ImageResource, QUrl(Format.name())).value<QImage>();
        if (data.isEmpty() || kind.isEmpty()) {
            if (image.isNull())
                return;
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
        for (qsizetype i = 0; i < hex.size(); i += 128)
            Out += "\r\n" + hex.mid(i, 128);
        Out += '}';
        FLastCharacters.clear();
    }

    const QTextDocument& FDocument;
    const int FFrom, FTo;
    // The whole document: every paragraph mark is written, the last one too.
    const bool FWhole;
    QString FDefaultFamily;
    double FDefaultPoints = 10;
    QList<FontEntry> FFonts;
    QList<QColor> FColors;
    QByteArray FLastCharacters;
    int FLastKeptGroup = 0;
    std::map<int, std::unique_ptr<CodePageEncoder>> FEncoders;
    CodePageEncoder* FEncoder = nullptr;
    std::pair<int, QString> FOpenField;
    std::map<int, std::pair<int, QString>> FFieldOfFormat;
    std::map<int, std::pair<QByteArray, CodePageEncoder*>> FCharacterWords;
    std::map<qint64, int> FListNumbers;
    std::vector<WrittenList> FLists;
    ListNumbering FNumbering;
};

}  // namespace

QByteArray WriteRtf(const QTextDocument& Document)
{
    return Writer(Document, 0, Document.characterCount() - 1, true).Run();
}

QByteArray WriteRtf(const QTextCursor& Selection)
{
    if (!Selection.hasSelection())
        return WriteRtf(*Selection.document());
    return Writer(*Selection.document(), Selection.selectionStart(), Selection.selectionEnd(), false).Run();
}

}  // namespace rtf
