#include "app/programrun.h"

#include <cstdlib>

#include "app/mainform.h"
#include "app/totstart.h"
#include "platform/vcl/forms/application.h"

int RunProgram(const std::function<void()>& InstallForms)
{
    try {
        Application->Initialize();
        Application->CreateForm(FMain);
        if (FMain->StartFailed)
            return EXIT_FAILURE;
        InstallForms();
        Application->CreateForm(FTotStart);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return EXIT_SUCCESS;
}
