#include "platform/vcl/controls/scrollbox.h"

#include <QChildEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include "platform/rtl/strutils.h"
#include "platform/vcl/qt/qapp.h"

namespace {

QScrollBar* Bar(QScrollArea* Area, bool Vertical)
{
    return Vertical ? Area->verticalScrollBar() : Area->horizontalScrollBar();
}

// Lays the box out again whenever a control in it is moved or sized, or the box is
// resized, so that the scrolled area reaches to the farthest control, and the bars
// show, as soon as the window shows, whether or not the window system resizes it.
class TLayoutWatcher : public QObject {
public:
    TLayoutWatcher(TScrollBox& Box, QWidget* Content) : QObject(Content), FBox(Box), FContent(Content)
    {
        Content->installEventFilter(this);
        Box.Widget()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        switch (Event->type()) {
        case QEvent::ChildAdded:
            if (Watched == FContent)
                static_cast<QChildEvent*>(Event)->child()->installEventFilter(this);
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (Watched != FContent)
                FBox.Realign();
            break;
        default: break;
        }
        return false;
    }

private:
    TScrollBox& FBox;
    QWidget* FContent;
};

}  // namespace

int TControlScrollBar::Position() const { return Bar(FOwner.Area(), FVertical)->value(); }

void TControlScrollBar::SetPosition(int Value)
{
    FOwner.Realign();
    Bar(FOwner.Area(), FVertical)->setValue(Value);
}

int TControlScrollBar::Range() const
{
    return FVertical ? FOwner.FContent->height() : FOwner.FContent->width();
}

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QScrollArea>())
{
    QScrollArea* area = Area();
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(false);
    FContent = new QWidget;
    area->setWidget(FContent);
    new TLayoutWatcher(*this, FContent);
    SetBounds(0, 0, 185, 41);
}

TScrollBox::~TScrollBox()
{
    // The controls go first, while their container widget still exists.
    while (ControlCount() > 0)
        Controls(ControlCount() - 1)->Free();
}

bool TScrollBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TScrollBox") || SameText(name, "TScrollingWinControl") ||
           TWinControl::InheritsFrom(name);
}

QScrollArea* TScrollBox::Area() const { return static_cast<QScrollArea*>(Widget()); }

QWidget* TScrollBox::ClientWidget() const { return FContent; }

int TScrollBox::ClientWidth() const { return Area()->viewport()->width(); }

int TScrollBox::ClientHeight() const { return Area()->viewport()->height(); }

void TScrollBox::AlignControls(TRect& Rect)
{
    // The scrolled area reaches to the farthest control, and fills the room the bars
    // it needs leave; a bar shows only where the controls go beyond that room.
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* control = Controls(i);
        if (!control->Visible() || control->Align() != alNone)
            continue;
        right = std::max(right, control->Left() + control->Width());
        bottom = std::max(bottom, control->Top() + control->Height());
    }
    QScrollArea* area = Area();
    QSize room = area->maximumViewportSize();
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    const bool tall = bottom > room.height();
    const bool wide = right > room.width() || (tall && right > room.width() - bar);
    if (wide)
        room.rheight() -= bar;
    if (bottom > room.height())
        room.rwidth() -= bar;
    FContent->resize(std::max(right, room.width()), std::max(bottom, room.height()));
    TWinControl::AlignControls(Rect);
}

void TScrollBox::ScrollInView(TControl* Control)
{
    if (!Control || !ContainsControl(Control))
        return;
    Realign();
    QWidget* widget = Control->Widget();
    const QPoint at = widget->mapTo(FContent, QPoint(0, 0));
    Area()->ensureVisible(at.x() + widget->width() / 2, at.y() + widget->height() / 2, widget->width() / 2,
                          widget->height() / 2);
}
