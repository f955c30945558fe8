#include "platform/vcl/forms/dispatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>
#include <unordered_map>

#include "platform/vcl/controls/controls.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/graphics/controlcanvas.h"
#include "platform/vcl/qt/qkeys.h"

namespace {

// A disabled window or control takes no keys or mouse input, as the window system gives
// it none; Qt hands such input to the application's filters all the same.
bool TakesNoInput(const QObject* Watched)
{
    return Watched->isWidgetType() && !static_cast<const QWidget*>(Watched)->isEnabled();
}

std::unordered_map<const QObject*, TControl*>& Registry()
{
    static std::unordered_map<const QObject*, TControl*> registry;
    return registry;
}

TMouseButton MouseButtonOf(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

// The key a control must take for itself to keep it from the form's dialog keys.
int DialogMaskOf(Word Key)
{
    switch (Key) {
    case VK_TAB: return dlgcWantTab;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return dlgcWantArrows;
    case VK_RETURN:
    case VK_ESCAPE: return dlgcWantAllKeys;
    default: return 0;
    }
}

}  // namespace

bool Guarded(TObject* Sender, const std::function<void()>& Action)
{
    try {
        Action();
        return true;
    } catch (...) {
        try {
            Application->HandleException(Sender);
        } catch (...) {
            // The exception dialog itself failed; the event loop must go on.
        }
        return false;
    }
}

TEventDispatch& TEventDispatch::Instance()
{
    static TEventDispatch* dispatch = new TEventDispatch;
    return *dispatch;
}

TEventDispatch::TEventDispatch()
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
}

void TEventDispatch::Register(QWidget* Widget, TControl* Control) { Registry()[Widget] = Control; }

void TEventDispatch::Unregister(QWidget* Widget) { Registry().erase(Widget); }

TControl* TEventDispatch::ControlOf(const QObject* Widget)
{
    const auto it = Registry().find(Widget);
    return it == Registry().end() ? nullptr : it->second;
}

TWinControl* TEventDispatch::WinControlAt(const QObject* Widget)
{
    for (const QObject* object = Widget; object; object = object->parent()) {
        if (auto* control = dynamic_cast<TWinControl*>(ControlOf(object)))
            return control;
        // A window of Qt's own (a message box, a drop-down list) is not part of the form
        // it stands over.
        if (object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow())
            return nullptr;
    }
    return nullptr;
}

