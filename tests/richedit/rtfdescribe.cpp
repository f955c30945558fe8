#include "tests/richedit/rtfdescribe.h"

#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <functional>

#include "platform/richedit/rtfformat.h"

namespace rtftest {

QString CellText(const QTextTable& Table, int Row, int Column)
{
    const QTextTableCell cell = Table.cellAt(Row, Column);
    QTextCursor range = cell.firstCursorPosition();
    range.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return range.selection().toPlainText();
}

namespace {

QString Hash(const QByteArray& Bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(Bytes, QCryptographicHash::Md5).toHex().left(12));
}

QString CharacterFormat(const QTextCharFormat& F)
{
    QStringList parts {F.fontFamilies().toStringList().join('|'),
                       QString::number(F.fontPointSize()),
                       QString::number(F.fontWeight()),
                       F.fontItalic() ? "i" : "",
                       F.fontUnderline() ? "u" : "",
                       F.fontStrikeOut() ? "s" : "",
                       QString::number(F.verticalAlignment()),
                       QString::number(F.intProperty(rtf::FontCharset))};
    if (F.hasProperty(QTextFormat::ForegroundBrush))
        parts << "fg" + F.foreground().color().name();
    if (F.hasProperty(QTextFormat::BackgroundBrush))
        parts << "bg" + F.background().color().name();
    if (F.isAnchor())
        parts << "href=" + F.anchorHref();
    if (F.hasProperty(rtf::FieldInstruction))
        parts << "field=" + F.stringProperty(rtf::FieldInstruction);
    if (F.hasProperty(rtf::KeptGroup))
        parts << "kept=" + Hash(F.property(rtf::KeptGroup).toByteArray());
    if (F.isImageFormat())
        parts << QStringLiteral("picture %1x%2 %3")
                         .arg(F.toImageFormat().width())
                         .arg(F.toImageFormat().height())
                         .arg(Hash(F.property(rtf::PictureData).toByteArray()));
    return parts.join(',');
}

QString ParagraphFormat(const QTextBlockFormat& F)
{
    QStringList parts {QString::number(F.alignment() & Qt::AlignHorizontal_Mask)};
    for (const int property : {rtf::LeftIndent, rtf::RightIndent, rtf::FirstLineIndent, rtf::SpaceBefore,
                               rtf::SpaceAfter, rtf::LineSpacing, rtf::LineSpacingMultiple})
        parts << QString::number(F.intProperty(property));
    for (const int tab : rtf::TabStopTwips(F))
        parts << "tab" + QString::number(tab);
    return parts.join(',');
}

QString Visible(QString Text)
{
    for (QChar& c : Text)
        if (c.unicode() < 9)
            c = QChar('0' + c.unicode());
    return Text;
}

// Walks the document in reading order, tables cell by cell.
class Walker {
public:
    std::function<void(const QTextBlock&, int Depth)> OnBlock;
    std::function<void(const QTextTable&, int Row, int Column, int Depth)> OnCell;

    void Frame(QTextFrame::iterator Begin, const QTextFrame::iterator& End, int Depth)
    {
        for (auto it = Begin; it != End; ++it) {
            if (QTextFrame* frame = it.currentFrame()) {
                auto* table = qobject_cast<QTextTable*>(frame);
                if (!table) {
                    Frame(frame->begin(), frame->end(), Depth);
                    continue;
                }
                for (int row = 0; row < table->rows(); ++row)
                    for (int column = 0; column < table->columns(); ++column) {
                        if (OnCell)
                            OnCell(*table, row, column, Depth + 1);
                        const QTextTableCell cell = table->cellAt(row, column);
                        Frame(cell.begin(), cell.end(), Depth + 1);
                    }
            } else if (OnBlock)
                OnBlock(it.currentBlock(), Depth);
        }
    }
};

}  // namespace

QString Describe(const QTextDocument& Document)
{
    QString out;
    rtf::ListNumbering numbering;
    Walker walker;
    walker.OnCell = [&](const QTextTable& Table, int Row, int Column, int Depth) {
        const QTextCharFormat cell = Table.cellAt(Row, Column).format();
        out += QStringLiteral("%1cell %2,%3 of %4x%5 edge %6%7\n")
                       .arg(QString(Depth * 2, ' '))
                       .arg(Row)
                       .arg(Column)
                       .arg(Table.rows())
                       .arg(Table.columns())
                       .arg(cell.intProperty(rtf::CellRightEdge))
                       .arg(cell.boolProperty(rtf::CellPadding) ? " padding" : "");
    };
    walker.OnBlock = [&](const QTextBlock& Block, int Depth) {
        out += QString(Depth * 2, ' ') + "P " + ParagraphFormat(Block.blockFormat());
        if (const QTextList* list = Block.textList()) {
            const rtf::ListLevelDefinition level = rtf::ListLevelOf(list->format());
            const int identity = list->format().intProperty(rtf::ListIdentity);
            out += QStringLiteral(" list %1 level %2 style %3 from %4 text '%5' font '%6' label '%7'")
                           .arg(identity)
                           .arg(level.Level)
                           .arg(level.Style)
                           .arg(level.StartAt)
                           .arg(Visible(level.Text), level.Font, numbering.Next(identity, level));
        }
        out += '\n';
        for (auto it = Block.begin(); !it.atEnd(); ++it)
            out += QString(Depth * 2 + 2, ' ') + '[' + it.fragment().text() + "] " +
                   CharacterFormat(it.fragment().charFormat()) + '\n';
    };
    walker.Frame(Document.rootFrame()->begin(), Document.rootFrame()->end(), 0);
    return out;
}

QStringList LabelledLines(const QTextDocument& Document)
{
    QStringList lines;
    rtf::ListNumbering numbering;
    Walker walker;
    walker.OnBlock = [&](const QTextBlock& Block, int) {
        QString line = Block.text();
        if (const QTextList* list = Block.textList()) {
            const rtf::ListLevelDefinition level = rtf::ListLevelOf(list->format());
            const QString label = numbering.Next(list->format().intProperty(rtf::ListIdentity), level);
            line = label + ' ' + line;
        }
        lines << line;
    };
    walker.Frame(Document.rootFrame()->begin(), Document.rootFrame()->end(), 0);
    return lines;
}

}  // namespace rtftest
