// RTF meets other programs: files that LibreOffice wrote (kept in the fixtures with the
// documents they were converted from) read right, and RTF we write reads right in unrtf
// and in LibreOffice.

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>

#include "platform/richedit/rtfformat.h"
#include "platform/richedit/rtfreader.h"
#include "platform/richedit/rtfwriter.h"
#include "tests/richedit/rtfdescribe.h"
#include "tests/richedit/rtffixture.h"
#include "tests/support/tempdir.h"

namespace {

QTextCharFormat CharOf(const QTextDocument& D, const QString& Text)
{
    QTextCursor c = D.find(Text);
    return c.charFormat();
}

TEST(RtfFromLibreOffice, ALetterKeepsItsTextStylesListAndIndent)
{
    const auto d = rtftest::Read(rtftest::FixtureBytes("letter.rtf"));
    const QString text = d->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("Dear Ms. Müller, your payment of $1,250.00 was received.")))
            << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("Indented red text — €5")));
    EXPECT_FALSE(text.contains(QStringLiteral("Liberation"))) << "no font table text";
    EXPECT_EQ(CharOf(*d, "Payment notice").fontWeight(), QFont::Bold);
    EXPECT_TRUE(CharOf(*d, QString::fromUtf8("Müller")).fontItalic());
    EXPECT_TRUE(CharOf(*d, "1,250.00").fontUnderline());
    EXPECT_EQ(CharOf(*d, "Indented").foreground().color(), QColor(255, 0, 0));
    const QTextBlock title = d->find("Payment notice").block();
    EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlock first = d->find("First item").block();
    ASSERT_TRUE(first.textList());
    EXPECT_EQ(first.textList(), d->find("Second item").block().textList());
    EXPECT_EQ(rtf::Twips(d->find("Indented").block().blockFormat(), rtf::LeftIndent), 1440);
}

TEST(RtfFromLibreOffice, APictureAndATableRead)
{
    const auto d = rtftest::Read(rtftest::FixtureBytes("picture.rtf"));
    const QString text = d->toPlainText();
    const QTextTable* table = d->find("Payer").currentTable();
    ASSERT_TRUE(table) << text.toStdString();
    ASSERT_EQ(table->rows(), 2);
    ASSERT_EQ(table->columns(), 2);
    EXPECT_EQ(rtftest::CellText(*table, 0, 1), "Amount");
    EXPECT_EQ(rtftest::CellText(*table, 1, 0), "Acme");
    EXPECT_EQ(rtftest::CellText(*table, 1, 1), "100.00");
    EXPECT_TRUE(text.contains(QStringLiteral("Last paragraph.")));
    int pictures = 0;
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat() || f.hasProperty(rtf::KeptGroup))
                continue;
            ++pictures;
            const QImage image =
                    d->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name())).value<QImage>();
            EXPECT_EQ(image.size(), QSize(8, 6));
        }
    EXPECT_EQ(pictures, 1);
}

// A document of ours with the formats other programs should see.
QByteArray OurDocument()
{
    const auto d = rtftest::Read(QByteArray(
            R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;})"
            R"(\pard\qc{\b Payment notice}\par\pard\li720 Paid to M\'fcller: \cf1 \u8364?12\cf0 , )"
            R"({\i thank you}.\par{\pntext\f0 \'95\tab}{\*\pn\pnlvlblt{\pntxtb\'95}}\fi-360\li720 First\par)"
            R"({\pntext\f0 \'95\tab}{\*\pn\pnlvlblt{\pntxtb\'95}}\fi-360\li720 Second})"));
    return rtf::WriteRtf(*d);
}

TEST(RtfToOthers, UnrtfReadsOurText)
{
    if (QStandardPaths::findExecutable("unrtf").isEmpty())
        GTEST_SKIP() << "unrtf is not installed";
    const QString path = rtftest::ArtifactPath("ours-for-unrtf.rtf");
    rtftest::WriteFile(path, OurDocument());
    const QString text = QString::fromUtf8(rtftest::Run("unrtf", {"--text", path}));
    EXPECT_TRUE(text.contains(QStringLiteral("Payment notice"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(", thank you."))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("First")));
    EXPECT_TRUE(text.contains(QStringLiteral("Second")));
    const QString html = QString::fromUtf8(rtftest::Run("unrtf", {"--html", path}));
    EXPECT_TRUE(html.contains(QStringLiteral("<b><center>Payment notice"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral(
            "Paid to M&uuml;ller: <font color=\"#ff0000\">&euro;12</font>, <i>thank you</i>.")));
    EXPECT_EQ(html.count(QStringLiteral("&bull;")), 2);
}

TEST(RtfToOthers, LibreOfficeReadsOurTextAndPicture)
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const TempDir scratch("rtf-outside");
    const QDir home(QString::fromStdString(scratch.Root()));
    const QString path = home.filePath("ours.rtf");
    QByteArray ours = OurDocument();
    rtftest::WriteFile(path, ours);
    rtftest::WriteFile(rtftest::ArtifactPath("ours-for-libreoffice.rtf"), ours);
    const QStringList args = {"-env:UserInstallation=file://" + home.filePath("profile"),
                              "--headless",
                              "--convert-to",
                              "txt:Text (encoded):UTF8",
                              "--outdir",
                              home.path(),
                              path};
    rtftest::Run("soffice", args, 120000);
    QFile converted(home.filePath("ours.txt"));
    ASSERT_TRUE(converted.open(QIODevice::ReadOnly)) << "LibreOffice wrote no text";
    const QString text = QString::fromUtf8(converted.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Payment notice"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("Paid to Müller: €12, thank you.")));
    EXPECT_TRUE(text.contains(QStringLiteral("First")));
    EXPECT_TRUE(text.contains(QStringLiteral("Second")));
}

}  // namespace
