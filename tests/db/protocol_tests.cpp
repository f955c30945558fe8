// The order of events, buffer fills and link notifications of each operation, as
// platform/db/README.md gives it, and the rules the table layer builds on.

#include <gtest/gtest.h>

#include "platform/db/fieldkinds.h"
#include "tests/db/dbfixture.h"

using Log = std::vector<String>;

TEST(DataSetProtocol, OpenAndCloseLogs)
{
    NumberedSet set(5);
    set.ds.Close();
    EXPECT_EQ(set.ds.Log, (Log {"BeforeClose", "link:ActiveChanged", "InternalClose", "AfterClose"}));
    EXPECT_FALSE(set.link.Active());

    set.ds.Log.clear();
    set.ds.Open();
    EXPECT_EQ(set.ds.Log, (Log {"BeforeOpen", "InternalOpen", "Get next #1", "link:ActiveChanged",
                                "AfterOpen", "AfterScroll"}));
    EXPECT_EQ(set.ds.State(), dsBrowse);
    EXPECT_TRUE(set.ds.Bof());
    EXPECT_FALSE(set.ds.Eof());
}

TEST(DataSetProtocol, OpeningAnEmptySetFiresNoAfterScroll)
{
    TMemDataSet ds(nullptr, NumberedColumns());
    LogEvents(ds);
    ds.Open();
    EXPECT_EQ(ds.Log, (Log {"BeforeOpen", "InternalOpen", "Get next EOF", "AfterOpen"}));
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Bof());
    EXPECT_TRUE(ds.Eof());
}

TEST(DataSetProtocol, AnOpenTheDescendantGivesUpEndsQuietly)
{
    NumberedSet set(3);
    set.ds.Close();
    set.ds.RefuseOpen = true;
    set.ds.Log.clear();
    EXPECT_NO_THROW(set.ds.Open());
    EXPECT_FALSE(set.ds.Active());
    EXPECT_FALSE(set.link.Active());
    EXPECT_EQ(set.ds.FieldCount(), 0);
    EXPECT_EQ(set.ds.Log, (Log {"BeforeOpen", "InternalOpen"}));
}

TEST(DataSetProtocol, ActiveSetWhileLoadingOpensInLoaded)
{
    TComponent form(nullptr);
    form.BeginLoading();
    auto* ds = new TMemDataSet(&form, NumberedColumns());
    ds->SetActive(true);
    EXPECT_FALSE(ds->Active());
    form.FinishLoading();
    EXPECT_TRUE(ds->Active());
}

TEST(DataSetProtocol, ScrollLogs)
{
    NumberedSet set(5);
    set.ds.Next();
    EXPECT_EQ(set.ds.Log, (Log {"link:CheckBrowseMode", "BeforeScroll", "Get next #2", "link:Scrolled(1)",
                                "AfterScroll"}));

    set.ds.Log.clear();
    set.ds.Last();
    EXPECT_EQ(set.ds.Log, (Log {"link:CheckBrowseMode", "BeforeScroll", "InternalLast", "Get prior #5",
                                "link:DataSetChanged", "AfterScroll"}));
    EXPECT_TRUE(set.ds.Eof());

    set.ds.Log.clear();
    set.ds.First();
    EXPECT_EQ(set.ds.Log, (Log {"link:CheckBrowseMode", "BeforeScroll", "InternalFirst", "Get next #1",
                                "link:DataSetChanged", "AfterScroll"}));
}

