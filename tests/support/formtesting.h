#pragma once
// Helpers for driving forms offscreen the way a user does.

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTest>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/vcl/controls/lists.h"
#include "platform/vcl/forms/forms.h"

// Sends a key to the form's window: the focused control gets it through the same
// routing a user's key takes.
inline void PressKey(TCustomForm* Form, Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
{
    QTest::keyClick(Form->Widget()->window()->windowHandle(), Key, Modifiers);
}

inline void TypeText(TCustomForm* Form, const char* Text)
{
    for (const char* c = Text; *c; ++c) {
        QTest::keyClick(Form->Widget()->window()->windowHandle(), *c);
    }
}

// The window system's request to close the form's window, as its close box or a
// window manager's delete request sends it. The form decides whether and how it closes.
inline void RequestClose(TCustomForm* Form) { Form->Widget()->window()->windowHandle()->close(); }

// The window system's request to end the application, as the end of the session sends it.
inline void RequestQuit()
{
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
}

// A left click on the middle of a control, sent to its window through the window
// system as a user's click comes: a window that takes no input does not get it.
inline void ClickControl(TControl* Control)
{
    QWidget* window = Control->Widget()->window();
    const QPoint at = Control->Widget()->mapTo(window, Control->Widget()->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

// A left click, with Modifiers held, on the middle of item Index of a list box, sent
// through the window system.
inline void ClickListItem(TListBox* List, int Index, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
{
    QWidget* rows = static_cast<QAbstractScrollArea*>(List->Widget())->viewport();
    const TRect r = List->ItemRect(Index);
    QWidget* window = rows->window();
    const QPoint at = rows->mapTo(window, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Modifiers, at);
}

// The indexes of a list box's selected items, in order.
inline std::vector<int> SelectedItems(const TListBox* List)
{
    std::vector<int> rows;
    for (int i = 0; i < List->Items()->Count(); ++i)
        if (List->Selected(i))
            rows.push_back(i);
    return rows;
}

// Qt keeps the modifiers of the last key event as held, and the test helpers their own
// pressed buttons: a test that ended mid-press would hand them to the next. Releases all.
inline void ForgetHeldInput()
{
    QWindow window;
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseRelease(&window, button);
    }
    QWidget sink;
    QKeyEvent none(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier);
    QCoreApplication::sendEvent(&sink, &none);
}

// Shows the form and lets the window system settle.
inline void ShowForm(TCustomForm* Form)
{
    Form->Show();
    QCoreApplication::processEvents();
    Form->Show();
}

// A list of what happened, in order.
struct TEventLog {
    std::vector<std::string> Entries;
    void Add(const std::string& Entry) { Entries.push_back(Entry); }
    std::function<void(TObject*)> Note(const std::string& Entry)
    {
        return [this, Entry](TObject*) { Add(Entry); };
    }
};

// Types a key as the window system does, from outside the program's thread: the key
// waits in the program's queue until the program next looks at its input. Finish
// lets the program take it and waits for the typing to end.
class TQueuedTypist {
public:
    TQueuedTypist(QWindow* Window, Qt::Key Key, const QString& Text)
    {
        FThread = std::thread([this, Window, Key, Text] {
            FStarted = true;
            qt_handleKeyEvent(Window, QEvent::KeyPress, Key, Qt::NoModifier, Text);
            qt_handleKeyEvent(Window, QEvent::KeyRelease, Key, Qt::NoModifier, Text);
            FDone = true;
        });
        while (!FStarted)
            std::this_thread::yield();
        // Long enough for the key to be queued.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~TQueuedTypist() { Finish(); }
    void Finish()
    {
        if (!FThread.joinable())
            return;
        while (!FDone)
            QCoreApplication::processEvents();
        FThread.join();
    }

private:
    std::atomic<bool> FStarted = false;
    std::atomic<bool> FDone = false;
    std::thread FThread;
};
