// Data sources, field data links and master data links.

#include <gtest/gtest.h>

#include "tests/db/dbfixture.h"

namespace {

using Log = std::vector<String>;

// A field data link whose events are logged, with a "control" value it writes back.
struct BoundEdit {
    explicit BoundEdit(TDataSource& source, const char* fieldName)
    {
        link.OnDataChange = [this](TObject*) {
            log.push_back("data");
            shown = link.Field() ? link.Field()->DisplayText() : String();
        };
        link.OnEditingChange = [this](TObject*) { log.push_back(link.Editing() ? "editing" : "browsing"); };
        link.OnActiveChange = [this](TObject*) { log.push_back(link.Active() ? "active" : "inactive"); };
        link.OnUpdateData = [this](TObject*) {
            log.push_back("update");
            link.Field()->SetText(typed);
        };
        link.SetFieldName(fieldName);
        link.SetDataSource(&source);
        log.clear();
    }
    // The user types into the control.
    void Type(const String& text)
    {
        link.Edit();
        typed = text;
        link.Modified();
    }
    TFieldDataLink link;
    Log log;
    String shown, typed;
};

// A data set that follows a master source, for the circular-link rule.
class TDetailSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    TDataSource* Master = nullptr;
    TDataSource* GetDataSource() const override { return Master; }
};

}  // namespace

TEST(FieldDataLink, ShowsTheFieldAndWritesTheControlsValueOnPost)
{
    NumberedSet set(3);
    BoundEdit edit(set.source, "NAME");
    EXPECT_EQ(edit.link.Field(), set.ds.FieldByName("NAME"));

    set.ds.Next();
    EXPECT_EQ(edit.log, (Log {"data"}));
    EXPECT_EQ(edit.shown, "R2");

    edit.log.clear();
    edit.Type("typed");
    EXPECT_EQ(set.ds.State(), dsEdit);
    EXPECT_EQ(edit.log, (Log {"editing", "data"}));

    // Another field's change is not this control's business.
    edit.log.clear();
    set.ds.FieldByName("ID")->SetAsInteger(20);
    EXPECT_TRUE(edit.log.empty());

    set.ds.Post();
    EXPECT_EQ(edit.log, (Log {"update", "browsing", "data"}));
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "typed");
    EXPECT_EQ(edit.shown, "typed");
}

TEST(FieldDataLink, ResetDropsTheControlsChange)
{
    NumberedSet set(3);
    BoundEdit edit(set.source, "NAME");
    edit.Type("dropped");
    edit.link.Reset();
    edit.log.clear();
    set.ds.Post();
    EXPECT_EQ(std::count(edit.log.begin(), edit.log.end(), "update"), 0);
    EXPECT_EQ(set.ds.FieldByName("NAME")->AsString(), "R1");
}

TEST(FieldDataLink, EditsOnlyWhatMayBeModified)
{
    NumberedSet set(3);
    BoundEdit edit(set.source, "NAME");
    set.ds.FieldByName("NAME")->SetReadOnly(true);
    EXPECT_FALSE(edit.link.CanModify());
    EXPECT_FALSE(edit.link.Edit());
    EXPECT_EQ(set.ds.State(), dsBrowse);

    set.ds.FieldByName("NAME")->SetReadOnly(false);
    set.source.SetAutoEdit(false);
    EXPECT_FALSE(edit.link.Edit());
    EXPECT_EQ(set.ds.State(), dsBrowse);
    set.source.SetAutoEdit(true);
    EXPECT_TRUE(edit.link.Edit());
}

TEST(FieldDataLink, AMissingFieldRaisesWhenTheLinkActivates)
{
    NumberedSet set(3);
    TFieldDataLink link;
    link.SetFieldName("NOPE");
    EXPECT_THROW(link.SetDataSource(&set.source), EDatabaseError);
}

TEST(DataSource, StateEventsAndDataChanges)
{
    NumberedSet set(3);
    Log log;
    set.source.OnStateChange = [&](TObject*) { log.push_back("state " + IntToStr(set.source.State())); };
    set.source.OnDataChange = [&](TObject*, TField* field) {
        log.push_back("data " + (field ? field->FieldName() : String("-")));
    };
    set.ds.Edit();
    set.ds.FieldByName("NAME")->SetAsString("x");
    set.ds.Cancel();
    EXPECT_EQ(log, (Log {"state " + IntToStr(dsEdit), "data -", "data NAME", "state " + IntToStr(dsBrowse),
                         "data -"}));
}

