#include "platform/vcl/forms/keypeek.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QTimerEvent>
#include <memory>
#include <utility>
#include <vector>

#include "platform/vcl/qt/qkeys.h"

namespace {

// What the program would handle now, held back while it looks: the window system's
// input and its repaints come to the windows, before any control sees them; timers
// and repaints come to any object. Other events (calls queued by other threads and the
// like) are delivered as usual.
bool IsHeldBack(const QObject* Receiver, QEvent::Type Type)
{
    switch (Type) {
    case QEvent::Timer:
    case QEvent::UpdateRequest: return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::Expose:
    case QEvent::Close: return Receiver->isWindowType();
    default: return false;
    }
}

// As the system's queue keeps them: one tick of a timer and one repaint of a window
// wait however often they came.
bool Coalesces(QEvent::Type Type) { return Type == QEvent::Timer || Type == QEvent::UpdateRequest; }

// One hold for the program, among the application's filters from its start: a filter
// put in while an event passes the filters would make Qt hand that event to a filter
// again.
class TPendingInputHold : public QObject {
public:
    static TPendingInputHold*& Instance()
    {
        static TPendingInputHold* hold = nullptr;
        return hold;
    }

    bool Look(Word Key)
    {
        FKey = Key;
        FFound = false;
        FHolding = true;
        QCoreApplication::processEvents();
        FHolding = false;
        // Handed on to be delivered once the program asks for events again.
        for (auto& [receiver, event] : FHeld) {
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
        }
        FHeld.clear();
        return FFound;
    }

    bool Holding() const { return FHolding; }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        const QEvent::Type type = Event->type();
        if (!FHolding || !IsHeldBack(Watched, type))
            return false;
        if (type == QEvent::KeyPress && VirtualKeyOf(*static_cast<QKeyEvent*>(Event)) == FKey)
            FFound = true;
        if (Coalesces(type) && IsHeld(Watched, Event))
            return true;
        FHeld.emplace_back(QPointer<QObject>(Watched), std::unique_ptr<QEvent>(Event->clone()));
        return true;
    }

private:
    bool IsHeld(QObject* Receiver, QEvent* Event) const
    {
        for (const auto& [receiver, event] : FHeld) {
            if (receiver != Receiver || event->type() != Event->type())
                continue;
            if (Event->type() != QEvent::Timer || static_cast<QTimerEvent*>(event.get())->timerId() ==
                                                          static_cast<QTimerEvent*>(Event)->timerId())
                return true;
        }
        return false;
    }

    Word FKey = 0;
    bool FFound = false;
    bool FHolding = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> FHeld;
};

void InstallPendingInputHold()
{
    // Lives as long as the application it filters.
    TPendingInputHold::Instance() = new TPendingInputHold;
    QCoreApplication::instance()->installEventFilter(TPendingInputHold::Instance());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallPendingInputHold)

bool KeyPressWaiting(Word Key)
{
    TPendingInputHold* hold = TPendingInputHold::Instance();
    QCoreApplication* application = QCoreApplication::instance();
    if (!hold || !application || hold->Holding() || QThread::currentThread() != application->thread())
        return false;
    return hold->Look(Key);
}
