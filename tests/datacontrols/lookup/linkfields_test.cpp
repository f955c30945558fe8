// Lookups whose LookupField names link fields after the key: the key alone names several
// recipients (one state, or one client), the link values of the payment's own record
// pick the one. The combo, the list and the dialog combo show and write that record,
// over the library's table searched by its key index and searched record by record.

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "datacontrols/datasets/wwtable.h"
#include "datacontrols/lookup/dwdblook.h"
#include "datacontrols/lookup/wwdbdlg.h"
#include "datacontrols/lookup/wwkeycb.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tables/droenv.h"
#include "tests/support/formtesting.h"
#include "tests/support/tablefixture.h"

namespace {

const std::vector<FieldLayout> RecipientSchema = {
        {"CLIENT", 'C', 8, 0}, {"STATE", 'C', 2, 0}, {"ID", 'C', 6, 0}, {"NAME", 'C', 20, 0}};
const std::vector<FieldLayout> PaymentSchema = {
        {"PID", 'C', 4, 0}, {"CLIENT", 'C', 8, 0}, {"STATE", 'C', 2, 0}, {"ID", 'C', 6, 0}};

// Which key the lookup has: LookupField, the payment field bound, and what each payment
// shows. The recipients share states, IDs and clients so that only all link values
// together name one.
struct LinkCase {
    const char* Name;
    const char* LookupField;
    const char* DataField;
    const char* KeyTag;  // the index on the key and link fields
    // A recipient of another client with the same state and ID as a first client's: only
    // the client tells them apart, so only a lookup with it as a link field has it.
    bool OtherClientsRecipient;
    std::vector<String> ThirdPayment;
    std::vector<String> Shown;  // by payment
};
const LinkCase TwoFields {"TwoFields",
                          "STATE;ID",
                          "STATE",
                          "STID",
                          false,
                          {"A003", "C0001", "CA", "P00013"},
                          {"Mel Ortiz", "Dora Ames", "Ann Lee"}};
const LinkCase ThreeFields {"ThreeFields",
                            "CLIENT;STATE;ID",
                            "CLIENT",
                            "CLSTID",
                            true,
                            {"A003", "C0002", "TX", "P00013"},
                            {"Mel Ortiz", "Dora Ames", "Otto Vance"}};

enum class Search { ByKeyIndex, RecordByRecord };

class LinkFieldsTest : public TableTest, public ::testing::WithParamInterface<std::tuple<LinkCase, Search>> {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        Env = std::make_unique<TDaroruEnv>(nullptr);
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 420, 240);
        CreateTable("RECIPS.DBF", RecipientSchema);
        std::vector<String> recipients {Image(RecipientSchema, {"C0001", "TX", "P00001", "Abe Burns"}),
                                        Image(RecipientSchema, {"C0001", "TX", "P00008", "Dora Ames"})};
        if (Case().OtherClientsRecipient)
            recipients.push_back(Image(RecipientSchema, {"C0002", "TX", "P00013", "Otto Vance"}));
        recipients.push_back(Image(RecipientSchema, {"C0001", "TX", "P00013", "Mel Ortiz"}));
        recipients.push_back(Image(RecipientSchema, {"C0001", "CA", "P00013", "Ann Lee"}));
        AppendImages("RECIPS.DBF", recipients);
        TDaroruTable* maker = Table("RECIPS");
        maker->SetExclusive(WordTrue);
        maker->Open();
        maker->IndexTag("", "STID", "STATE+ID", 0, false, "");
        maker->IndexTag("", "CLSTID", "CLIENT+STATE+ID", 0, false, "");
        maker->IndexTag("", "NAME", "NAME", 0, false, "");
        maker->Close();
        CreateTable("PAYS.DBF", PaymentSchema);
        AppendImages("PAYS.DBF", {Image(PaymentSchema, {"A001", "C0001", "TX", "P00013"}),
                                  Image(PaymentSchema, {"A002", "C0001", "TX", "P00008"}),
                                  Image(PaymentSchema, Case().ThirdPayment)});
        Payments = Table("PAYS");
        Payments->Open();
        PaymentSource = new TDataSource(Form);
        PaymentSource->SetDataSet(Payments);
        Recipients = std::make_unique<TdwTable>(nullptr);
        Recipients->SetDatabaseName(Dir);
        Recipients->SetTableName("RECIPS");
        if (std::get<Search>(GetParam()) == Search::ByKeyIndex)
            Recipients->SetIndexName(Case().KeyTag);
        Recipients->Open();
    }

    void TearDown() override
    {
        ForgetHeldInput();
        Form->Free();
        Recipients.reset();
        TableTest::TearDown();
    }

    static const LinkCase& Case() { return std::get<LinkCase>(GetParam()); }

    template<class TCombo> TCombo* MakeCombo()
    {
        auto* combo = new TCombo(Form);
        combo->SetParent(Form);
        combo->SetBounds(8, 8, 220, 24);
        combo->Selected()->Add("NAME\t20\tName");
        combo->SetLookupTable(Recipients.get());
        combo->SetLookupField(Case().LookupField);
        combo->SetDataSource(PaymentSource);
        combo->SetDataField(Case().DataField);
        ShowForm(Form);
        combo->SetFocus();
        QCoreApplication::processEvents();
        return combo;
    }

    // What each payment shows, walking them from the first.
    std::vector<String> ShownByPayment(const std::function<String()>& Shown)
    {
        std::vector<String> names;
        for (Payments->First(); !Payments->Eof(); Payments->Next())
            names.push_back(Shown());
        Payments->First();
        return names;
    }

    String RecipientName() { return Recipients->FieldByName("NAME")->AsString(); }

    std::vector<String> PostedPayments()
    {
        if (Payments->State() != dsBrowse)
            Payments->Post();
        return ReadBack("PAYS.DBF");
    }

    TScriptedDialogs Dialogs;
    std::unique_ptr<TDaroruEnv> Env;
    std::unique_ptr<TdwTable> Recipients;
    TForm* Form = nullptr;
    TDaroruTable* Payments = nullptr;
    TDataSource* PaymentSource = nullptr;
};

