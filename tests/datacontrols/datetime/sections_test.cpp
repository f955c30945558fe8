// The picker's text and where its sections lie in it, made by one formatter.

#include <gtest/gtest.h>

#include "datacontrols/datetime/dwdatetimesections.h"
#include "platform/rtl/datetime.h"

namespace {

// Each section's text, cut out of the text at its span.
std::vector<String> SectionTexts(const TdwDTLayout& Layout)
{
    std::vector<String> texts;
    for (const TdwDTSection& section : Layout.Sections)
        texts.push_back(
                Layout.Text.substr(static_cast<size_t>(section.Start), static_cast<size_t>(section.Length)));
    return texts;
}

TEST(DateTimeSections, TheSpansMatchTheTextShown)
{
    struct Case {
        const char* Format;
        TDateTime Value;
        TdwDTValueKind Kind;
        const char* Text;
        std::vector<String> Sections;
    };
    const TDateTime day = EncodeDate(2009, 3, 4);
    const Case cases[] = {
            // A one-letter hour at midnight on a 24-hour clock is one character.
            {"h:nn:ss", EncodeTime(0, 5, 9, 0), TdwDTValueKind::Time, "0:05:09", {"0", "05", "09"}},
            {"h:nn am/pm", EncodeTime(0, 5, 0, 0), TdwDTValueKind::Time, "12:05 am", {"12", "05", "am"}},
            {"h:nn a/p", EncodeTime(22, 0, 0, 0), TdwDTValueKind::Time, "10:00 p", {"10", "00", "p"}},
            // Separators of several characters and quoted text move the later sections.
            {"dd. mm. yyyy", day, TdwDTValueKind::Date, "04. 03. 2009", {"04", "03", "2009"}},
            {"d 'of' mmmm yy", day, TdwDTValueKind::Date, "4 of March 09", {"4", "March", "09"}},
            // "m" after an hour and the time separator is the minute.
            {"hh:mm", EncodeTime(7, 45, 0, 0), TdwDTValueKind::Time, "07:45", {"07", "45"}},
            // Only the kind's sections count; the others still show.
            {"mm/dd/yyyy hh:nn",
             day + EncodeTime(7, 45, 0, 0),
             TdwDTValueKind::Date,
             "03/04/2009 07:45",
             {"03", "04", "2009"}},
            {"mm/dd/yyyy hh:nn",
             day + EncodeTime(7, 45, 0, 0),
             TdwDTValueKind::Time,
             "03/04/2009 07:45",
             {"07", "45"}},
            // The default format leaves the time out at midnight.
            {"c", day, TdwDTValueKind::DateTime, "03/04/2009", {"03", "04", "2009"}},
            {"c",
             day + EncodeTime(13, 2, 3, 0),
             TdwDTValueKind::DateTime,
             "03/04/2009 1:02:03 PM",
             {"03", "04", "2009", "1", "02", "03", "PM"}},
            {"ddddd t",
             day + EncodeTime(13, 2, 0, 0),
             TdwDTValueKind::DateTime,
             "03/04/2009 1:02 PM",
             {"03", "04", "2009", "1", "02", "PM"}},
    };
    for (const Case& c : cases) {
        const TdwDTLayout layout = dwLayoutDateTime(c.Format, c.Value, c.Kind);
        EXPECT_EQ(layout.Text, c.Text) << c.Format;
        EXPECT_EQ(SectionTexts(layout), c.Sections) << c.Format;
    }
    EXPECT_EQ(SectionTexts(dwLayoutDateTime("c", day, TdwDTValueKind::DateTime, true)).size(), 7u)
            << "the time part asked for at midnight";
}

TEST(DateTimeSections, FormatTests)
{
    EXPECT_TRUE(dwFormatHasDateTokens("c"));
    EXPECT_TRUE(dwFormatHasDateTokens("dddddd"));
    EXPECT_FALSE(dwFormatHasDateTokens("hh:nn am/pm"));
    EXPECT_FALSE(dwFormatHasDateTokens("tt"));
    EXPECT_TRUE(dwFormatHasTimeTokens("hh:nn"));
    EXPECT_TRUE(dwFormatHasTimeTokens("c"));
    EXPECT_FALSE(dwFormatHasTimeTokens("mm/dd/yyyy"));
    EXPECT_EQ(dwExpandDateTimeFormat("ddddd tt"), ShortDateFormat + " " + LongTimeFormat);
}

}  // namespace
