#pragma once
// Drop-down windows: a control shown as a window of its own over the screen, below or
// above the control it drops from, that takes neither the focus nor the activation from
// that control's form; and the watch that closes it when the user presses the mouse
// anywhere else.

#include <functional>
#include <memory>
#include <vector>

class QObject;
class TControl;

// Makes the control a drop-down window: its bounds are screen pixels from then on.
void MakeDropDownWindow(TControl* Control);
// Shows or hides a drop-down window (a control without a parent is otherwise never shown).
void ShowDropDownWindow(TControl* Control, bool Show);

// Watches the mouse presses of the whole program while it lives: a press outside every
// window of the controls Inside calls OnOutside once the press has been delivered. With
// OnWindowChange it also hears, once the change is done, each time another window (or
// none of the program's) takes the keyboard. One watch per open drop-down.
class TOutsidePressWatch {
public:
    TOutsidePressWatch(std::vector<const TControl*> Inside, std::function<void()> OnOutside,
                       std::function<void()> OnWindowChange = nullptr);
    ~TOutsidePressWatch();
    TOutsidePressWatch(const TOutsidePressWatch&) = delete;
    TOutsidePressWatch& operator=(const TOutsidePressWatch&) = delete;

private:
    std::unique_ptr<QObject> FFilter;
};
