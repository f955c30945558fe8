#pragma once
// Runs steps inside the memo dialog once it is up, for the tests that open it.

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include "datacontrols/edits/dwmemodlg.h"
#include "platform/classes/screen.h"

// Runs Action once the memo dialog is up.
inline void WhenMemoShown(const std::function<void(TdwMemoDlg*)>& Action, int Tries = 200)
{
    QTimer::singleShot(Tries == 200 ? 0 : 10, [Action, Tries] {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i) {
            auto* dialog = dynamic_cast<TdwMemoDlg*>(Screen()->Forms(i));
            if (dialog && dialog->Modal() && dialog->Visible()) {
                Action(dialog);
                return;
            }
        }
        if (Tries > 0)
            WhenMemoShown(Action, Tries - 1);
        else
            ADD_FAILURE() << "the memo dialog never showed";
    });
}
