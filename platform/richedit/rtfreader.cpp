#include "platform/richedit/rtfreader.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "platform/richedit/codepages.h"
#include "platform/richedit/rtfformat.h"

namespace rtf {

bool LooksLikeRtf(const QByteArray& Data) { return Data.startsWith("{\\rtf"); }

namespace {

// Deeper groups are read no further: no document needs them, and hostile input must not
// grow the group stack without bound.
constexpr int MaxGroupDepth = 256;
// Pictures larger than this are not decoded (a small file can claim a huge image).
constexpr qint64 MaxPicturePixels = 40'000'000;
constexpr int DefaultFontSizeHalfPoints = 24;
// Names the pictures read, unique in the process.
int PicturesRead = 0;

// ObjectBody: an OLE object's group, of which only the result is shown.
enum class Destination { Text, Skip, FontTable, ColorTable, Picture, BulletMarker, ObjectBody };

struct ParaState {
    int Alignment = 0;  // 0 left, 1 right, 2 centre, 3 justified
    int LeftIndent = 0, RightIndent = 0, FirstLineIndent = 0;
    int SpaceBefore = 0, SpaceAfter = 0;
    int LineSpacing = 0, LineSpacingMultiple = 0;
    QVector<int> TabStops;
    bool Bulleted = false;
    bool operator==(const ParaState&) const = default;
};

struct CharState {
    int Font = -1;
    int SizeHalfPoints = DefaultFontSizeHalfPoints;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false, Hidden = false;
    int Color = 0, Highlight = 0, Background = 0;
    int VerticalAlignment = 0;  // 0 normal, 1 superscript, 2 subscript
};

struct Picture {
    QByteArray Kind;
    QByteArray Data;
    bool HighNibble = true;
    int Width = 0, Height = 0, GoalWidth = 0, GoalHeight = 0, ScaleX = 100, ScaleY = 100;
};

struct Group {
    Destination Dest = Destination::Text;
    CharState Chars;
    ParaState Para;
    int UnicodeSkip = 1;
    // Where the group's '{' stands, and whether it is an object to keep whole.
    qsizetype Start = 0;
    int StartPosition = 0;
    bool KeepsObject = false;
    int ObjectStartPosition = 0;
};

struct Font {
    QString Name;
    int Charset = 0;
};

class Reader {
public:
    Reader(const QByteArray& Data, QTextCursor& Cursor, const ReadOptions& Options)
        : FData(Data), FCursor(Cursor), FOptions(Options),
          FEnd(Options.ByteLimit > 0 ? std::min(Options.ByteLimit, Data.size()) : Data.size()) { }

    ReadResult Run() {
        FCursor.beginEditBlock();
        FCursor.removeSelectedText();
        FFirstBlock = FCursor.block().blockNumber();
        Parse();
        Flush();
        while (FGroups.size() > 1) EndGroup(FEnd, false);
        if (FDepthExceeded) Note(QStringLiteral("groups nested too deeply were skipped"));
        FinishParagraph(false);
        FCursor.endEditBlock();
        return FResult;
    }

private:
    void Note(const QString& Damage) {
        if (FResult.Damage.isEmpty()) FResult.Damage = Damage;
    }
    Group& Top() { return FGroups.back(); }

    void Parse() {
        FGroups.push_back(Group {});
        while (FPos < FEnd) {
            const char c = FData[FPos];
            if (FExcessDepth > 0) {
                // Inside groups nested too deeply: only their braces count.
                if (c == '{')
                    ++FExcessDepth;
                else if (c == '}')
                    --FExcessDepth;
                else if (c == '\\')
                    ++FPos;
                ++FPos;
                continue;
            }
            if (c == '{') {
                BeginGroup();
                ++FPos;
            } else if (c == '}') {
                ++FPos;
                if (FGroups.size() <= 1) {
                    Note(QStringLiteral("a group closes that was never opened"));
                    continue;
                }
                EndGroup(FPos, true);
                if (FGroups.size() == 1) {
                    if (!FData.mid(FPos, FEnd - FPos).trimmed().replace('\0', "").isEmpty())
                        Note(QStringLiteral("text after the document's end"));
                    return;
                }
            } else if (c == '\\') {
                ControlWord();
            } else if (c == '\r' || c == '\n') {
                ++FPos;
            } else {
                Character(static_cast<unsigned char>(c));
                ++FPos;
            }
        }
        if (FGroups.size() > 1 && FOptions.ByteLimit == 0)
            Note(QStringLiteral("the document ends inside a group"));
    }

