// The mouse as controls see it: moves with and without a button, presses, capture and
// the wheel, sent through the window as the window system sends them.

#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <gtest/gtest.h>

#include "platform/vcl/controls/dropdown.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/scrollbox.h"
#include "tests/support/formtesting.h"

namespace {

// A drawn control that writes down what the mouse does to it.
class TMouseSpy : public TCustomControl {
public:
    TMouseSpy(TComponent* AOwner, TEventLog& Log, std::string Name)
        : TCustomControl(AOwner), FLog(Log), FName(std::move(Name))
    {
    }

protected:
    void MouseDown(TMouseButton, TShiftState, int X, int Y) override { Note("down", X, Y); }
    void MouseUp(TMouseButton, TShiftState, int X, int Y) override { Note("up", X, Y); }
    void MouseMove(TShiftState Shift, int X, int Y) override
    {
        Note(Shift.Contains(ssLeft) ? "drag" : "move", X, Y);
    }

private:
    void Note(const char* What, int X, int Y)
    {
        FLog.Add(FName + " " + What + " " + std::to_string(X) + "," + std::to_string(Y));
    }
    TEventLog& FLog;
    std::string FName;
};

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetHeldInput();
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 200);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 280, 100);
        Panel->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { Log.Add("panel down"); };
        Panel->OnMouseMove = [this](TObject*, TShiftState, int, int) { Log.Add("panel move"); };
        A = new TMouseSpy(Form, Log, "A");
        A->SetParent(Panel);
        A->SetBounds(10, 10, 100, 50);
        B = new TMouseSpy(Form, Log, "B");
        B->SetParent(Panel);
        B->SetBounds(150, 10, 100, 50);
        ShowForm(Form);
        Log.Entries.clear();
    }
    void TearDown() override { Form->Free(); }

    QWindow* Window() { return Form->Widget()->window()->windowHandle(); }
    // A point of a control, in its window.
    QPoint At(TControl* Control, int X, int Y)
    {
        return Control->Widget()->mapTo(Form->Widget()->window(), QPoint(X, Y));
    }
    // The wheel turned over a point of a control: the widget there gets it, as the window
    // system's wheel goes to the innermost widget under the mouse.
    void Wheel(TControl* Control, int Delta)
    {
        const QPoint global = Control->Widget()->mapToGlobal(QPoint(5, 5));
        QWidget* target = Control->Widget()->childAt(QPoint(5, 5));
        if (!target)
            target = Control->Widget();
        QWheelEvent wheel(target->mapFromGlobal(global), global, QPoint(), QPoint(0, Delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
    }

    TEventLog Log;
    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    TMouseSpy* A = nullptr;
    TMouseSpy* B = nullptr;
};

TEST_F(MouseTest, MovesReachTheControlUnderTheMouseWithOrWithoutAButton)
{
    QTest::mouseMove(Window(), At(A, 5, 6));
    QTest::mouseMove(Window(), At(B, 7, 8));
    QTest::mouseMove(Window(), At(Panel, 130, 5));
    EXPECT_EQ(Log.Entries, (std::vector<std::string> {"A move 5,6", "B move 7,8", "panel move"}));

    Log.Entries.clear();
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, At(A, 20, 20));
    QTest::mouseMove(Window(), At(B, 5, 5));
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, At(B, 5, 5));
    EXPECT_EQ(Log.Entries,
              (std::vector<std::string> {"A move 20,20", "A down 20,20", "A drag 145,5", "A up 145,5"}))
            << "a drag stays with the control it began on, and its container hears nothing";
}

TEST_F(MouseTest, ACapturedControlGetsTheMouseWhereverItIs)
{
    A->SetMouseCapture(true);
    EXPECT_TRUE(A->MouseCapture());
    EXPECT_FALSE(B->MouseCapture());
    QTest::mouseMove(Window(), At(B, 9, 9));
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, At(Panel, 5, 80));
    EXPECT_EQ(Log.Entries,
              (std::vector<std::string> {"A move 149,9", "A move -5,70", "A down -5,70", "A up -5,70"}));

    Log.Entries.clear();
    A->SetMouseCapture(false);
    EXPECT_FALSE(A->MouseCapture());
    QTest::mouseMove(Window(), At(B, 6, 6));
    EXPECT_EQ(Log.Entries, (std::vector<std::string> {"B move 6,6"}));
}

