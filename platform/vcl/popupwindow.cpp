#include "platform/vcl/popupwindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "platform/vcl/controls.h"

void MakeFloatingWindow(TControl* Control) {
    QWidget* widget = Control->Widget();
    // A tool tip window keeps the focus where it is; a tool window would take it.
    widget->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    widget->setAttribute(Qt::WA_ShowWithoutActivating);
    widget->setFocusPolicy(Qt::NoFocus);
}

void ShowFloatingWindow(TControl* Control, bool Visible) {
    // A tool tip window shows above the program's other windows.
    Control->Widget()->setVisible(Visible);
}

namespace {
class TPressFilter : public QObject {
public:
    explicit TPressFilter(std::function<void(TPoint)> OnPress) : FOnPress(std::move(OnPress)) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        const QEvent::Type type = Event->type();
        if ((type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress) &&
            Watched->isWidgetType()) {
            auto* mouse = static_cast<QMouseEvent*>(Event);
            if (mouse->button() == Qt::LeftButton) {
                const QPoint global = mouse->globalPosition().toPoint();
                FOnPress(Point(global.x(), global.y()));
            }
        }
        return false;
    }

private:
    std::function<void(TPoint)> FOnPress;
};
}  // namespace

TMousePressWatch::TMousePressWatch(std::function<void(TPoint ScreenPos)> OnPress)
    : FFilter(std::make_unique<TPressFilter>(std::move(OnPress))) {
    qApp->installEventFilter(FFilter.get());
}

TMousePressWatch::~TMousePressWatch() { qApp->removeEventFilter(FFilter.get()); }
