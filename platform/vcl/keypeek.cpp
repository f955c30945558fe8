#include "platform/vcl/keypeek.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QTimerEvent>
#include <memory>
#include <utility>
#include <vector>

#include "platform/vcl/qkeys.h"

namespace {

// The events the program would handle now: held back while it looks. Other events
// (calls queued by other threads and the like) are delivered as usual.
bool IsHeldBack(QEvent::Type Type) {
    switch (Type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::Timer:
    case QEvent::UpdateRequest:
    case QEvent::Expose: return true;
    default: return false;
    }
}

// Held back, like the system's queue keeps them: one tick of a timer and one repaint
// of a window wait however often they came.
bool Coalesces(QEvent::Type Type) { return Type == QEvent::Timer || Type == QEvent::UpdateRequest; }

class TPendingInputHold : public QObject {
public:
    explicit TPendingInputHold(Word Key) : FKey(Key) { }

    bool Found() const { return FFound; }

    // Hands on what was held back, to be delivered once the program asks for events.
    void Release() {
        for (auto& [receiver, event] : FHeld) {
            if (receiver) QCoreApplication::postEvent(receiver, event.release());
        }
        FHeld.clear();
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        const QEvent::Type type = Event->type();
        if (!IsHeldBack(type)) return false;
        if (type == QEvent::KeyPress && VirtualKeyOf(*static_cast<QKeyEvent*>(Event)) == FKey) FFound = true;
        if (Coalesces(type) && IsHeld(Watched, Event)) return true;
        FHeld.emplace_back(QPointer<QObject>(Watched), std::unique_ptr<QEvent>(Event->clone()));
        return true;
    }

private:
    bool IsHeld(QObject* Receiver, QEvent* Event) const {
        for (const auto& [receiver, event] : FHeld) {
            if (receiver != Receiver || event->type() != Event->type()) continue;
            if (Event->type() != QEvent::Timer || static_cast<QTimerEvent*>(event.get())->timerId() ==
                                                          static_cast<QTimerEvent*>(Event)->timerId())
                return true;
        }
        return false;
    }

    Word FKey;
    bool FFound = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> FHeld;
};

}  // namespace

bool KeyPressWaiting(Word Key) {
    static bool looking = false;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || looking || QThread::currentThread() != application->thread()) return false;
    looking = true;
    // Installed last, the hold sees every event before any other filter of the program.
    TPendingInputHold hold(Key);
    application->installEventFilter(&hold);
    QCoreApplication::processEvents();
    application->removeEventFilter(&hold);
    hold.Release();
    looking = false;
    return hold.Found();
}
