// The lookup combo over the library's own table and over the stand-in that offers the same
// searches: searches go to the table's index, a narrowed search shows only the records
// that begin with the text, and a detail lookup table offers only the records of the
// master's record.

#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>

#include "datacontrols/datasets/wwtable.h"
#include "datacontrols/lookup/dwdblook.h"
#include "platform/classes/object.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "tables/droenv.h"
#include "tests/datacontrols/lookup/librarytable.h"
#include "tests/support/formtesting.h"
#include "tests/support/tablefixture.h"

namespace {

const std::vector<FieldLayout> RecipientSchema = {
        {"CLIENT", 'C', 8, 0}, {"RID", 'C', 5, 0}, {"NAME", 'C', 20, 0}};
const std::vector<FieldLayout> GiftSchema = {{"GID", 'C', 4, 0}, {"CLIENT", 'C', 8, 0}, {"RECIP", 'C', 5, 0}};

enum class TableKind { Library, StandIn };

class LibraryLookupTest : public TableTest, public ::testing::WithParamInterface<TableKind> {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        Env = std::make_unique<TDaroruEnv>(nullptr);
        Env->SetSoftSeek(WordTrue);
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 200);
        CreateTable("GIFTS.DBF", GiftSchema);
        AppendImages("GIFTS.DBF", {Image(GiftSchema, {"G001", "C0002", "R0104"}),
                                   Image(GiftSchema, {"G002", "C0001", "R0002"})});
        Gifts = Table("GIFTS");
        Gifts->Open();
        GiftSource = new TDataSource(Form);
        GiftSource->SetDataSet(Gifts);
    }

    void TearDown() override
    {
        ForgetHeldInput();
        Form->Free();
        Env->SetSoftSeek(WordFalse);
        TableTest::TearDown();
    }

    // Recipients of two clients, with tags on the client and name, and on the client
    // and ID. Client C0001 has Rows recipients, C0002 a few of the same names.
    void MakeRecipientsFile(int Rows)
    {
        CreateTable("RECIPS.DBF", RecipientSchema);
        std::vector<String> images;
        char id[16];
        char name[24];
        for (int i = 1; i <= Rows; ++i) {
            std::snprintf(id, sizeof id, "R%04d", i);
            std::snprintf(name, sizeof name, "Name %04d", i);
            images.push_back(Image(RecipientSchema, {"C0001", id, name}));
        }
        for (int i = 1; i <= 5; ++i) {
            std::snprintf(id, sizeof id, "R%04d", 100 + i);
            std::snprintf(name, sizeof name, "Name %04d", i * 2);
            images.push_back(Image(RecipientSchema, {"C0002", id, name}));
        }
        AppendImages("RECIPS.DBF", images);
        TDaroruTable* maker = Table("RECIPS");
        maker->SetExclusive(WordTrue);
        maker->Open();
        maker->IndexTag("", "CLNAME", "CLIENT+NAME", 0, false, "");
        maker->IndexTag("", "CLRID", "CLIENT+RID", 0, false, "");
        maker->IndexTag("", "NAME", "NAME", 0, false, "");
        maker->IndexTag("", "RID", "RID", 0, false, "");
        maker->Close();
    }

    // The recipients as the test's parameter says: the library's own table, or the
    // stand-in that offers the same searches.
    TDaroruTable* MakeRecipients(int Rows, bool Narrow = false)
    {
        MakeRecipientsFile(Rows);
        if (GetParam() == TableKind::Library) {
            auto* table =
                    static_cast<TdwTable*>(Tables.emplace_back(std::make_unique<TdwTable>(nullptr)).get());
            table->SetName("Recipients");
            table->SetNarrowSearch(Narrow);
            return Place(table);
        }
        auto* table = static_cast<TLibraryTable*>(
                Tables.emplace_back(std::make_unique<TLibraryTable>(nullptr)).get());
        table->AddIndex("CLNAME", "CLIENT;NAME");
        table->AddIndex("CLRID", "CLIENT;RID");
        table->AddIndex("NAME", "NAME");
        table->AddIndex("RID", "RID");
        table->SetNarrowSearch(Narrow);
        return Place(table);
    }
    TDaroruTable* Place(TDaroruTable* Table)
    {
        Table->SetDatabaseName(Dir);
        Table->SetTableName("RECIPS");
        return Table;
    }

    // Drops the combo's list down and types Text over its text.
    void TypeInDropDown(TdwDBCustomLookupCombo* Combo, const char* Text)
    {
        PressKey(Form, Qt::Key_Down, Qt::AltModifier);
        EXPECT_TRUE(Combo->IsDroppedDown());
        QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
        TypeText(Form, Text);
        QTest::qWait(300);
    }

    TdwDBCustomLookupCombo* MakeCombo(TDataSet* Lookup)
    {
        auto* combo = new TdwDBCustomLookupCombo(Form);
        combo->SetParent(Form);
        combo->SetBounds(8, 8, 200, 24);
        combo->Selected()->Add("NAME\t12\tName");
        combo->SetLookupTable(Lookup);
        combo->SetLookupField("RID");
        combo->SetDataSource(GiftSource);
        combo->SetDataField("RECIP");
        ShowForm(Form);
        combo->SetFocus();
        return combo;
    }

    // The records the table now offers, by RID.
    static std::vector<String> Offered(TDataSet* Table)
    {
        std::vector<String> ids;
        for (Table->First(); !Table->Eof(); Table->Next())
            ids.push_back(Table->FieldByName("RID")->AsString());
        return ids;
    }

    TScriptedDialogs Dialogs;
    std::unique_ptr<TDaroruEnv> Env;
    TForm* Form = nullptr;
    TDaroruTable* Gifts = nullptr;
    TDataSource* GiftSource = nullptr;
};

