#include "controls/opendocument.h"

#include "platform/rtl/fileops.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/win/desktop.h"

void OpenDocument(const String& FileName)
{
    const String path = ResolvePath(FileName);
    if (!FileExists(path)) {
        ShowMessage("The file " + path + " was not found.");
        return;
    }
    if (!ShowDocument(path))
        ShowMessage("The file " + path + " could not be opened.");
}

String NoHelpFileMessage(const String& Path)
{
    return "Help is not available: the help file does not come with this program. A copy of it placed at " +
           Path + " is opened by F1.";
}

void OpenHelpFile(const String& FileName)
{
    const String path = ResolvePath(FileName);
    if (!FileExists(path)) {
        ShowMessage(NoHelpFileMessage(path));
        return;
    }
    OpenDocument(path);
}

void ShowListHelp(const String& ProgramDir)
{
    Application->SetHelpFile(ProgramDir + "DIRUZU.ZIV>Small");
    OpenHelpFile(ProgramDir + "DIRUZU.ZIV");
}

void StartCalculator()
{
    const String command = CalculatorCommand();
    if (command.empty())
        ShowMessage("No calculator was found. Install " + CalculatorChoices() + " to use F2.");
    else if (!RunCalculator())
        ShowMessage("The calculator \"" + command + "\" could not be started.");
}
