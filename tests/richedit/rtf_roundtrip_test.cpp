// The reader and writer over a table of formats: each case's RTF reads to the format it
// names, writes as its golden file (tests/fixtures/richedit/golden/), and the golden file
// reads to the same format and writes back byte for byte.
// TOTAMUND_UPDATE_GOLDEN=1 writes the golden files anew.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <functional>
#include <random>

#include "platform/richedit/rtfformat.h"
#include "platform/richedit/rtfreader.h"
#include "platform/richedit/rtfwriter.h"
#include "tests/richedit/rtfdescribe.h"
#include "tests/richedit/rtffixture.h"
#include "tests/richedit/rtfgenerator.h"

namespace {

using rtftest::Read;

// The character format at a text position (the character after it).
QTextCharFormat CharAt(const QTextDocument& D, int Position)
{
    QTextCursor c(const_cast<QTextDocument*>(&D));
    c.setPosition(Position + 1);
    return c.charFormat();
}
QTextBlockFormat Block(const QTextDocument& D, int Number)
{
    return D.findBlockByNumber(Number).blockFormat();
}

struct FormatCase {
    const char* Name;
    const char* Rtf;
    std::function<void(const QTextDocument&)> Check;
};

const std::vector<FormatCase>& Cases()
{
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

QByteArray CaseRtf(const FormatCase& Case)
{
    if (Case.Rtf)
        return Case.Rtf;
    const QByteArray png = rtftest::FixtureBytes("red.png");
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}a "
           "{\\pict\\pngblip\\picw8\\pich6\\picwgoal720\\pichgoal540 " +
           png.toHex() + "} b}";
}

TEST(RtfRoundTrip, EachFormatReadsWritesItsGoldenFileAndReadsBack)
{
    for (const FormatCase& c : Cases()) {
        SCOPED_TRACE(c.Name);
        const auto read = Read(CaseRtf(c));
        c.Check(*read);
        const QByteArray written = rtf::WriteRtf(*read);
        const QString golden = QStringLiteral("golden/%1.rtf").arg(c.Name);
        if (qEnvironmentVariableIsSet("TOTAMUND_UPDATE_GOLDEN"))
            rtftest::WriteFile(QStringLiteral(TOTAMUND_FIXTURES "/richedit/") + golden, written);
        EXPECT_EQ(QString::fromLatin1(written), QString::fromLatin1(rtftest::FixtureBytes(golden)));
        const auto again = Read(written);
        c.Check(*again);
        EXPECT_EQ(rtf::WriteRtf(*again), written);
    }
}

TEST(RtfRoundTrip, ASelectionWritesOnlyItsTextAndFormats)
{
    const auto d = Read(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}plain {\b bold} tail\par second})");
    QTextCursor selection(d.get());
    selection.setPosition(6);
    selection.setPosition(14, QTextCursor::KeepAnchor);  // "bold tai"
    const auto part = Read(rtf::WriteRtf(selection));
    EXPECT_EQ(part->toPlainText(), "bold tai");
    EXPECT_EQ(CharAt(*part, 0).fontWeight(), QFont::Bold);
    EXPECT_NE(CharAt(*part, 5).fontWeight(), QFont::Bold);
}

TEST(RtfRoundTrip, ASelectionOverATableCopiesItAndOneInsideACellCopiesItsText)
{
    const auto d = Read(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}before\par\trowd\cellx900\cellx1800)"
                        R"(\pard\intbl alpha\cell beta\cell\row\pard after})");
    QTextCursor all(d.get());
    all.setPosition(2);
    all.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    const auto whole = Read(rtf::WriteRtf(all));
    const QTextTable* table = whole->find("beta").currentTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(rtftest::CellText(*table, 0, 0), "alpha");
    EXPECT_EQ(whole->toPlainText().left(4), "fore");
    const int alphaEnd = d->find("alpha").selectionEnd();
    QTextCursor inside(d.get());
    inside.setPosition(alphaEnd - 3);
    inside.setPosition(alphaEnd, QTextCursor::KeepAnchor);  // "pha"
    const auto part = Read(rtf::WriteRtf(inside));
    EXPECT_EQ(part->toPlainText(), "pha");
    EXPECT_FALSE(part->find("pha").currentTable());
}

