#include "platform/richedit/rtfformat.h"

#include <QList>
#include <QTextOption>

#include <algorithm>

namespace rtf {

QVector<int> TabStopTwips(const QTextBlockFormat& Format)
{
    return Format.property(TabStops).value<QVector<int>>();
}

void SetParagraphTwips(QTextBlockFormat& Format, int Property, int Value)
{
    Format.setProperty(Property, Value);
    ApplyLayout(Format);
}

void SetTabStopTwips(QTextBlockFormat& Format, const QVector<int>& Twips)
{
    if (Twips.isEmpty())
        Format.clearProperty(TabStops);
    else
        Format.setProperty(TabStops, QVariant::fromValue(Twips));
    ApplyLayout(Format);
}

void ApplyLayout(QTextBlockFormat& Format)
{
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

namespace rtf {

namespace {

QString Roman(int N)
{
    static const std::array<std::pair<int, const char*>, 13> numerals {{{1000, "m"},
                                                                        {900, "cm"},
                                                                        {500, "d"},
                                                                        {400, "cd"},
                                                                        {100, "c"},
                                                                        {90, "xc"},
                                                                        {50, "l"},
                                                                        {40, "xl"},
                                                                        {10, "x"},
                                                                        {9, "ix"},
                                                                        {5, "v"},
                                                                        {4, "iv"},
                                                                        {1, "i"}}};
    QString text;
    for (const auto& [value, numeral] : numerals)
        for (; N >= value && text.size() < 40; N -= value)
            text += QLatin1String(numeral);
    return text;
}

// a to z, then aa to zz and so on, as word processors count.
QString Letters(int N)
{
    const int round = (N - 1) / 26;
    return QString(std::min(round + 1, 40), QChar('a' + (N - 1) % 26));
}

QString NumberText(int N, int Style)
{
    if (N <= 0 && Style != NumberDecimal)
        return QString::number(N);
    switch (Style) {
    case NumberUpperRoman: return Roman(N).toUpper();
    case NumberLowerRoman: return Roman(N);
    case NumberUpperLetter: return Letters(N).toUpper();
    case NumberLowerLetter: return Letters(N);
    case NumberBullet:
    case NumberNone: return QString();
    default: return QString::number(N);
    }
}

bool IsPlaceholder(QChar C) { return C.unicode() < 9; }

}  // namespace

ListLevelDefinition ListLevelOf(const QTextListFormat& Format)
{
    ListLevelDefinition level;
    level.Level = Format.hasProperty(ListLevel) ? std::clamp(Format.intProperty(ListLevel), 0, 8)
                                                : std::clamp(Format.indent() - 1, 0, 8);
    if (Format.hasProperty(ListNumberStyle)) {
        level.Style = Format.intProperty(ListNumberStyle);
        level.StartAt = Format.intProperty(ListStartAt);
        level.Text = Format.stringProperty(ListLevelText);
        level.Font = Format.stringProperty(ListLevelFont);
        level.LevelStyles = Format.property(ListLevelStyles).value<QList<int>>();
        return level;
    }
    const QString number =
            Format.numberPrefix() + QChar(level.Level) +
            (Format.hasProperty(QTextFormat::ListNumberSuffix) ? Format.numberSuffix() : QStringLiteral("."));
    switch (Format.style()) {
    case QTextListFormat::ListDecimal: level.Style = NumberDecimal; break;
    case QTextListFormat::ListUpperRoman: level.Style = NumberUpperRoman; break;
    case QTextListFormat::ListLowerRoman: level.Style = NumberLowerRoman; break;
    case QTextListFormat::ListUpperAlpha: level.Style = NumberUpperLetter; break;
    case QTextListFormat::ListLowerAlpha: level.Style = NumberLowerLetter; break;
    case QTextListFormat::ListCircle: level.Text = QString(QChar(0x25E6)); return level;
    case QTextListFormat::ListSquare: level.Text = QString(QChar(0x25AA)); return level;
    default: level.Text = QString(QChar(0x2022)); return level;
    }
    level.Text = number;
    return level;
}

QTextListFormat ListFormatOf(const ListLevelDefinition& Level, int Identity)
{
    QTextListFormat format;
    switch (Level.Style) {
    case NumberDecimal: format.setStyle(QTextListFormat::ListDecimal); break;
    case NumberUpperRoman: format.setStyle(QTextListFormat::ListUpperRoman); break;
    case NumberLowerRoman: format.setStyle(QTextListFormat::ListLowerRoman); break;
    case NumberUpperLetter: format.setStyle(QTextListFormat::ListUpperAlpha); break;
    case NumberLowerLetter: format.setStyle(QTextListFormat::ListLowerAlpha); break;
    case NumberNone: format.setStyle(QTextListFormat::ListStyleUndefined); break;
    default: format.setStyle(QTextListFormat::ListDisc); break;
    }
    const qsizetype own = Level.Text.indexOf(QChar(Level.Level));
    if (own >= 0) {
        format.setNumberPrefix(Level.Text.left(own));
        format.setNumberSuffix(Level.Text.mid(own + 1));
    }
    format.setIndent(Level.Level + 1);
    format.setProperty(ListIdentity, Identity);
    format.setProperty(ListLevel, Level.Level);
    format.setProperty(ListNumberStyle, Level.Style);
    format.setProperty(ListStartAt, Level.StartAt);
    format.setProperty(ListLevelText, Level.Text);
    if (!Level.Font.isEmpty())
        format.setProperty(ListLevelFont, Level.Font);
    if (!Level.LevelStyles.isEmpty())
        format.setProperty(ListLevelStyles, QVariant::fromValue(Level.LevelStyles));
    return format;
}

QString HyperlinkTarget(const QString& Instruction)
{
    const QString text = Instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return QString();
    QString target, place;
    // The switch whose argument comes next: \\l names the place, \\o and \\t take texts.
    QString switchNext;
    for (qsizetype at = 9; at < text.size();) {
        if (text[at].isSpace()) {
            ++at;
            continue;
        }
        QString token;
        const bool quoted = text[at] == '"';
        if (quoted) {
            const qsizetype close = text.indexOf('"', at + 1);
            token = text.mid(at + 1, close < 0 ? -1 : close - at - 1);
            at = close < 0 ? text.size() : close + 1;
        } else {
            qsizetype end = at;
            while (end < text.size() && !text[end].isSpace())
                ++end;
            token = text.mid(at, end - at);
            at = end;
        }
        if (!quoted && token.startsWith('\\')) {
            switchNext = token == QLatin1String("\\l") || token == QLatin1String("\\o") ||
                                         token == QLatin1String("\\t")
                                 ? token
                                 : QString();
            continue;
        }
        if (switchNext == QLatin1String("\\l"))
            place = token;
        else if (switchNext.isEmpty() && target.isEmpty())
            target = token;
        switchNext.clear();
    }
    return place.isEmpty() ? target : target + '#' + place;
}

QString ListNumbering::Next(qint64 List, const ListLevelDefinition& Level)
{
    Counters& counters = FLists[List];
    const auto at = static_cast<size_t>(std::clamp(Level.Level, 0, 8));
    counters.Number[at] = counters.Started[at] ? counters.Number[at] + 1 : Level.StartAt;
    counters.Started[at] = true;
    counters.Style[at] = Level.Style;
    // An item below levels that have had none counts as their first.
    for (size_t above = 0; above < at; ++above)
        if (!counters.Started[above]) {
            counters.Number[above] = 1;
            counters.Started[above] = true;
        }
    for (size_t deeper = at + 1; deeper < counters.Started.size(); ++deeper)
        counters.Started[deeper] = false;
    if (Level.Style == NumberBullet)
        return Level.Text.isEmpty() ? QString(QChar(0x2022)) : Level.Text;
    QString label;
    for (const QChar c : Level.Text) {
        if (!IsPlaceholder(c)) {
            label += c;
            continue;
        }
        const auto level = static_cast<size_t>(c.unicode());
        const int style = level < static_cast<size_t>(Level.LevelStyles.size())
                                  ? Level.LevelStyles[static_cast<qsizetype>(level)]
                                  : counters.Style[level];
        label += NumberText(counters.Started[level] ? counters.Number[level] : 1, style);
    }
    return label;
}

}  // namespace rtf