void TEventDispatch::FocusChanged(QWidget*, QWidget* Now)
{
    if (!Now)
        return;
    TWinControl* control = WinControlAt(Now);
    if (!control)
        return;
    // Focus noise in a window that a modal form or dialog blocks is not the user's doing.
    if (!Now->window()->isEnabled())
        return;
    if (QWidget* modal = QApplication::activeModalWidget();
        modal && modal != Now->window() && !modal->isAncestorOf(Now))
        return;
    TCustomForm* form = control->ParentForm();
    if (!form)
        return;
    if (!form->Active() || GuiScreen()->ActiveForm() != form) {
        form->WindowActivated(control);
        return;
    }
    if (control == form || !control->AcceptsFocus()) {
        TWinControl* active = form->ActiveControl();
        if (active && active->CanFocus() && active->Widget() != Now)
            active->Widget()->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (form->FocusedControl() != control)
        form->SetFocusedControl(control);
}

bool TEventDispatch::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (Event == FDelivering || !Watched->isWidgetType() || TakesNoInput(Watched))
            return false;
        auto* key = static_cast<QKeyEvent*>(Event);
        auto* target = static_cast<QWidget*>(Watched);
        const bool handled =
                Event->type() == QEvent::KeyPress ? KeyPressed(target, key) : KeyReleased(target, key);
        if (handled)
            Event->accept();
        return handled;
    }
    case QEvent::Paint: {
        TControl* control = ControlOf(Watched);
        if (!control)
            return false;
        TCanvas* canvas = nullptr;
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        auto* custom = dynamic_cast<TCustomControl*>(control);
        if (graphic)
            canvas = graphic->Canvas();
        else if (custom)
            canvas = custom->Canvas();
        if (!canvas)
            return false;
        QPainter painter(static_cast<QWidget*>(Watched));
        auto* controlCanvas = static_cast<TControlCanvas*>(canvas);
        controlCanvas->BeginPaint(&painter);
        Guarded(control, [graphic, custom] {
            if (graphic)
                graphic->Paint();
            else
                custom->Paint();
        });
        controlCanvas->EndPaint();
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        TControl* control = ControlOf(Watched);
        if (!control || TakesNoInput(Watched))
            return false;
        auto* mouse = static_cast<QMouseEvent*>(Event);
        const QPoint at = mouse->position().toPoint();
        TShiftState shift = ShiftStateOf(mouse->modifiers(), mouse->buttons());
        const bool drawn = dynamic_cast<TGraphicControl*>(control) || dynamic_cast<TCustomControl*>(control);
        std::weak_ptr<void> alive = control->AliveToken();
        Guarded(control, [&] {
            switch (Event->type()) {
            case QEvent::MouseButtonPress:
                control->MouseDown(MouseButtonOf(mouse->button()), shift, at.x(), at.y());
                break;
            case QEvent::MouseButtonDblClick:
                shift.Include(ssDouble);
                control->MouseDown(MouseButtonOf(mouse->button()), shift, at.x(), at.y());
                if (!alive.expired())
                    control->DblClick();
                break;
            case QEvent::MouseButtonRelease:
                control->MouseUp(MouseButtonOf(mouse->button()), shift, at.x(), at.y());
                // Drawn controls click when the button comes up over them.
                if (!alive.expired() && drawn && mouse->button() == Qt::LeftButton &&
                    control->ClientRect().Contains(Point(at.x(), at.y()))) {
                    control->Click();
                }
                break;
            default: control->MouseMove(shift, at.x(), at.y()); break;
            }
        });
        return alive.expired();
    }
    case QEvent::Show: {
        auto* control = dynamic_cast<TWinControl*>(ControlOf(Watched));
        if (control && control->Widget() == Watched)
            Guarded(control, [control] { control->WindowShown(); });
        return false;
    }
    case QEvent::Enter:
    case QEvent::Leave: {
        // The pointer's control gives the application its hint; leaving it, its container does.
        const TControl* control = ControlOf(Watched);
        if (!control)
            return false;
        if (Event->type() == QEvent::Leave)
            control = control->Parent();
        Guarded(Application, [control] { Application->SetHint(GetLongHint(GetHint(control))); });
        return false;
    }
    case QEvent::Wheel:
        if (Event == FDelivering || !Watched->isWidgetType())
            return false;
        return WheelTurned(static_cast<QWidget*>(Watched), static_cast<QWheelEvent*>(Event));
    case QEvent::Resize: {
        auto* form = dynamic_cast<TCustomForm*>(ControlOf(Watched));
        if (form && !form->Parent()) {
            const QSize size = static_cast<QWidget*>(Watched)->size();
            Guarded(form, [&] { form->WidgetResized(size.width(), size.height()); });
        }
        return false;
    }
    case QEvent::Close: {
        const QObject* inner = Watched;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(Watched))
            inner = sub->widget();
        auto* form = dynamic_cast<TCustomForm*>(ControlOf(inner));
        if (!form || form->Parent())
            return false;
        // The close box asks the form, which decides whether and how it closes. A
        // window that a modal run blocks takes no input, and no close request either.
        Event->ignore();
        if (static_cast<QWidget*>(Watched)->isEnabled())
            form->CloseFromWindow();
        return true;
    }
    case QEvent::Quit:
        // The session ends: the forms close as the user would close them.
        if (Watched != qApp)
            return false;
        Application->EndSession();
        return true;
    default: return false;
    }
}

