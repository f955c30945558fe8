// Damaged and hostile RTF: a best-effort document and a note of the damage, never a
// crash, a hang or memory without bound.

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>

#include "platform/richedit/rtfreader.h"
#include "tests/richedit/rtffixture.h"

namespace {

struct DamagedCase {
    const char* Name;
    QByteArray Rtf;
    QString Text;  // what the document shows
    bool Damaged;  // a damage note is given
};

QByteArray Deep(int Depth)
{
    return "{\\rtf1 a" + QByteArray(Depth, '{') + "hidden" + QByteArray(Depth, '}') + " b}";
}

TEST(RtfDamaged, TheReadableTextStaysAndTheDamageIsNamed)
{
    const std::vector<DamagedCase> cases = {
            {"unclosed groups", "{\\rtf1 one {\\b two", "one two", true},
            {"stray closing brace", "{\\rtf1 one}} two}", "one", true},
            {"huge numbers", "{\\rtf1\\fs99999999999999999999 \\li-99999999999999 \\u99999999999? x}",
             QString(), false},
            {"truncated picture", "{\\rtf1 a{\\pict\\pngblip 89504e470d0a1a0a0000} b}", "a\uFFFC b", true},
            {"bin past the end", "{\\rtf1 a{\\pict\\pngblip\\bin999999 xy", "a", true},
            {"cut control word", "{\\rtf1 abc\\'", "abc", true},
            {"deep nesting", Deep(100000), "a b", true},
            {"unknown words and destinations",
             "{\\rtf1 {\\*\\unknowndest skip}\\frobnicate42 kept{\\mystery shown}}", "keptshown", false},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QTextDocument d;
        QTextCursor cursor(&d);
        const rtf::ReadResult result = rtf::ReadRtf(c.Rtf, cursor);
        if (!c.Text.isNull()) {
            EXPECT_EQ(d.toRawText(), c.Text);
        }
        EXPECT_EQ(!result.Damage.isEmpty(), c.Damaged) << result.Damage.toStdString();
    }
}

TEST(RtfDamaged, AHundredMegabytesOfOpenGroupsReadInBoundedTimeAndMemory)
{
    QByteArray hostile = "{\\rtf1 start";
    hostile.append(QByteArray(100 * 1024 * 1024, '{'));
    QTextDocument d;
    QTextCursor cursor(&d);
    const rtf::ReadResult result = rtf::ReadRtf(hostile, cursor);
    EXPECT_EQ(d.toPlainText(), "start");
    EXPECT_FALSE(result.Damage.isEmpty());
}

TEST(RtfDamaged, AByteLimitReadsTheBeginningOnly)
{
    QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard ";
    for (int i = 0; i < 2000; ++i)
        rtf += "{\\b word" + QByteArray::number(i) + "} \\par ";
    rtf += "}";
    QTextDocument d;
    QTextCursor cursor(&d);
    rtf::ReadRtf(rtf, cursor, {256, true});
    EXPECT_TRUE(d.toPlainText().startsWith("word0 \nword1 \n"));
    EXPECT_LT(d.blockCount(), 20);
}

}  // namespace
