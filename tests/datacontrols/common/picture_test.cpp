#include <gtest/gtest.h>

#include "datacontrols/common/dwpicture.h"

namespace {

struct MatchCase {
    const char* Picture;
    String Text;
    bool AutoFill;
    TdwPicResult Result;
    String After;  // the text after Match
};

TEST(dwPictureValidator, MatchTable)
{
    const MatchCase cases[] = {
            {"###", "12", false, prIncomplete, "12"},
            {"###", "123", false, prComplete, "123"},
            {"###", "1234", false, prError, "1234"},
            {"###", "12a", false, prError, "12a"},
            {"&&", "ab", false, prComplete, "AB"},
            {"~~", "AB", false, prComplete, "ab"},
            {"!*@", "abc", false, prComplete, "Abc"},
            {"*&", "abc", false, prComplete, "ABC"},
            {"(###)###-####", "(555", true, prIncomplete, "(555)"},
            {"(###)###-####", "(555", false, prIncomplete, "(555"},
            {"*#", "", false, prEmpty, ""},
            {"*#", "123456", false, prComplete, "123456"},
            {"*#", "12a", false, prError, "12a"},
            {"{Y,N}", "y", false, prComplete, "Y"},
            {"{Y,N}", "x", false, prError, "x"},
            {"{AB,AC}", "ac", false, prComplete, "AC"},
            {"{AB,AC}", "a", true, prComplete, "AB"},
            {"###[-##]", "123", false, prComplete, "123"},
            {"###[-##]", "123-4", false, prIncomplete, "123-4"},
            {"###[-##]", "123-45", false, prComplete, "123-45"},
            {"###[-##]", "123-456", false, prError, "123-456"},
            {"#####[-####]", "12345-", false, prIncomplete, "12345-"},
            {"[(###)]###-####", "555-1234", false, prComplete, "555-1234"},
            {"[(###)]###-####", "(555)555-1234", false, prComplete, "(555)555-1234"},
            {"{#[#]}/{#[#]}/{##[##]}", "1/2/08", false, prComplete, "1/2/08"},
            {"{#[#]}/{#[#]}/{##[##]}", "12/31/2008", false, prComplete, "12/31/2008"},
            {"{#[#]}/{#[#]}/{##[##]}", "1", true, prIncomplete, "1"},
            {"{#[#]}/{#[#]}/{##[##]}", "12", true, prIncomplete, "12/"},
            {"*3#", "12", false, prIncomplete, "12"},
            {"*3#", "123", false, prComplete, "123"},
            {"*3#", "1234", false, prError, "1234"},
            {"##/##", "12 ", false, prIncomplete, "12/"},
            {"##/##", "1 ", false, prError, "1 "},
            {"###-##-####", "123456789", true, prError, "123456789"},
            {"?", "\x80", false, prError, "\x80"},
            {"?", "\x81", false, prComplete, "\x81"},
            {"&", "\xe9", false, prComplete, "\xc9"},
            {";*", "*", false, prComplete, "*"},
            {"{ABC,A}", "ab", false, prIncomplete, "AB"},  // the longer incomplete beats a shorter complete
            {"{ABC,A}", "ab", true, prComplete, "ABC"},
            {"#{[A],B}", "1", false, prComplete,
             "1"},  // a group with an optional alternative may be left out
            {"#{A,B}", "1", false, prIncomplete, "1"},
            {"a;;", "A;", false, prComplete, "a;"},
            {"#;", "1", false, prSyntax, "1"},
            {"#*", "1", false, prSyntax, "1"},
            {"*", "1", false, prSyntax, "1"},
            {"", "1", false, prSyntax, "1"},
            {"}{", "1", false, prSyntax, "1"},
            {"{#", "1", false, prSyntax, "1"},
    };
    for (const MatchCase& c : cases) {
        TdwPictureValidator validator(c.Picture, c.AutoFill);
        String text = c.Text;
        EXPECT_EQ(validator.Match(text, c.AutoFill), c.Result) << c.Picture << " / " << c.Text;
        EXPECT_EQ(text, c.After) << c.Picture << " / " << c.Text;
    }
}

// Each key goes through Match of the text it would make; a key that gives an error is refused.
String TypeKeys(const String& Picture, const String& Keys)
{
    TdwPictureValidator validator(Picture, true);
    String text;
    for (char key : Keys) {
        String next = text + key;
        if (validator.Match(next, true) != prError)
            text = next;
    }
    return text;
}

TEST(dwPictureValidator, TypingKeyByKeyWithAutoFill)
{
    EXPECT_EQ(TypeKeys("(###)###-####", "(5551234567"), "(555)123-4567");
    EXPECT_EQ(TypeKeys("(###)###-####", "5551234567"), "");
    EXPECT_EQ(TypeKeys("###-##-####", "123456789"), "123-45-6789");
    EXPECT_EQ(TypeKeys("##/##/####", "12312008"), "12/31/2008");
    EXPECT_EQ(TypeKeys("#####[-####]", "123456789"), "12345");
}

TEST(dwPictureValidator, LongTextsAndLargeCounts)
{
    // Positions and counts are not limited to 8 bits.
    const String digits(300, '7');
    String text = digits;
    EXPECT_EQ(TdwPictureValidator("*300#", false).Match(text, false), prComplete);
    text = String(44, '7');
    EXPECT_EQ(TdwPictureValidator("*300#", false).Match(text, false), prIncomplete);
    text = digits + "1";
    EXPECT_EQ(TdwPictureValidator("*300#", false).Match(text, false), prError);

    const String picture = String(280, '#') + "-&";
    text = String(280, '1') + "-";
    TdwPictureValidator validator(picture, false);
    EXPECT_EQ(validator.Match(text, false), prIncomplete);
    text += "x";
    EXPECT_EQ(validator.Match(text, false), prComplete);
    EXPECT_EQ(text.back(), 'X');
}

TEST(dwPictureValidator, StatusAndChecks)
{
    EXPECT_EQ(TdwPictureValidator("", false).Status(), 1);
    EXPECT_EQ(TdwPictureValidator("{#", false).Status(), 1);
    TdwPictureValidator sound("(###)###-####", true);
    EXPECT_EQ(sound.Status(), 0);
    EXPECT_EQ(sound.Options(), dwPicAutoFill);

    // A malformed picture lets any input through and validates nothing.
    TdwPictureValidator malformed("#;", false);
    String text = "anything";
    EXPECT_TRUE(malformed.IsValidInput(text, false));
    EXPECT_FALSE(malformed.IsValid("1"));

    text = "(555";
    EXPECT_TRUE(sound.IsValidInput(text, false));
    EXPECT_EQ(text, "(555)");
    text = "(555";
    EXPECT_TRUE(sound.IsValidInput(text, true));
    EXPECT_EQ(text, "(555");
    text = "(55x";
    EXPECT_FALSE(sound.IsValidInput(text, false));

    EXPECT_TRUE(sound.IsValid(""));
    EXPECT_TRUE(sound.IsValid("(555)123-4567"));
    EXPECT_FALSE(sound.IsValid("(555)123"));
}

}  // namespace
