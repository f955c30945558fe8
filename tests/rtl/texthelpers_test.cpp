#include "platform/rtl/texthelpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "tests/support/tempdir.h"

namespace {

struct TextCase {
    const char* name;
    String got;
    String expected;
};

void ExpectAll(const std::vector<TextCase>& cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.name;
}

TEST(TextHelpers, CuttingAndPadding)
{
    ExpectAll({
            {"LeftChars shorter", LeftChars("ABC", 5), "ABC"},
            {"LeftChars cut", LeftChars("ABCDEF", 2), "AB"},
            {"LeftChars zero", LeftChars("ABC", 0), ""},
            {"RightChars shorter", RightChars("ABC", 5), "ABC"},
            {"RightChars year", RightChars("2008", 2), "08"},
            {"RightChars zero", RightChars("2008", 0), ""},
            {"RightChars negative", RightChars("2008", -1), ""},
            {"MidChars inside", MidChars("ABCDEF", 2, 3), "BCD"},
            {"MidChars ends first", MidChars("ABCDEF", 5, 10), "EF"},
            {"MidChars past the end", MidChars("ABC", 4, 2), ""},
            {"CharsFrom", CharsFrom("12/31/2008", 7), "2008"},
            {"CharsFrom past the end", CharsFrom("ABC", 9), ""},
            {"FixedWidthText pads", FixedWidthText("AB", 4), "AB  "},
            {"FixedWidthText cuts", FixedWidthText("ABCDEF", 4), "ABCD"},
            {"FixedWidthText exact", FixedWidthText("ABCD", 4), "ABCD"},
            {"FixedWidthText empty", FixedWidthText("", 3), "   "},
            {"Windows-1252 bytes count as one", FixedWidthText("Mu\xF1oz", 6), "Mu\xF1oz "},
    });
}

TEST(TextHelpers, EmptinessAndKeptCharacters)
{
    EXPECT_TRUE(IsEmptyText(""));
    EXPECT_FALSE(IsEmptyText("   "));
    ExpectAll({
            {"DigitsOnly", DigitsOnly("(212) 555-0123 x9"), "21255501239"},
            {"DigitsOnly none", DigitsOnly("abc"), ""},
            {"KeepChars is case-sensitive", KeepChars("aAbB-1", "AB-"), "AB-"},
            {"KeepLettersDigits drops lower case", KeepLettersDigits("Ab 12-x", ""), "A12"},
            {"KeepLettersDigits extra", KeepLettersDigits("AB-12_&", "-_"), "AB-12_"},
    });
}

TEST(TextHelpers, NumberFormatters)
{
    ExpectAll({
            {"SSN", FormatSSN("123456789"), "123-45-6789"},
            {"SSN with blanks", FormatSSN("123 45 6789"), "123-45-6789"},
            {"SSN already formatted", FormatSSN("123-45-6789"), "123-45-6789"},
            {"SSN too short", FormatSSN("12345"), "12345"},
            {"SSN too long", FormatSSN("1234567890"), "1234567890"},
            {"EIN", FormatEIN("123456789"), "12-3456789"},
            {"EIN short", FormatEIN("12-345"), "12-345"},
            {"ZIP+4", FormatZip("123456789"), "12345-6789"},
            {"ZIP five digits", FormatZip("12345"), "12345"},
            {"Phone", FormatPhone("2125550123"), "(212) 555-0123"},
            {"Phone with hyphens", FormatPhone("212-555-0123"), "212-555-0123"},
            {"Phone with a letter", FormatPhone("212555012X"), "212555012X"},
            {"Phone nine digits", FormatPhone("212555012"), "212555012"},
    });
}

TEST(TextHelpers, Names)
{
    ExpectAll({
            {"last name after comma", ExtractLastName("SMITH, JOHN"), "JOHN"},
            {"last word", ExtractLastName("JOHN Q SMITH"), "SMITH"},
            {"trailing blank", ExtractLastName("JOHN SMITH "), ""},
            {"one word", ExtractLastName("SMITH"), "SMITH"},
            {"name control drops THE", NameControl("The Smith-Jones Co"), "SMIT"},
            {"name control drops symbols", NameControl("A & B"), "AB"},
            {"name control digits", NameControl("3M Company"), "3MCO"},
            {"name control THE needs its blank", NameControl("Theatre Inc"), "THEA"},
            {"name control short", NameControl(""), ""},
    });
}

TEST(TextHelpers, RoundHalfUp)
{
    const std::vector<std::pair<double, int>> cases = {
            {2.5, 3}, {-2.5, -2},     {2.4, 2},  {-2.6, -3},
            {0.0, 0}, {1234.5, 1235}, {-0.4, 0}, {16777215.0, 16777215},
    };
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(RoundHalfUp(x), expected) << x;
    // Held in single precision: 2.49999999 reads as 2.5.
    EXPECT_EQ(RoundHalfUp(2.49999999), 3);
    EXPECT_THROW(RoundHalfUp(1e12), ERangeError);
    EXPECT_THROW(RoundHalfUp(std::nan("")), ERangeError);
}

TEST(TextHelpers, TextToRoundedInt)
{
    const std::vector<std::pair<String, int>> cases = {
            {"1,234.5", 1235}, {"1E5", 0},   {"1e5", 15},  {"abc", 0},       {"", 0},
            {"2.5", 3},        {"-2.5", -2}, {" 42 ", 42}, {"$1,000", 1000},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(TextToRoundedInt(text), expected) << text;
    for (const char* bad : {"1.2.3", "5-", "-", "."})
        EXPECT_THROW(TextToRoundedInt(bad), EConvertError) << bad;
}

TEST(TextHelpers, DateTextToDate)
{
    EXPECT_EQ(DateTextToDate("12-31-2008"), EncodeDate(2008, 12, 31));
    EXPECT_EQ(DateTextToDate("02/29/2000"), EncodeDate(2000, 2, 29));
    EXPECT_EQ(DateTextToDate("01.05.1999"), EncodeDate(1999, 1, 5));
    EXPECT_EQ(DateTextToDate(""), 0);
    // Impossible dates, and texts that would be read as some other date.
    for (const char* bad : {"02-30-2008", "13/01/2008", "00/10/2008", "1231", "12/31/08", "12/31/2008 ",
                            " 2/03/2008", "12/31/20O8", "1-2-2008xx"}) {
        EXPECT_THROW(DateTextToDate(bad), EConvertError) << bad;
    }
}

TEST(TextHelpers, FormatDateText)
{
    ExpectAll({
            {"six digits, 20xx", FormatDateText("010508", "MM-DD-YYYY"), "01-05-2008"},
            {"six digits above 60", FormatDateText("123161", "MM-DD-YYYY"), "12-31-1961"},
            {"six digits at 60", FormatDateText("123160", "MM-DD-YYYY"), "12-31-2060"},
            {"eight digits with hyphens", FormatDateText("12/31/1999", "MM-DD-YYYY"), "12-31-1999"},
            {"six digits slashed always 20", FormatDateText("123161", "MM/DD/YYYY"), "12/31/2061"},
            {"eight digits slashed", FormatDateText("01-05-2008", "MM/DD/YYYY"), "01/05/2008"},
            {"not checked as a date", FormatDateText("13451999", "MM/DD/YYYY"), "13/45/1999"},
            {"two-digit year from eight", FormatDateText("12311999", "MM/DD/YY"), "12/31/99"},
            {"two-digit year from six", FormatDateText("12-31-99", "MM/DD/YY"), "12/31/99"},
            {"four digits unchanged", FormatDateText("1/5/08", "MM/DD/YY"), "1/5/08"},
            {"seven digits unchanged", FormatDateText("1/15/2008", "MM-DD-YYYY"), "1/15/2008"},
            {"other target unchanged", FormatDateText("12311999", "YYYY-MM-DD"), "12311999"},
            {"VARIOUS", FormatDateText("VARIOUS", "MM/DD/YYYY"), "VARIOUS"},
            {"INHERITED", FormatDateText("INHERITED", "MM-DD-YYYY"), "INHERITED"},
            {"empty", FormatDateText("", "MM/DD/YYYY"), ""},
    });
}

TEST(TextHelpers, TodayFromTheClock)
{
    SetClock([] { return EncodeDate(2009, 1, 7) + 0.75; });
    const char savedSeparator = DateSeparator;
    DateSeparator = '.';
    EXPECT_EQ(TodayText(), "01-07-2009");
    EXPECT_EQ(TodayTextSlashed(), "01/07/2009");
    DateSeparator = savedSeparator;
    SetClock(nullptr);
}

class PromptCreateDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Scratch.emplace("texthelpers");
        root = Scratch->Root();
        startDir = std::filesystem::current_path();
    }
    void TearDown() override
    {
        // The current directory never moves.
        EXPECT_EQ(std::filesystem::current_path(), startDir);
        Scratch.reset();
    }