TEST_P(LinkFieldsTest, TheComboShowsAndWritesTheRecordOfAllLinkValues)
{
    auto* combo = MakeCombo<TdwDBCustomLookupCombo>();
    EXPECT_EQ(ShownByPayment([&] { return combo->Text(); }), Case().Shown);

    // Picking Ann Lee (client C0001, CA) for the second payment writes every link field.
    Payments->Next();
    PressKey(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(combo->IsDroppedDown());
    QTest::keyClick(Form->Widget()->window()->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    TypeText(Form, "Ann");
    QTest::qWait(300);
    PressKey(Form, Qt::Key_Return);
    EXPECT_EQ(combo->Text(), "Ann Lee");
    EXPECT_EQ(PostedPayments()[1], "A002|C0001|CA|P00013");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_P(LinkFieldsTest, TheListHighlightsTheRecordOfAllLinkValues)
{
    auto* list = new TdwDBLookupList(Form);
    list->SetParent(Form);
    list->SetBounds(8, 8, 300, 120);
    list->SetUseTFields(false);
    list->Selected()->Add("NAME\t20\tName");
    list->SetLookupTable(Recipients.get());
    list->SetLookupField(Case().LookupField);
    list->SetDataSource(PaymentSource);
    list->SetDataField(Case().DataField);
    ShowForm(Form);
    EXPECT_EQ(ShownByPayment([&] {
                  EXPECT_TRUE(list->ValueFound());
                  return RecipientName();
              }),
              Case().Shown);
    Payments->Last();
    EXPECT_EQ(list->DisplayValue(), Case().Shown[2]);
}

TEST_P(LinkFieldsTest, TheDialogComboOpensOnTheRecordOfAllLinkValues)
{
    auto* combo = MakeCombo<TdwDBLookupComboDlg>();
    EXPECT_EQ(ShownByPayment([&] { return combo->Text(); }), Case().Shown);
    Payments->Next();
    String openedOn;
    TdwLookupDlg* opened = nullptr;
    // The poll dies with the test, whether or not a dialog came up.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<TdwLookupDlg*>(GuiScreen()->ActiveForm());
        if (!dialog)
            return;
        poll.stop();
        opened = dialog;
        openedOn = RecipientName();
        TypeText(dialog, "Ann");
        QTest::qWait(350);
        PressKey(dialog, Qt::Key_Return);
    });
    poll.start(10);
    QTest::mouseClick(combo->Button()->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QCoreApplication::processEvents();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(openedOn, "Dora Ames") << "the dialog opens on the payment's recipient";
    EXPECT_EQ(combo->Text(), "Ann Lee");
    EXPECT_EQ(PostedPayments()[1], "A002|C0001|CA|P00013");
}

INSTANTIATE_TEST_SUITE_P(Lookups, LinkFieldsTest,
                         ::testing::Combine(::testing::Values(TwoFields, ThreeFields),
                                            ::testing::Values(Search::ByKeyIndex, Search::RecordByRecord)),
                         [](const auto& Info) {
                             const bool index = std::get<Search>(Info.param) == Search::ByKeyIndex;
                             return std::string(std::get<LinkCase>(Info.param).Name) +
                                    (index ? "ByKeyIndex" : "RecordByRecord");
                         });

}  // namespace