TEST(DataSource, DisablingAndEnablingMakesTheLinksReadAgain)
{
    NumberedSet set(3);
    set.source.SetEnabled(false);
    EXPECT_FALSE(set.link.Active());
    EXPECT_EQ(set.source.State(), dsInactive);
    set.ds.Next();
    // The data set scrolled, but the link heard nothing.
    EXPECT_EQ(set.ds.Log, (Log {"link:ActiveChanged", "BeforeScroll", "Get next #2", "AfterScroll"}));
    set.ds.Log.clear();
    set.source.SetEnabled(true);
    EXPECT_EQ(set.ds.Log, (Log {"link:ActiveChanged"}));
    EXPECT_EQ(set.link.Rows(), (std::vector<int> {2}));
}

TEST(DataSource, DetachingTellsOnlyItsOwnLinks)
{
    NumberedSet set(3);
    TDataSource other(nullptr);
    other.SetDataSet(&set.ds);
    TLogLink otherLink;
    otherLink.SetDataSource(&other);
    otherLink.OwnLog.clear();

    set.source.SetDataSet(nullptr);
    EXPECT_EQ(set.ds.Log, (Log {"link:ActiveChanged"}));
    EXPECT_FALSE(set.link.Active());
    EXPECT_TRUE(otherLink.OwnLog.empty());
    EXPECT_TRUE(otherLink.Active());
}

TEST(DataSource, ADataSetThatGoesAwayLeavesItsSources)
{
    TDataSource source(nullptr);
    TLogLink link;
    link.SetDataSource(&source);
    auto* ds = new TMemDataSet(nullptr, NumberedColumns());
    source.SetDataSet(ds);
    ds->Open();
    EXPECT_TRUE(link.Active());
    ds->Free();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
}

TEST(DataSource, CircularMasterLinksAreRefused)
{
    TDetailSet a(nullptr, NumberedColumns()), b(nullptr, NumberedColumns());
    TDataSource sourceA(nullptr), sourceB(nullptr);
    b.Master = &sourceA;  // b follows a
    sourceA.SetDataSet(&a);
    EXPECT_TRUE(sourceA.IsLinkedTo(&a));
    sourceB.SetDataSet(&b);
    EXPECT_TRUE(sourceB.IsLinkedTo(&a));
    EXPECT_FALSE(sourceA.IsLinkedTo(&b));

    // a following b would close the circle a -> b -> a: sourceA may then not show a.
    sourceA.SetDataSet(nullptr);
    a.Master = &sourceB;
    EXPECT_THROW(sourceA.SetDataSet(&a), EDatabaseError);
    EXPECT_EQ(sourceA.DataSet(), nullptr);

    // Nor may a source show a data set that follows that very source.
    TDataSource own(nullptr);
    TDetailSet c(nullptr, NumberedColumns());
    c.Master = &own;
    EXPECT_THROW(own.SetDataSet(&c), EDatabaseError);
}

TEST(MasterDataLink, FollowsTheMastersKeyFields)
{
    NumberedSet master(4);
    TMemDataSet detail(nullptr, NumberedColumns());
    detail.Open();
    Log log;
    TMasterDataLink link(&detail);
    link.OnMasterChange = [&](TObject*) {
        log.push_back("change " + master.ds.FieldByName("ID")->AsString());
    };
    link.OnMasterDisable = [&](TObject*) { log.push_back("disable"); };
    link.SetFieldNames("ID");
    link.SetDataSource(&master.source);
    EXPECT_EQ(link.Fields(), (std::vector<TField*> {master.ds.FieldByName("ID")}));

    master.ds.Next();
    master.ds.Edit();
    master.ds.FieldByName("NAME")->SetAsString("not a key");
    master.ds.FieldByName("ID")->SetAsInteger(20);
    master.ds.Cancel();
    master.ds.Close();
    // Setting the names before the link has a source finds no fields: disable. Edit and
    // Cancel re-read the master's record, which counts as a change.
    EXPECT_EQ(log, (Log {"disable", "change 1", "change 2", "change 2", "change 20", "change 2", "disable"}));
}

TEST(MasterDataLink, AMasterMovePostsTheDetailsPendingEdit)
{
    NumberedSet master(4);
    TMemDataSet detail(nullptr, NumberedColumns());
    detail.Open();
    detail.AddRows(NumberedRows(2));
    TMasterDataLink link(&detail);
    link.SetFieldNames("ID");
    link.SetDataSource(&master.source);
    detail.Edit();
    detail.FieldByName("NAME")->SetAsString("saved");
    master.ds.Next();
    EXPECT_EQ(detail.State(), dsBrowse);
    EXPECT_EQ(detail.FieldByName("NAME")->AsString(), "saved");
}