TEST_P(LibraryLookupTest, TypingSearchesTheIndexAndEnterWritesTheKey)
{
    TDaroruTable* recipients = MakeRecipients(300);
    recipients->SetIndexName("NAME");
    recipients->Open();
    TdwDBCustomLookupCombo* combo = MakeCombo(recipients);
    EXPECT_EQ(combo->Text(), "Name 0008") << "the first gift's recipient";

    TypeInDropDown(combo, "Name 0217");
    EXPECT_TRUE(combo->MatchFound());
    EXPECT_EQ(recipients->FieldByName("RID")->AsString(), "R0217");
    EXPECT_EQ(dwLookupTableOf(recipients)->SearchCount(), 0);
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(Gifts->FieldByName("RECIP")->AsString(), "R0217");
    Gifts->Post();
    EXPECT_EQ(ReadBack("GIFTS.DBF")[0], "G001|C0002|R0217");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_P(LibraryLookupTest, NarrowSearchOffersOnlyWhatBeginsWithTheText)
{
    TDaroruTable* recipients = MakeRecipients(300, true);
    recipients->Open();
    recipients->SetIndexName("NAME");
    Gifts->Next();
    TdwDBCustomLookupCombo* combo = MakeCombo(recipients);
    EXPECT_EQ(combo->Text(), "Name 0002");
    EXPECT_EQ(recipients->IndexName(), "NAME") << "the table is ordered by the display field again";

    TypeInDropDown(combo, "Name 015");
    EXPECT_TRUE(recipients->Scoped());
    if (auto* standIn = dynamic_cast<TLibraryTable*>(recipients)) {
        EXPECT_GE(standIn->Narrowings, 1);
    }
    EXPECT_EQ(recipients->FieldByName("RID")->AsString(), "R0150");
    PressKey(Form, Qt::Key_Down);
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(Gifts->FieldByName("RECIP")->AsString(), "R0151");
    EXPECT_EQ((std::vector<String> {"R0150", "R0151", "R0152", "R0153", "R0154", "R0155", "R0156", "R0157",
                                    "R0158", "R0159"}),
              Offered(recipients))
            << "the names that begin with the text, and no other";
    Gifts->Post();
    EXPECT_EQ(ReadBack("GIFTS.DBF")[1], "G002|C0001|R0151");
}

TEST_P(LibraryLookupTest, ADetailLookupTableOffersTheMastersRecordsOnly)
{
    TDaroruTable* recipients = MakeRecipients(20);
    recipients->SetIndexName("CLNAME");
    recipients->SetMasterSource(GiftSource);
    recipients->SetMasterFields("CLIENT");
    recipients->Open();
    TdwDBCustomLookupCombo* combo = MakeCombo(recipients);
    EXPECT_EQ(combo->Text(), "Name 0008") << "the gift's recipient among its client's";
    // Walking the table through does not pull it back to the combo's record on the way.
    EXPECT_EQ(Offered(recipients), (std::vector<String> {"R0101", "R0102", "R0103", "R0104", "R0105"}));

    TypeInDropDown(combo, "Name 0004");
    EXPECT_TRUE(combo->MatchFound());
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(Gifts->FieldByName("RECIP")->AsString(), "R0102")
            << "client C0002's Name 0004, not client C0001's R0004";
    Gifts->Post();

    Gifts->Next();
    EXPECT_EQ(combo->Text(), "Name 0002") << "the other client's recipient once the table follows its master";
    EXPECT_EQ(ReadBack("GIFTS.DBF")[0], "G001|C0002|R0102");
}

INSTANTIATE_TEST_SUITE_P(Tables, LibraryLookupTest, ::testing::Values(TableKind::Library, TableKind::StandIn),
                         [](const auto& Info) {
                             return std::string(Info.param == TableKind::Library ? "LibraryTable"
                                                                                 : "StandIn");
                         });

}  // namespace