    // Answers with Answer and records the questions.
    TAskYesNo Answering(bool answer)
    {
        return [this, answer](const String& question) {
            questions.push_back(question);
            return answer;
        };
    }

    std::optional<TempDir> Scratch;
    std::string root;
    std::filesystem::path startDir;
    std::vector<String> questions;
};

TEST_F(PromptCreateDirectoryTest, ExistingDirectory)
{
    for (const String& path : {root, root + "/", String("/")}) {
        EXPECT_TRUE(PromptCreateDirectory(path, false, Answering(false))) << path;
    }
    // Typed with backslashes.
    std::filesystem::create_directory(root + "/Data");
    String typed = root + "\\Data\\";
    EXPECT_TRUE(PromptCreateDirectory(typed, false, Answering(false)));
    EXPECT_TRUE(questions.empty());
}

TEST_F(PromptCreateDirectoryTest, MissingWithoutAsking)
{
    EXPECT_FALSE(PromptCreateDirectory(root + "/missing", false, Answering(true)));
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(std::filesystem::exists(root + "/missing"));
}

TEST_F(PromptCreateDirectoryTest, MissingAndTheAnswerIsYes)
{
    EXPECT_TRUE(PromptCreateDirectory(root + "\\clients\\", true, Answering(true)));
    EXPECT_EQ(questions, (std::vector<String> {"The directory [" + root +
                                               "/clients] does not exist. Would you like to create it ?"}));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/clients"));
}

TEST_F(PromptCreateDirectoryTest, MissingAndTheAnswerIsNo)
{
    EXPECT_FALSE(PromptCreateDirectory(root + "/clients", true, Answering(false)));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(root + "/clients"));
}

TEST_F(PromptCreateDirectoryTest, CreationFailsWithoutItsParent)
{
    EXPECT_FALSE(PromptCreateDirectory(root + "/a/b", true, Answering(true)));
    EXPECT_FALSE(std::filesystem::exists(root + "/a"));
}

}  // namespace
