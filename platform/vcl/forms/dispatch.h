#pragma once
// Where Qt's events become the class library's: keys through the dialog-key,
// KeyDown, KeyPress order; focus through each form's own record of its active
// control; the wheel to the control under the mouse, then its containers; paint,
// mouse, resize and close through the controls' methods.

#include <QObject>
#include <functional>

class QEvent;
class QKeyEvent;
class QWheelEvent;
class QWidget;
class TControl;
class TWinControl;
class TObject;

class TEventDispatch : public QObject {
public:
    // The one dispatcher, watching the whole application once made.
    static TEventDispatch& Instance();

    static void Register(QWidget* Widget, TControl* Control);
    static void Unregister(QWidget* Widget);
    // The control shown by exactly this widget.
    static TControl* ControlOf(const QObject* Widget);
    // The focusable control this widget belongs to (its own or a container's in the
    // same window).
    static TWinControl* WinControlAt(const QObject* Widget);

    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    TEventDispatch();
    void FocusChanged(QWidget* Old, QWidget* Now);
    bool KeyPressed(QWidget* Target, QKeyEvent* Event);
    bool KeyReleased(QWidget* Target, QKeyEvent* Event);
    void Deliver(QWidget* Target, QKeyEvent* Event);
    bool WheelTurned(QWidget* Target, QWheelEvent* Event);

    // The key or wheel event being handed to its widget, which the filter lets through.
    QEvent* FDelivering = nullptr;
};

// Runs Action; an exception that escapes it goes to Application->HandleException, as
// every event handler's does. False when Action raised.
bool Guarded(TObject* Sender, const std::function<void()>& Action);
