// Modal and modeless forms: results, closing, exceptions in their handlers.

#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/guiscreen.h"
#include "tests/support/formtesting.h"

using ::testing::ElementsAre;

namespace {

// OK (default) and Cancel (cancel) buttons and a Retry button, over an edit.
class ChoiceForm : public TForm {
public:
    explicit ChoiceForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetPosition(poScreenCenter);
        SetBorderStyle(bsDialog);
        Edit = new TEdit(this);
        Edit->SetParent(this);
        Ok = AddButton(mrOk, 10);
        Ok->SetDefault(true);
        Cancel = AddButton(mrCancel, 90);
        Cancel->SetCancel(true);
        Retry = AddButton(mrRetry, 170);
    }

    TButton* AddButton(TModalResult result, int left)
    {
        auto* button = new TButton(this);
        button->SetParent(this);
        button->SetModalResult(result);
        button->SetBounds(left, 60, 75, 25);
        return button;
    }

    TEdit* Edit;
    TButton* Ok;
    TButton* Cancel;
    TButton* Retry;
};

// Shows the form modally and runs the steps one event each, as a user's keys come.
void Schedule(std::vector<std::function<void()>> Steps, size_t Index = 0)
{
    if (Index >= Steps.size())
        return;
    QTimer::singleShot(0, [Steps, Index] {
        Steps[Index]();
        Schedule(Steps, Index + 1);
    });
}

int RunModal(ChoiceForm* Form, std::vector<std::function<void()>> Steps)
{
    Schedule(std::move(Steps));
    return Form->ShowModal();
}

class ModalTest : public ::testing::Test {
protected:
    void SetUp() override { Form = Construct<ChoiceForm>(nullptr); }
    void TearDown() override { Form->Free(); }

    TScriptedDialogs Dialogs;
    ChoiceForm* Form = nullptr;
};

TEST_F(ModalTest, ShowModalReturnsTheResultOfWhatEndedIt)
{
    const struct {
        const char* What;
        std::function<void(ChoiceForm*)> Action;
        TModalResult Expected;
    } cases[] = {
            {"Enter", [](ChoiceForm* f) { PressKey(f, Qt::Key_Return); }, mrOk},
            {"Esc", [](ChoiceForm* f) { PressKey(f, Qt::Key_Escape); }, mrCancel},
            {"mouse on Retry", [](ChoiceForm* f) { QTest::mouseClick(f->Retry->Widget(), Qt::LeftButton); },
             mrRetry},
            {"close box", [](ChoiceForm* f) { f->Widget()->close(); }, mrCancel},
            {"Close()", [](ChoiceForm* f) { f->Close(); }, mrCancel},
            {"ModalResult set", [](ChoiceForm* f) { f->SetModalResult(mrNo); }, mrNo},
    };
    for (const auto& c : cases) {
        ChoiceForm* form = Form;
        EXPECT_EQ(RunModal(form, {[&c, form] { c.Action(form); }}), c.Expected) << c.What;
        EXPECT_FALSE(form->Visible()) << c.What;
    }
}

TEST_F(ModalTest, ButtonSetsTheModalResultBeforeItsOnClick)
{
    TModalResult seen = -1;
    Form->Retry->OnClick = [&](TObject*) { seen = Form->ModalResult(); };
    RunModal(Form, {[this] { Form->Retry->Click(); }});
    EXPECT_EQ(seen, mrRetry);
}

TEST_F(ModalTest, CloseQueryAndOnCloseCanKeepTheFormOpen)
{
    TEventLog log;
    int queries = 0;
    Form->OnCloseQuery = [&](TObject*, bool& CanClose) {
        log.Add("query");
        CanClose = ++queries > 1;
    };
    int closes = 0;
    Form->OnClose = [&](TObject*, TCloseAction& Action) {
        log.Add("close");
        if (++closes == 1)
            Action = caNone;
    };
    const int result =
            RunModal(Form, {
                                   [this] { PressKey(Form, Qt::Key_Escape); },  // refused by OnCloseQuery
                                   [this] { PressKey(Form, Qt::Key_Escape); },  // refused by OnClose
                                   [this] { PressKey(Form, Qt::Key_Return); },
                           });
    EXPECT_EQ(result, mrOk);
    EXPECT_THAT(log.Entries, ElementsAre("query", "query", "close", "query", "close"));
}