bool TEventDispatch::KeyPressed(QWidget* Target, QKeyEvent* Event)
{
    TWinControl* control = WinControlAt(Target);
    if (!control)
        return false;
    TCustomForm* form = control->ParentForm();
    const Word vk = VirtualKeyOf(*Event);
    const TShiftState shift = ShiftStateOf(Event->modifiers());
    std::weak_ptr<void> alive = control->AliveToken();

    // 1. Dialog keys, unless the control takes the key itself.
    const int mask = DialogMaskOf(vk);
    if (mask && form && !(control->DialogCode() & mask)) {
        bool handled = false;
        if (!Guarded(form, [&] { handled = form->CMDialogKey(vk, shift); }) || handled)
            return true;
    }

    // Alt with a letter or digit: a label's accelerator moves the focus to its control.
    if (form && shift.Contains(ssAlt) && !shift.Contains(ssCtrl) &&
        ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))) {
        bool handled = false;
        if (!Guarded(form, [&] { handled = form->DialogChar(static_cast<char>(vk)); }) || handled)
            return true;
    }

    // 2. KeyDown: the form first when it previews keys, then the control. A handler that
    // raises ends the key's processing.
    const bool preview = form && form != control && form->KeyPreview();
    Word key = vk;
    if (key != 0) {
        if (preview && (!Guarded(form, [&] { form->KeyDown(key, shift); }) || alive.expired()))
            return true;
        if (key != 0 && (!Guarded(control, [&] { control->KeyDown(key, shift); }) || alive.expired()))
            return true;
    }

    // 3. KeyPress, even when KeyDown swallowed the key: the character exists already.
    const char typed = KeyCharOf(*Event);
    char ch = typed;
    if (ch != 0) {
        if (preview && (!Guarded(form, [&] { form->KeyPress(ch); }) || alive.expired()))
            return true;
        if (ch != 0 && (!Guarded(control, [&] { control->KeyPress(ch); }) || alive.expired()))
            return true;
    }

    // 4. The control's own handling of what is left of the key.
    const bool deliver = typed != 0 ? ch != 0 : key != 0 || vk == 0;
    if (!deliver)
        return true;
    if (ch != typed) {
        QKeyEvent changed(QEvent::KeyPress, Event->key(), Event->modifiers(), KeyTextOf(ch),
                          Event->isAutoRepeat());
        Deliver(Target, &changed);
    } else {
        Deliver(Target, Event);
    }
    return true;
}

bool TEventDispatch::KeyReleased(QWidget* Target, QKeyEvent* Event)
{
    TWinControl* control = WinControlAt(Target);
    if (!control)
        return false;
    TCustomForm* form = control->ParentForm();
    Word key = VirtualKeyOf(*Event);
    const TShiftState shift = ShiftStateOf(Event->modifiers());
    std::weak_ptr<void> alive = control->AliveToken();
    if (key != 0) {
        const bool preview = form && form != control && form->KeyPreview();
        if (preview && (!Guarded(form, [&] { form->KeyUp(key, shift); }) || alive.expired()))
            return true;
        if (key != 0 && (!Guarded(control, [&] { control->KeyUp(key, shift); }) || alive.expired()))
            return true;
        if (key == 0)
            return true;
    }
    Deliver(Target, Event);
    return true;
}

bool TEventDispatch::WheelTurned(QWidget* Target, QWheelEvent* Event)
{
    const int delta = Event->angleDelta().y();
    if (delta == 0 || !WinControlAt(Target))
        return false;
    const QPointF global = Event->globalPosition();
    const TPoint mousePos = Point(qRound(global.x()), qRound(global.y()));
    const TShiftState shift = ShiftStateOf(Event->modifiers(), Event->buttons());
    // On from the widget under the mouse to its containers, as Qt passes a wheel on, with
    // each control's DoMouseWheel before its widget's own handling (a list scrolls itself).
    for (QPointer<QWidget> widget = Target; widget;
         widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        if (TControl* control = ControlOf(widget)) {
            std::weak_ptr<void> alive = control->AliveToken();
            bool handled = false;
            if (!Guarded(control, [&] { handled = control->DoMouseWheel(shift, delta, mousePos); }) ||
                handled || alive.expired()) {
                return true;
            }
        }
        if (!widget)
            return true;
        QWheelEvent own(widget->mapFromGlobal(global), global, Event->pixelDelta(), Event->angleDelta(),
                        Event->buttons(), Event->modifiers(), Event->phase(), Event->inverted(),
                        Event->source());
        QEvent* outer = FDelivering;
        FDelivering = &own;
        QCoreApplication::sendEvent(widget, &own);
        FDelivering = outer;
        if (own.isAccepted())
            return true;
    }
    return true;
}

void TEventDispatch::Deliver(QWidget* Target, QKeyEvent* Event)
{
    QEvent* outer = FDelivering;
    FDelivering = Event;
    QCoreApplication::sendEvent(Target, Event);
    FDelivering = outer;
}
