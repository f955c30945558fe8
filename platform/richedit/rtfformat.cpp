#include "platform/richedit/rtfformat.h"

#include <QList>
#include <QTextOption>

namespace rtf {

QVector<int> TabStopTwips(const QTextBlockFormat& Format) {
    return Format.property(TabStops).value<QVector<int>>();
}

void SetParagraphTwips(QTextBlockFormat& Format, int Property, int Value) {
    Format.setProperty(Property, Value);
    ApplyLayout(Format);
}

void SetTabStopTwips(QTextBlockFormat& Format, const QVector<int>& Twips) {
    if (Twips.isEmpty())
        Format.clearProperty(TabStops);
    else
        Format.setProperty(TabStops, QVariant::fromValue(Twips));
    ApplyLayout(Format);
}

void ApplyLayout(QTextBlockFormat& Format) {
    Format.setLeftMargin(TwipsToPixels(Twips(Format, LeftIndent)));
    Format.setRightMargin(TwipsToPixels(Twips(Format, RightIndent)));
    Format.setTextIndent(TwipsToPixels(Twips(Format, FirstLineIndent)));
    Format.setTopMargin(TwipsToPixels(Twips(Format, SpaceBefore)));
    Format.setBottomMargin(TwipsToPixels(Twips(Format, SpaceAfter)));
    const int spacing = Twips(Format, LineSpacing);
    if (spacing == 0)
        Format.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
    else if (Format.intProperty(LineSpacingMultiple) == 1)
        Format.setLineHeight(spacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (spacing > 0)
        Format.setLineHeight(TwipsToPixels(spacing), QTextBlockFormat::MinimumHeight);
    else
        Format.setLineHeight(TwipsToPixels(-spacing), QTextBlockFormat::FixedHeight);
    QList<QTextOption::Tab> tabs;
    for (const int twips : TabStopTwips(Format))
        tabs.append(QTextOption::Tab(TwipsToPixels(twips), QTextOption::LeftTab));
    Format.setTabPositions(tabs);
}

}  // namespace rtf