    void BeginGroup() {
        Flush();
        FSkipCount = 0;
        Group inner = Top();
        inner.Start = FPos;
        inner.StartPosition = FCursor.position();
        inner.KeepsObject = false;
        if (static_cast<int>(FGroups.size()) >= MaxGroupDepth) {
            FDepthExceeded = true;
            FExcessDepth = 1;
            return;
        }
        FGroups.push_back(inner);
    }

    // A group that the data ends inside (Closed false) is not kept: its bytes are not whole.
    void EndGroup(qsizetype EndPos, bool Closed) {
        Flush();
        FSkipCount = 0;
        Group closing = std::move(FGroups.back());
        FGroups.pop_back();
        // Paragraph properties set in a group that held the paragraph's text hold for it.
        if (closing.Dest == Destination::Text && FParagraphHasContent && !(closing.Para == Top().Para))
            FCarriedPara = closing.Para;
        if (closing.Dest == Destination::Picture && Top().Dest != Destination::Picture)
            InsertPicture(closing, EndPos, Closed);
        if (closing.KeepsObject && Closed) KeepObject(closing, EndPos);
        if (closing.Dest == Destination::FontTable && FFontEntryOpen) FinishFontEntry();
    }

    // ---- control words

    void ControlWord() {
        ++FPos;  // the backslash
        if (FPos >= FEnd) return;
        const char c = FData[FPos];
        if (!IsLetter(c)) {
            ++FPos;
            Symbol(c);
            return;
        }
        const qsizetype wordStart = FPos;
        while (FPos < FEnd && IsLetter(FData[FPos])) ++FPos;
        const QByteArray word = FData.mid(wordStart, std::min<qsizetype>(FPos - wordStart, 32));
        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (FPos < FEnd && FData[FPos] == '-') {
            negative = true;
            ++FPos;
        }
        while (FPos < FEnd && FData[FPos] >= '0' && FData[FPos] <= '9') {
            hasParameter = true;
            parameter = std::min<long long>(parameter * 10 + (FData[FPos] - '0'), 1LL << 40);
            ++FPos;
        }
        if (negative) parameter = -parameter;
        if (FPos < FEnd && FData[FPos] == ' ') ++FPos;
        const int value = static_cast<int>(std::clamp<long long>(parameter, INT_MIN, INT_MAX));
        Word(word, hasParameter, value);
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    void Symbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}': Character(static_cast<unsigned char>(c)); return;
        case '~': Special(QChar(0x00A0)); return;
        case '_': Special(QChar(0x2011)); return;
        case '-': return;  // optional hyphen
        case '*': FIgnorable = true; return;
        case '\'': HexCharacter(); return;
        case '\r':
        case '\n': ParagraphMark(); return;
        default: return;
        }
    }

