// The window of record buffers as a grid sees it through its data link: which rows
// it shows, which one is active, and how far each scroll moved them.

#include <gtest/gtest.h>

#include <numeric>

#include "tests/db/dbfixture.h"

namespace {

using Ids = std::vector<int>;

Ids Range(int From, int To)
{
    Ids ids(static_cast<size_t>(To - From + 1));
    std::iota(ids.begin(), ids.end(), From);
    return ids;
}

struct Step {
    const char* name;
    std::function<void(TDataSet&)> action;
    Ids rows;       // what the link shows, top to bottom
    int active;     // the link's active row
    Ids distances;  // the scroll notifications of the step
};

void Walk(NumberedSet& set, const std::vector<Step>& steps)
{
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        set.link.Distances.clear();
        step.action(set.ds);
        EXPECT_EQ(set.link.Rows(), step.rows);
        EXPECT_EQ(set.link.ActiveRecord(), step.active);
        EXPECT_EQ(set.Id(), step.rows.at(static_cast<size_t>(step.active)));
        EXPECT_EQ(set.link.Distances, step.distances);
    }
}

}  // namespace

TEST(BufferWindow, TwentyRows)
{
    NumberedSet set(30, 20);
    Walk(set,
         {
                 {"open", [](TDataSet&) {}, Range(1, 20), 0, {}},
                 {"MoveBy(5) inside the window", [](TDataSet& ds) { ds.MoveBy(5); }, Range(1, 20), 5, {0}},
                 {"MoveBy(20) past the bottom", [](TDataSet& ds) { ds.MoveBy(20); }, Range(7, 26), 19, {6}},
                 {"MoveBy(-3) inside", [](TDataSet& ds) { ds.MoveBy(-3); }, Range(7, 26), 16, {0}},
                 {"MoveBy(-25) past the top", [](TDataSet& ds) { ds.MoveBy(-25); }, Range(1, 20), 0, {-6}},
                 {"Last", [](TDataSet& ds) { ds.Last(); }, Range(11, 30), 19, {}},
                 {"Prior", [](TDataSet& ds) { ds.Prior(); }, Range(11, 30), 18, {0}},
                 {"First", [](TDataSet& ds) { ds.First(); }, Range(1, 20), 0, {}},
         });
}

TEST(BufferWindow, OneRow)
{
    NumberedSet set(30, 1);
    Walk(set, {
                      {"open", [](TDataSet&) {}, {1}, 0, {}},
                      {"MoveBy(5)", [](TDataSet& ds) { ds.MoveBy(5); }, {6}, 0, {5}},
                      {"Last", [](TDataSet& ds) { ds.Last(); }, {30}, 0, {}},
                      {"MoveBy(-3)", [](TDataSet& ds) { ds.MoveBy(-3); }, {27}, 0, {-3}},
                      {"MoveBy(10) past the end", [](TDataSet& ds) { ds.MoveBy(10); }, {30}, 0, {3}},
                      {"First", [](TDataSet& ds) { ds.First(); }, {1}, 0, {}},
              });
}

TEST(BufferWindow, ResyncAroundADeletedCurrentRecord)
{
    {
        SCOPED_TRACE("twenty rows, a record in the middle");
        NumberedSet set(30, 20);
        Walk(set, {
                          {"to 10", [](TDataSet& ds) { ds.MoveBy(9); }, Range(1, 20), 9, {0}},
                          {"delete 10",
                           [](TDataSet& ds) { ds.Delete(); },
                           Ids {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21},
                           9,
                           {}},
                  });
    }
    {
        SCOPED_TRACE("twenty rows, the last record");
        NumberedSet set(30, 20);
        Walk(set, {{"delete 30",
                    [](TDataSet& ds) {
                        ds.Last();
                        ds.Delete();
                    },
                    Range(10, 29),
                    19,
                    {}}});
    }
    {
        SCOPED_TRACE("one row");
        NumberedSet set(3, 1);
        Walk(set, {
                          {"delete 1", [](TDataSet& ds) { ds.Delete(); }, {2}, 0, {}},
                          {"delete 3",
                           [](TDataSet& ds) {
                               ds.Last();
                               ds.Delete();
                           },
                           {2},
                           0,
                           {}},
                          {"Resync keeps the record", [](TDataSet& ds) { ds.Resync({}); }, {2}, 0, {}},
                  });
        set.ds.Delete();
        EXPECT_TRUE(set.ds.IsEmpty());
        EXPECT_EQ(set.link.RecordCount(), 0);
    }
}

