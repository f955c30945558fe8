#include "platform/vcl/scrollbox.h"

#include <QScrollArea>
#include <QScrollBar>

#include "platform/rtl/strutils.h"
#include "platform/vcl/qapp.h"

namespace {

QScrollBar* Bar(QScrollArea* Area, bool Vertical) { return Vertical ? Area->verticalScrollBar() : Area->horizontalScrollBar(); }

}  // namespace

int TControlScrollBar::Position() const { return Bar(FOwner.Area(), FVertical)->value(); }

void TControlScrollBar::SetPosition(int Value) {
    FOwner.Realign();
    Bar(FOwner.Area(), FVertical)->setValue(Value);
}

int TControlScrollBar::Range() const { return FVertical ? FOwner.FContent->height() : FOwner.FContent->width(); }

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QScrollArea>()) {
    QScrollArea* area = Area();
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(false);
    FContent = new QWidget;
    area->setWidget(FContent);
    SetBounds(0, 0, 185, 41);
}

TScrollBox::~TScrollBox() {
    // The controls go first, while their container widget still exists.
    while (ControlCount() > 0) Controls(ControlCount() - 1)->Free();
}

bool TScrollBox::InheritsFrom(const String& name) const {
    return SameText(name, "TScrollBox") || SameText(name, "TScrollingWinControl") || TWinControl::InheritsFrom(name);
}

QScrollArea* TScrollBox::Area() const { return static_cast<QScrollArea*>(Widget()); }

QWidget* TScrollBox::ClientWidget() const { return FContent; }

int TScrollBox::ClientWidth() const { return Area()->viewport()->width(); }

int TScrollBox::ClientHeight() const { return Area()->viewport()->height(); }

void TScrollBox::AlignControls(TRect& Rect) {
    // The scrolled area reaches to the farthest control.
    int right = ClientWidth();
    int bottom = ClientHeight();
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* control = Controls(i);
        if (!control->Visible() || control->Align() != alNone) continue;
        right = std::max(right, control->Left() + control->Width());
        bottom = std::max(bottom, control->Top() + control->Height());
    }
    FContent->resize(right, bottom);
    TWinControl::AlignControls(Rect);
}

void TScrollBox::ScrollInView(TControl* Control) {
    if (!Control || !ContainsControl(Control)) return;
    Realign();
    QWidget* widget = Control->Widget();
    const QPoint at = widget->mapTo(FContent, QPoint(0, 0));
    Area()->ensureVisible(at.x() + widget->width() / 2, at.y() + widget->height() / 2, widget->width() / 2, widget->height() / 2);
}