    void HexCharacter() {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            const int digit = FPos < FEnd ? HexDigit(FData[FPos]) : -1;
            if (digit < 0) return;
            value = value * 16 + digit;
            ++FPos;
        }
        Character(static_cast<unsigned char>(value));
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void Word(const QByteArray& W, bool HasParameter, int Value) {
        const bool ignorable = FIgnorable;
        FIgnorable = false;
        Flush();
        Group& g = Top();
        if (g.Dest == Destination::Skip) return;
        if (g.Dest == Destination::ObjectBody) {
            if (W == "result") g.Dest = Destination::Text;
            return;
        }
        if (Destinations(W, ignorable)) return;
        if (FSkipCount > 0 && W != "bin") {
            --FSkipCount;
            return;
        }
        const bool on = !HasParameter || Value != 0;
        CharState& ch = g.Chars;
        ParaState& p = g.Para;
        if (g.Dest == Destination::FontTable) {
            if (W == "f") {
                if (FFontEntryOpen) FinishFontEntry();
                FFontEntryOpen = true;
                FFontNumber = Value;
                FFontEntry = Font {};
            } else if (W == "fcharset")
                FFontEntry.Charset = Value;
            return;
        }
        if (g.Dest == Destination::ColorTable) {
            if (W == "red")
                FColor.setRed(std::clamp(Value, 0, 255));
            else if (W == "green")
                FColor.setGreen(std::clamp(Value, 0, 255));
            else if (W == "blue")
                FColor.setBlue(std::clamp(Value, 0, 255));
            FColorSet = true;
            return;
        }
        if (g.Dest == Destination::Picture) {
            PictureWord(W, HasParameter, Value);
            return;
        }
        if (g.Dest == Destination::BulletMarker) {
            if (W == "pnlvlblt" || W == "pnlvlbody" || W == "pnlvlcont")
                FindParagraphGroup().Para.Bulleted = true;
            return;
        }
        // The document's settings.
        if (W == "ansicpg")
            FCodePage = Value > 0 ? Value : 1252;
        else if (W == "deff")
            FDefaultFont = Value;
        else if (W == "uc")
            g.UnicodeSkip = std::clamp(Value, 0, 10);
        else if (W == "u")
            Unicode(Value);
        else if (W == "bin")
            SkipBinary(Value);
        // Characters.
        else if (W == "plain")
            ch = CharState {};
        else if (W == "b")
            Change(ch.Bold, on);
        else if (W == "i")
            Change(ch.Italic, on);
        else if (W == "ul" || W == "uld" || W == "uldb" || W == "ulw" || W == "uldash" || W == "ulth" ||
                 W == "ulwave")
            Change(ch.Underline, on);
        else if (W == "ulnone")
            Change(ch.Underline, false);
        else if (W == "strike" || W == "striked")
            Change(ch.StrikeOut, on);
        else if (W == "v")
            Change(ch.Hidden, on);
        else if (W == "f")
            Change(ch.Font, Value);
        else if (W == "fs")
            Change(ch.SizeHalfPoints,
                   HasParameter && Value > 0 ? std::min(Value, 3276) : DefaultFontSizeHalfPoints);
        else if (W == "cf")
            Change(ch.Color, Value);
        else if (W == "highlight")
            Change(ch.Highlight, Value);
        else if (W == "cb" || W == "chcbpat")
            Change(ch.Background, Value);
        else if (W == "super")
            Change(ch.VerticalAlignment, 1);
        else if (W == "sub")
            Change(ch.VerticalAlignment, 2);
        else if (W == "nosupersub")
            Change(ch.VerticalAlignment, 0);
        // Paragraphs.
        else if (W == "pard")
            p = ParaState {};
        else if (W == "ql")
            p.Alignment = 0;
        else if (W == "qr")
            p.Alignment = 1;
        else if (W == "qc")
            p.Alignment = 2;
        else if (W == "qj")
            p.Alignment = 3;
        else if (W == "li")
            p.LeftIndent = Value;
        else if (W == "ri")
            p.RightIndent = Value;
        else if (W == "fi")
            p.FirstLineIndent = Value;
        else if (W == "sb")
            p.SpaceBefore = Value;
        else if (W == "sa")
            p.SpaceAfter = Value;
        else if (W == "sl")
            p.LineSpacing = Value == 1000 ? 0 : Value;
        else if (W == "slmult")
            p.LineSpacingMultiple = Value;
        else if (W == "tx" || W == "tb")
            AddTab(p, Value);
        else if (W == "ls" || W == "pnlvlblt")
            p.Bulleted = true;
        else if (W == "par" || W == "sect" || W == "page" || W == "row" || W == "nestrow")
            ParagraphMark();
        else if (W == "line")
            Special(QChar(QChar::LineSeparator));
        else if (W == "tab" || W == "cell" || W == "nestcell")
            Special(QLatin1Char('\t'));
        else if (W == "emdash")
            Special(QChar(0x2014));
        else if (W == "endash")
            Special(QChar(0x2013));
        else if (W == "bullet")
            Special(QChar(0x2022));
        else if (W == "lquote")
            Special(QChar(0x2018));
        else if (W == "rquote")
            Special(QChar(0x2019));
        else if (W == "ldblquote")
            Special(QChar(0x201C));
        else if (W == "rdblquote")
            Special(QChar(0x201D));
        else if (W == "emspace" || W == "enspace" || W == "qmspace")
            Special(QLatin1Char(' '));
    }

