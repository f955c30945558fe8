#pragma once
// The program's life: the main window, then the forms the main menu opens, then the
// main menu and the message loop.

#include <functional>

// Runs the program and returns the process's exit status: a failure when start-up
// found the program unable to run here (it has said why). InstallForms fills the
// main menu's hooks once the main window stands.
int RunProgram(const std::function<void()>& InstallForms);
