// The reader and writer over a table of formats: each case's RTF reads to the format it
// names, writes as its golden file (tests/fixtures/richedit/golden/), and the golden file
// reads to the same format and writes back byte for byte.
// TOTAMUND_UPDATE_GOLDEN=1 writes the golden files anew.

#include <gtest/gtest.h>

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <functional>

#include "platform/richedit/rtfformat.h"
#include "platform/richedit/rtfreader.h"
#include "platform/richedit/rtfwriter.h"
#include "tests/richedit/rtffixture.h"

namespace {

using rtftest::Read;

// The character format at a text position (the character after it).
QTextCharFormat CharAt(const QTextDocument& D, int Position) {
    QTextCursor c(const_cast<QTextDocument*>(&D));
    c.setPosition(Position + 1);
    return c.charFormat();
}
QTextBlockFormat Block(const QTextDocument& D, int Number) {
    return D.findBlockByNumber(Number).blockFormat();
}

struct FormatCase {
    const char* Name;
    const char* Rtf;
    std::function<void(const QTextDocument&)> Check;
};

const std::vector<FormatCase>& Cases() {
    static const std::vector<FormatCase> cases = {
            {"fonts",
             R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil Arial;}{\f1\froman\fcharset0 Times New Roman;}}\f1 serif \f0 sans})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(d.toPlainText(), "serif sans");
                 EXPECT_EQ(CharAt(d, 0).fontFamilies().toStringList(), QStringList {"Times New Roman"});
                 EXPECT_EQ(CharAt(d, 6).fontFamilies().toStringList(), QStringList {"Arial"});
             }},
            {"sizes", R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\fs16 small \fs48 large})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(CharAt(d, 0).fontPointSize(), 8);
                 EXPECT_EQ(CharAt(d, 6).fontPointSize(), 24);
             }},
            {"styles",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\b bold}{\i italic}{\ul under}{\strike gone}\b0 plain})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(d.toPlainText(), "bolditalicundergoneplain");
                 EXPECT_EQ(CharAt(d, 0).fontWeight(), QFont::Bold);
                 EXPECT_TRUE(CharAt(d, 4).fontItalic());
                 EXPECT_TRUE(CharAt(d, 10).fontUnderline());
                 EXPECT_TRUE(CharAt(d, 15).fontStrikeOut());
                 const QTextCharFormat plain = CharAt(d, 19);
                 EXPECT_FALSE(plain.fontWeight() == QFont::Bold || plain.fontItalic() ||
                              plain.fontUnderline() || plain.fontStrikeOut());
             }},
            {"colours",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}\cf1 red \highlight2 marked})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(CharAt(d, 0).foreground().color(), QColor(255, 0, 0));
                 EXPECT_FALSE(CharAt(d, 0).hasProperty(QTextFormat::BackgroundBrush));
                 EXPECT_EQ(CharAt(d, 4).background().color(), QColor(0, 0, 255));
             }},
            {"alignment",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\qc centre\par\pard\qr right\par\pard\qj justified\par\pard left})",
             [](const QTextDocument& d) {
                 ASSERT_EQ(d.blockCount(), 4);
                 EXPECT_EQ(Block(d, 0).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
                 EXPECT_EQ(Block(d, 1).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
                 EXPECT_EQ(Block(d, 2).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
                 EXPECT_EQ(Block(d, 3).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
             }},
            {"indents", R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\li1440\ri720\fi-360 hanging})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(rtf::Twips(Block(d, 0), rtf::LeftIndent), 1440);
                 EXPECT_EQ(rtf::Twips(Block(d, 0), rtf::RightIndent), 720);
                 EXPECT_EQ(rtf::Twips(Block(d, 0), rtf::FirstLineIndent), -360);
                 EXPECT_EQ(Block(d, 0).leftMargin(), 96);
             }},
            {"tabs", R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\tx720\tx2880\tx1440 a\tab b\tab c})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(d.toPlainText(), "a\tb\tc");
                 EXPECT_EQ(rtf::TabStopTwips(Block(d, 0)), (QVector<int> {720, 1440, 2880}));
                 EXPECT_EQ(Block(d, 0).tabPositions().size(), 3);
             }},
            {"spacing",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\sb120\sa240\sl360\slmult1 one and a half\par\pard\sl-300\slmult0 exactly})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(rtf::Twips(Block(d, 0), rtf::SpaceBefore), 120);
                 EXPECT_EQ(rtf::Twips(Block(d, 0), rtf::SpaceAfter), 240);
                 EXPECT_EQ(Block(d, 0).lineHeight(), 150);
                 EXPECT_EQ(Block(d, 1).lineHeightType(), QTextBlockFormat::FixedHeight);
                 EXPECT_EQ(rtf::Twips(Block(d, 1), rtf::LineSpacing), -300);
             }},
            {"bullets",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard{\pntext\f0 \'95\tab}{\*\pn\pnlvlblt\pnf0\pnindent0{\pntxtb\'95}}\fi-360\li720 one\par{\pntext\f0 \'95\tab}{\*\pn\pnlvlblt{\pntxtb\'95}}\fi-360\li720 two\par\pard after})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(d.toPlainText(), "one\ntwo\nafter");
                 ASSERT_TRUE(d.findBlockByNumber(0).textList());
                 EXPECT_EQ(d.findBlockByNumber(0).textList(), d.findBlockByNumber(1).textList());
                 EXPECT_EQ(d.findBlockByNumber(0).textList()->format().style(), QTextListFormat::ListDisc);
                 EXPECT_FALSE(d.findBlockByNumber(2).textList());
             }},
            {"characters",
             R"({\rtf1\ansi\ansicpg1252\uc1{\fonttbl{\f0 Arial;}}caf\'e9 \u8364? \u-3913? \{\}\\ a\line b})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(d.toRawText(), QString::fromUtf8("café € \uF0B7 {}\\ a\u2028b"));
             }},
            {"codepage", R"({\rtf1\ansi{\fonttbl{\f0\fcharset204 Arial;}}\f0 \'cf\'f0\'e8\'e2\'e5\'f2})",
             [](const QTextDocument& d) { EXPECT_EQ(d.toPlainText(), QString::fromUtf8("Привет")); }},
            {"picture", nullptr,
             [](const QTextDocument& d) {
                 const QTextCharFormat f = CharAt(d, 2);
                 ASSERT_TRUE(f.isImageFormat());
                 const QImage image = d.resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()))
                                              .value<QImage>();
                 EXPECT_EQ(image.size(), QSize(8, 6));
                 EXPECT_EQ(image.pixelColor(3, 3), QColor(255, 0, 0));
                 EXPECT_EQ(f.toImageFormat().width(), 48);
             }},
            {"object",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}before {\object\objemb{\*\objclass Paint.Picture}{\*\objdata 0105}{\result shown}} after})",
             [](const QTextDocument& d) {
                 EXPECT_EQ(d.toPlainText(), "before shown after");
                 EXPECT_TRUE(CharAt(d, 8).hasProperty(rtf::KeptGroup));
             }},
    };
    return cases;
}

