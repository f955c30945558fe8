#include "controls/opendocument.h"

#include "platform/rtl/fileops.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/win/desktop.h"

void OpenDocument(const String& FileName) {
    const String path = ResolvePath(FileName);
    if (!FileExists(path)) {
        ShowMessage("The file " + path + " was not found.");
        return;
    }
    if (!ShowDocument(path)) ShowMessage("The file " + path + " could not be opened.");
}

void ShowListHelp(const String& ProgramDir) {
    Application->SetHelpFile(ProgramDir + "DIRUZU.ZIV>Small");
    OpenDocument(ProgramDir + "DIRUZU.ZIV");
}
