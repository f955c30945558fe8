#pragma once
// Forms: windows that hold controls, keep their own record of the active
// control, show modally or modelessly, and close through OnCloseQuery and OnClose.

#include <cstdint>
#include <functional>

#include "platform/vcl/controls/controls.h"

class QMdiArea;
class QEventLoop;
class TMainMenu;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// The message that moves the focus to the next (WParam 0) or previous (1) control.
constexpr unsigned WM_NEXTDLGCTL = 0x0028;

class TCustomForm : public TWinControl {
public:
    // Starts loading: the descendant's constructor builds the components, and
    // AfterConstruction (Construct<TMyForm>(owner) or Application->CreateForm) finishes them.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    String ClassName() const override { return "TCustomForm"; }
    bool InheritsFrom(const String& name) const override;

    // Loaded for every component, then OnCreate (an exception there is shown and the
    // form still made), then the form shows when Visible was set.
    void AfterConstruction() override;
    // OnDestroy while the components still exist.
    void BeforeDestruction() override;

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetVisible(bool Value) override;
    bool AcceptsFocus() const override { return false; }

    // Shows the form modelessly and activates it.
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Shows the form and runs a local loop until ModalResult is set and the form
    // agrees to close; returns the result. The windows up when it starts take no
    // input until it ends; windows shown meanwhile do. The caller frees the form.
    // While the application ends the form is not shown and the result is mrNone.
    int ShowModal();
    // The last modal run was ended by the window system (the close box, the end of the
    // session) rather than by the form's own buttons and keys.
    bool ClosedByWindowSystem() const { return FClosedByWindowSystem; }
    // The modal form whose run is the innermost now, or nullptr.
    static TCustomForm* InnermostModalForm();
    // A modal form gets ModalResult mrCancel; any other asks OnCloseQuery, then OnClose,
    // and hides, minimises or frees itself as the action says. Closing the main form ends
    // the application.
    void Close();
    // OnCloseQuery (and the MDI children's); true when the form may close.
    virtual bool CloseQuery();
    // Frees the form once the current event is done.
    void Release();

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value);
    bool Modal() const { return FModalLoop != nullptr || FShowingModal; }

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }

    // The control that has (or gets, when the form is activated) the focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Raises EInvalidOperation when Control cannot take the focus (not while loading).
    void SetActiveControl(TWinControl* Control);
    // ActiveControl := Control, and the focus to it now when the form is active.
    void FocusControl(TWinControl* Control);
    // The control the form last told of entering.
    TWinControl* FocusedControl() const { return FFocusedControl; }
    bool Active() const { return FActive; }

    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    int PixelsPerInch() const { return ScreenPixelsPerInch; }

    // An MDI frame's children, in the order they were shown.
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int Index) const;
    TCustomForm* ActiveMDIChild() const;

    // Tab and Shift+Tab to the next or previous tab stop, arrows among the active
    // control's siblings, Enter and Esc to the buttons.
    bool CMDialogKey(Word Key, TShiftState Shift) override;
    // Alt with a label's accelerator character focuses the label's FocusControl; true
    // when a label took it.
    bool DialogChar(char Key);
    // The class library's window messages that the forms use: WM_NEXTDLGCTL.
    std::intptr_t Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam);

    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    // Each time the form becomes the active one; fires OnActivate.
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void TextChanged() override;
    QWidget* ClientWidget() const override;
    void AlignControls(TRect& Rect) override;
    void UpdateWidgetGeometry() override;
    void UpdateWidgetVisibility() override;

private:
    friend class TControl;
    friend class TWinControl;
    friend class TEventDispatch;
    friend class TGuiScreen;
    friend class TApplication;

    // The form's record of the focused control: exits up to the common container and
    // enters down to Control, abandoning the move when a handler moves the focus again.
    bool SetFocusedControl(TWinControl* Control);
    void ControlDestroying(TControl* Control);
    // The form became the active one; the focus goes to Requested or the active control.
    void WindowActivated(TWinControl* Requested);
    void WindowDeactivated();
    void CloseFromWindow();
    // The window was resized to this inside size (menu bar included).
    void WidgetResized(int NewClientWidth, int NewClientHeight);
    void ShowWindow();
    void HideWindow();
    void PlaceWindow();
    TSize FrameSize() const;
    int MenuHeight() const;
    QWidget* WindowWidget() const;
    QMdiArea* MdiArea() const { return FMdiArea; }

    QWidget* FClient;
    QMdiArea* FMdiArea = nullptr;
    QWidget* FMdiWindow = nullptr;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    int FFocusCount = 0;
    bool FActive = false;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    QEventLoop* FModalLoop = nullptr;
    bool FShowingModal = false;
    bool FClosedByWindowSystem = false;
    bool FPlaced = false;
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TWindowState FWindowState = wsNormal;
    TMainMenu* FMenu = nullptr;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    String ClassName() const override { return "TForm"; }
    bool InheritsFrom(const String& name) const override;
};
