#include "platform/vcl/controls/controls.h"

#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/qt/qgraphics.h"
#include "platform/vcl/qt/qtext.h"

namespace {

Qt::CursorShape CursorShape(TCursor Cursor)
{
    switch (Cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crNo: return Qt::ForbiddenCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
    }
}

}  // namespace

TControl::TControl(TComponent* AOwner, QWidget* AWidget)
    : TComponent(AOwner), FWidget(AWidget), FFont(std::make_unique<TFont>())
{
    TEventDispatch::Instance();
    TEventDispatch::Register(FWidget, this);
    // Each control sees the mouse over itself, buttons held or not, and only it does: what
    // it leaves alone does not pass on to its container.
    FWidget->setMouseTracking(true);
    FWidget->setAttribute(Qt::WA_NoMousePropagation);
    FWidget->hide();
    FFont->OnChange = [this](TObject*) {
        if (!FTakingParentFont)
            FParentFont = false;
        FontChanged();
    };
    FontChanged();
    FParentFont = true;
    ColorChanged();
}

TControl::~TControl()
{
    TEventDispatch::Unregister(FWidget);
    FFont->OnChange = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
    FParent = nullptr;
    delete FWidget;
}

bool TControl::InheritsFrom(const String& name) const
{
    return SameText(name, "TControl") || TComponent::InheritsFrom(name);
}

void TControl::BeforeDestruction()
{
    TEventDispatch::Unregister(FWidget);
    TComponent::BeforeDestruction();
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) {
        if (TCustomForm* form = ParentForm(); form && form != this)
            form->ControlDestroying(this);
        TWinControl* old = FParent;
        old->RemoveControl(this);
        FParent = nullptr;
        if (FAlign != alNone)
            old->Realign();
    }
    FParent = AParent;
    if (FParent) {
        FParent->InsertControl(this);
        FWidget->setParent(FParent->ClientWidget());
        if (FParentFont)
            ParentFontChanged();
        if (FParentColor)
            ParentColorChanged();
    } else {
        FWidget->setParent(nullptr);
    }
    UpdateWidgetGeometry();
    UpdateWidgetVisibility();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    if (!resized && ALeft == FLeft && ATop == FTop)
        return;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateWidgetGeometry();
    if (resized)
        Resize();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

void TControl::UpdateWidgetGeometry() { FWidget->setGeometry(FLeft, FTop, FWidth, FHeight); }

void TControl::UpdateWidgetVisibility() { FWidget->setVisible(FVisible && FParent != nullptr); }

void TControl::SetAlign(TAlign Value)
{
    if (Value == FAlign)
        return;
    FAlign = Value;
    if (FParent)
        FParent->Realign();
}

void TControl::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    UpdateWidgetVisibility();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

bool TControl::Showing() const
{
    for (const TControl* control = this; control; control = control->FParent) {
        if (!control->FVisible)
            return false;
        if (!control->FParent)
            return control->FWidget->isVisible();
    }
    return false;
}

void TControl::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    EnabledChanged();
}

void TControl::EnabledChanged() { FWidget->setEnabled(FEnabled); }

void TControl::SetTextValue(const String& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    TextChanged();
}

void TControl::FontChanged()
{
    FWidget->setFont(ToQFont(*FFont, ScreenPixelsPerInch));
    QPalette palette = FWidget->palette();
    const QColor color = ToQColor(FFont->Color());
    // The disabled colours stay the system's, so that a disabled control looks disabled.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, color);
    FWidget->setPalette(palette);
    FWidget->update();
}

void TControl::ParentFontChanged()
{
    if (!FParent)
        return;
    FTakingParentFont = true;
    FFont->Assign(FParent->Font());
    FTakingParentFont = false;
    FParentFont = true;
}

void TControl::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value)
        ParentFontChanged();
}

void TControl::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    FParentColor = false;
    ColorChanged();
}

void TControl::ColorChanged()
{
    QPalette palette = FWidget->palette();
    const QColor color = ToQColor(FColor);
    if (ColorIsFieldBackground()) {
        palette.setColor(QPalette::Base, color);
    } else {
        palette.setColor(QPalette::Window, color);
        palette.setColor(QPalette::Button, color);
    }
    FWidget->setPalette(palette);
    FWidget->update();
}

void TControl::ParentColorChanged()
{
    if (!FParent)
        return;
    FColor = FParent->Color();
    ColorChanged();
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    if (Value)
        ParentColorChanged();
}

void TControl::SetHint(const String& Value)
{
    FHint = Value;
    FWidget->setToolTip(FShowHint ? ToQString(GetShortHint(FHint)) : QString());
}

String GetShortHint(const String& Hint)
{
    const size_t bar = Hint.find('|');
    return Trim(bar == String::npos ? Hint : Hint.substr(0, bar));
}

String GetLongHint(const String& Hint)
{
    const size_t bar = Hint.find('|');
    return Trim(bar == String::npos ? Hint : Hint.substr(bar + 1));
}

String GetHint(const TControl* Control)
{
    for (; Control; Control = Control->Parent())
        if (!Control->Hint().empty())
            return Control->Hint();
    return String();
}

void TControl::SetShowHint(bool Value)
{
    FShowHint = Value;
    SetHint(FHint);
}

void TControl::SetCursor(TCursor Value)
{
    FCursor = Value;
    if (Value == crDefault)
        FWidget->unsetCursor();
    else
        FWidget->setCursor(CursorShape(Value));
}

void TControl::Invalidate() { FWidget->update(); }

void TControl::Repaint() { FWidget->repaint(); }

void TControl::Update() { FWidget->repaint(); }

void TControl::BringToFront() { FWidget->raise(); }

void TControl::SendToBack() { FWidget->lower(); }

TPoint TControl::ClientToScreen(TPoint P) const
{
    const QPoint global = FWidget->mapToGlobal(QPoint(P.X, P.Y));
    return Point(global.x(), global.y());
}

TPoint TControl::ScreenToClient(TPoint P) const
{
    const QPoint local = FWidget->mapFromGlobal(QPoint(P.X, P.Y));
    return Point(local.x(), local.y());
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled)
        return true;
    FWheelAccumulator += WheelDelta;
    while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
        const bool down = FWheelAccumulator < 0;
        FWheelAccumulator += down ? WHEEL_DELTA : -WHEEL_DELTA;
        handled = down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelDown)
        OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelUp)
        OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::MouseCapture() const { return QWidget::mouseGrabber() == FWidget; }

void TControl::SetMouseCapture(bool Value)
{
    if (Value == MouseCapture())
        return;
    if (Value)
        FWidget->grabMouse();
    else
        FWidget->releaseMouse();
}

TCustomForm* TControl::ParentForm() const { return GetParentForm(this); }

TCustomForm* GetParentForm(const TControl* Control)
{
    if (!Control)
        return nullptr;
    while (Control->Parent())
        Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(Control));
}
