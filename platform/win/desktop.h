#pragma once
// The calculator and the help file, as the keyboard-driven forms start them.

#include "platform/rtl/types.h"

// The command F2 starts: a program and its arguments separated by blanks. "" (the
// default) takes the registry's "Calculator Command" under SOFTWARE\KORVANE\, or else the
// first of gnome-calculator, kcalc, galculator and xcalc found on the PATH.
String CalculatorCommand();
void SetCalculatorCommand(const String& Command);
// Starts the calculator and waits until it ends; false when none could be started.
bool RunCalculator();
// The calculators looked for on the PATH, for telling the user: "a, b, c or d".
String CalculatorChoices();

// Opens the help file (or any document, such as a support text) with the desktop's
// program for it; false, and nothing started, when the file does not exist.
bool ShowDocument(const String& FileName);
