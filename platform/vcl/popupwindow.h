#pragma once
// Drop-down windows: a control shown as a window of its own over the others, which
// takes neither the focus nor the activation, and the watch that sees a mouse press
// anywhere in the program (a press outside a drop-down closes it).

#include <functional>
#include <memory>

#include "platform/vcl/geometry.h"

class QObject;
class TControl;

// Makes a control without parent a floating window: positioned in screen pixels,
// never activated, never focused, above the program's other windows.
void MakeFloatingWindow(TControl* Control);
// Shows or hides a floating window.
void ShowFloatingWindow(TControl* Control, bool Visible);

// While it lives, every left-button press in the program (on a control or a window's
// frame) is told to OnPress with its screen position, before the control under the
// mouse sees it.
class TMousePressWatch {
public:
    explicit TMousePressWatch(std::function<void(TPoint ScreenPos)> OnPress);
    ~TMousePressWatch();
    TMousePressWatch(const TMousePressWatch&) = delete;
    TMousePressWatch& operator=(const TMousePressWatch&) = delete;

private:
    std::unique_ptr<QObject> FFilter;
};
