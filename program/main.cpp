// The program: the main window, then the main menu, then the message loop.

#include <cstdlib>

#include "app/mainform.h"
#include "app/totstart.h"
#include "efile/efilerejects.h"
#include "maintenance/clientbasic.h"
#include "maintenance/clientselection.h"
#include "maintenance/configuration.h"
#include "maintenance/employeestart.h"
#include "maintenance/transactions.h"
#include "platform/pcl/pagepainter.h"
#include "platform/vcl/application.h"
#include "printing/formprinter.h"
#include "printing/print.h"
#include "printing/reports.h"

int main() {
    try {
        Application->Initialize();
        Application->CreateForm(FMain);
        // Start-up has already said why the program cannot run here.
        if (FMain->StartFailed) return EXIT_FAILURE;
        MenuForms.ClientBasic = ShowClientBasic;
        MenuForms.ClientSelection = ShowClientSelection;
        MenuForms.EmployeeStart = ShowEmployeeStart;
        MenuForms.RecipientLookup = LookupRecipient;
        MenuForms.Transactions = ShowTransactions;
        MenuForms.Configuration = ShowConfiguration;
        MenuForms.Print = ShowPrint;
        TransactionListing = PrintEmployeeTransactions;
        EFileRejectsListing = PrintEFileRejects;
        // Canvas pages draw their form image from the same PCL overlay a laser printer gets.
        SetFormImagePainter(pcl::PaintOverlay);
        Application->CreateForm(FTotStart);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
