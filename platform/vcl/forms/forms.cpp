#include "platform/vcl/forms/forms.h"

#include <QApplication>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qgraphics.h"
#include "platform/vcl/qt/qtext.h"

namespace {

constexpr const char* CannotFocus = "Cannot focus a disabled or invisible window";

// A modal form's run disables the windows that are up and take input when it
// starts, and enables them again when it ends. A window shown while the run goes
// on (a viewer, a progress form) takes input as usual.
// Disabling a window loses its focus widget, which it gets back with its input.
class TDisabledWindows {
public:
    TDisabledWindows()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || !window->isEnabled())
                continue;
            if (window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip)
                continue;
            FWindows.push_back({window, window->focusWidget()});
            window->setEnabled(false);
        }
    }
    ~TDisabledWindows() { Enable(); }
    TDisabledWindows(const TDisabledWindows&) = delete;
    TDisabledWindows& operator=(const TDisabledWindows&) = delete;

    void Enable()
    {
        for (const TDisabledWindow& disabled : FWindows) {
            if (!disabled.Window)
                continue;
            disabled.Window->setEnabled(true);
            QWidget* focus = disabled.Focus;
            if (focus && !disabled.Window->focusWidget() && focus->window() == disabled.Window &&
                focus->isEnabled())
                focus->setFocus(Qt::OtherFocusReason);
        }
        FWindows.clear();
    }

private:
    struct TDisabledWindow {
        QPointer<QWidget> Window;
        QPointer<QWidget> Focus;
    };
    std::vector<TDisabledWindow> FWindows;
};

}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QWidget>())
{
    BeginLoading();
    GuiScreen()->RegisterForm(this);
    FClient = new QWidget(Widget());
    FClient->show();
    FClient->setAutoFillBackground(true);
    Widget()->setAutoFillBackground(true);
    Widget()->setAttribute(Qt::WA_DeleteOnClose, false);
    // A press the form leaves alone goes on to the MDI frame around it, which activates it.
    Widget()->setAttribute(Qt::WA_NoMousePropagation, false);
    SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
}

TCustomForm::~TCustomForm()
{
    // The controls go while the form is still whole, so they can leave its records.
    while (ControlCount() > 0)
        Controls(ControlCount() - 1)->Free();
    DestroyComponents();
    TGuiScreen* screen = GuiScreen();
    if (screen->FActiveForm == this)
        screen->FActiveForm = nullptr;
    screen->UnregisterForm(this);
    if (FModalLoop)
        FModalLoop->exit(0);
    if (FMdiWindow) {
        Widget()->setParent(nullptr);
        delete FMdiWindow;
    }
}

bool TCustomForm::InheritsFrom(const String& name) const
{
    return SameText(name, "TCustomForm") || SameText(name, "TScrollingWinControl") ||
           TWinControl::InheritsFrom(name);
}

bool TForm::InheritsFrom(const String& name) const
{
    return SameText(name, "TForm") || TCustomForm::InheritsFrom(name);
}

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    FinishLoading();
    Guarded(this, [this] { DoCreate(); });
    if (Visible())
        ShowWindow();
}

void TCustomForm::BeforeDestruction()
{
    Guarded(this, [this] { DoDestroy(); });
    TWinControl::BeforeDestruction();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FMenu)
        FMenu = nullptr;
    TWinControl::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------- geometry

TSize TCustomForm::FrameSize() const
{
    if (FFormStyle == fsMDIChild && FMdiWindow)
        return TSize {8, 27};
    switch (FBorderStyle) {
    case bsNone: return TSize {0, 0};
    case bsSingle:
    case bsDialog: return TSize {6, 25};
    case bsToolWindow: return TSize {6, 21};
    case bsSizeToolWin: return TSize {8, 23};
    default: return TSize {8, 27};
    }
}

int TCustomForm::MenuHeight() const
{
    if (!FMenu || !FMenu->MenuBar())
        return 0;
    return FMenu->MenuBar()->sizeHint().height();
}

int TCustomForm::ClientWidth() const { return std::max(0, Width() - FrameSize().cx); }