    // Words that open a destination; true when W was one.
    bool Destinations(const QByteArray& W, bool Ignorable) {
        Group& g = Top();
        static const QByteArray skipped[] = {"stylesheet", "info",         "pntext",
                                             "listtext",   "listtable",    "listoverridetable",
                                             "rsidtbl",    "xmlnstbl",     "header",
                                             "footer",     "headerl",      "headerr",
                                             "headerf",    "footerl",      "footerr",
                                             "footerf",    "footnote",     "annotation",
                                             "fldinst",    "themedata",    "colorschememapping",
                                             "datastore",  "latentstyles", "generator",
                                             "userprops",  "pgdsctbl",     "filetbl",
                                             "revtbl",     "nonshppict",   "objdata",
                                             "objclass",   "objname",      "picprop",
                                             "panose",     "falt",         "bkmkstart",
                                             "bkmkend",    "pnseclvl",     "template",
                                             "mmathPr",    "docvar",       "xe",
                                             "tc"};
        if (std::find(std::begin(skipped), std::end(skipped), W) != std::end(skipped)) {
            g.Dest = Destination::Skip;
            return true;
        }
        if (W == "fonttbl")
            g.Dest = Destination::FontTable;
        else if (W == "colortbl") {
            g.Dest = Destination::ColorTable;
            FColor = QColor(0, 0, 0);
            FColorSet = false;
        } else if (W == "pict") {
            g.Dest = Destination::Picture;
            FPicture = Picture {};
        } else if (W == "pn")
            g.Dest = Destination::BulletMarker;
        else if (W == "object") {
            // Only a group that is the object from its start can be kept whole.
            if (g.Dest != Destination::Text || FCursor.position() != g.StartPosition) return true;
            g.Dest = Destination::ObjectBody;
            g.KeepsObject = true;
            g.ObjectStartPosition = FCursor.position();
        } else if (W == "shppict" || W == "fldrslt" || W == "field" || W == "rtf") {
            // Their contents are the document's.
        } else if (Ignorable)
            g.Dest = Destination::Skip;
        else
            return false;
        return true;
    }

    // The group whose paragraph a bullet marker group belongs to.
    Group& FindParagraphGroup() {
        for (auto it = FGroups.rbegin(); it != FGroups.rend(); ++it)
            if (it->Dest == Destination::Text) return *it;
        return FGroups.front();
    }

    template<class T> void Change(T& Field, T Value) {
        if (Field == Value) return;
        Flush();
        Field = Value;
    }

    static void AddTab(ParaState& P, int Twips) {
        if (Twips <= 0 || P.TabStops.size() >= 64 || P.TabStops.contains(Twips)) return;
        P.TabStops.append(Twips);
        std::sort(P.TabStops.begin(), P.TabStops.end());
    }

    // ---- text

    void Character(unsigned char C) {
        Group& g = Top();
        switch (g.Dest) {
        case Destination::Skip:
        case Destination::ObjectBody:
        case Destination::BulletMarker: return;
        case Destination::Picture: PictureDigit(static_cast<char>(C)); return;
        case Destination::ColorTable:
            if (C == ';') {
                FColors.push_back(FColorSet ? FColor : QColor());
                FColor = QColor(0, 0, 0);
                FColorSet = false;
            }
            return;
        case Destination::FontTable:
            if (C == ';')
                FinishFontEntry();
            else if (FFontEntryOpen)
                FFontBytes.append(static_cast<char>(C));
            return;
        case Destination::Text: break;
        }
        if (FSkipCount > 0) {
            --FSkipCount;
            return;
        }
        if (C == '\t') {
            Special(QLatin1Char('\t'));
            return;
        }
        if (C < 0x20) return;
        FPending.append(static_cast<char>(C));
    }