TEST_F(MouseTest, TheWheelGoesToTheControlUnderTheMouseThenToItsContainers)
{
    TPoint seenAt;
    A->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint MousePos, bool& Handled) {
        Log.Add("A wheel " + std::to_string(Delta));
        seenAt = MousePos;
        Handled = Delta > 0;
    };
    A->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { Log.Add("A down"); };
    Panel->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& Handled) {
        Log.Add("panel down");
        Handled = true;
    };
    Form->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { Log.Add("form wheel"); };

    Wheel(A, 120);
    EXPECT_EQ(Log.Entries, (std::vector<std::string> {"A wheel 120"})) << "handled: no further";
    const QPoint screen = A->Widget()->mapToGlobal(QPoint(5, 5));
    EXPECT_EQ(seenAt, Point(screen.x(), screen.y())) << "in screen coordinates";

    Log.Entries.clear();
    Wheel(A, -240);
    EXPECT_EQ(Log.Entries,
              (std::vector<std::string> {"A wheel -240", "A down", "A down", "panel down", "panel down"}))
            << "a notch at a time, then the container takes what the control left";
}

TEST_F(MouseTest, AWheelNoHandlerTakesScrollsWhatCanScroll)
{
    auto* box = new TScrollBox(Form);
    box->SetParent(Form);
    box->SetBounds(10, 120, 120, 60);
    auto* tall = new TMouseSpy(Form, Log, "tall");
    tall->SetParent(box);
    tall->SetBounds(0, 0, 100, 400);
    box->Realign();
    auto* list = new TListBox(Form);
    list->SetParent(Form);
    list->SetBounds(150, 120, 120, 60);
    for (int i = 0; i < 50; ++i)
        list->Items()->Add("item " + std::to_string(i));
    QCoreApplication::processEvents();

    Wheel(tall, -WHEEL_DELTA);
    EXPECT_GT(box->VertScrollBar()->Position(), 0) << "the box the control sits in";
    Wheel(list, -WHEEL_DELTA);
    EXPECT_GT(list->TopIndex(), 0) << "a list scrolls itself";
}

TEST_F(MouseTest, WheelNotchesAddUpFromSmallSteps)
{
    int ups = 0;
    A->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& Handled) {
        ++ups;
        Handled = true;
    };
    for (int step = 0; step < 5; ++step)
        Wheel(A, 40);
    EXPECT_EQ(ups, 1) << "200 of 120 a notch";
    Wheel(A, 40);
    EXPECT_EQ(ups, 2);
    Wheel(A, -40);
    EXPECT_EQ(ups, 2);
}

// The drop-downs' outside-press watch made while the press that opens it is being
// handled: the press reaches its control once, and the watch hears the presses after.
TEST_F(MouseTest, AWatchMadeByAPressLeavesThatPressDeliveredOnce)
{
    // A filter put in before leaves no free place ahead of the class library's own.
    QObject earlier;
    qApp->installEventFilter(&earlier);
    std::unique_ptr<TOutsidePressWatch> watch;
    int outside = 0;
    Panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        Log.Add("panel down");
        watch = std::make_unique<TOutsidePressWatch>(std::vector<const TControl*> {Panel},
                                                     [&] { ++outside; });
    };
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, At(Panel, 5, 80));
    QCoreApplication::processEvents();
    EXPECT_EQ(std::count(Log.Entries.begin(), Log.Entries.end(), "panel down"), 1);
    EXPECT_EQ(outside, 0);
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 150));
    QCoreApplication::processEvents();
    EXPECT_EQ(outside, 1) << "a press elsewhere is heard";
    qApp->removeEventFilter(&earlier);
}

}  // namespace