int TCustomForm::ClientHeight() const { return std::max(0, Height() - FrameSize().cy - MenuHeight()); }

QWidget* TCustomForm::ClientWidget() const { return FClient; }

QWidget* TCustomForm::WindowWidget() const { return FMdiWindow ? FMdiWindow : Widget(); }

void TCustomForm::UpdateWidgetGeometry()
{
    const int menu = MenuHeight();
    if (FMenu && FMenu->MenuBar())
        FMenu->MenuBar()->setGeometry(0, 0, ClientWidth(), menu);
    FClient->setGeometry(0, menu, ClientWidth(), ClientHeight());
    if (Parent()) {
        Widget()->setGeometry(Left(), Top(), ClientWidth(), ClientHeight() + menu);
        return;
    }
    Widget()->resize(ClientWidth(), ClientHeight() + menu);
    if (FMdiWindow) {
        FMdiWindow->setGeometry(Left(), Top(), Width(), Height());
    } else if (FPlaced) {
        Widget()->move(Left(), Top());
    }
}

void TCustomForm::WidgetResized(int NewClientWidth, int NewClientHeight)
{
    // The window's height holds the menu bar, which the client height leaves out.
    const TSize frame = FrameSize();
    const int width = NewClientWidth + frame.cx;
    const int height = NewClientHeight + frame.cy;
    if (width == Width() && height == Height())
        return;
    SetBounds(Left(), Top(), width, height);
}

void TCustomForm::AlignControls(TRect& Rect)
{
    TWinControl::AlignControls(Rect);
    if (FMdiArea)
        FMdiArea->setGeometry(ToQRect(Rect));
}

void TCustomForm::PlaceWindow()
{
    FPlaced = true;
    QRect area(0, 0, 800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    TCustomForm* main = Application->MainForm();
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2, Width(),
                  Height());
        break;
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (main && main != this && main->Visible()) {
            SetBounds(main->Left() + (main->Width() - Width()) / 2,
                      main->Top() + (main->Height() - Height()) / 2, Width(), Height());
        } else {
            SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2,
                      Width(), Height());
        }
        break;
    default: break;
    }
    UpdateWidgetGeometry();
}

// ---------------------------------------------------------------- style

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (Value == FFormStyle)
        return;
    FFormStyle = Value;
    if (Value == fsMDIForm && !FMdiArea) {
        FMdiArea = new QMdiArea(FClient);
        FMdiArea->setBackground(ToQColor(clAppWorkSpace));
        FMdiArea->lower();
        FMdiArea->show();
        Realign();
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }

void TCustomForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    if (!WindowWidget()->isVisible())
        return;
    switch (Value) {
    case wsMaximized: WindowWidget()->showMaximized(); break;
    case wsMinimized: WindowWidget()->showMinimized(); break;
    default: WindowWidget()->showNormal(); break;
    }
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (Value == FMenu)
        return;
    if (FMenu && FMenu->MenuBar())
        FMenu->MenuBar()->hide();
    FMenu = Value;
    if (FMenu) {
        FMenu->FreeNotification(this);
        QMenuBar* bar = FMenu->MenuBar();
        bar->setParent(Widget());
        bar->show();
    }
    UpdateWidgetGeometry();
    Realign();
}

int TCustomForm::MDIChildCount() const
{
    return FMdiArea ? static_cast<int>(FMdiArea->subWindowList().size()) : 0;
}

TCustomForm* TCustomForm::MDIChildren(int Index) const
{
    if (!FMdiArea || Index < 0 || Index >= MDIChildCount())
        throw ERangeError("List index out of bounds (" + IntToStr(Index) + ")");
    return dynamic_cast<TCustomForm*>(
            TEventDispatch::ControlOf(FMdiArea->subWindowList().at(Index)->widget()));
}

TCustomForm* TCustomForm::ActiveMDIChild() const
{
    if (!FMdiArea || !FMdiArea->activeSubWindow())
        return nullptr;
    return dynamic_cast<TCustomForm*>(TEventDispatch::ControlOf(FMdiArea->activeSubWindow()->widget()));
}

// ---------------------------------------------------------------- showing