    void Special(QChar C) {
        if (Top().Dest != Destination::Text) return;
        if (FSkipCount > 0) {
            --FSkipCount;
            return;
        }
        Flush();
        Insert(QString(C));
    }

    void Unicode(int Value) {
        if (Top().Dest != Destination::Text) return;
        Flush();
        const char16_t unit = static_cast<char16_t>(Value < 0 ? Value + 65536 : Value);
        if (QChar::isHighSurrogate(unit))
            FHighSurrogate = unit;
        else if (QChar::isLowSurrogate(unit) && FHighSurrogate) {
            const QChar pair[2] = {QChar(FHighSurrogate), QChar(unit)};
            Insert(QString(pair, 2));
            FHighSurrogate = 0;
        } else if (unit != 0)
            Insert(QString(QChar(unit)));
        FSkipCount = Top().UnicodeSkip;
    }

    void SkipBinary(int Count) {
        const qsizetype n = std::clamp<qsizetype>(Count, 0, FEnd - FPos);
        if (Top().Dest == Destination::Picture) FPicture.Data.append(FData.mid(FPos, n));
        FPos += n;
    }

    // The text bytes gathered so far, in the current font's code page.
    void Flush() {
        if (FPending.isEmpty()) return;
        const QByteArray bytes = FPending;
        FPending.clear();
        Insert(DecodeCodePage(bytes, CurrentCodePage()));
    }

    int CurrentCodePage() const {
        const int font = FGroups.back().Chars.Font >= 0 ? FGroups.back().Chars.Font : FDefaultFont;
        const auto it = FFonts.find(font);
        const int fromCharset = it != FFonts.end() ? CodePageOfCharset(it->Charset) : 0;
        return fromCharset ? fromCharset : FCodePage;
    }

    void Insert(const QString& Text) {
        const Group& g = Top();
        if (g.Dest != Destination::Text || g.Chars.Hidden || Text.isEmpty()) return;
        FCursor.insertText(Text, CharFormat(g.Chars));
        FParagraphHasContent = true;
    }

