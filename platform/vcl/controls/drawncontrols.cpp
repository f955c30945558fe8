#include "platform/vcl/controls/controls.h"

#include <QWidget>

#include "platform/rtl/strutils.h"
#include "platform/vcl/graphics/controlcanvas.h"
#include "platform/vcl/qt/qapp.h"

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner, MakeWidget<QWidget>()), FCanvas(std::make_unique<TControlCanvas>())
{
    Widget()->setFocusPolicy(Qt::NoFocus);
}

TGraphicControl::~TGraphicControl() = default;

bool TGraphicControl::InheritsFrom(const String& name) const
{
    return SameText(name, "TGraphicControl") || TControl::InheritsFrom(name);
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner, MakeWidget<QWidget>()), FCanvas(std::make_unique<TControlCanvas>())
{
    SetTabStop(true);
}

TCustomControl::~TCustomControl() = default;

bool TCustomControl::InheritsFrom(const String& name) const
{
    return SameText(name, "TCustomControl") || TWinControl::InheritsFrom(name);
}