TEST(DataSetProtocol, AfterScrollFiresOnlyWhenThePositionChanged)
{
    struct Case {
        const char* name;
        std::function<void(TDataSet&)> setup, move;
        bool scrolls;
    };
    const std::vector<Case> cases = {
            {"First on the first record", [](TDataSet&) {}, [](TDataSet& ds) { ds.First(); }, false},
            {"First after Next and Prior",
             [](TDataSet& ds) {
                 ds.Next();
                 ds.Prior();
             },
             [](TDataSet& ds) { ds.First(); }, false},
            {"First from the third record", [](TDataSet& ds) { ds.MoveBy(2); },
             [](TDataSet& ds) { ds.First(); }, true},
            {"Last on the last record", [](TDataSet& ds) { ds.Last(); }, [](TDataSet& ds) { ds.Last(); },
             false},
            {"Prior at the beginning", [](TDataSet&) {}, [](TDataSet& ds) { ds.Prior(); }, false},
            {"Next at the end", [](TDataSet& ds) { ds.Last(); }, [](TDataSet& ds) { ds.Next(); }, false},
            {"Next past the last record", [](TDataSet& ds) { ds.MoveBy(4); }, [](TDataSet& ds) { ds.Next(); },
             false},
            {"MoveBy(0)", [](TDataSet&) {}, [](TDataSet& ds) { ds.MoveBy(0); }, false},
            {"MoveBy(2)", [](TDataSet&) {}, [](TDataSet& ds) { ds.MoveBy(2); }, true},
            {"bookmark of the same record", [](TDataSet&) {},
             [](TDataSet& ds) { ds.GotoBookmark(ds.GetBookmark()); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NumberedSet set(5);
        c.setup(set.ds);
        int afterScroll = 0;
        set.ds.AfterScroll = [&](TDataSet*) { ++afterScroll; };
        c.move(set.ds);
        EXPECT_EQ(afterScroll, c.scrolls ? 1 : 0);
    }
}

TEST(DataSetProtocol, MoveByReportsTheStepsMadeAndStopsAtTheEnds)
{
    NumberedSet set(5);
    EXPECT_EQ(set.ds.MoveBy(10), 4);
    EXPECT_TRUE(set.ds.Eof());
    EXPECT_EQ(set.Id(), 5);
    EXPECT_EQ(set.ds.MoveBy(-10), -4);
    EXPECT_TRUE(set.ds.Bof());
    EXPECT_EQ(set.Id(), 1);
}

TEST(DataSetProtocol, EditPostLogs)
{
    NumberedSet set(5);
    set.ds.Next();
    set.ds.Log.clear();
    set.ds.Edit();
    EXPECT_EQ(set.ds.Log, (Log {"link:CheckBrowseMode", "BeforeEdit", "link:EditingChanged(on)",
                                "link:RecordChanged()", "AfterEdit"}));
    EXPECT_EQ(set.ds.State(), dsEdit);

    set.ds.Log.clear();
    set.ds.FieldByName("NAME")->SetAsString("Second");
    EXPECT_EQ(set.ds.Log, (Log {"link:RecordChanged(NAME)"}));
    EXPECT_TRUE(set.ds.Modified());

    set.ds.Log.clear();
    set.ds.Post();
    EXPECT_EQ(set.ds.Log,
              (Log {"link:UpdateData", "link:CheckBrowseMode", "BeforePost", "InternalPost",
                    "link:EditingChanged(off)", "Get current #2", "link:DataSetChanged", "AfterPost"}));
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "Second");
    EXPECT_FALSE(set.ds.Modified());
}

TEST(DataSetProtocol, EditCancelRestoresTheStoredRecord)
{
    NumberedSet set(5);
    set.ds.Edit();
    set.ds.FieldByName("NAME")->SetAsString("Changed");
    set.ds.Log.clear();
    set.ds.Cancel();
    EXPECT_EQ(set.ds.Log, (Log {"link:CheckBrowseMode", "BeforeCancel", "link:EditingChanged(off)",
                                "Get current #1", "link:DataSetChanged", "AfterCancel"}));
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "R1");
}

TEST(DataSetProtocol, InsertLogsAndPostPlacesTheRecordBeforeTheActiveOne)
{
    NumberedSet set(5);
    set.ds.MoveBy(2);
    set.ds.Log.clear();
    set.ds.Insert();
    EXPECT_EQ(set.ds.Log,
              (Log {"link:CheckBrowseMode", "BeforeInsert", "BeforeScroll", "link:EditingChanged(on)",
                    "AfterInsert", "OnNewRecord", "link:DataSetChanged", "AfterScroll"}));
    EXPECT_TRUE(set.ds.FieldByName("ID")->IsNull());

    set.ds.FieldByName("ID")->SetAsInteger(99);
    set.ds.Post();
    EXPECT_EQ(set.Id(), 99);
    set.ds.Next();
    EXPECT_EQ(set.Id(), 3);
    EXPECT_EQ(set.ds.StoredCount(), 6);
}