TEST_F(ModalTest, ExceptionInAHandlerIsShownAndTheLoopGoesOn)
{
    Form->Retry->OnClick = [](TObject*) { throw Exception("Disk is full"); };
    Form->Retry->SetModalResult(mrNone);
    const int result =
            RunModal(Form, {
                                   [this] { QTest::mouseClick(Form->Retry->Widget(), Qt::LeftButton); },
                                   [this] {
                                       Form->Edit->SetFocus();
                                       TypeText(Form, "go");
                                   },
                                   [this] { PressKey(Form, Qt::Key_Return); },
                           });
    EXPECT_EQ(result, mrOk);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Disk is full.");
    EXPECT_EQ(Form->Edit->Text(), "go");
}

TEST_F(ModalTest, ExceptionInOnCreateIsShownAndTheFormStillMade)
{
    struct FailingForm : TForm {
        explicit FailingForm(TComponent* AOwner) : TForm(AOwner)
        {
            OnCreate = [](TObject*) { throw Exception("No data"); };
        }
    };
    TForm* form = Construct<FailingForm>(nullptr);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "No data.");
    form->Free();
}

TEST_F(ModalTest, AVisibleFormCannotGoModal)
{
    ShowForm(Form);
    EXPECT_THROW(Form->ShowModal(), EInvalidOperation);
}

// A modeless window with a button that counts its clicks and an edit.
class CountingForm : public TForm {
public:
    explicit CountingForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetBounds(0, 0, 300, 120);
        Edit = new TEdit(this);
        Edit->SetParent(this);
        Edit->SetBounds(10, 10, 120, 21);
        Button = new TButton(this);
        Button->SetParent(this);
        Button->SetBounds(10, 50, 75, 25);
        Button->OnClick = [this](TObject*) { ++Clicks; };
    }
    TEdit* Edit;
    TButton* Button;
    int Clicks = 0;
};

// What a user's typing into the focused edit and a click on the button did to a
// window: "clicks|text". The edit has the focus again afterwards.
String ClickAndType(CountingForm* Form)
{
    const int before = Form->Clicks;
    const String text = Form->Edit->Text();
    PressKey(Form, Qt::Key_A);
    ClickControl(Form->Button);
    Form->Edit->SetFocus();
    const String result = IntToStr(Form->Clicks - before) + "|" + Form->Edit->Text();
    Form->Edit->SetText(text);
    return result;
}

// Input sent through the window system, where a blocked window gets none: a modal
// form's run blocks the windows that were up when it started, and no window shown
// while it runs.
TEST_F(ModalTest, ModalRunBlocksTheWindowsBehindItAndNotThoseShownFromIt)
{
    auto* behind = Construct<CountingForm>(nullptr);
    ShowForm(behind);
    behind->Edit->SetFocus();
    CountingForm* shownFromIt = nullptr;
    String behindDuring, shownDuring, shownDuringNested, behindAfterNested;
    RunModal(Form, {
                           [&] {
                               shownFromIt = Construct<CountingForm>(nullptr);
                               ShowForm(shownFromIt);
                               shownFromIt->Edit->SetFocus();
                           },
                           [&] {
                               behindDuring = ClickAndType(behind);
                               shownDuring = ClickAndType(shownFromIt);
                               // A second modal run blocks the window shown before it, and gives it back.
                               auto* nested = Construct<ChoiceForm>(nullptr);
                               RunModal(nested, {[&] {
                                            shownDuringNested = ClickAndType(shownFromIt);
                                            PressKey(nested, Qt::Key_Escape);
                                        }});
                               nested->Free();
                               behindAfterNested = ClickAndType(behind);
                               shownDuring += "," + ClickAndType(shownFromIt);
                           },
                           [&] { PressKey(Form, Qt::Key_Return); },
                   });
    EXPECT_EQ(behindDuring, "0|");
    EXPECT_EQ(shownDuring, "1|a,1|a");
    EXPECT_EQ(shownDuringNested, "0|");
    EXPECT_EQ(behindAfterNested, "0|");
    // Once the run is over, the window behind takes input again.
    EXPECT_EQ(ClickAndType(behind), "1|a");
    EXPECT_TRUE(behind->Enabled()) << "the run leaves the form's own Enabled alone";
    shownFromIt->Free();
    behind->Free();
}