    QTextCharFormat CharFormat(const CharState& Ch) const {
        QTextCharFormat format;
        const int fontNumber = Ch.Font >= 0 ? Ch.Font : FDefaultFont;
        const auto font = FFonts.find(fontNumber);
        if (font != FFonts.end()) {
            if (!font->Name.isEmpty()) format.setFontFamilies({font->Name});
            if (font->Charset) format.setProperty(FontCharset, font->Charset);
        }
        format.setFontPointSize(Ch.SizeHalfPoints / 2.0);
        format.setFontWeight(Ch.Bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(Ch.Italic);
        format.setFontUnderline(Ch.Underline);
        format.setFontStrikeOut(Ch.StrikeOut);
        if (const QColor c = TableColor(Ch.Color); c.isValid()) format.setForeground(c);
        const QColor back = TableColor(Ch.Highlight ? Ch.Highlight : Ch.Background);
        if (back.isValid()) format.setBackground(back);
        if (Ch.VerticalAlignment == 1)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (Ch.VerticalAlignment == 2)
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        return format;
    }

    QColor TableColor(int Index) const {
        if (Index <= 0 || Index >= static_cast<int>(FColors.size())) return QColor();
        return FColors[static_cast<size_t>(Index)];
    }

    void FinishFontEntry() {
        if (!FFontEntryOpen) return;
        FFontEntryOpen = false;
        const int codePage = CodePageOfCharset(FFontEntry.Charset);
        FFontEntry.Name = DecodeCodePage(FFontBytes, codePage ? codePage : FCodePage).trimmed();
        FFontBytes.clear();
        FFonts.insert(FFontNumber, FFontEntry);
    }

    // ---- paragraphs

    void ParagraphMark() {
        if (Top().Dest != Destination::Text) return;
        Flush();
        FinishParagraph(true);
        FCursor.insertBlock(QTextBlockFormat(), FCursor.charFormat());
        FCarriedPara.reset();
        FParagraphHasContent = false;
        FEndedByMark = true;
    }

    // Gives the current block the paragraph's format. At the end of a whole-document read
    // the empty paragraph after the last mark goes, as the document ends in a mark itself.
    void FinishParagraph(bool ByMark) {
        if (!ByMark) {
            if (FOptions.WholeDocument && FEndedByMark && !FParagraphHasContent &&
                FCursor.block().blockNumber() > FFirstBlock && FCursor.atBlockEnd() &&
                FCursor.block().length() == 1 && FCursor.atEnd()) {
                FCursor.deletePreviousChar();
                return;
            }
            if (!FParagraphHasContent && !FEndedByMark) return;
        }
        FEndedByMark = false;
        const ParaState p = FCarriedPara ? *FCarriedPara : FindParagraphGroup().Para;
        QTextBlockFormat format;
        format.setAlignment(p.Alignment == 1   ? Qt::AlignRight
                            : p.Alignment == 2 ? Qt::AlignHCenter
                            : p.Alignment == 3 ? Qt::AlignJustify
                                               : Qt::AlignLeft);
        format.setProperty(LeftIndent, p.LeftIndent);
        format.setProperty(RightIndent, p.RightIndent);
        format.setProperty(FirstLineIndent, p.FirstLineIndent);
        format.setProperty(SpaceBefore, p.SpaceBefore);
        format.setProperty(SpaceAfter, p.SpaceAfter);
        format.setProperty(LineSpacing, p.LineSpacing);
        format.setProperty(LineSpacingMultiple, p.LineSpacingMultiple);
        format.setProperty(Bulleted, p.Bulleted);
        SetTabStopTwips(format, p.TabStops);
        FCursor.setBlockFormat(format);
        if (p.Bulleted)
            JoinBulletList();
        else if (QTextList* list = FCursor.block().textList())
            list->remove(FCursor.block());
    }

    void JoinBulletList() {
        const QTextBlock block = FCursor.block();
        const QTextBlock previous = block.previous();
        if (FList && previous.isValid() && previous.textList() == FList) {
            FList->add(block);
            return;
        }
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(0);
        FList = FCursor.createList(list);
    }

    // ---- pictures and kept groups

    void PictureWord(const QByteArray& W, bool HasParameter, int Value) {
        if (W == "pngblip" || W == "jpegblip" || W == "wmetafile" || W == "emfblip" || W == "dibitmap" ||
            W == "wbitmap" || W == "macpict")
            FPicture.Kind = W;
        else if (W == "picw")
            FPicture.Width = Value;
        else if (W == "pich")
            FPicture.Height = Value;
        else if (W == "picwgoal")
            FPicture.GoalWidth = Value;
        else if (W == "pichgoal")
            FPicture.GoalHeight = Value;
        else if (W == "picscalex" && HasParameter)
            FPicture.ScaleX = std::clamp(Value, 1, 1000);
        else if (W == "picscaley" && HasParameter)
            FPicture.ScaleY = std::clamp(Value, 1, 1000);
        else if (W == "bin")
            SkipBinary(Value);
    }

    void PictureDigit(char C) {
        const int digit = HexDigit(C);
        if (digit < 0) return;
        if (FPicture.HighNibble)
            FPicture.Data.append(static_cast<char>(digit << 4));
        else
            FPicture.Data.back() = static_cast<char>(FPicture.Data.back() | digit);
        FPicture.HighNibble = !FPicture.HighNibble;
    }

    void InsertPicture(const Group& G, qsizetype EndPos, bool Closed) {
        if (Top().Dest != Destination::Text) return;
        QTextImageFormat format;
        const double width = TwipsToPixels(FPicture.GoalWidth ? FPicture.GoalWidth : FPicture.Width * 15) *
                             FPicture.ScaleX / 100.0;
        const double height =
                TwipsToPixels(FPicture.GoalHeight ? FPicture.GoalHeight : FPicture.Height * 15) *
                FPicture.ScaleY / 100.0;
        const QImage image = (FPicture.Kind == "pngblip" || FPicture.Kind == "jpegblip")
                                     ? Decode(FPicture.Data)
                                     : QImage();
        if (image.isNull()) {
            if (!Closed) {
                Note(QStringLiteral("the document ends inside a picture"));
                return;
            }
            // Kept as it was; it shows as an empty frame of its size.
            format.setProperty(KeptGroup, FData.mid(G.Start, EndPos - G.Start));
            format.setProperty(KeptGroupId, ++FKeptGroups);
            if (FPicture.Kind == "pngblip" || FPicture.Kind == "jpegblip")
                Note(QStringLiteral("a picture could not be read"));
        } else {
            const QString name = QStringLiteral("rtf-picture:%1").arg(++PicturesRead);
            FCursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
            format.setName(name);
            format.setProperty(PictureData, FPicture.Data);
            format.setProperty(PictureKind, FPicture.Kind);
        }
        format.setWidth(width > 0 ? width : image.width());
        format.setHeight(height > 0 ? height : image.height());
        FCursor.insertImage(format);
        FParagraphHasContent = true;
    }

    static QImage Decode(const QByteArray& Data) {
        QBuffer buffer;
        buffer.setData(Data);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (!size.isValid() || static_cast<qint64>(size.width()) * size.height() > MaxPicturePixels)
            return QImage();
        return reader.read();
    }

    // The object's group is kept whole on the characters its result put in the document
    // (one empty frame when it has none), so that writing gives it back unchanged.
    void KeepObject(const Group& G, qsizetype EndPos) {
        const QByteArray raw = FData.mid(G.Start, EndPos - G.Start);
        const int id = ++FKeptGroups;
        QTextCursor range(FCursor.document());
        range.setPosition(G.ObjectStartPosition);
        range.setPosition(FCursor.position(), QTextCursor::KeepAnchor);
        if (!range.hasSelection() || range.selectedText().contains(QChar::ParagraphSeparator)) {
            range.removeSelectedText();
            QTextImageFormat frame;
            frame.setWidth(32);
            frame.setHeight(32);
            frame.setProperty(KeptGroup, raw);
            frame.setProperty(KeptGroupId, id);
            FCursor.insertImage(frame);
            FParagraphHasContent = true;
            return;
        }
        QTextCharFormat kept;
        kept.setProperty(KeptGroup, raw);
        kept.setProperty(KeptGroupId, id);
        range.mergeCharFormat(kept);
    }

    const QByteArray& FData;
    QTextCursor& FCursor;
    const ReadOptions FOptions;
    const qsizetype FEnd;
    qsizetype FPos = 0;
    ReadResult FResult;
    std::vector<Group> FGroups;
    bool FIgnorable = false;
    bool FDepthExceeded = false;
    // Groups opened beyond the deepest one read.
    qsizetype FExcessDepth = 0;
    int FSkipCount = 0;
    char16_t FHighSurrogate = 0;
    int FCodePage = 1252;
    int FDefaultFont = 0;
    QMap<int, Font> FFonts;
    bool FFontEntryOpen = false;
    int FFontNumber = 0;
    Font FFontEntry;
    QByteArray FFontBytes;
    std::vector<QColor> FColors;
    QColor FColor;
    bool FColorSet = false;
    Picture FPicture;
    int FKeptGroups = 0;
    QByteArray FPending;
    int FFirstBlock = 0;
    bool FParagraphHasContent = false;
    bool FEndedByMark = false;
    QTextList* FList = nullptr;
    std::optional<ParaState> FCarriedPara;
};

}  // namespace

ReadResult ReadRtf(const QByteArray& Data, QTextCursor& Cursor, const ReadOptions& Options) {
    return Reader(Data, Cursor, Options).Run();
}

}  // namespace rtf