TEST(DataSetProtocol, AppendLogsAndPostAddsAtTheEnd)
{
    NumberedSet set(5);
    set.ds.Log.clear();
    set.ds.Append();
    EXPECT_EQ(set.ds.Log, (Log {"link:CheckBrowseMode", "BeforeInsert", "BeforeScroll", "InternalLast",
                                "link:EditingChanged(on)", "AfterInsert", "OnNewRecord",
                                "link:DataSetChanged", "AfterScroll"}));
    set.ds.FieldByName("ID")->SetAsInteger(6);
    set.ds.Log.clear();
    set.ds.Post();
    EXPECT_EQ(set.ds.Log,
              (Log {"link:UpdateData", "link:CheckBrowseMode", "BeforePost", "InternalPost",
                    "link:EditingChanged(off)", "Get current #6", "link:DataSetChanged", "AfterPost"}));
    set.ds.Last();
    EXPECT_EQ(set.Id(), 6);
}

TEST(DataSetProtocol, CancelOfAnInsertReturnsToTheRecordItStoodBefore)
{
    NumberedSet set(5, 3);
    set.ds.MoveBy(2);
    set.ds.Insert();
    set.ds.FieldByName("ID")->SetAsInteger(99);
    set.ds.Cancel();
    EXPECT_EQ(set.Id(), 3);
    EXPECT_EQ(set.link.Rows(), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(set.ds.StoredCount(), 5);

    set.ds.Append();
    set.ds.Cancel();
    EXPECT_EQ(set.Id(), 5);
    EXPECT_EQ(set.ds.StoredCount(), 5);
}

TEST(DataSetProtocol, DeleteLogs)
{
    NumberedSet set(5);
    set.ds.Next();
    set.ds.Log.clear();
    set.ds.Delete();
    EXPECT_EQ(set.ds.Log, (Log {"link:CheckBrowseMode", "BeforeDelete", "BeforeScroll", "InternalDelete",
                                "Get current #3", "link:DataSetChanged", "AfterDelete", "AfterScroll"}));
    EXPECT_EQ(set.Id(), 3);
    EXPECT_EQ(set.ds.StoredCount(), 4);
}

TEST(DataSetProtocol, DeleteOnAnEmptySetRaisesAndDeleteWhileInsertingCancels)
{
    TMemDataSet ds(nullptr, NumberedColumns());
    ds.Open();
    EXPECT_THROW(ds.Delete(), EDatabaseError);
    ds.Insert();
    ds.Delete();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.StoredCount(), 0);
}

TEST(DataSetProtocol, EditOnAnEmptySetInserts)
{
    TMemDataSet ds(nullptr, NumberedColumns());
    ds.Open();
    LogEvents(ds);
    ds.Log.clear();
    ds.Edit();
    EXPECT_EQ(ds.State(), dsInsert);
    EXPECT_EQ(ds.Log, (Log {"BeforeInsert", "BeforeScroll", "AfterInsert", "OnNewRecord", "AfterScroll"}));
    ds.FieldByName("ID")->SetAsInteger(1);
    ds.Post();
    EXPECT_EQ(ds.StoredCount(), 1);
    EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 1);
    EXPECT_FALSE(ds.IsEmpty());
}

TEST(DataSetProtocol, CheckBrowseModePostsAModifiedRecordAndCancelsAnUntouchedOne)
{
    NumberedSet set(3);
    set.ds.Edit();
    set.ds.FieldByName("NAME")->SetAsString("Kept");
    set.ds.Next();  // leaves through CheckBrowseMode
    set.ds.First();
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "Kept");

    set.ds.Insert();
    int posts = 0;
    set.ds.BeforePost = [&](TDataSet*) { ++posts; };
    set.ds.CheckBrowseMode();
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(set.ds.StoredCount(), 3);
}

