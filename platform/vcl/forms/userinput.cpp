#include "platform/vcl/forms/userinput.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/vcl/controls/controls.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qkeys.h"

namespace {

Qt::KeyboardModifiers ModifiersOf(TShiftState Shift)
{
    Qt::KeyboardModifiers modifiers;
    if (Shift.Contains(ssShift))
        modifiers |= Qt::ShiftModifier;
    if (Shift.Contains(ssCtrl))
        modifiers |= Qt::ControlModifier;
    if (Shift.Contains(ssAlt))
        modifiers |= Qt::AltModifier;
    return modifiers;
}

// The text Qt gives a key of a letter, a digit or Space with these modifiers.
QString TypedText(Qt::Key Key, Qt::KeyboardModifiers Modifiers)
{
    if (Modifiers & Qt::AltModifier)
        return {};
    const bool shift = Modifiers & Qt::ShiftModifier;
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z) {
        if (Modifiers & Qt::ControlModifier)
            return QChar(Key - Qt::Key_A + 1);
        return QChar(shift ? Key : Key - Qt::Key_A + 'a');
    }
    if (Modifiers & Qt::ControlModifier)
        return {};
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9 && (!shift || (Modifiers & Qt::KeypadModifier)))
        return QChar(Key);
    if (Key == Qt::Key_Space)
        return QStringLiteral(" ");
    return {};
}

// Qt takes the modifiers of every key press as the ones held, posted presses too. A key
// press of no key, sent here where nobody sees it, puts back the ones really held.
QWidget* ModifierSink()
{
    static QWidget* sink = new QWidget;
    return sink;
}

}  // namespace

bool KeyIsDown(Word Key)
{
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    switch (Key) {
    case VK_LBUTTON: return buttons & Qt::LeftButton;
    case VK_RBUTTON: return buttons & Qt::RightButton;
    case VK_MBUTTON: return buttons & Qt::MiddleButton;
    case VK_SHIFT: return modifiers & Qt::ShiftModifier;
    case VK_CONTROL: return modifiers & Qt::ControlModifier;
    case VK_MENU: return modifiers & Qt::AltModifier;
    default: return false;
    }
}

void PostKey(TWinControl* Control, Word Key, TShiftState Shift)
{
    const QKeyCombination combination = QtKeyOf(Key);
    Qt::Key key = combination.key();
    if (key == Qt::Key_unknown)
        return;
    const Qt::KeyboardModifiers modifiers = ModifiersOf(Shift) | combination.keyboardModifiers();
    // Shift+Tab comes from the window system as Backtab.
    if (key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier))
        key = Qt::Key_Backtab;
    const QString text = TypedText(key, modifiers);
    const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers();
    QCoreApplication::postEvent(Control->Widget(), new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
    QCoreApplication::postEvent(Control->Widget(), new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
    QMetaObject::invokeMethod(
            qApp,
            [held] {
                QKeyEvent restore(QEvent::KeyPress, Qt::Key_unknown, held);
                QCoreApplication::sendEvent(ModifierSink(), &restore);
            },
            Qt::QueuedConnection);
}

void PostLeftButtonUp(TWinControl* Control)
{
    QWidget* target = Control->Widget();
    QWidget* grabber = QWidget::mouseGrabber();
    if (grabber && target->isAncestorOf(grabber))
        target = grabber;
    const QPointF global = QCursor::pos();
    QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonRelease,
                                                        target->mapFromGlobal(global), global, Qt::LeftButton,
                                                        Qt::NoButton, QGuiApplication::keyboardModifiers()));
}

void PostCall(TControl* Control, std::function<void()> Action)
{
    std::weak_ptr<void> alive = Control->AliveToken();
    QTimer::singleShot(0, qApp, [Control, alive, Action = std::move(Action)] {
        if (!alive.expired())
            Guarded(Control, Action);
    });
}