void TCustomForm::SetVisible(bool Value)
{
    if (Value && Visible() && !ComponentState().Contains(csLoading)) {
        ShowWindow();  // brings a shown form to the front
        return;
    }
    TWinControl::SetVisible(Value);
}

void TCustomForm::UpdateWidgetVisibility()
{
    if (ComponentState().Contains(csLoading))
        return;
    if (Parent()) {
        TWinControl::UpdateWidgetVisibility();
        return;
    }
    if (Visible())
        ShowWindow();
    else
        HideWindow();
}

void TCustomForm::ShowWindow()
{
    QWidget* window = Widget();
    if (FFormStyle == fsMDIChild) {
        TCustomForm* frame = Application->MainForm();
        if (!frame || !frame->FMdiArea)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        if (!FMdiWindow) {
            FMdiWindow = frame->FMdiArea->addSubWindow(window);
            FMdiWindow->setWindowTitle(ToQString(Caption()));
            UpdateWidgetGeometry();
        }
        if (!window->isVisible())
            Guarded(this, [this] { DoShow(); });
        window->show();
        if (FWindowState == wsMaximized)
            FMdiWindow->showMaximized();
        else
            FMdiWindow->show();
        frame->FMdiArea->setActiveSubWindow(static_cast<QMdiSubWindow*>(FMdiWindow));
        WindowActivated(nullptr);
        return;
    }
    if (!window->isVisible()) {
        Qt::WindowFlags flags = Qt::Window;
        switch (FBorderStyle) {
        case bsNone: flags |= Qt::FramelessWindowHint; break;
        case bsDialog: flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
        case bsToolWindow:
        case bsSizeToolWin: flags = Qt::Tool; break;
        default: break;
        }
        if (FFormStyle == fsStayOnTop)
            flags |= Qt::WindowStaysOnTopHint;
        window->setWindowFlags(flags);
        window->setWindowTitle(ToQString(Caption()));
        // The form may size and lay itself out in DoShow: the size it shows with is
        // fixed, and the window placed, only after that.
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        UpdateWidgetGeometry();
        Guarded(this, [this] { DoShow(); });
        if (!Visible())
            return;  // OnShow hid it again
        if (!FPlaced)
            PlaceWindow();
        if (FBorderStyle != bsSizeable && FBorderStyle != bsSizeToolWin)
            window->setFixedSize(window->size());
        switch (FWindowState) {
        case wsMaximized:
            // The window fills the screen also where no window manager maximises it.
            if (const QScreen* screen = window->screen())
                window->setGeometry(screen->availableGeometry());
            window->showMaximized();
            break;
        case wsMinimized: window->showMinimized(); break;
        default: window->show(); break;
        }
    }
    // The window comes up with the focus on the control the form will activate.
    TWinControl* target = FActiveControl && FActiveControl->CanFocus()
                                  ? FActiveControl
                                  : FindNextControl(nullptr, true, true, false);
    if (target && !FActive)
        target->Widget()->setFocus(Qt::OtherFocusReason);
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window->raise();
    QApplication::setActiveWindow(window);
    WindowActivated(nullptr);
}

void TCustomForm::HideWindow()
{
    if (!WindowWidget()->isVisible())
        return;
    WindowWidget()->hide();
    if (FMdiWindow)
        Widget()->hide();
    Guarded(this, [this] { DoHide(); });
    if (FActive)
        WindowDeactivated();
}

namespace {

// The forms whose modal runs are going on, the innermost last.
std::vector<TCustomForm*>& ModalRuns()
{
    static std::vector<TCustomForm*> runs;
    return runs;
}

}  // namespace

TCustomForm* TCustomForm::InnermostModalForm() { return ModalRuns().empty() ? nullptr : ModalRuns().back(); }

