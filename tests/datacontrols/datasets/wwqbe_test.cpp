// The QBE data set: its text is prepared as it would be run, and opening says
// clearly that QBE queries cannot run here.

#include <gtest/gtest.h>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datasets/wwqbe.h"
#include "platform/db/updateobject.h"
#include "tests/support/tablefixture.h"

namespace {

TStringList Lines(std::initializer_list<const char*> Texts)
{
    TStringList lines;
    for (const char* text : Texts)
        lines.Add(text);
    return lines;
}

TEST(WwQBETest, ExampleVariablesBecomeOneBlankAndLinesJoinWithCrLf)
{
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
    for (const auto& c : cases)
        EXPECT_EQ(dwQBEStatementText(Lines({c.Line})), c.Run) << c.Line;
    EXPECT_EQ(dwQBEStatementText(Lines({"Query", "", "T.DB | F |"})), "Query\r\n\r\nT.DB | F |");
}

TEST(WwQBETest, OpeningSaysQBEQueriesAreNotSupportedAndStaysClosed)
{
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

TEST(WwQBETest, TheUpdateObjectServesOneDataSetAndTheLinkGoesWithEither)
{
    TComponent owner(nullptr);
    auto* first = new TdwQBE(&owner);
    auto* second = new TdwQBE(&owner);
    auto* update = new TDataSetUpdateObject(&owner);
    EXPECT_EQ(first->UpdateObject(), nullptr);

    first->SetUpdateObject(update);
    EXPECT_EQ(update->DataSet(), first);
    second->SetUpdateObject(update);
    EXPECT_EQ(update->DataSet(), second);
    EXPECT_EQ(first->UpdateObject(), nullptr) << "the first data set let it go";
    second->SetUpdateObject(nullptr);
    EXPECT_EQ(update->DataSet(), nullptr);

    second->SetUpdateObject(update);
    second->Free();
    EXPECT_EQ(update->DataSet(), nullptr) << "a freed data set is served no more";
    first->SetUpdateObject(update);
    update->Free();
    EXPECT_EQ(first->UpdateObject(), nullptr) << "a freed update object is gone from its data set";
}

}  // namespace
