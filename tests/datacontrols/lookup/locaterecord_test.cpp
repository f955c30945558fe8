// Record finding and the common table helpers over the library's own table: a search
// that the active index can answer is a key search (it reads a record or two, not the
// table), any other is a scan; a malformed picture mask stops a post.

#include <gtest/gtest.h>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/db/field.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/grid/gridfixture.h"

namespace {

class LocateRecordTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        TDaroruTable* maker = Table("CLIENTS");
        maker->SetExclusive(WordTrue);
        T->Close();
        maker->Open();
        maker->IndexTag("", "NAME1", "NAME1", 0, false, "");
        maker->IndexTag("", "UNAME1", "UPPER(NAME1)", 0, false, "");
        maker->Close();
        T->Open();
        Clients = std::make_unique<TdwTable>(nullptr);
        Clients->SetDatabaseName(Dir);
        Clients->SetTableName("CLIENTS");
        // Every record the search reads passes the record filter once.
        Clients->SetOnFilter([this](TdwTable*, bool& Accept) {
            ++Reads;
            Accept = true;
        });
        Clients->SetOnFilterOptions({ofoEnabled});
        Clients->Open();
    }
    void TearDown() override
    {
        Clients.reset();
        GridTest::TearDown();
    }

    String Id() { return Clients->FieldByName("ID")->AsString(); }

    TScriptedDialogs Dialogs;
    std::unique_ptr<TdwTable> Clients;
    int Reads = 0;
};

TEST_F(LocateRecordTest, AnIndexLeadingWithTheFieldAnswersByKeyAndAnyOtherSearchScans)
{
    struct Case {
        const char* Index;  // the active tag
        int MatchType;
        bool CaseSensitive;
        const char* Value;
        const char* Found;  // the ID afterwards; C0001 (the first record in ID order): no match
        bool ByKey;
    };
    const Case cases[] = {
            {"NAME1", dwMatchWhole, true, "Name 0217", "C0217", true},
            {"NAME1", dwMatchStart, true, "Name 021", "C0210", true},
            {"NAME1", dwMatchWhole, true, "Name 021", "C0001", true},
            {"NAME1", dwMatchWhole, true, "name 0217", "C0001", true},
            {"NAME1", dwMatchWhole, false, "name 0217", "C0217", false},  // the case is not the index's
            {"UNAME1", dwMatchWhole, false, "nAME 0217", "C0217", true},
            {"UNAME1", dwMatchStart, false, "name 02", "C0200", true},
            {"UNAME1", dwMatchStart, true, "Name 02", "C0200", false},
            {"NAME1", dwMatchAnywhere, true, "0217", "C0217", false},
            {"ID", dwMatchStart, true, "Name 0217", "C0217", false},  // another field's index
            {"", dwMatchStart, true, "Name 0217", "C0217", false},
    };
    for (const Case& c : cases) {
        Clients->SetIndexName(c.Index);
        Clients->Locate("ID", Variant("C0001"), {});
        Reads = 0;
        const bool found = dwLocateRecord(c.MatchType, Clients.get(), "NAME1", c.CaseSensitive,
                                          c.MatchType == dwMatchStart, c.Value);
        const String what = String(c.Index) + " " + c.Value;
        EXPECT_EQ(Id(), c.Found) << what << ": without a match the record stays";
        EXPECT_EQ(found, String(c.Found) != "C0001") << what;
        if (c.ByKey)
            EXPECT_LE(Reads, 3) << what << ": a key search";
        else
            EXPECT_GE(Reads, 80) << what << ": a scan";
    }
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(LocateRecordTest, TheTableHelpersAnswerForTheLibraryTable)
{
    Clients->SetIndexName("NAME1");
    EXPECT_TRUE(dwIsIndexedTdwTable(Clients.get()));
    EXPECT_FALSE(dwIsQueryTable(Clients.get()));
    EXPECT_FALSE(dwIsIndexedTdwTable(T)) << "the engine's plain table offers no key search";
    Clients->SetIndexName("");
    EXPECT_FALSE(dwIsIndexedTdwTable(Clients.get()));

    Clients->First();
    const TBookmark first = Clients->GetBookmark();
    Clients->MoveBy(10);
    const TBookmark later = Clients->GetBookmark();
    for (const auto& [a, b, sign] :
         {std::tuple {first, later, -1}, std::tuple {later, first, 1}, std::tuple {later, later, 0},
          std::tuple {TBookmark(), first, -1}, std::tuple {TBookmark(), TBookmark(), 0}}) {
        const int order = dwCompareBookmarks(Clients.get(), a, b);
        EXPECT_EQ((order > 0) - (order < 0), sign);
    }

    TField* id = Clients->FieldByName("ID");
    EXPECT_FALSE(dwIsNonBDEField(id));
    EXPECT_FALSE(dwIsNonBDEField(T->FieldByName("ID")));
    EXPECT_TRUE(dwIsAssigned(id));
    EXPECT_FALSE(dwIsAssigned(static_cast<TField*>(nullptr)));
    EXPECT_TRUE(dwIsAssigned(Clients->OnFilter()));
}

TEST_F(LocateRecordTest, AMalformedPictureMaskStopsThePostAndTheFileKeepsItsValue)
{
    Clients->PictureMasks().Add("CITY\t{&*?\tF\tT");
    Clients->Locate("ID", Variant("C0007"), {});
    Clients->Edit();
    Clients->FieldByName("CITY")->SetAsString("Ogdenville");
    EXPECT_EQ(MessageOf([&] { Clients->Post(); }),
              dwIntl()->UserMessages().PictureValidateError + Clients->FieldByName("CITY")->DisplayName());
    Clients->Cancel();
    Clients->Close();
    bool checked = false;
    for (const String& line : ReadBack("CLIENTS.DBF")) {
        if (line.find("|C0007|") == String::npos)
            continue;
        EXPECT_NE(line.find("|Springfield|"), String::npos) << line;
        checked = true;
    }
    EXPECT_TRUE(checked);
}

}  // namespace