TEST(RtfRoundTrip, ReadingIntoASelectionReplacesIt)
{
    auto d = Read(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}keep REPLACE keep})");
    QTextCursor selection(d.get());
    selection.setPosition(5);
    selection.setPosition(12, QTextCursor::KeepAnchor);
    rtf::ReadRtf(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\i new}})", selection, {0, false});
    EXPECT_EQ(d->toPlainText(), "keep new keep");
    EXPECT_TRUE(CharAt(*d, 5).fontItalic());
}

// Reads Rtf, writes it, reads that: the second document is the first, and writing it
// again gives the same bytes.
void ExpectFixedPoint(const QByteArray& Rtf)
{
    const auto first = Read(Rtf);
    const QByteArray written = rtf::WriteRtf(*first);
    const auto second = Read(written);
    EXPECT_EQ(rtftest::Describe(*second).toStdString(), rtftest::Describe(*first).toStdString());
    EXPECT_EQ(QString::fromLatin1(rtf::WriteRtf(*second)).toStdString(),
              QString::fromLatin1(written).toStdString());
}

TEST(RtfRoundTrip, EveryFixtureAndGeneratedDocumentIsAFixedPointAfterTheFirstSave)
{
    QDirIterator files(QStringLiteral(TOTAMUND_FIXTURES "/richedit"), {QStringLiteral("*.rtf")}, QDir::Files,
                       QDirIterator::Subdirectories);
    int fixtures = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ExpectFixedPoint(file.readAll());
        ++fixtures;
    }
    EXPECT_GT(fixtures, 0) << "no RTF fixtures found";
    std::mt19937 random(58);
    for (int document = 0; document < 60; ++document) {
        const QByteArray rtf = rtftest::GeneratedRtf(random, 5 + document % 40);
        SCOPED_TRACE(rtf.toStdString());
        ExpectFixedPoint(rtf);
    }
}