int TCustomForm::ShowModal()
{
    if (Visible() || Modal())
        throw EInvalidOperation("Cannot make a visible window modal");
    FModalResult = mrNone;
    FClosedByWindowSystem = false;
    // A form asked for while the application ends never shows, so no loop of the
    // program can go on showing it.
    if (Application->Terminated() || Application->Ending())
        return mrNone;
    TCustomForm* previous = GuiScreen()->ActiveForm();
    FShowingModal = true;
    ModalRuns().push_back(this);
    TDisabledWindows disabled;
    {
        // The run ends here however the loop is left.
        const ScopeExit endRun([this] {
            FModalLoop = nullptr;
            FShowingModal = false;
            std::erase(ModalRuns(), this);
        });
        Show();
        for (;;) {
            if (FModalResult == mrNone && !Application->Terminated()) {
                QEventLoop loop;
                FModalLoop = &loop;
                loop.exec();
                FModalLoop = nullptr;
            }
            if (Application->Terminated()) {
                FModalResult = mrCancel;
                break;
            }
            // The form agrees to close, or the loop goes on.
            TCloseAction action = caHide;
            bool canClose = true;
            Guarded(this, [&] { canClose = CloseQuery(); });
            if (canClose)
                Guarded(this, [&] { DoClose(action); });
            if (!canClose || action == caNone) {
                FModalResult = mrNone;
                FClosedByWindowSystem = false;
                Application->KeepRunning();
                continue;
            }
            if (action == caFree)
                Release();
            break;
        }
    }
    // The windows behind take input again before the focus goes back to them.
    disabled.Enable();
    Hide();
    if (previous && previous != this && previous->Visible())
        previous->ShowWindow();
    if (Application->Ending())
        QTimer::singleShot(0, qApp, [] { Application->CloseNextForm(); });
    return FModalResult;
}

void TCustomForm::SetModalResult(TModalResult Value)
{
    FModalResult = Value;
    if (Value != mrNone && FModalLoop)
        FModalLoop->exit(0);
}

bool TCustomForm::CloseQuery()
{
    for (int i = 0; i < MDIChildCount(); ++i) {
        if (TCustomForm* child = MDIChildren(i); child && !child->CloseQuery())
            return false;
    }
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (Modal()) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = FFormStyle == fsMDIChild ? caMinimize : caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::CloseFromWindow()
{
    FClosedByWindowSystem = true;
    Guarded(this, [this] { Close(); });
}

void TCustomForm::Release()
{
    std::weak_ptr<void> alive = AliveToken();
    QTimer::singleShot(0, qApp, [this, alive] {
        if (!alive.expired())
            Free();
    });
}

// ---------------------------------------------------------------- focus

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (Control == FActiveControl)
        return;
    if (Control && !ComponentState().Contains(csLoading) &&
        (Control == this || GetParentForm(Control) != this || !Control->CanFocus())) {
        throw EInvalidOperation(CannotFocus);
    }
    FActiveControl = Control;
    if (FActive && Control && !ComponentState().Contains(csLoading)) {
        if (SetFocusedControl(Control))
            Control->Widget()->setFocus(Qt::OtherFocusReason);
    }
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    const bool wasActive = FActive;
    SetActiveControl(Control);
    if (wasActive)
        return;
    if (!Visible() || !Enabled())
        throw EInvalidOperation(CannotFocus);
    ShowWindow();
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
    const int count = ++FFocusCount;
    FActiveControl = Control != this ? Control : nullptr;
    if (!FFocusedControl)
        FFocusedControl = this;
    if (FFocusedControl == Control)
        return true;
    // Out of the old control and its containers that do not hold the new one...
    while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
        TWinControl* leaving = FFocusedControl;
        FFocusedControl = leaving->Parent();
        Guarded(leaving, [leaving] { leaving->CMExit(); });
        if (count != FFocusCount)
            return false;
    }
    if (!FFocusedControl)
        FFocusedControl = this;
    // ...and into the containers down to the new one, unless a handler moved the focus.
    while (FFocusedControl != Control) {
        TWinControl* entering = Control;
        while (entering->Parent() != FFocusedControl)
            entering = entering->Parent();
        FFocusedControl = entering;
        Guarded(entering, [entering] { entering->CMEnter(); });
        if (count != FFocusCount)
            return false;
    }
    for (TWinControl* container = Control->Parent(); container; container = container->Parent()) {
        if (auto* box = dynamic_cast<TScrollBox*>(container))
            box->ScrollInView(Control);
    }
    return true;
}

