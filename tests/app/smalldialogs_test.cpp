// The small dialogs, driven with keys as a user drives them.

#include <gmock/gmock.h>

#include "app/smalldialogs.h"
#include "platform/rtl/fileops.h"
#include "tests/support/shellfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class SmallDialogsTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartMain();
    }
};

// Keys typed into the ID prompt once it is up; the prompt must have closed by then.
void TypeID(const char* Keys, bool PressEnter)
{
    WhenShown<TFGetFileID>([Keys, PressEnter](TFGetFileID* Form) {
        EXPECT_EQ(Form->ActiveControl(), Form->KVEdit1);
        TypeText(Form, Keys);
        if (PressEnter)
            PressKey(Form, Qt::Key_Return);
        else
            Form->Close();
    });
}

TEST_F(SmallDialogsTest, FileIDComesBackInCapitalsWithinEightCharacters)
{
    struct {
        const char* Initial;
        const char* Typed;
        bool Enter;
        const char* Result;
    } cases[] = {
            {"", "08acme", true, "08ACME"},
            {"", "08client9", true, "08CLIENT"},
            {"KEEP", "", true, "KEEP"},
            // The close box ends the prompt without taking the typed text.
            {"KEEP", "X", false, "KEEP"},
    };
    for (const auto& c : cases) {
        String id = c.Initial;
        TypeID(c.Typed, c.Enter);
        GetFileID("Enter Unique File ID (i.e. 08CLIENT)", &id);
        EXPECT_EQ(id, c.Result) << c.Typed;
    }
}

TEST_F(SmallDialogsTest, DateRangeWalksToOKAndNormalisesBothDates)
{
    String from, thru;
    std::vector<String> steps;
    WhenShown<TFGetDateRange>([&steps](TFGetDateRange* Form) {
        EXPECT_EQ(Form->Label1->Caption(), "Enter beginning date");
        TypeText(Form, "123108");
        PressKey(Form, Qt::Key_Return);
        steps.push_back(Form->ActiveControl()->Name());
        TypeText(Form, "010109");
        PressKey(Form, Qt::Key_Return);
        steps.push_back(Form->ActiveControl()->Name());
        EXPECT_EQ(Form->ModalResult(), mrNone);
        PressKey(Form, Qt::Key_Return);
    });
    GetDateRange("Enter beginning date", &from, &thru);
    EXPECT_THAT(steps, ElementsAre("KVDateEdit2", "BitBtn1"));
    EXPECT_EQ(from, "12-31-2008");
    EXPECT_EQ(thru, "01-01-2009");
}

class PathDialogTest : public SmallDialogsTest {
protected:
    void SetUp() override
    {
        SmallDialogsTest::SetUp();
        Form = Construct<TFPathDialog>(FMain);
        Form->Label4->SetCaption("KPX Program Path");
    }
    void TearDown() override
    {
        Form->Free();
        SmallDialogsTest::TearDown();
    }
    // Shows the dialog and runs Action on it; the modal result.
    int Run(std::function<void(TFPathDialog*)> Action)
    {
        WhenShown<TFPathDialog>(Action);
        return Form->ShowModal();
    }
    TFPathDialog* Form = nullptr;
};

TEST_F(PathDialogTest, SelectTakesTheListedDirectoryWithOneSlash)
{
    ForceDirectories(Dir / "data/sub");
    for (const String& dir : {Dir / "data", String("/")}) {
        FMain->DialogResult = "";
        EXPECT_EQ(Run([dir](TFPathDialog* F) {
                      F->DirectoryListBox1->SetDirectory(dir);
                      F->Button1->Click();
                  }),
                  mrOk);
        EXPECT_EQ(Form->Edit2->Text(), dir);
        EXPECT_EQ(FMain->DialogResult, dir == "/" ? "/" : dir + "/");
    }
}

TEST_F(PathDialogTest, TypedPathComesBackAsTypedAndMissingOnesAreOffered)
{
    ForceDirectories(Dir / "data");
    const String typed = Dir / "data";
    EXPECT_EQ(Run([typed](TFPathDialog* F) {
                  F->Edit1->SetText(typed);
                  F->ActiveControl()->SetFocus();
                  PressKey(F, Qt::Key_Return);
              }),
              mrOk);
    EXPECT_EQ(FMain->DialogResult, typed);

    // A missing directory: No keeps the dialog open and the earlier path, Yes creates it.
    const String missing = Dir / "new";
    Dialogs.AnswerMessage(mrNo);
    Dialogs.AnswerMessage(mrYes);
    EXPECT_EQ(Run([missing, typed](TFPathDialog* F) {
                  F->Edit1->SetText(missing);
                  PressKey(F, Qt::Key_Return);
                  EXPECT_EQ(F->ModalResult(), mrNone);
                  EXPECT_EQ(FMain->DialogResult, typed);
                  PressKey(F, Qt::Key_Return);
              }),
              mrOk);
    EXPECT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_TRUE(DirectoryExists(missing));
    EXPECT_EQ(FMain->DialogResult, missing);

    // The close box leaves the last path.
    EXPECT_EQ(Run([](TFPathDialog* F) { F->Close(); }), mrCancel);
    EXPECT_EQ(FMain->DialogResult, missing);
}

}  // namespace
