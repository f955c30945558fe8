// The program: the main window, then the main menu, then the message loop.

#include "app/mainform.h"
#include "app/totstart.h"
#include "efile/efilerejects.h"
#include "maintenance/clientbasic.h"
#include "maintenance/clientselection.h"
#include "platform/vcl/application.h"
#include "printing/reports.h"

int main() {
    try {
        Application->Initialize();
        Application->CreateForm(FMain);
        // Start-up has already said why the program cannot run here.
        if (FMain->StartFailed) return 0;
        MenuForms.ClientBasic = ShowClientBasic;
        MenuForms.ClientSelection = ShowClientSelection;
        EFileRejectsListing = PrintEFileRejects;
        Application->CreateForm(FTotStart);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
