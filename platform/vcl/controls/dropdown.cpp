#include "platform/vcl/controls/dropdown.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/vcl/controls/controls.h"

void MakeDropDownWindow(TControl* Control)
{
    QWidget* widget = Control->Widget();
    // A tool-tip window stays on top without taking the activation, where a tool window
    // would take it and the focus with it.
    widget->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    widget->setAttribute(Qt::WA_ShowWithoutActivating);
    widget->setFocusPolicy(Qt::NoFocus);
    widget->hide();
}

void ShowDropDownWindow(TControl* Control, bool Show) { Control->Widget()->setVisible(Show); }

namespace {

class TPressFilter : public QObject {
public:
    TPressFilter(std::vector<const TControl*> Inside, std::function<void()> OnOutside,
                 std::function<void()> OnWindowChange)
        : FOnOutside(std::move(OnOutside))
    {
        for (const TControl* control : Inside)
            FInside.emplace_back(control->Widget());
        if (OnWindowChange)
            connect(qApp, &QGuiApplication::focusWindowChanged, this,
                    [this, OnWindowChange] { QTimer::singleShot(0, this, OnWindowChange); });
    }

    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        const QEvent::Type type = Event->type();
        if ((type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress) &&
            Watched->isWidgetType() && !FPending) {
            const QPoint global = static_cast<QMouseEvent*>(Event)->globalPosition().toPoint();
            if (!IsInside(global)) {
                // Closed after the press reached its target, as a posted message would be.
                FPending = true;
                QTimer::singleShot(0, this, [this] {
                    FPending = false;
                    FOnOutside();
                });
            }
        }
        return false;
    }

private:
    bool IsInside(const QPoint& Global) const
    {
        for (const QPointer<QWidget>& widget : FInside) {
            if (widget && widget->isVisible() &&
                QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()).contains(Global))
                return true;
        }
        return false;
    }

    std::vector<QPointer<QWidget>> FInside;
    std::function<void()> FOnOutside;
    bool FPending = false;
};

}  // namespace

TOutsidePressWatch::TOutsidePressWatch(std::vector<const TControl*> Inside, std::function<void()> OnOutside,
                                       std::function<void()> OnWindowChange)
    : FFilter(std::make_unique<TPressFilter>(std::move(Inside), std::move(OnOutside),
                                             std::move(OnWindowChange)))
{
    // Watching from when the event that opened the drop-down is done: a filter put in
    // while an event passes the application's filters would make Qt hand that event to
    // the filter before it once more (the press that opened it would close it again).
    QObject* filter = FFilter.get();
    QTimer::singleShot(0, filter, [filter] { qApp->installEventFilter(filter); });
}

TOutsidePressWatch::~TOutsidePressWatch() { qApp->removeEventFilter(FFilter.get()); }
