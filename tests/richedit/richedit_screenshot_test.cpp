// A document read from RTF as the rich edit shows it: list labels and table columns where
// the document puts them.

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QTextTable>

#include "platform/richedit/richedit.h"
#include "tests/support/screenshots.h"

namespace {

constexpr const char* Letter =
        R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}})"
        R"({\*\listtable{\list{\listlevel\levelnfc0{\leveltext\'02\'00.;}\fi-360\li720})"
        R"({\listlevel\levelnfc4{\leveltext\'03(\'01);}\fi-360\li1440}\listid1})"
        R"({\list{\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}\fi-360\li720}\listid2}})"
        R"({\*\listoverridetable{\listoverride\listid1\ls1}{\listoverride\listid2\ls2}})"
        R"(\pard\fs28{\b Payments this year}\par\fs20)"
        R"(\pard\ls1\ilvl0\fi-360\li720 Forms printed\par)"
        R"(\pard\ls1\ilvl1\fi-360\li1440 for each recipient\par)"
        R"(\pard\ls1\ilvl1\fi-360\li1440 and the summary\par)"
        R"(\pard\ls1\ilvl0\fi-360\li720 File sent\par)"
        R"(\pard\ls2\fi-360\li720 a bullet\par)"
        R"(\trowd\cellx1500\cellx3600\cellx5000\pard\intbl Payee\cell Amount\cell Kind\cell\row)"
        R"(\trowd\cellx1500\cellx3600\cellx5000\pard\intbl Miller\cell\pard\intbl 1,250.00\par)"
        R"(\pard\intbl\itap2 box 1\nestcell box 7\nestcell)"
        R"({\*\nesttableprops\trowd\cellx900\cellx1800\nestrow})"
        R"({\nonesttables\par}\pard\intbl\itap1\cell MISC\cell\row)"
        R"(\trowd\cellx1500\cellx3600\pard\intbl Total\cell 1,250.00\cell\row\pard After the table.\par})";

TEST(RichEditScreenshot, AListAndATableShowWhereTheDocumentPutsThem)
{
    TCustomRichEdit edit(nullptr);
    edit.LoadContents(Letter);
    auto* widget = static_cast<QTextEdit*>(edit.Widget());
    widget->resize(520, 400);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    QTextDocument* document = widget->document();

    QStringList labels;
    for (const char* item : {"Forms printed", "for each recipient", "and the summary", "File sent"}) {
        const QTextBlock block = document->find(item).block();
        ASSERT_TRUE(block.textList()) << item;
        labels << block.textList()->itemText(block);
        // The label is drawn in the item's own text format, not in the heading's before it.
        EXPECT_EQ(block.charFormat().fontWeight(), QFont::Normal) << item;
        EXPECT_EQ(block.charFormat().fontPointSize(), 10) << item;
    }
    EXPECT_EQ(labels, QStringList({"1.", "(a)", "(b)", "2."}));

    // The columns are as wide as the row says: 1500 and 2100 twips, 100 and 140 pixels.
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const auto left = [&](const char* Text) {
        return layout->blockBoundingRect(document->find(Text).block()).left();
    };
    EXPECT_NEAR(left("Amount") - left("Payee"), 100, 6);
    EXPECT_NEAR(left("Kind") - left("Amount"), 140, 6);
    const QTextTable* table = document->find("Payee").currentTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_NE(document->find("box 7").currentTable(), table);
    KeepScreenshot(widget->grab(), "richedit_list_and_table.png");
}

}  // namespace
