// The filter compiler: the tree each text compiles to, its bytes, and the texts it
// refuses.

#include <gtest/gtest.h>

#include "datacontrols/datasets/dwfilter.h"
#include "datacontrols/datasets/dwfiltereval.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/datasets/filterfixture.h"

namespace {

class FilterCompileTest : public ::testing::Test {
protected:
    TdwFilterBlob Compile(const String& Text) { return dwFilterCompile(Text, Data.get()); }
    std::unique_ptr<TMemDataSet> Data = MakeTypedDataSet();
    TScriptedDialogs Dialogs;
};

TEST_F(FilterCompileTest, ACityComparisonIsTheDocumentedSixtyFourBytes)
{
    const TdwFilterBlob blob = Compile("CITY = \"BOSTON\"");
    EXPECT_EQ(HexDump(blob), "01 00 40 00 03 00 0A 00 34 00\n"
                             "02 00 00 00 03 00 00 00 1C 00 0E 00 00 00\n"
                             "05 00 00 00 0E 00 00 00 01 00 07 00 05 00\n"
                             "04 00 00 00 0D 00 00 00 01 00 00 00 00 00\n"
                             "43 49 54 59 00 42 4F 53 54 4F 4E 00");
}

TEST_F(FilterCompileTest, TwoComparisonsJoinedByAndNumberTheirFieldsInWritingOrder)
{
    const TdwFilterBlob blob = Compile("AMOUNT > 100 AND STATE = \"NY\"");
    // Seven nodes: the logical root in slot 0 (operator 10), its right comparison in
    // slot 1 with the constant and field after it, the left comparison last.
    EXPECT_EQ(HexDump(blob), "01 00 84 00 07 00 0A 00 6C 00\n"
                             "02 00 00 00 0A 00 00 00 38 00 0E 00 00 00\n"
                             "02 00 00 00 03 00 00 00 2A 00 1C 00 00 00\n"
                             "05 00 00 00 0E 00 00 00 01 00 03 00 15 00\n"
                             "04 00 00 00 0D 00 00 00 02 00 0F 00 00 00\n"
                             "02 00 00 00 05 00 00 00 54 00 46 00 00 00\n"
                             "05 00 00 00 0E 00 00 00 07 00 08 00 07 00\n"
                             "04 00 00 00 0D 00 00 00 01 00 00 00 00 00\n"
                             "41 4D 4F 55 4E 54 00 00 00 00 00 00 00 59 40 53 54 41 54 45 00 4E 59 00");
    EXPECT_EQ(RenderBlob(blob), "AND(>(F1:AMOUNT,f:100),=(F2:STATE,'NY'))");
}

struct CompileCase {
    const char* Text;
    const char* Tree;  // "" when the text is refused
    const char* Warning;
};

const CompileCase Cases[] = {
        // Each constant takes the type of the field on its left.
        {"QTY = 7", "=(F1:QTY,s:7)", ""},
        {"COUNT >= 70000", ">=(F1:COUNT,i:70000)", ""},
        {"AMOUNT <> 12.5", "<>(F1:AMOUNT,f:12.5)", ""},
        {"PAID = T", "=(F1:PAID,b:T)", ""},
        {"PAID = \"true\"", "=(F1:PAID,b:T)", ""},
        {"PAID = False", "=(F1:PAID,b:F)", ""},
        {"DUE < \"03/15/2024\"", "<(F1:DUE,d:738960)", ""},
        {"AT <= \"10:30:15\"", "<=(F1:AT,t:37815000)", ""},
        {"STAMP > \"03/15/2024 10:30\"", ">(F1:STAMP,dt:63846181800000)", ""},
        {"STAMP > \"03/15/2024\"", ">(F1:STAMP,dt:63846144000000)", ""},
        {"PRICE = 1.25", "=(F1:PRICE,bcd:1.25)", ""},
        // Unquoted text loses its trailing blanks; quoted text keeps what the quotes hold.
        {"CITY = Salem   ", "=(F1:CITY,'Salem')", ""},
        {"CITY = \" Salem \"", "=(F1:CITY,' Salem ')", ""},
        // A name on the right is a constant of the left field's type.
        {"CITY = STATE", "=(F1:CITY,'STATE')", ""},
        // An unquoted value runs on across blanks up to a character outside the name set.
        {"STATE = NY AND", "=(F1:STATE,'NY AND')", ""},
        // Field names are found ignoring case; keywords too.
        {"city = \"X\" or qty = 1", "OR(=(F1:city,'X'),=(F2:qty,s:1))", ""},
        // AND and OR share one level, grouped to the left.
        {"QTY = 1 OR AMOUNT = 2 AND PAID = T", "AND(OR(=(F1:QTY,s:1),=(F2:AMOUNT,f:2)),=(F3:PAID,b:T))", ""},
        {"QTY = 1 OR (AMOUNT = 2 AND PAID = T)", "OR(=(F1:QTY,s:1),AND(=(F2:AMOUNT,f:2),=(F3:PAID,b:T)))",
         ""},
        // Arithmetic signs stand alone only before a parenthesis or a quote.
        {"(QTY) - (1)", "-(F1:QTY,s:1)", ""},
        {"(AMOUNT) * (2) / (4)", "/(*(F1:AMOUNT,f:2),f:4)", ""},
        {"(CITY) + \"x\" = \"Salemx\"", "=(+(F1:CITY,'x'),'Salemx')", ""},
        // After a term, a value on the right takes the term's type; a field name stays a field.
        {"((QTY) + (1)) = 5", "=(+(F1:QTY,s:1),f:5)", ""},
        {"(QTY) - (1) = 2", "=(-(F1:QTY,s:1),f:2)", ""},
        {"(AMOUNT) / (100) < (QTY)", "<(/(F1:AMOUNT,f:100),F2:QTY)", ""},
        {"PAID", "F1:PAID", ""},
        {"CITY", "", "CITY is not a logical field at position 1"},
        {"\"PAID\"", "", "Field not found in Table. \r\"PAID\""},
        // A minus sign before a digit begins a number, which ends where the digits do.
        {"QTY = -1 AND PAID = T", "AND(=(F1:QTY,s:-1),=(F2:PAID,b:T))", ""},
        // Whole numbers hold their field's range, to its very ends.
        {"QTY >= -32768 OR QTY <= 32767", "OR(>=(F1:QTY,s:-32768),<=(F2:QTY,s:32767))", ""},
        {"COUNT = 2147483647", "=(F1:COUNT,i:2147483647)", ""},
        // Refused, with what is wrong and where.
        {"QTY - 1 > 5", "", "Field not found in Table. \rQTY - 1"},
        {"\"X\" = CITY", "", "Field not found in Table. \r\"X\""},
        {"ZIP = 1", "", "Field not found in Table. \rZIP"},
        {"CITY = \"X\" ORDERNO = 5", "", "Field not found in Table. \rDERNO"},
        {"NOTES = \"x\"", "", "The memo or blob field NOTES cannot be compared at position 1"},
        {"QTY > 40000", "", "40000 is out of range for QTY (-32768 to 32767) at position 7"},
        {"QTY = -32769", "", "-32769 is out of range for QTY (-32768 to 32767) at position 7"},
        {"COUNT > 99999999999", "",
         "99999999999 is out of range for COUNT (-2147483648 to 2147483647) at position 9"},
        {"PAID = \"T\" AND COUNT < 2147483648", "",
         "2147483648 is out of range for COUNT (-2147483648 to 2147483647) at position 24"},
        {"AMOUNT = \"abc\"", "", "'\"abc\"' is not a valid floating point value for AMOUNT at position 10"},
        {"DUE > \"02/30/2024\"", "", "'02/30/2024' is not a valid date for DUE at position 7"},
        {"AMOUNT = STATE", "", "'STATE' is not a valid floating point value for AMOUNT at position 10"},
        {"QTY = \"7\"", "", "'\"7\"' is not a valid integer value for QTY at position 7"},
        {"COUNT = 1.5", "", "'1.5' is not a valid integer value for COUNT at position 9"},
        {"AT = \"25:00\"", "", "'25:00' is not a valid time for AT at position 6"},
        {"((QTY) + (1)) = \"x\"", "", "'\"x\"' is not a valid floating point value for QTY at position 17"},
        {"CITY == \"X\"", "", "Unknown operator \"==\" at position 6"},
        {"STATE = NY AND X = 1", "", "Unexpected \"=\" at position 18"},
        {"CITY = \"X\" QTY = 1", "", "Unexpected \"QTY\" at position 12"},
        {"CITY = \"unterminated", "", "Unterminated string at position 8"},
        {"(QTY = 1", "", "Missing \")\" at position 9"},
        {"QTY = 1)", "", "Unexpected \")\" at position 8"},
        {"QTY = ", "", "Unexpected end of text at position 7"},
        {"= 5", "", "Unexpected \"=\" at position 1"},
        {"", "", "Unexpected end of text at position 1"},
        {"   ", "", "Unexpected end of text at position 4"},
        {"% = 1", "", "Unexpected character \"%\" at position 1"},
};

TEST_F(FilterCompileTest, TextsCompileToTheirTreesOrAreRefusedSayingWhy)
{
    for (const CompileCase& c : Cases) {
        Dialogs.Messages.clear();
        const TdwFilterBlob blob = Compile(c.Text);
        SCOPED_TRACE(c.Text);
        if (*c.Tree) {
            EXPECT_EQ(RenderBlob(blob), c.Tree);
        } else {
            EXPECT_TRUE(blob.empty()) << RenderBlob(blob);
        }
        if (*c.Warning) {
            ASSERT_EQ(Dialogs.Messages.size(), 1u);
            const String warning = c.Warning;
            const bool ownText = warning.rfind("Field not found", 0) == 0;
            EXPECT_EQ(Dialogs.Messages[0].Text,
                      ownText ? warning : "Invalid filter expression. \r" + warning);
            EXPECT_EQ(Dialogs.Messages[0].Type, mtWarning);
        } else {
            EXPECT_TRUE(Dialogs.Messages.empty());
        }
    }
}

TEST_F(FilterCompileTest, NumbersTakeTheLocalesDecimalMarkAsWellAsAPoint)
{
    const char saved = dwFilterDecimalSeparator;
    dwFilterDecimalSeparator = ',';
    EXPECT_EQ(RenderBlob(Compile("AMOUNT > 12,5 AND PRICE = 1.25")),
              "AND(>(F1:AMOUNT,f:12.5),=(F2:PRICE,bcd:1.25))");
    EXPECT_EQ(RenderBlob(Compile("PRICE < -0,75")), "<(F1:PRICE,bcd:-0.75)");
    dwFilterDecimalSeparator = '.';
    // With a point as the locale's mark, a comma ends the number and is refused.
    EXPECT_TRUE(Compile("AMOUNT > 12,5").empty());
    ASSERT_FALSE(Dialogs.Messages.empty());
    EXPECT_EQ(Dialogs.Messages.back().Text, "Invalid filter expression. \rUnexpected \",\" at position 12");
    dwFilterDecimalSeparator = saved;
}

TEST_F(FilterCompileTest, TextsAreCutAt255CharactersAndTheLiteralAreaGrowsWithThem)
{
    const String longText(300, 'x');
    EXPECT_EQ(RenderBlob(Compile("CITY = \"" + longText + "\"")), "=(F1:CITY,'" + String(255, 'x') + "')");

    // Sixty long constants need far more literal room than a fixed area would give.
    String text = "CITY = \"" + String(250, 'a') + "\"";
    for (int i = 0; i < 59; ++i)
        text += " OR CITY = \"" + String(250, char('a' + i % 26)) + "\"";
    const TdwFilterBlob blob = Compile(text);
    ASSERT_FALSE(blob.empty());
    EXPECT_GT(blob.size(), 60u * 251);
    EXPECT_EQ(RenderBlob(blob).substr(0, 3), "OR(");
    EXPECT_NO_THROW(TdwFilterPredicate(blob, Data.get()));
}

TEST_F(FilterCompileTest, ABlobTooLargeForItsHeaderIsRefused)
{
    String text = "CITY = \"" + String(250, 'a') + "\"";
    for (int i = 0; i < 300; ++i)
        text += " OR CITY = \"" + String(250, 'b') + "\"";
    EXPECT_TRUE(Compile(text).empty());
}

}  // namespace
