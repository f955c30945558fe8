// The program: the main window, then the main menu, then the message loop.

#include <cstdlib>

#include "app/mainform.h"
#include "app/totstart.h"
#include "maintenance/clientbasic.h"
#include "maintenance/clientselection.h"
#include "maintenance/configuration.h"
#include "platform/pcl/pagepainter.h"
#include "platform/vcl/application.h"
#include "printing/formpages.h"
#include "printing/formprinter.h"
#include "printing/viewpcl.h"

int main() {
    try {
        Application->Initialize();
        Application->CreateForm(FMain);
        // Start-up has already said why the program cannot run here.
        if (FMain->StartFailed) return EXIT_FAILURE;
        MenuForms.ClientBasic = ShowClientBasic;
        MenuForms.ClientSelection = ShowClientSelection;
        // Canvas pages draw their form image from the same PCL overlay a laser printer gets.
        SetFormImagePainter(pcl::PaintOverlay);
        MenuForms.Configuration = ShowConfiguration;
        FormPageHooks.ViewPrintedPages = ViewPrintedPages;
        Application->CreateForm(FTotStart);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
