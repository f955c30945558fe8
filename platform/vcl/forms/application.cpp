#include "platform/vcl/forms/application.h"

#include <QApplication>
#include <QEventLoop>

#include "platform/rtl/fileops.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/qt/qapp.h"

const TApplicationRef Application;

TApplication* TApplicationRef::operator->() const
{
    static TApplication* application = nullptr;
    if (!application)
        application = new TApplication;
    return application;
}

TApplication::TApplication() : TComponent(nullptr)
{
    EnsureQApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    TEventDispatch::Instance();
    const String name = ExtractFileName(ProgramFileName());
    const size_t dot = name.rfind('.');
    FTitle = dot == String::npos ? name : name.substr(0, dot);
}

TApplication::~TApplication() = default;

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FMainForm)
        FMainForm = nullptr;
    TComponent::Notification(AComponent, Operation);
}

void TApplication::Initialize() { EnsureQApplication(); }

void TApplication::SetMainForm(TCustomForm* Form)
{
    FMainForm = Form;
    if (Form)
        Form->FreeNotification(this);
}

String TApplication::ExeName() const { return ProgramFileName(); }

void TApplication::Run()
{
    if (FTerminated)
        return;
    if (FMainForm) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(this);
        }
    }
    if (!FTerminated)
        QApplication::exec();
}

void TApplication::Terminate()
{
    FTerminated = true;
    // Every running loop, modal ones included, ends.
    QCoreApplication::exit(0);
}

void TApplication::EndSession()
{
    if (FTerminated)
        return;
    FEnding = true;
    CloseNextForm();
}

void TApplication::CloseNextForm()
{
    if (!FEnding || FTerminated)
        return;
    if (TCustomForm* modal = TCustomForm::InnermostModalForm()) {
        // Its run ends and, once it has closed, takes the next step.
        modal->CloseFromWindow();
        return;
    }
    if (FMainForm)
        FMainForm->CloseFromWindow();
    else
        Terminate();
    if (!FTerminated)
        FEnding = false;
}

void TApplication::ProcessMessages()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr error = std::current_exception();
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (...) {
        const Exception unknown("Unknown exception");
        if (OnException)
            OnException(Sender, unknown);
        else
            ShowException(unknown);
    }
}

void TApplication::ShowException(const std::exception& E)
{
    String message = E.what();
    // The class library ends the message with a full stop.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    MessageBoxDlg(message, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& Text, const String& Caption, int Flags)
{
    return MessageBoxDlg(Text, Caption, Flags);
}

void TApplication::SetHint(const String& Value)
{
    if (Value == FHint)
        return;
    FHint = Value;
    if (OnHint)
        OnHint(this);
}
