#include "tests/richedit/rtfgenerator.h"

#include <array>
#include <string_view>

namespace rtftest {

namespace {

// Fonts of several charsets, each with characters of its code page (as RTF writes them).
struct FontSample {
    const char* Entry;
    std::array<const char*, 4> Characters;
};

constexpr std::array<FontSample, 8> Fonts {{
        {"{\\f0\\fswiss\\fcharset0 Arial;}", {"\\'e9", "\\'fc", "\\'80", "\\'96"}},
        {"{\\f1\\froman\\fcharset204 Times New Roman Cyr;}", {"\\'cf", "\\'f0", "\\'e8", "\\'e2"}},
        {"{\\f2\\fswiss\\fcharset222 Tahoma;}", {"\\'a1", "\\'b5", "\\'d2", "\\'c1"}},
        {"{\\f3\\fmodern\\fcharset128 MS Mincho;}", {"\\'82\\'a0", "\\'93\\'fa", "\\'96\\'7b", "\\'83\\'41"}},
        {"{\\f4\\fswiss\\fcharset238 Arial CE;}", {"\\'b9", "\\'e8", "\\'f8", "\\'9e"}},
        {"{\\f5\\froman\\fcharset77 Geneva;}", {"\\'8a", "\\'9f", "\\'a5", "\\'d0"}},
        {"{\\f6\\fswiss\\fcharset130 Gulim Johab;}",
         {"\\'88\\'61", "\\'8b\\'61", "\\'90\\'61", "\\'94\\'61"}},
        {"{\\f7\\fnil\\fcharset255 Terminal;}", {"\\'82", "\\'a4", "\\'b0", "\\'e1"}},
}};

constexpr std::array<const char*, 12> Words {"payment", "recipient", "form",   "amount", "office", "total",
                                             "client",  "filing",    "record", "number", "memo",   "year"};

constexpr const char* ListTable =
        "{\\*\\listtable"
        "{\\list\\listtemplateid11"
        "{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-"
        "360\\li720}"
        "{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'03(\\'01);}{\\levelnumbers\\'02;}\\fi-"
        "360\\li1440}"
        "{\\listlevel\\levelnfc2\\levelstartat1{\\leveltext\\'06\\'00.\\'01.\\'02.;}"
        "{\\levelnumbers\\'01\\'03\\'05;}"
        "\\fi-360\\li2160}\\listid11}"
        "{\\list\\listtemplateid12"
        "{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}"
        "{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\'01o;}{\\levelnumbers;}\\fi-360\\li1440}"
        "\\listid12}"
        "{\\list\\listtemplateid13"
        "{\\listlevel\\levelnfc1\\levelstartat10{\\leveltext\\'02\\'00);}{\\levelnumbers\\'01;}\\fi-"
        "360\\li720}"
        "\\listid13}}"
        "{\\*\\listoverridetable{\\listoverride\\listid11\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid12\\listoverridecount0\\ls2}{"
        "\\listoverride\\listid13\\listoverridecount0\\ls3}}\r\n";

class Generator {
public:
    explicit Generator(std::mt19937& Random) : FRandom(Random) { }

    QByteArray Document(int Paragraphs)
    {
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
        for (const FontSample& font : Fonts)
            out += font.Entry;
        out += "}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\r\n";
        out += ListTable;
        for (int i = 0; i < Paragraphs; ++i)
            Block(out, 1);
        out += "}";
        return out;
    }

private:
    int Pick(int Count) { return static_cast<int>(FRandom() % static_cast<unsigned>(Count)); }

    void Block(QByteArray& Out, int Depth)
    {
        switch (Pick(10)) {
        case 0:
            if (Depth == 1) {
                Table(Out, 1);
                return;
            }
            break;
        case 1:
        case 2: ListItem(Out); return;
        case 3: OldListItem(Out); return;
        default: break;
        }
        Out += "\\pard";
        ParagraphFormat(Out);
        Out += ' ';
        Runs(Out, 1 + Pick(5));
        Out += "\\par\r\n";
    }

    void ParagraphFormat(QByteArray& Out)
    {
        static constexpr std::array<const char*, 8> formats {"",
                                                             "\\qc",
                                                             "\\qr\\sb120",
                                                             "\\qj\\li720",
                                                             "\\fi-360",
                                                             "\\sa240\\sl360\\slmult1",
                                                             "\\tx1440\\tx2880",
                                                             "\\ri720"};
        Out += formats[static_cast<size_t>(Pick(static_cast<int>(formats.size())))];
    }

