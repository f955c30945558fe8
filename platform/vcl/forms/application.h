#pragma once
// The application object: the main form, the message loop, the exception dialog.

#include <exception>
#include <functional>

#include "platform/classes/component.h"
#include "platform/vcl/forms/forms.h"

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    String ClassName() const override { return "TApplication"; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void Initialize();
    // Makes a form owned by the application: Reference is set before OnCreate runs, and
    // the first form made becomes the main form. A form that fails to finish is freed,
    // Reference cleared and the error passed on.
    template<class T> void CreateForm(T*& Reference)
    {
        T* form = new T(this);
        Reference = form;
        try {
            form->AfterConstruction();
        } catch (...) {
            Reference = nullptr;
            form->Free();
            throw;
        }
        if (!FMainForm)
            SetMainForm(form);
    }
    TCustomForm* MainForm() const { return FMainForm; }

    // Shows the main form and runs the message loop until Terminate or the main form closes.
    void Run();
    // Ends the message loop (and any modal loop) once the current event is done. The
    // other forms' OnClose does not run.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // The window system asks the application to quit (the session ends): the modal
    // forms close first, the innermost first, each through its own close path, then
    // the main form. A form that refuses to close keeps the application running.
    void EndSession();
    bool Ending() const { return FEnding; }
    // Runs the pending window events (painting, timers, posted calls) but no keys or
    // mouse clicks, so the user cannot start another command meanwhile.
    void ProcessMessages();

    // Shows the exception being handled (inside a catch block) in the exception dialog,
    // or gives it to OnException.
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& E);
    // A message box over the active form; returns IDOK, IDYES and so on.
    int MessageBox(const String& Text, const String& Caption, int Flags);

    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    String ExeName() const;
    const String& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const String& Value) { FHelpFile = Value; }
    // Milliseconds a hint stays up.
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }

    std::function<void(TObject* Sender, const std::exception& E)> OnException;

    // The long part of the hint of the control or menu item under the pointer; each
    // change fires OnHint, with which a status bar shows it.
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    TNotifyEvent OnHint;

private:
    friend class TCustomForm;
    void SetMainForm(TCustomForm* Form);
    // The next step of the session's end: the innermost modal form closes, or the main
    // form when none is left.
    void CloseNextForm();
    void KeepRunning() { FEnding = false; }

    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FEnding = false;
    String FTitle;
    String FHelpFile;
    String FHint;
    int FHintHidePause = 2500;
};

// Application->Run() and the like: the one application object, made on first use.
struct TApplicationRef {
    TApplication* operator->() const;
    TApplication& operator*() const { return *operator->(); }
    operator TApplication*() const { return operator->(); }
};
extern const TApplicationRef Application;

// A form of the application made for one use, such as one modal showing.
template<class T> TOneUse<T> OneUseForm() { return TOneUse<T>(Construct<T>(Application.operator->())); }
