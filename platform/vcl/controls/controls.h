#pragma once
// Controls: TControl (every visible thing on a form, each over its own Qt
// widget), TWinControl (one that takes the focus and keys and holds other
// controls), TGraphicControl and TCustomControl (drawn by their Paint on a canvas).

#include <memory>
#include <vector>

#include "platform/classes/alignment.h"
#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/graphics/geometry.h"
#include "platform/vcl/graphics/graphics.h"

class QWidget;
class QPainter;
class TWinControl;
class TCustomForm;

// An operation the control's state does not allow ("Cannot focus a disabled or
// invisible window").
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -12;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crHandPoint = -21;

// What keys a control takes itself rather than leaving to the form's dialog keys.
constexpr int dlgcWantArrows = 0x1;
constexpr int dlgcWantTab = 0x2;
constexpr int dlgcWantAllKeys = 0x4;  // Enter and Esc too
constexpr int dlgcWantChars = 0x8;

// Passing states of a control. csPaintCopy: it is painting an image of itself for
// another place (a row of a control that shows copies of it), not its own window.
enum TControlStateItem { csPaintCopy };
using TControlState = SetOf<TControlStateItem>;

class TControl : public TComponent {
public:
    ~TControl() override;

    String ClassName() const override { return "TControl"; }
    bool InheritsFrom(const String& name) const override;
    void BeforeDestruction() override;

    TWinControl* Parent() const { return FParent; }
    // Shows the control in AParent (null removes it from view).
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    // The inside, without borders and frames.
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    void SetClientWidth(int Value) { SetWidth(FWidth - ClientWidth() + Value); }
    void SetClientHeight(int Value) { SetHeight(FHeight - ClientHeight() + Value); }
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible itself and in every container up to a shown form.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    // Caption and Text are the same text, as the class library has it.
    String Caption() const { return GetText(); }
    void SetCaption(const String& Value) { SetText(Value); }
    String Text() const { return GetText(); }
    void SetText(const String& Value) { SetTextValue(Value); }

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    void Invalidate();
    void Repaint();
    void Update();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;

    // Fires OnClick; a button also sets its form's ModalResult first.
    virtual void Click();
    virtual void DblClick();

    // While captured, the control gets every mouse move and button release in its window,
    // wherever the mouse is, until it lets go.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // The form the control sits on (through its containers); null when none.
    TCustomForm* ParentForm() const;
    // The Qt widget that shows the control.
    QWidget* Widget() const { return FWidget; }
    // True while the control is alive; lets event dispatch notice a control freed by a handler.
    std::weak_ptr<void> AliveToken() const { return FAlive; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    // The control shows itself through AWidget, which it owns.
    TControl(TComponent* AOwner, QWidget* AWidget);

    virtual String GetText() const { return FText; }
    virtual void SetTextValue(const String& Value);
    // The text changed: show it.
    virtual void TextChanged() { }
    virtual void FontChanged();
    virtual void ColorChanged();
    // Whether Color is the background of typed text (an edit's) rather than of the control.
    virtual bool ColorIsFieldBackground() const { return false; }
    virtual void EnabledChanged();
    virtual void Resize();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    // The wheel turned over the control: OnMouseWheel first, then one DoMouseWheelDown or
    // DoMouseWheelUp for each whole notch turned so far. True when handled.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    // Puts the geometry on the widget.
    virtual void UpdateWidgetGeometry();
    // Shows or hides the widget as Visible and the parent say.
    virtual void UpdateWidgetVisibility();
    // Called by the event dispatch.
    friend class TEventDispatch;
    friend class TWinControl;

    String FText;

private:
    void ParentFontChanged();
    void ParentColorChanged();

    QWidget* FWidget;
    TWinControl* FParent = nullptr;
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FTakingParentFont = false;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    String FHint;
    bool FShowHint = false;
    TCursor FCursor = crDefault;
    TControlState FControlState;
    // Wheel turned and not yet spent in whole notches.
    int FWheelAccumulator = 0;
};

// The form the control sits on; null when none.
TCustomForm* GetParentForm(const TControl* Control);

// A hint "Short | Long" shows its short part as the tool tip and its long part in a
// status bar; a hint without "|" is both.
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);
// The hint of Control, or of the nearest container that has one.
String GetHint(const TControl* Control);

class TWinControl : public TControl {
public:
    ~TWinControl() override;

    String ClassName() const override { return "TWinControl"; }
    bool InheritsFrom(const String& name) const override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
    // This control or one inside it, at any depth.
    bool ContainsControl(const TControl* Control) const;

    // Position among the parent's focusable controls; setting it moves the others on.
    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }

    // Visible and enabled, with every container up to the form.
    virtual bool CanFocus() const;
    // The form's focused control is this one.
    bool Focused() const;
    // Makes this the form's active control; raises EInvalidOperation when it cannot
    // take the focus.
    virtual void SetFocus();

    // Moves the focus to the next (or previous) control after CurControl in tab order,
    // only to tab stops when CheckTabStop; within this control's own children when not.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    // Every focusable control inside, in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;

    // Lays out the aligned children again.
    void Realign();

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // The keys the control takes itself (dlgc flags).
    virtual int DialogCode() const { return 0; }
    // Whether the control can hold the focus at all (a panel cannot).
    virtual bool AcceptsFocus() const { return true; }

    // Focus arriving and leaving, as the form's record of its focused control sees it.
    virtual void CMEnter() { DoEnter(); }
    virtual void CMExit() { DoExit(); }
    // A dialog key (Enter, Esc) offered to the controls inside; true when one took it.
    virtual bool CMDialogKey(Word Key, TShiftState Shift);

    // The key pipeline's steps on this control; each fires its event.
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);

    // The control's window appeared on screen for the first time: once per control.
    void WindowShown();

protected:
    TWinControl(TComponent* AOwner, QWidget* AWidget);

    // Called once, when the control's window first appears on screen.
    virtual void CreateWnd() { }

    virtual void DoEnter();
    virtual void DoExit();
    // The widget the children are placed in.
    virtual QWidget* ClientWidget() const;
    // Places the aligned children within Rect.
    virtual void AlignControls(TRect& Rect);
    void FontChanged() override;
    void ColorChanged() override;
    void Resize() override;

private:
    friend class TControl;
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    bool FAligning = false;
    bool FWindowCreated = false;
};

// A control without a window of its own, drawn by Paint (label, image, shape).
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    String ClassName() const override { return "TGraphicControl"; }
    bool InheritsFrom(const String& name) const override;

    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() { }

private:
    friend class TEventDispatch;
    std::unique_ptr<TCanvas> FCanvas;
};

// A focusable control drawn by its own Paint.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    String ClassName() const override { return "TCustomControl"; }
    bool InheritsFrom(const String& name) const override;

    TCanvas* Canvas() const { return FCanvas.get(); }
    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars; }

protected:
    virtual void Paint() { }

private:
    friend class TEventDispatch;
    std::unique_ptr<TCanvas> FCanvas;
};
