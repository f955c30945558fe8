// What we write, LibreOffice shows alike: each written file (of every RTF fixture and of
// generated documents) is converted to text by LibreOffice, and its lines (list items
// with their numbers, table cells one by one) are the lines of our own document.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <random>

#include "platform/richedit/rtfwriter.h"
#include "tests/richedit/rtfdescribe.h"
#include "tests/richedit/rtffixture.h"
#include "tests/richedit/rtfgenerator.h"
#include "tests/support/tempdir.h"

namespace {

// Lines as compared: spaces run together, empty lines gone (an empty paragraph and the
// paragraph that stands before a table show alike). A line break inside a paragraph
// starts a line too; a picture and the optional hyphen do not show in text; LibreOffice
// draws a bullet "o" as a white bullet.
QStringList Comparable(const QStringList& Lines)
{
    QStringList out;
    for (QString text : Lines.join('\n').split(QRegularExpression(QStringLiteral("[\n\u2028]")))) {
        text.remove(QChar(0x00AD));
        text.remove(QChar(QChar::ObjectReplacementCharacter));
        text = text.simplified();
        if (text.startsWith(QChar(0x25E6)))
            text[0] = 'o';
        if (!text.isEmpty())
            out << text;
    }
    return out;
}

TEST(RtfToLibreOffice, EveryWrittenFileShowsOurTextListNumbersAndCells)
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const TempDir scratch("rtf-libreoffice");
    const QDir home(QString::fromStdString(scratch.Root()));
    std::vector<std::pair<QString, QStringList>> expected;
    const auto keep = [&](const QString& Name, const QByteArray& Rtf) {
        const auto document = rtftest::Read(Rtf);
        const QByteArray written = rtf::WriteRtf(*document);
        rtftest::WriteFile(home.filePath(Name + ".rtf"), written);
        rtftest::WriteFile(rtftest::ArtifactPath("libreoffice-" + Name + ".rtf"), written);
        expected.emplace_back(Name, Comparable(rtftest::LabelledLines(*document)));
    };
    QDirIterator files(QStringLiteral(TOTAMUND_FIXTURES "/richedit"), {QStringLiteral("*.rtf")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        keep(QFileInfo(path).dir().dirName() + '-' + QFileInfo(path).completeBaseName(), file.readAll());
    }
    std::mt19937 random(1099);
    for (int i = 0; i < 12; ++i)
        keep(QStringLiteral("generated-%1").arg(i), rtftest::GeneratedRtf(random, 25));

    QStringList args = {"-env:UserInstallation=file://" + home.filePath("profile"),
                        "--headless",
                        "--convert-to",
                        "txt:Text (encoded):UTF8",
                        "--outdir",
                        home.filePath("text")};
    for (const auto& [name, lines] : expected)
        args << home.filePath(name + ".rtf");
    rtftest::Run("soffice", args, 300000);
    for (const auto& [name, lines] : expected) {
        SCOPED_TRACE(name.toStdString());
        QFile converted(home.filePath("text/" + name + ".txt"));
        ASSERT_TRUE(converted.open(QIODevice::ReadOnly)) << "LibreOffice wrote no text";
        QString text = QString::fromUtf8(converted.readAll());
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        EXPECT_EQ(Comparable(text.split('\n')).join('\n').toStdString(), lines.join('\n').toStdString());
    }
}

}  // namespace