// Close requests of the window system during a modal run: the window behind refuses
// them, the modal form itself closes as its close box says and tells it was closed so.
TEST_F(ModalTest, ACloseRequestReachesOnlyTheModalFormAndIsToldApart)
{
    auto* behind = Construct<CountingForm>(nullptr);
    TEventLog log;
    behind->OnClose = [&](TObject*, TCloseAction&) { log.Add("behind closed"); };
    Form->OnClose = [&](TObject*, TCloseAction&) { log.Add("form closed"); };
    ShowForm(behind);
    bool behindUp = false;
    const int closedByBox = RunModal(Form, {[&] { RequestClose(behind); },
                                            [&] {
                                                behindUp = behind->Visible();
                                                RequestClose(Form);
                                            }});
    EXPECT_EQ(closedByBox, mrCancel);
    EXPECT_TRUE(Form->ClosedByWindowSystem());
    EXPECT_TRUE(behindUp);
    // Closed by its own button, the form does not say so.
    EXPECT_EQ(RunModal(Form, {[&] { ClickControl(Form->Cancel); }}), mrCancel);
    EXPECT_FALSE(Form->ClosedByWindowSystem());
    EXPECT_THAT(log.Entries, ElementsAre("form closed", "form closed"));
    // Once no run blocks it, the window behind closes on request.
    RequestClose(behind);
    EXPECT_FALSE(behind->Visible());
    EXPECT_THAT(log.Entries, ElementsAre("form closed", "form closed", "behind closed"));
    behind->Free();
}

// The end of the session asks the modal form to close; one that refuses keeps the
// application running, and its run goes on as before.
TEST_F(ModalTest, AModalFormThatRefusesToCloseKeepsTheSessionGoing)
{
    int asked = 0;
    Form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++asked > 1; };
    bool upAfterQuit = false;
    const int result = RunModal(Form, {[] { RequestQuit(); },
                                       [&] {
                                           upAfterQuit = Form->Visible() && Form->Modal();
                                           ClickControl(Form->Retry);
                                       }});
    EXPECT_TRUE(upAfterQuit);
    EXPECT_EQ(result, mrRetry);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(Application->Ending());
    EXPECT_FALSE(Application->Terminated());
}

TEST(ModelessForm, CloseActionsHideOrFreeTheForm)
{
    TForm* form = Construct<TForm>(nullptr);
    ShowForm(form);
    form->Close();
    EXPECT_FALSE(form->Visible());

    std::weak_ptr<void> alive = form->AliveToken();
    form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    ShowForm(form);
    form->Close();
    EXPECT_FALSE(alive.expired()) << "freed only once the event is done";
    QCoreApplication::processEvents();
    EXPECT_TRUE(alive.expired());
}

TEST(ModelessForm, FormsAreListedOnTheScreenInCreationOrder)
{
    TForm* first = Construct<TForm>(nullptr);
    TForm* second = Construct<TForm>(nullptr);
    TScreen* screen = Screen();
    ASSERT_GE(screen->FormCount(), 2);
    EXPECT_EQ(screen->Forms(screen->FormCount() - 2), first);
    EXPECT_EQ(screen->Forms(screen->FormCount() - 1), second);
    ShowForm(second);
    EXPECT_EQ(GuiScreen()->ActiveForm(), second);
    second->Free();
    EXPECT_EQ(GuiScreen()->ActiveForm(), nullptr);
    EXPECT_EQ(screen->Forms(screen->FormCount() - 1), first);
    first->Free();
}

TEST(ModelessForm, ActivationReturnsTheFocusToTheFormsActiveControl)
{
    ChoiceForm* a = Construct<ChoiceForm>(nullptr);
    ChoiceForm* b = Construct<ChoiceForm>(nullptr);
    TEventLog log;
    a->Edit->OnExit = log.Note("exit a.Edit");
    a->OnActivate = log.Note("activate a");
    a->OnDeactivate = log.Note("deactivate a");
    ShowForm(a);
    a->Retry->SetFocus();
    ShowForm(b);
    ShowForm(a);
    EXPECT_EQ(a->ActiveControl(), a->Retry);
    EXPECT_TRUE(a->Retry->Widget()->hasFocus());
    EXPECT_THAT(log.Entries, ElementsAre("activate a", "exit a.Edit", "deactivate a", "activate a"));
    b->Free();
    a->Free();
}

