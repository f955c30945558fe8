#pragma once
// The help file and the support text, as the forms and the main window's
// menu open them.

#include "platform/rtl/types.h"

// Opens the document with the desktop's program for it; when the file is not
// there, or nothing could open it, the user is told so with the file's name.
void OpenDocument(const String& FileName);

// F1 and the Help menu: the help file FileName. The help file does not come with the
// program; without it the user is told so, and where a copy would be opened from.
void OpenHelpFile(const String& FileName);
// What the user is told when the help file at Path is not there.
String NoHelpFileMessage(const String& Path);

// F1 in a pick list: the help file of ProgramDir, in the help viewer's small window.
void ShowListHelp(const String& ProgramDir);

// F2: the desktop's calculator, waited for; the user is told when there is none.
void StartCalculator();
