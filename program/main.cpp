// The program: the main window, then the main menu, then the message loop.

#include "app/mainform.h"
#include "app/totstart.h"
#include "maintenance/employeestart.h"
#include "platform/vcl/application.h"

int main() {
    try {
        Application->Initialize();
        Application->CreateForm(FMain);
        // Start-up has already said why the program cannot run here.
        if (FMain->StartFailed) return 0;
        MenuForms.EmployeeStart = ShowEmployeeStart;
        Application->CreateForm(FTotStart);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