    void ListItem(QByteArray& Out)
    {
        const int list = 1 + Pick(3);
        const int level = list == 3 ? 0 : Pick(list == 1 ? 3 : 2);
        Out += "\\pard\\ls" + QByteArray::number(list) + "\\ilvl" + QByteArray::number(level) +
               "\\fi-360\\li" + QByteArray::number(720 * (level + 1)) + "{\\listtext x.\\tab}";
        Runs(Out, 1 + Pick(3));
        Out += "\\par\r\n";
    }

    void OldListItem(QByteArray& Out)
    {
        Out += Pick(2) ? "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta "
                         ".}}\\fi-360\\li720 "
                       : "\\pard{\\pntext\\f0 \\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-360\\li720 ";
        Runs(Out, 1 + Pick(3));
        Out += "\\par\r\n";
    }

    void Table(QByteArray& Out, int Depth)
    {
        const int rows = 1 + Pick(3);
        const int columns = 1 + Pick(3);
        for (int row = 0; row < rows; ++row) {
            QByteArray definition = "\\trowd\\trgaph108";
            for (int column = 0; column < columns; ++column)
                definition += "\\cellx" + QByteArray::number(1500 * (column + 1) + 100 * Pick(5));
            if (Depth == 1)
                Out += definition + "\r\n";
            for (int column = 0; column < columns; ++column) {
                const QByteArray place = "\\pard\\intbl" +
                                         (Depth > 1 ? "\\itap" + QByteArray::number(Depth) : QByteArray()) +
                                         ' ';
                if (Depth == 1 && Pick(6) == 0) {
                    Out += place;
                    Runs(Out, 1);
                    Out += "\\par\r\n";
                    Table(Out, 2);
                }
                Out += place;
                if (Pick(5))
                    Runs(Out, 1 + Pick(2));
                Out += Depth == 1 ? "\\cell\r\n" : "\\nestcell\r\n";
            }
            if (Depth == 1)
                Out += "\\row\r\n";
            else
                Out += "{\\*\\nesttableprops" + definition + "\\nestrow}{\\nonesttables\\par}\r\n";
        }
    }

    void Runs(QByteArray& Out, int Count)
    {
        for (int i = 0; i < Count; ++i) {
            switch (Pick(12)) {
            case 0: Field(Out); break;
            case 1:
                Out += "{\\b ";
                Text(Out);
                Out += '}';
                break;
            case 2:
                Out += "{\\i\\ul\\cf" + QByteArray::number(1 + Pick(3)) + ' ';
                Text(Out);
                Out += '}';
                break;
            case 3:
                Out += "{\\fs" + QByteArray::number(16 + 2 * Pick(10)) + "\\strike ";
                Text(Out);
                Out += '}';
                break;
            case 4: {
                const int font = Pick(static_cast<int>(Fonts.size()));
                Out += "{\\f" + QByteArray::number(font) + ' ';
                for (int c = 0; c < 1 + Pick(6); ++c)
                    Out += Fonts[static_cast<size_t>(font)].Characters[static_cast<size_t>(Pick(4))];
                Out += '}';
                break;
            }
            case 5: Out += "\\u8364?\\u-3913?\\tab opt\\-ional\\~space \\{\\}\\\\ "; break;
            case 6: Out += "\\uc2\\u1488\\'3f\\'3f\\uc1 \\u55357?\\u56832? "; break;
            default: Text(Out); break;
            }
        }
    }

    void Text(QByteArray& Out)
    {
        for (int w = 0; w < 1 + Pick(6); ++w) {
            Out += Words[static_cast<size_t>(Pick(static_cast<int>(Words.size())))];
            Out += ' ';
        }
    }

    void Field(QByteArray& Out)
    {
        switch (Pick(3)) {
        case 0:
            Out += "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/" + QByteArray::number(Pick(100)) +
                   "\"}{\\fldrslt {\\ul\\cf3 the link}}}";
            break;
        case 1: Out += "{\\field{\\*\\fldinst { HYPERLINK \\\\l \"total\" }}{\\fldrslt see total}}"; break;
        default: Out += "{\\field{\\*\\fldinst DATE \\\\@ \"M/d/yyyy\"}{\\fldrslt 12/11/2026}}"; break;
        }
        Out += ' ';
    }

    std::mt19937& FRandom;
};

}  // namespace

QByteArray GeneratedRtf(std::mt19937& Random, int Paragraphs)
{
    return Generator(Random).Document(Paragraphs);
}

}  // namespace rtftest
