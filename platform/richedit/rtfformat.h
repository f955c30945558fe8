#pragma once
// How rich text keeps what RTF says in a QTextDocument: paragraph measures stay in twips
// in user properties (so they come back exactly as they were read), and the layout
// values Qt draws with are derived from them.

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QVector>

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
    Bulleted,                                    // a bulleted paragraph
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