TEST(BufferWindow, ResyncKeepsTheActiveRowOrCentresIt)
{
    NumberedSet set(30, 9);
    set.ds.MoveBy(12);  // rows 5..13, 13 active at the bottom
    ASSERT_EQ(set.link.Rows(), Range(5, 13));
    set.ds.Resync({});
    EXPECT_EQ(set.link.Rows(), Range(5, 13));
    EXPECT_EQ(set.link.ActiveRecord(), 8);
    // Resync reads around the record at the cursor: put it on the active one first.
    set.ds.UpdateCursorPos();
    set.ds.Resync({rmCenter});
    EXPECT_EQ(set.link.Rows(), Range(9, 17));
    EXPECT_EQ(set.link.ActiveRecord(), 4);
}

TEST(BufferWindow, InsertAndAppendShowTheNewRowInTheWindow)
{
    NumberedSet set(30, 5);
    set.ds.MoveBy(2);
    set.ds.Insert();
    EXPECT_EQ(set.link.RecordCount(), 5);
    EXPECT_EQ(set.link.ActiveRecord(), 2);
    set.ds.FieldByName("ID")->SetAsInteger(100);
    set.ds.Post();
    EXPECT_EQ(set.link.Rows(), (Ids {1, 2, 100, 3, 4}));
    EXPECT_EQ(set.link.ActiveRecord(), 2);

    set.ds.Append();
    set.ds.FieldByName("ID")->SetAsInteger(200);
    EXPECT_EQ(set.link.ActiveRecord(), 4);
    set.ds.Post();
    EXPECT_EQ(set.link.Rows(), (Ids {27, 28, 29, 30, 200}));
    EXPECT_EQ(set.link.ActiveRecord(), 4);
}

TEST(BufferWindow, RaisingAndLoweringBufferCount)
{
    NumberedSet set(30, 1);
    set.ds.MoveBy(24);  // record 25
    set.link.SetBufferCount(10);
    // The window grows forwards, and backwards once the end is reached.
    EXPECT_EQ(set.link.Rows(), Range(21, 30));
    EXPECT_EQ(set.Id(), 25);
    EXPECT_EQ(set.link.ActiveRecord(), 4);
    set.link.SetBufferCount(3);
    EXPECT_EQ(set.Id(), 25);
    EXPECT_EQ(set.link.Rows(), (Ids {23, 24, 25}));
    EXPECT_EQ(set.ds.BufferCount(), 3);
}

TEST(BufferWindow, ASmallerLinkFollowsTheActiveRecordInsideALargerWindow)
{
    NumberedSet set(30, 20);
    TLogLink small;
    small.SetDataSource(&set.source);
    small.SetBufferCount(5);
    EXPECT_EQ(set.ds.BufferCount(), 20);
    EXPECT_EQ(small.Rows(), Range(1, 5));
    set.ds.MoveBy(7);
    EXPECT_EQ(small.Rows(), Range(4, 8));
    EXPECT_EQ(small.ActiveRecord(), 4);
    EXPECT_EQ(small.Distances, (Ids {3}));
    set.ds.MoveBy(-2);
    EXPECT_EQ(small.Rows(), Range(4, 8));
    EXPECT_EQ(small.ActiveRecord(), 2);

    // When the large link goes, the window shrinks around the active record and the
    // small link is told to show it afresh.
    small.OwnLog.clear();
    set.link.SetDataSource(nullptr);
    EXPECT_EQ(set.ds.BufferCount(), 5);
    EXPECT_EQ(set.Id(), 6);
    EXPECT_EQ(small.Rows(), Range(2, 6));
    EXPECT_EQ(small.ActiveRecord(), 4);
    EXPECT_EQ(small.OwnLog, (std::vector<String> {"link:DataSetChanged"}));
}

TEST(BufferWindow, SettingActiveRecordReadsAnotherRowWithoutEvents)
{
    NumberedSet set(30, 10);
    set.ds.MoveBy(3);
    set.ds.Log.clear();
    set.link.SetActiveRecord(7);
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "R8");
    set.link.SetActiveRecord(3);
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "R4");
    EXPECT_TRUE(set.ds.Log.empty());
}

TEST(BufferWindow, RecNoAndRecordCountForASequencedSet)
{
    NumberedSet set(30, 10);
    EXPECT_TRUE(set.ds.IsSequenced());
    EXPECT_EQ(set.ds.RecordCount(), 30);
    set.ds.MoveBy(12);
    EXPECT_EQ(set.ds.RecNo(), 13);
    set.ds.SetRecNo(25);
    EXPECT_EQ(set.Id(), 25);
    EXPECT_EQ(set.ds.RecNo(), 25);
}