TEST(RtfRoundTrip, SavingAgainAndAgainKeepsEveryParagraph)
{
    const struct {
        const char* Rtf;
        QStringList Paragraphs;
    } cases[] = {
            {R"({\rtf1 A\par\par\par})", {"A", "", ""}},
            {R"({\rtf1 A\par B})", {"A", "B"}},
            {R"({\rtf1 A\par})", {"A"}},
            {R"({\rtf1 \par})", {""}},
            {R"({\rtf1 })", {""}},
            {R"({\rtf1 \trowd\cellx900\pard\intbl x\cell\row})", {"", "x", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Rtf);
        QByteArray rtf = c.Rtf;
        for (int save = 0; save < 3; ++save) {
            const auto d = Read(rtf);
            QStringList paragraphs;
            for (QTextBlock b = d->begin(); b.isValid(); b = b.next())
                paragraphs << b.text();
            EXPECT_EQ(paragraphs, c.Paragraphs) << "after save " << save;
            rtf = rtf::WriteRtf(*d);
        }
    }
}

struct KeptCase {
    const char* Name;
    const char* Rtf;
    // Checks the document read, and what was written of it.
    std::function<void(const QTextDocument&, const QByteArray& Written)> Check;
};

QStringList Lines(const QTextDocument& D) { return rtftest::LabelledLines(D); }

// An item of the older numbering whose text is longer than a list level's can be.
const char* LongBulletText()
{
    static const QByteArray rtf = "{\\rtf1{\\*\\pn\\pnlvlblt{\\pntxtb " + QByteArray(300, 'x') + "}}item}";
    return rtf.constData();
}

// A row that defines a hundred cells and fills two, the second an empty paragraph of its own
// format.
const char* WideRowDefinition()
{
    static const QByteArray rtf = [] {
        QByteArray row = "{\\rtf1\\trowd";
        for (int cell = 1; cell <= 100; ++cell)
            row += "\\cellx" + QByteArray::number(cell * 1000);
        return row + "\\pard\\intbl a\\cell\\pard\\intbl\\qr\\cell\\row\\pard after}";
    }();
    return rtf.constData();
}

// A numbered list longer than the editor shows in one list, its items apart.
const char* LongNumberedList()
{
    static const QByteArray rtf = [] {
        QByteArray list = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
                          "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";
        for (int item = 1; item <= 600; ++item)
            list += "\\pard\\ls1 item\\par\\pard between\\par";
        return list + '}';
    }();
    return rtf.constData();
}

const std::vector<KeptCase>& KeptCases()
{
    static const std::vector<KeptCase> cases = {
            {"empty last paragraph", R"({\rtf1 A\par\qc\li720\par})",
             [](const QTextDocument& d, const QByteArray& written) {
                 ASSERT_EQ(d.blockCount(), 2);
                 EXPECT_EQ(Block(d, 1).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
                 EXPECT_EQ(Block(d, 1).intProperty(rtf::LeftIndent), 720);
                 EXPECT_TRUE(written.contains("\\pard\\qc\\li720\\par")) << written.constData();
             }},
            {"optional hyphen", R"({\rtf1 opt\-ional})",
             [](const QTextDocument& d, const QByteArray& written) {
                 EXPECT_EQ(d.toPlainText(), QString::fromUtf8("opt\u00ADional"));
                 EXPECT_TRUE(written.contains("opt\\-ional"));
             }},
            {"charsets",
             R"({\rtf1\ansi{\fonttbl{\f0\fcharset222 Tahoma;}{\f1\fcharset77 Geneva;})"
             R"({\f2\fcharset130 Gulim;})"
             R"({\f3\fcharset255 Terminal;}{\f4\fcharset254 Courier;}{\f5\fcharset161 Arial Greek;}})"
             R"(\f0 \'a1\'d2 \u233?\par\f1 \'8a\'a7\par\f2 \'88\'61\par)"
             R"(\f3 \'82\'a4\par\f4 \'e1\par\f5 \'e1})",
             [](const QTextDocument& d, const QByteArray& written) {
                 EXPECT_EQ(d.toPlainText(), QString::fromUtf8("กา é\näß\n가\néñ\nß\nα"));
                 // Each charset's text goes back in its own code page; what the page does
                 // not hold goes as Unicode.
                 for (const char* bytes :
                      {"\\'a1\\'d2 \\u233?", "\\'8a\\'a7", "\\'88\\'61", "\\'82\\'a4", "\\'e1"})
                     EXPECT_TRUE(written.contains(bytes)) << bytes;
                 for (const char* charset :
                      {"\\fcharset222 ", "\\fcharset77 ", "\\fcharset130 ", "\\fcharset255 "})
                     EXPECT_TRUE(written.contains(charset)) << charset;
             }},
            {"numbered lists",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}})"
             R"({\*\listtable{\list{\listlevel\levelnfc0\levelstartat10)"
             R"({\leveltext\'02\'00.;}{\levelnumbers\'01;}})"
             R"({\listlevel\levelnfc4\levelstartat1{\leveltext\'03(\'01);}{\levelnumbers\'02;}}\listid7})"
             R"({\list{\listlevel\levelnfc23{\leveltext\'01\'b7;}\f1}\listid8}})"
             R"({\*\listoverridetable{\listoverride\listid7\ls4}{\listoverride\listid8\ls9}})"
             R"(\pard\ls4{\listtext 10.\tab}ten\par\pard\ls4\ilvl1 sub\par\pard\ls4\ilvl1 sub\par)"
             R"(\pard plain\par\pard\ls4 eleven\par\pard\ls4\ilvl1 again\par\pard\ls9 dot\par)"
             R"(\pard{\*\pn\pnlvlbody\pnucrm\pnstart3{\pntxta )}}old\par)"
             R"(\pard{\*\pn\pnlvlbody\pnucrm\pnstart3{\pntxta )}}form})",
             [](const QTextDocument& d, const QByteArray& written) {
                 EXPECT_EQ(Lines(d),
                           QStringList({"10. ten", "(a) sub", "(b) sub", "plain", "11. eleven", "(a) again",
                                        QString::fromUtf8("• dot"), "III) old", "IV) form"}));
                 EXPECT_EQ(d.findBlockByNumber(0).textList()->format().style(), QTextListFormat::ListDecimal);
                 // The symbol font's bullet is the bullet character, in no font of its own.
                 EXPECT_FALSE(d.findBlockByNumber(6).textList()->format().hasProperty(rtf::ListLevelFont));
                 EXPECT_TRUE(written.contains("{\\listtext\\plain\\f0 10.\\tab}"));
                 EXPECT_TRUE(written.contains("\\levelstartat10{\\leveltext\\'02\\'00.;}"));
             }},
            {"tables",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}before\par\trowd\cellx1000\cellx2500)"
             R"(\pard\intbl a\cell\pard\intbl b1\par b2\cell\row\trowd\cellx1200)"
             R"(\pard\intbl in\par\pard\intbl\itap2 n1\nestcell n2\nestcell)"
             R"({\*\nesttableprops\trowd\cellx500\cellx900\nestrow})"
             R"({\nonesttables\par}\pard\intbl\itap1 out\cell\row\pard after})",
             [](const QTextDocument& d, const QByteArray&) {
                 const QTextTable* table = d.find("a").currentTable();
                 ASSERT_TRUE(table);
                 EXPECT_EQ(table->rows(), 2);
                 EXPECT_EQ(table->columns(), 2);
                 EXPECT_EQ(rtftest::CellText(*table, 0, 1), "b1\nb2");
                 EXPECT_EQ(table->cellAt(0, 1).format().intProperty(rtf::CellRightEdge), 2500);
                 EXPECT_TRUE(table->cellAt(1, 1).format().boolProperty(rtf::CellPadding));
                 const QTextTable* nested = d.find("n2").currentTable();
                 ASSERT_TRUE(nested);
                 EXPECT_NE(nested, table);
                 EXPECT_EQ(nested->columns(), 2);
                 EXPECT_EQ(nested->cellAt(0, 1).format().intProperty(rtf::CellRightEdge), 900);
                 EXPECT_EQ(d.find("out").currentTable(), table);
                 EXPECT_FALSE(d.find("after").currentTable());
             }},
            {"fields",
             R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}see )"
             R"({\field{\*\fldinst HYPERLINK "https://example.org/a b" \\o "tip"})"
             R"({\fldrslt {\ul here}}}{\field{\*\fldinst {HYPERLINK \\l "total"}}{\fldrslt there}} on )"
             R"({\field{\*\fldinst DATE \\@ "M/d/yyyy"}{\fldrslt 12/11/2026}}})",
             [](const QTextDocument& d, const QByteArray& written) {
                 EXPECT_EQ(d.toPlainText(), "see herethere on 12/11/2026");
                 EXPECT_EQ(CharAt(d, 4).anchorHref(), "https://example.org/a b");
                 EXPECT_TRUE(CharAt(d, 4).fontUnderline());
                 EXPECT_EQ(CharAt(d, 8).anchorHref(), "#total");
                 EXPECT_FALSE(CharAt(d, 20).isAnchor());
                 EXPECT_EQ(CharAt(d, 20).stringProperty(rtf::FieldInstruction), "DATE \\@ \"M/d/yyyy\"");
                 EXPECT_EQ(written.count("{\\field{\\*\\fldinst\\plain\\f0 "), 3);
                 EXPECT_TRUE(written.contains(R"(HYPERLINK "https://example.org/a b" \\o "tip")"));
             }},
            {"paragraph format set in an inner group", R"({\rtf1\sa120{x\qc}})",
             [](const QTextDocument& d, const QByteArray& written) {
                 EXPECT_EQ(Block(d, 0).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
                 EXPECT_EQ(Block(d, 0).intProperty(rtf::SpaceAfter), 120);
                 EXPECT_TRUE(written.contains("\\pard\\qc\\sa120")) << written.constData();
             }},
            // A picture kept as read, in a group the data ends inside, with numbering words
            // of its own.
            {"numbering inside a picture", R"({\rtf1\sa1{{\pict{\pn\pnlvl1}})",
             [](const QTextDocument& d, const QByteArray&) {
                 EXPECT_FALSE(d.firstBlock().textList());
                 EXPECT_TRUE(CharAt(d, -1).hasProperty(rtf::KeptGroup));
             }},
            // "\*" marks only the word right after it, not one after a group's end.
            {"ignorable mark before a group's end", R"({\rtf1 a{\*}\par b{\pict\*}\par c})",
             [](const QTextDocument& d, const QByteArray&) {
                 EXPECT_EQ(d.toPlainText(), QString::fromUtf8("a\nb\uFFFC\nc"));
             }},
            // The document's own group made a picture after its text, with another inside: not
            // whole from its start, the picture is not kept.
            {"picture inside a picture", R"({\rtf1\{\pict{\pict}})",
             [](const QTextDocument& d, const QByteArray& written) {
                 EXPECT_EQ(d.toPlainText(), "{");
                 EXPECT_FALSE(written.contains("\\pict")) << written.constData();
             }},
            // A picture word in the font table: the entries before it stand.
            {"picture in the font table", R"({\rtf1{\fonttbl{\f0 Serif;}{\f1 Mono;}\pict 0102}\f1 r})",
             [](const QTextDocument& d, const QByteArray&) {
                 EXPECT_EQ(d.toPlainText(), "r");
                 EXPECT_EQ(CharAt(d, 0).fontFamilies().toStringList(), QStringList {"Mono"});
             }},
            {"row defining more cells than it has", WideRowDefinition(),
             [](const QTextDocument& d, const QByteArray& written) {
                 const QTextTable* table = d.find("a").currentTable();
                 ASSERT_TRUE(table);
                 EXPECT_EQ(table->rows(), 1);
                 EXPECT_EQ(table->columns(), 2);
                 EXPECT_EQ(table->cellAt(0, 1).format().intProperty(rtf::CellRightEdge), 2000);
                 EXPECT_EQ(table->format().columnWidthConstraints().size(), 2);
                 EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().blockFormat().alignment() &
                                   Qt::AlignHorizontal_Mask,
                           Qt::AlignRight);
                 EXPECT_TRUE(written.contains("\\trowd\\trgaph108\\cellx1000\\cellx2000\r\n"))
                         << written.constData();
             }},
            {"numbered list of many items", LongNumberedList(),
             [](const QTextDocument& d, const QByteArray& written) {
                 const QStringList lines = Lines(d);
                 ASSERT_EQ(lines.size(), 1200);
                 EXPECT_EQ(lines[0], "1. item");
                 EXPECT_EQ(lines[1198], "600. item");
                 EXPECT_TRUE(written.contains("{\\listtext\\plain\\f0 600.\\tab}"));
             }},
            {"bullet text longer than a level holds", LongBulletText(),
             [](const QTextDocument& d, const QByteArray& written) {
                 ASSERT_TRUE(d.firstBlock().textList());
                 EXPECT_EQ(rtf::ListLevelOf(d.firstBlock().textList()->format()).Text, QString(255, 'x'));
                 EXPECT_TRUE(written.contains("{\\leveltext\\'ff"));
             }},
            // Scaled to part of a twip, a picture is as high as the whole twips it is written in.
            {"picture scaled to part of a twip",
             R"({\rtf1{\pict\pngblip\picscaley6\picwgoal120\pichgoal9 )"
             R"(89504e470d0a1a0a0000000d4948445200000008000000060802000000716748ac0000001249444154789c)"
             R"(63f8cfc080156117a593040033282fd1ecc105f90000000049454e44ae426082}})",
             [](const QTextDocument& d, const QByteArray& written) {
                 ASSERT_TRUE(CharAt(d, 0).isImageFormat());
                 EXPECT_DOUBLE_EQ(CharAt(d, 0).toImageFormat().height(), 1 / rtf::TwipsPerPixel);
                 EXPECT_TRUE(written.contains("\\picwgoal120\\pichgoal1\r\n")) << written.constData();
             }},
    };
    return cases;
}

TEST(RtfRoundTrip, TablesFieldsListsCharsetsAndHyphensAreKept)
{
    for (const KeptCase& c : KeptCases()) {
        SCOPED_TRACE(c.Name);
        const auto first = Read(c.Rtf);
        const QByteArray written = rtf::WriteRtf(*first);
        c.Check(*first, written);
        const auto second = Read(written);
        c.Check(*second, rtf::WriteRtf(*second));
        EXPECT_EQ(rtftest::Describe(*second).toStdString(), rtftest::Describe(*first).toStdString());
    }
}

}  // namespace
