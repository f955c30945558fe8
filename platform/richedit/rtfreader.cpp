#include "platform/richedit/rtfreader.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
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
// Tables nested deeper than this are read as the cells of the deepest one.
constexpr int MaxTableDepth = 16;
// Tables are made no wider than this before their cells come.
constexpr int MaxTableColumns = 64;
// Names the pictures read, unique in the process.
int PicturesRead = 0;

// ObjectBody: an OLE object's group, of which only the result is shown. FieldInstruction,
// LevelText and NumberText gather text that is not the document's.
enum class Destination {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    BulletMarker,
    NumberText,
    ObjectBody,
    FieldInstruction,
    ListTable,
    LevelText,
    ListOverrides,
};

bool TakesText(Destination D)
{
    return D == Destination::Text || D == Destination::FieldInstruction || D == Destination::LevelText ||
           D == Destination::NumberText;
}

// A control word as read. Most are short: those compare as one number, as each is tested
// against long chains of the words a destination knows.
class WordName {
public:
    explicit WordName(std::string_view Text) : FText(Text), FPacked(Pack(Text)) { }
    std::string_view Text() const { return FText; }
    std::uint64_t Packed() const { return FPacked; }
    template<size_t N> bool operator==(const char (&Name)[N]) const
    {
        const std::string_view name(Name, N - 1);
        return name.size() <= 8 ? FPacked == Pack(name) : FText == name;
    }

    // Longer words pack to 0, as no name does.
    static constexpr std::uint64_t Pack(std::string_view Text)
    {
        if (Text.size() > 8)
            return 0;
        std::uint64_t packed = 0;
        for (const char c : Text)
            packed = packed << 8 | static_cast<unsigned char>(c);
        return packed;
    }

private:
    std::string_view FText;
    std::uint64_t FPacked;
};

// The numbering of the older paragraph form (\pn).
struct OldNumbering {
    bool Active = false;
    int Font = -1;  // \pnf
    int Level = 0;
    int Style = NumberDecimal;
    int StartAt = 1;
    QString Before, After;
    bool operator==(const OldNumbering&) const = default;
};

struct ParaState {
    int Alignment = 0;  // 0 left, 1 right, 2 centre, 3 justified
    int LeftIndent = 0, RightIndent = 0, FirstLineIndent = 0;
    int SpaceBefore = 0, SpaceAfter = 0;
    int LineSpacing = 0, LineSpacingMultiple = 0;
    QVector<int> TabStops;
    int ListOverride = 0, ListLevel = 0;  // \ls, \ilvl
    OldNumbering Numbering;
    int TableDepth = 0;  // \intbl, \itap
    bool operator==(const ParaState&) const = default;
};

struct CharState {
    int Font = -1;
    int SizeHalfPoints = DefaultFontSizeHalfPoints;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false, Hidden = false;
    int Color = 0, Highlight = 0, Background = 0;
    int VerticalAlignment = 0;  // 0 normal, 1 superscript, 2 subscript
    bool operator==(const CharState&) const = default;
};

struct Picture {
    QByteArray Kind;
    QByteArray Data;
    bool HighNibble = true;
    int Width = 0, Height = 0, GoalWidth = 0, GoalHeight = 0, ScaleX = 100, ScaleY = 100;
    // The group is the picture from its start: one we cannot show can be kept whole.
    bool WholeGroup = true;
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
    // The field the group is part of, and the field whose result it holds (-1: none).
    int Field = -1, ResultOf = -1;
    // Opens a list definition, a level of one, or a text of the older numbering.
    bool OpensList = false, OpensLevel = false, NumberTextAfter = false;
    // Row definitions inside describe the rows of a nested table.
    bool NestedRowProperties = false;
};

// A table being read, at one depth of nesting.
struct TableInProgress {
    // Gone when an object that held the table is kept in its place.
    QPointer<QTextTable> Table;
    int Row = 0, Column = 0;
    // How many columns the rows read so far have used.
    int ColumnsFilled = 0;
    // The cell at Row, Column is not open yet: it opens with what comes next.
    bool CellPending = false;
};

struct Font {
    QString Name;
    int Charset = 0;
};

// Hashes of the states formats are kept by: equal states hash alike, and the fields that
// tell most states apart are enough for that.
struct StateHash {
    static size_t Mix(size_t Hash, int Value)
    {
        return (Hash ^ static_cast<size_t>(Value)) * 0x100000001b3ULL;
    }
    size_t operator()(const std::pair<CharState, int>& K) const
    {
        const CharState& c = K.first;
        size_t h = 0xcbf29ce484222325ULL;
        for (const int value :
             {c.Font, c.SizeHalfPoints, c.Color, c.Highlight, c.Background, c.VerticalAlignment,
              c.Bold | c.Italic << 1 | c.Underline << 2 | c.StrikeOut << 3 | c.Hidden << 4, K.second})
            h = Mix(h, value);
        return h;
    }
    size_t operator()(const ParaState& P) const
    {
        size_t h = 0xcbf29ce484222325ULL;
        for (const int value : {P.Alignment, P.LeftIndent, P.RightIndent, P.FirstLineIndent, P.SpaceBefore,
                                P.SpaceAfter, P.LineSpacing, static_cast<int>(P.TabStops.size())})
            h = Mix(h, value);
        return h;
    }
};

// The formats made so far, by what each was made of: a format used again costs Qt less than
// a new one alike. A document of many (each field's result has its own) starts them afresh.
template<typename Key, typename Format> class KeptFormats {
public:
    const Format* Find(const Key& K) const
    {
        const auto kept = FKept.find(K);
        return kept == FKept.end() ? nullptr : &kept->second;
    }
    const Format& Keep(const Key& K, const Format& F)
    {
        if (FKept.size() >= Size)
            FKept.clear();
        return FKept.insert_or_assign(K, F).first->second;
    }
    void Clear() { FKept.clear(); }

private:
    static constexpr size_t Size = 4096;
    std::unordered_map<Key, Format, StateHash> FKept;
};

class Reader {
public:
    Reader(const QByteArray& Data, QTextCursor& Cursor, const ReadOptions& Options)
        : FData(Data), FCursor(Cursor), FOptions(Options),
          FEnd(Options.ByteLimit > 0 ? std::min(Options.ByteLimit, Data.size()) : Data.size())
    {
    }

