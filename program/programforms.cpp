#include "program/programforms.h"

#include "app/totstart.h"
#include "efile/efilerejects.h"
#include "maintenance/clientbasic.h"
#include "maintenance/clientselection.h"
#include "maintenance/configuration.h"
#include "maintenance/employeestart.h"
#include "maintenance/transactions.h"
#include "platform/pcl/pagepainter.h"
#include "printing/formpages.h"
#include "printing/formprinter.h"
#include "printing/pdfmaker.h"
#include "printing/print.h"
#include "printing/reports.h"
#include "printing/viewpcl.h"
#include "program/serverclient.h"

void InstallForms()
{
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
    FormPageHooks.ViewPrintedPages = ViewPrintedPages;
    FormPageHooks.MakePdfFromPages = MakePdfFromPages;
    InstallServerClientServices();
}
