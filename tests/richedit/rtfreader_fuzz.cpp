// Feeds the RTF reader the project's RTF fixtures and generated documents mutated with a
// fixed seed (bytes changed, control words and braces spliced in, cut off) and writes each
// document read back out, reads that again and writes it once more: the second document
// must be the first and the second write the first. Any crash, hang or out-of-bounds
// access fails the run (under the sanitizers in CI). Argument: the number of rounds.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/richedit/rtfreader.h"
#include "platform/richedit/rtfwriter.h"
#include "tests/richedit/rtfdescribe.h"
#include "tests/richedit/rtfgenerator.h"

namespace {

const char* const Fragments[] = {
        "{",
        "}",
        "\\",
        "\\par ",
        "\\'",
        "\\'e9",
        "\\u-3913?",
        "\\u8364?",
        "\\uc0 ",
        "\\uc9 ",
        "\\bin99999 ",
        "\\bin5 ",
        "{\\pict\\pngblip 89504e47",
        "{\\*\\x ",
        "{\\object ",
        "{\\result ",
        "\\fs-2147483649 ",
        "\\f999999999999 ",
        "\\li2147483647 ",
        "\\tx-5 ",
        "{\\fonttbl{\\f0\\fcharset128 x;}}",
        "{\\colortbl;\\red999;}",
        "\\cf77 ",
        "\\ls3 ",
        "\\pard\\pnlvlblt ",
        "\\sl-9999\\slmult1 ",
        "\\'8\\'",
        "\\ansicpg936 ",
        "\\ansicpg-1 ",
        "{\\pn{\\pntxtb x}}",
        "\\trowd\\cellx500 ",
        "\\intbl ",
        "\\cell ",
        "\\row ",
        "\\itap3 ",
        "\\itap999999 ",
        "\\nestcell ",
        "\\nestrow ",
        "{\\*\\nesttableprops\\trowd\\cellx9\\nestrow}",
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt ",
        "{\\field{\\fldrslt ",
        "\\ls2\\ilvl7 ",
        "\\ilvl-4 ",
        "{\\*\\listtable{\\list{\\listlevel{\\leveltext\\'09\\'00\\'08;}}\\listid1}}",
        "{\\pn\\pnlvl12\\pnlcrm\\pnstart-7{\\pntxta x}}",
        "\\-",
};

QByteArray Mutate(QByteArray bytes, std::mt19937& random)
{
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits; ++i) {
        const qsizetype at =
                bytes.isEmpty() ? 0 : static_cast<qsizetype>(random() % static_cast<unsigned>(bytes.size()));
        switch (random() % 5) {
        case 0:
            if (!bytes.isEmpty())
                bytes[at] = static_cast<char>(random());
            break;
        case 1: bytes.insert(at, Fragments[random() % std::size(Fragments)]); break;
        case 2: bytes.remove(at, 1 + static_cast<qsizetype>(random() % 16)); break;
        case 3: bytes.truncate(at); break;
        default: bytes.insert(at, QByteArray(static_cast<qsizetype>(random() % 600), '{')); break;
        }
    }
    if (!rtf::LooksLikeRtf(bytes))
        bytes.prepend("{\\rtf1");
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::vector<QByteArray> seeds;
    const QDir fixtures(QStringLiteral(TOTAMUND_FIXTURES "/richedit"));
    for (const QString& name : fixtures.entryList({QStringLiteral("*.rtf")}, QDir::Files)) {
        QFile file(fixtures.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            seeds.push_back(file.readAll());
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "no RTF fixtures found\n");
        return 1;
    }
    std::mt19937 random(20261211);
    for (int generated = 0; generated < 8; ++generated)
        seeds.push_back(rtftest::GeneratedRtf(random, 12));
    for (int round = 0; round < rounds; ++round) {
        const QByteArray input = Mutate(seeds[static_cast<size_t>(round) % seeds.size()], random);
        QTextDocument document;
        QTextCursor cursor(&document);
        rtf::ReadOptions options;
        if (round % 7 == 0)
            options.ByteLimit = static_cast<qsizetype>(random() % 4096);
        rtf::ReadRtf(input, cursor, options);
        // What we write of whatever was read reads back to a document that writes the same.
        const QByteArray written = rtf::WriteRtf(document);
        QTextDocument again;
        QTextCursor into(&again);
        rtf::ReadRtf(written, into);
        if (rtftest::Describe(again) != rtftest::Describe(document) || rtf::WriteRtf(again) != written) {
            std::fprintf(stderr,
                         "round %d: what was written does not read back the same\n%s\n---\n%s\n---\n%s\n"
                         "---\nread from:\n%s\n",
                         round, written.constData(), qPrintable(rtftest::Describe(document)),
                         qPrintable(rtftest::Describe(again)), input.constData());
            return 1;
        }
    }
    std::printf("%d rounds\n", rounds);
    return 0;
}