TEST(DataSetProtocol, WritesOutsideEditStateAndOnReadOnlySetsAreRefused)
{
    NumberedSet set(3);
    EXPECT_THROW(set.ds.FieldByName("NAME")->SetAsString("x"), EDatabaseError);
    EXPECT_THROW(set.ds.Post(), EDatabaseError);

    set.ds.ReadOnlySet = true;
    try {
        set.ds.Edit();
        FAIL() << "Edit on a read-only set";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Cannot modify a read-only data set");
    }
    EXPECT_EQ(set.ds.State(), dsBrowse);
    EXPECT_THROW(set.ds.Insert(), EDatabaseError);

    set.ds.ReadOnlySet = false;
    set.ds.FieldByName("NAME")->SetReadOnly(true);
    set.ds.Edit();
    EXPECT_THROW(set.ds.FieldByName("NAME")->SetAsString("x"), EDatabaseError);
}

TEST(DataSetProtocol, RequiredFieldsAreCheckedAfterBeforePost)
{
    NumberedSet set(2);
    set.ds.FieldByName("NAME")->SetRequired(true);
    set.ds.Append();
    set.ds.FieldByName("ID")->SetAsInteger(3);
    try {
        set.ds.Post();
        FAIL() << "posted without NAME";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'NAME' must have a value");
    }
    EXPECT_EQ(set.ds.State(), dsInsert);
    set.ds.BeforePost = [](TDataSet* ds) { ds->FieldByName("NAME")->SetAsString("filled"); };
    set.ds.Post();
    EXPECT_EQ(set.ds.StoredCount(), 3);
}

TEST(DataSetProtocol, PostErrorHandlerDecidesBetweenFailAbortAndRetry)
{
    struct Case {
        TDataAction action;
        bool throws;
        TDataSetState state;
        int stored;
    };
    for (const Case c : {Case {daFail, true, dsInsert, 2}, Case {daAbort, false, dsInsert, 2},
                         Case {daRetry, false, dsBrowse, 3}}) {
        SCOPED_TRACE(static_cast<int>(c.action));
        NumberedSet set(2);
        set.ds.Append();
        set.ds.FieldByName("ID")->SetAsInteger(3);
        set.ds.PostFailures = 1;
        String seen;
        set.ds.OnPostError = [&](TDataSet*, EDatabaseError& e, TDataAction& action) {
            seen = e.Message();
            action = c.action;
        };
        if (c.throws)
            EXPECT_THROW(set.ds.Post(), EDatabaseError);
        else
            EXPECT_NO_THROW(set.ds.Post());
        EXPECT_EQ(seen, "write refused");
        EXPECT_EQ(set.ds.State(), c.state);
        EXPECT_EQ(set.ds.StoredCount(), c.stored);
    }
}

TEST(DataSetProtocol, FailingNewRecordHandlerGivesTheInsertUp)
{
    NumberedSet set(3, 5);
    set.ds.Next();
    set.ds.OnNewRecord = [](TDataSet*) { throw EDatabaseError("no defaults"); };
    EXPECT_THROW(set.ds.Insert(), EDatabaseError);
    EXPECT_EQ(set.ds.State(), dsBrowse);
    EXPECT_EQ(set.Id(), 2);
    EXPECT_EQ(set.link.Rows(), (std::vector<int> {1, 2, 3}));
}

TEST(DataSetProtocol, CalculatedFieldsAreComputedForEveryRecordRead)
{
    TMemDataSet ds(nullptr, NumberedColumns());
    // Persistent fields: the data fields and one calculated field.
    for (const MemColumn& column : NumberedColumns()) {
        TFieldDef def(column.Name, column.DataType, column.Size, false, 0);
        def.CreateField(&ds, &ds);
    }
    auto* doubled = new TFloatField(&ds);
    doubled->SetFieldName("DOUBLED");
    doubled->SetCalculated(true);
    doubled->SetDataSet(&ds);
    std::vector<TDataSetState> states;
    ds.OnCalcFields = [&](TDataSet* d) {
        states.push_back(d->State());
        d->FieldByName("DOUBLED")->SetAsFloat(d->FieldByName("AMOUNT")->AsFloat() * 2);
    };
    ds.Open();
    ds.AddRows(NumberedRows(3));
    ds.Next();
    EXPECT_DOUBLE_EQ(doubled->AsFloat(), 40.0);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), dsCalcFields);
    EXPECT_EQ(ds.State(), dsBrowse);

    // A change of a data field recalculates at once.
    ds.Edit();
    ds.FieldByName("AMOUNT")->SetAsFloat(7.5);
    EXPECT_DOUBLE_EQ(doubled->AsFloat(), 15.0);
    ds.Cancel();
    EXPECT_DOUBLE_EQ(doubled->AsFloat(), 40.0);
    EXPECT_FALSE(ds.DefaultFields());
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 4);  // persistent fields stay
}

