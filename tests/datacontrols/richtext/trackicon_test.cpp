// The ruler's indent marker on its own: its picture, its drag between the limits, and
// the end of a drag.

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "datacontrols/richtext/dwtrackicon.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/formtesting.h"

namespace {

class TrackIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 60);
        Icon = new TdwTrackIcon(Form);
        Icon->SetParent(Form);
        Icon->SetBitmapName("dwRulerUp");
        Icon->SetLeft(100);
        Icon->OnEndDrag = [this](TObject*) { ++Ends; };
        ShowForm(Form);
    }
    void TearDown() override { Form->Free(); }

    // Presses the left button on the marker, moves it by each step and lets go.
    void Drag(std::initializer_list<int> Steps)
    {
        QWidget* widget = Icon->Widget();
        const QPoint at(4, 4);
        QTest::mousePress(widget, Qt::LeftButton, {}, at);
        for (const int step : Steps) {
            const QPointF to = at + QPoint(step, 0);
            QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(widget, &move);
        }
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }

    TForm* Form = nullptr;
    TdwTrackIcon* Icon = nullptr;
    int Ends = 0;
};

TEST_F(TrackIconTest, TheBitmapNameGivesThePictureAndTheSize)
{
    EXPECT_EQ(Icon->Width(), 9);
    EXPECT_EQ(Icon->Height(), 8);
    Icon->SetBitmapName("dwRulerDown");
    EXPECT_EQ(Icon->Width(), 9);
    Icon->SetBitmapName("noSuchPicture");
    EXPECT_EQ(Icon->Width(), 0) << "no picture, no room";
}

TEST_F(TrackIconTest, ADragStopsAtTheLimitsAndEndsOnlyAfterAMove)
{
    struct Case {
        int MinValue, MaxValue;
        std::initializer_list<int> Steps;
        int Left;
    };
    for (const Case& c : {Case {10, 200, {30, 20}, 150}, Case {10, 200, {300}, 200},
                          Case {10, 200, {-300}, 10}, Case {0, 0, {-150}, -50}, Case {0, 120, {40}, 120}}) {
        Icon->SetLeft(100);
        Icon->SetMinValue(c.MinValue);
        Icon->SetMaxValue(c.MaxValue);
        Ends = 0;
        Drag(c.Steps);
        EXPECT_EQ(Icon->Left(), c.Left) << c.MinValue << ".." << c.MaxValue;
        EXPECT_EQ(Ends, 1);
    }
    Ends = 0;
    Drag({});
    EXPECT_EQ(Ends, 0) << "a click without a move is no drag";
    Drag({0});
    EXPECT_EQ(Ends, 0) << "nor a move that stays on the press point";
}

}  // namespace