void TCustomForm::ControlDestroying(TControl* Control)
{
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (!win)
        return;
    if (FActiveControl && win->ContainsControl(FActiveControl))
        FActiveControl = nullptr;
    if (FFocusedControl && win->ContainsControl(FFocusedControl))
        FFocusedControl = win->Parent() ? win->Parent() : this;
}

void TCustomForm::WindowActivated(TWinControl* Requested)
{
    TGuiScreen* screen = GuiScreen();
    if (screen->FActiveForm != this || !FActive) {
        TCustomForm* old = screen->FActiveForm;
        screen->FActiveForm = this;
        if (old && old != this)
            old->WindowDeactivated();
        FActive = true;
        std::weak_ptr<void> alive = AliveToken();
        const int count = FFocusCount;
        TWinControl* before = FActiveControl;
        Guarded(this, [this] { Activate(); });
        if (alive.expired() || !FActive)
            return;
        // The activation chose the control itself (as a form that always starts in its
        // command entry does).
        if (count != FFocusCount || before != FActiveControl)
            Requested = nullptr;
    }
    TWinControl* target =
            Requested && Requested != this && Requested->CanFocus() ? Requested : FActiveControl;
    if (!target || !target->CanFocus())
        target = FindNextControl(nullptr, true, true, false);
    if (!target) {
        SetFocusedControl(this);
        return;
    }
    if (SetFocusedControl(target))
        target->Widget()->setFocus(Qt::ActiveWindowFocusReason);
}

void TCustomForm::WindowDeactivated()
{
    if (!FActive)
        return;
    FActive = false;
    if (GuiScreen()->FActiveForm == this)
        GuiScreen()->FActiveForm = nullptr;
    Guarded(this, [this] { Deactivate(); });
}

bool TCustomForm::CMDialogKey(Word Key, TShiftState Shift)
{
    if (Shift.Contains(ssAlt))
        return false;
    switch (Key) {
    case VK_TAB:
        if (Shift.Contains(ssCtrl))
            return false;
        SelectNext(FActiveControl, !Shift.Contains(ssShift), true);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        // Arrows move among the active control's siblings, tab stops or not.
        if (FActiveControl && FActiveControl->Parent()) {
            FActiveControl->Parent()->SelectNext(FActiveControl, Key == VK_RIGHT || Key == VK_DOWN, false);
            return true;
        }
        return false;
    default: return TWinControl::CMDialogKey(Key, Shift);
    }
}

namespace {

// The character after a single "&" in the caption; 0 when there is none.
char Accelerator(const String& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] != '&')
            return AnsiUpperChar(Caption[i + 1]);
        ++i;
    }
    return 0;
}

TLabel* LabelWithAccelerator(const TWinControl* Container, char Key)
{
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* control = Container->Controls(i);
        if (!control->Visible())
            continue;
        if (auto* label = dynamic_cast<TLabel*>(control);
            label && label->ShowAccelChar() && Accelerator(label->Caption()) == Key)
            return label;
        if (auto* inner = dynamic_cast<TWinControl*>(control)) {
            if (TLabel* found = LabelWithAccelerator(inner, Key))
                return found;
        }
    }
    return nullptr;
}

}  // namespace

bool TCustomForm::DialogChar(char Key)
{
    TLabel* label = LabelWithAccelerator(this, AnsiUpperChar(Key));
    if (!label || !label->FocusControl() || !label->FocusControl()->CanFocus())
        return false;
    label->FocusControl()->SetFocus();
    return true;
}

std::intptr_t TCustomForm::Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam)
{
    if (Msg == WM_NEXTDLGCTL) {
        if (LParam != 0) {
            if (auto* control = reinterpret_cast<TWinControl*>(WParam))
                control->SetFocus();
        } else {
            SelectNext(FActiveControl, WParam == 0, true);
        }
    }
    return 0;
}

// ---------------------------------------------------------------- events

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    if (OnDestroy)
        OnDestroy(this);
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::TextChanged()
{
    Widget()->setWindowTitle(ToQString(Caption()));
    if (FMdiWindow)
        FMdiWindow->setWindowTitle(ToQString(Caption()));
}
