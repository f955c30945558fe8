#pragma once
// The help file and the support text, as the forms and the main window's
// menu open them.

#include "platform/rtl/types.h"

// Opens the document with the desktop's program for it; when the file is not
// there, or nothing could open it, the user is told so with the file's name.
void OpenDocument(const String& FileName);

// F1 in a pick list: the help file of ProgramDir, in the help viewer's small window.
void ShowListHelp(const String& ProgramDir);