TEST(DataSetProtocol, FilterRecordRunsInTheFilterStateAndHidesRecords)
{
    NumberedSet set(6);
    std::vector<TDataSetState> states;
    set.ds.OnFilterRecord = [&](TDataSet* ds, bool& accept) {
        states.push_back(ds->State());
        accept = ds->FieldByName("ID")->AsInteger() % 2 == 0;
    };
    set.ds.SetFiltered(true);
    set.ds.First();
    std::vector<int> seen;
    while (!set.ds.Eof()) {
        seen.push_back(set.Id());
        set.ds.Next();
    }
    EXPECT_EQ(seen, (std::vector<int> {2, 4, 6}));
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), dsFilter);
    EXPECT_FALSE(set.ds.IsSequenced());
}

TEST(DataSetProtocol, BookmarksFindTheirRecordAgain)
{
    NumberedSet set(10, 4);
    set.ds.MoveBy(6);
    TBookmark mark = set.ds.GetBookmark();
    EXPECT_TRUE(set.ds.BookmarkValid(mark));
    set.ds.First();
    EXPECT_LT(set.ds.CompareBookmarks(set.ds.GetBookmark(), mark), 0);
    set.ds.GotoBookmark(mark);
    EXPECT_EQ(set.Id(), 7);
    EXPECT_EQ(set.ds.CompareBookmarks(set.ds.GetBookmark(), mark), 0);
    EXPECT_EQ(set.ds.CompareBookmarks(TBookmark {}, mark), 2);

    set.ds.Delete();
    EXPECT_FALSE(set.ds.BookmarkValid(mark));
    EXPECT_THROW(set.ds.GotoBookmark(mark), EDatabaseError);
}

TEST(DataSetProtocol, DisabledControlsHearOnceWhatTheyMissed)
{
    NumberedSet set(5);
    set.ds.DisableControls();
    set.ds.DisableControls();
    set.ds.Next();
    set.ds.Edit();
    set.ds.Cancel();
    set.ds.EnableControls();
    EXPECT_TRUE(set.ds.ControlsDisabled());
    EXPECT_TRUE(set.link.Distances.empty());
    set.ds.Log.clear();
    set.ds.EnableControls();
    EXPECT_EQ(set.ds.Log, (Log {"link:DataSetChanged"}));

    // Nothing missed, nothing told; a state left changed is told.
    set.ds.DisableControls();
    set.ds.Log.clear();
    set.ds.EnableControls();
    EXPECT_TRUE(set.ds.Log.empty());
    set.ds.DisableControls();
    set.ds.Edit();
    set.ds.Log.clear();
    set.ds.EnableControls();
    EXPECT_EQ(set.ds.Log, (Log {"link:EditingChanged(on)", "link:DataSetChanged"}));
}

TEST(DataSetProtocol, ClosingWhileControlsAreDisabledStillDeactivatesTheLinks)
{
    NumberedSet set(3);
    set.ds.DisableControls();
    set.ds.Close();
    EXPECT_FALSE(set.link.Active());
    set.ds.EnableControls();
    EXPECT_FALSE(set.link.Active());
}

TEST(DataSetProtocol, ClosingDropsAPendingEdit)
{
    NumberedSet set(3);
    set.ds.Edit();
    set.ds.FieldByName("NAME")->SetAsString("lost");
    set.ds.Close();
    set.ds.Open();
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "R1");
}
