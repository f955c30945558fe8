#pragma once
// How rich text keeps what RTF says in a QTextDocument: paragraph measures stay in twips
// in user properties (so they come back exactly as they were read), and the layout
// values Qt draws with are derived from them.

#include <QHash>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextListFormat>
#include <QVector>

#include <array>

namespace rtf {

constexpr int TwipsPerInch = 1440;
// Layout pixels: the document is laid out at 96 dots per inch.
constexpr double TwipsPerPixel = 15.0;

// Paragraph properties, in twips unless said otherwise.
enum BlockProperty {
    LeftIndent = QTextFormat::UserProperty + 1,  // \li: every line
    RightIndent,                                 // \ri
    FirstLineIndent,                             // \fi: the first line, from LeftIndent
    SpaceBefore,                                 // \sb
    SpaceAfter,                                  // \sa
    LineSpacing,                                 // \sl: > 0 at least, < 0 exactly, 0 single
    LineSpacingMultiple,                         // \slmult: 1 when LineSpacing is 240ths of a line
    TabStops,                                    // \tx: QVector<int> in twips, ascending
};

// Character properties.
enum CharProperty {
    FontCharset = QTextFormat::UserProperty + 20,  // the font's \fcharset
    // A group kept byte for byte (an OLE object, a picture kind we cannot show): the
    // characters carrying it stand for it, and the writer writes the group in their place.
    KeptGroup,
    KeptGroupId,
    PictureData,  // the picture's file bytes as read (QByteArray)
    PictureKind,  // "pngblip" or "jpegblip"
    // The characters of a field's result: its instruction as read, and which field they
    // belong to (fields side by side stay apart).
    FieldInstruction,
    FieldId,
};

// A list level, on the QTextListFormat of the items at that level. Lists of one identity
// count on through all their levels: a deeper level starts again after each item above it.
enum ListProperty {
    ListIdentity = QTextFormat::UserProperty + 40,  // > 0; the order in which lists first appear
    ListLevel,                                      // 0 to 8
    ListNumberStyle,                                // ListStyles below
    ListStartAt,
    // The label: QChar(0) to QChar(8) stand for the numbers of those levels.
    ListLevelText,
    ListLevelFont,  // the label's font family, when it has one of its own
    // How each level of the list numbers (QList<int> of ListStyles), for the labels that
    // show the numbers of the levels above.
    ListLevelStyles,
};

// How a list level numbers its items.
enum ListStyles {
    NumberDecimal = 0,
    NumberUpperRoman = 1,
    NumberLowerRoman = 2,
    NumberUpperLetter = 3,
    NumberLowerLetter = 4,
    NumberBullet = 23,
    NumberNone = 255,
};

// A table cell: the right edge it had in its row (\cellx, twips from the row's left), or
// that the row had no such cell (the table is as wide as its widest row).
enum CellProperty { CellRightEdge = QTextFormat::UserProperty + 60, CellPadding };
// The width of a cell whose row does not say.
constexpr int DefaultCellTwips = 1800;

// The target of a HYPERLINK field's instruction ("#name" for a place in the document);
// empty for other fields.
QString HyperlinkTarget(const QString& Instruction);

// What a list level says, from its format; lists made in the editor get the defaults of
// their Qt style.
struct ListLevelDefinition {
    int Level = 0;
    int Style = NumberBullet;
    int StartAt = 1;
    QString Text;
    QString Font;
    QList<int> LevelStyles;
};
// The most characters a level's text has: its length is written in one byte.
constexpr qsizetype MaxLevelTextLength = 255;
ListLevelDefinition ListLevelOf(const QTextListFormat& Format);
// The Qt format that shows a level as it numbers.
QTextListFormat ListFormatOf(const ListLevelDefinition& Level, int Identity);

// Counts list items in document order and gives each its label ("10.", "(b)", "1.2").
class ListNumbering {
public:
    QString Next(qint64 List, const ListLevelDefinition& Level);

private:
    struct Counters {
        std::array<int, 9> Number {};
        std::array<bool, 9> Started {};
        std::array<int, 9> Style {};
    };
    QHash<qint64, Counters> FLists;
};

inline int Twips(const QTextFormat& Format, int Property) { return Format.intProperty(Property); }
inline double TwipsToPixels(int Twips) { return Twips / TwipsPerPixel; }

// The tab stops of a paragraph, in twips.
QVector<int> TabStopTwips(const QTextBlockFormat& Format);

// Sets the twips properties that Values holds and derives Qt's layout values from all of
// the paragraph's twips.
void SetParagraphTwips(QTextBlockFormat& Format, int Property, int Value);
void SetTabStopTwips(QTextBlockFormat& Format, const QVector<int>& Twips);
void ApplyLayout(QTextBlockFormat& Format);

}  // namespace rtf
