// The QBE data set: its text is prepared as it would be run, and opening says
// clearly that QBE queries cannot run here.

#include <gtest/gtest.h>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datasets/wwqbe.h"
#include "tests/tables/tablefixture.h"

namespace {

TStringList Lines(std::initializer_list<const char*> Texts) {
    TStringList lines;
    for (const char* text : Texts) lines.Add(text);
    return lines;
}

TEST(WwQBETest, ExampleVariablesBecomeOneBlankAndLinesJoinWithCrLf) {
    const struct {
        const char* Line;
        const char* Run;
    } cases[] = {
            {"CUST.DB | ID ~Name | City ~name2# |", "CUST.DB | ID   | City   |"},
            {"ORDERS | ~_x1,~Y |", "ORDERS |  ,  |"},
            {"~ alone and a~b", "~ alone and a "},
            {"No Variables Here", "No Variables Here"},
            {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(dwQBEStatementText(Lines({c.Line})), c.Run) << c.Line;
    EXPECT_EQ(dwQBEStatementText(Lines({"Query", "", "T.DB | F |"})), "Query\r\n\r\nT.DB | F |");
}

TEST(WwQBETest, OpeningSaysQBEQueriesAreNotSupportedAndStaysClosed) {
    TdwQBE qbe(nullptr);
    EXPECT_TRUE(qbe.AuxiliaryTables());
    EXPECT_TRUE(qbe.BlankAsZero());
    EXPECT_EQ(dwGetFilterOptions(&qbe), (TdwOnFilterOptions {ofoEnabled, ofoShowHourGlass}));
    EXPECT_NE(dwGetPictureMasksList(&qbe), nullptr);
    EXPECT_EQ(MessageOf([&] { qbe.Open(); }), "No QBE text to run");
    qbe.SetQBE(Lines({"", "T.DB | F |"}));
    EXPECT_EQ(MessageOf([&] { qbe.Open(); }), "No QBE text to run");
    qbe.SetQBE(Lines({"Query", "T.DB | F ~x |"}));
    EXPECT_EQ(MessageOf([&] { qbe.Open(); }), "QBE queries are not supported");
    EXPECT_FALSE(qbe.Active());
    EXPECT_TRUE(qbe.IsSequenced());
    qbe.OnFilter = [](TdwQBE*, bool&) {};
    EXPECT_FALSE(qbe.IsSequenced());
}

}  // namespace