// The application's loop: runs until the main form closes, which ends the program.
TEST(ApplicationDeathTest, ClosingTheMainFormEndsRun)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
            {
                TForm* main = nullptr;
                Application->CreateForm(main);
                main->OnShow = [main](TObject*) { QTimer::singleShot(0, [main] { main->Close(); }); };
                Application->Run();
                std::exit(Application->Terminated() && Application->MainForm() == main ? 7 : 1);
            },
            ::testing::ExitedWithCode(7), "");
}

TEST(ApplicationDeathTest, TerminateEndsAModalLoopAsCancelled)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
            {
                TForm* dialog = Construct<TForm>(nullptr);
                bool closed = false;
                dialog->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
                QTimer::singleShot(0, [] { Application->Terminate(); });
                const int result = dialog->ShowModal();
                std::exit(result == mrCancel && !closed && Application->Terminated() ? 7 : 1);
            },
            ::testing::ExitedWithCode(7), "");
}

// The main form shows two modal forms, one inside the other, and the session ends
// inside the inner one's run, which is then asked for again; what happened goes to
// stderr and the program ends.
[[noreturn]] void EndTheSessionInsideTwoModalRuns()
{
    TForm* main = nullptr;
    Application->CreateForm(main);
    TForm* outer = Construct<TForm>(nullptr);
    TForm* inner = Construct<TForm>(nullptr);
    std::string log;
    const auto noteClose = [&log](TForm* Form, std::string Name) {
        Form->OnClose = [&log, Name](TObject*, TCloseAction&) { log += Name + " closed;"; };
    };
    noteClose(main, "main");
    noteClose(outer, "outer");
    noteClose(inner, "inner");
    main->OnShow = [&](TObject*) {
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                QTimer::singleShot(0, [] { RequestQuit(); });
                const int first = inner->ShowModal();
                log += "inner " + std::to_string(first) +
                       (inner->ClosedByWindowSystem() ? " by window;" : ";");
                log += "again " + std::to_string(inner->ShowModal()) + ";";
            });
            log += "outer " + std::to_string(outer->ShowModal()) + ";";
        });
    };
    Application->Run();
    std::fprintf(stderr, "%s terminated=%d\n", log.c_str(), Application->Terminated() ? 1 : 0);
    std::exit(0);
}

// The end of the session closes the modal forms, the innermost first, each through
// its own close path, then the main form; a form asked for meanwhile never shows.
TEST(ApplicationDeathTest, TheSessionsEndClosesTheModalFormsInnermostFirst)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(EndTheSessionInsideTwoModalRuns(), ::testing::ExitedWithCode(0),
                "inner closed;inner 2 by window;again 0;outer closed;outer 2;main closed; terminated=1");
}

TEST(Application, ProcessMessagesRunsPendingWork)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    Application->ProcessMessages();
    EXPECT_TRUE(ran);
}

// A dialog that takes its size as it shows, as a form laying itself out for its data does.
class SelfSizingDialog : public TForm {
public:
    explicit SelfSizingDialog(TComponent* AOwner) : TForm(AOwner)
    {
        SetPosition(poScreenCenter);
        SetBorderStyle(bsDialog);
        SetBounds(0, 0, 200, 100);
    }
    int ShowWidth = 400;

protected:
    void DoShow() override
    {
        SetBounds(Left(), Top(), ShowWidth, 250);
        TForm::DoShow();
    }
};

TEST(FormShowing, ADialogSizedInDoShowShowsCentredAndFixedAtThatSize)
{
    auto* form = Construct<SelfSizingDialog>(nullptr);
    const TRect area = GuiScreen()->WorkAreaRect();
    for (int width : {400, 500}) {
        form->ShowWidth = width;
        ShowForm(form);
        QWidget* window = form->Widget()->window();
        EXPECT_EQ(form->Width(), width);
        EXPECT_EQ(window->width(), form->ClientWidth()) << "shown at the size DoShow gave";
        EXPECT_EQ(window->minimumWidth(), window->maximumWidth()) << "and fixed there";
        EXPECT_EQ(window->maximumWidth(), form->ClientWidth());
        EXPECT_EQ(form->Left(), area.Left + (area.Width() - 400) / 2) << "placed once, the first time";
        form->Hide();
    }
    form->Free();
}

}  // namespace