    ReadResult Run()
    {
        FCursor.beginEditBlock();
        FCursor.removeSelectedText();
        FFirstBlock = FCursor.block().blockNumber();
        Parse();
        Flush();
        while (FGroups.size() > 1)
            EndGroup(FEnd, false);
        CommitRun();
        if (FDepthExceeded)
            Note(QStringLiteral("groups nested too deeply were skipped"));
        // A last mark still to come goes in as the paragraph before it ended, as the end of
        // the document below expects.
        PlaceDueMark(FFinishedPara);
        EnterTables(0, false);
        FinishParagraph(false);
        LeaveBlockAhead();
        FCursor.endEditBlock();
        return FResult;
    }

private:
    void Note(const QString& Damage)
    {
        if (FResult.Damage.isEmpty())
            FResult.Damage = Damage;
    }
    Group& Top() { return FGroups.back(); }

    void Parse()
    {
        FGroups.push_back(Group {});
        const char* data = FData.constData();
        while (FPos < FEnd) {
            const char c = data[FPos];
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
            // "\*" marks the control word right after it: a brace or text between ends that.
            if (c != '\\' && c != '\r' && c != '\n' && c != ' ')
                FIgnorable = false;
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
            } else if (Top().Dest == Destination::Text && FSkipCount == 0 &&
                       static_cast<unsigned char>(c) >= 0x20) {
                // Plain text, the bulk of a document: taken in one run.
                const qsizetype start = FPos;
                while (FPos < FEnd && IsPlainText(data[FPos]))
                    ++FPos;
                FPending.append(data + start, FPos - start);
            } else {
                Character(static_cast<unsigned char>(c));
                ++FPos;
            }
        }
        if (FGroups.size() > 1 && FOptions.ByteLimit == 0)
            Note(QStringLiteral("the document ends inside a group"));
    }

    static bool IsPlainText(char c)
    {
        return c != '{' && c != '}' && c != '\\' && c != '\r' && c != '\n' && c != '\t' &&
               static_cast<unsigned char>(c) >= 0x20;
    }

    void BeginGroup()
    {
        Flush();
        FSkipCount = 0;
        Group inner = Top();
        inner.Start = FPos;
        inner.StartPosition = Position();
        inner.KeepsObject = false;
        inner.OpensList = inner.OpensLevel = inner.NumberTextAfter = false;
        if (static_cast<int>(FGroups.size()) >= MaxGroupDepth) {
            FDepthExceeded = true;
            FExcessDepth = 1;
            return;
        }
        FGroups.push_back(inner);
    }

    // A group that the data ends inside (Closed false) is not kept: its bytes are not whole.
    void EndGroup(qsizetype EndPos, bool Closed)
    {
        Flush();
        FSkipCount = 0;
        Group closing = std::move(FGroups.back());
        FGroups.pop_back();
        // Paragraph properties set in a group that held the paragraph's text hold for it, and
        // go on holding past the groups around it that set none after it closed.
        if (closing.Dest == Destination::Text && (FParagraphHasContent || !FRun.isEmpty())) {
            const bool innerHolds = FCarriedPara && closing.Para == FParaAroundCarried;
            if (!innerHolds && !(closing.Para == Top().Para))
                FCarriedPara = closing.Para;
            FParaAroundCarried = Top().Para;
        }
        if ((closing.Dest == Destination::Picture && Top().Dest != Destination::Picture) ||
            closing.KeepsObject)
            CommitRun();
        if (closing.Dest == Destination::Picture && Top().Dest != Destination::Picture)
            InsertPicture(closing, EndPos, Closed);
        if (closing.KeepsObject && Closed)
            KeepObject(closing, EndPos);
        if (closing.Dest == Destination::FontTable && FFontEntryOpen)
            FinishFontEntry();
        if (closing.Dest == Destination::LevelText && Top().Dest != Destination::LevelText) {
            FLevel.Text = FLevelText.left(std::max(FLevelTextLength, 0));
            FLevelText.clear();
        }
        if (closing.Dest == Destination::NumberText && Top().Dest != Destination::NumberText) {
            OldNumbering& numbering = FindParagraphGroup().Para.Numbering;
            (closing.NumberTextAfter ? numbering.After : numbering.Before) = FNumberText;
            FNumberText.clear();
        }
        if (closing.OpensLevel && FLevelCount < static_cast<int>(FLevels.size())) {
            const auto font = FFonts.find(FLevelFont);
            if (font != FFonts.end() && !IsSymbolFont(*font))
                FLevel.Font = font->Name;
            if (font != FFonts.end() && IsSymbolFont(*font))
                FLevel.Text = FromSymbolFont(FLevel.Text);
            FLevels[static_cast<size_t>(FLevelCount++)] = FLevel;
        }
        if (closing.OpensList)
            FListDefinitions.insert(FListId, FLevels);
    }

    // ---- control words

    void ControlWord()
    {
        ++FPos;  // the backslash
        if (FPos >= FEnd)
            return;
        const char* data = FData.constData();
        const char c = data[FPos];
        if (!IsLetter(c)) {
            ++FPos;
            Symbol(c);
            return;
        }
        const qsizetype wordStart = FPos;
        while (FPos < FEnd && IsLetter(data[FPos]))
            ++FPos;
        const WordName word(std::string_view(data + wordStart,
                                             static_cast<size_t>(std::min<qsizetype>(FPos - wordStart, 32))));
        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (FPos < FEnd && data[FPos] == '-') {
            negative = true;
            ++FPos;
        }
        while (FPos < FEnd && data[FPos] >= '0' && data[FPos] <= '9') {
            hasParameter = true;
            parameter = std::min<long long>(parameter * 10 + (data[FPos] - '0'), 1LL << 40);
            ++FPos;
        }
        if (negative)
            parameter = -parameter;
        if (FPos < FEnd && data[FPos] == ' ')
            ++FPos;
        const int value = static_cast<int>(std::clamp<long long>(parameter, INT_MIN, INT_MAX));
        Word(word, hasParameter, value);
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    void Symbol(char c)
    {
        FIgnorable = c == '*';
        switch (c) {
        case '\\':
        case '{':
        case '}':
            // The character itself, whatever the code page.
            if (TakesText(Top().Dest))
                Special(QLatin1Char(c));
            else
                Character(static_cast<unsigned char>(c));
            return;
        case '~': Special(QChar(0x00A0)); return;
        case '_': Special(QChar(0x2011)); return;
        case '-': Special(QChar(0x00AD)); return;
        case '*': return;
        case '\'': HexCharacter(); return;
        case '\r':
        case '\n': ParagraphMark(); return;
        default: return;
        }
    }

    void HexCharacter()
    {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            const int digit = FPos < FEnd ? HexDigit(FData[FPos]) : -1;
            if (digit < 0)
                return;
            value = value * 16 + digit;
            ++FPos;
        }
        Character(static_cast<unsigned char>(value));
    }

    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    void Word(const WordName& W, bool HasParameter, int Value)
    {
        const bool ignorable = FIgnorable;
        FIgnorable = false;
        Flush();
        Group& g = Top();
        if (g.Dest == Destination::Skip)
            return;
        if (g.Dest == Destination::ObjectBody) {
            if (W == "result")
                g.Dest = Destination::Text;
            return;
        }
        if (Destinations(W, ignorable))
            return;
        if (FSkipCount > 0 && W != "bin") {
            --FSkipCount;
            return;
        }
        switch (g.Dest) {
        case Destination::FontTable: FontTableWord(W, Value); return;
        case Destination::ColorTable: ColorTableWord(W, Value); return;
        case Destination::Picture: PictureWord(W, HasParameter, Value); return;
        case Destination::BulletMarker: OldNumberingWord(W, HasParameter, Value); return;
        case Destination::ListTable: ListTableWord(W, Value); return;
        case Destination::ListOverrides:
            if (W == "listid")
                FOverrideListId = Value;
            else if (W == "ls")
                FListOverrides.insert(Value, FOverrideListId);
            return;
        default: break;
        }
        if (!TextWord(W, HasParameter, Value))
            ParagraphWord(W, Value);
    }

    void FontTableWord(const WordName& W, int Value)
    {
        if (W == "f") {
            if (FFontEntryOpen)
                FinishFontEntry();
            FFontEntryOpen = true;
            FFontNumber = Value;
            FFontEntry = Font {};
        } else if (W == "fcharset")
            FFontEntry.Charset = Value;
    }

    void ColorTableWord(const WordName& W, int Value)
    {
        if (W == "red")
            FColor.setRed(std::clamp(Value, 0, 255));
        else if (W == "green")
            FColor.setGreen(std::clamp(Value, 0, 255));
        else if (W == "blue")
            FColor.setBlue(std::clamp(Value, 0, 255));
        FColorSet = true;
    }

    // Words of characters and of the document's settings; false when W is none of them.
    bool TextWord(const WordName& W, bool HasParameter, int Value)
    {
        Group& g = Top();
        CharState& ch = g.Chars;
        const bool on = !HasParameter || Value != 0;
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
        else if (W == "plain")
            ch = CharState {};
        else if (W == "b")
            ch.Bold = on;
        else if (W == "i")
            ch.Italic = on;
        else if (W == "ul" || W == "uld" || W == "uldb" || W == "ulw" || W == "uldash" || W == "ulth" ||
                 W == "ulwave")
            ch.Underline = on;
        else if (W == "ulnone")
            ch.Underline = false;
        else if (W == "strike" || W == "striked")
            ch.StrikeOut = on;
        else if (W == "v")
            ch.Hidden = on;
        else if (W == "f")
            ch.Font = Value;
        else if (W == "fs")
            ch.SizeHalfPoints = HasParameter && Value > 0 ? std::min(Value, 3276) : DefaultFontSizeHalfPoints;
        else if (W == "cf")
            ch.Color = Value;
        else if (W == "highlight")
            ch.Highlight = Value;
        else if (W == "cb" || W == "chcbpat")
            ch.Background = Value;
        else if (W == "super")
            ch.VerticalAlignment = 1;
        else if (W == "sub")
            ch.VerticalAlignment = 2;
        else if (W == "nosupersub")
            ch.VerticalAlignment = 0;
        else if (W == "line")
            Special(QChar(QChar::LineSeparator));
        else if (W == "tab")
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
        else
            return false;
        return true;
    }

    void ParagraphWord(const WordName& W, int Value)
    {
        ParaState& p = Top().Para;
        if (W == "pard")
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
        else if (W == "ls")
            p.ListOverride = std::max(Value, 1);
        else if (W == "ilvl")
            p.ListLevel = std::clamp(Value, 0, 8);
        else if (W == "intbl")
            p.TableDepth = std::max(p.TableDepth, 1);
        else if (W == "itap")
            p.TableDepth = std::clamp(Value, 0, MaxTableDepth);
        else if (W == "trowd")
            RowEdges().clear();
        else if (W == "cellx")
            RowEdges().push_back(Value);
        else if (W == "cell")
            CellMark(1);
        else if (W == "nestcell")
            CellMark(std::max(2, ParagraphDepth()));
        else if (W == "row")
            RowMark(1);
        else if (W == "nestrow")
            RowMark(std::max(2, ParagraphDepth()));
        else if (W == "par" || W == "sect" || W == "page")
            ParagraphMark();
    }

    // Words that open a destination; true when W was one.
    bool Destinations(const WordName& W, bool Ignorable)
    {
        Group& g = Top();
        static constexpr std::array<std::string_view, 45> destinations {
                "stylesheet", "info",          "pntext",
                "listtext",   "rsidtbl",       "xmlnstbl",
                "header",     "footer",        "headerl",
                "headerr",    "headerf",       "footerl",
                "footerr",    "footerf",       "footnote",
                "annotation", "themedata",     "colorschememapping",
                "datastore",  "latentstyles",  "generator",
                "userprops",  "pgdsctbl",      "filetbl",
                "revtbl",     "nonshppict",    "objdata",
                "objclass",   "objname",       "picprop",
                "panose",     "falt",          "bkmkstart",
                "bkmkend",    "pnseclvl",      "template",
                "mmathPr",    "docvar",        "xe",
                "tc",         "nonesttables",  "levelnumbers",
                "listname",   "liststylename", "listpicture"};
        // Every control word is looked up here: in order, as numbers where they are short,
        // it is found in a few steps.
        struct Skipped {
            std::vector<std::uint64_t> Short;
            std::vector<std::string_view> Long;
            bool Has(const WordName& W) const
            {
                return W.Packed() ? std::binary_search(Short.begin(), Short.end(), W.Packed())
                                  : std::binary_search(Long.begin(), Long.end(), W.Text());
            }
        };
        static const Skipped skipped = [] {
            Skipped sorted;
            for (const std::string_view name : destinations)
                if (WordName::Pack(name))
                    sorted.Short.push_back(WordName::Pack(name));
                else
                    sorted.Long.push_back(name);
            std::sort(sorted.Short.begin(), sorted.Short.end());
            std::sort(sorted.Long.begin(), sorted.Long.end());
            return sorted;
        }();
        // The tables of the document stand in its header; one inside the text (in a group
        // kept as read) would change the fonts and lists of what follows.
        const bool header = FGroups.size() == 3;  // outside all groups, the document, this one
        if (skipped.Has(W) || (!header && (W == "fonttbl" || W == "colortbl" || W == "listtable" ||
                                           W == "listoverridetable"))) {
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
            // One inside a picture is part of it: the picture being read goes on. One in a
            // table of the header, or in other text that is not the document's, is skipped.
            if (g.Dest == Destination::Picture)
                return true;
            if (g.Dest != Destination::Text) {
                g.Dest = Destination::Skip;
                return true;
            }
            g.Dest = Destination::Picture;
            FPicture = Picture {};
            FPicture.WholeGroup = Position() == g.StartPosition;
        } else if (W == "pn")
            // Numbering in a picture or another destination is none of the paragraph's.
            g.Dest = g.Dest == Destination::Text ? Destination::BulletMarker : Destination::Skip;
        else if ((W == "pntxtb" || W == "pntxta") && g.Dest == Destination::BulletMarker) {
            g.Dest = Destination::NumberText;
            g.NumberTextAfter = W == "pntxta";
            FNumberText.clear();
        } else if (W == "listtable")
            g.Dest = Destination::ListTable;
        else if (W == "listoverridetable")
            g.Dest = Destination::ListOverrides;
        else if (W == "list" && g.Dest == Destination::ListTable) {
            g.OpensList = true;
            FLevels = {};
            FLevelCount = 0;
            FListId = 0;
        } else if (W == "listlevel" && g.Dest == Destination::ListTable) {
            g.OpensLevel = true;
            FLevel = ListLevelDefinition {};
            FLevelFont = -1;
            FLevel.Level = FLevelCount;
            FLevel.Style = NumberDecimal;
        } else if (W == "leveltext" && g.Dest == Destination::ListTable) {
            g.Dest = Destination::LevelText;
            FLevelText.clear();
            FLevelTextLength = -1;
        } else if (W == "object") {
            // Only a group that is the object from its start can be kept whole.
            if (g.Dest != Destination::Text || Position() != g.StartPosition)
                return true;
            CommitRun();
            EnterTables(ParagraphDepth(), true);
            g.Dest = Destination::ObjectBody;
            g.KeepsObject = true;
            g.ObjectStartPosition = FCursor.position();
        } else if (W == "field") {
            g.Field = static_cast<int>(FFields.size());
            FFields.emplace_back();
        } else if (W == "fldinst")
            g.Dest = g.Field >= 0 ? Destination::FieldInstruction : Destination::Skip;
        else if (W == "fldrslt")
            g.ResultOf = g.Field;
        else if (W == "nesttableprops")
            g.NestedRowProperties = true;
        else if (W == "shppict" || W == "rtf") {
            // Their contents are the document's.
        } else if (Ignorable)
            g.Dest = Destination::Skip;
        else
            return false;
        return true;
    }

    // The group whose paragraph a numbering group belongs to.
    Group& FindParagraphGroup()
    {
        for (auto it = FGroups.rbegin(); it != FGroups.rend(); ++it)
            if (it->Dest == Destination::Text)
                return *it;
        return FGroups.front();
    }

    static void AddTab(ParaState& P, int Twips)
    {
        if (Twips <= 0 || P.TabStops.size() >= 64 || P.TabStops.contains(Twips))
            return;
        P.TabStops.append(Twips);
        std::sort(P.TabStops.begin(), P.TabStops.end());
    }

    // ---- lists

    void OldNumberingWord(const WordName& W, bool HasParameter, int Value)
    {
        OldNumbering& n = FindParagraphGroup().Para.Numbering;
        if (W == "pnlvlblt") {
            n.Active = true;
            n.Level = 0;
            n.Style = NumberBullet;
        } else if (W == "pnlvlbody") {
            n.Active = true;
            n.Level = 0;
        } else if (W == "pnlvl" && HasParameter) {
            n.Active = true;
            n.Level = std::clamp(Value - 1, 0, 8);
        } else if (W == "pnlvlcont")
            n.Active = false;
        else if (W == "pndec" || W == "pncard" || W == "pnord" || W == "pnordt")
            n.Style = NumberDecimal;
        else if (W == "pnucrm")
            n.Style = NumberUpperRoman;
        else if (W == "pnlcrm")
            n.Style = NumberLowerRoman;
        else if (W == "pnucltr")
            n.Style = NumberUpperLetter;
        else if (W == "pnlcltr")
            n.Style = NumberLowerLetter;
        else if (W == "pnstart")
            n.StartAt = std::clamp(Value, 0, 32767);
        else if (W == "pnf")
            n.Font = Value;
    }

    void ListTableWord(const WordName& W, int Value)
    {
        if (W == "listid")
            FListId = Value;
        else if (W == "levelnfc")
            FLevel.Style = Value;
        else if (W == "levelstartat")
            FLevel.StartAt = std::clamp(Value, 0, 32767);
        else if (W == "f")
            FLevelFont = Value;
    }

    static bool IsSymbolFont(const Font& F)
    {
        return F.Charset == 2 || F.Name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
    }

    // A label in a symbol font as it shows: its bullet is the bullet character.
    static QString FromSymbolFont(QString Text) { return Text.replace(QChar(0x00B7), QChar(0x2022)); }

    // Puts the paragraph just formatted into the list it names, if any.
    void JoinList(const ParaState& P)
    {
        const QTextBlock block = FCursor.block();
        int identity = 0;
        ListLevelDefinition level;
        if (P.ListOverride > 0) {
            auto known = FOverrideIdentities.find(P.ListOverride);
            if (known == FOverrideIdentities.end())
                known = FOverrideIdentities.insert(P.ListOverride, ++FListIdentities);
            identity = *known;
            const auto definition = FListDefinitions.find(FListOverrides.value(P.ListOverride, -1));
            if (definition != FListDefinitions.end()) {
                level = (*definition)[static_cast<size_t>(P.ListLevel)];
                for (const ListLevelDefinition& each : *definition)
                    level.LevelStyles.append(each.Style);
            } else
                level.Text = QString(QChar(0x2022));
            level.Level = P.ListLevel;
        } else if (P.Numbering.Active) {
            // Items of the older form count on while they follow each other alike.
            const QTextBlock previous = block.previous();
            if (!(FLastNumbering == P.Numbering && previous.isValid() && previous.textList() &&
                  previous.textList()->format().intProperty(ListIdentity) == FLastNumberingIdentity))
                FLastNumberingIdentity = ++FListIdentities;
            FLastNumbering = P.Numbering;
            identity = FLastNumberingIdentity;
            level.Level = P.Numbering.Level;
            level.Style = P.Numbering.Style;
            level.StartAt = P.Numbering.StartAt;
            // A bullet of this form is in a symbol font unless it names another.
            const auto font = FFonts.find(P.Numbering.Font);
            const bool symbol = font == FFonts.end() || IsSymbolFont(*font);
            if (P.Numbering.Style != NumberBullet)
                level.Text = P.Numbering.Before + QChar(level.Level) + P.Numbering.After;
            else if (P.Numbering.Before.isEmpty())
                level.Text = QString(QChar(0x2022));
            else
                level.Text = symbol ? FromSymbolFont(P.Numbering.Before) : P.Numbering.Before;
            level.Text.truncate(MaxLevelTextLength);
        } else {
            if (QTextList* list = block.textList())
                list->remove(block);
            return;
        }
        // A deeper level starts again after each item above it.
        const qint64 key = static_cast<qint64>(identity) * 16;
        for (int deeper = level.Level + 1; deeper < 9; ++deeper)
            FListsOpen.remove(key + deeper);
        // Each item added to a list costs as much as the items it has (Qt marks them all
        // changed), so a list of one identity read item by item costs the square of its
        // length: long lists go on in a list of their own, bullets soon (they show the same),
        // numbers after more items than most lists have (they count from 1 again there as
        // the editor shows them; the labels written count on).
        QTextList* open = FListsOpen.value(key + level.Level);
        if (open && open->count() < (level.Style == NumberBullet ? 32 : 250)) {
            open->add(block);
            return;
        }
        FListsOpen.insert(key + level.Level, FCursor.createList(ListFormatOf(level, identity)));
    }

    // ---- text

    void Character(unsigned char C)
    {
        Group& g = Top();
        switch (g.Dest) {
        case Destination::Skip:
        case Destination::ObjectBody:
        case Destination::BulletMarker:
        case Destination::ListTable:
        case Destination::ListOverrides: return;
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
        default: break;
        }
        if (FSkipCount > 0) {
            --FSkipCount;
            return;
        }
        if (g.Dest == Destination::LevelText && FLevelTextLength < 0) {
            FLevelTextLength = C;
            return;
        }
        if (g.Dest == Destination::LevelText && C < 9) {
            // The number of a level.
            Flush();
            FLevelText.append(QChar(C));
            return;
        }
        if (C == '\t') {
            Special(QLatin1Char('\t'));
            return;
        }
        if (C < 0x20)
            return;
        FPending.append(static_cast<char>(C));
    }

    void Special(QChar C)
    {
        if (!TakesText(Top().Dest))
            return;
        if (FSkipCount > 0) {
            --FSkipCount;
            return;
        }
        Flush();
        Insert(QString(C));
    }

    void Unicode(int Value)
    {
        if (!TakesText(Top().Dest))
            return;
        Flush();
        const char16_t unit = static_cast<char16_t>(Value < 0 ? Value + 65536 : Value);
        if (QChar::isHighSurrogate(unit))
            FHighSurrogate = unit;
        else if (QChar::isLowSurrogate(unit) && FHighSurrogate) {
            const QChar pair[2] = {QChar(FHighSurrogate), QChar(unit)};
            Insert(QString(pair, 2));
            FHighSurrogate = 0;
        } else if (unit == '\t' || unit >= 0x20)
            Insert(QString(QChar(unit)));
        FSkipCount = Top().UnicodeSkip;
    }

    void SkipBinary(int Count)
    {
        const qsizetype n = std::clamp<qsizetype>(Count, 0, FEnd - FPos);
        if (Top().Dest == Destination::Picture)
            FPicture.Data.append(FData.mid(FPos, n));
        FPos += n;
    }

    // The text bytes gathered so far, in the current font's code page.
    void Flush()
    {
        if (FPending.isEmpty())
            return;
        const QString text = DecodeCodePage(FPending, CurrentCodePage());
        FPending.resize(0);  // keeps its memory for the next text
        Insert(text);
    }

    int CurrentCodePage() const
    {
        const int font = FGroups.back().Chars.Font >= 0 ? FGroups.back().Chars.Font : FDefaultFont;
        const auto it = FFonts.find(font);
        const int fromCharset = it != FFonts.end() ? CodePageOfCharset(it->Charset) : 0;
        return fromCharset ? fromCharset : FCodePage;
    }

    void Insert(const QString& Text)
    {
        const Group& g = Top();
        if (Text.isEmpty())
            return;
        switch (g.Dest) {
        case Destination::FieldInstruction: FFields[static_cast<size_t>(g.Field)] += Text; return;
        case Destination::LevelText: FLevelText += Text; return;
        case Destination::NumberText: FNumberText += Text; return;
        case Destination::Text: break;
        default: return;
        }
        if (g.Chars.Hidden)
            return;
        // Text of one format gathers in a run that goes into the document in one piece.
        if (!FRun.isEmpty() &&
            !(FRunChars == g.Chars && FRunResultOf == g.ResultOf && FRunDepth == ParagraphDepth()))
            CommitRun();
        if (FRun.isEmpty()) {
            FRunChars = g.Chars;
            FRunResultOf = g.ResultOf;
            FRunDepth = ParagraphDepth();
        }
        FRun += Text;
    }

    void CommitRun()
    {
        if (FRun.isEmpty())
            return;
        EnterTables(FRunDepth, true);
        FCursor.insertText(FRun, CharFormat(FRunChars, FRunResultOf));
        FRun.resize(0);
        FParagraphHasContent = true;
    }

    // Where the cursor stands with the run and paragraph mark not yet in the document.
    int Position() const { return FCursor.position() + static_cast<int>(FRun.size()) + (FMarkDue ? 1 : 0); }

    // The character format of a group's text.
    const QTextCharFormat& CharFormat(const CharState& Chars, int ResultOf)
    {
        if (const QTextCharFormat* kept = FCharFormats.Find({Chars, ResultOf}))
            return *kept;
        const CharState& ch = Chars;
        QTextCharFormat format;
        const int fontNumber = ch.Font >= 0 ? ch.Font : FDefaultFont;
        const auto font = FFonts.find(fontNumber);
        // Text in a font the table does not name is in the document's own, as it shows.
        const bool named = font != FFonts.end() && !font->Name.isEmpty();
        format.setFontFamilies({named ? font->Name : FCursor.document()->defaultFont().family()});
        if (font != FFonts.end() && font->Charset)
            format.setProperty(FontCharset, font->Charset);
        format.setFontPointSize(ch.SizeHalfPoints / 2.0);
        format.setFontWeight(ch.Bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(ch.Italic);
        format.setFontUnderline(ch.Underline);
        format.setFontStrikeOut(ch.StrikeOut);
        if (const QColor c = TableColor(ch.Color); c.isValid())
            format.setForeground(c);
        const QColor back = TableColor(ch.Highlight ? ch.Highlight : ch.Background);
        if (back.isValid())
            format.setBackground(back);
        if (ch.VerticalAlignment == 1)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (ch.VerticalAlignment == 2)
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        // A field without an instruction is its result alone.
        const QString instruction =
                ResultOf >= 0 ? FFields[static_cast<size_t>(ResultOf)].trimmed() : QString();
        if (!instruction.isEmpty()) {
            format.setProperty(FieldInstruction, instruction);
            format.setProperty(FieldId, ResultOf + 1);
            if (const QString target = HyperlinkTarget(instruction); !target.isEmpty()) {
                format.setAnchor(true);
                format.setAnchorHref(target);
            }
        }
        return FCharFormats.Keep({Chars, ResultOf}, format);
    }

    QColor TableColor(int Index) const
    {
        if (Index <= 0 || Index >= static_cast<int>(FColors.size()))
            return QColor();
        return FColors[static_cast<size_t>(Index)];
    }

    void FinishFontEntry()
    {
        if (!FFontEntryOpen)
            return;
        FFontEntryOpen = false;
        const int codePage = CodePageOfCharset(FFontEntry.Charset);
        FFontEntry.Name = DecodeCodePage(FFontBytes, codePage ? codePage : FCodePage).trimmed();
        // A control character, or a byte that is no character of the page, is a question
        // mark, as the name is written.
        for (QChar& c : FFontEntry.Name)
            if (c < ' ' || c == QChar(0xFFFD))
                c = '?';
        FFontBytes.clear();
        FFonts.insert(FFontNumber, FFontEntry);
        FCharFormats.Clear();
    }

    // ---- paragraphs

    // The table depth of the paragraph being read.
    int ParagraphDepth() const
    {
        return FCarriedPara ? FCarriedPara->TableDepth : FGroups.back().Para.TableDepth;
    }

    void ParagraphMark()
    {
        if (Top().Dest != Destination::Text)
            return;
        Flush();
        CommitRun();
        EnterTables(ParagraphDepth(), true);
        FinishParagraph(true);
        FMarkDue = true;
        FCarriedPara.reset();
        FParagraphHasContent = false;
        FEndedByMark = true;
    }

    // Puts the block of the paragraph mark last read into the document, once something
    // comes after it. Its format is that of its paragraph so far (mostly the one it ends
    // with, which then need not be set again), or Ahead.
    void PlaceDueMark() { PlaceDueMark(FCarriedPara ? *FCarriedPara : FindParagraphGroup().Para); }
    void PlaceDueMark(const ParaState& Ahead)
    {
        if (!FMarkDue)
            return;
        FMarkDue = false;
        // The block's own character format is what a list label is drawn in: that of the
        // paragraph's first text, not of the paragraph before.
        FCursor.insertBlock(BlockFormat(Ahead),
                            FRun.isEmpty() ? FCursor.charFormat() : CharFormat(FRunChars, -1));
        FBlockWithFormat = FCursor.block();
        FBlockWithFormatPara = Ahead;
    }

    // Gives the current block the paragraph's format. At the end of a whole-document read
    // the empty paragraph after the last mark goes, as the document ends in a mark itself.
    void FinishParagraph(bool ByMark)
    {
        if (!ByMark) {
            if (FOptions.WholeDocument && FEndedByMark && !FParagraphHasContent &&
                FCursor.block().blockNumber() > FFirstBlock && FCursor.atBlockEnd() &&
                FCursor.block().length() == 1 && FCursor.atEnd()) {
                // When the paragraph before is empty it is that block that goes: this one
                // has its format, given ahead.
                FBlockWithFormat = QTextBlock();
                FCursor.deletePreviousChar();
                return;
            }
            if (!FParagraphHasContent && !FEndedByMark)
                return;
        }
        FEndedByMark = false;
        const ParaState& p = FCarriedPara ? *FCarriedPara : FindParagraphGroup().Para;
        FFinishedPara = p;
        if (!(FCursor.block() == FBlockWithFormat && FBlockWithFormatPara == p))
            FCursor.setBlockFormat(BlockFormat(p));
        FBlockWithFormat = QTextBlock();
        JoinList(p);
    }

    // The cursor leaves the block given a format ahead with no paragraph ended in it: it is
    // no paragraph of the document's and has no format of its own.
    void LeaveBlockAhead()
    {
        if (FBlockWithFormat.isValid() && FCursor.block() == FBlockWithFormat)
            FCursor.setBlockFormat(QTextBlockFormat());
        FBlockWithFormat = QTextBlock();
    }

    // The format of a paragraph read with P.
    const QTextBlockFormat& BlockFormat(const ParaState& P)
    {
        if (const QTextBlockFormat* kept = FBlockFormats.Find(P))
            return *kept;
        QTextBlockFormat format;
        format.setAlignment(P.Alignment == 1   ? Qt::AlignRight
                            : P.Alignment == 2 ? Qt::AlignHCenter
                            : P.Alignment == 3 ? Qt::AlignJustify
                                               : Qt::AlignLeft);
        format.setProperty(LeftIndent, P.LeftIndent);
        format.setProperty(RightIndent, P.RightIndent);
        format.setProperty(FirstLineIndent, P.FirstLineIndent);
        format.setProperty(SpaceBefore, P.SpaceBefore);
        format.setProperty(SpaceAfter, P.SpaceAfter);
        format.setProperty(LineSpacing, P.LineSpacing);
        // \slmult says how to take \sl, and nothing without it.
        format.setProperty(LineSpacingMultiple, P.LineSpacing != 0 ? P.LineSpacingMultiple : 0);
        SetTabStopTwips(format, P.TabStops);
        return FBlockFormats.Keep(P, format);
    }

    // ---- tables

    std::vector<int>& RowEdges()
    {
        const Group& g = Top();
        const int depth = g.NestedRowProperties ? std::max(2, ParagraphDepth()) : 1;
        if (FRowEdges.size() < static_cast<size_t>(depth))
            FRowEdges.resize(static_cast<size_t>(depth));
        std::vector<int>& edges = FRowEdges[static_cast<size_t>(depth - 1)];
        if (edges.size() > 1000)
            edges.clear();
        return edges;
    }

    std::vector<int> RowEdgesOf(int Depth) const
    {
        return FRowEdges.size() >= static_cast<size_t>(Depth) ? FRowEdges[static_cast<size_t>(Depth - 1)]
                                                              : std::vector<int>();
    }

    // Opens and closes tables until Depth are open; with OpenCell the cell that is due opens.
    void EnterTables(int Depth, bool OpenCell)
    {
        PlaceDueMark();
        Depth = std::clamp(Depth, 0, MaxTableDepth);
        const auto gone =
                std::find_if(FTables.begin(), FTables.end(), [](const auto& T) { return !T.Table; });
        FTables.erase(gone, FTables.end());
        while (static_cast<int>(FTables.size()) > Depth)
            CloseTable();
        while (static_cast<int>(FTables.size()) < Depth) {
            if (!FTables.empty())
                OpenPendingCell(FTables.back());
            OpenTable();
        }
        if (OpenCell && !FTables.empty())
            OpenPendingCell(FTables.back());
    }

    void OpenTable()
    {
        if (QTextTable* before = TableJustBefore()) {
            // Rows that follow a table with nothing between are more of its rows.
            FTables.push_back(TableInProgress {before, before->rows(), 0, before->columns(), true});
            return;
        }
        // Text before the table's first cell is a paragraph of its own: a table follows an
        // empty block.
        if (FParagraphHasContent)
            FinishParagraph(true);
        if (FParagraphHasContent || FCursor.block().length() > 1)
            FCursor.insertBlock(QTextBlockFormat(), FCursor.charFormat());
        else
            LeaveBlockAhead();
        FParagraphHasContent = false;
        FEndedByMark = false;
        FCarriedPara.reset();
        QTextTableFormat format;
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setCellSpacing(0);
        format.setCellPadding(3);
        format.setBorderCollapse(true);
        // An outer table's row is defined before its cells: made with as many columns, the
        // table need not grow cell by cell (columns no row fills go when it closes).
        const std::vector<int> edges = FTables.empty() ? RowEdgesOf(1) : std::vector<int>();
        const int columns = std::clamp(static_cast<int>(edges.size()), 1, MaxTableColumns);
        format.setColumnWidthConstraints(ColumnWidths(edges, columns));
        TableInProgress table;
        table.Table = FCursor.insertTable(1, columns, format);
        FTables.push_back(table);
    }

    // The table that ends right before the cursor, in an empty block of its own.
    QTextTable* TableJustBefore() const
    {
        if (FParagraphHasContent || FCursor.block().length() != 1 || FCursor.position() == 0)
            return nullptr;
        QTextCursor before(FCursor);
        before.setPosition(FCursor.position() - 1);
        QTextTable* table = before.currentTable();
        while (table && table->lastPosition() + 1 != FCursor.position()) {
            QTextFrame* parent = table->parentFrame();
            table = parent ? qobject_cast<QTextTable*>(parent) : nullptr;
        }
        return table && table->parentFrame() == FCursor.currentFrame() ? table : nullptr;
    }

    void OpenPendingCell(TableInProgress& T)
    {
        if (!T.CellPending)
            return;
        T.CellPending = false;
        T.ColumnsFilled = std::max(T.ColumnsFilled, T.Column + 1);
        if (T.Row >= T.Table->rows())
            T.Table->appendRows(T.Row - T.Table->rows() + 1);
        while (T.Column >= T.Table->columns()) {
            T.Table->appendColumns(1);
            const int added = T.Table->columns() - 1;
            for (int row = 0; row < T.Row; ++row)
                SetCellProperty(T.Table->cellAt(row, added), CellPadding, true);
        }
        LeaveBlockAhead();
        FCursor = T.Table->cellAt(T.Row, T.Column).firstCursorPosition();
    }

    static void SetCellProperty(const QTextTableCell& Cell, int Property, const QVariant& Value)
    {
        QTextCharFormat format = Cell.format();
        format.setProperty(Property, Value);
        QTextTableCell(Cell).setFormat(format);
    }

    // The end of a cell: \cell at the outer table, \nestcell in nested ones.
    void CellMark(int Depth)
    {
        if (Top().Dest != Destination::Text)
            return;
        Flush();
        CommitRun();
        EnterTables(Depth, true);
        FinishParagraph(true);
        TableInProgress& table = FTables.back();
        ++table.Column;
        table.CellPending = true;
        FCarriedPara.reset();
        FParagraphHasContent = false;
        FEndedByMark = false;
    }

    void RowMark(int Depth)
    {
        if (Top().Dest != Destination::Text)
            return;
        Flush();
        CommitRun();
        if (static_cast<int>(FTables.size()) < Depth) {
            // A row end with no cells before it: a paragraph end at most.
            ParagraphMark();
            return;
        }
        EnterTables(Depth, false);
        TableInProgress& table = FTables.back();
        if (table.CellPending && table.Column == 0)
            return;  // a row without cells
        if (!table.CellPending) {
            // Text after the row's last cell mark belongs to one more cell.
            FinishParagraph(true);
            ++table.Column;
        }
        EndRow(table, RowEdgesOf(Depth));
        ++table.Row;
        table.Column = 0;
        table.CellPending = true;
        FCarriedPara.reset();
        FParagraphHasContent = false;
        FEndedByMark = false;
    }

    // Gives the row's cells their right edges and marks those the row did not have.
    void EndRow(const TableInProgress& T, const std::vector<int>& Edges)
    {
        if (T.Row >= T.Table->rows())
            return;
        // The row's cells are new: their formats need not be read first.
        int edge = 0;
        for (int column = 0; column < T.Table->columns(); ++column) {
            QTextCharFormat format;
            if (column >= T.Column)
                format.setProperty(CellPadding, true);
            else {
                edge = static_cast<size_t>(column) < Edges.size() ? Edges[static_cast<size_t>(column)]
                                                                  : edge + DefaultCellTwips;
                format.setProperty(CellRightEdge, edge);
            }
            T.Table->cellAt(T.Row, column).setFormat(format);
        }
    }

    void CloseTable()
    {
        TableInProgress& table = FTables.back();
        if (!table.CellPending) {
            // The data ends, or the table does, inside a cell.
            if (FParagraphHasContent)
                FinishParagraph(true);
            ++table.Column;
        }
        if (table.Column > 0)
            EndRow(table, RowEdgesOf(static_cast<int>(FTables.size())));
        RemoveColumnsFrom(*table.Table, std::max(table.ColumnsFilled, 1));
        ShowColumnWidths(*table.Table);
        LeaveBlockAhead();
        FCursor.setPosition(table.Table->lastPosition() + 1);
        FTables.pop_back();
        FParagraphHasContent = false;
        FEndedByMark = false;
        FCarriedPara.reset();
    }

    // Removes the columns from First on. Qt gives the last paragraph of the cell before each
    // removed one, when empty, the formats of what it removes: they are set back.
    static void RemoveColumnsFrom(QTextTable& Table, int First)
    {
        if (First >= Table.columns())
            return;
        std::vector<std::pair<QTextBlockFormat, QTextCharFormat>> formats;
        for (int row = 0; row < Table.rows(); ++row) {
            const QTextCursor last = Table.cellAt(row, First - 1).lastCursorPosition();
            formats.emplace_back(last.blockFormat(), last.blockCharFormat());
        }
        Table.removeColumns(First, Table.columns() - First);
        for (int row = 0; row < Table.rows(); ++row) {
            QTextCursor last = Table.cellAt(row, First - 1).lastCursorPosition();
            const auto& [block, characters] = formats[static_cast<size_t>(row)];
            if (last.blockFormat() != block)
                last.setBlockFormat(block);
            if (last.blockCharFormat() != characters)
                last.setBlockCharFormat(characters);
        }
    }

    // The columns as wide as the first row's cells.
    static void ShowColumnWidths(QTextTable& Table)
    {
        std::vector<int> edges;
        for (int column = 0; column < Table.columns(); ++column) {
            const QTextCharFormat cell = Table.cellAt(0, column).format();
            if (!cell.hasProperty(CellRightEdge))
                break;
            edges.push_back(cell.intProperty(CellRightEdge));
        }
        QTextTableFormat format = Table.format();
        const QList<QTextLength> widths = ColumnWidths(edges, Table.columns());
        if (format.columnWidthConstraints() == widths)
            return;
        format.setColumnWidthConstraints(widths);
        Table.setFormat(format);
    }

    // The widths of Columns columns whose cells end at Edges; none unless each has an edge.
    static QList<QTextLength> ColumnWidths(const std::vector<int>& Edges, int Columns)
    {
        QList<QTextLength> widths;
        if (Edges.size() < static_cast<size_t>(Columns))
            return widths;
        int left = 0;
        for (int column = 0; column < Columns; ++column) {
            const int right = Edges[static_cast<size_t>(column)];
            widths.append(QTextLength(QTextLength::FixedLength, TwipsToPixels(std::max(right - left, 150))));
            left = right;
        }
        return widths;
    }

    // ---- pictures and kept groups

    void PictureWord(const WordName& W, bool HasParameter, int Value)
    {
        if (W == "pngblip" || W == "jpegblip" || W == "wmetafile" || W == "emfblip" || W == "dibitmap" ||
            W == "wbitmap" || W == "macpict")
            FPicture.Kind = QByteArray(W.Text().data(), static_cast<qsizetype>(W.Text().size()));
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
    void PictureDigit(char C)
    {
        const int digit = HexDigit(C);
        if (digit < 0)
            return;
        if (FPicture.HighNibble)
            FPicture.Data.append(static_cast<char>(digit << 4));
        else
            FPicture.Data.back() = static_cast<char>(FPicture.Data.back() | digit);
        FPicture.HighNibble = !FPicture.HighNibble;
    }

    void InsertPicture(const Group& G, qsizetype EndPos, bool Closed)
    {
        if (Top().Dest != Destination::Text)
            return;
        QTextImageFormat format;
        const double width = PictureExtent(FPicture.GoalWidth, FPicture.Width, FPicture.ScaleX);
        const double height = PictureExtent(FPicture.GoalHeight, FPicture.Height, FPicture.ScaleY);
        const QImage image = (FPicture.Kind == "pngblip" || FPicture.Kind == "jpegblip")
                                     ? Decode(FPicture.Data)
                                     : QImage();
        if (image.isNull()) {
            if (!Closed) {
                Note(QStringLiteral("the document ends inside a picture"));
                return;
            }
            if (!FPicture.WholeGroup) {
                Note(QStringLiteral("a picture could not be read"));
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
        EnterTables(ParagraphDepth(), true);
        FCursor.insertImage(format);
        FParagraphHasContent = true;
    }

    // A picture's width or height in pixels, in whole twips as it is written.
    static double PictureExtent(int GoalTwips, int Pixels, int ScalePercent)
    {
        const double twips = (GoalTwips ? GoalTwips : Pixels * TwipsPerPixel) * ScalePercent / 100.0;
        return TwipsToPixels(static_cast<int>(std::clamp(std::round(twips), 0.0, double(INT_MAX))));
    }

    static QImage Decode(const QByteArray& Data)
    {
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
    void KeepObject(const Group& G, qsizetype EndPos)
    {
        PlaceDueMark();
        const QByteArray raw = FData.mid(G.Start, EndPos - G.Start);
        const int id = ++FKeptGroups;
        QTextCursor range(FCursor.document());
        range.setPosition(G.ObjectStartPosition);
        range.setPosition(FCursor.position(), QTextCursor::KeepAnchor);
        if (!range.hasSelection() || range.selectedText().contains(QChar::ParagraphSeparator)) {
            range.removeSelectedText();
            FBlockWithFormat = QTextBlock();
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
    std::optional<ParaState> FCarriedPara;
    // The paragraph properties of the group around the one FCarriedPara came from.
    ParaState FParaAroundCarried;
    // The formats of paragraphs by their state; the last paragraph finished, whether the
    // block of the mark after it is still to come, and the block given its format ahead
    // (null when none is): that block need not be formatted again when its paragraph ends
    // alike.
    KeptFormats<ParaState, QTextBlockFormat> FBlockFormats;
    ParaState FFinishedPara;
    bool FMarkDue = false;
    QTextBlock FBlockWithFormat;
    ParaState FBlockWithFormatPara;
    // Text not yet in the document, and its format.
    QString FRun;
    CharState FRunChars;
    int FRunResultOf = -1, FRunDepth = 0;
    // The formats of text, by its characters' state and the field whose result it is.
    KeptFormats<std::pair<CharState, int>, QTextCharFormat> FCharFormats;
    // Fields: the instruction of each, in the order they open.
    std::vector<QString> FFields;
    // The list table: definitions by \listid, and the \listid of each \ls.
    QMap<int, std::array<ListLevelDefinition, 9>> FListDefinitions;
    QMap<int, int> FListOverrides;
    int FListId = 0, FOverrideListId = 0;
    std::array<ListLevelDefinition, 9> FLevels {};
    int FLevelCount = 0;
    ListLevelDefinition FLevel;
    int FLevelFont = -1;
    QString FLevelText;
    int FLevelTextLength = -1;
    QString FNumberText;
    // Lists in the document: the identity of each \ls, and the list that takes the next
    // item of each identity and level.
    int FListIdentities = 0;
    QMap<int, int> FOverrideIdentities;
    QHash<qint64, QTextList*> FListsOpen;
    OldNumbering FLastNumbering;
    int FLastNumberingIdentity = 0;
    // The tables open, outermost first, and the cell edges of the row definition of each depth.
    std::vector<TableInProgress> FTables;
    std::vector<std::vector<int>> FRowEdges;
};

}  // namespace

ReadResult ReadRtf(const QByteArray& Data, QTextCursor& Cursor, const ReadOptions& Options)
{
    return Reader(Data, Cursor, Options).Run();
}

}  // namespace rtf