QByteArray CaseRtf(const FormatCase& Case) {
    if (Case.Rtf) return Case.Rtf;
    const QByteArray png = rtftest::FixtureBytes("red.png");
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}a "
           "{\\pict\\pngblip\\picw8\\pich6\\picwgoal720\\pichgoal540 " +
           png.toHex() + "} b}";
}

TEST(RtfRoundTrip, EachFormatReadsWritesItsGoldenFileAndReadsBack) {
    for (const FormatCase& c : Cases()) {
        SCOPED_TRACE(c.Name);
        const auto read = Read(CaseRtf(c));
        c.Check(*read);
        const QByteArray written = rtf::WriteRtf(*read);
        const QString golden = QStringLiteral("golden/%1.rtf").arg(c.Name);
        if (qEnvironmentVariableIsSet("TOTAMUND_UPDATE_GOLDEN"))
            rtftest::WriteFile(QStringLiteral(TOTAMUND_FIXTURES "/richedit/") + golden, written);
        EXPECT_EQ(written, rtftest::FixtureBytes(golden));
        const auto again = Read(written);
        c.Check(*again);
        EXPECT_EQ(rtf::WriteRtf(*again), written);
    }
}

TEST(RtfRoundTrip, ASelectionWritesOnlyItsTextAndFormats) {
    const auto d = Read(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}plain {\b bold} tail\par second})");
    QTextCursor selection(d.get());
    selection.setPosition(6);
    selection.setPosition(14, QTextCursor::KeepAnchor);  // "bold tai"
    const auto part = Read(rtf::WriteRtf(selection));
    EXPECT_EQ(part->toPlainText(), "bold tai");
    EXPECT_EQ(CharAt(*part, 0).fontWeight(), QFont::Bold);
    EXPECT_NE(CharAt(*part, 5).fontWeight(), QFont::Bold);
}

TEST(RtfRoundTrip, ReadingIntoASelectionReplacesIt) {
    auto d = Read(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}keep REPLACE keep})");
    QTextCursor selection(d.get());
    selection.setPosition(5);
    selection.setPosition(12, QTextCursor::KeepAnchor);
    rtf::ReadRtf(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\i new}})", selection, {0, false});
    EXPECT_EQ(d->toPlainText(), "keep new keep");
    EXPECT_TRUE(CharAt(*d, 5).fontItalic());
}

}  // namespace
